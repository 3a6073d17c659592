// The run lock and the sweep of copy temporaries.
#include "platform/runlock.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/files.h"
#include "platform/leftovers.h"
#include "support/temp_dir.h"
#include "support/testos.h"

namespace fs = std::filesystem;
using fixture::TempDir;
using platform::RunLock;

TEST(RunLock, OneHolderAtATimeEvenInOneProcessAndTheFileIsTakenOverAfterwards) {
  TempDir dir;
  dir.write(platform::kRunLockFileName, "left by a killed run");  // nobody holds it
  RunLock first, second;
  ASSERT_EQ(first.acquire(dir.path()), RunLock::Result::kTaken);
  ASSERT_EQ(second.acquire(dir.path()), RunLock::Result::kHeld);
  EXPECT_EQ(second.holder().pid, static_cast<long long>(::getpid()));
  EXPECT_EQ(second.holder().host, RunLock::self().host);
  EXPECT_FALSE(second.holder().started.empty());
  EXPECT_FALSE(second.held());
  // Asked without taking it (a dry run): the holder, then nobody.
  ASSERT_TRUE(RunLock::heldBy(dir.path()));
  EXPECT_EQ(RunLock::heldBy(dir.path())->pid, static_cast<long long>(::getpid()));
  first.release();
  EXPECT_FALSE(RunLock::heldBy(dir.path()));
  EXPECT_EQ(second.acquire(dir.path()), RunLock::Result::kTaken);
}

TEST(RunLock, AskingWhoHoldsItCreatesNoFile) {
  TempDir dir;
  EXPECT_FALSE(RunLock::heldBy(dir.path()));
  EXPECT_FALSE(fs::exists(dir.path() / platform::kRunLockFileName));
}

TEST(RunLock, ADirectoryThatCannotHoldTheFileFails) {
  TempDir dir;
  RunLock lock;
  EXPECT_EQ(lock.acquire(dir.path() / "missing"), RunLock::Result::kFailed);
  EXPECT_EQ(lock.error(), std::errc::no_such_file_or_directory);
}

TEST(CopyLeftovers, TemporariesGoInTheDirectoryAndOneLevelDownOnly) {
  TempDir dir;
  for (const char* f : {".ud-copy-AbC123", "2006_001/.ud-copy-x1", "2006_001/Cari.DB",
                        "2006_001/deep/.ud-copy-y2", ".ud-copyright", "sirket.db"})
    dir.write(f, "x");
  EXPECT_EQ(platform::removeCopyLeftovers(dir.path()).size(), 2u);
  for (const char* kept :
       {"2006_001/Cari.DB", "2006_001/deep/.ud-copy-y2", ".ud-copyright", "sirket.db"})
    EXPECT_TRUE(fs::exists(dir.path() / kept)) << kept;
  EXPECT_FALSE(fs::exists(dir.path() / ".ud-copy-AbC123"));
}

// A replace cut off between its two moves (Windows) left the old file aside
// and none under its name: the old bytes go back; once the new file is in
// place, the aside copy goes.
TEST(CopyLeftovers, AFileMovedAsideComesBackUnlessItsNameIsTaken) {
  TempDir dir;
  dir.write("2006_001/.ud-old-40-1~cari.db", "old cari");
  dir.write("2006_001/.ud-old-40-2~ayar.db", "old ayar");
  dir.write("2006_001/ayar.db", "new ayar");
  dir.write(".ud-old-7", "no name of its own");
#ifdef _WIN32
  // Windows marks the aside copy hidden; the file it becomes again is listed.
  ASSERT_TRUE(testos::markDosAttributes(dir.path() / "2006_001/.ud-old-40-1~cari.db", "0x2"));
#endif
  EXPECT_EQ(platform::removeCopyLeftovers(dir.path()).size(), 2u);
  EXPECT_EQ(dir.read("2006_001/cari.db"), "old cari");
#ifdef _WIN32
  EXPECT_EQ(platform::listFiles(dir.str() + "\\2006_001", "cari.*"),
            std::vector<std::string>{"cari.db"});
#endif
  EXPECT_EQ(dir.read("2006_001/ayar.db"), "new ayar");
  EXPECT_FALSE(dir.has("2006_001/.ud-old-40-1~cari.db"));
  EXPECT_FALSE(dir.has("2006_001/.ud-old-40-2~ayar.db"));
  EXPECT_TRUE(dir.has(".ud-old-7"));
}
