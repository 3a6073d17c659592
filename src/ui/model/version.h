// The program's name and version, as the main window's caption, the help
// window and the about box show them.
#pragma once

#include <string>

namespace version {

inline constexpr const char* kMaker = "ZEFIRTAK";
inline constexpr const char* kTitle = "KMX Devir-Upgrade";
inline constexpr const char* kVersion = "s2.04.02";

// "KMX Devir-Upgrade s2.04.02": the about box's program name.
inline std::string ProgramName() {
  return std::string(kTitle) + " " + kVersion;
}

// "ZEFIRTAK KMX Devir-Upgrade s2.04.02": the main window's caption.
inline std::string WindowCaption() {
  return std::string(kMaker) + " " + ProgramName();
}

}  // namespace version
