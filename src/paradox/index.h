// The index files of a keyed table: the primary index (.PX) and the
// maintained secondary indexes (.Xnn/.Ynn, .XGn/.YGn). Layouts: FORMAT.md,
// "Primary index" and "Secondary indexes".
//
// Indexes are rebuilt whole from the data after structural changes: each
// file is written beside and renamed into place, keeping every header byte
// we do not set ourselves. Non-maintained secondary indexes are left alone;
// the change counter of the table tells the product they are out of date,
// which is what they are for.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace pdx {

class TableImpl;

// A working file beside `file`: "." + its name + `suffix`. The leading dot
// hides it from the file listings that copy tables by mask, so a file left
// by a crash is never carried into another company with the table.
inline std::filesystem::path sideFile(const std::filesystem::path& file, const char* suffix) {
  return file.parent_path() / ("." + file.filename().string() + suffix);
}

struct SecondaryIndex {
  std::filesystem::path xFile;  // .Xnn or .XGn
  std::filesystem::path yFile;  // its .Ynn or .YGn ("" when absent)
  bool maintained = false;
  std::vector<int> fields;  // table fields in index order
};

// The secondary indexes beside `table` (letter case of names ignored).
// Throws EDBEngineError(kCorrupt) when an index names a field the table
// lacks.
std::vector<SecondaryIndex> findSecondaryIndexes(const TableImpl& table);

// Checks that every alpha key of the table's indexes can be ordered, before
// any change: throws EDBEngineError(kUnsupported) naming table, index and
// sort order.
void requireOrderable(const TableImpl& table);

// Rewrites the .PX and every maintained secondary index from the table's
// data file as it is on disk now. With `onlyDeletes` (records were removed,
// nothing added or changed) secondary indexes keep their order and lose the
// entries of removed records, so no sort order is needed.
void rebuildIndexes(const TableImpl& table, bool onlyDeletes);

// The table fields that some maintained secondary index covers.
std::vector<bool> indexedFields(const TableImpl& table);

// Alpha keys of case-insensitive secondary indexes are stored upper-cased.
inline constexpr std::uint8_t kCaseInsensitiveFlag = 0x01;  // header byte 0x55

// Compares each index with what rebuilding it would write: counts, order,
// first keys, block hints and change counters. One line per problem.
std::vector<std::string> checkIndexes(const TableImpl& table);

}  // namespace pdx
