// Windows only: our texts are UTF-8, the system's are UTF-16. Every call
// into Windows that takes a name goes through these, so that Turkish letters
// survive whatever the system's ANSI code page is.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view wide);

// A path from a UTF-8 text (std::filesystem would read the text in the ANSI
// code page) and back.
inline std::filesystem::path pathFromUtf8(std::string_view utf8) {
  return std::filesystem::path(widen(utf8));
}
inline std::string utf8FromPath(const std::filesystem::path& p) {
  return narrow(p.native());
}

}  // namespace platform

namespace platform {

// The errno value closest to a Windows error code, so that a failure reads
// and is told apart the same way on both systems (a file held open by
// another program: EBUSY; a full disk: ENOSPC; anything unknown: EIO).
int errnoFromWindows(unsigned long error);

}  // namespace platform
