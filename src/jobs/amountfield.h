// The YTL conversion applied to one float field of a record being edited.
#pragma once

#include "data/ttable.h"
#include "jobs/amount.h"
#include "jobs/runoptions.h"

// Replaces the field's value by its conversion, with the run's rounding mode
// and digits. A blank field reads as 0 and so becomes 0.
// The caller has the record in edit mode and posts it afterwards.
inline void ConvertAmountField(const RunOptions& run, TField field) {
  field.setAsFloat(ConvertAmount(field.asFloat(), run.rounding, run.digits));
}
