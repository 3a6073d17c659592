#include "paradox/fingerprint.h"

#include <cstring>
#include <vector>

#include "paradox/errors.h"
#include "paradox/memo.h"
#include "paradox/table_impl.h"

namespace pdx {

namespace {

constexpr std::uint64_t kPrime1 = 0x9E3779B185EBCA87ull;
constexpr std::uint64_t kPrime2 = 0xC2B2AE3D27D4EB4Full;

constexpr std::uint64_t rotl(std::uint64_t x, int r) {
  return (x << r) | (x >> (64 - r));
}

// MurmurHash3's finalizer: every input bit reaches every output bit.
constexpr std::uint64_t mix(std::uint64_t x) {
  x ^= x >> 33;
  x *= 0xFF51AFD7ED558CCDull;
  x ^= x >> 33;
  x *= 0xC4CEB9FE1A85EC53ull;
  x ^= x >> 33;
  return x;
}

const TableImpl& implOf(const Table& table) {
  const auto* impl = dynamic_cast<const TableImpl*>(&table);
  if (!impl) throw EDBEngineError(EDBEngineError::Code::kState, "Not a table of this engine");
  return *impl;
}

// The spans of a record hashed as bytes (everything but the blob fields) and
// the blob fields, hashed by value.
struct RecordLayout {
  struct Span {
    int offset, width;
  };
  std::vector<Span> bytes;
  std::vector<int> blobs;  // field numbers
  int recordSize = 0;
};

RecordLayout layoutOf(const TableImpl& t) {
  RecordLayout l;
  l.recordSize = t.header().recordSize;
  int from = 0;
  for (int i = 0; i < t.fieldCount(); ++i) {
    const FieldInfo& f = t.fields()[static_cast<std::size_t>(i)];
    if (!isBlobType(f.type)) continue;
    if (f.offset > from) l.bytes.push_back({from, f.offset - from});
    from = f.offset + f.width;
    l.blobs.push_back(i);
  }
  if (l.recordSize > from) l.bytes.push_back({from, l.recordSize - from});
  return l;
}

Digest digestOf(const TableImpl& t, const RecordLayout& l) {
  Hasher h;
  const std::uint8_t* record = t.recordBytes();
  for (const RecordLayout::Span& s : l.bytes)
    h.add(record + s.offset, static_cast<std::size_t>(s.width));
  for (int field : l.blobs) {
    // A length first, so that two blobs cannot trade bytes between them.
    const std::string value = t.asBytes(field);
    h.addNumber(value.size());
    h.add(value);
  }
  return h.digest();
}

}  // namespace

std::string Digest::hex() const {
  static const char kDigits[] = "0123456789abcdef";
  std::string text(32, '0');
  for (int i = 0; i < 16; ++i) {
    text[static_cast<std::size_t>(15 - i)] = kDigits[(high >> (4 * i)) & 15];
    text[static_cast<std::size_t>(31 - i)] = kDigits[(low >> (4 * i)) & 15];
  }
  return text;
}

bool Digest::fromHex(std::string_view text, Digest& out) {
  if (text.size() != 32) return false;
  Digest d;
  for (std::size_t i = 0; i < 32; ++i) {
    const char c = text[i];
    int v = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (v < 0) return false;
    std::uint64_t& half = i < 16 ? d.high : d.low;
    half = (half << 4) | static_cast<std::uint64_t>(v);
  }
  out = d;
  return true;
}

Hasher::Hasher(std::uint64_t seed) : m_a(seed ^ kPrime1), m_b(rotl(seed, 29) + kPrime2) {}

void Hasher::block(std::uint64_t word) {
  m_a = rotl(m_a ^ (word * kPrime2), 31) * kPrime1;
  m_b = rotl(m_b + word, 27) * kPrime2 + m_a;
}

void Hasher::add(const void* data, std::size_t length) {
  const auto* p = static_cast<const std::uint8_t*>(data);
  m_length += length;
  while (length > 0 && m_tailBytes != 0) {
    m_tail |= static_cast<std::uint64_t>(*p++) << (8 * m_tailBytes);
    --length;
    if (++m_tailBytes == 8) {
      block(m_tail);
      m_tail = 0;
      m_tailBytes = 0;
    }
  }
  for (; length >= 8; p += 8, length -= 8) {
    std::uint64_t word = 0;
    for (int i = 0; i < 8; ++i) word |= static_cast<std::uint64_t>(p[i]) << (8 * i);
    block(word);
  }
  for (; length > 0; --length) m_tail |= static_cast<std::uint64_t>(*p++) << (8 * m_tailBytes++);
}

void Hasher::addNumber(std::uint64_t value) {
  std::uint8_t bytes[8];
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
  add(bytes, sizeof bytes);
}

Digest Hasher::digest() const {
  std::uint64_t a = m_a, b = m_b;
  if (m_tailBytes > 0) {
    a = rotl(a ^ (m_tail * kPrime2), 31) * kPrime1;
    b = rotl(b + m_tail, 27) * kPrime2 + a;
  }
  return {mix(a ^ m_length), mix(b + mix(m_length ^ kPrime1))};
}

Digest recordDigest(const Table& table) {
  const TableImpl& t = implOf(table);
  return digestOf(t, layoutOf(t));
}

RecordsFingerprint fingerprintRecords(const std::filesystem::path& dbFile, int fallbackCodePage) {
  OpenOptions options;
  options.readOnly = true;
  options.fallbackCodePage = fallbackCodePage;
  options.mapBlocks = false;  // one pass: positioned reads cost less than mappings
  const std::unique_ptr<Table> table = Table::open(dbFile, options);
  const TableImpl& t = implOf(*table);
  const RecordLayout layout = layoutOf(t);
  // Sums: a multiset of record hashes, whatever their order.
  std::uint64_t high = 0, low = 0, records = 0;
  for (table->first(); !table->eof(); table->next()) {
    const Digest d = digestOf(t, layout);
    high += d.high;
    low += d.low;
    ++records;
  }
  Hasher h(records);
  for (const FieldInfo& f : t.fields()) {
    h.addNumber(f.name.size());
    h.add(f.name);
    h.addNumber((static_cast<std::uint64_t>(static_cast<unsigned char>(f.type)) << 48) |
                (static_cast<std::uint64_t>(static_cast<std::uint16_t>(f.size)) << 32) |
                static_cast<std::uint32_t>(f.width));
  }
  h.addNumber(high);
  h.addNumber(low);
  return {records, h.digest()};
}

}  // namespace pdx
