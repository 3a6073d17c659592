// The help window (TForm2) on Windows: the help text in a read-only edit,
// "İrtibat" (opens the about box, with its fade) and "Kapat", a status bar.
#pragma once

#include <windows.h>

#include <string>

namespace win32ui {

// Shows the help window modally over `owner`; its caption is the main
// window's caption at each showing. Esc or "Kapat" closes it.
void ShowHelpWindow(HWND owner, const std::string& mainCaption);

// The ids of its controls, for tests.
enum HelpControlId { kHelpMemo = 3001, kHelpContact, kHelpClose, kHelpStatus };

}  // namespace win32ui
