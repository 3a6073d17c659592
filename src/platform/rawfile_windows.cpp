// RawFile on Windows. The handle lives in a C runtime descriptor
// (_open_osfhandle) so that the class keeps one shape on both systems.
//
// Every handle we open shares reading, writing and deletion with other
// handles, so that our own replace of a table we hold open works as rename
// does on Linux (replaceFile asks for POSIX semantics). A file that another program holds open
// without sharing fails to open or replace with EBUSY (ERROR_SHARING_VIOLATION).
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/leftovers.h"
#include "platform/rawfile.h"
#include "platform/wintext.h"

namespace platform {
namespace {

[[noreturn]] void fail(const char* what) {
  throw std::system_error(errnoFromWindows(::GetLastError()), std::generic_category(), what);
}

[[noreturn]] void failWith(int error, const char* what) {
  throw std::system_error(error, std::generic_category(), what);
}

HANDLE handleOf(int fd) {
  return reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// A positioned transfer's offset, and its size capped at what one call takes.
OVERLAPPED positionAt(std::uint64_t offset) {
  OVERLAPPED position{};
  position.Offset = static_cast<DWORD>(offset);
  position.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return position;
}
DWORD chunkOf(std::size_t rest) {
  return static_cast<DWORD>(std::min<std::size_t>(rest, 1u << 30));
}

}  // namespace

RawFile::RawFile(const std::filesystem::path& path, Mode mode) {
  DWORD access = GENERIC_READ;
  DWORD disposition = OPEN_EXISTING;
  int crtFlags = _O_BINARY;
  if (mode == Mode::kRead) {
    crtFlags |= _O_RDONLY;
  } else {
    access |= GENERIC_WRITE;
    crtFlags |= _O_RDWR;
    if (mode == Mode::kCreate) disposition = CREATE_ALWAYS;
  }
  if (int e = injectedFault(mode == Mode::kCreate ? FileOp::kCreate : FileOp::kOpen, path))
    failWith(e, "open");
  HANDLE h = ::CreateFileW(path.c_str(), access, kShareAll, nullptr, disposition,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) fail("open");
  m_fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(h), crtFlags);
  if (m_fd < 0) {
    ::CloseHandle(h);
    throw std::system_error(EMFILE, std::generic_category(), "open");
  }
  m_syncDeferred = mode != Mode::kRead && syncsDeferredFor(path);
}

std::uint64_t RawFile::size() const {
  if (int e = injectedFault(FileOp::kRead)) failWith(e, "fstat");
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(handleOf(m_fd), &size)) fail("fstat");
  return static_cast<std::uint64_t>(size.QuadPart);
}

std::size_t RawFile::readAt(std::uint64_t offset, void* buffer, std::size_t length) const {
  if (int e = injectedFault(FileOp::kRead)) failWith(e, "read");
  auto* out = static_cast<char*>(buffer);
  std::size_t done = 0;
  while (done < length) {
    OVERLAPPED position = positionAt(offset + done);
    DWORD n = 0;
    if (!::ReadFile(handleOf(m_fd), out + done, chunkOf(length - done), &n, &position)) {
      if (::GetLastError() == ERROR_HANDLE_EOF) break;
      fail("read");
    }
    if (n == 0) break;
    done += n;
  }
  return done;
}

void RawFile::writeAt(std::uint64_t offset, const void* data, std::size_t length) {
  if (int e = injectedFault(FileOp::kWrite)) failWith(e, "write");
  const auto* in = static_cast<const char*>(data);
  std::size_t done = 0;
  while (done < length) {
    OVERLAPPED position = positionAt(offset + done);
    DWORD n = 0;
    if (!::WriteFile(handleOf(m_fd), in + done, chunkOf(length - done), &n, &position))
      fail("write");
    if (n == 0) throw std::system_error(EIO, std::generic_category(), "write");
    done += n;
  }
}

void RawFile::truncate(std::uint64_t length) {
  if (int e = injectedFault(FileOp::kResize)) failWith(e, "truncate");
  FILE_END_OF_FILE_INFO end{};
  end.EndOfFile.QuadPart = static_cast<LONGLONG>(length);
  if (!::SetFileInformationByHandle(handleOf(m_fd), FileEndOfFileInfo, &end, sizeof end))
    fail("truncate");
}

void RawFile::startWriteBack(std::uint64_t, std::uint64_t) noexcept {}

void RawFile::sync() {
  if (int e = injectedFault(FileOp::kSync)) {
    if (e == kSkipSync) return;
    failWith(e, "fsync");
  }
  if (m_syncDeferred) return;
  if (!::FlushFileBuffers(handleOf(m_fd))) fail("fsync");
}

void RawFile::close() {
  if (m_fd >= 0) {
    ::_close(m_fd);
    m_fd = -1;
  }
}

// Windows refuses to shorten or replace a file while a view of it is
// mapped (ERROR_USER_MAPPED_FILE), and the engine does both to files it
// reads; so there are no views here and every read goes through readAt.
FileView::FileView(const RawFile&, std::uint64_t, std::uint64_t) {}

FileView::~FileView() = default;

FileView::FileView(FileView&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)), m_size(std::exchange(other.m_size, 0)) {}

FileView& FileView::operator=(FileView&& other) noexcept {
  m_data = std::exchange(other.m_data, nullptr);
  m_size = std::exchange(other.m_size, 0);
  return *this;
}

// Closed at once: a replaced file was moved aside and deleted while we held
// it (replaceFile), and Windows removes it only when its last handle closes;
// closing later would leave it visible for a while.
void closeInBackground(RawFile file) {
  file.close();
}

bool isReadOnlyFile(const std::filesystem::path& path) {
  DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

// Windows makes a rename durable itself with MOVEFILE_WRITE_THROUGH; a
// directory cannot be opened for flushing.
void syncDirectory(const std::filesystem::path&) {}

namespace {

// Renames `from` over `to` with POSIX semantics (Windows 10 1809 and later,
// Wine): the target may be open in a handle of ours that shares deletion,
// as the table being replaced is. False when the system does not know the
// call; throws for any other refusal.
bool renameReplacingOpenTarget(const std::filesystem::path& from, const std::filesystem::path& to) {
  constexpr DWORD kReplaceIfExists = 0x1, kPosixSemantics = 0x2;
  HANDLE h = ::CreateFileW(from.c_str(), DELETE | SYNCHRONIZE, kShareAll, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) fail("rename");
  const std::wstring& target = to.native();
  std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + target.size() * sizeof(wchar_t));
  auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  info->Flags = kReplaceIfExists | kPosixSemantics;
  info->RootDirectory = nullptr;
  info->FileNameLength = static_cast<DWORD>(target.size() * sizeof(wchar_t));
  std::memcpy(info->FileName, target.c_str(), target.size() * sizeof(wchar_t));
  const bool done = ::SetFileInformationByHandle(h, FileRenameInfoEx, info,
                                                 static_cast<DWORD>(buffer.size())) != 0;
  const DWORD error = ::GetLastError();
  ::CloseHandle(h);
  if (done) return true;
  if (error == ERROR_INVALID_PARAMETER || error == ERROR_NOT_SUPPORTED ||
      error == ERROR_INVALID_FUNCTION || error == ERROR_CALL_NOT_IMPLEMENTED)
    return false;
  ::SetLastError(error);
  fail("rename");
}

// `to` with its last component spelled as the existing file's name, when one
// exists under another letter case: a replace keeps the name (as on Linux,
// where the path was resolved to the existing entry), and Windows would
// otherwise give the file the case of the name in the call.
std::filesystem::path existingSpelling(const std::filesystem::path& to) {
  WIN32_FIND_DATAW found{};
  HANDLE search = ::FindFirstFileW(to.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return to;
  ::FindClose(search);
  return to.parent_path() / found.cFileName;
}

}  // namespace

void replaceFile(const std::filesystem::path& from, const std::filesystem::path& target,
                 bool durable) {
  if (int e = injectedFault(FileOp::kRename, target)) failWith(e, "rename");
  const std::filesystem::path to = existingSpelling(target);
  if (renameReplacingOpenTarget(from, to)) return;
  const DWORD flags = MOVEFILE_REPLACE_EXISTING | (durable ? MOVEFILE_WRITE_THROUGH : 0);
  if (::MoveFileExW(from.c_str(), to.c_str(), flags)) return;
  if (::GetLastError() != ERROR_ACCESS_DENIED) fail("rename");
  // Older Windows and Wine refuse to replace a file that is open, even in a
  // handle of ours that shares deletion (the table the engine is replacing).
  // Such a file may itself be renamed: move it aside under a hidden name,
  // move the new file in, and delete the old one (it goes when its last
  // handle closes). A target that another program holds open without
  // sharing deletion cannot be moved aside: the rename fails with EBUSY and
  // nothing changes. A crash between the two moves leaves the old bytes
  // under the aside name, which names the file it stands for, and no file
  // under `to`: the next run puts it back (removeCopyLeftovers).
  static std::atomic<unsigned> counter{0};
  const std::filesystem::path aside =
      to.parent_path() / (widen(kAsidePrefix) + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                          std::to_wstring(counter++) + L"~" + to.filename().native());
  if (!::MoveFileExW(to.c_str(), aside.c_str(), 0)) {
    if (::GetLastError() == ERROR_ACCESS_DENIED) ::SetLastError(ERROR_SHARING_VIOLATION);
    fail("rename");
  }
  ::SetFileAttributesW(aside.c_str(), FILE_ATTRIBUTE_HIDDEN);
  // The moves below pass the fault seam too, so that a crash between them
  // can be tested.
  const auto putBack = [&] {  // the old bytes back under their name
    if (!injectedFault(FileOp::kRename, to)) ::MoveFileExW(aside.c_str(), to.c_str(), 0);
  };
  if (int e = injectedFault(FileOp::kRename, to)) {
    putBack();
    failWith(e, "rename");
  }
  if (!::MoveFileExW(from.c_str(), to.c_str(), durable ? MOVEFILE_WRITE_THROUGH : 0)) {
    const DWORD error = ::GetLastError();
    putBack();
    ::SetLastError(error);
    fail("rename");
  }
  ::DeleteFileW(aside.c_str());
}

// Windows has no call that swaps two names at once (nothing reaches the
// system, so nothing passes the fault seam); the engine then replaces the
// files one by one.
bool exchangeFiles(const std::filesystem::path&, const std::filesystem::path&) {
  return false;
}

bool removeFile(const std::filesystem::path& path) noexcept {
  if (injectedFault(FileOp::kRemove, path) != 0) return false;
  return ::DeleteFileW(path.c_str()) != 0;
}

}  // namespace platform
