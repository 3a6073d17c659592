#include "platform/files.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <system_error>

#ifdef _WIN32
#include <windows.h>

#include "platform/leftovers.h"
#include "platform/rawfile.h"
#include "support/file_faults.h"
#endif

#include "support/temp_dir.h"

using fixture::TempDir;

namespace fs = std::filesystem;
using platform::CopyOutcome;

namespace {

// Every entry of a directory, hidden ones included, for checks that nothing
// stray was left behind.
std::vector<std::string> allEntries(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(CopyFile, CopiesBytesAndKeepsOrReplacesTarget) {
  TempDir tmp;
  tmp.write("src/cari.db", std::string("\0\1binary\xff", 10));
  tmp.write("dst/cari.db", "old");
  std::string src = tmp.str() + "\\src\\cari.db";
  std::string dst = tmp.str() + "\\dst\\cari.db";

  EXPECT_EQ(platform::copyFile(src, dst, false), CopyOutcome::kTargetKept);
  EXPECT_EQ(tmp.read("dst/cari.db"), "old");
  EXPECT_EQ(platform::copyFile(src, dst, true), CopyOutcome::kCopied);
  EXPECT_EQ(tmp.read("dst/cari.db"), std::string("\0\1binary\xff", 10));
  EXPECT_EQ(allEntries(tmp.path() / "dst"), std::vector<std::string>{"cari.db"});
}

TEST(CopyFile, ReplacesACaseVariantInsteadOfAddingAName) {
  TempDir tmp;
  tmp.write("src/sirket.DB", "new");
  tmp.write("dst/sirket.db", "old");
  EXPECT_EQ(platform::copyFile(tmp.str() + "/src/sirket.DB", tmp.str() + "/dst/sirket.DB", true),
            CopyOutcome::kCopied);
  EXPECT_EQ(allEntries(tmp.path() / "dst"), std::vector<std::string>{"sirket.db"});
  EXPECT_EQ(tmp.read("dst/sirket.db"), "new");
  // Kept when overwriting is not asked, also under another case.
  tmp.write("src/sirket.DB", "newer");
  EXPECT_EQ(platform::copyFile(tmp.str() + "/src/SIRKET.db", tmp.str() + "/dst/Sirket.Db", false),
            CopyOutcome::kTargetKept);
  EXPECT_EQ(tmp.read("dst/sirket.db"), "new");
}

TEST(CopyFile, NewTargetTakesTheSourceName) {
  TempDir tmp;
  tmp.write("src/Stok.DB", "s");
  fs::create_directories(tmp.path() / "dst");
  ASSERT_EQ(platform::copyFile(tmp.str() + "/src/stok.db", tmp.str() + "/dst/Stok.DB", true),
            CopyOutcome::kCopied);
  EXPECT_EQ(allEntries(tmp.path() / "dst"), std::vector<std::string>{"Stok.DB"});
}

// The bits follow the source, but a copy is always writable by its owner.
TEST(CopyFile, KeepsPermissionBitsAndModificationTime) {
  TempDir tmp;
  tmp.write("src/ayar.val", "v");
  fs::create_directories(tmp.path() / "dst");
  fs::permissions(tmp.path() / "src/ayar.val", fs::perms::owner_read | fs::perms::group_read);
  fs::last_write_time(tmp.path() / "src/ayar.val",
                      fs::file_time_type::clock::now() - std::chrono::hours(48));
  ASSERT_EQ(platform::copyFile(tmp.str() + "/src/ayar.val", tmp.str() + "/dst/ayar.val", true),
            CopyOutcome::kCopied);
#ifdef _WIN32
  // Windows keeps only the read-only mark of the permissions; the copy is
  // writable all the same.
  EXPECT_EQ(fs::status(tmp.path() / "dst/ayar.val").permissions() & fs::perms::owner_write,
            fs::perms::owner_write);
#else
  EXPECT_EQ(fs::status(tmp.path() / "dst/ayar.val").permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
#endif
  EXPECT_EQ(fs::last_write_time(tmp.path() / "dst/ayar.val"),
            fs::last_write_time(tmp.path() / "src/ayar.val"));
}

// --- failures ---------------------------------------------------------------

TEST(CopyFileErrors, MissingSourceOrDirectoryAsSourceIsReportedNotThrown) {
  TempDir tmp;
  fs::create_directories(tmp.path() / "src/sub");
  fs::create_directories(tmp.path() / "dst");
  EXPECT_EQ(platform::copyFile(tmp.str() + "/src/none.db", tmp.str() + "/dst/none.db", true),
            CopyOutcome::kSourceMissing);
  EXPECT_EQ(platform::copyFile(tmp.str() + "/src/sub", tmp.str() + "/dst/sub", true),
            CopyOutcome::kSourceMissing);
  EXPECT_TRUE(allEntries(tmp.path() / "dst").empty());
}

TEST(CopyFileErrors, TargetThatIsADirectoryIsNotReplaced) {
  TempDir tmp;
  tmp.write("src/x.db", "c");
  fs::create_directories(tmp.path() / "dst/X.DB");
  EXPECT_THROW(platform::copyFile(tmp.str() + "/src/x.db", tmp.str() + "/dst/x.db", true),
               platform::FileSystemError);
  EXPECT_TRUE(fs::is_directory(tmp.path() / "dst/X.DB"));
}

// --- listing ----------------------------------------------------------------

TEST(ListFiles, PlainVisibleMatchingFilesSortedWithoutCase) {
  TempDir tmp;
  for (const char* name : {"ayar2.db", "CARI.PX", "cari.db", "Ayar.db", ".ayar.db", "fatura.db"})
    tmp.write(std::string("c/") + name, "x");
  fs::create_directories(tmp.path() / "c/ayar.dir");
  fs::create_directories(tmp.path() / "c/cari.sub");
  EXPECT_EQ(platform::listFiles(tmp.str() + "\\c", "*.*"),
            (std::vector<std::string>{"Ayar.db", "ayar2.db", "cari.db", "CARI.PX", "fatura.db"}));
  EXPECT_EQ(platform::listFiles(tmp.str() + "/c/", "AYAR.*"), std::vector<std::string>{"Ayar.db"});
  EXPECT_TRUE(platform::listFiles(tmp.str() + "/c", "stok.*").empty());
}

// Wine keeps a file's DOS attributes as hex text in user.DOSATTRIB; Samba
// writes the same text followed by a NUL and binary data.
TEST(ListFiles, FilesMarkedHiddenOrSystemByWineAreLeftOut) {
  TempDir tmp;
  const std::vector<std::pair<std::string, std::string>> marks = {
      {"hidden.db", "0x2"},    {"system.db", "0x4"},
      {"both.db", "0x6"},      {"samba.db", {"0x22\0\4\0", 6}},
      {"archive.db", "0x20"},  {"readonly.db", "0x1"},
      {"garbage.db", "hidden"}};
  for (const auto& [name, value] : marks) {
    tmp.write("c/" + name, "x");
    if (!testos::markDosAttributes(tmp.path() / "c" / name, value))
      GTEST_SKIP() << "no user extended attributes here: " << std::strerror(errno);
  }
  tmp.write("c/plain.db", "x");
  EXPECT_EQ(platform::listFiles(tmp.str() + "\\c", "*.db"),
            (std::vector<std::string>{"archive.db", "garbage.db", "plain.db", "readonly.db"}));
}

TEST(ListFiles, MissingDirectoryThrowsNamingItAsTyped) {
  TempDir tmp;
  std::string typed = tmp.str() + "\\YOK\\2005_001";
  try {
    platform::listFiles(typed, "*.*");
    FAIL() << "no error";
  } catch (const platform::FileSystemError& e) {
    EXPECT_NE(std::string(e.what()).find(typed), std::string::npos) << e.what();
  }
}

// Directory and file names with Turkish letters, whatever the system's code
// page: our texts are UTF-8, the files carry the letters themselves.
TEST(TurkishNames, ListCopyAndFindByTheNamesAsTyped) {
  TempDir tmp;
  const fs::path dir = tmp.path() / fs::path(u8"ŞİRKET ğüı");
  fs::create_directories(dir);
  std::ofstream(dir / fs::path(u8"çek.db"), std::ios::binary) << "Ödendi";
  const std::string typed = tmp.str() + "\\ŞİRKET ğüı";
  EXPECT_TRUE(platform::directoryExists(typed));
  EXPECT_EQ(platform::listFiles(typed, "*.db"), std::vector<std::string>{"çek.db"});
  ASSERT_TRUE(platform::createDirectories(tmp.str() + "\\YEDEK Ö"));
  ASSERT_EQ(platform::copyFile(typed + "\\çek.db", tmp.str() + "\\YEDEK Ö\\çek.db", false),
            CopyOutcome::kCopied);
  EXPECT_TRUE(platform::fileExists(tmp.str() + "\\YEDEK Ö\\çek.db"));
  std::ifstream copied(tmp.path() / fs::path(u8"YEDEK Ö") / fs::path(u8"çek.db"), std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(copied), {}), "Ödendi");
}

#ifdef _WIN32
// --- Windows: a table another program holds open ----------------------------
// Windows checks sharing per handle, so a handle of ours opened with a
// program's sharing stands for that program holding the file.
class HeldOpen {
 public:
  HeldOpen(const fs::path& file, DWORD share)
      : m_handle(::CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~HeldOpen() { ::CloseHandle(m_handle); }
  HeldOpen(const HeldOpen&) = delete;
  HeldOpen& operator=(const HeldOpen&) = delete;
  bool ok() const { return m_handle != INVALID_HANDLE_VALUE; }

 private:
  HANDLE m_handle;
};

struct Sharing {
  const char* name;
  DWORD share;
  bool readable;  // the engine may still open it for reading
};

class HeldOpenFile : public testing::TestWithParam<Sharing> {};

TEST_P(HeldOpenFile, ReplacingItStopsNamingItAsTypedAndLeavesItAlone) {
  TempDir tmp;
  tmp.write("src/cari.db", "new");
  tmp.write("dst/CARI.DB", "old");
  const std::string typed = tmp.str() + "\\dst\\cari.db";
  {
    HeldOpen held(tmp.path() / "dst/CARI.DB", GetParam().share);
    ASSERT_TRUE(held.ok());
    try {
      platform::copyFile(tmp.str() + "\\src\\cari.db", typed, true);
      FAIL() << "copied over a file held open";
    } catch (const platform::FileSystemError& e) {
      EXPECT_EQ(std::string(e.what()),
                "Dosya başka bir programda açık olduğu için kopyalanamadı: " + typed);
    }
    try {
      platform::RawFile file(tmp.path() / "dst/CARI.DB", platform::RawFile::Mode::kRead);
      EXPECT_TRUE(GetParam().readable);
    } catch (const std::system_error& e) {
      EXPECT_FALSE(GetParam().readable);
      EXPECT_EQ(e.code(), std::errc::device_or_resource_busy);
    }
  }
  EXPECT_EQ(tmp.read("dst/CARI.DB"), "old");
  EXPECT_EQ(allEntries(tmp.path() / "dst"), std::vector<std::string>{"CARI.DB"});  // no temporary
}

INSTANTIATE_TEST_SUITE_P(
    Windows, HeldOpenFile,
    testing::Values(Sharing{"Exclusive", 0, false}, Sharing{"SharesReading", FILE_SHARE_READ, true},
                    Sharing{"SharesReadingAndWriting", FILE_SHARE_READ | FILE_SHARE_WRITE, true}),
    [](const auto& info) { return std::string(info.param.name); });

// Where Windows will not replace a file we hold open (older Windows, Wine),
// the replace moves it aside first: a crash between that move and the move
// in loses nothing, as the next open of a table there puts the file back.
TEST(ReplaceOpenFile, ACrashBetweenItsTwoMovesLosesNothing) {
  TempDir tmp;
  tmp.write("new.db", "new");
  tmp.write("cari.db", "old");
  platform::RawFile held(tmp.path() / "cari.db", platform::RawFile::Mode::kRead);
  fixture::FaultPlan plan = fixture::FaultPlan::crashAt(2);  // the second move
  {
    fixture::ScopedFaults on(plan);
    EXPECT_THROW(platform::replaceFile(tmp.path() / "new.db", tmp.path() / "cari.db"),
                 std::system_error);
  }
  held.close();
  if (!plan.fired()) GTEST_SKIP() << "this system replaced the open file in one move";
  EXPECT_FALSE(tmp.has("cari.db"));
  platform::restoreMovedAside(tmp.path());
  EXPECT_EQ(tmp.read("cari.db"), "old");
  EXPECT_EQ(platform::listFiles(tmp.str(), "cari.*"), std::vector<std::string>{"cari.db"});
}

// The copy goes through a hidden temporary: the file it becomes must not
// keep that mark, or the table would vanish from every later listing.
TEST(CopyFile, TheCopyIsNotLeftHiddenAndNothingElseIsListed) {
  TempDir tmp;
  tmp.write("src/cari.db", std::string(1 << 20, 'x'));
  tmp.write("dst/cari.db", "old");
  ASSERT_EQ(platform::copyFile(tmp.str() + "\\src\\cari.db", tmp.str() + "\\dst\\cari.db", true),
            CopyOutcome::kCopied);
  EXPECT_EQ(platform::listFiles(tmp.str() + "\\dst", "*"), std::vector<std::string>{"cari.db"});
  DWORD attributes = ::GetFileAttributesW((tmp.path() / "dst/cari.db").c_str());
  EXPECT_EQ(attributes & FILE_ATTRIBUTE_HIDDEN, 0u);  // the copy itself is not hidden
}
#endif

}  // namespace
