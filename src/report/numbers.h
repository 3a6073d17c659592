// Numbers and dates as the report writes them.
#pragma once

#include <string>

namespace report {

// A number in the Turkish way: "." between thousands, "," before the
// decimals. Whole numbers have no decimals; other values get the fewest
// decimals (at least two) that give the value back exactly, up to six, and
// past that six decimals, rounded (sums of many amounts carry binary noise in
// their last bits). With `exact`, past six decimals every significant digit
// is shown, so that two different values never look the same. NaN and
// infinities as "NaN", "∞", "-∞".
std::string FormatNumber(double value, bool exact = false);

// An amount: as FormatNumber, but always with at least two decimals, so that
// zero reads "0,00" and a whole amount "1.250,00" beside "12,35".
std::string FormatAmount(double value, bool exact = false);

// The local date and time, "YYYY-MM-DD HH:MM".
std::string LocalDateTime();

}  // namespace report
