// Whole carry-forward runs over a data directory of several companies, with
// and without YTL, and the edition upgrade followed by the carry-forward;
// pxlib reads every table the jobs changed and agrees with our engine.
#include <filesystem>

#include "carry/carry_test_base.h"
#include "upgrade/upgrade.h"

namespace fs = std::filesystem;
using jobs::flag;
using jobs::num;
using jobs::Row;
using jobs::txt;

namespace {

void expectPxlibAgrees(const fs::path& dbFile) {
  const auto diff = jobs::pxlibDisagreements(dbFile);
  if (diff == std::vector<std::string>{"pxlib unavailable"}) return;  // reported by the caller
  EXPECT_TRUE(diff.empty()) << dbFile << ": " << diff.front();
}

double amount(const Row& r, const std::string& name) {
  auto it = r.find(name);
  return it == r.end() ? 0 : std::get<double>(it->second.value);
}

jobs::Company busyCompany(double scale) {
  jobs::Company c;
  for (int i = 0; i < 40; ++i) {
    const double v = scale * (i * 250000 + 5000);
    c.cards.push_back(Row{{"CARIKODU", txt("120." + std::to_string(i))},
                          {"UNVAN", txt("Müşteri " + std::to_string(i))},
                          {"KTBKY", num(v)},
                          {"KTBTR", txt(i % 2 ? "Alacak" : "Borç")},
                          {"KHBRC", num(v)},
                          {"DTBKY", num(i)},
                          {"DTBTR", txt("Alacak")}});
    c.stock.push_back(Row{{"STOKKODU", txt("S" + std::to_string(i))},
                          {"MIKKAL", num(i - 5)},
                          {"KALF", num(scale * 15000 * i)},
                          {"KSAT1", num(scale * 25000)},
                          {"MIKGIR", num(99)}});
    static const char* const kStates[] = {"Bankada", "Kasada", "Ödenmedi", "Ödendi", "Ciro"};
    c.cheques.push_back(Row{{"EVRAK", txt(std::to_string(i))},
                            {"EVRAKDURUM", txt(kStates[i % 5])},
                            {"KTUTAR", num(scale * 1000000 * i)}});
    c.movements.push_back(Row{{"EVRAKNO", txt(std::to_string(i))},
                              {"TARIH", jobs::day(38700 + i)},
                              {"TUTAR", num(scale * 333333 * i)},
                              {"IS_TUR", txt("Taksit")},
                              {"TAKSIT", flag(i % 3 != 0)},
                              {"ODEDI", flag(i % 4 == 0)}});
    c.production.push_back(
        Row{{"STOKKODU", txt("S" + std::to_string(i))}, {"KFIYAT", num(scale * 9999 * i)}});
  }
  return c;
}

class EndToEnd : public CarryTest, public ::testing::WithParamInterface<bool> {};

TEST_P(EndToEnd, CarriesEveryCompanyOfTheYearAndLeavesTheOldOnesAlone) {
  if (!fixture::pxlib::available()) GTEST_SKIP() << "built without pxlib";
  host.ytl = GetParam();
  jobs::writeNewest(data, {jobs::registryRow("2004_001", "Geçen", num(2004)),
                           jobs::registryRow("2005_001", "Özdemir Gıda Ltd.Şti.", num(2005)),
                           jobs::registryRow("2005_002", "Şahin", num(2005))});
  busyCompany(1).write(company("2005_001"));
  busyCompany(3).write(company("2005_002"));
  jobs::Company{}.write(company("2004_001"));
  const auto before = jobs::snapshot(data);
  run();
  ASSERT_EQ(host.infos, (std::vector<std::string>{"İşlem tamamlandı"}));

  // Old companies and the template byte for byte as they were.
  std::vector<std::string> changed;
  for (const std::string& f : jobs::changedFiles(before, jobs::snapshot(data)))
    if (f.rfind("sirket.", 0) != 0 && f.find(" (added)") == std::string::npos) changed.push_back(f);
  EXPECT_EQ(changed, std::vector<std::string>{}) << "only the registry and new companies change";

  for (const char* code : {"2006_001", "2006_002"}) {
    SCOPED_TRACE(code);
    const fs::path made = company(code);
    const double scale = code == std::string("2006_001") ? 1 : 3;
    for (const char* table : {"Cari.DB", "Stok.DB", "ceksen.DB", "Char.DB", "urhar.db", "ayar.db"})
      expectPxlibAgrees(made / table);
    const auto cards = jobs::readTable(made / "Cari.DB");
    ASSERT_EQ(cards.size(), 40u);
    // Card 9: 9 * 250000 + 5000 = 2,255,000 old lira (x scale) on the credit
    // side; 2.255 rounds up to 2.26 and 6.765 down to 6.76, halves to even.
    EXPECT_EQ(amount(cards[9], "KDALC"), host.ytl ? (scale == 1 ? 2.26 : 6.76) : scale * 2255000);
    EXPECT_EQ(amount(cards[9], "KDBRC"), 0);
    const auto cheques = jobs::readTable(made / "ceksen.DB");
    EXPECT_EQ(cheques.size(), 24u);  // three of every five states kept
    const auto movements = jobs::readTable(made / "Char.DB");
    // Kept: instalments (i % 3 != 0) not paid (i % 4 != 0).
    std::size_t unpaid = 0;
    for (int i = 0; i < 40; ++i) unpaid += (i % 3 != 0) && (i % 4 != 0);
    EXPECT_EQ(movements.size(), unpaid);
    const auto stock = jobs::readTable(made / "Stok.DB");
    // Item 7: 2 remaining at 105,000 (x scale) old lira; 0.105 goes to the
    // even 0.10, 0.315 to 0.32.
    const double price = host.ytl ? (scale == 1 ? 0.1 : 0.32) : scale * 105000;
    EXPECT_EQ(amount(stock[7], "KALF"), price);
    EXPECT_EQ(amount(stock[7], "TUTDEV"), price * 2);
  }
  expectPxlibAgrees(data / "sirket.db");
  const auto registry = jobs::readTable(data / "sirket.db");
  ASSERT_EQ(registry.size(), 5u);
  EXPECT_EQ(std::get<std::string>(registry[3].at("KISA_AD").value), "Özdemir Gıda Ltd.Şti. 2006");
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutYtl, EndToEnd, ::testing::Bool());

// The same kind of run on tables whose blocks hold one or a few records
// (the registry's 1085-byte records, the settings' 874), so that every
// append, delete and insert crosses block boundaries.
TEST_F(CarryTest, SmallBlocks) {
  jobs::setBlockSizeKiB(0);
  jobs::writeNewest(data, {jobs::registryRow("2005_001", "Ak", num(2005)),
                           jobs::registryRow("2005_002", "Bal", num(2005)),
                           jobs::registryRow("2005_003", "Can", num(2005))});
  for (const char* code : {"2005_001", "2005_002", "2005_003"}) busyCompany(1).write(company(code));
  host.ytl = true;
  run();
  EXPECT_EQ(host.infos, (std::vector<std::string>{"İşlem tamamlandı"}));
  EXPECT_EQ(jobs::readTable(data / "sirket.db").size(), 6u);
  EXPECT_EQ(jobs::readTable(company("2006_003") / "ceksen.DB").size(), 24u);
  if (fixture::pxlib::available()) {
    expectPxlibAgrees(data / "sirket.db");
    expectPxlibAgrees(company("2006_003") / "Char.DB");
  }
}

TEST_F(CarryTest, UpgradeThenCarryForwardOnTheUpgradedDirectory) {
  if (!fixture::pxlib::available()) GTEST_SKIP() << "built without pxlib";
  const fs::path older = tmp.path() / "OLD";
  jobs::writeNewest(data, {});
  jobs::writeTable(older / "sirket.DB", schema::Sirket(),
                   {jobs::registryRow("2005_001", "Eski Sürüm", num(2005))}, 1);
  jobs::Company c = busyCompany(1);
  for (Row& m : c.movements) m["ALPHA3"] = txt("Müşteri Çeki");
  c.invoices = {Row{{"FATNO", txt("1")}}};
  c.write(older / "2005_001");
  host.upgrade = true;
  host.oldDir = older.string();
  const auto olderBefore = jobs::snapshot(older);
  ws.NewCompanySequence = 1;
  ASSERT_TRUE(RunEditionUpgrade(host, ws));
  RunCarryForward(host, ws);
  EXPECT_EQ(host.infos, (std::vector<std::string>{"İşlem tamamlandı"}));
  EXPECT_EQ(jobs::changedFiles(olderBefore, jobs::snapshot(older)), std::vector<std::string>{});

  for (const char* table : {"Char.DB", "Fatura.DB", "ayar.db"})
    expectPxlibAgrees(company("2005_001") / table);
  for (const Row& r : jobs::readTable(company("2005_001") / "Char.DB"))
    EXPECT_EQ(std::get<std::string>(r.at("ALPHA3").value), "3");
  for (const Row& r : jobs::readTable(company("2006_001") / "Char.DB"))
    EXPECT_EQ(std::get<std::string>(r.at("ALPHA3").value), "3");
  EXPECT_TRUE(fs::exists(company("2006_001") / "Cari.DB"));
}

}  // namespace
