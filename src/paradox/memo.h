// Memo and blob values (field types M, F, B, O, G) and the blob file (.MB)
// that holds the ones too long for their record.
//
// In the record a blob field is a leader (width - 10 bytes) followed by a
// 10-byte pointer: u32 offset-and-index, u32 length, u16 modification
// number (BlobPointer). A value no longer than the leader lives in the
// leader alone with offset 0. Otherwise the whole value is in the .MB and the
// leader holds a copy of its first bytes (for graphics, of the bytes after
// the 8-byte graphic prefix). The .MB layout is in FORMAT.md, "Memo file".
//
// Errors: EDBEngineError naming the .MB file: kNotFound when a value needs a
// blob file that is absent, kCorrupt when a pointer or block does not fit
// the file (saying what was wrong), kReadOnly when a read-only file is asked
// to change, kIo when the system refuses a read or write.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "paradox/table.h"
#include "platform/rawfile.h"

namespace pdx {

// The 10 bytes at the end of a blob field.
struct BlobPointer {
  std::uint32_t offsetAndIndex = 0;  // .MB offset (multiple of 4096) | slot or 0xFF
  std::uint32_t length = 0;          // length of the whole value
  std::uint16_t modNumber = 0;

  static constexpr int kSize = 10;
  static constexpr std::uint8_t kSingleBlock = 0xFF;

  std::uint32_t blockOffset() const { return offsetAndIndex & ~0xFFu; }
  std::uint8_t index() const { return static_cast<std::uint8_t>(offsetAndIndex & 0xFF); }
  bool inLeader() const { return offsetAndIndex == 0; }

  // `field` points at the field's first byte; width >= 10.
  static BlobPointer decode(const std::uint8_t* field, int width);
  void encode(std::uint8_t* field, int width) const;
};

// True for the field types whose values are blobs.
bool isBlobType(FieldType type);

class MemoFile {
 public:
  // Nothing is opened until a value needs the file, so a table whose blobs
  // all live in their records works without a .MB. A writable MemoFile
  // creates the file (header block only) when the first value needs it.
  MemoFile(std::filesystem::path path, bool writable);
  ~MemoFile();
  MemoFile(const MemoFile&) = delete;
  MemoFile& operator=(const MemoFile&) = delete;

  const std::filesystem::path& path() const { return m_path; }

  // The whole value of the blob field whose record bytes start at `field`.
  // A blank field reads as the empty value.
  std::string read(const std::uint8_t* field, int width) const;

  // Stores `value` into the field: in the leader when it fits, else in a
  // sub-allocated slot (up to the file's threshold, 2 KiB) or a block of its
  // own, reusing free space first. The field's previous bytes are ignored:
  // they may come from another table. To replace a value of this file, write
  // the new one and free() the old field bytes.
  void write(std::uint8_t* field, int width, std::string_view value,
             FieldType type = FieldType::kMemo);

  // Marks the .MB space of the value in `field` (if it has any) for release.
  // The space stays as it is, and is not reused, until commitFrees(): a table
  // file that still points at the value (the original, while the changed copy
  // waits to be renamed into place) keeps reading it, even after a crash.
  // A pointer that does not match a live slot or block, or a value already
  // marked, is a corruption error and marks nothing.
  void free(const std::uint8_t* field, int width);

  // Releases the space of every value marked so far and makes the file
  // durable. Call once the table change that dropped those values is durable
  // itself (after the data file is renamed into place).
  void commitFrees();

  // Makes every write so far durable (marked values stay in place).
  void flush();

  // Checks the file's structure (block heads, slots, free list); one line
  // per problem, empty when sound. A missing file is sound.
  std::vector<std::string> check() const;

  // Writes a blob file holding only its header block (replacing any file).
  static void createEmpty(const std::filesystem::path& path);

 private:
  struct Space;  // allocation state (memo_space.h), built on the first change

  bool openForRead() const;
  void openForWrite();
  void readAt(std::uint64_t offset, void* buffer, std::size_t length) const;
  void writeAt(std::uint64_t offset, const void* data, std::size_t length);
  [[noreturn]] void corrupt(const std::string& what) const;
  Space& space();
  // Walks every block into `sp`. Problems go to `problems` when given, else
  // the first one throws.
  void scan(Space& sp, std::vector<std::string>* problems) const;
  std::uint32_t allocateChunks(std::uint32_t count);
  void releaseChunks(std::uint32_t first, std::uint32_t count);
  BlobPointer storeInSlot(std::string_view value, std::uint16_t mod);
  BlobPointer storeInBlock(std::string_view value, std::uint16_t mod);
  void writeFreeList();

  std::filesystem::path m_path;
  bool m_writable;
  mutable platform::RawFile m_file;
  mutable bool m_opened = false;
  mutable bool m_fileReadOnly = false;  // writable handle on a read-only file
  mutable std::uint64_t m_size = 0;
  std::unique_ptr<Space> m_space;
};

}  // namespace pdx
