// The per-company steps of the carry-forward, checked on the new company's
// tables against values worked out by hand.
#include <cmath>
#include <filesystem>
#include <optional>

#include "carry/carry_test_base.h"

namespace fs = std::filesystem;
using fixture::CompanyDir;
using fixture::num;
using fixture::number;
using fixture::Row;
using fixture::text;
using fixture::texts;
using fixture::txt;

namespace {

const Row& byKey(const std::vector<Row>& rows, const std::string& field, const std::string& key) {
  for (const Row& r : rows)
    if (text(r, field) == key) return r;
  throw std::runtime_error("no row " + key);
}

class CarryStepsTest : public CarryTest {
 protected:
  CompanyDir& old = dir.company("2005_001");
  fs::path made = data / "2006_001";

  void runOne(const std::string& shortName = "Ak", Row registryDetails = {}) {
    dir.registry().company("2005_001", shortName, 2005, std::move(registryDetails));
    dir.write();
    const fixture::UnchangedDir oldCompany(company("2005_001"));
    run();
    ASSERT_EQ(host.infos, (std::vector<std::string>{"İşlem tamamlandı"}));
    oldCompany.expectUnchanged();
  }
};

// ---- current-account cards ---------------------------------------------

// A card with its local balance `k` on `kSide` and its foreign balance `d` on
// `dSide`; KDBTR starts blank, KHBTR, DHBTR and KLIMDVZ hold values the
// carry-forward leaves alone.
void card(CompanyDir& c, const std::string& code, double k, const std::string& kSide, double d,
          const std::string& dSide, const Row& extra = {}) {
  Row r = CompanyDir::foreignBalance(d, dSide);
  const Row fixed{
      {"KDBTR", {}}, {"KHBTR", txt("Borç")}, {"DHBTR", txt("Alacak")}, {"KLIMDVZ", num(300)}};
  for (const Row* more : {&fixed, &extra})
    for (const auto& [name, value] : *more) r[name] = value;
  c.withCard(code, k, kSide, r);
}

// Expected: the local group on `kSide` with `k`, the foreign one on `dSide`
// with `d`; movements 0.
void expectCarried(const Row& r, double k, const std::string& kSide, double d,
                   const std::string& dSide) {
  SCOPED_TRACE(text(r, "CARIKODU"));
  const bool kCredit = kSide == "Alacak", dCredit = dSide == "Alacak";
  EXPECT_EQ(number(r, "KTBKY"), k);
  EXPECT_EQ(number(r, "KDBKY"), k);
  EXPECT_EQ(number(r, "KTALC"), kCredit ? k : 0);
  EXPECT_EQ(number(r, "KDALC"), kCredit ? k : 0);
  EXPECT_EQ(number(r, "KTBRC"), kCredit ? 0 : k);
  EXPECT_EQ(number(r, "KDBRC"), kCredit ? 0 : k);
  EXPECT_EQ(text(r, "KDBTR"), kSide);
  EXPECT_EQ(number(r, "DTBKY"), d);
  EXPECT_EQ(number(r, "DDBKY"), d);
  EXPECT_EQ(number(r, "DTALC"), dCredit ? d : 0);
  EXPECT_EQ(number(r, "DDALC"), dCredit ? d : 0);
  EXPECT_EQ(number(r, "DTBRC"), dCredit ? 0 : d);
  EXPECT_EQ(number(r, "DDBRC"), dCredit ? 0 : d);
  EXPECT_EQ(text(r, "DDBTR"), dSide);
  for (const char* m : {"KHBRC", "KHALC", "KHBKY", "DHBRC", "DHALC", "DHBKY"})
    EXPECT_EQ(number(r, m), 0) << m;
  // Never touched.
  EXPECT_EQ(text(r, "KHBTR"), "Borç");
  EXPECT_EQ(text(r, "DHBTR"), "Alacak");
  EXPECT_EQ(number(r, "KLIMDVZ"), 300);
}

TEST_F(CarryStepsTest, CardsCarryTheirTotalBalanceOnItsSide) {
  card(old, "A", 250, "Alacak", 40, "Borç");
  card(old, "B", 250, "Borç", 40, "Alacak");
  card(old, "C", 250, "", 40, "");
  card(old, "D", 250, "alacak", 40, "ALACAK");
  runOne();
  const auto cards = fixture::readTable(made / "Cari.DB");
  ASSERT_EQ(cards.size(), 4u);
  expectCarried(byKey(cards, "CARIKODU", "A"), 250, "Alacak", 40, "Borç");
  expectCarried(byKey(cards, "CARIKODU", "B"), 250, "Borç", 40, "Alacak");
  expectCarried(byKey(cards, "CARIKODU", "C"), 250, "Borç", 40, "Borç");
  expectCarried(byKey(cards, "CARIKODU", "D"), 250, "Borç", 40, "Borç");
  EXPECT_EQ(number(byKey(cards, "CARIKODU", "A"), "KLIMKPB"), 5000000);  // no YTL: kept
  EXPECT_EQ(text(byKey(cards, "CARIKODU", "C"), "KTBTR"), "");           // side kept blank
}

TEST_F(CarryStepsTest, CardsUnderYtlCarryTheConvertedLocalBalanceOnly) {
  card(old, "A", 5000000, "Alacak", 40, "Borç");
  card(old, "B", 12345678, "Borç", 7, "Borç");
  card(old, "C", -300, "Borç", 0, "Borç", {{"KLIMKPB", {}}});  // blank limit becomes 0
  host.ytl = true;
  runOne();
  const auto cards = fixture::readTable(made / "Cari.DB");
  expectCarried(byKey(cards, "CARIKODU", "A"), 5, "Alacak", 40, "Borç");
  expectCarried(byKey(cards, "CARIKODU", "B"), 12.35, "Borç", 7, "Borç");
  expectCarried(byKey(cards, "CARIKODU", "C"), 0, "Borç", 0, "Borç");
  EXPECT_EQ(number(byKey(cards, "CARIKODU", "A"), "KLIMKPB"), 5);
  EXPECT_TRUE(byKey(cards, "CARIKODU", "C").count("KLIMKPB"));
  EXPECT_EQ(number(byKey(cards, "CARIKODU", "C"), "KLIMKPB"), 0);
}

// ---- stock cards -----------------------------------------------------------

// `mik` remaining at the purchase prices `kalf` and `dalf`; sale prices that
// show the YTL rounding.
void item(CompanyDir& c, const std::string& code, double mik, double kalf, double dalf) {
  c.withStock(code, mik, 100,
              {{"KALF", num(kalf)},
               {"DALF", num(dalf)},
               {"DOVGIR", num(9)},
               {"DOVCIK", num(10)},
               {"KSAT1", num(15000)},
               {"KSAT2", num(25000)},
               {"KSAT3", num(9999)},
               {"KSAT4", num(-5)},
               {"DSAT1", num(3.25)}});
}

void expectStock(const Row& r, double mik, double kalf, double dalf) {
  SCOPED_TRACE(text(r, "STOKKODU"));
  EXPECT_EQ(number(r, "MIKDEV"), mik);
  EXPECT_EQ(number(r, "MIKKAL"), mik);
  EXPECT_EQ(number(r, "KALF"), kalf);
  EXPECT_EQ(number(r, "DALF"), dalf);
  EXPECT_EQ(number(r, "TUTDEV"), kalf * mik);
  EXPECT_EQ(number(r, "TUTKAL"), kalf * mik);
  EXPECT_EQ(number(r, "DOVDEV"), dalf * mik);
  EXPECT_EQ(number(r, "DOVKAL"), dalf * mik);
  for (const char* z : {"MIKGIR", "MIKCIK", "TUTGIR", "TUTCIK", "DOVGIR", "DOVCIK"})
    EXPECT_EQ(number(r, z), 0) << z;
  EXPECT_EQ(number(r, "DSAT1"), 3.25);
}

TEST_F(CarryStepsTest, StockCarriesRemainingQuantityValuedAtPurchasePrice) {
  item(old, "S1", 10, 3.5, 2);
  item(old, "S2", -4, 3.5, 2);
  item(old, "S3", 0, 3.5, 2);
  runOne();
  const auto stock = fixture::readTable(made / "Stok.DB");
  ASSERT_EQ(stock.size(), 3u);
  expectStock(byKey(stock, "STOKKODU", "S1"), 10, 3.5, 2);
  expectStock(byKey(stock, "STOKKODU", "S2"), -4, 3.5, 2);
  expectStock(byKey(stock, "STOKKODU", "S3"), 0, 3.5, 2);
  EXPECT_EQ(number(byKey(stock, "STOKKODU", "S1"), "KSAT1"), 15000);
}

TEST_F(CarryStepsTest, StockUnderYtlConvertsTheFiveLocalPricesFirst) {
  item(old, "S1", 10, 5000000, 2);
  host.ytl = true;
  runOne();
  const Row r = fixture::readTable(made / "Stok.DB").at(0);
  expectStock(r, 10, 5, 2);
  EXPECT_EQ(number(r, "TUTDEV"), 50);
  EXPECT_EQ(number(r, "KSAT1"), 0.02);
  EXPECT_EQ(number(r, "KSAT2"), 0.02);
  EXPECT_EQ(number(r, "KSAT3"), 0.01);
  EXPECT_EQ(number(r, "KSAT4"), 0);
}

// ---- cheques and notes ---------------------------------------------------

TEST_F(CarryStepsTest, ChequesKeepOnlyTheThreeOpenStatesExactly) {
  const char* const states[] = {"Bankada", "Ciro Edildi", "Kasada", "kasada",
                                "",        "Ödenmedi",    "Ödendi", "ÖDENMEDİ"};
  for (int i = 0; i < 8; ++i) old.withCheque(states[i], i + 1);  // EVRAK ÇEK-1001 on
  runOne();
  const auto rows = fixture::readTable(made / "ceksen.DB");
  EXPECT_EQ(texts(rows, "EVRAK"), (std::vector<std::string>{"ÇEK-1001", "ÇEK-1003", "ÇEK-1006"}));
  EXPECT_EQ(number(rows.at(1), "KTUTAR"), 3);  // amounts kept without YTL
}

TEST_F(CarryStepsTest, ChequesUnderYtlConvertTheLocalAmountOnly) {
  old.withCheque("Bankada", 15000, {{"DTUTAR", num(15000)}})
      .withCheque("Kasada", 25000000, {{"DTUTAR", num(25000000)}})
      .withCheque("Ödenmedi", -1, {{"KTUTAR", {}}});
  host.ytl = true;
  host.rounding = 2;  // up
  runOne();
  const auto rows = fixture::readTable(made / "ceksen.DB");
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(number(rows[0], "KTUTAR"), 0.02);
  EXPECT_EQ(number(rows[1], "KTUTAR"), 25);
  EXPECT_TRUE(rows[2].count("KTUTAR")) << "a blank amount is written as 0";
  EXPECT_EQ(number(rows[2], "KTUTAR"), 0);
  EXPECT_EQ(number(rows[0], "DTUTAR"), 15000);
  EXPECT_EQ(number(rows[1], "DTUTAR"), 25000000);
}

TEST_F(CarryStepsTest, NoKeptChequeLeavesAnEmptyTable) {
  old.withCheque("Ödendi", 1).withCheque("", 2);
  host.ytl = true;
  runOne();
  EXPECT_TRUE(fixture::readTable(made / "ceksen.DB").empty());
}

// ---- instalments -----------------------------------------------------------

// An instalment movement (EVRAKNO E5001 on); TAKSIT and ODEDI blank when not given.
void instalment(CompanyDir& c, std::optional<bool> taksit, std::optional<bool> odedi,
                double amount) {
  c.withMovement({.amount = amount,
                  .instalment = taksit,
                  .paid = odedi,
                  .type = "Taksit",
                  .date = 38700,
                  .extra = {{"DOVIZ", num(amount)}, {"ALIS", num(1.5)}}});
}

TEST_F(CarryStepsTest, OnlyUnpaidInstalmentsRemain) {
  instalment(old, false, false, 1);
  instalment(old, false, true, 2);
  instalment(old, true, true, 3);
  instalment(old, true, false, 4);  // unpaid
  instalment(old, std::nullopt, std::nullopt, 5);
  instalment(old, true, std::nullopt, 6);  // blank ODEDI: unpaid
  runOne();
  const auto rows = fixture::readTable(made / "Char.DB");
  EXPECT_EQ(texts(rows, "EVRAKNO"), (std::vector<std::string>{"E5004", "E5006"}));
  EXPECT_EQ(number(rows.at(0), "TUTAR"), 4);
}

TEST_F(CarryStepsTest, InstalmentsUnderYtlConvertTheAmountOnly) {
  instalment(old, true, false, 5000);
  instalment(old, true, false, 1234567);
  host.ytl = true;
  host.rounding = 1;  // down
  runOne();
  const auto rows = fixture::readTable(made / "Char.DB");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(number(rows[0], "TUTAR"), 0);
  EXPECT_EQ(number(rows[1], "TUTAR"), 1.23);
  EXPECT_EQ(number(rows[1], "DOVIZ"), 1234567);
  EXPECT_EQ(number(rows[1], "ALIS"), 1.5);
}

// ---- production ------------------------------------------------------------

TEST_F(CarryStepsTest, ProductionPricesAreConvertedOnlyUnderYtl) {
  old.withProduction("P1", 1, 2500000, {{"DFIYAT", num(9)}, {"TMALIYET", num(100)}})
      .withProduction("P2", 1, -3);
  host.ytl = true;
  runOne();
  const auto rows = fixture::readTable(made / "urhar.db");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(number(rows[0], "KFIYAT"), 2.5);
  EXPECT_EQ(number(rows[0], "DFIYAT"), 9);
  EXPECT_EQ(number(rows[0], "TMALIYET"), 100);
  EXPECT_EQ(number(rows[1], "KFIYAT"), 0);
}

TEST_F(CarryStepsTest, WithoutYtlTheProductionTableIsTheOldOne) {
  old.withProduction("P1", 1, 2500000);
  runOne();
  EXPECT_TRUE(fixture::readFileBytes(made / "urhar.db") ==
              fixture::readFileBytes(company("2005_001") / "urhar.db"));
}

// ---- registry record and settings -------------------------------------

TEST_F(CarryStepsTest, TheRegistryRecordIsTheOldOneWithNewCodeNameAndYear) {
  runOne("Yirmisekiz Karakterlik İsimA",  // 28 characters
         {{"UNVAN", txt("Ak Ticaret")},
          {"VERGINO", txt("1234567890")},
          {"ADRES", txt("Atatürk Cad. No: 1")},
          {"KURULUSTAR", fixture::day(36526)},
          {"LOJIK2", fixture::flag(true)},
          {"KAYITTARIHI", fixture::day(38353)},
          {"NUMBER3", num(7.5)},
          {"ALPHA5", txt("genel")}});
  const auto rows = fixture::readTable(data / "sirket.db");
  ASSERT_EQ(rows.size(), 2u);
  const Row& was = rows[0];
  const Row& made_ = rows[1];
  EXPECT_EQ(text(made_, "SIRKET_KOD"), "2006_001");
  EXPECT_EQ(text(made_, "KISA_AD"), "Yirmisekiz Karakterlik İsimA 2");
  EXPECT_EQ(number(made_, "NUMBER1"), 2006);
  for (const auto& [name, value] : was) {
    if (name == "SIRKET_KOD" || name == "KISA_AD" || name == "NUMBER1") continue;
    ASSERT_TRUE(made_.count(name)) << name;
    EXPECT_EQ(made_.at(name), value) << name;
  }
  EXPECT_EQ(made_.size(), was.size());
}

TEST_F(CarryStepsTest, SettingsAreTheOldCompanysWithoutYtl) {
  runOne();
  const auto rows = fixture::readTable(made / "ayar.db");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0], fixture::readTable(company("2005_001") / "ayar.db").at(0));
}

TEST_F(CarryStepsTest, SettingsUnderYtlGetTheNewCurrency) {
  old.settings({{"ALPHA2", {}}});
  host.ytl = true;
  runOne();
  const auto rows = fixture::readTable(made / "ayar.db");
  ASSERT_EQ(rows.size(), 1u);
  const Row& r = rows[0];
  EXPECT_EQ(text(r, "PARABIRIMI"), "Yeni Türk Lirası");
  EXPECT_EQ(text(r, "PARASIMGE"), "YTL");
  EXPECT_EQ(text(r, "ALPHA3"), "Yeni Kuruş");
  EXPECT_EQ(text(r, "ALPHA1"), "YKr");
  EXPECT_EQ(text(r, "PRBRHASSAS"), "2");
  EXPECT_EQ(text(r, "ALPHA2"), "1/100");
  // The fixture's own values, kept.
  EXPECT_EQ(text(r, "DIPNOT"), "Bu belge bilgisayar çıktısıdır.");
  EXPECT_EQ(r.at("SOL_MAR"), Variant{std::int64_t{10}});
}

TEST_F(CarryStepsTest, AnEmptyOldSettingsTableStillGivesTheNewOneARow) {
  old.withoutSettings();
  host.ytl = true;
  runOne();
  const auto rows = fixture::readTable(made / "ayar.db");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(text(rows[0], "PARASIMGE"), "YTL");
  EXPECT_EQ(text(rows[0], "DIPNOT"), "");
}

}  // namespace
