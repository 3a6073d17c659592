#include "ui/aboutu.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStatusBar>

#include "ui/aboutservices.h"
#include "ui/pictures.h"
#include "ui/secretpanel.h"
#include "ui/windowbutton.h"
#include "ui/zfanimate.h"
#include "ui/zfwinbutton.h"

namespace {

constexpr int kWidth = 430;
constexpr int kHeight = 460;
constexpr int kStatusHeight = 19;
constexpr int kLeftWidth = 144;
constexpr int kTitleHeight = 40;

const QStringList kCredits = {
    QString(),  // the program's name goes here
    QStringLiteral("Tüm hakları saklıdır."),
    QString(),
    QStringLiteral("ZEFIRTAK Yazılım ve Danışmanlık"),
    QStringLiteral("Tel : (0212) 555 41 70"),
    QStringLiteral("Faks : (0212) 555 41 71"),
    QStringLiteral("Web : www.zefirtak.com.tr"),
    QStringLiteral("E-posta : destek@zefirtak.com.tr"),
};

QLabel* boldLabel(const QString& text, QWidget* parent, QPoint at) {
  auto* label = new QLabel(text, parent);
  QFont f = label->font();
  f.setBold(true);
  label->setFont(f);
  label->move(at);
  label->adjustSize();
  return label;
}

}  // namespace

QString formatPhysicalMemory(std::uint64_t bytes, const QLocale& locale) {
  QLocale grouped = locale;
  grouped.setNumberOptions(grouped.numberOptions() & ~QLocale::OmitGroupSeparator);
  return grouped.toString(static_cast<qulonglong>(bytes / 1024)) + QStringLiteral(" KB");
}

QString formatMemoryLoad(int percent) {
  return QString::number(percent) + QStringLiteral(" %");
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) emit clicked();
  QLabel::mouseReleaseEvent(e);
}

TAboutF::TAboutF(AboutServices& services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowSystemMenuHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_services(services) {
  setFixedSize(kWidth, kHeight);

  Image1 = new ClickLabel(this);
  Image1->setGeometry(0, 0, kLeftWidth, kHeight - kStatusHeight);
  Image1->setScaledContents(true);
  Image1->setCursor(Qt::PointingHandCursor);
  connect(Image1, &ClickLabel::clicked, this, &TAboutF::toggleTeam);

  SecretPanel2 = new TSecretPanel(this);
  SecretPanel2->setGeometry(0, kHeight - kStatusHeight - 224, 144, 224);
  QPalette navy = SecretPanel2->palette();
  navy.setColor(QPalette::Window, QColor(0, 0, 128));
  SecretPanel2->setPalette(navy);
  SecretPanel2->setTextColor(QColor(255, 255, 160));
  SecretPanel2->setPicture(
      pictures::logo().scaled(32, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation));
  SecretPanel2->hide();

  buildRightSide();

  auto* status = new QStatusBar(this);
  status->setGeometry(0, kHeight - kStatusHeight, kWidth, kStatusHeight);
  status->setSizeGripEnabled(false);
  StatusPanel = new QLabel(status);
  StatusPanel->setAlignment(Qt::AlignCenter);
  status->addWidget(StatusPanel, 1);

  ZfAnimate1 = new TZfAnimate(this);
  ZfAnimate1->setActive(true);

  readMemory();
}

void TAboutF::buildRightSide() {
  Image3 = new QLabel(this);
  Image3->setGeometry(kLeftWidth, 0, kWidth - kLeftWidth, kTitleHeight);
  Image3->setScaledContents(true);
  RxLabel4 = new QLabel(this);
  RxLabel4->setGeometry(Image3->geometry());
  RxLabel4->setAlignment(Qt::AlignCenter);
  QFont titleFont(QStringLiteral("Arial"));
  titleFont.setPixelSize(16);
  titleFont.setBold(true);
  RxLabel4->setFont(titleFont);
  RxLabel4->setStyleSheet(QStringLiteral("color: white; background: transparent;"));

  auto* main = new QWidget(this);
  main->setGeometry(kLeftWidth, kTitleHeight, kWidth - kLeftWidth,
                    kHeight - kStatusHeight - kTitleHeight);
  auto* logo = new QLabel(main);
  logo->setPixmap(pictures::logo());
  logo->setGeometry(111, 4, 64, 64);

  SecretPanel1 = new TSecretPanel(main);
  SecretPanel1->setGeometry(16, 72, 255, 214);
  QPalette black = SecretPanel1->palette();
  black.setColor(QPalette::Window, Qt::black);
  SecretPanel1->setPalette(black);
  SecretPanel1->setPicture(
      pictures::logo().scaled(32, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation));
  SecretPanel1->setLines(kCredits);

  boldLabel(QStringLiteral("Tel : (0212) 555 41 70"), main, {16, 292});
  RxLabel1 = new ClickLabel(QStringLiteral("www.zefirtak.com.tr"), main);
  RxLabel3 = new ClickLabel(QStringLiteral("destek@zefirtak.com.tr"), main);
  int y = 310;
  for (ClickLabel* link : {RxLabel1, RxLabel3}) {
    link->setCursor(Qt::PointingHandCursor);
    link->setStyleSheet(QStringLiteral("color: #000080; text-decoration: underline;"));
    link->move(16, y);
    link->adjustSize();
    y += 18;
  }
  connect(RxLabel1, &ClickLabel::clicked, this, [this] { m_services.openInShell(kWebAddress); });
  connect(RxLabel3, &ClickLabel::clicked, this, [this] { m_services.openInShell(kMailLink); });

  boldLabel(QStringLiteral("Fiziksel Hafıza :"), main, {16, 350});
  boldLabel(QStringLiteral("Kullanımdaki Hafıza :"), main, {16, 368});
  Fizmem = boldLabel(QString(), main, {170, 350});
  kulmem = boldLabel(QString(), main, {170, 368});

  ButtonTamam = makeWindowButton(main, QStringLiteral("Tamam"), pictures::makeMainImageList(this),
                                 pictures::kGlyphTick);
  ButtonTamam->setGeometry(171, 298, 100, 38);
  connect(ButtonTamam, &QAbstractButton::clicked, this, &QWidget::close);
}

void TAboutF::readMemory() {
  const AboutServices::Memory memory = m_services.memoryStatus();
  Fizmem->setText(formatPhysicalMemory(memory.totalPhysicalBytes));
  Fizmem->adjustSize();
  kulmem->setText(formatMemoryLoad(memory.loadPercent));
  kulmem->adjustSize();
}

void TAboutF::setLeftPicture(const QPixmap& picture) {
  Image1->setPixmap(picture);
}
void TAboutF::setTopPicture(const QPixmap& picture) {
  Image3->setPixmap(picture);
}

void TAboutF::setProgramName(const QString& name) {
  RxLabel4->setText(name);
  QStringList credits = SecretPanel1->lines();
  if (credits.isEmpty())
    credits.append(name);
  else
    credits[0] = name;
  SecretPanel1->setLines(credits);
}

void TAboutF::setStatusText(const QString& text) {
  StatusPanel->setText(text);
}
void TAboutF::setTeam(const QStringList& team) {
  SecretPanel2->setLines(team);
}

void TAboutF::toggleTeam() {
  const bool show = SecretPanel2->isHidden();
  SecretPanel2->setVisible(show);
  SecretPanel2->setActive(show);
  if (show) SecretPanel2->raise();
}

void TAboutF::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  SecretPanel1->setActive(true);
  SecretPanel2->hide();
  SecretPanel2->setActive(false);
  Image1->show();
}

void TAboutF::closeEvent(QCloseEvent* e) {
  SecretPanel1->setActive(false);
  SecretPanel2->setActive(false);
  // Accept without hiding here: the fade-out runs after this handler, on the
  // still visible window, and closing then hides it and ends exec().
  e->accept();
}

void TAboutF::keyPressEvent(QKeyEvent* e) {
  const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
  if (e->key() == Qt::Key_T && mods == (Qt::ControlModifier | Qt::AltModifier)) {
    toggleTeam();
    return;
  }
  if (e->key() == Qt::Key_Escape) {
    close();
    return;
  }
  QDialog::keyPressEvent(e);
}
