// Which files a Win32 program under Wine holds open, asked of the Wine
// prefix's own sharing state.
//
// Wine keeps the sharing state of every open handle in the prefix's
// wineserver, so only a Win32 program run through Wine in that prefix can
// ask it: our helper (win32/findwindow.c, "--in-use LIST ANSWERS") opens
// each file of the list with no sharing and writes one answer per line.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/productcheck/wineproduct.h"

namespace platform {

struct WineInUse {
  bool asked = false;      // a server ran and the helper answered
  std::vector<bool> held;  // held[i] answers files[i]; all false when not asked
  std::string failure;     // why a running server could not be asked (Turkish)
};

// Asks the prefix about every file of `files` (real locations) in one run of
// the helper, within query.limit. No server running for the prefix: not
// asked, no failure, nothing started (a Win32 program can then hold no file
// open in it). A missing helper, a `wine` that fails or does not answer in
// time, or an answer of the wrong shape give the failure.
WineInUse askWineInUse(const WineQuery& query, const std::vector<std::filesystem::path>& files);

}  // namespace platform
