#include "ui/aboutu.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QStatusBar>
#include <string>
#include <utility>

#include "ui/aboutservices.h"
#include "ui/modeltypes.h"
#include "ui/pictures.h"
#include "ui/secretpanel.h"
#include "ui/windowbutton.h"
#include "ui/zfanimate.h"
#include "ui/zfwinbutton.h"

namespace {

const uimodel::AboutLayout& L = uimodel::kAboutLayout;

QLabel* boldLabel(const QString& text, QWidget* parent, uimodel::Point at) {
  auto* label = new QLabel(text, parent);
  QFont f = label->font();
  f.setBold(true);
  label->setFont(f);
  label->move(toQPoint(at));
  label->adjustSize();
  return label;
}

QString qs(const char* text) {
  return QString::fromUtf8(text);
}

QPixmap panelPicture() {
  return pictures::logo().scaled(toQSize(uimodel::kPanelPicture), Qt::KeepAspectRatio,
                                 Qt::SmoothTransformation);
}

void setGround(QWidget* w, uimodel::Rgb colour) {
  QPalette pal = w->palette();
  pal.setColor(QPalette::Window, toQColor(colour));
  w->setPalette(pal);
}

}  // namespace

void ClickLabel::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) emit clicked();
  QLabel::mouseReleaseEvent(e);
}

TAboutF::TAboutF(AboutServices& services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowSystemMenuHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_services(services) {
  setFixedSize(toQSize(L.window));

  Image1 = new ClickLabel(this);
  Image1->setGeometry(toQRect(L.leftPicture));
  Image1->setScaledContents(true);
  Image1->setCursor(Qt::PointingHandCursor);
  connect(Image1, &ClickLabel::clicked, this, &TAboutF::toggleTeam);

  SecretPanel2 = new TSecretPanel(this);
  SecretPanel2->setGeometry(toQRect(L.teamPanel));
  setGround(SecretPanel2, uimodel::kTeamGround);
  SecretPanel2->setTextColor(toQColor(uimodel::kTeamText));
  SecretPanel2->setPicture(panelPicture());
  renderPanels();

  buildRightSide();

  auto* status = new QStatusBar(this);
  status->setGeometry(toQRect(L.statusBar));
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
  Image3->setGeometry(toQRect(L.title));
  Image3->setScaledContents(true);
  RxLabel4 = new QLabel(this);
  RxLabel4->setGeometry(toQRect(L.title));
  RxLabel4->setAlignment(Qt::AlignCenter);
  QFont titleFont(qs(uimodel::kTitleFontFamily));
  titleFont.setPixelSize(uimodel::kTitleFontPixels);
  titleFont.setBold(true);
  RxLabel4->setFont(titleFont);
  RxLabel4->setStyleSheet(QStringLiteral("color: %1; background: transparent;")
                              .arg(toQColor(uimodel::kTitleText).name()));

  auto* main = new QWidget(this);
  main->setGeometry(toQRect(L.mainPanel));
  auto* logo = new QLabel(main);
  logo->setPixmap(pictures::logo());
  logo->setGeometry(toQRect(L.logo));

  SecretPanel1 = new TSecretPanel(main);
  SecretPanel1->setGeometry(toQRect(L.creditsPanel));
  setGround(SecretPanel1, uimodel::kCreditsGround);
  SecretPanel1->setTextColor(toQColor(uimodel::kCreditsText));
  SecretPanel1->setPicture(panelPicture());
  SecretPanel1->setLines(toQStringList(uimodel::CreditLines(std::string())));

  boldLabel(qs(uimodel::kTelephoneLine), main, L.telephone);
  RxLabel1 = new ClickLabel(qs(uimodel::kWebLabel), main);
  RxLabel3 = new ClickLabel(qs(uimodel::kMailLabel), main);
  const QString linkStyle = QStringLiteral("color: %1; text-decoration: underline;")
                                .arg(toQColor(uimodel::kLinkText).name());
  for (auto [link, at] : {std::pair{RxLabel1, L.webLink}, std::pair{RxLabel3, L.mailLink}}) {
    link->setCursor(Qt::PointingHandCursor);
    link->setStyleSheet(linkStyle);
    link->move(toQPoint(at));
    link->adjustSize();
  }
  connect(RxLabel1, &ClickLabel::clicked, this,
          [this] { m_services.openInShell(uimodel::kWebAddress); });
  connect(RxLabel3, &ClickLabel::clicked, this,
          [this] { m_services.openInShell(uimodel::kMailLink); });

  boldLabel(qs(uimodel::kPhysicalMemoryLabel), main, L.physicalMemoryLabel);
  boldLabel(qs(uimodel::kMemoryLoadLabel), main, L.memoryLoadLabel);
  Fizmem = boldLabel(QString(), main, L.physicalMemory);
  kulmem = boldLabel(QString(), main, L.memoryLoad);

  ButtonTamam = makeWindowButton(main, qs(uimodel::kAboutOkCaption),
                                 pictures::makeMainImageList(this), pictures::kGlyphTick);
  ButtonTamam->setGeometry(toQRect(L.okButton));
  connect(ButtonTamam, &QAbstractButton::clicked, this, &QWidget::close);
}

void TAboutF::readMemory() {
  const AboutServices::Memory memory = m_services.memoryStatus();
  // The locale's thousands separator, as the memory figure is written.
  const std::string separator = QLocale().groupSeparator().toStdString();
  Fizmem->setText(toQString(uimodel::FormatPhysicalMemory(memory.totalPhysicalBytes, separator)));
  Fizmem->adjustSize();
  kulmem->setText(toQString(uimodel::FormatMemoryLoad(memory.loadPercent)));
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
  SecretPanel1->setLines(toQStringList(uimodel::CreditLines(name.toStdString())));
}

void TAboutF::setStatusText(const QString& text) {
  StatusPanel->setText(text);
}
void TAboutF::setTeam(const QStringList& team) {
  SecretPanel2->setLines(team);
}

void TAboutF::toggleTeam() {
  m_state.toggleTeam();
  renderPanels();
}

void TAboutF::renderPanels() {
  // Restarting a running panel would only shift its step.
  if (SecretPanel1 && SecretPanel1->isActive() != m_state.creditsRunning())
    SecretPanel1->setActive(m_state.creditsRunning());
  SecretPanel2->setVisible(m_state.teamShown());
  SecretPanel2->setActive(m_state.teamRunning());
  if (m_state.teamShown()) SecretPanel2->raise();
}

void TAboutF::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  m_state.shown();
  renderPanels();
  Image1->show();
}

void TAboutF::closeEvent(QCloseEvent* e) {
  m_state.closed();
  renderPanels();
  // Accept without hiding here: the fade-out runs after this handler, on the
  // still visible window, and closing then hides it and ends exec().
  e->accept();
}

void TAboutF::keyPressEvent(QKeyEvent* e) {
  using Action = uimodel::AboutWindow::KeyAction;
  switch (uimodel::AboutWindow::ActionFor(toModelKey(e->key()), toModelModifiers(e->modifiers()))) {
    case Action::ToggleTeam:
      toggleTeam();
      return;
    case Action::Close:
      close();
      return;
    case Action::None:
      break;
  }
  QDialog::keyPressEvent(e);
}
