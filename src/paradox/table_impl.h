// The engine's implementation of pdx::Table. Split over table.cpp (opening,
// the cursor, reading, filter), table_write.cpp (field setters, edit,
// flush), table_post.cpp (blob values, post, cancel), table_change.cpp
// (insert, append, delete, marked deletes: the block-level changes) and
// table_commit.cpp (the shadow copy, the packed copy after marked deletes,
// the commit that renames the shadow over the table and rewrites the
// indexes, the chain check before a copy).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "paradox/blockstore.h"
#include "paradox/codepage.h"
#include "paradox/errors.h"
#include "paradox/filter.h"
#include "paradox/header.h"
#include "paradox/index.h"
#include "paradox/keyorder.h"
#include "paradox/memo.h"
#include "paradox/table.h"
#include "platform/rawfile.h"

namespace pdx {

// The companion file of `table` with extension `ext` (".PX", ".MB"),
// found without regard to letter case; when absent, the path it would have.
std::filesystem::path companionFile(const std::filesystem::path& table, const std::string& ext);

class TableImpl final : public Table {
 public:
  TableImpl(std::filesystem::path path, const OpenOptions& options);
  ~TableImpl() override;

  const std::filesystem::path& path() const override { return m_path; }
  const std::vector<FieldInfo>& fields() const override { return m_fields; }
  int fieldCount() const override { return static_cast<int>(m_fields.size()); }
  int findField(std::string_view name) const override;
  int keyFieldCount() const override { return m_header.keyFields; }
  int versionId() const override { return m_header.versionId; }
  int codePage() const override { return m_codePage->id(); }
  int blockSize() const override { return m_header.blockSize; }
  bool isKeyed() const override { return m_header.fileType == 0 && m_header.keyFields > 0; }

  void first() override;
  void next() override;
  bool eof() const override { return m_block == 0; }
  bool isEmpty() const override;
  std::uint64_t recordCount() const override;

  void setFilter(const std::string& expression) override;
  const std::string& filter() const override { return m_filterText; }
  void setFiltered(bool on) override;
  bool filtered() const override { return m_filtered; }

  bool isBlank(int field) const override;
  std::string asString(int field) const override;
  double asFloat(int field) const override;
  std::int64_t asInteger(int field) const override;
  bool asBoolean(int field) const override;
  std::string asBytes(int field) const override;

  void setString(int field, std::string_view text) override;
  void setFloat(int field, double value) override;
  void setInteger(int field, std::int64_t value) override;
  void setBoolean(int field, bool value) override;
  void setBytes(int field, std::string_view bytes) override;
  void setBlank(int field) override;
  void copyValue(int field, const Table& source, int sourceField) override;

  EditState state() const override { return m_state; }
  void edit() override;
  void insert() override;
  void append() override;
  void post() override;
  void cancel() override;
  void remove() override;
  void flush() override;

  // Raw access for tools and tests.
  const TableHeader& header() const { return m_header; }
  const std::uint8_t* recordBytes() const { return current(); }

 private:
  friend class TableWalker;
  // Cursor plumbing (table.cpp).
  bool enterBlock(int block);           // loads the block's count; false when empty
  bool stepRaw();                       // one record on along the chain
  bool passes() const;                  // current record passes the filter
  void seekVisible();                   // from the current record on to one that passes
  const std::uint8_t* current() const;  // the current record (or the edit buffer)
  const std::uint8_t* stored() const;   // the current record as stored
  const FieldInfo& fieldAt(int field) const {
    if (field < 0 || field >= fieldCount()) [[unlikely]]
      failFieldNumber(field);
    return m_fields[static_cast<std::size_t>(field)];
  }
  [[noreturn]] void failFieldNumber(int field) const;
  // The conversions of asFloat() and asBoolean() from other types, kept out
  // of line so that the common reads stay small.
  [[gnu::cold]] double textAsFloat(const FieldInfo& f, const std::uint8_t* p) const;
  [[gnu::cold]] bool convertedAsBoolean(int field, const FieldInfo& f, const std::uint8_t* p) const;
  void requireRecord() const;
  void requireWritable() {  // on every edit and post: the check inline
    requireMarkable();
    if (m_fromOrigin && !m_shadow) [[unlikely]]
      materialize();
  }
  void requireMarkable() {  // a delete marked writes nothing to the data file
    requireSound();
    if (m_fileReadOnly) [[unlikely]]
      refuseWriting();
  }
  // The data file of a table opened over an origin (OpenOptions::origin):
  // the origin copied whole to the table's own path, which the table then
  // reads and writes as if opened there.
  void materialize();
  [[noreturn]] void refuseWriting() const;
  void writeInPlace();  // post of an edit that moves nothing
  // The bodies of edit(), insert() and append(), post(), remove().
  void startEdit();
  void startNew(bool appending);
  void postRecord();
  void removeRecord();
  void releaseBlobs(const std::uint8_t* keep, const std::uint8_t* drop);
  // Structural changes (table_change.cpp).
  bool needsMove() const;  // an edit that changes the key or an indexed field
  void moveEdited();
  void postNew();
  void beginChange();  // moves writing to a shadow copy of the data file
  // Makes the shadow the table and rebuilds the indexes; true when it did
  // (everything written since the last flush is then durable).
  bool commitChange();
  void copyToShadow();
  void installChange(const std::vector<IndexReplacement>& indexes);
  // Runs `step`, a part of a change. When it fails reading or writing
  // (kIo, kCorrupt) while a batch is pending, the batch is lost: the shadow
  // is discarded and the handle refuses everything but being closed, which
  // reports the same failure again. Refusals that change nothing (a key
  // violation, an unknown sort order) leave the handle as it was.
  template <typename Step>
  decltype(auto) structural(Step&& step) {
    try {
      return step();
    } catch (const EDBEngineError& e) {
      if ((e.code() == EDBEngineError::Code::kIo || e.code() == EDBEngineError::Code::kCorrupt) &&
          (m_shadow || m_markedDeleteCount > 0 || m_indexDirty))
        poison(e);
      throw;
    }
  }
  void poison(const EDBEngineError& e);
  void discardShadow() noexcept;
  // Throws the failure that poisoned the handle, if one did.
  void requireSound() const {
    if (m_failed) [[unlikely]]
      throwFailure();
  }
  [[noreturn]] void throwFailure() const;
  std::filesystem::path pendingIndexMarker() const;
  // What is wrong with the chain or free list of these block heads (heads[n]
  // for block n), whose blocks should hold `records` records; "" if sound.
  std::string chainDamage(const std::vector<BlockHead>& heads, std::uint64_t records) const;
  void finishPendingIndexes();  // after a change interrupted between data and indexes
  int allocateBlock();
  void setHead(int block, const BlockHead& head);
  void unlinkBlock(int block);
  void insertAt(int block, int index, const std::uint8_t* record);
  void removeAt(int block, int index);
  const KeyOrder& keyOrder();
  // Where `record` belongs by key: block and index; `duplicate` when a
  // record with the same key is there.
  void findKeyPlace(const std::uint8_t* record, int& block, int& index, bool& duplicate);
  bool stepBackRaw();
  // Enters `block` and moves to its first record still there, or on along
  // the chain; false at the end of the table.
  bool startAt(int block);
  // Deletes made while no shadow exists are only marked (marked deletes);
  // the packed copy written on the next change leaves them out.
  bool isMarkedDeleted(int block, int index) const {
    if (m_markedDeleteCount == 0) return false;
    const std::size_t bit = static_cast<std::size_t>(block) * m_markPerBlock + index;
    return bit / 64 < m_markedDeletes.size() && ((m_markedDeletes[bit / 64] >> (bit % 64)) & 1);
  }
  void markDeleted(int block, int index) {
    const std::size_t bit = static_cast<std::size_t>(block) * m_markPerBlock + index;
    if (bit / 64 >= m_markedDeletes.size()) [[unlikely]]  // the first delete: every block's bits
      m_markedDeletes.resize(
          ((static_cast<std::size_t>(m_header.fileBlocks) + 1) * m_markPerBlock + 63) / 64, 0);
    m_markedDeletes[bit / 64] |= std::uint64_t{1} << (bit % 64);
    ++m_markedDeleteCount;
    --m_header.records;
  }
  void writePackedShadow();  // beginChange() with marked deletes
  void applyMarkedDeletes() {
    if (m_markedDeleteCount > 0) beginChange();
  }
  // Before a change that adds or reorders index entries: refuses (and
  // writes nothing) when an index needs a sort order we cannot reproduce.
  void prepareIndexChange();
  bool touchesIndexedField() const;
  void blankRecord();
  std::uint8_t* editable(int field);
  [[noreturn]] void fail(EDBEngineError::Code code, const std::string& what) const;
  // kIo: "<what>: <the system's text>", caused by writing `file`.
  [[noreturn]] void failWriting(const std::string& what, const std::filesystem::path& file,
                                const std::system_error& e) const;

  std::filesystem::path m_path;
  std::string m_name;  // file name for messages
  OpenOptions m_options;
  bool m_fileReadOnly = false;
  // True while the data file is read from OpenOptions::origin: no shadow or
  // the shadow not yet renamed to m_path.
  bool m_fromOrigin = false;
  platform::RawFile m_file;
  TableHeader m_header;
  std::vector<FieldInfo> m_fields;
  const CodePage* m_codePage = nullptr;
  mutable std::unique_ptr<BlockStore> m_store;
  std::unique_ptr<MemoFile> m_memo;

  // Cursor: block 0 means end of table.
  int m_block = 0;
  int m_index = 0;
  int m_blockCount = 0;
  ChainWalk m_walk;  // the blocks visited since first(), to catch a looping chain
  // True while no visible record lies behind the cursor (since first(), the
  // cursor only skipped invisible records and deleted visible ones), so a
  // delete at the end need not look back.
  bool m_noneVisibleBehind = false;

  std::string m_filterText;
  Filter m_filter;
  bool m_filtered = false;

  EditState m_state = EditState::kBrowse;
  std::vector<std::uint8_t> m_editRecord;        // the record being edited or inserted
  std::vector<std::uint8_t> m_recordBeforeEdit;  // its stored bytes when edit() began
  int m_touchLo = 0, m_touchHi = 0;              // bytes of m_editRecord the setters reached
  bool m_hasBlobs = false;
  bool m_appending = false;  // append() rather than insert()
  int m_insertBlock = 0, m_insertIndex = 0;

  // Which records pass the filter, per block, as the last filtered count
  // found them: the walk that follows a count (delete what passes) then need
  // not read the records again. Valid until a record changes or moves.
  std::vector<std::vector<bool>> m_passing;
  bool m_passingKnown = false;
  void forgetPassing() {
    if (m_passingKnown) {
      m_passing.clear();
      m_passingKnown = false;
    }
  }

  // Marked deletes: one bit per place a record can take, block by block
  // (bit block * m_markPerBlock + index), one flat buffer however many
  // blocks the deletes touch.
  std::vector<std::uint64_t> m_markedDeletes;
  std::size_t m_markPerBlock = 0;  // the records a block holds
  std::uint64_t m_markedDeleteCount = 0;

  // A structural change that failed: its batch is discarded, the handle
  // refuses further work and close reports this failure.
  bool m_failed = false;
  std::unique_ptr<EDBEngineError> m_failure;

  // Structural changes go to a shadow copy renamed over the table on flush.
  bool m_shadow = false;
  // The table's own file, held open (unchanged) while the shadow is written.
  platform::RawFile m_heldOriginal;
  std::filesystem::path m_shadowPath;
  bool m_indexDirty = false;
  bool m_onlyDeletes = true;    // since the last rebuild: records removed, none added or changed
  std::vector<bool> m_indexed;  // fields in a maintained secondary index
  bool m_indexedKnown = false;
  // What every post would otherwise look up field by field, worked out once:
  // the byte spans of the indexed fields, the blank record, the offsets of
  // the auto-increment fields, whether the indexes' sort orders are known.
  struct Span {
    int offset = 0;
    int width = 0;
  };
  std::vector<Span> m_indexedSpans;
  std::vector<std::uint8_t> m_blankRecord;
  std::vector<int> m_autoIncOffsets;
  bool m_orderable = false;
  std::vector<std::uint8_t> m_movingRecord;  // moveEdited()'s copy, kept for its capacity
  std::unique_ptr<KeyOrder> m_keyOrder;
};

}  // namespace pdx
