// What the report's readers share (the reconciliation report, the dry run's
// plan and the openings check): a table opened read-only for one forward
// pass, the registry's rows, and a name cut as the registry keeps it.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "paradox/table.h"
#include "platform/typedpath.h"

namespace report {

// One table opened read-only for one forward pass, its fields looked up by
// name; a field the table lacks reads as blank. Throws as pdx::Table::open.
class TableReader {
 public:
  TableReader(const platform::TypedPath& directory, const std::string& tableName);
  int field(const char* name) const { return m_table->findField(name); }
  bool eof() const { return m_table->eof(); }
  void next() { m_table->next(); }
  double number(int f) const { return f < 0 ? 0 : m_table->asFloat(f); }
  std::string text(int f) const { return f < 0 ? std::string() : m_table->asString(f); }
  bool flag(int f) const { return f >= 0 && m_table->asBoolean(f); }
  // A record number in digits; blank when the field is blank or missing.
  std::string key(int f) const {
    return f < 0 || m_table->isBlank(f) ? std::string() : std::to_string(m_table->asInteger(f));
  }
  // A record's code: texts as they are, record numbers in digits after the
  // field's name ("KAYIT 12").
  std::string code(int f) const;

 private:
  std::unique_ptr<pdx::Table> m_table;
};

struct RegistryRow {
  std::string code, shortName, year;  // SIRKET_KOD, KISA_AD, NUMBER1 as text
};

// The rows of the registry table `table` in `directory`; throws when it
// cannot be opened.
std::vector<RegistryRow> ReadRegistry(const platform::TypedPath& directory,
                                      const std::string& table = "sirket.db");

// The first `count` characters of a UTF-8 text, as the registry keeps a name.
std::string FirstCharacters(const std::string& text, std::size_t count);

}  // namespace report
