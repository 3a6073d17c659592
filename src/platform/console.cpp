#include "platform/console.h"

#include <iostream>

#ifdef _WIN32
#include <windows.h>
// after windows.h
#include <shellapi.h>

#include <streambuf>
#include <string_view>

#include "platform/wintext.h"
#endif

namespace platform {

#ifdef _WIN32
namespace {

// UTF-16 text in `codePage`, flags as the code page allows them.
std::string encode(std::wstring_view wide, UINT codePage, BOOL* usedStandIn) {
  if (wide.empty()) return {};
  const int length = static_cast<int>(wide.size());
  DWORD flags = WC_NO_BEST_FIT_CHARS;
  const char* standIn = "?";
  int size =
      ::WideCharToMultiByte(codePage, flags, wide.data(), length, nullptr, 0, standIn, usedStandIn);
  if (size == 0) {  // a code page that takes neither flags nor a stand-in
    flags = 0, standIn = nullptr, usedStandIn = nullptr;
    size = ::WideCharToMultiByte(codePage, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  }
  std::string bytes(static_cast<std::size_t>(size), '\0');
  if (size > 0)
    ::WideCharToMultiByte(codePage, flags, wide.data(), length, bytes.data(), size, standIn,
                          usedStandIn);
  return bytes;
}

}  // namespace

// The console's output code page, as cmd's own commands write (and `type`
// and `more` read), or, with no console, the OEM code page.
unsigned redirectedCodePage() {
  const UINT codePage = ::GetConsoleOutputCP();
  return codePage != 0 ? codePage : ::GetOEMCP();
}

// A character the code page lacks is written as "?", no look-alike ("best
// fit") letter, but for "→" (the dry run's plan, the report's company
// pairs), which reads "->".
std::string redirectedBytes(std::string_view utf8, unsigned codePage) {
  if (codePage == CP_UTF8) return std::string(utf8);
  std::wstring wide = widen(utf8);
  BOOL arrowMissing = FALSE;
  if (wide.find(L'\u2192') != std::wstring::npos) {
    encode(L"\u2192", codePage, &arrowMissing);
    for (std::size_t at; arrowMissing && (at = wide.find(L'\u2192')) != std::wstring::npos;)
      wide.replace(at, 1, L"->");
  }
  return encode(wide, codePage, nullptr);
}

namespace {

// Collects UTF-8 bytes and hands whole characters to the console (as UTF-16)
// or to the file or pipe (in the redirected code page) on every flush and
// full buffer.
class ConsoleBuffer : public std::streambuf {
 public:
  explicit ConsoleBuffer(DWORD which) : m_handle(::GetStdHandle(which)) {
    DWORD mode = 0;
    m_console = m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE &&
                ::GetConsoleMode(m_handle, &mode) != 0;
    if (!m_console) m_codePage = redirectedCodePage();
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
      const std::string_view text = std::string_view(m_pending).substr(0, whole);
      const std::string bytes = redirectedBytes(text, m_codePage);
      DWORD written = 0;
      ok = bytes.empty() || ::WriteFile(m_handle, bytes.data(), static_cast<DWORD>(bytes.size()),
                                        &written, nullptr) != 0;
    }
    m_pending.erase(0, whole);
    return ok;
  }

  HANDLE m_handle;
  bool m_console = false;
  unsigned m_codePage = CP_UTF8;  // of redirected output
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
