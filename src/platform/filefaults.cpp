// The fault seam's state, shared by the POSIX and the Windows file calls.
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

}  // namespace platform
