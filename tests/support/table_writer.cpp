// TableWriter: streams records into the .DB file and writes the header,
// the primary index, the secondary indexes and the companions at finish().
#include <algorithm>
#include <cstring>
#include <map>
#include <numeric>
#include <stdexcept>

#include "support/key_order.h"
#include "support/memo_file.h"
#include "support/paradox_builder.h"
#include "support/record_codec.h"
#include "support/sort_order.h"
#include "support/table_file.h"
#include "support/text_codec.h"

namespace fixture {

using detail::fieldWidth;
using T = pdx::FieldType;

namespace {

int sortOrderCode(const TableSpec& spec) {
  if (spec.sortOrderCode > 0) return spec.sortOrderCode;
  static const std::map<std::string, int> kCodes = {
      {"ascii", 0x00},
      {"ANSII850", 0x11},
      {"DBWINWE0", 0x40},
      {"DBWINUS0", 0x4C},
      {"intl850", 0x54},
      {"ANSIINTL", 0x62},
      {"intl", 0xB7},
      // Not seen in any file we have; readers go by the driver's name.
      {"ANTURK", 0x00},
  };
  const auto it = kCodes.find(spec.sortOrder);
  if (it == kCodes.end()) {
    throw std::invalid_argument("sort order " + spec.sortOrder + " needs its header code");
  }
  return it->second;
}

void validateColumn(const Column& c) {
  if (c.name.empty()) throw std::invalid_argument("a column needs a name");
  const auto bad = [&] { throw std::invalid_argument("column " + c.name + ": invalid size"); };
  switch (c.type) {
    case T::kAlpha:
    case T::kBytes:
      if (c.size < 1 || c.size > 255) bad();
      break;
    case T::kBcd:
      if (c.size < 0 || c.size > 32) bad();
      break;
    default:
      if (detail::isBlobType(c.type) && (c.size < 11 || c.size > 250)) bad();
  }
}

// A .MB created on the first blob that does not fit its leader.
class LazyMemo : public detail::BlobSink {
 public:
  explicit LazyMemo(std::filesystem::path path) : m_path(std::move(path)) {}
  detail::BlobRef store(std::string_view blob) override {
    open();
    return m_file->store(blob);
  }
  void open() {
    if (!m_file) m_file = std::make_unique<detail::MemoFile>(m_path);
  }
  void close() {
    if (m_file) m_file->close();
  }

 private:
  std::filesystem::path m_path;
  std::unique_ptr<detail::MemoFile> m_file;
};

struct IndexPlan {
  SecondaryIndex index;
  std::vector<int> fields;  // column numbers
  int entryBytes = 0;       // indexed + key + Blk Num
  std::string entries;      // flat, entryBytes each
};

}  // namespace

struct TableWriter::Impl {
  TableSpec spec;
  std::filesystem::path path;
  std::vector<int> offsets;
  int recordSize = 0;
  int keyBytes = 0;
  detail::FileHeader header;
  std::uint32_t headerSize = 0;
  std::ofstream out;
  std::unique_ptr<detail::BlockWriter> blocks;
  LazyMemo memo;
  std::string record;
  std::string previousKey;
  const SortOrder* order = nullptr;
  std::unique_ptr<detail::KeyOrder> keyOrder;
  bool haveRow = false;
  std::int64_t lastAutoInc = 0;
  std::vector<IndexPlan> plans;
  bool finished = false;

  Impl(TableSpec s, const std::filesystem::path& p)
      : spec(std::move(s)), path(p), memo(companionPath(p, "MB")) {}
};

TableWriter::TableWriter(TableSpec spec, const std::filesystem::path& dbFile)
    : m_impl(std::make_unique<Impl>(std::move(spec), dbFile)) {
  Impl& m = *m_impl;
  const TableSpec& s = m.spec;
  if (s.columns.empty()) throw std::invalid_argument("a table needs columns");
  if (s.versionId < 3 || s.versionId > 12) throw std::invalid_argument("unknown version id");
  if (s.keyFields < 0 || static_cast<std::size_t>(s.keyFields) > s.columns.size()) {
    throw std::invalid_argument("more key fields than columns");
  }
  for (const Column& c : s.columns) {
    validateColumn(c);
    m.offsets.push_back(m.recordSize);
    m.recordSize += fieldWidth(c);
  }
  for (int k = 0; k < s.keyFields; ++k) {
    const Column& c = s.columns[static_cast<std::size_t>(k)];
    if (detail::isBlobType(c.type)) throw std::invalid_argument("a blob cannot be a key field");
    m.keyBytes += fieldWidth(c);
  }
  m.order = SortOrder::forName(s.sortOrder);
  const auto checkOrderable = [&](const Column& c) {
    if (c.type == T::kAlpha && m.order == nullptr && !s.rawOrder) {
      throw std::invalid_argument("cannot order alpha values by sort order " + s.sortOrder);
    }
  };
  for (int k = 0; k < s.keyFields; ++k) checkOrderable(s.columns[static_cast<std::size_t>(k)]);

  m.keyOrder = std::make_unique<detail::KeyOrder>(
      std::vector<Column>(s.columns.begin(), s.columns.begin() + s.keyFields), m.order);

  int blockKiB = s.blockKiB;
  if (blockKiB == 0) {
    blockKiB = 1;
    while (blockKiB < 32 && blockKiB * 1024 - 6 < m.recordSize) blockKiB *= 2;
  }
  if (blockKiB != 1 && blockKiB != 2 && blockKiB != 4 && blockKiB != 8 && blockKiB != 16 &&
      blockKiB != 32) {
    throw std::invalid_argument("block size must be 1, 2, 4, 8, 16 or 32 KiB");
  }
  if (blockKiB * 1024 - 6 < m.recordSize) {
    throw std::invalid_argument("a record of " + std::to_string(m.recordSize) +
                                " bytes does not fit a " + std::to_string(blockKiB) + " KiB block");
  }
  m.spec.blockKiB = blockKiB;

  for (const SecondaryIndex& index : s.indexes) {
    if (s.keyFields == 0) {
      throw std::invalid_argument("secondary indexes are built for keyed tables only");
    }
    IndexPlan plan{index, {}, 0, {}};
    for (const std::string& name : index.fields) {
      const auto it = std::find_if(s.columns.begin(), s.columns.end(),
                                   [&](const Column& c) { return c.name == name; });
      if (it == s.columns.end()) throw std::invalid_argument("no column named " + name);
      checkOrderable(*it);
      plan.fields.push_back(static_cast<int>(it - s.columns.begin()));
      plan.entryBytes += fieldWidth(*it);
    }
    plan.entryBytes += m.keyBytes + 2;
    m.plans.push_back(std::move(plan));
  }
  if (s.autoIncrementNext) m.lastAutoInc = std::int64_t{*s.autoIncrementNext} - 1;

  detail::FileHeader& h = m.header;
  h.fileType = s.keyFields > 0 ? 0 : 2;
  h.recordSize = m.recordSize;
  h.blockKiB = blockKiB;
  h.versionId = s.versionId;
  h.codePage = s.codePage;
  h.sortOrder = s.sortOrder;
  h.sortOrderCode = sortOrderCode(s);
  h.keyFields = s.keyFields;
  h.columns = s.columns;
  h.tableName = s.tableName.empty() ? dbFile.filename().string() : s.tableName;
  h.b2D = s.changeCount;
  h.b2E = s.structureCount;
  m.headerSize = static_cast<std::uint32_t>(detail::encodeHeader(h).size());

  m.out.open(dbFile, std::ios::binary | std::ios::trunc);
  if (!m.out) throw std::runtime_error("cannot create " + dbFile.string());
  m.out.write(std::string(m.headerSize, '\0').data(), m.headerSize);
  m.blocks = std::make_unique<detail::BlockWriter>(m.out, m.headerSize, blockKiB, m.recordSize,
                                                   m.keyBytes);
  m.record.assign(static_cast<std::size_t>(m.recordSize), '\0');
  if (s.alwaysWriteMemoFile) m.memo.open();
}

TableWriter::~TableWriter() = default;

std::uint64_t TableWriter::recordCount() const {
  return m_impl->blocks->records();
}

void TableWriter::append(const std::vector<Variant>& values) {
  Impl& m = *m_impl;
  if (m.finished) throw std::logic_error("append after finish");
  if (values.size() > m.spec.columns.size()) {
    throw std::invalid_argument("row has more values than the table has columns");
  }
  std::fill(m.record.begin(), m.record.end(), '\0');
  static const Variant kBlank;
  for (std::size_t i = 0; i < m.spec.columns.size(); ++i) {
    const Column& c = m.spec.columns[i];
    Variant numbered;
    const Variant* v = i < values.size() ? &values[i] : &kBlank;
    if (c.type == T::kAutoInc) {
      if (v->isNull()) {
        numbered.value = ++m.lastAutoInc;
        v = &numbered;
      } else if (const auto* n = std::get_if<std::int64_t>(&v->value)) {
        m.lastAutoInc = std::max(m.lastAutoInc, *n);
      }
    }
    detail::encodeValue(c, *v, m.spec.codePage, &m.record[static_cast<std::size_t>(m.offsets[i])],
                        &m.memo);
  }
  if (m.spec.keyFields > 0 && !m.spec.rawOrder) {
    const std::string key = m.record.substr(0, static_cast<std::size_t>(m.keyBytes));
    const int c = m.haveRow ? m.keyOrder->compare(key.data(), m.previousKey.data()) : 1;
    if (c <= 0) throw std::invalid_argument(c == 0 ? "duplicate key" : "rows out of key order");
    m.previousKey = key;
  }
  m.haveRow = true;
  m.blocks->add(m.record.data());
  for (IndexPlan& plan : m.plans) {
    std::string entry;
    for (int f : plan.fields) {
      const Column& c = m.spec.columns[static_cast<std::size_t>(f)];
      std::string bytes =
          m.record.substr(static_cast<std::size_t>(m.offsets[static_cast<std::size_t>(f)]),
                          static_cast<std::size_t>(fieldWidth(c)));
      if (plan.index.caseInsensitive && c.type == T::kAlpha) {
        // A driver we cannot order by upper-cases like the plain one.
        bytes = (m.order != nullptr ? m.order : SortOrder::forName("ascii"))->upper(bytes);
      }
      entry += bytes;
    }
    entry.append(m.record, 0, static_cast<std::size_t>(m.keyBytes));
    entry.append(2, '\0');
    detail::putFlipped16(&entry[entry.size() - 2], m.blocks->currentBlock());
    plan.entries += entry;
  }
}

}  // namespace fixture

namespace fixture {

void TableWriter::finish() {
  Impl& m = *m_impl;
  if (m.finished) return;
  m.finished = true;
  m.blocks->finish();
  detail::FileHeader& h = m.header;
  const unsigned nb = m.blocks->blockCount();
  h.numRecords = static_cast<std::uint32_t>(m.blocks->records());
  h.usedBlocks = h.fileBlocks = nb;
  h.firstBlock = nb > 0 ? 1 : 0;
  h.lastBlock = nb;
  h.autoInc = static_cast<std::uint32_t>(m.lastAutoInc);
  const std::string header = detail::encodeHeader(h);
  m.out.seekp(0);
  m.out.write(header.data(), static_cast<std::streamsize>(header.size()));
  m.out.close();
  if (!m.out) throw std::runtime_error("cannot write " + m.path.string());
  m.memo.close();

  const TableSpec& s = m.spec;
  const std::vector<Column> keyColumns(s.columns.begin(), s.columns.begin() + s.keyFields);
  if (s.keyFields > 0) {
    detail::FileHeader px;
    px.fileType = 1;
    px.blockKiB = h.blockKiB;
    px.versionId = h.versionId;
    px.codePage = h.codePage;
    px.sortOrderCode = h.sortOrderCode;
    px.columns = keyColumns;
    px.tableName = companionPath(m.path, "PX").filename().string();
    px.b2C = h.b2D;
    detail::writeIndexTree(companionPath(m.path, "PX").string(), px, m.blocks->firstKeys(),
                           m.blocks->counts(), 0x8000);
  }

  for (std::size_t n = 0; n < m.plans.size(); ++n) {
    IndexPlan& plan = m.plans[n];
    const auto entryBytes = static_cast<std::size_t>(plan.entryBytes);
    const std::size_t count = plan.entries.size() / entryBytes;
    std::vector<std::uint32_t> order(count);
    std::iota(order.begin(), order.end(), 0u);
    const char* base = plan.entries.data();
    std::vector<Column> entryFields;
    for (int f : plan.fields) entryFields.push_back(s.columns[static_cast<std::size_t>(f)]);
    entryFields.insert(entryFields.end(), keyColumns.begin(), keyColumns.end());
    const detail::KeyOrder entryOrder(entryFields, m.order);
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
      return entryOrder.compare(base + a * entryBytes, base + b * entryBytes) < 0;
    });

    detail::FileHeader x;
    x.fileType = plan.index.name.empty() ? 5 : 8;
    x.blockKiB = h.blockKiB;
    x.versionId = h.versionId;
    x.codePage = h.codePage;
    x.sortOrder = h.sortOrder;
    x.sortOrderCode = h.sortOrderCode;
    for (int f : plan.fields) {
      x.columns.push_back(s.columns[static_cast<std::size_t>(f)]);
      x.fieldNumbers.push_back(static_cast<std::uint16_t>(f + 1));
    }
    for (const Column& c : keyColumns) {
      x.columns.push_back(c);
      x.fieldNumbers.push_back(static_cast<std::uint16_t>(x.columns.size()));
    }
    x.columns.push_back({"Blk Num", T::kShort, 0});
    x.fieldNumbers.push_back(static_cast<std::uint16_t>(x.columns.size()));
    x.keyFields = static_cast<int>(x.columns.size()) - 1;
    x.recordSize = plan.entryBytes;
    const std::filesystem::path xPath = companionPath(m.path, secondaryIndexExtension(s, n, false));
    x.tableName = xPath.filename().string();
    x.indexName = plan.index.name;
    x.autoInc = h.autoInc;
    x.b2C = 0xFF;
    x.b2D = 1;
    x.b2E = h.b2E;
    x.b2F = h.b2D;
    x.b15 = static_cast<std::uint8_t>(plan.fields.front() + 1);
    x.b55 = plan.index.caseInsensitive ? 1 : 0;
    const auto xHeaderSize = static_cast<std::uint32_t>(detail::encodeHeader(x).size());

    std::ofstream xo(xPath, std::ios::binary | std::ios::trunc);
    if (!xo) throw std::runtime_error("cannot create " + xPath.string());
    detail::BlockWriter xb(xo, xHeaderSize, h.blockKiB, plan.entryBytes, plan.entryBytes - 2);
    for (std::uint32_t i : order) xb.add(base + i * entryBytes);
    xb.finish();
    x.numRecords = static_cast<std::uint32_t>(count);
    x.usedBlocks = x.fileBlocks = xb.blockCount();
    x.firstBlock = xb.blockCount() > 0 ? 1 : 0;
    x.lastBlock = xb.blockCount();
    const std::string xHeader = detail::encodeHeader(x);
    xo.seekp(0);
    xo.write(xHeader.data(), static_cast<std::streamsize>(xHeader.size()));
    xo.close();
    if (!xo) throw std::runtime_error("cannot write " + xPath.string());
    plan.entries.clear();
    plan.entries.shrink_to_fit();

    detail::FileHeader y;
    y.fileType = plan.index.name.empty() ? 4 : 7;
    y.blockKiB = h.blockKiB;
    y.versionId = h.versionId;
    y.sortOrderCode = h.sortOrderCode;
    y.columns.assign(x.columns.begin(), x.columns.end() - 1);
    const std::filesystem::path yPath = companionPath(m.path, secondaryIndexExtension(s, n, true));
    y.tableName = yPath.filename().string();
    y.b2C = x.b2D;
    detail::writeIndexTree(yPath.string(), y, xb.firstKeys(), xb.counts(), 0x8000);
  }

  if (s.writeVal) {
    // The validity file starts with the table's structure counter; the
    // checks it can hold are not written.
    const std::filesystem::path valPath = companionPath(m.path, "VAL");
    std::ofstream vo(valPath, std::ios::binary | std::ios::trunc);
    std::string val(8, '\0');
    val[0] = static_cast<char>(h.b2E);
    val[1] = 0x09;
    vo.write(val.data(), static_cast<std::streamsize>(val.size()));
    if (!vo) throw std::runtime_error("cannot write " + valPath.string());
  }
}

}  // namespace fixture
