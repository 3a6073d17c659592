#include "ui/model/scrolltext.h"

namespace uimodel {

int ScrollText::contentHeight() const {
  const int top = picture.isEmpty() ? 0 : picture.height + kPictureGap;
  return top + lineCount * lineHeight;
}

int ScrollText::nextOffset(int offset) const {
  // The text enters at the bottom edge.
  return offset + 1 > panel.height + contentHeight() ? 0 : offset + 1;
}

ScrollText::Placement ScrollText::place(int offset) const {
  Placement out;
  int y = panel.height - offset;
  if (!picture.isEmpty()) {
    out.picture = {(panel.width - picture.width) / 2, y, picture.width, picture.height};
    y += picture.height + kPictureGap;
  }
  for (int i = 0; i < lineCount; ++i, y += lineHeight) {
    if (y + lineHeight > 0 && y < panel.height)
      out.lines.push_back({i, {0, y, panel.width, lineHeight}});
  }
  return out;
}

}  // namespace uimodel
