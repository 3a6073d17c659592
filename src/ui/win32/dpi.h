// The system's DPI and the scaling of the windows' 96-DPI layout to it. The
// programs are system-DPI aware (app.manifest): Windows does not stretch
// them, so every rectangle and font height of the layout, given at 96 DPI,
// is scaled here once, at the API boundary.
#pragma once

#include "ui/model/geometry.h"

namespace win32ui {

// The DPI of the screen (LogPixels), read once: it cannot change while a
// system-DPI-aware program runs. 96 when it cannot be read.
int systemDpi();

// A length of the 96-DPI layout at `dpi`, rounded to the nearest pixel.
int scale(int length96, int dpi = systemDpi());
// The other way: a device length back to the 96-DPI layout.
int unscale(int lengthDevice, int dpi = systemDpi());
uimodel::Rect scale(const uimodel::Rect& rect96, int dpi = systemDpi());
uimodel::Size scale(const uimodel::Size& size96, int dpi = systemDpi());

}  // namespace win32ui
