// The main window on Windows, built from its model and driven with window
// messages as a person would drive it: the tick rules and the year filter as
// the controls show them, the product-running stop with its real "Bilgi"
// box, and a whole carry-forward through the window and the selection dialog,
// and an edition upgrade, each writing the same bytes as the command line. Screenshots go to
// UD_SHOTS_DIR (default: the build's shots folder).
// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
// clang-format on

#include "main/win32/form1.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "carry/dialog/win32/k_sirketsec.h"
#include "main/driver/headless.h"
#include "platform/wintext.h"
#include "report/reportfiles.h"
#include "sample_data.h"
#include "support/temp_dir.h"
#include "ui/win32/capture.h"
#include "ui/win32/testdriver.h"

namespace {

namespace driver = win32ui::driver;
namespace fs = std::filesystem;
using fixture::TempDir;

platform::ProductStatus productClosed() {
  return platform::ProductStatus::closed();
}

// One window for every test: under Wine without a window manager each
// top-level window that goes away costs two seconds.
class Form1Win32 : public ::testing::Test {
 protected:
  static TForm1& form() {
    static TForm1* const shared = [] {
      auto* f = new TForm1;
      if (!f->create()) return static_cast<TForm1*>(nullptr);
      f->show();
      driver::processPending();
      return f;
    }();
    return *shared;
  }
  void SetUp() override {
    ASSERT_TRUE(form().hwnd() != nullptr);
    form().model().setProductCheck(productClosed);
  }
  static HWND control(const char* name, int offset = 0) {
    return driver::find(form().hwnd(), TForm1::controlId(name) + offset);
  }
  static void click(const char* name) { driver::click(control(name)); }
  // Leaves the options as the window starts with them.
  static void resetTicks() {
    if (!driver::isChecked(control("CheckBoxDevir"))) click("CheckBoxDevir");
    if (driver::isChecked(control("CheckBoxYTL"))) click("CheckBoxYTL");
  }
  static void setText(const char* name, const std::string& text) {
    win32ui::setWindowText(control(name), text);  // EN_CHANGE reaches the model
  }
  static void shoot(const std::string& name) {
    driver::processPending();
    const char* dir = std::getenv("UD_SHOTS_DIR");
    const fs::path folder = dir ? fs::path(dir) : fs::path(UD_BINARY_DIR) / "shots";
    fs::create_directories(folder);
    const auto pixels = win32ui::captureWindow(form().hwnd());
    ASSERT_TRUE(pixels.has_value());
    EXPECT_TRUE(win32ui::savePng(*pixels, (folder / ("main-" + name + ".png")).string()));
  }
};

// The button of a message box or dialog that reads `text`, or null.
HWND buttonNamed(HWND window, const std::string& text) {
  for (HWND c = ::GetWindow(window, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
    if (driver::text(c) == text) return c;
  return nullptr;
}

// The static text of a message box (the one that is no button).
std::string boxText(HWND box) {
  std::string all;
  for (HWND c = ::GetWindow(box, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
    if (::GetDlgCtrlID(c) == 0xFFFF) all += driver::text(c);
  return all;
}

TEST_F(Form1Win32, StartsAsTheTableSays) {
  resetTicks();
  EXPECT_EQ(driver::text(form().hwnd()), "ZEFIRTAK KMX Devir-Upgrade s2.04.02");
  RECT client{};
  ::GetClientRect(form().hwnd(), &client);
  EXPECT_EQ(client.right, 569);
  EXPECT_EQ(client.bottom, 545);
  EXPECT_EQ(driver::text(control("DirectoryEditPravex")), "C:\\ZEFIRTAK\\KMX3\\DATA");
  EXPECT_EQ(driver::text(control("EditPRBR")), "Yeni Türk Lirası");
  EXPECT_EQ(driver::text(control("DirectoryEditPravex", TForm1::kBrowseOffset)), "...");
  EXPECT_FALSE(driver::isVisible(control("Label4")));
  EXPECT_FALSE(driver::isVisible(control("Gauge1")));
  EXPECT_FALSE(driver::isEnabled(control("RadioHAS")));
  shoot("initial");
}

// Clicks on the tick boxes go to the model; its answer shows in ticks,
// enabled flags and panels (the rules themselves are the model's tests).
TEST_F(Form1Win32, TicksAsRendered) {
  resetTicks();
  struct Step {
    const char* click;
    bool devir, upgrade, upgradeEnabled, panelUpgrade, panel2, panelYtl;
  };
  const Step steps[] = {
      {nullptr, true, false, true, false, true, false},
      {"CheckBoxDevir", false, true, false, true, false, false},
      {"CheckBoxYTL", false, true, false, true, false, true},
      {"CheckBoxDevir", true, false, true, false, true, true},
      {"CheckBoxUpgrade", true, true, true, true, true, true},
      {"CheckBoxYTL", true, true, true, true, true, false},
      {"CheckBoxUpgrade", true, false, true, false, true, false},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.click ? s.click : "initial");
    if (s.click) click(s.click);
    EXPECT_EQ(driver::isChecked(control("CheckBoxDevir")), s.devir);
    EXPECT_EQ(driver::isChecked(control("CheckBoxUpgrade")), s.upgrade);
    EXPECT_EQ(driver::isEnabled(control("CheckBoxUpgrade")), s.upgradeEnabled);
    EXPECT_EQ(driver::isVisible(control("PanelUpgrade")), s.panelUpgrade);
    EXPECT_EQ(driver::isVisible(control("Panel2")), s.panel2);
    EXPECT_EQ(driver::isVisible(control("PanelYTL")), s.panelYtl);
  }
  EXPECT_EQ(form().model().runOptions().devir, true);
  EXPECT_EQ(form().model().runOptions().upgrade, false);
  // Both panels open for the picture.
  click("CheckBoxDevir");
  click("CheckBoxYTL");
  driver::click(control("RadioYUVARLA", 1 + 2));  // "Yukarı Yuvarla"
  EXPECT_EQ(form().model().runOptions().rounding, 2);
  shoot("panels");
  click("CheckBoxDevir");
  driver::click(control("RadioYUVARLA", 1));
  resetTicks();
}

TEST_F(Form1Win32, YearsTakeDigitsOnly) {
  setText("Edit1", "");
  driver::type(control("Edit1"), "20a05x6");
  EXPECT_EQ(driver::text(control("Edit1")), "2005");
  EXPECT_EQ(form().model().runOptions().sourceYear, "2005");
  driver::type(control("Edit2"), "2ğ006");
  EXPECT_EQ(form().model().runOptions().targetYear, "2006");
  setText("Edit1", "");
  setText("Edit2", "");
}

// With the product running the run stops at its "Bilgi" box, which a
// person closes with "Tamam"; no job runs.
TEST_F(Form1Win32, RunningProductStopsTheRun) {
  bool jobsRan = false;
  form().model().setProductCheck([] { return platform::ProductStatus::running(); });
  form().model().setRunJobs(
      {[&](RunHost&, const RunOptions&, Workspace&) { return jobsRan = true; },
       [&](RunHost&, const RunOptions&, Workspace&) { jobsRan = true; }});
  std::string shown;
  driver::whenShown("Bilgi", [&](HWND box) {
    ASSERT_NE(box, nullptr);
    shown = boxText(box);
    HWND ok = buttonNamed(box, "Tamam");
    ASSERT_NE(ok, nullptr);
    driver::click(ok);
  });
  click("Button1");
  EXPECT_FALSE(shown.empty());
  EXPECT_FALSE(jobsRan);
  EXPECT_FALSE(form().running());
  EXPECT_TRUE(driver::isEnabled(form().hwnd()));
  form().model().setRunJobs(RunJobs::real());
}

// During a run the window takes no input (a key queued for "Kapat" is
// dropped, not replayed) but paints its progress.
TEST_F(Form1Win32, RunShowsProgressAndDropsInput) {
  TempDir data;
  setText("DirectoryEditPravex", data.str());
  bool enabledDuringRun = true;
  form().model().setRunJobs({[](RunHost&, const RunOptions&, Workspace&) { return true; },
                             [&](RunHost& host, const RunOptions&, Workspace&) {
                               host.setStatusVisible(true);
                               host.setGaugeVisible(true);
                               host.setStatusText("ACME şirketi oluşturuluyor.");
                               host.setGaugeMax(4);
                               host.advanceGauge();
                               host.advanceGauge();
                               enabledDuringRun = driver::isEnabled(form().hwnd());
                               HWND close = control("Button2");
                               ::PostMessageW(close, WM_KEYDOWN, VK_SPACE, 0);
                               ::PostMessageW(close, WM_KEYUP, VK_SPACE, 0);
                               ::Sleep(60);
                               host.advanceGauge();  // lets messages other than input through
                               shoot("running");
                               host.infoBox("İşlem tamamlandı");
                             }});
  driver::whenShown("Bilgi", [](HWND box) {
    if (box) driver::click(buttonNamed(box, "Tamam"));
  });
  click("Button1");
  driver::processPending();
  EXPECT_FALSE(enabledDuringRun);
  EXPECT_TRUE(::IsWindowVisible(form().hwnd()));
  EXPECT_EQ(driver::text(control("Label4")), "ACME şirketi oluşturuluyor.");
  EXPECT_TRUE(driver::isEnabled(form().hwnd()));
  form().model().setRunJobs(RunJobs::real());
  setText("DirectoryEditPravex", "C:\\ZEFIRTAK\\KMX3\\DATA");
}

// --- a whole carry-forward -----------------------------------------------------

// The upgrade's backup folder, named by the time it was made.
const std::string kBackupPrefix = "UD_YEDEK_";

// Every file below `root` by its path relative to it, with its bytes,
// leaving out the reports (they carry the time they were made) and the run
// lock; the backup folder's files under its name without the time.
std::map<std::string, std::string> filesOf(const fs::path& root) {
  std::map<std::string, std::string> files;
  const fs::path reports = platform::pathFromUtf8(report::kReportFolderName);
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    if (!e.is_regular_file()) continue;
    const fs::path relative = fs::relative(e.path(), root);
    if (*relative.begin() == reports || relative == ".upgrade-devir.lock") continue;
    std::ifstream in(e.path(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    std::string name = relative.generic_string();
    if (name.rfind(kBackupPrefix, 0) == 0)  // named by the time it was made
      name = kBackupPrefix + name.substr(name.find('/'));
    files[name] = bytes.str();
  }
  return files;
}

// The selection dialog: a visible window of this thread other than the
// main window (it takes the main window's caption).
HWND selectionDialog() {
  HWND found = nullptr;
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND w, LPARAM p) -> BOOL {
        auto* f = reinterpret_cast<HWND*>(p);
        if (::IsWindowVisible(w) && ::IsWindowEnabled(w) && driver::find(w, TK_SirketSec::kGrid))
          *f = w;
        return *f == nullptr;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// Answers the run's boxes as a person would, keeping their texts: "Tamam"
// on each "Bilgi" box ("İşlem tamamlandı"), then "Kapat" on the report
// question, captioned "Soru".
void answerBoxes(std::vector<std::string>& boxes) {
  auto answer = std::make_shared<std::function<void(HWND)>>();
  const std::vector<std::string> captions{"Bilgi", "Soru"};
  *answer = [&boxes, answer, captions](HWND box) {
    if (box == nullptr) return;
    boxes.push_back(boxText(box));
    if (HWND close = buttonNamed(box, "Kapat")) {
      EXPECT_EQ(driver::text(box), "Soru");
      return driver::click(close);
    }
    EXPECT_EQ(driver::text(box), "Bilgi");
    driver::click(buttonNamed(box, "Tamam"));
    driver::whenShown(captions, *answer);
  };
  driver::whenShown(captions, *answer);
}

// Expects `byWindow` to hold exactly the files of `byHeadless`, byte for byte.
void expectSameFiles(const fs::path& byWindow, const fs::path& byHeadless) {
  const auto window = filesOf(byWindow), headless = filesOf(byHeadless);
  EXPECT_GT(headless.size(), 10u);
  for (const auto& [path, bytes] : headless) {
    const auto it = window.find(path);
    EXPECT_TRUE(it != window.end() && it->second == bytes) << path;
  }
  EXPECT_EQ(window.size(), headless.size());
}

// A data directory for a run through the window. The window's workspace
// keeps tables of its last run open, as the window does between runs, so it
// cannot be removed while the test program runs: it is left in the
// (throw-away) Wine prefix's temp folder.
fs::path windowDirectory(const std::string& name) {
  const fs::path dir = fs::temp_directory_path() /
                       ("ud-window-" + name + "-" + std::to_string(::GetCurrentProcessId()));
  fs::create_directories(dir);
  return dir;
}

std::string cell(HWND list, int row, int column) {
  wchar_t text[64] = {};
  ListView_GetItemText(list, row, column, text, 64);
  return platform::narrow(text);
}

TEST_F(Form1Win32, CarryForwardWritesTheHeadlessBytes) {
  TempDir headlessDir;
  const fs::path windowDir = windowDirectory("carry");
  samples::writeNewest(windowDir);
  samples::writeNewest(headlessDir.path());
  resetTicks();
  setText("DirectoryEditPravex", platform::utf8FromPath(windowDir));
  setText("Edit1", "");
  setText("Edit2", "");
  driver::type(control("Edit1"), "2005");
  driver::type(control("Edit2"), "2006");

  // In the dialog: untick the second company by its "Devret" cell, confirm.
  std::vector<std::string> chosen;
  bool dialogSeen = false;
  std::function<void()> inDialog = [&] {
    HWND dialog = selectionDialog();
    if (dialog == nullptr) return driver::runLater(50, inDialog);
    dialogSeen = true;
    HWND grid = driver::find(dialog, TK_SirketSec::kGrid);
    const int devret = CompanySelection::kDevir + 1, code = CompanySelection::kSirketKod + 1;
    EXPECT_TRUE(driver::clickListCell(grid, 1, devret));
    for (int row = 0; row < ListView_GetItemCount(grid); ++row)
      if (cell(grid, row, devret) == "X") chosen.push_back(cell(grid, row, code));
    driver::click(driver::find(dialog, TK_SirketSec::kButton1));
  };
  driver::runLater(50, inDialog);
  std::vector<std::string> boxes;
  answerBoxes(boxes);
  click("Button1");
  ASSERT_TRUE(dialogSeen);
  ASSERT_FALSE(chosen.empty());
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0], "İşlem tamamlandı");

  std::string companies;
  for (const std::string& c : chosen) companies += (companies.empty() ? "" : ",") + c;
  std::ostringstream out, err;
  EXPECT_EQ(RunHeadless({"--devir", "--data", headlessDir.str(), "--from", "2005", "--to", "2006",
                         "--companies", companies},
                        out, err, productClosed),
            kExitCompleted)
      << err.str();
  expectSameFiles(windowDir, headlessDir.path());
  setText("DirectoryEditPravex", "C:\\ZEFIRTAK\\KMX3\\DATA");
}

// The edition upgrade alone through the window (the carry-forward's tick
// off): the newest directory ends as the command line leaves it, the older
// one unchanged.
TEST_F(Form1Win32, UpgradeWritesTheHeadlessBytes) {
  TempDir headlessDir, older;
  const fs::path windowDir = windowDirectory("upgrade");
  samples::writeNewest(windowDir);
  samples::writeNewest(headlessDir.path());
  samples::writeOlder(older.path());
  const auto olderBefore = filesOf(older.path());
  resetTicks();
  click("CheckBoxDevir");
  ASSERT_TRUE(driver::isChecked(control("CheckBoxUpgrade")));
  setText("DirectoryEditPravex", platform::utf8FromPath(windowDir));
  setText("DirectoryEditOrLumex", older.str());
  std::vector<std::string> boxes;
  answerBoxes(boxes);
  click("Button1");
  // The sample's older registry lists a company without its directory: the
  // run says so, goes on and completes.
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_NE(boxes[0].find("2004_004 dizini bulunamadı"), std::string::npos) << boxes[0];
  EXPECT_EQ(boxes[1], "İşlem tamamlandı");

  std::ostringstream out, err;
  EXPECT_EQ(RunHeadless({"--upgrade", "--data", headlessDir.str(), "--old", older.str()}, out, err,
                        productClosed),
            kExitCompleted)
      << err.str();
  expectSameFiles(windowDir, headlessDir.path());
  EXPECT_TRUE(filesOf(older.path()) == olderBefore);
  resetTicks();
  setText("DirectoryEditPravex", "C:\\ZEFIRTAK\\KMX3\\DATA");
}

}  // namespace
