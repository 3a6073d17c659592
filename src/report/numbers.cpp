#include "report/numbers.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/clock.h"

namespace report {

namespace {

// Fixed-point with `decimals` decimals, or with `decimals` significant digits
// in the shortest form.
std::string printed(bool fixed, int decimals, double value) {
  char buffer[64];
  if (fixed)
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  else
    std::snprintf(buffer, sizeof buffer, "%.*g", decimals, value);
  return buffer;
}

}  // namespace

std::string FormatNumber(double value, bool exact) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "∞" : "-∞";
  std::string text;
  if (value == std::trunc(value) && std::fabs(value) < 1e15) {
    text = printed(true, 0, value);
  } else {
    for (int decimals = 2; decimals <= 6 && text.empty(); ++decimals) {
      std::string candidate = printed(true, decimals, value);
      if (std::strtod(candidate.c_str(), nullptr) == value) text = candidate;
    }
    if (text.empty()) text = exact ? printed(false, 17, value) : printed(true, 6, value);
    // Rounded to six decimals: trailing zeros beyond the second go.
    if (!exact && text.find('.') != std::string::npos &&
        text.find_first_of("eE") == std::string::npos)
      while (text.size() - text.find('.') > 3 && text.back() == '0') text.pop_back();
    if (text == "-0.00") text = "0";
  }
  if (text == "-0") text = "0";
  // Thousands separators on the whole part of a plain decimal text.
  if (text.find_first_of("eE") != std::string::npos) {
    for (char& c : text)
      if (c == '.') c = ',';
    return text;
  }
  const std::size_t sign = text[0] == '-' ? 1 : 0;
  std::size_t point = text.find('.');
  if (point == std::string::npos) point = text.size();
  std::string out = text.substr(0, sign);
  const std::string whole = text.substr(sign, point - sign);
  for (std::size_t i = 0; i < whole.size(); ++i) {
    if (i > 0 && (whole.size() - i) % 3 == 0) out.push_back('.');
    out.push_back(whole[i]);
  }
  if (point < text.size()) out += "," + text.substr(point + 1);
  return out;
}

std::string FormatAmount(double value, bool exact) {
  std::string text = FormatNumber(value, exact);
  // A whole amount, and the rounded "-0,00" that FormatNumber gives as "0".
  if (std::isfinite(value) && text.find(',') == std::string::npos) text += ",00";
  return text;
}

std::string LocalDateTime() {
  return platform::localTimeText("%Y-%m-%d %H:%M");
}

}  // namespace report
