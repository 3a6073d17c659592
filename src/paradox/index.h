// The index files of a keyed table: the primary index (.PX) and the
// maintained secondary indexes (.Xnn/.Ynn, .XGn/.YGn). Layouts: FORMAT.md,
// "Primary index" and "Secondary indexes".
//
// Indexes are rebuilt whole from the data after structural changes: each
// file is written beside (sideFile ".new~") and then swapped into place by
// the table's commit, keeping every header byte we do not set ourselves. Non-maintained secondary
// indexes are left alone; the change counter of the table tells the product they are out of date,
// which is what they are for.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
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

// An index file written beside the one it replaces.
struct IndexReplacement {
  std::filesystem::path written;  // sideFile(target, ".new~"), synced
  std::filesystem::path target;
};

// Writes the .PX and every maintained secondary index as they must be for
// the records of `dataFile` (the table's file or its shadow, with the
// header `table.header()`), each beside the file it replaces. Nothing is
// renamed. With `onlyDeletes` (records were removed, nothing added or
// changed) secondary indexes keep their order and lose the entries of
// removed records, so no sort order is needed. On failure removes what it
// wrote and throws EDBEngineError.
// With `only`, writes just the .PX and the secondary indexes (with their
// .Ynn) whose files it lists.
std::vector<IndexReplacement> writeIndexes(
    const TableImpl& table, const std::filesystem::path& dataFile, bool onlyDeletes,
    const std::vector<std::filesystem::path>* only = nullptr);

// Swaps each written index with the file it replaces (the old one kept
// under the written name), then runs `last` (the table's own rename, or
// nothing). When a rename fails, swaps back what it swapped and throws the
// std::system_error; `restored` then says whether every index is as before
// (false only when the file system cannot exchange names or a swap back
// failed). On success the old versions are left under the written names.
void installIndexes(const std::vector<IndexReplacement>& indexes, const std::function<void()>& last,
                    bool& restored);

// writeIndexes() from the table's own file, installed; then the old
// versions removed.
void rebuildIndexes(const TableImpl& table, bool onlyDeletes,
                    const std::vector<std::filesystem::path>* only = nullptr);

// After a commit of the table was interrupted: each maintained index that
// does not agree with the data by its change counters is replaced by its
// side file when that one does and is whole (an old version kept by a
// commit that had swapped it out but not yet replaced the table, or a
// rebuild cut off before its rename). Returns the .PX and .Xnn files that
// still disagree (an .Xnn also when its .Ynn does): to be rebuilt.
std::vector<std::filesystem::path> restoreIndexesByCounter(const TableImpl& table);

// The table fields that some maintained secondary index covers.
std::vector<bool> indexedFields(const TableImpl& table);

// Alpha keys of case-insensitive secondary indexes are stored upper-cased.
inline constexpr std::uint8_t kCaseInsensitiveFlag = 0x01;  // header byte 0x55

// Compares each index with what rebuilding it would write: counts, order,
// values and first keys. One line per problem. Block hints of secondary
// entries that no longer name the record's block (BDE-made indexes carry
// them) are not problems: one line per index goes to `notes`.
std::vector<std::string> checkIndexes(const TableImpl& table,
                                      std::vector<std::string>* notes = nullptr);

}  // namespace pdx
