// A tour of the program's Windows windows over sample data, for the
// screenshot program and the text-fit check: the main window (as it starts,
// with both panels open, and during a run), a "Bilgi" message box, the
// company selection dialog, the report window (on a made-up report), the help
// window and the about box, each shown as the program builds it and handed to
// a visitor while it is on the screen. The sample companies and report are
// those of the Qt screenshots.
#pragma once

#include <windows.h>

#include <functional>

class TForm1;

namespace tour {

// Called with each window while it shows, and the name of the sight
// ("main-window", "main-window-panels", "run-in-progress", "message-box",
// "selection-dialog", "report-window", "help-window", "about-box").
using Visitor = std::function<void(HWND window, const char* sight)>;

// Takes the shown main window `form` through every sight; false when a
// window did not show (each one that did was visited).
bool visitAll(TForm1& form, const Visitor& visit);

}  // namespace tour
