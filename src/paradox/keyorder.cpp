#include "paradox/keyorder.h"

#include <cstring>
#include <string_view>

#include "paradox/collation.h"
#include "paradox/errors.h"

namespace pdx {
namespace {

std::string_view alphaText(const std::uint8_t* p, int width) {
  const void* nul = std::memchr(p, 0, static_cast<std::size_t>(width));
  const std::size_t n = nul ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(nul) - p)
                            : static_cast<std::size_t>(width);
  return {reinterpret_cast<const char*>(p), n};
}

}  // namespace

bool KeyOrder::supported(const std::string& sortOrder) {
  return sortOrder.empty() || Collation::forSortOrder(sortOrder) != nullptr;
}

KeyOrder::KeyOrder(std::vector<FieldInfo> fields, const std::string& sortOrder,
                   const std::string& table, const std::string& index)
    : m_fields(std::move(fields)) {
  bool hasAlpha = false;
  for (const FieldInfo& f : m_fields) hasAlpha = hasAlpha || f.type == FieldType::kAlpha;
  if (!sortOrder.empty()) m_collation = Collation::forSortOrder(sortOrder);
  if (hasAlpha && !supported(sortOrder))
    throw EDBEngineError(EDBEngineError::Code::kUnsupported,
                         "Cannot order index " + index + " of table " + table + ": sort order '" +
                             sortOrder + "' is not supported");
}

int KeyOrder::compare(const std::uint8_t* a, const std::uint8_t* b) const {
  for (const FieldInfo& f : m_fields) {
    const std::uint8_t* pa = a + f.offset;
    const std::uint8_t* pb = b + f.offset;
    int c;
    if (f.type == FieldType::kAlpha) {
      const std::string_view ta = alphaText(pa, f.width), tb = alphaText(pb, f.width);
      c = m_collation ? m_collation->compare(ta, tb) : ta.compare(tb);
    } else {
      c = std::memcmp(pa, pb, static_cast<std::size_t>(f.width));
    }
    if (c != 0) return c < 0 ? -1 : 1;
  }
  return 0;
}

}  // namespace pdx
