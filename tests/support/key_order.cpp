#include "support/key_order.h"

#include <cstring>

#include "support/record_codec.h"

namespace fixture::detail {

KeyOrder::KeyOrder(const std::vector<Column>& fields, const SortOrder* order) : m_order(order) {
  for (const Column& c : fields) {
    m_parts.push_back({fieldWidth(c), c.type == pdx::FieldType::kAlpha});
    m_bytes += fieldWidth(c);
  }
}

int KeyOrder::compare(const char* a, const char* b) const {
  for (const Part& p : m_parts) {
    const auto w = static_cast<std::size_t>(p.width);
    int c = 0;
    if (p.alpha && m_order != nullptr) {
      // Alpha values end at their first NUL; the padding takes no part.
      c = m_order->compare(std::string_view(a, ::strnlen(a, w)),
                           std::string_view(b, ::strnlen(b, w)));
    } else {
      c = std::memcmp(a, b, w);
    }
    if (c != 0) return c < 0 ? -1 : 1;
    a += w;
    b += w;
  }
  return 0;
}

}  // namespace fixture::detail
