#include "main/window/widgets.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

#include "ui/messagebox.h"

namespace {

// A text to show: the model's texts carry Windows line breaks, Qt wants
// plain ones.
QString boxText(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))
      .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace

void ShowMessageBox(QWidget* parent, const form1::Message& m) {
  const auto icon =
      m.icon == form1::Message::Icon::kError ? QMessageBox::Critical : QMessageBox::Information;
  makeMessageBox(icon, boxText(m.caption), boxText(m.text), parent)->exec();
}

form1::Answer AskQuestion(QWidget* parent, const form1::Question& q) {
  QMessageBox box(QMessageBox::Question, boxText(q.caption), boxText(q.text), QMessageBox::NoButton,
                  parent);
  QAbstractButton* yes = box.addButton(boxText(q.yes), QMessageBox::YesRole);
  QAbstractButton* no = box.addButton(boxText(q.no), QMessageBox::NoRole);
  // Esc and the close box answer as the last button.
  QAbstractButton* last = no;
  if (!q.cancel.empty()) last = box.addButton(boxText(q.cancel), QMessageBox::RejectRole);
  box.setEscapeButton(last);
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
  if (box.clickedButton() == yes) return form1::Answer::kYes;
  if (box.clickedButton() == no) return form1::Answer::kNo;
  return q.cancel.empty() ? form1::Answer::kNo : form1::Answer::kCancel;
}

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <algorithm>

TLabel3D::TLabel3D(const QString& text, int shadowOffset, QWidget* parent)
    : QWidget(parent), m_text(text), m_offset(shadowOffset) {}

void TLabel3D::paintEvent(QPaintEvent*) {
  QPainter p(this);
  QFont face = font();
  // A face standing in for the one named, of another width, is stretched to
  // the width the title was laid out for.
  const int room = width() - m_offset;
  const int natural = QFontMetrics(face).horizontalAdvance(m_text);
  if (QFontInfo(face).family() != face.family() && natural > 0)
    face.setStretch(std::clamp(100 * room / natural, 50, 200));
  p.setFont(face);
  const QFontMetrics metrics(face);
  // The capitals stand in the middle of the label's height, where the face
  // it was laid out with puts them, whatever line height a face declares.
  const QPoint origin(0, (height() + metrics.capHeight()) / 2);
  p.save();
  p.setPen(QColor(128, 128, 128));
  p.drawText(origin + QPoint(m_offset, m_offset), m_text);
  p.restore();
  p.setPen(palette().color(QPalette::WindowText));
  p.drawText(origin, m_text);
}

TCheckBox::TCheckBox(const QString& text, QWidget* parent) : QCheckBox(text, parent) {
  setAutoFillBackground(true);
}

void TCheckBox::paintEvent(QPaintEvent*) {
  QStylePainter p(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  QStyleOptionButton square = option;
  square.rect = style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, this);
  if (square.rect.height() > height()) {
    const int side = height() - 1;  // the style draws its edge inside the rectangle
    square.rect = QRect(square.rect.left(), 0, side, side);
  }
  p.drawPrimitive(QStyle::PE_IndicatorCheckBox, square);
  QStyleOptionButton caption = option;
  caption.rect = style()->subElementRect(QStyle::SE_CheckBoxContents, &option, this);
  p.drawControl(QStyle::CE_CheckBoxLabel, caption);
  if (option.state & QStyle::State_HasFocus) {
    QStyleOptionFocusRect focus;
    focus.QStyleOption::operator=(option);
    focus.rect = style()->subElementRect(QStyle::SE_CheckBoxFocusRect, &option, this);
    p.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
  }
}

TPanel::TPanel(form1::Bevel bevel, QWidget* parent) : QFrame(parent), m_bevel(bevel) {}

void TPanel::paintEvent(QPaintEvent*) {
  if (m_bevel == form1::Bevel::kNone) return;
  QPainter p(this);
  const QColor light = palette().color(QPalette::Light);
  const QColor shadow = palette().color(QPalette::Dark);
  // One bevel: `topLeft` along the top and left edges, `bottomRight` along
  // the others.
  auto bevel = [&](QRect r, const QColor& topLeft, const QColor& bottomRight) {
    p.setPen(topLeft);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(bottomRight);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
  };
  if (m_bevel == form1::Bevel::kRaised) {
    bevel(rect(), light, shadow);
  } else {
    bevel(rect(), shadow, light);
    bevel(rect().adjusted(1, 1, -1, -1), light, shadow);
  }
}

TGauge::TGauge(QWidget* parent) : QProgressBar(parent) {
  setRange(0, 1);
  setValue(0);
  setTextVisible(true);
  setAlignment(Qt::AlignCenter);
  setStyleSheet(
      QStringLiteral("QProgressBar { border: 1px solid gray; background: white; color: black; }"
                     "QProgressBar::chunk { background: navy; }"));
}

// A progress bar whose range is empty shows a busy animation; a gauge with
// no items shows 0% instead, so the bar's range never drops below 1.
void TGauge::setState(int maximum, int position, const QString& text) {
  setMaximum(maximum > 0 ? maximum : 1);
  setValue(position);
  if (text != m_text) {
    m_text = text;
    update();
  }
}

namespace {

// Puts a group box's contents right below its caption (TRadioGroup draws
// the caption on the frame's top edge).
class CaptionOnFrameStyle : public QProxyStyle {
 public:
  QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                       const QWidget* widget) const override {
    QRect r = QProxyStyle::subControlRect(control, option, part, widget);
    if (control == CC_GroupBox) {
      const int captionHeight = option->fontMetrics.height();
      if (part == SC_GroupBoxContents) r.setTop(option->rect.top() + captionHeight);
    }
    return r;
  }
};

QStyle* captionOnFrameStyle() {
  static QPointer<QStyle> style;
  if (!style) {
    style = new CaptionOnFrameStyle;
    style->setParent(qApp);
  }
  return style;
}

}  // namespace

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, int columns,
                         QWidget* parent)
    : QGroupBox(caption, parent), m_items(items) {
  setStyle(captionOnFrameStyle());
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(8, 1, 4, 2);
  grid->setHorizontalSpacing(8);
  grid->setVerticalSpacing(2);
  int perColumn = static_cast<int>((items.size() + columns - 1) / columns);
  for (int i = 0; i < items.size(); ++i) {
    auto* button = new QRadioButton(items[i], this);
    m_buttons.addButton(button, i);
    grid->addWidget(button, i % perColumn, i / perColumn);
  }
}

void TRadioGroup::paintEvent(QPaintEvent*) {
  // Windows' look: an etched frame through the middle of the caption, and
  // the caption on the window's colour over it.
  QPainter p(this);
  const QFontMetrics metrics(font());
  const QRect frame = rect().adjusted(0, metrics.height() / 2, -2, -2);
  p.setPen(palette().color(QPalette::Light));
  p.drawRect(frame.translated(1, 1));
  p.setPen(palette().color(QPalette::Dark));
  p.drawRect(frame);
  const QRect caption(8, 0, metrics.horizontalAdvance(title()) + 2, metrics.height());
  p.fillRect(caption, palette().window());
  p.setPen(palette().color(QPalette::WindowText));
  p.drawText(caption, Qt::AlignCenter, title());
}

int TRadioGroup::itemIndex() const {
  return m_buttons.checkedId();
}

void TRadioGroup::setItemIndex(int index) {
  if (QAbstractButton* b = m_buttons.button(index)) b->setChecked(true);
}

TDirectoryEdit::TDirectoryEdit(const QString& browseCaption, QWidget* parent)
    : QWidget(parent), m_edit(new QLineEdit(this)), m_browse(new QToolButton(this)) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  row->addWidget(m_edit);
  row->addWidget(m_browse);
  m_browse->setText(browseCaption);
  m_browse->setFocusPolicy(Qt::NoFocus);
}
