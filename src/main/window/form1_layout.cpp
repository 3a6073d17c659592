// Building the main window's controls at their places.
#include <QHBoxLayout>

#include "main/window/form1.h"
#include "ui/pictures.h"
#include "ui/windowbutton.h"
#include "ui/zfwinbutton.h"

namespace {

QFont boldFont(const QFont& base) {
  QFont f = base;
  f.setBold(true);
  return f;
}

QLabel* label(const QString& text, int x, int y, QWidget* parent, bool bold = true) {
  auto* l = new QLabel(text, parent);
  if (bold) l->setFont(boldFont(parent->font()));
  l->move(x, y);
  l->adjustSize();
  return l;
}

TPanel* panel(int x, int y, int w, int h, TPanel::Bevel bevel, QWidget* parent) {
  auto* f = new TPanel(bevel, parent);
  f->setGeometry(x, y, w, h);
  return f;
}

TCheckBox* checkBox(const QString& text, QWidget* parent) {
  auto* box = new TCheckBox(text, parent);
  box->setFont(boldFont(parent->font()));
  return box;
}

QLineEdit* readOnlyEdit(const QString& text, int x, int y, int w, QWidget* parent) {
  auto* e = new QLineEdit(text, parent);
  e->setReadOnly(true);
  e->setGeometry(x, y, w, 19);
  QPalette pal = e->palette();
  pal.setColor(QPalette::Base, QColor(255, 241, 248));
  e->setPalette(pal);
  return e;
}

}  // namespace

void TForm1::buildControls() {
  Image1 = new QLabel(this);
  Image1->setGeometry(0, 0, 180, 526);
  Image1->setScaledContents(true);
  Image1->setPixmap(pictures::banner());

  Label3D1 = new TLabel3D(QStringLiteral("KMX Devir-Upgrade"), 5, this);
  QFont title(QStringLiteral("Arial Black"));
  title.setPixelSize(32);
  title.setWeight(QFont::Black);  // the face is black; a stand-in takes its black weight
  Label3D1->setFont(title);
  Label3D1->setGeometry(208, -5, 344, 45);

  Label3 = label(QStringLiteral("(Upgrade ve YTL ye Devir İşlemi)"), 285, 36, this);
  Label5 = label(QStringLiteral("Dikkat : Devir veya upgrade işlemini gerçekleştirmeden önce eski "
                                "\nveritabanınızın mutlaka yedeğini alınız."),
                 190, 56, this);
  Label5->setGeometry(190, 56, 374, 30);
  QPalette red = Label5->palette();
  red.setColor(QPalette::WindowText, Qt::red);
  Label5->setPalette(red);

  CheckBoxUpgrade = checkBox(QStringLiteral("KMX Orvan veya Lumex'dan Upgrade"), this);
  CheckBoxUpgrade->setGeometry(193, 88, 359, 17);

  PanelUpgrade = panel(184, 96, 378, 73, TPanel::kLoweredOuterRaisedInner, this);
  PanelUpgrade->hide();
  Label2 =
      label(QStringLiteral("KMX Orvan veya Lumex'un kullandığı \"DATA\" adlı dizinin tam yolu"), 13,
            14, PanelUpgrade);
  Label2->setWordWrap(true);
  Label2->setGeometry(13, 14, 296, 26);
  DirectoryEditOrLumex = new TDirectoryEdit(QStringLiteral("Dizin Seçiniz"), PanelUpgrade);
  DirectoryEditOrLumex->setGeometry(14, 43, 347, 21);

  CheckBoxDevir = checkBox(QStringLiteral("Yeni Yıla Devir İşlemi Yap"), this);
  CheckBoxDevir->setGeometry(193, 176, 193, 17);
  CheckBoxDevir->setChecked(true);

  Panel2 = panel(376, 170, 185, 26, TPanel::kNoBevel, this);
  Edit1 = new QLineEdit(Panel2);
  Edit1->setFont(boldFont(font()));
  Edit1->setGeometry(3, 2, 65, 21);
  Edit1->setMaxLength(4);
  Label8 = label(QStringLiteral("dan"), 72, 8, Panel2);
  Edit2 = new QLineEdit(Panel2);
  Edit2->setFont(boldFont(font()));
  Edit2->setGeometry(99, 2, 65, 21);
  Edit2->setMaxLength(4);
  Label9 = label(QStringLiteral("ya"), 167, 8, Panel2);

  Label1 = label(QStringLiteral("KMX Pravex'un kullandığı \"DATA\" adlı dizinin tam yolu"), 200,
                 198, this);
  DirectoryEditPravex = new TDirectoryEdit(QString(), this);
  DirectoryEditPravex->setGeometry(200, 216, 329, 21);
  DirectoryEditPravex->setText(QStringLiteral("C:\\ZEFIRTAK\\KMX3\\DATA"));

  CheckBoxYTL =
      checkBox(QStringLiteral("Devir İşleminde Verilerimi YTL sistemine göre düzenle"), this);
  CheckBoxYTL->setGeometry(192, 246, 337, 12);
  buildYtlPanel();

  Label4 = label(QString(), 192, 450, this);
  Label4->hide();
  Gauge1 = new TGauge(this);
  Gauge1->setGeometry(192, 466, 369, 17);
  Gauge1->hide();

  // The boxes sit on the top edge of their panels and stay in front of them.
  CheckBoxUpgrade->raise();
  CheckBoxYTL->raise();

  buildButtonRow();
  StatusBar1 = new QStatusBar(this);
  StatusBar1->setSizeGripEnabled(false);
  StatusBar1->setGeometry(0, 526, 569, 19);
}

void TForm1::buildYtlPanel() {
  PanelYTL = panel(184, 254, 377, 194, TPanel::kLoweredOuterRaisedInner, this);
  PanelYTL->hide();
  const char* captions[] = {"Para Biriminiz", "Simgesi", "Küçük Biriminiz", "Simgesi"};
  const int tops[] = {16, 32, 52, 72};
  for (int i = 0; i < 4; ++i) {
    QLabel* l = label(QString::fromUtf8(captions[i]), 8, tops[i], PanelYTL);
    QPalette navy = l->palette();
    navy.setColor(QPalette::WindowText, QColor(0, 0, 128));
    l->setPalette(navy);
  }
  EditPRBR = readOnlyEdit(QStringLiteral("Yeni Türk Lirası"), 109, 11, 110, PanelYTL);
  EditPRSM = readOnlyEdit(QStringLiteral("YTL"), 109, 29, 41, PanelYTL);
  EditKC_BR = readOnlyEdit(QStringLiteral("Yeni Kuruş"), 109, 48, 110, PanelYTL);
  EditKC_SMG = readOnlyEdit(QStringLiteral("YKr"), 109, 66, 41, PanelYTL);

  LabelSIMGE = label(QStringLiteral("YTL"), 13, 104, PanelYTL);
  LineFraction = new QFrame(PanelYTL);
  LineFraction->setFrameShape(QFrame::HLine);
  LineFraction->setGeometry(10, 121, 30, 2);
  LabelKC_SMG = label(QStringLiteral("Kr"), 12, 124, PanelYTL);

  RadioORAN = new TRadioGroup(QStringLiteral("Oran"),
                              {QStringLiteral("1/10"), QStringLiteral("1/100"),
                               QStringLiteral("1/1000"), QStringLiteral("1/10000")},
                              2, PanelYTL);
  RadioORAN->setGeometry(48, 93, 177, 52);
  RadioORAN->setItemIndex(1);
  RadioORAN->setEnabled(false);

  RadioHAS = new TRadioGroup(
      QStringLiteral("Hassasiyet"),
      {QStringLiteral("Yok"), QStringLiteral("1 Basamak"), QStringLiteral("2 Basamak"),
       QStringLiteral("3 Basamak"), QStringLiteral("4 Basamak"), QStringLiteral("5 Basamak")},
      1, PanelYTL);
  RadioHAS->setGeometry(233, 9, 132, 136);
  RadioHAS->setItemIndex(2);
  RadioHAS->setEnabled(false);

  RadioYUVARLA =
      new TRadioGroup(QStringLiteral(" 10.000 TL nin altındaki tutarları"),
                      {QStringLiteral("Otomatik Yuvarla"), QStringLiteral("Aşağı Yuvarla"),
                       QStringLiteral("Yukarı Yuvarla")},
                      3, PanelYTL);
  RadioYUVARLA->setGeometry(6, 152, 366, 38);
  RadioYUVARLA->setItemIndex(0);
}

void TForm1::buildButtonRow() {
  Panel1 = panel(184, 485, 383, 40, TPanel::kRaised, this);
  ImageList1 = pictures::makeMainImageList(this);
  auto* row = new QHBoxLayout(Panel1);
  row->setContentsMargins(1, 1, 1, 1);
  row->setSpacing(2);
  Button1 =
      makeWindowButton(Panel1, QStringLiteral("Devir-Upgrade"), ImageList1, pictures::kGlyphRun);
  Button1->setFixedWidth(130);
  Button3 = makeWindowButton(Panel1, QStringLiteral("Yardım"), ImageList1, pictures::kGlyphHelp);
  Button3->setFixedWidth(92);
  Button2 = makeWindowButton(Panel1, QStringLiteral("Kapat"), ImageList1, pictures::kGlyphClose);
  Button2->setToolTip(QStringLiteral("Kapat "));
  row->addWidget(Button1);
  row->addWidget(Button3);
  row->addWidget(Button2, 1);
}
