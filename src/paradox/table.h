// A Paradox table opened by the engine: its structure, a cursor over its
// records and the record edits the jobs need.
//
// This is the engine's public face. The data layer (src/data/ttable.h) wraps
// it in the table handles the jobs use; pdxtool and the tests use it
// directly. Everything else in src/paradox/ is internal.
//
// Texts cross this interface in UTF-8. Inside the table they are stored in
// the table's code page (the header's, or the fallback the caller names when
// the header has none); decoding and encoding are lossless for every byte.
// Comparisons the jobs make on texts ("Alacak", document states) therefore
// give the same answer on UTF-8 as on the stored bytes.
//
// Errors: every failure throws EDBEngineError (src/paradox/errors.h) with a
// message that names the file and what was wrong. Nothing is ever written to
// a table opened read-only.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pdx {

// Field types by their descriptor letter.
enum class FieldType : char {
  kAlpha = 'A',
  kDate = 'D',
  kShort = 'S',
  kLong = 'I',
  kMoney = '$',
  kNumber = 'N',
  kLogical = 'L',
  kMemo = 'M',
  kBlob = 'B',
  kFmtMemo = 'F',
  kOle = 'O',
  kGraphic = 'G',
  kTime = 'T',
  kTimestamp = '@',
  kAutoInc = '+',
  kBcd = '#',
  kBytes = 'Y',
};

// One field as the table declares it.
struct FieldInfo {
  std::string name;   // decoded from the table's code page
  FieldType type;
  int size = 0;       // descriptor size byte (for '#': the number of decimals)
  int width = 0;      // bytes the field takes in a record
  int offset = 0;     // offset of the field inside a record
};

struct OpenOptions {
  bool readOnly = false;
  // Code page for tables whose header carries none (3.x) or carries 0.
  int fallbackCodePage = 1254;
  // False: blocks are read with positioned reads into a window instead of
  // through mappings of the file. One pass over a large table touches every
  // page once, and copying it costs less than mapping and unmapping it page
  // by page (BlockStore).
  bool mapBlocks = true;
  // Set: the table's data file is still to be written, from this one (a
  // real path). Until the table's first write its records are read from
  // `origin`, which the table never writes or keeps open after that; the
  // companions are the table's own. Marked deletes then write only the
  // records that stay (the same file a copy of `origin` gives after the
  // same deletes); any other change, or closing without one, first copies
  // `origin` whole to the table's data file (bytes, permission bits and
  // modification time), which need not exist until then (one that does is
  // replaced). For a new table put together from an old one's files: a
  // mass delete need not copy what it deletes.
  std::filesystem::path origin;
};

// The cursor's editing state, as in a dataset: browsing, editing an existing
// record, or filling a new one (insert or append).
enum class EditState { kBrowse, kEdit, kInsert };

class Table {
 public:
  // Opens the data file `dbFile` (a real file-system path, extension
  // included). Companion files (.PX, .MB, .Xnn, .Ynn, .XGn, .YGn, .VAL) are
  // looked up beside it without regard to letter case. Throws EDBEngineError
  // when the file is missing, is not a Paradox data file, is corrupt or
  // encrypted. The cursor starts before the first record (call first()).
  static std::unique_ptr<Table> open(const std::filesystem::path& dbFile,
                                     const OpenOptions& options = {});

  virtual ~Table() = default;

  // Structure.
  virtual const std::filesystem::path& path() const = 0;
  virtual const std::vector<FieldInfo>& fields() const = 0;
  virtual int fieldCount() const = 0;
  // Index of the field named `name`, letter case ignored; -1 when absent.
  virtual int findField(std::string_view name) const = 0;
  virtual int keyFieldCount() const = 0;
  virtual int versionId() const = 0;
  virtual int codePage() const = 0;  // the one used for texts
  virtual int blockSize() const = 0;
  virtual bool isKeyed() const = 0;

  // Navigation over the records that pass the active filter, in table order
  // (block-chain order; key order on a keyed table). Moving the cursor, or
  // starting an insert or append, while a record is being edited posts it
  // first, as a dataset does.
  virtual void first() = 0;
  virtual void next() = 0;
  // True once next() has passed the last visible record, or when no record
  // is visible.
  virtual bool eof() const = 0;
  virtual bool isEmpty() const = 0;
  // Number of records visible through the active filter.
  virtual std::uint64_t recordCount() const = 0;

  // Filter: `expression` in the grammar
  //   expr := cmp { ("and" | "or") cmp }   (keywords in any letter case)
  //   cmp  := FIELD ("=" | "<>") ( 'quoted text' | TRUE )
  // Comparisons are whole-value and case-sensitive on the stored bytes; a
  // blank text compares as the empty text, a blank logical as false.
  // setFilter throws EDBEngineError(kFilter) naming the expression when it is
  // outside the grammar or names an unknown field. setFiltered(true) moves to
  // the first record that passes; setFiltered(false) to the first record.
  virtual void setFilter(const std::string& expression) = 0;
  virtual const std::string& filter() const = 0;
  virtual void setFiltered(bool on) = 0;
  virtual bool filtered() const = 0;

  // Field values of the current record, or of the record being edited.
  // Reading at eof or on an empty table throws EDBEngineError(kState).
  virtual bool isBlank(int field) const = 0;
  // Text form: alpha as stored; numbers in the general format with up to 15
  // significant digits (2005 -> "2005"); logical "True"/"False"; dates
  // "dd.mm.yyyy", times "hh:mm:ss", timestamps both; BCD with exactly its
  // decimals; blank "".
  virtual std::string asString(int field) const = 0;
  // Numeric form: a blank reads as 0. Dates, times and timestamps read as the
  // product's date-time values (days since 1899-12-30, fraction = time).
  virtual double asFloat(int field) const = 0;
  virtual std::int64_t asInteger(int field) const = 0;
  virtual bool asBoolean(int field) const = 0;  // blank reads as false
  // The whole value of a memo or blob field (leader and .MB), or the raw
  // bytes of a bytes field.
  virtual std::string asBytes(int field) const = 0;

  // Writes require edit() or insert()/append() first (else kState).
  // setString on an alpha field cuts the encoded text to the field's size;
  // on a numeric field it takes the text's number ("" makes it blank).
  virtual void setString(int field, std::string_view text) = 0;
  virtual void setFloat(int field, double value) = 0;
  virtual void setInteger(int field, std::int64_t value) = 0;
  virtual void setBoolean(int field, bool value) = 0;
  virtual void setBytes(int field, std::string_view bytes) = 0;
  virtual void setBlank(int field) = 0;
  // Copies the value of `sourceField` of `source`'s current record into
  // `field`, blank included, converting between types where they differ
  // (same type: byte for byte; blobs are written anew into this table).
  virtual void copyValue(int field, const Table& source, int sourceField) = 0;

  // Record changes.
  virtual EditState state() const = 0;
  // Starts editing the current record; on an empty table starts a new one.
  virtual void edit() = 0;
  // Starts a blank new record: insert() places it before the current record
  // (first on a freshly opened table), append() at the end; on a keyed table
  // post() puts it at its key's place either way.
  virtual void insert() = 0;
  virtual void append() = 0;
  // Writes the record being edited into its place at once; a duplicate key
  // throws EDBEngineError(kKeyViolation) and writes nothing.
  virtual void post() = 0;
  virtual void cancel() = 0;
  // Deletes the current record and moves to the next visible one (to the
  // previous one after the last; eof when none is left).
  virtual void remove() = 0;

  // Makes every change so far durable: data, memo and index files.
  virtual void flush() = 0;
};

}  // namespace pdx
