#include "ui/win32/panel.h"

namespace win32ui {

namespace {

constexpr wchar_t kClassName[] = L"win32ui.Panel";

// One bevel, one pixel wide, just inside `r`.
void drawBevel(HDC dc, RECT r, COLORREF topLeft, COLORREF bottomRight) {
  auto line = [dc](int x1, int y1, int x2, int y2, COLORREF colour) {
    RECT strip{x1, y1, x2, y2};
    ::SetBkColor(dc, colour);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &strip, nullptr, 0, nullptr);
  };
  line(r.left, r.top, r.right, r.top + 1, topLeft);
  line(r.left, r.top, r.left + 1, r.bottom, topLeft);
  line(r.left, r.bottom - 1, r.right, r.bottom, bottomRight);
  line(r.right - 1, r.top, r.right, r.bottom, bottomRight);
}

}  // namespace

bool Panel::create(const PanelArgs& args) {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &Panel::procedure;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    return ::RegisterClassExW(&wc) != 0;
  }();
  if (!registered) return false;
  m_bevel = args.bevel;
  m_background = args.background;
  // Tab walks into the panel's controls.
  return createWindow(args, kClassName, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT);
}

void Panel::paint(HDC dc) const {
  RECT r{};
  ::GetClientRect(hwnd(), &r);
  ::FillRect(dc, &r, brush(m_background.value_or(faceColour())));
  const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
  const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
  if (m_bevel == Bevel::Raised) {
    drawBevel(dc, r, light, shadow);
  } else if (m_bevel == Bevel::LoweredOuterRaisedInner) {
    drawBevel(dc, r, shadow, light);
    ::InflateRect(&r, -1, -1);
    drawBevel(dc, r, light, shadow);
  }
}

LRESULT CALLBACK Panel::procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* panel = static_cast<Panel*>(Control::fromHwnd(hwnd));
  if (panel == nullptr) return ::DefWindowProcW(hwnd, message, wParam, lParam);
  LRESULT result = 0;
  if (reflectToControl(message, wParam, lParam, &result)) return result;
  LRESULT painted = 0;
  if (answerPaint(
          hwnd, message, wParam, [&](HDC dc) { panel->paint(dc); }, &painted))
    return painted;
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_DRAWITEM:
      // Not the control's own business: the window decides.
      return ::SendMessageW(::GetParent(hwnd), message, wParam, lParam);
    default:
      return ::DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace win32ui
