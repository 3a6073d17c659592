// Field value encodings, checked against values worked out by hand from the
// format (sign-flipped big-endian integers, order-preserving doubles, BCD
// nibbles) and the text forms the jobs rely on.
#include "paradox/values.h"

#include <gtest/gtest.h>

#include <cstring>

#include "dump.h"

namespace {

using pdx::FieldInfo;
using pdx::FieldType;

std::string hex(const std::uint8_t* p, int n) {
  static const char* d = "0123456789abcdef";
  std::string s;
  for (int i = 0; i < n; ++i) {
    s += d[p[i] >> 4];
    s += d[p[i] & 15];
  }
  return s;
}

struct IntCase {
  int width;
  std::int64_t value;
  const char* bytes;
};
class IntEncoding : public testing::TestWithParam<IntCase> {};

TEST_P(IntEncoding, RoundTripsWithTheSignBitFlipped) {
  const IntCase& c = GetParam();
  std::uint8_t buf[4] = {};
  pdx::encodeInt(buf, c.width, c.value);
  EXPECT_EQ(hex(buf, c.width), c.bytes);
  EXPECT_EQ(pdx::decodeInt(buf, c.width), c.value);
}

INSTANTIATE_TEST_SUITE_P(Values, IntEncoding,
                         testing::Values(IntCase{2, 1, "8001"}, IntCase{2, -1, "7fff"},
                                         IntCase{2, 0, "8000"}, IntCase{2, 32767, "ffff"},
                                         IntCase{2, -32767, "0001"}, IntCase{4, 40, "80000028"},
                                         IntCase{4, -40, "7fffffd8"},
                                         IntCase{4, 2147483647, "ffffffff"}));

struct DoubleCase {
  double value;
  const char* bytes;
};
class DoubleEncoding : public testing::TestWithParam<DoubleCase> {};

TEST_P(DoubleEncoding, PositiveSetsTheTopBitNegativeInvertsAll) {
  const DoubleCase& c = GetParam();
  std::uint8_t buf[8];
  pdx::encodeDouble(buf, c.value);
  EXPECT_EQ(hex(buf, 8), c.bytes);
  EXPECT_EQ(pdx::decodeDouble(buf), c.value);
}

INSTANTIATE_TEST_SUITE_P(Values, DoubleEncoding,
                         testing::Values(DoubleCase{0.0, "8000000000000000"},
                                         DoubleCase{1.0, "bff0000000000000"},
                                         DoubleCase{-1.0, "400fffffffffffff"},
                                         DoubleCase{40.0, "c044000000000000"}));

TEST(DoubleEncoding, ByteOrderIsValueOrder) {
  const double values[] = {-1e300, -2.5, -1.0, -1e-300, 0.0, 1e-300, 1.0, 2.5, 1e300};
  std::uint8_t prev[8], cur[8];
  pdx::encodeDouble(prev, values[0]);
  for (std::size_t i = 1; i < std::size(values); ++i) {
    pdx::encodeDouble(cur, values[i]);
    EXPECT_LT(std::memcmp(prev, cur, 8), 0) << values[i - 1] << " vs " << values[i];
    std::memcpy(prev, cur, 8);
  }
}

struct BcdCase {
  int decimals;
  const char* text;   // what we store
  const char* shown;  // what reads back
};
class BcdText : public testing::TestWithParam<BcdCase> {};

TEST_P(BcdText, StoresAndShowsExactlyTheFieldsDecimals) {
  const BcdCase& c = GetParam();
  std::uint8_t buf[17];
  ASSERT_TRUE(pdx::bcdFromText(buf, c.decimals, c.text));
  EXPECT_EQ(pdx::bcdToText(buf, c.decimals), c.shown);
  FieldInfo f{"B", FieldType::kBcd, c.decimals, 17, 0};
  EXPECT_FALSE(pdx::valueIsBlank(f, buf));
}

INSTANTIATE_TEST_SUITE_P(Values, BcdText,
                         testing::Values(BcdCase{2, "1.23", "1.23"}, BcdCase{2, "-1.23", "-1.23"},
                                         BcdCase{0, "1", "1"}, BcdCase{6, "-40", "-40.000000"},
                                         BcdCase{2, "0", "0.00"}, BcdCase{2, "12.345", "12.34"},
                                         BcdCase{6, "13.123457", "13.123457"}));

TEST(BcdText, RejectsWhatIsNotADecimalNumber) {
  std::uint8_t buf[17];
  for (const char* bad : {"", "abc", "1.2.3", "--1", "1e5"})
    EXPECT_FALSE(pdx::bcdFromText(buf, 2, bad)) << bad;
}

TEST(BcdText, BlankKeepsTheScaleByteButIsBlank) {
  std::uint8_t buf[17] = {6};
  FieldInfo f{"B", FieldType::kBcd, 6, 17, 0};
  EXPECT_TRUE(pdx::valueIsBlank(f, buf));
}

struct GeneralCase {
  double value;
  const char* text;
};
class GeneralFormat : public testing::TestWithParam<GeneralCase> {};

TEST_P(GeneralFormat, UpToFifteenSignificantDigits) {
  EXPECT_EQ(pdx::formatGeneral(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Values, GeneralFormat,
                         testing::Values(GeneralCase{2005, "2005"}, GeneralCase{0.1, "0.1"},
                                         GeneralCase{-250.75, "-250.75"},
                                         GeneralCase{1.0 / 3, "0.333333333333333"},
                                         GeneralCase{1234567.891, "1234567.891"},
                                         GeneralCase{0, "0"}));

struct ReprCase {
  double value;
  const char* text;
};
class PythonRepr : public testing::TestWithParam<ReprCase> {};

TEST_P(PythonRepr, MatchesTheShortestRoundTrip) {
  EXPECT_EQ(pythonFloat(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Values, PythonRepr,
                         testing::Values(ReprCase{40.0, "40.0"}, ReprCase{1.34, "1.34"},
                                         ReprCase{-0.0, "-0.0"},
                                         ReprCase{-31618800000.0, "-31618800000.0"},
                                         ReprCase{1e16, "1e+16"}, ReprCase{1.5e-5, "1.5e-05"},
                                         ReprCase{0.0001, "0.0001"},
                                         ReprCase{123456789012345.6, "123456789012345.6"}));

TEST(Calendar, DayOneIsTheFirstOfJanuaryOfYearOne) {
  std::int64_t y;
  int m, d;
  pdx::civilFromDay(1, y, m, d);
  EXPECT_EQ(y * 10000 + m * 100 + d, 10101);
  EXPECT_EQ(pdx::dayFromCivil(1970, 1, 1), 719163);
  EXPECT_EQ(pdx::dayFromCivil(1899, 12, 30), pdx::kDateDelta);
  for (std::int64_t day : {-366, 1, 59, 60, 693594, 730119, 3652059}) {
    pdx::civilFromDay(day, y, m, d);
    EXPECT_EQ(pdx::dayFromCivil(y, m, d), day);
  }
}

TEST(DateValues, ReadAsTheProductsDateTime) {
  FieldInfo date{"D", FieldType::kDate, 4, 4, 0};
  std::uint8_t buf[8];
  ASSERT_TRUE(pdx::doubleToValue(date, buf, 25569.0));  // 1970-01-01
  EXPECT_EQ(pdx::decodeInt(buf, 4), 719163);
  EXPECT_EQ(pdx::valueToDouble(date, buf), 25569.0);
  EXPECT_EQ(pdx::valueToText(date, buf), "01.01.1970");
  FieldInfo time{"T", FieldType::kTime, 4, 4, 0};
  ASSERT_TRUE(pdx::doubleToValue(time, buf, 0.5));
  EXPECT_EQ(pdx::decodeInt(buf, 4), 43200000);
  EXPECT_EQ(pdx::valueToText(time, buf), "12:00:00");
}

TEST(BlankValues, AreDistinctFromZeroAndFalse) {
  FieldInfo num{"N", FieldType::kNumber, 8, 8, 0};
  FieldInfo logical{"L", FieldType::kLogical, 1, 1, 0};
  std::uint8_t buf[8] = {};
  EXPECT_TRUE(pdx::valueIsBlank(num, buf));
  EXPECT_EQ(pdx::valueToText(num, buf), "");
  ASSERT_TRUE(pdx::doubleToValue(num, buf, 0.0));
  EXPECT_FALSE(pdx::valueIsBlank(num, buf));
  EXPECT_EQ(pdx::valueToText(num, buf), "0");
  std::uint8_t l[1] = {0};
  EXPECT_TRUE(pdx::valueIsBlank(logical, l));
  l[0] = 0x80;
  EXPECT_FALSE(pdx::valueIsBlank(logical, l));
  EXPECT_EQ(pdx::valueToText(logical, l), "False");
}

TEST(IntegerValues, OutOfRangeIsRefused) {
  FieldInfo s{"S", FieldType::kShort, 2, 2, 0};
  std::uint8_t buf[2];
  EXPECT_FALSE(pdx::doubleToValue(s, buf, 40000));
  EXPECT_TRUE(pdx::doubleToValue(s, buf, -32767));
}

}  // namespace
