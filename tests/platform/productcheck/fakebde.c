/* fakebde.exe: stands in for a live database engine session in tests.
 *
 *   fakebde.exe CONTROL DIR            holds DIR\PDOXUSRS.LCK and DIR\PARADOX.LCK
 *   fakebde.exe CONTROL DIR FILE       holds DIR\FILE open for reading and writing
 *
 * The lock files are created when missing and opened as the engine opens
 * them (shared for reading and writing). Once everything is held the program
 * creates CONTROL\ready; it lets go when CONTROL\stop appears, creates
 * CONTROL\done and exits. Like a session that ends by a crash, it leaves the
 * lock files behind. Exit status 2 when a file cannot be opened. */
#include <stdio.h>
#include <wchar.h>
#include <windows.h>

static HANDLE holdFile(const wchar_t* dir, const wchar_t* name, DWORD disposition) {
  wchar_t path[MAX_PATH * 2];
  swprintf(path, sizeof path / sizeof *path, L"%ls\\%ls", dir, name);
  return CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                     disposition, FILE_ATTRIBUTE_NORMAL, NULL);
}

static void touch(const wchar_t* control, const wchar_t* name) {
  HANDLE h = holdFile(control, name, CREATE_ALWAYS);
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
}

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 1;
  HANDLE held[2] = {INVALID_HANDLE_VALUE, INVALID_HANDLE_VALUE};
  if (argc >= 4) {
    held[0] = holdFile(argv[2], argv[3], OPEN_EXISTING);
  } else {
    held[0] = holdFile(argv[2], L"PDOXUSRS.LCK", OPEN_ALWAYS);
    held[1] = holdFile(argv[2], L"PARADOX.LCK", OPEN_ALWAYS);
    if (held[1] == INVALID_HANDLE_VALUE) return 2;
  }
  if (held[0] == INVALID_HANDLE_VALUE) return 2;
  touch(argv[1], L"ready");
  wchar_t stop[MAX_PATH * 2];
  swprintf(stop, sizeof stop / sizeof *stop, L"%ls\\stop", argv[1]);
  while (GetFileAttributesW(stop) == INVALID_FILE_ATTRIBUTES) Sleep(50);
  for (int i = 0; i < 2; ++i)
    if (held[i] != INVALID_HANDLE_VALUE) CloseHandle(held[i]);
  touch(argv[1], L"done");
  return 0;
}
