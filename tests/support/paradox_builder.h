// Writes real Paradox tables for tests: data file, primary index, secondary
// indexes, memo file and validity file, laid out as the BDE lays them out.
//
// The builder is a writer of the on-disk format of its own, independent of
// the engine in src/paradox, so that each checks the other. Rows are given as
// Variants (src/data/variant.h):
//   text (A, M, F)          std::string, UTF-8, encoded to the code page;
//                           a text longer than an alpha field is cut
//   S, I, +                 std::int64_t (or a whole double)
//   N, $                    double (or std::int64_t)
//   #                       double, or std::string holding the decimal text
//   L                       bool
//   D                       Variant::DateTime (the product's day number)
//   T                       Variant::DateTime (fraction of a day) or
//                           std::int64_t milliseconds since midnight
//   @                       Variant::DateTime
//   Y, B, O, G              Variant::Bytes (or std::string) as raw bytes
//   null                    blank
// A value of another type throws std::invalid_argument naming the column.
//
// Keyed tables get their records in key order and the primary index with
// every level; their blocks are filled to the last record, as the BDE fills
// them when records arrive in key order. Alpha keys and index fields are
// ordered by the table's sort order: "ascii" (bytes) or "ANTURK" (the Turkish
// alphabet, support/sort_order.h); a table with another sort order and an
// alpha key or alpha index field is refused unless rawOrder() is asked for,
// which keeps the rows in the order they were given (index entries then go
// in byte order).
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "data/schemas.h"
#include "data/variant.h"
#include "paradox/table.h"

namespace fixture {

struct Column {
  std::string name;
  pdx::FieldType type;
  int size = 0;  // text, memo and bytes size; decimals for '#'; else unused
};

struct SecondaryIndex {
  std::string name;                 // empty for a single-field .Xnn index
  std::vector<std::string> fields;  // indexed fields, in order
  bool caseInsensitive = false;
};

// Everything about a table but its rows.
struct TableSpec {
  std::vector<Column> columns;
  int keyFields = 0;    // 0: no key (file type 2)
  int blockKiB = 0;     // 0: 1 KiB, or the smallest block a record fits
  int versionId = 12;   // 3, 4 (3.x), 5-9 (4.x), 10-11 (5.x), 12 (7.x)
  int codePage = 1254;  // header code page (version 5 and later)
  std::string sortOrder = "ascii";
  int sortOrderCode = 0;  // header byte 0x29; known names fill it in
  bool rawOrder = false;  // keep the given row order whatever the key
  std::vector<SecondaryIndex> indexes;
  std::optional<std::uint32_t> autoIncrementNext;  // at least this is issued next
  std::uint8_t changeCount = 1;                    // table header 0x2D
  std::uint8_t structureCount = 1;                 // table header 0x2E
  bool writeVal = false;                           // write a .VAL companion
  bool alwaysWriteMemoFile = false;  // write a .MB even when every blob fits its leader
  std::string tableName;             // name kept inside the header; default: file name
};

class TableWriter;

class TableBuilder {
 public:
  explicit TableBuilder(std::vector<Column> columns);
  // Columns from a declared field list (src/data/schemas.h).
  static TableBuilder fromSchema(const std::vector<FieldSpec>& fields);

  TableBuilder& keyed(int keyFieldCount);
  TableBuilder& blockSizeKiB(int kib);
  TableBuilder& versionId(int id);
  TableBuilder& codePage(int cp);
  // Sort order by its language-driver name; `code` is the header byte, which
  // known names ("ascii", "ANTURK", "ANSIINTL", "ANSII850", "intl850",
  // "DBWINUS0", "DBWINWE0", "intl") do not need.
  TableBuilder& sortOrder(std::string name, int code = -1);
  TableBuilder& rawOrder();
  TableBuilder& secondaryIndex(std::string field, bool caseInsensitive = false);
  TableBuilder& compositeIndex(std::string name, std::vector<std::string> fields,
                               bool caseInsensitive = false);
  TableBuilder& autoIncrementNext(std::uint32_t next);
  TableBuilder& changeCounters(std::uint8_t change, std::uint8_t structure);
  TableBuilder& withValFile();
  TableBuilder& withMemoFile();
  TableBuilder& tableName(std::string name);
  // Appends a row; missing trailing values are blank; an auto-increment
  // column left blank gets the next number.
  TableBuilder& row(std::vector<Variant> values);

  const TableSpec& spec() const { return m_spec; }
  std::size_t rowCount() const { return m_rows.size(); }

  // Writes `dbFile` and its companions beside it (companion extensions in
  // the letter case of the data file's extension). Throws
  // std::invalid_argument for rows the table cannot hold (a duplicate key,
  // a value of the wrong type) and std::runtime_error on file errors.
  void write(const std::filesystem::path& dbFile) const;

 private:
  TableSpec m_spec;
  std::vector<std::vector<Variant>> m_rows;
};

// Streams a table to disk one row at a time, for tables too large to hold as
// Variants (a million movements). Rows of a keyed table must come in
// ascending key order (checked, std::invalid_argument otherwise) unless the
// spec asks for raw order. Memory stays at one block plus the index entries.
class TableWriter {
 public:
  TableWriter(TableSpec spec, const std::filesystem::path& dbFile);
  ~TableWriter();
  TableWriter(const TableWriter&) = delete;
  TableWriter& operator=(const TableWriter&) = delete;

  void append(const std::vector<Variant>& values);
  // Writes the header and the index files; nothing is complete before.
  void finish();
  std::uint64_t recordCount() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> m_impl;
};

// The file name of a companion: companionPath("x/Cari.DB", "PX") is
// "x/Cari.PX", companionPath("x/urhar.db", "PX") "x/urhar.px".
std::filesystem::path companionPath(const std::filesystem::path& dbFile, const std::string& ext);

// Extension of a secondary index's files: "X06"/"Y06" for field 6 alone,
// "XG0"/"YG0" for the first composite index.
std::string secondaryIndexExtension(const TableSpec& spec, std::size_t indexNumber, bool y);

}  // namespace fixture
