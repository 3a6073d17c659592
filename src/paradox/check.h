// Structural check of a table's files, for pdxtool and the tests.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace pdx {

// Checks the data file (header against the file size, block chain, record
// counts, free list, field descriptors), the memo pointers of every record
// and the memo file, and the primary index when there is one. Returns one
// line per problem; empty when sound. Observations that are not damage
// (stale block hints in BDE-made secondary indexes) go to `notes`. Throws
// EDBEngineError when the file cannot be read at all (missing, not a table,
// encrypted).
std::vector<std::string> checkTable(const std::filesystem::path& table,
                                    std::vector<std::string>* notes = nullptr);

// A problem of checkTableFiles: the file it is in (the table, its blob file
// or an index file) and the problem, worded as checkTable words it.
struct FileProblem {
  std::filesystem::path file;
  std::string text;
};

// checkTable with the file of each problem, so that a caller can tell the
// user whether the data, the blob file or an index is at fault (an
// EDBEngineError(kCorrupt) naming that file gives EDBEngineError::fault()).
std::vector<FileProblem> checkTableFiles(const std::filesystem::path& table,
                                         std::vector<std::string>* notes = nullptr);

}  // namespace pdx
