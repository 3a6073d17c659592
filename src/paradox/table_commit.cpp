// Making structural changes safe: the shadow copy the changes go to, and
// the commit that renames it over the table and rewrites the indexes.
#include <algorithm>
#include <cstring>
#include <system_error>

#include "paradox/coding.h"
#include "paradox/errors.h"
#include "paradox/index.h"
#include "paradox/index_internal.h"
#include "paradox/table_impl.h"

namespace pdx {

void TableImpl::beginChange() {
  forgetPassing();
  if (m_shadow) return;
  try {
    copyToShadow();
  } catch (const EDBEngineError& e) {
    // Nothing changed unless deletes were marked: those are lost with it.
    if (m_markedDeleteCount > 0) poison(e);
    throw;
  }
}

void TableImpl::copyToShadow() {
  m_store->writeBack();
  m_shadowPath = sideFile(m_path, ".new~");
  if (m_markedDeleteCount > 0) {
    writePackedShadow();
    return;
  }
  try {
    platform::RawFile shadow(m_shadowPath, platform::RawFile::Mode::kCreate);
    // Copy the header, then whole blocks, keeping each block's head.
    const auto bs = static_cast<std::size_t>(m_header.blockSize);
    std::vector<std::uint8_t> buf(
        std::max<std::size_t>(bs * ((4u << 20) / bs), m_header.raw.size()));
    std::vector<BlockHead> heads(1);  // heads[n] for block n
    std::uint64_t at = m_file.readAt(0, buf.data(), static_cast<std::size_t>(m_header.headerSize));
    shadow.writeAt(0, buf.data(), static_cast<std::size_t>(at));
    for (;;) {
      const std::size_t n = m_file.readAt(at, buf.data(), buf.size());
      if (n == 0) break;
      for (std::size_t o = 0; o + 6 <= n; o += bs)
        heads.push_back(BlockHead::decode(buf.data() + o));
      shadow.writeAt(at, buf.data(), n);
      at += n;
    }
    if (const std::string damage = chainDamage(heads, m_header.records); !damage.empty()) {
      shadow.close();
      platform::removeFile(m_shadowPath);
      fail(EDBEngineError::Code::kCorrupt, "Corrupt table " + m_name + ", not changed: " + damage);
    }
    // Every declared block at full size, so that records may grow into a
    // short last block.
    const std::uint64_t full = m_header.fileBlocks == 0
                                   ? static_cast<std::uint64_t>(m_header.headerSize)
                                   : m_header.blockOffset(m_header.fileBlocks + 1);
    if (at < full) shadow.truncate(full);
    m_heldOriginal = std::move(m_file);
    m_file = std::move(shadow);
    m_store = std::make_unique<BlockStore>(&m_file, m_name, m_header.headerSize, m_header.blockSize,
                                           m_file.size());
  } catch (const std::system_error& e) {
    platform::removeFile(m_shadowPath);
    failWriting("Cannot write beside table " + m_name, m_shadowPath, e);
  }
  m_shadow = true;
}

// The shadow of a table with marked deletes: the records still there,
// in chain order, packed into full blocks numbered along the chain. The
// cursor moves to where its record now is.
void TableImpl::writePackedShadow() {
  const int rs = m_header.recordSize;
  const auto bs = static_cast<std::size_t>(m_header.blockSize);
  const int perBlock = m_header.maxRecordsPerBlock();
  // The same checks as before a copy, over the records as they are on disk.
  std::vector<BlockHead> heads(
      static_cast<std::size_t>(std::min(m_header.fileBlocks, m_store->blocksInFile())) + 1);
  for (std::size_t b = 1; b < heads.size(); ++b) heads[b] = m_store->head(static_cast<int>(b));
  if (const std::string damage = chainDamage(heads, m_header.records + m_markedDeleteCount);
      !damage.empty())
    fail(EDBEngineError::Code::kCorrupt, "Corrupt table " + m_name + ", not changed: " + damage);

  int cursorBlock = 0, cursorIndex = 0, cursorCount = 0;
  int outBlocks = 0;  // blocks written or in `buf`
  int fill = 0;       // records in the last block of `buf`
  try {
    platform::RawFile shadow(m_shadowPath, platform::RawFile::Mode::kCreate);
    std::vector<std::uint8_t> head(static_cast<std::size_t>(m_header.headerSize));
    head.resize(m_file.readAt(0, head.data(), head.size()));
    shadow.writeAt(0, head.data(), head.size());
    const std::size_t batch = std::max<std::size_t>(1, (1u << 20) / bs);
    std::vector<std::uint8_t> buf(batch * bs, 0);
    int firstInBuf = 1;  // block number of buf's first block
    auto closeBlock = [&](bool last) {
      std::uint8_t* b = buf.data() + static_cast<std::size_t>(outBlocks - firstInBuf) * bs;
      BlockHead{last ? 0 : outBlocks + 1, outBlocks - 1, (fill - 1) * rs}.encode(b);
    };
    auto spill = [&](int upTo) {  // writes buf's blocks firstInBuf..upTo
      if (upTo < firstInBuf) return;
      const std::size_t n = static_cast<std::size_t>(upTo - firstInBuf + 1) * bs;
      shadow.writeAt(m_header.blockOffset(firstInBuf), buf.data(), n);
      std::fill(buf.begin(), buf.begin() + static_cast<std::ptrdiff_t>(n), 0);
      firstInBuf = upTo + 1;
    };
    for (int b = m_header.firstBlock; b != 0; b = heads[static_cast<std::size_t>(b)].next) {
      const int count = heads[static_cast<std::size_t>(b)].count(rs);
      for (int i = 0; i < count; ++i) {
        if (isMarkedDeleted(b, i)) continue;
        if (outBlocks == 0 || fill == perBlock) {
          if (outBlocks > 0) closeBlock(false);
          if (outBlocks + 1 >= firstInBuf + static_cast<int>(batch)) spill(outBlocks);
          ++outBlocks;
          fill = 0;
        }
        std::uint8_t* dst = buf.data() + static_cast<std::size_t>(outBlocks - firstInBuf) * bs + 6 +
                            static_cast<std::size_t>(fill) * rs;
        std::memcpy(dst, m_store->block(b) + 6 + static_cast<std::size_t>(i) * rs,
                    static_cast<std::size_t>(rs));
        if (b == m_block && i == m_index) {
          cursorBlock = outBlocks;
          cursorIndex = fill;
        }
        ++fill;
      }
    }
    if (outBlocks > 0) {
      closeBlock(true);
      spill(outBlocks);
    }
    shadow.truncate(m_header.blockOffset(outBlocks + 1));
    if (cursorBlock != 0) cursorCount = cursorBlock == outBlocks ? fill : perBlock;
    m_heldOriginal = std::move(m_file);
    m_file = std::move(shadow);
  } catch (const std::system_error& e) {
    platform::removeFile(m_shadowPath);
    failWriting("Cannot write beside table " + m_name, m_shadowPath, e);
  } catch (...) {
    platform::removeFile(m_shadowPath);
    throw;
  }
  m_store = std::make_unique<BlockStore>(&m_file, m_name, m_header.headerSize, m_header.blockSize,
                                         m_header.blockOffset(outBlocks + 1));
  m_header.fileBlocks = m_header.usedBlocks = m_header.lastBlock = outBlocks;
  m_header.firstBlock = outBlocks > 0 ? 1 : 0;
  m_header.freeHead = 0;
  m_markedDeletes.clear();
  m_markedDeleteCount = 0;
  m_block = cursorBlock;
  m_index = cursorIndex;
  m_blockCount = cursorCount;
  m_walk.restart();
  m_shadow = true;
}

bool TableImpl::commitChange() {
  requireSound();
  applyMarkedDeletes();
  if (!m_shadow && !m_indexDirty) return false;
  if (!m_shadow) {  // indexes only: nothing of the data to replace
    if (m_fromOrigin) materialize();
    structural([&] { rebuildIndexes(*this, m_onlyDeletes); });
    m_indexDirty = false;
    m_onlyDeletes = true;
    return false;
  }
  std::vector<IndexReplacement> indexes;
  structural([&] {
    m_header.raw[hdr::kChangeCounter] =
        static_cast<std::uint8_t>(m_header.raw[hdr::kChangeCounter] + 1);
    m_header.encodeCounts();
    m_store->writeBack();
    try {
      m_file.writeAt(0, m_header.raw.data(), m_header.raw.size());
      m_file.sync();
      m_memo->flush();
      // The marker says "indexes may disagree with the data" until the last
      // rename is done, so that a process killed in between has them put
      // right on next open.
      if (isKeyed()) {
        platform::RawFile marker(pendingIndexMarker(), platform::RawFile::Mode::kCreate);
        marker.sync();
      }
    } catch (const std::system_error& e) {
      platform::removeFile(pendingIndexMarker());
      failWriting("Cannot write table " + m_name, m_path, e);
    }
    try {
      indexes = writeIndexes(*this, m_shadowPath, m_onlyDeletes);
    } catch (...) {
      platform::removeFile(pendingIndexMarker());
      throw;
    }
    installChange(indexes);
  });
  // The table's rename is done: the change is durable and reported as done.
  // What follows only tidies up; its failures leave litter, not damage.
  m_shadow = false;
  m_fromOrigin = false;  // the origin's handle is the one held below
  platform::closeInBackground(std::move(m_heldOriginal));
  for (const IndexReplacement& r : indexes) platform::removeFile(r.written);
  platform::removeFile(pendingIndexMarker());
  m_indexDirty = false;
  m_onlyDeletes = true;
  return true;
}

// The renames of a commit, back to back: each index swapped with its new
// version, then the shadow renamed over the table, which is the moment the
// change takes effect. When a rename fails the swapped indexes go back, so
// the family is as before (else the marker stays for the next open).
void TableImpl::installChange(const std::vector<IndexReplacement>& indexes) {
  bool restored = true;
  try {
    installIndexes(
        indexes, [&] { platform::replaceFile(m_shadowPath, m_path); }, restored);
  } catch (const std::system_error& e) {
    if (restored) platform::removeFile(pendingIndexMarker());
    failWriting("Cannot write table " + m_name, m_path, e);
  }
}

void TableImpl::poison(const EDBEngineError& e) {
  if (m_failed) return;
  m_failed = true;
  m_failure = std::make_unique<EDBEngineError>(e);
  discardShadow();
  m_markedDeletes.clear();
  m_markedDeleteCount = 0;
}

void TableImpl::discardShadow() noexcept {
  m_store->discardChanges();
  if (!m_shadow) return;
  m_file.close();
  platform::removeFile(m_shadowPath);
  m_file = std::move(m_heldOriginal);
  try {
    m_store = std::make_unique<BlockStore>(&m_file, m_name, m_header.headerSize, m_header.blockSize,
                                           m_file.size());
  } catch (...) {
    // The handle refuses all work from here; the store is not used again.
  }
  m_shadow = false;
}

void TableImpl::throwFailure() const {
  throw EDBEngineError(*m_failure);
}

std::string TableImpl::chainDamage(const std::vector<BlockHead>& heads,
                                   std::uint64_t records) const {
  const int rs = m_header.recordSize;
  const int blocks = std::min<int>(m_header.fileBlocks, static_cast<int>(heads.size()) - 1);
  std::vector<bool> inChain(static_cast<std::size_t>(blocks) + 1, false);
  std::uint64_t counted = 0;
  int prev = 0;
  ChainWalk walk;
  for (int b = m_header.firstBlock; b != 0; b = heads[static_cast<std::size_t>(b)].next) {
    if (std::string fault = walk.reach(b, blocks); !fault.empty()) return fault;
    if (inChain[static_cast<std::size_t>(b)])
      return "the block chain loops (it reaches block " + std::to_string(b) + " again)";
    inChain[static_cast<std::size_t>(b)] = true;
    int count = 0;
    if (std::string fault = recordsFault(b, heads[static_cast<std::size_t>(b)], rs,
                                         m_header.maxRecordsPerBlock(), m_header.blockSize, count);
        !fault.empty())
      return fault;
    counted += static_cast<std::uint64_t>(count);
    prev = b;
  }
  if (prev != m_header.lastBlock) return "the chain does not end at the header's last block";
  if (counted != records) return "the blocks hold another number of records than the header";
  for (int b = m_header.freeHead; b != 0; b = heads[static_cast<std::size_t>(b)].next) {
    if (b < 1 || b > blocks || inChain[static_cast<std::size_t>(b)])
      return "the free list reaches block " + std::to_string(b) + " outside the file or in use";
    inChain[static_cast<std::size_t>(b)] = true;
  }
  return {};
}

std::filesystem::path TableImpl::pendingIndexMarker() const {
  return sideFile(m_path, ".ix~");
}

namespace {

// The .PX and the maintained .Xnn of a keyed table, for a rebuild.
std::vector<std::filesystem::path> everyMaintainedIndex(const TableImpl& table) {
  std::vector<std::filesystem::path> all;
  if (!table.isKeyed()) return all;
  if (const auto px = detail::companionIf(table.path(), ".px"); !px.empty()) all.push_back(px);
  for (const SecondaryIndex& si : findSecondaryIndexes(table))
    if (si.maintained) all.push_back(si.xFile);
  return all;
}

}  // namespace

void TableImpl::finishPendingIndexes() {
  std::error_code ec;
  if (m_fileReadOnly || !std::filesystem::exists(pendingIndexMarker(), ec)) return;
  if (m_fromOrigin) materialize();  // the indexes are rebuilt from the table's own file
  // Indexes written for this data (the commit got as far as the table's
  // rename, or had not swapped them yet) stay, old ones swapped out by a
  // commit that never replaced the table go back; anything else is rebuilt.
  // A marker with content was left by a replace of the table's files by
  // those of another table (FORMAT.md, "Writing safely"): counters then say
  // nothing, as two tables may well count alike, and every index is rebuilt.
  const bool replaced = std::filesystem::file_size(pendingIndexMarker(), ec) > 0 && !ec;
  if (const auto stale = replaced ? everyMaintainedIndex(*this) : restoreIndexesByCounter(*this);
      !stale.empty()) {
    try {
      rebuildIndexes(*this, false, &stale);
    } catch (const EDBEngineError& e) {
      if (e.code() != EDBEngineError::Code::kUnsupported) throw;
      rebuildIndexes(*this, true, &stale);  // what can change without the sort order: deletes
    }
  }
  // Tidying up: what cannot be removed stays as litter, not damage.
  try {
    for (const SecondaryIndex& si : findSecondaryIndexes(*this)) {
      platform::removeFile(sideFile(si.xFile, ".new~"));
      if (!si.yFile.empty()) platform::removeFile(sideFile(si.yFile, ".new~"));
    }
  } catch (const EDBEngineError&) {
  }
  platform::removeFile(sideFile(companionFile(m_path, ".px"), ".new~"));
  platform::removeFile(pendingIndexMarker());
}

}  // namespace pdx
