// A deliberately small reader of Paradox files for tests: it walks the block
// chain of a .DB or .Xnn file and hands out raw records, independent of the
// engine's own reader. No checks beyond what keeps it in bounds.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace rawtable {

struct Field {
  std::uint8_t type = 0;  // descriptor type code (1 = A, 0x0C = M, ...)
  int size = 0;
  int width = 0;
  int offset = 0;
};

struct File {
  std::vector<std::uint8_t> bytes;
  std::vector<Field> fields;
  std::vector<std::vector<std::uint8_t>> records;  // in chain order
  std::string sortOrder;                           // language driver name
  int versionId = 0;
  bool encrypted = false;
};

inline std::uint32_t u16(const std::vector<std::uint8_t>& b, std::size_t at) {
  return at + 2 <= b.size() ? b[at] | (b[at + 1] << 8) : 0;
}
inline std::uint32_t u32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return u16(b, at) | (u16(b, at + 2) << 16);
}

inline int widthOf(std::uint8_t type, int size) {
  switch (type) {
    case 0x02:
    case 0x04:
    case 0x14:
    case 0x16:
      return 4;  // D I T +
    case 0x03:
      return 2;  // S
    case 0x05:
    case 0x06:
    case 0x15:
      return 8;  // $ N @
    case 0x09:
      return 1;  // L
    case 0x17:
      return 17;  // #
    default:
      return size;  // A Y and blobs
  }
}

inline bool isBlob(std::uint8_t type) {
  return type >= 0x0C && type <= 0x10;
}

// Reads `path`. Secondary index files (.Xnn/.XGn) have the layout of a data
// file, so they read the same way.
inline File read(const std::filesystem::path& path) {
  File f;
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  f.bytes.resize(static_cast<std::size_t>(std::max<std::streamoff>(0, in.tellg())));
  in.seekg(0);
  in.read(reinterpret_cast<char*>(f.bytes.data()), static_cast<std::streamsize>(f.bytes.size()));
  const auto& b = f.bytes;
  if (b.size() < 0x78) return f;
  f.versionId = b[0x39];
  std::uint32_t key = u32(b, 0x25);
  if (key == 0xFF00FF00u && f.versionId >= 5) key = u32(b, 0x5C);
  f.encrypted = key != 0;
  const int recordSize = static_cast<int>(u16(b, 0));
  const std::size_t headerSize = u16(b, 2), blockSize = b[5] * 1024u;
  const int count = static_cast<int>(u16(b, 0x21));
  std::size_t at = f.versionId >= 5 ? 0x78 : 0x58;
  int offset = 0;
  for (int i = 0; i < count && at + 1 < b.size(); ++i, at += 2) {
    const int width = widthOf(b[at], b[at + 1]);
    f.fields.push_back(Field{b[at], b[at + 1], width, offset});
    offset += width;
  }
  // Sort order name: the last NUL-terminated text of the used header.
  if (headerSize <= b.size()) {
    std::size_t end = headerSize;
    while (end > 0 && b[end - 1] == 0) --end;
    std::size_t start = end;
    while (start > 0 && b[start - 1] != 0) --start;
    f.sortOrder.assign(b.begin() + static_cast<long>(start), b.begin() + static_cast<long>(end));
  }
  if (f.encrypted || recordSize == 0 || blockSize == 0) return f;
  for (std::uint32_t block = u16(b, 0x0E), steps = 0; block != 0 && steps < 65536; ++steps) {
    const std::size_t base = headerSize + (block - 1) * blockSize;
    if (base + 6 > b.size()) break;
    const int add = static_cast<std::int16_t>(u16(b, base + 4));
    const int n = add / recordSize + 1;
    for (int r = 0; r < n; ++r) {
      const std::size_t from = base + 6 + static_cast<std::size_t>(r) * recordSize;
      if (from + recordSize > b.size()) break;
      f.records.emplace_back(b.begin() + static_cast<long>(from),
                             b.begin() + static_cast<long>(from + recordSize));
    }
    block = u16(b, base);
  }
  return f;
}

}  // namespace rawtable
