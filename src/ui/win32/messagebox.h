// Windows' message box with button texts of our own, whatever the language
// of Windows: a hook renames the buttons as the box opens (and widens them
// when a text needs more room than Windows gave).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace win32ui {

enum class MessageIcon { None, Information, Error, Question, Warning };

struct MessageBoxArgs {
  HWND owner = nullptr;  // disabled while the box is open
  std::string caption;
  std::string text;  // lines broken by "\n"
  MessageIcon icon = MessageIcon::None;
  // One to three buttons, left to right; empty keeps Windows' single "OK"
  // in its own language. The last button is the one Esc and the close box
  // press (with one button, that one).
  std::vector<std::string> buttons;
};

// Shows the box and waits until it is closed. Returns the index of the
// button pressed, or -1 when Windows could not show the box.
int showMessageBox(const MessageBoxArgs& args);

}  // namespace win32ui
