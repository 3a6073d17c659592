#include "main/driver/dryrun.h"

#include <filesystem>

#include "jobs/runhost.h"
#include "jobs/workspace.h"
#include "platform/paths.h"
#include "report/plan.h"

namespace {

// Passes everything on but the progress display, which a plan does not move,
// and the end message of a real run.
class PlanningHost final : public RunHost {
 public:
  explicit PlanningHost(RunHost& inner) : m_inner(inner) {}

  bool upgradeTicked() const override { return m_inner.upgradeTicked(); }
  bool devirTicked() const override { return m_inner.devirTicked(); }
  bool ytlTicked() const override { return m_inner.ytlTicked(); }
  std::string oldDataDirectory() const override { return m_inner.oldDataDirectory(); }
  std::string newDataDirectory() const override { return m_inner.newDataDirectory(); }
  std::string sourceYear() const override { return m_inner.sourceYear(); }
  std::string targetYear() const override { return m_inner.targetYear(); }
  int roundingMode() const override { return m_inner.roundingMode(); }
  int precisionDigits() const override { return m_inner.precisionDigits(); }
  std::string currencyName() const override { return m_inner.currencyName(); }
  std::string currencySymbol() const override { return m_inner.currencySymbol(); }
  std::string subUnitName() const override { return m_inner.subUnitName(); }
  std::string subUnitSymbol() const override { return m_inner.subUnitSymbol(); }
  void setStatusText(const std::string&) override {}
  void setStatusVisible(bool) override {}
  void setGaugeVisible(bool) override {}
  void setGaugeMax(int) override {}
  void setGaugePosition(int) override {}
  void advanceGauge() override {}
  void repaint() override {}
  void infoBox(const std::string& text) override {
    if (text != "İşlem tamamlandı") m_inner.infoBox(text);
  }
  bool selectCompanies(CompanyList& companies) override {
    return m_inner.selectCompanies(companies);
  }

 private:
  RunHost& m_inner;
};

}  // namespace

RunEnd DryRun(RunHost& host, ErrorReport& errors, const ProductCheck& productRunning,
              std::ostream& out) {
  PlanningHost planning(host);
  report::DryRunPlan plan;
  bool planned = false;
  RunJobs jobs{[&](RunHost& h, Workspace&) {
                 planned = report::PlanUpgrade(h, plan);
                 return planned;
               },
               [&](RunHost& h, Workspace&) { planned = report::PlanCarryForward(h, plan); },
               /*write=*/false};
  Workspace ws;
  const RunEnd end = Button1Click(planning, ws, errors, productRunning, jobs);
  if (end == RunEnd::kFailed || !planned) return end == RunEnd::kCompleted ? RunEnd::kStopped : end;
  if (auto path = platform::resolvePath(host.newDataDirectory())) {
    std::error_code ec;
    const auto space = std::filesystem::space(*path, ec);
    if (!ec) plan.bytesFree = space.available;
  }
  out << report::PlanText(plan) << std::flush;
  return RunEnd::kCompleted;
}
