// Insert, append, delete and marked deletes: the block-level changes
// (splitting, unlinking, allocating blocks). They are made in the shadow copy
// (table_commit.cpp), never in the table's own file.
#include <algorithm>
#include <cstring>
#include <system_error>

#include "paradox/coding.h"
#include "paradox/errors.h"
#include "paradox/index.h"
#include "paradox/table_impl.h"
#include "paradox/values.h"

namespace pdx {

void TableImpl::setHead(int block, const BlockHead& h) {
  h.encode(m_store->blockForWrite(block, 0, BlockHead::kSize));
}

int TableImpl::allocateBlock() {
  int b = m_header.freeHead;
  if (b != 0) {
    if (b > m_store->blocksInFile())
      fail(EDBEngineError::Code::kCorrupt,
           "Corrupt table " + m_name + ": free list links to block " + std::to_string(b));
    m_header.freeHead = m_store->head(b).next;
  } else {
    if (m_header.fileBlocks >= 0xFFFF)
      throw EDBEngineError(EDBEngineError::Code::kIo, "Table " + m_name + " is full (65535 blocks)",
                           FileCause{m_name, EFBIG, true});
    // The header counts the block only once the file holds it.
    b = m_header.fileBlocks + 1;
    const std::uint64_t size = m_header.blockOffset(b + 1);
    m_store->writeBack();
    try {
      m_file.truncate(size);
    } catch (const std::system_error& e) {
      failWriting("Cannot grow table " + m_name, m_path, e);
    }
    m_header.fileBlocks = b;
    m_store->setFileSize(size);
    m_store->invalidate();
  }
  ++m_header.usedBlocks;
  setHead(b, BlockHead{0, 0, -m_header.recordSize});
  return b;
}

void TableImpl::unlinkBlock(int block) {
  const BlockHead h = m_store->head(block);
  if (h.prev) {
    BlockHead p = m_store->head(h.prev);
    p.next = h.next;
    setHead(h.prev, p);
  } else {
    m_header.firstBlock = h.next;
  }
  if (h.next) {
    BlockHead n = m_store->head(h.next);
    n.prev = h.prev;
    setHead(h.next, n);
  } else {
    m_header.lastBlock = h.prev;
  }
  setHead(block, BlockHead{m_header.freeHead, 0, -m_header.recordSize});
  m_header.freeHead = block;
  --m_header.usedBlocks;
}

void TableImpl::insertAt(int block, int index, const std::uint8_t* record) {
  const int rs = m_header.recordSize;
  BlockHead h = m_store->head(block);
  int count = h.count(rs);
  if (index < 0 || index > count || count < 0 || count > m_header.maxRecordsPerBlock())
    fail(EDBEngineError::Code::kCorrupt, "Corrupt table " + m_name + ": block " +
                                             std::to_string(block) + " cannot take a record at " +
                                             std::to_string(index));
  if (count >= m_header.maxRecordsPerBlock()) {
    // Split: a new block after this one takes the upper half, or nothing
    // when the record goes to the very end (appending fills blocks fully).
    const int nb = allocateBlock();
    h = m_store->head(block);
    // A block of one record keeps nothing when the new record goes before
    // it, so that neither half ends up over-full.
    const int keep = index >= count ? count : std::min((count + 1) / 2, count - 1);
    const int moved = count - keep;
    if (moved > 0) {
      std::vector<std::uint8_t> upper(static_cast<std::size_t>(moved) * rs);
      std::memcpy(upper.data(), m_store->block(block) + 6 + keep * rs, upper.size());
      std::uint8_t* dst = m_store->blockForWrite(nb, 6, moved * rs);
      std::memcpy(dst + 6, upper.data(), upper.size());
    }
    setHead(nb, BlockHead{h.next, block, (moved - 1) * rs});
    if (h.next) {
      BlockHead n = m_store->head(h.next);
      n.prev = nb;
      setHead(h.next, n);
    } else {
      m_header.lastBlock = nb;
    }
    h.next = nb;
    h.addDataSize = (keep - 1) * rs;
    setHead(block, h);
    if (index > keep || moved == 0) {  // the upper half, or the end of a full block
      block = nb;
      index -= keep;
    }
    h = m_store->head(block);
    count = h.count(rs);
  }
  std::uint8_t* b = m_store->blockForWrite(block, 6 + index * rs, (count + 1 - index) * rs);
  std::memmove(b + 6 + (index + 1) * rs, b + 6 + index * rs,
               static_cast<std::size_t>(count - index) * rs);
  std::memcpy(b + 6 + index * rs, record, static_cast<std::size_t>(rs));
  h.addDataSize += rs;
  setHead(block, h);
  ++m_header.records;
  m_block = block;
  m_index = index;
  m_blockCount = count + 1;
}

void TableImpl::removeAt(int block, int index) {
  const int rs = m_header.recordSize;
  BlockHead h = m_store->head(block);
  const int count = h.count(rs);
  if (index < 0 || index >= count || count > m_header.maxRecordsPerBlock())
    fail(EDBEngineError::Code::kCorrupt, "Corrupt table " + m_name + ": block " +
                                             std::to_string(block) + " changed under the cursor");
  std::uint8_t* b = m_store->blockForWrite(block, 6 + index * rs, (count - index) * rs);
  std::memmove(b + 6 + index * rs, b + 6 + (index + 1) * rs,
               static_cast<std::size_t>(count - 1 - index) * rs);
  std::memset(b + 6 + (count - 1) * rs, 0, static_cast<std::size_t>(rs));
  --m_header.records;
  if (count == 1) {
    unlinkBlock(block);
  } else {
    h.addDataSize -= rs;
    setHead(block, h);
  }
}

const KeyOrder& TableImpl::keyOrder() {
  if (!m_keyOrder) {
    std::vector<FieldInfo> keys(m_fields.begin(), m_fields.begin() + m_header.keyFields);
    m_keyOrder = std::make_unique<KeyOrder>(keys, m_header.sortOrder, m_name, "primary key");
  }
  return *m_keyOrder;
}

void TableImpl::findKeyPlace(const std::uint8_t* record, int& block, int& index, bool& duplicate) {
  const KeyOrder& order = keyOrder();
  const int rs = m_header.recordSize;
  duplicate = false;
  block = m_header.lastBlock;
  index = -1;
  ChainWalk walk;
  for (int b = m_header.firstBlock; b != 0;) {
    if (std::string fault = walk.reach(b, m_header.fileBlocks); !fault.empty())
      chainCorrupt(m_name, fault);
    const BlockHead h = m_store->head(b);
    int count = 0;
    if (std::string fault =
            recordsFault(b, h, rs, m_header.maxRecordsPerBlock(), m_store->available(b), count);
        !fault.empty())
      chainCorrupt(m_name, fault);
    const std::uint8_t* data = m_store->block(b) + 6;
    if (count > 0 && order.compare(record, data + (count - 1) * rs) <= 0) {
      int lo = 0, hi = count - 1;  // first record not below `record`
      while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (order.compare(data + mid * rs, record) < 0)
          lo = mid + 1;
        else
          hi = mid;
      }
      block = b;
      index = lo;
      duplicate = order.compare(data + lo * rs, record) == 0;
      return;
    }
    b = h.next;
  }
  if (block != 0) index = m_store->head(block).count(rs);
}

void TableImpl::blankRecord() {
  m_editRecord.assign(m_blankRecord.begin(), m_blankRecord.end());
  m_touchLo = 0;
  m_touchHi = m_header.recordSize;
  m_recordBeforeEdit.clear();
}

void TableImpl::insert() {
  structural([&] { startNew(false); });
}

void TableImpl::startNew(bool appending) {
  requireWritable();
  if (m_state != EditState::kBrowse) post();
  applyMarkedDeletes();  // the place to insert at is one in the shadow
  blankRecord();
  m_appending = appending;
  m_insertBlock = m_block;
  m_insertIndex = m_index;
  m_state = EditState::kInsert;
}

void TableImpl::append() {
  structural([&] { startNew(true); });
}

void TableImpl::prepareIndexChange() {
  // The index files are looked at once per handle, as for indexedFields():
  // a bulk insert must not list the directory and read index headers for
  // every record.
  if (isKeyed() && !m_orderable) {
    keyOrder();
    requireOrderable(*this);
    m_orderable = true;
  }
  m_onlyDeletes = false;
}

bool TableImpl::touchesIndexedField() const {
  if (!m_indexedKnown) {
    auto* self = const_cast<TableImpl*>(this);
    self->m_indexed = indexedFields(*this);
    self->m_indexedKnown = true;
    self->m_indexedSpans.clear();
    for (std::size_t i = 0; i < m_fields.size(); ++i)
      if (m_indexed[i]) self->m_indexedSpans.push_back({m_fields[i].offset, m_fields[i].width});
  }
  for (const Span& f : m_indexedSpans) {
    if (f.offset >= m_touchHi || f.offset + f.width <= m_touchLo) continue;
    if (std::memcmp(m_editRecord.data() + f.offset, m_recordBeforeEdit.data() + f.offset,
                    static_cast<std::size_t>(f.width)) != 0)
      return true;
  }
  return false;
}

bool TableImpl::needsMove() const {
  if (!isKeyed()) return false;
  const FieldInfo& last = m_fields[static_cast<std::size_t>(m_header.keyFields - 1)];
  if (m_touchLo >= last.offset + last.width || m_touchLo == m_touchHi) return false;
  return std::memcmp(m_editRecord.data(), m_recordBeforeEdit.data(),
                     static_cast<std::size_t>(last.offset + last.width)) != 0;
}

void TableImpl::postNew() {
  prepareIndexChange();
  const std::uint32_t autoIncBefore = m_header.autoInc;
  for (const int offset : m_autoIncOffsets) {
    std::uint8_t* p = m_editRecord.data() + offset;
    if (allZero(p, 4)) {
      encodeInt(p, 4, static_cast<std::int64_t>(++m_header.autoInc));
    } else {
      const std::int64_t v = decodeInt(p, 4);
      if (v > static_cast<std::int64_t>(m_header.autoInc))
        m_header.autoInc = static_cast<std::uint32_t>(v);
    }
  }
  int block = 0, index = 0;
  if (isKeyed()) {
    bool duplicate = false;
    try {
      findKeyPlace(m_editRecord.data(), block, index, duplicate);
    } catch (...) {
      m_header.autoInc = autoIncBefore;
      throw;
    }
    if (duplicate) {
      m_header.autoInc = autoIncBefore;
      fail(EDBEngineError::Code::kKeyViolation, "Key violation in table " + m_name);
    }
  } else if (m_appending || m_insertBlock == 0) {
    block = m_appending ? m_header.lastBlock : m_header.firstBlock;
    index = block == 0 ? 0 : (m_appending ? m_store->head(block).count(m_header.recordSize) : 0);
  } else {
    block = m_insertBlock;
    index = m_insertIndex;
  }
  try {
    beginChange();
  } catch (...) {
    m_header.autoInc = autoIncBefore;
    throw;
  }
  if (block == 0) {
    block = allocateBlock();
    m_header.firstBlock = m_header.lastBlock = block;
    index = 0;
  }
  insertAt(block, index, m_editRecord.data());
  m_indexDirty = true;
  m_walk.restart();
}

void TableImpl::moveEdited() {
  prepareIndexChange();
  int block = 0, index = 0;
  bool duplicate = false;
  findKeyPlace(m_editRecord.data(), block, index, duplicate);
  if (duplicate) fail(EDBEngineError::Code::kKeyViolation, "Key violation in table " + m_name);
  beginChange();
  std::vector<std::uint8_t>& record = m_movingRecord;
  record.assign(m_editRecord.begin(), m_editRecord.end());
  removeAt(m_block, m_index);
  findKeyPlace(record.data(), block, index, duplicate);
  if (block == 0) {
    block = allocateBlock();
    m_header.firstBlock = m_header.lastBlock = block;
    index = 0;
  }
  insertAt(block, index, record.data());
  releaseBlobs(record.data(), m_recordBeforeEdit.data());
  m_indexDirty = true;
  m_walk.restart();
}

bool TableImpl::stepBackRaw() {
  if (m_block == 0) return false;
  for (;;) {
    if (--m_index >= 0) {
      if (!isMarkedDeleted(m_block, m_index)) return true;
      continue;
    }
    const int prevBlock = m_store->head(m_block).prev;
    if (prevBlock == 0) {
      m_block = 0;
      return false;
    }
    enterBlock(prevBlock);
    m_index = m_blockCount;
  }
}

void TableImpl::remove() {
  structural([&] { removeRecord(); });
}

void TableImpl::removeRecord() {
  requireMarkable();
  if (m_state == EditState::kEdit) post();
  if (m_state == EditState::kInsert) cancel();  // deleting drops a new record
  if (m_block == 0) fail(EDBEngineError::Code::kState, "No current record to delete in " + m_name);
  m_walk.restart();
  if (!m_shadow) {
    // Before any other change: the record is only marked, and the shadow
    // written at the next change or flush leaves it out. A mass delete thus
    // costs one write of the records that stay.
    if (m_hasBlobs) releaseBlobs(nullptr, stored());
    markDeleted(m_block, m_index);
    stepRaw();
  } else {
    forgetPassing();  // the records after this one move up
    if (m_hasBlobs) m_recordBeforeEdit.assign(stored(), stored() + m_header.recordSize);
    const int block = m_block, index = m_index;
    const BlockHead h = m_store->head(block);
    removeAt(block, index);
    // The record that followed now sits at the same place.
    if (index < h.count(m_header.recordSize) - 1) {
      m_blockCount = h.count(m_header.recordSize) - 1;
    } else {
      m_block = 0;
      for (int b = h.next; b != 0 && m_block == 0; b = m_store->head(b).next)
        if (!enterBlock(b)) m_block = 0;
    }
    if (m_hasBlobs) releaseBlobs(nullptr, m_recordBeforeEdit.data());
  }
  m_indexDirty = true;
  seekVisible();
  if (m_block != 0) return;
  // Past the last visible record: back to the one before, if there is one.
  if (m_header.lastBlock == 0 || m_noneVisibleBehind) return;
  m_walk.restart();
  enterBlock(m_header.lastBlock);
  m_index = m_blockCount;
  if (!stepBackRaw()) return;
  while (m_block != 0 && !passes()) stepBackRaw();
}

}  // namespace pdx
