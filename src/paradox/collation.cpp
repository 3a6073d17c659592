#include "paradox/collation.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "paradox/names.h"

namespace pdx {

struct Weight {
  std::uint8_t primary;
  std::uint8_t secondary;  // 0: none
  std::uint8_t expands;    // sorts as itself followed by a second letter
};

struct CollationTable {
  const char* name;
  Weight weights[256];
  std::uint8_t second[256];  // second letter of an expanding byte
  std::uint8_t upper[256];
};

namespace {

const CollationTable kTables[] = {
#include "paradox/collation_tables.inc"
};

const std::uint8_t kAsciiUpper[256] = {
#include "paradox/collation_ascii.inc"
};

// Walks a text as a sequence of weights, an expanding byte giving two.
class WeightCursor {
 public:
  WeightCursor(const CollationTable& t, std::string_view s) : m_table(t), m_text(s) {}

  // The next weight, or nullptr at the end. firstOfPair is set while the
  // weight is the first half of an expansion.
  const Weight* next(bool& firstOfPair) {
    if (m_pending != nullptr) {
      const Weight* w = m_pending;
      m_pending = nullptr;
      firstOfPair = false;
      return w;
    }
    firstOfPair = false;
    if (m_pos >= m_text.size()) return nullptr;
    const auto byte = static_cast<std::uint8_t>(m_text[m_pos++]);
    const Weight* w = &m_table.weights[byte];
    if (w->expands) {
      m_pending = &m_table.weights[m_table.second[byte]];
      firstOfPair = true;
    }
    return w;
  }

 private:
  const CollationTable& m_table;
  std::string_view m_text;
  std::size_t m_pos = 0;
  const Weight* m_pending = nullptr;
};

int sign(int v) {
  return (v > 0) - (v < 0);
}

}  // namespace

struct CollationRegistry {
  std::vector<std::unique_ptr<Collation>> collations;
  CollationRegistry() {
    collations.emplace_back(new Collation("ascii", nullptr));
    for (const CollationTable& t : kTables) collations.emplace_back(new Collation(t.name, &t));
  }
};

const Collation* Collation::forSortOrder(std::string_view sortOrderName) {
  static const CollationRegistry registry;
  for (const auto& c : registry.collations) {
    if (sameName(c->name(), sortOrderName)) return c.get();
  }
  return nullptr;
}

int Collation::compare(std::string_view a, std::string_view b) const {
  if (m_table == nullptr) {
    const int c = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
    return c != 0 ? sign(c)
                  : sign(static_cast<int>(a.size() > b.size()) -
                         static_cast<int>(a.size() < b.size()));
  }
  WeightCursor left(*m_table, a), right(*m_table, b);
  int secondary = 0, expansion = 0;
  while (true) {
    bool leftPair = false, rightPair = false;
    const Weight* l = left.next(leftPair);
    const Weight* r = right.next(rightPair);
    if (l == nullptr || r == nullptr) {
      if (l != nullptr) return 1;
      if (r != nullptr) return -1;
      break;
    }
    if (l->primary != r->primary) return sign(l->primary - r->primary);
    if (l->secondary != r->secondary) {
      if (secondary == 0) secondary = sign(l->secondary - r->secondary);
    } else if (leftPair != rightPair && expansion == 0) {
      // An expanding letter sorts after the two letters it stands for.
      expansion = leftPair ? 1 : -1;
    }
  }
  return secondary != 0 ? secondary : expansion;
}

std::string Collation::upper(std::string_view s) const {
  std::string out(s);
  for (char& c : out) {
    const auto byte = static_cast<std::uint8_t>(c);
    c = static_cast<char>(m_table != nullptr ? m_table->upper[byte] : kAsciiUpper[byte]);
  }
  return out;
}

}  // namespace pdx
