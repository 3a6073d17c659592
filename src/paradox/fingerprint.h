// Fingerprints: whether a table still holds the same records, or a file the
// same bytes, as when they were measured, without keeping a copy.
//
// A table's fingerprint is its record count and a 128-bit hash of its
// records' contents: each record's bytes with every blob field (memo,
// formatted memo, blob, OLE, graphic) taken by its whole value rather than by
// its pointer into the .MB, hashed alone; the table's hash is the sum of
// those hashes with the field list (names, types, sizes) mixed in. So it
// does not depend on the order of the records, on the blocks they sit in, on
// the header's counters or on the index files, all of which the product may
// rewrite when it merely opens a table; a record changed, added or removed,
// a memo text edited or a field added changes it. Not a defence against a
// chosen collision: a record of the carry-forward, not a signature.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace pdx {

class Table;

struct Digest {
  std::uint64_t high = 0, low = 0;
  bool operator==(const Digest&) const = default;
  // 32 lower-case hex digits.
  std::string hex() const;
  // From hex(); false when `text` is not 32 hex digits.
  static bool fromHex(std::string_view text, Digest& out);
};

// A streaming hash of bytes: four independent 64-bit lanes over 32-byte
// stripes (so that they run side by side), eight bytes each, then mixed.
class Hasher {
 public:
  explicit Hasher(std::uint64_t seed = 0);
  void add(const void* data, std::size_t length);
  void add(std::string_view bytes) { add(bytes.data(), bytes.size()); }
  void addNumber(std::uint64_t value);
  Digest digest() const;

 private:
  static constexpr std::size_t kStripe = 32;
  void stripe(const std::uint8_t* p);
  std::uint64_t m_lane[4];
  std::uint64_t m_length = 0;
  std::uint8_t m_buffer[kStripe];
  std::size_t m_buffered = 0;
};

struct RecordsFingerprint {
  std::uint64_t records = 0;
  Digest hash;
  bool operator==(const RecordsFingerprint&) const = default;
};

// The fingerprint of the table whose data file is `dbFile`, opened read-only
// (texts in `fallbackCodePage` when the header names none; the hash is of
// the stored bytes either way). Throws EDBEngineError as Table::open and the
// reads do (missing file, not a table, damage, a blob file that does not fit
// its pointers).
RecordsFingerprint fingerprintRecords(const std::filesystem::path& dbFile,
                                      int fallbackCodePage = 1254);

// The hash fingerprintRecords adds for the current record of `table` (the
// record being edited or appended included; an auto-increment field is
// hashed as it stands, so for a new record the value post() gives it is
// not in it). Throws EDBEngineError(kState) without a current record.
Digest recordDigest(const Table& table);

}  // namespace pdx
