// What the POSIX and the Windows file calls share: the fault seam's state
// and a file handle's lifetime (each system's file closes it its own way).
#include <utility>

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

RawFile::RawFile(RawFile&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

RawFile& RawFile::operator=(RawFile&& other) noexcept {
  if (this != &other) {
    close();
    m_fd = std::exchange(other.m_fd, -1);
  }
  return *this;
}

}  // namespace platform
