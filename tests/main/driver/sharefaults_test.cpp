// The jobs over a failing file share (the stand-in share, ud-share): a read,
// write, rename or sync that the server fails, or a table that shrinks under
// the check, stops the run with the failure's Turkish words naming the file
// as typed, leaves the old data byte for byte, and the same run on the healed
// share writes what an undisturbed run writes.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "main/driver/headless.h"
#include "platform/runlock.h"
#include "support/company_fixture.h"
#include "support/fixture_files.h"
#include "support/share/stand_in_share.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

enum class Job { kCarry, kUpgrade, kOpenings };

struct Case {
  const char* name;
  Job job;
  const char* op;    // the server's words (ud_share.cpp)
  const char* file;  // a pattern of the server's
  long after;        // calls that go through first
  const char* error;
  int status;         // kExitStopped: found before writing
  const char* words;  // the cause the user reads
  const char* named;  // the file the message names, any case
  // The registry cannot be read again to see whether the new company's row
  // reached it: the company stays, marked and unregistered (the product
  // never lists it), for the next run to decide.
  bool leavesMarkedCompany = false;
};

const char kReadFailed[] = "Tablo okunamadı";
const char kIoError[] = "disk okuma/yazma hatası";
const char kDiskFull[] = "diskte yer kalmadı";

const Case kCases[] = {
    // Reads of the old company, in the checks before writing and in the steps.
    {"CardsUnreadableInTheChecks", Job::kCarry, "read", "Cari.DB", 0, "EIO", kExitStopped, kIoError,
     "2005_001\\Cari.DB"},
    {"MovementsUnreadableLater", Job::kCarry, "read", "Char.DB", 6, "EIO", kExitStopped, kIoError,
     "Char.DB"},
    {"SettingsUnreadable", Job::kCarry, "read", "ayar.db", 2, "EIO", kExitStopped, kIoError,
     "2005_001\\ayar.DB"},
    {"RegistryUnreadable", Job::kCarry, "read", "sirket.db", 1, "EIO", kExitStopped, kIoError,
     "sirket.db"},
    // Writes of the new company and of the registry.
    {"WorkingDirectoryRefused", Job::kCarry, "mkdir", ".ud-devir-2006_001", 0, "ENOSPC",
     kExitFailed, kDiskFull, ".ud-devir-2006_001"},
    {"NewCardsDiskFull", Job::kCarry, "write", "Cari.DB", 0, "ENOSPC", kExitFailed, kDiskFull,
     "Cari"},
    {"NewCardsWriteError", Job::kCarry, "write", "Cari.DB", 0, "EIO", kExitFailed, kIoError,
     "Cari"},
    {"SecondCompanyCopyDiskFull", Job::kCarry, "write", ".ud-copy-*", 40, "ENOSPC", kExitFailed,
     kDiskFull, ""},
    {"NewStockSyncFails", Job::kCarry, "sync", "Stok.DB", 0, "EIO", kExitFailed, kIoError,
     "Stok.DB"},
    {"PublishingRenameFails", Job::kCarry, "rename", "2006_001", 0, "EIO", kExitFailed, kIoError,
     "2006_001"},
    {"RegistryDiskFull", Job::kCarry, "write", "*sirket.db*", 0, "ENOSPC", kExitFailed, kDiskFull,
     "sirket.db"},
    {"RegistryRenameFails", Job::kCarry, "rename", "sirket.db", 0, "EIO", kExitFailed, kIoError,
     "sirket.db"},
    {"RegistrySyncFails", Job::kCarry, "sync", "*sirket.db*", 0, "EIO", kExitFailed, kIoError,
     "sirket.db", true},
    // The upgrade reads the older edition and writes the newest.
    {"OlderRegistryUnreadable", Job::kUpgrade, "read", "sirket.DB", 0, "EIO", kExitStopped,
     kIoError, "sirket.DB"},
    {"UpgradeDiskFull", Job::kUpgrade, "write", "*", 0, "ENOSPC", kExitFailed, kDiskFull, ""},
    // The openings check reads both years, writes nothing and says which
    // tables it could not read in its report.
    {"OpeningsNewCardsUnreadable", Job::kOpenings, "read", "Cari.DB", 3, "EIO", kExitReportDiffers,
     kIoError, "2006_001/Cari.DB"},
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

// Two companies of 2005 with every kind of record the carry takes.
void writeData(const fs::path& data) {
  fixture::DataDir d(data);
  d.registry().company("2005_001", "Ak", 2005).company("2005_002", "Bal", 2005);
  for (const char* code : {"2005_001", "2005_002"}) {
    fixture::CompanyDir& c = d.company(code);
    c.withCard("120.01", 2'500'000, "Alacak").withCard("120.02", 750'000, "Borç");
    c.withStock("S1", 4, 600'000).withStock("S2", 0, 0);
    c.withCheque("Bankada", 1'000'000).withCheque("Ödendi", 2'000'000);
    fixture::Movement unpaid;
    unpaid.amount = 300'000;
    unpaid.instalment = true;
    unpaid.paid = false;
    c.withMovement(unpaid).withMovement(fixture::Movement{});
    c.withProduction("S1", 2, 150'000);
  }
  d.write();
}

void writeOlder(const fs::path& old) {
  fixture::DataDir older(old, fixture::Edition::kOlder);
  older.registry().company("2004_001", "Eski", 2004);
  older.company("2004_001").withCard("100", 1, "Borç");
  older.write();
}

std::string lower(std::string s) {
  for (char& ch : s)
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
  return s;
}

struct Outcome {
  int status;
  std::string text;  // standard output, then standard error
};

Outcome run(Job job, const fs::path& root) {
  const std::string data = (root / "data").string();
  std::vector<std::string> args = {"--devir",
                                   "--data",
                                   data,
                                   "--from",
                                   "2005",
                                   "--to",
                                   "2006",
                                   "--companies",
                                   "all",
                                   "--report-dir",
                                   (root.parent_path() / "reports").string()};
  if (job == Job::kUpgrade) args = {"--upgrade", "--old", (root / "old").string(), "--data", data};
  if (job == Job::kOpenings)
    args = {"--check-openings",
            "--data",
            data,
            "--from",
            "2005",
            "--to",
            "2006",
            "--report-dir",
            (root.parent_path() / "reports").string()};
  std::ostringstream out, err;
  const int status = RunHeadless(args, out, err, [] { return platform::ProductStatus::closed(); });
  return {status, out.str() + err.str()};
}

// Every file of a data directory but the run lock; the upgrade's backups
// under one name, whatever their time.
fixture::DirectorySnapshot files(const fs::path& dir) {
  fixture::DirectorySnapshot s;
  for (const auto& [name, digest] : fixture::snapshotDirectory(dir)) {
    if (name.find(platform::kRunLockFileName) != std::string::npos) continue;
    const std::size_t backup = name.find("UD_YEDEK_");
    if (backup == std::string::npos) {
      s[name] = digest;
    } else {
      const std::size_t slash = name.find('/', backup);
      s[name.substr(0, backup) + "UD_YEDEK" + name.substr(slash)] = digest;
    }
  }
  return s;
}

// What a job is given: the data (and the older edition's) under `root`,
// carried already for the openings check.
void prepare(Job job, const fs::path& root) {
  writeData(root / "data");
  if (job == Job::kUpgrade) writeOlder(root / "old");
  if (job == Job::kOpenings) {
    ASSERT_EQ(run(Job::kCarry, root).status, kExitCompleted);
  }
}

class ShareFaults : public ::testing::TestWithParam<Case> {};

TEST_P(ShareFaults, StopInTurkishLeaveTheDataAndRunAgainOnceHealed) {
  const Case& c = GetParam();
  fixture::TempDir tmp;
  const fs::path source = tmp.path() / "server";
  prepare(c.job, source);
  fixture::StandInShare share(source);
  if (!share.usable()) GTEST_SKIP() << share.whyNot();

  // The undisturbed run, on a local copy of the same data.
  const fs::path reference = tmp.path() / "reference";
  prepare(c.job, reference);
  const Outcome undisturbedRun = run(c.job, reference);
  ASSERT_EQ(undisturbedRun.status, kExitCompleted) << undisturbedRun.text;
  const fixture::DirectorySnapshot undisturbed = files(reference / "data");

  const fixture::DirectorySnapshot before = files(source);
  share.fail(c.op, c.file, c.after, c.error);
  const Outcome failed = run(c.job, share.mount());
  const long faults = share.count(c.op, c.file);
  share.heal();

  EXPECT_EQ(failed.status, c.status) << failed.text;
  EXPECT_NE(failed.text.find(c.words), std::string::npos) << failed.text;
  EXPECT_NE(lower(failed.text).find(lower(share.mount().string())), std::string::npos)
      << failed.text;
  EXPECT_NE(lower(failed.text).find(lower(c.named)), std::string::npos) << failed.text;
  EXPECT_GT(faults, c.after) << "the fault never came";
  // No company half built, no old byte changed.
  fixture::DirectorySnapshot after = files(source);
  if (c.leavesMarkedCompany) {
    EXPECT_EQ(after.count("data/2006_001/.ud-devir-yapiliyor"), 1u);
    std::erase_if(after, [](const auto& file) {
      return file.first.rfind("data/2006_001/", 0) == 0 ||
             file.first.find("-2006_001.csv") != std::string::npos;
    });
  }
  EXPECT_EQ(fixture::describeChanges(before, after), "") << failed.text;

  const Outcome again = run(c.job, share.mount());
  EXPECT_EQ(again.status, kExitCompleted) << again.text;
  EXPECT_EQ(fixture::describeChanges(undisturbed, files(source / "data")), "");
}

INSTANTIATE_TEST_SUITE_P(Cases, ShareFaults, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& p) {
                           return std::string(p.param.name);
                         });

// A table cut short while the checks read it: a Turkish stop, no signal.
TEST(ShareFaults, TableShrinkingUnderTheCheck) {
  fixture::TempDir tmp;
  const fs::path source = tmp.path() / "server";
  prepare(Job::kCarry, source);
  fixture::StandInShare share(source);
  if (!share.usable()) GTEST_SKIP() << share.whyNot();
  const fixture::DirectorySnapshot before = files(source);
  share.shrink("Char.DB", 1, 2048 + 512);
  const Outcome failed = run(Job::kCarry, share.mount());
  EXPECT_EQ(failed.status, kExitStopped) << failed.text;
  EXPECT_NE(failed.text.find(kReadFailed), std::string::npos) << failed.text;
  EXPECT_NE(failed.text.find("Char.DB"), std::string::npos) << failed.text;
  fixture::DirectorySnapshot after = files(source);
  after.erase("data/2005_001/Char.DB");  // the server's own file was cut
  after.erase("data/2005_002/Char.DB");
  fixture::DirectorySnapshot expected = before;
  expected.erase("data/2005_001/Char.DB");
  expected.erase("data/2005_002/Char.DB");
  EXPECT_EQ(fixture::describeChanges(expected, after), "");
}

}  // namespace
