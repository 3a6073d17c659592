#include "main/window/form1.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QScreen>

#include "carry/dialog/k_sirketsec.h"
#include "main/window/reportwindow.h"
#include "ui/messagebox.h"

namespace {

QString fromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A text to show: the model's texts carry Windows line breaks, Qt wants
// plain ones.
QString shown(const std::string& text) {
  return fromUtf8(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
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

form1::KeyPress keyPress(const QKeyEvent& event) {
  using Key = form1::KeyPress::Key;
  Key key = Key::kCharacter;
  switch (event.key()) {
    case Qt::Key_Delete:
      key = Key::kDelete;
      break;
    case Qt::Key_Tab:
      key = Key::kTab;
      break;
    case Qt::Key_Backtab:
      key = Key::kBacktab;
      break;
    default:
      break;
  }
  return {key, event.text().toStdString()};
}

void setShown(QWidget* widget, bool shown) {
  if (widget->isHidden() == shown) widget->setVisible(shown);
}

void setChecked(QCheckBox* box, bool checked) {
  if (box->isChecked() != checked) box->setChecked(checked);
}

void setText(QLineEdit* edit, const std::string& text) {
  const QString t = fromUtf8(text);
  if (edit->text() != t) edit->setText(t);
}

void setItemIndex(TRadioGroup* group, int index) {
  if (group->itemIndex() != index) group->setItemIndex(index);
}

}  // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent) {
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  buildControls();
  renderState(m_model.state(), form1::kOptions | form1::kStatus | form1::kGauge);
  connectHandlers();
}

TForm1::~TForm1() {
  qApp->removeEventFilter(this);
}

// Every change goes to the model; a change the window makes while it
// renders the model's state is already the model's.
void TForm1::connectHandlers() {
  auto onTick = [this](QCheckBox* box, void (form1::Model::*set)(bool)) {
    connect(box, &QCheckBox::toggled, this, [this, set](bool on) {
      if (!m_rendering) (m_model.*set)(on);
    });
  };
  onTick(CheckBoxUpgrade, &form1::Model::setUpgradeTicked);
  onTick(CheckBoxDevir, &form1::Model::setDevirTicked);
  onTick(CheckBoxYTL, &form1::Model::setYtlTicked);
  auto onText = [this](QLineEdit* edit, void (form1::Model::*set)(const std::string&)) {
    connect(edit, &QLineEdit::textChanged, this, [this, set](const QString& text) {
      if (!m_rendering) (m_model.*set)(text.toStdString());
    });
  };
  onText(DirectoryEditOrLumex->edit(), &form1::Model::setOldDirectory);
  onText(DirectoryEditPravex->edit(), &form1::Model::setNewDirectory);
  onText(Edit1, &form1::Model::setSourceYear);
  onText(Edit2, &form1::Model::setTargetYear);
  connect(RadioYUVARLA->buttons(), &QButtonGroup::idToggled, this, [this](int id, bool on) {
    if (on && !m_rendering) m_model.setRoundingIndex(id);
  });
  connect(Button1, &QAbstractButton::clicked, this, [this] { m_model.Button1Click(); });
  connect(Button2, &QAbstractButton::clicked, this, [this] { m_model.Button2Click(); });
  connect(Button3, &QAbstractButton::clicked, this, [this] { m_model.Button3Click(); });
  connect(DirectoryEditOrLumex->browseButton(), &QAbstractButton::clicked, this,
          [this] { m_model.browse(form1::Directory::kOrLumex); });
  connect(DirectoryEditPravex->browseButton(), &QAbstractButton::clicked, this,
          [this] { m_model.browse(form1::Directory::kPravex); });
  Edit1->installEventFilter(this);
  Edit2->installEventFilter(this);
}

void TForm1::showEvent(QShowEvent* event) {
  if (!m_centred) {
    m_centred = true;
    if (QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
  }
  m_model.FormShow();
  QWidget::showEvent(event);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (m_dropInput && isUserInput(event->type())) {
    auto* w = qobject_cast<QWidget*>(watched);
    if (w && w->window() == this) {
      event->ignore();  // an accepted close event would still close the window
      return true;
    }
  }
  if ((watched == Edit1 || watched == Edit2) && event->type() == QEvent::KeyPress)
    return !form1::Model::Edit1KeyPress(keyPress(*static_cast<QKeyEvent*>(event)));
  return QWidget::eventFilter(watched, event);
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (!m_model.CloseQuery()) {
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
}

// --- form1::View ---------------------------------------------------------------

void TForm1::renderState(const form1::State& s, unsigned parts) {
  const bool wasRendering = m_rendering;
  m_rendering = true;
  if (parts & form1::kCaption) setWindowTitle(fromUtf8(s.caption));
  if (parts & form1::kOptions) renderOptions(s);
  if (parts & form1::kStatus) {
    const QString text = shown(s.statusText);
    if (Label4->text() != text) {
      Label4->setText(text);
      Label4->adjustSize();
    }
    setShown(Label4, s.statusVisible);
  }
  if (parts & form1::kGauge) {
    Gauge1->setState(s.gauge.max(), s.gauge.position(), fromUtf8(s.gauge.text()));
    setShown(Gauge1, s.gaugeVisible);
  }
  m_rendering = wasRendering;
}

void TForm1::renderOptions(const form1::State& s) {
  setChecked(CheckBoxUpgrade, s.upgradeTicked);
  CheckBoxUpgrade->setEnabled(s.upgradeEnabled);
  setChecked(CheckBoxDevir, s.devirTicked);
  setChecked(CheckBoxYTL, s.ytlTicked);
  setShown(PanelUpgrade, s.panelUpgradeVisible);
  setShown(Panel2, s.panel2Visible);
  setShown(PanelYTL, s.panelYtlVisible);
  setText(DirectoryEditOrLumex->edit(), s.oldDirectory);
  setText(DirectoryEditPravex->edit(), s.newDirectory);
  setText(Edit1, s.sourceYear);
  setText(Edit2, s.targetYear);
  setItemIndex(RadioYUVARLA, s.roundingIndex);
  setItemIndex(RadioHAS, s.precisionIndex);
  setItemIndex(RadioORAN, s.ratioIndex);
}

void TForm1::paintNow(form1::PaintNow what) {
  if (what == form1::PaintNow::kGauge)
    Gauge1->repaint();
  else
    repaint();
}

// At most every kAnswerEveryMs the window system's events go through
// (repaints after an exposure, the window manager's "are you alive" ping,
// which would otherwise offer to kill a "not responding" window in the
// middle of building a company), but no input: that stays queued, and the
// run's event filter drops it.
void TForm1::keepAnswering() {
  constexpr int kAnswerEveryMs = 50;
  if (!m_dropInput || m_sinceAnswered.elapsed() < kAnswerEveryMs) return;
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  m_sinceAnswered.start();
}

// An application-wide filter drops every input event meant for this window.
void TForm1::setInputDropped(bool dropped) {
  if (dropped) {
    m_dropInput = true;
    m_sinceAnswered.start();
    qApp->installEventFilter(this);
    return;
  }
  // Input queued while the run blocked the thread is dropped, not replayed.
  QApplication::processEvents();
  qApp->removeEventFilter(this);
  m_dropInput = false;
}

void TForm1::setBusyCursor(bool busy) {
  if (busy)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

void TForm1::showMessage(const form1::Message& m) {
  ShowMessageBox(this, m);
}

form1::Answer TForm1::ask(const form1::Question& q) {
  return AskQuestion(this, q);
}

bool TForm1::showSelection(CompanyList& companies) {
  TK_SirketSec dialog(companies, m_model, this);
  dialog.exec();
  return dialog.confirmed();
}

void TForm1::showReport(const report::RunReport& report, const std::string& savedFile) {
  TReportWindow window(report, fromUtf8(savedFile), this);
  window.setWindowModality(Qt::ApplicationModal);
  window.exec();
}

void TForm1::showAfterCarryHome(form1::AfterCarryHome& home) {
  TReportWindow window(home, this);
  window.setWindowModality(Qt::ApplicationModal);
  window.exec();
}

void TForm1::showHelp() {
  if (QDialog* help = m_help.data()) {
    help->setWindowModality(Qt::ApplicationModal);
    help->exec();
  }
}

std::optional<std::string> TForm1::pickFolder(form1::Directory edit, const std::string& prompt,
                                              const std::string& start) {
  QWidget* owner = edit == form1::Directory::kOrLumex ? DirectoryEditOrLumex : DirectoryEditPravex;
  const QString chosen =
      QFileDialog::getExistingDirectory(owner, fromUtf8(prompt), fromUtf8(start));
  if (chosen.isEmpty()) return std::nullopt;
  return QDir::toNativeSeparators(chosen).toStdString();
}

std::string TForm1::rootDirectory() const {
  return QDir::rootPath().toStdString();
}

void TForm1::closeWindow() {
  close();
}
