// The New Turkish Lira as a converted company's settings name it: the
// currency and its sub-unit, each with its symbol. The window shows them in
// its read-only edits and the command line answers them; both read them
// from here.
#pragma once

namespace currency {

inline constexpr const char* kName = "Yeni Türk Lirası";
inline constexpr const char* kSymbol = "YTL";
inline constexpr const char* kSubUnitName = "Yeni Kuruş";
inline constexpr const char* kSubUnitSymbol = "YKr";

}  // namespace currency
