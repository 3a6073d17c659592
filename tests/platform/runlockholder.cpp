// runlockholder: takes the run lock of a directory as a run does and holds
// it until told to let go, for the test of runs through two Wine prefixes.
//
//   runlockholder DIR CONTROL
//
// Creates CONTROL/ready once the lock is held and lets go when CONTROL/stop
// appears. Exit status 2 when the lock cannot be taken.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/runlock.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  if (argc != 3) return 1;
  platform::RunLock lock;
  if (lock.acquire(fs::path(argv[1])) != platform::RunLock::Result::kTaken) return 2;
  const fs::path control(argv[2]);
  std::ofstream(control / "ready") << "";
  while (!fs::exists(control / "stop")) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  return 0;
}
