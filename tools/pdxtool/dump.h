// `pdxtool dump`: a table as JSON, one object with the header facts, the
// field list and every row in block-chain order.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>

// Writes the JSON of `table` to `out`; `shownName` is the "file" member.
// codePage 0 takes the header's code page, or the language driver's.
// Throws EDBEngineError when the table cannot be read.
void dumpTable(const std::filesystem::path& table, const std::string& shownName, int codePage,
               std::ostream& out);

// Python-style shortest repr of a double ("40.0", "1e+16", "1.5e-05").
std::string pythonFloat(double value);
// A JSON string literal, non-ASCII kept as UTF-8.
std::string jsonString(const std::string& utf8);
