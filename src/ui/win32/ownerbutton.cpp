#include "ui/win32/ownerbutton.h"

#include <windowsx.h>

#include <utility>

#include "platform/wintext.h"
#include "ui/win32/dpi.h"

namespace win32ui {

namespace {

constexpr wchar_t kClassName[] = L"win32ui.OwnerButton";
// Pattern where the source is white, destination where it is black (DSPDxax).
constexpr DWORD kPatternThroughMask = 0x00E20746;

// The image (or its shape in `shape`'s colour) stretched over `r`.
void drawImage(HDC dc, const DrawOp& op, const RECT& r, bool shape) {
  BITMAP info{};
  if (!::GetObjectW(op.image, sizeof info, &info)) return;
  HDC source = ::CreateCompatibleDC(dc);
  HGDIOBJ oldSource = ::SelectObject(source, op.image);
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  if (!shape) {
    if (op.transparent)
      ::TransparentBlt(dc, r.left, r.top, width, height, source, 0, 0, info.bmWidth, info.bmHeight,
                       colorRef(*op.transparent));
    else
      ::StretchBlt(dc, r.left, r.top, width, height, source, 0, 0, info.bmWidth, info.bmHeight,
                   SRCCOPY);
  } else if (!op.transparent) {
    ::FillRect(dc, &r, brush(op.colour));
  } else {
    // A mask, white where the image is transparent, then the brush through
    // its black part.
    HDC maskDc = ::CreateCompatibleDC(dc);
    HBITMAP mask = ::CreateBitmap(info.bmWidth, info.bmHeight, 1, 1, nullptr);
    HGDIOBJ oldMask = ::SelectObject(maskDc, mask);
    ::SetBkColor(source, colorRef(*op.transparent));
    ::BitBlt(maskDc, 0, 0, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
    const COLORREF oldText = ::SetTextColor(dc, RGB(255, 255, 255));
    const COLORREF oldBack = ::SetBkColor(dc, RGB(0, 0, 0));
    HGDIOBJ oldBrush = ::SelectObject(dc, brush(op.colour));
    ::StretchBlt(dc, r.left, r.top, width, height, maskDc, 0, 0, info.bmWidth, info.bmHeight,
                 kPatternThroughMask);
    ::SelectObject(dc, oldBrush);
    ::SetBkColor(dc, oldBack);
    ::SetTextColor(dc, oldText);
    ::SelectObject(maskDc, oldMask);
    ::DeleteObject(mask);
    ::DeleteDC(maskDc);
  }
  ::SelectObject(source, oldSource);
  ::DeleteDC(source);
}

Point unscaled(LPARAM lParam) {
  return {unscale(GET_X_LPARAM(lParam)), unscale(GET_Y_LPARAM(lParam))};
}

}  // namespace

bool OwnerButton::create(const OwnerButtonArgs& args) {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &OwnerButton::procedure;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_HAND);
    wc.lpszClassName = kClassName;
    return ::RegisterClassExW(&wc) != 0;
  }();
  if (!registered) return false;
  m_events = args.events;
  m_drawing = args.drawing;
  return createWindow(args, kClassName, 0);
}

void OwnerButton::setDrawing(std::vector<DrawOp> drawing) {
  m_drawing = std::move(drawing);
  repaintNow();
}

Size OwnerButton::size() const {
  RECT r{};
  ::GetClientRect(hwnd(), &r);
  return {unscale(r.right), unscale(r.bottom)};
}

void OwnerButton::paint(HDC target) const {
  RECT client{};
  ::GetClientRect(hwnd(), &client);
  HDC dc = ::CreateCompatibleDC(target);
  HBITMAP bitmap = ::CreateCompatibleBitmap(target, client.right, client.bottom);
  HGDIOBJ oldBitmap = ::SelectObject(dc, bitmap);
  ::FillRect(dc, &client, brush(faceColour()));
  ::SetBkMode(dc, TRANSPARENT);
  for (const DrawOp& op : m_drawing) {
    const RECT r = toRECT(scale(op.rect));
    switch (op.kind) {
      case DrawOp::Fill:
        ::FillRect(dc, &r, brush(op.colour));
        break;
      case DrawOp::Frame:
        ::FrameRect(dc, &r, brush(op.colour));
        break;
      case DrawOp::DottedFrame:
        ::SetTextColor(dc, RGB(0, 0, 0));
        ::SetBkColor(dc, RGB(255, 255, 255));
        ::DrawFocusRect(dc, &r);
        break;
      case DrawOp::Text: {
        const std::wstring text = platform::widen(op.text);
        HGDIOBJ oldFont = ::SelectObject(dc, font(op.font));
        ::SetTextColor(dc, colorRef(op.colour));
        RECT box = r;
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
                    DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
        ::SelectObject(dc, oldFont);
        break;
      }
      case DrawOp::Image:
      case DrawOp::ImageShape:
        if (op.image) drawImage(dc, op, r, op.kind == DrawOp::ImageShape);
        break;
    }
  }
  ::BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
  ::SelectObject(dc, oldBitmap);
  ::DeleteObject(bitmap);
  ::DeleteDC(dc);
}

LRESULT CALLBACK OwnerButton::procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* button = static_cast<OwnerButton*>(Control::fromHwnd(hwnd));
  if (button == nullptr) return ::DefWindowProcW(hwnd, message, wParam, lParam);
  return button->handleMessage(message, wParam, lParam);
}

LRESULT OwnerButton::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  OwnerButtonEvents none;
  OwnerButtonEvents& events = m_events ? *m_events : none;
  LRESULT painted = 0;
  if (answerPaint(
          hwnd(), message, wParam, [&](HDC dc) { paint(dc); }, &painted))
    return painted;
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      ::SetCapture(hwnd());
      events.onMouseDown(MouseButton::Left, unscaled(lParam));
      return 0;
    case WM_LBUTTONUP:
      if (::GetCapture() == hwnd()) ::ReleaseCapture();
      events.onMouseUp(MouseButton::Left, unscaled(lParam));
      return 0;
    case WM_RBUTTONDOWN:
      events.onMouseDown(MouseButton::Right, unscaled(lParam));
      return 0;
    case WM_RBUTTONUP:
      events.onMouseUp(MouseButton::Right, unscaled(lParam));
      return 0;
    case WM_MOUSEMOVE:
      if (!m_tracking) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd(), 0};
        m_tracking = ::TrackMouseEvent(&track) != FALSE;
        events.onMouseEnter();
      }
      events.onMouseMove(unscaled(lParam));
      return 0;
    case WM_MOUSELEAVE:
      m_tracking = false;
      events.onMouseLeave();
      return 0;
    case BM_CLICK: {
      const Size s = size();
      const Point centre{s.width / 2, s.height / 2};
      events.onMouseDown(MouseButton::Left, centre);
      events.onMouseUp(MouseButton::Left, centre);
      return 0;
    }
    case WM_KEYDOWN:
      events.onKeyDown(static_cast<int>(wParam), (lParam & (1 << 30)) != 0);
      return 0;
    case WM_KEYUP:
      events.onKeyUp(static_cast<int>(wParam));
      return 0;
    case WM_CHAR:
      events.onChar(static_cast<char32_t>(wParam));
      return 0;
    case WM_GETDLGCODE: {
      // Enter is the button's own (it clicks); Tab and Esc stay the window's.
      const auto* key = reinterpret_cast<const MSG*>(lParam);
      if (key && key->wParam == VK_RETURN &&
          (key->message == WM_KEYDOWN || key->message == WM_CHAR))
        return DLGC_WANTMESSAGE;
      return DLGC_WANTCHARS;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      events.onFocusChanged(message == WM_SETFOCUS);
      return 0;
    case WM_ENABLE:
      events.onEnabledChanged(wParam != FALSE);
      return 0;
    default:
      return ::DefWindowProcW(hwnd(), message, wParam, lParam);
  }
}

}  // namespace win32ui
