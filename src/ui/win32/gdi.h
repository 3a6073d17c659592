// Fonts, brushes and colours shared by the controls. Both are created once
// per kind and kept until the program ends (a handful each), so a control
// never owns or frees one.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "ui/model/geometry.h"

namespace win32ui {

// A font as the layout names it: face, character height in 96-DPI pixels
// (the height of the letters without the line's leading) and weight.
// Windows substitutes a face it lacks ("MS Sans Serif" is a bitmap font that
// newer systems map to "Microsoft Sans Serif"; Wine to its own faces).
struct FontSpec {
  std::string face = "MS Sans Serif";
  int pixels = 11;
  bool bold = false;
  friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

// The font for `spec` at the system's DPI, with the Turkish character set.
// Never null: Windows falls back to a font of its own choosing.
HFONT font(const FontSpec& spec);

// A solid brush of `colour`.
HBRUSH brush(uimodel::Rgb colour);

inline COLORREF colorRef(uimodel::Rgb c) {
  return RGB(c.red, c.green, c.blue);
}

// The window's face colour (COLOR_BTNFACE), which our panels and windows use.
uimodel::Rgb faceColour();

// The size `text` (UTF-8, one line) takes in `font`, in device pixels.
uimodel::Size textSize(HFONT font, std::string_view text);

inline RECT toRECT(const uimodel::Rect& r) {
  return RECT{r.x, r.y, r.x + r.width, r.y + r.height};
}
inline uimodel::Rect fromRECT(const RECT& r) {
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

}  // namespace win32ui
