// The report window on Windows, driven with window messages while it runs
// modally: its tabs and rows in order, the look of a differing row by its
// pixels, the open button without a saved file and on one that cannot be
// opened, and a picture of it
// (UD_SHOTS_DIR names the folder, when set).
#include "main/win32/report/reportwindow.h"

// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
// clang-format on

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/wintext.h"
#include "support/report_lines.h"
#include "ui/win32/capture.h"
#include "ui/win32/listview.h"
#include "ui/win32/testdriver.h"

namespace {

namespace driver = win32ui::driver;
using fixture::reportLine;

std::string cell(HWND list, int row, int column) {
  const auto* view = dynamic_cast<const win32ui::ListView*>(win32ui::Control::fromHwnd(list));
  return view->cellText({row, column});
}
std::string tabTitle(HWND tabs, int index) {
  wchar_t buffer[256] = {};
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = buffer;
  item.cchTextMax = 256;
  ::SendMessageW(tabs, TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&item));
  return platform::narrow(buffer);
}

// Pixels of the highlight colour in list row `row`'s band.
int highlighted(HWND list, int row) {
  driver::processPending();
  RECT r{};
  r.left = LVIR_BOUNDS;
  ::SendMessageW(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
  const auto pixels = win32ui::captureWindow(list, true);
  if (!pixels) return -1;
  int n = 0;
  for (int y = r.top; y < r.bottom && y < pixels->height; ++y)
    for (int x = 0; x < pixels->width; ++x) n += pixels->at(x, y) == uimodel::Rgb{255, 214, 214};
  return n;
}

TEST(ReportWindowWin32, ShowsTabsAndRowsInOrderAndHighlightsDifferingLines) {
  report::RunReport r;
  r.date = "2026-12-07 14:05";
  report::ReportLine borc = reportLine("borç bakiyeleri", false, 25);
  borc.detail = "KTBKY → KDBKY";
  r.companies.push_back({"2005_001",
                         "2006_001",
                         "Merkez Ticaret",
                         {reportLine("kart sayısı", true), borc,
                          reportLine("yuvarlama farkı", true, 0, report::LineKind::kInfo)}});
  r.companies.push_back({"2005_002", "2006_002", "Şube", {reportLine("kart sayısı", true)}});
  bool shown = false;
  driver::whenShown(report::kWindowTitle, [&shown](HWND window) {
    ASSERT_NE(window, nullptr);
    shown = true;
    const HWND tabs = driver::find(window, TReportWindow::kCompanies);
    ASSERT_EQ(::SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(tabTitle(tabs, 0), "2005_001 → 2006_001 (fark var)");
    EXPECT_EQ(tabTitle(tabs, 1), "2005_002 → 2006_002");
    EXPECT_FALSE(driver::isEnabled(driver::find(window, TReportWindow::kButtonOpen)));

    // The differing line first, the fields behind it on the row below, its
    // records one to a row, then the others.
    const HWND list = driver::find(window, TReportWindow::kPageList);
    const int rows =
        dynamic_cast<const win32ui::ListView*>(win32ui::Control::fromHwnd(list))->rowCount();
    ASSERT_EQ(rows, 1 + 1 + 21 + 2);
    EXPECT_EQ(cell(list, 0, 1), "borç bakiyeleri");
    EXPECT_EQ(cell(list, 1, 1), "KTBKY → KDBKY");
    EXPECT_EQ(cell(list, 1, 2), "");
    EXPECT_EQ(cell(list, 2, 1).rfind("Farklı kayıtlar (ilk 20", 0), 0u);
    EXPECT_EQ(cell(list, 3, 1).rfind("120.00: ", 0), 0u);
    EXPECT_EQ(cell(list, rows - 2, 1), "kart sayısı");
    EXPECT_TRUE(driver::isVisible(list));
    EXPECT_GT(highlighted(list, 0), 0);
    EXPECT_GT(highlighted(list, 1), 0);  // under its line, in its colour
    EXPECT_EQ(highlighted(list, rows - 2), 0);

    if (const char* dir = std::getenv("UD_SHOTS_DIR")) {
      const auto pixels = win32ui::captureWindow(window);
      ASSERT_TRUE(pixels.has_value());
      EXPECT_TRUE(win32ui::savePng(*pixels, std::string(dir) + "/reportwindow.png"));
    }

    // Another tab shows its own page.
    const HWND second = driver::find(window, TReportWindow::kPageList + 2);
    EXPECT_FALSE(driver::isVisible(second));
    ::SendMessageW(tabs, TCM_SETCURSEL, 1, 0);
    NMHDR change{tabs, static_cast<UINT_PTR>(TReportWindow::kCompanies), TCN_SELCHANGE};
    ::SendMessageW(window, WM_NOTIFY, change.idFrom, reinterpret_cast<LPARAM>(&change));
    EXPECT_TRUE(driver::isVisible(second));
    EXPECT_FALSE(driver::isVisible(list));
    EXPECT_EQ(cell(second, 0, 1), "kart sayısı");
    driver::click(driver::find(window, TReportWindow::kButtonClose));
  });
  ShowReportWindow(nullptr, r, std::string());
  EXPECT_TRUE(shown);
}

// "Kaydedilen raporu aç" on a saved file that is gone: a box says so.
TEST(ReportWindowWin32, ASavedReportThatCannotBeOpenedIsSaidInABox) {
  report::RunReport r;
  r.date = "2026-12-07 14:05";
  r.companies.push_back({"2005_001", "2006_001", "Ak", {reportLine("kart sayısı", true)}});
  const std::string saved = "C:\\yok\\Devir Raporu.html";
  std::string said;
  driver::whenShown(report::kWindowTitle, [&](HWND window) {
    ASSERT_NE(window, nullptr);
    const HWND open = driver::find(window, TReportWindow::kButtonOpen);
    ASSERT_TRUE(driver::isEnabled(open));
    driver::whenShown(report::kOpenFailureCaption, [&](HWND box) {
      ASSERT_NE(box, nullptr);
      for (HWND c = ::GetWindow(box, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
        if (::GetDlgCtrlID(c) == 0xFFFF) said += driver::text(c);
      ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    driver::click(open);  // returns once the box is closed
    driver::click(driver::find(window, TReportWindow::kButtonClose));
  });
  ShowReportWindow(nullptr, r, saved);
  EXPECT_EQ(said, "Rapor açılamadı: " + saved);
}

// The home of the after-carry actions: a button per action before the open
// button; a pressed action previews, asks with its confirm button and
// "Vazgeç", runs, says what it did in a box over the window, and the window
// closes to be shown again.
TEST(ReportWindowWin32, TheHomeOffersItsActionsAndRunsOneOnConfirmation) {
  report::OpeningsReport checked;
  checked.fromYear = "2005", checked.toYear = "2006", checked.date = "2006-02-01 10:00";
  report::CompanyOpenings c;
  c.oldCode = "2005_001", c.newCode = "2006_001", c.shortName = "Ak";
  c.differences.push_back({"Cari hesaplar",
                           "120.01",
                           "TL bakiyesi",
                           "250,00 Borç",
                           "300,00 Borç",
                           50,
                           false,
                           {},
                           report::StaleCause::kLateEntry});
  checked.companies.push_back(c);
  int runs = 0;
  form1::HomeAction action;
  action.caption = "Açılışları güncelle";
  action.confirm = "Güncelle";
  action.preview = [] { return form1::HomeAction::Preview{"120.01: 250,00 → 300,00", true}; };
  action.run = [&runs] {
    ++runs;
    return form1::HomeAction::Result{"1 açılış güncellendi.", false};
  };
  form1::AfterCarryHome home([&] { return report::PresentOpenings(checked, ""); }, {action});
  std::string asked, said;
  driver::whenShown(report::kOpeningsWindowTitle, [&](HWND window) {
    ASSERT_NE(window, nullptr);
    const HWND button = driver::find(window, TReportWindow::kFirstAction);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(driver::text(button), "Açılışları güncelle");
    auto boxText = [](HWND box) {
      std::string text;
      for (HWND c = ::GetWindow(box, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
        if (::GetDlgCtrlID(c) == 0xFFFF) text += driver::text(c);
      return text;
    };
    driver::whenShown("Soru", [&](HWND box) {
      ASSERT_NE(box, nullptr);
      asked = boxText(box);
      driver::whenShown("Bilgi", [&](HWND info) {
        ASSERT_NE(info, nullptr);
        said = boxText(info);
        ::PostMessageW(info, WM_COMMAND, IDOK, 0);
      });
      ::PostMessageW(box, WM_COMMAND, IDOK, 0);  // the first button: "Güncelle"
    });
    driver::click(button);  // returns once the window has ended
  });
  ShowReportWindow(nullptr, home);
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(asked, "120.01: 250,00 → 300,00\nBu değişiklikler yapılsın mı?");
  EXPECT_EQ(said, "1 açılış güncellendi.");
  EXPECT_TRUE(home.takeReopen());
}

}  // namespace
