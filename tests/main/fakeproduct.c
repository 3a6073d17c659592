/* fakeproduct.exe: stands in for the accounting product in tests. Opens one
 * top-level window of the product's main window class and runs until the
 * window is closed or the process is killed. */
#include <windows.h>

static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
  (void)previous;
  (void)commandLine;
  WNDCLASSW windowClass = {0};
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = L"TMain_Frm";
  if (!RegisterClassW(&windowClass)) return 2;
  HWND window = CreateWindowW(L"TMain_Frm", L"KMX", WS_OVERLAPPEDWINDOW, 0, 0, 320, 200, NULL, NULL,
                              instance, NULL);
  if (!window) return 3;
  ShowWindow(window, show);
  MSG message;
  while (GetMessageW(&message, NULL, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
