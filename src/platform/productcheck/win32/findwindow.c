/* ud-findwindow.exe: run through Wine by the product check on Linux.
 * Exit status 0 when a top-level window of the product's main window class
 * exists in this program's Wine prefix, 1 when none does. */
#include <windows.h>

int main(void) {
  return FindWindowW(L"TMain_Frm", NULL) != NULL ? 0 : 1;
}
