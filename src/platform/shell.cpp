#include "platform/shell.h"

#ifdef _WIN32
#include <windows.h>
// after windows.h
#include <shellapi.h>

#include "platform/wintext.h"
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace platform {

#ifdef _WIN32
bool openInShell(const std::string& target) {
  auto rc = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, L"open", widen(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return rc > 32;
}
#else
bool openInShell(const std::string& target) {
  // Double fork: the handler is adopted by init, so no zombie is left and the
  // caller does not wait for the browser or mail program to end.
  pid_t child = ::fork();
  if (child < 0) return false;
  if (child == 0) {
    ::setsid();
    pid_t grandchild = ::fork();
    if (grandchild == 0) {
      char* const argv[] = {const_cast<char*>("xdg-open"), const_cast<char*>(target.c_str()),
                            nullptr};
      ::execvp("xdg-open", argv);
      ::_exit(127);
    }
    ::_exit(grandchild < 0 ? 1 : 0);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
#endif

}  // namespace platform
