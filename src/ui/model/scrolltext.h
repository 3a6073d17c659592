// The scrolling-text panel of the about box (TSecretPanel) without a
// toolkit: lines of text under a small picture move upward one pixel per
// step, one step every kStepMs while the panel is active, and start again
// just below the bottom after the last line has left the top.
#pragma once

#include <vector>

#include "ui/model/geometry.h"

namespace uimodel {

struct ScrollText {
  static constexpr int kStepMs = 50;
  // Between the picture and the first line.
  static constexpr int kPictureGap = 6;

  Size panel;
  Size picture;  // empty: no picture
  int lineCount = 0;
  int lineHeight = 0;

  // Height of the picture, its gap and all lines together.
  int contentHeight() const;
  // The offset after one more step: the text has gone once it has travelled
  // the panel's height and its own, and then starts again from 0.
  int nextOffset(int offset) const;

  // Where the text stands after moving `offset` pixels up: the picture,
  // centred across the panel, and each line that shows at least partly,
  // across the whole width (text centred in it).
  struct Placement {
    Rect picture;
    struct Line {
      int index;
      Rect rect;
    };
    std::vector<Line> lines;
  };
  Placement place(int offset) const;
};

}  // namespace uimodel
