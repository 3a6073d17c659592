#include "platform/files.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/rawfile.h"
#include "platform/typedpath.h"
#include "platform/wildcard.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/files_windows.h"
#include "platform/wintext.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace platform {
namespace {

[[noreturn]] void copyFailed(std::string_view from, std::string_view to, const std::string& why) {
  throw FileSystemError("Cannot copy '" + std::string(from) + "' to '" + std::string(to) +
                        "': " + why);
}

#ifndef _WIN32
// A failure of the operating system: the reading side (`writing` false)
// names the source, the writing side the target.
[[noreturn]] void copyFailed(std::string_view from, std::string_view to, std::error_code cause,
                             bool writing) {
  throw FileSystemError(
      "Cannot copy '" + std::string(from) + "' to '" + std::string(to) + "': " + cause.message(),
      cause, std::string(writing ? to : from), writing);
}

// Closes a descriptor and removes a temporary file unless released.
class TempFile {
 public:
  TempFile(int fd, std::string path) : m_fd(fd), m_path(std::move(path)) {}
  ~TempFile() {
    if (m_fd >= 0) ::close(m_fd);
    if (!m_path.empty()) removeFile(m_path);
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  int fd() const { return m_fd; }
  const std::string& path() const { return m_path; }
  int close() {
    int rc = ::close(m_fd);
    m_fd = -1;
    return rc;
  }
  void release() { m_path.clear(); }

 private:
  int m_fd;
  std::string m_path;
};

class Fd {
 public:
  explicit Fd(int fd) : m_fd(fd) {}
  ~Fd() {
    if (m_fd >= 0) ::close(m_fd);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return m_fd; }

 private:
  int m_fd;
};

bool writeAll(int fd, const char* data, std::size_t size) {
  if (int e = injectedFault(FileOp::kWrite)) {
    errno = e;
    return false;
  }
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// The file calls below pass the fault seam of rawfile.h, so that tests can
// make a copy fail at any step.
int failed(int error) {
  errno = error;
  return -1;
}

void copyBytes(const fs::path& source, const fs::path& target, std::string_view from,
               std::string_view to) {
  const int openFault = injectedFault(FileOp::kOpen, source);
  Fd in(openFault ? failed(openFault) : ::open(source.c_str(), O_RDONLY | O_CLOEXEC));
  if (in.get() < 0) copyFailed(from, to, std::error_code(errno, std::generic_category()), false);
  struct stat st {};
  if (::fstat(in.get(), &st) != 0)
    copyFailed(from, to, std::error_code(errno, std::generic_category()), false);

  // A hidden name, so that a listing never shows the file while it grows.
  std::string pattern = (target.parent_path() / ".ud-copy-XXXXXX").string();
  const int createFault = injectedFault(FileOp::kCreate, target);
  int fd = createFault ? failed(createFault) : ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd < 0) copyFailed(from, to, std::error_code(errno, std::generic_category()), true);
  TempFile temp(fd, pattern);

  // In the kernel where it can (no trip through our memory), by read and
  // write where it cannot (another file system, an old kernel).
  for (;;) {
    const int copyFault = injectedFault(FileOp::kWrite, target);
    const ssize_t n = copyFault
                          ? failed(copyFault)
                          : ::copy_file_range(in.get(), nullptr, temp.fd(), nullptr, 1 << 30, 0);
    if (n > 0) continue;
    if (n == 0) break;
    if (errno == EINTR) continue;
    if (errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP || errno == EINVAL ||
        errno == EBADF || errno == EPERM)
      break;  // the loop below copies the rest
    copyFailed(from, to, std::error_code(errno, std::generic_category()), true);
  }
  std::vector<char> buffer(1 << 20);
  for (;;) {
    const int readFault = injectedFault(FileOp::kRead, source);
    ssize_t n = readFault ? failed(readFault) : ::read(in.get(), buffer.data(), buffer.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      copyFailed(from, to, std::error_code(errno, std::generic_category()), false);
    }
    if (n == 0) break;
    if (!writeAll(temp.fd(), buffer.data(), static_cast<std::size_t>(n)))
      copyFailed(from, to, std::error_code(errno, std::generic_category()), true);
  }
  // The copy is always writable by its owner: a read-only source (a file
  // from a CD or a write-protected share) must not give a company whose
  // tables the jobs and the product cannot change.
  ::fchmod(temp.fd(), (st.st_mode & 07777) | S_IWUSR);
  struct timespec times[2] = {st.st_atim, st.st_mtim};
  ::futimens(temp.fd(), times);
  if (temp.close() != 0)
    copyFailed(from, to, std::error_code(errno, std::generic_category()), true);
#ifdef RENAME_EXCHANGE
  // Over an existing file, an exchange: the name holds the old or the new
  // bytes at every moment, as with rename, but the file system does not
  // start writing the whole copy out at once (ext4 does that on a rename
  // over a file), which would slow the copy of a large company severalfold.
  // The old bytes, now under the temporary name, go with it.
  if (int e = injectedFault(FileOp::kExchange, target))
    copyFailed(from, to, std::error_code(e, std::generic_category()), true);
  if (::renameat2(AT_FDCWD, temp.path().c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE) == 0)
    return;
  if (errno != ENOENT && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
    copyFailed(from, to, std::error_code(errno, std::generic_category()), true);
#endif
  if (int e = injectedFault(FileOp::kRename, target))
    copyFailed(from, to, std::error_code(e, std::generic_category()), true);
  if (::rename(temp.path().c_str(), target.c_str()) != 0)
    copyFailed(from, to, std::error_code(errno, std::generic_category()), true);
  temp.release();
}
#else
using windows::copyBytes;
#endif

// Files marked hidden or system stay out of every listing. Windows keeps the
// marks as file attributes; Wine on Linux keeps a file's DOS attributes in
// the extended attribute user.DOSATTRIB as hex text ("0x2" hidden, "0x4"
// system, "0x6" both; Samba's longer values begin the same way).
bool markedHiddenOrSystem(const fs::path& file) {
#ifdef _WIN32
  return windows::markedHiddenOrSystem(file);
#else
  constexpr unsigned long kHidden = 0x2, kSystem = 0x4;
  char value[64];
  ssize_t n = ::getxattr(file.c_str(), "user.DOSATTRIB", value, sizeof value - 1);
  if (n < 3 || value[0] != '0' || (value[1] != 'x' && value[1] != 'X')) return false;
  value[n] = '\0';
  unsigned long attributes = std::strtoul(value + 2, nullptr, 16);
  return (attributes & (kHidden | kSystem)) != 0;
#endif
}

}  // namespace

CopyOutcome copyFile(std::string_view from, std::string_view to, bool overwrite) {
  return copyFile(TypedPath::resolve(std::string(from)), TypedPath::resolve(std::string(to)),
                  overwrite);
}

CopyOutcome copyFile(const TypedPath& fromPath, const TypedPath& toPath, bool overwrite) {
  const std::string& from = fromPath.text();
  const std::string& to = toPath.text();
  const std::optional<fs::path>& source = fromPath.location();
  std::error_code ec;
  if (!source || !fs::is_regular_file(*source, ec)) return CopyOutcome::kSourceMissing;
  const std::optional<fs::path>& target = toPath.location();
  if (!target || !fs::is_directory(target->parent_path().empty() ? "." : target->parent_path(), ec))
    copyFailed(from, to, "the target directory does not exist");
  fs::file_status status = fs::status(*target, ec);
  if (fs::exists(status)) {
    if (!overwrite) return CopyOutcome::kTargetKept;
    if (fs::is_directory(status)) copyFailed(from, to, "the target is a directory");
  }
  copyBytes(*source, *target, from, to);
  return CopyOutcome::kCopied;
}

void copyResolvedFile(const fs::path& source, const fs::path& target) {
#ifdef _WIN32
  copyBytes(source, target, typedPath(source), typedPath(target));
#else
  // The texts as typed cost a walk of both paths (and of the Wine drives):
  // worked out only for a failure. Every failure of copyBytes has a cause.
  try {
    copyBytes(source, target, source.native(), target.native());
  } catch (const FileSystemError& e) {
    if (!e.cause()) throw;
    const std::string from = typedPath(source), to = typedPath(target);
    throw FileSystemError("Cannot copy '" + from + "' to '" + to + "': " + e.cause().message(),
                          e.cause(), e.writing() ? to : from, e.writing());
  }
#endif
}

std::vector<std::string> listFiles(std::string_view directory, std::string_view mask) {
  return listFiles(TypedPath::resolve(std::string(directory)), mask);
}

std::vector<std::string> listFiles(const TypedPath& typed, std::string_view mask) {
  const std::optional<fs::path>& dir = typed.location();
  const std::string& directory = typed.text();
  std::error_code ec;
  if (!dir || !fs::is_directory(dir->empty() ? "." : *dir, ec))
    throw FileSystemError("Directory not found: '" + directory + "'",
                          std::make_error_code(std::errc::no_such_file_or_directory), directory,
                          false);
  std::vector<std::string> names;
  fs::directory_iterator it(dir->empty() ? "." : *dir, ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
#ifdef _WIN32
    std::string name = utf8FromPath(it->path().filename());
#else
    std::string name = it->path().filename().string();
#endif
    if (name.empty() || name[0] == '.') continue;
    std::error_code typeError;
    if (!it->is_regular_file(typeError)) continue;
    if (!matchesMask(name, mask) || markedHiddenOrSystem(it->path())) continue;
    names.push_back(std::move(name));
  }
  if (ec)
    throw FileSystemError("Cannot list directory '" + directory + "': " + ec.message(), ec,
                          directory, false);
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return lessNoCase(a, b); });
  return names;
}

WriteRefusal writeRefusal(const fs::path& path) {
#ifdef _WIN32
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return WriteRefusal::kNone;
  return (attributes & FILE_ATTRIBUTE_READONLY) != 0 ? WriteRefusal::kFileReadOnly
                                                     : WriteRefusal::kNone;
#else
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return WriteRefusal::kNone;
  const bool directory = S_ISDIR(st.st_mode);
  // A directory is written by creating and renaming names in it.
  const bool refused = ::access(path.c_str(), directory ? W_OK | X_OK : W_OK) != 0;
  const int error = errno;
  if (refused && error == EROFS) return WriteRefusal::kDiskReadOnly;
  // No write bit for anyone is how a file is marked read-only (Wine keeps
  // the DOS attribute so): refused even where the system would let an
  // administrator write it, as the product refuses it.
  if (!directory && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
    return WriteRefusal::kFileReadOnly;
  if (refused && (error == EACCES || error == EPERM)) return WriteRefusal::kNoPermission;
  return WriteRefusal::kNone;
#endif
}

}  // namespace platform
