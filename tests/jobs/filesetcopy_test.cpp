#include "jobs/filesetcopy.h"

#include <gtest/gtest.h>

#include "jobs/workspace.h"
#include "platform/files.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

using fixture::TempDir;

namespace fs = std::filesystem;

namespace {

std::vector<std::string> entries(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class CopyFileSetTest : public ::testing::Test {
 protected:
  CopyFileSetTest() {
    tmp.write("src/cari.db", "cari");
    tmp.write("src/stok.db", "stok");
    tmp.write("src/ayar.val", "val");
    host.setGaugeMax(100);
  }
  std::string dir(const std::string& relative) const { return tmp.str() + "\\" + relative; }

  TempDir tmp;
  RecordingHost host;
  const std::vector<std::string> names{"cari.db", "stok.db", "ayar.val"};
};

TEST_F(CopyFileSetTest, EmptyListTouchesNothing) {
  EXPECT_FALSE(CopyFileSet(host, {}, dir("src"), dir("new\\target"), true));
  EXPECT_FALSE(tmp.has("new"));
  EXPECT_TRUE(host.infos.empty());
  // Not even a short target gets its notice.
  EXPECT_FALSE(CopyFileSet(host, {}, dir("src"), "X:", true));
  EXPECT_TRUE(host.infos.empty());
}

TEST_F(CopyFileSetTest, MissingSourceDirectoryCopiesNothing) {
  EXPECT_FALSE(CopyFileSet(host, names, dir("none"), dir("dst"), true));
  EXPECT_FALSE(tmp.has("dst"));
  EXPECT_EQ(host.gaugePosition, 0);
}

TEST_F(CopyFileSetTest, FlagSetCreatesTargetWithParentsAndReplacesFiles) {
  tmp.write("a/b/stok.db", "old");
  ASSERT_TRUE(CopyFileSet(host, names, dir("src"), dir("a\\b"), true));
  ASSERT_TRUE(CopyFileSet(host, names, dir("src"), dir("x\\y\\z\\"), true));
  EXPECT_EQ(tmp.read("a/b/stok.db"), "stok");
  EXPECT_EQ(entries(tmp.path() / "x/y/z"),
            (std::vector<std::string>{"ayar.val", "cari.db", "stok.db"}));
  EXPECT_EQ(host.gaugePosition, 6);
}

TEST_F(CopyFileSetTest, FlagClearKeepsTargetFilesAndAddsMissingOnes) {
  tmp.write("dst/STOK.DB", "kept");
  ASSERT_TRUE(CopyFileSet(host, names, dir("src"), dir("dst"), false));
  EXPECT_EQ(entries(tmp.path() / "dst"),
            (std::vector<std::string>{"STOK.DB", "ayar.val", "cari.db"}));
  EXPECT_EQ(tmp.read("dst/STOK.DB"), "kept");
  EXPECT_EQ(host.gaugePosition, 3);  // the kept file still counts
}

TEST_F(CopyFileSetTest, FlagClearNeedsAnExistingTarget) {
  EXPECT_FALSE(CopyFileSet(host, names, dir("src"), dir("dst"), false));
  EXPECT_FALSE(tmp.has("dst"));
}

TEST_F(CopyFileSetTest, NameMissingInSourceIsPassedOverAndCounted) {
  std::vector<std::string> list{"cari.db", "gone.db", "stok.db"};
  ASSERT_TRUE(CopyFileSet(host, list, dir("src"), dir("dst"), true));
  EXPECT_EQ(entries(tmp.path() / "dst"), (std::vector<std::string>{"cari.db", "stok.db"}));
  EXPECT_EQ(host.gaugePosition, 3);
}

struct ShortTarget {
  const char* text;
  bool notice;
};
class ShortTargetTest : public ::testing::TestWithParam<ShortTarget> {};

TEST_P(ShortTargetTest, NoticeOnlyForOneToThreeCharactersThatDoNotExist) {
  TempDir tmp;
  tmp.write("src/cari.db", "c");
  RecordingHost host;
  // Relative targets land in the scratch directory.
  fs::path cwd = fs::current_path();
  fs::current_path(tmp.path());
  bool copied = CopyFileSet(host, {"cari.db"}, tmp.str() + "/src", GetParam().text, true);
  fs::current_path(cwd);
  if (GetParam().notice) {
    EXPECT_FALSE(copied);
    EXPECT_EQ(host.infos,
              std::vector<std::string>{"Bir dizin adı belirtmelisiniz\r\nAna dizin seçilemez"});
  } else {
    EXPECT_TRUE(copied);
    EXPECT_TRUE(host.infos.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(Targets, ShortTargetTest,
                         ::testing::Values(ShortTarget{"Q:", true}, ShortTarget{"Q:\\", true},
                                           ShortTarget{"ab", true}, ShortTarget{"abcd", false},
                                           // Three characters, six bytes.
                                           ShortTarget{"şğü", true},
                                           ShortTarget{"src", false}));  // exists

// --- the carry-forward file set ------------------------------------------

TEST(KMXList, FollowsMaskOrderThenNameOrder) {
  TempDir tmp;
  for (const char* n : {"CARI.DB", "CARI.PX", "ayar.db", "ayar2.db", "fatura.db", "char.db"})
    tmp.write(std::string("c/") + n, "x");
  Workspace ws;
  ws.ListBoxCopy = {"stale"};
  KMXList(ws, tmp.str() + "\\c");
  EXPECT_EQ(ws.ListBoxCopy,
            (std::vector<std::string>{"CARI.DB", "CARI.PX", "char.db", "ayar.db", "ayar2.db"}));
  EXPECT_EQ(ws.FileListBox1.mask(), "taksit.*");
}

TEST(KMXList, TssabitFilesComeTwiceAtTheirTwoPositions) {
  TempDir tmp;
  for (const char* n : {"tssabit.db", "TSSABIT.PX", "sipsbt.db", "taksit.db", "sablon.db"})
    tmp.write(std::string("c/") + n, "x");
  Workspace ws;
  KMXList(ws, tmp.str() + "/c");
  EXPECT_EQ(ws.ListBoxCopy,
            (std::vector<std::string>{"tssabit.db", "TSSABIT.PX", "sablon.db", "sipsbt.db",
                                      "tssabit.db", "TSSABIT.PX", "taksit.db"}));
}

TEST(KMXList, HiddenFilesAndDirectoriesAreNeverInTheSet) {
  TempDir tmp;
  tmp.write("c/.cari.db", "x");
  tmp.write("c/cari.db", "x");
  fs::create_directories(tmp.path() / "c/cari.old");
  Workspace ws;
  KMXList(ws, tmp.str() + "/c");
  EXPECT_EQ(ws.ListBoxCopy, std::vector<std::string>{"cari.db"});
}

TEST(KMXList, MissingDirectoryFailsNamingIt) {
  Workspace ws;
  EXPECT_THROW(KMXList(ws, "/nonexistent/ud/2005_001"), platform::FileSystemError);
}

TEST(FileListBox, MasksChooseFromTheDirectorysListingSettingItListsAfresh) {
  TempDir tmp;
  tmp.write("c/cari.db", "x");
  tmp.write("c/stok.db", "x");
  FileListBox box;
  box.setMask("cari.*");
  box.setDirectory(tmp.str() + "/c");
  tmp.write("c/cari.px", "x");
  box.setMask("cari.*");
  EXPECT_EQ(box.items(), std::vector<std::string>{"cari.db"});
  box.setMask("*.*");
  EXPECT_EQ(box.items(), (std::vector<std::string>{"cari.db", "stok.db"}));
  box.setDirectory(tmp.str() + "/c");
  EXPECT_EQ(box.items(), (std::vector<std::string>{"cari.db", "cari.px", "stok.db"}));
  box.setMask("CARI.*");
  EXPECT_EQ(box.items(), (std::vector<std::string>{"cari.db", "cari.px"}));
}

}  // namespace
