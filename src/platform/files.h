// Copying and listing plain files, by path texts as typed.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/paths.h"

namespace platform {

class TypedPath;

enum class CopyOutcome {
  kCopied,         // the target now holds the source's bytes
  kTargetKept,     // overwrite not asked and the target exists: left alone
  kSourceMissing,  // no plain file of that name in the source
};

// Copies the file `from` to `to` (both path texts). An existing target whose
// name differs only in letter case is the target: it is replaced (overwrite)
// or kept, never joined by a second name. The bytes go to a temporary file in
// the target's directory that is renamed over the target once complete, so a
// failure never leaves a half-written target; the temporary file is removed.
// Permission bits and modification time follow the source.
// Throws FileSystemError naming both texts when reading, writing or renaming
// fails (a read error, a full disk, a permission refused, a size limit).
CopyOutcome copyFile(std::string_view from, std::string_view to, bool overwrite);
// The same between two paths resolved already.
CopyOutcome copyFile(const TypedPath& from, const TypedPath& to, bool overwrite);

// copyFile() between two resolved locations, the target replaced when it
// exists: the same bytes, permission bits and modification time. Throws
// FileSystemError naming both as typedPath() shows them.
void copyResolvedFile(const std::filesystem::path& source, const std::filesystem::path& target);

// The plain files of a directory whose names match the wildcard mask, sorted
// alphabetically without regard to case. Sub-directories, hidden entries
// (names starting with ".") and files marked hidden or system (Windows file
// attributes; under Wine on Linux the user.DOSATTRIB extended attribute) are
// left out. Throws FileSystemError naming the directory text, with the cause
// (no_such_file_or_directory when it does not exist) and that text as its
// path, when it does not exist or cannot be read.
std::vector<std::string> listFiles(std::string_view directory, std::string_view mask);
// The same for a directory resolved already; errors name its text.
std::vector<std::string> listFiles(const TypedPath& directory, std::string_view mask);

// Why this process may not write an existing file or directory.
enum class WriteRefusal {
  kNone,          // it may (or the path does not exist, or the system cannot tell)
  kFileReadOnly,  // the file is marked read-only (attribute, or no write bit at all)
  kDiskReadOnly,  // the file system is mounted read-only
  kNoPermission,  // the file or directory belongs to others who do not let us write
};

// Probes `path` (a resolved location) without writing: POSIX access(2) with
// the mode bits to tell a read-only file from a refused permission; on
// Windows the read-only attribute of a file (a directory's attribute means
// nothing there, and permissions show only when writing).
WriteRefusal writeRefusal(const std::filesystem::path& path);

}  // namespace platform
