// The jobs on the sample data directories that the sample-data tool writes
// (realistic layouts, keys, indexes, smallest blocks): the carry-forward of
// the companies of 2005 with YTL, and the edition upgrade of the older
// edition's directory.
#include <filesystem>

#include "carry/carry_test_base.h"
#include "sample_data.h"
#include "upgrade/restore.h"
#include "upgrade/upgrade.h"

namespace fs = std::filesystem;
using fixture::expectPxlibAgrees;
using fixture::readTable;

namespace {

TEST_F(CarryTest, SampleCompaniesOf2005AreCarriedForward) {
  if (!fixture::pxlib::available()) GTEST_SKIP() << "built without pxlib";
  samples::writeNewest(data);
  host.ytl = true;
  const fixture::UnchangedDir unchanged(data);
  run();
  ASSERT_EQ(host.infos, (std::vector<std::string>{"İşlem tamamlandı"}));
  EXPECT_EQ(listed, (std::vector<std::string>{"2005_001 2006_001 X", "2005_002 2006_002 X",
                                              "2005_003 2006_003 X"}));
  unchanged.expectUnchanged([](const std::string& change) {
    return change.starts_with("added ") || change.find(" sirket.") != std::string::npos;
  });
  for (const char* code : {"2006_001", "2006_002", "2006_003"}) {
    SCOPED_TRACE(code);
    for (const char* table : {"Cari", "Stok", "ceksen", "Char", "urhar", "ayar"})
      expectPxlibAgrees(company(code) / (std::string(table) + ".db"));
    for (const fixture::Row& r : readTable(company(code) / "ceksen.db")) {
      const std::string state = fixture::text(r, "EVRAKDURUM");
      EXPECT_TRUE(state == "Bankada" || state == "Kasada" || state == "Ödenmedi") << state;
    }
  }
  expectPxlibAgrees(data / "sirket.db");
}

TEST_F(CarryTest, TheOlderSampleDirectoryIsUpgraded) {
  if (!fixture::pxlib::available()) GTEST_SKIP() << "built without pxlib";
  const fs::path older = tmp.path() / "OLD";
  samples::writeNewest(data);
  samples::writeOlder(older);
  host.upgrade = true;
  host.oldDir = older.string();
  const fixture::UnchangedDir olderUnchanged(older);
  const fixture::DirectorySnapshot before = fixture::snapshotDirectory(data);
  EXPECT_TRUE(RunEditionUpgrade(host, host.options(), ws));
  ws.DM.closeAll();
  {
    // Taken back, the newest directory is as before, the backups aside.
    SCOPED_TRACE("restore");
    const platform::TypedPath newest = platform::TypedPath::resolve(data.string());
    const RestorePlan plan = PlanUpgradeRestore(newest, "");
    ASSERT_EQ(plan.refusal, "");
    RecordingHost quiet;
    RestoreUpgrade(quiet, newest, plan);
    fixture::DirectorySnapshot after = fixture::snapshotDirectory(data);
    std::erase_if(after, [](const auto& e) { return e.first.rfind("UD_YEDEK_", 0) == 0; });
    EXPECT_EQ(fixture::describeChanges(before, after), "");
    // Upgraded again, for the checks below.
    host.infos.clear();
    EXPECT_TRUE(RunEditionUpgrade(host, host.options(), ws));
  }
  olderUnchanged.expectUnchanged();
  ASSERT_EQ(host.infos.size(), 1u);  // the registry row without a directory
  EXPECT_NE(host.infos[0].find("Kayıp Şirket şirketine ait"), std::string::npos);
  for (const char* code : {"2004_001", "2004_002", "2004_003"}) {
    SCOPED_TRACE(code);
    for (const char* table : {"Char", "Fatura", "ayar"})
      expectPxlibAgrees(company(code) / (std::string(table) + ".db"));
    for (const fixture::Row& r : readTable(company(code) / "Fatura.db")) {
      EXPECT_EQ(r.at("LOJIK3"), Variant{true});
      EXPECT_EQ(r.at("LOJIK4"), Variant{true});
    }
  }
}

// Upgrade and carry-forward in one run, as the driver chains them: the older
// registry replaces the newest one, so the carry-forward lists the upgraded
// companies of 2004 and builds their 2005 companies beside the newest
// edition's own 2005 directories.
TEST_F(CarryTest, UpgradeThenCarryForwardOnTheSampleDirectories) {
  if (!fixture::pxlib::available()) GTEST_SKIP() << "built without pxlib";
  const fs::path older = tmp.path() / "OLD";
  samples::writeNewest(data);
  samples::writeOlder(older);
  host.upgrade = true;
  host.oldDir = older.string();
  host.fromYear = "2004";
  host.toYear = "2005";
  // Only 2004_001 has the newest movement layout; the others would end the
  // run by design (older movement layout, an 84-field settings table of other
  // names, no directory at all).
  deselect = {"2004_002", "2004_003", "2004_004"};
  const fixture::UnchangedDir olderUnchanged(older);
  ASSERT_TRUE(RunEditionUpgrade(host, host.options(), ws));
  run();
  EXPECT_EQ(host.infos.back(), "İşlem tamamlandı");
  EXPECT_EQ(listed, (std::vector<std::string>{"2004_001 2005_004 X", "2004_002 2005_005 -",
                                              "2004_003 2005_006 -", "2004_004 2005_007 -"}));
  olderUnchanged.expectUnchanged();
  {
    const char* code = "2005_004";
    for (const char* table : {"Cari", "Stok", "ceksen", "Char", "urhar", "ayar"})
      expectPxlibAgrees(company(code) / (std::string(table) + ".db"));
    // The movements left are the unpaid instalments, re-coded by the upgrade.
    const auto movements = readTable(company(code) / "Char.db");
    EXPECT_FALSE(movements.empty());
    for (const fixture::Row& r : movements) {
      const auto get = [&r](const char* field) {
        const auto it = r.find(field);
        return it == r.end() ? Variant{} : it->second;
      };
      EXPECT_EQ(get("TAKSIT"), Variant{true});
      EXPECT_NE(get("ODEDI"), Variant{true});
      const Variant alpha3 = get("ALPHA3");
      const auto* kind = std::get_if<std::string>(&alpha3.value);
      if (kind) {
        EXPECT_TRUE(kind->size() <= 1 || *kind == "kendi çekim") << *kind;
      }
    }
  }
  EXPECT_FALSE(fs::exists(company("2005_005")));
  EXPECT_FALSE(fs::exists(company("2005_006")));
  const auto registry = readTable(data / "sirket.db");
  ASSERT_EQ(registry.size(), 5u);  // four upgraded rows and the new company
  expectPxlibAgrees(data / "sirket.db");
}

}  // namespace
