#include <cstring>

#include "paradox/errors.h"
#include "paradox/table_impl.h"
#include "paradox/values.h"

namespace pdx {

std::string TableImpl::asBytes(int field) const {
  const FieldInfo& f = fieldAt(field);
  const std::uint8_t* p = current() + f.offset;
  if (isBlobType(f.type)) return m_memo->read(p, f.width);
  return std::string(reinterpret_cast<const char*>(p), static_cast<std::size_t>(f.width));
}

void TableImpl::setBytes(int field, std::string_view bytes) {
  const FieldInfo& f = fieldAt(field);
  std::uint8_t* p = editable(field);
  if (isBlobType(f.type)) {
    const std::vector<std::uint8_t> before(p, p + f.width);
    if (bytes.empty()) {
      std::memset(p, 0, static_cast<std::size_t>(f.width));
    } else {
      m_memo->write(p, f.width, bytes, f.type);
    }
    // A value this edit wrote earlier and now replaces is nobody's.
    const std::uint8_t* orig =
        m_recordBeforeEdit.empty() ? nullptr : m_recordBeforeEdit.data() + f.offset;
    const BlobPointer old = BlobPointer::decode(before.data(), f.width);
    if (!old.inLeader() &&
        (!orig || std::memcmp(orig, before.data(), static_cast<std::size_t>(f.width)) != 0))
      m_memo->free(before.data(), f.width);
    return;
  }
  const std::size_t n = std::min(bytes.size(), static_cast<std::size_t>(f.width));
  std::memset(p, 0, static_cast<std::size_t>(f.width));
  std::memcpy(p, bytes.data(), n);
}

// Frees the .MB space of blob values in `drop` that `keep` no longer points at.
// With `keep`, only fields the setters reached can differ.
void TableImpl::releaseBlobs(const std::uint8_t* keep, const std::uint8_t* drop) {
  if (!m_hasBlobs) return;
  for (const FieldInfo& f : m_fields) {
    if (!isBlobType(f.type)) continue;
    if (keep == m_editRecord.data() && (f.offset >= m_touchHi || f.offset + f.width <= m_touchLo))
      continue;
    const std::uint8_t* d = drop + f.offset;
    if (keep && std::memcmp(keep + f.offset, d, static_cast<std::size_t>(f.width)) == 0) continue;
    if (!BlobPointer::decode(d, f.width).inLeader()) m_memo->free(d, f.width);
  }
}

void TableImpl::writeInPlace() {
  const int rs = m_header.recordSize;
  // Only bytes a setter reached can differ.
  int lo = m_touchLo;
  int hi = m_touchHi;
  while (lo < hi && m_editRecord[static_cast<std::size_t>(lo)] ==
                        m_recordBeforeEdit[static_cast<std::size_t>(lo)])
    ++lo;
  if (lo == hi) return;
  while (m_editRecord[static_cast<std::size_t>(hi - 1)] ==
         m_recordBeforeEdit[static_cast<std::size_t>(hi - 1)])
    --hi;
  std::uint8_t* b = m_store->blockForWrite(m_block, 6 + m_index * rs + lo, hi - lo);
  std::memcpy(b + 6 + m_index * rs + lo, m_editRecord.data() + lo,
              static_cast<std::size_t>(hi - lo));
}

void TableImpl::post() {
  structural([&] { postRecord(); });
}

void TableImpl::postRecord() {
  if (m_state == EditState::kBrowse) return;
  requireWritable();
  forgetPassing();
  if (m_state == EditState::kEdit) {
    if (needsMove()) {
      moveEdited();
    } else {
      if (touchesIndexedField()) {
        prepareIndexChange();
        beginChange();
        m_indexDirty = true;
      }
      writeInPlace();
      releaseBlobs(m_editRecord.data(), m_recordBeforeEdit.data());
    }
  } else {
    postNew();
  }
  m_state = EditState::kBrowse;
  m_noneVisibleBehind = false;  // a posted record may pass the filter anywhere
}

void TableImpl::cancel() {
  if (m_state == EditState::kBrowse) return;
  if (m_failed) {  // the batch is gone already
    m_state = EditState::kBrowse;
    return;
  }
  // Blob values this edit wrote into the .MB belong to no record.
  try {
    if (m_state == EditState::kEdit)
      releaseBlobs(m_recordBeforeEdit.data(), m_editRecord.data());
    else
      releaseBlobs(nullptr, m_editRecord.data());
  } catch (const EDBEngineError&) {
    // Leaking unreferenced space is harmless; the record stays as it was.
  }
  m_state = EditState::kBrowse;
}

}  // namespace pdx
