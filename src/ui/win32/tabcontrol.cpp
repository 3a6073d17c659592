#include "ui/win32/tabcontrol.h"

#include <commctrl.h>

#include "platform/wintext.h"
#include "ui/win32/dpi.h"

namespace win32ui {

bool TabControl::create(const TabControlArgs& args) {
  // The pages are siblings above the tab control: it must not paint them over.
  if (!createWindow(args, WC_TABCONTROLW, 0)) return false;
  for (std::size_t i = 0; i < args.tabs.size(); ++i) {
    std::wstring text = platform::widen(args.tabs[i]);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    ::SendMessageW(hwnd(), TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
  setCurrentIndex(args.currentIndex);
  return true;
}

int TabControl::count() const {
  return static_cast<int>(::SendMessageW(hwnd(), TCM_GETITEMCOUNT, 0, 0));
}

int TabControl::currentIndex() const {
  return static_cast<int>(::SendMessageW(hwnd(), TCM_GETCURSEL, 0, 0));
}

void TabControl::setCurrentIndex(int index) {
  ::SendMessageW(hwnd(), TCM_SETCURSEL, index, 0);
}

Rect TabControl::pageRect() const {
  RECT r{};
  ::GetWindowRect(hwnd(), &r);
  ::MapWindowPoints(nullptr, ::GetParent(hwnd()), reinterpret_cast<POINT*>(&r), 2);
  ::SendMessageW(hwnd(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  return {unscale(r.left), unscale(r.top), unscale(r.right) - unscale(r.left),
          unscale(r.bottom) - unscale(r.top)};
}

bool TabControl::onReflected(UINT message, WPARAM, LPARAM lParam, LRESULT* result) {
  if (message != WM_NOTIFY || reinterpret_cast<const NMHDR*>(lParam)->code != TCN_SELCHANGE)
    return false;
  if (onChange) onChange(currentIndex());
  *result = 0;
  return true;
}

}  // namespace win32ui
