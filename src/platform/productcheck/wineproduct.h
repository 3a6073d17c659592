// The product under Wine: is a window of its class open in a Wine prefix?
//
// Wine's X11 driver does not show the Win32 class of a window to X, so the
// question goes to Wine itself: our small Win32 program (win32/findwindow.c)
// calls FindWindowW and answers with its exit status. A second Win32
// program started with the same WINEPREFIX joins that prefix's running
// wineserver and sees every window of it, with or without a display.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/productcheck/productwindow.h"

namespace platform {

inline constexpr const char* kFindWindowHelper = "ud-findwindow.exe";

// True when a wineserver runs for the prefix directory. A server keeps its
// socket and a lock file in a directory named server-<dev>-<inode> (the
// prefix directory's device and inode numbers in hex), under the directory
// that Debian's Wine names in the prefix's file "wineserver" (below $TMPDIR,
// else /tmp) or upstream's /tmp/.wine-<uid>; it holds a write lock on that
// lock file while it runs. A server is also found by its process: a process
// named wineserver* whose working directory is that server directory.
bool wineServerRunning(const std::filesystem::path& prefix);

struct WineQuery {
  std::filesystem::path prefix;
  std::filesystem::path helper;  // kFindWindowHelper
  std::chrono::milliseconds limit{10000};
};

// Asks the prefix whether a window of the product's class is open. No
// server running for it: kClosed, and no process is started (starting Wine
// would start a server, and on a fresh prefix set the prefix up). Otherwise
// runs the helper through `wine` with WINEPREFIX set: exit 0 kRunning, 1
// kClosed; a missing helper, a `wine` that cannot start or ends otherwise,
// or the time limit passing give kUnknown with the reason.
ProductStatus askWine(const WineQuery& query);

// One run of the helper through `wine` in the query's prefix, with
// `arguments` after the helper's name. `exited` with the helper's exit code,
// or not, with the reason in Turkish (helper missing, `wine` missing or not
// starting, the time limit passed, a signal). Starts Wine whether a server
// runs or not: callers ask wineServerRunning first.
struct WineRun {
  bool exited = false;
  int exitCode = 0;
  std::string failure;
};
WineRun runWineHelper(const WineQuery& query, const std::vector<std::string>& arguments);

// The helper beside the running executable (empty when that cannot be told).
std::filesystem::path findWindowHelper();

}  // namespace platform
