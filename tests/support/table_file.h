// Headers, data blocks and index trees of the files the fixture builder
// writes. Every file here (.DB, .PX, .Xnn, .Ynn) is a header followed by
// numbered blocks of fixed-size records.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "support/paradox_builder.h"

namespace fixture::detail {

struct FileHeader {
  std::uint8_t fileType = 0;  // 0 keyed, 1 .PX, 2 unkeyed, 4 .Ynn, 5 .Xnn, 7 .YGn, 8 .XGn
  int recordSize = 0;
  int blockKiB = 1;
  std::uint32_t numRecords = 0;
  unsigned usedBlocks = 0, fileBlocks = 0, firstBlock = 0, lastBlock = 0;
  unsigned indexRoot = 0, indexLevels = 0;
  int versionId = 12;
  int codePage = 1254;
  std::string sortOrder = "ascii";
  int sortOrderCode = 0;
  int keyFields = 0;
  std::vector<Column> columns;
  std::vector<std::uint16_t> fieldNumbers;  // data layout only
  std::string tableName;
  std::string indexName;  // .XGn only
  std::uint32_t autoInc = 0;
  std::uint8_t b2C = 0, b2D = 0, b2E = 0, b2F = 0, b15 = 0, b55 = 0;
  std::uint16_t b12 = 1;

  // Data files and secondary indexes carry field names and (from version 5)
  // the second header block; .PX and .Ynn files do neither.
  bool dataLayout() const { return fileType != 1 && fileType != 4 && fileType != 7; }
};

// The whole header, padded to its header size (from 0x00 to the first block).
std::string encodeHeader(const FileHeader& h);

// Appends fixed-size records to a file block by block, filling each block.
class BlockWriter {
 public:
  BlockWriter(std::ofstream& out, std::uint32_t headerSize, int blockKiB, int recordSize,
              int keyBytes);
  void add(const char* record);
  void finish();
  // Number of the block that holds the record added last (1-based).
  unsigned currentBlock() const { return m_block; }
  unsigned blockCount() const { return m_block; }
  std::uint64_t records() const { return m_records; }
  // First key (keyBytes of the first record) and record count of each block.
  const std::vector<std::string>& firstKeys() const { return m_firstKeys; }
  const std::vector<unsigned>& counts() const { return m_counts; }

 private:
  void flushBlock(bool last);
  std::ofstream& m_out;
  std::uint32_t m_headerSize;
  std::size_t m_blockSize;
  std::size_t m_recordSize;
  std::size_t m_keyBytes;
  std::size_t m_perBlock;
  std::string m_buf;
  unsigned m_inBlock = 0;
  unsigned m_block = 0;
  std::uint64_t m_records = 0;
  std::vector<std::string> m_firstKeys;
  std::vector<unsigned> m_counts;
};

// Writes a .PX or .Ynn file over the blocks of the file it indexes: leaf
// entries (first key, block, record count) for each block, upper levels until
// one block holds them all. `base` supplies type, version, key columns and
// counters; blocks, levels, root and counts are filled in.
void writeIndexTree(const std::string& path, FileHeader base, const std::vector<std::string>& keys,
                    const std::vector<unsigned>& counts, unsigned thirdWord);

}  // namespace fixture::detail
