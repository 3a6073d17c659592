#include "support/table_file.h"

#include <cstring>
#include <stdexcept>

#include "support/record_codec.h"
#include "support/text_codec.h"

namespace fixture::detail {
namespace {

void put(std::string& b, std::size_t off, std::uint8_t v) {
  b[off] = static_cast<char>(v);
}
void put16(std::string& b, std::size_t off, unsigned v) {
  putLe16(&b[off], v);
}
void put32(std::string& b, std::size_t off, std::uint32_t v) {
  putLe32(&b[off], v);
}

}  // namespace

std::string encodeHeader(const FileHeader& h) {
  const bool v4plus = h.versionId >= 5;  // the second header block
  const bool data = h.dataLayout();
  const std::size_t descriptors = (data && v4plus) ? 0x78 : 0x58;
  const std::size_t nf = h.columns.size();
  const std::size_t nameLen = h.versionId >= 12 ? 261 : 79;

  std::string names;
  if (data) {
    for (const Column& c : h.columns) names += encodeText(c.name, h.codePage) + '\0';
  }
  std::string b(descriptors, '\0');
  for (const Column& c : h.columns) {
    b += static_cast<char>(typeCode(c.type));
    b += static_cast<char>(descriptorSize(c));
  }
  // Pointers left over from memory: any value will do, but never zero.
  const std::uint32_t fakeBase = 0x6BDF0000;
  b.append(4, '\0');
  put32(b, b.size() - 4, fakeBase + static_cast<std::uint32_t>(descriptors + 2 * nf));
  if (data) {
    for (std::size_t i = 0; i < nf; ++i) {
      b.append(4, '\0');
      put32(b, b.size() - 4, fakeBase + 0x100 + static_cast<std::uint32_t>(i));
    }
  }
  std::string tableName = h.tableName.substr(0, nameLen - 1);
  tableName.resize(nameLen, '\0');
  b += tableName;
  if (data) {
    b += names;
    if (h.versionId >= 4) {
      for (std::size_t i = 0; i < nf; ++i) {
        b.append(2, '\0');
        put16(b, b.size() - 2, i < h.fieldNumbers.size() ? h.fieldNumbers[i] : i + 1);
      }
      b += h.sortOrder + '\0';
      if (!h.indexName.empty()) b += h.indexName + '\0';
    }
  }
  const std::size_t used = b.size();
  std::size_t headerSize = used;
  if (h.versionId >= 4) headerSize = (used + 0x7FF) / 0x800 * 0x800;
  if (headerSize > 0xFFFF) throw std::invalid_argument("header too large");
  b.resize(headerSize, '\0');

  put16(b, 0x00, static_cast<unsigned>(h.recordSize));
  put16(b, 0x02, static_cast<unsigned>(headerSize));
  put(b, 0x04, h.fileType);
  put(b, 0x05, static_cast<std::uint8_t>(h.blockKiB));
  put32(b, 0x06, h.numRecords);
  put16(b, 0x0A, h.usedBlocks);
  put16(b, 0x0C, h.fileBlocks);
  put16(b, 0x0E, h.firstBlock);
  put16(b, 0x10, h.lastBlock);
  put16(b, 0x12, h.b12);
  put(b, 0x15, h.b15);
  put16(b, 0x1E, h.indexRoot);
  put(b, 0x20, static_cast<std::uint8_t>(h.indexLevels));
  put16(b, 0x21, static_cast<unsigned>(nf));
  put16(b, 0x23, static_cast<unsigned>(h.keyFields));
  if (data && v4plus) put32(b, 0x25, 0xFF00FF00);
  put(b, 0x29, static_cast<std::uint8_t>(h.sortOrderCode));
  put(b, 0x2C, h.b2C);
  put(b, 0x2D, h.b2D);
  put(b, 0x2E, h.b2E);
  put(b, 0x2F, h.b2F);
  put(b, 0x39, static_cast<std::uint8_t>(h.versionId));
  put16(b, 0x3A, h.fileBlocks);
  if (data) {
    put(b, 0x3E, 0x1F);
    put(b, 0x3F, 0x0F);
  }
  put32(b, 0x49, h.autoInc);
  if (h.versionId >= 4) put16(b, 0x51, static_cast<unsigned>(used));
  put(b, 0x55, h.b55);
  if (data && v4plus) {
    put(b, 0x56, 0x20);
    const unsigned verWord = 0x0100u | static_cast<unsigned>(h.versionId);
    put16(b, 0x58, verWord);
    put16(b, 0x5A, verWord);
    put32(b, 0x60, 0x5F000000);  // a fixed time stamp keeps fixtures reproducible
    put16(b, 0x64, static_cast<unsigned>(nf + 1));
    put16(b, 0x66, static_cast<unsigned>(0x20 + nf * 6 + 4 + nameLen + names.size()));
    put16(b, 0x6A, static_cast<unsigned>(h.codePage));
    put(b, 0x6C, 1);
    put(b, 0x6D, 1);
    put16(b, 0x6E, static_cast<unsigned>(0x18 + nf * 8 + 4 + nameLen + names.size() + 8));
    put16(b, 0x70, 1);
  }
  return b;
}

BlockWriter::BlockWriter(std::ofstream& out, std::uint32_t headerSize, int blockKiB, int recordSize,
                         int keyBytes)
    : m_out(out),
      m_headerSize(headerSize),
      m_blockSize(static_cast<std::size_t>(blockKiB) * 1024),
      m_recordSize(static_cast<std::size_t>(recordSize)),
      m_keyBytes(static_cast<std::size_t>(keyBytes)),
      m_perBlock((m_blockSize - 6) / m_recordSize) {
  if (m_perBlock == 0) throw std::invalid_argument("a record does not fit a block");
  m_buf.assign(m_blockSize, '\0');
}

void BlockWriter::add(const char* record) {
  if (m_inBlock == m_perBlock) flushBlock(false);
  if (m_inBlock == 0) {
    if (m_block == 0xFFFF) throw std::invalid_argument("table needs more than 65535 blocks");
    ++m_block;
    std::memset(m_buf.data(), 0, m_buf.size());
    m_firstKeys.emplace_back(record, m_keyBytes);
  }
  std::memcpy(&m_buf[6 + m_inBlock * m_recordSize], record, m_recordSize);
  ++m_inBlock;
  ++m_records;
}

void BlockWriter::flushBlock(bool last) {
  if (m_inBlock == 0) return;
  putLe16(&m_buf[0], last ? 0 : m_block + 1);
  putLe16(&m_buf[2], m_block - 1);
  putLe16(&m_buf[4], static_cast<unsigned>((m_inBlock - 1) * m_recordSize));
  m_out.seekp(static_cast<std::streamoff>(m_headerSize + (m_block - 1) * m_blockSize));
  m_out.write(m_buf.data(), static_cast<std::streamsize>(m_buf.size()));
  m_counts.push_back(m_inBlock);
  m_inBlock = 0;
}

void BlockWriter::finish() {
  flushBlock(true);
}

void writeIndexTree(const std::string& path, FileHeader h, const std::vector<std::string>& keys,
                    const std::vector<unsigned>& counts, unsigned thirdWord) {
  int keyBytes = 0;
  for (const Column& c : h.columns) keyBytes += fieldWidth(c);
  h.recordSize = keyBytes + 6;
  const std::size_t blockSize = static_cast<std::size_t>(h.blockKiB) * 1024;
  const std::size_t perBlock = (blockSize - 6) / static_cast<std::size_t>(h.recordSize);
  if (perBlock < 2) throw std::invalid_argument("index block holds fewer than two entries");

  struct Entry {
    std::string key;
    unsigned child;
    std::uint64_t count;
  };
  std::vector<Entry> level;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    level.push_back({keys[i], static_cast<unsigned>(i + 1), counts[i]});
  }
  std::vector<std::string> blocks;
  std::uint32_t entries = 0;
  unsigned levels = 0;
  while (!level.empty()) {
    ++levels;
    std::vector<Entry> upper;
    for (std::size_t start = 0; start < level.size(); start += perBlock) {
      const std::size_t n = std::min(perBlock, level.size() - start);
      std::string block(blockSize, '\0');
      std::uint64_t sum = 0;
      for (std::size_t k = 0; k < n; ++k) {
        const Entry& e = level[start + k];
        char* rec = &block[6 + k * static_cast<std::size_t>(h.recordSize)];
        std::memcpy(rec, e.key.data(), e.key.size());
        putFlipped16(rec + keyBytes, e.child);
        putFlipped16(rec + keyBytes + 2, static_cast<unsigned>(e.count));
        putFlipped16(rec + keyBytes + 4, thirdWord ^ 0x8000);
        sum += e.count;
      }
      putLe16(&block[4], static_cast<unsigned>((n - 1) * static_cast<std::size_t>(h.recordSize)));
      blocks.push_back(std::move(block));
      upper.push_back({level[start].key, static_cast<unsigned>(blocks.size()), sum});
      entries += static_cast<std::uint32_t>(n);
    }
    if (upper.size() == 1) break;
    level = std::move(upper);
  }
  if (blocks.size() > 0xFFFF) throw std::invalid_argument("index needs more than 65535 blocks");
  const auto nb = static_cast<unsigned>(blocks.size());
  for (unsigned i = 0; i < nb; ++i) {
    putLe16(&blocks[i][0], i + 1 < nb ? i + 2 : 0);
    putLe16(&blocks[i][2], i);
  }
  h.numRecords = entries;
  h.usedBlocks = h.fileBlocks = nb;
  h.firstBlock = nb > 0 ? 1 : 0;
  h.lastBlock = nb;
  h.indexRoot = nb > 0 ? nb : 1;
  h.indexLevels = levels;
  h.autoInc = static_cast<std::uint32_t>(h.columns.size() + 1);

  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot create " + path);
  const std::string header = encodeHeader(h);
  out.write(header.data(), static_cast<std::streamsize>(header.size()));
  for (const std::string& b : blocks) out.write(b.data(), static_cast<std::streamsize>(b.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace fixture::detail
