// An opening update killed at every file-changing call (the fault seam's
// crash: that call and every later one fail, as a killed process leaves the
// files): once the next run has tidied, the company is wholly before or
// wholly after the update, its record agreeing with its tables, never
// removed; the update run again then ends as an uninterrupted one. And the
// tidying of an update never meets the carry-forward's.
#include "refresh/commit.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "carry/carryforward.h"
#include "carry/staging.h"
#include "data/ttable.h"
#include "jobs/workspace.h"
#include "refresh/refresh.h"
#include "report/carryrecord.h"
#include "sample_data.h"
#include "support/file_faults.h"
#include "support/fixture_files.h"
#include "support/recording_host.h"
#include "support/table_reader.h"
#include "support/temp_dir.h"
#include "support/testos.h"

namespace fs = std::filesystem;

namespace {

void setNumber(const fs::path& dir, const char* table, const char* keyField, const char* key,
               const char* field, double value) {
  TTable t("Test", table, nullptr);
  t.setDatabaseName(dir.string());
  t.open();
  for (t.first(); t.field(keyField).asString() != key;) t.next();
  t.edit();
  t.field(field).setAsFloat(value);
  t.post();
  t.close();
}

// The kinds of the file calls of one run, in order; syncs skipped.
class CallLog final : public platform::FileFaults {
 public:
  int before(platform::FileOp op, const std::filesystem::path&) override {
    ops.push_back(op);
    return op == platform::FileOp::kSync ? platform::kSkipSync : 0;
  }
  // Whether call `n` (from 1) changes a file.
  bool changes(std::size_t n) const {
    using platform::FileOp;
    const FileOp op = ops[n - 1];
    return op != FileOp::kOpen && op != FileOp::kRead && op != FileOp::kMap;
  }
  std::vector<platform::FileOp> ops;
};

// The company's tables as the update reads them, and the base its record holds.
struct CompanyState {
  std::vector<fixture::Row> cards, items;
  int updates = -1;
  bool operator==(const CompanyState&) const = default;
};

class RefreshKill : public ::testing::Test {
 protected:
  fixture::TempDir tmp;
  fs::path base = tmp.path() / "base", data = tmp.path() / "DATA";
  const std::string recordName = "Devir Kaydı 2005_001-2006_001.csv";

  void SetUp() override {
    samples::writeNewest(base);
    RecordingHost host;
    host.carry2005(base.string(), true);
    host.onSelect = [](CompanyList& list) {
      for (list.first(); !list.eof(); list.next())
        if (list.text("SIRKET_KOD") != "2005_001") list.setValue("DEVIR", Variant{false});
      return true;
    };
    Workspace ws;
    ws.NewCompanySequence = 1;
    RunCarryForward(host, host.options(), ws);
    // Only what the update reads and writes is copied for each trial.
    for (const char* other :
         {"2003_009", "2004_001", "2005_002", "2005_003", "2006_002", "2006_003", "DBBACKUP"})
      fs::remove_all(base / other);
    // Late entries on a card and an item.
    setNumber(base / "2005_001", "Cari", "CARIKODU", "120.01", "KTBKY", 600'000);
    setNumber(base / "2005_001", "Stok.DB", "STOKKODU", "ST-002", "MIKKAL", 25);
  }

  void fresh() {
    fs::remove_all(data);
    fs::copy(base, data, fs::copy_options::recursive);
  }

  refresh::RefreshOutcome update() {
    RecordingHost host;
    refresh::RefreshOptions o;
    o.openings = {
        platform::TypedPath::resolve(data.string()), "2005", "2006", false, {"2005_001"}, 0};
    return refresh::RefreshOpenings(host, o);
  }

  fs::path record() const {
    return data / testos::utf8Path("Devir Raporları") / testos::utf8Path(recordName);
  }

  CompanyState state() const {
    CompanyState s{fixture::readTable(data / "2006_001" / "Cari.DB"),
                   fixture::readTable(data / "2006_001" / "Stok.DB")};
    if (auto r = report::ReadCarryRecord(record().string())) s.updates = r->updates;
    return s;
  }

  std::vector<fs::path> backups() const {
    std::vector<fs::path> found;
    for (const auto& e : fs::directory_iterator(data))
      if (e.path().filename().string().rfind(refresh::kBackupPrefix, 0) == 0)
        found.push_back(e.path());
    return found;
  }
};

TEST_F(RefreshKill, AtEveryCallTheCompanyIsBeforeOrAfterAndTheRerunFinishes) {
  fresh();
  const CompanyState before = state();
  ASSERT_EQ(before.updates, 0);
  CallLog calls;
  {
    fixture::ScopedFaults on(calls);
    const auto done = update();
    ASSERT_TRUE(done.report.companies.at(0).written) << done.report.companies[0].failure;
  }
  const CompanyState after = state();
  ASSERT_EQ(after.updates, 1);
  ASSERT_NE(after, before);
  const std::string afterRecord = fixture::readFileBytes(record());
  ASSERT_GT(calls.ops.size(), 20u);

  for (std::size_t call = 1; call <= calls.ops.size(); ++call) {
    if (!calls.changes(call)) continue;
    SCOPED_TRACE("killed at call " + std::to_string(call) + " (" +
                 platform::fileOpName(calls.ops[call - 1]) + ")");
    fresh();
    fixture::FaultPlan crash = fixture::FaultPlan::crashAt(static_cast<int>(call)).skippingSyncs();
    {
      fixture::ScopedFaults on(crash);
      update();
    }
    ASSERT_TRUE(crash.fired());
    // Syncs make no difference to a killed process: skipped from here on.
    fixture::FaultPlan fast = fixture::FaultPlan::counting().skippingSyncs();
    fixture::ScopedFaults on(fast);
    // The next run's tidying, then the company is one or the other.
    RecordingHost host;
    refresh::TidyUnfinishedUpdates(host, platform::TypedPath::resolve(data.string()));
    const CompanyState tidied = state();
    EXPECT_TRUE(tidied == before || tidied == after);
    EXPECT_FALSE(fs::exists(data / (std::string(refresh::kStagingPrefix) + "2006_001")));
    EXPECT_EQ(backups().size(), tidied == after ? 1u : 0u);
    // Run again: as the uninterrupted update left it.
    update();
    EXPECT_EQ(state(), after);
    EXPECT_EQ(fixture::readFileBytes(record()), afterRecord);
    EXPECT_EQ(backups().size(), 1u);
    if (HasFailure()) break;
  }
}

// An update's staging is no unfinished carry-forward, nor is a company
// directory ever marked by it; and the carry's work directories are not the
// update's to tidy.
TEST_F(RefreshKill, TheTwoTidyingsTellTheirDirectoriesApart) {
  fresh();
  const auto typed = platform::TypedPath::resolve(data.string());
  refresh::StartStaging(typed, "2006_001");
  const fs::path staging = data / (std::string(refresh::kStagingPrefix) + "2006_001");
  fs::create_directory(data / ".ud-devir-2006_009");
  { std::ofstream(data / ".ud-devir-2006_009" / kWorkMarker) << "Upgrade-Devir\n"; }
  RecordingHost host;
  TidyUnfinishedCompanies(host, typed, {"2005_001", "2006_001"});
  EXPECT_TRUE(fs::exists(staging));
  EXPECT_TRUE(fs::exists(data / "2006_001" / "Cari.DB"));
  refresh::TidyUnfinishedUpdates(host, typed);
  EXPECT_FALSE(fs::exists(staging));
  EXPECT_FALSE(fs::exists(data / ".ud-devir-2006_009"));  // gone with the carry's tidying
  EXPECT_TRUE(fs::exists(data / "2006_001" / "Cari.DB"));
}

}  // namespace
