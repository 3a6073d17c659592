// Texts read from files a person can open and edit, made fit for a message.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Whether `text` is well-formed UTF-8 (no overlong form, no surrogate, no
// code point past U+10FFFF) without control characters (below U+0020, and
// U+007F to U+009F).
bool isPrintableUtf8(std::string_view text);

// `text` for a message: each byte that is not part of a printable UTF-8
// character becomes '?', and a text longer than `maxBytes` is cut at a
// character boundary and ends with "...".
std::string printableExcerpt(std::string_view text, std::size_t maxBytes = 60);

// The records the program keeps beside the data (a carry's record, an
// upgrade's list) are ";"-separated rows, one per line ("\n"): a field
// holding ";", '"' or a line break goes in double quotes with '"' doubled.
// One row with its line break.
std::string csvRow(const std::vector<std::string>& fields);
// Appends one field to `text`, in quotes when it needs them.
void appendCsvField(std::string& text, std::string_view field);
// The fields of the row at `at`, which moves past it; false at the end of the
// text. A "\r" outside quotes is dropped.
bool nextCsvRow(std::string_view text, std::size_t& at, std::vector<std::string>& fields);

}  // namespace platform
