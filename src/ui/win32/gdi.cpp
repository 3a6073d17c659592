#include "ui/win32/gdi.h"

#include <map>
#include <tuple>

#include "platform/wintext.h"
#include "ui/win32/dpi.h"

namespace win32ui {

HFONT font(const FontSpec& spec) {
  // Windows frees the fonts when the program ends; the controls hold them
  // until then.
  static std::map<std::tuple<std::string, int, bool>, HFONT> fonts;
  const auto key = std::make_tuple(spec.face, spec.pixels, spec.bold);
  if (auto it = fonts.find(key); it != fonts.end()) return it->second;
  LOGFONTW lf{};
  lf.lfHeight = -scale(spec.pixels);  // negative: the character height, not the cell's
  lf.lfWeight = spec.bold ? FW_BOLD : FW_NORMAL;
  lf.lfCharSet = TURKISH_CHARSET;
  lf.lfQuality = DEFAULT_QUALITY;
  const std::wstring face = platform::widen(spec.face);
  wcsncpy_s(lf.lfFaceName, face.c_str(), _TRUNCATE);
  HFONT created = ::CreateFontIndirectW(&lf);
  if (created == nullptr) created = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  fonts.emplace(key, created);
  return created;
}

HBRUSH brush(uimodel::Rgb colour) {
  static std::map<COLORREF, HBRUSH> brushes;
  const COLORREF ref = colorRef(colour);
  if (auto it = brushes.find(ref); it != brushes.end()) return it->second;
  HBRUSH created = ::CreateSolidBrush(ref);
  brushes.emplace(ref, created);
  return created;
}

uimodel::Rgb faceColour() {
  const COLORREF c = ::GetSysColor(COLOR_BTNFACE);
  return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

uimodel::Size textSize(HFONT f, std::string_view text) {
  const std::wstring wide = platform::widen(text);
  HDC dc = ::GetDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, f);
  SIZE size{};
  ::GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
  if (wide.empty()) {
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    size.cy = metrics.tmHeight;
  }
  ::SelectObject(dc, old);
  ::ReleaseDC(nullptr, dc);
  return {size.cx, size.cy};
}

}  // namespace win32ui
