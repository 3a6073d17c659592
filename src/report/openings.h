// The openings check: which openings of the carried companies late entries
// in the old year (or edits in the new one) have made stale.
//
// For each company of year N and the company it was carried into (linked by
// the carry record, report/carryrecord.h, else by the registry: year N+1 and
// the short name "<old short name> N+1", cut at 30 characters), the
// openings the carry-forward would write today are computed from the old
// company's tables and set against the new company's opening fields:
//   cards  KDBKY/KDBTR/KDBRC/KDALC (local, converted under YTL) and the same
//          D.. fields (foreign, never converted), from KTBKY/KTBTR, DTBKY/DTBTR;
//   stock  MIKDEV = MIKKAL, TUTDEV = converted KALF × MIKKAL, DOVDEV = DALF × MIKKAL;
//   cheques and notes kept in the states "Bankada", "Kasada", "Ödenmedi"
//          (by KAYIT, with KTUTAR); unpaid instalments (by BCHKOD, with TUTAR).
// The movement fields of the new year are not openings and are not read.
// Cards and items pair by code, exactly; a code held twice in either company
// is reported and not paired. Documents pair by record number (the carry
// copies the table, so numbers stay). With a record each difference says
// whether the old year changed since the carry, the new company's opening no
// longer equals what the carry wrote, or both.
//
// Nothing is written and no lock is taken: every table is opened read-only.
// Standard library only.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/typedpath.h"
#include "report/carryrecord.h"

namespace report {

// Why an opening differs.
enum class StaleCause {
  kLateEntry,    // the old year changed after the carry ("eski yıl değişti")
  kEditedInNew,  // the new company's opening is no longer what the carry wrote
  kBoth,
  kUnknown,  // no record of the carry to tell
};

const char* StaleCauseText(StaleCause cause);

// One stale opening: a card's currency group, a stock figure, a document.
struct OpeningDifference {
  std::string section;    // "Cari hesaplar", "Stok", "Çek ve senetler", "Taksitler"
  std::string code;       // CARIKODU, STOKKODU, "KAYIT 12", "BCHKOD 7"
  std::string what;       // "TL bakiyesi", "USD bakiyesi", "miktar", "tutar" ...
  std::string found;      // the new company's opening as shown, or "yok"
  std::string expected;   // what the carry would write today, or "yok"
  double difference = 0;  // expected - found, credit counted negative
  bool sideChanged = false;
  std::string note;  // "yalnız eski yılda", "eski yılda kapanmış" ...
  StaleCause cause = StaleCause::kUnknown;
};

// A total of the openings: before (the new company now) and after (what the
// carry would write today).
struct OpeningTotal {
  std::string label;  // "Cari TL borç", "Cari USD alacak", "Stok değeri (TUTDEV)" ...
  double before = 0;
  double after = 0;
};

struct CompanyOpenings {
  std::string oldCode, newCode, shortName;
  bool linkedByRecord = false;  // else by the registry
  bool ytl = false;
  int roundingMode = 0;
  std::vector<OpeningDifference> differences;
  std::vector<OpeningTotal> totals;
  // Things a reader should know that are not differences ("yeni yılda
  // açılmış 3 kart: devir değeri yok", a table that could not be read ...).
  std::vector<std::string> notes;
  bool failed = false;  // a table could not be read: counts as differing
  bool agrees() const { return differences.empty() && !failed; }
};

struct OpeningsOptions {
  platform::TypedPath dataDirectory;
  std::string fromYear, toYear;
  bool allCompanies = true;
  std::vector<std::string> companies;  // old codes, letter case ignored
  int roundingMode = 0;                // for companies carried without a record
};

struct OpeningsReport {
  std::string fromYear, toYear;
  std::string date;  // "2026-12-07 14:05", local time of the check
  std::vector<CompanyOpenings> companies;
  std::vector<std::string> notes;  // companies of year N not carried
  bool agrees() const;
};

// A stop of the check with a message, as a run stops (the registry cannot
// be read, a code asked for is no company of year N).
struct OpeningsStop {
  std::string message;
};

// Pairs the companies and checks each pair. Returns the report, or the
// message of a stop. A table of one pair that cannot be read marks that
// pair failed with a note; the other pairs are still checked.
struct OpeningsOutcome {
  std::vector<OpeningsStop> stop;  // empty, or the one stop
  OpeningsReport report;
};
OpeningsOutcome CheckOpenings(const OpeningsOptions& options);

// What the carry-forward would write today into the openings of each card
// or stock item of the old company in `oldDir`, in table order: a card's
// local group (converted under YTL) then its foreign group, each with its
// balance, side, debit and credit; a stock item's MIKDEV, TUTDEV and DOVDEV
// (sides empty). Throws as the tables' open and reads throw.
struct TodaysOpening {
  std::string code;  // CARIKODU / STOKKODU
  std::vector<RecordedFigure> figures;
  std::string unit;  // a card's foreign currency (DVZBRM)
};
std::vector<TodaysOpening> TodaysCardOpenings(const platform::TypedPath& oldDir, bool ytl,
                                              int rounding, int digits);
std::vector<TodaysOpening> TodaysStockOpenings(const platform::TypedPath& oldDir, bool ytl,
                                               int rounding, int digits);

// Which company of year N was carried into which of N+1: by the carry
// record (`recordFile` set), else by the registry's short name. Companies
// not carried are named in `notes`; a stop as CheckOpenings stops.
struct CompanyPair {
  std::string oldCode, newCode, shortName;
  platform::TypedPath recordFile;  // empty: paired by the registry
};
struct CompanyPairing {
  std::vector<OpeningsStop> stop;
  std::vector<CompanyPair> pairs;
  std::vector<std::string> notes;
};
CompanyPairing PairCompanies(const OpeningsOptions& options);

// The codes of the registered companies of either year, for the data-in-use
// check before the tables are read; empty when the registry cannot be read
// (CheckOpenings then stops on it).
std::vector<std::string> CompaniesOfBothYears(const OpeningsOptions& options);

// One pair, for tests: `recordFile` is the record's path text or empty.
CompanyOpenings CheckCompanyOpenings(const platform::TypedPath& dataDirectory,
                                     const std::string& oldCode, const std::string& newCode,
                                     const std::string& shortName,
                                     const platform::TypedPath& recordFile, int roundingMode);

}  // namespace report
