// A run that comes while another has just taken the run lock, before that
// one has written who it is, still names the holder.
#include <gtest/gtest.h>

#include "platform/runlock.h"
#include "support/temp_dir.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <thread>

TEST(RunLockRace, TheHolderIsNamedAlsoWhenItHasNotWrittenItselfYet) {
  fixture::TempDir dir;
  const std::string lockFile = (dir.path() / platform::kRunLockFileName).string();
  // The first run at the moment between its lock and its description: the
  // file is empty and locked (an open-file-description lock, as RunLock's).
  const int first = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  ASSERT_GE(first, 0);
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  ASSERT_EQ(::fcntl(first, F_OFD_SETLK, &lock), 0);
  std::thread writer([first] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const std::string text =
        "host=ofis-2\npid=4242\nuser=muhasebe\nstarted=2026-12-07 10:00:00\nend=1\n";
    // Half of it first, as a reader may find it, then the rest.
    (void)!::pwrite(first, text.data(), 30, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    (void)!::pwrite(first, text.data() + 30, text.size() - 30, 30);
  });
  platform::RunLock second;
  EXPECT_EQ(second.acquire(dir.path()), platform::RunLock::Result::kHeld);
  writer.join();
  EXPECT_EQ(second.holder().host, "ofis-2");
  EXPECT_EQ(second.holder().pid, 4242);
  EXPECT_EQ(second.holder().started, "2026-12-07 10:00:00");
  ::close(first);
}
#endif
