// Is the accounting product running? It is when a top-level window of its
// main window class exists.
#pragma once

#include <string>

namespace platform {

inline constexpr const char* kProductWindowClass = "TMain_Frm";

// True when a top-level window whose class is `windowClass` exists. On X11
// the WM_CLASS instance or class name is compared, on the top-level windows
// and on the client windows that a window manager puts inside its frames.
// Without a display there is no such window.
bool topLevelWindowExists(const std::string& windowClass = kProductWindowClass);

}  // namespace platform
