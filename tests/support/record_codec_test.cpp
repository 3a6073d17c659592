// Field encodings against the bytes the BDE itself wrote: every value of a
// real 7.x table with all types, re-encoded by the builder, gives the same
// bytes as the sample's records.
#include "support/record_codec.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "support/fixture_files.h"

namespace fixture {
namespace {

namespace fs = std::filesystem;
using T = pdx::FieldType;

Variant text(const char* s) {
  return Variant{std::string(s)};
}
Variant num(double d) {
  return Variant{d};
}
Variant whole(std::int64_t i) {
  return Variant{i};
}
Variant flag(bool b) {
  return Variant{b};
}
Variant days(double d) {
  return Variant{Variant::DateTime{d}};
}
const Variant kBlank;

// The product's day of a Paradox day number (1 = 0001-01-01).
double productDay(double paradoxDay) {
  return paradoxDay - 693594;
}

TEST(RecordCodec, ReproducesTheBytesOfARealTableWithEveryType) {
  const fs::path file =
      fs::path(UD_SOURCE_DIR) / ".." / "shared" / "paradox-samples" / "Rparadox" / "TypSammlung.DB";
  if (!fs::exists(file)) GTEST_SKIP() << "the Paradox samples are not beside the checkout";
  const std::vector<Column> columns = {
      {"Alpha", T::kAlpha, 30},    {"Numerisch", T::kNumber},  {"Währung", T::kMoney},
      {"Integer kurz", T::kShort}, {"Integer lang", T::kLong}, {"BCD", T::kBcd, 6},
      {"Datum", T::kDate},         {"Zeit", T::kTime},         {"Datum/Zeit", T::kTimestamp},
      {"Memo", T::kMemo, 11},      {"Logisch", T::kLogical},   {"Zähler", T::kAutoInc}};
  // The expected values of the sample's five records, in key order.
  const double y1970 = 25569;
  const std::vector<std::vector<Variant>> rows = {
      {text("AAA Irgendein Text"), num(40), num(40), whole(40), whole(40), text("40.000000"),
       days(y1970), whole(0), days(y1970 + 11.0 / 24), kBlank, kBlank, whole(1)},
      {text("Erste Zeile"), num(23), kBlank, kBlank, kBlank, kBlank, kBlank, kBlank, kBlank, kBlank,
       flag(false), whole(3)},
      {text("Fünfter Datensatz"), num(1.34), num(13.002), kBlank, kBlank, text("13.123457"),
       days(productDay(-366)), whole(4212000), days(productDay(-31618800000.0 / 86400000)),
       kBlank /* memo in the .MB */, kBlank, whole(5)},
      {text("Null-Werte"), num(0), num(0), whole(0), whole(0), text("0.000000"), kBlank, kBlank,
       kBlank, kBlank, kBlank, whole(4)},
      {text("Zweite Zeile"), num(-40), num(-40), whole(-40), whole(-40), text("-40.000000"),
       days(36412), whole(40271000), days(37782 + (11 * 3600 + 11 * 60 + 11) / 86400.0), kBlank,
       flag(true), whole(2)},
  };
  const std::string bytes = readFileBytes(file);
  const std::size_t headerSize =
      static_cast<unsigned char>(bytes[2]) | static_cast<unsigned char>(bytes[3]) << 8;
  const std::size_t recordSize =
      static_cast<unsigned char>(bytes[0]) | static_cast<unsigned char>(bytes[1]) << 8;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    std::size_t offset = headerSize + 6 + r * recordSize;
    for (std::size_t f = 0; f < columns.size(); ++f) {
      const auto width = static_cast<std::size_t>(detail::fieldWidth(columns[f]));
      if (columns[f].type != T::kMemo) {
        std::string mine(width, '\0');
        detail::encodeValue(columns[f], rows[r][f], 1254, mine.data(), nullptr);
        EXPECT_EQ(sparseHexDump(mine), sparseHexDump(bytes.substr(offset, width)))
            << "record " << r << " field " << columns[f].name;
      }
      offset += width;
    }
  }
}

struct Encoding {
  Column column;
  Variant value;
  const char* hex;  // the field's bytes
};

class FieldEncoding : public testing::TestWithParam<Encoding> {};

TEST_P(FieldEncoding, GivesTheDocumentedBytes) {
  const Encoding& e = GetParam();
  std::string out(static_cast<std::size_t>(detail::fieldWidth(e.column)), '\0');
  detail::encodeValue(e.column, e.value, 1254, out.data(), nullptr);
  std::string hex;
  char buf[4];
  for (char c : out) {
    std::snprintf(buf, sizeof buf, "%02x", static_cast<unsigned char>(c));
    hex += buf;
  }
  EXPECT_EQ(hex, e.hex);
}

INSTANTIATE_TEST_SUITE_P(
    Values, FieldEncoding,
    testing::Values(Encoding{{"S", T::kShort}, whole(1), "8001"},
                    Encoding{{"S", T::kShort}, whole(-1), "7fff"},
                    Encoding{{"S", T::kShort}, kBlank, "0000"},
                    Encoding{{"I", T::kLong}, whole(-2), "7ffffffe"},
                    Encoding{{"D", T::kDate}, days(productDay(1)), "80000001"},
                    Encoding{{"N", T::kNumber}, num(-0.0), "8000000000000000"},
                    Encoding{{"L", T::kLogical}, flag(false), "80"},
                    Encoding{{"A", T::kAlpha, 6}, text("Borç"), "426f72e70000"},
                    Encoding{{"A", T::kAlpha, 6}, text("Alacaklı"), "416c6163616b"},
                    Encoding{
                        {"#", T::kBcd, 2}, text("12345.5"), "c200000000000000000000000001234550"},
                    Encoding{{"#", T::kBcd, 0}, num(-7), "40fffffffffffffffffffffffffffffff8"},
                    Encoding{{"Y", T::kBytes, 3}, Variant{Variant::Bytes{"\x01"}}, "010000"}));

TEST(FieldEncodingRefuses, ValuesOutOfRange) {
  std::string out(4, '\0');
  EXPECT_THROW(detail::encodeValue({"S", T::kShort}, whole(40000), 1254, out.data(), nullptr),
               std::invalid_argument);
  EXPECT_THROW(detail::encodeValue({"T", T::kTime}, whole(86400000), 1254, out.data(), nullptr),
               std::invalid_argument);
  EXPECT_THROW(detail::encodeValue({"I", T::kLong}, num(1.5), 1254, out.data(), nullptr),
               std::invalid_argument);
  EXPECT_THROW(
      detail::encodeValue({"M", T::kMemo, 12}, text("longer than two"), 1254, out.data(), nullptr),
      std::invalid_argument)
      << "a blob past its leader needs a memo file";
}

}  // namespace
}  // namespace fixture
