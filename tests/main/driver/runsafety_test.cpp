// What a user is left with when a run is killed, fails a check, or meets
// another run: child processes killed with SIGKILL at scripted points, the
// next run, the checks before writing and one concurrent pair.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <map>

#include "carry/staging.h"
#include "data/datamodule.h"
#include "jobs/workspace.h"
#include "main/driver/headless.h"
#include "main/driver/restorecommand.h"
#include "main/driver/rundriver.h"
#include "platform/runlock.h"
#include "report/reportfiles.h"
#include "support/company_fixture.h"
#include "support/expect_unchanged.h"
#include "support/fixture_files.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"
#include "support/testos.h"
#include "upgrade/upgradelist.h"

namespace fs = std::filesystem;
using fixture::DataDir;
using fixture::TempDir;

namespace {

struct Errors : ErrorReport {
  std::vector<std::string> texts;
  void errorBox(const std::string& text) override { texts.push_back(text); }
};

#ifndef _WIN32
// Kills its own process when a status text equals `killAt`.
class KillingHost : public RecordingHost {
 public:
  std::string killAt;
  void setStatusText(const std::string& text) override {
    if (text == killAt) ::raise(SIGKILL);
    RecordingHost::setStatusText(text);
  }
};

// Runs `body` in a child process; "exit N" or "signal N".
template <typename Body>
std::string inChild(Body body) {
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(body());
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFSIGNALED(status) ? "signal " + std::to_string(WTERMSIG(status))
                             : "exit " + std::to_string(WEXITSTATUS(status));
}
#else
// Windows has no fork: the killed runs are tested on Linux only.
using KillingHost = RecordingHost;
#endif

RunEnd runOnce(RecordingHost& host, Errors* errors = nullptr) {
  Workspace ws;
  Errors local;
  return Button1Click(host, host.options(), ws, errors ? *errors : local,
                      [] { return platform::ProductStatus::closed(); });
}

void writeSample(const fs::path& root) {
  DataDir d(root);
  d.registry()
      .company("2004_001", "Geçen", 2004)
      .company("2005_001", "Ak", 2005)
      .company("2005_002", "Bal", 2005);
  for (int i = 0; i < 2; ++i) {
    fixture::CompanyDir& c = d.company(i ? "2005_002" : "2005_001");
    c.withCard("120.01", 2'500'000, "Alacak").withCard("120.02", 750'000, "Borç");
    c.withStock("S1", 4, 600'000).withStock("S2", 0, 0);
    c.withCheque("Bankada", 1'000'000).withCheque("Ödendi", 2'000'000);
    fixture::Movement unpaid, paid;
    unpaid.amount = 300'000;
    unpaid.instalment = true;
    unpaid.paid = false;
    paid.amount = 100'000;
    paid.instalment = paid.paid = true;
    c.withMovement(unpaid).withMovement(paid);
    c.withProduction("S1", 2, 150'000).withFile("c_grup.DB", "grup");
  }
  d.company("2004_001").withCard("100", 1, "Borç");
  d.write();
}

// Code -> short name of every registry row.
std::map<std::string, std::string> registry(const fs::path& data) {
  TDM dm;
  TTable& t = dm.SirketPravex_T;
  t.setDatabaseName(data.string());
  t.open();
  std::map<std::string, std::string> rows;
  for (t.first(); !t.eof(); t.next())
    rows[t.field("SIRKET_KOD").asString()] = t.field("KISA_AD").asString();
  t.close();
  return rows;
}

// Every file under `data` but the run lock.
fixture::DirectorySnapshot files(const fs::path& dir) {
  fixture::DirectorySnapshot s = fixture::snapshotDirectory(dir);
  s.erase(platform::kRunLockFileName);
  return s;
}

// The companies of the target year, each by its short name: the snapshot of
// its directory. Fails on a name registered twice.
std::map<std::string, fixture::DirectorySnapshot> newCompanies(const fs::path& data) {
  std::map<std::string, fixture::DirectorySnapshot> out;
  for (const auto& [code, name] : registry(data)) {
    if (code.rfind("2006_", 0) != 0) continue;
    EXPECT_FALSE(out.count(name)) << name << " registered twice";
    out[name] = files(data / code);
  }
  return out;
}

[[maybe_unused]] std::vector<std::string> markedOrWorking(const fs::path& data) {
  std::vector<std::string> out;
  for (const auto& e : fs::directory_iterator(data))
    if (e.is_directory() && (fs::exists(e.path() / kWorkMarker) ||
                             e.path().filename().string().rfind(kWorkPrefix, 0) == 0))
      out.push_back(e.path().filename().string());
  return out;
}

class RunSafety : public ::testing::Test {
 protected:
  TempDir tmp;
  fs::path data = tmp.path() / "DATA";
  KillingHost host;

  void SetUp() override {
    writeSample(data);
    host.carry2005(data.string(), true);
  }
  // What an uninterrupted run makes of the same data.
  std::map<std::string, fixture::DirectorySnapshot> reference() {
    const fs::path ref = tmp.path() / "REF";
    writeSample(ref);
    RecordingHost h = host;
    h.newDir = ref.string();
    EXPECT_EQ(runOnce(h), RunEnd::kCompleted);
    return newCompanies(ref);
  }
};

// --- kills ------------------------------------------------------------------

#ifndef _WIN32
class CarryKill : public RunSafety, public ::testing::WithParamInterface<const char*> {};

TEST_P(CarryKill, LeavesOnlyWholeCompaniesAndTheNextRunCarriesTheRest) {
  const auto expected = reference();
  fixture::UnchangedDir old1(data / "2005_001"), old2(data / "2005_002"), templ(data / "DBBACKUP");
  host.killAt = GetParam();
  ASSERT_EQ(inChild([&] { return static_cast<int>(runOnce(host)); }), "signal 9");

  // Killed: every registered new company is whole, the old ones untouched.
  for (const auto& [name, snapshot] : newCompanies(data)) {
    auto tables = snapshot;
    tables.erase(kWorkMarker);
    EXPECT_EQ(fixture::describeChanges(expected.at(name), tables), "") << name;
  }
  const bool leftover = !markedOrWorking(data).empty();

  // The next run removes what was left, passes over what was carried and
  // carries the rest as an uninterrupted run would.
  RecordingHost again = host;
  again.statuses.clear();
  again.infos.clear();
  EXPECT_EQ(runOnce(again), RunEnd::kCompleted);
  EXPECT_EQ(again.statuses.front().rfind("Yarım kalmış devirden kalan dizin silindi: ", 0) == 0,
            leftover);
  EXPECT_EQ(markedOrWorking(data), std::vector<std::string>{});
  const auto rows = registry(data);
  for (const auto& e : fs::directory_iterator(data))
    EXPECT_TRUE(!e.is_directory() || rows.count(e.path().filename().string()) ||
                e.path().filename() == "DBBACKUP" ||
                e.path().filename() == testos::utf8Path(report::kReportFolderName))
        << e.path() << " is no registered company";
  EXPECT_EQ(newCompanies(data), expected);
  old1.expectUnchanged();
  old2.expectUnchanged();
  templ.expectUnchanged();
}

INSTANTIATE_TEST_SUITE_P(Points, CarryKill,
                         ::testing::Values("Ak şirketi oluşturuluyor.",
                                           "Bal şirketi devir dosyaları kopyalanıyor",
                                           "Bal şirketinin Stok kartları devrediliyor",
                                           "Bal şirketinin uretim kayıtları düzenleniyor"));

// A killed run can also stop between the steps that give a finished company
// its name, its registry row and its marker's removal.
#endif

TEST_F(RunSafety, TheNextRunRemovesUnregisteredMarkedDirectoriesAndOnlyTheMarkerOfRegisteredOnes) {
  ASSERT_EQ(runOnce(host), RunEnd::kCompleted);  // 2006_001 Ak, 2006_002 Bal
  const auto whole = files(data / "2006_001");
  for (const char* dir : {"2006_001", "2006_003", ".ud-devir-2006_004", "2006_005"}) {
    fs::create_directories(data / dir);
    if (std::string(dir) != "2006_005") fixture::writeFileBytes(data / dir / kWorkMarker, "");
  }
  host.onSelect = [](CompanyList&) { return false; };  // the list is enough
  host.statuses.clear();
  EXPECT_EQ(runOnce(host), RunEnd::kCancelled);
  EXPECT_TRUE(host.statusVisible);
  EXPECT_EQ(
      host.statuses,
      (std::vector<std::string>{
          "Yarım kalmış devirden kalan dizin silindi: " + data.string() + "\\.ud-devir-2006_004",
          "Yarım kalmış devirden kalan dizin silindi: " + data.string() + "\\2006_003"}));
  EXPECT_EQ(files(data / "2006_001"), whole);
  EXPECT_FALSE(fs::exists(data / "2006_003"));
  EXPECT_TRUE(fs::exists(data / "2006_005"));  // not ours: never touched
}

// Every file under `dir` but the run lock and the kept copies.
[[maybe_unused]] fixture::DirectorySnapshot withoutKept(const fs::path& dir) {
  fixture::DirectorySnapshot s = files(dir);
  std::erase_if(s, [](const auto& e) { return e.first.rfind("UD_YEDEK_", 0) == 0; });
  return s;
}

class UpgradeKill : public ::testing::TestWithParam<const char*> {
 protected:
  TempDir tmp;
  KillingHost host;
  void point(const fs::path& root) {
    host.upgrade = true;
    host.devir = false;
    host.oldDir = (root / "OLD").string();
    host.newDir = (root / "NEW").string();
  }
};

#ifndef _WIN32
TEST_P(UpgradeKill, TheNextRunEndsAsAnUninterruptedOne) {
  fixture::writeEditions(tmp.path() / "REF");
  point(tmp.path() / "REF");
  ASSERT_EQ(runOnce(host), RunEnd::kCompleted);
  const auto expected = withoutKept(tmp.path() / "REF" / "NEW");

  const fs::path run = tmp.path() / "RUN";
  fixture::writeEditions(run);
  const auto beforeUpgrade = withoutKept(run / "NEW");
  fixture::UnchangedDir old(run / "OLD");
  point(run);
  host.killAt = GetParam();
  ASSERT_EQ(inChild([&] { return static_cast<int>(runOnce(host)); }), "signal 9");
  fixture::writeFileBytes(run / "NEW" / "1001" / ".ud-copy-Ab12Cd", "half a copy");
  host.killAt.clear();
  EXPECT_EQ(runOnce(host), RunEnd::kCompleted);
  EXPECT_EQ(fixture::describeChanges(expected, withoutKept(run / "NEW")), "");
  old.expectUnchanged();
  // The finished upgrade kept the files as they were before the killed one
  // began: taken back, the directory is as before both.
  Errors errors;
  RestoreRequest restore;
  restore.data = platform::TypedPath::resolve(host.newDir);
  EXPECT_EQ(RunRestoreUpgrade(host, errors, [] { return platform::ProductStatus::closed(); },
                              restore),
            RunEnd::kCompleted)
      << host.infos.back();
  EXPECT_EQ(fixture::describeChanges(beforeUpgrade, withoutKept(run / "NEW")), "");
}

INSTANTIATE_TEST_SUITE_P(Points, UpgradeKill,
                         ::testing::Values("Ak şirketi kopyalanıyor...",
                                           "Bal şirketi güncelleniyor",
                                           "Bal şirketinin fatura hareketleri düzenleniyor"));

#endif

TEST_F(UpgradeKill, KeepsTheNewestRegistryAndTheCompanyFilesItReplaces) {
  const fs::path root = tmp.path() / "D";
  fixture::writeEditions(root);
  // A finished company whose marker a killed carry-forward left: the
  // upgrade drops its row, but it stays whole.
  const auto company = files(root / "NEW" / "2005_009");
  fixture::writeFileBytes(root / "NEW" / "2005_009" / kWorkMarker, "");
  const auto before = files(root / "NEW");
  point(root);
  ASSERT_EQ(runOnce(host), RunEnd::kCompleted);
  std::vector<fs::path> kept;
  for (const auto& e : fs::directory_iterator(root / "NEW"))
    if (e.path().filename().string().rfind("UD_YEDEK_", 0) == 0) kept.push_back(e.path());
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(host.statuses.front(), "Upgrade işleminin değiştireceği dosyaların kopyası alındı: " +
                                       host.newDir + "\\" + kept[0].filename().string());
  // The registry as the newest edition had it, and all of company 1001.
  fixture::DirectorySnapshot expected;
  for (const auto& [name, digest] : before)
    if (name.rfind("sirket.", 0) == 0 || name.rfind("1001/", 0) == 0) expected[name] = digest;
  fixture::DirectorySnapshot copy = fixture::snapshotDirectory(kept[0]);
  EXPECT_EQ(copy.erase(kUpgradeListName), 1u);  // with the upgrade's list
  EXPECT_EQ(fixture::describeChanges(expected, copy), "");
  EXPECT_FALSE(fs::exists(root / "NEW" / "2005_009" / kWorkMarker));
  EXPECT_EQ(files(root / "NEW" / "2005_009"), company);
}

// --- checks before writing ----------------------------------------------------

struct Damage {
  const char* what;
  std::function<void(const fs::path& data, RecordingHost&)> apply;
  const char* message;  // the start of the information box text
};

void PrintTo(const Damage& d, std::ostream* os) {
  *os << d.what;
}

class DamagedInput : public RunSafety, public ::testing::WithParamInterface<Damage> {};

TEST_P(DamagedInput, StopsBeforeWritingAnything) {
  GetParam().apply(data, host);
  const auto before = files(data);
  Errors errors;
  EXPECT_EQ(runOnce(host, &errors), RunEnd::kStopped)
      << (errors.texts.empty() ? "" : errors.texts[0]);
  ASSERT_EQ(host.infos.size(), 1u);
  EXPECT_EQ(host.infos[0].rfind(GetParam().message, 0), 0u) << host.infos[0];
  EXPECT_EQ(fixture::describeChanges(before, files(data)), "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedInput,
    ::testing::Values(
        Damage{"StockTableMissingBesideItsIndex",
               [](const fs::path& d, RecordingHost&) { fs::remove(d / "2005_002" / "Stok.DB"); },
               "Bal adlı şirketin verileri açılamadı\r\n"},
        Damage{"KeyedTableWithoutPrimaryIndex",
               [](const fs::path& d, RecordingHost&) { fs::remove(d / "2005_002" / "Cari.PX"); },
               "Bal adlı şirketin verileri açılamadı\r\n"},
        Damage{"HeaderClaimsMoreRecords",
               [](const fs::path& d, RecordingHost&) {
                 fixture::corruptU32(d / "2005_002" / "ceksen.DB", 0x06, 1002);
               },
               "Bal adlı şirketin verileri açılamadı\r\n"},
        Damage{"SettingsAlreadyInNewLira",
               [](const fs::path& d, RecordingHost&) {
                 DataDir again(d);
                 again.company("2005_001")
                     .settings({{"PARABIRIMI", Variant{std::string("Yeni Türk Lirası")}}});
                 again.company("2005_001").write(d / "2005_001");
               },
               "Ak şirketinin tutarları zaten Yeni Türk Lirası'na çevrilmiş"},
        Damage{"SameYear", [](const fs::path&, RecordingHost& h) { h.toYear = "2005"; },
               "Devir yapılacak yıl (2005) devri yapılan yıldan (2005) büyük olmalıdır"},
        Damage{"EarlierYear", [](const fs::path&, RecordingHost& h) { h.toYear = "2004"; },
               "Devir yapılacak yıl (2004) devri yapılan yıldan (2005) büyük olmalıdır"}),
    [](const auto& test) { return std::string(test.param.what); });

// --- already carried ---------------------------------------------------------------

TEST_F(RunSafety, AllCompaniesPassesOverOneAlreadyCarriedAndNamingItCarriesItAgain) {
  ASSERT_EQ(runOnce(host), RunEnd::kCompleted);
  const std::vector<std::string> args = {"--devir", "--data", data.string(), "--from",
                                         "2005",    "--to",   "2006",        "--ytl"};
  std::ostringstream out, err;
  EXPECT_EQ(RunHeadless(args, out, err, [] { return platform::ProductStatus::closed(); }),
            kExitStopped);
  EXPECT_NE(err.str().find("2005_001 zaten 2006_001 koduyla 2006 yılına devredilmiş: atlanıyor"),
            std::string::npos)
      << err.str();
  EXPECT_EQ(out.str(), "2005 yılının bütün şirketleri 2006 yılına devredilmiş\n");
  auto again = args;
  again.insert(again.end(), {"--companies", "2005_002"});
  EXPECT_EQ(RunHeadless(again, out, err, [] { return platform::ProductStatus::closed(); }),
            kExitCompleted);
  // Ak, carried already, holds no number in the list: Bal takes the next one.
  EXPECT_EQ(registry(data).at("2006_003"), "Bal 2006");
}

// --- two runs at once --------------------------------------------------------------

#ifndef _WIN32
TEST_F(RunSafety, ASecondRunStopsWithTheFirstOnesNameAndWritesNothing) {
  int ready[2], go[2];
  ASSERT_EQ(::pipe(ready), 0);
  ASSERT_EQ(::pipe(go), 0);
  // The first run waits in its company selection, holding the directory.
  host.onSelect = [&](CompanyList&) {
    char c = 'r';
    (void)!::write(ready[1], &c, 1);
    (void)!::read(go[0], &c, 1);
    return true;
  };
  std::string firstEnd;
  const pid_t first = ::fork();
  if (first == 0) ::_exit(runOnce(host) == RunEnd::kCompleted ? 0 : 1);
  char c = 0;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);

  const auto before = files(data);
  RecordingHost second = host;
  second.onSelect = [](CompanyList&) { return true; };
  EXPECT_EQ(runOnce(second), RunEnd::kStopped);
  ASSERT_EQ(second.infos.size(), 1u);
  EXPECT_EQ(second.infos[0].rfind(
                data.string() + " dizininde başka bir Upgrade-Devir işlemi çalışıyor.", 0),
            0u);
  EXPECT_NE(second.infos[0].find("işlem no: " + std::to_string(first)), std::string::npos)
      << second.infos[0];
  EXPECT_EQ(fixture::describeChanges(before, files(data)), "");

  (void)!::write(go[1], &c, 1);
  int status = 0;
  ::waitpid(first, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(registry(data).size(), 5u);
}
#endif

}  // namespace
