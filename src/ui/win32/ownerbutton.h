// A push button that the kit paints from a list of drawing operations handed
// in, and whose input (mouse, keys, focus, enabling) goes to an events
// object: what a press means and how each look is drawn is the caller's.
// BM_CLICK comes as a left press and release in the middle of the button.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ui/win32/control.h"

namespace win32ui {

// One step of a button's drawing, in the button's coordinates (96-DPI).
struct DrawOp {
  enum Kind {
    Fill,         // fill rect with colour
    Frame,        // a one-pixel frame of colour just inside rect
    DottedFrame,  // the dotted focus rectangle (exclusive-or) just inside rect
    Text,         // text in font and colour, its top-left corner at rect's
    Image,        // image stretched over rect, without its transparent colour
    ImageShape,   // the shape of image (all but its transparent colour) in colour
  };
  Kind kind = Fill;
  Rect rect;
  Rgb colour;
  std::string text;
  FontSpec font;
  HBITMAP image = nullptr;  // not owned
  std::optional<Rgb> transparent;
};

enum class MouseButton { Left, Right, Middle };

// Points are in the button's coordinates (96-DPI).
class OwnerButtonEvents {
 public:
  virtual ~OwnerButtonEvents() = default;
  virtual void onMouseDown(MouseButton /*button*/, Point /*at*/) {}
  virtual void onMouseUp(MouseButton /*button*/, Point /*at*/) {}
  virtual void onMouseMove(Point /*at*/) {}
  virtual void onMouseEnter() {}
  virtual void onMouseLeave() {}
  virtual void onKeyDown(int /*virtualKey*/, bool /*autoRepeat*/) {}
  virtual void onKeyUp(int /*virtualKey*/) {}
  virtual void onChar(char32_t /*character*/) {}
  virtual void onFocusChanged(bool /*focused*/) {}
  virtual void onEnabledChanged(bool /*enabled*/) {}
};

struct OwnerButtonArgs : ControlArgs {
  OwnerButtonEvents* events = nullptr;  // must outlive the button
  std::vector<DrawOp> drawing;
};

class OwnerButton : public Control {
 public:
  bool create(const OwnerButtonArgs& args);
  // Replaces the drawing and paints it at once.
  void setDrawing(std::vector<DrawOp> drawing);
  const std::vector<DrawOp>& drawing() const { return m_drawing; }
  bool hasFocus() const { return ::GetFocus() == hwnd(); }
  // The size at 96 DPI, which the drawing is laid out in.
  Size size() const;

 private:
  static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void paint(HDC dc) const;

  OwnerButtonEvents* m_events = nullptr;
  std::vector<DrawOp> m_drawing;
  bool m_tracking = false;  // TrackMouseEvent asked for the leave
};

}  // namespace win32ui
