// ui-screenshots-win32 <folder>: the Windows counterpart of ui-screenshots.
// Takes the tour of the windows (tour.h) and saves each sight as a PNG in
// <folder>. Run it under Wine with a virtual X server
// (scripts/screenshots.sh) to see the windows as a person would.
// clang-format off
#include <windows.h>
// clang-format on

#include <cstdio>
#include <filesystem>
#include <string>

#include "main/win32/form1.h"
#include "main/win32/screenshots/tour.h"
#include "ui/win32/capture.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: ui-screenshots-win32 <folder>\n");
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::error_code error;
  std::filesystem::create_directories(folder, error);

  TForm1 form;
  if (!form.create()) return 1;
  form.show();
  bool saved = true;
  const bool toured = tour::visitAll(form, [&](HWND window, const char* sight) {
    const std::string path = (folder / (std::string(sight) + ".png")).string();
    const auto pixels = win32ui::captureWindow(window);
    if (pixels && win32ui::savePng(*pixels, path)) {
      std::printf("%s %dx%d\n", path.c_str(), pixels->width, pixels->height);
    } else {
      std::fprintf(stderr, "ui-screenshots-win32: cannot write %s\n", path.c_str());
      saved = false;
    }
  });
  return toured && saved ? 0 : 1;
}
