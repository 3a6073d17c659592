// Conversion of old-lira amounts to the New Turkish Lira.
//
// An amount is divided by 1,000,000 and rounded to `digits` decimals by one
// of three modes. The intermediate values are held in the x87 80-bit
// extended format (64-bit significand) exactly where the arithmetic below
// says so; every rounding to extended or double precision is to nearest,
// ties to even. The results therefore match, bit for bit, what the product's
// own conversion stores.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

// An arithmetic failure that ends the run: a scaled amount that does not fit
// the 64-bit integer of the round-to-nearest mode, or an amount that is not a
// number at all.
class EArithmeticError : public std::runtime_error {
 public:
  explicit EArithmeticError(const std::string& message) : std::runtime_error(message) {}
};

// Rounds `value` to `digits` decimals. mode 0: to nearest, halves to even;
// 1: down; 2: up. A value of 0 or below gives 0 whatever the mode.
//
// scaled = value * 10^digits is multiplied in extended precision and rounded
// to a double, so a quotient within a double's resolution of a half becomes an
// exact half. Mode 0 then rounds on a 64-bit signed integer and throws
// EArithmeticError outside its range; modes 1 and 2 take the floor or ceiling
// in floating point, exact for every scaled value. The result is n / 10^digits
// divided in extended precision.
//
// Throws std::invalid_argument for a mode outside 0..2 or digits that are not
// a whole number from 0 to 5.
long double RoundAmount(std::uint16_t mode, long double value, long double digits);

// The YTL conversion of one old amount: oldValue / 1,000,000 in extended
// precision, rounded by RoundAmount, then rounded to a double.
double ConvertAmount(double oldValue, int mode, int digits);
