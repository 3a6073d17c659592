// What one company's update writes, and how it is built aside: the checks
// before writing, the edited copies of its tables, its rewritten record and
// its backup (refresh/commit.h puts them in place). Internal to refresh/.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/typedpath.h"
#include "report/carryrecord.h"

namespace refresh {

// One currency group of a card carried over: its opening and its totals.
struct GroupWrite {
  report::RecordedFigure opening;  // xDBKY, xDBTR, xDBRC, xDALC
  double totalDebit = 0, totalCredit = 0, totalBalance = 0;
  std::string totalSide;
};

struct CardWrite {
  std::optional<GroupWrite> group[2];  // local (K..), foreign (D..)
};

struct ItemWrite {
  double opening[3] = {};    // MIKDEV, TUTDEV, DOVDEV
  double remaining[3] = {};  // MIKKAL, TUTKAL, DOVKAL
};

struct StagedWrites {
  std::map<std::string, CardWrite> cards;  // by CARIKODU
  std::map<std::string, ItemWrite> items;  // by STOKKODU
  std::string record;                      // the record's new bytes
};

// The checks before writing of one company's update: the tables it reads
// and writes pass the engine's check (old and new Cari and Stok), the new
// company's directory, those tables' files and the record take writes, and
// the disk has room for the copies and the backup. False with `failure` set
// (in Turkish, the file as typed) when one fails; nothing is written.
bool CheckCompanyBeforeWriting(const platform::TypedPath& dataDir, const std::string& shortName,
                               const platform::TypedPath& oldDir, const platform::TypedPath& newDir,
                               const platform::TypedPath& recordFile, std::string& failure);

// The record `text` rewritten: every row kept but the bases of `cards` and
// `stock` that an earlier update wrote and the update count, then a base row
// for each of them from `record` (the bases now), the count one up, and
// "son".
std::string RewrittenRecord(const std::string& text, const report::CarryRecordData& record,
                            const std::vector<std::string>& cards,
                            const std::vector<std::string>& stock);

// Builds the update aside (copies of the written tables edited by the
// engine, the backup, the record) and commits it. Returns the backup
// folder's name. Throws on a failure: before the commit nothing has changed
// and the staging is gone; after it the next run finishes the update.
std::string PutUpdateInPlace(const platform::TypedPath& dataDir, const std::string& newCode,
                             const platform::TypedPath& recordFile, const StagedWrites& writes);

}  // namespace refresh
