// The reconciliation report after a run that carried companies forward:
// which companies it built, with which options, made and saved once for the
// window and the command line alike.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/typedpath.h"
#include "report/reconciliation.h"
#include "report/reportfiles.h"

struct RunOptions;
struct Workspace;

// The selected rows of the company list: after a carry-forward that ended
// with "İşlem tamamlandı", the companies it built.
std::vector<report::CarriedCompany> CarriedCompanies(const Workspace& ws);

// The data directory and the conversion options of the run.
report::ReconcileOptions ReportOptions(const RunOptions& run);

// A made report and where it was saved.
struct CarryReport {
  report::RunReport report;
  report::SavedReport saved;  // empty names when it could not be saved
  std::string saveFailure;    // why not, then
};

// Reconciles the companies a completed carry-forward built (nothing when
// none was carried) and saves the report's files in `folder`. A failure to
// save is kept in the result; a failure to make the report throws.
std::optional<CarryReport> ReconcileAndSave(const RunOptions& run, const Workspace& ws,
                                            const platform::TypedPath& folder);

// The command line's end of a completed carry-forward: the report made and
// saved as above (in the data directory's report folder when `folder` is
// empty), written as a table to `out` with the saved files' names; a failure
// to save goes to `err`.
std::optional<report::RunReport> ReportCarryForward(const RunOptions& run, const Workspace& ws,
                                                    const platform::TypedPath& folder,
                                                    std::ostream& out, std::ostream& err);
