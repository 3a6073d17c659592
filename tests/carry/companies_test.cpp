// Company list, new company codes, selection and the company loop.

#include <filesystem>

#include "carry/carry_test_base.h"
#include "carry/steps.h"
#include "support/testos.h"

namespace fs = std::filesystem;

namespace {

TEST(PadTo3Digits, FillsWithZerosToThreeCharacters) {
  EXPECT_EQ(PadTo3Digits(1), "001");
  EXPECT_EQ(PadTo3Digits(42), "042");
  EXPECT_EQ(PadTo3Digits(999), "999");
}

TEST_F(CarryTest, ListsTheCompaniesOfTheSourceYearInRegistryOrder) {
  dir.registry()
      .company("2004_001", "Eski", 2004)
      .company("2005_001", "Özdemir Gıda Ltd.Şti.", 2005)
      .company("2005_002", "Kaya", 2005)
      .company("2005_003", "Kesirli", fixture::num(2005.5));
  dir.write();
  confirm = false;
  const fixture::UnchangedDir unchanged(data);
  run();
  EXPECT_EQ(listed, (std::vector<std::string>{"2005_001 2006_001 X", "2005_002 2006_002 X"}));
  // Cancelling ends the run silently and changes nothing on disk.
  EXPECT_TRUE(host.infos.empty());
  EXPECT_FALSE(host.statusVisible);
  unchanged.expectUnchanged();
}

TEST_F(CarryTest, AnEmptySourceYearListsTheCompaniesWithoutAYear) {
  dir.registry().company("2005_001", "Yıllı", 2005).company("X_001", "Yılsız", Variant{});
  dir.write();
  host.fromYear = "";
  confirm = false;
  run();
  EXPECT_EQ(listed, (std::vector<std::string>{"X_001 2006_001 X"}));
}

TEST_F(CarryTest, CodesSkipNumbersWhoseDirectoryExists) {
  dir.registry().company("2005_001", "A", 2005).company("2005_002", "B", 2005);
  dir.registry().company("2005_003", "C", 2005);
  dir.write();
  fs::create_directories(data / "2006_002");
  confirm = false;
  run();
  EXPECT_EQ(listed, (std::vector<std::string>{"2005_001 2006_001 X", "2005_002 2006_003 X",
                                              "2005_003 2006_004 X"}));
}

TEST_F(CarryTest, AnEmptyTargetYearGivesCodesOfTheNumberAlone) {
  dir.registry().company("2005_001", "A", 2005).company("2005_002", "B", 2005);
  dir.write();
  host.toYear = "";
  confirm = false;
  run();
  EXPECT_EQ(listed, (std::vector<std::string>{"2005_001 _001 X", "2005_002 _002 X"}));
}

TEST_F(CarryTest, NoFreeNumberLeftStopsWithAMessageBeforeTheDialog) {
  dir.registry().company("2005_001", "A", 2005);
  dir.write();
  for (int n = 1; n <= 999; ++n) fs::create_directories(data / ("2006_" + PadTo3Digits(n)));
  run();
  EXPECT_EQ(host.selectCalls, 0);
  ASSERT_EQ(host.infos.size(), 1u);
  EXPECT_NE(host.infos[0].find("2006_999"), std::string::npos) << host.infos[0];
  EXPECT_TRUE(ws.RxSirket.rowCount() <= 1);
}

TEST_F(CarryTest, AMissingRegistryStopsWithItsMessage) {
  fs::create_directories(data);
  run();
  EXPECT_EQ(host.selectCalls, 0);
  EXPECT_EQ(host.infos, (std::vector<std::string>{
                            "Pravex programının şirket bilgilerine ulaşılamadı.\r\nData dizininin "
                            "yolunu kontrol ediniz."}));
}

// ---- whole runs ---------------------------------------------------------

class CarryRunTest : public CarryTest {
 protected:
  void writeThree() {
    dir.registry().company("2005_001", "Ak", 2005).company("2005_002", "Bal", 2005);
    dir.registry().company("2005_003", "Can", 2005);
    for (const char* code : {"2005_001", "2005_002", "2005_003"}) dir.company(code);
    dir.write();
  }
  std::vector<std::string> registryCodes() {
    return fixture::texts(fixture::readTable(data / "sirket.db"), "SIRKET_KOD");
  }
};

TEST_F(CarryRunTest, ADeselectedCompanyKeepsItsCodeAndIsNotCreated) {
  writeThree();
  deselect = {"2005_001"};
  const fixture::UnchangedDir old(company("2005_002"));
  run();
  EXPECT_EQ(listed, (std::vector<std::string>{"2005_001 2006_001 -", "2005_002 2006_002 X",
                                              "2005_003 2006_003 X"}));
  EXPECT_FALSE(fs::exists(company("2006_001")));
  EXPECT_TRUE(fs::exists(company("2006_002")));
  EXPECT_TRUE(fs::exists(company("2006_003")));
  EXPECT_EQ(host.infos, (std::vector<std::string>{"İşlem tamamlandı"}));
  EXPECT_FALSE(host.gaugeVisible);
  EXPECT_FALSE(host.statusVisible);
  old.expectUnchanged();
}

TEST_F(CarryRunTest, ASecondRunStartsAgainAtOneAndSkipsTheFirstRunsDirectories) {
  writeThree();
  deselect = {"2005_003"};
  run();
  deselect = {};
  run();
  // The two companies the first run carried are offered unselected, without
  // a code: the next free number goes to the company that is carried.
  EXPECT_EQ(listed,
            (std::vector<std::string>{"2005_001  -", "2005_002  -", "2005_003 2006_003 X"}));
  EXPECT_EQ(registryCodes(), (std::vector<std::string>{"2005_001", "2005_002", "2005_003",
                                                       "2006_001", "2006_002", "2006_003"}));
}

// New codes when one company was carried already (Ak into 2006_001): the
// program unticks it and gives it no code; the user then unticks and ticks
// rows as a console's --companies or the dialog's clicks do.
struct Numbering {
  const char* what;
  std::vector<std::string> untick, tick;
  std::vector<std::string> carried;  // the list as carried: "CODE NEWCODE X|-"
};

void PrintTo(const Numbering& c, std::ostream* os) {
  *os << c.what;
}

class CarryNumberingTest : public CarryRunTest, public ::testing::WithParamInterface<Numbering> {};

TEST_P(CarryNumberingTest, CarriedRowsTakeNoNumberUntilTickedAgain) {
  const Numbering& c = GetParam();
  writeThree();
  dir.registry().company("2006_001", "Ak 2006", 2006);
  dir.company("2006_001");
  dir.write();
  std::vector<std::string> notes;
  host.onSelect = [&](CompanyList& list) {
    listed.clear();
    for (list.first(); !list.eof(); list.next()) {
      listed.push_back(list.text("SIRKET_KOD") + " " + list.text("YENI_SIRKET_KOD") + " " +
                       (list.selected() ? "X" : "-"));
      notes.push_back(list.noteAt(list.currentRow()));
      for (const std::string& code : c.untick)
        if (list.text("SIRKET_KOD") == code) list.setValue("DEVIR", Variant{false});
      for (const std::string& code : c.tick)
        if (list.text("SIRKET_KOD") == code) list.setValue("DEVIR", Variant{true});
    }
    return true;
  };
  run();
  EXPECT_EQ(listed, (std::vector<std::string>{"2005_001  -", "2005_002 2006_002 X",
                                              "2005_003 2006_003 X"}));
  EXPECT_EQ(notes, (std::vector<std::string>{
                       "2005_001 zaten 2006_001 koduyla 2006 yılına devredilmiş", "", ""}));
  EXPECT_EQ(host.infos, (std::vector<std::string>{"İşlem tamamlandı"}));
  std::vector<std::string> carried;
  CompanyList& list = ws.RxSirket;
  for (list.first(); !list.eof(); list.next()) {
    const std::string code = list.text("YENI_SIRKET_KOD");
    carried.push_back(list.text("SIRKET_KOD") + " " + code + " " + (list.selected() ? "X" : "-"));
    if (!code.empty())
      EXPECT_EQ(fs::exists(company(code)), list.selected() || code == "2006_001") << code;
  }
  EXPECT_EQ(carried, c.carried);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CarryNumberingTest,
    ::testing::Values(
        Numbering{
            "as offered", {}, {}, {"2005_001  -", "2005_002 2006_002 X", "2005_003 2006_003 X"}},
        Numbering{"the carried one ticked again draws the next free number",
                  {},
                  {"2005_001"},
                  {"2005_001 2006_004 X", "2005_002 2006_002 X", "2005_003 2006_003 X"}},
        Numbering{"a row the user unticks keeps its code and its number",
                  {"2005_002"},
                  {"2005_001"},
                  {"2005_001 2006_004 X", "2005_002 2006_002 -", "2005_003 2006_003 X"}}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

// A registry row whose directory was removed by hand keeps its code: a new
// company given that code could never be registered (the run would end with
// a key violation after building it), so the number is passed over.
TEST_F(CarryRunTest, CodesSkipNumbersTheRegistryHoldsWithoutADirectory) {
  dir.registry().company("2005_001", "Ak", 2005).company("2006_001", "Silinmiş", 2006);
  dir.registry().company("2005_002", "Bal", 2005);
  dir.company("2005_001");
  dir.company("2005_002");
  dir.write();
  fs::create_directories(data / "2006_003");
  run();
  EXPECT_EQ(listed, (std::vector<std::string>{"2005_001 2006_002 X", "2005_002 2006_004 X"}));
  EXPECT_EQ(host.infos, (std::vector<std::string>{"İşlem tamamlandı"}));
  EXPECT_FALSE(fs::exists(company("2006_001")));
  EXPECT_EQ(registryCodes(),
            (std::vector<std::string>{"2005_001", "2005_002", "2006_001", "2006_002", "2006_004"}));
}

TEST_F(CarryRunTest, TablesThatCannotOpenStopTheRunAtThatCompany) {
  writeThree();
  // The second company's cards lack a declared field.
  std::vector<FieldSpec> broken = schema::Cari();
  broken.pop_back();
  fixture::writeRows(company("2005_002") / "Cari.DB", broken, {}, {.keyFields = 1});
  run();
  ASSERT_EQ(host.infos.size(), 1u);
  EXPECT_EQ(host.infos[0].rfind("Bal adlı şirketin verileri açılamadı\r\n", 0), 0u);
  EXPECT_NE(host.infos[0].find("Cari"), std::string::npos) << host.infos[0];  // names the table
  EXPECT_FALSE(host.gaugeVisible);
  EXPECT_FALSE(host.statusVisible);
  EXPECT_EQ(registryCodes(),
            (std::vector<std::string>{"2005_001", "2005_002", "2005_003", "2006_001"}));
  EXPECT_TRUE(fs::exists(company("2006_001") / "ayar.db"));
  // Nothing of the company that failed is left, built aside or not.
  EXPECT_FALSE(fs::exists(company("2006_002")));
  EXPECT_FALSE(fs::exists(company(".ud-devir-2006_002")));
  EXPECT_FALSE(fs::exists(company("2006_003")));
}

TEST_F(CarryRunTest, ADataDirectoryTypedWithATrailingSeparatorWorksAsTyped) {
  writeThree();
  host.newDir = data.string() + "\\";
  deselect = {"2005_002", "2005_003"};
  run();
  EXPECT_EQ(host.infos, (std::vector<std::string>{"İşlem tamamlandı"}));
  EXPECT_TRUE(fs::exists(company("2006_001") / "Cari.DB"));
  EXPECT_EQ(registryCodes().back(), "2006_001");
}

TEST_F(CarryRunTest, TheNewCompanyIsTheTemplateWithTheCarryForwardFilesOverIt) {
  dir.registry().company("2005_001", "Ak", 2005);
  dir.company("2005_001")
      .withInvoice()
      .withFile("c_grup.DB", "old c_grup")
      .withFile("TSSABIT.DB", "old tssabit")
      .withFile("notes.txt", "not carried");
  dir.write();
  const fixture::UnchangedDir old(company("2005_001"));
  run();
  const fs::path made = company("2006_001");
  const auto bytes = [](const fs::path& file) { return fixture::readFileBytes(file); };
  // In the carry-forward set but not in the old company: the template's file.
  EXPECT_TRUE(bytes(made / "taksit.DB") == bytes(data / "DBBACKUP" / "taksit.DB"));
  // In the carry-forward set: the old company's file.
  EXPECT_EQ(bytes(made / "c_grup.DB"), "old c_grup");
  // Not in the carry-forward set: the template's invoices.
  EXPECT_TRUE(bytes(made / "Fatura.DB") == bytes(data / "DBBACKUP" / "Fatura.DB"));
  EXPECT_FALSE(fs::exists(made / "notes.txt"));
  old.expectUnchanged();
}

// Wine keeps the DOS hidden and system marks in user.DOSATTRIB.
TEST_F(CarryRunTest, FilesMarkedHiddenOrSystemAreNotCarried) {
  dir.registry().company("2005_001", "Ak", 2005);
  dir.company("2005_001")
      .withFile("masa.DB", "plain")
      .withFile("sofor.DB", "hidden")
      .withFile("hatlar.DB", "system");
  dir.write();
  for (const auto& [name, mark] : {std::pair{"sofor.DB", "0x2"}, std::pair{"hatlar.DB", "0x4"}})
    if (!testos::markDosAttributes(company("2005_001") / name, mark))
      GTEST_SKIP() << "no user extended attributes here";
  run();
  EXPECT_EQ(host.infos, (std::vector<std::string>{"İşlem tamamlandı"}));
  EXPECT_TRUE(fs::exists(company("2006_001") / "masa.DB"));
  EXPECT_FALSE(fs::exists(company("2006_001") / "sofor.DB"));
  EXPECT_FALSE(fs::exists(company("2006_001") / "hatlar.DB"));
}

TEST_F(CarryRunTest, StatusTextsFollowTheStepsInOrder) {
  dir.registry().company("2005_001", "Ak", 2005);
  dir.company("2005_001");
  dir.write();
  host.ytl = true;
  run();
  EXPECT_EQ(host.statuses, (std::vector<std::string>{
                               "Ak şirketi devir için hazırlanıyor",
                               "Ak şirketi oluşturuluyor.",
                               "Ak şirketi devir dosyaları kopyalanıyor",
                               "Ak şirketinin cari kartları devrediliyor",
                               "Ak şirketinin Stok kartları devrediliyor",
                               "Ak şirketinin çek senet kayıtları devrediliyor",
                               "Ak şirketinin çek senet kayıtları düzenleniyor",
                               "Ak şirketinin ödenmeyen taksit kayıtları devrediliyor",
                               "Ak şirketinin taksit kayıtları düzenleniyor",
                               "Ak şirketinin uretim kayıtları düzenleniyor",
                           }));
  host.statuses.clear();
  host.ytl = false;
  host.toYear = "2007";
  run();
  EXPECT_EQ(host.statuses.back(), "Ak şirketinin ödenmeyen taksit kayıtları devrediliyor");
}

}  // namespace
