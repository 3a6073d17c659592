// The selection dialog on Windows, driven with window messages while it
// runs modally: what a click, Tamam, Esc and the close box do, the notes,
// and a picture of it (UD_SHOTS_DIR names the folder, when set).
#include "carry/dialog/win32/k_sirketsec.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "data/companylist.h"
#include "support/recording_host.h"
#include "ui/win32/capture.h"
#include "ui/win32/testdriver.h"

namespace {

namespace driver = win32ui::driver;
constexpr const char* kCaption = "ZEFIRTAK KMX Devir-Upgrade s2.04.02";
constexpr int kDevret = 1;  // the grid column of "Devret", after the indicator

class SirketSecWin32 : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* rows[][2] = {{"2005_001", "Merkez Ticaret"},
                             {"2005_002", "Özdemir İnşaat Taahhüt Ltd.Şti"},
                             {"2005_003", "Şube Ğüşiöç"}};
    for (const auto& [code, name] : rows) {
      list.append();
      list.setValue("SIRKET_KOD", Variant{std::string(code)});
      list.setValue("KISA_AD", Variant{std::string(name)});
      list.setValue("NUMBER1", Variant{2005.0});
      list.setValue("YENI_SIRKET_KOD", Variant{"2006_" + std::string(code).substr(5)});
      list.setValue("DEVIR", Variant{true});
    }
    list.moveTo(0);
  }

  // Runs the dialog; `drive` gets its window once it shows. Returns whether
  // the dialog confirmed.
  bool run(std::function<void(HWND)> drive) {
    driver::whenShown(kCaption, [drive](HWND dialog) {
      ASSERT_NE(dialog, nullptr);
      drive(dialog);
    });
    return ShowCompanySelection(nullptr, list, host, kCaption);
  }

  // The Devret column as the grid shows it, row by row: "X" or ".".
  static std::string devret(HWND dialog) {
    const auto* grid = dynamic_cast<const win32ui::ListView*>(
        win32ui::Control::fromHwnd(driver::find(dialog, TK_SirketSec::kGrid)));
    std::string ticks;
    for (int row = 0; row < grid->rowCount(); ++row)
      ticks += grid->cellText({row, kDevret}) == "X" ? 'X' : '.';
    return ticks;
  }

  CompanyList list;
  RecordingHost host;
};

void save(HWND window, const char* name) {
  const char* dir = std::getenv("UD_SHOTS_DIR");
  if (dir == nullptr) return;
  driver::processPending();
  auto pixels = win32ui::captureWindow(window);
  ASSERT_TRUE(pixels.has_value());
  EXPECT_TRUE(win32ui::savePng(*pixels, std::string(dir) + "/" + name));
}

TEST_F(SirketSecWin32, OnlyDevretTogglesAndTamamRefusesAnEmptySelection) {
  list.moveTo(1);
  list.setNote("2005_002 zaten 2006_001 koduyla 2006 yılına devredilmiş");
  const bool confirmed = run([this](HWND dialog) {
    EXPECT_EQ(driver::text(dialog), kCaption);
    EXPECT_TRUE(driver::isVisible(driver::find(dialog, TK_SirketSec::kLabel3)));
    const HWND grid = driver::find(dialog, TK_SirketSec::kGrid);
    save(dialog, "k_sirketsec.png");
    for (int column = kDevret + 1; column <= 5; ++column)
      ASSERT_TRUE(driver::clickListCell(grid, 1, column));
    EXPECT_EQ(devret(dialog), "XXX");
    for (int row = 0; row < 3; ++row) ASSERT_TRUE(driver::clickListCell(grid, row, kDevret));
    EXPECT_EQ(devret(dialog), "...");
    // The host records the refusal instead of showing it.
    driver::click(driver::find(dialog, TK_SirketSec::kButton1));
    EXPECT_EQ(host.infos, std::vector<std::string>{CompanySelection::kEmptySelection});
    EXPECT_TRUE(driver::isVisible(dialog));
    ASSERT_TRUE(driver::clickListCell(grid, 2, kDevret));
    driver::click(driver::find(dialog, TK_SirketSec::kButton1));
  });
  EXPECT_TRUE(confirmed);
  std::string selected;
  for (std::size_t row = 0; row < list.rowCount(); ++row) {
    list.moveTo(row);
    selected += list.selected() ? 'X' : '.';
  }
  EXPECT_EQ(selected, "..X");
}

// Vazgeç, Esc and the close box end the dialog unconfirmed, with no message;
// without notes, the notes label is hidden.
TEST_F(SirketSecWin32, VazgecEscAndTheCloseBoxCancel) {
  const std::function<void(HWND)> endings[] = {
      [](HWND d) { driver::click(driver::find(d, TK_SirketSec::kButton2)); },
      [](HWND d) { driver::pressKey(driver::find(d, TK_SirketSec::kGrid), VK_ESCAPE); },
      [](HWND d) { ::PostMessageW(d, WM_CLOSE, 0, 0); },
  };
  for (const auto& end : endings) {
    EXPECT_FALSE(run([&end](HWND dialog) {
      EXPECT_FALSE(driver::isVisible(driver::find(dialog, TK_SirketSec::kLabel3)));
      end(dialog);
    }));
  }
  EXPECT_TRUE(host.infos.empty());
}

}  // namespace
