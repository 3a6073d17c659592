#include "main/win32/painted.h"

#include <string>
#include <utility>

#include "platform/wintext.h"
#include "ui/win32/dpi.h"
#include "ui/win32/gdi.h"

namespace win32main {

namespace {

constexpr wchar_t kClassName[] = L"win32main.Painted";

}  // namespace

bool PaintedControl::create(const win32ui::ControlArgs& args, Painter painter) {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &PaintedControl::procedure;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    return ::RegisterClassExW(&wc) != 0;
  }();
  if (!registered) return false;
  m_painter = std::move(painter);
  return createWindow(args, kClassName, 0);
}

LRESULT CALLBACK PaintedControl::procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<PaintedControl*>(Control::fromHwnd(hwnd));
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT fills the whole rectangle
    case WM_NCHITTEST:
      return HTTRANSPARENT;  // clicks go to the window beneath, as on a label
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(hwnd, &ps);
      RECT client{};
      ::GetClientRect(hwnd, &client);
      ::FillRect(dc, &client, win32ui::brush(win32ui::faceColour()));
      if (self != nullptr && self->m_painter) self->m_painter(dc, client);
      ::EndPaint(hwnd, &ps);
      return 0;
    }
    default:
      return ::DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

Painter stretchedPicture(HBITMAP bitmap) {
  return [bitmap](HDC dc, const RECT& client) {
    if (bitmap == nullptr) return;
    BITMAP info{};
    ::GetObjectW(bitmap, sizeof info, &info);
    HDC source = ::CreateCompatibleDC(dc);
    HGDIOBJ old = ::SelectObject(source, bitmap);
    ::SetStretchBltMode(dc, HALFTONE);
    ::SetBrushOrgEx(dc, 0, 0, nullptr);
    ::StretchBlt(dc, 0, 0, client.right, client.bottom, source, 0, 0, info.bmWidth, info.bmHeight,
                 SRCCOPY);
    ::SelectObject(source, old);
    ::DeleteDC(source);
  };
}

Painter shadowedTitle(std::string text, HFONT font, int shadow) {
  return [wide = platform::widen(text), font, shadow](HDC dc, const RECT& client) {
    HGDIOBJ old = ::SelectObject(dc, font);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    // The capitals' height: the ascent without the accents' room above them.
    const int capitals = metrics.tmAscent - metrics.tmInternalLeading;
    const int baseline = (client.bottom + capitals) / 2;
    const int offset = win32ui::scale(shadow);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextAlign(dc, TA_BASELINE | TA_LEFT);
    const int length = static_cast<int>(wide.size());
    ::SetTextColor(dc, RGB(128, 128, 128));
    ::ExtTextOutW(dc, offset, baseline + offset, 0, nullptr, wide.c_str(), length, nullptr);
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    ::ExtTextOutW(dc, 0, baseline, 0, nullptr, wide.c_str(), length, nullptr);
    ::SelectObject(dc, old);
  };
}

Painter etchedLine() {
  return [](HDC dc, const RECT& client) {
    RECT line = client;
    ::DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
  };
}

}  // namespace win32main
