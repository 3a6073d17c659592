#include "support/table_reader.h"

#include <gtest/gtest.h>

#include <cmath>

#include "data/names.h"
#include "data/ttable.h"
#include "support/pxlib_reader.h"

namespace fixture {

namespace fs = std::filesystem;

std::vector<Row> readTable(const fs::path& dbFile) {
  TTable t("read", dbFile.filename().string(), nullptr);
  t.setDatabaseName(dbFile.parent_path().string());
  t.open();
  std::vector<Row> rows;
  for (t.first(); !t.eof(); t.next()) {
    Row r;
    for (int i = 0; i < t.fieldCount(); ++i) {
      Variant v = t.fields(i).value();
      if (!v.isNull()) r[t.fieldName(i)] = v;
    }
    rows.push_back(std::move(r));
  }
  return rows;
}

std::string text(const Row& row, const std::string& field) {
  const auto it = row.find(field);
  if (it == row.end()) return "";
  const auto* t = std::get_if<std::string>(&it->second.value);
  return t ? *t : "<not text>";
}

double number(const Row& row, const std::string& field) {
  const auto it = row.find(field);
  if (it == row.end()) return 0;
  const auto* d = std::get_if<double>(&it->second.value);
  return d ? *d : std::nan("");
}

std::vector<std::string> texts(const std::vector<Row>& rows, const std::string& field) {
  std::vector<std::string> values;
  for (const Row& r : rows) values.push_back(text(r, field));
  return values;
}

fs::path findFile(const fs::path& dir, const std::string& name) {
  for (const auto& e : fs::directory_iterator(dir))
    if (sameName(e.path().filename().string(), name)) return e.path();
  return dir / name;
}

namespace {

std::string show(const Variant& v) {
  return std::visit(
      [](const auto& x) -> std::string {
        using V = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<V, std::monostate>)
          return "blank";
        else if constexpr (std::is_same_v<V, std::string>)
          return "'" + x + "'";
        else if constexpr (std::is_same_v<V, bool>)
          return x ? "true" : "false";
        else if constexpr (std::is_same_v<V, Variant::DateTime>)
          return "day " + std::to_string(x.days);
        else if constexpr (std::is_same_v<V, Variant::Bytes>)
          return "bytes";
        else
          return std::to_string(x);
      },
      v.value);
}

}  // namespace

std::vector<std::string> pxlibDisagreements(const fs::path& dbFile) {
  if (!pxlib::available()) return {"pxlib unavailable"};
  const pxlib::Table px = pxlib::read(findFile(dbFile.parent_path(), dbFile.filename().string()));
  const std::vector<Row> ours = readTable(dbFile);
  std::vector<std::string> out;
  if (px.rows.size() != ours.size())
    return {"record count: pxlib " + std::to_string(px.rows.size()) + " engine " +
            std::to_string(ours.size())};
  for (std::size_t r = 0; r < ours.size(); ++r) {
    for (std::size_t i = 0; i < px.fields.size(); ++i) {
      const pxlib::Field& f = px.fields[i];
      if (f.type == 'M' || f.type == 'B' || f.type == 'F' || f.type == 'O' || f.type == 'G')
        continue;
      auto it = ours[r].find(f.name);
      const Variant mine = it == ours[r].end() ? Variant{} : it->second;
      Variant theirs = px.rows[r][i];
      const bool misreadWhenBlank = f.type == 'S' || f.type == 'I' || f.type == '+' ||
                                    f.type == 'D' || f.type == 'T' || f.type == '@';
      if (mine.isNull() && misreadWhenBlank) continue;
      // pxlib reads a blank number as 0.
      const auto* zero = std::get_if<double>(&theirs.value);
      if (mine.isNull() && (f.type == 'N' || f.type == '$') && zero && *zero == 0) continue;
      if (f.type == 'T') {  // pxlib: milliseconds; engine: fraction of a day
        if (const auto* ms = std::get_if<std::int64_t>(&theirs.value))
          theirs = Variant{Variant::DateTime{static_cast<double>(*ms) / 86400000.0}};
        const auto* a = std::get_if<Variant::DateTime>(&mine.value);
        const auto* b = std::get_if<Variant::DateTime>(&theirs.value);
        if (a && b && std::abs(a->days - b->days) < 1e-9) continue;
      }
      if (!(mine == theirs))
        out.push_back("row " + std::to_string(r) + " " + f.name + ": pxlib " + show(theirs) +
                      " engine " + show(mine));
    }
  }
  return out;
}

void expectPxlibAgrees(const fs::path& dbFile) {
  const auto diff = pxlibDisagreements(dbFile);
  if (diff == std::vector<std::string>{"pxlib unavailable"}) return;
  EXPECT_TRUE(diff.empty()) << dbFile << ": " << diff.front();
}

}  // namespace fixture
