#include "ui/win32/window.h"

#include "platform/wintext.h"
#include "ui/win32/control.h"
#include "ui/win32/dpi.h"

namespace win32ui {

namespace {

constexpr wchar_t kClassName[] = L"win32ui.Window";
constexpr wchar_t kWindowProperty[] = L"win32ui.Window";

bool registerClass(WNDPROC procedure) {
  static const bool registered = [procedure] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = procedure;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    return ::RegisterClassExW(&wc) != 0;
  }();
  return registered;
}

}  // namespace

Window::~Window() {
  m_events = nullptr;  // the events object may be gone already
  if (m_hwnd != nullptr) ::DestroyWindow(m_hwnd);
}

bool Window::create(const WindowArgs& args, WindowEvents* events) {
  if (!registerClass(&Window::procedure)) return false;
  m_events = events;
  m_endProgramOnClose = args.endProgramOnClose;
  DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  if (args.minimiseBox) style |= WS_MINIMIZEBOX;
  // Tab and the arrow keys also walk through the controls of the panels.
  const DWORD exStyle = WS_EX_CONTROLPARENT;
  const uimodel::Size client = scale(args.clientSize);
  RECT frame{0, 0, client.width, client.height};
  ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  const std::wstring title = platform::widen(args.title);
  ::CreateWindowExW(exStyle, kClassName, title.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                    frame.right - frame.left, frame.bottom - frame.top, args.owner, nullptr,
                    ::GetModuleHandleW(nullptr), this);
  if (m_hwnd == nullptr) return false;
  // The frame Windows really drew may differ from the computed one (a menu
  // bar that wraps, a theme's borders): correct the client area once.
  RECT got{};
  ::GetClientRect(m_hwnd, &got);
  if (got.right != client.width || got.bottom != client.height) {
    ::SetWindowPos(m_hwnd, nullptr, 0, 0, frame.right - frame.left + client.width - got.right,
                   frame.bottom - frame.top + client.height - got.bottom,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (args.icon != nullptr) {
    ::SendMessageW(m_hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(args.icon));
    ::SendMessageW(m_hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(args.icon));
  }
  centreOnDesktop();
  return true;
}

void Window::centreOnDesktop() {
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  RECT own{};
  ::GetWindowRect(m_hwnd, &own);
  const int width = own.right - own.left;
  const int height = own.bottom - own.top;
  ::SetWindowPos(m_hwnd, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Window::show() {
  ::ShowWindow(m_hwnd, SW_SHOW);
  ::UpdateWindow(m_hwnd);
}

void Window::setTitle(const std::string& utf8) {
  setWindowText(m_hwnd, utf8);
}

std::string Window::title() const {
  return windowText(m_hwnd);
}

void Window::close() {
  ::SendMessageW(m_hwnd, WM_CLOSE, 0, 0);
}

int Window::runModal() {
  HWND owner = ::GetWindow(m_hwnd, GW_OWNER);
  const bool ownerWasEnabled = owner != nullptr && ::IsWindowEnabled(owner);
  if (ownerWasEnabled) ::EnableWindow(owner, FALSE);
  m_modal = true;
  m_modalResult = IDCANCEL;
  show();
  ::SetForegroundWindow(m_hwnd);
  bool quit = false;
  WPARAM quitCode = 0;
  MSG message;
  while (m_modal) {
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      quit = got == 0;
      quitCode = message.wParam;
      break;
    }
    if (!preTranslate(message)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
  m_modal = false;
  // The owner comes back before the dialog hides, so that Windows activates
  // it and not the window of another program.
  if (ownerWasEnabled) ::EnableWindow(owner, TRUE);
  if (m_hwnd != nullptr) ::ShowWindow(m_hwnd, SW_HIDE);
  if (quit) ::PostQuitMessage(static_cast<int>(quitCode));
  return m_modalResult;
}

void Window::endModal(int result) {
  m_modalResult = result;
  m_modal = false;
  // Wakes GetMessage up when the call came from outside a message.
  ::PostMessageW(m_hwnd, WM_NULL, 0, 0);
}

int Window::runMessageLoop() {
  MSG message;
  BOOL got;
  while ((got = ::GetMessageW(&message, nullptr, 0, 0)) > 0) {
    if (!preTranslate(message)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
  return got == 0 ? static_cast<int>(message.wParam) : -1;
}

bool Window::preTranslate(MSG& message) {
  if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST) return false;
  HWND root = ::GetAncestor(message.hwnd, GA_ROOT);
  Window* window = fromHwnd(root);
  if (window == nullptr) return false;
  if (WindowEvents* events = window->m_events) {
    if (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) {
      const KeyEvent key{static_cast<int>(message.wParam), ::GetKeyState(VK_CONTROL) < 0,
                         ::GetKeyState(VK_MENU) < 0, ::GetKeyState(VK_SHIFT) < 0};
      if (events->onKeyDown(key)) return true;
    } else if (message.message == WM_CHAR) {
      if (events->onChar(static_cast<char32_t>(message.wParam))) return true;
    }
  }
  return ::IsDialogMessageW(root, &message) != FALSE;
}

Window* Window::fromHwnd(HWND hwnd) {
  return hwnd ? static_cast<Window*>(::GetPropW(hwnd, kWindowProperty)) : nullptr;
}

LRESULT CALLBACK Window::procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* window = fromHwnd(hwnd);
  if (message == WM_NCCREATE) {
    window = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    window->m_hwnd = hwnd;
    ::SetPropW(hwnd, kWindowProperty, window);
  }
  if (window == nullptr) return ::DefWindowProcW(hwnd, message, wParam, lParam);
  const LRESULT result = window->handleMessage(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    ::RemovePropW(hwnd, kWindowProperty);
    window->m_hwnd = nullptr;
  }
  return result;
}

LRESULT Window::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (reflectToControl(message, wParam, lParam, &result)) return result;
  switch (message) {
    case WM_COMMAND:
      if (m_events) m_events->onCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_CLOSE:
      if (m_events == nullptr || m_events->onClose()) {
        if (m_modal)
          endModal(IDCANCEL);
        else
          ::DestroyWindow(m_hwnd);
      }
      return 0;
    case WM_SHOWWINDOW:
      if (wParam && !m_shownOnce) {
        m_shownOnce = true;
        if (m_events) m_events->onFirstShown();
      }
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && m_events) m_events->onActivated();
      break;
    case WM_TIMER:
      if (m_events) m_events->onTimer(wParam);
      return 0;
    case WM_DESTROY:
      m_modal = false;  // a modal loop of a destroyed window ends
      if (m_endProgramOnClose) ::PostQuitMessage(0);
      break;
    default:
      break;
  }
  return ::DefWindowProcW(m_hwnd, message, wParam, lParam);
}

}  // namespace win32ui
