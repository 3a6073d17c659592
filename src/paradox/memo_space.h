// Internal to the blob file code: the on-disk structures of a .MB file as
// small value types, and the allocation state built from them.
//
// Layout (FORMAT.md, "Memo file"): the file is a sequence of 4 KiB chunks.
// Chunk 0 is the header block; every other block starts with a type byte and
// a u16 count of the chunks it covers: 2 one value, 3 sub-allocated (64
// slots), 4 free.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "paradox/memo.h"

namespace pdx::mb {

inline constexpr std::uint32_t kChunk = 4096;
inline constexpr std::uint8_t kHeaderType = 0, kSingleType = 2, kSubType = 3, kFreeType = 4;
inline constexpr int kSlots = 64;
inline constexpr int kSlotTable = 12;  // slots start after the block's head
inline constexpr int kSlotSize = 5;
inline constexpr int kFirstDataParagraph = 21;  // 16-byte paragraphs after the slot table
inline constexpr int kParagraphs = 256;         // per sub-allocated block
inline constexpr int kSingleHead = 9;
inline constexpr std::size_t kGraphicPrefix = 8;
inline constexpr int kFreeListStart = 0x38;  // in the header block, 6 bytes an entry
inline constexpr int kFreeListEntry = 6;
inline constexpr std::uint32_t kMaxChunk = 0xFFFFF;  // offsets are u32 multiples of 4096
inline constexpr std::size_t kMaxValue = 0xFFFFu * kChunk - kSingleHead;

// Header block bytes as the BDE writes them: type 0, one chunk, change
// counter 1 (u16 at 0x03), unknown constants, block size 0x1000 (0x0B),
// sub-allocated block size 0x1000 (0x0D), paragraph size 16 (0x10), 64 slots
// (0x11), sub-allocation threshold 0x800 (0x13).
inline constexpr std::uint8_t kHeaderTemplate[] = {0x00, 0x01, 0x00, 0x01, 0x00, 0x82, 0x73,
                                                   0x02, 0x00, 0x29, 0x00, 0x00, 0x10, 0x00,
                                                   0x10, 0x00, 0x10, 0x40, 0x00, 0x00, 0x08};
inline constexpr int kModCounterAt = 0x03;
inline constexpr int kThresholdAt = 0x13;

std::string hex(std::uint64_t value);

// One slot of a sub-allocated block: data paragraph, paragraphs used,
// modification number, length mod 16 (1-16). Free when paragraph is 0.
struct Slot {
  std::uint8_t paragraph = 0;
  std::uint8_t paragraphs = 0;
  std::uint16_t modNumber = 0;
  std::uint8_t tail = 0;

  bool live() const { return paragraph != 0; }
  std::uint32_t length() const { return paragraphs == 0 ? 0 : (paragraphs - 1u) * 16u + tail; }
  static Slot decode(const std::uint8_t* p);
  void encode(std::uint8_t* p) const;
};

// Head of a single-value block.
struct SingleHead {
  std::uint8_t type = kSingleType;
  std::uint16_t chunks = 0;
  std::uint32_t length = 0;
  std::uint16_t modNumber = 0;
  static SingleHead decode(const std::uint8_t* p);
  void encode(std::uint8_t* p) const;
};

// An entry of the header block's free-space list: kind 2 = a sub-allocated
// block and its free paragraphs, kind 3 = a run of free chunks and its
// length. Other kinds occur (1) and are kept while their space stays free.
struct FreeEntry {
  std::uint8_t kind = 0;
  std::uint32_t chunk = 0;
  std::uint16_t count = 0;
  bool operator==(const FreeEntry&) const = default;
};

}  // namespace pdx::mb

namespace pdx {

struct MemoFile::Space {
  std::uint32_t chunks = 0;                         // chunks in the file
  std::map<std::uint32_t, std::uint32_t> freeRuns;  // first chunk -> chunks (type 4)
  std::map<std::uint32_t, std::uint32_t> singles;   // first chunk -> chunks (type 2)
  std::map<std::uint32_t, std::array<mb::Slot, mb::kSlots>> subBlocks;  // type 3
  std::vector<mb::FreeEntry> listed;  // the free list as last read or written
  // Values freed but still in place until commitFrees().
  struct Release {
    std::uint32_t chunk;
    std::uint8_t index;  // slot, or BlobPointer::kSingleBlock
    bool operator<(const Release& o) const {
      return chunk != o.chunk ? chunk < o.chunk : index < o.index;
    }
  };
  std::set<Release> pending;
  std::uint16_t modNumber = 1;
  std::uint32_t threshold = 0x800;

  // Paragraphs of a sub-allocated block no live slot uses.
  static int freeParagraphs(const std::array<mb::Slot, mb::kSlots>& slots);
};

}  // namespace pdx
