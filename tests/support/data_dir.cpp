// DataDir, Registry and the template directory.
#include <algorithm>
#include <fstream>
#include <stdexcept>

#include "support/company_fixture.h"
#include "support/product_layouts.h"

namespace fixture {

namespace fs = std::filesystem;
using T = pdx::FieldType;

namespace {

void writePlain(const fs::path& file, const std::string& content) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << content;
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

// Small product tables the jobs only move as files.
void writeProductTables(const fs::path& dir, const std::string& sortOrder, WriteLog* log,
                        int blockKiB) {
  TableOptions keyed;
  keyed.blockKiB = blockKiB;
  keyed.keyFields = 1;
  keyed.sortOrder = sortOrder;
  keyed.val = true;
  writeRows(dir / "c_grup.DB", {{"GRUPKOD", T::kAlpha, 15, true}, {"GRUPAD", T::kAlpha, 40, false}},
            {Row{{"GRUPKOD", Variant{"MUS"}}, {"GRUPAD", Variant{"Müşteriler"}}},
             Row{{"GRUPKOD", Variant{"SAT"}}, {"GRUPAD", Variant{"Satıcılar"}}}},
            keyed, log);
  TableOptions plain;
  plain.sortOrder = sortOrder;
  plain.blockKiB = blockKiB;
  writeRows(dir / "tssabit.DB",
            {{"SIRA", T::kShort, 0, false},
             {"ACIKLAMA", T::kAlpha, 40, false},
             {"ORAN", T::kNumber, 0, false}},
            {Row{{"SIRA", Variant{std::int64_t{1}}},
                 {"ACIKLAMA", Variant{"Gecikme faizi"}},
                 {"ORAN", Variant{3.5}}}},
            plain, log);
  writeRows(dir / "taksit.DB",
            {{"TAKSITNO", T::kShort, 0, false},
             {"VADEGUN", T::kShort, 0, false},
             {"ACIKLAMA", T::kAlpha, 30, false}},
            {Row{{"TAKSITNO", Variant{std::int64_t{3}}},
                 {"VADEGUN", Variant{std::int64_t{30}}},
                 {"ACIKLAMA", Variant{"Üç taksit"}}}},
            plain, log);
}

}  // namespace

void writeTemplate(const fs::path& dataDir, const std::string& sortOrder, WriteLog* log,
                   int blockKiB) {
  const fs::path dir = dataDir / "DBBACKUP";
  CompanyDir empty("DBBACKUP", Edition::kNewest);
  empty.write(dir, sortOrder, log, blockKiB);
  if (log != nullptr) {
    for (WrittenTable& t : *log) {
      if (t.file.parent_path() != dir) continue;
      const std::string name = t.file.filename().string();
      if (name == "ayar.DB" || name == "ayar2.DB")
        t.file.replace_filename(name.substr(0, name.size() - 2) + "db");
    }
  }
  // The template's settings files carry the names the paths are typed with.
  fs::rename(dir / "ayar.DB", dir / "ayar.db");
  fs::rename(dir / "ayar.VAL", dir / "ayar.val");
  fs::rename(dir / "ayar2.DB", dir / "ayar2.db");
  fs::rename(dir / "ayar2.VAL", dir / "ayar2.val");
  writeProductTables(dir, sortOrder, log, blockKiB);
}

Registry& Registry::company(const std::string& code, const std::string& shortName, Variant year,
                            Row extra) {
  Row r{{"SIRKET_KOD", Variant{code}}, {"KISA_AD", Variant{shortName}}, {"NUMBER1", year}};
  for (const auto& [k, v] : extra) r[k] = v;
  rows.push_back(std::move(r));
  return *this;
}

DataDir::DataDir(fs::path root, Edition edition)
    : m_root(std::move(root)), m_edition(edition), m_template(edition == Edition::kNewest) {}

CompanyDir& DataDir::company(const std::string& code) {
  return m_companies.try_emplace(code, code, m_edition).first->second;
}

DataDir& DataDir::withTemplate(bool on) {
  m_template = on;
  return *this;
}

DataDir& DataDir::withFile(const std::string& name, std::string content) {
  m_files[name] = std::move(content);
  return *this;
}

DataDir& DataDir::sortOrder(std::string name) {
  m_sortOrder = std::move(name);
  return *this;
}

DataDir& DataDir::blockSizeKiB(int kib) {
  m_blockKiB = kib;
  return *this;
}

void DataDir::write(WriteLog* log) const {
  fs::create_directories(m_root);
  std::vector<Row> rows = m_registry.rows;
  // Keyed on SIRKET_KOD: in a sort order we cannot reproduce the rows are
  // written in byte order of the codes, which the builder keeps as given.
  std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
    return std::get<std::string>(a.at("SIRKET_KOD").value) <
           std::get<std::string>(b.at("SIRKET_KOD").value);
  });
  TableOptions options;
  options.keyFields = 1;
  options.indexes = {"KISA_AD"};
  options.sortOrder = m_sortOrder;
  options.blockKiB = m_blockKiB;
  if (m_edition == Edition::kNewest) {
    options.memoFile = true;
    writeRows(m_root / "sirket.db", schema::Sirket(), rows, options, log);
  } else {
    // The older editions' registry: a 5.x table whose fields are a superset of
    // the two the upgrade reads. It carries the newest registry's fields too,
    // because the upgrade copies it over the newest registry and a
    // carry-forward then reads it there.
    options.memoFile = true;
    options.versionId = 11;
    writeRows(m_root / "sirket.DB", layout::SirketOld(), rows, options, log);
  }
  if (m_template) writeTemplate(m_root, m_sortOrder, log, m_blockKiB);
  for (const auto& [code, company] : m_companies)
    company.write(m_root / code, m_sortOrder, log, m_blockKiB);
  for (const auto& [name, content] : m_files) writePlain(m_root / name, content);
}

}  // namespace fixture
