// Encoding and decoding of single field values inside a record.
// Encodings: FORMAT.md, "Field values".
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "paradox/coding.h"
#include "paradox/table.h"

namespace pdx {

// Days from 0001-01-01 (day 1) to the date-time epoch 1899-12-30.
inline constexpr std::int64_t kDateDelta = 693594;
inline constexpr double kMsPerDay = 86400000.0;

bool valueIsBlank(const FieldInfo& field, const std::uint8_t* p);

// Sign-flipped big-endian integers (S, I, +, D, T). Blank reads as 0.
std::int64_t decodeInt(const std::uint8_t* p, int width);
void encodeInt(std::uint8_t* p, int width, std::int64_t value);
// Order-preserving doubles (N, $, @). Inline: they run for every number of
// every record a pass reads or writes.
inline double decodeDouble(const std::uint8_t* p) {
  std::uint64_t bits = getBE64(p);
  if (bits == 0) return 0.0;
  if (bits & (std::uint64_t{1} << 63))
    bits &= ~(std::uint64_t{1} << 63);
  else
    bits = ~bits;
  double d;
  std::memcpy(&d, &bits, 8);
  return d;
}
inline void encodeDouble(std::uint8_t* p, double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, 8);
  if (bits & (std::uint64_t{1} << 63))
    bits = ~bits;
  else
    bits |= std::uint64_t{1} << 63;
  putBE64(p, bits);
}

// BCD: the decimal text with exactly `decimals` decimals ("-40.000000"); a
// nibble above 9 is shown as its lowercase hex letter.
std::string bcdToText(const std::uint8_t* p, int decimals);
double bcdToDouble(const std::uint8_t* p, int decimals);
// Encodes a decimal text ("-12.5"); false when it is not a number.
bool bcdFromText(std::uint8_t* p, int decimals, const std::string& text);

// The general format with up to 15 significant digits: 2005 -> "2005".
std::string formatGeneral(double value);

// Proleptic Gregorian calendar; day 1 is 0001-01-01.
void civilFromDay(std::int64_t day, std::int64_t& year, int& month, int& dayOfMonth);
std::int64_t dayFromCivil(std::int64_t year, int month, int dayOfMonth);

// The value of a non-blob field as the product would show it.
std::string valueToText(const FieldInfo& field, const std::uint8_t* p);
// The value as a date-time number (days since 1899-12-30 for D and @,
// fraction of a day for T) or plain number; blank reads as 0.
double valueToDouble(const FieldInfo& field, const std::uint8_t* p);
// Stores `value` in a numeric, date or time field. False for other types.
bool doubleToValue(const FieldInfo& field, std::uint8_t* p, double value);

}  // namespace pdx
