// The owner-drawn button's model: input scripts, content layout and the
// paint plan of each look.
#include "ui/model/button.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace uimodel {
namespace {

constexpr Size kButton{100, 30};

// A button as the view drives it: a resumed press presses again and a
// drop-down menu closes at once. Each input's answers are written as words,
// inputs separated by " | ".
struct ScriptedButton {
  ButtonModel model;
  std::string log;

  void note(const ButtonActions& actions) {
    for (const ButtonAction& a : actions) {
      static const char* const kNames[] = {"repaint", "down",   "up",    "move", "dropdown",
                                           "popup",   "resume", "click", "pass"};
      log += ' ';
      log += kNames[a.kind];
      if (a.kind == ButtonAction::MouseDown || a.kind == ButtonAction::ResumePress)
        log += "(" + std::to_string(a.at.x) + "," + std::to_string(a.at.y) + ")";
      if (a.kind == ButtonAction::ResumePress) note(model.mousePress(MouseButton::Left, a.at));
      if (a.kind == ButtonAction::OpenDropDown) note(model.dropDownClosed());
    }
  }

  void run(const std::string& script) {
    std::istringstream words(script);
    std::string w;
    while (words >> w) {
      if (!log.empty()) log += " |";
      const Point in{50, 15}, out{150, 15};
      if (w == "down") note(model.mousePress(MouseButton::Left, in));
      if (w == "right") note(model.mousePress(MouseButton::Right, in));
      if (w == "up") note(model.mouseRelease(MouseButton::Left, in, kButton));
      if (w == "up-out") note(model.mouseRelease(MouseButton::Left, out, kButton));
      if (w == "move-in") note(model.mouseMove(in, kButton));
      if (w == "move-out") note(model.mouseMove(out, kButton));
      if (w == "enter") note(model.enter());
      if (w == "leave") note(model.leave());
      if (w == "space") note(model.keyPress(Key::Space));
      if (w == "^space") note(model.keyRelease(Key::Space, false));
      if (w == "~space") note(model.keyRelease(Key::Space, true));  // auto-repeat
      if (w == "return") note(model.keyPress(Key::Enter));
      if (w == "esc") note(model.keyPress(Key::Escape));
      if (w == "a") note(model.keyPress(Key::Other));
      if (w == "^a") note(model.keyRelease(Key::Other, false));
      if (w == "focus-in:activate") note(model.focusIn(FocusReason::ActiveWindow));
      if (w == "focus-out:tab") note(model.focusOut(FocusReason::Tab));
      if (w == "focus-out:deactivate") note(model.focusOut(FocusReason::ActiveWindow));
      if (w == "focus-out:popup") note(model.focusOut(FocusReason::Popup));
      if (w == "disable") note(model.enabledChanged(false));
      if (w == "shortcut") note(model.shortcut());
    }
  }

  // "P" pressed, "H" held, "T" hot; "-" for none.
  std::string flags() const {
    std::string f = std::string(model.isPressed() ? "P" : "") + (model.isHeld() ? "H" : "") +
                    (model.isHot() ? "T" : "");
    return f.empty() ? "-" : f;
  }
};

struct InputCase {
  const char* name;
  const char* setup;  // "dropdown", "popup" or ""
  const char* script;
  const char* actions;
  const char* flags;
};

const InputCase kInputCases[] = {
    {"press and release click", "", "down up", " down(50,15) repaint | repaint up repaint click",
     "T"},
    {"release away from the button", "", "down move-out up-out",
     " down(50,15) repaint | move repaint | repaint up", "-"},
    {"back in while held resumes at 10,10", "", "down move-out move-in up",
     " down(50,15) repaint | move repaint | move resume(10,10) down(10,10) repaint |"
     " repaint up repaint click",
     "T"},
    {"leave and enter while held", "", "down leave enter",
     " down(50,15) repaint | repaint | repaint resume(10,10) down(10,10) repaint", "PHT"},
    {"disabled: flags cleared, press ignored", "", "down disable down up shortcut",
     " down(50,15) repaint | repaint | | repaint up |", "-"},
    {"right click opens the popup", "popup", "right", " popup", "-"},
    {"drop-down by mouse never clicks", "dropdown", "down up",
     " down(50,15) repaint dropdown repaint | repaint up", "T"},
    {"drop-down by space never clicks", "dropdown", "space ^space", " repaint dropdown repaint |",
     "-"},
    {"drop-down by enter", "dropdown", "return", " dropdown repaint", "-"},
    {"space down and up click", "", "space ^space", " repaint | repaint click", "-"},
    {"held space repeats without clicking", "", "space ~space space ~space space",
     " repaint | | | |", "P"},
    {"other key ends the press", "", "space a ^space", " repaint | repaint pass |", "-"},
    {"other key release ends the press", "", "space ^a ^space", " repaint | repaint pass |", "-"},
    {"enter clicks", "", "return", " repaint click", "-"},
    {"enter during a space press clicks once", "", "space return ^space",
     " repaint | repaint repaint click |", "-"},
    {"escape goes on to the window", "", "esc", " pass", "-"},
    {"focus lost to tab clears", "", "down focus-out:tab", " down(50,15) repaint | repaint", "T"},
    {"focus lost, window left, clears", "", "down focus-out:deactivate",
     " down(50,15) repaint | repaint", "T"},
    {"focus lost to a menu keeps the press", "", "down focus-out:popup",
     " down(50,15) repaint | repaint", "PHT"},
    {"window activated keeps the press", "", "down focus-in:activate",
     " down(50,15) repaint | repaint", "PHT"},
    {"shortcut clicks", "", "shortcut", " repaint click", "-"},
};

TEST(ButtonInput, Scripts) {
  for (const InputCase& c : kInputCases) {
    SCOPED_TRACE(c.name);
    ScriptedButton b;
    b.model.setHasDropDown(std::string(c.setup) == "dropdown");
    b.model.setHasPopup(std::string(c.setup) == "popup");
    b.run(c.script);
    EXPECT_EQ(b.log, c.actions);
    EXPECT_EQ(b.flags(), c.flags);
  }
}

TEST(ButtonInput, PressTakesTheFocusWithTabStop) {
  ButtonModel b;
  EXPECT_TRUE(b.pressTakesFocus(false));
  EXPECT_FALSE(b.pressTakesFocus(true));
  b.setTabStop(false);
  EXPECT_FALSE(b.pressTakesFocus(false));
  b.setTabStop(true);
  b.enabledChanged(false);
  EXPECT_FALSE(b.pressTakesFocus(false));
}

struct LayoutCase {
  Size button, glyph, caption;
  GlyphAlign align;
  Rect glyphAt, captionAt;
};

TEST(ButtonLayout, PlacesGlyphAndCaption) {
  const Size g{16, 16}, t{40, 13};
  const LayoutCase cases[] = {
      // poLeft: glyph at 50 - (16+40)/2 = 22, caption 4 after it; both
      // centred vertically (15 - 8, 15 - 6).
      {{100, 30}, g, t, GlyphAlign::poLeft, {22, 7, 16, 16}, {42, 9, 40, 13}},
      // poRight: caption at 50 - 28 - 1 = 21, glyph 5 after its end.
      {{100, 30}, g, t, GlyphAlign::poRight, {66, 7, 16, 16}, {21, 9, 40, 13}},
      // poTop: a block of 16 + 3 + 13 = 32 centred in 60.
      {{100, 60}, g, t, GlyphAlign::poTop, {42, 14, 16, 16}, {30, 33, 40, 13}},
      {{100, 60}, g, t, GlyphAlign::poBottom, {42, 30, 16, 16}, {30, 14, 40, 13}},
      {{100, 30}, g, {}, GlyphAlign::poLeft, {42, 7, 16, 16}, {}},
      {{100, 30}, {}, t, GlyphAlign::poRight, {}, {30, 8, 40, 13}},
  };
  for (const LayoutCase& c : cases) {
    const ButtonContentLayout at = LayoutButtonContent(c.button, c.glyph, c.caption, c.align);
    EXPECT_EQ(at.glyph, c.glyphAt);
    EXPECT_EQ(at.caption, c.captionAt);
  }
}

TEST(ButtonLayout, SizeHintFitsTheContent) {
  ButtonModel b;
  EXPECT_EQ(b.sizeHint({32, 32}, {35, 13}), (Size{100, 38}));  // the default width
  EXPECT_EQ(b.sizeHint({32, 32}, {80, 13}), (Size{32 + 5 + 80 + 12, 38}));
  b.setAlign(GlyphAlign::poTop);
  EXPECT_EQ(b.sizeHint({32, 32}, {35, 13}), (Size{100, 32 + 3 + 13 + 6}));
}

// The plan written as "kind x,y,w,h colour" lines.
std::string planOf(const ButtonModel& b, const ButtonContent& content, bool focused) {
  static const char* const kKinds[] = {"fill", "frame", "dots", "glyph", "shape", "caption"};
  static const char* const kColours[] = {"face", "raise",     "black",     "font",  "over",
                                         "grey", "focusdots", "highlight", "shadow"};
  std::string out;
  for (const ButtonPaintOp& op : b.paintPlan(content, focused)) {
    const Rect& r = op.rect;
    out += std::string(kKinds[op.kind]) + " " + std::to_string(r.x) + "," + std::to_string(r.y) +
           "," + std::to_string(r.width) + "," + std::to_string(r.height);
    if (op.kind != ButtonPaintOp::Glyph) out += std::string(" ") + kColours[int(op.colour)];
    out += "\n";
  }
  return out;
}

// Glyph 16 x 16 and caption 40 x 13 in a 100 x 30 button: glyph at 22,7 and
// caption at 42,9 (see the layout above).
const ButtonContent kContent{{100, 30}, {16, 16}, true, {40, 13}};
const std::string kFace = "fill 1,1,98,28 face\n";
const std::string kNormalFrames = "frame 0,0,100,30 black\nframe 0,0,99,29 black\n";
const std::string kStrips = "fill 0,0,2,29 raise\nfill 0,0,99,2 raise\n";
const std::string kFocusMark = "frame 0,0,100,30 black\ndots 3,3,94,24 focusdots\n";

TEST(ButtonPaint, NormalAndPressedLooks) {
  ButtonModel b;
  EXPECT_EQ(planOf(b, kContent, false),
            kFace + kNormalFrames + "glyph 22,7,16,16\ncaption 42,9,40,13 font\n" + kStrips);
  b.mousePress(MouseButton::Left, {5, 5});
  // Content 2 pixels down and right, caption in OverCol, one black frame.
  EXPECT_EQ(planOf(b, kContent, false),
            kFace + "glyph 24,9,16,16\ncaption 44,11,40,13 over\nframe 0,0,100,30 black\n");
}

TEST(ButtonPaint, FocusMarkAndHotCaption) {
  ButtonModel b;
  const std::string normal =
      kFace + kNormalFrames + "glyph 22,7,16,16\ncaption 42,9,40,13 font\n" + kStrips;
  EXPECT_EQ(planOf(b, kContent, true), normal + kFocusMark + "caption 42,9,40,13 over\n");
  b.setTabStop(false);  // no mark without TabStop
  EXPECT_EQ(planOf(b, kContent, true), normal);
  b.enter();
  EXPECT_EQ(planOf(b, kContent, false), normal + "caption 42,9,40,13 over\n");
  b.setShowCaption(false);
  EXPECT_EQ(planOf(b, kContent, false), kFace + kNormalFrames + "glyph 42,7,16,16\n" + kStrips);
}

TEST(ButtonPaint, DisabledLook) {
  ButtonModel b;
  b.enabledChanged(false);
  // The image-list glyph embossed; the caption in the grey font's colour.
  EXPECT_EQ(planOf(b, kContent, false),
            kFace + kNormalFrames +
                "shape 23,8,16,16 highlight\nshape 22,7,16,16 shadow\ncaption 42,9,40,13 grey\n" +
                kStrips);
  // An own glyph is drawn as it is.
  ButtonContent own = kContent;
  own.glyphFromImageList = false;
  EXPECT_EQ(planOf(b, own, false),
            kFace + kNormalFrames + "glyph 22,7,16,16\ncaption 42,9,40,13 grey\n" + kStrips);
}

}  // namespace
}  // namespace uimodel
