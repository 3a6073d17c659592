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

}  // namespace pdx
