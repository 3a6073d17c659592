#include "ui/win32/secretpanel.h"

#include <utility>

#include "platform/wintext.h"
#include "ui/model/about.h"
#include "ui/win32/dpi.h"
#include "ui/win32/pictures.h"

namespace win32ui {

namespace {

constexpr wchar_t kClassName[] = L"win32ui.SecretPanel";
constexpr UINT_PTR kStepTimer = 1;

}  // namespace

bool TSecretPanel::create(const SecretPanelArgs& args) {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &TSecretPanel::procedure;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    return ::RegisterClassExW(&wc) != 0;
  }();
  if (!registered) return false;
  m_background = args.background;
  m_textColour = args.textColour;
  m_picture = args.picture;
  m_lines = args.lines;
  m_font = args.font;
  return createWindow(args, kClassName, 0);
}

void TSecretPanel::setLines(std::vector<std::string> lines) {
  m_lines = std::move(lines);
  m_offset = 0;
  if (hwnd()) ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void TSecretPanel::setActive(bool on) {
  if (on == m_active || hwnd() == nullptr) return;
  m_active = on;
  if (on)
    ::SetTimer(hwnd(), kStepTimer, uimodel::ScrollText::kStepMs, nullptr);
  else
    ::KillTimer(hwnd(), kStepTimer);
}

uimodel::ScrollText TSecretPanel::scrollText() const {
  RECT client{};
  ::GetClientRect(hwnd(), &client);
  const Size line = textSize(font(m_font), "Ag");
  return {{unscale(client.right), unscale(client.bottom)},
          m_picture ? uimodel::kPanelPicture : Size{},
          static_cast<int>(m_lines.size()),
          unscale(line.height)};
}

void TSecretPanel::paint(HDC target) const {
  RECT client{};
  ::GetClientRect(hwnd(), &client);
  // Drawn off the screen first: the panel moves every 50 ms.
  HDC dc = ::CreateCompatibleDC(target);
  HBITMAP bitmap = ::CreateCompatibleBitmap(target, client.right, client.bottom);
  HGDIOBJ oldBitmap = ::SelectObject(dc, bitmap);
  ::FillRect(dc, &client, brush(m_background));
  const uimodel::ScrollText::Placement at = scrollText().place(m_offset);
  if (m_picture && !at.picture.isEmpty()) {
    BITMAP info{};
    ::GetObjectW(m_picture, sizeof info, &info);
    HDC source = ::CreateCompatibleDC(dc);
    HGDIOBJ oldSource = ::SelectObject(source, m_picture);
    const RECT r = toRECT(scale(at.picture));
    ::SetStretchBltMode(dc, HALFTONE);
    ::TransparentBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, source, 0, 0,
                     info.bmWidth, info.bmHeight, pictures::kGlyphKey);
    ::SelectObject(source, oldSource);
    ::DeleteDC(source);
  }
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, colorRef(m_textColour));
  HGDIOBJ oldFont = ::SelectObject(dc, font(m_font));
  for (const auto& line : at.lines) {
    const std::wstring text = platform::widen(m_lines[static_cast<std::size_t>(line.index)]);
    RECT r = toRECT(scale(line.rect));
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  ::SelectObject(dc, oldFont);
  ::BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
  ::SelectObject(dc, oldBitmap);
  ::DeleteObject(bitmap);
  ::DeleteDC(dc);
}

LRESULT CALLBACK TSecretPanel::procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* panel = static_cast<TSecretPanel*>(Control::fromHwnd(hwnd));
  if (panel == nullptr) return ::DefWindowProcW(hwnd, message, wParam, lParam);
  return panel->handleMessage(message, wParam, lParam);
}

LRESULT TSecretPanel::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT painted = 0;
  if (answerPaint(
          hwnd(), message, wParam, [&](HDC dc) { paint(dc); }, &painted))
    return painted;
  switch (message) {
    case WM_TIMER:
      if (wParam != kStepTimer) break;
      m_offset = scrollText().nextOffset(m_offset);
      ::InvalidateRect(hwnd(), nullptr, FALSE);
      return 0;
    case WM_DESTROY:
      ::KillTimer(hwnd(), kStepTimer);
      m_active = false;
      break;
    default:
      break;
  }
  return ::DefWindowProcW(hwnd(), message, wParam, lParam);
}

}  // namespace win32ui
