// TZfWinButton: properties, input and the click sequence. Painting is in
// zfwinbutton_paint.cpp.
#include "ui/zfwinbutton.h"

#include <QAction>
#include <QApplication>
#include <QBitmap>
#include <QDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <algorithm>

#include "ui/imagelist.h"

TZfWinButton::TZfWinButton(QWidget* parent) : QAbstractButton(parent) {
  QFont f(QStringLiteral("Arial"));
  f.setPointSize(10);
  f.setBold(true);
  setFont(f);
  m_grayedFont = f;
  m_grayedColor = QApplication::palette().color(QPalette::Disabled, QPalette::Text);
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  resize(100, 30);
  // Connected first, so the modal result is set before any OnClick handler
  // runs; also when the click comes through QAbstractButton::click().
  connect(this, &QAbstractButton::clicked, this, &TZfWinButton::handOnModalResult);
}

TZfWinButton::~TZfWinButton() = default;

QSize TZfWinButton::sizeHint() const {
  // The default 100 x 30, grown so that the content and the 3-pixel frame
  // around it fit (a 32-pixel glyph asks for 38).
  bool fromList = false;
  const QSize g = currentGlyph(&fromList).size();
  const QSize t = captionSize();
  const bool side = m_align == GlyphAlign::poLeft || m_align == GlyphAlign::poRight;
  const int w = side ? g.width() + 5 + t.width() : std::max(g.width(), t.width());
  const int h = side ? std::max(g.height(), t.height()) : g.height() + 3 + t.height();
  return {std::max(100, w + 12), std::max(30, h + 6)};
}

// --- Properties ------------------------------------------------------------

QColor TZfWinButton::color() const {
  if (m_parentColor && parentWidget())
    return parentWidget()->palette().color(parentWidget()->backgroundRole());
  return m_color;
}

void TZfWinButton::setColor(const QColor& c) {
  m_color = c;
  m_parentColor = false;
  update();
}

void TZfWinButton::setParentColor(bool on) {
  m_parentColor = on;
  update();
}

void TZfWinButton::setRaiseCol(const QColor& c) {
  m_raiseCol = c;
  update();
}

void TZfWinButton::setOverCol(const QColor& c) {
  m_overCol = c;
  update();
}

void TZfWinButton::setFontColor(const QColor& c) {
  m_fontColor = c;
  update();
}

void TZfWinButton::setGrayedFont(const QFont& f) {
  m_grayedFont = f;
  update();
}

void TZfWinButton::setGrayedColor(const QColor& c) {
  m_grayedColor = c;
  update();
}

void TZfWinButton::setGlpyh(const QPixmap& glyph) {
  m_glyph = glyph;
  if (!m_glyph.isNull() && !m_glyph.hasAlphaChannel()) {
    // A plain bitmap: its bottom-left pixel names the transparent colour.
    const QImage img = m_glyph.toImage();
    const QColor transparent = img.pixelColor(0, img.height() - 1);
    m_glyph.setMask(m_glyph.createMaskFromColor(transparent, Qt::MaskInColor));
  }
  update();
}

void TZfWinButton::setGlphyAlign(GlyphAlign align) {
  m_align = align;
  update();
}

void TZfWinButton::setImages(ZfImageList* images) {
  m_images = images;
  update();
}

void TZfWinButton::setImageIndex(int index) {
  m_imageIndex = index;
  update();
}

void TZfWinButton::setDropDownMenu(QMenu* menu) {
  m_dropDown = menu;
}
void TZfWinButton::setPopupMenu(QMenu* menu) {
  m_popup = menu;
}

void TZfWinButton::setAction(QAction* action) {
  if (m_action) disconnect(m_action, nullptr, this, nullptr);
  m_action = action;
  if (m_action) {
    connect(m_action, &QAction::changed, this, &TZfWinButton::syncFromAction);
    syncFromAction();
  }
}

void TZfWinButton::syncFromAction() {
  if (!m_action) return;
  setText(m_action->text());
  setEnabled(m_action->isEnabled());
  setToolTip(m_action->toolTip());
  setVisible(m_action->isVisible());
}

void TZfWinButton::setTabStop(bool on) {
  m_tabStop = on;
  setFocusPolicy(on ? Qt::StrongFocus : Qt::NoFocus);
  update();
}

void TZfWinButton::setShowCaption(bool on) {
  m_showCaption = on;
  update();
}

// --- Input -----------------------------------------------------------------

void TZfWinButton::clearFlags() {
  m_pressed = false;
  m_held = false;
}

void TZfWinButton::click() {
  clearFlags();
  repaint();
  emit clicked(false);
}

void TZfWinButton::handOnModalResult() {
  if (m_modalResult != 0) {
    auto* dialog = qobject_cast<QDialog*>(window());
    if (dialog && dialog->isModal()) dialog->done(m_modalResult);
  }
  if (m_action) m_action->trigger();
}

void TZfWinButton::pressLeft(QPoint pos, Qt::KeyboardModifiers modifiers) {
  QPointer<TZfWinButton> self(this);
  if (m_tabStop && focusPolicy() != Qt::NoFocus && !hasFocus()) setFocus(Qt::MouseFocusReason);
  m_held = true;
  m_pressed = true;
  m_hot = true;  // a press on the button means the pointer is over it
  emit mouseDown(Qt::LeftButton, modifiers, pos);
  if (!self) return;
  repaint();
  if (m_dropDown) {
    openDropDown();
    // The menu's own choice is the action: the press ends without a click.
    if (self) endPress();
  }
}

void TZfWinButton::endPress() {
  clearFlags();
  repaint();
}

void TZfWinButton::openDropDown() {
  if (m_dropDown) m_dropDown->exec(mapToGlobal(QPoint(1, height() + 1)));
}

void TZfWinButton::leave() {
  m_hot = false;
  m_pressed = false;
  repaint();
}

void TZfWinButton::mousePressEvent(QMouseEvent* e) {
  if (!isEnabled()) return;
  if (e->button() == Qt::LeftButton) {
    pressLeft(e->position().toPoint(), e->modifiers());
  } else if (e->button() == Qt::RightButton && m_popup) {
    m_popup->exec(e->globalPosition().toPoint());
  }
}

void TZfWinButton::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  QPointer<TZfWinButton> self(this);
  // A release away from the button never clicks, whether or not a leave
  // event arrived during the press.
  const bool wasPressed = m_pressed && rect().contains(e->position().toPoint());
  clearFlags();
  repaint();
  emit mouseUp(Qt::LeftButton, e->modifiers(), e->position().toPoint());
  if (self && wasPressed) click();
}

void TZfWinButton::mouseMoveEvent(QMouseEvent* e) {
  const QPoint pos = e->position().toPoint();
  emit mouseMove(e->modifiers(), pos);
  // While the button is held the mouse is grabbed and no enter or leave
  // events come; follow the pointer here instead.
  if (!m_held) return;
  const bool inside = rect().contains(pos);
  if (!inside && (m_pressed || m_hot)) {
    leave();
  } else if (inside && !m_hot && isEnabled()) {
    m_hot = true;
    pressLeft(QPoint(10, 10), e->modifiers());
  }
}

void TZfWinButton::enterEvent(QEnterEvent* e) {
  QAbstractButton::enterEvent(e);
  if (!isEnabled() || m_hot) return;
  m_hot = true;
  update();
  if (m_held) pressLeft(QPoint(10, 10), Qt::NoModifier);
}

void TZfWinButton::leaveEvent(QEvent* e) {
  QAbstractButton::leaveEvent(e);
  leave();
}

void TZfWinButton::keyPressEvent(QKeyEvent* e) {
  const int key = e->key();
  if (key == Qt::Key_Space) {
    if (!m_pressed) {
      m_pressed = true;
      repaint();
      if (m_dropDown) {
        QPointer<TZfWinButton> self(this);
        openDropDown();
        if (self) endPress();
      }
    }
    return;
  }
  if (m_pressed) {
    m_pressed = false;
    repaint();
  }
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    if (m_dropDown)
      openDropDown();
    else
      click();
    return;
  }
  QWidget::keyPressEvent(e);  // Esc and the rest go on to the window
}

void TZfWinButton::keyReleaseEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Space) {
    // Auto-repeat sends release/press pairs while the key is held: only the
    // real release counts.
    if (!e->isAutoRepeat() && m_pressed && !m_dropDown) click();
    return;
  }
  if (m_pressed && !e->isAutoRepeat()) {
    m_pressed = false;
    repaint();
  }
  QWidget::keyReleaseEvent(e);
}

void TZfWinButton::focusInEvent(QFocusEvent* e) {
  // A drop-down menu takes the focus only while it is open, and a click on
  // an inactive window may activate it (and give the focus back) after the
  // press has arrived: in both cases the press goes on.
  if (e->reason() != Qt::PopupFocusReason && e->reason() != Qt::ActiveWindowFocusReason)
    clearFlags();
  update();
}

void TZfWinButton::focusOutEvent(QFocusEvent* e) {
  if (e->reason() != Qt::PopupFocusReason) clearFlags();
  update();
}

void TZfWinButton::changeEvent(QEvent* e) {
  QAbstractButton::changeEvent(e);
  switch (e->type()) {
    case QEvent::EnabledChange:
      if (!isEnabled()) {
        clearFlags();
        m_hot = false;
      }
      update();
      break;
    case QEvent::ParentChange:
    case QEvent::PaletteChange:
    case QEvent::FontChange:
      update();
      break;
    default:
      break;
  }
}

bool TZfWinButton::event(QEvent* e) {
  if (e->type() == QEvent::Shortcut) {
    if (isEnabled()) click();
    return true;
  }
  if (e->type() == QEvent::ToolTip && !m_showHint) {
    e->ignore();
    return true;
  }
  return QAbstractButton::event(e);
}
