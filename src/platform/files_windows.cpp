#include "platform/files_windows.h"

#include <windows.h>

#include <atomic>
#include <string>
#include <system_error>

#include "platform/paths.h"
#include "platform/rawfile.h"
#include "platform/wintext.h"

namespace fs = std::filesystem;

namespace platform::windows {
namespace {

bool heldByAnotherProgram(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
         error == ERROR_USER_MAPPED_FILE;
}

[[noreturn]] void copyFailed(std::string_view from, std::string_view to, DWORD error,
                             std::string_view busyText) {
  if (heldByAnotherProgram(error))
    throw FileSystemError("Dosya başka bir programda açık olduğu için kopyalanamadı: " +
                          std::string(busyText));
  throw FileSystemError("Cannot copy '" + std::string(from) + "' to '" + std::string(to) +
                        "': " + std::system_category().message(static_cast<int>(error)));
}

// A name no other copy of ours uses at the same time.
fs::path temporaryBeside(const fs::path& target) {
  static std::atomic<unsigned> counter{0};
  std::wstring name =
      L".ud-copy-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(counter++);
  return target.parent_path() / name;
}

}  // namespace

void copyBytes(const fs::path& source, const fs::path& target, std::string_view from,
               std::string_view to) {
  const DWORD sourceAttributes = ::GetFileAttributesW(source.c_str());
  const fs::path temp = temporaryBeside(target);
  // CopyFileW brings the bytes, the modification time and the attributes.
  if (!::CopyFileW(source.c_str(), temp.c_str(), FALSE)) {
    const DWORD error = ::GetLastError();
    ::DeleteFileW(temp.c_str());
    copyFailed(from, to, error, from);
  }
  ::SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_HIDDEN);
  // A target held open by a handle of ours is replaced as on Linux; one that
  // another program holds open without sharing is refused (EBUSY).
  try {
    replaceFile(temp, target);
  } catch (const std::system_error& e) {
    ::DeleteFileW(temp.c_str());
    if (e.code() == std::errc::device_or_resource_busy)
      copyFailed(from, to, ERROR_SHARING_VIOLATION, to);
    throw FileSystemError("Cannot copy '" + std::string(from) + "' to '" + std::string(to) +
                          "': " + e.code().message());
  }
  // The moved file keeps the temporary's hidden mark: give it the source's.
  DWORD attributes = sourceAttributes == INVALID_FILE_ATTRIBUTES
                         ? FILE_ATTRIBUTE_NORMAL
                         : sourceAttributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN);
  if (attributes == 0) attributes = FILE_ATTRIBUTE_NORMAL;
  if (!::SetFileAttributesW(target.c_str(), attributes)) copyFailed(from, to, ::GetLastError(), to);
}

bool markedHiddenOrSystem(const fs::path& file) {
  DWORD attributes = ::GetFileAttributesW(file.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
}

}  // namespace platform::windows
