#include "ui/win32/messagebox.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>

#include "platform/wintext.h"

namespace win32ui {

namespace {

// The button kinds Windows uses for one, two and three buttons, left to
// right: the last of each is the one Esc presses.
constexpr UINT kTypes[] = {MB_OK, MB_OKCANCEL, MB_YESNOCANCEL};
constexpr int kIds[3][3] = {{IDOK}, {IDOK, IDCANCEL}, {IDYES, IDNO, IDCANCEL}};

// The box about to be created on this thread, until the hook saw it.
thread_local const MessageBoxArgs* t_args = nullptr;
thread_local HHOOK t_hook = nullptr;

// Puts our texts on the buttons and makes them as wide as the widest text
// needs, keeping the row centred in the box (widened when it must be).
void renameButtons(HWND box, const MessageBoxArgs& args) {
  const std::vector<std::string> texts(
      args.buttons.begin(), args.buttons.begin() + std::min<std::size_t>(args.buttons.size(), 3));
  const int count = static_cast<int>(texts.size());
  std::vector<HWND> buttons;
  for (int i = 0; i < count; ++i) {
    HWND b = ::GetDlgItem(box, kIds[count - 1][i]);
    if (b == nullptr) return;
    ::SetWindowTextW(b, platform::widen(texts[static_cast<std::size_t>(i)]).c_str());
    buttons.push_back(b);
  }
  HDC dc = ::GetDC(box);
  HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(box, WM_GETFONT, 0, 0)));
  RECT first{};
  ::GetWindowRect(buttons.front(), &first);
  ::MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&first), 2);
  int width = first.right - first.left;
  for (const std::string& text : texts) {
    const std::wstring wide = platform::widen(text);
    SIZE size{};
    ::GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    width = std::max(width, static_cast<int>(size.cx) + 16);  // Windows' own margins
  }
  ::SelectObject(dc, old);
  ::ReleaseDC(box, dc);
  if (width == first.right - first.left) return;
  const int gap = 6;
  const int row = count * width + (count - 1) * gap;
  RECT client{};
  ::GetClientRect(box, &client);
  if (row + 2 * 12 > client.right) {
    RECT frame{};
    ::GetWindowRect(box, &frame);
    const int grow = row + 2 * 12 - client.right;
    ::SetWindowPos(box, nullptr, frame.left - grow / 2, frame.top, frame.right - frame.left + grow,
                   frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
    client.right += grow;
  }
  int x = (client.right - row) / 2;
  for (HWND b : buttons) {
    ::SetWindowPos(b, nullptr, x, first.top, width, first.bottom - first.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    x += width + gap;
  }
}

// Windows lays the box out for its own texts while it initialises the
// dialog: the renaming comes right after.
LRESULT CALLBACK boxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                              DWORD_PTR args) {
  const LRESULT result = ::DefSubclassProc(box, message, wParam, lParam);
  if (message == WM_INITDIALOG) {
    renameButtons(box, *reinterpret_cast<const MessageBoxArgs*>(args));
  } else if (message == WM_NCDESTROY) {
    ::RemoveWindowSubclass(box, &boxProcedure, 0);
  }
  return result;
}

LRESULT CALLBACK hook(int code, WPARAM wParam, LPARAM lParam) {
  // The first dialog created after the call is the box.
  if (code == HCBT_CREATEWND && t_args != nullptr) {
    HWND window = reinterpret_cast<HWND>(wParam);
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    if (std::wcscmp(className, L"#32770") == 0) {
      ::SetWindowSubclass(window, &boxProcedure, 0, reinterpret_cast<DWORD_PTR>(t_args));
      t_args = nullptr;
    }
  }
  return ::CallNextHookEx(t_hook, code, wParam, lParam);
}

UINT iconStyle(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information:
      return MB_ICONINFORMATION;
    case MessageIcon::Error:
      return MB_ICONERROR;
    case MessageIcon::Question:
      return MB_ICONQUESTION;
    case MessageIcon::Warning:
      return MB_ICONWARNING;
    case MessageIcon::None:
      break;
  }
  return 0;
}

}  // namespace

int showMessageBox(const MessageBoxArgs& args) {
  const int count = static_cast<int>(std::min<std::size_t>(args.buttons.size(), 3));
  const UINT type = kTypes[count > 0 ? count - 1 : 0] | iconStyle(args.icon) |
                    (args.owner ? MB_APPLMODAL : MB_TASKMODAL);
  if (count > 0) {
    t_args = &args;
    t_hook = ::SetWindowsHookExW(WH_CBT, &hook, nullptr, ::GetCurrentThreadId());
  }
  const int pressed = ::MessageBoxW(args.owner, platform::widen(args.text).c_str(),
                                    platform::widen(args.caption).c_str(), type);
  if (t_hook) ::UnhookWindowsHookEx(t_hook);
  t_hook = nullptr;
  t_args = nullptr;
  if (pressed == 0) return -1;
  const int kinds = count > 0 ? count : 1;
  for (int i = 0; i < kinds; ++i) {
    if (kIds[kinds - 1][i] == pressed) return i;
  }
  return kinds - 1;
}

}  // namespace win32ui
