#include "paradox/values.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "paradox/coding.h"

namespace pdx {

bool valueIsBlank(const FieldInfo& field, const std::uint8_t* p) {
  switch (field.type) {
    case FieldType::kAlpha:
      return p[0] == 0;
    case FieldType::kBcd:
      return (p[0] & 0x40) == 0;
    default:
      return allZero(p, field.width);
  }
}

std::int64_t decodeInt(const std::uint8_t* p, int width) {
  const std::uint64_t raw = getBE(p, width);
  if (raw == 0) return 0;
  const std::uint64_t sign = std::uint64_t{1} << (8 * width - 1);
  const std::uint64_t v = raw ^ sign;  // two's complement of `width` bytes
  if (v & sign) return static_cast<std::int64_t>(v | ~((sign << 1) - 1));
  return static_cast<std::int64_t>(v);
}

void encodeInt(std::uint8_t* p, int width, std::int64_t value) {
  const std::uint64_t sign = std::uint64_t{1} << (8 * width - 1);
  putBE(p, width, (static_cast<std::uint64_t>(value) ^ sign));
}

namespace {

int nibble(const std::uint8_t* p, int i) {  // digit i of 32, after byte 0
  const std::uint8_t b = p[1 + i / 2];
  return (i % 2 == 0) ? (b >> 4) : (b & 0x0F);
}

}  // namespace

std::string bcdToText(const std::uint8_t* p, int decimals) {
  if (decimals > 32) decimals = 32;
  const bool negative = (p[0] & 0x80) == 0;
  std::string intPart;
  std::string fracPart;
  for (int i = 0; i < 32; ++i) {
    int d = nibble(p, i);
    if (negative) d = 15 - d;
    const char c = static_cast<char>(d < 10 ? '0' + d : 'a' + d - 10);
    if (i < 32 - decimals) {
      if (!intPart.empty() || d != 0) intPart += c;
    } else {
      fracPart += c;
    }
  }
  if (intPart.empty()) intPart = "0";
  std::string out = negative ? "-" : "";
  out += intPart;
  if (decimals > 0) out += "." + fracPart;
  return out;
}

double bcdToDouble(const std::uint8_t* p, int decimals) {
  const std::string text = bcdToText(p, decimals);
  double v = 0;
  std::from_chars(text.data(), text.data() + text.size(), v);
  return v;
}

bool bcdFromText(std::uint8_t* p, int decimals, const std::string& text) {
  if (decimals > 32) return false;
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  std::string intDigits, fracDigits;
  bool point = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '.' && !point) {
      point = true;
    } else if (c >= '0' && c <= '9') {
      (point ? fracDigits : intDigits) += c;
    } else {
      return false;
    }
  }
  if (intDigits.empty() && fracDigits.empty()) return false;
  while (intDigits.size() > 1 && intDigits[0] == '0') intDigits.erase(0, 1);
  const int intRoom = 32 - decimals;
  if (static_cast<int>(intDigits.size()) > intRoom && intDigits != "0") return false;
  fracDigits.resize(static_cast<std::size_t>(decimals), '0');  // cut or pad
  std::string digits(
      static_cast<std::size_t>(intRoom) - std::min<std::size_t>(intDigits.size(), intRoom), '0');
  digits += intDigits.substr(intDigits.size() > static_cast<std::size_t>(intRoom) ? 1 : 0);
  digits += fracDigits;
  if (digits.find_first_not_of('0') == std::string::npos) negative = false;
  std::memset(p, 0, 17);
  p[0] = static_cast<std::uint8_t>((negative ? 0x00 : 0x80) | 0x40 | decimals);
  for (int k = 0; k < 32; ++k) {
    int d = digits[static_cast<std::size_t>(k)] - '0';
    if (negative) d = 15 - d;
    p[1 + k / 2] |= static_cast<std::uint8_t>(k % 2 == 0 ? d << 4 : d);
  }
  return true;
}

std::string formatGeneral(double value) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.15g", value);
  return buf;
}

// Howard Hinnant's civil-from-days, shifted so that day 1 is 0001-01-01.
void civilFromDay(std::int64_t day, std::int64_t& year, int& month, int& dayOfMonth) {
  std::int64_t z = day - 1 + 306;  // days since 0000-03-01
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  dayOfMonth = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = yoe + era * 400 + (month <= 2 ? 1 : 0);
}

std::int64_t dayFromCivil(std::int64_t year, int month, int dayOfMonth) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t yoe = year - era * 400;
  const std::int64_t mp = month > 2 ? month - 3 : month + 9;
  const std::int64_t doy = (153 * mp + 2) / 5 + dayOfMonth - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 306 + 1;
}

namespace {

std::string dateText(std::int64_t day) {
  std::int64_t y;
  int m, d;
  civilFromDay(day, y, m, d);
  char buf[48];
  std::snprintf(buf, sizeof buf, "%02d.%02d.%04lld", d, m, static_cast<long long>(y));
  return buf;
}

std::string timeText(std::int64_t ms) {
  char buf[32];
  const std::int64_t s = ms / 1000;
  std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", static_cast<long long>(s / 3600),
                static_cast<long long>(s / 60 % 60), static_cast<long long>(s % 60));
  return buf;
}

}  // namespace

std::string valueToText(const FieldInfo& field, const std::uint8_t* p) {
  if (valueIsBlank(field, p)) return {};
  switch (field.type) {
    case FieldType::kAlpha: {
      const void* nul = std::memchr(p, 0, static_cast<std::size_t>(field.width));
      const std::size_t n =
          nul ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(nul) - p)
              : static_cast<std::size_t>(field.width);
      return std::string(reinterpret_cast<const char*>(p), n);
    }
    case FieldType::kShort:
    case FieldType::kLong:
    case FieldType::kAutoInc:
      return std::to_string(decodeInt(p, field.width));
    case FieldType::kMoney:
    case FieldType::kNumber:
      return formatGeneral(decodeDouble(p));
    case FieldType::kLogical:
      return p[0] == 0x81 ? "True" : "False";
    case FieldType::kDate:
      return dateText(decodeInt(p, 4));
    case FieldType::kTime:
      return timeText(decodeInt(p, 4));
    case FieldType::kTimestamp: {
      const double ms = decodeDouble(p);
      if (!(std::fabs(ms) < 1e17)) return formatGeneral(ms);  // no calendar day
      const auto day = static_cast<std::int64_t>(std::floor(ms / kMsPerDay));
      return dateText(day) + " " + timeText(static_cast<std::int64_t>(ms - day * kMsPerDay));
    }
    case FieldType::kBcd:
      return bcdToText(p, field.size);
    default:
      return std::string(reinterpret_cast<const char*>(p), static_cast<std::size_t>(field.width));
  }
}

double valueToDouble(const FieldInfo& field, const std::uint8_t* p) {
  // The common case first; a blank number (all zero) decodes as 0 already.
  if (field.type == FieldType::kNumber || field.type == FieldType::kMoney) return decodeDouble(p);
  if (valueIsBlank(field, p)) return 0.0;
  switch (field.type) {
    case FieldType::kShort:
    case FieldType::kLong:
    case FieldType::kAutoInc:
      return static_cast<double>(decodeInt(p, field.width));
    case FieldType::kMoney:
    case FieldType::kNumber:
      return decodeDouble(p);
    case FieldType::kDate:
      return static_cast<double>(decodeInt(p, 4) - kDateDelta);
    case FieldType::kTime:
      return static_cast<double>(decodeInt(p, 4)) / kMsPerDay;
    case FieldType::kTimestamp:
      return decodeDouble(p) / kMsPerDay - static_cast<double>(kDateDelta);
    case FieldType::kLogical:
      return p[0] == 0x81 ? 1.0 : 0.0;
    case FieldType::kBcd:
      return bcdToDouble(p, field.size);
    default:
      return 0.0;
  }
}

bool doubleToValue(const FieldInfo& field, std::uint8_t* p, double value) {
  switch (field.type) {
    case FieldType::kShort:
    case FieldType::kLong:
    case FieldType::kAutoInc: {
      const double r = std::nearbyint(value);
      const double limit = field.width == 2 ? 32767.0 : 2147483647.0;
      if (!(r >= -limit && r <= limit)) return false;
      encodeInt(p, field.width, static_cast<std::int64_t>(r));
      return true;
    }
    case FieldType::kMoney:
    case FieldType::kNumber:
      if (!std::isfinite(value)) return false;
      encodeDouble(p, value);
      return true;
    case FieldType::kDate:
      if (!(std::fabs(value) < 3e6)) return false;  // beyond year 9999 either way
      encodeInt(p, 4, static_cast<std::int64_t>(std::floor(value)) + kDateDelta);
      return true;
    case FieldType::kTime: {
      if (!std::isfinite(value)) return false;
      const double frac = value - std::floor(value);
      encodeInt(p, 4, static_cast<std::int64_t>(std::llround(frac * kMsPerDay)));
      return true;
    }
    case FieldType::kTimestamp:
      if (!std::isfinite(value)) return false;
      encodeDouble(p, std::round((value + static_cast<double>(kDateDelta)) * kMsPerDay));
      return true;
    case FieldType::kBcd: {
      if (!std::isfinite(value)) return false;
      char buf[64];
      std::snprintf(buf, sizeof buf, "%.*f", field.size, value);
      return bcdFromText(p, field.size, buf);
    }
    case FieldType::kLogical:
      p[0] = value != 0.0 ? 0x81 : 0x80;
      return true;
    default:
      return false;
  }
}

}  // namespace pdx
