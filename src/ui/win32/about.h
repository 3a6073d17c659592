// The about box (TAboutF) on Windows: the left picture (a click, or
// Ctrl+Alt+T, shows and hides the program's team), the title with the
// program's name, the logo, the scrolling credits, the contact lines with the
// web and mail links, the memory figures, "Tamam" and the status text. It
// fades in and out (TZfAnimate).
#pragma once

#include <windows.h>

#include "ui/model/help.h"

namespace win32ui {

// Shows the about box modally over `owner` with `request`'s caption and
// program name, and returns when it has closed (after its fade-out).
void ShowAboutBox(HWND owner, const uimodel::AboutRequest& request);

// The ids of its controls, for tests.
enum AboutControlId {
  kAboutLeftPicture = 3101,
  kAboutTeamPanel,
  kAboutTitle,
  kAboutCredits,
  kAboutWebLink,
  kAboutMailLink,
  kAboutPhysicalMemory,
  kAboutMemoryLoad,
  kAboutOk,
  kAboutStatus,
};

}  // namespace win32ui
