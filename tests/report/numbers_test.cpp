#include "report/numbers.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

struct NumberCase {
  double value;
  bool exact;
  const char* text;
};

class FormatNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(FormatNumberTest, WritesTurkishDigits) {
  EXPECT_EQ(report::FormatNumber(GetParam().value, GetParam().exact), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Values, FormatNumberTest,
    ::testing::Values(NumberCase{0, false, "0"}, NumberCase{-0.0, false, "0"},
                      NumberCase{1234567, false, "1.234.567"},
                      NumberCase{-1234567.5, false, "-1.234.567,50"},
                      NumberCase{0.01, false, "0,01"}, NumberCase{123.456, false, "123,456"},
                      NumberCase{2.9899999999999998, false, "2,99"},
                      // Values a hair apart stay apart when exactness is asked.
                      NumberCase{250.00000000000003, false, "250,00"},
                      NumberCase{250.00000000000003, true, "250,00000000000003"},
                      NumberCase{-1e-17, false, "0"}));

// Amounts: one form of zero, and decimals on whole amounts too.
class FormatAmountTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(FormatAmountTest, AlwaysHasTwoDecimals) {
  EXPECT_EQ(report::FormatAmount(GetParam().value, GetParam().exact), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Values, FormatAmountTest,
    ::testing::Values(NumberCase{0, false, "0,00"}, NumberCase{-0.0, true, "0,00"},
                      NumberCase{-1e-17, false, "0,00"}, NumberCase{1234567, false, "1.234.567,00"},
                      NumberCase{-12.5, false, "-12,50"}, NumberCase{123.456, false, "123,456"},
                      NumberCase{250.00000000000003, true, "250,00000000000003"},
                      NumberCase{std::numeric_limits<double>::infinity(), false, "∞"}));

}  // namespace
