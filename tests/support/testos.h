// The few system calls tests make themselves, for Linux and Windows alike.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/xattr.h>
#include <unistd.h>
#endif

namespace testos {

// A new empty directory under `base` (by default the system's temporary
// directory).
inline std::filesystem::path makeScratchDirectory(
    const std::string& prefix,
    const std::filesystem::path& base = std::filesystem::temp_directory_path()) {
#ifdef _WIN32
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::filesystem::path p = base / (prefix + std::to_string(random() % 100000000u));
    if (std::filesystem::create_directory(p)) return p;
  }
  throw std::runtime_error("cannot make a scratch directory");
#else
  std::string pattern = (base / (prefix + "XXXXXX")).string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  return pattern;
#endif
}

// A path from a UTF-8 text (on Windows a narrow text would be read in the
// ANSI code page).
inline std::filesystem::path utf8Path(const std::string& text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

// Sets (or with a null value removes) an environment variable.
inline void setEnvironment(const char* name, const char* value) {
#ifdef _WIN32
  ::_putenv_s(name, value ? value : "");
#else
  if (value)
    ::setenv(name, value, 1);
  else
    ::unsetenv(name);
#endif
}

// Marks a file with DOS attributes as `attrib` would, given as Wine stores
// them in user.DOSATTRIB ("0x2" hidden, "0x4" system; Samba appends binary
// data). On Windows the text's number becomes the file's attributes. False
// when the file system keeps no such marks.
inline bool markDosAttributes(const std::filesystem::path& file, const std::string& value) {
#ifdef _WIN32
  unsigned long attributes = 0;
  if (value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X'))
    attributes = std::strtoul(value.c_str() + 2, nullptr, 16);
  return ::SetFileAttributesW(file.c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL) != 0;
#else
  return ::setxattr(file.c_str(), "user.DOSATTRIB", value.data(), value.size(), 0) == 0;
#endif
}

}  // namespace testos
