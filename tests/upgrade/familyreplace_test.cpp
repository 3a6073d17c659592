// The upgrade's copies replace a table's files as a whole. A process killed
// at any file call of the copying phases (a crash through the file seam:
// that call and every later one fail) leaves every table of the newest data
// directory sound once the engine's recovery has run on its next open, the
// registry the newest edition's or the older one, never a mixture; and the
// next run completes.
#include <gtest/gtest.h>

#include <cctype>
#include <cerrno>
#include <filesystem>
#include <string>

#include "jobs/workspace.h"
#include "paradox/check.h"
#include "paradox/index.h"
#include "paradox/table.h"
#include "platform/leftovers.h"
#include "platform/rawfile.h"
#include "support/company_fixture.h"
#include "support/file_faults.h"
#include "support/fixture_files.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"
#include "upgrade/upgrade.h"

namespace fs = std::filesystem;

namespace {

// A process killed before its `at`-th call that changes a file (counted from
// 1; 0 never): that call and every later one fail. Calls that only read are
// not counted, as a kill there leaves what a kill at the next change leaves.
class KillBeforeChange final : public platform::FileFaults {
 public:
  explicit KillBeforeChange(int at) : m_at(at) {}
  int before(platform::FileOp op, const fs::path&) override {
    using platform::FileOp;
    if (m_killed) return EIO;
    if (op == FileOp::kSync) return platform::kSkipSync;  // a kill is no power cut
    if (op == FileOp::kOpen || op == FileOp::kRead || op == FileOp::kMap) return 0;
    m_killed = ++m_changes == m_at;
    return m_killed ? EIO : 0;
  }
  int changes() const { return m_changes; }

 private:
  int m_at;
  int m_changes = 0;
  bool m_killed = false;
};

// Remembers the count of changes when the copies begin (the newest files
// the upgrade replaces have been kept aside: a kill before leaves every table
// as it was) and when the first re-coding status shows (the copying phases
// are over then).
class PhaseHost : public RecordingHost {
 public:
  const KillBeforeChange* plan = nullptr;
  int copiesBeginAt = 0;
  int copiesEndAt = 0;
  void setStatusText(const std::string& text) override {
    if (copiesBeginAt == 0 && text == "Yeni veritabanı oluşturuluyor...")
      copiesBeginAt = plan->changes() + 1;
    if (copiesEndAt == 0 && text.find("hareketleri düzenleniyor") != std::string::npos)
      copiesEndAt = plan->changes();
    RecordingHost::setStatusText(text);
  }
};

class FamilyReplace : public ::testing::Test {
 protected:
  fixture::TempDir tmp;
  fs::path older = tmp.path() / "OLD";
  fs::path newest = tmp.path() / "NEW";
  fs::path pristine = tmp.path() / "NEW0";

  void SetUp() override {
    // The newest edition has a company of the code the older one brings,
    // with other records: each of its tables is replaced, and so is the
    // registry, whose older version has one row more.
    fixture::DataDir n(pristine);
    n.registry().company("1001", "Yeni", 2005);
    n.company("1001").withCard("120.01", 5, "Borç").withCard("120.02", 6, "Alacak");
    n.write();
    fixture::DataDir o(older, fixture::Edition::kOlder);
    o.registry().company("1001", "Ak", 2004).company("1002", "Bal", 2004);
    fixture::CompanyDir& c = o.company("1001").settingsFieldCount(60);
    for (int i = 0; i < 5; ++i) c.withCard("320." + std::to_string(i), 100 + i, "Alacak");
    c.withStock("S1", 3, 300).withMovement({});
    o.write();
  }

  void freshNewest() {
    fs::remove_all(newest);
    fs::copy(pristine, newest, fs::copy_options::recursive);
  }

  // Runs the upgrade with `plan` installed, as one process; false when it
  // threw.
  bool upgrade(KillBeforeChange& plan, PhaseHost& host) {
    host.upgrade = true;
    host.oldDir = older.string();
    host.newDir = newest.string();
    host.plan = &plan;
    fixture::ScopedFaults on(plan);
    Workspace ws;  // closed, as a killed process's handles are, before the faults go
    try {
      return RunEditionUpgrade(host, host.options(), ws);
    } catch (const std::exception&) {
      return false;
    }
  }

  // Opens every table that a cut-off replace left marked, as the next open
  // would, and returns the problems of every table of the newest directory.
  std::string problems() {
    std::string out;
    std::vector<fs::path> dirs = {newest};
    for (const auto& e : fs::directory_iterator(newest))
      if (e.is_directory() && e.path().filename().string().rfind("UD_YEDEK_", 0) != 0)
        dirs.push_back(e.path());
    for (const fs::path& dir : dirs)
      for (const auto& e : fs::directory_iterator(dir)) {
        std::string ext = e.path().extension().string();
        for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (ext != ".db" || e.path().filename().string()[0] == '.') continue;
        try {
          if (fs::exists(pdx::sideFile(e.path(), ".ix~"))) pdx::Table::open(e.path())->flush();
          for (const std::string& p : pdx::checkTable(e.path()))
            out += e.path().string() + ": " + p + "\n";
        } catch (const std::exception& x) {
          out += e.path().string() + ": " + x.what() + "\n";
        }
      }
    return out;
  }
};

TEST_F(FamilyReplace, AKillAtAnyCallOfTheCopiesLeavesEveryTableSoundAndTheRerunCompletes) {
  freshNewest();
  KillBeforeChange counting(0);
  PhaseHost first;
  ASSERT_TRUE(upgrade(counting, first));
  ASSERT_GT(first.copiesBeginAt, 0);
  ASSERT_GT(first.copiesEndAt, first.copiesBeginAt);
  const std::string upgraded = fixture::readFileBytes(newest / "sirket.db");
  const std::string before = fixture::readFileBytes(pristine / "sirket.db");
  ASSERT_NE(upgraded, before);

  // Under Wine every file call costs many times more: every 7th there.
#ifdef _WIN32
  constexpr int kStride = 7;
#else
  constexpr int kStride = 1;
#endif
  for (int call = first.copiesBeginAt; call <= first.copiesEndAt; call += kStride) {
    SCOPED_TRACE("killed before change " + std::to_string(call));
    freshNewest();
    KillBeforeChange crash(call);
    PhaseHost killed;
    upgrade(crash, killed);
    const std::string registry = fixture::readFileBytes(newest / "sirket.db");
    EXPECT_TRUE(registry == before || registry == upgraded);
    EXPECT_EQ(problems(), "");

    platform::removeCopyLeftovers(newest);  // as the next run does first
    KillBeforeChange none(0);
    PhaseHost rerun;
    EXPECT_TRUE(upgrade(none, rerun));
    EXPECT_EQ(problems(), "");
    if (HasFailure()) break;  // one call's story is enough to read
  }
}

}  // namespace
