#include "main/driver/headless.h"

#include "jobs/workspace.h"
#include "main/driver/dryrun.h"
#include "main/driver/runreport.h"

namespace {

bool isYear(const std::string& text) {
  if (text.size() > 4) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

std::vector<std::string> splitCodes(const std::string& text) {
  std::vector<std::string> codes;
  std::string current;
  for (char c : text + ",") {
    if (c == ',') {
      if (!current.empty()) codes.push_back(current);
      current.clear();
    } else {
      current.push_back(c);
    }
  }
  return codes;
}

class StreamErrorReport final : public ErrorReport {
 public:
  explicit StreamErrorReport(std::ostream& err) : m_err(err) {}
  void errorBox(const std::string& text) override { m_err << "upgrade-devir: " << text << '\n'; }

 private:
  std::ostream& m_err;
};

}  // namespace

const char* HeadlessUsage() {
  return "usage: upgrade-devir --devir --data DIR --from YEAR --to YEAR [--ytl]\n"
         "                     [--rounding auto|down|up] [--companies all|CODE,CODE...]\n"
         "                     [--upgrade --old DIR] [--report-dir DIR] [--dry-run]\n"
         "       upgrade-devir --upgrade --old DIR --data DIR\n"
         "Without arguments the program opens its window.\n";
}

std::optional<HeadlessOptions> ParseHeadlessArguments(const std::vector<std::string>& args,
                                                      std::ostream& err) {
  HeadlessOptions o;
  bool haveData = false, haveOld = false, haveFrom = false, haveTo = false;
  auto fail = [&](const std::string& why) {
    err << "upgrade-devir: " << why << '\n';
    return std::nullopt;
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= args.size()) return false;
      into = args[++i];
      return true;
    };
    std::string v;
    if (a == "--devir") {
      o.devir = true;
    } else if (a == "--upgrade") {
      o.upgrade = true;
    } else if (a == "--ytl") {
      o.ytl = true;
    } else if (a == "--data") {
      if (!value(o.dataDirectory)) return fail("--data needs a directory");
      haveData = true;
    } else if (a == "--old") {
      if (!value(o.oldDataDirectory)) return fail("--old needs a directory");
      haveOld = true;
    } else if (a == "--from" || a == "--to") {
      std::string& year = a == "--from" ? o.fromYear : o.toYear;
      if (!value(year)) return fail(a + " needs a year");
      if (!isYear(year)) return fail(a + " takes at most four digits: '" + year + "'");
      (a == "--from" ? haveFrom : haveTo) = true;
    } else if (a == "--rounding") {
      if (!value(v)) return fail("--rounding needs auto, down or up");
      if (v == "auto")
        o.rounding = 0;
      else if (v == "down")
        o.rounding = 1;
      else if (v == "up")
        o.rounding = 2;
      else
        return fail("--rounding takes auto, down or up, not '" + v + "'");
    } else if (a == "--dry-run") {
      o.dryRun = true;
    } else if (a == "--report-dir") {
      if (!value(o.reportDirectory)) return fail("--report-dir needs a directory");
    } else if (a == "--companies") {
      if (!value(v)) return fail("--companies needs all or a list of codes");
      o.allCompanies = v == "all";
      o.companies = o.allCompanies ? std::vector<std::string>{} : splitCodes(v);
      if (!o.allCompanies && o.companies.empty()) return fail("--companies names no company");
    } else {
      return fail("unknown argument '" + a + "'");
    }
  }
  if (!o.devir && !o.upgrade) return fail("nothing to do: give --devir, --upgrade or both");
  if (!haveData) return fail("--data is required");
  if (o.upgrade && !haveOld) return fail("--upgrade needs --old");
  if (!o.upgrade && haveOld) return fail("--old is only used with --upgrade");
  if (o.devir && (!haveFrom || !haveTo)) return fail("--devir needs --from and --to");
  return o;
}

int RunHeadless(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                const ProductCheck& productRunning, const RunJobs& jobs) {
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    out << HeadlessUsage();
    return kExitCompleted;
  }
  std::optional<HeadlessOptions> options = ParseHeadlessArguments(args, err);
  if (!options) {
    err << HeadlessUsage();
    return kExitUsage;
  }
  ConsoleHost host(*options, out, err);
  StreamErrorReport errors(err);
  Workspace ws;
  const RunEnd end = options->dryRun ? DryRun(host, errors, productRunning, out)
                                     : Button1Click(host, ws, errors, productRunning, jobs);
  switch (end) {
    case RunEnd::kCompleted: {
      if (!options->devir || options->dryRun) return kExitCompleted;
      const auto report = ReportCarryForward(host, ws, options->reportDirectory, out, err);
      return report && !report->agrees() ? kExitReportDiffers : kExitCompleted;
    }
    case RunEnd::kFailed:
      return kExitFailed;
    case RunEnd::kStopped:
    case RunEnd::kCancelled:
      break;
  }
  return kExitStopped;
}
