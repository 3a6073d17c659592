// Sort orders of alpha keys: the order the BDE keeps index entries and keyed
// records in, chosen by the language driver named in the table header.
//
// Supported: "ascii" (byte order), "ANTURK" (Windows-1254 Turkish, the
// product's tables), "ANSIINTL" and "ANSII850" (Windows-1252). The ANSI
// drivers compare in two levels: first the primary weights of the whole
// texts (letters without regard to case or accent; some letters expand, as
// a-umlaut to "ae"), and only when those are equal the first secondary
// difference (lower case before upper case, plain before accented).
#pragma once

#include <string>
#include <string_view>

namespace pdx {

struct CollationTable;  // weights of one driver (collation.cpp)

class Collation {
 public:
  // The collation of a sort order name (letter case ignored); nullptr when
  // we do not support it. The object lives as long as the program.
  static const Collation* forSortOrder(std::string_view sortOrderName);

  std::string_view name() const { return m_name; }
  // Orders two texts in the table's code page, NUL padding already trimmed:
  // negative, zero or positive. A text that is a prefix of another sorts
  // first. Zero only for texts the sort order cannot tell apart.
  int compare(std::string_view a, std::string_view b) const;
  // The text as a case-insensitive index stores it (upper-cased the way the
  // driver does it, e.g. Turkish i -> dotted capital I).
  std::string upper(std::string_view s) const;

  Collation(const Collation&) = delete;
  Collation& operator=(const Collation&) = delete;

 private:
  Collation(std::string_view name, const CollationTable* table) : m_name(name), m_table(table) {}
  friend struct CollationRegistry;

  std::string_view m_name;
  const CollationTable* m_table;  // nullptr: byte order
};

}  // namespace pdx
