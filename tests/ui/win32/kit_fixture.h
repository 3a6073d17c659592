// What the kit's tests share: a window built from the kit whose events are
// recorded, and a look at its pixels.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "ui/win32/capture.h"
#include "ui/win32/testdriver.h"
#include "ui/win32/window.h"

namespace kit {

class RecordingEvents : public win32ui::WindowEvents {
 public:
  void onCommand(int id, int code) override { commands.emplace_back(id, code); }
  bool onClose() override {
    ++closeAsked;
    return closable;
  }
  bool onChar(char32_t character) override {
    previewed += character;
    return character == swallowed;
  }
  std::vector<std::pair<int, int>> commands;
  std::u32string previewed;
  char32_t swallowed = 0;  // the one character the window keeps from its controls
  bool closable = true;
  int closeAsked = 0;
};

// One window for all tests, each filling it with controls of its own (which
// go with the test): under Wine without a window manager, every top-level
// window that goes away costs two seconds.
class TestWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    static RecordingEvents* const shared = new RecordingEvents;
    static win32ui::Window* const created = [] {
      auto* w = new win32ui::Window;
      win32ui::WindowArgs args;
      args.title = "Yeni Yıla Devir İşlemi Yap";
      args.clientSize = {400, 300};
      if (!w->create(args, shared)) return static_cast<win32ui::Window*>(nullptr);
      w->show();
      return w;
    }();
    ASSERT_NE(created, nullptr);
    *shared = RecordingEvents{};
    events = shared;
    window = created;
  }
  HWND hwnd() const { return window->hwnd(); }
  HWND control(int id) const { return win32ui::driver::find(hwnd(), id); }

  // The control's client area as it is on the screen now.
  static win32ui::Pixels pixelsOf(HWND hwnd) {
    win32ui::driver::processPending();
    auto pixels = win32ui::captureWindow(hwnd, true);
    EXPECT_TRUE(pixels.has_value());
    return pixels.value_or(win32ui::Pixels{});
  }
  // How many pixels of `colour` lie in x0 <= x < x1 of the picture.
  static int count(const win32ui::Pixels& p, uimodel::Rgb colour, int x0, int x1) {
    int n = 0;
    for (int y = 0; y < p.height; ++y)
      for (int x = x0; x < x1 && x < p.width; ++x) n += p.at(x, y) == colour;
    return n;
  }

  RecordingEvents* events = nullptr;
  win32ui::Window* window = nullptr;
};

}  // namespace kit
