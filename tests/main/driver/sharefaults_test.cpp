// The jobs over a failing file share (the stand-in share, ud-share): a read,
// write, rename or sync that the server fails, or a table that shrinks under
// the check, stops the run with the failure's Turkish words naming the file
// as typed, leaves the old data byte for byte, and the same run on the healed
// share writes what an undisturbed run writes.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "main/driver/headless.h"
#include "platform/runlock.h"
#include "support/company_fixture.h"
#include "support/fixture_files.h"
#include "support/share/stand_in_share.h"
#include "support/temp_dir.h"
#include "upgrade/upgradelist.h"

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
    {"NewStockSyncDiskFull", Job::kCarry, "sync", "Stok.DB", 0, "ENOSPC", kExitFailed, kDiskFull,
     "Stok.DB"},
    {"NewChequesCommitRenameFails", Job::kCarry, "rename", "ceksen.db", 0, "EIO", kExitFailed,
     kIoError, "ceksen"},
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
    {"OpeningsRegistryUnreadable", Job::kOpenings, "read", "sirket.db", 0, "EIO", kExitStopped,
     kIoError, "sirket.db"},
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

// The benchmark's figures: every call reaches the server, waits its delay
// and is counted, and the counts start again at "reset".
TEST(ShareFaults, EveryCallWaitsAndIsCounted) {
  fixture::TempDir tmp;
  fs::create_directories(tmp.path() / "server" / "d");
  fixture::StandInShare share(tmp.path() / "server");
  if (!share.usable()) GTEST_SKIP() << share.whyNot();
  share.ask("reset");
  const auto total = [&] { return std::stol(share.ask("total")); };
  EXPECT_EQ(total(), 0);
  std::error_code ec;
  (void)fs::status(share.mount() / "d", ec);
  const long afterStat = total();
  EXPECT_GE(afterStat, 1);
  (void)fs::directory_iterator(share.mount() / "d", ec);
  EXPECT_GT(total(), afterStat);
  EXPECT_NE(share.ask("total").find("opendir="), std::string::npos);
  share.delay(20000);
  const auto start = std::chrono::steady_clock::now();
  (void)fs::status(share.mount() / "d", ec);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(20));
  share.delay(0);
  share.ask("reset");
  EXPECT_EQ(total(), 0);
}

// Every table file a job reads fails at its first read and half-way through
// its reads. A stop leaves each file either as it was or as the
// undisturbed run writes it (a company carried before the stop is whole and
// registered), never a working or marked directory; an end after the fault
// (in the report) is a whole run. Either way the run on the healed share
// ends with the companies of the undisturbed run.
class ShareReadSweep : public ::testing::TestWithParam<Job> {};

bool registryFile(const std::string& file) {
  return file.rfind("sirket.", 0) == 0;
}

// A data directory's new companies, each as its own snapshot, under any
// code (one carried again after a stop may take the next free code), and
// the rest of its files but the registry, the carry records and the
// upgrade's backups (a rerun keeps what a stopped upgrade had replaced too).
struct Outline {
  std::multiset<fixture::DirectorySnapshot> companies;
  fixture::DirectorySnapshot rest;
  bool operator==(const Outline&) const = default;
};
Outline outline(const fixture::DirectorySnapshot& s) {
  std::map<std::string, fixture::DirectorySnapshot> byCode;
  Outline o;
  for (const auto& [file, digest] : s) {
    const std::size_t slash = file.find('/');
    if (file.rfind("2006_", 0) == 0)
      byCode[file.substr(0, slash)][file.substr(slash + 1)] = digest;
    else if (!registryFile(file) && file.rfind("Devir Raporlar", 0) != 0 &&
             file.rfind("UD_YEDEK/", 0) != 0)
      o.rest[file] = digest;
  }
  for (const auto& [code, company] : byCode) o.companies.insert(company);
  return o;
}

TEST_P(ShareReadSweep, EveryTableFailingAtItsFirstReadAndHalfWay) {
  const Job job = GetParam();
  fixture::TempDir tmp;
  const fs::path reference = tmp.path() / "reference";
  prepare(job, reference);
  fixture::DirectorySnapshot undisturbed;
  std::map<std::string, long> reads;  // table file -> reads of an undisturbed run
  {
    fixture::StandInShare probe(reference);
    if (!probe.usable()) GTEST_SKIP() << probe.whyNot();
    ASSERT_EQ(run(job, probe.mount()).status, kExitCompleted);
    std::istringstream counts(probe.ask("counts"));
    for (std::string item; counts >> item;) {
      const std::size_t colon = item.find(':'), equals = item.rfind('=');
      const std::string name = item.substr(colon + 1, equals - colon - 1);
      if (item.rfind("read:", 0) == 0 && name.size() > 3 && name.substr(name.size() - 3) == ".db")
        reads[name] = std::stol(item.substr(equals + 1));
    }
    undisturbed = files(reference / "data");
  }
  ASSERT_GE(reads.size(), job == Job::kUpgrade ? 2u : 6u);

  for (const auto& [name, n] : reads) {
    for (long after : std::set<long>{0, n / 2}) {
      SCOPED_TRACE(name + " after " + std::to_string(after) + " reads");
      fixture::TempDir round;
      const fs::path source = round.path() / "server";
      prepare(job, source);
      const fixture::DirectorySnapshot before = files(source / "data");
      fixture::StandInShare share(source);
      ASSERT_TRUE(share.usable()) << share.whyNot();
      share.fail("read", name, after, "EIO");
      const Outcome o = run(job, share.mount());
      share.heal();
      const fixture::DirectorySnapshot left = files(source / "data");
      if (o.status == kExitStopped || o.status == kExitFailed) {
        EXPECT_NE(o.text.find(kIoError), std::string::npos) << o.text;
        // When the registry itself fails, a company whose registration it
        // refused stays, marked, for the next run to decide (DiscardNewCompany).
        const bool registryFails = name == "sirket.db";
        for (const auto& [file, digest] : left) {
          if (registryFails && file.rfind("2006_", 0) == 0) continue;
          const bool asBefore = before.count(file) && before.at(file) == digest;
          const bool asUndisturbed = undisturbed.count(file) && undisturbed.at(file) == digest;
          // The upgrade's list is begun before its first write and whole
          // only at its end.
          const bool upgradeList = file == std::string("UD_YEDEK/") + kUpgradeListName;
          EXPECT_TRUE(asBefore || asUndisturbed || registryFile(file) || upgradeList)
              << file << "\n" << o.text;
          EXPECT_EQ(file.find(".ud-"), std::string::npos) << file;
        }
        for (const auto& [file, digest] : before) EXPECT_TRUE(left.count(file)) << "lost " << file;
        const Outcome again = run(job, share.mount());
        EXPECT_EQ(again.status, kExitCompleted) << again.text;
      } else {
        // The fault came after the run's last need of the table: in the
        // report, which then differs.
        EXPECT_TRUE(o.status == kExitCompleted || o.status == kExitReportDiffers) << o.text;
      }
      EXPECT_TRUE(outline(files(source / "data")) == outline(undisturbed))
          << fixture::describeChanges(undisturbed, files(source / "data"));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Jobs, ShareReadSweep, ::testing::Values(Job::kCarry, Job::kUpgrade),
                         [](const ::testing::TestParamInfo<Job>& p) {
                           return p.param == Job::kCarry ? std::string("Carry")
                                                         : std::string("Upgrade");
                         });

}  // namespace
