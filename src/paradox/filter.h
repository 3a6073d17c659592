// Record filters in the small expression language of Table::setFilter:
//   expr := cmp { ("and" | "or") cmp }     "and" binds tighter than "or"
//   cmp  := FIELD ("=" | "<>") ( 'quoted text' | TRUE )
// A field name is a run of letters, digits and '_' or a name in [brackets];
// a quote inside quoted text is written twice.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "paradox/codepage.h"
#include "paradox/table.h"

namespace pdx {

class Filter {
 public:
  Filter() = default;
  // Parses `expression` against the table's fields; texts are encoded into
  // `codePage` so that matching compares stored bytes. Throws
  // EDBEngineError(kFilter) naming the expression and `fileName` when it is
  // outside the grammar or names an unknown field.
  static Filter parse(const std::string& expression, const std::vector<FieldInfo>& fields,
                      const CodePage& codePage, const std::string& fileName);

  bool empty() const { return m_any.empty(); }
  bool matches(const std::uint8_t* record) const;

 private:
  struct Comparison {
    FieldInfo field;
    bool bound = false;
    bool notEqual = false;
    bool isTrue = false;  // compare with TRUE rather than a text
    std::string bytes;    // the text in the table's code page
  };
  static bool test(const Comparison& c, const std::uint8_t* record);

  std::vector<std::vector<Comparison>> m_any;  // OR of AND groups
};

}  // namespace pdx
