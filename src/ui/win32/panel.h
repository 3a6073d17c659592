// A panel: a child window of the face colour that holds other controls,
// with Windows' one-pixel bevels around its edge. Messages its controls send
// it go on to the window that holds it, so a control of a panel reports to
// the window's WindowEvents like any other.
#pragma once

#include <optional>

#include "ui/win32/control.h"

namespace win32ui {

enum class Bevel {
  None,
  Raised,                   // light top and left, shadow bottom and right
  LoweredOuterRaisedInner,  // a lowered bevel around a raised one
};

struct PanelArgs : ControlArgs {
  Bevel bevel = Bevel::Raised;
  std::optional<Rgb> background;  // the face colour when absent
};

class Panel : public Control {
 public:
  bool create(const PanelArgs& args);

 private:
  static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void paint(HDC dc) const;

  Bevel m_bevel = Bevel::Raised;
  std::optional<Rgb> m_background;
};

}  // namespace win32ui
