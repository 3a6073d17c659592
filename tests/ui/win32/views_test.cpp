// The auxiliary windows on Windows, driven in process with window messages:
// the owner-drawn button, the fade, the help window and the about box. The
// rules behind them are tested on their models; these tests check that the
// windows hand their events on and render what the models say.
// clang-format off
#include <windows.h>
// clang-format on

#include <functional>
#include <string>
#include <vector>

#include "platform/memory.h"
#include "ui/model/about.h"
#include "ui/model/help.h"
#include "ui/win32/about.h"
#include "ui/win32/help.h"
#include "ui/win32/kit_fixture.h"
#include "ui/win32/zfanimate.h"
#include "ui/win32/zfwinbutton.h"

namespace {

using namespace win32ui;
namespace driver = win32ui::driver;

constexpr int kButton = 201;
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};

// Captures to build/<dir>/shots when that folder exists.
void saveShot(HWND hwnd, const char* name) {
  const std::string dir = std::string(UD_BINARY_DIR) + "/shots/";
  if (::GetFileAttributesA(dir.c_str()) == INVALID_FILE_ATTRIBUTES) return;
  driver::processPending();
  if (auto pixels = captureWindow(hwnd)) savePng(*pixels, dir + name);
}

class Button : public kit::TestWindow {
 public:
  void SetUp() override {
    TestWindow::SetUp();
    ZfWinButtonArgs args{hwnd(), kButton,  {10, 10, 120, 38},   "Kapat",
                         5,      "Kapat ", [this] { ++clicks; }};
    ASSERT_TRUE(button.create(args));
  }
  void send(UINT message, WPARAM w = 0, LPARAM l = 0) {
    ::SendMessageW(button.hwnd(), message, w, l);
    driver::processPending();
  }
  TZfWinButton button;
  int clicks = 0;
};

TEST_F(Button, EachWayOfPressingClicksOnce) {
  struct Case {
    const char* what;
    std::function<void(Button&)> press;
    int clicks;
  };
  const LPARAM inside = MAKELPARAM(20, 20), outside = MAKELPARAM(300, 20);
  const std::vector<Case> cases{
      {"BM_CLICK", [](Button& t) { t.send(BM_CLICK); }, 1},
      {"mouse press and release",
       [=](Button& t) {
         t.send(WM_LBUTTONDOWN, MK_LBUTTON, inside);
         t.send(WM_LBUTTONUP, 0, inside);
       },
       1},
      {"release away from the button",
       [=](Button& t) {
         t.send(WM_LBUTTONDOWN, MK_LBUTTON, inside);
         t.send(WM_MOUSEMOVE, MK_LBUTTON, outside);
         t.send(WM_LBUTTONUP, 0, outside);
       },
       0},
      {"Space", [](Button& t) { driver::pressKey(t.button.hwnd(), VK_SPACE); }, 1},
      {"Enter", [](Button& t) { driver::pressKey(t.button.hwnd(), VK_RETURN); }, 1},
      {"right button",
       [=](Button& t) {
         t.send(WM_RBUTTONDOWN, MK_RBUTTON, inside);
         t.send(WM_RBUTTONUP, 0, inside);
       },
       0},
  };
  for (const Case& c : cases) {
    clicks = 0;
    ::SetFocus(button.hwnd());
    c.press(*this);
    EXPECT_EQ(clicks, c.clicks) << c.what;
    EXPECT_FALSE(button.model().isPressed()) << c.what;
  }
}

TEST_F(Button, PaintsTheFaceTheRaisedEdgeAndTheGlyph) {
  ::SetFocus(hwnd());  // no focus mark
  const Pixels p = pixelsOf(button.hwnd());
  ASSERT_EQ(p.width, 120);
  EXPECT_EQ(p.at(0, 10), kWhite);    // raised left strip
  EXPECT_EQ(p.at(60, 1), kWhite);    // raised top strip
  EXPECT_EQ(p.at(119, 20), kBlack);  // two dark pixels right and bottom
  EXPECT_EQ(p.at(118, 20), kBlack);
  EXPECT_EQ(p.at(60, 37), kBlack);
  EXPECT_EQ(p.at(5, 5), faceColour());
  // The glyph sits left of the caption, in neither the face's colour only.
  int glyphPixels = 0;
  for (int y = 4; y < 34; ++y)
    for (int x = 4; x < 60; ++x) glyphPixels += !(p.at(x, y) == faceColour());
  EXPECT_GT(glyphPixels, 100);
  EXPECT_EQ(driver::text(button.hwnd()), "Kapat");

  // Disabled, the caption turns grey.
  button.setEnabled(false);
  const Pixels grey = pixelsOf(button.hwnd());
  button.setEnabled(true);
  EXPECT_LT(count(grey, kBlack, 60, 110), count(p, kBlack, 60, 110));
}

// Each look the model plans reaches the screen: the mouse over it turns the
// caption blue, a held Space press drops the raised edge, the focus draws
// its dotted frame.
TEST_F(Button, InputChangesTheLook) {
  constexpr Rgb kBlue{0, 0, 255};
  ::SetFocus(hwnd());
  send(WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
  EXPECT_TRUE(button.model().isHot());
  EXPECT_GT(count(pixelsOf(button.hwnd()), kBlue, 60, 110), 20);
  send(WM_MOUSELEAVE);
  EXPECT_EQ(count(pixelsOf(button.hwnd()), kBlue, 60, 110), 0);

  ::SetFocus(button.hwnd());
  const Pixels focused = pixelsOf(button.hwnd());
  EXPECT_NE(focused.at(4, 3), focused.at(5, 5));  // a dot of the focus frame
  send(WM_KEYDOWN, VK_SPACE);
  const Pixels pressed = pixelsOf(button.hwnd());
  EXPECT_NE(pressed.at(0, 10), kWhite);
  send(WM_KEYUP, VK_SPACE);
  EXPECT_EQ(clicks, 1);
}

// The real timer clock, recording the window's layered alpha after each
// tick.
class RecordingClock : public uimodel::FadeClock {
 public:
  RecordingClock(HWND window, std::vector<int>& alphas) : m_window(window), m_alphas(alphas) {}
  void start(int intervalMs, std::function<void()> tick) override {
    m_real->start(intervalMs, [this, tick] {
      tick();
      BYTE alpha = 0;
      DWORD flags = 0;
      if (::GetLayeredWindowAttributes(m_window, nullptr, &alpha, &flags) && (flags & LWA_ALPHA))
        m_alphas.push_back(alpha);
    });
  }
  void stop() override { m_real->stop(); }
  bool isActive() const override { return m_real->isActive(); }
  void processPendingEvents() override { m_real->processPendingEvents(); }
  std::int64_t elapsedMs() const override { return m_real->elapsedMs(); }

 private:
  std::unique_ptr<uimodel::FadeClock> m_real = makeTimerFadeClock();
  HWND m_window;
  std::vector<int>& m_alphas;
};

TEST_F(Button, FadeStepsTheLayeredAlphaInAndOut) {
  ASSERT_NE(layeredAttributesFunction(), nullptr);
  std::vector<int> alphas;
  int afterStart = 0, afterEnd = 0;
  {
    TZfAnimate fade(hwnd(), std::make_unique<RecordingClock>(hwnd(), alphas));
    fade.fade().setActive(true);
    fade.setOnAfterStartAnim([&] { ++afterStart; });
    fade.setOnAfterEndAnim([&] { ++afterEnd; });
    fade.shown();
    fade.activated();
    ASSERT_EQ(alphas.size(), 30u);
    EXPECT_EQ(alphas.front(), 8);  // 255 * 1 / 30
    EXPECT_EQ(alphas.back(), 255);
    EXPECT_EQ(afterStart, 1);
    EXPECT_NE(::GetWindowLongPtrW(hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    alphas.clear();
    fade.closing();
    ASSERT_EQ(alphas.size(), 30u);
    EXPECT_EQ(alphas.back(), 0);
    EXPECT_EQ(afterEnd, 1);
  }
  // The shared window is seen again by the other tests.
  ::SetWindowLongPtrW(hwnd(), GWL_EXSTYLE,
                      ::GetWindowLongPtrW(hwnd(), GWL_EXSTYLE) & ~WS_EX_LAYERED);
  ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// The user's thousands separator, as the about box writes the memory.
std::string thousandsSeparator() {
  wchar_t separator[8]{};
  ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, separator, 8);
  char utf8[32]{};
  ::WideCharToMultiByte(CP_UTF8, 0, separator, -1, utf8, sizeof utf8, nullptr, nullptr);
  return utf8;
}

void pressCtrlAlt(HWND window, int virtualKey) {
  BYTE keys[256]{};
  ::GetKeyboardState(keys);
  keys[VK_CONTROL] = keys[VK_MENU] = 0x80;
  ::SetKeyboardState(keys);
  driver::pressKey(window, virtualKey);
  keys[VK_CONTROL] = keys[VK_MENU] = 0;
  ::SetKeyboardState(keys);
}

// The about box as "İrtibat" opened it: its texts, the fade's end state, the
// team panel's toggles; Esc closes it.
void checkAboutBox(HWND help, const std::string& caption) {
  HWND about = ::GetActiveWindow();
  ASSERT_NE(about, help);
  ASSERT_NE(driver::find(about, kAboutOk), nullptr);
  EXPECT_EQ(driver::text(about), caption);
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(::GetLayeredWindowAttributes(about, nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 255);
  const platform::MemoryStatus memory = platform::memoryStatus();
  EXPECT_EQ(driver::text(driver::find(about, kAboutPhysicalMemory)),
            uimodel::FormatPhysicalMemory(memory.totalPhysicalBytes, thousandsSeparator()));
  EXPECT_EQ(driver::text(driver::find(about, kAboutOk)), uimodel::kAboutOkCaption);
  saveShot(about, "about.png");

  HWND team = driver::find(about, kAboutTeamPanel);
  EXPECT_FALSE(driver::isVisible(team));
  driver::click(driver::find(about, kAboutLeftPicture));
  EXPECT_TRUE(driver::isVisible(team));
  saveShot(about, "about-team.png");
  pressCtrlAlt(about, 'T');
  EXPECT_FALSE(driver::isVisible(team));

  driver::pressKey(about, VK_ESCAPE);  // fades out and ends the box's loop
}

// The help window, then the about box from its "İrtibat": one pair of
// top-level windows for the whole program.
TEST(HelpAndAbout, ShowTheirTextsAndCloseOnEsc) {
  const std::string caption = "Upgrade-Devir 2.00";
  bool helpSeen = false, aboutClosed = false;
  driver::whenShown(caption, [&](HWND help) {
    ASSERT_NE(help, nullptr);
    helpSeen = true;
    EXPECT_EQ(driver::text(help), caption);
    std::string lines;
    for (const std::string& line : uimodel::HelpLines())
      lines += (lines.empty() ? "" : "\r\n") + line;
    EXPECT_EQ(driver::text(driver::find(help, kHelpMemo)), lines);
    EXPECT_EQ(driver::text(driver::find(help, kHelpContact)), uimodel::kContactCaption);
    EXPECT_EQ(driver::text(driver::find(help, kHelpClose)), uimodel::kCloseCaption);
    saveShot(help, "help.png");

    driver::runLater(4000, [&, help] { checkAboutBox(help, caption); });
    driver::click(driver::find(help, kHelpContact));  // returns when the about box closed
    aboutClosed = true;
    driver::pressKey(driver::find(help, kHelpMemo), VK_ESCAPE);
  });
  ShowHelpWindow(nullptr, caption);  // returns once Esc has closed it
  EXPECT_TRUE(helpSeen);
  EXPECT_TRUE(aboutClosed);
}

}  // namespace
