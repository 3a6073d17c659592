#include "ui/win32/gauge.h"

#include <algorithm>
#include <string>
#include <utility>

namespace win32ui {

namespace {

constexpr wchar_t kClassName[] = L"win32ui.Gauge";

}  // namespace

bool Gauge::create(const GaugeArgs& args) {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &Gauge::procedure;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    return ::RegisterClassExW(&wc) != 0;
  }();
  if (!registered) return false;
  m_look = args;
  m_font = font(args.font);
  return createWindow(args, kClassName, 0);
}

int Gauge::percent() const {
  if (m_maximum <= 0) return 0;
  return static_cast<int>(static_cast<long long>(m_position) * 100 / m_maximum);
}

int Gauge::fillWidth(int inner) const {
  if (m_maximum <= 0) return 0;
  return static_cast<int>(static_cast<long long>(inner) * m_position / m_maximum);
}

void Gauge::setProgress(int position, int maximum) {
  RECT client{};
  ::GetClientRect(hwnd(), &client);
  const int inner = std::max(0, static_cast<int>(client.right) - 2);
  const int oldPercent = percent();
  const int oldFill = fillWidth(inner);
  m_maximum = std::max(0, maximum);
  m_position = std::clamp(position, 0, m_maximum);
  if (percent() != oldPercent || fillWidth(inner) != oldFill) repaintNow();
}

void Gauge::paint(HDC target) const {
  RECT client{};
  ::GetClientRect(hwnd(), &client);
  // Drawn off screen and copied in one go: no flicker at every step.
  HDC dc = ::CreateCompatibleDC(target);
  HBITMAP bitmap = ::CreateCompatibleBitmap(target, client.right, client.bottom);
  HGDIOBJ oldBitmap = ::SelectObject(dc, bitmap);
  ::FillRect(dc, &client, brush(m_look.border));
  RECT inner = client;
  ::InflateRect(&inner, -1, -1);
  ::FillRect(dc, &inner, brush(m_look.background));
  RECT filled = inner;
  filled.right = inner.left + fillWidth(inner.right - inner.left);
  ::FillRect(dc, &filled, brush(m_look.fill));

  const std::wstring text = std::to_wstring(percent()) + L"%";
  HGDIOBJ oldFont = ::SelectObject(dc, m_font);
  ::SetBkMode(dc, TRANSPARENT);
  // The text twice, each clipped to its part of the bar.
  RECT empty = inner;
  empty.left = filled.right;
  const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
  const std::pair<RECT, Rgb> parts[] = {{empty, m_look.text}, {filled, m_look.textOverFill}};
  for (const auto& [clip, colour] : parts) {
    const int saved = ::SaveDC(dc);
    ::IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
    ::SetTextColor(dc, colorRef(colour));
    RECT box = inner;
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, format);
    ::RestoreDC(dc, saved);
  }
  ::SelectObject(dc, oldFont);
  ::BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
  ::SelectObject(dc, oldBitmap);
  ::DeleteObject(bitmap);
  ::DeleteDC(dc);
}

LRESULT CALLBACK Gauge::procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* gauge = static_cast<Gauge*>(Control::fromHwnd(hwnd));
  if (gauge == nullptr) return ::DefWindowProcW(hwnd, message, wParam, lParam);
  LRESULT painted = 0;
  if (answerPaint(
          hwnd, message, wParam, [&](HDC dc) { gauge->paint(dc); }, &painted))
    return painted;
  switch (message) {
    case WM_SETFONT:
      gauge->m_font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam)) ::InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(gauge->m_font);
    default:
      return ::DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace win32ui
