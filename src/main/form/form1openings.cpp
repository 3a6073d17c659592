// The openings check in the window. Once every company of the source year
// has been carried, the selection would offer nothing to tick; the window
// offers instead to compare the new year's openings with what the old year
// gives today (late entries), a check that writes nothing but its report,
// shown in the report window, the home of the actions after a carry (the
// opening update).
#include <exception>
#include <string>

#include "carry/selection.h"
#include "main/driver/openingscheck.h"
#include "main/driver/refreshcommand.h"
#include "main/driver/restorecommand.h"
#include "main/form/aftercarry.h"
#include "main/form/form1model.h"
#include "platform/paths.h"
#include "refresh/refreshformat.h"
#include "report/openingsformat.h"
#include "report/presentation.h"
#include "report/reportfiles.h"
#include "upgrade/restore.h"

namespace form1 {

bool Model::offerOpeningsCheck(const CompanyList& companies) {
  // With the upgrade the list is the upgraded registry's, of another edition.
  if (m_state.upgradeTicked || !EveryCompanyCarried(companies)) return false;
  const std::string question =
      m_state.sourceYear + " yılının bütün şirketleri " + m_state.targetYear +
      " yılına devredilmiş.\r\nYeni yılın açılış değerleri, devirden sonra eski yıla girilen "
      "kayıtlarla karşılaştırılsın mı?\r\n(Şirketlere hiçbir şey yazılmaz.)";
  // "Vazgeç" ends the run as the selection's own "Vazgeç" would.
  const Answer answer =
      m_view.ask({kQuestionCaption, question, "Karşılaştır", "Şirket seç", kCancelCaption});
  m_openingsCheckWanted = answer == Answer::kYes;
  return answer != Answer::kNo;
}

report::OpeningsOptions Model::openingsOptions(const RunOptions& run) const {
  report::OpeningsOptions options;
  options.dataDirectory = run.newData;
  options.fromYear = run.sourceYear;
  options.toYear = run.targetYear;
  options.roundingMode = run.rounding;
  return options;
}

void Model::offerOpeningsReport(const RunOptions& run, const report::OpeningsReport& checked) {
  std::size_t differing = 0;
  for (const report::CompanyOpenings& c : checked.companies)
    differing += c.differences.size() + (c.failed ? 1 : 0);
  std::string saved, failure;
  try {
    saved = report::SaveOpeningsReport(checked, report::ReportDirectory(run.newData)).htmlFile;
  } catch (const std::exception& e) {
    failure = std::string("\r\nRapor kaydedilemedi: ") + e.what();
  }
  const std::string summary =
      checked.agrees()
          ? std::string("Devir değerleri denetlendi: bütün açılışlar uyuyor.")
          : "Devir değerleri denetiminde " + std::to_string(differing) + " fark bulundu.";
  if (saved.empty()) return infoBox(summary + failure);
  if (m_view.ask({kQuestionCaption, summary + "\r\nRaporu göstermek ister misiniz?",
                  "Raporu göster", "Kapat"}) != Answer::kYes)
    return;
  // The report window, home of what can be done after the carry. After an
  // action the check runs again and the window shows it.
  bool first = true;
  report::OpeningsReport shown = checked;
  AfterCarryHome home(
      [&] {
        if (!first) {
          if (auto again = RunOpeningsCheck(*this, *this, m_productCheck, openingsOptions(run))) {
            shown = std::move(*again);
            try {
              saved =
                  report::SaveOpeningsReport(shown, report::ReportDirectory(run.newData)).htmlFile;
            } catch (const std::exception&) {
              saved.clear();
            }
          }
        }
        first = false;
        return report::PresentOpenings(shown, saved);
      },
      afterCarryActions(run));
  do {
    m_view.showAfterCarryHome(home);
  } while (home.takeReopen());
}

// The actions of the home, one entry each, in button order.
std::vector<HomeAction> Model::afterCarryActions(const RunOptions& run) {
  std::vector<HomeAction> actions;
  actions.push_back(openingsRefreshAction(run));
  actions.push_back(carryWithdrawalAction(run));
  // Taking back the upgrade, where one was made in this data directory.
  if (!UpgradeBackupFolders(run.newData).empty()) actions.push_back(upgradeRestoreAction(run));
  return actions;
}

namespace {

// Keeps the messages of a run that the home shows as its action's result.
class KeepingMessages final : public ForwardingRunHost {
 public:
  using ForwardingRunHost::ForwardingRunHost;
  void infoBox(const std::string& text) override {
    messages += (messages.empty() ? "" : "\r\n") + text;
  }
  std::string messages;
};

}  // namespace

HomeAction Model::upgradeRestoreAction(const RunOptions& run) {
  HomeAction action;
  action.caption = kRestoreUpgradeCaption;
  action.confirm = "Geri al";
  const platform::TypedPath data = run.newData;
  action.preview = [data]() -> HomeAction::Preview {
    const RestorePlan plan = PlanUpgradeRestore(data, "");
    if (!plan.refusal.empty()) return {plan.refusal, false};
    return {RestorePreviewText(plan), true};
  };
  action.run = [this, data]() -> HomeAction::Result {
    KeepingMessages host(*this);
    RestoreRequest request;
    request.data = data;
    const RunEnd end = RunRestoreUpgrade(host, *this, m_productCheck, request);
    return {host.messages, end != RunEnd::kCompleted};
  };
  return action;
}

HomeAction Model::openingsRefreshAction(const RunOptions& run) {
  auto update = [this, run](bool dryRun) {
    refresh::RefreshOptions options;
    options.openings = openingsOptions(run);
    options.dryRun = dryRun;
    return RunOpeningsRefresh(*this, *this, m_productCheck, options);
  };
  HomeAction action;
  action.caption = kRefreshCaption;
  action.confirm = "Güncelle";
  action.preview = [update]() -> HomeAction::Preview {
    const std::optional<refresh::RefreshReport> planned = update(true);
    if (!planned) return {"Açılışlar güncellenemez: denetimler geçilemedi.", false};
    return {refresh::RefreshPreview(*planned), refresh::WouldWrite(*planned)};
  };
  action.run = [update, run]() -> HomeAction::Result {
    const std::optional<refresh::RefreshReport> done = update(false);
    if (!done) return {"Açılışlar güncellenemedi.", true};
    std::string text = refresh::RefreshSummary(*done);
    bool failed = false;
    for (const refresh::CompanyRefresh& c : done->companies) {
      if (!c.backupFolder.empty())
        text += "\r\n" + c.shortName + ": önceki dosyalar " + run.newData.textOf(c.backupFolder);
      if (!c.failure.empty()) {
        text += "\r\n" + c.shortName + " güncellenemedi: " + c.failure;
        failed = true;
      }
    }
    try {
      text += "\r\nRapor kaydedildi: " +
              refresh::SaveRefreshReport(*done, report::ReportDirectory(run.newData)).htmlFile;
    } catch (const std::exception& e) {
      text += std::string("\r\nRapor kaydedilemedi: ") + e.what();
    }
    return {text, failed};
  };
  return action;
}

}  // namespace form1
