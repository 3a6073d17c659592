#include "paradox/blockstore.h"

#include <algorithm>
#include <cstring>
#include <system_error>

#include "paradox/coding.h"
#include "paradox/errors.h"

namespace pdx {
namespace {
constexpr std::size_t kMaxWindowBytes = 1 << 20;
}

BlockStore::BlockStore(platform::RawFile* file, std::string fileName, std::uint64_t headerSize,
                       int blockSize, std::uint64_t fileSize)
    : m_file(file),
      m_fileName(std::move(fileName)),
      m_headerSize(headerSize),
      m_blockSize(blockSize),
      m_fileSize(0),
      m_blocksInFile(0) {
  setFileSize(fileSize);
  static_assert(kStretchBytes % platform::FileView::kViewAlignment == 0);
}

const std::uint8_t* BlockStore::mapped(int n) {
  if (!m_mapping) return nullptr;
  const std::uint64_t at = m_headerSize + static_cast<std::uint64_t>(n - 1) * m_blockSize;
  const std::uint64_t end = at + static_cast<std::uint64_t>(m_blockSize);
  if (end > m_fileSize) return nullptr;  // a short last block is padded by load()
  const std::uint64_t index = at / kStretchBytes;
  const std::uint64_t start = index * kStretchBytes;
  int pick = 0;
  for (int i = 0; i < kStretches; ++i) {
    Stretch& s = m_stretches[i];
    if (s.index == index && end <= start + s.view.size()) {
      s.used = ++m_clock;
      return s.view.data() + (at - start);
    }
    if (s.used < m_stretches[pick].used) pick = i;
  }
  Stretch& s = m_stretches[pick];
  m_hotBlock = 0;
  s.index = ~std::uint64_t{0};
  s.view = platform::FileView(
      *m_file, start,
      std::min<std::uint64_t>(kStretchBytes + static_cast<std::uint64_t>(m_blockSize),
                              m_fileSize - start));
  if (!s.view.data()) {
    m_mapping = false;
    return nullptr;
  }
  s.index = index;
  s.used = ++m_clock;
  return s.view.data() + (at - start);
}

BlockStore::~BlockStore() {
  try {
    writeBack();
  } catch (...) {
    // Destruction cannot report; flush() and close paths write back first.
  }
}

void BlockStore::setFileSize(std::uint64_t fileSize) {
  m_fileSize = fileSize;
  const std::uint64_t data = fileSize > m_headerSize ? fileSize - m_headerSize : 0;
  const std::uint64_t blocks = (data + static_cast<std::uint64_t>(m_blockSize) - 1) /
                               static_cast<std::uint64_t>(m_blockSize);
  m_blocksInFile = static_cast<int>(std::min<std::uint64_t>(blocks, 0xFFFF));
}

int BlockStore::available(int n) const {
  const std::uint64_t start = m_headerSize + static_cast<std::uint64_t>(n - 1) * m_blockSize;
  if (start >= m_fileSize) return 0;
  return static_cast<int>(std::min<std::uint64_t>(m_fileSize - start, m_blockSize));
}

void BlockStore::writeSlot(int i) {
  Slot& slot = m_slots[i];
  if (!slot.dirty) return;
  const std::uint64_t at = m_headerSize + static_cast<std::uint64_t>(slot.block - 1) * m_blockSize;
  try {
    m_file->writeAt(at, slot.data.data(), static_cast<std::size_t>(m_blockSize));
  } catch (const std::system_error& e) {
    throw EDBEngineError::io(m_fileName, e, true);
  }
  if (at + static_cast<std::uint64_t>(m_blockSize) > m_fileSize) setFileSize(at + m_blockSize);
  slot.dirty = false;
}

std::uint8_t* BlockStore::slotFor(int n, bool forWrite) {
  m_hotBlock = 0;
  int pick = 0;
  for (int i = 0; i < kSlots; ++i) {
    if (m_slots[i].block == n) {
      pick = i;
      goto found;
    }
    if (m_slots[i].used < m_slots[pick].used) pick = i;
  }
  {
    writeSlot(pick);
    Slot& slot = m_slots[pick];
    slot.data.assign(static_cast<std::size_t>(m_blockSize), 0);
    slot.block = 0;
    try {
      m_file->readAt(m_headerSize + static_cast<std::uint64_t>(n - 1) * m_blockSize,
                     slot.data.data(), static_cast<std::size_t>(m_blockSize));
    } catch (const std::system_error& e) {
      throw EDBEngineError::io(m_fileName, e, false);
    }
    slot.block = n;
  }
found:
  m_slots[pick].used = ++m_clock;
  m_slots[pick].dirty = m_slots[pick].dirty || forWrite;
  return m_slots[pick].data.data();
}

void BlockStore::load(int n) {
  m_hotBlock = 0;
  if (n < 1 || n > m_blocksInFile)
    throw EDBEngineError(EDBEngineError::Code::kCorrupt,
                         "Corrupt table " + m_fileName + ": block " + std::to_string(n) +
                             " is past the end of the file (" + std::to_string(m_blocksInFile) +
                             " blocks)",
                         FileCause{m_fileName, 0, false});
  writeBack();
  // Grow the window while the caller walks forward; start small otherwise.
  const int maxBlocks = std::max<int>(1, static_cast<int>(kMaxWindowBytes / m_blockSize));
  int want = (n == m_first + m_count && m_count > 0) ? std::min(maxBlocks, m_count * 2) : 4;
  want = std::max(1, std::min({want, maxBlocks, m_blocksInFile - n + 1}));
  for (int i = 0; i < kSlots; ++i)
    if (m_slots[i].block >= n && m_slots[i].block < n + want) {
      writeSlot(i);
      m_slots[i].block = 0;
    }
  const std::size_t bytes = static_cast<std::size_t>(want) * m_blockSize;
  if (m_window.size() < bytes) m_window.resize(std::max(bytes, m_window.size() * 2));
  std::size_t got = 0;
  try {
    got = m_file->readAt(m_headerSize + static_cast<std::uint64_t>(n - 1) * m_blockSize,
                         m_window.data(), bytes);
  } catch (const std::system_error& e) {
    m_first = m_count = 0;
    throw EDBEngineError::io(m_fileName, e, false);
  }
  std::memset(m_window.data() + got, 0, bytes - got);
  m_first = n;
  m_count = want;
}

bool BlockStore::inSlot(int n) const {
  for (const Slot& slot : m_slots)
    if (slot.block == n && n != 0) return true;
  return false;
}

const std::uint8_t* BlockStore::blockOutsideWindow(int n) {
  if (inSlot(n)) return slotFor(n, false);
  if (n >= 1 && n <= m_blocksInFile) {
    if (const std::uint8_t* p = mapped(n)) {
      m_hotBlock = n;
      m_hotData = p;
      return p;
    }
  }
  if (m_count > 0 && n >= 1 && n < m_first) return slotFor(n, false);
  load(n);
  return m_window.data() + static_cast<std::size_t>(n - m_first) * m_blockSize;
}

BlockHead BlockStore::head(int n) {
  return BlockHead::decode(block(n));
}

BlockHead BlockHead::decode(const std::uint8_t* block) {
  return {getU16(block), getU16(block + 2), static_cast<std::int16_t>(getU16(block + 4))};
}

void BlockHead::encode(std::uint8_t* block) const {
  putU16(block, static_cast<std::uint16_t>(next));
  putU16(block + 2, static_cast<std::uint16_t>(prev));
  putU16(block + 4, static_cast<std::uint16_t>(static_cast<std::int16_t>(addDataSize)));
}

std::string ChainWalk::reach(int b, int blocks) {
  if (b < 1 || b > blocks)
    return "the block chain links to block " + std::to_string(b) + ", outside the file (" +
           std::to_string(blocks) + " blocks)";
  if (++m_steps > blocks + 1)
    return "the block chain loops (it reaches block " + std::to_string(b) + " again)";
  return {};
}

std::string recordsFault(int b, const BlockHead& head, int recordSize, int maxRecords,
                         int available, int& count) {
  const int n = head.addDataSize >= -recordSize && (head.addDataSize + recordSize) % recordSize == 0
                    ? head.count(recordSize)
                    : -1;
  if (n < 0 || n > maxRecords || BlockHead::kSize + n * recordSize > available)
    return "block " + std::to_string(b) + " declares " + std::to_string(head.addDataSize) +
           " bytes of records, more than it holds";
  count = n;
  return {};
}

void chainCorrupt(const std::string& file, const std::string& fault) {
  throw EDBEngineError(EDBEngineError::Code::kCorrupt, "Corrupt table " + file + ": " + fault,
                       FileCause{file, 0, false});
}

std::uint8_t* BlockStore::blockForWrite(int n, int from, int length) {
  m_hotBlock = 0;
  if (n < m_first || n >= m_first + m_count) {
    if (inSlot(n) || (m_count > 0 && n >= 1 && n < m_first)) return slotFor(n, true);
    load(n);  // checks n
  }
  const std::size_t base = static_cast<std::size_t>(n - m_first) * m_blockSize;
  const std::size_t lo = base + static_cast<std::size_t>(from);
  const std::size_t hi = lo + static_cast<std::size_t>(length);
  if (m_dirtyFrom == m_dirtyTo) {
    m_dirtyFrom = lo;
    m_dirtyTo = hi;
  } else {
    m_dirtyFrom = std::min(m_dirtyFrom, lo);
    m_dirtyTo = std::max(m_dirtyTo, hi);
  }
  return m_window.data() + base;
}

void BlockStore::writeBack() {
  for (int i = 0; i < kSlots; ++i) writeSlot(i);
  if (m_dirtyFrom == m_dirtyTo) return;
  const std::uint64_t at =
      m_headerSize + static_cast<std::uint64_t>(m_first - 1) * m_blockSize + m_dirtyFrom;
  try {
    m_file->writeAt(at, m_window.data() + m_dirtyFrom, m_dirtyTo - m_dirtyFrom);
  } catch (const std::system_error& e) {
    throw EDBEngineError::io(m_fileName, e, true);
  }
  // A pass that edits record after record moves on and leaves these bytes
  // be: the disk may take them while the pass goes on, not all at the flush.
  m_file->startWriteBack(at, m_dirtyTo - m_dirtyFrom);
  if (at + (m_dirtyTo - m_dirtyFrom) > m_fileSize) setFileSize(at + (m_dirtyTo - m_dirtyFrom));
  m_dirtyFrom = m_dirtyTo = 0;
}

void BlockStore::discardChanges() noexcept {
  for (Slot& slot : m_slots) slot.dirty = false;
  m_dirtyFrom = m_dirtyTo = 0;
}

void BlockStore::invalidate() {
  writeBack();
  m_hotBlock = 0;
  m_first = m_count = 0;
  for (Slot& slot : m_slots) slot.block = 0;
}

}  // namespace pdx
