#include "ui/win32/statusbar.h"

#include <commctrl.h>

#include "platform/wintext.h"
#include "ui/win32/dpi.h"

namespace win32ui {

bool StatusBar::create(const StatusBarArgs& args) {
  if (!createWindow(args, STATUSCLASSNAMEW, CCS_BOTTOM)) return false;
  ::SendMessageW(hwnd(), SB_SETMINHEIGHT, scale(args.height), 0);
  if (!args.parts.empty()) {
    std::vector<int> edges;
    int right = 0;
    for (const StatusPart& part : args.parts) {
      right += scale(part.width);
      edges.push_back(part.width < 0 ? -1 : right);
      m_centred.push_back(part.centred);
    }
    ::SendMessageW(hwnd(), SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    for (std::size_t i = 0; i < args.parts.size(); ++i)
      setPartText(static_cast<int>(i), args.parts[i].text);
  } else {
    // No parts: a plain bar without a part's sunken edge.
    ::SendMessageW(hwnd(), SB_SIMPLE, TRUE, 0);
    setPartText(0, args.text);
  }
  // The bar takes its height and place from its parent's size.
  ::SendMessageW(hwnd(), WM_SIZE, 0, 0);
  return true;
}

void StatusBar::setPartText(int part, std::string_view text) {
  // A tab in front centres the text in its part.
  const bool centred = part >= 0 && part < static_cast<int>(m_centred.size()) &&
                       m_centred[static_cast<std::size_t>(part)];
  const std::wstring wide = (centred ? L"\t" : L"") + platform::widen(text);
  ::SendMessageW(hwnd(), SB_SETTEXTW, m_centred.empty() ? SB_SIMPLEID : part,
                 reinterpret_cast<LPARAM>(wide.c_str()));
}

std::string StatusBar::partText(int part) const {
  if (part < 0 || part >= static_cast<int>(m_centred.size())) return {};
  const auto index = static_cast<WPARAM>(part);
  const auto length = LOWORD(::SendMessageW(hwnd(), SB_GETTEXTLENGTHW, index, 0));
  std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
  ::SendMessageW(hwnd(), SB_GETTEXTW, index, reinterpret_cast<LPARAM>(wide.data()));
  wide.resize(length);
  if (!wide.empty() && wide.front() == L'\t') wide.erase(0, 1);
  return platform::narrow(wide);
}

}  // namespace win32ui
