// What the openings check's parts share: a read-only table reader, the
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

namespace report::openings_detail {

// One table opened read-only; a field the table lacks reads as blank.
class Reader {
 public:
  Reader(const std::string& directory, const std::string& tableName) {
    pdx::OpenOptions options;
    options.readOnly = true;
    options.mapBlocks = false;  // one forward pass
    m_table = pdx::Table::open(ResolveTableFile(directory, tableName), options);
    m_table->first();
  }
  int field(const char* name) const { return m_table->findField(name); }
  bool eof() const { return m_table->eof(); }
  void next() { m_table->next(); }
  double number(int f) const { return f < 0 ? 0 : m_table->asFloat(f); }
  std::string text(int f) const { return f < 0 ? std::string() : m_table->asString(f); }
  std::string key(int f) const {
    return f < 0 || m_table->isBlank(f) ? std::string() : std::to_string(m_table->asInteger(f));
  }
  bool flag(int f) const { return f >= 0 && m_table->asBoolean(f); }

 private:
  std::unique_ptr<pdx::Table> m_table;
};

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
void cheques(const Context& c, const std::string& oldDir, const std::string& newDir);
void instalments(const Context& c, const std::string& oldDir, const std::string& newDir);

}  // namespace report::openings_detail
