// Windows only: the parts of files.cpp that differ from Linux.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace platform::windows {

// Copies `source` over `target` through a temporary name in the target's
// directory (a leading dot, marked hidden: no listing and no mask such as
// "cari.*" shows it) that is moved over the target once complete. Throws
// FileSystemError naming the texts `from` and `to`; when another program
// holds the target (or the source) open so that Windows refuses, the message
// says so in Turkish. The target is never left half-written. While the bytes
// are read the source is held with a handle that shares reading only, so a
// program that opens it for writing meanwhile is refused; a source that a
// handle already writes is copied without that guard.
void copyBytes(const std::filesystem::path& source, const std::filesystem::path& target,
               std::string_view from, std::string_view to);

// True when the file carries the hidden or the system attribute.
bool markedHiddenOrSystem(const std::filesystem::path& file);

}  // namespace platform::windows
