// Taking an edition upgrade back (upgrade/restore.h) as a run: the driver's
// checks (product closed, data directory found, run lock), the data-in-use
// check of every directory the restore writes, then the restore.
//
//   upgrade-devir --restore-upgrade --data DIR [--backup UD_YEDEK_<time>]
//                 [--dry-run] [--confirm-closed]
//
// Exit status: 0 restored (or, with --dry-run, it could be), 1 refused or a
// check stopped it, 2 an unexpected failure, 3 bad arguments.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "main/driver/rundriver.h"
#include "platform/typedpath.h"

class RunHost;

struct RestoreRequest {
  platform::TypedPath data;
  std::string backup;  // empty: the newest upgrade's
  bool dryRun = false;
  // Asked with the plan's preview before anything is written (the window's
  // confirmation); none: go on.
  std::function<bool(const std::string& preview)> confirm;
};

// The restore through `host`; its messages through host.infoBox.
RunEnd RunRestoreUpgrade(RunHost& host, ErrorReport& errors, const ProductCheck& productRunning,
                         const RestoreRequest& request);

// The command line (`args` without the program name, holding
// "--restore-upgrade"); returns the exit status.
int RunRestoreUpgradeCommand(const std::vector<std::string>& args, std::ostream& out,
                             std::ostream& err, const ProductCheck& productRunning);

const char* RestoreUpgradeUsage();
