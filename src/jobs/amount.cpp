#include "jobs/amount.h"

#include <cmath>
#include <limits>

// The conversion is defined on the x87 extended format; refuse to build where
// long double is anything else (MSVC's 64-bit long double, AArch64's quad).
static_assert(std::numeric_limits<long double>::digits == 64,
              "amount conversion needs the 80-bit extended long double");
static_assert(std::numeric_limits<double>::digits == 53, "double must be IEEE 754 binary64");

namespace {

// 10^digits as a double (exact for 0..5).
double scaleFor(long double digits) {
  static constexpr double kScales[] = {1.0, 10.0, 100.0, 1000.0, 10000.0, 100000.0};
  if (!(digits >= 0 && digits <= 5) || digits != std::floor(digits))
    throw std::invalid_argument("rounding digits must be a whole number from 0 to 5");
  return kScales[static_cast<int>(digits)];
}

}  // namespace

long double RoundAmount(std::uint16_t mode, long double value, long double digits) {
  if (mode > 2) throw std::invalid_argument("rounding mode must be 0, 1 or 2");
  const double scale = scaleFor(digits);
  if (value <= 0) return 0;  // also the path a negative amount takes

  // Extended product, then rounded to a double: the double rounding is part
  // of the result (0.005 at two digits becomes the exact half 0.5).
  const long double product = value * static_cast<long double>(scale);
  const double scaled = static_cast<double>(product);

  long double n = 0;
  switch (mode) {
    case 0: {
      // 2^63 is exact as a double; anything at or past it (or a NaN or an
      // infinity) does not fit the signed 64-bit integer.
      constexpr double kLimit = 9223372036854775808.0;
      if (!(scaled < kLimit))
        throw EArithmeticError("Arithmetic overflow: the amount " + std::to_string(scaled) +
                               " does not fit a 64-bit integer when rounded");
      // nearbyint rounds in the current mode, which is to nearest, ties to
      // even; the result is a whole double that converts exactly.
      n = static_cast<long double>(static_cast<std::int64_t>(std::nearbyint(scaled)));
      break;
    }
    case 1:
    case 2: {
      if (!std::isfinite(scaled))
        throw EArithmeticError("Arithmetic overflow: the amount cannot be rounded");
      // floor and ceil of a double are exact; no narrowing to 32 bits.
      n = static_cast<long double>(mode == 1 ? std::floor(scaled) : std::ceil(scaled));
      break;
    }
  }
  return n / static_cast<long double>(scale);
}

double ConvertAmount(double oldValue, int mode, int digits) {
  if (mode < 0 || mode > 2) throw std::invalid_argument("rounding mode must be 0, 1 or 2");
  const long double quotient = static_cast<long double>(oldValue) / 1000000.0L;
  return static_cast<double>(
      RoundAmount(static_cast<std::uint16_t>(mode), quotient, static_cast<long double>(digits)));
}
