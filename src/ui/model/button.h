// The owner-drawn button (TZfWinButton) without a toolkit: where its glyph
// and caption go, the ordered drawing of each look, and its input rules.
//
// A view keeps one ButtonModel per button, hands it every input event and
// does what the answer lists, in order: repaint, report a mouse event, open
// a menu, click. It paints the button by walking paintPlan(). The model holds
// the two flags of the button's state (pressed: the pressed look; held: the
// left mouse button is still down after a press on the button) and the hot
// flag (the mouse is over it).
#pragma once

#include <vector>

#include "ui/model/geometry.h"

namespace uimodel {

enum class GlyphAlign { poLeft, poRight, poTop, poBottom };

// The component's defaults: face red 0, green 128, blue 255, white raised
// edge, yellow caption when hot, white caption in bold Arial of 10 points,
// 100 x 30 pixels.
inline constexpr const char* kButtonAbout = "s1.05";
inline constexpr Rgb kButtonColor{0, 128, 255};
inline constexpr Rgb kButtonRaiseCol{255, 255, 255};
inline constexpr Rgb kButtonOverCol{255, 255, 0};
inline constexpr Rgb kButtonFontColor{255, 255, 255};
inline constexpr const char* kButtonFontFamily = "Arial";
inline constexpr int kButtonFontPoints = 10;
inline constexpr Size kButtonSize{100, 30};

// The look the program's windows give their buttons: RaiseCol white,
// OverCol blue, caption in bold Arial 11 pixels high, black; grey font 13
// pixels high; the parent's colour as face; glyph left of the caption.
struct WindowButtonLook {
  Rgb raiseCol;
  Rgb overCol;
  const char* fontFamily;
  int fontPixels;
  Rgb fontColor;
  int grayedFontPixels;
  bool parentColor;
  GlyphAlign align;
};
inline constexpr WindowButtonLook kWindowButtonLook{
    {255, 255, 255}, {0, 0, 255}, "Arial", 11, {0, 0, 0}, 13, true, GlyphAlign::poLeft};

// Where the glyph and the caption go inside a button of size `button`, with
// no content offset. An empty size means the part is absent; an empty
// rectangle means "not drawn".
struct ButtonContentLayout {
  Rect glyph;
  Rect caption;
};
ButtonContentLayout LayoutButtonContent(Size button, Size glyph, Size caption, GlyphAlign align);

// What the view measured for one painting: the button, the glyph it shows
// (Glpyh, else the image list's) and the caption text.
struct ButtonContent {
  Size button;
  Size glyph;
  bool glyphFromImageList = false;
  Size caption;
};

// The colours the drawing names; the view knows their values. FocusDots is
// what an exclusive-or dotted rectangle leaves on the face; Highlight and
// Shadow are the system's colours of an embossed glyph.
enum class ButtonColour { Face, Raise, Black, Font, Over, Grayed, FocusDots, Highlight, Shadow };

struct ButtonPaintOp {
  enum Kind {
    Fill,         // fill rect
    Frame,        // a one-pixel frame just inside rect
    DottedFrame,  // the dotted focus rectangle just inside rect
    Glyph,        // the glyph with its top-left corner at rect's
    GlyphShape,   // the glyph's shape filled with the colour
    Caption,      // the caption with its top-left corner at rect's
  };
  Kind kind;
  Rect rect;
  ButtonColour colour;
  friend bool operator==(const ButtonPaintOp&, const ButtonPaintOp&) = default;
};

enum class MouseButton { Left, Right, Other };

// Why the focus came or went. Popup: a menu took it for the time it is
// open. ActiveWindow: the window was activated or left.
enum class FocusReason { Mouse, Tab, Popup, ActiveWindow, Other };

struct ButtonAction {
  enum Kind {
    Repaint,       // draw the button again, now
    MouseDown,     // report the left press at `at` (OnMouseDown)
    MouseUp,       // report the left release at `at` (OnMouseUp)
    MouseMove,     // report the move to `at` (OnMouseMove)
    OpenDropDown,  // open DropDownMenu at DropDownMenuAt(); dropDownClosed() after
    OpenPopup,     // open PopupMenu at the mouse
    ResumePress,   // press again at `at`, as a left press on the button does
    Click,         // hand on ModalResult, trigger the Action, run OnClick
    PassKeyOn,     // the key is not the button's: the window handles it
  };
  Kind kind;
  Point at{};
  friend bool operator==(const ButtonAction&, const ButtonAction&) = default;
};
using ButtonActions = std::vector<ButtonAction>;

// Where the drop-down menu opens: just below the button's bottom-left corner.
inline Point DropDownMenuAt(Size button) {
  return {1, button.height + 1};
}

class ButtonModel {
 public:
  bool isPressed() const { return m_pressed; }
  bool isHeld() const { return m_held; }
  bool isHot() const { return m_hot; }
  bool isEnabled() const { return m_enabled; }

  GlyphAlign align() const { return m_align; }
  void setAlign(GlyphAlign align) { m_align = align; }
  bool tabStop() const { return m_tabStop; }
  void setTabStop(bool on) { m_tabStop = on; }
  bool showCaption() const { return m_showCaption; }
  void setShowCaption(bool on) { m_showCaption = on; }
  // Whether a DropDownMenu or a PopupMenu is set (and still exists).
  void setHasDropDown(bool on) { m_hasDropDown = on; }
  bool hasDropDown() const { return m_hasDropDown; }
  void setHasPopup(bool on) { m_hasPopup = on; }

  // A left press on an enabled button with TabStop takes the focus when it
  // lacks it. The view gives the focus before calling mousePress(), so that
  // the focus change cannot end the new press.
  bool pressTakesFocus(bool focused) const;

  ButtonActions mousePress(MouseButton button, Point at);
  // `size` is the button's: a release away from it never clicks.
  ButtonActions mouseRelease(MouseButton button, Point at, Size size);
  // While the button is held the mouse is captured and no enter or leave
  // comes: the moves tell when the pointer leaves or comes back.
  ButtonActions mouseMove(Point at, Size size);
  ButtonActions enter();
  ButtonActions leave();
  ButtonActions keyPress(Key key);
  // Auto-repeat sends release/press pairs while a key is held: only the
  // real release counts.
  ButtonActions keyRelease(Key key, bool autoRepeat);
  ButtonActions focusIn(FocusReason reason);
  ButtonActions focusOut(FocusReason reason);
  ButtonActions enabledChanged(bool enabled);
  // The drop-down menu closed: the press ends as a left release ends it.
  ButtonActions dropDownClosed();
  // Clears both flags and repaints, then clicks.
  ButtonActions click();
  // The button's mnemonic or shortcut: a click while enabled.
  ButtonActions shortcut();

  // The glyph and caption places for this painting (no caption while
  // ShowCaption is off).
  ButtonContentLayout layout(const ButtonContent& content) const;
  // The drawing of the button in its current look, in order. `focused`: the
  // button has the focus (the mark needs TabStop too).
  std::vector<ButtonPaintOp> paintPlan(const ButtonContent& content, bool focused) const;
  // 100 x 30, or larger when the glyph, the caption and a 3-pixel frame
  // around them need it (a 32-pixel glyph asks for 38).
  Size sizeHint(Size glyph, Size caption) const;

 private:
  void clearFlags() { m_pressed = m_held = false; }

  GlyphAlign m_align = GlyphAlign::poLeft;
  bool m_tabStop = true;
  bool m_showCaption = true;
  bool m_hasDropDown = false;
  bool m_hasPopup = false;
  bool m_enabled = true;

  bool m_pressed = false;
  bool m_held = false;
  bool m_hot = false;
};

}  // namespace uimodel
