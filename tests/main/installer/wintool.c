/* ud-wintool.exe: the installer test's hands on a top-level window, found by
 * its caption (read as wide characters, so Turkish letters pass).
 *   ud-wintool find CAPTION [SECONDS]  exit 0 once the window exists (polls
 *                                      up to SECONDS, default 0), else 1
 *   ud-wintool close CAPTION           posts WM_CLOSE; exit 0, 1 if none
 * Exit 2 on bad arguments. */
#include <windows.h>
/* after windows.h */
#include <shellapi.h>

int main(void) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 3) return 2;
  const wchar_t* caption = argv[2];
  if (lstrcmpW(argv[1], L"find") == 0) {
    int tenths = argc > 3 ? _wtoi(argv[3]) * 10 : 0;
    for (;;) {
      if (FindWindowW(NULL, caption)) return 0;
      if (tenths-- <= 0) return 1;
      Sleep(100);
    }
  }
  if (lstrcmpW(argv[1], L"close") == 0) {
    HWND window = FindWindowW(NULL, caption);
    if (!window) return 1;
    PostMessageW(window, WM_CLOSE, 0, 0);
    return 0;
  }
  return 2;
}
