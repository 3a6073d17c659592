#include "main/driver/restorecommand.h"

#include "data/datadirectories.h"
#include "jobs/datainuse.h"
#include "jobs/runhost.h"
#include "jobs/runoptions.h"
#include "jobs/workspace.h"
#include "main/driver/consolehost.h"
#include "main/driver/headless.h"
#include "upgrade/restore.h"

namespace {

// Every directory the restore writes: the data directory and each company
// directory the upgrade wrote into.
std::vector<TouchedDirectory> restoreTouches(const platform::TypedPath& data,
                                             const RestorePlan& plan) {
  std::vector<TouchedDirectory> touched{{data, {"*.*"}}};
  std::vector<std::string> seen;
  for (const UpgradeList::File& f : plan.list.files) {
    const std::size_t slash = f.path.find('\\');
    if (slash == std::string::npos) continue;
    const std::string code = f.path.substr(0, slash);
    bool again = false;
    for (const std::string& s : seen) again = again || s == code;
    if (again) continue;
    seen.push_back(code);
    touched.push_back({data.below(code), {"*.*"}});
  }
  return touched;
}

}  // namespace

const char* RestoreUpgradeUsage() {
  return "Kullanım: upgrade-devir --restore-upgrade --data DİZİN [--backup UD_YEDEK_...]\n"
         "                        [--dry-run] [--confirm-closed]\n";
}

RunEnd RunRestoreUpgrade(RunHost& host, ErrorReport& errors, const ProductCheck& productRunning,
                         const RestoreRequest& request) {
  RunOptions run;
  run.newData = request.data;
  run.dryRun = request.dryRun;
  const AloneJob job = [&](RunHost& h, const RunOptions&, Workspace& ws) {
    const RestorePlan plan = PlanUpgradeRestore(request.data, request.backup);
    if (!plan.refusal.empty()) {
      InfoBox(h, plan.refusal);
      return RunEnd::kStopped;
    }
    if (!CheckDataInUse(h, ws, restoreTouches(request.data, plan))) return RunEnd::kStopped;
    if (request.dryRun) {
      InfoBox(h, RestorePreviewText(plan));
      return RunEnd::kCompleted;
    }
    if (request.confirm && !request.confirm(RestorePreviewText(plan))) return RunEnd::kCancelled;
    const platform::TypedPath away = RestoreUpgrade(h, request.data, plan);
    h.setStatusVisible(false);
    InfoBox(h, "Upgrade geri alındı: DATA dizini upgrade'den önceki haline döndü.\r\n"
               "Upgrade'in oluşturduğu dosyalar şuraya taşındı: " +
                   away.text() + "\r\nUpgrade'in yedeği yerinde duruyor: " + plan.backup.text());
    return RunEnd::kCompleted;
  };
  Workspace ws;
  return RunAlone(host, run, ws, errors, productRunning, !request.dryRun, job);
}

int RunRestoreUpgradeCommand(const std::vector<std::string>& args, std::ostream& out,
                             std::ostream& err, const ProductCheck& productRunning) {
  HeadlessOptions h;
  RestoreRequest request;
  std::string data;
  auto usage = [&](const std::string& why) {
    err << "upgrade-devir: " << why << '\n' << RestoreUpgradeUsage();
    return kExitUsage;
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--restore-upgrade") continue;
    if (a == "--dry-run") {
      request.dryRun = true;
    } else if (a == "--confirm-closed") {
      ConfirmClosedForThisProcess();
    } else if (a == "--data" || a == "--backup") {
      if (i + 1 >= args.size()) return usage(a + " bir değer ister");
      (a == "--data" ? data : request.backup) = args[++i];
    } else {
      return usage("Bilinmeyen seçenek: " + a);
    }
  }
  if (data.empty()) return usage("--data verilmedi");
  h.dataDirectory = data;
  request.data = platform::TypedPath::resolve(data);
  ConsoleHost host(h, out, err);
  StreamErrors errors(err);
  switch (RunRestoreUpgrade(host, errors, productRunning, request)) {
    case RunEnd::kCompleted:
      return kExitCompleted;
    case RunEnd::kFailed:
      return kExitFailed;
    default:
      return kExitStopped;
  }
}
