#include "platform/productcheck/productwindow.h"

#if !defined(_WIN32)
#include "platform/paths.h"
#include "platform/productcheck/wineproduct.h"
#endif

#if defined(_WIN32)
#include <windows.h>

#include "platform/wintext.h"
#elif defined(UD_HAVE_X11)
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#endif

namespace platform {

#if defined(_WIN32)
bool topLevelWindowExists(const std::string& windowClass) {
  return FindWindowW(widen(windowClass).c_str(), nullptr) != nullptr;
}
#elif defined(UD_HAVE_X11)
namespace {

// Windows may vanish while we walk the tree; their BadWindow errors are not
// ours to report.
int ignoreErrors(Display*, XErrorEvent*) {
  return 0;
}

bool hasClass(Display* display, Window window, const std::string& windowClass) {
  XClassHint hint{};
  if (!XGetClassHint(display, window, &hint)) return false;
  bool match = (hint.res_name && windowClass == hint.res_name) ||
               (hint.res_class && windowClass == hint.res_class);
  if (hint.res_name) XFree(hint.res_name);
  if (hint.res_class) XFree(hint.res_class);
  return match;
}

// Top-level windows are the root's children; a reparenting window manager
// puts the application's client window one or two levels below its frame.
bool search(Display* display, Window window, const std::string& windowClass, int depth) {
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(display, window, &root, &parent, &children, &count)) return false;
  bool found = false;
  for (unsigned int i = 0; i < count && !found; ++i) {
    found = hasClass(display, children[i], windowClass) ||
            (depth > 1 && search(display, children[i], windowClass, depth - 1));
  }
  if (children) XFree(children);
  return found;
}

}  // namespace

bool topLevelWindowExists(const std::string& windowClass) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return false;
  XErrorHandler previous = XSetErrorHandler(ignoreErrors);
  bool found = search(display, DefaultRootWindow(display), windowClass, 3);
  XSync(display, False);
  XSetErrorHandler(previous);
  XCloseDisplay(display);
  return found;
}
#else
bool topLevelWindowExists(const std::string&) {
  return false;
}
#endif

ProductStatus productStatus() {
  if (topLevelWindowExists(kProductWindowClass)) return ProductStatus::running();
#if !defined(_WIN32)
  // The product may run in the prefix whose drives we resolve, whether the
  // data directory was typed with a drive letter or reached through z:.
  std::optional<std::filesystem::path> prefix = winePrefix();
  std::error_code ec;
  if (prefix && std::filesystem::is_directory(*prefix, ec))
    return askWine({*prefix, findWindowHelper()});
#endif
  return ProductStatus::closed();
}

}  // namespace platform
