// Pictures of the windows taken in process, for screenshots and for tests
// that look at pixels: the window's pixels as they are now, and a PNG file
// written with what Windows has (WIC's PNG encoder).
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ui/model/geometry.h"

namespace win32ui {

struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> rgb;  // 0x00RRGGBB, rows top to bottom
  uimodel::Rgb at(int x, int y) const {
    const std::uint32_t p = rgb[static_cast<std::size_t>(y) * width + x];
    return {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
            static_cast<std::uint8_t>(p)};
  }
};

// The window with its frame and caption (only its client area when asked)
// as it is on the screen: a bit blit of the window's device context after
// its pending painting is done. The window must be shown; on Windows also
// uncovered. (PrintWindow would not need that, but Wine's paints neither
// the frame nor the child windows.) Nothing when the window has no size or
// Windows failed.
std::optional<Pixels> captureWindow(HWND hwnd, bool clientOnly = false);

// Writes `pixels` as a PNG file (UTF-8 path). False, with no file left
// behind, on failure.
bool savePng(const Pixels& pixels, const std::string& path);

}  // namespace win32ui
