#include "platform/wildcard.h"

#include <gtest/gtest.h>

namespace {

struct MaskCase {
  const char* name;
  const char* mask;
  bool matches;
};

class MaskTest : public ::testing::TestWithParam<MaskCase> {};

TEST_P(MaskTest, MatchesLikeTheWindowsSearch) {
  const MaskCase& c = GetParam();
  EXPECT_EQ(platform::matchesMask(c.name, c.mask), c.matches) << c.name << " ~ " << c.mask;
}

INSTANTIATE_TEST_SUITE_P(
    Masks, MaskTest,
    ::testing::Values(MaskCase{"ayar.db", "ayar.*", true}, MaskCase{"AYAR.PX", "ayar.*", true},
                      MaskCase{"ayar2.db", "ayar.*", false}, MaskCase{"ayar", "ayar.*", true},
                      MaskCase{"README", "*.*", true}, MaskCase{"a.b.c", "*.*", true},
                      MaskCase{"tssabit.X01", "tssabit.*", true},
                      MaskCase{"xtssabit.db", "tssabit.*", false},
                      MaskCase{"cari.db", "c?ri.*", true}, MaskCase{"cri.db", "c?ri.*", false},
                      MaskCase{"Cari.Db", "CARI.DB", true}, MaskCase{"cari.dbx", "cari.db", false},
                      MaskCase{"c_grup.db", "c_grup.*", true}, MaskCase{"sirket.db", "*t.d", false},
                      MaskCase{"sirket.db", "*t.d*", true}, MaskCase{"", "*", true},
                      MaskCase{"a", "", false},
                      MaskCase{"aaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*a*c", false}));

TEST(NameOrder, IgnoresCaseAndIsTotal) {
  EXPECT_TRUE(platform::lessNoCase("ayar.db", "AYAR2.db"));
  EXPECT_TRUE(platform::lessNoCase("Cari.db", "char.db"));
  EXPECT_FALSE(platform::lessNoCase("char.db", "Cari.db"));
  // Case variants of one name still have an order, one way only.
  EXPECT_NE(platform::lessNoCase("CARI", "cari"), platform::lessNoCase("cari", "CARI"));
  EXPECT_TRUE(platform::sameNameNoCase("Sirket.DB", "sIRKET.db"));
  EXPECT_FALSE(platform::sameNameNoCase("sirket.db", "sirket.d"));
}

}  // namespace
