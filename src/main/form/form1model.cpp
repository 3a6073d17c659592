#include "main/form/form1model.h"

#include <exception>
#include <filesystem>
#include <vector>

#include "jobs/currency.h"
#include "jobs/datainuse.h"
#include "main/driver/openingscheck.h"
#include "main/driver/runreport.h"
#include "main/form/form1layout.h"
#include "platform/paths.h"
#include "report/reconciliation.h"
#include "report/reportfiles.h"
#include "ui/model/version.h"
#ifdef _WIN32
#include "platform/wintext.h"
#endif

namespace form1 {

std::string Utf8Path(const std::filesystem::path& p) {
#ifdef _WIN32
  return platform::utf8FromPath(p);
#else
  return p.string();
#endif
}

namespace {

std::filesystem::path pathOf(const std::string& text) {
#ifdef _WIN32
  return platform::pathFromUtf8(text);
#else
  return std::filesystem::path(text);
#endif
}

const char* editName(Directory edit) {
  return edit == Directory::kOrLumex ? "DirectoryEditOrLumex" : "DirectoryEditPravex";
}

// The busy cursor for as long as it lives, also when what it covers throws.
class BusyCursor {
 public:
  explicit BusyCursor(View& view) : m_view(view) { m_view.setBusyCursor(true); }
  ~BusyCursor() { m_view.setBusyCursor(false); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  View& m_view;
};

}  // namespace

Model::Model(View& view) : m_view(view) {}

template <typename T>
void Model::setOption(T& option, const T& value) {
  if (option == value) return;
  option = value;
  m_view.renderState(m_state, kOptions);
}

void Model::setUpgradeTicked(bool ticked) {
  if (m_state.upgradeTicked == ticked) return;
  m_state.upgradeTicked = ticked;
  CheckBoxUpgradeClick();
}

void Model::setDevirTicked(bool ticked) {
  if (m_state.devirTicked == ticked) return;
  m_state.devirTicked = ticked;
  CheckBoxDevirClick();
}

void Model::setYtlTicked(bool ticked) {
  if (m_state.ytlTicked == ticked) return;
  m_state.ytlTicked = ticked;
  CheckBoxYTLClick();
}

void Model::setOldDirectory(const std::string& text) {
  setOption(m_state.oldDirectory, text);
}
void Model::setNewDirectory(const std::string& text) {
  setOption(m_state.newDirectory, text);
}
void Model::setSourceYear(const std::string& text) {
  setOption(m_state.sourceYear, text);
}
void Model::setTargetYear(const std::string& text) {
  setOption(m_state.targetYear, text);
}
void Model::setRoundingIndex(int index) {
  setOption(m_state.roundingIndex, index);
}

// --- handlers ---------------------------------------------------------------

void Model::FormShow() {
  m_state.caption = version::WindowCaption();
  m_view.renderState(m_state, kCaption);
}

// Follows every change of the box's state, also the ones CheckBoxDevirClick
// makes, as the box's click event does.
void Model::CheckBoxUpgradeClick() {
  m_state.panelUpgradeVisible = m_state.upgradeTicked;
  m_view.renderState(m_state, kOptions);
}

void Model::CheckBoxYTLClick() {
  m_state.panelYtlVisible = m_state.ytlTicked;
  m_view.renderState(m_state, kOptions);
}

// Both jobs can be ticked, or the upgrade alone; never neither.
void Model::CheckBoxDevirClick() {
  const bool devir = m_state.devirTicked;
  setUpgradeTicked(!devir);
  m_state.upgradeEnabled = devir;
  m_state.panel2Visible = devir;
  m_view.renderState(m_state, kOptions);
}

bool Model::Edit1KeyPress(const KeyPress& key) {
  switch (key.key) {
    case KeyPress::Key::kDelete:
    case KeyPress::Key::kTab:
    case KeyPress::Key::kBacktab:
      return true;  // editing and focus keys, whatever control character they carry
    case KeyPress::Key::kCharacter:
      break;
  }
  if (key.text.empty()) return true;  // arrows, Home, End, modifiers
  // One byte: a character outside ASCII is no digit either. The clipboard
  // shortcuts' control characters are dropped here too.
  if (key.text.size() != 1) return false;
  const char c = key.text[0];
  return (c >= '0' && c <= '9') || c == '\b';
}

void Model::Button1Click() {
  if (m_state.running) return;
  // Restores the window's input also when something escapes the driver.
  struct Running {
    Model& m;
    explicit Running(Model& model) : m(model) {
      m.m_state.running = true;
      m.m_view.setInputDropped(true);
    }
    ~Running() {
      m.m_view.setInputDropped(false);
      m.m_state.running = false;
    }
  };
  // Where other computers' programs cannot be seen, the user answers.
  auto closedQuestion = [this](const std::string& question) {
    return m_view.ask({kQuestionCaption, question, "Evet", "Hayır"}) == Answer::kYes;
  };
  RunEnd end;
  m_openingsCheckWanted = false;
  const RunOptions run = runOptions();
  {
    Running running(*this);
    ScopedClosedQuestion closed(closedQuestion);
    end = ::Button1Click(*this, run, m_ws, *this, m_productCheck, m_jobs);
  }
  if (m_openingsCheckWanted) {
    // After the run, whose lock it does not take: it reads only.
    std::optional<report::OpeningsReport> checked;
    {
      Running running(*this);
      ScopedClosedQuestion closed(closedQuestion);
      checked = RunOpeningsCheck(*this, *this, m_productCheck, openingsOptions(run));
    }
    if (checked) offerOpeningsReport(run, *checked);
    return;
  }
  if (end == RunEnd::kCompleted && run.devir) offerCarryReport(run);
}

void Model::Button2Click() {
  m_view.closeWindow();
}

void Model::Button3Click() {
  m_view.showHelp();
}

// After "İşlem tamamlandı" of a carry-forward: the report of the companies it
// built is saved in the data directory's report folder and offered with a
// question. A report that could not be saved is still offered, its failure
// named in the question.
void Model::offerCarryReport(const RunOptions& run) {
  if (CarriedCompanies(m_ws).empty()) return;
  std::optional<CarryReport> made;
  try {
    BusyCursor busy(m_view);
    made = ReconcileAndSave(run, m_ws, report::ReportDirectory(run.newData));
  } catch (const std::exception& e) {
    // The run itself ended well; a failure of the report is reported as any
    // other failure, and the window stays usable.
    errorBox(ErrorReportText(e.what()));
    return;
  }
  if (!made) return;
  const report::RunReport& r = made->report;
  const std::string& saved = made->saved.htmlFile;
  const std::string failure =
      made->saveFailure.empty() ? "" : "\r\nRapor kaydedilemedi: " + made->saveFailure;
  const std::size_t differing = r.differingLines();
  const std::string question =
      (differing == 0
           ? std::string("Devir mutabakat raporu hazırlandı: tüm satırlar uyuyor.")
           : "Devir mutabakat raporunda " + std::to_string(differing) + " satırda fark bulundu.") +
      failure + "\r\nRaporu göstermek ister misiniz?";
  if (m_view.ask({kQuestionCaption, question, "Raporu göster", "Kapat"}) != Answer::kYes) return;
  m_view.showReport(r, saved);
}

// --- directory edits --------------------------------------------------------

std::string& Model::directoryText(Directory edit) {
  return edit == Directory::kOrLumex ? m_state.oldDirectory : m_state.newDirectory;
}

const std::string& Model::directoryText(Directory edit) const {
  return edit == Directory::kOrLumex ? m_state.oldDirectory : m_state.newDirectory;
}

std::string Model::browseStart(Directory edit) const {
  if (auto dir = platform::nearestExistingDirectory(directoryText(edit))) return Utf8Path(*dir);
  return m_view.rootDirectory();
}

void Model::browse(Directory edit) {
  const std::optional<std::string> chosen =
      m_view.pickFolder(edit, Find(editName(edit)).prompt, browseStart(edit));
  if (!chosen || chosen->empty()) return;
  setOption(directoryText(edit), platform::typedPath(pathOf(*chosen)));
}

// --- RunHost ------------------------------------------------------------------

RunOptions Model::runOptions() const {
  RunOptions run;
  run.upgrade = m_state.upgradeTicked;
  run.devir = m_state.devirTicked;
  run.ytl = m_state.ytlTicked;
  run.oldData = platform::TypedPath::resolve(m_state.oldDirectory);
  run.newData = platform::TypedPath::resolve(m_state.newDirectory);
  run.sourceYear = m_state.sourceYear;
  run.targetYear = m_state.targetYear;
  run.rounding = m_state.roundingIndex;
  run.digits = m_state.precisionIndex;
  return run;
}

// A run keeps the thread busy: the status text is painted at once, and at
// each progress point the window system's own events are let through.
void Model::keepAnswering() {
  if (m_state.running) m_view.keepAnswering();
}

void Model::setStatusText(const std::string& text) {
  m_state.statusText = text;
  m_view.renderState(m_state, kStatus);
  repaint();
}

void Model::setStatusVisible(bool visible) {
  m_state.statusVisible = visible;
  m_view.renderState(m_state, kStatus);
}

void Model::setGaugeVisible(bool visible) {
  m_state.gaugeVisible = visible;
  m_view.renderState(m_state, kGauge);
}

// The gauge paints itself at once when its percentage changes.
void Model::gaugeMoved(bool percentChanged) {
  m_view.renderState(m_state, kGauge);
  if (percentChanged && m_state.gaugeVisible) m_view.paintNow(PaintNow::kGauge);
}

void Model::setGaugeMax(int maximum) {
  gaugeMoved(m_state.gauge.setMax(maximum));
}

void Model::setGaugePosition(int position) {
  gaugeMoved(m_state.gauge.setPosition(position));
  keepAnswering();
}

void Model::advanceGauge() {
  setGaugePosition(m_state.gauge.position() + 1);
}

void Model::repaint() {
  m_view.paintNow(PaintNow::kWindow);
  keepAnswering();
}

void Model::infoBox(const std::string& text) {
  m_view.showMessage({Message::Icon::kInformation, kInfoCaption, text});
}

void Model::errorBox(const std::string& text) {
  m_view.showMessage({Message::Icon::kError, kApplicationTitle, text});
}

bool Model::selectCompanies(CompanyList& companies) {
  if (offerOpeningsCheck(companies)) return false;
  return m_view.showSelection(companies);
}

}  // namespace form1
