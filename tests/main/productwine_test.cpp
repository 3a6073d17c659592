// The product check against a stand-in for the product under Wine: a Win32
// program of ours (fakeproduct.c) that opens a window of the product's class
// in a fresh prefix. Wine shows that window to X under the program's file
// name, not its class, so only the question to Wine can see it. Runs under
// xvfb-run; one prefix for the whole run, since Wine takes tens of seconds
// to set a prefix up.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QApplication>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "main/window/form1.h"
#include "platform/productcheck/wineproduct.h"
#include "support/company_fixture.h"
#include "support/expect_unchanged.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using fixture::TempDir;
using platform::ProductState;

namespace {

const char* const kProductOpen =
    "Devir işlemini başlatmadan önce açık olan tüm KMX programlarını kapatınız";
const char* const kDone = "İşlem tamamlandı";

// Exit status of a shell command line.
int shell(const std::string& command) {
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The prefix of this run: WINEPREFIX points at it, and everything Wine runs
// in it is killed on the way out.
class WinePrefix {
 public:
  explicit WinePrefix(fs::path dir) : m_dir(std::move(dir)) {
    ::setenv("WINEPREFIX", m_dir.c_str(), 1);
    ::setenv("WINEDEBUG", "-all", 1);
    // No installer dialogs for Mono and Gecko on the first start.
    ::setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 1);
  }
  ~WinePrefix() { stop(); }
  const fs::path& dir() const { return m_dir; }

  void start(const std::string& program) { shell("wine '" + program + "' >/dev/null 2>&1 &"); }
  // Polls with the helper until the answer is `want`.
  platform::ProductStatus waitFor(ProductState want, std::chrono::seconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    platform::ProductStatus status;
    do {
      status = platform::askWine({m_dir, platform::findWindowHelper(), 60s});
      if (status.state == want) break;
      std::this_thread::sleep_for(1s);
    } while (std::chrono::steady_clock::now() < end);
    return status;
  }
  // Kills every program and the server of the prefix, and waits until the
  // server has gone.
  void stop() {
    shell("wineserver -k >/dev/null 2>&1");
    for (int i = 0; i < 600 && platform::wineServerRunning(m_dir); ++i)
      std::this_thread::sleep_for(100ms);
  }

 private:
  fs::path m_dir;
};

// The main window with its information box answered by the test.
class TestForm : public TForm1 {
 public:
  QStringList infos;

  void showMessage(const form1::Message& m) override {
    const bool error = m.icon == form1::Message::Icon::kError;
    infos << QString::fromStdString((error ? "error: " : "") + m.text);
  }
  bool showSelection(CompanyList&) override { return true; }
};

struct Headless {
  int status;
  std::string out;
};

// A carry-forward from the command line, without a display.
Headless carryForward(const TempDir& tmp) {
  const std::string out = (tmp.path() / "out").string();
  int status = shell("env -u DISPLAY '" UD_PROGRAM
                     "' --devir --data 'C:\\UD\\DATA' --from 2005 --to 2006 >'" +
                     out + "' 2>/dev/null");
  return {status, tmp.read("out")};
}

TEST(ProductUnderWine, RunsStopWhileItsWindowIsOpenAndGoOnOnceItHasEnded) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display (run under xvfb-run)";
  TempDir tmp;
  WinePrefix wine(tmp.path() / "prefix");
  wine.start(UD_FAKE_PRODUCT);
  platform::ProductStatus up = wine.waitFor(ProductState::kRunning, 600s);
  ASSERT_EQ(up.state, ProductState::kRunning) << up.reason;

  const fs::path data = wine.dir() / "drive_c/UD/DATA";
  fixture::DataDir dir(data);
  dir.registry().company("2005_001", "Ak", 2005);
  dir.company("2005_001").withCard("120.01", 250, "Alacak");
  dir.write();
  fixture::UnchangedDir guard(data);

  // The window's run.
  TestForm form;
  form.DirectoryEditPravex->setText(QStringLiteral("C:\\UD\\DATA"));
  form.Edit1->setText(QStringLiteral("2005"));
  form.Edit2->setText(QStringLiteral("2006"));
  form.Button1Click();
  EXPECT_EQ(form.infos, QStringList{QString::fromUtf8(kProductOpen)});

  // The command line's, with no display at all.
  Headless stopped = carryForward(tmp);
  EXPECT_EQ(stopped.status, 1);
  EXPECT_EQ(stopped.out, std::string(kProductOpen) + "\n");
  guard.expectUnchanged();

  // Once the product and its server have gone, the same run goes through.
  wine.stop();
  ASSERT_FALSE(platform::wineServerRunning(wine.dir()));
  Headless done = carryForward(tmp);
  EXPECT_EQ(done.status, 0);
  // The final message first; the reconciliation report follows it.
  EXPECT_EQ(done.out.substr(0, done.out.find('\n') + 1), std::string(kDone) + "\n");
  EXPECT_TRUE(fs::exists(data / "2006_001"));
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
