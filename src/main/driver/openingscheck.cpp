#include "main/driver/openingscheck.h"

#include <exception>

#include "data/datadirectories.h"
#include "jobs/datainuse.h"
#include "jobs/runhost.h"
#include "jobs/runoptions.h"
#include "jobs/workspace.h"
#include "main/driver/consolehost.h"
#include "main/driver/headless.h"
#include "main/driver/refreshcommand.h"
#include "report/openingsformat.h"
#include "report/reportfiles.h"

RunOptions OpeningsRunOptions(const report::OpeningsOptions& options) {
  // The driver's checks are those of a carry-forward without the upgrade.
  RunOptions run;
  run.devir = true;
  run.newData = options.dataDirectory;
  run.sourceYear = options.fromYear;
  run.targetYear = options.toYear;
  run.rounding = options.roundingMode;
  return run;
}

std::string StopText(const std::vector<report::OpeningsStop>& stop) {
  std::string message;
  for (const report::OpeningsStop& s : stop) message += (message.empty() ? "" : "\r\n") + s.message;
  return message;
}

namespace {

// The data-in-use check of the openings check, before any table is read: the
// registry and every company of both years. A read of tables another program
// is writing could report differences that are not there. Another computer's
// holders that cannot be seen are no stop here: nothing is written.
bool dataInUseAllowsCheck(RunHost& host, const report::OpeningsOptions& o) {
  std::vector<TouchedDirectory> touched{{o.dataDirectory, {"sirket.*"}}};
  for (const std::string& code : report::CompaniesOfBothYears(o))
    touched.push_back({CompanyDirectory(o.dataDirectory, code), {"*.*"}});
  const DataInUse inUse = FindDataInUse(touched);
  if (inUse.stop.empty()) return true;
  InfoBox(host, inUse.stop);
  return false;
}

}  // namespace

const char* OpeningsCheckUsage() {
  return "Kullanım: upgrade-devir --check-openings --data DİZİN --from YIL --to YIL\n"
         "                        [--companies all|KOD,KOD...] [--rounding auto|down|up]\n"
         "                        [--report-dir DİZİN]\n";
}

std::optional<report::OpeningsReport> RunOpeningsCheck(RunHost& host, ErrorReport& errors,
                                                       const ProductCheck& productRunning,
                                                       const report::OpeningsOptions& options) {
  const RunOptions run = OpeningsRunOptions(options);
  std::optional<report::OpeningsReport> result;
  RunJobs jobs{nullptr,
               [&](RunHost& h, const RunOptions&, Workspace&) {
                 // Every check of Button1Click has passed here; nothing has
                 // been read yet.
                 if (!dataInUseAllowsCheck(h, options)) return;
                 report::OpeningsOutcome outcome = report::CheckOpenings(options);
                 if (!outcome.stop.empty()) return InfoBox(h, StopText(outcome.stop));
                 result = std::move(outcome.report);
               },
               /*write=*/false};
  Workspace ws;
  const RunEnd end = Button1Click(host, run, ws, errors, productRunning, jobs);
  if (end == RunEnd::kFailed) return std::nullopt;
  return result;
}

std::optional<OpeningsCheckArguments> ParseOpeningsArguments(const std::vector<std::string>& args,
                                                             std::ostream& err, bool refresh) {
  OpeningsCheckArguments parsed;
  HeadlessOptions& h = parsed.options;
  h.devir = true;
  std::string& reportDir = parsed.reportDirectory;
  auto usage = [&](const std::string& why) -> std::optional<OpeningsCheckArguments> {
    err << "upgrade-devir: " << why << '\n'
        << (refresh ? RefreshOpeningsUsage() : OpeningsCheckUsage());
    return std::nullopt;
  };
  const char* const command = refresh ? "--refresh-openings" : "--check-openings";
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == command) continue;
    if (refresh && a == "--dry-run") {
      h.dryRun = true;
      continue;
    }
    if (refresh && a == "--confirm-closed") {
      parsed.confirmClosed = true;
      continue;
    }
    if (!hasValue)
      return usage(a == "--data" || a == "--from" || a == "--to" || a == "--companies" ||
                           a == "--rounding" || a == "--report-dir"
                       ? a + " bir değer ister"
                       : "Bilinmeyen seçenek: " + a);
    const std::string& v = args[++i];
    if (a == "--data") {
      h.dataDirectory = v;
    } else if (a == "--from" || a == "--to") {
      if (!IsYearArgument(v)) return usage(a + " en çok dört rakamlı bir yıl ister: '" + v + "'");
      (a == "--from" ? h.fromYear : h.toYear) = v;
    } else if (a == "--rounding") {
      if (v != "auto" && v != "down" && v != "up")
        return usage("--rounding auto, down ya da up ister: '" + v + "'");
      h.rounding = v == "down" ? 1 : v == "up" ? 2 : 0;
    } else if (a == "--companies") {
      h.allCompanies = v == "all";
      h.companies = h.allCompanies ? std::vector<std::string>{} : SplitCompanyCodes(v);
      if (!h.allCompanies && h.companies.empty())
        return usage("--companies hiçbir şirket kodu vermiyor");
    } else if (a == "--report-dir") {
      reportDir = v;
    } else {
      return usage("Bilinmeyen seçenek: " + a);
    }
  }
  if (h.dataDirectory.empty()) return usage("--data verilmedi");
  if (h.fromYear.empty() || h.toYear.empty())
    return usage(std::string(command) + ", --from ve --to ister");
  return parsed;
}

std::optional<OpeningsCheckArguments> ParseOpeningsCheckArguments(
    const std::vector<std::string>& args, std::ostream& err) {
  return ParseOpeningsArguments(args, err, false);
}

int RunOpeningsCheckCommand(const std::vector<std::string>& args, std::ostream& out,
                            std::ostream& err, const ProductCheck& productRunning) {
  const std::optional<OpeningsCheckArguments> parsed = ParseOpeningsCheckArguments(args, err);
  if (!parsed) return kExitUsage;
  const HeadlessOptions& h = parsed->options;
  const std::string& reportDir = parsed->reportDirectory;

  ConsoleHost host(h, out, err);
  StreamErrors errors(err);
  report::OpeningsOptions options;
  options.dataDirectory = platform::TypedPath::resolve(h.dataDirectory);
  options.fromYear = h.fromYear;
  options.toYear = h.toYear;
  options.allCompanies = h.allCompanies;
  options.companies = h.companies;
  options.roundingMode = h.rounding;
  const auto result = RunOpeningsCheck(host, errors, productRunning, options);
  if (!result) return errors.reported ? kExitFailed : kExitStopped;
  out << report::OpeningsText(*result);
  try {
    const report::SavedReport saved = report::SaveOpeningsReport(
        *result, reportDir.empty() ? report::ReportDirectory(options.dataDirectory)
                                   : platform::TypedPath::resolve(reportDir));
    out << "Rapor kaydedildi: " << saved.htmlFile << "\n                  " << saved.csvFile
        << '\n';
  } catch (const std::exception& e) {
    err << "upgrade-devir: Rapor kaydedilemedi: " << e.what() << '\n';
  }
  out << std::flush;
  return result->agrees() ? kExitCompleted : kExitReportDiffers;
}
