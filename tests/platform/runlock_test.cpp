// The run lock and the sweep of copy temporaries.
#include "platform/runlock.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/files.h"
#include "platform/leftovers.h"
#include "platform/text.h"
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

// A description cut short, edited on Windows or overwritten: what cannot be
// shown in the message naming the holder is read as unknown.
TEST(RunLockDescription, ReadsWhatCanBeShownAndLeavesTheRestUnknown) {
  struct Case {
    const char* label;
    std::string text;
    platform::RunLockHolder expected;
  };
  const Case cases[] = {
      {"whole",
       "host=PC\npid=42\nuser=Şükrü\nstarted=2026-01-05 09:12:44\nend=1\n",
       {"PC", "Şükrü", "2026-01-05 09:12:44", 42}},
      {"windows line ends", "host=PC\r\npid=42\r\nuser=u\r\nend=1\r\n", {"PC", "u", "", 42}},
      {"cut short", "host=PC\npid=4", {"PC", "", "", 4}},
      {"broken utf-8 and a control", "host=P\xC3\nuser=a\x1b[2Jb\n", {"", "", "", 0}},
      {"pid out of range", "pid=99999999999999999999\n", {"", "", "", 0}},
      {"pid negative", "pid=-7\n", {"", "", "", 0}},
      {"pid with text", "pid=12abc\n", {"", "", "", 0}},
      {"too long", "host=" + std::string(257, 'x') + "\n", {"", "", "", 0}},
  };
  for (const Case& c : cases) {
    const platform::RunLockHolder h = platform::parseRunLockDescription(c.text);
    EXPECT_EQ(h.host, c.expected.host) << c.label;
    EXPECT_EQ(h.user, c.expected.user) << c.label;
    EXPECT_EQ(h.started, c.expected.started) << c.label;
    EXPECT_EQ(h.pid, c.expected.pid) << c.label;
    const platform::RunLockHolder again =
        platform::parseRunLockDescription(platform::describeRunLock(h));
    EXPECT_EQ(again.host + again.user + again.started, h.host + h.user + h.started) << c.label;
    EXPECT_EQ(again.pid, h.pid) << c.label;
  }
}

TEST(PrintableText, BrokenOrControlBytesBecomeQuestionMarksAndLongTextIsCut) {
  EXPECT_TRUE(platform::isPrintableUtf8("Şükrü ığ €"));
  EXPECT_FALSE(platform::isPrintableUtf8("a\tb"));
  EXPECT_FALSE(platform::isPrintableUtf8("\xC0\xAF"));      // overlong "/"
  EXPECT_FALSE(platform::isPrintableUtf8("\xED\xA0\x80"));  // a surrogate
  EXPECT_FALSE(platform::isPrintableUtf8("\xC2\x85"));      // a C1 control
  EXPECT_EQ(platform::printableExcerpt("1,02\x01\xFE"), "1,02??");
  EXPECT_EQ(platform::printableExcerpt("ışık", 5), "ış...");
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
