#include "ui/win32/edit.h"

#include <commctrl.h>

#include <string>

namespace win32ui {

namespace {

// A multi-line edit breaks lines at "\r\n" only.
std::string withCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

}  // namespace

Edit::~Edit() {
  if (m_acceptChar && hwnd() != nullptr) ::RemoveWindowSubclass(hwnd(), &Edit::filter, 0);
}

bool Edit::create(const EditArgs& args) {
  m_background = args.background;
  m_multiLine = args.multiLine;
  m_acceptChar = args.acceptChar;
  DWORD style = ES_AUTOHSCROLL;
  if (args.readOnly) style |= ES_READONLY;
  if (args.multiLine) style |= ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | WS_HSCROLL;
  EditArgs created = args;
  if (args.multiLine) created.text = withCrLf(args.text);
  if (!createWindow(created, L"EDIT", style, WS_EX_CLIENTEDGE)) return false;
  if (args.maxLength > 0) ::SendMessageW(hwnd(), EM_SETLIMITTEXT, args.maxLength, 0);
  if (m_acceptChar)
    ::SetWindowSubclass(hwnd(), &Edit::filter, 0, reinterpret_cast<DWORD_PTR>(this));
  return true;
}

void Edit::setText(std::string_view utf8) {
  Control::setText(m_multiLine ? withCrLf(utf8) : std::string(utf8));
}

void Edit::setReadOnly(bool readOnly) {
  ::SendMessageW(hwnd(), EM_SETREADONLY, readOnly ? TRUE : FALSE, 0);
}

bool Edit::onReflected(UINT message, WPARAM wParam, LPARAM, LRESULT* result) {
  // A read-only edit asks with WM_CTLCOLORSTATIC; a disabled one keeps
  // Windows' grey.
  if ((message != WM_CTLCOLOREDIT && message != WM_CTLCOLORSTATIC) || !isEnabled()) return false;
  HDC dc = reinterpret_cast<HDC>(wParam);
  const COLORREF ground = m_background ? colorRef(*m_background) : ::GetSysColor(COLOR_WINDOW);
  ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
  ::SetBkColor(dc, ground);
  *result =
      reinterpret_cast<LRESULT>(brush({GetRValue(ground), GetGValue(ground), GetBValue(ground)}));
  return true;
}

LRESULT CALLBACK Edit::filter(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                              DWORD_PTR self) {
  if (message == WM_CHAR) {
    auto* edit = reinterpret_cast<Edit*>(self);
    const auto unit = static_cast<wchar_t>(wParam);
    // A character outside the BMP comes in two messages: ask once, for the
    // whole character, and pass or drop both halves.
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      edit->m_highSurrogate = unit;
      return 0;
    }
    char32_t character = unit;
    const wchar_t high = edit->m_highSurrogate;
    edit->m_highSurrogate = 0;
    if (unit >= 0xDC00 && unit <= 0xDFFF) {
      if (high == 0) return 0;  // half a character
      character = 0x10000 + ((static_cast<char32_t>(high) - 0xD800) << 10) + (unit - 0xDC00);
    }
    if (!edit->m_acceptChar(character)) return 0;
    if (character > 0xFFFF) ::DefSubclassProc(hwnd, message, high, lParam);
  } else if (message == WM_NCDESTROY) {
    ::RemoveWindowSubclass(hwnd, &Edit::filter, 0);
  }
  return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace win32ui
