// The update report: text for a terminal, CSV and an HTML page (A4, one
// company per page), saved in the report folder like the openings check's.
// Per company and card or item: each opening changed (before, after), each
// conflict with B, O and C and its reason, each kept edit of the new year,
// what the update leaves; totals per currency and side before and after; and
// every card's openings after the update, for balance confirmations. UTF-8.
#pragma once

#include <string>

#include "refresh/refresh.h"
#include "report/reportfiles.h"

namespace refresh {

std::string RefreshText(const RefreshReport& report);
std::string RefreshCsv(const RefreshReport& report);
std::string RefreshHtml(const RefreshReport& report);

// The last line of the text: what was done and what is left, in one sentence.
std::string RefreshSummary(const RefreshReport& report);

// What a dry run found, for a confirmation: per company each opening it
// would change, each one corrected already and each conflict (at most
// `lines` lines, then how many more), then the summary.
std::string RefreshPreview(const RefreshReport& report, std::size_t lines = 25);

// True when the update would write something (an opening or a base).
bool WouldWrite(const RefreshReport& report);

// "Açılış Güncellemesi 2026-12-08 1015 2005-2006" ("... Deneme ..." for a
// dry run)
std::string RefreshFileBase(const RefreshReport& report);

// Writes the HTML and CSV files into `folder`; throws as
// report::SaveReportFiles.
report::SavedReport SaveRefreshReport(const RefreshReport& report,
                                      const platform::TypedPath& folder);

}  // namespace refresh
