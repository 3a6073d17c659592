// Whole carry-forward runs over a data directory of several companies, with
// and without YTL, and the edition upgrade followed by the carry-forward;
// pxlib reads every table the jobs changed and agrees with our engine.
#include <filesystem>

#include "carry/carry_test_base.h"
#include "upgrade/upgrade.h"

namespace fs = std::filesystem;
using fixture::expectPxlibAgrees;
using fixture::number;
using fixture::Row;

namespace {

// 40 of each: cards with a local balance on either side, stock, cheques in
// five states, instalments paid or not, production.
void busyCompany(fixture::CompanyDir& c, double scale) {
  static const char* const kStates[] = {"Bankada", "Kasada", "Ödenmedi", "Ödendi", "Ciro"};
  for (int i = 0; i < 40; ++i) {
    const std::string n = std::to_string(i);
    c.withCard("120." + n, scale * (i * 250000 + 5000), i % 2 ? "Alacak" : "Borç",
               {{"DTBKY", fixture::num(i)}, {"DTBTR", fixture::txt("Alacak")}});
    c.withStock("S" + n, i - 5, 1, {{"KALF", fixture::num(scale * 15000 * i)}});
    c.withCheque(kStates[i % 5], scale * 1000000 * i);
    c.withMovement({.amount = scale * 333333 * i,
                    .instalment = i % 3 != 0,
                    .paid = i % 4 == 0,
                    .type = "Taksit",
                    .date = 38700.0 + i});
    c.withProduction("S" + n, 1, scale * 9999 * i);
  }
}

// A carry-forward changes the registry and adds the new companies' files.
bool onlyRegistryAndNewFiles(const std::string& change) {
  return change.starts_with("added ") || change.find(" sirket.") != std::string::npos;
}

class EndToEnd : public CarryTest, public ::testing::WithParamInterface<bool> {};

TEST_P(EndToEnd, CarriesEveryCompanyOfTheYearAndLeavesTheOldOnesAlone) {
  if (!fixture::pxlib::available()) GTEST_SKIP() << "built without pxlib";
  host.ytl = GetParam();
  dir.registry().company("2004_001", "Geçen", 2004);
  dir.registry()
      .company("2005_001", "Özdemir Gıda Ltd.Şti.", 2005)
      .company("2005_002", "Şahin", 2005);
  busyCompany(dir.company("2005_001"), 1);
  busyCompany(dir.company("2005_002"), 3);
  dir.company("2004_001");
  dir.write();
  const fixture::UnchangedDir unchanged(data);
  run();
  ASSERT_EQ(host.infos, (std::vector<std::string>{"İşlem tamamlandı"}));
  // Old companies and the template byte for byte as they were.
  unchanged.expectUnchanged(onlyRegistryAndNewFiles);

  for (const char* code : {"2006_001", "2006_002"}) {
    SCOPED_TRACE(code);
    const fs::path made = company(code);
    const double scale = code == std::string("2006_001") ? 1 : 3;
    for (const char* table : {"Cari.DB", "Stok.DB", "ceksen.DB", "Char.DB", "urhar.db", "ayar.db"})
      expectPxlibAgrees(made / table);
    const auto cards = fixture::readTable(made / "Cari.DB");
    ASSERT_EQ(cards.size(), 40u);
    // Card 9: 9 * 250000 + 5000 = 2,255,000 old lira (x scale) on the credit
    // side; 2.255 rounds up to 2.26 and 6.765 down to 6.76, halves to even.
    EXPECT_EQ(number(cards[9], "KDALC"), host.ytl ? (scale == 1 ? 2.26 : 6.76) : scale * 2255000);
    EXPECT_EQ(number(cards[9], "KDBRC"), 0);
    const auto cheques = fixture::readTable(made / "ceksen.DB");
    EXPECT_EQ(cheques.size(), 24u);  // three of every five states kept
    const auto movements = fixture::readTable(made / "Char.DB");
    // Kept: instalments (i % 3 != 0) not paid (i % 4 != 0).
    std::size_t unpaid = 0;
    for (int i = 0; i < 40; ++i) unpaid += (i % 3 != 0) && (i % 4 != 0);
    EXPECT_EQ(movements.size(), unpaid);
    const auto stock = fixture::readTable(made / "Stok.DB");
    // Item 7: 2 remaining at 105,000 (x scale) old lira; 0.105 goes to the
    // even 0.10, 0.315 to 0.32.
    const double price = host.ytl ? (scale == 1 ? 0.1 : 0.32) : scale * 105000;
    EXPECT_EQ(number(stock[7], "KALF"), price);
    EXPECT_EQ(number(stock[7], "TUTDEV"), price * 2);
  }
  expectPxlibAgrees(data / "sirket.db");
  const auto registry = fixture::readTable(data / "sirket.db");
  ASSERT_EQ(registry.size(), 5u);
  EXPECT_EQ(std::get<std::string>(registry[3].at("KISA_AD").value), "Özdemir Gıda Ltd.Şti. 2006");
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutYtl, EndToEnd, ::testing::Bool());

// The same kind of run on tables whose blocks hold one or a few records
// (the registry's 1085-byte records, the settings' 874), so that every
// append, delete and insert crosses block boundaries.
TEST_F(CarryTest, SmallBlocks) {
  dir.blockSizeKiB(0).registry().company("2005_001", "Ak", 2005).company("2005_002", "Bal", 2005);
  dir.registry().company("2005_003", "Can", 2005);
  for (const char* code : {"2005_001", "2005_002", "2005_003"}) busyCompany(dir.company(code), 1);
  dir.write();
  host.ytl = true;
  run();
  EXPECT_EQ(host.infos, (std::vector<std::string>{"İşlem tamamlandı"}));
  EXPECT_EQ(fixture::readTable(data / "sirket.db").size(), 6u);
  EXPECT_EQ(fixture::readTable(company("2006_003") / "ceksen.DB").size(), 24u);
  if (fixture::pxlib::available()) {
    expectPxlibAgrees(data / "sirket.db");
    expectPxlibAgrees(company("2006_003") / "Char.DB");
  }
}

TEST_F(CarryTest, UpgradeThenCarryForwardOnTheUpgradedDirectory) {
  if (!fixture::pxlib::available()) GTEST_SKIP() << "built without pxlib";
  const fs::path older = tmp.path() / "OLD";
  dir.write();
  // An older directory holding newest-layout tables, so that the upgraded
  // company can be carried forward.
  fixture::DataDir olderDir(older);
  olderDir.withTemplate(false).registry().company("2005_001", "Eski Sürüm", 2005);
  fixture::CompanyDir& c = olderDir.company("2005_001");
  busyCompany(c, 1);
  for (Row& m : c.movements) m["ALPHA3"] = fixture::txt("Müşteri Çeki");
  c.withInvoice();
  olderDir.write();
  host.upgrade = true;
  host.oldDir = older.string();
  const fixture::UnchangedDir olderUnchanged(older);
  ws.NewCompanySequence = 1;
  ASSERT_TRUE(RunEditionUpgrade(host, host.options(), ws));
  RunCarryForward(host, host.options(), ws);
  EXPECT_EQ(host.infos, (std::vector<std::string>{"İşlem tamamlandı"}));
  olderUnchanged.expectUnchanged();

  for (const char* table : {"Char.DB", "Fatura.DB", "ayar.db"})
    expectPxlibAgrees(company("2005_001") / table);
  for (const Row& r : fixture::readTable(company("2005_001") / "Char.DB"))
    EXPECT_EQ(fixture::text(r, "ALPHA3"), "3");
  for (const Row& r : fixture::readTable(company("2006_001") / "Char.DB"))
    EXPECT_EQ(fixture::text(r, "ALPHA3"), "3");
  EXPECT_TRUE(fs::exists(company("2006_001") / "Cari.DB"));
}

}  // namespace
