// Withdrawing a carry-forward: carried then withdrawn leaves the data
// directory as it was before the carry, and carried again gives the same
// bytes; any change made since refuses it and writes nothing; a run cut off
// at any file call leaves, once tidied, the company whole in one place or
// the other.
#include "withdraw/withdrawal.h"

#include <cctype>
#include <filesystem>
#include <fstream>

#include "carry/carry_test_base.h"
#include "carry/staging.h"
#include "paradox/table.h"
#include "platform/leftovers.h"
#include "support/file_faults.h"
#include "support/fixture_files.h"
#include "support/testos.h"

namespace fs = std::filesystem;

namespace {

class Withdrawal : public CarryTest, public ::testing::WithParamInterface<bool> {
 protected:
  fs::path report = data / testos::utf8Path("Devir Raporları");
  fs::path record = report / testos::utf8Path("Devir Kaydı 2005_001-2006_001.csv");

  void SetUp() override {
    CarryTest::SetUp();
    fixture::Movement posting;
    posting.amount = 1250.5;
    dir.registry().company("2005_001", "Ak", 2005).company("2005_002", "Su", 2005);
    dir.company("2005_001")
        .withCard("120.01", 250, "Borç")
        .withCard("320.01", 99.99, "Alacak")
        .withStock("S1", 3, 1000)
        .withCheque("Bankada", 5)
        .withMovement(posting)
        .withInvoice();
    dir.company("2005_002").withCard("100.01", 7, "Borç");
    dir.write();
    host.ytl = withYtl();
  }
  virtual bool withYtl() const { return false; }

  void carry(const std::vector<std::string>& keep = {"2005_001"}) {
    deselect = {"2005_002"};
    for (const std::string& code : keep) std::erase(deselect, code);
    run();
    ws.DM.closeAll();  // as the run driver leaves it: on Windows a handle holds its file
    ASSERT_EQ(host.infos.back(), "İşlem tamamlandı");
  }

  withdraw::WithdrawalPlan plan(std::vector<std::string> codes = {"2006_001"}) {
    withdraw::WithdrawalRequest r;
    r.dataDirectory = platform::TypedPath::resolve(data.string());
    r.targetYear = "2006";
    r.allCompanies = codes.empty();
    r.companies = codes;
    return withdraw::PlanWithdrawal(r);
  }

  withdraw::WithdrawalResult withdrawNow(std::vector<std::string> codes = {"2006_001"}) {
    const withdraw::WithdrawalPlan p = plan(codes);
    EXPECT_TRUE(p.possible()) << p.text();
    Workspace fresh;
    return withdraw::RunWithdrawal(host, p, fresh);
  }

  std::vector<fixture::Row> registry() const {
    return fixture::readTable(fixture::findFile(data, "sirket.db"));
  }

  // The one backup folder of a withdrawal of 2006_001 ("" when none).
  fs::path backupFolder() const {
    for (const auto& e : fs::directory_iterator(data))
      if (e.path().filename().string().rfind("UD_YEDEK_GERIALMA_2006_001_", 0) == 0)
        return e.path();
    return {};
  }

  // Adds a record to a table of the new company, as the product would.
  void append(const std::string& table, const std::map<std::string, std::string>& values) {
    auto t = pdx::Table::open(fixture::findFile(company("2006_001"), table));
    t->append();
    for (const auto& [field, value] : values) t->setString(t->findField(field), value);
    t->post();
    t->flush();
  }
};

class WithdrawalYtl : public Withdrawal {
  bool withYtl() const override { return GetParam(); }
};

// --- the way back ----------------------------------------------------------------

TEST_P(WithdrawalYtl, LeavesTheDirectoryAsBeforeTheCarryAndACarryAgainWritesTheSameBytes) {
  const fixture::DirectorySnapshot before = fixture::snapshotDirectory(data);
  const std::vector<fixture::Row> rowsBefore = registry();
  carry({"2005_001", "2005_002"});
  const withdraw::WithdrawalResult result = withdrawNow({"2006_001"});
  ASSERT_EQ(result.withdrawn.size(), 1u);
  const fs::path backup = backupFolder();
  ASSERT_FALSE(backup.empty());
  EXPECT_EQ(result.text(),
            "2006_001 (Ak 2006) şirketinin devri geri alındı: satırı şirket listesinden silindi, "
            "dizini ve devir kaydı " +
                data.string() + "\\" + backup.filename().string() +
                " dizinine taşındı. 2005_001 şirketi yeniden devredilebilir.\r\nİşlem tamamlandı");

  // As before, but the registry's bytes, the backup, the report folder and
  // the other company carried.
  std::vector<fixture::Row> rowsNow = registry();
  ASSERT_EQ(rowsNow.size(), rowsBefore.size() + 1);
  EXPECT_EQ(fixture::text(rowsNow.back(), "SIRKET_KOD"), "2006_002");
  rowsNow.pop_back();
  EXPECT_EQ(rowsNow, rowsBefore);
  fixture::DirectorySnapshot now = fixture::snapshotDirectory(data);
  std::erase_if(now, [&](const auto& file) {
    const std::string& name = file.first;
    return name.rfind("sirket.", 0) == 0 || name.rfind("UD_YEDEK_GERIALMA_", 0) == 0 ||
           name.rfind("Devir Rapor", 0) == 0 || name.rfind("2006_002", 0) == 0;
  });
  fixture::DirectorySnapshot was = before;
  std::erase_if(was, [](const auto& file) { return file.first.rfind("sirket.", 0) == 0; });
  EXPECT_EQ(fixture::describeChanges(was, now), "");
  EXPECT_FALSE(fs::exists(record));
  EXPECT_TRUE(fs::exists(backup / record.filename()));
  EXPECT_FALSE(fs::exists(backup / "2006_001" / kWithdrawMarker));

  // Offered again, it takes its code again, and the same bytes.
  host.infos.clear();
  carry();
  EXPECT_EQ(listed.front(), "2005_001 2006_001 X");
  EXPECT_EQ(fixture::describeChanges(fixture::snapshotDirectory(backup / "2006_001"),
                                     fixture::snapshotDirectory(company("2006_001"))),
            "");
  EXPECT_EQ(fixture::readFileBytes(record), fixture::readFileBytes(backup / record.filename()));
}

INSTANTIATE_TEST_SUITE_P(Ytl, WithdrawalYtl, ::testing::Bool());

// --- refusals ---------------------------------------------------------------------

// Anything done in the new company since the carry refuses it, naming what
// changed, and nothing is written.
TEST_F(Withdrawal, AnyChangeSinceTheCarryRefusesItAndWritesNothing) {
  struct Case {
    const char* label;
    std::function<void()> change;
    std::string line;
  } cases[] = {
      {"a posting",
       [&] {
         append("Char.DB", {{"BCHKOD", "9"}});
         append("Char.DB", {{"BCHKOD", "10"}});
       },
       "Char.DB: 2 yeni kayıt"},
      {"a card",
       [&] {
         append("Cari.DB", {{"CARIKODU", "120.99"}});
       },
       "Cari.DB: 1 yeni kayıt"},
      {"an invoice",
       [&] {
         append("Fatura.DB", {{"FATNO", "A-1"}});
       },
       "Fatura.DB: 1 yeni kayıt"},
      {"a changed card",
       [&] {
         auto t = pdx::Table::open(fixture::findFile(company("2006_001"), "Cari.DB"));
         t->first();
         t->edit();
         t->setString(t->findField("UNVAN"), "Başka");
         t->post();
         t->flush();
       },
       "Cari.DB: kayıtlar değişti"},
      {"a file", [&] { std::ofstream(company("2006_001") / "NOTLAR.TXT") << "x"; },
       "NOTLAR.TXT: dosya eklendi"},
      {"a file removed", [&] { fs::remove(fixture::findFile(company("2006_001"), "ayar.val")); },
       "ayar.val: dosya silindi"},
      {"carried before fingerprints",
       [&] {
         std::string text = fixture::readFileBytes(record);
         text = text.substr(0, text.find("tablo;")) + "son;7\n";
         std::ofstream(record, std::ios::binary) << text;
       },
       "devir, şirketin devirdeki hâli kaydedilmeden önce yapılmış: devirden sonra değişip "
       "değişmediği bilinemiyor"},
      {"no record", [&] { fs::remove(record); }, "devir kaydı yok"},
  };
  carry();
  const fs::path kept = tmp.path() / "kept";
  fs::copy(data, kept, fs::copy_options::recursive);
  for (const Case& c : cases) {
    fs::remove_all(data);
    fs::copy(kept, data, fs::copy_options::recursive);
    c.change();
    const fixture::UnchangedDir guard(data);
    const withdraw::WithdrawalPlan p = plan();
    ASSERT_EQ(p.companies.size(), 1u) << c.label;
    EXPECT_FALSE(p.possible()) << c.label;
    // Letter case as the file system keeps it (Wine keeps the copy's).
    const auto lower = [](std::string s) {
      for (char& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
      return s;
    };
    const std::vector<std::string>& why = p.companies[0].refusals;
    EXPECT_TRUE(!why.empty() && lower(why[0]).rfind(lower(c.line), 0) == 0)
        << c.label << ": " << p.text();
    EXPECT_NE(p.text().find("hiçbir şey değiştirilmedi"), std::string::npos);
    EXPECT_FALSE(p.companies[0].advice.empty()) << c.label;
    guard.expectUnchanged();
  }
}

// A product that opens a table and closes it rewrites its header and leaves
// its lock files: that is no change.
TEST_F(Withdrawal, AStandInProductOpeningTablesIsNoChange) {
  carry();
  for (const char* table : {"Cari.DB", "Char.DB", "Fatura.DB"}) {
    pdx::Table::open(fixture::findFile(company("2006_001"), table))->first();
    fixture::corruptByte(fixture::findFile(company("2006_001"), table), 0x2D, 0x5A);
  }
  fixture::corruptByte(fixture::findFile(company("2006_001"), "Cari.PX"), 0x2C, 0x5A);
  for (const char* lock : {"PARADOX.LCK", "PDOXUSRS.LCK"})
    std::ofstream(company("2006_001") / lock) << "stand-in";
  const withdraw::WithdrawalPlan p = plan({});  // all: the carried one
  ASSERT_TRUE(p.possible()) << p.text();
  EXPECT_EQ(p.companies.size(), 1u);
  Workspace fresh;
  EXPECT_EQ(withdraw::RunWithdrawal(host, p, fresh).withdrawn.size(), 1u);
  EXPECT_TRUE(fs::exists(backupFolder() / "2006_001" / "PARADOX.LCK"));  // moved, not deleted
}

// --- a run cut off ----------------------------------------------------------------

// Killed at each file call of a withdrawal, then the next run's tidying:
// the company is registered and whole where it was, or withdrawn and whole
// in its backup folder with its record; never lost, never half.
TEST_F(Withdrawal, KilledAtAnyFileCallTheNextRunLeavesTheCompanyWholeOnOneSide) {
  carry();
  const fs::path kept = tmp.path() / "kept";
  fs::copy(data, kept, fs::copy_options::recursive);
  const fixture::DirectorySnapshot published = fixture::snapshotDirectory(company("2006_001"));
  const std::string recordBytes = fixture::readFileBytes(record);
  const withdraw::WithdrawalPlan p = plan();
  ASSERT_TRUE(p.possible()) << p.text();

  fixture::FaultPlan counting = fixture::FaultPlan::counting().skippingSyncs();
  {
    fixture::ScopedFaults on(counting);
    Workspace fresh;
    withdraw::RunWithdrawal(host, p, fresh);
  }
  ASSERT_GT(counting.calls(), 10);
  int undone = 0, finished = 0;
  for (int call = 1; call <= counting.calls(); ++call) {
    SCOPED_TRACE("killed at call " + std::to_string(call));
    fs::remove_all(data);
    fs::copy(kept, data, fs::copy_options::recursive);
    fixture::FaultPlan crash = fixture::FaultPlan::crashAt(call).skippingSyncs();
    {
      fixture::ScopedFaults on(crash);
      Workspace fresh;
      try {
        withdraw::RunWithdrawal(host, p, fresh);
      } catch (const std::exception&) {
      }
    }
    // The next run: the driver's first steps under its lock.
    platform::removeCopyLeftovers(data);
    withdraw::TidyWithdrawals(host, platform::TypedPath::resolve(data.string()));
    const bool registered = fixture::texts(registry(), "SIRKET_KOD").back() == "2006_001";
    const fs::path where = registered ? company("2006_001") : backupFolder() / "2006_001";
    ASSERT_TRUE(fs::is_directory(where));
    EXPECT_EQ(fixture::describeChanges(published, fixture::snapshotDirectory(where)), "");
    EXPECT_EQ(fixture::readFileBytes(registered ? record : backupFolder() / record.filename()),
              recordBytes);
    if (registered) {
      EXPECT_TRUE(backupFolder().empty());
      ++undone;
    } else {
      EXPECT_FALSE(fs::exists(company("2006_001")));
      EXPECT_FALSE(fs::exists(record));
      ++finished;
    }
  }
  EXPECT_GT(undone, 0);
  EXPECT_GT(finished, 0);
}

// A directory the carry's own tidying would delete (unregistered, with its
// work marker) is never one being withdrawn.
TEST_F(Withdrawal, TheCarrysTidyingLeavesAHalfWithdrawnCompanyAlone) {
  carry();
  std::ofstream(company("2006_001") / kWorkMarker) << "Upgrade-Devir\n";  // outlived its row
  std::ofstream(company("2006_001") / kWithdrawMarker) << "half";
  TidyUnfinishedCompanies(host, platform::TypedPath::resolve(data.string()), {});
  EXPECT_TRUE(fs::exists(company("2006_001") / "Cari.DB"));
}

}  // namespace
