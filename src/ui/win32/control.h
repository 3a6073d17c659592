// The base of every control of the kit: a child window created from named
// arguments, with its text in UTF-8 and its state read back from Windows.
//
// A control object and its window live together: the window is created by
// the control's create() and destroyed with the control (or earlier with its
// parent window, after which the object only answers "no window"). Messages
// that Windows sends a control's parent about the control (colours, owner
// drawing, notifications) are handed back to the control by the container
// windows of the kit (Window, Panel) through reflectToControl().
//
// Rectangles and font heights in the arguments are 96-DPI pixels; the kit
// scales them to the system's DPI. Every call is made on the windows' thread.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "ui/model/geometry.h"
#include "ui/win32/gdi.h"

namespace win32ui {

using uimodel::Point;
using uimodel::Rect;
using uimodel::Rgb;
using uimodel::Size;

struct ControlArgs {
  HWND parent = nullptr;  // a Window's or a Panel's hwnd()
  int id = 0;             // the control id of WM_COMMAND and of the test driver
  Rect rect;              // in the parent's client area, 96-DPI pixels
  std::string text;
  FontSpec font;
  bool visible = true;
  bool enabled = true;
  bool tabStop = false;
};

class Control {
 public:
  Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  virtual ~Control();

  HWND hwnd() const { return m_hwnd; }
  int id() const;

  virtual void setText(std::string_view utf8);
  std::string text() const;
  // The control's own visibility flag (a control of a hidden panel keeps it).
  virtual void setVisible(bool visible);
  bool isVisible() const;
  virtual void setEnabled(bool enabled);
  bool isEnabled() const;
  void setBounds(const Rect& rect96);
  void setFont(const FontSpec& spec);
  // Paints now instead of at the next turn of the message loop: a run of a
  // job turns no loop while it reports its progress.
  void repaintNow();

  // A message the parent received about this control (WM_CTLCOLOR*,
  // WM_DRAWITEM, WM_NOTIFY); true when answered in *result.
  virtual bool onReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

  // The control that owns window `hwnd` (also a radio button of a group), or
  // null for a window that is none of ours.
  static Control* fromHwnd(HWND hwnd);

 protected:
  // Creates the window of `className` with the common arguments and extra
  // styles; false (and no window) when Windows refused.
  bool createWindow(const ControlArgs& args, const wchar_t* className, DWORD style,
                    DWORD exStyle = 0);
  // Marks another window (a part of this control) as this control's.
  void adopt(HWND part);

 private:
  HWND m_hwnd = nullptr;
};

// For the window procedures of containers: hands a message from a child
// about itself to the child's control. True when the control answered.
bool reflectToControl(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

// For a window that paints itself whole: answers WM_ERASEBKGND (nothing to
// erase), WM_PAINT and WM_PRINTCLIENT (a capture) by calling paint(HDC).
// False, with nothing done, for every other message.
template <typename Paint>
bool answerPaint(HWND hwnd, UINT message, WPARAM wParam, Paint&& paint, LRESULT* result) {
  switch (message) {
    case WM_ERASEBKGND:
      *result = 1;
      return true;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(hwnd, &ps);
      paint(dc);
      ::EndPaint(hwnd, &ps);
      *result = 0;
      return true;
    }
    case WM_PRINTCLIENT:
      paint(reinterpret_cast<HDC>(wParam));
      *result = 0;
      return true;
    default:
      return false;
  }
}

// A window's text as UTF-8 (any window, also one not of the kit).
std::string windowText(HWND hwnd);
void setWindowText(HWND hwnd, std::string_view utf8);

}  // namespace win32ui
