// The builder's own code-page table and the file helpers tests lean on.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/fixture_files.h"
#include "support/text_codec.h"

namespace fixture {
namespace {

namespace fs = std::filesystem;

TEST(TextCodec, EveryWindows1254ByteSurvivesARoundTrip) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  const std::string utf8 = decodeText(all, 1254);
  EXPECT_EQ(encodeText(utf8, 1254), all);
}

struct TurkishCase {
  const char* utf8;
  const char* bytes;
};

class TurkishLetters : public testing::TestWithParam<TurkishCase> {};

TEST_P(TurkishLetters, EncodeToTheirWindows1254Bytes) {
  EXPECT_EQ(encodeText(GetParam().utf8, 1254), GetParam().bytes);
  EXPECT_EQ(decodeText(GetParam().bytes, 1254), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Letters, TurkishLetters,
    testing::Values(TurkishCase{"Ğğ", "\xD0\xF0"}, TurkishCase{"İı", "\xDD\xFD"},
                    TurkishCase{"Şş", "\xDE\xFE"}, TurkishCase{"Çç", "\xC7\xE7"},
                    TurkishCase{"Öö", "\xD6\xF6"}, TurkishCase{"Üü", "\xDC\xFC"},
                    TurkishCase{"Borç", "Bor\xE7"}, TurkishCase{"€", "\x80"}));

TEST(TextCodec, RefusesWhatTheCodePageCannotHold) {
  EXPECT_THROW(encodeText("Ω", 1254), std::invalid_argument);     // Greek
  EXPECT_THROW(encodeText("ç", 437), std::invalid_argument);      // only ASCII elsewhere
  EXPECT_THROW(encodeText("\xC3", 1254), std::invalid_argument);  // cut UTF-8
  EXPECT_THROW(encodeText("\xFF", 1254), std::invalid_argument);
}

TEST(FixtureFiles, SparseHexDumpRoundTripsAndSkipsZeroLines) {
  std::string bytes(64, '\0');
  bytes[0] = 0x08;
  bytes[0x21] = 0x02;
  bytes[0x3F] = static_cast<char>(0xFF);
  const std::string dump = sparseHexDump(bytes);
  EXPECT_EQ(dump,
            "0000: 08 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00\n"
            "0020: 00 02 00 00 00 00 00 00 00 00 00 00 00 00 00 00\n"
            "0030: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 ff\n");
  EXPECT_EQ(fromSparseHexDump(dump, 64), bytes);
  EXPECT_THROW(fromSparseHexDump(dump, 40), std::out_of_range);
}

TEST(FixtureFiles, CorruptionHelpersPatchInPlaceAndRefusePastTheEnd) {
  const fs::path file = fs::path(testing::TempDir()) / "corrupt.bin";
  writeFileBytes(file, std::string(8, '\0'));
  corruptByte(file, 1, 0xAB);
  corruptU16(file, 2, 0x1234);
  corruptU32(file, 4, 0xDEADBEEF);
  EXPECT_EQ(readFileBytes(file), std::string("\x00\xAB\x34\x12\xEF\xBE\xAD\xDE", 8));
  EXPECT_THROW(corruptU16(file, 7, 1), std::out_of_range);
  truncateFile(file, 3);
  EXPECT_EQ(fs::file_size(file), 3u);
}

}  // namespace
}  // namespace fixture
