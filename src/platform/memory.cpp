#include "platform/memory.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fstream>
#include <sstream>
#include <string>
#endif

namespace platform {

#ifdef _WIN32
MemoryStatus memoryStatus() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof(status);
  if (!GlobalMemoryStatusEx(&status)) return {};
  return {status.ullTotalPhys, static_cast<int>(status.dwMemoryLoad)};
}
#else
MemoryStatus memoryStatus() {
  std::ifstream in("/proc/meminfo");
  std::uint64_t totalKiB = 0, availableKiB = 0;
  bool haveAvailable = false;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string key;
    std::uint64_t value = 0;
    fields >> key >> value;
    if (key == "MemTotal:") totalKiB = value;
    if (key == "MemAvailable:") {
      availableKiB = value;
      haveAvailable = true;
    }
  }
  MemoryStatus status;
  status.totalPhysicalBytes = totalKiB * 1024;
  if (totalKiB > 0 && haveAvailable && availableKiB <= totalKiB)
    status.loadPercent = static_cast<int>((totalKiB - availableKiB) * 100 / totalKiB);
  return status;
}
#endif

}  // namespace platform
