// The dry run of the command line: every check of the run driver and the
// carry-forward's checks before writing, then the plan of the ticked jobs
// instead of the jobs themselves. Nothing is written, created or locked.
#pragma once

#include <ostream>

#include "main/driver/rundriver.h"

class RunHost;
struct RunOptions;

// Runs the driver's checks with the jobs replaced by their plans, and the
// carry-forward's checks before writing (carry/precheck.h) after its
// selection, on the directory as a planned upgrade leaves it; then writes
// the plan to `out`. Messages of the checks and of the jobs' own stops go
// through host.infoBox as in a real run; "İşlem tamamlandı" is not shown,
// since nothing was done. Returns how the run ended: kCompleted when the plan
// was written.
RunEnd DryRun(RunHost& host, const RunOptions& run, ErrorReport& errors,
              const ProductCheck& productRunning, std::ostream& out);
