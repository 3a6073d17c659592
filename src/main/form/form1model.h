// form1::Model: the main window TForm1 without a toolkit. It holds the job
// options and the progress display (State), runs the window's handlers,
// builds a run's options from the State when the run starts, and is the
// RunHost the jobs report to. A view
// (form1view.h) renders it and passes the user's actions in; the model
// calls the view back through that port only.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "jobs/runhost.h"
#include "jobs/runoptions.h"
#include "jobs/workspace.h"
#include "main/driver/rundriver.h"
#include "main/form/aftercarry.h"
#include "main/form/form1state.h"
#include "main/form/form1view.h"
#include "platform/shell.h"
#include "report/openings.h"

namespace form1 {

// The application title: the caption of the default error report.
inline constexpr const char* kApplicationTitle = "Upgrade-Devir";
// The caption of the information box.
inline constexpr const char* kInfoCaption = "Bilgi";
// The caption of every question box.
inline constexpr const char* kQuestionCaption = "Soru";
// The button that leaves a question unanswered and what asked it undone.
inline constexpr const char* kCancelCaption = "Vazgeç";
// The after-carry home's action that brings stale openings up to date.
inline constexpr const char* kRefreshCaption = "Açılışları güncelle";
inline constexpr const char* kRestoreUpgradeCaption = "Upgrade'i geri al";
// The after-carry home's action that withdraws a carry nobody has used.
inline constexpr const char* kWithdrawCaption = "Devri geri al";
// The one button of the information and error boxes, whatever the language
// of the system.
inline constexpr const char* kOkCaption = "Tamam";

// A key press as a year edit sees it: the key, when it is one of the editing
// or focus keys that carry a control character, and the text it types
// (UTF-8; empty for keys that type nothing: arrows, Home, End, modifiers).
struct KeyPress {
  enum class Key { kCharacter, kDelete, kTab, kBacktab };
  Key key = Key::kCharacter;
  std::string text;
};

// A path's text in UTF-8, as our texts are: std::filesystem reads a narrow
// text on Windows in the ANSI code page, which would spoil Turkish letters.
std::string Utf8Path(const std::filesystem::path& p);

class Model final : public RunHost, public ErrorReport {
 public:
  // The view must outlive the model. The constructor calls nothing on it: the
  // view builds its controls in the state the model starts in.
  explicit Model(View& view);

  const State& state() const { return m_state; }
  Workspace& workspace() { return m_ws; }

  // Tests replace the product check and the jobs.
  void setProductCheck(ProductCheck check) { m_productCheck = std::move(check); }
  void setRunJobs(RunJobs jobs) { m_jobs = std::move(jobs); }
  // Tests replace the desktop's opening of a saved report.
  void setOpenInShell(std::function<bool(const std::string&)> open) {
    m_openInShell = std::move(open);
  }

  // The user's changes, as the controls' properties take them. Setting a
  // tick box to another state runs its click handler, as on Windows.
  void setUpgradeTicked(bool ticked);
  void setDevirTicked(bool ticked);
  void setYtlTicked(bool ticked);
  void setOldDirectory(const std::string& text);
  void setNewDirectory(const std::string& text);
  void setSourceYear(const std::string& text);
  void setTargetYear(const std::string& text);
  void setRoundingIndex(int index);

  // Handlers.
  void FormShow();  // the caption: maker, title and version
  void CheckBoxUpgradeClick();
  void CheckBoxYTLClick();
  void CheckBoxDevirClick();
  // True when the key may reach Edit1 or Edit2: the digits, backspace and
  // the editing keys that type nothing. Several characters at once (an input
  // method's) are dropped.
  static bool Edit1KeyPress(const KeyPress& key);
  // One run (rundriver.h), input dropped while it lasts; after a normal end
  // of a carry-forward, the reconciliation report is offered. Ignored while
  // a run is in progress.
  void Button1Click();
  void Button2Click();  // closes the window
  void Button3Click();  // the help window
  // Whether the window may close now: never during a run.
  bool CloseQuery() const { return !m_state.running; }
  // The browse button of a directory edit: the folder dialog opens at the
  // typed directory or its nearest existing parent (else at the view's
  // root); a chosen folder replaces the text, written as the user would
  // type it.
  void browse(Directory edit);
  std::string browseStart(Directory edit) const;

  // The options of a run started now, each directory resolved once.
  RunOptions runOptions() const;

  // RunHost.
  void setStatusText(const std::string& text) override;
  void setStatusVisible(bool visible) override;
  void setGaugeVisible(bool visible) override;
  void setGaugeMax(int maximum) override;
  void setGaugePosition(int position) override;
  void advanceGauge() override;
  void repaint() override;
  void infoBox(const std::string& text) override;
  bool selectCompanies(CompanyList& companies) override;
  // ErrorReport: the default error report.
  void errorBox(const std::string& text) override;

 private:
  void offerCarryReport(const RunOptions& run);
  // The openings check, offered instead of the selection when every company
  // of the source year is carried already (form1openings.cpp).
  bool offerOpeningsCheck(const CompanyList& companies);
  report::OpeningsOptions openingsOptions(const RunOptions& run) const;
  void offerOpeningsReport(const RunOptions& run, const report::OpeningsReport& checked);
  std::vector<HomeAction> afterCarryActions(const RunOptions& run);
  HomeAction openingsRefreshAction(const RunOptions& run);
  HomeAction upgradeRestoreAction(const RunOptions& run);
  HomeAction carryWithdrawalAction(const RunOptions& run);  // form1withdrawal.cpp
  void gaugeMoved(bool percentChanged);
  void keepAnswering();
  std::string& directoryText(Directory edit);
  const std::string& directoryText(Directory edit) const;
  template <typename T>
  void setOption(T& option, const T& value);

  View& m_view;
  State m_state = State::Initial();
  Workspace m_ws;
  ProductCheck m_productCheck = CheckProduct;
  RunJobs m_jobs = RunJobs::real();
  std::function<bool(const std::string&)> m_openInShell = platform::openInShell;
  bool m_openingsCheckWanted = false;  // answered during the run, done after it
};

}  // namespace form1
