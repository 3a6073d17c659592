// Company list, new company codes, selection and the company loop.

#include <filesystem>

#include "carry/carry_test_base.h"
#include "carry/steps.h"
#include "support/testos.h"

namespace fs = std::filesystem;
using jobs::registryRow;

namespace {

TEST(PadTo3Digits, FillsWithZerosToThreeCharacters) {
  EXPECT_EQ(PadTo3Digits(1), "001");
  EXPECT_EQ(PadTo3Digits(42), "042");
  EXPECT_EQ(PadTo3Digits(999), "999");
}

TEST_F(CarryTest, ListsTheCompaniesOfTheSourceYearInRegistryOrder) {
  jobs::writeNewest(data, {registryRow("2004_001", "Eski", jobs::num(2004)),
                           registryRow("2005_001", "Özdemir Gıda Ltd.Şti.", jobs::num(2005)),
                           registryRow("2005_002", "Kaya", jobs::num(2005)),
                           registryRow("2005_003", "Kesirli", jobs::num(2005.5))});
  confirm = false;
  const auto before = jobs::snapshot(data);
  run();
  EXPECT_EQ(listed, (std::vector<std::string>{"2005_001 2006_001 X", "2005_002 2006_002 X"}));
  // Cancelling ends the run silently and changes nothing on disk.
  EXPECT_TRUE(host.infos.empty());
  EXPECT_FALSE(host.statusVisible);
  EXPECT_EQ(jobs::changedFiles(before, jobs::snapshot(data)), std::vector<std::string>{});
}

TEST_F(CarryTest, AnEmptySourceYearListsTheCompaniesWithoutAYear) {
  jobs::writeNewest(data, {registryRow("2005_001", "Yıllı", jobs::num(2005)),
                           registryRow("X_001", "Yılsız", jobs::blank())});
  host.fromYear = "";
  confirm = false;
  run();
  EXPECT_EQ(listed, (std::vector<std::string>{"X_001 2006_001 X"}));
}

TEST_F(CarryTest, CodesSkipNumbersWhoseDirectoryExists) {
  jobs::writeNewest(data, {registryRow("2005_001", "A", jobs::num(2005)),
                           registryRow("2005_002", "B", jobs::num(2005)),
                           registryRow("2005_003", "C", jobs::num(2005))});
  fs::create_directories(data / "2006_002");
  confirm = false;
  run();
  EXPECT_EQ(listed, (std::vector<std::string>{"2005_001 2006_001 X", "2005_002 2006_003 X",
                                              "2005_003 2006_004 X"}));
}

TEST_F(CarryTest, AnEmptyTargetYearGivesCodesOfTheNumberAlone) {
  jobs::writeNewest(data, {registryRow("2005_001", "A", jobs::num(2005)),
                           registryRow("2005_002", "B", jobs::num(2005))});
  host.toYear = "";
  confirm = false;
  run();
  EXPECT_EQ(listed, (std::vector<std::string>{"2005_001 _001 X", "2005_002 _002 X"}));
}

TEST_F(CarryTest, NoFreeNumberLeftStopsWithAMessageBeforeTheDialog) {
  jobs::writeNewest(data, {registryRow("2005_001", "A", jobs::num(2005))});
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
    jobs::writeNewest(data, {registryRow("2005_001", "Ak", jobs::num(2005)),
                             registryRow("2005_002", "Bal", jobs::num(2005)),
                             registryRow("2005_003", "Can", jobs::num(2005))});
    for (const char* code : {"2005_001", "2005_002", "2005_003"})
      jobs::Company{}.write(company(code));
  }
  std::vector<std::string> registryCodes() {
    std::vector<std::string> codes;
    for (const jobs::Row& r : jobs::readTable(data / "sirket.db"))
      codes.push_back(std::get<std::string>(r.at("SIRKET_KOD").value));
    return codes;
  }
};

TEST_F(CarryRunTest, ADeselectedCompanyKeepsItsCodeAndIsNotCreated) {
  writeThree();
  deselect = {"2005_001"};
  const auto old = jobs::snapshot(company("2005_002"));
  run();
  EXPECT_EQ(listed, (std::vector<std::string>{"2005_001 2006_001 -", "2005_002 2006_002 X",
                                              "2005_003 2006_003 X"}));
  EXPECT_FALSE(fs::exists(company("2006_001")));
  EXPECT_TRUE(fs::exists(company("2006_002")));
  EXPECT_TRUE(fs::exists(company("2006_003")));
  EXPECT_EQ(host.infos, (std::vector<std::string>{"İşlem tamamlandı"}));
  EXPECT_FALSE(host.gaugeVisible);
  EXPECT_FALSE(host.statusVisible);
  EXPECT_EQ(jobs::changedFiles(old, jobs::snapshot(company("2005_002"))),
            std::vector<std::string>{});
}

TEST_F(CarryRunTest, ASecondRunStartsAgainAtOneAndSkipsTheFirstRunsDirectories) {
  writeThree();
  deselect = {"2005_003"};
  run();
  run();
  EXPECT_EQ(listed, (std::vector<std::string>{"2005_001 2006_003 X", "2005_002 2006_004 X",
                                              "2005_003 2006_005 -"}));
  EXPECT_EQ(registryCodes(),
            (std::vector<std::string>{"2005_001", "2005_002", "2005_003", "2006_001", "2006_002",
                                      "2006_003", "2006_004"}));
}

// A registry row whose directory was removed by hand keeps its code: a new
// company given that code could never be registered (the run would end with
// a key violation after building it), so the number is passed over.
TEST_F(CarryRunTest, CodesSkipNumbersTheRegistryHoldsWithoutADirectory) {
  jobs::writeNewest(data, {registryRow("2005_001", "Ak", jobs::num(2005)),
                           registryRow("2006_001", "Silinmiş", jobs::num(2006)),
                           registryRow("2005_002", "Bal", jobs::num(2005))});
  jobs::Company{}.write(company("2005_001"));
  jobs::Company{}.write(company("2005_002"));
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
  jobs::writeTable(company("2005_002") / "Cari.DB", broken, {}, 1);
  run();
  EXPECT_EQ(host.infos, (std::vector<std::string>{"Bal adlı şirketin verileri açılamadı"}));
  EXPECT_FALSE(host.gaugeVisible);
  EXPECT_FALSE(host.statusVisible);
  EXPECT_EQ(registryCodes(),
            (std::vector<std::string>{"2005_001", "2005_002", "2005_003", "2006_001"}));
  EXPECT_TRUE(fs::exists(company("2006_001") / "ayar.db"));
  EXPECT_TRUE(fs::exists(company("2006_002") / "Cari.DB"));
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
  jobs::writeNewest(data, {registryRow("2005_001", "Ak", jobs::num(2005))});
  jobs::Company old;
  old.invoices = {jobs::Row{{"FATNO", jobs::txt("F-1")}}};
  old.extraFiles = {
      {"c_grup.DB", "old c_grup"}, {"TSSABIT.DB", "old tssabit"}, {"notes.txt", "not carried"}};
  old.write(company("2005_001"));
  const auto before = jobs::snapshot(company("2005_001"));
  run();
  const fs::path made = company("2006_001");
  // Not in the old company: the template's file.
  EXPECT_EQ(jobs::readFile(made / "banka.DB"), "template banka");
  // In the carry-forward set: the old company's file.
  EXPECT_EQ(jobs::readFile(made / "c_grup.DB"), "old c_grup");
  // Not in the carry-forward set: the template's invoices.
  EXPECT_EQ(jobs::readFile(made / "Fatura.DB"), jobs::readFile(data / "DBBACKUP" / "Fatura.DB"));
  EXPECT_FALSE(fs::exists(made / "notes.txt"));
  EXPECT_EQ(jobs::changedFiles(before, jobs::snapshot(company("2005_001"))),
            std::vector<std::string>{});
}

// Wine keeps the DOS hidden and system marks in user.DOSATTRIB.
TEST_F(CarryRunTest, FilesMarkedHiddenOrSystemAreNotCarried) {
  jobs::writeNewest(data, {registryRow("2005_001", "Ak", jobs::num(2005))});
  jobs::Company old;
  old.extraFiles = {{"masa.DB", "plain"}, {"sofor.DB", "hidden"}, {"hatlar.DB", "system"}};
  old.write(company("2005_001"));
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
  jobs::writeNewest(data, {registryRow("2005_001", "Ak", jobs::num(2005))});
  jobs::Company{}.write(company("2005_001"));
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
