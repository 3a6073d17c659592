/* ud-findwindow.exe: run through Wine by the checks of a run on Linux.
 *
 * Without arguments: exit status 0 when a top-level window of the product's
 * main window class exists in this program's Wine prefix, 1 when none does.
 *
 * "--in-use LIST ANSWERS" (two Unix paths): LIST holds Unix paths, one a
 * line (UTF-8). Each file is opened for reading with no sharing, which the
 * prefix's wineserver refuses while a Win32 program of the prefix holds the
 * file open; ANSWERS gets one line per path, "1" held, "0" not (a missing
 * file is not held). Exit status 0 when every line was answered, 3 when not
 * under Wine, 4 when LIST or ANSWERS cannot be opened. */
#include <stdio.h>
#include <string.h>
#include <windows.h>

typedef WCHAR*(CDECL* UnixToDos)(const char*);

static char answerFor(UnixToDos toDos, const char* unixPath) {
  WCHAR* dos = toDos(unixPath);
  char answer = '0';
  if (!dos) return answer;
  HANDLE h = CreateFileW(dos, GENERIC_READ, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
  if (h != INVALID_HANDLE_VALUE) {
    CloseHandle(h);
  } else {
    DWORD error = GetLastError();
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) answer = '1';
  }
  HeapFree(GetProcessHeap(), 0, dos);
  return answer;
}

static int inUse(const char* listPath, const char* answersPath) {
  UnixToDos toDos =
      (UnixToDos)(void*)GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name");
  if (!toDos) return 3;
  WCHAR* listDos = toDos(listPath);
  WCHAR* answersDos = toDos(answersPath);
  FILE* in = listDos ? _wfopen(listDos, L"rb") : NULL;
  FILE* out = answersDos ? _wfopen(answersDos, L"wb") : NULL;
  int status = in && out ? 0 : 4;
  static char line[8192];
  while (status == 0 && fgets(line, sizeof line, in)) {
    line[strcspn(line, "\r\n")] = 0;
    fputc(answerFor(toDos, line), out);
    fputc('\n', out);
  }
  if (in) fclose(in);
  if (out && fclose(out) != 0) status = 4;
  if (listDos) HeapFree(GetProcessHeap(), 0, listDos);
  if (answersDos) HeapFree(GetProcessHeap(), 0, answersDos);
  return status;
}

int main(int argc, char** argv) {
  if (argc == 4 && strcmp(argv[1], "--in-use") == 0) return inUse(argv[2], argv[3]);
  return FindWindowW(L"TMain_Frm", NULL) != NULL ? 0 : 1;
}
