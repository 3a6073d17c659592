#include "platform/inuse.h"

#ifndef _WIN32
#include "platform/paths.h"
#include "platform/productcheck/wineinuse.h"
#endif

#include <atomic>
#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <string>
#include <unordered_map>
#endif

namespace fs = std::filesystem;

namespace platform {
namespace {

std::atomic<FileSystemTypeSource> g_typeSource{nullptr};

}  // namespace

FileSystemTypeSource setFileSystemTypeSource(FileSystemTypeSource source) {
  return g_typeSource.exchange(source);
}

#ifdef _WIN32

std::vector<bool> heldOpenElsewhere(const std::vector<fs::path>& files) {
  std::vector<bool> held(files.size(), false);
  for (std::size_t i = 0; i < files.size(); ++i) {
    // Reading access is what a sharing check compares against; an open that
    // asks for no data access would pass beside any other handle.
    HANDLE h = ::CreateFileW(files[i].c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      ::CloseHandle(h);
      continue;
    }
    const DWORD error = ::GetLastError();
    held[i] = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
  }
  return held;
}

bool onNetworkFileSystem(const fs::path&) {
  return false;
}

#else

namespace {

struct FileId {
  dev_t dev;
  ino_t ino;
  bool operator==(const FileId& o) const { return dev == o.dev && ino == o.ino; }
};
struct FileIdHash {
  std::size_t operator()(const FileId& id) const {
    return std::hash<std::uint64_t>()(static_cast<std::uint64_t>(id.ino) * 1000003u ^
                                      static_cast<std::uint64_t>(id.dev));
  }
};

bool allDigits(const char* name) {
  if (!*name) return false;
  for (; *name; ++name)
    if (*name < '0' || *name > '9') return false;
  return true;
}

// Marks in `held` every wanted file that one of `pid`'s descriptors opens.
// A process that cannot be looked into (another user's, or gone) is passed
// over.
void scanProcess(const char* pid,
                 const std::unordered_multimap<FileId, std::size_t, FileIdHash>& wanted,
                 std::vector<bool>& held) {
  const std::string dirName = std::string("/proc/") + pid + "/fd";
  const int dirFd = ::open(dirName.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd < 0) return;
  DIR* dir = ::fdopendir(dirFd);
  if (!dir) {
    ::close(dirFd);
    return;
  }
  while (const dirent* entry = ::readdir(dir)) {
    if (entry->d_name[0] == '.') continue;
    struct stat st {};
    // The link is followed to the open file itself.
    if (::fstatat(dirFd, entry->d_name, &st, 0) != 0 || !S_ISREG(st.st_mode)) continue;
    auto [from, to] = wanted.equal_range(FileId{st.st_dev, st.st_ino});
    for (; from != to; ++from) held[from->second] = true;
  }
  ::closedir(dir);
}

}  // namespace

std::vector<bool> heldOpenElsewhere(const std::vector<fs::path>& files) {
  std::vector<bool> held(files.size(), false);
  std::unordered_multimap<FileId, std::size_t, FileIdHash> wanted;
  for (std::size_t i = 0; i < files.size(); ++i) {
    struct stat st {};
    if (::stat(files[i].c_str(), &st) == 0 && S_ISREG(st.st_mode))
      wanted.emplace(FileId{st.st_dev, st.st_ino}, i);
  }
  if (wanted.empty()) return held;
  // This process's own descriptors (the window may keep tables open between
  // runs) are not another program's.
  const std::string self = std::to_string(::getpid());
  DIR* proc = ::opendir("/proc");
  if (!proc) return held;
  while (const dirent* entry = ::readdir(proc)) {
    if (!allDigits(entry->d_name) || self == entry->d_name) continue;
    scanProcess(entry->d_name, wanted, held);
  }
  ::closedir(proc);
  return held;
}

bool onNetworkFileSystem(const fs::path& directory) {
  std::optional<long long> type;
  if (FileSystemTypeSource source = g_typeSource.load()) {
    type = source(directory);
  } else {
    struct statfs info {};
    if (::statfs(directory.c_str(), &info) == 0) type = static_cast<long long>(info.f_type);
  }
  if (!type) return false;
  switch (static_cast<std::uint32_t>(*type)) {
    case 0xFF534D42u:  // CIFS
    case 0xFE534D42u:  // SMB2
    case 0x517Bu:      // SMB
    case 0x6969u:      // NFS
    case 0x5346414Fu:  // AFS
    case 0x6B414653u:  // kAFS
    case 0x00C36400u:  // Ceph
    case 0x564Cu:      // NCP
    case 0x73757245u:  // Coda
      return true;
    default:
      return false;
  }
}

#endif

FilesInUse filesInUse(const std::vector<fs::path>& files) {
  FilesInUse answer{heldOpenElsewhere(files), {}};
#ifndef _WIN32
  std::optional<fs::path> prefix = winePrefix();
  std::error_code ec;
  if (!prefix || !fs::is_directory(*prefix, ec)) return answer;
  const WineInUse wine = askWineInUse({*prefix, findWindowHelper()}, files);
  if (!wine.failure.empty()) answer.failure = wine.failure;
  for (std::size_t i = 0; i < files.size() && wine.asked; ++i)
    if (wine.held[i]) answer.held[i] = true;
#endif
  return answer;
}

}  // namespace platform
