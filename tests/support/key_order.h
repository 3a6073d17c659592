// Ordering of whole keys (several fields) for the builder: alpha fields by
// the table's sort order, other fields by their bytes, which sort as values.
#pragma once

#include <string_view>
#include <vector>

#include "support/paradox_builder.h"
#include "support/sort_order.h"

namespace fixture::detail {

class KeyOrder {
 public:
  // `fields`: the key's columns in order; `order` may be null when there is
  // no alpha field among them.
  KeyOrder(const std::vector<Column>& fields, const SortOrder* order);
  // Compares two keys laid out as the fields' bytes one after another.
  int compare(const char* a, const char* b) const;
  int bytes() const { return m_bytes; }

 private:
  struct Part {
    int width;
    bool alpha;
  };
  std::vector<Part> m_parts;
  const SortOrder* m_order;
  int m_bytes = 0;
};

}  // namespace fixture::detail
