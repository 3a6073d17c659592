// Data directories that speak the product's language, for tests and the
// sample-data tool:
//
//   DataDir newest(root);
//   newest.registry().company("2005_001", "Özdemir Gıda Ltd.Şti.", 2005);
//   CompanyDir& c = newest.company("2005_001");
//   c.withCard("120.01", 250, "Alacak").withCheque("Bankada", 1'000'000);
//   c.withMovement({.kind = "Kendi Çekim", .instalment = true, .paid = false});
//   newest.write();
//
// Tables get the product's keys (auto-increment record numbers, the
// registry on SIRKET_KOD) and secondary indexes (account and stock codes,
// KISA_AD); all blocks are 1 KiB or the smallest a record fits unless a
// block size is asked for.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "data/schemas.h"
#include "data/variant.h"

namespace fixture {

// Field name -> value; fields not named are blank.
using Row = std::map<std::string, Variant>;

// Values by kind: a text ("" is blank), a number, a logical, a whole number
// (short, long, time of day in ms), the product's day (days since 1899-12-30).
inline Variant txt(const std::string& s) {
  return s.empty() ? Variant{} : Variant{s};
}
inline Variant num(double d) {
  return Variant{d};
}
inline Variant flag(bool b) {
  return Variant{b};
}
inline Variant whole(std::int64_t i) {
  return Variant{i};
}
inline Variant day(double d) {
  return Variant{Variant::DateTime{d}};
}

// What was written, table by table: the file, its layout and the values of
// each record in the order given to the builder (an auto-increment left
// blank is numbered by the builder).
struct WrittenTable {
  std::filesystem::path file;
  std::vector<FieldSpec> layout;
  std::vector<std::vector<Variant>> rows;
};
using WriteLog = std::vector<WrittenTable>;

enum class Edition { kNewest, kOlder };

struct Movement {
  std::string account = "120.01";
  double amount = 100'000;
  std::string kind;                // ALPHA3: "", "1".."4" or an older kind name
  std::optional<bool> instalment;  // TAKSIT; nullopt leaves it blank
  std::optional<bool> paid;        // ODEDI
  std::string type = "Fatura";     // IS_TUR
  double date = 38353;             // TARIH, the product's day (2005-01-01)
  Row extra;
};

class CompanyDir {
 public:
  CompanyDir(std::string code, Edition edition) : m_code(std::move(code)), m_edition(edition) {}
  const std::string& code() const { return m_code; }

  // A current-account card with its total balance on `side` ("Borç" or
  // "Alacak"); debit and credit sums are made consistent with it.
  CompanyDir& withCard(const std::string& account, double balance, const std::string& side,
                       Row extra = {});
  // The same for a card's foreign-currency group (D..), for withCard's extra.
  static Row foreignBalance(double balance, const std::string& side);
  CompanyDir& withStock(const std::string& stockCode, double quantity, double value,
                        Row extra = {});
  CompanyDir& withCheque(const std::string& state, double amount, Row extra = {});
  CompanyDir& withMovement(Movement m);
  // An invoice; flags left blank unless given.
  CompanyDir& withInvoice(std::optional<bool> lojik3 = std::nullopt,
                          std::optional<bool> lojik4 = std::nullopt, Row extra = {});
  CompanyDir& withProduction(const std::string& stockCode, double quantity, double price,
                             Row extra = {});
  // Values of the settings table's first row (merged into the defaults).
  CompanyDir& settings(Row values);
  // A further settings row, as given; withoutSettings: an empty settings table.
  CompanyDir& withSettingsRow(Row values);
  CompanyDir& withoutSettings();
  // The settings layout: 0 = the newest 84 fields, else an older layout of
  // that many fields (layout::AyarOld).
  CompanyDir& settingsFieldCount(int n);
  CompanyDir& movementLayout(std::vector<FieldSpec> layout);
  // A plain file the jobs only copy ("rapor.txt", "c_grup.DB" ...).
  CompanyDir& withFile(const std::string& name, std::string content);

  // Writes the company's tables into `dir` (created); `blockKiB` as in
  // TableOptions.
  void write(const std::filesystem::path& dir, const std::string& sortOrder = "ascii",
             WriteLog* log = nullptr, int blockKiB = 0) const;

  std::vector<Row> cards, stock, cheques, movements, invoices, production;
  Row settingsRow;
  std::vector<Row> moreSettings;
  bool noSettings = false;

 private:
  std::string m_code;
  Edition m_edition;
  int m_settingsFields = 0;
  std::optional<std::vector<FieldSpec>> m_movementLayout;
  std::map<std::string, std::string> m_files;
};

class Registry {
 public:
  // A company row; `year` is NUMBER1 (the working year), blank when null.
  Registry& company(const std::string& code, const std::string& shortName, Variant year,
                    Row extra = {});
  Registry& company(const std::string& code, const std::string& shortName, int year,
                    Row extra = {}) {
    return company(code, shortName, Variant{static_cast<double>(year)}, std::move(extra));
  }
  std::vector<Row> rows;
};

class DataDir {
 public:
  explicit DataDir(std::filesystem::path root, Edition edition = Edition::kNewest);
  const std::filesystem::path& root() const { return m_root; }

  Registry& registry() { return m_registry; }
  // The company directory of that code (made on first use). A registry row
  // without a company directory is simply a row never given here.
  CompanyDir& company(const std::string& code);
  // The template directory DBBACKUP (newest edition); on by default there.
  DataDir& withTemplate(bool on = true);
  // A plain file in the data directory itself.
  DataDir& withFile(const std::string& name, std::string content);
  // Language driver of every table (a variant the engine cannot reorder).
  DataDir& sortOrder(std::string name);
  // Block size of every table (TableOptions::blockKiB).
  DataDir& blockSizeKiB(int kib);

  // Writes everything; each table is recorded in `log` when given.
  void write(WriteLog* log = nullptr) const;

 private:
  std::filesystem::path m_root;
  Edition m_edition;
  Registry m_registry;
  std::map<std::string, CompanyDir> m_companies;
  bool m_template;
  std::string m_sortOrder = "ascii";
  int m_blockKiB = 0;
  std::map<std::string, std::string> m_files;
};

// Writes the template directory DBBACKUP under `dataDir`: every company
// table empty but the settings (one row of defaults), ayar.val, ayar2, and
// the plain product tables c_grup.*, tssabit.*, taksit.*.
void writeTemplate(const std::filesystem::path& dataDir, const std::string& sortOrder = "ascii",
                   WriteLog* log = nullptr, int blockKiB = 0);

// Writes `rows` as a table of `layout`, by field name (a name the layout
// lacks throws std::invalid_argument).
struct TableOptions {
  int keyFields = 0;
  std::vector<std::string> indexes;  // single-field secondary indexes
  bool val = false;
  bool memoFile = false;
  std::string sortOrder = "ascii";
  int versionId = 12;
  int blockKiB = 0;
};
void writeRows(const std::filesystem::path& dbFile, const std::vector<FieldSpec>& layout,
               const std::vector<Row>& rows, const TableOptions& options = {},
               WriteLog* log = nullptr);

// An edition upgrade's two directories under `root`: an older edition's
// data ("OLD": companies 1001 and 1002) and a newest data directory ("NEW")
// that already holds a company of its own (dropped from the list by the
// upgrade) and one of the older codes.
void writeEditions(const std::filesystem::path& root);

}  // namespace fixture
