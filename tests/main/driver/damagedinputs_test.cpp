// Damaged and missing inputs through the command line: each stops the run
// before anything is written, with exit 1 and a Turkish message that names
// the table as typed; the engine's technical text only after the mark for
// support.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <regex>
#include <sstream>

#include "data/failuretext.h"
#include "main/driver/headless.h"
#include "platform/runlock.h"
#include "support/company_fixture.h"
#include "support/fixture_files.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

struct Case {
  const char* name;
  std::function<void(const fs::path& data)> damage;
  std::string words;     // what the user is told is wrong
  std::string typed;     // the file or directory named, after the data directory as typed
  bool upgrade = false;  // the edition upgrade is ticked too
};

void resize(const fs::path& file, std::uintmax_t size) {
  fs::resize_file(file, size);
}

// A 32-bit little-endian number written into a file.
void putU32(const fs::path& file, std::size_t at, std::uint32_t value) {
  std::string bytes = fixture::readFileBytes(file);
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
  fixture::writeFileBytes(file, bytes);
}

// `from`'s bytes over `to` (MinGW's copy_file refuses to overwrite).
void copyOver(const fs::path& from, const fs::path& to) {
  fixture::writeFileBytes(to, fixture::readFileBytes(from));
}

// The file of `dir` whose extension starts with `prefix` (an index: "X", "Y").
fs::path withExtension(const fs::path& dir, const std::string& stem, const std::string& prefix) {
  for (const auto& e : fs::directory_iterator(dir)) {
    const std::string ext = e.path().extension().string();
    if (e.path().stem() == stem && ext.size() > 1 && ext.substr(1, prefix.size()) == prefix)
      return e.path();
  }
  ADD_FAILURE() << "no " << stem << "." << prefix << "* in " << dir;
  return {};
}

// Every case's data: two companies of 2005 with different records, so that
// the files of one are wrong for the other.
void writeData(const fs::path& data) {
  fixture::DataDir d(data);
  d.registry().company("2005_001", "Ak", 2005).company("2005_002", "Bal", 2005);
  for (int i = 0; i < 2; ++i) {
    fixture::CompanyDir& c = d.company(i ? "2005_002" : "2005_001");
    for (int n = 0; n < 7 + 3 * i; ++n)
      c.withCard("120." + std::to_string(10 + n), 1000 * (n + 1), n % 2 ? "Borç" : "Alacak");
    fixture::Movement m;
    for (int n = 0; n < 4 + 5 * i; ++n) {
      m.account = "120." + std::to_string(10 + (n * 3 + i) % 7);
      c.withMovement(m);
    }
    c.withStock("S1", 4, 600'000).withCheque("Bankada", 1'000'000);
  }
  d.write();
}

const Case kCases[] = {
    {"TruncatedData",
     [](const fs::path& d) {
       resize(d / "2005_001/Cari.DB", fs::file_size(d / "2005_001/Cari.DB") / 2);
     },
     "tablo bozuk", "2005_001\\Cari.DB"},
    {"HeaderCountsMoreRecords",
     [](const fs::path& d) { putU32(d / "2005_001/Cari.DB", 0x06, 1007); }, "tablo bozuk",
     "2005_001\\Cari.DB"},
    {"SecondaryIndexOfOtherData",
     [](const fs::path& d) {
       for (const char* kind : {"X", "Y"})
         copyOver(withExtension(d / "2005_002", "Char", kind),
                  withExtension(d / "2005_001", "Char", kind));
     },
     "tablonun dizin dosyası verilerle uyuşmuyor", "2005_001\\Char.DB"},
    {"PrimaryIndexOfOtherData",
     [](const fs::path& d) { copyOver(d / "2005_002/Cari.PX", d / "2005_001/Cari.PX"); },
     "tablonun dizin dosyası verilerle uyuşmuyor", "2005_001\\Cari.DB"},
    {"BlobFileDamaged",
     [](const fs::path& d) {
       std::string bytes = fixture::readFileBytes(d / "2005_001/Cari.MB");
       std::fill(bytes.begin(), bytes.begin() + 64, '\xAB');
       fixture::writeFileBytes(d / "2005_001/Cari.MB", bytes);
     },
     "tablonun not dosyası bozuk", "2005_001\\Cari.DB"},
    {"TextFileNamedAsTable",
     [](const fs::path& d) {
       for (const auto& e : fs::directory_iterator(d / "2005_001"))
         if (e.path().stem() == "ceksen") fs::remove(e.path());
       fixture::writeFileBytes(d / "2005_001/ceksen.DB", "Bu bir metin dosyasıdır.\r\n");
     },
     "Paradox tablosu değil", "2005_001\\ceksen.DB"},
    {"SettingsMissing",
     [](const fs::path& d) {
       for (const auto& e : fs::directory_iterator(d / "2005_001"))
         if (e.path().stem() == "ayar") fs::remove(e.path());
     },
     "tablo bulunamadı", "2005_001\\ayar.db"},
    {"DataFileOfAFamilyMissing", [](const fs::path& d) { fs::remove(d / "2005_001/Stok.DB"); },
     "Stok.DB dosyası yok", "2005_001\\Stok.PX"},
    {"RegistryFileReadOnly",
     [](const fs::path& d) {
       fs::permissions(d / "sirket.db",
                       fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                       fs::perm_options::remove);
     },
     "dosya salt okunur", "sirket.db"},
    {"TemplateDirectoryMissing", [](const fs::path& d) { fs::remove_all(d / "DBBACKUP"); },
     "Şablon dizini bulunamadı", "DBBACKUP"},
    {"TemplateDirectoryMissingWithTheUpgrade",
     [](const fs::path& d) { fs::remove_all(d / "DBBACKUP"); }, "Şablon dizini bulunamadı",
     "DBBACKUP", true},
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

class DamagedInputs : public ::testing::TestWithParam<Case> {};

TEST_P(DamagedInputs, StopBeforeWritingInTurkishNamingTheTableAsTyped) {
  const Case& c = GetParam();
  fixture::TempDir tmp;
  const fs::path data = tmp.path() / "data";
  writeData(data);
  std::vector<std::string> args = {"--devir", "--data", data.string(), "--from", "2005",
                                   "--to",    "2006",   "--companies", "all"};
  if (c.upgrade) {
    fixture::DataDir older(tmp.path() / "old", fixture::Edition::kOlder);
    older.registry().company("2004_001", "Eski", 2004);
    older.company("2004_001").withCard("100", 1, "Borç");
    older.write();
    args.insert(args.end(), {"--upgrade", "--old", (tmp.path() / "old").string()});
  }
  c.damage(data);
  fixture::DirectorySnapshot before = fixture::snapshotDirectory(data);

  std::ostringstream out, err;
  const int status = RunHeadless(args, out, err, [] { return platform::ProductStatus::closed(); });

  EXPECT_EQ(status, kExitStopped) << out.str() << err.str();
  const std::string text = out.str();
  EXPECT_NE(text.find(c.words), std::string::npos) << text;
  EXPECT_NE(text.find(data.string() + "\\" + c.typed), std::string::npos) << text;
  // What the user reads, without the paths and the part for support, holds
  // no English word of ours.
  std::string told = text.substr(0, text.find("Ayrıntı (destek için):"));
  for (std::size_t at; (at = told.find(data.string())) != std::string::npos;)
    told.erase(at, told.find_first_of(" \r\n)", at) - at);
  static const std::regex kEnglish(
      R"(\b(table|Table|does|exist|Corrupt|corrupt|index|Index|found|File|file|Directory|Cannot|blocks|header|entry|disagrees|the|read-only)\b)");
  EXPECT_FALSE(std::regex_search(told, kEnglish)) << told;
  // Nothing written: no file changed, no company or working directory left.
  fixture::DirectorySnapshot after = fixture::snapshotDirectory(data);
  after.erase(platform::kRunLockFileName);
  EXPECT_EQ(fixture::describeChanges(before, after), "");
  for (const auto& e : fs::directory_iterator(data))
    EXPECT_EQ(e.path().filename().string().find("2006"), std::string::npos) << e.path();
}

INSTANTIATE_TEST_SUITE_P(Cases, DamagedInputs, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& p) {
                           return std::string(p.param.name);
                         });

}  // namespace
