// A child window that the main window paints itself: the banner picture
// stretched over it, the 3D title, the etched line. What it paints is a
// function handed in; the window only calls it on each WM_PAINT, after
// filling the background with the face colour.
#pragma once

#include <windows.h>

#include <functional>

#include "ui/win32/control.h"

namespace win32main {

// Paints into `dc` over the client rectangle `client` (device pixels).
using Painter = std::function<void(HDC dc, const RECT& client)>;

class PaintedControl : public win32ui::Control {
 public:
  bool create(const win32ui::ControlArgs& args, Painter painter);

 private:
  static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  Painter m_painter;
};

// The painters of the window's own controls.
// `bitmap` stretched over the whole client rectangle (nothing when null).
Painter stretchedPicture(HBITMAP bitmap);
// `text` (UTF-8) in `font`, first in grey `shadow` pixels (96 DPI) down and
// right, then in the window text colour; the capitals stand in the middle of
// the height.
Painter shadowedTitle(std::string text, HFONT font, int shadow);
// A horizontal etched line along the top of the rectangle.
Painter etchedLine();

}  // namespace win32main
