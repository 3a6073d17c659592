// The edition upgrade through the job seam, on an older and a newest data
// directory written by the company fixture.
#include "upgrade/upgrade.h"
#include "upgrade/upgradelist.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "data/names.h"
#include "jobs/workspace.h"
#include "paradox/errors.h"
#include "platform/rawfile.h"
#include "support/company_fixture.h"
#include "support/expect_unchanged.h"
#include "support/fixture_files.h"
#include "support/product_layouts.h"
#include "support/recording_host.h"
#include "support/table_reader.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using fixture::num;
using fixture::Row;
using fixture::text;
using fixture::txt;

namespace {

std::string bytes(const fs::path& file) {
  return fixture::readFileBytes(file);
}

class UpgradeTest : public ::testing::Test {
 protected:
  fixture::TempDir tmp;
  fs::path older = tmp.path() / "OLD";
  fs::path newest = tmp.path() / "NEW";
  fs::path newestTemplate = newest / "DBBACKUP";
  fixture::DataDir olderDir{older, fixture::Edition::kOlder};
  RecordingHost host;
  Workspace ws;

  void SetUp() override {
    host.upgrade = true;
    host.oldDir = older.string();
    host.newDir = newest.string();
    // Blocks large enough that a table rarely needs a second one: these tests
    // are about the jobs. SmallBlocks runs a whole job on the smallest blocks
    // the records fit.
    fixture::DataDir newestDir(newest);
    newestDir.blockSizeKiB(16).registry().company("2005_001", "Yeni", 2005);
    newestDir.write();
    olderDir.blockSizeKiB(16);
  }

  // An older company: a settings table of 60 fields (rebuilt by the upgrade).
  fixture::CompanyDir& oldCompany(const std::string& code) {
    return olderDir.company(code).settingsFieldCount(60);
  }

  // Runs the upgrade and checks that the older directory was only read.
  bool run() {
    const fixture::UnchangedDir olderDirectory(older);
    const bool ended = RunEditionUpgrade(host, host.options(), ws);
    olderDirectory.expectUnchanged();
    return ended;
  }
};

TEST_F(UpgradeTest, AMissingOrEmptyOlderRegistryStopsBeforeAnyChange) {
  fs::create_directories(older);
  const fixture::UnchangedDir newestDirectory(newest);
  EXPECT_FALSE(run());
  EXPECT_EQ(host.infos,
            (std::vector<std::string>{"KMX Orvan veya Lumex'a ait şirket bilgileri alınamadı"}));
  olderDir.write();  // an empty registry
  host.infos.clear();
  EXPECT_FALSE(run());
  EXPECT_EQ(host.infos,
            (std::vector<std::string>{"KMX Orvan veya Lumex'da hiç şirket kaydı bulunamadı"}));
  newestDirectory.expectUnchanged();
}

TEST_F(UpgradeTest, AMissingCompanyDirectoryIsNoticedAndTheOthersAreUpgraded) {
  olderDir.registry().company("1001", "Ak", 2004).company("1002", "Bal", 2004);
  olderDir.registry().company("1003", "Can", 2004);
  oldCompany("1001");
  oldCompany("1003");
  olderDir.write();
  EXPECT_TRUE(run());
  EXPECT_EQ(host.infos, (std::vector<std::string>{"Bal şirketine ait " + older.string() +
                                                  "\\1002 dizini bulunamadı.\r\nBu şirketin "
                                                  "upgrade işlemi yapılmayacak"}));
  EXPECT_TRUE(fs::exists(newest / "1001" / "Cari.DB"));
  EXPECT_TRUE(fs::exists(newest / "1003" / "taksit.DB"));
  EXPECT_FALSE(fs::exists(newest / "1002"));
  EXPECT_FALSE(host.statusVisible);
  EXPECT_FALSE(host.gaugeVisible);
  // First where the files the upgrade replaces (the newest registry) were kept.
  std::vector<std::string> statuses = host.statuses;
  ASSERT_FALSE(statuses.empty());
  EXPECT_EQ(statuses.front().rfind("Upgrade işleminin değiştireceği dosyaların kopyası alındı: " +
                                       newest.string() + "\\UD_YEDEK_",
                                   0),
            0u);
  statuses.erase(statuses.begin());
  EXPECT_EQ(statuses,
            (std::vector<std::string>{"Yeni veritabanı oluşturuluyor...",
                                      "Ak şirketi kopyalanıyor...", "Can şirketi kopyalanıyor...",
                                      "Ak şirketi güncelleniyor", "Can şirketi güncelleniyor",
                                      "Ak şirketinin cari hareketleri düzenleniyor",
                                      "Can şirketinin cari hareketleri düzenleniyor",
                                      "Ak şirketinin fatura hareketleri düzenleniyor",
                                      "Can şirketinin fatura hareketleri düzenleniyor"}));
}

TEST_F(UpgradeTest, ASkippedCompanyWithANewestDirectoryEndsTheRunAtItsSettings) {
  olderDir.registry().company("1001", "Ak", 2004).company("1002", "Bal", 2004);
  olderDir.company("1001").settingsFieldCount(84);
  olderDir.write();
  tmp.write("NEW/1002/kendi.txt", "newest only");
  EXPECT_THROW(run(), EDBEngineError);
  EXPECT_TRUE(fs::exists(newest / "1002" / "taksit.DB")) << "template files were added first";
  EXPECT_EQ(tmp.read("NEW/1002/kendi.txt"), "newest only");
}

TEST_F(UpgradeTest, DataDirectoryFilesOfTheOlderEditionWinAndOthersStay) {
  olderDir.registry().company("1001", "Ak", 2004);
  oldCompany("1001");
  olderDir.withFile("ortak.dat", "older").write();
  tmp.write("OLD/ARSIV/eski.txt", "not a company");
  tmp.write("NEW/ORTAK.DAT", "newest");
  tmp.write("NEW/kmx.ini", "newest only");
  const std::string olderRegistry = bytes(older / "sirket.DB");
  EXPECT_TRUE(run());
  std::vector<std::string> registryFiles, shared;
  for (const auto& e : fs::directory_iterator(newest)) {
    const std::string name = e.path().filename().string();
    if (sameName(name, "sirket.db")) registryFiles.push_back(name);
    if (sameName(name, "ortak.dat")) shared.push_back(name);
  }
  ASSERT_EQ(registryFiles.size(), 1u);
  EXPECT_TRUE(bytes(newest / registryFiles[0]) == olderRegistry);
  ASSERT_EQ(shared.size(), 1u);
  EXPECT_EQ(bytes(newest / shared[0]), "older");
  EXPECT_EQ(bytes(newest / "kmx.ini"), "newest only");
  EXPECT_FALSE(fs::exists(newest / "ARSIV"));
}

TEST_F(UpgradeTest, CompanyFilesAreCopiedTemplateFilesOnlyAddedAndAyar2Replaced) {
  olderDir.registry().company("1001", "Ak", 2004);
  olderDir.company("1001")
      .settingsFieldCount(84)  // not rebuilt whatever the names
      .withFile("banka.DB", "old banka")
      .withFile("ayar2.db", "old ayar2")
      .withFile("ayar2.VAL", "old ayar2.val");
  olderDir.write();
  tmp.write("OLD/1001/yedek/icinde.txt", "sub-directory");
  EXPECT_TRUE(run());
  const fs::path made = newest / "1001";
  EXPECT_EQ(bytes(made / "banka.DB"), "old banka");
  EXPECT_TRUE(bytes(made / "c_grup.DB") == bytes(newestTemplate / "c_grup.DB"));
  EXPECT_FALSE(fs::exists(made / "yedek"));
  EXPECT_TRUE(bytes(fixture::findFile(made, "ayar.db")) == bytes(older / "1001" / "ayar.DB"));
  EXPECT_TRUE(bytes(fixture::findFile(made, "ayar2.db")) == bytes(newestTemplate / "ayar2.db"));
  EXPECT_TRUE(bytes(fixture::findFile(made, "ayar2.val")) == bytes(newestTemplate / "ayar2.val"));
}

TEST_F(UpgradeTest, ASettingsTableOfAnotherLayoutIsRebuiltWithTheOldRowFirst) {
  olderDir.registry().company("1001", "Ak", 2004).company("1002", "Bal", 2004);
  // 60 fields of the newest layout and ESKI1..ESKI3.
  oldCompany("1001")
      .settingsFieldCount(63)
      .settings({{"DIPNOT", txt("eski dipnot")}, {"SIRA_NO", num(3)}, {"ESKI3", txt("atılır")}})
      .withSettingsRow({{"DIPNOT", txt("ikinci satır")}});
  oldCompany("1002").withoutSettings();
  olderDir.write();
  EXPECT_TRUE(run());

  const auto rows = fixture::readTable(newest / "1001" / "ayar.db");
  ASSERT_EQ(rows.size(), 2u);
  // The old first row but for the fields the newest layout lacks.
  Row first = fixture::readTable(older / "1001" / "ayar.db").at(0);
  for (const char* gone : {"ESKI1", "ESKI2", "ESKI3"}) EXPECT_EQ(first.erase(gone), 1u);
  EXPECT_EQ(rows[0], first);
  EXPECT_EQ(text(rows[0], "DIPNOT"), "eski dipnot");
  EXPECT_EQ(rows[1], fixture::readTable(newestTemplate / "ayar.db").at(0));

  const auto blankRows = fixture::readTable(newest / "1002" / "ayar.db");
  ASSERT_EQ(blankRows.size(), 2u);
  EXPECT_TRUE(blankRows[0].empty());
  EXPECT_EQ(blankRows[1], rows[1]);
}

TEST_F(UpgradeTest, MovementKindsAreRecodedExactlyAndEveryInvoiceFlagged) {
  olderDir.registry().company("1001", "Ak", 2004).company("1002", "Bal", 2004);
  fixture::CompanyDir& c = oldCompany("1001");
  for (const char* kind : {"Kendi Çekim", "Müşteri Senedi", "1", "", "kendi çekim", "Kendi Senedim",
                           "Müşteri Çeki", "Müşteri Çeki "})
    c.withMovement({.amount = 1, .kind = kind, .type = "Çek", .date = 38000});
  c.withInvoice().withInvoice(true).withInvoice(false, true);
  oldCompany("1002");  // empty movement and invoice tables
  olderDir.write();

  for (int pass = 0; pass < 2; ++pass) {  // a second upgrade gives the same result
    SCOPED_TRACE(pass);
    EXPECT_TRUE(run());
    std::vector<std::string> kinds;
    for (const Row& r : fixture::readTable(newest / "1001" / "Char.DB"))
      kinds.push_back(text(r, "ALPHA3"));
    EXPECT_EQ(kinds, (std::vector<std::string>{"1", "4", "1", "", "kendi çekim", "2", "3",
                                               "Müşteri Çeki "}));
    const auto invoices = fixture::readTable(newest / "1001" / "Fatura.DB");
    ASSERT_EQ(invoices.size(), 3u);
    for (const Row& r : invoices) {
      EXPECT_EQ(r.at("LOJIK3"), fixture::flag(true)) << text(r, "FATNO");
      EXPECT_EQ(r.at("LOJIK4"), fixture::flag(true)) << text(r, "FATNO");
    }
    EXPECT_TRUE(fixture::readTable(newest / "1002" / "Char.DB").empty());
  }
  // The empty tables still had their step, with a gauge of 0.
  int zeroGauges = 0;
  for (const std::string& e : host.events) zeroGauges += e == "gauge-max: 0";
  EXPECT_GE(zeroGauges, 4);
}

// A rebuilt settings table and re-coded movements on the smallest blocks the
// records fit: the inserted settings row needs a block of its own.
TEST_F(UpgradeTest, SmallBlocks) {
  fs::remove_all(newest);
  fixture::DataDir(newest).write();
  olderDir.blockSizeKiB(0).registry().company("1001", "Ak", 2004);
  fixture::CompanyDir& c = oldCompany("1001");
  for (int i = 0; i < 30; ++i)
    c.withMovement({.amount = double(i), .kind = "Kendi Senedim", .type = "Çek", .date = 38000});
  olderDir.write();
  EXPECT_TRUE(run());
  EXPECT_EQ(fixture::readTable(newest / "1001" / "ayar.db").size(), 2u);
  const auto movements = fixture::readTable(newest / "1001" / "Char.DB");
  ASSERT_EQ(movements.size(), 30u);
  EXPECT_EQ(text(movements.back(), "ALPHA3"), "2");
}

TEST_F(UpgradeTest, AMovementTableWithoutTheKindFieldEndsTheRun) {
  olderDir.registry().company("1001", "Ak", 2004);
  oldCompany("1001").movementLayout(fixture::layout::CharWithoutAlpha3());
  olderDir.write();
  try {
    run();
    FAIL() << "no error";
  } catch (const EDatabaseError& e) {
    EXPECT_STREQ(e.what(), "Field 'ALPHA3' not found");
  }
}

// Which files were written (a copy, a rename, a new file: the calls that name
// their file) and not synced since. A sync without a name belongs to the file
// opened just before it, as the final pass opens each file and syncs it.
class UnsyncedFiles final : public platform::FileFaults {
 public:
  int before(platform::FileOp op, const fs::path& path) override {
    using platform::FileOp;
    const fs::path p = path.empty() ? path : fs::absolute(path).lexically_normal();
    if (op == FileOp::kOpen || op == FileOp::kCreate) m_opened = p;
    if (op == FileOp::kCreate || op == FileOp::kWrite || op == FileOp::kRename ||
        op == FileOp::kExchange)
      if (!p.empty()) m_unsynced.insert(p);
    if (op == FileOp::kSync) m_unsynced.erase(p.empty() ? m_opened : p);
    return 0;
  }
  bool unsynced(const fs::path& p) const {
    return m_unsynced.count(fs::absolute(p).lexically_normal()) > 0;
  }

 private:
  fs::path m_opened;
  std::set<fs::path> m_unsynced;
};

TEST_F(UpgradeTest, EveryFileWrittenIsOnTheDiskBeforeTheRunEnds) {
  olderDir.registry().company("1001", "Ak", 2004).company("1002", "Bey", 2004);
  oldCompany("1001").withFile("banka.DB", "old banka");
  oldCompany("1002");
  olderDir.withFile("ortak.dat", "older").write();
  tmp.write("NEW/ORTAK.DAT", "newest");
  UnsyncedFiles recorder;
  platform::g_fileFaults = &recorder;
  const bool ended = run();
  platform::g_fileFaults = nullptr;
  ASSERT_TRUE(ended);
  int files = 0;
  // The upgrade's list is written beside its name, synced, then renamed (the
  // directory synced): the recorder does not follow a synced file's rename.
  for (const auto& e : fs::recursive_directory_iterator(newest))
    if (e.is_regular_file() && e.path().filename().string()[0] != '.' &&
        e.path().filename() != fs::path(platform::TypedPath::resolve(e.path().parent_path().string())
                                            .locate(kUpgradeListName)
                                            .value_or(""))
                                   .filename()) {
      ++files;
      EXPECT_FALSE(recorder.unsynced(e.path())) << e.path();
    }
  EXPECT_GT(files, 40);
}

}  // namespace
