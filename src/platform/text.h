// Texts read from files a person can open and edit, made fit for a message.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Whether `text` is well-formed UTF-8 (no overlong form, no surrogate, no
// code point past U+10FFFF) without control characters (below U+0020, and
// U+007F to U+009F).
bool isPrintableUtf8(std::string_view text);

// `text` for a message: each byte that is not part of a printable UTF-8
// character becomes '?', and a text longer than `maxBytes` is cut at a
// character boundary and ends with "...".
std::string printableExcerpt(std::string_view text, std::size_t maxBytes = 60);

}  // namespace platform
