// The program's pictures on Windows: the files of resources/ embedded in
// the .exe as RCDATA (pictures.rc) and decoded with WIC on first use. Each
// bitmap is a 32-bit top-down DIB section, kept until the program ends (the
// callers never free one); null when the resource or WIC is missing.
#pragma once

// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
// clang-format on

#include "ui/model/glyphs.h"

namespace win32ui::pictures {

// Glyphs of the 32 x 32 image list, by index.
using uimodel::Glyph;
using enum uimodel::Glyph;

HBITMAP banner();        // 180 x 526, the main window's left side
HBITMAP logo();          // 64 x 64
HBITMAP title();         // 109 x 27, the title image
HBITMAP aboutPicture();  // the about box's tall left picture (JPEG)

// The 32 x 32 glyph list (32-bit with alpha), indices as above.
HIMAGELIST glyphs();
// One glyph as a 32 x 32 bitmap whose transparent pixels have the colour
// kGlyphKey (for drawing with a transparent colour); null for an index out
// of range.
HBITMAP glyph(int index);
inline constexpr COLORREF kGlyphKey = RGB(255, 0, 255);

}  // namespace win32ui::pictures
