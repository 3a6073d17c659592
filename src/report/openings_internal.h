// What the openings check's parts share: the read-only table reader, the
// conversion options of one pair and the cause of a difference. Internal to
// report/openings*.cpp.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "data/tablepath.h"
#include "jobs/amount.h"
#include "paradox/table.h"
#include "report/carryrecord.h"
#include "report/openings.h"
#include "report/tables.h"

namespace report::openings_detail {

using Reader = TableReader;

// One pair's record and conversion, and where its findings go.
struct Context {
  const std::optional<CarryRecordData>& record;
  bool ytl;
  int rounding;
  int digits;
  CompanyOpenings& out;
  double convert(double v) const { return ytl ? ConvertAmount(v, rounding, digits) : v; }
};

// Why a value differs, from whether the old year moved away from the record
// (late) and the new company did (edited); unknown without a record.
inline StaleCause causeOf(bool haveRecord, bool late, bool edited) {
  if (!haveRecord) return StaleCause::kUnknown;
  if (late && edited) return StaleCause::kBoth;
  return edited ? StaleCause::kEditedInNew : StaleCause::kLateEntry;
}

// The kept documents of one kind: cheques and notes, or instalments.
void cheques(const Context& c, const platform::TypedPath& oldDir,
             const platform::TypedPath& newDir);
void instalments(const Context& c, const platform::TypedPath& oldDir,
                 const platform::TypedPath& newDir);

}  // namespace report::openings_detail
