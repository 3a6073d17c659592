#include "paradox/fingerprint.h"

#include <algorithm>
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

// Little-endian, whatever the machine (a load on the usual ones).
std::uint64_t load64(const std::uint8_t* p) {
  std::uint64_t word = 0;
  for (int i = 0; i < 8; ++i) word |= static_cast<std::uint64_t>(p[i]) << (8 * i);
  return word;
}

std::uint64_t round(std::uint64_t lane, std::uint64_t word) {
  return rotl(lane + word * kPrime2, 31) * kPrime1;
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

Hasher::Hasher(std::uint64_t seed)
    : m_lane{seed + kPrime1 + kPrime2, seed + kPrime2, seed, seed - kPrime1} {}

void Hasher::stripe(const std::uint8_t* p) {
  for (int l = 0; l < 4; ++l) m_lane[l] = round(m_lane[l], load64(p + 8 * l));
}

void Hasher::add(const void* data, std::size_t length) {
  const auto* p = static_cast<const std::uint8_t*>(data);
  m_length += length;
  if (m_buffered > 0) {
    const std::size_t take = std::min(length, kStripe - m_buffered);
    std::memcpy(m_buffer + m_buffered, p, take);
    m_buffered += take;
    p += take;
    length -= take;
    if (m_buffered < kStripe) return;
    stripe(m_buffer);
    m_buffered = 0;
  }
  for (; length >= kStripe; p += kStripe, length -= kStripe) stripe(p);
  if (length > 0) std::memcpy(m_buffer, p, length);
  m_buffered = length;
}

void Hasher::addNumber(std::uint64_t value) {
  std::uint8_t bytes[8];
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
  add(bytes, sizeof bytes);
}

Digest Hasher::digest() const {
  std::uint64_t lane[4] = {m_lane[0], m_lane[1], m_lane[2], m_lane[3]};
  // The bytes of a last, partial stripe, zero-padded: the length, mixed in
  // below, tells them from real zeros.
  std::uint8_t last[kStripe] = {};
  std::memcpy(last, m_buffer, m_buffered);
  for (std::size_t i = 0; 8 * i < m_buffered; ++i) lane[i] = round(lane[i], load64(last + 8 * i));
  const std::uint64_t high =
      mix(rotl(lane[0], 1) + rotl(lane[1], 7) + rotl(lane[2], 12) + rotl(lane[3], 18) + m_length);
  const std::uint64_t low = mix((lane[0] ^ rotl(lane[2], 29)) * kPrime1 +
                                (lane[1] ^ rotl(lane[3], 37)) + mix(m_length ^ kPrime2));
  return {high, low};
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
