// The openings check as a run: the run's checks (product closed, data
// directory found, target year after the source year, no other run changing
// the directory), then report/openings.h over both years' companies, the
// report on the console and saved as HTML and CSV. It takes no run lock and
// writes nothing but its report files.
//
//   upgrade-devir --check-openings --data DIR --from N --to N+1
//                 [--companies all|CODE,CODE...] [--rounding auto|down|up]
//                 [--report-dir DIR]
//
// --rounding is the rounding of a YTL carry that left no record (default
// auto); a carry record names its own. Exit status: 0 every opening agrees,
// 4 something differs (or a table could not be read), 1 a check stopped the
// run with its message, 2 an unexpected failure, 3 bad arguments.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "main/driver/consolehost.h"
#include "main/driver/rundriver.h"
#include "report/openings.h"

class RunHost;
struct RunOptions;

// The run's options of the openings check and the opening update: the
// driver's checks of a carry-forward without the edition upgrade.
RunOptions OpeningsRunOptions(const report::OpeningsOptions& options);

// The messages of a stop, one a line.
std::string StopText(const std::vector<report::OpeningsStop>& stop);

// The check through `host` (its data directory, years and rounding; the
// company selection as `options.companies`): the driver's checks, whose stop
// messages go through host.infoBox, then the check. Nothing when the run
// stopped or failed (the failure went to `errors`).
std::optional<report::OpeningsReport> RunOpeningsCheck(RunHost& host, ErrorReport& errors,
                                                       const ProductCheck& productRunning,
                                                       const report::OpeningsOptions& options);

// The arguments of the check (`args` without the program name, holding
// "--check-openings"): the data directory, years, companies and rounding as a
// run's options, and --report-dir. Nothing when they are not valid: the
// reason and the check's usage are then written to `err`.
struct OpeningsCheckArguments {
  HeadlessOptions options;
  std::string reportDirectory;  // empty: the data directory's report folder
  bool confirmClosed = false;   // the update's --confirm-closed
};
std::optional<OpeningsCheckArguments> ParseOpeningsCheckArguments(
    const std::vector<std::string>& args, std::ostream& err);
// The same for the opening update ("--refresh-openings"), which also takes
// --dry-run (options.dryRun) and --confirm-closed.
std::optional<OpeningsCheckArguments> ParseOpeningsArguments(const std::vector<std::string>& args,
                                                             std::ostream& err, bool refresh);

// The command line of the check (`args` without the program name, holding
// "--check-openings"); returns the exit status.
int RunOpeningsCheckCommand(const std::vector<std::string>& args, std::ostream& out,
                            std::ostream& err, const ProductCheck& productRunning);

const char* OpeningsCheckUsage();
