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
    ASSERT_TRUE(!withUpgrade || report::PlanUpgrade(host, plan));
    ASSERT_TRUE(report::PlanCarryForward(host, plan));
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

}  // namespace
