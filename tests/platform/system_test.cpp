#include <gtest/gtest.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/memory.h"
#include "platform/shell.h"
#include "support/temp_dir.h"

using fixture::TempDir;

namespace {

TEST(MemoryStatus, ReportsThePhysicalMemory) {
  platform::MemoryStatus m = platform::memoryStatus();
  EXPECT_GT(m.totalPhysicalBytes, 16u * 1024 * 1024);
  EXPECT_GE(m.loadPercent, 0);
  EXPECT_LE(m.loadPercent, 100);
}

// Linux only: on Windows the target goes to ShellExecuteW, which would start
// the machine's real mail program.
#ifndef _WIN32
// A stand-in xdg-open on PATH records what it was asked to open.
TEST(Shell, HandsTheTargetToXdgOpenWithoutWaiting) {
  TempDir tmp;
  // The handler goes on only once the test has opened its gate, which it
  // does after openInShell returned: a call that waited for the handler
  // would find it given up ("waited"), whatever the machine's speed.
  const std::string gate = tmp.str() + "/gate", log = tmp.str() + "/opened";
  tmp.write("bin/xdg-open", "#!/bin/sh\nsay() { printf '%s' \"$1\" > '" + log + ".new' && mv '" +
                                log + ".new' '" + log + "'; }\nfor i in $(seq 100); do [ -e '" +
                                gate +
                                "' ] && { say \"$1\"; exit 0; }; sleep 0.1; done\nsay waited\n");
  std::filesystem::permissions(tmp.path() / "bin/xdg-open", std::filesystem::perms::owner_all);
  std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  ::setenv("PATH", (tmp.str() + "/bin:" + oldPath).c_str(), 1);

  bool started = platform::openInShell("mailto:destek@example.com?subject=KMX Devir");
  tmp.write("gate", "");
  ::setenv("PATH", oldPath.c_str(), 1);
  ASSERT_TRUE(started);

  for (int i = 0; i < 300 && !tmp.has("opened"); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(tmp.read("opened"), "mailto:destek@example.com?subject=KMX Devir");
}
#endif

}  // namespace
