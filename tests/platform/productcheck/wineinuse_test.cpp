// The "data in use" check against a stand-in database engine session under
// Wine (fakebde.c): the question to the prefix's own sharing state through
// the helper, and the Linux program's runs, which stop before writing while
// the session holds its lock files or a table and go through once it has
// ended, its lock files left on disk. One fresh prefix for the whole test:
// Wine takes tens of seconds to set one up.
#include "platform/productcheck/wineinuse.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/inuse.h"
#include "support/company_fixture.h"
#include "support/expect_unchanged.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

int shell(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool waitForFile(const fs::path& file, std::chrono::seconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!fs::exists(file) && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(50ms);
  return fs::exists(file);
}

// One session of the stand-in, its gate in a control directory of its own.
class Session {
 public:
  Session(const fs::path& control, const std::string& dir, const std::string& file = "")
      : m_control(control) {
    fs::create_directories(control);
    shell("wine '" UD_FAKE_BDE "' 'Z:" + control.string() + "' '" + dir + "' " +
          (file.empty() ? "" : "'" + file + "'") + " >/dev/null 2>&1 &");
  }
  ~Session() { end(); }
  bool ready() const { return waitForFile(m_control / "ready", 120s); }
  void end() {
    std::ofstream(m_control / "stop") << "";
    waitForFile(m_control / "done", 30s);
  }

 private:
  fs::path m_control;
};

struct ProgramRun {
  int status;
  std::string out;
};

ProgramRun carryForward(const fixture::TempDir& tmp) {
  const int status =
      shell("'" UD_PROGRAM "' --devir --data 'C:\\UD\\DATA' --from 2005 --to 2006 >'" +
            (tmp.path() / "out").string() + "' 2>/dev/null");
  return {status, tmp.read("out")};
}

// The run's own lock file (hidden, left by every run) is the only change.
void expectUnchanged(const fixture::UnchangedDir& guard) {
  guard.expectUnchanged(
      [](const std::string& line) { return line.ends_with(" .upgrade-devir.lock"); });
}

std::string held(const std::string& file) {
  return "Veriler başka bir programda açık: C:\\UD\\DATA\\2005_001 (" + file +
         "). Ürünü bütün bilgisayarlarda kapatınız.\n";
}

TEST(DataInUseUnderWine, RunsStopWhileASessionHoldsTheDataAndGoOnAfterIt) {
  fixture::TempDir tmp;
  const fs::path prefix = tmp.path() / "prefix";
  ::setenv("WINEPREFIX", prefix.c_str(), 1);
  ::setenv("WINEDEBUG", "-all", 1);
  ::setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 1);
  ASSERT_EQ(shell("wine wineboot -i >/dev/null 2>&1"), 0);
  const fs::path data = prefix / "drive_c/UD/DATA";
  fixture::DataDir dir(data);
  dir.registry().company("2005_001", "Ak", 2005);
  dir.company("2005_001").withCard("120.01", 250, "Alacak");
  dir.write();
  const fs::path company = data / "2005_001";

  {
    Session bde(tmp.path() / "ctl1", "C:\\UD\\DATA\\2005_001");
    ASSERT_TRUE(bde.ready());
    // The prefix's sharing state, in one run of the helper.
    const platform::WineInUse asked = platform::askWineInUse(
        {prefix, UD_FINDWINDOW_EXE, 10s},
        {company / "PDOXUSRS.LCK", company / "PARADOX.LCK", company / "Cari.DB"});
    EXPECT_TRUE(asked.asked) << asked.failure;
    EXPECT_EQ(asked.held, (std::vector<bool>{true, true, false}));
    fixture::UnchangedDir guard(data);
    const ProgramRun stopped = carryForward(tmp);
    EXPECT_EQ(stopped.status, 1);
    EXPECT_EQ(stopped.out, held("PARADOX.LCK"));
    expectUnchanged(guard);
  }
  {
    Session bde(tmp.path() / "ctl2", "C:\\UD\\DATA\\2005_001", "Cari.DB");
    ASSERT_TRUE(bde.ready());
    fixture::UnchangedDir guard(data);
    const ProgramRun stopped = carryForward(tmp);
    EXPECT_EQ(stopped.status, 1);
    EXPECT_EQ(stopped.out, held("Cari.DB"));
    expectUnchanged(guard);
  }
  // The sessions have ended; their lock files are still there.
  ASSERT_TRUE(fs::exists(company / "PDOXUSRS.LCK"));
  const int planned = shell("'" UD_PROGRAM
                            "' --devir --data 'C:\\UD\\DATA' --from 2005 --to 2006 "
                            "--dry-run >'" +
                            (tmp.path() / "plan").string() + "' 2>/dev/null");
  EXPECT_EQ(planned, 0);
  EXPECT_NE(tmp.read("plan").find("Kilit dosyası (açık tutan program yok; kopyalanmaz, silinmez): "
                                  "C:\\UD\\DATA\\2005_001\\PARADOX.LCK\n"),
            std::string::npos)
      << tmp.read("plan");
  const ProgramRun done = carryForward(tmp);
  EXPECT_EQ(done.status, 0);
  EXPECT_EQ(done.out.substr(0, done.out.find('\n')), "İşlem tamamlandı");
  EXPECT_TRUE(fs::exists(company / "PARADOX.LCK"));
  EXPECT_TRUE(fs::exists(data / "2006_001/Cari.DB"));
  EXPECT_FALSE(fs::exists(data / "2006_001/PDOXUSRS.LCK"));
  shell("wineserver -k >/dev/null 2>&1");
}

}  // namespace
