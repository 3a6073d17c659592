// Temporary files that a killed copy leaves behind.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace platform {

// Removes, in `directory` (a resolved location) and in each of its direct
// sub-directories, the temporary files of copyFile that a killed or failed
// process left there (".ud-copy-..." on both systems). Returns the removed files' paths relative to
// `directory`. Entries that cannot be read or removed are passed over.
std::vector<std::string> removeCopyLeftovers(const std::filesystem::path& directory);

// True when `name` is such a temporary file's name.
bool isCopyLeftover(const std::string& name);

}  // namespace platform
