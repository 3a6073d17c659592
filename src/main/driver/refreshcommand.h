// The opening update as a run: the run's checks (product closed, data
// directory found, target year after the source year, the run lock, the
// tidying of what a killed run left), the data-in-use check of both years,
// then refresh/refresh.h over the linked pairs; its report on the console
// and saved as HTML and CSV (not for a dry run, which writes nothing).
//
//   upgrade-devir --refresh-openings --data DIR --from N --to N+1
//                 [--companies all|CODE,CODE...] [--dry-run]
//                 [--report-dir DIR] [--confirm-closed]
//
// Exit status: 0 nothing stale is left, 4 conflicts (or lines the update
// does not handle) remain, 1 a check stopped the run or a company, 2 an
// unexpected failure, 3 bad arguments.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "main/driver/rundriver.h"
#include "refresh/refresh.h"

class RunHost;

// The update through `host`: the driver's checks, whose stop messages go
// through host.infoBox, then the update. Nothing when the run stopped or
// failed (the failure went to `errors`).
std::optional<refresh::RefreshReport> RunOpeningsRefresh(RunHost& host, ErrorReport& errors,
                                                         const ProductCheck& productRunning,
                                                         const refresh::RefreshOptions& options);

// The exit status of an update that ran: 1 when a company could not be
// updated, 4 when something stale is left, else 0.
int RefreshExitStatus(const refresh::RefreshReport& report);

// The command line of the update (`args` without the program name, holding
// "--refresh-openings"); returns the exit status.
int RunRefreshOpeningsCommand(const std::vector<std::string>& args, std::ostream& out,
                              std::ostream& err, const ProductCheck& productRunning);

const char* RefreshOpeningsUsage();
