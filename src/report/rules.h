// Which records a carry-forward keeps, written out for the report and the
// plan of a dry run (the jobs select them with their own filters).
#pragma once

#include <string_view>

namespace report {

// A cheque or note stays while it is in the bank, in the cash box or not yet
// paid; the state is compared whole and case-sensitively, so a blank state
// or "bankada" is not kept.
inline bool KeepsCheque(std::string_view state) {
  return state == "Bankada" || state == "Kasada" || state == "Ödenmedi";
}

// A movement stays when it is an instalment not yet paid; blank flags count
// as false.
inline bool KeepsInstalment(bool instalment, bool paid) {
  return instalment && !paid;
}

}  // namespace report
