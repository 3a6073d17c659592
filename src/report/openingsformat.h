// The openings check as text for a terminal, CSV (one row per difference and
// per total) and an HTML page (A4, one company per page, differences
// highlighted, side changes marked), saved like the reconciliation report.
// Texts are Turkish, UTF-8.
#pragma once

#include <string>

#include "report/openings.h"
#include "report/reportfiles.h"

namespace report {

std::string OpeningsText(const OpeningsReport& report);
std::string OpeningsCsv(const OpeningsReport& report);
std::string OpeningsHtml(const OpeningsReport& report);

// "Devir Değerleri Denetimi 2026-12-07 1405 2005-2006"
std::string OpeningsFileBase(const OpeningsReport& report);

// Writes the HTML and CSV files into `folder` (created with its parents); a
// name already taken gets " (2)", " (3)" ... Throws platform::FileSystemError
// naming the file when the folder cannot be made or a file not written.
SavedReport SaveOpeningsReport(const OpeningsReport& report, const platform::TypedPath& folder);

}  // namespace report
