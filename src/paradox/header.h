// The fixed header of a Paradox data file and its field descriptors.
// Layout: FORMAT.md, "Table header" and "Field descriptors".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "paradox/table.h"
#include "platform/rawfile.h"

namespace pdx {

// Header offsets we read or write (FORMAT.md, "Table header").
namespace hdr {
constexpr int kRecordSize = 0x00;
constexpr int kHeaderSize = 0x02;
constexpr int kFileType = 0x04;
constexpr int kBlockSize = 0x05;
constexpr int kRecords = 0x06;
constexpr int kUsedBlocks = 0x0A;
constexpr int kFileBlocks = 0x0C;
constexpr int kFirstBlock = 0x0E;
constexpr int kLastBlock = 0x10;
constexpr int kIndexRoot = 0x1E;
constexpr int kIndexLevels = 0x20;
constexpr int kFieldCount = 0x21;
constexpr int kKeyFields = 0x23;
constexpr int kEncryption = 0x25;
constexpr int kSortOrder = 0x29;
constexpr int kTreeParentCounter = 0x2C;  // .PX/.Ynn: the parent's change counter
constexpr int kChangeCounter = 0x2D;      // bumped once per flush that rewrote the table
constexpr int kStructureCounter = 0x2E;   // a maintained .Xnn copies the table's
constexpr int kParentCounter = 0x2F;      // .Xnn: the table's change counter
constexpr int kVersion = 0x39;
constexpr int kAutoInc = 0x49;
constexpr int kFreeHead = 0x4D;
constexpr int kEncryption2 = 0x5C;
constexpr int kCodePage = 0x6A;
constexpr int kDescriptorsOld = 0x58;
constexpr int kDescriptorsNew = 0x78;
constexpr std::uint32_t kEncryptedMarker = 0xFF00FF00u;
}  // namespace hdr

// Type letter <-> type code of a descriptor. Returns false for unknown codes.
bool typeFromCode(std::uint8_t code, FieldType& type);
std::uint8_t codeFromType(FieldType type);
// Bytes a field of `type` with descriptor size `size` takes in a record.
int fieldWidth(FieldType type, int size);
bool isBlobType(FieldType type);  // defined with the memo file

// A decoded data-file header. `raw` keeps every header byte so that a
// rewrite preserves what we do not understand.
struct TableHeader {
  std::vector<std::uint8_t> raw;
  int recordSize = 0;
  int headerSize = 0;
  int fileType = 0;
  int blockSize = 0;  // bytes
  std::uint32_t records = 0;
  int usedBlocks = 0;
  int fileBlocks = 0;
  int firstBlock = 0;
  int lastBlock = 0;
  int keyFields = 0;
  int versionId = 0;
  std::uint32_t autoInc = 0;
  int freeHead = 0;
  int codePage = 0;  // 0: none in the header
  bool encrypted = false;
  std::string sortOrder;              // language driver name; "" when absent
  std::vector<FieldInfo> fields;      // names still in the table's bytes
  std::vector<std::string> rawNames;  // field names as stored
  std::vector<int> fieldNumbers;      // the u16 after the names (0x8000: descending)

  // Decodes `raw` (the first min(header size, file size) bytes of the file).
  // Throws EDBEngineError naming `fileName` when the bytes are not a Paradox
  // data file (kNotATable) or contradict themselves or the file (kCorrupt).
  // With `indexFile`, accepts the index file types (1 and 3 to 8); for
  // .PX/.Ynn/.YGn (1, 4, 7) only the descriptors are decoded.
  static TableHeader decode(std::vector<std::uint8_t> raw, std::uint64_t fileSize,
                            const std::string& fileName, bool indexFile = false);

  // Writes the counts above back into `raw`.
  void encodeCounts();

  std::uint64_t blockOffset(int block) const {
    return static_cast<std::uint64_t>(headerSize) +
           static_cast<std::uint64_t>(block - 1) * static_cast<std::uint64_t>(blockSize);
  }
  int maxRecordsPerBlock() const { return (blockSize - 6) / recordSize; }
};

// Reads and decodes the header of a data file (the name may differ in letter
// case or lack ".db", as for Table::open). Encrypted tables decode too: their
// header is in the clear.
TableHeader readHeader(const std::filesystem::path& file);
TableHeader readHeader(const platform::RawFile& file, const std::string& name);

}  // namespace pdx
