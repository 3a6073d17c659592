// Is the accounting product running? It is when a top-level window of its
// main window class exists: a native window, or a window of a Win32 program
// under Wine.
#pragma once

#include <string>
#include <utility>

namespace platform {

inline constexpr const char* kProductWindowClass = "TMain_Frm";

enum class ProductState { kClosed, kRunning, kUnknown };

// The answer of a product check. `reason` says, in Turkish, why the check
// could not be made (kUnknown only).
struct ProductStatus {
  ProductState state = ProductState::kClosed;
  std::string reason;

  static ProductStatus closed() { return {ProductState::kClosed, {}}; }
  static ProductStatus running() { return {ProductState::kRunning, {}}; }
  static ProductStatus unknown(std::string why) { return {ProductState::kUnknown, std::move(why)}; }
};

// True when a top-level window whose class is `windowClass` exists. On X11
// the WM_CLASS instance or class name is compared, on the top-level windows
// and on the client windows that a window manager puts inside its frames.
// Without a display there is no such window. Wine does not show a program's
// Win32 class in WM_CLASS (it puts the program's file name there), so this
// finds native windows only; productStatus() asks Wine as well.
bool topLevelWindowExists(const std::string& windowClass = kProductWindowClass);

// The whole check: on Windows FindWindow; on Linux a native window of the
// class (X11), then the Wine prefix that drive letters go through (see
// wineproduct.h). Running wins; a prefix that cannot be asked gives
// kUnknown, never kClosed.
ProductStatus productStatus();

}  // namespace platform
