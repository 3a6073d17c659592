#include "platform/paths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "platform/typedpath.h"
#include "support/temp_dir.h"

#ifdef _WIN32
#include "platform/wintext.h"
#endif

using fixture::TempDir;

namespace fs = std::filesystem;

namespace {

// Sets an environment variable for one test and restores it afterwards.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : m_name(name) {
    if (const char* old = std::getenv(name)) m_old = old;
    testos::setEnvironment(name, value.c_str());
  }
  ~ScopedEnv() { testos::setEnvironment(m_name, m_old ? m_old->c_str() : nullptr); }

 private:
  const char* m_name;
  std::optional<std::string> m_old;
};

TEST(ResolvePath, BackslashesAndRepeatedSeparatorsSplitComponents) {
  TempDir tmp;
  tmp.write("DATA/2005_001/CARI.DB", "x");
  std::string typed = tmp.str() + "\\DATA\\\\2005_001//cari.db";
  std::optional<fs::path> p = platform::resolvePath(typed);
  ASSERT_TRUE(p);
#ifdef _WIN32
  EXPECT_TRUE(fs::equivalent(*p, tmp.path() / "DATA" / "2005_001" / "CARI.DB"));
#else
  EXPECT_EQ(*p, tmp.path() / "DATA" / "2005_001" / "CARI.DB");
#endif
  EXPECT_TRUE(platform::fileExists(typed));
  EXPECT_TRUE(platform::directoryExists(tmp.str() + "\\data\\"));
}

TEST(ResolvePath, ExactNameWinsOverCaseVariant) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows matches names without regard to case itself: no case variants";
#endif
  TempDir tmp;
  tmp.write("cari.db", "lower");
  tmp.write("CARI.DB", "upper");
  EXPECT_EQ(*platform::resolvePath(tmp.str() + "/CARI.DB"), tmp.path() / "CARI.DB");
  EXPECT_EQ(*platform::resolvePath(tmp.str() + "/cari.db"), tmp.path() / "cari.db");
  // Neither spelling typed: the smallest name, whatever the directory order.
  EXPECT_EQ(*platform::resolvePath(tmp.str() + "/Cari.db"), tmp.path() / "CARI.DB");
}

TEST(ResolvePath, DriveLetterGoesThroughTheWinePrefix) {
#ifdef _WIN32
  GTEST_SKIP() << "drive letters are Windows' own there, no Wine prefix";
#endif
  TempDir prefix;
  prefix.write("drive_c/ZEFIRTAK/KMX3/DATA/sirket.db", "r");
  fs::create_directories(prefix.path() / "dosdevices");
  fs::create_directory_symlink("../drive_c", prefix.path() / "dosdevices" / "c:");
  ScopedEnv env("WINEPREFIX", prefix.str());

  EXPECT_TRUE(platform::directoryExists("C:\\ZEFIRTAK\\KMX3\\DATA"));
  EXPECT_TRUE(platform::directoryExists("c:/zefirtak/kmx3/data/"));
  EXPECT_TRUE(platform::fileExists("C:\\ZEFIRTAK\\KMX3\\DATA\\SIRKET.DB"));
  EXPECT_FALSE(platform::directoryExists("C:\\ZEFIRTAK\\KMX4"));
  // A drive that the prefix does not map is nothing at all.
  EXPECT_FALSE(platform::resolvePath("Q:\\DATA"));
  EXPECT_FALSE(platform::directoryExists("Q:\\"));
  EXPECT_FALSE(platform::createDirectories("Q:\\NEW"));
}

TEST(ResolvePath, HomeWineIsTheDefaultPrefix) {
#ifdef _WIN32
  GTEST_SKIP() << "drive letters are Windows' own there, no Wine prefix";
#endif
  TempDir home;
  fs::create_directories(home.path() / ".wine" / "dosdevices" / "d:" / "Veri");
  ScopedEnv noPrefix("WINEPREFIX", "");
  ScopedEnv env("HOME", home.str());
  EXPECT_TRUE(platform::directoryExists("D:\\VERI"));
}

// A prefix whose c: is its drive_c, d: a directory deeper inside drive_c,
// and z: the file system's root, as Wine makes them.
class TypedPathTest : public ::testing::Test {
 protected:
  void SetUp() override {
#ifdef _WIN32
    GTEST_SKIP() << "drive letters are Windows' own there, no Wine prefix";
#endif
    prefix.write("drive_c/ZEFIRTAK/KMX3/DATA/sirket.db", "r");
    fs::create_directories(prefix.path() / "dosdevices");
    fs::create_directory_symlink("../drive_c", prefix.path() / "dosdevices" / "c:");
    fs::create_directory_symlink("../drive_c/ZEFIRTAK/KMX3", prefix.path() / "dosdevices" / "d:");
    fs::create_directory_symlink("/", prefix.path() / "dosdevices" / "z:");
    fs::create_directories(outside.path() / "Veri");
  }
  TempDir prefix;
  TempDir outside;
  ScopedEnv env{"WINEPREFIX", prefix.str()};
};

TEST_F(TypedPathTest, ChosenFolderComesBackAsTyped) {
  const fs::path driveC = prefix.path() / "drive_c";
  struct Case {
    fs::path chosen;
    std::string typed;
  } cases[] = {
      {driveC / "ZEFIRTAK", "C:\\ZEFIRTAK"},
      {driveC, "C:\\"},
      // Through the drive map's link, as a dialog opened there reports it.
      {prefix.path() / "dosdevices" / "c:" / "ZEFIRTAK", "C:\\ZEFIRTAK"},
      // The deepest mapping wins.
      {driveC / "ZEFIRTAK" / "KMX3" / "DATA", "D:\\DATA"},
      // Outside every drive but z: the native path stays.
      {outside.path() / "Veri", (outside.path() / "Veri").string()},
  };
  for (const Case& c : cases) EXPECT_EQ(platform::typedPath(c.chosen), c.typed) << c.chosen;
}

TEST_F(TypedPathTest, FolderDialogStartsAtTheNearestExistingDirectory) {
  const fs::path data = fs::canonical(prefix.path() / "drive_c" / "ZEFIRTAK" / "KMX3" / "DATA");
  EXPECT_EQ(platform::nearestExistingDirectory("c:\\zefirtak\\kmx3\\data"), data);
  EXPECT_EQ(platform::nearestExistingDirectory("C:\\ZEFIRTAK\\KMX3\\DATA\\YOK\\DAHA"), data);
  EXPECT_EQ(platform::nearestExistingDirectory("C:\\ZEFIRTAK\\KMX3\\DATA\\sirket.db"), data);
  EXPECT_EQ(platform::nearestExistingDirectory(outside.str() + "/yok"),
            fs::canonical(outside.path()));
  EXPECT_FALSE(platform::nearestExistingDirectory("Q:\\DATA"));
  EXPECT_FALSE(platform::nearestExistingDirectory(""));
}

#ifdef _WIN32
// On Windows the chosen folder comes back as given, Turkish letters intact
// (not through the ANSI code page).
TEST(TypedPathWindows, KeepsTurkishLetters) {
  EXPECT_EQ(platform::typedPath(platform::pathFromUtf8("C:\\Şirketler\\Güneş Gıda")),
            "C:\\Şirketler\\Güneş Gıda");
}
#endif

TEST(Directories, CreateWithParentsReusesCaseVariants) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows matches names without regard to case itself: no case variants";
#endif
  TempDir tmp;
  fs::create_directories(tmp.path() / "Data");
  ASSERT_TRUE(platform::createDirectories(tmp.str() + "\\DATA\\2006_001\\sub"));
  EXPECT_TRUE(fs::is_directory(tmp.path() / "Data" / "2006_001" / "sub"));
  EXPECT_FALSE(fs::exists(tmp.path() / "DATA"));
  // Creating what exists is success.
  EXPECT_TRUE(platform::createDirectories(tmp.str() + "/data/2006_001"));
}

TEST(Directories, EmptyTextAndFilesAreNotDirectories) {
  TempDir tmp;
  tmp.write("file.db", "x");
  EXPECT_FALSE(platform::directoryExists(""));
  EXPECT_FALSE(platform::directoryExists(tmp.str() + "/file.db"));
  EXPECT_FALSE(platform::createDirectories(tmp.str() + "/file.db/sub"));
}

}  // namespace

// A name below a directory resolved once lands where resolving the whole
// text would: the letter case of existing entries looked up, the rest as
// typed, messages naming the text joined with "\".
TEST(TypedPathBelow, FindsWhatResolvingTheWholeTextFinds) {
  TempDir tmp;
  tmp.write("DATA/2005_001/CARI.DB", "x");
  tmp.write("DATA/DBBACKUP/ayar.db", "x");
  for (const std::string& dirText :
       {tmp.str() + "/data", tmp.str() + "\\DATA\\", tmp.str() + "/yok"}) {
    const platform::TypedPath dir = platform::TypedPath::resolve(dirText);
    // Made after the value: the look-up happens when a name is asked for.
    fs::create_directories(tmp.path() / "DATA" / "2006_001");
    for (const char* name : {"2005_001", "2005_001\\cari.db", "dbbackup/AYAR.DB", "2006_001",
                             "yeni\\Cari.DB", "..\\DATA"}) {
      SCOPED_TRACE(dirText + " + " + name);
      const platform::TypedPath below = dir.below(name);
      EXPECT_EQ(below.text(), dirText + "\\" + name);
#ifndef _WIN32  // Windows looks names up itself: the path is the text
      EXPECT_EQ(below.location(), platform::resolvePath(dirText + "\\" + name));
#endif
    }
  }
  const platform::TypedPath file =
      platform::TypedPath::resolve(tmp.str() + "/data").below("2005_001").below("cari.db");
  EXPECT_TRUE(file.isFile());
  EXPECT_EQ(file.name(), "cari.db");
  EXPECT_EQ(file.parent().text(), tmp.str() + "/data\\2005_001");
  EXPECT_TRUE(file.parent().isDirectory());
  // An empty text joined with a name reads from the root, as the whole text would.
  EXPECT_EQ(platform::TypedPath::resolve("").below("tmp").location(),
            platform::resolvePath("\\tmp"));
}

// A listing taken once answers each look-up as below() on the disk would,
// also after the holder's own creations and removals.
TEST(DirectoryNames, AnswersAsTheDiskWouldAfterTheHoldersChanges) {
  TempDir tmp;
  tmp.write("w/cari.db", "x");
  tmp.write("w/Cari.PX", "x");
  tmp.write("w/.ud-devir-yapiliyor", "x");
  fs::create_directories(tmp.path() / "w" / "stok.db");
  const platform::TypedPath dir = platform::TypedPath::resolve(tmp.str() + "/w");
  platform::DirectoryNames names(dir);
  const auto agrees = [&](const char* name) {
    SCOPED_TRACE(name);
    EXPECT_EQ(names.below(name).text(), dir.below(name).text());
    EXPECT_EQ(names.below(name).location(), dir.below(name).location());
  };
  for (const char* name : {"CARI.DB", "cari.px", "Yeni.db", "stok.DB", "sub\\x.db", ""}) agrees(name);
  EXPECT_EQ(names.files("cari.*"), (std::vector<std::string>{"cari.db", "Cari.PX"}));
  EXPECT_EQ(names.files("*.db"), std::vector<std::string>{"cari.db"});  // not the directory
  tmp.write("w/CARI.X02", "x");
  names.added("CARI.X02");
  fs::remove(tmp.path() / "w" / "Cari.PX");
  names.removed("Cari.PX");
  for (const char* name : {"cari.x02", "CARI.PX"}) agrees(name);
  EXPECT_EQ(names.files("cari.*"), (std::vector<std::string>{"cari.db", "CARI.X02"}));
}
