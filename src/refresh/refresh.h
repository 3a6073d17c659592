// The opening update: brings the openings of carried companies up to date
// with the old year in place, keeping what was entered in the new one.
//
// For each company pair the openings check links by a carry record, and for
// each card's currency group (local: KDBKY/KDBTR/KDBRC/KDALC; foreign: the
// D.. fields) and each stock item (MIKDEV, TUTDEV, DOVDEV), three values:
//   B  the base: what the carry wrote, or what the latest update moved it to
//      (the record, report/carryrecord.h);
//   O  what the carry would write today from the old year
//      (report::TodaysCardOpenings / TodaysStockOpenings);
//   C  the new company's opening now.
// O = B: nothing to do (C != B is an edit made in the new year: kept).
// O != B, C = B: a late entry of the old year, carried over: the openings
// become O, and the year's totals (KTBRC/KTALC/KTBKY/KTBTR; MIKKAL, TUTKAL,
// DOVKAL) move by the change, the new year's movements never written; only
// when the unit's sums add up to the cent, else it is a conflict. The base
// becomes O.
// O != B, C = O: corrected by hand already: nothing written, the base
// becomes O.
// Otherwise a conflict: nothing written, the base stays B.
// A card's currency group and a stock item are each one unit.
//
// Each company is updated all or nothing (refresh/commit.h): its changed
// tables and its rewritten record are built aside and put in place by one
// commit, the files before it kept in a backup folder. The old year is only
// read. Standard library only.
#pragma once

#include <string>
#include <vector>

#include "platform/typedpath.h"
#include "report/openings.h"

class RunHost;

namespace refresh {

// What became of one unit whose values are not all equal.
enum class Outcome {
  kCarriedOver,       // a late entry: the opening set to O, the totals moved
  kAlreadyCorrected,  // C = O: nothing written, the base moved
  kKeptEdit,          // O = B, C != B: an edit of the new year, kept
  kConflict,          // nothing written, the base stays
};

// "devreden güncellendi", "elle düzeltilmiş", "yeni yılda değiştirilmiş:
// korundu", "çakışma"
const char* OutcomeText(Outcome outcome);

struct UnitChange {
  std::string section;  // "Cari hesaplar", "Stok"
  std::string code;     // CARIKODU, STOKKODU
  std::string name;     // the card's UNVAN, the item's CINS
  std::string what;     // "TL bakiyesi", "USD bakiyesi", "stok"
  Outcome outcome = Outcome::kConflict;
  // B, O, C and the opening after the update, as shown ("1.250,00 Borç";
  // for an item "miktar 10, değer 1.250,00, döviz 0,00").
  std::string base, today, now, after;
  std::string reason;  // a conflict's: "ikisi de değişti", "toplamlar tutmuyor: ..."
};

// One card's openings after the update, for balance confirmations.
struct CardBalance {
  std::string code, name, unit;  // unit: the foreign currency, "" for none
  report::RecordedFigure local, foreign;
};

struct CompanyRefresh {
  std::string oldCode, newCode, shortName;
  bool linkedByRecord = false;
  bool ytl = false;
  int roundingMode = 0;
  std::vector<UnitChange> changes;
  std::vector<report::OpeningTotal> totals;  // before (now) and after the update
  std::vector<CardBalance> balances;
  // Stale openings this update does not bring over (documents, cards or
  // items in one year only, a code held twice, a pair without a record):
  // the check's lines, "Çek ve senetler KAYIT 3: ...".
  std::vector<std::string> left;
  std::vector<std::string> notes;
  // The backup folder's name in the data directory; empty when nothing was
  // written.
  std::string backupFolder;
  bool written = false;  // the commit took place
  std::string failure;   // the company was not updated, and why
  std::size_t count(Outcome o) const;
  // Something stale remains: a conflict, a line left, a failure.
  bool staleLeft() const {
    return count(Outcome::kConflict) > 0 || !left.empty() || !failure.empty();
  }
};

struct RefreshReport {
  std::string fromYear, toYear;
  std::string date;  // "2026-12-08 10:15"
  bool dryRun = false;
  std::vector<CompanyRefresh> companies;
  std::vector<std::string> notes;  // companies not carried
  bool staleLeft() const;
};

struct RefreshOptions {
  report::OpeningsOptions openings;  // data directory, years, companies, rounding
  bool dryRun = false;
};

struct RefreshOutcome {
  std::vector<report::OpeningsStop> stop;  // empty, or the one stop
  RefreshReport report;
};

// The update of every linked pair, through `host` (progress, status). The
// run's checks (product, data in use, run lock) are the caller's; this makes
// the checks before writing of each company's tables, then updates it. A
// company whose checks or writing fail is left as it was and named with the
// failure; the others go on. With `dryRun` nothing is written.
RefreshOutcome RefreshOpenings(RunHost& host, const RefreshOptions& options);

// The codes of both years' companies, for the data-in-use check.
std::vector<std::string> CompaniesToRefresh(const RefreshOptions& options);

}  // namespace refresh
