// The order of index entries: fields compared one after the other, alpha
// fields by the table's sort order (language driver), all others by their
// stored bytes, which are encoded so that byte order is value order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "paradox/table.h"

namespace pdx {

class Collation;

class KeyOrder {
 public:
  // Orders records by `fields` (in that order). Throws
  // EDBEngineError(kUnsupported) naming `table`, `index` and the sort order
  // when an alpha field needs a sort order we cannot reproduce.
  KeyOrder(std::vector<FieldInfo> fields, const std::string& sortOrder, const std::string& table,
           const std::string& index);

  // <0, 0, >0 as a sorts before, with or after b. `a` and `b` point at
  // records laid out with the offsets of the fields given.
  int compare(const std::uint8_t* a, const std::uint8_t* b) const;
  const std::vector<FieldInfo>& fields() const { return m_fields; }

  // Whether alpha keys of this sort order can be ordered at all.
  static bool supported(const std::string& sortOrder);

 private:
  std::vector<FieldInfo> m_fields;
  const Collation* m_collation = nullptr;  // null: byte order
};

}  // namespace pdx
