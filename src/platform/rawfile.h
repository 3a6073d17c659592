// Positional file access for the table engine: the one place that knows how
// the operating system reads, writes, syncs and replaces files.
//
// Every call reports failure by throwing std::system_error carrying the OS
// error; callers turn that into their own error type with the file's name.
//
// Every call that reaches the operating system passes one seam first, so that
// tests can make the Nth call of a kind fail (FileFaults below). In
// production no fault source is installed and the seam is one predictable
// branch on a null pointer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <future>

namespace platform {

// The kinds of file calls the seam sees.
enum class FileOp : std::uint8_t {
  kOpen,      // open an existing file (read or read-write)
  kCreate,    // create or truncate a file
  kRead,      // positioned read, file status
  kWrite,     // positioned write (and a copy's data)
  kResize,    // grow or truncate
  kSync,      // fsync of a file or a directory
  kRename,    // rename over a name
  kExchange,  // swap two names atomically
  kRemove,    // unlink
  kMap,       // map a stretch for reading
};
constexpr int kFileOpKinds = 10;
const char* fileOpName(FileOp op);

// A source of injected faults, for tests. before() is called ahead of each
// file call; it returns 0 to let the call go ahead, or an errno value to make
// it fail with that error without touching the file, or (for kSync only)
// kSkipSync to report it done without syncing (fast tests that model a
// killed process, for which syncs make no difference). Calls whose failure the
// caller ignores (a directory sync, removing a working file) still pass the
// seam. Not thread-safe: install it while a single thread does file work.
class FileFaults {
 public:
  virtual ~FileFaults() = default;
  virtual int before(FileOp op, const std::filesystem::path& path) = 0;
};

inline constexpr int kSkipSync = -1;

// The installed fault source; null unless a test installed one.
extern FileFaults* g_fileFaults;

// How to start work that may run on a thread of its own (std::async): on the
// caller's thread, when it waits for the result, while a fault source is
// installed, since a source counts and orders the calls it sees.
inline std::launch sideBySide() {
  return g_fileFaults == nullptr ? std::launch::async : std::launch::deferred;
}

// 0, or the errno value the installed source asks `op` to fail with.
inline int injectedFault(FileOp op, const std::filesystem::path& path) {
  if (g_fileFaults == nullptr) [[likely]]
    return 0;
  return g_fileFaults->before(op, path);
}
inline int injectedFault(FileOp op) {
  if (g_fileFaults == nullptr) [[likely]]
    return 0;
  return g_fileFaults->before(op, std::filesystem::path());
}

class RawFile {
 public:
  enum class Mode { kRead, kReadWrite, kCreate };  // kCreate truncates

  RawFile() = default;
  RawFile(const std::filesystem::path& path, Mode mode);
  ~RawFile();
  RawFile(RawFile&& other) noexcept;
  RawFile& operator=(RawFile&& other) noexcept;
  RawFile(const RawFile&) = delete;
  RawFile& operator=(const RawFile&) = delete;

  bool isOpen() const { return m_fd >= 0; }
  std::uint64_t size() const;
  // Reads up to `length` bytes at `offset`; returns the count read (short
  // only at the end of the file).
  std::size_t readAt(std::uint64_t offset, void* buffer, std::size_t length) const;
  // Writes all `length` bytes at `offset`, extending the file if needed.
  void writeAt(std::uint64_t offset, const void* data, std::size_t length);
  void truncate(std::uint64_t length);
  // Forces written data to stable storage; for a file opened under a
  // directory whose syncs are deferred (DeferredSyncs), only starts writing
  // it back.
  void sync();
  // Asks the system to start writing the bytes at [offset, offset + length)
  // to the disk now, without waiting, so that a later sync finds less to
  // do (Linux; elsewhere nothing). Never fails.
  void startWriteBack(std::uint64_t offset, std::uint64_t length) noexcept;
  void close();

 private:
  friend class FileView;
  int m_fd = -1;
  bool m_syncDeferred = false;
};

// While one lives, syncs of what lies under the directory `dir` (a real
// location, not yet seen by any program: a new company built aside) do not
// wait for the disk: a file opened there meanwhile only starts writing its
// data back when synced (where the system can, so that the writing overlaps
// the work that follows), a directory sync there does nothing. The caller
// makes everything under `dir` durable, once the deferral is over, before
// any name can show it. The fault seam still sees every sync.
class DeferredSyncs {
 public:
  explicit DeferredSyncs(std::filesystem::path dir);
  ~DeferredSyncs();
  DeferredSyncs(const DeferredSyncs&) = delete;
  DeferredSyncs& operator=(const DeferredSyncs&) = delete;

 private:
  std::filesystem::path m_dir;
};

// True when syncs of `path` are deferred now (DeferredSyncs).
bool syncsDeferredFor(const std::filesystem::path& path);

// A read-only view of bytes of an open file, shared with the page cache, so
// it shows what RawFile::writeAt wrote after it was made. Reading through it
// saves the copy a positioned read makes. Empty (data() null) when the file
// cannot be mapped; callers then read with readAt(). Only files on a local
// disk or in memory (ext4, xfs, btrfs, tmpfs and the like) are mapped: on a
// share (CIFS, NFS, FUSE, ...) a read the server fails would kill the
// process through the mapping, where readAt() reports it. `offset` must be a
// multiple of kViewAlignment. The view must not reach past the end of the
// file: a file shortened under it by another process faults on access
// (installBusErrorHandler, platform/fatalsignal.h, is the last resort).
class FileView {
 public:
  static constexpr std::uint64_t kViewAlignment = 64 * 1024;

  FileView() = default;
  FileView(const RawFile& file, std::uint64_t offset, std::uint64_t length);
  ~FileView();
  FileView(FileView&& other) noexcept;
  FileView& operator=(FileView&& other) noexcept;
  FileView(const FileView&) = delete;
  FileView& operator=(const FileView&) = delete;

  const std::uint8_t* data() const { return m_data; }
  std::uint64_t size() const { return m_size; }

 private:
  const std::uint8_t* m_data = nullptr;
  std::uint64_t m_size = 0;
};

// Closes `file` on another thread. Closing the last handle of a file that
// was just replaced by a rename frees its cached pages, which takes a while
// for a large file; the caller need not wait for that.
void closeInBackground(RawFile file);

// True when the file exists and the process may not write it.
bool isReadOnlyFile(const std::filesystem::path& path);
// Renames `from` over `to` atomically; with `durable`, also syncs the
// directory so that the rename survives a crash.
void replaceFile(const std::filesystem::path& from, const std::filesystem::path& to,
                 bool durable = true);
// Swaps the files named `a` and `b` atomically (both must exist): at every
// moment each name holds one of the two files. Returns false, changing
// nothing, when the file system cannot exchange names; throws on any other
// failure. Not durable until syncDirectory().
bool exchangeFiles(const std::filesystem::path& a, const std::filesystem::path& b);
// Removes a file; false when it could not be removed (absent included).
bool removeFile(const std::filesystem::path& path) noexcept;
// Makes the renames done in `dir` so far durable. Failures are ignored: the
// renames are done either way, only their durability is in doubt.
void syncDirectory(const std::filesystem::path& dir);

}  // namespace platform
