// The dry run on the sample data: it writes and creates nothing, and its plan
// matches what the real run then does, table by table.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>

#include "jobs/workspace.h"
#include "main/driver/headless.h"
#include "platform/runlock.h"
#include "report/plan.h"
#include "sample_data.h"
#include "support/expect_unchanged.h"
#include "support/fixture_files.h"
#include "support/recording_host.h"
#include "support/table_reader.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

// Every entry under the directories, files with their bytes.
std::map<std::string, std::string> everything(const std::vector<fs::path>& roots) {
  std::map<std::string, std::string> all;
  for (const fs::path& root : roots)
    for (const auto& e : fs::recursive_directory_iterator(root))
      all[e.path().string()] = e.is_regular_file() ? fixture::readFileBytes(e.path()) : "(dizin)";
  return all;
}

int headless(std::vector<std::string> args, std::string* out = nullptr) {
  std::ostringstream o, e;
  const int status = RunHeadless(args, o, e, [] { return platform::ProductStatus::closed(); });
  if (out) *out = o.str() + e.str();
  return status;
}

class DryRun : public ::testing::Test {
 protected:
  fixture::TempDir tmp;
  fs::path data = tmp.path() / "DATA";
  fs::path older = tmp.path() / "OLD";
  void SetUp() override {
    samples::writeNewest(data);
    samples::writeOlder(older);
  }
};

TEST_F(DryRun, WritesAndCreatesNothing) {
  const auto before = everything({data, older});
  const std::vector<std::string> carry{"--devir", "--data", data.string(), "--from",   "2005",
                                       "--to",    "2006",   "--ytl",       "--dry-run"};
  const std::vector<std::string> both{
      "--devir", "--upgrade", "--old", older.string(), "--data",   data.string(), "--from",
      "2004",    "--to",      "2005",  "--companies",  "2004_001", "--dry-run"};
  const std::vector<std::string> upgrade{"--upgrade", "--old",       older.string(),
                                         "--data",    data.string(), "--dry-run"};
  for (const auto& args : {carry, both, upgrade}) {
    std::string out;
    EXPECT_EQ(headless(args, &out), kExitCompleted) << out;
    EXPECT_NE(out.find("Deneme çalıştırması"), std::string::npos) << out;
    EXPECT_EQ(out.find("İşlem tamamlandı"), std::string::npos) << out;
  }
  EXPECT_EQ(everything({data, older}), before);
  // The driver's checks come first, as in a real run.
  std::string out;
  EXPECT_EQ(headless({"--devir", "--data", (tmp.path() / "YOK").string(), "--from", "2005", "--to",
                      "2006", "--dry-run"},
                     &out),
            kExitStopped);
  EXPECT_NE(out.find("Pravex versiyonu için belirttiğiniz DATA dizini bulunamadı"),
            std::string::npos);
}

TEST_F(DryRun, StopsWithoutWritingWhileAnotherRunHoldsTheDirectory) {
  platform::RunLock other;
  ASSERT_EQ(other.acquire(data), platform::RunLock::Result::kTaken);
  const auto before = everything({data});
  std::string out;
  EXPECT_EQ(
      headless({"--devir", "--data", data.string(), "--from", "2005", "--to", "2006", "--dry-run"},
               &out),
      kExitStopped);
  EXPECT_NE(out.find("başka bir Upgrade-Devir işlemi çalışıyor"), std::string::npos) << out;
  EXPECT_EQ(everything({data}), before);
}

TEST_F(DryRun, PlanMatchesTheRunThatFollows) {
  for (bool withUpgrade : {false, true}) {
    SCOPED_TRACE(withUpgrade ? "upgrade and carry-forward" : "carry-forward");
    fs::remove_all(data);
    samples::writeNewest(data);
    RecordingHost host;
    host.newDir = data.string();
    host.ytl = true;
    host.fromYear = withUpgrade ? "2004" : "2005";
    host.toYear = withUpgrade ? "2005" : "2006";
    host.upgrade = withUpgrade;
    host.oldDir = older.string();
    std::vector<std::string> args{"--devir",     "--data", data.string(), "--from",
                                  host.fromYear, "--to",   host.toYear,   "--ytl"};
    if (withUpgrade) {
      // The other older companies would stop the carry-forward by design.
      host.onSelect = [](CompanyList& list) {
        for (list.first(); !list.eof(); list.next())
          list.setValue("DEVIR", Variant{list.text("SIRKET_KOD") == "2004_001"});
        return true;
      };
      args.insert(args.end(), {"--upgrade", "--old", older.string(), "--companies", "2004_001"});
    }
    report::DryRunPlan plan;
    ASSERT_TRUE(!withUpgrade || report::PlanUpgrade(host, host.options(), plan));
    ASSERT_TRUE(report::PlanCarryForward(host, host.options(), plan));
    ASSERT_EQ(headless(args), kExitCompleted);

    ASSERT_TRUE(plan.carry);
    ASSERT_EQ(plan.carry->companies.size(), withUpgrade ? 1u : 3u);
    for (const report::CarryCompanyPlan& c : plan.carry->companies) {
      SCOPED_TRACE(c.newCode);
      const fs::path oldDir = data / c.oldCode;  // upgraded into place first when asked
      ASSERT_TRUE(fs::is_directory(data / c.newCode));
      std::set<std::string> created;
      for (const auto& e : fs::directory_iterator(data / c.newCode))
        created.insert(e.path().filename().string());
      EXPECT_EQ(created.size(), c.templateFiles.copied + c.carryFiles.copied);
      for (const report::TablePlan& t : c.tables) {
        SCOPED_TRACE(t.table);
        const auto oldRows = fixture::readTable(fixture::findFile(oldDir, t.table + ".db"));
        const auto newRows =
            fixture::readTable(fixture::findFile(data / c.newCode, t.table + ".db"));
        EXPECT_EQ(t.records, oldRows.size());
        EXPECT_EQ(t.carried, newRows.size());
        EXPECT_EQ(t.removed, oldRows.size() - newRows.size());
      }
    }
  }
}

TEST_F(DryRun, PassesOverACompanyCarriedAlreadyAsTheRunWould) {
  const std::vector<std::string> args{"--devir", "--data", data.string(), "--from",
                                      "2005",    "--to",   "2006",        "--dry-run"};
  std::string before, after;
  ASSERT_EQ(headless(args, &before), kExitCompleted) << before;
  ASSERT_EQ(headless({"--devir", "--data", data.string(), "--from", "2005", "--to", "2006",
                      "--companies", "2005_001"}),
            kExitCompleted);
  ASSERT_EQ(headless(args, &after), kExitCompleted) << after;
  EXPECT_NE(before.find("  2005_001 "), std::string::npos) << before;
  EXPECT_EQ(after.find("  2005_001 "), std::string::npos) << after;
  EXPECT_NE(after.find("2005_001 zaten 2006_001 koduyla 2006 yılına devredilmiş"),
            std::string::npos)
      << after;
  // The company carried already holds no number: the next one takes 2006_002.
  EXPECT_NE(after.find("  2005_002 Çağdaş İnşaat A.Ş. → 2006_002 "), std::string::npos) << after;
}

// A carry-forward check that fails stops the dry run with the message the
// real run stops with, and nothing is touched.
struct FailedCheck {
  const char* what;
  const char* upgradedCompany;  // with the upgrade of the older directory; null without
  std::function<void(const fs::path& data, const fs::path& older)> damage;
};

TEST_F(DryRun, StopsAtTheCarryForwardsChecksAsTheRunWould) {
  const FailedCheck cases[] = {
      // Also left by a killed change: the checks read the settings without
      // finishing it.
      {"a table missing beside its index", nullptr,
       [](const fs::path& d, const fs::path&) {
         const fs::path settings = fixture::findFile(d / "2005_001", "ayar.db");
         fixture::writeFileBytes(d / "2005_001" / ("." + settings.filename().string() + ".ix~"),
                                 "");
         fs::remove(d / "2005_003" / "Stok.DB");
       }},
      {"a damaged table the upgrade would copy", "2004_001",
       [](const fs::path&, const fs::path& o) {
         fixture::corruptU32(o / "2004_001" / "ceksen.DB", 0x06, 1002);
       }},
      // Kept in its layout by the upgrade, which the carry-forward cannot read.
      {"settings of other field names", "2004_002", [](const fs::path&, const fs::path&) {}},
  };
  for (const FailedCheck& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(data);
    fs::remove_all(older);
    samples::writeNewest(data);
    samples::writeOlder(older);
    c.damage(data, older);
    std::vector<std::string> args{"--devir", "--data", data.string(), "--ytl"};
    if (c.upgradedCompany)
      args.insert(args.end(), {"--upgrade", "--old", older.string(), "--from", "2004", "--to",
                               "2005", "--companies", c.upgradedCompany});
    else
      args.insert(args.end(), {"--from", "2005", "--to", "2006"});
    auto run = [&](bool dry, std::string& out) {
      std::vector<std::string> a = args;
      if (dry) a.push_back("--dry-run");
      std::ostringstream o, e;
      const int status = RunHeadless(a, o, e, [] { return platform::ProductStatus::closed(); });
      out = o.str();
      return status;
    };
    std::string planned, real;
    {
      fixture::UnchangedDir newest(data), old(older);
      EXPECT_EQ(run(true, planned), kExitStopped) << planned;
      newest.expectUnchanged();
      old.expectUnchanged();
    }
    EXPECT_NE(planned.find(" adlı şirketin verileri açılamadı\n"), std::string::npos) << planned;
    EXPECT_EQ(run(false, real), kExitStopped) << real;
    // The real run's upgrade may speak first (an older company without a
    // directory); the check's message is the same.
    EXPECT_NE(real.find(planned), std::string::npos) << planned << "---\n" << real;
  }
}

}  // namespace
