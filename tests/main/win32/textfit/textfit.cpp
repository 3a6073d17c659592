// ui-textfit-win32: takes the tour of the windows (tour.h) at the DPI of the
// Wine prefix or Windows session it runs in, and checks that every text on a
// single-line control (labels, check boxes, radio items, push buttons and
// group captions, edits, list headers) fits the control, measured with
// GetTextExtentPoint32 in the control's own font, and that list rows are high
// enough for the dots of Turkish capitals. Prints each text that does
// not fit and ends with status 1 when there is one (UD_TEXTFIT_VERBOSE=1:
// every text with its width and room). textfit.sh runs it at 96, 120 and
// 144 DPI.
// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
// clang-format on

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "main/win32/form1.h"
#include "main/win32/screenshots/tour.h"
#include "platform/wintext.h"

namespace {

int g_dpi = 96;
int g_misfits = 0;
int g_checked = 0;
std::set<std::string> g_reported;  // a control seen in several sights is reported once

int scaled(int pixels) {
  return ::MulDiv(pixels, g_dpi, 96);
}

std::wstring className(HWND hwnd) {
  wchar_t name[64]{};
  ::GetClassNameW(hwnd, name, 64);
  return name;
}

std::wstring windowText(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextW(hwnd, text.data(), int(text.size()))));
  return text;
}

// A button's or label's "&" marks the access key and takes no room.
std::wstring withoutAccessMarks(const std::wstring& text) {
  std::wstring out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'&' && i + 1 < text.size()) ++i;
    out += text[i];
  }
  return out;
}

struct Measure {
  int width;   // of the text
  int height;  // of a line
};

Measure measure(HWND control, const std::wstring& text) {
  HDC dc = ::GetDC(control);
  auto font = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
  HGDIOBJ old = ::SelectObject(dc, font ? font : ::GetStockObject(DEFAULT_GUI_FONT));
  SIZE size{};
  ::GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc, &metrics);
  ::SelectObject(dc, old);
  ::ReleaseDC(control, dc);
  return {size.cx, metrics.tmHeight};
}

void check(const char* sight, HWND control, const std::wstring& text, int room, const char* what) {
  if (text.empty()) return;
  ++g_checked;
  if (std::getenv("UD_TEXTFIT_VERBOSE"))
    std::printf("  %s %s \"%s\" %d/%d\n", sight, what, platform::narrow(text).c_str(),
                measure(control, text).width, room);
  const int needed = measure(control, text).width;
  if (needed <= room) return;
  const std::string utf8 = platform::narrow(text);
  const std::string key = std::string(what) + utf8 + std::to_string(::GetDlgCtrlID(control));
  if (!g_reported.insert(key).second) return;
  ++g_misfits;
  std::printf("%d dpi, %s: %s \"%s\" (id %d) needs %d px, has %d\n", g_dpi, sight, what,
              utf8.c_str(), ::GetDlgCtrlID(control), needed, room);
}

void checkHeaders(const char* sight, HWND list) {
  HWND header = ListView_GetHeader(list);
  const int count = Header_GetItemCount(header);
  for (int i = 0; i < count; ++i) {
    wchar_t text[256]{};
    HDITEMW item{};
    item.mask = HDI_TEXT;
    item.pszText = text;
    item.cchTextMax = 256;
    RECT r{};
    if (!Header_GetItem(header, i, &item) || !Header_GetItemRect(header, i, &r)) continue;
    if (r.right - r.left <= 0) continue;  // a hidden column
    // The header keeps three edge widths each side of its text.
    const int room = r.right - r.left - 6 * ::GetSystemMetrics(SM_CXEDGE);
    // Measured as the header holds it, with the trailing blank the list
    // gives each title against Wine's short measuring: the header cuts a
    // title that, blank included, is wider than its room.
    check(sight, header, text, room, "list header");
  }
}

// The highest point of the dotted and accented capitals, in pixels above the
// baseline of `dc`'s font.
int capitalsTop(HDC dc) {
  const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
  int top = 0;
  for (wchar_t capital : {L'\u0130', L'\u00D6', L'\u00DC', L'\u00C7'}) {  // İ Ö Ü Ç
    GLYPHMETRICS glyph{};
    if (::GetGlyphOutlineW(dc, capital, GGO_METRICS, &glyph, 0, nullptr, &identity) != GDI_ERROR)
      top = std::max(top, static_cast<int>(glyph.gmptGlyphOrigin.y));
  }
  return top;
}

// A list's rows hold their text's line with the dots of "İ" and "Ö" clear
// of the row's top edge, where the selected row's focus rectangle and the
// grid line run: a pixel of that line and a pixel of gap above the dots.
void checkRowHeight(const char* sight, HWND list) {
  if (ListView_GetItemCount(list) == 0) return;
  RECT row{};
  if (!ListView_GetItemRect(list, 0, &row, LVIR_BOUNDS)) return;
  HDC dc = ::GetDC(list);
  auto font = reinterpret_cast<HFONT>(::SendMessageW(list, WM_GETFONT, 0, 0));
  const HGDIOBJ old = ::SelectObject(dc, font ? font : ::GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc, &metrics);
  const int top = capitalsTop(dc);
  ::SelectObject(dc, old);
  ::ReleaseDC(list, dc);
  ++g_checked;
  // The text's line is centred in the row.
  const int height = row.bottom - row.top;
  const int dots = (height - metrics.tmHeight) / 2 + metrics.tmAscent - top;
  const int needed = height + 2 * std::max(0, 2 - dots);  // the text stays centred
  if (std::getenv("UD_TEXTFIT_VERBOSE"))
    std::printf("  %s list row (id %d) %d px high, dots %d px below its top\n", sight,
                ::GetDlgCtrlID(list), height, dots);
  if (dots >= 2) return;
  const std::string key = "list row" + std::to_string(::GetDlgCtrlID(list));
  if (!g_reported.insert(key).second) return;
  ++g_misfits;
  std::printf("%d dpi, %s: list row (id %d) needs %d px for the dots of its capitals, has %d\n",
              g_dpi, sight, ::GetDlgCtrlID(list), needed, height);
}

BOOL CALLBACK checkControl(HWND control, LPARAM data) {
  const char* sight = reinterpret_cast<const char*>(data);
  if (!::IsWindowVisible(control)) return TRUE;
  RECT client{};
  ::GetClientRect(control, &client);
  const int width = client.right;
  const std::wstring kind = className(control);
  const LONG style = ::GetWindowLongW(control, GWL_STYLE);
  const std::wstring text = windowText(control);
  if (kind == L"Static") {
    const int type = style & SS_TYPEMASK;
    if (type != SS_LEFT && type != SS_RIGHT && type != SS_CENTER && type != SS_LEFTNOWORDWRAP)
      return TRUE;  // pictures, frames, owner-drawn
    const std::wstring shown = (style & SS_NOPREFIX) ? text : withoutAccessMarks(text);
    // A label of two lines or more wraps its text by design.
    if (client.bottom >= 2 * measure(control, shown).height) return TRUE;
    check(sight, control, shown, width, "label");
  } else if (kind == L"Button") {
    const std::wstring shown = withoutAccessMarks(text);
    switch (style & BS_TYPEMASK) {
      case BS_CHECKBOX:
      case BS_AUTOCHECKBOX:
      case BS_3STATE:
      case BS_AUTO3STATE:
      case BS_RADIOBUTTON:
      case BS_AUTORADIOBUTTON:
        // The square or circle and the gap after it.
        check(sight, control, shown, width - ::GetSystemMetrics(SM_CXMENUCHECK) - scaled(4),
              "tick or radio item");
        break;
      case BS_GROUPBOX:
        check(sight, control, shown, width - scaled(2 * 8), "group caption");
        break;
      case BS_PUSHBUTTON:
      case BS_DEFPUSHBUTTON:
        check(sight, control, shown, width - 2 * ::GetSystemMetrics(SM_CXEDGE) - scaled(4),
              "button");
        break;
      default:
        break;  // owner-drawn: the window lays out its own caption
    }
  } else if (kind == L"Edit" && !(style & ES_MULTILINE)) {
    const DWORD margins = static_cast<DWORD>(::SendMessageW(control, EM_GETMARGINS, 0, 0));
    check(sight, control, text, width - LOWORD(margins) - HIWORD(margins) - 1, "edit");
  } else if (kind == WC_LISTVIEWW) {
    checkHeaders(sight, control);
    checkRowHeight(sight, control);
  }
  return TRUE;
}

}  // namespace

int main() {
  HDC screen = ::GetDC(nullptr);
  g_dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
  ::ReleaseDC(nullptr, screen);

  TForm1 form;
  if (!form.create()) return 2;
  form.show();
  const bool toured = tour::visitAll(form, [](HWND window, const char* sight) {
    ::EnumChildWindows(window, &checkControl, reinterpret_cast<LPARAM>(sight));
  });
  std::printf("%d dpi: %d of %d texts do not fit\n", g_dpi, g_misfits, g_checked);
  if (!toured) return 2;
  return g_misfits == 0 ? 0 : 1;
}
