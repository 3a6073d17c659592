#include "ui/win32/control.h"

#include "platform/wintext.h"
#include "ui/win32/dpi.h"

namespace win32ui {

namespace {

// The window property that leads from a window to its control object.
constexpr wchar_t kControlProperty[] = L"win32ui.Control";

}  // namespace

Control::~Control() {
  if (m_hwnd != nullptr && ::IsWindow(m_hwnd)) {
    ::RemovePropW(m_hwnd, kControlProperty);
    ::DestroyWindow(m_hwnd);
  }
}

int Control::id() const {
  return m_hwnd ? ::GetDlgCtrlID(m_hwnd) : 0;
}

void Control::setText(std::string_view utf8) {
  setWindowText(m_hwnd, utf8);
}

std::string Control::text() const {
  return windowText(m_hwnd);
}

void Control::setVisible(bool visible) {
  ::ShowWindow(m_hwnd, visible ? SW_SHOWNA : SW_HIDE);
}

bool Control::isVisible() const {
  return (::GetWindowLongPtrW(m_hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Control::setEnabled(bool enabled) {
  ::EnableWindow(m_hwnd, enabled ? TRUE : FALSE);
}

bool Control::isEnabled() const {
  return ::IsWindowEnabled(m_hwnd) != FALSE;
}

void Control::setBounds(const Rect& rect96) {
  const Rect r = scale(rect96);
  ::MoveWindow(m_hwnd, r.x, r.y, r.width, r.height, TRUE);
}

void Control::setFont(const FontSpec& spec) {
  ::SendMessageW(m_hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font(spec)), TRUE);
}

void Control::repaintNow() {
  ::RedrawWindow(m_hwnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

bool Control::onReflected(UINT, WPARAM, LPARAM, LRESULT*) {
  return false;
}

Control* Control::fromHwnd(HWND hwnd) {
  return hwnd ? static_cast<Control*>(::GetPropW(hwnd, kControlProperty)) : nullptr;
}

bool Control::createWindow(const ControlArgs& args, const wchar_t* className, DWORD style,
                           DWORD exStyle) {
  const Rect r = scale(args.rect);
  style |= WS_CHILD | WS_CLIPSIBLINGS;
  if (args.visible) style |= WS_VISIBLE;
  if (!args.enabled) style |= WS_DISABLED;
  if (args.tabStop) style |= WS_TABSTOP;
  const std::wstring text = platform::widen(args.text);
  m_hwnd = ::CreateWindowExW(exStyle, className, text.c_str(), style, r.x, r.y, r.width, r.height,
                             args.parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(args.id)),
                             ::GetModuleHandleW(nullptr), nullptr);
  if (m_hwnd == nullptr) return false;
  adopt(m_hwnd);
  ::SendMessageW(m_hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font(args.font)), FALSE);
  return true;
}

void Control::adopt(HWND part) {
  ::SetPropW(part, kControlProperty, this);
}

bool reflectToControl(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  HWND child = nullptr;
  switch (message) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
      child = reinterpret_cast<HWND>(lParam);
      break;
    case WM_DRAWITEM:
      child = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem;
      break;
    case WM_NOTIFY:
      child = reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
      break;
    default:
      return false;
  }
  Control* control = Control::fromHwnd(child);
  return control != nullptr && control->onReflected(message, wParam, lParam, result);
}

std::string windowText(HWND hwnd) {
  const int length = ::GetWindowTextLengthW(hwnd);
  if (length <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(hwnd, wide.data(), length + 1);
  wide.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return platform::narrow(wide);
}

void setWindowText(HWND hwnd, std::string_view utf8) {
  ::SetWindowTextW(hwnd, platform::widen(utf8).c_str());
}

}  // namespace win32ui
