// Field values as bytes inside a record, for the fixture builder.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "data/variant.h"
#include "support/paradox_builder.h"

namespace fixture::detail {

inline void putLe16(char* p, unsigned v) {
  p[0] = static_cast<char>(v & 0xFF);
  p[1] = static_cast<char>((v >> 8) & 0xFF);
}
inline void putLe32(char* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
// A u16 as index entries hold it: big-endian with the top bit flipped.
inline void putFlipped16(char* p, unsigned v) {
  const unsigned x = (v & 0xFFFF) ^ 0x8000;
  p[0] = static_cast<char>(x >> 8);
  p[1] = static_cast<char>(x & 0xFF);
}

// Descriptor type byte of a field type (0x01 alpha ... 0x18 bytes).
std::uint8_t typeCode(pdx::FieldType type);
// Descriptor size byte: the alpha/memo/bytes size, 17-byte fields' decimals,
// the fixed width of the others.
int descriptorSize(const Column& column);
// Bytes the field takes in a record.
int fieldWidth(const Column& column);
bool isBlobType(pdx::FieldType type);

// Day number of a date: 1 is 0001-01-01, proleptic Gregorian.
std::int32_t paradoxDay(int year, int month, int day);
// Paradox day number of the product's day value (days since 1899-12-30).
std::int32_t paradoxDayOf(double productDays);

// Where a blob that does not fit its leader went.
struct BlobRef {
  std::uint32_t offset = 0;  // block offset | slot (0xFF for a single-blob block)
  std::uint16_t modification = 0;
};
class BlobSink {
 public:
  virtual ~BlobSink() = default;
  virtual BlobRef store(std::string_view blob) = 0;
};

// Writes `value` for `column` into `out` (fieldWidth bytes, zero on entry);
// a blank is all zero but for a BCD's decimals in its first byte.
// Blobs longer than the leader go to `blobs`, which must then be non-null.
// Throws std::invalid_argument naming the column for a value of the wrong
// type or out of range.
void encodeValue(const Column& column, const Variant& value, int codePage, char* out,
                 BlobSink* blobs);

}  // namespace fixture::detail
