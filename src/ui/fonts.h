// The windows name the Windows fonts they were laid out with ("MS Sans
// Serif", "Arial", "Arial Black"). Where those are missing, metric-compatible
// or narrow faces stand in (a heavy face for "Arial Black"), so captions
// keep to the widths they were given.
#pragma once

// Call once after the QApplication exists, before any window is built.
void installFontSubstitutes();
