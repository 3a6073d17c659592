// The kit's controls built into a window and driven through the test driver,
// as the window tests of the programs will drive them.
// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
// clang-format on

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "support/temp_dir.h"
#include "ui/win32/buttons.h"
#include "ui/win32/dpi.h"
#include "ui/win32/edit.h"
#include "ui/win32/gauge.h"
#include "ui/win32/kit_fixture.h"
#include "ui/win32/label.h"
#include "ui/win32/messagebox.h"
#include "ui/win32/ownerbutton.h"
#include "ui/win32/panel.h"
#include "ui/win32/radiogroup.h"
#include "ui/win32/statusbar.h"

namespace {

using namespace win32ui;
namespace driver = win32ui::driver;

constexpr Rgb kNavy{0, 0, 128};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kFace{0, 128, 255};

DrawOp op(DrawOp::Kind kind, Rect rect, Rgb colour, std::string text = {}) {
  DrawOp o;
  o.kind = kind, o.rect = rect, o.colour = colour, o.text = std::move(text);
  o.font = {"Arial", 11, true};
  return o;
}

enum Id : int { kLabel = 101, kPanel, kTick, kYear, kRounding, kGauge = 120, kButton, kStatus };

// A window of each control kind: a label, a panel holding a check box and a
// year edit that takes digits only, a radio group, a gauge, an owner-drawn
// button and a status bar.
class Controls : public kit::TestWindow, public OwnerButtonEvents {
 protected:
  void SetUp() override {
    TestWindow::SetUp();
    LabelArgs label;
    label.parent = hwnd(), label.id = kLabel, label.rect = {8, 8, 200, 16};
    label.text = "Şirket Kodu", label.font.bold = true, label.colour = Rgb{255, 0, 0};
    ASSERT_TRUE(m_label.create(label));

    PanelArgs panel;
    panel.parent = hwnd(), panel.id = kPanel, panel.rect = {8, 30, 380, 60};
    panel.bevel = Bevel::LoweredOuterRaisedInner;
    ASSERT_TRUE(m_panel.create(panel));
    CheckBoxArgs tick;
    tick.parent = m_panel.hwnd(), tick.id = kTick, tick.rect = {8, 8, 220, 17};
    tick.text = "Yeni Yıla Devir İşlemi Yap", tick.font.bold = true;
    ASSERT_TRUE(m_tick.create(tick));
    EditArgs year;
    year.parent = m_panel.hwnd(), year.id = kYear, year.rect = {240, 6, 65, 21};
    year.maxLength = 4,
    year.acceptChar = [](char32_t c) { return (c >= '0' && c <= '9') || c == 8; };
    ASSERT_TRUE(m_year.create(year));

    RadioGroupArgs rounding;
    rounding.parent = hwnd(), rounding.id = kRounding, rounding.rect = {8, 96, 366, 38};
    rounding.text = " 10.000 TL nin altındaki tutarları";
    rounding.items = {"Otomatik Yuvarla", "Aşağı Yuvarla", "Yukarı Yuvarla"};
    rounding.columns = 3, rounding.itemIndex = 0;
    ASSERT_TRUE(m_rounding.create(rounding));

    GaugeArgs gauge;
    gauge.parent = hwnd(), gauge.id = kGauge, gauge.rect = {8, 140, 369, 17};
    ASSERT_TRUE(m_gauge.create(gauge));

    OwnerButtonArgs button;
    button.parent = hwnd(), button.id = kButton, button.rect = {8, 170, 130, 38};
    button.events = this, button.tabStop = true;
    button.drawing = {op(DrawOp::Fill, {1, 1, 128, 36}, kFace),
                      op(DrawOp::Frame, {0, 0, 130, 38}, kBlack),
                      op(DrawOp::Text, {40, 12, 0, 0}, kBlack, "Kapat")};
    ASSERT_TRUE(m_button.create(button));

    StatusBarArgs status;
    status.parent = hwnd(), status.id = kStatus;
    status.parts = {{-1, "ZEFIRTAK KMX Devir-Upgrade s2.04.02", true}};
    ASSERT_TRUE(m_status.create(status));
    driver::processPending();
  }

  void onMouseDown(MouseButton, Point at) override { m_log.push_back("down " + text(at)); }
  void onMouseUp(MouseButton, Point at) override { m_log.push_back("up " + text(at)); }
  void onKeyDown(int key, bool) override { m_log.push_back("key " + std::to_string(key)); }
  void onFocusChanged(bool focused) override { m_log.push_back(focused ? "focus" : "blur"); }
  static std::string text(Point p) { return std::to_string(p.x) + "," + std::to_string(p.y); }

  std::vector<std::string> m_log;  // what the owner-drawn button reported
  Label m_label;
  Panel m_panel;
  CheckBox m_tick;
  Edit m_year;
  RadioGroup m_rounding;
  Gauge m_gauge;
  OwnerButton m_button;
  StatusBar m_status;
};

TEST_F(Controls, TurkishTextsRoundTrip) {
  EXPECT_EQ(window->title(), "Yeni Yıla Devir İşlemi Yap");
  EXPECT_EQ(driver::text(control(kLabel)), "Şirket Kodu");
  EXPECT_EQ(driver::text(control(kTick)), "Yeni Yıla Devir İşlemi Yap");
  EXPECT_EQ(driver::text(m_rounding.item(1)), "Aşağı Yuvarla");
  EXPECT_EQ(m_status.partText(0), "ZEFIRTAK KMX Devir-Upgrade s2.04.02");
  m_label.setText("İşlem tamamlandı ğüşöçıİ");
  EXPECT_EQ(m_label.text(), "İşlem tamamlandı ğüşöçıİ");
}

TEST_F(Controls, CheckBoxInAPanelTogglesAndReportsToTheWindow) {
  driver::click(control(kTick));
  EXPECT_TRUE(driver::isChecked(control(kTick)));
  driver::click(control(kTick));
  EXPECT_FALSE(m_tick.isChecked());
  const std::pair<int, int> click{kTick, BN_CLICKED};
  EXPECT_EQ(std::count(events->commands.begin(), events->commands.end(), click), 2);

  m_panel.setVisible(false);
  EXPECT_FALSE(driver::isVisible(control(kTick)));
  EXPECT_TRUE(m_tick.isVisible());  // its own flag stays
}

// A box lower than its caption's line (the YTL box is 12 high) grows about
// its middle, or Windows cuts the caption's dots and cedillas.
TEST_F(Controls, LowCheckBoxGrowsToItsCaptionsLine) {
  CheckBox low;
  CheckBoxArgs args;
  args.parent = hwnd(), args.id = 90, args.rect = {8, 140, 337, 12};
  args.text = "Devir İşleminde Verilerimi YTL sistemine göre düzenle", args.font.bold = true;
  ASSERT_TRUE(low.create(args));
  RECT r{};
  ::GetWindowRect(low.hwnd(), &r);
  ::MapWindowPoints(HWND_DESKTOP, hwnd(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_GT(r.bottom - r.top, scale(12));
  EXPECT_LE(std::abs((r.top + r.bottom) / 2 - scale(146)), 1);
  ::DestroyWindow(low.hwnd());
}

TEST_F(Controls, EditFilterDropsLettersAndTheLimitAFifthDigit) {
  driver::type(control(kYear), "2a0x056");
  EXPECT_EQ(driver::text(control(kYear)), "2005");
  driver::type(control(kYear), "\b");
  EXPECT_EQ(m_year.text(), "200");
  // The window saw every character first.
  EXPECT_EQ(events->previewed, U"2a0x056\b");
}

TEST_F(Controls, ReadOnlyMultiLineEditBreaksLinesAtNewlines) {
  Edit memo;
  EditArgs args;
  args.parent = hwnd(), args.rect = {8, 215, 380, 60}, args.multiLine = true, args.readOnly = true;
  args.text = "KMX Pravex Upgrade - YTL Devir Yardım\nÖNEMLİ :\n- Yedek alınız";
  ASSERT_TRUE(memo.create(args));
  EXPECT_EQ(::SendMessageW(memo.hwnd(), EM_GETLINECOUNT, 0, 0), 3);
  driver::type(memo.hwnd(), "x");
  EXPECT_EQ(memo.text(), "KMX Pravex Upgrade - YTL Devir Yardım\r\nÖNEMLİ :\r\n- Yedek alınız");
}

TEST_F(Controls, KeyPreviewCanKeepACharacterFromTheControl) {
  events->swallowed = U'9';
  driver::type(control(kYear), "19");
  EXPECT_EQ(m_year.text(), "1");
}

TEST_F(Controls, RadioGroupSelectsOneItemAndDisablesAsOne) {
  EXPECT_EQ(m_rounding.itemIndex(), 0);
  driver::click(m_rounding.item(2));
  EXPECT_EQ(m_rounding.itemIndex(), 2);
  EXPECT_EQ(m_rounding.indexOfId(events->commands.back().first), 2);
  m_rounding.setEnabled(false);
  for (int i = 0; i < m_rounding.itemCount(); ++i)
    EXPECT_FALSE(driver::isEnabled(m_rounding.item(i)));
}

TEST_F(Controls, GaugeHoldsItsEndsAndRoundsThePercentDown) {
  const struct {
    int position, maximum, percent;
  } cases[] = {{2, 3, 66}, {5, 3, 100}, {-1, 3, 0}, {1, 0, 0}};
  for (const auto& c : cases) {
    m_gauge.setProgress(c.position, c.maximum);
    EXPECT_EQ(m_gauge.percent(), c.percent) << c.position << " of " << c.maximum;
  }
}

TEST_F(Controls, GaugePaintsThePercentWhiteOverTheFillAndBlackBeside) {
  m_gauge.setProgress(1, 2);  // "50%": its left half over the fill
  const Pixels p = pixelsOf(m_gauge.hwnd());
  const int middle = p.width / 2;
  EXPECT_GT(count(p, kNavy, 0, middle), 0);
  EXPECT_EQ(count(p, kNavy, middle + 1, p.width), 0);
  EXPECT_GT(count(p, kWhite, middle - 20, middle), 0) << "text over the fill";
  EXPECT_GT(count(p, kBlack, middle + 1, middle + 20), 0) << "text beside the fill";
}

TEST_F(Controls, OwnerButtonPaintsItsDrawingAndTurnsAClickIntoPressAndRelease) {
  const Pixels p = pixelsOf(m_button.hwnd());
  EXPECT_EQ(p.at(0, 0), kBlack);
  EXPECT_EQ(p.at(5, 5), kFace);
  EXPECT_GT(count(p, kBlack, scale(40), scale(100)), 10) << "the caption";

  driver::click(control(kButton));
  EXPECT_EQ(m_log, (std::vector<std::string>{"down 65,19", "up 65,19"}));
}

// Enter belongs to the focused button (its model clicks); Esc to the window.
TEST_F(Controls, OwnerButtonTakesEnterAndTheWindowEsc) {
  ::SetFocus(m_button.hwnd());
  driver::pressKey(m_button.hwnd(), VK_RETURN);
  driver::pressKey(m_button.hwnd(), VK_ESCAPE);
  EXPECT_EQ(m_log, (std::vector<std::string>{"focus", "key 13"}));
  EXPECT_EQ(events->commands, (std::vector<std::pair<int, int>>{{IDCANCEL, 0}}));
}

// A glyph drawn without its transparent colour, and its shape in one colour.
TEST_F(Controls, OwnerButtonDrawsImagesWithoutTheirTransparentColour) {
  constexpr Rgb kMagenta{255, 0, 255}, kGreen{0, 160, 0}, kBlue{0, 0, 255};
  // 4 by 4: the left half transparent, the right half green.
  const std::uint32_t bits[16] = {0xFF00FF, 0xFF00FF, 0x00A000, 0x00A000, 0xFF00FF, 0xFF00FF,
                                  0x00A000, 0x00A000, 0xFF00FF, 0xFF00FF, 0x00A000, 0x00A000,
                                  0xFF00FF, 0xFF00FF, 0x00A000, 0x00A000};
  HBITMAP glyph = ::CreateBitmap(4, 4, 1, 32, bits);
  DrawOp image = op(DrawOp::Image, {10, 10, 4, 4}, kWhite);
  image.image = glyph, image.transparent = kMagenta;
  DrawOp shape = image;
  shape.kind = DrawOp::ImageShape, shape.rect.x = 20, shape.colour = kBlue;
  m_button.setDrawing({op(DrawOp::Fill, {0, 0, 130, 38}, kWhite), image, shape});
  const Pixels p = pixelsOf(m_button.hwnd());
  ::DeleteObject(glyph);
  EXPECT_EQ(p.at(scale(11), scale(11)), kWhite);
  EXPECT_EQ(p.at(scale(13), scale(11)), kGreen);
  EXPECT_EQ(p.at(scale(21), scale(11)), kWhite);
  EXPECT_EQ(p.at(scale(23), scale(11)), kBlue);
}

// Windows' one-pixel bevels and the colours asked for.
TEST_F(Controls, PanelsAndEditsPaintTheirColours) {
  Edit currency;
  EditArgs args;
  args.parent = hwnd(), args.rect = {8, 215, 110, 21}, args.readOnly = true;
  args.text = "YTL", args.background = Rgb{255, 241, 248};
  ASSERT_TRUE(currency.create(args));
  const Pixels edit = pixelsOf(currency.hwnd());
  EXPECT_EQ(edit.at(edit.width - 3, edit.height / 2), *args.background);

  const Pixels panel = pixelsOf(m_panel.hwnd());
  const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT), dark = ::GetSysColor(COLOR_BTNSHADOW);
  const Rgb shadow{GetRValue(dark), GetGValue(dark), GetBValue(dark)};
  const Rgb highlight{GetRValue(light), GetGValue(light), GetBValue(light)};
  const int w = panel.width, h = panel.height;
  EXPECT_EQ(panel.at(5, 0), shadow) << "outer top";
  EXPECT_EQ(panel.at(5, 1), highlight) << "inner top";
  EXPECT_EQ(panel.at(5, h - 1), highlight) << "outer bottom";
  EXPECT_EQ(panel.at(w - 2, 5), shadow) << "inner right";

  EXPECT_GT(count(pixelsOf(m_label.hwnd()), {255, 0, 0}, 0, 200), 20) << "the red label";
}

TEST_F(Controls, ModalWindowDisablesItsOwnerUntilItMayClose) {
  kit::RecordingEvents dialogEvents;
  dialogEvents.closable = false;
  Window dialog;
  WindowArgs args;
  args.owner = hwnd(), args.title = "Bilgi", args.clientSize = {200, 100};
  ASSERT_TRUE(dialog.create(args, &dialogEvents));
  bool ownerDisabled = false, refused = false;
  driver::runLater(50, [&] {
    ownerDisabled = !driver::isEnabled(hwnd());
    dialog.close();
    refused = dialog.isModalRunning();
    dialogEvents.closable = true;
    dialog.close();
  });
  EXPECT_EQ(dialog.runModal(), IDCANCEL);
  EXPECT_TRUE(ownerDisabled);
  EXPECT_TRUE(refused);
  EXPECT_EQ(dialogEvents.closeAsked, 2);
  EXPECT_TRUE(driver::isEnabled(hwnd()));
}

TEST_F(Controls, WindowHasTheClientSizeAskedForCentredOnTheDesktop) {
  RECT client{}, frame{}, work{};
  ::GetClientRect(hwnd(), &client);
  EXPECT_EQ(client.right, scale(400));
  EXPECT_EQ(client.bottom, scale(300));
  ::GetWindowRect(hwnd(), &frame);
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_NEAR(frame.left + frame.right, work.left + work.right, 1);
  EXPECT_NEAR(frame.top + frame.bottom, work.top + work.bottom, 1);
  EXPECT_FALSE(::GetWindowLongPtrW(hwnd(), GWL_STYLE) & (WS_MAXIMIZEBOX | WS_THICKFRAME));
}

// A message box found and closed as a person would: its button reads our
// text whatever the language of Windows, and is wide enough for it.
TEST_F(Controls, MessageBoxButtonsCarryOurTexts) {
  const struct {
    std::vector<std::string> buttons;
    int pressed;
  } cases[] = {{{"Tamam"}, 0}, {{"Raporu göster", "Kapat"}, 1}};
  for (const auto& c : cases) {
    std::vector<std::string> seen;
    driver::whenShown("Bilgi", [&](HWND box) {
      ASSERT_NE(box, nullptr);
      for (int id : {IDOK, IDCANCEL}) {
        HWND button = ::GetDlgItem(box, id);
        if (button == nullptr) continue;
        seen.push_back(driver::text(button));
        RECT r{};
        ::GetClientRect(button, &r);
        EXPECT_GT(
            r.right,
            textSize(reinterpret_cast<HFONT>(::SendMessageW(button, WM_GETFONT, 0, 0)), seen.back())
                .width);
      }
      driver::click(::GetDlgItem(box, c.pressed == 0 ? IDOK : IDCANCEL));
    });
    MessageBoxArgs args;
    args.owner = hwnd(), args.caption = "Bilgi", args.text = "İşlem tamamlandı";
    args.icon = MessageIcon::Information, args.buttons = c.buttons;
    EXPECT_EQ(showMessageBox(args), c.pressed);
    EXPECT_EQ(seen, c.buttons);
  }
}

TEST_F(Controls, CaptureWritesAPngOfTheWindowsSize) {
  const auto pixels = captureWindow(hwnd());
  ASSERT_TRUE(pixels);
  RECT frame{};
  ::GetWindowRect(hwnd(), &frame);
  EXPECT_EQ(pixels->width, frame.right - frame.left);
  EXPECT_EQ(pixels->height, frame.bottom - frame.top);

  fixture::TempDir dir;
  ASSERT_TRUE(savePng(*pixels, (dir / "window.png").string()));
  const std::string png = dir.read("window.png");
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
  auto bigEndian = [&](std::size_t at) {
    return (static_cast<unsigned char>(png[at]) << 24) |
           (static_cast<unsigned char>(png[at + 1]) << 16) |
           (static_cast<unsigned char>(png[at + 2]) << 8) | static_cast<unsigned char>(png[at + 3]);
  };
  EXPECT_EQ(bigEndian(16), static_cast<unsigned>(pixels->width));  // IHDR
  EXPECT_EQ(bigEndian(20), static_cast<unsigned>(pixels->height));
  // A copy to look at, where asked for.
  if (const char* shots = std::getenv("UD_SCREENSHOT_DIR"))
    savePng(*pixels, std::string(shots) + "/win32-kit.png");
}

// The programs link the manifest of the kit; without it Windows gives them
// the common controls of version 5, whose buttons know no BCM_ message.
// (Wine's version 6 reports itself as 5.81 through DllGetVersion.)
TEST_F(Controls, TheManifestBringsTheCommonControlsOfVersion6) {
  PushButton button;
  PushButtonArgs args;
  args.parent = hwnd(), args.rect = {300, 170, 75, 25}, args.text = "Tamam";
  ASSERT_TRUE(button.create(args));
  SIZE ideal{};
  EXPECT_TRUE(::SendMessageW(button.hwnd(), BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)));
  EXPECT_GT(ideal.cx, 0);
}

// Edges are scaled, so controls side by side at 96 DPI stay side by side.
TEST(Dpi, ScalesEdgesOfTheLayout) {
  const struct {
    int dpi;
    Rect in, out;
  } cases[] = {{96, {3, 4, 5, 6}, {3, 4, 5, 6}},
               {144, {10, 20, 30, 40}, {15, 30, 45, 60}},
               {120, {1, 1, 1, 1}, {1, 1, 2, 2}},
               {120, {2, 2, 1, 1}, {3, 3, 1, 1}}};
  for (const auto& c : cases) EXPECT_EQ(scale(c.in, c.dpi), c.out) << c.dpi;
}

}  // namespace
