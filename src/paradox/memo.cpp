#include "paradox/memo.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "paradox/coding.h"
#include "paradox/errors.h"
#include "paradox/memo_space.h"

namespace pdx {

using namespace mb;

BlobPointer BlobPointer::decode(const std::uint8_t* field, int width) {
  const std::uint8_t* p = field + (width - kSize);
  return BlobPointer{getU32(p), getU32(p + 4), getU16(p + 8)};
}

void BlobPointer::encode(std::uint8_t* field, int width) const {
  std::uint8_t* p = field + (width - kSize);
  putU32(p, offsetAndIndex);
  putU32(p + 4, length);
  putU16(p + 8, modNumber);
}

bool isBlobType(FieldType type) {
  switch (type) {
    case FieldType::kMemo:
    case FieldType::kFmtMemo:
    case FieldType::kBlob:
    case FieldType::kOle:
    case FieldType::kGraphic:
      return true;
    default:
      return false;
  }
}

MemoFile::MemoFile(std::filesystem::path path, bool writable)
    : m_path(std::move(path)), m_writable(writable) {}

MemoFile::~MemoFile() = default;

void MemoFile::corrupt(const std::string& what) const {
  throw EDBEngineError(EDBEngineError::Code::kCorrupt,
                       "Blob file " + m_path.filename().string() + ": " + what,
                       FileCause{m_path.string(), 0, false});
}

bool MemoFile::openForRead() const {
  if (m_opened) return true;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(m_path, ec)) return false;
  platform::RawFile file;
  try {
    try {
      file = platform::RawFile(m_path, m_writable ? platform::RawFile::Mode::kReadWrite
                                                  : platform::RawFile::Mode::kRead);
    } catch (const std::system_error&) {
      if (!m_writable) throw;
      // A read-only blob file still serves reads; writes are refused later.
      file = platform::RawFile(m_path, platform::RawFile::Mode::kRead);
      m_fileReadOnly = true;
    }
    m_size = file.size();
  } catch (const std::system_error& e) {
    throw EDBEngineError(EDBEngineError::Code::kIo,
                         "Cannot open blob file " + m_path.string() + ": " + e.what(),
                         FileCause{m_path.string(), e.code().value(), false});
  }
  m_file = std::move(file);
  m_opened = true;
  try {
    if (m_size < kChunk) {
      corrupt("shorter than its header block (" + std::to_string(m_size) + " bytes)");
    }
    std::uint8_t head[3] = {};
    readAt(0, head, sizeof head);
    if (head[0] != kHeaderType) {
      corrupt("not a blob file (first block has type " + std::to_string(head[0]) + ")");
    }
  } catch (...) {
    // Not usable: every later call meets the same complaint.
    m_file.close();
    m_opened = false;
    throw;
  }
  return true;
}

void MemoFile::openForWrite() {
  if (!m_writable) {
    throw EDBEngineError(EDBEngineError::Code::kReadOnly,
                         "Blob file " + m_path.filename().string() + " is open read-only");
  }
  if (!openForRead()) {
    createEmpty(m_path);
    if (!openForRead()) {
      throw EDBEngineError(EDBEngineError::Code::kIo, "Cannot create blob file " + m_path.string());
    }
  }
  if (m_fileReadOnly) {
    throw EDBEngineError(EDBEngineError::Code::kReadOnly,
                         "Blob file " + m_path.string() + " is read-only",
                         FileCause{m_path.string(), 0, true});
  }
}

void MemoFile::readAt(std::uint64_t offset, void* buffer, std::size_t length) const {
  std::size_t got = 0;
  try {
    got = m_file.readAt(offset, buffer, length);
  } catch (const std::system_error& e) {
    throw EDBEngineError(EDBEngineError::Code::kIo,
                         "Cannot read blob file " + m_path.string() + ": " + e.what(),
                         FileCause{m_path.string(), e.code().value(), false});
  }
  if (got != length) corrupt("ends inside a block at offset " + hex(offset));
}

void MemoFile::writeAt(std::uint64_t offset, const void* data, std::size_t length) {
  try {
    m_file.writeAt(offset, data, length);
  } catch (const std::system_error& e) {
    throw EDBEngineError(EDBEngineError::Code::kIo,
                         "Cannot write blob file " + m_path.string() + ": " + e.what(),
                         FileCause{m_path.string(), e.code().value(), true});
  }
  m_size = std::max<std::uint64_t>(m_size, offset + length);
}

std::string MemoFile::read(const std::uint8_t* field, int width) const {
  if (width < BlobPointer::kSize) corrupt("blob field narrower than its pointer");
  const BlobPointer p = BlobPointer::decode(field, width);
  const std::size_t leader = static_cast<std::size_t>(width - BlobPointer::kSize);
  if (p.length == 0) return {};
  if (p.inLeader()) {
    if (p.length > leader) {
      corrupt("a value of " + std::to_string(p.length) + " bytes has no block and does not fit " +
              "its " + std::to_string(leader) + "-byte leader");
    }
    return std::string(reinterpret_cast<const char*>(field), p.length);
  }
  if (!openForRead()) {
    throw EDBEngineError(EDBEngineError::Code::kNotFound,
                         "Blob file " + m_path.string() + " is missing; a value needs it",
                         FileCause{m_path.string(), ENOENT, false});
  }
  const std::uint64_t block = p.blockOffset();
  if (block % kChunk != 0 || block == 0) {
    corrupt("a record points to offset " + hex(block) + ", not a data block");
  }
  if (block + kChunk > m_size) {
    corrupt("a record points to the block at " + hex(block) + ", past the end of the file (" +
            hex(m_size) + ")");
  }
  // The value is only allocated once its length is known to fit the file.
  std::string value;
  if (p.index() == BlobPointer::kSingleBlock) {
    std::uint8_t head[kSingleHead];
    readAt(block, head, sizeof head);
    const SingleHead h = SingleHead::decode(head);
    if (h.type != kSingleType) {
      corrupt("the block at " + hex(block) + " has type " + std::to_string(h.type) +
              ", expected a single-value block");
    }
    if (h.length != p.length) {
      corrupt("a record says " + std::to_string(p.length) + " bytes, the block at " + hex(block) +
              " holds " + std::to_string(h.length));
    }
    if (kSingleHead + std::uint64_t{p.length} > std::uint64_t{h.chunks} * kChunk ||
        block + kSingleHead + p.length > m_size) {
      corrupt("the value in the block at " + hex(block) + " runs past its block or the file");
    }
    value.resize(p.length);
    readAt(block + kSingleHead, value.data(), value.size());
    return value;
  }
  if (p.index() >= kSlots) {
    corrupt("a record points to slot " + std::to_string(p.index()) + " of the block at " +
            hex(block) + " (there are 64)");
  }
  std::uint8_t head[3];
  readAt(block, head, sizeof head);
  if (head[0] != kSubType) {
    corrupt("the block at " + hex(block) + " has type " + std::to_string(head[0]) +
            ", expected a sub-allocated block");
  }
  std::uint8_t raw[kSlotSize];
  readAt(block + kSlotTable + kSlotSize * p.index(), raw, sizeof raw);
  const Slot s = Slot::decode(raw);
  if (!s.live()) {
    corrupt("a record points to free slot " + std::to_string(p.index()) + " of the block at " +
            hex(block));
  }
  if (s.length() != p.length) {
    corrupt("a record says " + std::to_string(p.length) + " bytes, slot " +
            std::to_string(p.index()) + " of the block at " + hex(block) + " holds " +
            std::to_string(s.length()));
  }
  if (s.paragraph < kFirstDataParagraph || s.paragraph * 16u + p.length > kChunk) {
    corrupt("slot " + std::to_string(p.index()) + " of the block at " + hex(block) +
            " lies outside the block's data area");
  }
  value.resize(p.length);
  readAt(block + s.paragraph * 16u, value.data(), value.size());
  return value;
}

void MemoFile::write(std::uint8_t* field, int width, std::string_view value, FieldType type) {
  if (width < BlobPointer::kSize) corrupt("blob field narrower than its pointer");
  const std::size_t leader = static_cast<std::size_t>(width - BlobPointer::kSize);
  std::memset(field, 0, static_cast<std::size_t>(width));
  if (value.empty()) return;
  if (value.size() > kMaxValue) {
    throw EDBEngineError(EDBEngineError::Code::kUnsupported,
                         "A value of " + std::to_string(value.size()) +
                             " bytes is too long for blob file " + m_path.filename().string());
  }
  BlobPointer p;
  p.length = static_cast<std::uint32_t>(value.size());
  if (value.size() <= leader) {
    std::memcpy(field, value.data(), value.size());
    p.encode(field, width);
    return;
  }
  openForWrite();
  Space& sp = space();
  const std::uint16_t mod = sp.modNumber;
  p = value.size() <= sp.threshold ? storeInSlot(value, mod) : storeInBlock(value, mod);
  // The leader repeats the value's first bytes; a graphic's after its prefix.
  std::string_view shown = value;
  if (type == FieldType::kGraphic && shown.size() >= kGraphicPrefix) {
    shown.remove_prefix(kGraphicPrefix);
  }
  std::memcpy(field, shown.data(), std::min(leader, shown.size()));
  p.encode(field, width);
}

void MemoFile::free(const std::uint8_t* field, int width) {
  if (width < BlobPointer::kSize) corrupt("blob field narrower than its pointer");
  const BlobPointer p = BlobPointer::decode(field, width);
  if (p.inLeader() || p.length == 0) return;
  openForWrite();
  Space& sp = space();
  const std::uint64_t block = p.blockOffset();
  if (block % kChunk != 0 || block == 0) corrupt("cannot free offset " + hex(block));
  const auto chunk = static_cast<std::uint32_t>(block / kChunk);
  const Space::Release release{chunk, p.index()};
  if (p.index() == BlobPointer::kSingleBlock) {
    if (sp.singles.find(chunk) == sp.singles.end()) {
      corrupt("cannot free the block at " + hex(block) + ": it holds no single value");
    }
  } else {
    const auto it = sp.subBlocks.find(chunk);
    if (it == sp.subBlocks.end() || p.index() >= kSlots) {
      corrupt("cannot free slot " + std::to_string(p.index()) + " of the block at " + hex(block) +
              ": no such sub-allocated slot");
    }
    const Slot& s = it->second[p.index()];
    if (!s.live() || s.length() != p.length) {
      corrupt("cannot free slot " + std::to_string(p.index()) + " of the block at " + hex(block) +
              ": it does not hold this value");
    }
  }
  if (!sp.pending.insert(release).second) {
    corrupt("the value at " + hex(block) + " is freed twice");
  }
}

void MemoFile::commitFrees() {
  if (!m_space || m_space->pending.empty()) return;
  Space& sp = *m_space;
  for (const Space::Release& r : sp.pending) {
    const std::uint64_t block = std::uint64_t{r.chunk} * kChunk;
    if (r.index == BlobPointer::kSingleBlock) {
      const auto it = sp.singles.find(r.chunk);
      const std::uint32_t count = it->second;
      sp.singles.erase(it);
      releaseChunks(r.chunk, count);
      continue;
    }
    // Like the BDE, a freed slot keeps its size but loses its offset and number.
    Slot& s = sp.subBlocks[r.chunk][r.index];
    s.paragraph = 0;
    s.modNumber = 0;
    std::uint8_t raw[kSlotSize];
    s.encode(raw);
    writeAt(block + kSlotTable + kSlotSize * r.index, raw, sizeof raw);
  }
  sp.pending.clear();
  writeFreeList();
  flush();
}

void MemoFile::flush() {
  if (!m_opened || !m_writable) return;
  try {
    m_file.sync();
  } catch (const std::system_error& e) {
    throw EDBEngineError(EDBEngineError::Code::kIo,
                         "Cannot flush blob file " + m_path.string() + ": " + e.what(),
                         FileCause{m_path.string(), e.code().value(), true});
  }
}

void MemoFile::createEmpty(const std::filesystem::path& path) {
  std::vector<std::uint8_t> header(kChunk, 0);
  std::copy(std::begin(kHeaderTemplate), std::end(kHeaderTemplate), header.begin());
  header[0x29] = 0xA1;  // constant in every header the BDE wrote
  header[0x2A] = 0x02;
  try {
    platform::RawFile file(path, platform::RawFile::Mode::kCreate);
    file.writeAt(0, header.data(), header.size());
    file.sync();
  } catch (const std::system_error& e) {
    throw EDBEngineError(EDBEngineError::Code::kIo,
                         "Cannot create blob file " + path.string() + ": " + e.what(),
                         FileCause{path.string(), e.code().value(), true});
  }
}

}  // namespace pdx
