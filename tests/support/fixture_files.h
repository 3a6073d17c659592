// File helpers for tests: whole-file bytes, deliberate corruption, a sparse
// hex dump for reviewable binary fixtures, and directory snapshots for
// "nothing here changed" checks.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>

namespace fixture {

std::string readFileBytes(const std::filesystem::path& file);
void writeFileBytes(const std::filesystem::path& file, const std::string& bytes);

// Overwrites one byte (or a little-endian u16/u32) of an existing file.
void corruptByte(const std::filesystem::path& file, std::uint64_t offset, std::uint8_t value);
void corruptU16(const std::filesystem::path& file, std::uint64_t offset, std::uint16_t value);
void corruptU32(const std::filesystem::path& file, std::uint64_t offset, std::uint32_t value);
// Cuts the file to `size` bytes.
void truncateFile(const std::filesystem::path& file, std::uint64_t size);

// Offset and bytes of every 16-byte line that is not all zero:
//   "0000: 00 08 00 08 00 02 00 00 00 00 00 00 00 00 00 00\n..."
std::string sparseHexDump(const std::string& bytes);
// The inverse: builds the bytes of a sparse hex dump of `size` bytes.
std::string fromSparseHexDump(const std::string& dump, std::size_t size);

// Relative path (generic form) -> content digest of every regular file under
// `dir`, letter case of the names kept.
using DirectorySnapshot = std::map<std::string, std::string>;
DirectorySnapshot snapshotDirectory(const std::filesystem::path& dir);
// Names of files added, removed or changed between two snapshots, one per
// line ("changed Cari.DB"); empty when they agree.
std::string describeChanges(const DirectorySnapshot& before, const DirectorySnapshot& after);

}  // namespace fixture
