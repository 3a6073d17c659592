// The YTL conversion against the worked values and against an exact model
// of the arithmetic built from integers alone.
#include "jobs/amount.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <stdexcept>

namespace {

// ---- worked values -----------------------------------------------------

struct Worked {
  double oldAmount;
  double nearest, down, up;
};

class WorkedValues : public ::testing::TestWithParam<Worked> {};

TEST_P(WorkedValues, EachModeGivesTheListedAmount) {
  const Worked w = GetParam();
  EXPECT_EQ(ConvertAmount(w.oldAmount, 0, 2), w.nearest) << "Otomatik Yuvarla";
  EXPECT_EQ(ConvertAmount(w.oldAmount, 1, 2), w.down) << "Aşağı Yuvarla";
  EXPECT_EQ(ConvertAmount(w.oldAmount, 2, 2), w.up) << "Yukarı Yuvarla";
}

INSTANTIATE_TEST_SUITE_P(
    Table, WorkedValues,
    ::testing::Values(Worked{1, 0, 0, 0.01}, Worked{5000, 0, 0, 0.01}, Worked{9999, 0.01, 0, 0.01},
                      Worked{10000, 0.01, 0.01, 0.01}, Worked{15000, 0.02, 0.01, 0.02},
                      Worked{25000, 0.02, 0.02, 0.03}, Worked{0, 0, 0, 0}, Worked{-1, 0, 0, 0},
                      Worked{-25000, 0, 0, 0}, Worked{-1e300, 0, 0, 0},
                      // 5,000,000 gives exactly 5 in every mode
                      Worked{5000000, 5, 5, 5}));

TEST(RoundAmount, AnyPositiveAmountBelowOneStepRoundsUpToOneStep) {
  for (double a : {1.0, 2.0, 4999.0, 5001.0, 9999.0, 0.5})
    EXPECT_EQ(ConvertAmount(a, 2, 2), 0.01) << a;
}

TEST(RoundAmount, QuotientWithinADoubleOfAHalfBecomesAnExactHalf) {
  // 0.005 is not a binary number; its extended product by 100 rounds to the
  // double 0.5, which goes to the even neighbour 0.
  EXPECT_EQ(RoundAmount(0, 0.005L, 2), 0.0L);
  EXPECT_EQ(RoundAmount(0, 0.015L, 2), 0.02L);
}

TEST(RoundAmount, RefusesAModeOrDigitsOutsideTheirRange) {
  EXPECT_THROW(RoundAmount(3, 1.0L, 2), std::invalid_argument);
  EXPECT_THROW(RoundAmount(0, 1.0L, 6), std::invalid_argument);
  EXPECT_THROW(RoundAmount(0, 1.0L, 1.5L), std::invalid_argument);
  EXPECT_THROW(ConvertAmount(1.0, -1, 2), std::invalid_argument);
}

TEST(RoundAmount, NearestModeOutsideTheSixtyFourBitRangeIsAnArithmeticFailure) {
  EXPECT_THROW(ConvertAmount(1e30, 0, 2), EArithmeticError);
  EXPECT_THROW(ConvertAmount(std::nan(""), 0, 2), EArithmeticError);
  EXPECT_THROW(ConvertAmount(INFINITY, 1, 2), EArithmeticError);
  // The largest scaled value below 2^63 still converts.
  EXPECT_NO_THROW(ConvertAmount(9.2e20, 0, 2));
}

TEST(RoundAmount, DownAndUpAreExactPastThirtyTwoBits) {
  // Scaled 3,000,000,001.2345: a 32-bit integer would wrap around.
  EXPECT_EQ(ConvertAmount(30000000012345.0, 1, 2), 30000000.01);
  EXPECT_EQ(ConvertAmount(30000000012345.0, 2, 2), 30000000.02);
  EXPECT_EQ(ConvertAmount(1e25, 1, 2), ConvertAmount(1e25, 2, 2));
  EXPECT_GT(ConvertAmount(1e25, 1, 2), 0);
}

// ---- exact model -------------------------------------------------------
//
// Values are m * 2^e with m an unsigned 128-bit integer. The model rounds
// exactly where the conversion holds a value in extended (64 bits) or double
// (53 bits) precision, ties to even, and takes whole numbers by integer
// arithmetic.

__extension__ typedef unsigned __int128 u128;

struct Bin {
  u128 m = 0;
  int e = 0;
};

int bitLength(u128 v) {
  int n = 0;
  while (v) {
    ++n;
    v >>= 1;
  }
  return n;
}

// p / q rounded to `bits` significant bits (p, q > 0).
Bin roundQuotient(u128 p, u128 q, int bits) {
  int s = bits - (bitLength(p) - bitLength(q));
  for (;;) {
    const u128 num = s >= 0 ? p << s : p;
    const u128 den = s >= 0 ? q : q << -s;
    u128 m = num / den;
    const u128 r = num % den;
    if (m >= (u128(1) << bits)) {
      --s;
      continue;
    }
    if (m < (u128(1) << (bits - 1))) {
      ++s;
      continue;
    }
    if (2 * r > den || (2 * r == den && (m & 1))) ++m;
    if (m == (u128(1) << bits)) return {m >> 1, 1 - s};
    return {m, -s};
  }
}

Bin roundBinary(Bin v, int bits) {
  const int len = bitLength(v.m);
  if (len <= bits) return v;
  const int shift = len - bits;
  u128 m = v.m >> shift;
  const u128 rest = v.m & ((u128(1) << shift) - 1);
  const u128 half = u128(1) << (shift - 1);
  if (rest > half || (rest == half && (m & 1))) ++m;
  int e = v.e + shift;
  if (bitLength(m) > bits) {
    m >>= 1;
    ++e;
  }
  return {m, e};
}

double toDouble(Bin v) {
  return std::ldexp(static_cast<double>(v.m), v.e);
}

// The conversion of a positive whole old amount, computed exactly.
double modelConvert(std::uint64_t amount, int mode, int digits) {
  u128 scale = 1;
  for (int i = 0; i < digits; ++i) scale *= 10;
  const Bin quotient = roundQuotient(amount, 1000000, 64);
  const Bin product = roundBinary(roundBinary({quotient.m * scale, quotient.e}, 64), 53);
  u128 n;
  if (product.e >= 0) {
    n = product.m << product.e;
  } else {
    const int sh = -product.e;
    const u128 ip = sh >= 127 ? 0 : product.m >> sh;
    const u128 frac = sh >= 127 ? product.m : product.m - (ip << sh);
    n = ip;
    if (mode == 2 && frac != 0) ++n;
    if (mode == 0 && sh <= 126) {
      const u128 half = u128(1) << (sh - 1);
      if (frac > half || (frac == half && (ip & 1))) ++n;
    }
  }
  if (n == 0) return 0;
  return toDouble(roundBinary(roundQuotient(n, scale, 64), 53));
}

void expectSameBits(double got, double want, std::uint64_t amount, int mode, int digits) {
  std::uint64_t a, b;
  std::memcpy(&a, &got, sizeof a);
  std::memcpy(&b, &want, sizeof b);
  ASSERT_EQ(a, b) << "amount " << amount << " mode " << mode << " digits " << digits << ": got "
                  << got << " want " << want;
}

TEST(RoundAmountModel, AgreesNearEveryRoundingBoundaryAtTwoDigits) {
  std::mt19937_64 rng(20051231);
  std::vector<std::uint64_t> bases;
  for (std::uint64_t k = 0; k < 3000; ++k) bases.push_back(k);
  for (int i = 0; i < 3000; ++i) bases.push_back(rng() % 100000000000ULL);  // up to 1e15 old lira
  for (int i = 0; i < 500; ++i) bases.push_back(rng() % (1ULL << 48));      // past 2^31 scaled
  for (std::uint64_t k : bases) {
    for (std::int64_t offset : {-2, -1, 0, 1, 2, 4999, 5000, 5001, 9999}) {
      const std::int64_t a = static_cast<std::int64_t>(k) * 10000 + offset;
      if (a <= 0 || a >= (1LL << 53)) continue;
      const auto amount = static_cast<std::uint64_t>(a);
      for (int mode = 0; mode <= 2; ++mode)
        expectSameBits(ConvertAmount(static_cast<double>(amount), mode, 2),
                       modelConvert(amount, mode, 2), amount, mode, 2);
    }
  }
}

TEST(RoundAmountModel, AgreesForEveryDigitsValue) {
  std::mt19937_64 rng(7);
  for (int i = 0; i < 20000; ++i) {
    const std::uint64_t amount = 1 + rng() % (1ULL << (1 + rng() % 52));
    const int digits = static_cast<int>(rng() % 6);
    for (int mode = 0; mode <= 2; ++mode)
      expectSameBits(ConvertAmount(static_cast<double>(amount), mode, digits),
                     modelConvert(amount, mode, digits), amount, mode, digits);
  }
}

}  // namespace
