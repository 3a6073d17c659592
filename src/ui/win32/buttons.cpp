#include "ui/win32/buttons.h"

namespace win32ui {

bool PushButton::create(const PushButtonArgs& args) {
  return createWindow(args, L"BUTTON", args.defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
}

bool CheckBox::create(const CheckBoxArgs& args) {
  if (!createWindow(args, L"BUTTON", args.autoToggle ? BS_AUTOCHECKBOX : BS_CHECKBOX)) return false;
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
