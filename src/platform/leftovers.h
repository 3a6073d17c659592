// Temporary files that a killed copy leaves behind.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace platform {

// Tidies, in `directory` (a resolved location) and in each of its direct
// sub-directories, what a killed or failed process left there: removes the
// temporary files of copyFile (".ud-copy-..."), and puts back a file that a
// replace had moved aside when it was cut off before the new file took its
// name (kAsidePrefix, Windows only), or removes the aside copy when the new
// file is in place. Returns the removed or restored files' paths relative to
// `directory`. Entries that cannot be read, moved or removed are passed over.
std::vector<std::string> removeCopyLeftovers(const std::filesystem::path& directory);

// The same for the aside copies in `directory` alone, for a table about to
// be opened. Only Windows' replace moves files aside: elsewhere it returns
// at once.
void restoreMovedAside(const std::filesystem::path& directory);

// The name a replace gives the file it moves aside: the prefix, a number of
// its own, "~" and the file's name.
inline constexpr const char* kAsidePrefix = ".ud-old-";
// The name of the file `asideName` stands for; empty when it is no such name.
std::string asideTarget(const std::string& asideName);

// True when `name` is such a temporary file's name.
bool isCopyLeftover(const std::string& name);

}  // namespace platform
