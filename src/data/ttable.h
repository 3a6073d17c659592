// TTable: a table handle of the data module, and TField: one field of it.
//
// A handle has a fixed table name ("Cari", "Stok.DB", "sirket.db") and, in
// most cases, a declared field list. Its directory is set while it is closed,
// always just before it is opened. Opening resolves directory + "\" + table
// name on the file system (a name without an extension means its .DB file;
// names match without regard to letter case) and binds the declared fields by
// name and type:
//   a declared field the table lacks  -> EDatabaseError "Field 'X' not found"
//   a declared field of another type  -> EDatabaseError
//        "Type mismatch for field 'X', expecting: Float actual: String"
// A handle without declared fields sees every field of the table, in table
// order. Opening an open handle or closing a closed one does nothing.
//
// Every other failure is the engine's EDBEngineError and propagates; one
// about a file met while navigating or changing records (a full disk, a
// refused rename, a damaged block) comes worded in Turkish with the path as
// typed (data/failuretext.h), same code and cause. Field
// values cross as UTF-8 texts, doubles, booleans or Variants; a declared text
// field keeps its declared size when written.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/schemas.h"
#include "data/variant.h"
#include "paradox/errors.h"
#include "paradox/table.h"
#include "platform/typedpath.h"

class TTable;

// A light reference to one bound field of an open handle. Valid while the
// handle stays open on the same table.
class TField {
 public:
  TField(TTable& table, int bound) : m_table(&table), m_bound(bound) {}

  const std::string& name() const;
  pdx::FieldType type() const;
  // The size a text is cut to when written (declared size, else the table's).
  int size() const;

  bool isNull() const;
  std::string asString() const;  // blank reads as ""; numbers in general format
  double asFloat() const;        // blank reads as 0
  bool asBoolean() const;        // blank reads as false
  Variant value() const;         // the value with its type; blank is null

  void setAsString(std::string_view text);  // cut to size(); on a number: the text's number
  void setAsFloat(double value);
  void setAsBoolean(bool value);
  void setValue(const Variant& value);  // null makes the field blank
  void clear();                         // blank
  // Copies the value of `source` (any type, blank included) into this field.
  void assign(const TField& source);

 private:
  friend class TTable;
  int engineIndex() const;
  TTable* m_table;
  int m_bound;
};

class TTable {
 public:
  // `declared` null: every field of the table. The vector must outlive the
  // handle (the schema lists are static).
  TTable(std::string handleName, std::string tableName, const std::vector<FieldSpec>* declared);
  ~TTable();
  TTable(const TTable&) = delete;
  TTable& operator=(const TTable&) = delete;

  const std::string& handleName() const { return m_handleName; }
  const std::string& tableName() const { return m_tableName; }

  // The directory: its text in the product's form (as typed) for messages,
  // and where it is, resolved once by whoever made the value. Changing it
  // while the handle is open throws EDatabaseError.
  void setDatabaseName(const platform::TypedPath& directory);
  // The same from a directory text, resolved now: for tools and tests, which
  // hold no run's directory.
  void setDatabaseName(const std::string& directory);
  const platform::TypedPath& databaseName() const { return m_directory; }
  // Opens the table for reading only: nothing is written, not even what a
  // killed change left for the next open to finish. Set while closed.
  void setReadOnly(bool readOnly);
  // For the next open only: the table's data file is not there yet and is
  // read from the table of the same name in `directory`, under whose file name it is then written
  // in this handle's directory: on the first change, with only the records that stay when the
  // change is deletes, or else as a whole copy, at the latest when the table is closed
  // (pdx::OpenOptions::origin). Set while closed, after setDatabaseName(), which forgets it; an
  // empty value sets none.
  void setOrigin(std::optional<platform::TypedPath> directory);

  void open();
  void close();
  bool active() const { return m_engine != nullptr; }

  // Navigation (see pdx::Table).
  void first();
  void next();
  bool eof() const;
  bool isEmpty() const;
  std::uint64_t recordCount() const;

  // Record changes (see pdx::Table). remove() is the dataset's Delete.
  void edit();
  void insert();
  void append();
  void post();
  void cancel();
  void remove();

  void setFilter(const std::string& expression);
  const std::string& filter() const { return m_filter; }
  void setFiltered(bool on);
  bool filtered() const { return m_filtered; }

  // Writes the buffered changes to disk (the engine's save-changes call).
  void flushBuffers();

  // Bound fields, in declared order (or table order without a declaration).
  int fieldCount() const { return static_cast<int>(m_bound.size()); }
  TField fields(int i);
  const std::string& fieldName(int i) const;
  // FieldByName: throws EDatabaseError "Field 'X' not found".
  TField field(std::string_view name);
  // FindField: letter case ignored; nothing when absent.
  std::optional<TField> findField(std::string_view name);

  // The engine table; throws EDatabaseError when the handle is closed.
  pdx::Table& engine() const;

 private:
  friend class TField;
  struct Bound {
    std::string name;
    pdx::FieldType type;
    int size;
    int engineIndex;
  };
  const Bound& bound(int i) const { return m_bound.at(static_cast<std::size_t>(i)); }
  void bind();
  // Runs `call` on the engine; a failure about a file comes back worded.
  template <typename Call>
  decltype(auto) worded(Call&& call) const {
    try {
      return call();
    } catch (const EDBEngineError& e) {
      rethrowWorded(e, m_engine ? m_engine->path().filename().string() : std::string());
    }
  }
  [[noreturn]] void rethrowWorded(const EDBEngineError& e, const std::string& tableFile) const;

  std::string m_handleName;
  std::string m_tableName;
  const std::vector<FieldSpec>* m_declared;
  platform::TypedPath m_directory;
  bool m_readOnly = false;
  std::optional<platform::TypedPath> m_origin;
  std::unique_ptr<pdx::Table> m_engine;
  std::vector<Bound> m_bound;
  std::string m_filter;
  bool m_filtered = false;
};

// Whole-row copy by name: for each field of `target` in its order, the field
// of `source` with the same name (letter case ignored), when there is one,
// gives its value with its type, blank included. Fields without a namesake
// keep the value the target record has. A source with no current record (an
// empty table) gives blanks.
void CopyRowByName(TTable& target, TTable& source);
