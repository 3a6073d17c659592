#include "main/driver/dryrun.h"

#include <algorithm>
#include <filesystem>

#include "carry/precheck.h"
#include "jobs/datainuse.h"
#include "jobs/runhost.h"
#include "jobs/runoptions.h"
#include "jobs/workspace.h"
#include "platform/paths.h"
#include "report/plan.h"

namespace {

// Passes everything on but the progress display, which a plan does not move,
// and the end message of a real run.
class PlanningHost final : public ForwardingRunHost {
 public:
  explicit PlanningHost(RunHost& inner) : ForwardingRunHost(inner) {}

  void setStatusText(const std::string&) override {}
  void setStatusVisible(bool) override {}
  void setGaugeVisible(bool) override {}
  void setGaugeMax(int) override {}
  void setGaugePosition(int) override {}
  void advanceGauge() override {}
  void repaint() override {}
  void infoBox(const std::string& text) override {
    if (text != "İşlem tamamlandı") ForwardingRunHost::infoBox(text);
  }
};

// The data directory as the planned upgrade leaves it, for the
// carry-forward's checks.
DirectoryAfterUpgrade AfterUpgrade(const report::DryRunPlan& plan) {
  auto sources = [](const report::PlannedDirectory& dir) {
    std::vector<FileSource> files;
    for (const report::PlannedFile& f : dir) files.push_back({f.name, f.from});
    return files;
  };
  DirectoryAfterUpgrade after;
  after.dataFiles = sources(plan.dataFilesAfterUpgrade);
  for (const auto& [code, dir] : plan.companiesAfterUpgrade) {
    DirectoryAfterUpgrade::Company company{code, sources(dir), false};
    for (const report::UpgradeCompanyPlan& c : plan.upgrade->companies)
      if (c.code == code) company.settingsRebuilt = c.settingsRebuilt;
    after.companies.push_back(std::move(company));
  }
  after.bytesWritten = plan.upgrade->dataFiles.bytes;
  for (const report::UpgradeCompanyPlan& c : plan.upgrade->companies)
    after.bytesWritten += c.copy.bytes + c.completion.bytes;
  return after;
}

}  // namespace

RunEnd DryRun(RunHost& host, const RunOptions& run, ErrorReport& errors,
              const ProductCheck& productRunning, std::ostream& out) {
  PlanningHost planning(host);
  report::DryRunPlan plan;
  bool planned = false;
  std::vector<std::string> leftoverLocks;  // lock files nobody holds: said, not a stop
  RunJobs jobs{[&](RunHost& h, const RunOptions& r, Workspace& w) {
                 planned = CheckUpgradeDataInUse(h, r, w, &leftoverLocks) &&
                           report::PlanUpgrade(h, r, plan);
                 return planned;
               },
               [&](RunHost& h, const RunOptions& r, Workspace& w) {
                 // The job's own checks, on the list as the job would hold it.
                 planned = report::PlanCarryForward(h, r, plan, [&](const CompanyList& selected) {
                   w.RxSirket = selected;
                   return (plan.upgrade ? CheckBeforeWriting(h, r, w, AfterUpgrade(plan))
                                        : CheckBeforeWriting(h, r, w)) &&
                          CheckCarryDataInUse(h, r, w, &leftoverLocks);
                 });
               },
               /*write=*/false};
  Workspace ws;
  const RunEnd end = Button1Click(planning, run, ws, errors, productRunning, jobs);
  if (end == RunEnd::kFailed || !planned) return end == RunEnd::kCompleted ? RunEnd::kStopped : end;
  if (const auto& path = run.newData.location()) {
    std::error_code ec;
    const auto space = std::filesystem::space(*path, ec);
    if (!ec) plan.bytesFree = space.available;
  }
  out << report::PlanText(plan);
  // Both jobs look at the newest data directory: each file once.
  for (std::size_t i = 0; i < leftoverLocks.size(); ++i)
    if (std::find(leftoverLocks.begin(), leftoverLocks.begin() + i, leftoverLocks[i]) ==
        leftoverLocks.begin() + i)
      out << "Kilit dosyası (açık tutan program yok; kopyalanmaz, silinmez): " << leftoverLocks[i]
          << "\n";
  out << std::flush;
  return RunEnd::kCompleted;
}
