#include "main/driver/refreshcommand.h"

#include <exception>

#include "data/datadirectories.h"
#include "jobs/datainuse.h"
#include "jobs/runhost.h"
#include "jobs/runoptions.h"
#include "jobs/workspace.h"
#include "main/driver/consolehost.h"
#include "main/driver/headless.h"
#include "main/driver/openingscheck.h"
#include "refresh/refreshformat.h"
#include "report/reportfiles.h"

const char* RefreshOpeningsUsage() {
  return "Kullanım: upgrade-devir --refresh-openings --data DİZİN --from YIL --to YIL\n"
         "                        [--companies all|KOD,KOD...] [--dry-run]\n"
         "                        [--report-dir DİZİN] [--confirm-closed]\n";
}

std::optional<refresh::RefreshReport> RunOpeningsRefresh(RunHost& host, ErrorReport& errors,
                                                         const ProductCheck& productRunning,
                                                         const refresh::RefreshOptions& options) {
  const report::OpeningsOptions& o = options.openings;
  RunOptions run = OpeningsRunOptions(o);
  run.dryRun = options.dryRun;
  std::optional<refresh::RefreshReport> result;
  RunJobs jobs{nullptr,
               [&](RunHost& h, const RunOptions&, Workspace& ws) {
                 // The registry and every company of both years: the old
                 // year is read, the new one written.
                 std::vector<TouchedDirectory> touched{{o.dataDirectory, {"sirket.*"}}};
                 for (const std::string& code : refresh::CompaniesToRefresh(options))
                   touched.push_back({CompanyDirectory(o.dataDirectory, code), {"*.*"}});
                 if (!CheckDataInUse(h, ws, touched)) return;
                 refresh::RefreshOutcome outcome = refresh::RefreshOpenings(h, options);
                 if (!outcome.stop.empty()) return InfoBox(h, StopText(outcome.stop));
                 result = std::move(outcome.report);
               },
               /*write=*/!options.dryRun};
  Workspace ws;
  const RunEnd end = Button1Click(host, run, ws, errors, productRunning, jobs);
  if (end == RunEnd::kFailed) return std::nullopt;
  return result;
}

int RefreshExitStatus(const refresh::RefreshReport& report) {
  for (const refresh::CompanyRefresh& c : report.companies)
    if (!c.failure.empty()) return kExitStopped;
  return report.staleLeft() ? kExitReportDiffers : kExitCompleted;
}

int RunRefreshOpeningsCommand(const std::vector<std::string>& args, std::ostream& out,
                              std::ostream& err, const ProductCheck& productRunning) {
  const std::optional<OpeningsCheckArguments> parsed = ParseOpeningsArguments(args, err, true);
  if (!parsed) return kExitUsage;
  const HeadlessOptions& h = parsed->options;
  if (parsed->confirmClosed) ConfirmClosedForThisProcess();
  ConsoleHost host(h, out, err);
  StreamErrors errors(err);
  refresh::RefreshOptions options;
  options.openings.dataDirectory = platform::TypedPath::resolve(h.dataDirectory);
  options.openings.fromYear = h.fromYear;
  options.openings.toYear = h.toYear;
  options.openings.allCompanies = h.allCompanies;
  options.openings.companies = h.companies;
  options.openings.roundingMode = h.rounding;
  options.dryRun = h.dryRun;
  const auto result = RunOpeningsRefresh(host, errors, productRunning, options);
  if (!result) return errors.reported ? kExitFailed : kExitStopped;
  out << refresh::RefreshText(*result);
  if (!options.dryRun) {
    try {
      const report::SavedReport saved = refresh::SaveRefreshReport(
          *result, parsed->reportDirectory.empty()
                       ? report::ReportDirectory(options.openings.dataDirectory)
                       : platform::TypedPath::resolve(parsed->reportDirectory));
      out << "Rapor kaydedildi: " << saved.htmlFile << "\n                  " << saved.csvFile
          << '\n';
    } catch (const std::exception& e) {
      err << "upgrade-devir: Rapor kaydedilemedi: " << e.what() << '\n';
    }
  }
  out << std::flush;
  return RefreshExitStatus(*result);
}
