// Building the main window's controls from the model's layout table.
#include <QHBoxLayout>
#include <stdexcept>

#include "main/form/form1layout.h"
#include "main/window/form1.h"
#include "ui/pictures.h"
#include "ui/windowbutton.h"
#include "ui/zfwinbutton.h"

namespace {

QString text(const form1::Control& c) {
  return QString::fromStdString(c.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QRect rectOf(const form1::Control& c) {
  return QRect(c.rect.x, c.rect.y, c.rect.width, c.rect.height);
}

QColor colour(const form1::Rgb& rgb) {
  return QColor(rgb.red, rgb.green, rgb.blue);
}

// The parent's face and size unless the control names its own.
QFont controlFont(const form1::Control& c, const QFont& parentFont) {
  QFont f = parentFont;
  if (c.family != nullptr) {
    f = QFont(QString::fromUtf8(c.family));
    f.setPixelSize(c.pixelSize);
  }
  if (c.weight == form1::Weight::kBold) f.setBold(true);
  // A black face; a face standing in for it takes its black weight.
  if (c.weight == form1::Weight::kBlack) f.setWeight(QFont::Black);
  return f;
}

QLineEdit* edit(const form1::Control& c, QWidget* parent) {
  auto* e = new QLineEdit(text(c), parent);
  e->setReadOnly(c.readOnly);
  if (c.maxLength > 0) e->setMaxLength(c.maxLength);
  if (c.background) {
    QPalette pal = e->palette();
    pal.setColor(QPalette::Base, colour(*c.background));
    e->setPalette(pal);
  }
  return e;
}

TRadioGroup* radioGroup(const form1::Control& c, QWidget* parent) {
  QStringList items;
  for (const std::string& item : c.items) items << QString::fromStdString(item);
  auto* group = new TRadioGroup(text(c), items, c.columns, parent);
  group->setItemIndex(c.itemIndex);
  return group;
}

// Puts a control at its place; the buttons of a row are placed by the row.
void place(QWidget* w, const form1::Control& c) {
  if (c.kind == form1::Kind::kButton) return;
  if (c.kind != form1::Kind::kLabel) {
    w->setGeometry(rectOf(c));
    return;
  }
  auto* l = static_cast<QLabel*>(w);
  l->move(c.rect.x, c.rect.y);
  l->adjustSize();  // sized to its caption in its font unless the table gives a size
  if (c.wordWrap) l->setWordWrap(true);
  if (c.rect.width > 0) l->setGeometry(rectOf(c));
}

}  // namespace

void TForm1::buildControls() {
  const form1::WindowSpec& window = form1::Window();
  QFont f(QString::fromUtf8(window.fontFamily));
  f.setStyleHint(QFont::SansSerif);
  f.setPixelSize(window.fontPixelSize);
  setFont(f);
  setFixedSize(window.clientWidth, window.clientHeight);

  for (const form1::Control& c : form1::Controls()) {
    QWidget* parent = *c.parent != '\0' ? m_controls.at(c.parent) : this;
    QWidget* w = buildControl(c, parent);
    if (c.weight != form1::Weight::kNormal || c.family != nullptr)
      w->setFont(controlFont(c, parent->font()));
    place(w, c);
    if (c.textColour) {
      QPalette pal = w->palette();
      pal.setColor(QPalette::WindowText, colour(*c.textColour));
      w->setPalette(pal);
    }
    if (!c.visible) w->hide();
    if (!c.enabled) w->setEnabled(false);
    m_controls[c.name] = w;
  }
  for (const form1::Control& c : form1::Controls())
    if (c.inFront) m_controls.at(c.name)->raise();

  bind(Image1, "Image1");
  bind(Label3D1, "Label3D1");
  bind(Label3, "Label3");
  bind(Label5, "Label5");
  bind(CheckBoxUpgrade, "CheckBoxUpgrade");
  bind(PanelUpgrade, "PanelUpgrade");
  bind(Label2, "Label2");
  bind(DirectoryEditOrLumex, "DirectoryEditOrLumex");
  bind(CheckBoxDevir, "CheckBoxDevir");
  bind(Panel2, "Panel2");
  bind(Edit1, "Edit1");
  bind(Label8, "Label8");
  bind(Edit2, "Edit2");
  bind(Label9, "Label9");
  bind(Label1, "Label1");
  bind(DirectoryEditPravex, "DirectoryEditPravex");
  bind(CheckBoxYTL, "CheckBoxYTL");
  bind(PanelYTL, "PanelYTL");
  bind(EditPRBR, "EditPRBR");
  bind(EditPRSM, "EditPRSM");
  bind(EditKC_BR, "EditKC_BR");
  bind(EditKC_SMG, "EditKC_SMG");
  bind(LabelSIMGE, "LabelSIMGE");
  bind(LineFraction, "LineFraction");
  bind(LabelKC_SMG, "LabelKC_SMG");
  bind(RadioORAN, "RadioORAN");
  bind(RadioHAS, "RadioHAS");
  bind(RadioYUVARLA, "RadioYUVARLA");
  bind(Label4, "Label4");
  bind(Gauge1, "Gauge1");
  bind(Panel1, "Panel1");
  bind(Button1, "Button1");
  bind(Button3, "Button3");
  bind(Button2, "Button2");
  bind(StatusBar1, "StatusBar1");
}

template <typename W>
void TForm1::bind(W*& member, const char* name) const {
  member = dynamic_cast<W*>(m_controls.at(name));
  if (member == nullptr)
    throw std::logic_error(std::string("TForm1: wrong kind of control ") + name);
}

QWidget* TForm1::buildControl(const form1::Control& c, QWidget* parent) {
  switch (c.kind) {
    case form1::Kind::kImage: {
      auto* image = new QLabel(parent);
      image->setScaledContents(true);
      image->setPixmap(pictures::banner());
      return image;
    }
    case form1::Kind::kTitle:
      return new TLabel3D(text(c), c.shadow, parent);
    case form1::Kind::kLabel:
      return new QLabel(text(c), parent);
    case form1::Kind::kCheckBox: {
      auto* box = new TCheckBox(text(c), parent);
      box->setChecked(c.checked);
      return box;
    }
    case form1::Kind::kPanel:
      return new TPanel(c.bevel, parent);
    case form1::Kind::kEdit:
      return edit(c, parent);
    case form1::Kind::kDirectoryEdit: {
      auto* directory = new TDirectoryEdit(QString::fromUtf8(form1::kBrowseCaption), parent);
      if (!c.text.empty()) directory->setText(text(c));
      return directory;
    }
    case form1::Kind::kLine: {
      auto* line = new QFrame(parent);
      line->setFrameShape(QFrame::HLine);
      return line;
    }
    case form1::Kind::kRadioGroup:
      return radioGroup(c, parent);
    case form1::Kind::kGauge:
      return new TGauge(parent);
    case form1::Kind::kButtonRow: {
      auto* row = new TPanel(c.bevel, parent);
      ImageList1 = pictures::makeMainImageList(this);
      auto* layout = new QHBoxLayout(row);
      layout->setContentsMargins(c.margin, c.margin, c.margin, c.margin);
      layout->setSpacing(c.spacing);
      return row;
    }
    case form1::Kind::kButton: {
      TZfWinButton* button = makeWindowButton(parent, text(c), ImageList1, c.glyph);
      if (c.rect.width > 0) button->setFixedWidth(c.rect.width);
      if (!c.hint.empty()) button->setToolTip(QString::fromStdString(c.hint));
      static_cast<QHBoxLayout*>(parent->layout())->addWidget(button, c.rect.width > 0 ? 0 : 1);
      return button;
    }
    case form1::Kind::kStatusBar: {
      auto* bar = new QStatusBar(parent);
      bar->setSizeGripEnabled(false);
      return bar;
    }
  }
  throw std::logic_error("TForm1: unknown kind of control");
}
