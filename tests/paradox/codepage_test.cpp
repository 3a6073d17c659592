#include "paradox/codepage.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>

#include "paradox/errors.h"

namespace pdx {
namespace {

struct Known {
  int codePage;
  std::string bytes;
  std::string utf8;
};

class KnownText : public ::testing::TestWithParam<Known> {};

TEST_P(KnownText, DecodesAndEncodes) {
  const Known& k = GetParam();
  const CodePage& page = CodePage::forId(k.codePage);
  EXPECT_EQ(page.toUtf8(k.bytes), k.utf8);
  EXPECT_EQ(page.fromUtf8(k.utf8), k.bytes);
}

INSTANTIATE_TEST_SUITE_P(Pages, KnownText,
                         ::testing::Values(Known{1254, "\xDE\xFD\xD0\xDD\xFE\xF0", "ŞıĞİşğ"},
                                           Known{1254, "Alacak 120.01", "Alacak 120.01"},
                                           Known{1252, "\x80", "€"}, Known{1250, "\xF5", "ő"},
                                           Known{866, "\x8F\xE0\xA8\xA2\xA5\xE2", "Привет"},
                                           Known{857, "\x87\x80", "çÇ"},
                                           Known{kCodePageHpRoman8, "\xEB\xF8\xBE\xF4", "Š½ƒ¶"},
                                           Known{kCodePageGbk, "\xD6\xD0\xCE\xC4", "中文"},
                                           Known{kCodePageGbk, "a\xD6\xD0z", "a中z"}));

// Every byte of every single-byte page, undefined ones included, survives a
// round trip, and distinct bytes decode to distinct texts.
class SingleByteRoundTrip : public ::testing::TestWithParam<int> {};

TEST_P(SingleByteRoundTrip, EveryByte) {
  const CodePage& page = CodePage::forId(GetParam());
  EXPECT_FALSE(page.isDoubleByte());
  std::set<std::string> seen;
  std::string all;
  for (int b = 0; b < 256; ++b) {
    const std::string one(1, static_cast<char>(b));
    const std::string text = page.toUtf8(one);
    EXPECT_EQ(page.fromUtf8(text), one) << "byte " << b;
    EXPECT_TRUE(seen.insert(text).second) << "byte " << b << " decodes like another";
    all += one;
  }
  EXPECT_EQ(page.fromUtf8(page.toUtf8(all)), all);
}

INSTANTIATE_TEST_SUITE_P(Pages, SingleByteRoundTrip,
                         ::testing::Values(1254, 1250, 1251, 1252, 1253, 1257, 437, 850, 852, 857,
                                           860, 861, 863, 865, 866, 737, 862, 1255,
                                           kCodePageHpRoman8));

TEST(CodePage, UndefinedBytesTakeCodePointsThePageDoesNotUse) {
  // 1254 leaves 0x81 undefined: it becomes U+0081, as Windows decodes it.
  EXPECT_EQ(CodePage::forId(1254).toUtf8("\x81"), "\xC2\x81");
  // 857 leaves 0xD5 undefined but uses U+00D5 elsewhere: private use instead.
  EXPECT_EQ(CodePage::forId(857).toUtf8("\xD5"), "\xEF\x9F\x95");  // U+F7D5
}

TEST(CodePage, GbkRoundTripsArbitraryBytes) {
  const CodePage& gbk = CodePage::forId(kCodePageGbk);
  EXPECT_TRUE(gbk.isDoubleByte());
  std::mt19937 rng(12345);
  for (int round = 0; round < 2000; ++round) {
    std::string bytes(1 + rng() % 40, '\0');
    for (char& c : bytes) c = static_cast<char>(rng() % 2 ? 0x81 + rng() % 0x7F : rng() % 256);
    ASSERT_EQ(gbk.fromUtf8(gbk.toUtf8(bytes)), bytes) << "round " << round;
  }
  // A lead byte at the end, or before a byte that cannot trail, stands alone.
  EXPECT_EQ(gbk.fromUtf8(gbk.toUtf8("\xD6")), "\xD6");
  EXPECT_EQ(gbk.toUtf8("\xD6\x30"),
            "\xEF\x9F\x96"
            "0");
}

TEST(CodePage, CharactersThePageLacksBecomeQuestionMarks) {
  EXPECT_EQ(CodePage::forId(1254).fromUtf8("a中b"), "a?b");
  EXPECT_EQ(CodePage::forId(437).fromUtf8("Ş"), "?");
  EXPECT_EQ(CodePage::forId(kCodePageGbk).fromUtf8("Ş"), "?");
}

TEST(CodePage, MalformedUtf8BecomesQuestionMarks) {
  const CodePage& page = CodePage::forId(1254);
  EXPECT_EQ(page.fromUtf8("a\xFF"
                          "b"),
            "a?b");                                 // not a lead byte
  EXPECT_EQ(page.fromUtf8("a\xC5"), "a?");          // cut short at the end
  EXPECT_EQ(page.fromUtf8("\xC0\xAF"), "??");       // overlong '/'
  EXPECT_EQ(page.fromUtf8("\xED\xA0\x80"), "???");  // surrogate
  EXPECT_EQ(page.fromUtf8("\xC5\x9E"
                          "x"),
            "\xDE"
            "x");  // Ş then x
}

TEST(CodePage, UnknownPageIsRefused) {
  try {
    CodePage::forId(12345);
    FAIL() << "no exception";
  } catch (const EDBEngineError& e) {
    EXPECT_EQ(e.code(), EDBEngineError::Code::kUnsupported);
    EXPECT_NE(std::string(e.what()).find("12345"), std::string::npos);
  }
  EXPECT_THROW(CodePage::forId(0), EDBEngineError);
}

TEST(CodePage, FitPrefixNeverSplitsAPair) {
  const CodePage& gbk = CodePage::forId(kCodePageGbk);
  const std::string text = "a\xD6\xD0\xCE\xC4";  // a + two characters
  EXPECT_EQ(gbk.fitPrefix(text, 10), 5u);
  EXPECT_EQ(gbk.fitPrefix(text, 4), 3u);
  EXPECT_EQ(gbk.fitPrefix(text, 3), 3u);
  EXPECT_EQ(gbk.fitPrefix(text, 2), 1u);
  EXPECT_EQ(CodePage::forId(1254).fitPrefix("abcdef", 4), 4u);
}

struct Driver {
  const char* name;
  int codePage;
};

class LanguageDriver : public ::testing::TestWithParam<Driver> {};

TEST_P(LanguageDriver, ImpliesCodePage) {
  EXPECT_EQ(codePageForLanguageDriver(GetParam().name), GetParam().codePage) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Names, LanguageDriver,
    ::testing::Values(Driver{"BLROM800", kCodePageHpRoman8}, Driver{"blrom800", kCodePageHpRoman8},
                      Driver{"ANTURK", 1254}, Driver{"turk", 857}, Driver{"intl850", 850},
                      Driver{"ascii", 437}, Driver{"ANSIINTL", 1252}, Driver{"ANSII850", 1252},
                      Driver{"DBWINUS0", 1252}, Driver{"cyrr", 866}, Driver{"china", 936},
                      Driver{"DB866RU0", 866}, Driver{"db437gr0", 737}, Driver{"BLLT1DE0", 1252},
                      Driver{"ANHEBREW", 1255}, Driver{"DB867CZ0", 437}, Driver{"DB999XX0", 437},
                      Driver{"", 437}, Driver{"nosuchdriver", 437}));

}  // namespace
}  // namespace pdx
