#include "support/memo_file.h"

#include <cstring>
#include <stdexcept>

namespace fixture::detail {
namespace {
constexpr std::uint32_t kChunk = 4096;
constexpr std::size_t kSingleBlobOver = 2048;
}  // namespace

MemoFile::MemoFile(const std::filesystem::path& path) : m_path(path) {
  m_out.open(path, std::ios::binary | std::ios::trunc);
  if (!m_out) throw std::runtime_error("cannot create " + path.string());
  std::string header(kChunk, '\0');
  header[0] = 0;  // header block
  putLe16(&header[1], 1);
  m_out.write(header.data(), static_cast<std::streamsize>(header.size()));
}

MemoFile::~MemoFile() {
  try {
    close();
  } catch (...) {
  }
}

void MemoFile::flushSubBlock() {
  if (m_sub.empty()) return;
  m_out.seekp(m_subOffset);
  m_out.write(m_sub.data(), static_cast<std::streamsize>(m_sub.size()));
  m_out.seekp(0, std::ios::end);
  m_sub.clear();
}

BlobRef MemoFile::store(std::string_view blob) {
  if (blob.size() > kSingleBlobOver) {
    const std::size_t total = 9 + blob.size();
    const auto chunks = static_cast<std::uint32_t>((total + kChunk - 1) / kChunk);
    std::string block(static_cast<std::size_t>(chunks) * kChunk, '\0');
    block[0] = 2;
    putLe16(&block[1], chunks);
    putLe32(&block[3], static_cast<std::uint32_t>(blob.size()));
    putLe16(&block[7], 1);
    std::memcpy(&block[9], blob.data(), blob.size());
    const std::uint32_t offset = m_nextOffset;
    m_out.seekp(offset);
    m_out.write(block.data(), static_cast<std::streamsize>(block.size()));
    m_nextOffset += chunks * kChunk;
    return {offset | 0xFF, 1};
  }
  const int paragraphs = static_cast<int>((blob.size() + 15) / 16);
  if (m_sub.empty() || m_nextSlot < 0 || m_nextParagraph + paragraphs > 256) {
    flushSubBlock();
    m_sub.assign(kChunk, '\0');
    m_sub[0] = 3;
    putLe16(&m_sub[1], 1);
    m_subOffset = m_nextOffset;
    m_nextOffset += kChunk;
    m_nextSlot = 63;
    m_nextParagraph = 0x15;
    // Reserve the block's place in the file now so later blocks go after it.
    m_out.seekp(m_subOffset);
    m_out.write(m_sub.data(), static_cast<std::streamsize>(m_sub.size()));
  }
  const int slot = m_nextSlot--;
  char* entry = &m_sub[12 + 5 * static_cast<std::size_t>(slot)];
  entry[0] = static_cast<char>(m_nextParagraph);
  entry[1] = static_cast<char>(paragraphs);
  putLe16(entry + 2, 1);
  entry[4] = static_cast<char>((blob.size() - 1) % 16 + 1);
  std::memcpy(&m_sub[static_cast<std::size_t>(m_nextParagraph) * 16], blob.data(), blob.size());
  m_nextParagraph += paragraphs;
  return {m_subOffset | static_cast<std::uint32_t>(slot), 1};
}

void MemoFile::close() {
  if (m_closed) return;
  m_closed = true;
  flushSubBlock();
  m_out.close();
  if (!m_out) throw std::runtime_error("cannot write " + m_path.string());
}

}  // namespace fixture::detail
