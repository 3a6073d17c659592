// Making structural changes safe: the shadow copy the changes go to, and
// the commit that renames it over the table and rewrites the indexes.
#include <system_error>

#include "paradox/errors.h"
#include "paradox/index.h"
#include "paradox/table_impl.h"

namespace pdx {

void TableImpl::beginChange() {
  if (m_shadow) return;
  m_store->writeBack();
  m_shadowPath = m_path;
  m_shadowPath += ".new~";
  try {
    platform::RawFile shadow(m_shadowPath, platform::RawFile::Mode::kCreate);
    std::vector<std::uint8_t> buf(4 << 20);
    std::uint64_t at = 0;
    for (;;) {
      const std::size_t n = m_file.readAt(at, buf.data(), buf.size());
      if (n == 0) break;
      shadow.writeAt(at, buf.data(), n);
      at += n;
    }
    // Every declared block at full size, so that records may grow into a
    // short last block.
    const std::uint64_t full = m_header.fileBlocks == 0
                                   ? static_cast<std::uint64_t>(m_header.headerSize)
                                   : m_header.blockOffset(m_header.fileBlocks + 1);
    if (at < full) shadow.truncate(full);
    m_file = std::move(shadow);
    m_store = std::make_unique<BlockStore>(&m_file, m_name, m_header.headerSize, m_header.blockSize,
                                           m_file.size());
  } catch (const std::system_error& e) {
    std::error_code ec;
    std::filesystem::remove(m_shadowPath, ec);
    fail(EDBEngineError::Code::kIo,
         "Cannot write beside table " + m_name + ": " + e.code().message());
  }
  m_shadow = true;
}

void TableImpl::commitChange() {
  if (!m_shadow && !m_indexDirty) return;
  if (m_shadow) {
    m_header.raw[hdr::kChange1] = static_cast<std::uint8_t>(m_header.raw[hdr::kChange1] + 1);
    m_header.encodeCounts();
    m_store->writeBack();
    try {
      m_file.writeAt(0, m_header.raw.data(), m_header.raw.size());
      m_file.sync();
      m_memo->flush();
      // The marker says "indexes behind the data" until they are rewritten,
      // so that a process killed in between has them rebuilt on next open.
      if (isKeyed()) {
        platform::RawFile marker(pendingIndexMarker(), platform::RawFile::Mode::kCreate);
        marker.sync();
      }
      platform::replaceFile(m_shadowPath, m_path);
    } catch (const std::system_error& e) {
      fail(EDBEngineError::Code::kIo, "Cannot write table " + m_name + ": " + e.code().message());
    }
    m_shadow = false;
  }
  rebuildIndexes(*this, m_onlyDeletes);
  std::error_code ec;
  std::filesystem::remove(pendingIndexMarker(), ec);
  m_indexDirty = false;
  m_onlyDeletes = true;
}

std::filesystem::path TableImpl::pendingIndexMarker() const {
  std::filesystem::path p = m_path;
  p += ".ix~";
  return p;
}

void TableImpl::finishPendingIndexes() {
  std::error_code ec;
  if (m_fileReadOnly || !std::filesystem::exists(pendingIndexMarker(), ec)) return;
  try {
    rebuildIndexes(*this, false);
  } catch (const EDBEngineError& e) {
    if (e.code() != EDBEngineError::Code::kUnsupported) throw;
    rebuildIndexes(*this, true);  // what can be changed without the sort order was deletes
  }
  std::filesystem::remove(pendingIndexMarker(), ec);
}

}  // namespace pdx
