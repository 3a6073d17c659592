// One run at a time per data directory: an exclusive operating-system lock
// on a lock file of ours inside the directory, held for the whole run.
//
// The lock is a record lock on the file (an open-file-description lock on
// Linux, which network file systems with lock support honour; LockFileEx on
// Windows), so it goes with the process: a run that is killed leaves the
// file behind but not the lock, and the next run takes the file over. The
// file holds a description of the run that holds it (host, process id, user,
// start time) for the message of a run that finds it taken.
//
// The file name starts with "." (and the file is marked hidden on Windows),
// so no directory listing of the jobs, no mask and no copy ever sees it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace platform {

inline constexpr const char* kRunLockFileName = ".upgrade-devir.lock";

// Who holds a lock, as written into the lock file.
struct RunLockHolder {
  std::string host, user, started;  // started: "YYYY-MM-DD HH:MM:SS" local time
  long long pid = 0;
};

// The description acquire writes into the lock file ("host=...", "pid=...",
// "user=...", "started=..." lines, then "end=1").
std::string describeRunLock(const RunLockHolder& holder);

// What a description says. Lines may end in "\r\n"; unknown keys and lines
// without "=" are skipped. A value that is not printable UTF-8 or is longer
// than 256 bytes is left empty, as is a pid that is not a positive decimal
// number (0), so that a damaged or hand-edited file gives a message with
// unknown fields rather than garbage.
RunLockHolder parseRunLockDescription(std::string_view text);

class RunLock {
 public:
  enum class Result {
    kTaken,   // this object now holds the lock
    kHeld,    // another run holds it; holder() tells who (fields may be empty)
    kFailed,  // the lock file could not be created or locked; error() says why
  };
  RunLock();
  ~RunLock();
  RunLock(RunLock&&) noexcept;
  RunLock& operator=(RunLock&&) noexcept;
  RunLock(const RunLock&) = delete;
  RunLock& operator=(const RunLock&) = delete;

  // Tries once, without waiting, to lock the file kRunLockFileName in
  // `directory` (a resolved location), creating it when missing. On kTaken
  // the file holds this process's description until release().
  Result acquire(const std::filesystem::path& directory);
  // Lets the lock go (the file stays). Also done by the destructor.
  void release();

  bool held() const;
  const RunLockHolder& holder() const { return m_holder; }
  const std::error_code& error() const { return m_error; }

  // This process's description (what acquire writes).
  static RunLockHolder self();

  // Whether another run holds the lock of `directory`, asked without taking
  // it and without creating anything (a dry run writes nothing). Empty when
  // the lock file is missing, free or cannot be asked.
  static std::optional<RunLockHolder> heldBy(const std::filesystem::path& directory);

 private:
  struct Handle;
  std::unique_ptr<Handle> m_handle;
  RunLockHolder m_holder;
  std::error_code m_error;
};

// Bytes free for this user on the file system that holds `location` (an
// existing path); empty when it cannot be asked.
std::optional<std::uintmax_t> freeSpace(const std::filesystem::path& location);

}  // namespace platform
