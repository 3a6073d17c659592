// File name matching as the Windows wildcard search does it, for the ASCII
// names the product uses.
#pragma once

#include <string_view>

namespace platform {

// Equal names without regard to ASCII letter case (never locale-dependent).
bool sameNameNoCase(std::string_view a, std::string_view b);

// Orders names alphabetically without regard to ASCII letter case; names that
// differ only in case fall back to byte order so the order is total.
bool lessNoCase(std::string_view a, std::string_view b);

// "*" matches any run of characters (also none), "?" exactly one, anything
// else itself without regard to ASCII case. As on Windows, a mask that ends
// in ".*" also takes a name without any dot: "*.*" takes every name and
// "ayar.*" takes "ayar", but "ayar.*" never takes "ayar2.db".
bool matchesMask(std::string_view name, std::string_view mask);

}  // namespace platform
