#include "main/win32/program.h"

// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
// clang-format on

#include "main/win32/form1.h"
#include "main/win32/program_ids.h"

void MarkProgramRunning() {
  // Never closed: Windows lets go of it with the process.
  ::CreateMutexW(nullptr, FALSE, kRunningMutexName);
}

void UseParentConsoleWithoutStreams() {
  auto missing = [](DWORD which) {
    HANDLE handle = ::GetStdHandle(which);
    return handle == nullptr || handle == INVALID_HANDLE_VALUE;
  };
  const bool out = missing(STD_OUTPUT_HANDLE);
  const bool err = missing(STD_ERROR_HANDLE);
  if ((!out && !err) || !::AttachConsole(ATTACH_PARENT_PROCESS)) return;
  auto useConsole = [](DWORD which) {
    HANDLE console =
        ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      nullptr, OPEN_EXISTING, 0, nullptr);
    if (console != INVALID_HANDLE_VALUE) ::SetStdHandle(which, console);
  };
  if (out) useConsole(STD_OUTPUT_HANDLE);
  if (err) useConsole(STD_ERROR_HANDLE);
}

int RunMainWindow() {
  // Started from Explorer, the console program got a console of its own:
  // the window program does not need it. A console it shares with a shell
  // stays.
  DWORD processes[2];
  if (::GetConsoleProcessList(processes, 2) == 1) ::FreeConsole();
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES |
                                                     ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
  ::InitCommonControlsEx(&controls);
  TForm1 form;
  HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PROGRAM));
  if (!form.create(icon)) return 1;
  form.show();
  return win32ui::Window::runMessageLoop();
}
