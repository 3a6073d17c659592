// The edition upgrade through the job seam, on an older and a newest data
// directory written by the fixture builder.
#include "upgrade/upgrade.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "data/job_fixture.h"
#include "data/names.h"
#include "main/workspace.h"
#include "paradox/errors.h"
#include "support/recording_host.h"

namespace fs = std::filesystem;
using jobs::flag;
using jobs::num;
using jobs::Row;
using jobs::txt;

namespace {

const std::vector<FieldSpec>& OldRegistry() {
  static const std::vector<FieldSpec> kFields = {{"SIRKET_KOD", pdx::FieldType::kAlpha, 8, true},
                                                 {"KISA_AD", pdx::FieldType::kAlpha, 30, true},
                                                 {"UNVAN", pdx::FieldType::kAlpha, 50, false},
                                                 {"YIL", pdx::FieldType::kNumber, 0, false}};
  return kFields;
}

std::string s(const Row& r, const std::string& name) {
  auto it = r.find(name);
  if (it == r.end()) return "";
  if (const auto* t = std::get_if<std::string>(&it->second.value)) return *t;
  return "<not text>";
}

// A company of the older edition.
struct OldCompany {
  int settingsFields = 60;
  std::vector<Row> settings{Row{{"DIPNOT", txt("eski dipnot")}, {"SIRA_NO", num(3)}}};
  std::vector<Row> movements, invoices;
  std::map<std::string, std::string> extraFiles;

  void write(const fs::path& dir) const {
    jobs::writeTable(dir / "AYAR.DB", jobs::SettingsOld(settingsFields), settings, 0, true);
    jobs::writeTable(dir / "ayar2.db", jobs::Ayar2(), {Row{{"DEGER", txt("eski")}}}, 0, true);
    jobs::writeTable(dir / "CHAR.DB", schema::Char(), movements, 1);
    jobs::writeTable(dir / "Fatura.db", jobs::FaturaFull(), invoices, 1);
    jobs::writeTable(dir / "Cari.DB", schema::Cari(), {Row{{"CARIKODU", txt("120.01")}}}, 1);
    for (const auto& [name, content] : extraFiles) jobs::writeFile(dir / name, content);
  }
};

class UpgradeTest : public ::testing::Test {
 protected:
  jobs::TempDir tmp;
  fs::path older = tmp.path() / "OLD";
  fs::path newest = tmp.path() / "NEW";
  RecordingHost host;
  Workspace ws;

  void SetUp() override {
    // Blocks large enough that a table rarely needs a second one: these tests
    // are about the jobs. SmallBlocks below runs a whole job on the smallest
    // blocks the records fit.
    jobs::setBlockSizeKiB(16);
    host.upgrade = true;
    host.oldDir = older.string();
    host.newDir = newest.string();
    jobs::writeNewest(newest, {jobs::registryRow("2005_001", "Yeni", num(2005))});
  }

  void writeOlderRegistry(const std::vector<std::pair<std::string, std::string>>& companies) {
    std::vector<Row> rows;
    for (const auto& [code, name] : companies)
      rows.push_back(Row{{"SIRKET_KOD", txt(code)}, {"KISA_AD", txt(name)}, {"YIL", num(2004)}});
    jobs::writeTable(older / "sirket.DB", OldRegistry(), rows, 1);
  }

  // Runs the upgrade and checks that the older directory was only read.
  bool run() {
    const auto before = jobs::snapshot(older);
    const bool ended = RunEditionUpgrade(host, ws);
    EXPECT_EQ(jobs::changedFiles(before, jobs::snapshot(older)), std::vector<std::string>{})
        << "older data directory changed";
    return ended;
  }
};

TEST_F(UpgradeTest, AMissingOrEmptyOlderRegistryStopsBeforeAnyChange) {
  fs::create_directories(older);
  const auto before = jobs::snapshot(newest);
  EXPECT_FALSE(run());
  EXPECT_EQ(host.infos,
            (std::vector<std::string>{"KMX Orvan veya Lumex'a ait şirket bilgileri alınamadı"}));
  writeOlderRegistry({});
  host.infos.clear();
  EXPECT_FALSE(run());
  EXPECT_EQ(host.infos,
            (std::vector<std::string>{"KMX Orvan veya Lumex'da hiç şirket kaydı bulunamadı"}));
  EXPECT_EQ(jobs::changedFiles(before, jobs::snapshot(newest)), std::vector<std::string>{});
}

TEST_F(UpgradeTest, AMissingCompanyDirectoryIsNoticedAndTheOthersAreUpgraded) {
  writeOlderRegistry({{"1001", "Ak"}, {"1002", "Bal"}, {"1003", "Can"}});
  OldCompany{}.write(older / "1001");
  OldCompany{}.write(older / "1003");
  EXPECT_TRUE(run());
  EXPECT_EQ(host.infos, (std::vector<std::string>{"Bal şirketine ait " + older.string() +
                                                  "\\1002 dizini bulunamadı.\r\nBu şirketin "
                                                  "upgrade işlemi yapılmayacak"}));
  EXPECT_TRUE(fs::exists(newest / "1001" / "Cari.DB"));
  EXPECT_TRUE(fs::exists(newest / "1003" / "banka.DB"));
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
  writeOlderRegistry({{"1001", "Ak"}, {"1002", "Bal"}});
  OldCompany first;
  first.settingsFields = 84;
  first.write(older / "1001");
  jobs::writeFile(newest / "1002" / "kendi.txt", "newest only");
  EXPECT_THROW(run(), EDBEngineError);
  EXPECT_TRUE(fs::exists(newest / "1002" / "banka.DB")) << "template files were added first";
  EXPECT_EQ(jobs::readFile(newest / "1002" / "kendi.txt"), "newest only");
}

TEST_F(UpgradeTest, DataDirectoryFilesOfTheOlderEditionWinAndOthersStay) {
  writeOlderRegistry({{"1001", "Ak"}});
  OldCompany{}.write(older / "1001");
  jobs::writeFile(older / "ortak.dat", "older");
  jobs::writeFile(older / "ARSIV" / "eski.txt", "not a company");
  jobs::writeFile(newest / "ORTAK.DAT", "newest");
  jobs::writeFile(newest / "kmx.ini", "newest only");
  const std::string olderRegistry = jobs::readFile(older / "sirket.DB");
  EXPECT_TRUE(run());
  std::vector<std::string> registryFiles, shared;
  for (const auto& e : fs::directory_iterator(newest)) {
    const std::string name = e.path().filename().string();
    if (sameName(name, "sirket.db")) registryFiles.push_back(name);
    if (sameName(name, "ortak.dat")) shared.push_back(name);
  }
  ASSERT_EQ(registryFiles.size(), 1u);
  EXPECT_EQ(jobs::readFile(newest / registryFiles[0]), olderRegistry);
  ASSERT_EQ(shared.size(), 1u);
  EXPECT_EQ(jobs::readFile(newest / shared[0]), "older");
  EXPECT_EQ(jobs::readFile(newest / "kmx.ini"), "newest only");
  EXPECT_FALSE(fs::exists(newest / "ARSIV"));
}

TEST_F(UpgradeTest, CompanyFilesAreCopiedTemplateFilesOnlyAddedAndAyar2Replaced) {
  writeOlderRegistry({{"1001", "Ak"}});
  OldCompany c;
  c.settingsFields = 84;  // not rebuilt whatever the names
  c.extraFiles = {{"banka.DB", "old banka"}, {"yedek/icinde.txt", "sub-directory"}};
  c.write(older / "1001");
  EXPECT_TRUE(run());
  const fs::path made = newest / "1001";
  EXPECT_EQ(jobs::readFile(made / "banka.DB"), "old banka");
  EXPECT_EQ(jobs::readFile(made / "c_grup.DB"), "template c_grup");
  EXPECT_FALSE(fs::exists(made / "yedek"));
  EXPECT_EQ(jobs::readFile(made / "AYAR.DB"), jobs::readFile(older / "1001" / "AYAR.DB"));
  EXPECT_EQ(jobs::readTable(made / "ayar2.db"), jobs::readTable(newest / "DBBACKUP" / "ayar2.db"));
  EXPECT_EQ(jobs::readFile(jobs::findFile(made, "ayar2.val")),
            jobs::readFile(newest / "DBBACKUP" / "ayar2.val"));
}

TEST_F(UpgradeTest, ASettingsTableOfAnotherLayoutIsRebuiltWithTheOldRowFirst) {
  writeOlderRegistry({{"1001", "Ak"}, {"1002", "Bal"}});
  OldCompany withRow;
  withRow.settings = {
      Row{{"DIPNOT", txt("eski dipnot")}, {"SIRA_NO", num(3)}, {"ESKI45", txt("atılır")}},
      Row{{"DIPNOT", txt("ikinci satır")}}};
  withRow.write(older / "1001");
  OldCompany empty;
  empty.settings.clear();
  empty.write(older / "1002");
  EXPECT_TRUE(run());

  const auto rows = jobs::readTable(newest / "1001" / "ayar.db");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], (Row{{"DIPNOT", txt("eski dipnot")}, {"SIRA_NO", num(3)}}));
  EXPECT_EQ(rows[1], jobs::readTable(newest / "DBBACKUP" / "ayar.db").at(0));

  const auto blankRows = jobs::readTable(newest / "1002" / "ayar.db");
  ASSERT_EQ(blankRows.size(), 2u);
  EXPECT_TRUE(blankRows[0].empty());
  EXPECT_EQ(blankRows[1], rows[1]);
}

TEST_F(UpgradeTest, MovementKindsAreRecodedExactlyAndEveryInvoiceFlagged) {
  writeOlderRegistry({{"1001", "Ak"}, {"1002", "Bal"}});
  auto mv = [](Variant kind) {
    Row r{{"TARIH", jobs::day(38000)}, {"TUTAR", num(1)}, {"IS_TUR", txt("Çek")}};
    if (!kind.isNull()) r["ALPHA3"] = kind;
    return r;
  };
  OldCompany c;
  c.movements = {mv(txt("Kendi Çekim")),  mv(txt("Müşteri Senedi")), mv(txt("1")),
                 mv(jobs::blank()),       mv(txt("kendi çekim")),    mv(txt("Kendi Senedim")),
                 mv(txt("Müşteri Çeki")), mv(txt("Müşteri Çeki "))};
  c.invoices = {Row{{"FATNO", txt("1")}}, Row{{"FATNO", txt("2")}, {"LOJIK3", flag(true)}},
                Row{{"FATNO", txt("3")}, {"LOJIK3", flag(false)}, {"LOJIK4", flag(true)}}};
  c.write(older / "1001");
  OldCompany{}.write(older / "1002");  // empty movement and invoice tables

  for (int pass = 0; pass < 2; ++pass) {  // a second upgrade gives the same result
    SCOPED_TRACE(pass);
    EXPECT_TRUE(run());
    std::vector<std::string> kinds;
    for (const Row& r : jobs::readTable(newest / "1001" / "CHAR.DB"))
      kinds.push_back(s(r, "ALPHA3"));
    EXPECT_EQ(kinds, (std::vector<std::string>{"1", "4", "1", "", "kendi çekim", "2", "3",
                                               "Müşteri Çeki "}));
    const auto invoices = jobs::readTable(newest / "1001" / "Fatura.db");
    ASSERT_EQ(invoices.size(), 3u);
    for (const Row& r : invoices) {
      EXPECT_EQ(r.at("LOJIK3"), flag(true)) << s(r, "FATNO");
      EXPECT_EQ(r.at("LOJIK4"), flag(true)) << s(r, "FATNO");
    }
    EXPECT_TRUE(jobs::readTable(newest / "1002" / "CHAR.DB").empty());
  }
  // The empty tables still had their step, with a gauge of 0.
  int zeroGauges = 0;
  for (const std::string& e : host.events) zeroGauges += e == "gauge-max: 0";
  EXPECT_GE(zeroGauges, 4);
}

// A rebuilt settings table and re-coded movements on the smallest blocks the
// records fit: the inserted settings row needs a block of its own.
TEST_F(UpgradeTest, SmallBlocks) {
  jobs::setBlockSizeKiB(0);
  writeOlderRegistry({{"1001", "Ak"}});
  OldCompany c;
  for (int i = 0; i < 30; ++i)
    c.movements.push_back(Row{{"TARIH", jobs::day(38000)},
                              {"TUTAR", num(i)},
                              {"IS_TUR", txt("Çek")},
                              {"ALPHA3", txt("Kendi Senedim")}});
  c.write(older / "1001");
  jobs::writeNewest(newest, {});
  EXPECT_TRUE(run());
  EXPECT_EQ(jobs::readTable(newest / "1001" / "ayar.db").size(), 2u);
  const auto movements = jobs::readTable(newest / "1001" / "CHAR.DB");
  ASSERT_EQ(movements.size(), 30u);
  EXPECT_EQ(s(movements.back(), "ALPHA3"), "2");
}

TEST_F(UpgradeTest, AMovementTableWithoutTheKindFieldEndsTheRun) {
  writeOlderRegistry({{"1001", "Ak"}});
  OldCompany{}.write(older / "1001");
  std::vector<FieldSpec> noKind;
  for (const FieldSpec& f : schema::Char())
    if (f.name != "ALPHA3") noKind.push_back(f);
  jobs::writeTable(older / "1001" / "CHAR.DB", noKind, {}, 1);
  try {
    run();
    FAIL() << "no error";
  } catch (const EDatabaseError& e) {
    EXPECT_STREQ(e.what(), "Field 'ALPHA3' not found");
  }
}

}  // namespace
