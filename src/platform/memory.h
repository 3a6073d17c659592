// The computer's physical memory, as the about box shows it.
#pragma once

#include <cstdint>

namespace platform {

struct MemoryStatus {
  std::uint64_t totalPhysicalBytes = 0;
  int loadPercent = 0;  // share of physical memory in use, 0 to 100
};

// Reads the current figures; both stay 0 when the system does not tell.
MemoryStatus memoryStatus();

}  // namespace platform
