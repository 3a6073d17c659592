// The list view, the tab control and Windows' folder dialog of the kit.
// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
// clang-format on

#include <filesystem>
#include <iterator>
#include <vector>

#include "platform/wintext.h"
#include "support/temp_dir.h"
#include "ui/win32/folderpicker.h"
#include "ui/win32/kit_fixture.h"
#include "ui/win32/listview.h"
#include "ui/win32/tabcontrol.h"

namespace {

using namespace win32ui;
namespace driver = win32ui::driver;

constexpr int kList = 201;
constexpr int kTabs = 202;
constexpr Rgb kMarked{255, 255, 0};
constexpr int kFileNameBox = 1152;  // edt1 of Wine's folder dialog

class Lists : public kit::TestWindow {
 protected:
  void SetUp() override {
    TestWindow::SetUp();
    ListViewArgs args;
    args.parent = hwnd(), args.id = kList, args.rect = {8, 8, 380, 140};
    args.columns = {
        {"Devret", 50, Align::Centre}, {"Şirket Kodu", 90}, {"Çalışma Yılı", 90, Align::Right}};
    ASSERT_TRUE(m_list.create(args));
    m_list.setRows(
        {{"X", "2005_001", "2005"}, {"", "2005_002", "2005"}, {"X", "2005_003", "2005"}});
    m_list.onCellClick = [this](ListCell cell) { m_clicks.push_back(cell); };
    m_list.onCustomDraw = [this](ListCellDraw& draw) {
      // Row 1's code is marked; row 0's first cell gets a black square after.
      if (draw.stage == ListCellDraw::Before && draw.cell == ListCell{1, 1})
        draw.background = kMarked;
      if (draw.stage == ListCellDraw::After && draw.cell == ListCell{0, 0}) {
        RECT dot{draw.rect.left + 2, draw.rect.top + 2, draw.rect.left + 6, draw.rect.top + 6};
        ::FillRect(draw.dc, &dot, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
      }
    };
    driver::processPending();
  }

  ListView m_list;
  std::vector<ListCell> m_clicks;
};

TEST_F(Lists, AClickAtASubItemReportsItsRowAndColumn) {
  const ListCell cells[] = {{0, 0}, {1, 2}, {2, 1}};
  for (const ListCell& cell : cells)
    ASSERT_TRUE(driver::clickListCell(control(kList), cell.row, cell.column));
  EXPECT_EQ(m_clicks, std::vector<ListCell>(std::begin(cells), std::end(cells)));
  EXPECT_EQ(m_list.currentRow(), 2);
  EXPECT_FALSE(driver::clickListCell(control(kList), 3, 0));
}

TEST_F(Lists, TextsRoundTripInTurkish) {
  m_list.setCell({1, 0}, "X");
  EXPECT_EQ(m_list.cellText({1, 0}), "X");
  EXPECT_EQ(m_list.cellText({2, 1}), "2005_003");
  HWND header = ListView_GetHeader(control(kList));
  wchar_t title[32] = {};
  HDITEMW item{};
  item.mask = HDI_TEXT, item.pszText = title, item.cchTextMax = 32;
  Header_GetItem(header, 2, &item);
  EXPECT_STREQ(title, L"Çalışma Yılı ");  // the blank gives Wine's header its room
}

TEST_F(Lists, CustomDrawRecoloursACellAndPaintsOverAnother) {
  const Pixels p = pixelsOf(control(kList));
  auto inside = [&](ListCell cell, Rgb colour) {
    const RECT r = m_list.cellRect(cell);
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += p.at(x, y) == colour;
    return n;
  };
  EXPECT_GT(inside({1, 1}, kMarked), 0);
  EXPECT_EQ(inside({1, 2}, kMarked), 0);
  EXPECT_GE(inside({0, 0}, {0, 0, 0}), 16) << "the square after the cell";
}

TEST_F(Lists, TabControlPutsItsPagesBelowTheTabs) {
  TabControl tabs;
  TabControlArgs args;
  args.parent = hwnd(), args.id = kTabs, args.rect = {8, 150, 380, 140};
  args.tabs = {"Farklı Satırlar", "Tüm Satırlar"}, args.currentIndex = 1;
  ASSERT_TRUE(tabs.create(args));
  EXPECT_EQ(tabs.count(), 2);
  EXPECT_EQ(tabs.currentIndex(), 1);
  const Rect page = tabs.pageRect();
  EXPECT_GT(page.y, 150 + 10);
  EXPECT_LT(page.y + page.height, 150 + 140);
}

// Windows' folder dialog opens with our title and gives back the folder
// confirmed. (Wine's Vista dialog, unlike Windows', does not take an empty
// file name as "this folder": the test types the folder in.)
TEST_F(Lists, FolderPickerStartsInTheFolderGiven) {
  fixture::TempDir dir;
  const std::string start = platform::utf8FromPath(dir.path()) + "\\Şirket";
  std::filesystem::create_directory(platform::pathFromUtf8(start));
  for (bool old : {false, true}) {
    SCOPED_TRACE(old ? "the old browser" : "the Vista dialog");
    driver::whenShown("Dizin Seçiniz", [&](HWND dialog) {
      ASSERT_NE(dialog, nullptr);
      if (!old) setWindowText(driver::find(dialog, kFileNameBox), start);
      driver::click(::GetDlgItem(dialog, IDOK));
    });
    FolderPickerArgs args;
    args.owner = hwnd(), args.title = "Dizin Seçiniz", args.startFolder = start;
    args.forceOldBrowser = old;
    EXPECT_EQ(pickFolder(args), start);
  }
}

}  // namespace
