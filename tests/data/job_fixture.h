// Data directories for job tests, written with the Paradox fixture builder:
// a registry, a template directory and company directories whose tables
// carry the declared layouts, filled by field name.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "data/schemas.h"
#include "data/variant.h"

namespace jobs {

namespace fs = std::filesystem;

// Field name -> value; fields not named are blank.
using Row = std::map<std::string, Variant>;

Variant txt(const std::string& s);
Variant num(double d);
Variant flag(bool b);
Variant day(double days);
inline Variant blank() {
  return Variant{};
}

// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const fs::path& path() const { return m_path; }

 private:
  fs::path m_path;
};

// Writes a table of the given layout; `keyFields` leading fields form the
// key. `extra` columns follow the declared ones (product fields the jobs
// never name).
void writeTable(const fs::path& dbFile, const std::vector<FieldSpec>& layout,
                const std::vector<Row>& rows, int keyFields = 0, bool withVal = false);

// Block size (KiB) of the tables written from now on; 0: the smallest block
// a record fits, so that few records cross block boundaries.
void setBlockSizeKiB(int kib);

// Every record of a table in table order, every field by name, read with
// our own engine (blank fields are absent).
std::vector<Row> readTable(const fs::path& dbFile);

// Writes a plain file with the given content.
void writeFile(const fs::path& file, const std::string& content);
std::string readFile(const fs::path& file);
// The file of that name in `dir`, letter case ignored (the name itself when
// there is none).
fs::path findFile(const fs::path& dir, const std::string& name);

// Every file under `dir` (relative path -> content), sub-directories
// included: compare two snapshots to prove a directory was only read.
std::map<std::string, std::string> snapshot(const fs::path& dir);
using Snapshot = std::map<std::string, std::string>;
// The files that differ between two snapshots (added, removed or changed),
// by name; empty when the directory is byte for byte as it was.
std::vector<std::string> changedFiles(const Snapshot& before, const Snapshot& after);

// Reads a table with pxlib and with our engine and lists every value on
// which they differ ("row 3 KTBKY: pxlib 5 engine 6"); empty when they agree.
// Memo and blob fields are not compared (pxlib cannot read them), nor blank
// integer, date and time values (pxlib on 64-bit machines misreads them).
// Returns {"pxlib unavailable"} when the tests were built without pxlib.
std::vector<std::string> pxlibDisagreements(const fs::path& dbFile);

// Layouts the jobs meet beside the declared ones.
const std::vector<FieldSpec>& FaturaFull();        // invoices: LOJIK3, LOJIK4 and more
const std::vector<FieldSpec>& SettingsOld(int n);  // an older settings table of n fields
const std::vector<FieldSpec>& Ayar2();             // second settings table

// One company directory of the newest edition.
struct Company {
  std::vector<Row> cards, stock, cheques, movements, production, invoices;
  std::vector<Row> settings{Row{{"PARABIRIMI", txt("Türk Lirası")},
                                {"PARASIMGE", txt("TL")},
                                {"PRBRHASSAS", txt("0")},
                                {"DIPNOT", txt("Eski dipnot")},
                                {"SOL_MAR", Variant{std::int64_t{12}}}}};
  // Writes Cari, Stok, ceksen, Char, Fatura, urhar, ayar, ayar2 and the
  // given extra plain files.
  void write(const fs::path& dir) const;
  std::map<std::string, std::string> extraFiles;
};

// A registry row of the newest edition.
Row registryRow(const std::string& code, const std::string& shortName, Variant year);

// The template directory DBBACKUP: every company table empty except ayar
// (one row of defaults), with ayar.val and ayar2, plus a few plain files.
void writeTemplate(const fs::path& dataDir);

// A newest data directory: registry rows (keyed on SIRKET_KOD) and template.
void writeNewest(const fs::path& dataDir, const std::vector<Row>& registry);

}  // namespace jobs
