// The primary-key lookup of an index rewrite after deletes (index.cpp):
// which block each surviving record is in now.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace pdx {

// Primary keys of fixed width mapped to the block holding their record: an
// open-addressing table over one flat buffer of keys. It is probed once for
// every entry of every maintained secondary index, most of them entries of
// deleted records after a mass delete: a bit filter of 16 bits per key,
// small enough to stay in the processor's cache, turns most of those away
// before the table (one cache miss each) is touched. Keys of up to eight
// bytes (the usual auto-increment or number key) are hashed and compared as
// one word, with no call per entry.
class KeyBlocks {
 public:
  KeyBlocks(int width, std::uint64_t expected) : m_width(static_cast<std::size_t>(width)) {
    m_keys.reserve(static_cast<std::size_t>(expected) * m_width);
    m_blocks.reserve(static_cast<std::size_t>(expected));
  }
  void add(const std::uint8_t* key, int block) {
    m_keys.insert(m_keys.end(), key, key + m_width);
    m_blocks.push_back(block);
  }
  std::size_t size() const { return m_blocks.size(); }
  void seal() {
    std::size_t cap = 16;
    while (cap < 4 * m_blocks.size()) cap *= 2;
    m_mask = cap - 1;
    m_slots.assign(cap, Slot{});
    m_filterMask = 4 * cap - 1;  // 16 bits a key
    m_filter.assign((m_filterMask + 1) / 64, 0);
    for (std::size_t i = 0; i < m_blocks.size(); ++i) {
      const std::uint8_t* key = m_keys.data() + i * m_width;
      const std::uint64_t h = small() ? quickMix(word(key)) : hash(key);
      const std::size_t bit = filterBit(h);
      m_filter[bit / 64] |= std::uint64_t{1} << (bit % 64);
      std::size_t at = h & m_mask;
      while (m_slots[at].index != 0) at = (at + 1) & m_mask;
      m_slots[at] = {static_cast<std::uint32_t>(i + 1), static_cast<std::uint32_t>(h >> 32)};
    }
  }
  // The block of `key`, 0 when absent.
  int find(const std::uint8_t* key) const {
    if (small()) {
      const std::uint64_t w = word(key);
      return probe(quickMix(w), [&](const std::uint8_t* k) { return word(k) == w; });
    }
    return probe(hash(key),
                 [&](const std::uint8_t* k) { return std::memcmp(k, key, m_width) == 0; });
  }

 private:
  struct Slot {
    std::uint32_t index = 0;  // entry + 1; 0 for an empty slot
    std::uint32_t tag = 0;    // high bits of the hash
  };
  bool small() const { return m_width <= 8; }
  std::size_t filterBit(std::uint64_t h) const { return (h >> 20) & m_filterMask; }
  // The block of the key hashed to `h` for which `same(stored key)` holds.
  template <typename Same>
  int probe(std::uint64_t h, Same same) const {
    const std::size_t bit = filterBit(h);
    if (((m_filter[bit / 64] >> (bit % 64)) & 1) == 0) return 0;
    const auto tag = static_cast<std::uint32_t>(h >> 32);
    for (std::size_t at = h & m_mask; m_slots[at].index != 0; at = (at + 1) & m_mask) {
      const Slot& slot = m_slots[at];
      if (slot.tag != tag) continue;
      const std::size_t i = slot.index - 1;
      if (same(m_keys.data() + i * m_width)) return m_blocks[i];
    }
    return 0;
  }
  // A key of up to eight bytes as one word (unused bytes zero); loads of a
  // fixed size, so that no copy routine is called per key.
  std::uint64_t word(const std::uint8_t* key) const {
    switch (m_width) {
      case 4: {
        std::uint32_t v;
        std::memcpy(&v, key, 4);
        return v;
      }
      case 8: {
        std::uint64_t v;
        std::memcpy(&v, key, 8);
        return v;
      }
      default: {
        std::uint64_t w = 0;
        for (std::size_t i = 0; i < m_width; ++i) w = (w << 8) | key[i];
        return w;
      }
    }
  }
  static std::uint64_t mix(std::uint64_t h) {
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 33;
    return h;
  }
  // One multiply: the high half of the product depends on every bit of the
  // word; folding it down spreads it over the bits the table and filter use.
  static std::uint64_t quickMix(std::uint64_t w) {
    const std::uint64_t h = w * 0x9e3779b97f4a7c15ull;
    return h ^ (h >> 32);
  }
  std::uint64_t hash(const std::uint8_t* key) const {
    std::uint64_t h = 1469598103934665603ull;
    for (std::size_t i = 0; i < m_width; ++i) h = (h ^ key[i]) * 1099511628211ull;
    return mix(h);
  }
  std::size_t m_width;
  std::size_t m_mask = 0;
  std::size_t m_filterMask = 0;
  std::vector<std::uint64_t> m_filter;
  std::vector<std::uint8_t> m_keys;
  std::vector<int> m_blocks;
  std::vector<Slot> m_slots;
};

}  // namespace pdx
