#include "data/job_fixture.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "data/names.h"
#include "data/ttable.h"
#include "support/testos.h"
#include "support/paradox_builder.h"
#include "support/pxlib_reader.h"

namespace jobs {

using T = pdx::FieldType;

Variant txt(const std::string& s) {
  return Variant{s};
}
Variant num(double d) {
  return Variant{d};
}
Variant flag(bool b) {
  return Variant{b};
}
Variant day(double days) {
  return Variant{Variant::DateTime{days}};
}

TempDir::TempDir() {
  m_path = testos::makeScratchDirectory("udjobs-");
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(m_path, ec);
}

namespace {
int gBlockKiB = 0;
}  // namespace

void setBlockSizeKiB(int kib) {
  gBlockKiB = kib;
}

void writeTable(const fs::path& dbFile, const std::vector<FieldSpec>& layout,
                const std::vector<Row>& rows, int keyFields, bool withVal) {
  fixture::TableBuilder b = fixture::TableBuilder::fromSchema(layout);
  if (keyFields > 0) b.keyed(keyFields);
  if (gBlockKiB > 0) b.blockSizeKiB(gBlockKiB);
  if (withVal) b.withValFile();
  for (const Row& r : rows) {
    std::vector<Variant> values(layout.size());
    std::size_t used = 0;
    for (std::size_t i = 0; i < layout.size(); ++i) {
      auto it = r.find(layout[i].name);
      if (it != r.end()) {
        values[i] = it->second;
        ++used;
      }
    }
    if (used != r.size()) throw std::invalid_argument("row names a field the layout lacks");
    b.row(std::move(values));
  }
  fs::create_directories(dbFile.parent_path());
  b.write(dbFile);
}

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

void writeFile(const fs::path& file, const std::string& content) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << content;
}

std::string readFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

fs::path findFile(const fs::path& dir, const std::string& name) {
  for (const auto& e : fs::directory_iterator(dir))
    if (sameName(e.path().filename().string(), name)) return e.path();
  return dir / name;
}

std::map<std::string, std::string> snapshot(const fs::path& dir) {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::recursive_directory_iterator(dir))
    if (e.is_regular_file()) files[fs::relative(e.path(), dir).string()] = readFile(e.path());
  return files;
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
  if (!fixture::pxlib::available()) return {"pxlib unavailable"};
  const fixture::pxlib::Table px = fixture::pxlib::read(dbFile);
  const std::vector<Row> ours = readTable(dbFile);
  std::vector<std::string> out;
  if (px.rows.size() != ours.size())
    return {"record count: pxlib " + std::to_string(px.rows.size()) + " engine " +
            std::to_string(ours.size())};
  for (std::size_t r = 0; r < ours.size(); ++r) {
    for (std::size_t i = 0; i < px.fields.size(); ++i) {
      const fixture::pxlib::Field& f = px.fields[i];
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

std::vector<std::string> changedFiles(const Snapshot& before, const Snapshot& after) {
  std::vector<std::string> out;
  for (const auto& [name, content] : before) {
    auto it = after.find(name);
    if (it == after.end())
      out.push_back(name + " (removed)");
    else if (it->second != content)
      out.push_back(name + " (changed)");
  }
  for (const auto& [name, content] : after)
    if (!before.count(name)) out.push_back(name + " (added)");
  return out;
}

const std::vector<FieldSpec>& FaturaFull() {
  static const std::vector<FieldSpec> kFields = {
      {"BFTKOD", T::kAutoInc, 0, false},  {"FATNO", T::kAlpha, 15, false},
      {"CARIKODU", T::kAlpha, 30, false}, {"TARIH", T::kDate, 0, false},
      {"TUTAR", T::kNumber, 0, false},    {"LOJIK3", T::kLogical, 0, false},
      {"LOJIK4", T::kLogical, 0, false},  {"ACIKLAMA", T::kAlpha, 50, false},
  };
  return kFields;
}

const std::vector<FieldSpec>& SettingsOld(int n) {
  static std::map<int, std::vector<FieldSpec>> cache;
  auto& fields = cache[n];
  if (fields.empty()) {
    // The first fields of the newest layout, then fields of its own.
    const auto& ayar = schema::Ayar();
    for (int i = 0; i < n; ++i) {
      if (i < 40 && i < static_cast<int>(ayar.size()))
        fields.push_back(ayar[static_cast<std::size_t>(i)]);
      else
        fields.push_back({"ESKI" + std::to_string(i), T::kAlpha, 10, false});
    }
  }
  return fields;
}

const std::vector<FieldSpec>& Ayar2() {
  static const std::vector<FieldSpec> kFields = {{"SIRA", T::kLong, 0, false},
                                                 {"DEGER", T::kAlpha, 40, false}};
  return kFields;
}

void Company::write(const fs::path& dir) const {
  writeTable(dir / "Cari.DB", schema::Cari(), cards, 1);
  writeTable(dir / "Stok.DB", schema::Stok(), stock, 1);
  writeTable(dir / "ceksen.DB", schema::Ceksen(), cheques, 1);
  writeTable(dir / "Char.DB", schema::Char(), movements, 1);
  writeTable(dir / "Fatura.DB", FaturaFull(), invoices, 1);
  writeTable(dir / "urhar.db", schema::Urhar(), production, 1);
  writeTable(dir / "ayar.db", schema::Ayar(), settings, 0, true);
  writeTable(dir / "ayar2.db", Ayar2(),
             {Row{{"SIRA", Variant{std::int64_t{1}}}, {"DEGER", txt("şirket")}}}, 0, true);
  for (const auto& [name, content] : extraFiles) writeFile(dir / name, content);
}

Row registryRow(const std::string& code, const std::string& shortName, Variant year) {
  return Row{{"SIRKET_KOD", txt(code)},      {"KISA_AD", txt(shortName)},
             {"NUMBER1", std::move(year)},   {"KURULUSTAR", day(36526)},
             {"KAYITTARIHI", day(38353)},    {"UNVAN", txt(shortName + " Ticaret")},
             {"VERGINO", txt("1234567890")}, {"ADRES", txt("Atatürk Cad. No: 1")},
             {"LOJIK2", flag(true)},         {"NUMBER3", num(7.5)},
             {"ALPHA5", txt("genel")}};
}

void writeTemplate(const fs::path& dataDir) {
  const fs::path t = dataDir / "DBBACKUP";
  writeTable(t / "Cari.DB", schema::Cari(), {}, 1);
  writeTable(t / "Stok.DB", schema::Stok(), {}, 1);
  writeTable(t / "ceksen.DB", schema::Ceksen(), {}, 1);
  writeTable(t / "Char.DB", schema::Char(), {}, 1);
  writeTable(t / "Fatura.DB", FaturaFull(), {Row{{"FATNO", txt("ŞABLON")}}}, 1);
  writeTable(t / "urhar.db", schema::Urhar(), {}, 1);
  writeTable(t / "ayar.db", schema::Ayar(),
             {Row{{"PARABIRIMI", txt("Şablon Lira")},
                  {"DIPNOT", txt("şablon")},
                  {"MENUWIDTH", Variant{std::int64_t{800}}}}},
             0, true);
  writeTable(t / "ayar2.db", Ayar2(),
             {Row{{"SIRA", Variant{std::int64_t{2}}}, {"DEGER", txt("şablon")}}}, 0, true);
  writeFile(t / "banka.DB", "template banka");
  writeFile(t / "c_grup.DB", "template c_grup");
  writeFile(t / "tssabit.DB", "template tssabit");
}

void writeNewest(const fs::path& dataDir, const std::vector<Row>& registry) {
  writeTable(dataDir / "sirket.db", schema::Sirket(), registry, 1);
  writeTemplate(dataDir);
}

}  // namespace jobs
