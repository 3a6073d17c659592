#include "platform/runlock.h"

#include <charconv>
#include <chrono>
#include <cstdlib>
#include <sstream>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

#include "platform/clock.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace platform {
namespace {

// A value a reader can show: a description cut short, edited by hand or
// overwritten with something else must not bring control characters or
// broken UTF-8 into the message that names the holder.
std::string shown(std::string_view value) {
  constexpr std::size_t kLongest = 256;
  return value.size() <= kLongest && isPrintableUtf8(value) ? std::string(value) : std::string();
}

// The description of a run that holds the lock. The holder writes it just
// after taking the lock, so a run that comes within that moment may read an
// empty or partial text: it reads again until the text is whole (its last
// line written), for at most about a second, then takes what there is.
template <typename Read>
RunLockHolder readHolder(Read read) {
  std::string text;
  for (int attempt = 0; attempt < 200; ++attempt) {
    text = read();
    if (text.find("\nend=1\n") != std::string::npos) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return parseRunLockDescription(text);
}

}  // namespace

std::string describeRunLock(const RunLockHolder& h) {
  std::ostringstream out;
  // The last line tells a reader that the description is whole.
  out << "host=" << h.host << "\npid=" << h.pid << "\nuser=" << h.user << "\nstarted=" << h.started
      << "\nend=1\n";
  return out.str();
}

RunLockHolder parseRunLockDescription(std::string_view text) {
  RunLockHolder h;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);  // edited on Windows
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string_view key = line.substr(0, eq), value = line.substr(eq + 1);
    if (key == "host") h.host = shown(value);
    if (key == "user") h.user = shown(value);
    if (key == "started") h.started = shown(value);
    if (key == "pid") {
      long long pid = 0;
      const auto r = std::from_chars(value.data(), value.data() + value.size(), pid);
      h.pid = r.ec == std::errc() && r.ptr == value.data() + value.size() && pid > 0 ? pid : 0;
    }
  }
  return h;
}

#ifdef _WIN32

struct RunLock::Handle {
  HANDLE file = INVALID_HANDLE_VALUE;
  ~Handle() {
    if (file == INVALID_HANDLE_VALUE) return;
    OVERLAPPED at{};
    at.Offset = kLockOffset;
    UnlockFileEx(file, 0, 1, 0, &at);
    CloseHandle(file);
  }
  // A byte far past the description, so that other processes can still read
  // the description while the region is locked.
  static constexpr DWORD kLockOffset = 0x7FFFFFF0;
};

// The description from the file's start (positioned: the handle's own
// position does not move).
static std::string readAll(HANDLE file) {
  char buffer[1024];
  DWORD got = 0;
  OVERLAPPED at{};
  if (!ReadFile(file, buffer, sizeof buffer, &got, &at)) got = 0;
  return std::string(buffer, got);
}

RunLockHolder RunLock::self() {
  RunLockHolder h;
  const char* host = std::getenv("COMPUTERNAME");
  const char* user = std::getenv("USERNAME");
  h.host = host ? host : "";
  h.user = user ? user : "";
  h.pid = static_cast<long long>(GetCurrentProcessId());
  h.started = localTimeText("%Y-%m-%d %H:%M:%S");
  return h;
}

RunLock::Result RunLock::acquire(const fs::path& directory) {
  release();
  m_error.clear();
  auto handle = std::make_unique<Handle>();
  handle->file =
      CreateFileW((directory / kRunLockFileName).wstring().c_str(), GENERIC_READ | GENERIC_WRITE,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                  FILE_ATTRIBUTE_HIDDEN, nullptr);
  if (handle->file == INVALID_HANDLE_VALUE) {
    m_error = std::error_code(static_cast<int>(GetLastError()), std::system_category());
    return Result::kFailed;
  }
  OVERLAPPED at{};
  at.Offset = Handle::kLockOffset;
  if (!LockFileEx(handle->file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                  &at)) {
    const DWORD why = GetLastError();
    if (why != ERROR_LOCK_VIOLATION && why != ERROR_IO_PENDING) {
      m_error = std::error_code(static_cast<int>(why), std::system_category());
      return Result::kFailed;
    }
    HANDLE file = handle->file;
    m_holder = readHolder([file] { return readAll(file); });
    return Result::kHeld;
  }
  m_holder = self();
  const std::string text = describeRunLock(m_holder);
  // A killed run's description goes first, so that nobody reads it as ours.
  DWORD written = 0;
  SetFilePointer(handle->file, 0, nullptr, FILE_BEGIN);
  SetEndOfFile(handle->file);
  WriteFile(handle->file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  m_handle = std::move(handle);
  return Result::kTaken;
}

std::optional<RunLockHolder> RunLock::heldBy(const fs::path& directory) {
  HANDLE file = CreateFileW((directory / kRunLockFileName).wstring().c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::optional<RunLockHolder> holder;
  OVERLAPPED at{};
  at.Offset = Handle::kLockOffset;
  // A shared lock needs only read access and fails while a run holds the
  // exclusive one.
  if (LockFileEx(file, LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
    UnlockFileEx(file, 0, 1, 0, &at);
  } else if (GetLastError() == ERROR_LOCK_VIOLATION) {
    holder = readHolder([file] { return readAll(file); });
  }
  CloseHandle(file);
  return holder;
}

#else

struct RunLock::Handle {
  int fd = -1;
  ~Handle() {
    if (fd >= 0) ::close(fd);  // closing the description lets the lock go
  }
};

static std::string readAll(int fd) {
  char buffer[1024];
  const ssize_t got = ::pread(fd, buffer, sizeof buffer, 0);
  return std::string(buffer, got > 0 ? static_cast<std::size_t>(got) : 0);
}

RunLockHolder RunLock::self() {
  RunLockHolder h;
  char host[256] = {};
  if (::gethostname(host, sizeof host - 1) == 0) h.host = host;
  if (const passwd* pw = ::getpwuid(::getuid()))
    h.user = pw->pw_name;
  else if (const char* user = std::getenv("USER"))
    h.user = user;
  h.pid = static_cast<long long>(::getpid());
  h.started = localTimeText("%Y-%m-%d %H:%M:%S");
  return h;
}

RunLock::Result RunLock::acquire(const fs::path& directory) {
  release();
  m_error.clear();
  auto handle = std::make_unique<Handle>();
  handle->fd = ::open((directory / kRunLockFileName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (handle->fd < 0) {
    m_error = std::error_code(errno, std::generic_category());
    return Result::kFailed;
  }
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  // An open-file-description lock conflicts with every other open of the
  // file, in this process too, and is not dropped when some other
  // descriptor of the file is closed; plain record locks are the fallback.
#ifdef F_OFD_SETLK
  int rc = ::fcntl(handle->fd, F_OFD_SETLK, &lock);
  if (rc != 0 && errno == EINVAL) rc = ::fcntl(handle->fd, F_SETLK, &lock);
#else
  int rc = ::fcntl(handle->fd, F_SETLK, &lock);
#endif
  if (rc != 0) {
    if (errno != EAGAIN && errno != EACCES) {
      m_error = std::error_code(errno, std::generic_category());
      return Result::kFailed;
    }
    const int fd = handle->fd;
    m_holder = readHolder([fd] { return readAll(fd); });
    return Result::kHeld;
  }
  m_holder = self();
  const std::string text = describeRunLock(m_holder);
  // A killed run's description goes first, so that nobody reads it as ours.
  if (::ftruncate(handle->fd, 0) != 0 ||
      ::pwrite(handle->fd, text.data(), text.size(), 0) != static_cast<ssize_t>(text.size())) {
    // The lock holds all the same; only the description is missing.
  }
  m_handle = std::move(handle);
  return Result::kTaken;
}

std::optional<RunLockHolder> RunLock::heldBy(const fs::path& directory) {
  const int fd = ::open((directory / kRunLockFileName).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct flock probe {};
  probe.l_type = F_WRLCK;
  probe.l_whence = SEEK_SET;
#ifdef F_OFD_GETLK
  int rc = ::fcntl(fd, F_OFD_GETLK, &probe);
  if (rc != 0 && errno == EINVAL) {
    probe = {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    rc = ::fcntl(fd, F_GETLK, &probe);
  }
#else
  int rc = ::fcntl(fd, F_GETLK, &probe);
#endif
  std::optional<RunLockHolder> holder;
  if (rc == 0 && probe.l_type != F_UNLCK) holder = readHolder([fd] { return readAll(fd); });
  ::close(fd);
  return holder;
}

#endif

RunLock::RunLock() = default;
RunLock::~RunLock() = default;
RunLock::RunLock(RunLock&&) noexcept = default;
RunLock& RunLock::operator=(RunLock&&) noexcept = default;

void RunLock::release() {
  m_handle.reset();
}

bool RunLock::held() const {
  return m_handle != nullptr;
}

std::optional<std::uintmax_t> freeSpace(const fs::path& location) {
  std::error_code ec;
  const fs::space_info info = fs::space(location, ec);
  if (ec || info.available == static_cast<std::uintmax_t>(-1)) return std::nullopt;
  return info.available;
}

}  // namespace platform
