// Name matching as the product's platform does it: field, table, file and
// keyword names compare without regard to ASCII letter case, never through
// the locale, so the Turkish dotted and dotless i cannot change a match.
#pragma once

#include <cstddef>
#include <string_view>

namespace pdx {

inline char asciiUpper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

inline bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (asciiUpper(a[i]) != asciiUpper(b[i])) return false;
  return true;
}

}  // namespace pdx
