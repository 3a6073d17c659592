#include "platform/rawfile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <system_error>
#include <thread>
#include <utility>

namespace platform {

namespace {

[[noreturn]] void fail(const char* what) {
  throw std::system_error(errno, std::generic_category(), what);
}

[[noreturn]] void failWith(int error, const char* what) {
  throw std::system_error(error, std::generic_category(), what);
}

// True when the file lies on a file system of a local disk or of memory. A
// read through a mapping that the system cannot satisfy kills the process
// (SIGBUS) where a positioned read reports an error; a share (CIFS, NFS, a
// FUSE file system, ...) fails reads when the server or the cable does, so
// only these are mapped.
bool onLocalFileSystem(int fd) {
  struct statfs info {};
  if (::fstatfs(fd, &info) != 0) return false;
  switch (static_cast<std::uint32_t>(info.f_type)) {
    case 0xEF53u:      // ext2, ext3, ext4
    case 0x58465342u:  // xfs
    case 0x9123683Eu:  // btrfs
    case 0x01021994u:  // tmpfs
    case 0x858458F6u:  // ramfs
    case 0xF2F52010u:  // f2fs
    case 0x3153464Au:  // jfs
    case 0x52654973u:  // reiserfs
    case 0xCA451A4Eu:  // bcachefs
    case 0x2FC12FC1u:  // zfs
    case 0x794C7630u:  // overlayfs (containers), over a local disk
      return true;
    default:
      return false;
  }
}

}  // namespace

RawFile::RawFile(const std::filesystem::path& path, Mode mode) {
  int flags = O_CLOEXEC;
  switch (mode) {
    case Mode::kRead:
      flags |= O_RDONLY;
      break;
    case Mode::kReadWrite:
      flags |= O_RDWR;
      break;
    case Mode::kCreate:
      flags |= O_RDWR | O_CREAT | O_TRUNC;
      break;
  }
  if (int e = injectedFault(mode == Mode::kCreate ? FileOp::kCreate : FileOp::kOpen, path))
    failWith(e, "open");
  m_fd = ::open(path.c_str(), flags, 0644);
  if (m_fd < 0) fail("open");
  m_syncDeferred = mode != Mode::kRead && syncsDeferredFor(path);
}

std::uint64_t RawFile::size() const {
  if (int e = injectedFault(FileOp::kRead)) failWith(e, "fstat");
  struct stat st {};
  if (::fstat(m_fd, &st) != 0) fail("fstat");
  return static_cast<std::uint64_t>(st.st_size);
}

std::size_t RawFile::readAt(std::uint64_t offset, void* buffer, std::size_t length) const {
  if (int e = injectedFault(FileOp::kRead)) failWith(e, "read");
  auto* out = static_cast<char*>(buffer);
  std::size_t done = 0;
  while (done < length) {
    ssize_t n = ::pread(m_fd, out + done, length - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      fail("read");
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

void RawFile::writeAt(std::uint64_t offset, const void* data, std::size_t length) {
  if (int e = injectedFault(FileOp::kWrite)) failWith(e, "write");
  const auto* in = static_cast<const char*>(data);
  std::size_t done = 0;
  while (done < length) {
    ssize_t n = ::pwrite(m_fd, in + done, length - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      fail("write");
    }
    done += static_cast<std::size_t>(n);
  }
}

void RawFile::truncate(std::uint64_t length) {
  if (int e = injectedFault(FileOp::kResize)) failWith(e, "truncate");
  if (::ftruncate(m_fd, static_cast<off_t>(length)) != 0) fail("truncate");
}

void RawFile::startWriteBack(std::uint64_t offset, std::uint64_t length) noexcept {
  if (m_fd >= 0)
    ::sync_file_range(m_fd, static_cast<off_t>(offset), static_cast<off_t>(length),
                      SYNC_FILE_RANGE_WRITE);
}

void RawFile::sync() {
  if (int e = injectedFault(FileOp::kSync)) {
    if (e == kSkipSync) return;
    failWith(e, "fsync");
  }
  if (m_syncDeferred) {
    startWriteBack(0, 0);  // the whole file; failures show at the real sync
    return;
  }
  if (::fsync(m_fd) != 0) fail("fsync");
}

void RawFile::close() {
  if (m_fd >= 0) {
    ::close(m_fd);
    m_fd = -1;
  }
}

FileView::FileView(const RawFile& file, std::uint64_t offset, std::uint64_t length) {
  if (file.m_fd < 0 || length == 0 || length > static_cast<std::uint64_t>(SIZE_MAX) ||
      offset % kViewAlignment != 0)
    return;
  if (injectedFault(FileOp::kMap) != 0) return;  // reads fall back to readAt
  if (!onLocalFileSystem(file.m_fd)) return;
  void* p = ::mmap(nullptr, static_cast<std::size_t>(length), PROT_READ, MAP_SHARED, file.m_fd,
                   static_cast<off_t>(offset));
  if (p == MAP_FAILED) return;  // reads fall back to readAt
  m_data = static_cast<const std::uint8_t*>(p);
  m_size = length;
}

FileView::~FileView() {
  if (m_data) ::munmap(const_cast<std::uint8_t*>(m_data), static_cast<std::size_t>(m_size));
}

FileView::FileView(FileView&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)), m_size(std::exchange(other.m_size, 0)) {}

FileView& FileView::operator=(FileView&& other) noexcept {
  if (this != &other) {
    if (m_data) ::munmap(const_cast<std::uint8_t*>(m_data), static_cast<std::size_t>(m_size));
    m_data = std::exchange(other.m_data, nullptr);
    m_size = std::exchange(other.m_size, 0);
  }
  return *this;
}

void closeInBackground(RawFile file) {
  if (!file.isOpen()) return;
  try {
    std::thread([f = std::move(file)]() mutable { f.close(); }).detach();
  } catch (const std::system_error&) {
    // No thread to be had: close here.
  }
}

bool isReadOnlyFile(const std::filesystem::path& path) {
  return ::access(path.c_str(), W_OK) != 0 && errno == EACCES;
}

void syncDirectory(const std::filesystem::path& dir) {
  const std::filesystem::path d = dir.empty() ? std::filesystem::path(".") : dir;
  if (injectedFault(FileOp::kSync, d) != 0) return;
  if (syncsDeferredFor(d)) return;
  int fd = ::open(d.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

void replaceFile(const std::filesystem::path& from, const std::filesystem::path& to, bool durable) {
  if (int e = injectedFault(FileOp::kRename, to)) failWith(e, "rename");
  if (::rename(from.c_str(), to.c_str()) != 0) fail("rename");
  if (durable) syncDirectory(to.parent_path());
}

bool exchangeFiles(const std::filesystem::path& a, const std::filesystem::path& b) {
  if (int e = injectedFault(FileOp::kExchange, b)) failWith(e, "exchange");
#ifdef RENAME_EXCHANGE
  if (::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE) == 0) return true;
  if (errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP) return false;
  fail("exchange");
#else
  (void)a;
  return false;
#endif
}

bool removeFile(const std::filesystem::path& path) noexcept {
  if (injectedFault(FileOp::kRemove, path) != 0) return false;
  return ::unlink(path.c_str()) == 0;
}

}  // namespace platform
