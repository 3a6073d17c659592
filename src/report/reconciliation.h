// The reconciliation of a year-end carry-forward: for every carried company,
// the figures of the old company's tables set against those of the new
// company, both read from disk after the run.
//
// The expected figure of each line is computed from the old tables alone,
// record by record, by the carry-forward's rules: a money amount converted
// with ConvertAmount when the YTL option was ticked (0 or below becomes 0),
// a stock value as the converted purchase price times the remaining
// quantity, the cheques and notes in the states "Bankada", "Kasada" and
// "Ödenmedi" kept, the unpaid instalments kept. Those rules are written out
// here again on purpose, not taken from the jobs, so that a fault in a job
// shows as a difference instead of being repeated by its check.
//
// Nothing here writes; every table is opened read-only through its own
// handles. Standard library only.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/typedpath.h"

namespace report {

enum class LineKind {
  kCount,   // a number of records
  kAmount,  // a sum of amounts or quantities
  kText,    // a settings field
  kInfo,    // a figure shown for information (rounding); never differs
};

// One record whose found value is not the expected one (or that is missing
// on one side: its text is then "yok").
struct ItemDifference {
  std::string code;
  std::string expected;
  std::string found;
};

struct ReportLine {
  std::string section;  // "Cari hesaplar", "Stok", ...
  std::string label;    // in the words of an accountant: "borç bakiyeleri toplamı"
  std::string detail;   // the fields behind it, for support: "KTBKY → KDBKY"; may be empty
  LineKind kind = LineKind::kAmount;
  // Counts and amounts. For an info line, `expected` is the figure and `old`
  // what it is set against.
  double old = 0;
  double expected = 0;
  double found = 0;
  // Settings lines and lines that could not be computed.
  std::string oldText, expectedText, foundText;
  bool agrees = true;
  bool infoIsCount = false;           // an info line whose figure is a number of records
  std::size_t differingItems = 0;     // how many records differ in all
  std::vector<ItemDifference> items;  // the first kMaxItemsShown of them

  double difference() const { return kind == LineKind::kInfo ? expected - old : found - expected; }
  // Its figures are numbers of records, written without decimals.
  bool isCount() const {
    return kind == LineKind::kCount || (kind == LineKind::kInfo && infoIsCount);
  }
};

inline constexpr std::size_t kMaxItemsShown = 20;

struct CompanyReport {
  std::string oldCode, newCode, shortName;
  std::vector<ReportLine> lines;
  bool agrees() const;
};

// What the reconciliation needs of a run: where the companies are and how
// the amounts were converted.
struct ReconcileOptions {
  platform::TypedPath dataDirectory;
  bool ytl = false;
  int roundingMode = 0;  // 0 nearest, 1 down, 2 up
  int digits = 2;
  // The currency texts the settings get under YTL.
  std::string currencyName, currencySymbol, subUnitName, subUnitSymbol;
};

struct CarriedCompany {
  std::string oldCode, newCode, shortName;
};

struct RunReport {
  ReconcileOptions options;
  std::string date;  // "2026-12-07 14:05", local time of the report
  std::vector<CompanyReport> companies;
  bool agrees() const;
  std::size_t differingLines() const;
};

// Reads the old and the new company's tables and builds the lines. A table
// that cannot be read gives a differing line that names the failure; the
// other sections are still built.
CompanyReport ReconcileCompany(const ReconcileOptions& options, const CarriedCompany& company);

RunReport ReconcileRun(const ReconcileOptions& options,
                       const std::vector<CarriedCompany>& companies);

// Lines that differ first (in their order), then the rest.
std::vector<const ReportLine*> LinesDifferencesFirst(const CompanyReport& company);

}  // namespace report
