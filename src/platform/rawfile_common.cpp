// What the POSIX and the Windows file calls share: the fault seam's state
// and a file handle's lifetime (each system's file closes it its own way).
#include <algorithm>
#include <atomic>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/rawfile.h"

namespace platform {

FileFaults* g_fileFaults = nullptr;

const char* fileOpName(FileOp op) {
  switch (op) {
    case FileOp::kOpen:
      return "open";
    case FileOp::kCreate:
      return "create";
    case FileOp::kRead:
      return "read";
    case FileOp::kWrite:
      return "write";
    case FileOp::kResize:
      return "resize";
    case FileOp::kSync:
      return "sync";
    case FileOp::kRename:
      return "rename";
    case FileOp::kExchange:
      return "exchange";
    case FileOp::kRemove:
      return "remove";
    case FileOp::kMap:
      return "map";
  }
  return "?";
}

RawFile::~RawFile() {
  close();
}

RawFile::RawFile(RawFile&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)),
      m_syncDeferred(std::exchange(other.m_syncDeferred, false)) {}

RawFile& RawFile::operator=(RawFile&& other) noexcept {
  if (this != &other) {
    close();
    m_fd = std::exchange(other.m_fd, -1);
    m_syncDeferred = std::exchange(other.m_syncDeferred, false);
  }
  return *this;
}

namespace {

std::mutex g_deferredMutex;
std::vector<std::filesystem::path> g_deferred;  // absolute, normal form
std::atomic<bool> g_anyDeferred{false};

// Absolute, normal form, without a trailing separator.
std::filesystem::path absoluteOf(const std::filesystem::path& p) {
  std::error_code ec;
  std::filesystem::path a = std::filesystem::absolute(p, ec);
  a = (ec ? p : a).lexically_normal();
  return a.has_filename() ? a : a.parent_path();
}

}  // namespace

DeferredSyncs::DeferredSyncs(std::filesystem::path dir) : m_dir(absoluteOf(dir)) {
  std::lock_guard<std::mutex> lock(g_deferredMutex);
  g_deferred.push_back(m_dir);
  g_anyDeferred = true;
}

DeferredSyncs::~DeferredSyncs() {
  std::lock_guard<std::mutex> lock(g_deferredMutex);
  const auto it = std::find(g_deferred.begin(), g_deferred.end(), m_dir);
  if (it != g_deferred.end()) g_deferred.erase(it);
  g_anyDeferred = !g_deferred.empty();
}

bool syncsDeferredFor(const std::filesystem::path& path) {
  if (!g_anyDeferred) [[likely]]
    return false;
  const std::filesystem::path p = absoluteOf(path);
  std::lock_guard<std::mutex> lock(g_deferredMutex);
  for (const std::filesystem::path& dir : g_deferred) {
    auto d = dir.begin(), q = p.begin();
    while (d != dir.end() && q != p.end() && *d == *q) ++d, ++q;
    if (d == dir.end()) return true;
  }
  return false;
}

}  // namespace platform
