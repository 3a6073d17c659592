#include "report/tables.h"

#include "data/tablepath.h"

namespace report {

TableReader::TableReader(const platform::TypedPath& directory, const std::string& tableName) {
  pdx::OpenOptions options;
  options.readOnly = true;
  options.mapBlocks = false;  // one forward pass over every record
  m_table = pdx::Table::open(ResolveTableFile(directory, tableName), options);
  m_table->first();
}

std::string TableReader::code(int f) const {
  if (f < 0) return std::string();
  const pdx::FieldInfo& info = m_table->fields()[static_cast<std::size_t>(f)];
  if (info.type == pdx::FieldType::kAutoInc || info.type == pdx::FieldType::kLong)
    return info.name + " " + key(f);
  return m_table->asString(f);
}

std::vector<RegistryRow> ReadRegistry(const platform::TypedPath& directory,
                                      const std::string& table) {
  pdx::OpenOptions options;
  options.readOnly = true;
  auto t = pdx::Table::open(ResolveTableFile(directory, table), options);
  const int code = t->findField("SIRKET_KOD"), name = t->findField("KISA_AD"),
            year = t->findField("NUMBER1");
  std::vector<RegistryRow> rows;
  for (t->first(); !t->eof(); t->next())
    rows.push_back({code < 0 ? "" : t->asString(code), name < 0 ? "" : t->asString(name),
                    year < 0 ? "" : t->asString(year)});
  return rows;
}

std::string FirstCharacters(const std::string& text, std::size_t count) {
  std::size_t bytes = 0;
  for (std::size_t seen = 0; bytes < text.size(); ++bytes)
    if ((static_cast<unsigned char>(text[bytes]) & 0xC0) != 0x80 && seen++ == count) break;
  return text.substr(0, bytes);
}

}  // namespace report
