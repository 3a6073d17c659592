#include "ui/win32/dpi.h"

#include <windows.h>

namespace win32ui {

int systemDpi() {
  static const int dpi = [] {
    HDC screen = ::GetDC(nullptr);
    const int value = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ::ReleaseDC(nullptr, screen);
    return value > 0 ? value : 96;
  }();
  return dpi;
}

int scale(int length96, int dpi) {
  return ::MulDiv(length96, dpi, 96);
}

int unscale(int lengthDevice, int dpi) {
  return ::MulDiv(lengthDevice, 96, dpi);
}

// Edges are scaled, not the width and height, so that neighbouring controls
// stay neighbours after rounding.
uimodel::Rect scale(const uimodel::Rect& rect96, int dpi) {
  const int left = scale(rect96.x, dpi);
  const int top = scale(rect96.y, dpi);
  return {left, top, scale(rect96.x + rect96.width, dpi) - left,
          scale(rect96.y + rect96.height, dpi) - top};
}

uimodel::Size scale(const uimodel::Size& size96, int dpi) {
  return {scale(size96.width, dpi), scale(size96.height, dpi)};
}

}  // namespace win32ui
