// The glyphs of the windows' 32 x 32 image list, by index: the same list on
// both systems (the pictures of resources/).
#pragma once

namespace uimodel {

enum Glyph {
  kGlyphRun = 0,  // "Devir-Upgrade"
  kGlyphFolder = 1,
  kGlyphTick = 2,
  kGlyphHelp = 3,  // "Yardım"
  kGlyphInfo = 4,
  kGlyphClose = 5,  // "Kapat"
  kGlyphDisk = 6,
  kGlyphWarning = 7,
  kGlyphContact = 8,  // "İrtibat"
  kGlyphCalendar = 9,
  kGlyphCount = 10
};

}  // namespace uimodel
