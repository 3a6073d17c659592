// Allocation of .MB space: walking the blocks, sub-allocated slots, runs of
// free chunks and the header block's free-space list.
#include "paradox/memo_space.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <iterator>

#include "paradox/coding.h"
#include "paradox/errors.h"

namespace pdx {
namespace mb {

std::string hex(std::uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
  return text;
}

Slot Slot::decode(const std::uint8_t* p) {
  return Slot{p[0], p[1], getU16(p + 2), p[4]};
}

void Slot::encode(std::uint8_t* p) const {
  p[0] = paragraph;
  p[1] = paragraphs;
  putU16(p + 2, modNumber);
  p[4] = tail;
}

SingleHead SingleHead::decode(const std::uint8_t* p) {
  return SingleHead{p[0], getU16(p + 1), getU32(p + 3), getU16(p + 7)};
}

void SingleHead::encode(std::uint8_t* p) const {
  p[0] = type;
  putU16(p + 1, chunks);
  putU32(p + 3, length);
  putU16(p + 7, modNumber);
}

}  // namespace mb

using namespace mb;

int MemoFile::Space::freeParagraphs(const std::array<Slot, kSlots>& slots) {
  int used = 0;
  for (const Slot& s : slots) {
    if (s.live()) used += s.paragraphs;
  }
  return std::max(0, kParagraphs - kFirstDataParagraph - used);
}

void MemoFile::scan(Space& sp, std::vector<std::string>* problems) const {
  const auto problem = [&](const std::string& what) {
    if (problems == nullptr) corrupt(what);
    problems->push_back(m_path.filename().string() + ": " + what);
  };
  std::vector<std::uint8_t> header(kChunk);
  readAt(0, header.data(), header.size());
  sp.modNumber = std::max<std::uint16_t>(1, getU16(&header[kModCounterAt]));
  const std::uint16_t threshold = getU16(&header[kThresholdAt]);
  sp.threshold = threshold > 0 && threshold <= 0x800 ? threshold : 0x800;
  for (int at = kFreeListStart; at + kFreeListEntry <= static_cast<int>(kChunk);
       at += kFreeListEntry) {
    const std::uint32_t word = getU32(&header[at]);
    const std::uint16_t count = getU16(&header[at + 4]);
    if (word == 0 && count == 0) break;
    sp.listed.push_back(FreeEntry{static_cast<std::uint8_t>(word & 0xFF), word >> 12, count});
  }
  if (m_size % kChunk != 0) problem("size " + hex(m_size) + " is not a whole number of blocks");
  sp.chunks = static_cast<std::uint32_t>(std::min<std::uint64_t>(m_size / kChunk, kMaxChunk + 1));
  for (std::uint32_t chunk = 1; chunk < sp.chunks;) {
    const std::uint64_t at = std::uint64_t{chunk} * kChunk;
    std::uint8_t head[kSlotTable + kSlotSize * kSlots];
    readAt(at, head, sizeof head);
    const std::uint8_t type = head[0];
    const std::uint32_t count = getU16(head + 1);
    const bool known = type == kSingleType || type == kSubType || type == kFreeType;
    if (!known || count == 0 || chunk + count > sp.chunks || (type == kSubType && count != 1)) {
      problem("the block at " + hex(at) + " has type " + std::to_string(type) + " and " +
              std::to_string(count) + " chunks, which does not fit the file");
      return;  // the rest of the chain cannot be found
    }
    if (type == kSingleType) {
      const SingleHead h = SingleHead::decode(head);
      if (kSingleHead + std::uint64_t{h.length} > std::uint64_t{count} * kChunk) {
        problem("the value in the block at " + hex(at) + " is longer than its block");
      }
      sp.singles[chunk] = count;
    } else if (type == kFreeType) {
      sp.freeRuns[chunk] = count;
    } else {
      auto& slots = sp.subBlocks[chunk];
      std::array<bool, kParagraphs> used{};
      for (int i = 0; i < kSlots; ++i) {
        slots[i] = Slot::decode(head + kSlotTable + kSlotSize * i);
        const Slot& s = slots[i];
        if (!s.live()) continue;
        const int end = s.paragraph + s.paragraphs;
        if (s.paragraph < kFirstDataParagraph || s.paragraphs == 0 || end > kParagraphs ||
            s.tail == 0 || s.tail > 16) {
          problem("slot " + std::to_string(i) + " of the block at " + hex(at) + " is malformed");
          continue;
        }
        for (int q = s.paragraph; q < end; ++q) {
          if (used[q]) {
            problem("slot " + std::to_string(i) + " of the block at " + hex(at) +
                    " overlaps another slot");
            break;
          }
          used[q] = true;
        }
      }
    }
    chunk += count;
  }
  if (problems == nullptr) return;
  // The free-space list may omit space, never claim space in use.
  for (const FreeEntry& e : sp.listed) {
    const std::string where = "free-list entry for " + hex(std::uint64_t{e.chunk} * kChunk);
    if (e.kind == 2) {
      const auto it = sp.subBlocks.find(e.chunk);
      if (it == sp.subBlocks.end()) {
        problem(where + " names no sub-allocated block");
      } else if (e.count > Space::freeParagraphs(it->second)) {
        problem(where + " claims " + std::to_string(e.count) + " free paragraphs, the block has " +
                std::to_string(Space::freeParagraphs(it->second)));
      }
    } else if (e.kind == 3) {
      const auto it = sp.freeRuns.find(e.chunk);
      if (it == sp.freeRuns.end() || e.count > it->second) {
        problem(where + " claims " + std::to_string(e.count) + " free blocks that are not free");
      }
    }
  }
}

MemoFile::Space& MemoFile::space() {
  if (!m_space) {
    auto sp = std::make_unique<Space>();
    scan(*sp, nullptr);
    m_space = std::move(sp);
  }
  return *m_space;
}

std::vector<std::string> MemoFile::check() const {
  std::vector<std::string> problems;
  try {
    if (!openForRead()) return problems;
    Space sp;
    scan(sp, &problems);
  } catch (const EDBEngineError& e) {
    problems.push_back(e.what());
  }
  return problems;
}

std::uint32_t MemoFile::allocateChunks(std::uint32_t count) {
  Space& sp = *m_space;
  for (auto it = sp.freeRuns.begin(); it != sp.freeRuns.end(); ++it) {
    if (it->second < count) continue;
    const std::uint32_t first = it->first, rest = it->second - count;
    sp.freeRuns.erase(it);
    if (rest > 0) {
      sp.freeRuns[first + count] = rest;
      std::uint8_t head[3] = {kFreeType};
      putU16(head + 1, static_cast<std::uint16_t>(rest));
      writeAt(std::uint64_t{first + count} * kChunk, head, sizeof head);
    }
    return first;
  }
  if (sp.chunks + count > kMaxChunk) {
    throw EDBEngineError(EDBEngineError::Code::kUnsupported,
                         "Blob file " + m_path.filename().string() + " is full");
  }
  const std::uint32_t first = sp.chunks;
  sp.chunks += count;
  return first;
}

void MemoFile::releaseChunks(std::uint32_t first, std::uint32_t count) {
  Space& sp = *m_space;
  // Join a free run that follows, then one that precedes, while the count
  // still fits the block head.
  auto next = sp.freeRuns.find(first + count);
  if (next != sp.freeRuns.end() && count + next->second <= 0xFFFF) {
    count += next->second;
    sp.freeRuns.erase(next);
  }
  auto after = sp.freeRuns.lower_bound(first);
  if (after != sp.freeRuns.begin()) {
    auto prev = std::prev(after);
    if (prev->first + prev->second == first && prev->second + count <= 0xFFFF) {
      first = prev->first;
      count += prev->second;
    }
  }
  sp.freeRuns[first] = count;
  std::uint8_t head[3] = {kFreeType};
  putU16(head + 1, static_cast<std::uint16_t>(count));
  writeAt(std::uint64_t{first} * kChunk, head, sizeof head);
}

BlobPointer MemoFile::storeInSlot(std::string_view value, std::uint16_t mod) {
  Space& sp = *m_space;
  const int need = static_cast<int>((value.size() + 15) / 16);
  std::uint32_t chunk = 0;
  int slot = -1, paragraph = 0;
  for (auto& [c, slots] : sp.subBlocks) {
    int freeSlot = -1;
    std::array<bool, kParagraphs> used{};
    for (int i = kSlots - 1; i >= 0; --i) {
      if (!slots[i].live()) {
        if (freeSlot < 0) freeSlot = i;
        continue;
      }
      for (int q = slots[i].paragraph; q < slots[i].paragraph + slots[i].paragraphs; ++q) {
        used[q] = true;
      }
    }
    if (freeSlot < 0) continue;
    for (int start = kFirstDataParagraph, run = 0; start + run < kParagraphs;) {
      if (used[start + run]) {
        start += run + 1;
        run = 0;
      } else if (++run == need) {
        chunk = c, slot = freeSlot, paragraph = start;
        break;
      }
    }
    if (slot >= 0) break;
  }
  const bool fresh = slot < 0;
  if (fresh) {
    chunk = allocateChunks(1);
    sp.subBlocks[chunk] = {};
    slot = kSlots - 1;
    paragraph = kFirstDataParagraph;
  }
  Slot& s = sp.subBlocks[chunk][slot];
  s = Slot{static_cast<std::uint8_t>(paragraph), static_cast<std::uint8_t>(need), mod,
           static_cast<std::uint8_t>((value.size() - 1) % 16 + 1)};
  // The list first stops offering the space, so an interrupted write can
  // only leak space, never hand it out twice.
  writeFreeList();
  const std::uint64_t at = std::uint64_t{chunk} * kChunk;
  if (fresh) {
    std::vector<std::uint8_t> block(kChunk, 0);
    block[0] = kSubType;
    putU16(&block[1], 1);
    s.encode(&block[kSlotTable + kSlotSize * slot]);
    std::memcpy(&block[paragraph * 16u], value.data(), value.size());
    writeAt(at, block.data(), block.size());
  } else {
    std::vector<std::uint8_t> data(need * 16u, 0);
    std::memcpy(data.data(), value.data(), value.size());
    writeAt(at + paragraph * 16u, data.data(), data.size());
    std::uint8_t raw[kSlotSize];
    s.encode(raw);
    writeAt(at + kSlotTable + kSlotSize * slot, raw, sizeof raw);
  }
  return BlobPointer{static_cast<std::uint32_t>(at) | static_cast<std::uint32_t>(slot),
                     static_cast<std::uint32_t>(value.size()), mod};
}

BlobPointer MemoFile::storeInBlock(std::string_view value, std::uint16_t mod) {
  Space& sp = *m_space;
  const auto count = static_cast<std::uint32_t>((kSingleHead + value.size() + kChunk - 1) / kChunk);
  const std::uint32_t chunk = allocateChunks(count);
  sp.singles[chunk] = count;
  writeFreeList();
  std::vector<std::uint8_t> block(std::size_t{count} * kChunk, 0);
  SingleHead{kSingleType, static_cast<std::uint16_t>(count),
             static_cast<std::uint32_t>(value.size()), mod}
      .encode(block.data());
  std::memcpy(&block[kSingleHead], value.data(), value.size());
  const std::uint64_t at = std::uint64_t{chunk} * kChunk;
  writeAt(at, block.data(), block.size());
  return BlobPointer{static_cast<std::uint32_t>(at) | BlobPointer::kSingleBlock,
                     static_cast<std::uint32_t>(value.size()), mod};
}

void MemoFile::writeFreeList() {
  Space& sp = *m_space;
  std::vector<FreeEntry> list;
  for (const auto& [chunk, slots] : sp.subBlocks) {
    const int free = Space::freeParagraphs(slots);
    if (free > 0) list.push_back({2, chunk, static_cast<std::uint16_t>(free)});
  }
  for (const auto& [chunk, count] : sp.freeRuns) {
    list.push_back({3, chunk, static_cast<std::uint16_t>(count)});
  }
  // Entries of other kinds stay while the space they name is still free.
  for (const FreeEntry& e : sp.listed) {
    if (e.kind == 2 || e.kind == 3) continue;
    auto run = sp.freeRuns.upper_bound(e.chunk);
    if (run == sp.freeRuns.begin()) continue;
    --run;
    if (e.chunk < run->first + run->second) list.push_back(e);
  }
  std::sort(list.begin(), list.end(), [](const FreeEntry& a, const FreeEntry& b) {
    return a.chunk != b.chunk ? a.chunk < b.chunk : a.kind < b.kind;
  });
  constexpr std::size_t kCapacity = (kChunk - kFreeListStart) / kFreeListEntry;
  if (list.size() > kCapacity) list.resize(kCapacity);  // unlisted space is only unused
  if (list == sp.listed) return;
  std::vector<std::uint8_t> bytes(kChunk - kFreeListStart, 0);
  for (std::size_t i = 0; i < list.size(); ++i) {
    std::uint8_t* p = &bytes[i * kFreeListEntry];
    putU32(p, list[i].chunk << 12 | list[i].kind);
    putU16(p + 4, list[i].count);
  }
  writeAt(kFreeListStart, bytes.data(), bytes.size());
  sp.listed = std::move(list);
}

}  // namespace pdx
