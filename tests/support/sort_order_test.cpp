// The builder's sort orders: byte order for "ascii", the Turkish alphabet
// for "ANTURK", and tables keyed and indexed in those orders.
#include "support/sort_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "support/fixture_files.h"
#include "support/paradox_builder.h"
#include "support/text_codec.h"

namespace fixture {
namespace {

namespace fs = std::filesystem;
using T = pdx::FieldType;

// Texts in the order the Turkish alphabet gives them: ç after c, ğ after g,
// ı before i, ö after o, ş after s, ü after u; a letter's case or accent
// matters only between texts otherwise equal (lower case first); a text
// before its continuations.
const std::vector<std::string> kTurkishOrder = {
    " Boşluk", "120.01", "320.01", "abla", "Abla", "acı",   "ağaç", "Cadde",  "Cz",
    "Çağdaş",  "Çay",    "Dağ",    "Gz",   "Ğa",   "Hz",    "ılık", "Ilık",   "Iz",
    "inci",    "İnci",   "incir",  "İz",   "Oya",  "Ozan",  "Öykü", "Öz",     "Sahin",
    "Sz",      "Şahin",  "Şz",     "Ulu",  "Uzun", "Ülker", "Üzüm", "Yıldız", "Zeytin"};

std::vector<std::string> encoded(const std::vector<std::string>& texts) {
  std::vector<std::string> out;
  for (const auto& t : texts) out.push_back(encodeText(t, 1254));
  return out;
}

TEST(TurkishSortOrder, FollowsTheTurkishAlphabet) {
  const SortOrder* order = SortOrder::forName("ANTURK");
  ASSERT_NE(order, nullptr);
  const auto texts = encoded(kTurkishOrder);
  for (std::size_t i = 0; i + 1 < texts.size(); ++i) {
    EXPECT_LT(order->compare(texts[i], texts[i + 1]), 0)
        << kTurkishOrder[i] << " < " << kTurkishOrder[i + 1];
    EXPECT_GT(order->compare(texts[i + 1], texts[i]), 0) << kTurkishOrder[i + 1];
  }
  EXPECT_EQ(order->compare(texts[5], texts[5]), 0);
}

TEST(TurkishSortOrder, UpperCasesTheTurkishWay) {
  const SortOrder* order = SortOrder::forName("ANTURK");
  EXPECT_EQ(order->upper(encodeText("çağdaş iş ılık öğün", 1254)),
            encodeText("ÇAĞDAŞ İŞ ILIK ÖĞÜN", 1254));
  const SortOrder* plain = SortOrder::forName("ascii");
  EXPECT_EQ(plain->upper("iz\x87"), "IZ\x80") << "the DOS driver's ç";
  EXPECT_EQ(SortOrder::forName("intl850"), nullptr);
}

std::vector<std::string> keysOf(const fs::path& db, std::size_t width) {
  const std::string b = readFileBytes(db);
  const auto u16 = [&](std::size_t o) {
    return static_cast<unsigned char>(b[o]) | static_cast<unsigned char>(b[o + 1]) << 8;
  };
  const std::size_t rs = u16(0), hs = u16(2), bs = static_cast<std::size_t>(b[5]) * 1024;
  std::vector<std::string> out;
  for (unsigned n = u16(0x0E); n != 0; n = u16(hs + (n - 1) * bs)) {
    const std::size_t base = hs + (n - 1) * bs;
    const int count = static_cast<std::int16_t>(u16(base + 4)) / static_cast<int>(rs) + 1;
    for (int k = 0; k < count; ++k) {
      const std::string key = b.substr(base + 6 + static_cast<std::size_t>(k) * rs, width);
      out.push_back(decodeText(key.substr(0, key.find('\0')), 1254));
    }
  }
  return out;
}

TEST(TurkishSortOrder, KeyedTableAndItsIndexComeOutInTurkishOrder) {
  std::vector<std::string> shuffled = kTurkishOrder;
  std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(7));
  TableBuilder b({{"KISA_AD", T::kAlpha, 30}, {"SIRA", T::kLong}});
  b.keyed(1).sortOrder("ANTURK").blockSizeKiB(1).compositeIndex("sira", {"SIRA"});
  std::int64_t n = 0;
  for (const auto& s : shuffled) b.row({Variant{s}, Variant{n++}});
  const fs::path dir = fs::path(testing::TempDir()) / "turkish_order";
  fs::remove_all(dir);
  fs::create_directories(dir);
  b.write(dir / "sirket.db");
  EXPECT_EQ(keysOf(dir / "sirket.db", 30), kTurkishOrder);
  const std::string header = readFileBytes(dir / "sirket.db");
  EXPECT_NE(header.find(std::string("ANTURK\0", 7)), std::string::npos);
}

TEST(TurkishSortOrder, DuplicatesAreTextsEqualInEveryWeight) {
  TableBuilder b({{"KISA_AD", T::kAlpha, 30}});
  b.keyed(1).sortOrder("ANTURK").row({Variant{"Işık"}}).row({Variant{"ışık"}});
  EXPECT_NO_THROW(b.write(fs::path(testing::TempDir()) / "case_differs.db"));
  TableBuilder c({{"KISA_AD", T::kAlpha, 30}});
  c.keyed(1).sortOrder("ANTURK").row({Variant{"Işık"}}).row({Variant{"Işık"}});
  EXPECT_THROW(c.write(fs::path(testing::TempDir()) / "same.db"), std::invalid_argument);
}

}  // namespace
}  // namespace fixture
