// TSecretPanel on Windows: a child window whose lines of text, under a small
// picture, move upward one pixel every uimodel::ScrollText::kStepMs while it
// is active (a SetTimer timer of its own); the arithmetic is ScrollText's.
#pragma once

#include <string>
#include <vector>

#include "ui/model/scrolltext.h"
#include "ui/win32/control.h"

namespace win32ui {

struct SecretPanelArgs : ControlArgs {
  Rgb background;
  Rgb textColour;
  HBITMAP picture = nullptr;  // not owned; drawn at uimodel::kPanelPicture's size
  std::vector<std::string> lines;
};

class TSecretPanel : public Control {
 public:
  bool create(const SecretPanelArgs& args);
  void setLines(std::vector<std::string> lines);
  const std::vector<std::string>& lines() const { return m_lines; }
  // Starts or stops the scrolling; a running panel goes on where it was.
  void setActive(bool on);
  bool isActive() const { return m_active; }
  int offset() const { return m_offset; }

 private:
  static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void paint(HDC dc) const;
  uimodel::ScrollText scrollText() const;

  Rgb m_background;
  Rgb m_textColour;
  HBITMAP m_picture = nullptr;
  std::vector<std::string> m_lines;
  FontSpec m_font;
  bool m_active = false;
  int m_offset = 0;
};

}  // namespace win32ui
