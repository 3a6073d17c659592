// Copying and listing plain files, by path texts as typed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/paths.h"

namespace platform {

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

// The plain files of a directory whose names match the wildcard mask, sorted
// alphabetically without regard to case. Sub-directories, hidden entries
// (names starting with ".") and files marked hidden or system (Windows file
// attributes; under Wine on Linux the user.DOSATTRIB extended attribute) are
// left out. Throws FileSystemError naming the
// directory text when it does not exist or cannot be read.
std::vector<std::string> listFiles(std::string_view directory, std::string_view mask);

}  // namespace platform
