#include "ui/win32/label.h"

namespace win32ui {

bool Label::create(const LabelArgs& args) {
  m_colour = args.colour;
  m_background = args.background;
  DWORD style = SS_NOPREFIX;  // "&" is a letter of the text, not an accelerator
  switch (args.align) {
    case Align::Left:
      style |= args.wordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP;
      break;
    case Align::Centre:
      style |= SS_CENTER;
      break;
    case Align::Right:
      style |= SS_RIGHT;
      break;
  }
  return createWindow(args, L"STATIC", style);
}

void Label::setColour(std::optional<Rgb> colour) {
  m_colour = colour;
  ::InvalidateRect(hwnd(), nullptr, TRUE);
}

bool Label::onReflected(UINT message, WPARAM wParam, LPARAM, LRESULT* result) {
  if (message != WM_CTLCOLORSTATIC) return false;
  HDC dc = reinterpret_cast<HDC>(wParam);
  const Rgb background = m_background.value_or(faceColour());
  ::SetTextColor(dc, m_colour ? colorRef(*m_colour) : ::GetSysColor(COLOR_WINDOWTEXT));
  ::SetBkColor(dc, colorRef(background));
  *result = reinterpret_cast<LRESULT>(brush(background));
  return true;
}

}  // namespace win32ui
