// The reconciliation report as text: a plain table for a terminal, a CSV
// with one row per line, and an HTML page that prints on A4 with one company
// per page. Texts are Turkish, UTF-8.
#pragma once

#include <string>

#include "report/reconciliation.h"

namespace report {

// A CSV field: quoted, its quotes doubled, when it holds ";", '"' or a
// line break.
std::string CsvField(const std::string& s);
// Text for HTML: &, <, > and " as entities.
std::string HtmlEscaped(const std::string& s);

// "uyuyor", "FARKLI" or "bilgi" (a rounding figure).
std::string MarkText(const ReportLine& line);

// The line's name with its fields for support, as the CSV and the plain
// text carry it: "borç bakiyeleri toplamı (KTBKY → KDBKY)", or the name alone.
std::string LabelWithDetail(const ReportLine& line);

// The old, expected, new and difference columns of a line as shown: counts
// as whole numbers, amounts with at least two decimals ("0,00").
struct LineTexts {
  std::string old, expected, found, difference;
};
LineTexts ColumnTexts(const ReportLine& line);

// Company by company: the lines that differ first, each followed by its
// differing records, then a summary line.
std::string PlainTextReport(const RunReport& report);

// ";"-separated, with a byte-order mark so that spreadsheet programs read the
// Turkish letters; one row per line, in report order.
std::string CsvReport(const RunReport& report);

std::string HtmlReport(const RunReport& report);

}  // namespace report
