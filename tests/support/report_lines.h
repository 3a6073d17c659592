// Reconciliation report lines for tests of the report's presentation and
// its windows.
#pragma once

#include <algorithm>
#include <string>

#include "report/reconciliation.h"

namespace fixture {

// A current-account line of 1.000.000 old, 1 expected and, when it does not
// agree, 1,50 found; `items` records differ, at most kMaxItemsShown named.
inline report::ReportLine reportLine(const char* label, bool agrees, std::size_t items = 0,
                                     report::LineKind kind = report::LineKind::kAmount) {
  report::ReportLine l;
  l.section = "Cari hesaplar";
  l.label = label;
  l.kind = kind;
  l.old = 1'000'000;
  l.expected = 1;
  l.found = agrees ? 1 : 1.5;
  l.agrees = agrees;
  l.differingItems = items;
  for (std::size_t i = 0; i < std::min(items, report::kMaxItemsShown); ++i)
    l.items.push_back({"120.0" + std::to_string(i), "1", "1,50"});
  return l;
}

}  // namespace fixture
