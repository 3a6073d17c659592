#include "main/win32/program.h"

// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
// clang-format on

#include "main/win32/form1.h"
#include "main/win32/program_ids.h"

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
