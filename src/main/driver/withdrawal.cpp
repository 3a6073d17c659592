#include "main/driver/withdrawal.h"

#include "jobs/datainuse.h"
#include "jobs/runhost.h"
#include "jobs/runoptions.h"
#include "jobs/workspace.h"
#include "main/driver/consolehost.h"
#include "main/driver/headless.h"

const char* WithdrawCarryUsage() {
  return "Kullanım: upgrade-devir --withdraw-carry --data DİZİN --to YIL\n"
         "                        --companies all|KOD,KOD... [--dry-run]\n"
         "                        [--confirm-closed]\n";
}

WithdrawalEnd RunCarryWithdrawal(
    RunHost& host, ErrorReport& errors, const ProductCheck& productRunning,
    const withdraw::WithdrawalRequest& request, bool dryRun,
    const std::function<bool(const withdraw::WithdrawalPlan&)>& confirm) {
  RunOptions run;
  run.devir = true;  // the driver's checks of a carry-forward; no source year to compare
  run.newData = request.dataDirectory;
  run.targetYear = request.targetYear;
  run.dryRun = dryRun;
  WithdrawalEnd end = WithdrawalEnd::kStopped;
  RunJobs jobs{nullptr,
               [&](RunHost& h, const RunOptions&, Workspace& ws) {
                 // The driver has taken the lock and finished or undone what a
                 // cut-off withdrawal left. Nothing is read before the check.
                 std::string stop;
                 const std::vector<std::string> codes =
                     withdraw::CompaniesToWithdraw(request, stop);
                 if (!stop.empty()) return InfoBox(h, stop);
                 if (!CheckDataInUse(h, ws, withdraw::WithdrawalTouches(request, codes))) return;
                 const withdraw::WithdrawalPlan plan = withdraw::PlanWithdrawal(request);
                 if (!plan.possible()) {
                   end = plan.stop.empty() ? WithdrawalEnd::kRefused : WithdrawalEnd::kStopped;
                   return InfoBox(h, plan.text());
                 }
                 if (dryRun) {
                   end = WithdrawalEnd::kPlanned;
                   return InfoBox(h, plan.text());
                 }
                 if (confirm && !confirm(plan)) {
                   end = WithdrawalEnd::kCancelled;
                   return;
                 }
                 const withdraw::WithdrawalResult result = withdraw::RunWithdrawal(h, plan, ws);
                 if (result.stopped) return;
                 end = WithdrawalEnd::kWithdrawn;
                 InfoBox(h, result.text());
               },
               /*write=*/!dryRun};
  Workspace ws;
  if (Button1Click(host, run, ws, errors, productRunning, jobs) == RunEnd::kFailed)
    return WithdrawalEnd::kFailed;
  return end;
}

std::optional<WithdrawalArguments> ParseWithdrawalArguments(const std::vector<std::string>& args,
                                                            std::ostream& err) {
  WithdrawalArguments parsed;
  bool haveCompanies = false;
  auto usage = [&](const std::string& why) -> std::optional<WithdrawalArguments> {
    err << "upgrade-devir: " << why << '\n' << WithdrawCarryUsage();
    return std::nullopt;
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--withdraw-carry") continue;
    if (a == "--dry-run") {
      parsed.dryRun = true;
      continue;
    }
    if (a == "--confirm-closed") {
      ConfirmClosedForThisProcess();  // the product is closed on every computer
      continue;
    }
    if (a != "--data" && a != "--to" && a != "--companies")
      return usage("Bilinmeyen seçenek: " + a);
    if (i + 1 >= args.size()) return usage(a + " bir değer ister");
    const std::string& v = args[++i];
    if (a == "--data") {
      parsed.dataDirectory = v;
    } else if (a == "--to") {
      if (!IsYearArgument(v)) return usage("--to en çok dört rakamlı bir yıl ister: '" + v + "'");
      parsed.targetYear = v;
    } else {
      haveCompanies = true;
      parsed.allCompanies = v == "all";
      parsed.companies =
          parsed.allCompanies ? std::vector<std::string>{} : SplitCompanyCodes(v);
      if (!parsed.allCompanies && parsed.companies.empty())
        return usage("--companies hiçbir şirket kodu vermiyor");
    }
  }
  if (parsed.dataDirectory.empty()) return usage("--data verilmedi");
  if (parsed.targetYear.empty()) return usage("--withdraw-carry, --to ister");
  // Never all of a year by default: the companies are named, or "all" is.
  if (!haveCompanies) return usage("--withdraw-carry, --companies ister (kodlar ya da all)");
  return parsed;
}

int RunWithdrawCarryCommand(const std::vector<std::string>& args, std::ostream& out,
                            std::ostream& err, const ProductCheck& productRunning) {
  const std::optional<WithdrawalArguments> parsed = ParseWithdrawalArguments(args, err);
  if (!parsed) return kExitUsage;
  HeadlessOptions h;
  h.dataDirectory = parsed->dataDirectory;
  h.toYear = parsed->targetYear;
  ConsoleHost host(h, out, err);
  StreamErrors errors(err);
  withdraw::WithdrawalRequest request;
  request.dataDirectory = platform::TypedPath::resolve(parsed->dataDirectory);
  request.targetYear = parsed->targetYear;
  request.allCompanies = parsed->allCompanies;
  request.companies = parsed->companies;
  const WithdrawalEnd end =
      RunCarryWithdrawal(host, errors, productRunning, request, parsed->dryRun, nullptr);
  out << std::flush;
  switch (end) {
    case WithdrawalEnd::kWithdrawn:
    case WithdrawalEnd::kPlanned:
      return kExitCompleted;
    case WithdrawalEnd::kFailed:
      return kExitFailed;
    default:
      return kExitStopped;
  }
}
