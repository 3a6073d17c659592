// A movement table as the product keeps them, built with the fixture
// builder: keyed on its record number, a maintained index on the account
// code, the flags and states the carry-forward filters on, a memo.
#pragma once

#include <filesystem>
#include <string>

#include "support/paradox_builder.h"

namespace enginetest {

inline std::string accountOf(int i) {
  return "120." + std::to_string(i % 7) + std::to_string(i % 3);
}
inline const char* stateOf(int i) {
  static const char* states[] = {"Bankada", "Kasada",
                                 "\xC3\x96"
                                 "dendi",
                                 "\xC3\x96"
                                 "denmedi",
                                 ""};
  return states[i % 5];
}

// Rows 1..n: KAYIT i, CARIKODU accountOf(i), TUTAR i * 1.5, TAKSIT i % 2,
// ODEDI i % 3 == 0 (blank when i % 4 == 1), EVRAKDURUM stateOf(i), NOT a
// memo on every third row (long enough for the .MB on every ninth).
inline fixture::TableBuilder movements(int n, bool keyed = true, bool withIndex = true) {
  using T = pdx::FieldType;
  fixture::TableBuilder b({{"KAYIT", T::kAutoInc},
                           {"CARIKODU", T::kAlpha, 12},
                           {"TUTAR", T::kNumber},
                           {"TAKSIT", T::kLogical},
                           {"ODEDI", T::kLogical},
                           {"EVRAKDURUM", T::kAlpha, 20},
                           {"NOT", T::kMemo, 15}});
  b.blockSizeKiB(1);
  if (keyed) b.keyed(1);
  if (keyed && withIndex) b.secondaryIndex("CARIKODU");
  for (int i = 1; i <= n; ++i) {
    Variant odedi;
    if (i % 4 != 1) odedi.value = i % 3 == 0;
    Variant memo;
    if (i % 3 == 0)
      memo.value = i % 9 == 0 ? std::string(300 + i, 'x') : "not " + std::to_string(i);
    b.row({Variant{std::int64_t{i}}, Variant{accountOf(i)}, Variant{i * 1.5}, Variant{i % 2 == 1},
           odedi, Variant{std::string(stateOf(i))}, memo});
  }
  return b;
}

}  // namespace enginetest
