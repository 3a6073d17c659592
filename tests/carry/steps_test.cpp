// The per-company steps of the carry-forward, checked on the new company's
// tables against values worked out by hand.
#include <cmath>
#include <filesystem>

#include "carry/carry_test_base.h"

namespace fs = std::filesystem;
using jobs::flag;
using jobs::num;
using jobs::Row;
using jobs::txt;

namespace {

double f(const Row& r, const std::string& name) {
  auto it = r.find(name);
  if (it == r.end()) return 0;  // blank
  if (const auto* d = std::get_if<double>(&it->second.value)) return *d;
  return NAN;
}

std::string s(const Row& r, const std::string& name) {
  auto it = r.find(name);
  if (it == r.end()) return "";
  if (const auto* t = std::get_if<std::string>(&it->second.value)) return *t;
  return "<not text>";
}

const Row& byKey(const std::vector<Row>& rows, const std::string& field, const std::string& key) {
  for (const Row& r : rows)
    if (s(r, field) == key) return r;
  throw std::runtime_error("no row " + key);
}

class CarryStepsTest : public CarryTest {
 protected:
  jobs::Company old;
  std::filesystem::path made = data / "2006_001";

  void runOne(const std::string& shortName = "Ak") {
    jobs::writeNewest(data, {jobs::registryRow("2005_001", shortName, num(2005))});
    old.write(company("2005_001"));
    const auto before = jobs::snapshot(company("2005_001"));
    run();
    ASSERT_EQ(host.infos, (std::vector<std::string>{"İşlem tamamlandı"}));
    EXPECT_EQ(jobs::changedFiles(before, jobs::snapshot(company("2005_001"))),
              std::vector<std::string>{})
        << "old company changed";
  }
};

// ---- current-account cards ---------------------------------------------

Row card(const std::string& code, double ktbky, const char* ktbtr, double dtbky,
         const char* dtbtr) {
  Row r{{"CARIKODU", txt(code)}, {"KTBKY", num(ktbky)},     {"DTBKY", num(dtbky)},
        {"KDBRC", num(11)},      {"KHBRC", num(12)},        {"KTBRC", num(13)},
        {"KDALC", num(14)},      {"KHALC", num(15)},        {"KTALC", num(16)},
        {"DDBRC", num(21)},      {"DHBRC", num(22)},        {"DTBRC", num(23)},
        {"DDALC", num(24)},      {"DHALC", num(25)},        {"DTALC", num(26)},
        {"KHBKY", num(17)},      {"DHBKY", num(27)},        {"KDBKY", num(18)},
        {"DDBKY", num(28)},      {"KLIMKPB", num(5000000)}, {"KLIMDVZ", num(300)},
        {"KHBTR", txt("Borç")},  {"DHBTR", txt("Alacak")}};
  if (ktbtr) r["KTBTR"] = txt(ktbtr);
  if (dtbtr) r["DTBTR"] = txt(dtbtr);
  return r;
}

// Expected: the local group on `kSide` with `k`, the foreign one on `dSide`
// with `d`; movements 0.
void expectCarried(const Row& r, double k, const std::string& kSide, double d,
                   const std::string& dSide) {
  SCOPED_TRACE(s(r, "CARIKODU"));
  const bool kCredit = kSide == "Alacak", dCredit = dSide == "Alacak";
  EXPECT_EQ(f(r, "KTBKY"), k);
  EXPECT_EQ(f(r, "KDBKY"), k);
  EXPECT_EQ(f(r, "KTALC"), kCredit ? k : 0);
  EXPECT_EQ(f(r, "KDALC"), kCredit ? k : 0);
  EXPECT_EQ(f(r, "KTBRC"), kCredit ? 0 : k);
  EXPECT_EQ(f(r, "KDBRC"), kCredit ? 0 : k);
  EXPECT_EQ(s(r, "KDBTR"), kSide);
  EXPECT_EQ(f(r, "DTBKY"), d);
  EXPECT_EQ(f(r, "DDBKY"), d);
  EXPECT_EQ(f(r, "DTALC"), dCredit ? d : 0);
  EXPECT_EQ(f(r, "DDALC"), dCredit ? d : 0);
  EXPECT_EQ(f(r, "DTBRC"), dCredit ? 0 : d);
  EXPECT_EQ(f(r, "DDBRC"), dCredit ? 0 : d);
  EXPECT_EQ(s(r, "DDBTR"), dSide);
  for (const char* m : {"KHBRC", "KHALC", "KHBKY", "DHBRC", "DHALC", "DHBKY"})
    EXPECT_EQ(f(r, m), 0) << m;
  // Never touched.
  EXPECT_EQ(s(r, "KHBTR"), "Borç");
  EXPECT_EQ(s(r, "DHBTR"), "Alacak");
  EXPECT_EQ(f(r, "KLIMDVZ"), 300);
}

TEST_F(CarryStepsTest, CardsCarryTheirTotalBalanceOnItsSide) {
  old.cards = {card("A", 250, "Alacak", 40, "Borç"), card("B", 250, "Borç", 40, "Alacak"),
               card("C", 250, nullptr, 40, nullptr), card("D", 250, "alacak", 40, "ALACAK")};
  runOne();
  const auto cards = jobs::readTable(made / "Cari.DB");
  ASSERT_EQ(cards.size(), 4u);
  expectCarried(byKey(cards, "CARIKODU", "A"), 250, "Alacak", 40, "Borç");
  expectCarried(byKey(cards, "CARIKODU", "B"), 250, "Borç", 40, "Alacak");
  expectCarried(byKey(cards, "CARIKODU", "C"), 250, "Borç", 40, "Borç");
  expectCarried(byKey(cards, "CARIKODU", "D"), 250, "Borç", 40, "Borç");
  EXPECT_EQ(f(byKey(cards, "CARIKODU", "A"), "KLIMKPB"), 5000000);  // no YTL: kept
  EXPECT_EQ(s(byKey(cards, "CARIKODU", "C"), "KTBTR"), "");         // side kept blank
}

TEST_F(CarryStepsTest, CardsUnderYtlCarryTheConvertedLocalBalanceOnly) {
  old.cards = {card("A", 5000000, "Alacak", 40, "Borç"), card("B", 12345678, "Borç", 7, "Borç"),
               card("C", -300, "Borç", 0, "Borç")};
  old.cards[2].erase("KLIMKPB");  // blank limit becomes 0
  host.ytl = true;
  runOne();
  const auto cards = jobs::readTable(made / "Cari.DB");
  expectCarried(byKey(cards, "CARIKODU", "A"), 5, "Alacak", 40, "Borç");
  expectCarried(byKey(cards, "CARIKODU", "B"), 12.35, "Borç", 7, "Borç");
  expectCarried(byKey(cards, "CARIKODU", "C"), 0, "Borç", 0, "Borç");
  EXPECT_EQ(f(byKey(cards, "CARIKODU", "A"), "KLIMKPB"), 5);
  EXPECT_TRUE(byKey(cards, "CARIKODU", "C").count("KLIMKPB"));
  EXPECT_EQ(f(byKey(cards, "CARIKODU", "C"), "KLIMKPB"), 0);
}

// ---- stock cards -----------------------------------------------------------

Row item(const std::string& code, double mikkal, double kalf, double dalf) {
  return Row{
      {"STOKKODU", txt(code)}, {"MIKKAL", num(mikkal)}, {"KALF", num(kalf)}, {"DALF", num(dalf)},
      {"MIKDEV", num(1)},      {"MIKGIR", num(2)},      {"MIKCIK", num(3)},  {"TUTDEV", num(4)},
      {"TUTGIR", num(5)},      {"TUTCIK", num(6)},      {"TUTKAL", num(7)},  {"DOVDEV", num(8)},
      {"DOVGIR", num(9)},      {"DOVCIK", num(10)},     {"DOVKAL", num(11)}, {"KSAT1", num(15000)},
      {"KSAT2", num(25000)},   {"KSAT3", num(9999)},    {"KSAT4", num(-5)},  {"DSAT1", num(3.25)}};
}

void expectStock(const Row& r, double mik, double kalf, double dalf) {
  SCOPED_TRACE(s(r, "STOKKODU"));
  EXPECT_EQ(f(r, "MIKDEV"), mik);
  EXPECT_EQ(f(r, "MIKKAL"), mik);
  EXPECT_EQ(f(r, "KALF"), kalf);
  EXPECT_EQ(f(r, "DALF"), dalf);
  EXPECT_EQ(f(r, "TUTDEV"), kalf * mik);
  EXPECT_EQ(f(r, "TUTKAL"), kalf * mik);
  EXPECT_EQ(f(r, "DOVDEV"), dalf * mik);
  EXPECT_EQ(f(r, "DOVKAL"), dalf * mik);
  for (const char* z : {"MIKGIR", "MIKCIK", "TUTGIR", "TUTCIK", "DOVGIR", "DOVCIK"})
    EXPECT_EQ(f(r, z), 0) << z;
  EXPECT_EQ(f(r, "DSAT1"), 3.25);
}

TEST_F(CarryStepsTest, StockCarriesRemainingQuantityValuedAtPurchasePrice) {
  old.stock = {item("S1", 10, 3.5, 2), item("S2", -4, 3.5, 2), item("S3", 0, 3.5, 2)};
  runOne();
  const auto stock = jobs::readTable(made / "Stok.DB");
  ASSERT_EQ(stock.size(), 3u);
  expectStock(byKey(stock, "STOKKODU", "S1"), 10, 3.5, 2);
  expectStock(byKey(stock, "STOKKODU", "S2"), -4, 3.5, 2);
  expectStock(byKey(stock, "STOKKODU", "S3"), 0, 3.5, 2);
  EXPECT_EQ(f(byKey(stock, "STOKKODU", "S1"), "KSAT1"), 15000);
}

TEST_F(CarryStepsTest, StockUnderYtlConvertsTheFiveLocalPricesFirst) {
  old.stock = {item("S1", 10, 5000000, 2)};
  host.ytl = true;
  runOne();
  const Row r = jobs::readTable(made / "Stok.DB").at(0);
  expectStock(r, 10, 5, 2);
  EXPECT_EQ(f(r, "TUTDEV"), 50);
  EXPECT_EQ(f(r, "KSAT1"), 0.02);
  EXPECT_EQ(f(r, "KSAT2"), 0.02);
  EXPECT_EQ(f(r, "KSAT3"), 0.01);
  EXPECT_EQ(f(r, "KSAT4"), 0);
}

// ---- cheques and notes ---------------------------------------------------

Row cheque(const std::string& evrak, const char* state, double amount) {
  Row r{{"EVRAK", txt(evrak)}, {"KTUTAR", num(amount)}, {"DTUTAR", num(amount)}};
  if (state) r["EVRAKDURUM"] = txt(state);
  return r;
}

TEST_F(CarryStepsTest, ChequesKeepOnlyTheThreeOpenStatesExactly) {
  old.cheques = {cheque("1", "Bankada", 1), cheque("2", "Ciro Edildi", 2),
                 cheque("3", "Kasada", 3),  cheque("4", "kasada", 4),
                 cheque("5", nullptr, 5),   cheque("6", "Ödenmedi", 6),
                 cheque("7", "Ödendi", 7),  cheque("8", "ÖDENMEDİ", 8)};
  runOne();
  const auto rows = jobs::readTable(made / "ceksen.DB");
  std::vector<std::string> kept;
  for (const Row& r : rows) kept.push_back(s(r, "EVRAK"));
  EXPECT_EQ(kept, (std::vector<std::string>{"1", "3", "6"}));
  EXPECT_EQ(f(rows.at(1), "KTUTAR"), 3);  // amounts kept without YTL
}

TEST_F(CarryStepsTest, ChequesUnderYtlConvertTheLocalAmountOnly) {
  old.cheques = {cheque("1", "Bankada", 15000), cheque("2", "Kasada", 25000000),
                 cheque("3", "Ödenmedi", -1)};
  old.cheques[2].erase("KTUTAR");
  host.ytl = true;
  host.rounding = 2;  // up
  runOne();
  const auto rows = jobs::readTable(made / "ceksen.DB");
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(f(rows[0], "KTUTAR"), 0.02);
  EXPECT_EQ(f(rows[1], "KTUTAR"), 25);
  EXPECT_TRUE(rows[2].count("KTUTAR")) << "a blank amount is written as 0";
  EXPECT_EQ(f(rows[2], "KTUTAR"), 0);
  EXPECT_EQ(f(rows[0], "DTUTAR"), 15000);
  EXPECT_EQ(f(rows[1], "DTUTAR"), 25000000);
}

TEST_F(CarryStepsTest, NoKeptChequeLeavesAnEmptyTable) {
  old.cheques = {cheque("1", "Ödendi", 1), cheque("2", "", 2)};
  host.ytl = true;
  runOne();
  EXPECT_TRUE(jobs::readTable(made / "ceksen.DB").empty());
}

// ---- instalments -----------------------------------------------------------

Row movement(const std::string& no, Variant taksit, Variant odedi, double amount) {
  Row r{{"EVRAKNO", txt(no)},      {"TARIH", jobs::day(38700)}, {"TUTAR", num(amount)},
        {"IS_TUR", txt("Taksit")}, {"DOVIZ", num(amount)},      {"ALIS", num(1.5)}};
  if (!taksit.isNull()) r["TAKSIT"] = taksit;
  if (!odedi.isNull()) r["ODEDI"] = odedi;
  return r;
}

TEST_F(CarryStepsTest, OnlyUnpaidInstalmentsRemain) {
  old.movements = {movement("ordinary", flag(false), flag(false), 1),
                   movement("ordinary-paid", flag(false), flag(true), 2),
                   movement("paid", flag(true), flag(true), 3),
                   movement("unpaid", flag(true), flag(false), 4),
                   movement("blank-taksit", jobs::blank(), jobs::blank(), 5),
                   movement("blank-odedi", flag(true), jobs::blank(), 6)};
  runOne();
  const auto rows = jobs::readTable(made / "Char.DB");
  std::vector<std::string> kept;
  for (const Row& r : rows) kept.push_back(s(r, "EVRAKNO"));
  EXPECT_EQ(kept, (std::vector<std::string>{"unpaid", "blank-odedi"}));
  EXPECT_EQ(f(rows.at(0), "TUTAR"), 4);
}

TEST_F(CarryStepsTest, InstalmentsUnderYtlConvertTheAmountOnly) {
  old.movements = {movement("a", flag(true), flag(false), 5000),
                   movement("b", flag(true), flag(false), 1234567)};
  host.ytl = true;
  host.rounding = 1;  // down
  runOne();
  const auto rows = jobs::readTable(made / "Char.DB");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(f(rows[0], "TUTAR"), 0);
  EXPECT_EQ(f(rows[1], "TUTAR"), 1.23);
  EXPECT_EQ(f(rows[1], "DOVIZ"), 1234567);
  EXPECT_EQ(f(rows[1], "ALIS"), 1.5);
}

// ---- production ------------------------------------------------------------

TEST_F(CarryStepsTest, ProductionPricesAreConvertedOnlyUnderYtl) {
  old.production = {Row{{"STOKKODU", txt("P1")},
                        {"KFIYAT", num(2500000)},
                        {"DFIYAT", num(9)},
                        {"TMALIYET", num(100)}},
                    Row{{"STOKKODU", txt("P2")}, {"KFIYAT", num(-3)}}};
  host.ytl = true;
  runOne();
  const auto rows = jobs::readTable(made / "urhar.db");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(f(rows[0], "KFIYAT"), 2.5);
  EXPECT_EQ(f(rows[0], "DFIYAT"), 9);
  EXPECT_EQ(f(rows[0], "TMALIYET"), 100);
  EXPECT_EQ(f(rows[1], "KFIYAT"), 0);
}

TEST_F(CarryStepsTest, WithoutYtlTheProductionTableIsTheOldOne) {
  old.production = {Row{{"STOKKODU", txt("P1")}, {"KFIYAT", num(2500000)}}};
  runOne();
  EXPECT_EQ(jobs::readFile(made / "urhar.db"), jobs::readFile(company("2005_001") / "urhar.db"));
}

// ---- registry record and settings -------------------------------------

TEST_F(CarryStepsTest, TheRegistryRecordIsTheOldOneWithNewCodeNameAndYear) {
  runOne("Yirmisekiz Karakterlik İsimA");  // 28 characters
  const auto rows = jobs::readTable(data / "sirket.db");
  ASSERT_EQ(rows.size(), 2u);
  const Row& was = rows[0];
  const Row& made_ = rows[1];
  EXPECT_EQ(s(made_, "SIRKET_KOD"), "2006_001");
  EXPECT_EQ(s(made_, "KISA_AD"), "Yirmisekiz Karakterlik İsimA 2");
  EXPECT_EQ(f(made_, "NUMBER1"), 2006);
  for (const auto& [name, value] : was) {
    if (name == "SIRKET_KOD" || name == "KISA_AD" || name == "NUMBER1") continue;
    ASSERT_TRUE(made_.count(name)) << name;
    EXPECT_EQ(made_.at(name), value) << name;
  }
  EXPECT_EQ(made_.size(), was.size());
}

TEST_F(CarryStepsTest, SettingsAreTheOldCompanysWithoutYtl) {
  runOne();
  const auto rows = jobs::readTable(made / "ayar.db");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0], jobs::readTable(company("2005_001") / "ayar.db").at(0));
}

TEST_F(CarryStepsTest, SettingsUnderYtlGetTheNewCurrency) {
  host.ytl = true;
  runOne();
  const auto rows = jobs::readTable(made / "ayar.db");
  ASSERT_EQ(rows.size(), 1u);
  const Row& r = rows[0];
  EXPECT_EQ(s(r, "PARABIRIMI"), "Yeni Türk Lirası");
  EXPECT_EQ(s(r, "PARASIMGE"), "YTL");
  EXPECT_EQ(s(r, "ALPHA3"), "Yeni Kuruş");
  EXPECT_EQ(s(r, "ALPHA1"), "YKr");
  EXPECT_EQ(s(r, "PRBRHASSAS"), "2");
  EXPECT_EQ(s(r, "ALPHA2"), "1/100");
  EXPECT_EQ(s(r, "DIPNOT"), "Eski dipnot");
  EXPECT_EQ(r.at("SOL_MAR"), Variant{std::int64_t{12}});
}

TEST_F(CarryStepsTest, AnEmptyOldSettingsTableStillGivesTheNewOneARow) {
  old.settings.clear();
  host.ytl = true;
  runOne();
  const auto rows = jobs::readTable(made / "ayar.db");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(s(rows[0], "PARASIMGE"), "YTL");
  EXPECT_EQ(s(rows[0], "DIPNOT"), "");
}

}  // namespace
