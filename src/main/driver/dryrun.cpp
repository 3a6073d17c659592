#include "main/driver/dryrun.h"

#include <filesystem>

#include "jobs/runhost.h"
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
