#include "platform/console.h"

#include <iostream>

#ifdef _WIN32
#include <windows.h>
// after windows.h
#include <shellapi.h>

#include <streambuf>

#include "platform/wintext.h"
#endif

namespace platform {

#ifdef _WIN32
namespace {

// Collects UTF-8 bytes and hands whole characters to the console (as UTF-16)
// or to the file or pipe (as they are) on every flush and full buffer.
class ConsoleBuffer : public std::streambuf {
 public:
  explicit ConsoleBuffer(DWORD which) : m_handle(::GetStdHandle(which)) {
    DWORD mode = 0;
    m_console = m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE &&
                ::GetConsoleMode(m_handle, &mode) != 0;
  }
  ~ConsoleBuffer() override { emit(); }

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    m_pending.push_back(traits_type::to_char_type(c));
    if (c == '\n' || m_pending.size() >= 4096) emit();
    return c;
  }
  int sync() override { return emit() ? 0 : -1; }

 private:
  bool emit() {
    if (m_pending.empty() || m_handle == nullptr || m_handle == INVALID_HANDLE_VALUE) {
      m_pending.clear();
      return true;
    }
    // A character cut by the buffer's end waits for its remaining bytes.
    std::size_t whole = m_pending.size();
    std::size_t back = 0;
    while (back < 3 && back < whole &&
           (static_cast<unsigned char>(m_pending[whole - 1 - back]) & 0xC0) == 0x80)
      ++back;
    if (back < whole) {
      const auto lead = static_cast<unsigned char>(m_pending[whole - 1 - back]);
      const std::size_t need = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
      if (need > back + 1) whole -= back + 1;
    }
    bool ok = true;
    if (m_console) {
      const std::wstring wide = widen(std::string_view(m_pending).substr(0, whole));
      DWORD written = 0;
      ok = wide.empty() || ::WriteConsoleW(m_handle, wide.data(), static_cast<DWORD>(wide.size()),
                                           &written, nullptr) != 0;
    } else {
      DWORD written = 0;
      ok = whole == 0 || ::WriteFile(m_handle, m_pending.data(), static_cast<DWORD>(whole),
                                     &written, nullptr) != 0;
    }
    m_pending.erase(0, whole);
    return ok;
  }

  HANDLE m_handle;
  bool m_console = false;
  std::string m_pending;
};

}  // namespace

std::vector<std::string> programArguments(int, char**) {
  std::vector<std::string> args;
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (!wide) return args;
  for (int i = 0; i < count; ++i) args.push_back(narrow(wide[i]));
  ::LocalFree(wide);
  return args;
}

std::ostream& consoleOut() {
  static ConsoleBuffer buffer(STD_OUTPUT_HANDLE);
  static std::ostream stream(&buffer);
  return stream;
}

std::ostream& consoleErr() {
  static ConsoleBuffer buffer(STD_ERROR_HANDLE);
  static std::ostream stream(&buffer);
  stream.setf(std::ios::unitbuf);
  return stream;
}
#else
std::vector<std::string> programArguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

std::ostream& consoleOut() {
  return std::cout;
}

std::ostream& consoleErr() {
  return std::cerr;
}
#endif

}  // namespace platform
