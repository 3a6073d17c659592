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

#include "ui/imagelist.h"
#include "ui/modeltypes.h"

namespace {

uimodel::MouseButton toModelButton(Qt::MouseButton b) {
  if (b == Qt::LeftButton) return uimodel::MouseButton::Left;
  if (b == Qt::RightButton) return uimodel::MouseButton::Right;
  return uimodel::MouseButton::Other;
}

uimodel::FocusReason toModelReason(Qt::FocusReason r) {
  switch (r) {
    case Qt::MouseFocusReason:
      return uimodel::FocusReason::Mouse;
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
      return uimodel::FocusReason::Tab;
    case Qt::PopupFocusReason:
      return uimodel::FocusReason::Popup;
    case Qt::ActiveWindowFocusReason:
      return uimodel::FocusReason::ActiveWindow;
    default:
      return uimodel::FocusReason::Other;
  }
}

}  // namespace

TZfWinButton::TZfWinButton(QWidget* parent)
    : QAbstractButton(parent),
      m_color(toQColor(uimodel::kButtonColor)),
      m_raiseCol(toQColor(uimodel::kButtonRaiseCol)),
      m_overCol(toQColor(uimodel::kButtonOverCol)),
      m_fontColor(toQColor(uimodel::kButtonFontColor)) {
  QFont f(QString::fromLatin1(uimodel::kButtonFontFamily));
  f.setPointSize(uimodel::kButtonFontPoints);
  f.setBold(true);
  setFont(f);
  m_grayedFont = f;
  m_grayedColor = QApplication::palette().color(QPalette::Disabled, QPalette::Text);
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  resize(toQSize(uimodel::kButtonSize));
  // Connected first, so the modal result is set before any OnClick handler
  // runs; also when the click comes through QAbstractButton::click().
  connect(this, &QAbstractButton::clicked, this, &TZfWinButton::handOnModalResult);
}

TZfWinButton::~TZfWinButton() = default;

QSize TZfWinButton::sizeHint() const {
  bool fromList = false;
  return toQSize(m_model.sizeHint(toModel(currentGlyph(&fromList).size()), toModel(captionSize())));
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
  m_model.setAlign(align);
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
  m_model.setTabStop(on);
  setFocusPolicy(on ? Qt::StrongFocus : Qt::NoFocus);
  update();
}

void TZfWinButton::setShowCaption(bool on) {
  m_model.setShowCaption(on);
  update();
}

// --- Input -----------------------------------------------------------------

uimodel::ButtonModel& TZfWinButton::model() {
  m_model.setHasDropDown(!m_dropDown.isNull());
  m_model.setHasPopup(!m_popup.isNull());
  if (m_model.isEnabled() != isEnabled()) m_model.enabledChanged(isEnabled());
  return m_model;
}

bool TZfWinButton::perform(const uimodel::ButtonActions& actions, Qt::KeyboardModifiers modifiers,
                           QPoint mouseAt) {
  using A = uimodel::ButtonAction;
  QPointer<TZfWinButton> self(this);
  bool passKeyOn = false;
  for (const A& a : actions) {
    if (!self) return false;
    switch (a.kind) {
      case A::Repaint:
        repaint();
        break;
      case A::MouseDown:
        emit mouseDown(Qt::LeftButton, modifiers, toQPoint(a.at));
        break;
      case A::MouseUp:
        emit mouseUp(Qt::LeftButton, modifiers, toQPoint(a.at));
        break;
      case A::MouseMove:
        emit mouseMove(modifiers, toQPoint(a.at));
        break;
      case A::OpenDropDown:
        openDropDown();
        if (self) perform(model().dropDownClosed(), modifiers);
        break;
      case A::OpenPopup:
        if (m_popup) m_popup->exec(mouseAt);
        break;
      case A::ResumePress:
        pressLeft(toQPoint(a.at), modifiers);
        break;
      case A::Click:
        emit clicked(false);
        break;
      case A::PassKeyOn:
        passKeyOn = true;
        break;
    }
  }
  return passKeyOn && self;
}

void TZfWinButton::click() {
  perform(model().click(), Qt::NoModifier);
}

void TZfWinButton::handOnModalResult() {
  if (m_modalResult != 0) {
    auto* dialog = qobject_cast<QDialog*>(window());
    if (dialog && dialog->isModal()) dialog->done(m_modalResult);
  }
  if (m_action) m_action->trigger();
}

void TZfWinButton::pressLeft(QPoint pos, Qt::KeyboardModifiers modifiers) {
  if (model().pressTakesFocus(hasFocus()) && focusPolicy() != Qt::NoFocus)
    setFocus(Qt::MouseFocusReason);
  perform(model().mousePress(uimodel::MouseButton::Left, toModel(pos)), modifiers);
}

void TZfWinButton::openDropDown() {
  if (m_dropDown) m_dropDown->exec(mapToGlobal(toQPoint(uimodel::DropDownMenuAt(toModel(size())))));
}

void TZfWinButton::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) {
    pressLeft(e->position().toPoint(), e->modifiers());
    return;
  }
  perform(model().mousePress(toModelButton(e->button()), toModel(e->position().toPoint())),
          e->modifiers(), e->globalPosition().toPoint());
}

void TZfWinButton::mouseReleaseEvent(QMouseEvent* e) {
  perform(model().mouseRelease(toModelButton(e->button()), toModel(e->position().toPoint()),
                               toModel(size())),
          e->modifiers());
}

void TZfWinButton::mouseMoveEvent(QMouseEvent* e) {
  perform(model().mouseMove(toModel(e->position().toPoint()), toModel(size())), e->modifiers());
}

void TZfWinButton::enterEvent(QEnterEvent* e) {
  QAbstractButton::enterEvent(e);
  perform(model().enter(), Qt::NoModifier);
}

void TZfWinButton::leaveEvent(QEvent* e) {
  QAbstractButton::leaveEvent(e);
  perform(model().leave(), Qt::NoModifier);
}

void TZfWinButton::keyPressEvent(QKeyEvent* e) {
  if (perform(model().keyPress(toModelKey(e->key())), e->modifiers()))
    QWidget::keyPressEvent(e);  // Esc and the rest go on to the window
}

void TZfWinButton::keyReleaseEvent(QKeyEvent* e) {
  if (perform(model().keyRelease(toModelKey(e->key()), e->isAutoRepeat()), e->modifiers()))
    QWidget::keyReleaseEvent(e);
}

void TZfWinButton::focusInEvent(QFocusEvent* e) {
  perform(model().focusIn(toModelReason(e->reason())), Qt::NoModifier);
}

void TZfWinButton::focusOutEvent(QFocusEvent* e) {
  perform(model().focusOut(toModelReason(e->reason())), Qt::NoModifier);
}

void TZfWinButton::changeEvent(QEvent* e) {
  QAbstractButton::changeEvent(e);
  switch (e->type()) {
    case QEvent::EnabledChange:
      perform(model().enabledChanged(isEnabled()), Qt::NoModifier);
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
    perform(model().shortcut(), Qt::NoModifier);
    return true;
  }
  if (e->type() == QEvent::ToolTip && !m_showHint) {
    e->ignore();
    return true;
  }
  return QAbstractButton::event(e);
}
