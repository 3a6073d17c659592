#include "ui/win32/radiogroup.h"

#include "platform/wintext.h"
#include "ui/win32/dpi.h"

namespace win32ui {

RadioGroup::~RadioGroup() {
  for (HWND button : m_items) {
    if (::IsWindow(button)) ::DestroyWindow(button);
  }
}

bool RadioGroup::create(const RadioGroupArgs& args) {
  if (args.items.empty() || args.columns < 1) return false;
  if (!createWindow(args, L"BUTTON", BS_GROUPBOX)) return false;
  HFONT itemFont = font(args.font);
  HDC dc = ::GetDC(hwnd());
  HGDIOBJ old = ::SelectObject(dc, itemFont);
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc, &metrics);
  ::SelectObject(dc, old);
  ::ReleaseDC(hwnd(), dc);

  // The box's rectangle in the parent, in device pixels.
  const Rect box = scale(args.rect);
  const int count = static_cast<int>(args.items.size());
  const int perColumn = (count + args.columns - 1) / args.columns;
  const int buttonWidth = (box.width - 10) / args.columns;
  const int below = box.height - metrics.tmHeight - 5;
  const int buttonHeight = below / perColumn;
  const int topMargin = metrics.tmHeight + 1 + (below % perColumn) / 2;
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | BS_AUTORADIOBUTTON;
  if (args.visible) style |= WS_VISIBLE;
  if (!args.enabled) style |= WS_DISABLED;
  for (int i = 0; i < count; ++i) {
    // Only the first item starts a group and takes Tab; the arrows walk the rest.
    const DWORD first = i == 0 ? WS_GROUP | WS_TABSTOP : 0;
    const std::wstring text = platform::widen(args.items[static_cast<std::size_t>(i)]);
    HWND button = ::CreateWindowExW(
        0, L"BUTTON", text.c_str(), style | first, box.x + (i / perColumn) * buttonWidth + 8,
        box.y + (i % perColumn) * buttonHeight + topMargin, buttonWidth, buttonHeight, args.parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(args.id + 1 + i)), ::GetModuleHandleW(nullptr),
        nullptr);
    if (button == nullptr) return false;
    ::SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(itemFont), FALSE);
    adopt(button);
    m_items.push_back(button);
  }
  // The box goes behind its items, which it would otherwise clip away.
  ::SetWindowPos(hwnd(), m_items.back(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  setItemIndex(args.itemIndex);
  return true;
}

int RadioGroup::indexOfId(int id) const {
  const int index = id - ::GetDlgCtrlID(hwnd()) - 1;
  return index >= 0 && index < itemCount() ? index : -1;
}

int RadioGroup::itemIndex() const {
  for (int i = 0; i < itemCount(); ++i) {
    if (::SendMessageW(item(i), BM_GETCHECK, 0, 0) == BST_CHECKED) return i;
  }
  return -1;
}

void RadioGroup::setItemIndex(int index) {
  for (int i = 0; i < itemCount(); ++i)
    ::SendMessageW(item(i), BM_SETCHECK, i == index ? BST_CHECKED : BST_UNCHECKED, 0);
}

void RadioGroup::setEnabled(bool enabled) {
  Control::setEnabled(enabled);
  for (HWND button : m_items) ::EnableWindow(button, enabled ? TRUE : FALSE);
}

void RadioGroup::setVisible(bool visible) {
  Control::setVisible(visible);
  for (HWND button : m_items) ::ShowWindow(button, visible ? SW_SHOWNA : SW_HIDE);
}

}  // namespace win32ui
