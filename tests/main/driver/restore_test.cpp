// Taking an edition upgrade back: the newest data directory as before the
// upgrade, refusals that leave everything as it is, and restores cut off at
// every file call that the next run finishes.
#include <gtest/gtest.h>

#include <filesystem>

#include "data/ttable.h"
#include "jobs/workspace.h"
#include "main/driver/restorecommand.h"
#include "main/driver/rundriver.h"
#include "platform/runlock.h"
#include "support/company_fixture.h"
#include "support/expect_unchanged.h"
#include "support/file_faults.h"
#include "support/fixture_files.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"
#include "upgrade/restore.h"

namespace fs = std::filesystem;

namespace {

struct Errors : ErrorReport {
  std::vector<std::string> texts;
  void errorBox(const std::string& text) override { texts.push_back(text); }
};

platform::ProductStatus closed() {
  return platform::ProductStatus::closed();
}

// Every file under `dir` but the run lock, the upgrade's backup folders and
// the folders a withdrawal or a restore moves files into.
fixture::DirectorySnapshot withoutBackups(const fs::path& dir) {
  fixture::DirectorySnapshot s = fixture::snapshotDirectory(dir);
  s.erase(platform::kRunLockFileName);
  std::erase_if(s, [](const auto& e) { return e.first.rfind("UD_YEDEK_", 0) == 0; });
  return s;
}

class RestoreTest : public ::testing::Test {
 protected:
  fixture::TempDir tmp;
  fs::path root = tmp.path() / "R";
  fs::path data = root / "NEW";
  RecordingHost host;
  Errors errors;
  fixture::DirectorySnapshot before;

  // The two editions written, the newest as it is before the upgrade kept,
  // then the upgrade.
  void upgrade(const fs::path& where) {
    fixture::writeEditions(where);
    before = withoutBackups(where / "NEW");
    host.upgrade = true;
    host.devir = false;
    host.oldDir = (where / "OLD").string();
    host.newDir = (where / "NEW").string();
    Workspace ws;
    ASSERT_EQ(Button1Click(host, host.options(), ws, errors, closed), RunEnd::kCompleted);
    host.infos.clear();
  }
  RunEnd restore(const fs::path& dir, bool dryRun = false) {
    RestoreRequest r;
    r.data = platform::TypedPath::resolve(dir.string());
    r.dryRun = dryRun;
    return RunRestoreUpgrade(host, errors, closed, r);
  }
  std::string lastInfo() const { return host.infos.empty() ? "" : host.infos.back(); }
};

TEST_F(RestoreTest, PutsTheNewestDirectoryBackAsBeforeTheUpgradeOnce) {
  upgrade(root);
  ASSERT_NE(withoutBackups(data), before);
  {
    const fixture::UnchangedDir planOnly(data);
    EXPECT_EQ(restore(data, /*dryRun=*/true), RunEnd::kCompleted);
    EXPECT_NE(lastInfo().find("taşınacak: " + data.string() + "\\1002\r\n"), std::string::npos)
        << lastInfo();
    planOnly.expectUnchanged();
  }
  EXPECT_EQ(restore(data), RunEnd::kCompleted) << lastInfo();
  EXPECT_EQ(lastInfo().rfind("Upgrade geri alındı", 0), 0u) << lastInfo();
  EXPECT_EQ(fixture::describeChanges(before, withoutBackups(data)), "");
  // What the upgrade created is kept, not deleted.
  bool moved = false;
  for (const auto& e : fs::directory_iterator(data))
    moved = moved || fs::exists(e.path() / "1002" / "Char.DB");
  EXPECT_TRUE(moved);
  // Once taken back, the list is never used again.
  EXPECT_EQ(restore(data), RunEnd::kStopped);
  EXPECT_EQ(lastInfo().rfind("Bu upgrade daha önce geri alınmış", 0), 0u) << lastInfo();
}

struct Change {
  const char* what;
  std::function<void(const fs::path& data)> apply;
  const char* message;  // a part of the refusal
};

void PrintTo(const Change& c, std::ostream* os) {
  *os << c.what;
}

class Refused : public RestoreTest, public ::testing::WithParamInterface<Change> {};

TEST_P(Refused, NothingIsWritten) {
  upgrade(root);
  GetParam().apply(data);
  const fixture::UnchangedDir unchanged(data);
  EXPECT_EQ(restore(data), RunEnd::kStopped);
  EXPECT_NE(lastInfo().find(GetParam().message), std::string::npos) << lastInfo();
  unchanged.expectUnchanged([](const std::string& line) {
    return line.find(platform::kRunLockFileName) != std::string::npos;
  });
}

// The upgrade's list in its backup folder (its name is UTF-8: located as the
// program locates it).
fs::path listOf(const fs::path& data) {
  for (const auto& e : fs::directory_iterator(data))
    if (e.path().filename().string().rfind("UD_YEDEK_2", 0) == 0)
      return *platform::TypedPath::resolve(e.path().string()).locate(kUpgradeListName);
  return {};
}

INSTANTIATE_TEST_SUITE_P(
    Changes, Refused,
    ::testing::Values(
        Change{"a posting in an upgraded company",
               [](const fs::path& data) {
                 TTable t("Char", "Char.DB", nullptr);
                 t.setDatabaseName((data / "1001").string());
                 t.open();
                 t.insert();
                 t.post();
                 t.close();
               },
               "1001\\Char.DB: 1 yeni kayıt"},
        Change{"a file added to a company it created",
               [](const fs::path& data) { fixture::writeFileBytes(data / "1002" / "not.txt", "x"); },
               "1002\\not.txt: dosya eklendi"},
        Change{"a company registered by a carry-forward since",
               [](const fs::path& data) {
                 TTable t("sirket", "sirket.DB", nullptr);
                 t.setDatabaseName(data.string());
                 t.open();
                 t.insert();
                 t.field("SIRKET_KOD").setAsString("2006_001");
                 t.post();
                 t.close();
               },
               "--withdraw-carry --data"},
        Change{"an upgrade made before lists were kept",
               [](const fs::path& data) { EXPECT_TRUE(fs::remove(listOf(data))); },
               "kaydı tutulmadan önce yapılmış"},
        Change{"an upgrade that was cut off",
               [](const fs::path& data) {
                 const fs::path list = listOf(data);
                 std::string text = fixture::readFileBytes(list);
                 text.erase(text.rfind("son;"));
                 fixture::writeFileBytes(list, text);
               },
               "Bu upgrade yarıda kalmış"}));

// A restore cut off at each call that changes a file (every later call fails, as
// a killed process leaves the files) is finished by the next run, whatever
// job that run was started for.
TEST_F(RestoreTest, CutOffAnywhereTheNextRunFinishesIt) {
  upgrade(root);
  int calls = 0;
  {
    fixture::FaultPlan counting = fixture::FaultPlan::counting();
    counting.countingChangesOnly();
    const fs::path probe = tmp.path() / "PROBE";
    fs::copy(data, probe, fs::copy_options::recursive);
    fixture::ScopedFaults on(counting);
    ASSERT_EQ(restore(probe), RunEnd::kCompleted);
    calls = counting.calls();
  }
  ASSERT_GT(calls, 10);
  for (int at = 1; at <= calls; ++at) {
    SCOPED_TRACE("cut off at call " + std::to_string(at));
    const fs::path trial = tmp.path() / ("T" + std::to_string(at));
    fs::copy(data, trial, fs::copy_options::recursive);
    {
      fixture::FaultPlan plan = fixture::FaultPlan::crashAt(at);
      plan.skippingSyncs().countingChangesOnly();
      fixture::ScopedFaults on(plan);
      restore(trial);
    }
    fixture::FaultPlan fast = fixture::FaultPlan::counting();
    fixture::ScopedFaults on(fast.skippingSyncs());
    const RunEnd again = restore(trial);
    EXPECT_TRUE(again == RunEnd::kCompleted ||
                lastInfo().rfind("Bu upgrade daha önce geri alınmış", 0) == 0)
        << lastInfo();
    EXPECT_EQ(fixture::describeChanges(before, withoutBackups(trial)), "");
    EXPECT_FALSE(fs::exists(trial / kRestoreMarker));
    fs::remove_all(trial);
  }
}

}  // namespace
