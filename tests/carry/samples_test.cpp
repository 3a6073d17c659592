// The jobs on the sample data directories that the sample-data tool writes
// (realistic layouts, keys, indexes, smallest blocks): the carry-forward of
// the companies of 2005 with YTL, and the edition upgrade of the older
// edition's directory.
#include <filesystem>

#include "carry/carry_test_base.h"
#include "sample_data.h"
#include "upgrade/upgrade.h"

namespace fs = std::filesystem;

namespace {

void expectPxlibAgrees(const fs::path& dbFile) {
  const auto diff = jobs::pxlibDisagreements(dbFile);
  EXPECT_TRUE(diff.empty()) << dbFile << ": " << diff.front();
}

TEST_F(CarryTest, SampleCompaniesOf2005AreCarriedForward) {
  if (!fixture::pxlib::available()) GTEST_SKIP() << "built without pxlib";
  samples::writeNewest(data);
  host.ytl = true;
  const auto before = jobs::snapshot(data);
  run();
  ASSERT_EQ(host.infos, (std::vector<std::string>{"İşlem tamamlandı"}));
  EXPECT_EQ(listed, (std::vector<std::string>{"2005_001 2006_001 X", "2005_002 2006_002 X",
                                              "2005_003 2006_003 X"}));
  std::vector<std::string> changed;
  for (const std::string& f : jobs::changedFiles(before, jobs::snapshot(data)))
    if (f.rfind("sirket.", 0) != 0 && f.find(" (added)") == std::string::npos) changed.push_back(f);
  EXPECT_EQ(changed, std::vector<std::string>{});
  for (const char* code : {"2006_001", "2006_002", "2006_003"}) {
    SCOPED_TRACE(code);
    for (const char* table : {"Cari", "Stok", "ceksen", "Char", "urhar", "ayar"})
      expectPxlibAgrees(jobs::findFile(company(code), std::string(table) + ".db"));
    for (const jobs::Row& r : jobs::readTable(jobs::findFile(company(code), "ceksen.db"))) {
      const std::string state = std::get<std::string>(r.at("EVRAKDURUM").value);
      EXPECT_TRUE(state == "Bankada" || state == "Kasada" || state == "Ödenmedi") << state;
    }
  }
  expectPxlibAgrees(jobs::findFile(data, "sirket.db"));
}

TEST_F(CarryTest, TheOlderSampleDirectoryIsUpgraded) {
  if (!fixture::pxlib::available()) GTEST_SKIP() << "built without pxlib";
  const fs::path older = tmp.path() / "OLD";
  samples::writeNewest(data);
  samples::writeOlder(older);
  host.upgrade = true;
  host.oldDir = older.string();
  const auto olderBefore = jobs::snapshot(older);
  EXPECT_TRUE(RunEditionUpgrade(host, ws));
  EXPECT_EQ(jobs::changedFiles(olderBefore, jobs::snapshot(older)), std::vector<std::string>{});
  ASSERT_EQ(host.infos.size(), 1u);  // the registry row without a directory
  EXPECT_NE(host.infos[0].find("Kayıp Şirket şirketine ait"), std::string::npos);
  for (const char* code : {"2004_001", "2004_002", "2004_003"}) {
    SCOPED_TRACE(code);
    for (const char* table : {"Char", "Fatura", "ayar"})
      expectPxlibAgrees(jobs::findFile(company(code), std::string(table) + ".db"));
    for (const jobs::Row& r : jobs::readTable(jobs::findFile(company(code), "Fatura.db"))) {
      EXPECT_EQ(r.at("LOJIK3"), Variant{true});
      EXPECT_EQ(r.at("LOJIK4"), Variant{true});
    }
  }
}

}  // namespace
