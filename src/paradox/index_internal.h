// Helpers shared by the index writer and the index checker.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include "paradox/blockstore.h"
#include "paradox/errors.h"
#include "paradox/header.h"
#include "paradox/index.h"
#include "paradox/keyorder.h"

namespace pdx {
namespace detail {

struct IndexFile {
  TableHeader header;
  std::filesystem::path path;
};

IndexFile readIndexHeader(const std::filesystem::path& path);

// Walks the chain of a table-like file and hands each block's records.
template <typename F>
void walkChain(const std::filesystem::path& path, const TableHeader& h, F&& visit) {
  platform::RawFile f;
  std::uint64_t size = 0;
  try {
    f = platform::RawFile(path, platform::RawFile::Mode::kRead);
    size = f.size();
  } catch (const std::system_error& e) {
    throw EDBEngineError::io(path.string(), e, false);
  }
  BlockStore store(&f, path.string(), static_cast<std::uint64_t>(h.headerSize), h.blockSize, size);
  ChainWalk walk;
  const int blocks = std::min(h.fileBlocks, store.blocksInFile());
  for (int b = h.firstBlock; b != 0;) {
    if (std::string fault = walk.reach(b, blocks); !fault.empty())
      chainCorrupt(path.string(), fault);
    const BlockHead bh = store.head(b);
    int count = 0;
    if (std::string fault =
            recordsFault(b, bh, h.recordSize, h.maxRecordsPerBlock(), store.available(b), count);
        !fault.empty())
      chainCorrupt(path.string(), fault);
    visit(b, store.block(b) + BlockHead::kSize, count);
    b = bh.next;
  }
}

int keyWidthOf(const TableHeader& h);
std::vector<std::uint8_t> leafEntries(const std::filesystem::path& path, const TableHeader& h,
                                      int keyWidth);
std::filesystem::path companionIf(const std::filesystem::path& table, const std::string& ext);

struct SecondaryImage {
  IndexFile x;
  std::vector<std::uint8_t> entries;  // sorted
  std::unique_ptr<KeyOrder> order;
};
// The entries a secondary index must hold for the records of `dataFile`.
SecondaryImage secondaryEntries(const TableImpl& table, const std::filesystem::path& dataFile,
                                const SecondaryIndex& si);

}  // namespace detail
}  // namespace pdx
