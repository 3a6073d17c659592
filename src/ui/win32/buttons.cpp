#include "ui/win32/buttons.h"

namespace win32ui {

bool PushButton::create(const PushButtonArgs& args) {
  return createWindow(args, L"BUTTON", args.defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
}

namespace {

// Grows a button lower than its font's line about its middle: the button
// keeps a pixel above and below its caption and clips the caption to what
// is left.
void growToLine(HWND button) {
  HDC dc = ::GetDC(button);
  HGDIOBJ old =
      ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(button, WM_GETFONT, 0, 0)));
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc, &metrics);
  ::SelectObject(dc, old);
  ::ReleaseDC(button, dc);
  RECT r{};
  ::GetWindowRect(button, &r);
  ::MapWindowPoints(HWND_DESKTOP, ::GetParent(button), reinterpret_cast<POINT*>(&r), 2);
  const int height = r.bottom - r.top;
  const int needed = static_cast<int>(metrics.tmHeight) + 3;
  if (height >= needed) return;
  ::SetWindowPos(button, nullptr, r.left, r.top - (needed - height) / 2, r.right - r.left, needed,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

bool CheckBox::create(const CheckBoxArgs& args) {
  if (!createWindow(args, L"BUTTON", args.autoToggle ? BS_AUTOCHECKBOX : BS_CHECKBOX)) return false;
  growToLine(hwnd());
  setChecked(args.checked);
  return true;
}

bool CheckBox::isChecked() const {
  return ::SendMessageW(hwnd(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CheckBox::setChecked(bool checked) {
  ::SendMessageW(hwnd(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

}  // namespace win32ui
