// Another program holding a file open, for as long as the object lives.
//
// Linux: a child process opens the file for reading and writing and waits on
// a gate, so no descriptor of the test's own process is involved. Windows: a
// handle that shares everything, opened by this process (there the check
// counts our own handles as well, which is why the jobs close theirs).
#pragma once

#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fixture {

class FileHolder {
 public:
  explicit FileHolder(const std::filesystem::path& file) {
#ifdef _WIN32
    m_handle = ::CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
#else
    int ready[2], gate[2];
    if (::pipe(ready) != 0 || ::pipe(gate) != 0) return;
    m_child = ::fork();
    if (m_child == 0) {
      ::close(ready[0]);
      ::close(gate[1]);
      const int fd = ::open(file.c_str(), O_RDWR);
      char c = fd >= 0 ? 'y' : 'n';
      (void)!::write(ready[1], &c, 1);
      (void)!::read(gate[0], &c, 1);  // until the parent closes the gate
      ::_exit(0);
    }
    ::close(ready[1]);
    ::close(gate[0]);
    m_gate = gate[1];
    char c = 'n';
    (void)!::read(ready[0], &c, 1);
    ::close(ready[0]);
    m_holding = c == 'y';
#endif
  }
  ~FileHolder() {
#ifdef _WIN32
    if (m_handle != INVALID_HANDLE_VALUE) ::CloseHandle(m_handle);
#else
    if (m_gate >= 0) ::close(m_gate);
    if (m_child > 0) ::waitpid(m_child, nullptr, 0);
#endif
  }
  FileHolder(const FileHolder&) = delete;
  FileHolder& operator=(const FileHolder&) = delete;

  bool holding() const {
#ifdef _WIN32
    return m_handle != INVALID_HANDLE_VALUE;
#else
    return m_holding;
#endif
  }

 private:
#ifdef _WIN32
  HANDLE m_handle = INVALID_HANDLE_VALUE;
#else
  pid_t m_child = -1;
  int m_gate = -1;
  bool m_holding = false;
#endif
};

}  // namespace fixture
