#include "main/window/form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QScreen>

#include "carry/dialog/k_sirketsec.h"
#include "main/window/reportwindow.h"
#include "ui/messagebox.h"

namespace {

QString fromUtf8(const std::string& text) {
  // The texts carry Windows line breaks; a message box wants plain ones.
  return QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

bool isUserInput(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::ContextMenu:
    case QEvent::Close:
      return true;
    default:
      return false;
  }
}

}  // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent) {
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  QFont f(QStringLiteral("MS Sans Serif"));
  f.setStyleHint(QFont::SansSerif);
  f.setPixelSize(11);
  setFont(f);
  setFixedSize(569, 545);
  buildControls();
  connectHandlers();
}

TForm1::~TForm1() {
  qApp->removeEventFilter(this);
}

QString TForm1::formCaption() {
  return QStringLiteral("ZEFIRTAK KMX Devir-Upgrade s2.04.02");
}

void TForm1::connectHandlers() {
  connect(CheckBoxUpgrade, &QCheckBox::toggled, this, [this] { CheckBoxUpgradeClick(); });
  connect(CheckBoxYTL, &QCheckBox::toggled, this, [this] { CheckBoxYTLClick(); });
  connect(CheckBoxDevir, &QCheckBox::toggled, this, [this] { CheckBoxDevirClick(); });
  connect(Button1, &QAbstractButton::clicked, this, [this] { Button1Click(); });
  connect(Button2, &QAbstractButton::clicked, this, [this] { Button2Click(); });
  connect(Button3, &QAbstractButton::clicked, this, [this] { Button3Click(); });
  Edit1->installEventFilter(this);
  Edit2->installEventFilter(this);
}

void TForm1::showEvent(QShowEvent* event) {
  if (!m_centred) {
    m_centred = true;
    if (QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
  }
  FormShow();
  QWidget::showEvent(event);
}

void TForm1::FormShow() {
  setWindowTitle(formCaption());
}

// Follows every change of the box's state, also the ones CheckBoxDevirClick
// makes, as the box's click event does.
void TForm1::CheckBoxUpgradeClick() {
  PanelUpgrade->setVisible(CheckBoxUpgrade->isChecked());
}

void TForm1::CheckBoxYTLClick() {
  PanelYTL->setVisible(CheckBoxYTL->isChecked());
}

void TForm1::CheckBoxDevirClick() {
  bool devir = CheckBoxDevir->isChecked();
  CheckBoxUpgrade->setChecked(!devir);
  CheckBoxUpgrade->setEnabled(devir);
  Panel2->setVisible(devir);
}

bool TForm1::Edit1KeyPress(QKeyEvent* key) {
  switch (key->key()) {
    case Qt::Key_Delete:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return true;  // editing and focus keys, not characters
    default:
      break;
  }
  const QString text = key->text();
  if (text.isEmpty()) return true;  // arrows, Home, End, modifiers
  if (text.size() != 1) return false;
  QChar c = text.at(0);
  return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('\b');
}

void TForm1::Button1Click() {
  if (m_running) return;
  // During a run the window takes no input: an application-wide filter drops
  // every input event meant for this window (the modal boxes and the
  // selection dialog are other windows and work as usual).
  m_running = true;
  m_sinceAnswered.start();
  qApp->installEventFilter(this);
  const RunEnd end = ::Button1Click(*this, m_ws, *this, m_productCheck, m_jobs);
  // Input queued while the run blocked the thread is dropped, not replayed.
  QApplication::processEvents();
  qApp->removeEventFilter(this);
  m_running = false;
  if (end == RunEnd::kCompleted && devirTicked()) offerCarryReport();
}

void TForm1::offerCarryReport() {
  OfferCarryReport(this, *this, m_ws,
                   [this](const QString& question) { return AskShowReport(this, question); });
}

void TForm1::Button2Click() {
  close();
}

void TForm1::Button3Click() {
  if (QDialog* help = m_help.data()) {
    help->setWindowModality(Qt::ApplicationModal);
    help->exec();
  }
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (m_running && isUserInput(event->type())) {
    auto* w = qobject_cast<QWidget*>(watched);
    if (w && w->window() == this) {
      event->ignore();  // an accepted close event would still close the window
      return true;
    }
  }
  if ((watched == Edit1 || watched == Edit2) && event->type() == QEvent::KeyPress)
    return !Edit1KeyPress(static_cast<QKeyEvent*>(event));
  return QWidget::eventFilter(watched, event);
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (m_running) {
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
}

// --- RunHost ----------------------------------------------------------------

std::string TForm1::oldDataDirectory() const {
  return DirectoryEditOrLumex->text().toStdString();
}

std::string TForm1::newDataDirectory() const {
  return DirectoryEditPravex->text().toStdString();
}

// A run keeps the thread busy. At each progress point the window lets the
// window system's events through at most every kAnswerEveryMs (repaints after
// an exposure, the window manager's "are you alive" ping, which would
// otherwise offer to kill a "not responding" window in the middle of building
// a company), but no input: that stays queued, and the run's event filter
// drops it.
void TForm1::keepAnswering() {
  constexpr int kAnswerEveryMs = 50;
  if (!m_running || m_sinceAnswered.elapsed() < kAnswerEveryMs) return;
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  m_sinceAnswered.start();
}

void TForm1::repaint() {
  QWidget::repaint();
  keepAnswering();
}

void TForm1::setStatusText(const std::string& text) {
  Label4->setText(QString::fromStdString(text));
  Label4->adjustSize();
  repaint();
}

void TForm1::setStatusVisible(bool visible) {
  Label4->setVisible(visible);
}
void TForm1::setGaugeVisible(bool visible) {
  Gauge1->setVisible(visible);
}

void TForm1::setGaugeMax(int maximum) {
  Gauge1->setMaxValue(maximum);
}
void TForm1::setGaugePosition(int position) {
  Gauge1->setProgress(position);
  keepAnswering();
}
void TForm1::advanceGauge() {
  Gauge1->setProgress(Gauge1->progress() + 1);
  keepAnswering();
}

void TForm1::infoBox(const std::string& text) {
  showInformation(fromUtf8(text));
}
void TForm1::errorBox(const std::string& text) {
  showError(fromUtf8(text));
}
bool TForm1::selectCompanies(CompanyList& companies) {
  return showSelection(companies);
}

void TForm1::showInformation(const QString& text) {
  makeMessageBox(QMessageBox::Information, QStringLiteral("Bilgi"), text, this)->exec();
}

void TForm1::showError(const QString& text) {
  makeMessageBox(QMessageBox::Critical, QStringLiteral("Upgrade-Devir"), text, this)->exec();
}

bool TForm1::showSelection(CompanyList& companies) {
  TK_SirketSec dialog(companies, *this, this);
  dialog.exec();
  return dialog.confirmed();
}
