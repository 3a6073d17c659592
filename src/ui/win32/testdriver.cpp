#include "ui/win32/testdriver.h"

#include <commctrl.h>

#include <map>
#include <memory>
#include <utility>

#include "platform/wintext.h"
#include "ui/win32/control.h"
#include "ui/win32/window.h"

namespace win32ui::driver {

namespace {

struct Search {
  int id;
  HWND found;
};

BOOL CALLBACK matchId(HWND hwnd, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  if (::GetDlgCtrlID(hwnd) != search->id) return TRUE;
  search->found = hwnd;
  return FALSE;
}

struct TitleSearch {
  std::wstring title;
  HWND found;
};

BOOL CALLBACK matchTitle(HWND hwnd, LPARAM data) {
  auto* search = reinterpret_cast<TitleSearch*>(data);
  if (!::IsWindowVisible(hwnd) || platform::widen(windowText(hwnd)) != search->title) return TRUE;
  search->found = hwnd;
  return FALSE;
}

// The actions waiting for their timers, by timer id.
std::map<UINT_PTR, std::function<void()>>& pendingActions() {
  static std::map<UINT_PTR, std::function<void()>> actions;
  return actions;
}

void CALLBACK runAction(HWND, UINT, UINT_PTR timer, DWORD) {
  ::KillTimer(nullptr, timer);
  auto& actions = pendingActions();
  auto it = actions.find(timer);
  if (it == actions.end()) return;
  std::function<void()> action = std::move(it->second);
  actions.erase(it);
  action();
}

struct Watch {
  std::vector<std::string> titles;
  std::function<void(HWND)> action;
  ULONGLONG deadline;
};

void look(const std::shared_ptr<Watch>& watch) {
  HWND found = nullptr;
  for (const std::string& title : watch->titles)
    if (found == nullptr) found = findTopLevel(title);
  if (found != nullptr) {
    watch->action(found);
  } else if (::GetTickCount64() < watch->deadline) {
    runLater(50, [watch] { look(watch); });
  } else {
    if (HWND active = ::GetActiveWindow()) ::PostMessageW(active, WM_CLOSE, 0, 0);
    watch->action(nullptr);
  }
}

}  // namespace

HWND find(HWND root, int id) {
  Search search{id, nullptr};
  ::EnumChildWindows(root, &matchId, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND findTopLevel(std::string_view title) {
  TitleSearch search{platform::widen(title), nullptr};
  ::EnumThreadWindows(::GetCurrentThreadId(), &matchTitle, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string text(HWND hwnd) {
  return windowText(hwnd);
}

bool isChecked(HWND button) {
  return ::SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool isEnabled(HWND hwnd) {
  return ::IsWindowEnabled(hwnd) != FALSE;
}

bool isVisible(HWND hwnd) {
  return ::IsWindowVisible(hwnd) != FALSE;
}

void click(HWND button) {
  ::SendMessageW(button, BM_CLICK, 0, 0);
  processPending();
}

// Keys and characters go through the queue, as typed ones do: the window's
// key preview and dialog keys see them first.
void type(HWND hwnd, std::string_view utf8) {
  for (wchar_t unit : platform::widen(utf8)) ::PostMessageW(hwnd, WM_CHAR, unit, 1);
  processPending();
}

void pressKey(HWND hwnd, int virtualKey) {
  const UINT scan = ::MapVirtualKeyW(static_cast<UINT>(virtualKey), MAPVK_VK_TO_VSC);
  ::PostMessageW(hwnd, WM_KEYDOWN, static_cast<WPARAM>(virtualKey), 1 | (scan << 16));
  ::PostMessageW(hwnd, WM_KEYUP, static_cast<WPARAM>(virtualKey),
                 1 | (scan << 16) | (1u << 30) | (1u << 31));
  processPending();
}

bool clickListCell(HWND list, int row, int column) {
  RECT r{};
  r.top = column;
  r.left = LVIR_BOUNDS;
  if (row < 0 || row >= ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) ||
      !::SendMessageW(list, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&r)))
    return false;
  // Sub-item 0 stands for the whole row: the first column's part of it.
  if (column == 0)
    r.right = r.left + static_cast<int>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0));
  const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  // The release waits in the queue: the list view's press looks for it to
  // tell a click from a drag.
  ::PostMessageW(list, WM_LBUTTONUP, 0, at);
  ::SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
  processPending();
  return true;
}

void processPending() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (!Window::preTranslate(message)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
}

void runLater(unsigned milliseconds, std::function<void()> action) {
  const UINT_PTR timer = ::SetTimer(nullptr, 0, milliseconds, &runAction);
  if (timer != 0) pendingActions()[timer] = std::move(action);
}

void whenShown(std::string title, std::function<void(HWND)> action, unsigned timeout) {
  whenShown(std::vector<std::string>{std::move(title)}, std::move(action), timeout);
}

void whenShown(std::vector<std::string> titles, std::function<void(HWND)> action,
               unsigned timeout) {
  auto watch = std::make_shared<Watch>(
      Watch{std::move(titles), std::move(action), ::GetTickCount64() + timeout});
  runLater(0, [watch] { look(watch); });
}

}  // namespace win32ui::driver
