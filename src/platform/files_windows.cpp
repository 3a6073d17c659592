#include "platform/files_windows.h"

#include <windows.h>

#include <atomic>
#include <cerrno>
#include <string>
#include <system_error>

#include "platform/paths.h"
#include "platform/rawfile.h"
#include "platform/wintext.h"

namespace fs = std::filesystem;

namespace platform::windows {
namespace {

// A refusal of Windows, with its cause in the portable words of errno so
// that the message reads the same as on Linux: the reading side (`writing`
// false) names the source, the writing side the target. When another program
// holds the file open, the message itself says so.
[[noreturn]] void copyFailed(std::string_view from, std::string_view to, int error, bool writing) {
  const std::string named(writing ? to : from);
  std::string message = error == EBUSY
                            ? "Dosya başka bir programda açık olduğu için kopyalanamadı: " + named
                            : "Cannot copy '" + std::string(from) + "' to '" + std::string(to) +
                                  "': " + std::generic_category().message(error);
  throw FileSystemError(message, std::error_code(error, std::generic_category()), named, writing);
}

[[noreturn]] void copyFailed(std::string_view from, std::string_view to, DWORD error,
                             bool writing) {
  copyFailed(from, to, errnoFromWindows(error), writing);
}

// A name no other copy of ours uses at the same time.
fs::path temporaryBeside(const fs::path& target) {
  static std::atomic<unsigned> counter{0};
  std::wstring name =
      L".ud-copy-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(counter++);
  return target.parent_path() / name;
}

// A read handle on a copy's source that shares reading only, for as long
// as the object lives; nothing when it cannot be had.
class SourceGuard {
 public:
  explicit SourceGuard(const fs::path& source)
      : m_handle(::CreateFileW(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~SourceGuard() {
    if (m_handle != INVALID_HANDLE_VALUE) ::CloseHandle(m_handle);
  }
  SourceGuard(const SourceGuard&) = delete;
  SourceGuard& operator=(const SourceGuard&) = delete;

 private:
  HANDLE m_handle;
};

}  // namespace

void copyBytes(const fs::path& source, const fs::path& target, std::string_view from,
               std::string_view to) {
  // The calls below pass the fault seam of rawfile.h, so that tests can make
  // a copy fail at any step as on Linux.
  if (int e = injectedFault(FileOp::kOpen, source)) copyFailed(from, to, e, false);
  const DWORD sourceAttributes = ::GetFileAttributesW(source.c_str());
  const fs::path temp = temporaryBeside(target);
  if (int e = injectedFault(FileOp::kCreate, target)) copyFailed(from, to, e, true);
  // While the bytes are read, nobody else may write them: a program that
  // opens the source for writing meanwhile gets its own "in use" error
  // rather than changing the file under the copy. A handle that already
  // writes it (the run's check has made sure it is none of another
  // program's) keeps the guard away; the copy goes on without it.
  const SourceGuard guard(source);
  // CopyFileW brings the bytes, the modification time and the attributes.
  if (!::CopyFileW(source.c_str(), temp.c_str(), FALSE)) {
    const DWORD error = ::GetLastError();
    ::DeleteFileW(temp.c_str());
    // Whether the source could not be read or the copy not written, Windows
    // does not say; a source that is missing or held is the reading side.
    const bool reading = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
                         sourceAttributes == INVALID_FILE_ATTRIBUTES ||
                         error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
    copyFailed(from, to, error, !reading);
  }
  ::SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_HIDDEN);
  // A target held open by a handle of ours is replaced as on Linux; one that
  // another program holds open without sharing is refused (EBUSY).
  try {
    replaceFile(temp, target);
  } catch (const std::system_error& e) {
    removeFile(temp);
    copyFailed(from, to, e.code().value(), true);
  }
  // The moved file keeps the temporary's hidden mark: give it the source's.
  DWORD attributes = sourceAttributes == INVALID_FILE_ATTRIBUTES
                         ? FILE_ATTRIBUTE_NORMAL
                         : sourceAttributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN);
  // A read-only source must not give a copy the jobs and the product cannot
  // change (as on Linux, where the owner may always write the copy).
  attributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
  if (attributes == 0) attributes = FILE_ATTRIBUTE_NORMAL;
  if (!::SetFileAttributesW(target.c_str(), attributes))
    copyFailed(from, to, ::GetLastError(), true);
}

bool markedHiddenOrSystem(const fs::path& file) {
  DWORD attributes = ::GetFileAttributesW(file.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
}

}  // namespace platform::windows
