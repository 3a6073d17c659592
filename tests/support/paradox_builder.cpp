#include "support/paradox_builder.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <stdexcept>

#include "support/key_order.h"
#include "support/memo_file.h"
#include "support/record_codec.h"
#include "support/table_file.h"

namespace fixture {

using detail::fieldWidth;
using T = pdx::FieldType;

namespace {

bool hasLowerCase(const std::string& s) {
  return std::any_of(s.begin(), s.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

int columnIndex(const TableSpec& spec, const std::string& name) {
  for (std::size_t i = 0; i < spec.columns.size(); ++i) {
    if (spec.columns[i].name == name) return static_cast<int>(i);
  }
  throw std::invalid_argument("no column named " + name);
}

}  // namespace

std::filesystem::path companionPath(const std::filesystem::path& dbFile, const std::string& ext) {
  std::string e = ext;
  const std::string own = dbFile.extension().string();
  for (char& c : e) {
    c = static_cast<char>(hasLowerCase(own) ? std::tolower(static_cast<unsigned char>(c))
                                            : std::toupper(static_cast<unsigned char>(c)));
  }
  std::filesystem::path p = dbFile;
  p.replace_extension("." + e);
  return p;
}

std::string secondaryIndexExtension(const TableSpec& spec, std::size_t indexNumber, bool y) {
  const SecondaryIndex& index = spec.indexes.at(indexNumber);
  char buf[16];
  if (index.name.empty()) {
    std::snprintf(buf, sizeof buf, "%c%02X", y ? 'Y' : 'X',
                  columnIndex(spec, index.fields.at(0)) + 1);
  } else {
    int composite = 0;
    for (std::size_t i = 0; i < indexNumber; ++i) composite += spec.indexes[i].name.empty() ? 0 : 1;
    std::snprintf(buf, sizeof buf, "%cG%d", y ? 'Y' : 'X', composite);
  }
  return buf;
}

// ---- TableBuilder ----

TableBuilder::TableBuilder(std::vector<Column> columns) {
  m_spec.columns = std::move(columns);
}

TableBuilder TableBuilder::fromSchema(const std::vector<FieldSpec>& fields) {
  std::vector<Column> columns;
  for (const FieldSpec& f : fields) columns.push_back({f.name, f.type, f.size});
  return TableBuilder(std::move(columns));
}

TableBuilder& TableBuilder::keyed(int n) {
  m_spec.keyFields = n;
  return *this;
}
TableBuilder& TableBuilder::blockSizeKiB(int kib) {
  m_spec.blockKiB = kib;
  return *this;
}
TableBuilder& TableBuilder::versionId(int id) {
  m_spec.versionId = id;
  return *this;
}
TableBuilder& TableBuilder::codePage(int cp) {
  m_spec.codePage = cp;
  return *this;
}
TableBuilder& TableBuilder::sortOrder(std::string name, int code) {
  m_spec.sortOrder = std::move(name);
  m_spec.sortOrderCode = code;
  return *this;
}
TableBuilder& TableBuilder::rawOrder() {
  m_spec.rawOrder = true;
  return *this;
}
TableBuilder& TableBuilder::secondaryIndex(std::string field, bool caseInsensitive) {
  m_spec.indexes.push_back({"", {std::move(field)}, caseInsensitive});
  return *this;
}
TableBuilder& TableBuilder::compositeIndex(std::string name, std::vector<std::string> fields,
                                           bool caseInsensitive) {
  if (name.empty()) throw std::invalid_argument("a composite index needs a name");
  m_spec.indexes.push_back({std::move(name), std::move(fields), caseInsensitive});
  return *this;
}
TableBuilder& TableBuilder::autoIncrementNext(std::uint32_t next) {
  m_spec.autoIncrementNext = next;
  return *this;
}
TableBuilder& TableBuilder::changeCounters(std::uint8_t change, std::uint8_t structure) {
  m_spec.changeCount = change;
  m_spec.structureCount = structure;
  return *this;
}
TableBuilder& TableBuilder::withValFile() {
  m_spec.writeVal = true;
  return *this;
}
TableBuilder& TableBuilder::withMemoFile() {
  m_spec.alwaysWriteMemoFile = true;
  return *this;
}
TableBuilder& TableBuilder::tableName(std::string name) {
  m_spec.tableName = std::move(name);
  return *this;
}
TableBuilder& TableBuilder::row(std::vector<Variant> values) {
  if (values.size() > m_spec.columns.size()) {
    throw std::invalid_argument("row has more values than the table has columns");
  }
  values.resize(m_spec.columns.size());
  m_rows.push_back(std::move(values));
  return *this;
}

void TableBuilder::write(const std::filesystem::path& dbFile) const {
  std::vector<std::vector<Variant>> rows = m_rows;
  // Number blank auto-increment values in the order the rows were given.
  std::int64_t last = m_spec.autoIncrementNext ? std::int64_t{*m_spec.autoIncrementNext} - 1 : 0;
  for (std::size_t c = 0; c < m_spec.columns.size(); ++c) {
    if (m_spec.columns[c].type != T::kAutoInc) continue;
    for (const auto& r : rows) {
      if (const auto* v = std::get_if<std::int64_t>(&r[c].value)) last = std::max(last, *v);
    }
  }
  for (std::size_t c = 0; c < m_spec.columns.size(); ++c) {
    if (m_spec.columns[c].type != T::kAutoInc) continue;
    for (auto& r : rows) {
      if (r[c].isNull()) r[c].value = ++last;
    }
  }
  TableWriter writer(m_spec, dbFile);
  if (m_spec.keyFields > 0 && !m_spec.rawOrder) {
    std::vector<std::pair<std::string, std::size_t>> order;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      std::string key;
      for (int k = 0; k < m_spec.keyFields; ++k) {
        const Column& col = m_spec.columns[static_cast<std::size_t>(k)];
        std::string bytes(static_cast<std::size_t>(fieldWidth(col)), '\0');
        detail::encodeValue(col, rows[i][static_cast<std::size_t>(k)], m_spec.codePage,
                            bytes.data(), nullptr);
        key += bytes;
      }
      order.emplace_back(std::move(key), i);
    }
    const detail::KeyOrder keyOrder(
        std::vector<Column>(m_spec.columns.begin(), m_spec.columns.begin() + m_spec.keyFields),
        SortOrder::forName(m_spec.sortOrder));
    std::stable_sort(order.begin(), order.end(), [&](const auto& a, const auto& b) {
      return keyOrder.compare(a.first.data(), b.first.data()) < 0;
    });
    for (const auto& [key, i] : order) writer.append(rows[i]);
  } else {
    for (const auto& r : rows) writer.append(r);
  }
  writer.finish();
}

}  // namespace fixture
