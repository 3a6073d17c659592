// Cached access to the data blocks of one table file.
//
// Blocks are read straight from read-only mappings of a few stretches of the
// file where the system allows them (a file on a local disk: FileView, in
// platform/rawfile.h; so memory stays small however large the file), else
// through a window of consecutive blocks that grows
// while the caller walks the file in order, so a sequential pass costs about
// one read of the file; a few blocks behind the window are kept on their own.
// Writes go into the window and are written back with one positioned write
// of the changed range when the window moves, on writeBack() and on
// destruction; a block being changed is read from the window, never from
// the mapping. Block layout: FORMAT.md, "Data blocks".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/rawfile.h"

namespace pdx {

// The six bytes at the start of every block (FORMAT.md, "Data blocks").
struct BlockHead {
  static constexpr int kSize = 6;
  int next = 0;         // next block of the chain (of the free list); 0 at the end
  int prev = 0;         // previous block of the chain
  int addDataSize = 0;  // bytes of records minus one record
  int count(int recordSize) const { return addDataSize / recordSize + 1; }
  static BlockHead decode(const std::uint8_t* block);
  void encode(std::uint8_t* block) const;
};

// The one walk along a chain of blocks, for the cursor, the key search, the
// copies, the index builder and the check: each step checked and each fault
// worded here, once.
class ChainWalk {
 public:
  // "" when block `b` may be the next of a chain in a file of `blocks`
  // blocks: within the file, and the walk not longer than the file (a
  // longer walk loops).
  std::string reach(int b, int blocks);
  void restart() { m_steps = 0; }

 private:
  int m_steps = 0;
};

// "" when `head` declares whole records, at most `maxRecords`, that lie in
// the `available` bytes of block `b`; then `count` is their number.
std::string recordsFault(int b, const BlockHead& head, int recordSize, int maxRecords,
                         int available, int& count);

// Throws EDBEngineError(kCorrupt): "Corrupt table <file>: <fault>".
[[noreturn]] void chainCorrupt(const std::string& file, const std::string& fault);

class BlockStore {
 public:
  BlockStore(platform::RawFile* file, std::string fileName, std::uint64_t headerSize, int blockSize,
             std::uint64_t fileSize);
  ~BlockStore();
  BlockStore(const BlockStore&) = delete;
  BlockStore& operator=(const BlockStore&) = delete;

  // Number of blocks the file holds, a short last block included.
  int blocksInFile() const { return m_blocksInFile; }
  // Bytes of block n that exist in the file (blockSize except for a short
  // last block). n must be 1..blocksInFile().
  int available(int n) const;
  // The bytes of block n; bytes past the end of the file read as zero.
  // Throws EDBEngineError(kCorrupt) when n is outside the file.
  const std::uint8_t* block(int n) {
    if (n >= m_first && n < m_first + m_count)
      return m_window.data() + static_cast<std::size_t>(n - m_first) * m_blockSize;
    if (n == m_hotBlock) return m_hotData;
    return blockOutsideWindow(n);
  }
  BlockHead head(int n);
  // Marks [from, from + length) of block n as changed and returns the block
  // for writing. The pointer is valid until the next call to block*().
  std::uint8_t* blockForWrite(int n, int from, int length);
  void writeBack();
  // Forgets changes not yet written back (after a failed change).
  void discardChanges() noexcept;
  // Forgets cached bytes (after the file was changed behind our back).
  void invalidate();
  // Reads through the window only, never through a mapping.
  void readWithoutMapping() { m_mapping = false; }
  void setFileSize(std::uint64_t fileSize);

 private:
  void load(int n);
  const std::uint8_t* blockOutsideWindow(int n);
  std::uint8_t* slotFor(int n, bool forWrite);  // blocks behind the window
  bool inSlot(int n) const;
  void writeSlot(int i);

  platform::RawFile* m_file;
  std::string m_fileName;
  std::uint64_t m_headerSize;
  int m_blockSize;
  std::uint64_t m_fileSize;
  int m_blocksInFile;
  std::vector<std::uint8_t> m_window;  // the bytes of blocks m_first .. m_first + m_count - 1
  int m_first = 0;                     // first block in the window; 0 when empty
  int m_count = 0;                     // blocks in the window
  std::size_t m_dirtyFrom = 0, m_dirtyTo = 0;  // changed byte range of the window
  // A few single blocks behind the window (the previous block of a chain
  // being relinked), so that looking back does not move the window.
  struct Slot {
    int block = 0;
    bool dirty = false;
    std::uint64_t used = 0;
    std::vector<std::uint8_t> data;
  };
  static constexpr int kSlots = 4;
  Slot m_slots[kSlots];
  std::uint64_t m_clock = 0;
  // Mapped stretches of kStretchBytes from a multiple of that size, each
  // reaching one block further so that no block straddles two.
  const std::uint8_t* mapped(int n);
  struct Stretch {
    std::uint64_t index = ~std::uint64_t{0};
    std::uint64_t used = 0;
    platform::FileView view;
  };
  static constexpr std::uint64_t kStretchBytes = 4u << 20;
  static constexpr int kStretches = 4;
  Stretch m_stretches[kStretches];
  bool m_mapping = true;  // false once the system refused a mapping, or when told
  // The block last read through a mapping, for the many reads of one block
  // in a row; forgotten whenever a block may move into the window or a slot.
  int m_hotBlock = 0;
  const std::uint8_t* m_hotData = nullptr;
};

}  // namespace pdx
