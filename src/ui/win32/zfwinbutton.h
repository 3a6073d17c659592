// The owner-drawn button of the windows (TZfWinButton) as a native window:
// the kit's OwnerButton driven by uimodel::ButtonModel. Input events go to
// the model; its answers are carried out (repaint, click); the painting is
// the model's paint plan in the windows' button look (uimodel::
// kWindowButtonLook): the parent's face colour, a white raised edge, a blue
// frame when hot, a bold Arial 11-pixel black caption, a 32 x 32 glyph from
// the program's glyph list at its left. A hand cursor over it, its hint as a
// tooltip.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "ui/model/button.h"
#include "ui/model/geometry.h"
#include "ui/win32/ownerbutton.h"

namespace win32ui {

struct ZfWinButtonArgs {
  HWND parent = nullptr;  // a Window's or a Panel's hwnd()
  int id = 0;             // the control id (not IDOK or IDCANCEL)
  uimodel::Rect rect;     // in the parent's client area, 96-DPI pixels
  std::string caption;
  int glyph = -1;  // index of the 32 x 32 glyph list (pictures::glyphs()), -1 none
  std::string hint;
  std::function<void()> onClick;
  // The parent's colour, which the face takes: the window's face colour
  // when absent.
  std::optional<uimodel::Rgb> face = std::nullopt;
};

class TZfWinButton : private OwnerButtonEvents {
 public:
  TZfWinButton();
  TZfWinButton(const TZfWinButton&) = delete;
  TZfWinButton& operator=(const TZfWinButton&) = delete;
  ~TZfWinButton() override;

  // Creates the button's window; false (and no window) when Windows refused.
  bool create(const ZfWinButtonArgs& args);

  HWND hwnd() const { return m_button.hwnd(); }
  int id() const { return m_button.id(); }
  const uimodel::ButtonModel& model() const { return m_model; }

  void setCaption(const std::string& caption);
  const std::string& caption() const { return m_caption; }
  void setEnabled(bool enabled);
  bool isEnabled() const { return m_button.isEnabled(); }
  void setVisible(bool visible) { m_button.setVisible(visible); }
  void setOnClick(std::function<void()> onClick) { m_onClick = std::move(onClick); }

 private:
  // OwnerButtonEvents: every input event goes to the model.
  void onMouseDown(MouseButton button, Point at) override;
  void onMouseUp(MouseButton button, Point at) override;
  void onMouseMove(Point at) override;
  void onMouseEnter() override;
  void onMouseLeave() override;
  void onKeyDown(int virtualKey, bool autoRepeat) override;
  void onKeyUp(int virtualKey) override;
  void onFocusChanged(bool focused) override;
  void onEnabledChanged(bool enabled) override;

  void perform(const uimodel::ButtonActions& actions);
  void repaint();
  std::vector<DrawOp> drawing() const;
  DrawOp toDrawOp(const uimodel::ButtonPaintOp& op, HBITMAP glyph) const;

  OwnerButton m_button;
  uimodel::ButtonModel m_model;
  std::string m_caption;
  int m_glyph = -1;
  std::optional<uimodel::Rgb> m_face;
  std::function<void()> m_onClick;
  HWND m_tooltip = nullptr;
};

}  // namespace win32ui
