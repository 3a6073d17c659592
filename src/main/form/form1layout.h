// The main window's controls as data: for each control its name, kind,
// parent, rectangle, text, look and initial state, in the order the window
// creates them (which is also the order the keyboard focus moves in). A
// view builds its controls from this table alone; the model takes its
// initial state from it.
//
// Rectangles are x, y, width, height in pixels inside the parent's
// client area. A width or height of 0 means the control's natural size for
// its text (a label sized to its caption). Texts are UTF-8; "\r\n" is a line
// break.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ui/model/geometry.h"

namespace form1 {

using uimodel::Rect;
using uimodel::Rgb;

enum class Kind {
  kImage,          // the banner picture, stretched over its rectangle
  kTitle,          // text drawn twice, a grey shadow `shadow` pixels down and right
  kLabel,          //
  kCheckBox,       //
  kPanel,          // with `bevel`
  kEdit,           // one line of text
  kDirectoryEdit,  // an edit with a browse button that opens the folder dialog
  kLine,           // a horizontal etched line
  kRadioGroup,     // `items` in `columns` columns, filled column by column
  kGauge,          // a horizontal progress gauge with its percentage as text
  kButtonRow,      // a panel whose `kButton` children stand in a row
  kButton,         // an owner-drawn button with a glyph left of its caption
  kStatusBar,      //
};

// Each bevel is one pixel wide.
enum class Bevel { kNone, kRaised, kLoweredOuterRaisedInner };

enum class Weight { kNormal, kBold, kBlack };

struct Control {
  const char* name = "";
  Kind kind = Kind::kLabel;
  const char* parent = "";  // "" for the window itself
  Rect rect;
  std::string text;  // caption, edit text or radio group caption
  // Font: the parent's face and size unless named here.
  Weight weight = Weight::kNormal;
  const char* family = nullptr;
  int pixelSize = 0;
  std::optional<Rgb> textColour;
  std::optional<Rgb> background;  // edits
  bool wordWrap = false;
  // Initial state.
  bool visible = true;
  bool enabled = true;
  bool checked = false;
  bool readOnly = false;
  int maxLength = 0;  // edits; 0: no limit
  // Stays in front of the controls it overlaps (a tick box on a panel's top
  // edge hides the edge behind its caption).
  bool inFront = false;
  Bevel bevel = Bevel::kNone;
  int shadow = 0;      // kTitle
  std::string prompt;  // kDirectoryEdit: the folder dialog's prompt
  std::vector<std::string> items;
  int columns = 1;
  int itemIndex = -1;
  // kButtonRow: the gap around the row and between its buttons.
  int margin = 0;
  int spacing = 0;
  // kButton: rect.width is a fixed width, or 0 for the rest of the row;
  // `glyph` indexes the window's image list of 32 by 32 glyphs (0 the run,
  // 3 help, 5 close); `hint` shows when the mouse rests on it.
  int glyph = -1;
  std::string hint;
};

// The window itself.
struct WindowSpec {
  int clientWidth;
  int clientHeight;
  const char* fontFamily;
  int fontPixelSize;
};

const WindowSpec& Window();

// Every control of the window, parents before their children.
const std::vector<Control>& Controls();

// The control of that name; throws std::logic_error for an unknown name.
const Control& Find(const std::string& name);

// The caption of a directory edit's browse button.
inline constexpr const char* kBrowseCaption = "...";

}  // namespace form1
