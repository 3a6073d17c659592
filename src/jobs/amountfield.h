// The YTL conversion applied to one float field of a record being edited.
#pragma once

#include "data/ttable.h"
#include "jobs/amount.h"
#include "jobs/runhost.h"

// Replaces the field's value by its conversion, with the rounding mode and
// digits the host holds right now. A blank field reads as 0 and so becomes 0.
// The caller has the record in edit mode and posts it afterwards.
inline void ConvertAmountField(const RunHost& host, TField field) {
  field.setAsFloat(ConvertAmount(field.asFloat(), host.roundingMode(), host.precisionDigits()));
}
