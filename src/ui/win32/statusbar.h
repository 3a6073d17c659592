// A status bar along the bottom of a window, without a size grip (the
// windows have a fixed border), with no parts or with parts of given widths.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ui/win32/control.h"

namespace win32ui {

struct StatusPart {
  int width = -1;  // 96-DPI pixels; -1 takes the rest of the bar
  std::string text;
  bool centred = false;
};

struct StatusBarArgs : ControlArgs {
  // The bar's height in 96-DPI pixels (its rectangle is Windows' business:
  // the whole width at the bottom).
  int height = 19;
  std::vector<StatusPart> parts;  // none: one plain bar with `text`
};

class StatusBar : public Control {
 public:
  bool create(const StatusBarArgs& args);
  // Without parts, part 0 is the plain bar's text.
  void setPartText(int part, std::string_view text);
  // The text of one of the parts ("" without parts).
  std::string partText(int part) const;

 private:
  std::vector<bool> m_centred;
};

}  // namespace win32ui
