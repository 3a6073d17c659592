// Where the reconciliation report is saved.
#pragma once

#include <string>

#include "platform/typedpath.h"
#include "report/reconciliation.h"

namespace report {

// The folder for reports inside a data directory. Its name has a blank, a
// dotless "ı" and no dot, so it can be no company code (8 characters), no
// template directory and no file any mask of a run lists (the masks list
// plain files only, and the folder holds nothing a company reads).
inline constexpr const char* kReportFolderName = "Devir Raporları";

// data directory + "\" + kReportFolderName
platform::TypedPath ReportDirectory(const platform::TypedPath& dataDirectory);

// "Devir 2026-12-07 1405 2005_001-2006_001 2005_002-2006_002": the date and
// time of the report and the companies' old and new codes (the first four,
// then "ve N şirket daha").
std::string ReportFileBase(const RunReport& report);

struct SavedReport {
  std::string htmlFile;  // path texts, as the folder was given
  std::string csvFile;
};

// Writes the HTML and CSV files into `folder` (created with its parents). A name already taken gets
// " (2)", " (3)" ... before its extension; nothing is overwritten. Throws platform::FileSystemError
// naming the file when the folder cannot be made or a file cannot be written completely.
SavedReport SaveReport(const RunReport& report, const platform::TypedPath& folder);

// The same for any report: `html` and `csv` saved as `base` + ".html" and
// ".csv" in `folder`.
SavedReport SaveReportFiles(const platform::TypedPath& folder, const std::string& base,
                            const std::string& html, const std::string& csv);

}  // namespace report
