#include "paradox/header.h"

#include "paradox/coding.h"
#include "paradox/errors.h"
#include "paradox/memo.h"

namespace pdx {
namespace {

struct TypeCode {
  std::uint8_t code;
  FieldType type;
};
constexpr TypeCode kTypeCodes[] = {
    {0x01, FieldType::kAlpha},   {0x02, FieldType::kDate},      {0x03, FieldType::kShort},
    {0x04, FieldType::kLong},    {0x05, FieldType::kMoney},     {0x06, FieldType::kNumber},
    {0x09, FieldType::kLogical}, {0x0C, FieldType::kMemo},      {0x0D, FieldType::kBlob},
    {0x0E, FieldType::kFmtMemo}, {0x0F, FieldType::kOle},       {0x10, FieldType::kGraphic},
    {0x14, FieldType::kTime},    {0x15, FieldType::kTimestamp}, {0x16, FieldType::kAutoInc},
    {0x17, FieldType::kBcd},     {0x18, FieldType::kBytes},
};

[[noreturn]] void corrupt(const std::string& file, const std::string& what) {
  throw EDBEngineError(EDBEngineError::Code::kCorrupt, "Corrupt table " + file + ": " + what,
                       FileCause{file, 0, false});
}

}  // namespace

bool typeFromCode(std::uint8_t code, FieldType& type) {
  for (const auto& tc : kTypeCodes)
    if (tc.code == code) {
      type = tc.type;
      return true;
    }
  return false;
}

std::uint8_t codeFromType(FieldType type) {
  for (const auto& tc : kTypeCodes)
    if (tc.type == type) return tc.code;
  return 0;
}

int fieldWidth(FieldType type, int size) {
  switch (type) {
    case FieldType::kShort:
      return 2;
    case FieldType::kDate:
    case FieldType::kLong:
    case FieldType::kTime:
    case FieldType::kAutoInc:
      return 4;
    case FieldType::kMoney:
    case FieldType::kNumber:
    case FieldType::kTimestamp:
      return 8;
    case FieldType::kLogical:
      return 1;
    case FieldType::kBcd:
      return 17;
    default:
      return size;  // alpha, bytes, memo and blob fields
  }
}

TableHeader TableHeader::decode(std::vector<std::uint8_t> bytes, std::uint64_t fileSize,
                                const std::string& fileName, bool indexFile) {
  TableHeader h;
  const std::size_t n = bytes.size();
  auto notATable = [&](const std::string& why) {
    throw EDBEngineError(EDBEngineError::Code::kNotATable,
                         "Not a Paradox table: " + fileName + " (" + why + ")",
                         FileCause{fileName, 0, false});
  };
  if (n < static_cast<std::size_t>(hdr::kDescriptorsOld)) notATable("file too short");
  const std::uint8_t* p = bytes.data();
  h.recordSize = getU16(p + hdr::kRecordSize);
  h.headerSize = getU16(p + hdr::kHeaderSize);
  h.fileType = p[hdr::kFileType];
  const int blockKiB = p[hdr::kBlockSize];
  h.versionId = p[hdr::kVersion];
  const bool dataType = h.fileType == 0 || h.fileType == 2;
  const bool treeType = h.fileType == 1 || h.fileType == 4 || h.fileType == 7;
  if (indexFile ? (dataType || h.fileType > 8) : !dataType)
    notATable("file type " + std::to_string(h.fileType));
  if (h.versionId < 3 || h.versionId > 12) notATable("version " + std::to_string(h.versionId));
  if (blockKiB != 1 && blockKiB != 2 && blockKiB != 4 && blockKiB != 8 && blockKiB != 16 &&
      blockKiB != 32)
    notATable("block size " + std::to_string(blockKiB) + " KiB");
  h.blockSize = blockKiB * 1024;

  h.records = getU32(p + hdr::kRecords);
  h.usedBlocks = getU16(p + hdr::kUsedBlocks);
  h.fileBlocks = getU16(p + hdr::kFileBlocks);
  h.firstBlock = getU16(p + hdr::kFirstBlock);
  h.lastBlock = getU16(p + hdr::kLastBlock);
  const int fieldCount = getU16(p + hdr::kFieldCount);
  h.keyFields = getU16(p + hdr::kKeyFields);
  std::uint32_t enc = getU32(p + hdr::kEncryption);
  const bool modern = h.versionId >= 5;
  if (modern && enc == hdr::kEncryptedMarker)
    enc = n >= static_cast<std::size_t>(hdr::kEncryption2 + 4) ? getU32(p + hdr::kEncryption2) : 1;
  h.encrypted = enc != 0;
  if (modern && n >= 0x78) {
    h.autoInc = getU32(p + hdr::kAutoInc);
    h.codePage = getU16(p + hdr::kCodePage);
  }
  h.freeHead = getU16(p + hdr::kFreeHead);

  const int descStart = modern && !treeType ? hdr::kDescriptorsNew : hdr::kDescriptorsOld;
  if (h.headerSize < descStart)
    corrupt(fileName, "header size " + std::to_string(h.headerSize) + " too small");
  if (static_cast<std::uint64_t>(h.headerSize) > fileSize)
    corrupt(fileName, "header size " + std::to_string(h.headerSize) + " past the end of the file");
  if (fieldCount <= 0 || fieldCount > 1024)
    corrupt(fileName, "field count " + std::to_string(fieldCount));
  if (!treeType && h.keyFields > fieldCount)
    corrupt(fileName, "key field count " + std::to_string(h.keyFields));
  if (h.recordSize <= 0 || h.recordSize > h.blockSize - 6)
    corrupt(fileName, "record size " + std::to_string(h.recordSize));
  if (h.firstBlock > h.fileBlocks || h.lastBlock > h.fileBlocks || h.freeHead > h.fileBlocks)
    corrupt(fileName, "block numbers in the header exceed the " + std::to_string(h.fileBlocks) +
                          " blocks it declares");
  const std::size_t limit = std::min<std::size_t>(n, static_cast<std::size_t>(h.headerSize));
  std::size_t pos = static_cast<std::size_t>(descStart);
  if (pos + 2u * fieldCount > limit) corrupt(fileName, "field descriptors past the header");
  int offset = 0;
  for (int i = 0; i < fieldCount; ++i) {
    FieldInfo f;
    if (!typeFromCode(p[pos], f.type))
      corrupt(fileName, "field " + std::to_string(i + 1) + " has unknown type code " +
                            std::to_string(p[pos]));
    f.size = p[pos + 1];
    f.width = fieldWidth(f.type, f.size);
    if (f.width <= 0 || (isBlobType(f.type) && f.width < 10))
      corrupt(fileName, "field " + std::to_string(i + 1) + " has size " + std::to_string(f.size));
    f.offset = offset;
    offset += f.width;
    h.fields.push_back(f);
    pos += 2;
  }
  if (offset + (treeType ? 6 : 0) != h.recordSize)
    corrupt(fileName, "fields take " + std::to_string(offset) + " bytes, record size is " +
                          std::to_string(h.recordSize));
  if (treeType) {
    h.raw = std::move(bytes);
    return h;
  }
  // Name area: 4-byte pointer, one 4-byte pointer per field, the table name.
  pos += 4 + 4u * fieldCount + (h.versionId >= 12 ? 261u : 79u);
  for (int i = 0; i < fieldCount; ++i) {
    std::size_t end = pos;
    while (end < limit && p[end] != 0) ++end;
    if (end >= limit) corrupt(fileName, "field names run past the header");
    h.rawNames.emplace_back(reinterpret_cast<const char*>(p + pos), end - pos);
    pos = end + 1;
  }
  // Field numbers, then the sort order (language driver) name.
  for (int i = 0; i < fieldCount && pos + 2 * i + 2 <= limit; ++i)
    h.fieldNumbers.push_back(getU16(p + pos + 2 * i));
  pos += 2u * fieldCount;
  if (modern && pos < limit) {
    std::size_t end = pos;
    while (end < limit && p[end] != 0) ++end;
    h.sortOrder.assign(reinterpret_cast<const char*>(p + pos), end - pos);
  }
  h.raw = std::move(bytes);
  return h;
}

void TableHeader::encodeCounts() {
  std::uint8_t* p = raw.data();
  putU32(p + hdr::kRecords, records);
  putU16(p + hdr::kUsedBlocks, static_cast<std::uint16_t>(usedBlocks));
  putU16(p + hdr::kFileBlocks, static_cast<std::uint16_t>(fileBlocks));
  putU16(p + hdr::kFirstBlock, static_cast<std::uint16_t>(firstBlock));
  putU16(p + hdr::kLastBlock, static_cast<std::uint16_t>(lastBlock));
  putU16(p + hdr::kFreeHead, static_cast<std::uint16_t>(freeHead));
  if (versionId >= 5) putU32(p + hdr::kAutoInc, autoInc);
}

}  // namespace pdx
