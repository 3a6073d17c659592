// The reconciliation report after a run that carried companies forward:
// which companies it built, with which options, and the report's text and
// files for the command line.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "report/reconciliation.h"

class RunHost;
struct Workspace;

// The selected rows of the company list: after a carry-forward that ended
// with "İşlem tamamlandı", the companies it built.
std::vector<report::CarriedCompany> CarriedCompanies(const Workspace& ws);

// The data directory and the conversion options of the run, as the host
// holds them.
report::ReconcileOptions ReportOptions(const RunHost& host);

// Builds the report of a completed carry-forward run (nothing when no
// company was carried), writes it as a table to `out` and saves its files in
// `folder` (the data directory's report folder when empty). The saved
// files are named on `out`; a failure to save goes to `err` and leaves the
// report as it is.
std::optional<report::RunReport> ReportCarryForward(const RunHost& host, const Workspace& ws,
                                                    const std::string& folder, std::ostream& out,
                                                    std::ostream& err);
