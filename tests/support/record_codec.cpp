#include "support/record_codec.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "support/text_codec.h"

namespace fixture::detail {
namespace {

using T = pdx::FieldType;

[[noreturn]] void wrongType(const Column& column, const char* what) {
  throw std::invalid_argument("column " + column.name + ": " + what);
}

// Big-endian, top bit flipped: the S, I, +, D and T encodings.
void putSigned(char* out, std::int64_t v, int bytes) {
  const std::uint64_t bias = std::uint64_t{1} << (8 * bytes - 1);
  std::uint64_t x = static_cast<std::uint64_t>(v) ^ bias;
  for (int i = bytes - 1; i >= 0; --i) {
    out[i] = static_cast<char>(x & 0xFF);
    x >>= 8;
  }
}

void putDouble(char* out, double v) {
  if (v == 0) v = 0;  // -0 is stored as 0
  std::uint64_t bits = 0;
  std::memcpy(&bits, &v, sizeof bits);
  if (std::signbit(v)) {
    bits = ~bits;
  } else {
    bits |= std::uint64_t{1} << 63;
  }
  for (int i = 7; i >= 0; --i) {
    out[i] = static_cast<char>(bits & 0xFF);
    bits >>= 8;
  }
}

std::int64_t asInteger(const Column& c, const Variant& v) {
  if (const auto* i = std::get_if<std::int64_t>(&v.value)) return *i;
  if (const auto* d = std::get_if<double>(&v.value)) {
    if (std::floor(*d) != *d) wrongType(c, "expects a whole number");
    return static_cast<std::int64_t>(*d);
  }
  wrongType(c, "expects an integer");
}

double asDouble(const Column& c, const Variant& v) {
  if (const auto* d = std::get_if<double>(&v.value)) return *d;
  if (const auto* i = std::get_if<std::int64_t>(&v.value)) return static_cast<double>(*i);
  wrongType(c, "expects a number");
}

double asDays(const Column& c, const Variant& v) {
  if (const auto* d = std::get_if<Variant::DateTime>(&v.value)) return d->days;
  wrongType(c, "expects a date-time");
}

std::string asRawBytes(const Column& c, const Variant& v, int codePage, bool text) {
  if (const auto* b = std::get_if<Variant::Bytes>(&v.value)) return b->data;
  if (const auto* s = std::get_if<std::string>(&v.value))
    return text ? encodeText(*s, codePage) : *s;
  wrongType(c, "expects text or bytes");
}

void putBcd(const Column& c, const Variant& v, char* out) {
  const int decimals = c.size;
  std::string text;
  if (const auto* s = std::get_if<std::string>(&v.value)) {
    text = *s;
  } else {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, asDouble(c, v));
    text = buf;
  }
  bool negative = false;
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  std::string whole, fraction;
  bool point = false;
  for (; i < text.size(); ++i) {
    const char ch = text[i];
    if (ch == '.') {
      if (point) wrongType(c, "malformed decimal text");
      point = true;
    } else if (ch >= '0' && ch <= '9') {
      (point ? fraction : whole) += ch;
    } else {
      wrongType(c, "malformed decimal text");
    }
  }
  fraction.resize(static_cast<std::size_t>(decimals), '0');
  while (whole.size() > 1 && whole[0] == '0') whole.erase(0, 1);
  const std::string digits = whole + fraction;
  if (digits.size() > 32) wrongType(c, "too many digits for a BCD field");
  if (digits.find_first_not_of('0') == std::string::npos) negative = false;
  unsigned char nibbles[32] = {};
  const std::size_t start = 32 - digits.size();
  for (std::size_t k = 0; k < digits.size(); ++k) {
    nibbles[start + k] = static_cast<unsigned char>(digits[k] - '0');
  }
  out[0] = static_cast<char>((negative ? 0x40 : 0xC0) | decimals);
  for (int k = 0; k < 16; ++k) {
    unsigned hi = nibbles[2 * k], lo = nibbles[2 * k + 1];
    if (negative) {
      hi ^= 0xF;
      lo ^= 0xF;
    }
    out[1 + k] = static_cast<char>((hi << 4) | lo);
  }
}

void putBlob(const Column& c, const Variant& v, int codePage, char* out, BlobSink* blobs) {
  const bool text = c.type == T::kMemo || c.type == T::kFmtMemo;
  const std::string blob = asRawBytes(c, v, codePage, text);
  if (blob.empty()) return;  // an empty blob is blank
  const std::size_t leader = static_cast<std::size_t>(c.size - 10);
  BlobRef ref;
  if (blob.size() > leader) {
    if (blobs == nullptr) wrongType(c, "blob needs a memo file");
    ref = blobs->store(blob);
  }
  // A graphic's leader copies the image after its 8-byte prefix.
  const std::size_t from =
      (c.type == T::kGraphic && blob.size() > leader && blob.size() > 8) ? 8 : 0;
  const std::size_t n = std::min(leader, blob.size() - from);
  std::memcpy(out, blob.data() + from, n);
  char* ptr = out + leader;
  putLe32(ptr, ref.offset);
  putLe32(ptr + 4, static_cast<std::uint32_t>(blob.size()));
  putLe16(ptr + 8, ref.modification);
}

constexpr std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

}  // namespace

std::uint8_t typeCode(pdx::FieldType type) {
  switch (type) {
    case T::kAlpha:
      return 0x01;
    case T::kDate:
      return 0x02;
    case T::kShort:
      return 0x03;
    case T::kLong:
      return 0x04;
    case T::kMoney:
      return 0x05;
    case T::kNumber:
      return 0x06;
    case T::kLogical:
      return 0x09;
    case T::kMemo:
      return 0x0C;
    case T::kBlob:
      return 0x0D;
    case T::kFmtMemo:
      return 0x0E;
    case T::kOle:
      return 0x0F;
    case T::kGraphic:
      return 0x10;
    case T::kTime:
      return 0x14;
    case T::kTimestamp:
      return 0x15;
    case T::kAutoInc:
      return 0x16;
    case T::kBcd:
      return 0x17;
    case T::kBytes:
      return 0x18;
  }
  throw std::invalid_argument("unknown field type");
}

bool isBlobType(pdx::FieldType type) {
  return type == T::kMemo || type == T::kBlob || type == T::kFmtMemo || type == T::kOle ||
         type == T::kGraphic;
}

int fieldWidth(const Column& c) {
  switch (c.type) {
    case T::kAlpha:
    case T::kBytes:
    case T::kMemo:
    case T::kBlob:
    case T::kFmtMemo:
    case T::kOle:
    case T::kGraphic:
      return c.size;
    case T::kShort:
      return 2;
    case T::kLogical:
      return 1;
    case T::kMoney:
    case T::kNumber:
    case T::kTimestamp:
      return 8;
    case T::kBcd:
      return 17;
    default:
      return 4;
  }
}

int descriptorSize(const Column& c) {
  return c.type == T::kBcd ? c.size : fieldWidth(c);
}

std::int32_t paradoxDay(int year, int month, int day) {
  return static_cast<std::int32_t>(
      daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
      daysFromCivil(1, 1, 1) + 1);
}

std::int32_t paradoxDayOf(double productDays) {
  return paradoxDay(1899, 12, 30) + static_cast<std::int32_t>(std::floor(productDays));
}

void encodeValue(const Column& c, const Variant& v, int codePage, char* out, BlobSink* blobs) {
  if (v.isNull()) {
    // A blank BCD keeps its decimals in the first byte, as the BDE writes it.
    if (c.type == T::kBcd) out[0] = static_cast<char>(c.size);
    return;
  }
  switch (c.type) {
    case T::kAlpha: {
      const auto* s = std::get_if<std::string>(&v.value);
      if (s == nullptr) wrongType(c, "expects text");
      const std::string bytes = encodeText(*s, codePage);
      std::memcpy(out, bytes.data(), std::min(bytes.size(), static_cast<std::size_t>(c.size)));
      return;
    }
    case T::kShort: {
      const std::int64_t i = asInteger(c, v);
      if (i < -32767 || i > 32767) wrongType(c, "value out of the short range");
      putSigned(out, i, 2);
      return;
    }
    case T::kLong:
    case T::kAutoInc: {
      const std::int64_t i = asInteger(c, v);
      if (i < -2147483647 || i > 2147483647) wrongType(c, "value out of the long range");
      if (c.type == T::kAutoInc && i < 1) wrongType(c, "auto-increment values start at 1");
      putSigned(out, i, 4);
      return;
    }
    case T::kMoney:
    case T::kNumber:
      putDouble(out, asDouble(c, v));
      return;
    case T::kLogical: {
      const auto* b = std::get_if<bool>(&v.value);
      if (b == nullptr) wrongType(c, "expects a boolean");
      out[0] = static_cast<char>(*b ? 0x81 : 0x80);
      return;
    }
    case T::kDate:
      putSigned(out, paradoxDayOf(asDays(c, v)), 4);
      return;
    case T::kTime: {
      std::int64_t ms = 0;
      if (const auto* i = std::get_if<std::int64_t>(&v.value)) {
        ms = *i;
      } else {
        const double days = asDays(c, v);
        ms = std::llround((days - std::floor(days)) * 86400000.0);
      }
      if (ms < 0 || ms >= 86400000) wrongType(c, "time out of the day");
      putSigned(out, ms, 4);
      return;
    }
    case T::kTimestamp: {
      const double days = asDays(c, v);
      const double ms = std::round((days - std::floor(days)) * 86400000.0);
      putDouble(out, static_cast<double>(paradoxDayOf(days)) * 86400000.0 + ms);
      return;
    }
    case T::kBcd:
      putBcd(c, v, out);
      return;
    case T::kBytes: {
      const std::string bytes = asRawBytes(c, v, codePage, false);
      if (bytes.size() > static_cast<std::size_t>(c.size)) wrongType(c, "too many bytes");
      std::memcpy(out, bytes.data(), bytes.size());
      return;
    }
    default:
      putBlob(c, v, codePage, out, blobs);
      return;
  }
}

}  // namespace fixture::detail
