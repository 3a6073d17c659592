#include "paradox/check.h"

#include <algorithm>
#include <vector>

#include "paradox/blockstore.h"
#include "paradox/errors.h"
#include "paradox/header.h"
#include "paradox/index.h"
#include "paradox/memo.h"
#include "paradox/table_impl.h"

namespace pdx {

std::vector<std::string> checkTable(const std::filesystem::path& table,
                                    std::vector<std::string>* notes) {
  std::vector<std::string> texts;
  for (FileProblem& p : checkTableFiles(table, notes)) texts.push_back(std::move(p.text));
  return texts;
}

std::vector<FileProblem> checkTableFiles(const std::filesystem::path& table,
                                         std::vector<std::string>* notes) {
  std::vector<FileProblem> problems;
  std::filesystem::path at = table;  // the file the problems found now are in
  auto problem = [&](const std::string& what) { problems.push_back({at, what}); };
  OpenOptions options;
  options.readOnly = true;
  options.fallbackCodePage = 437;
  std::unique_ptr<Table> t;
  try {
    t = Table::open(table, options);
  } catch (const EDBEngineError& e) {
    if (e.code() != EDBEngineError::Code::kCorrupt) throw;
    return {{e.cause().file.empty() ? table : std::filesystem::path(e.cause().file), e.what()}};
  }
  auto& impl = dynamic_cast<TableImpl&>(*t);
  at = impl.path();
  const TableHeader& h = impl.header();
  platform::RawFile file(impl.path(), platform::RawFile::Mode::kRead);
  const std::uint64_t size = file.size();
  BlockStore store(&file, impl.path().string(), static_cast<std::uint64_t>(h.headerSize),
                   h.blockSize, size);
  const std::uint64_t needed = h.fileBlocks == 0 ? h.headerSize : h.blockOffset(h.fileBlocks) + 6;
  if (size < needed)
    problem("file holds " + std::to_string(size) + " bytes, the header's " +
            std::to_string(h.fileBlocks) + " blocks need at least " + std::to_string(needed));
  if (h.fileBlocks < store.blocksInFile())
    problem("file holds " + std::to_string(store.blocksInFile()) + " blocks, the header declares " +
            std::to_string(h.fileBlocks));

  // The chain.
  std::uint64_t records = 0;
  int prev = 0, last = 0, inChain = 0;
  const int limit = std::min(h.fileBlocks, store.blocksInFile());
  std::vector<bool> seen(static_cast<std::size_t>(std::max(limit, 0)) + 1, false);  // by block
  auto visit = [&](int b) {  // false when `b` was reached before
    if (seen[static_cast<std::size_t>(b)]) return false;
    seen[static_cast<std::size_t>(b)] = true;
    return true;
  };
  ChainWalk walk;
  for (int b = h.firstBlock; b != 0;) {
    std::string fault = walk.reach(b, limit);
    if (fault.empty() && !visit(b))
      fault = "the block chain loops (it reaches block " + std::to_string(b) + " again)";
    if (!fault.empty()) {
      problem(fault);
      break;
    }
    const BlockHead bh = store.head(b);
    if (bh.prev != prev)
      problem("block " + std::to_string(b) + " links back to " + std::to_string(bh.prev) +
              ", expected " + std::to_string(prev));
    int count = 0;
    if (std::string recordFault =
            recordsFault(b, bh, h.recordSize, h.maxRecordsPerBlock(), store.available(b), count);
        !recordFault.empty())
      problem(recordFault);
    else
      records += static_cast<std::uint64_t>(count);
    ++inChain;
    prev = last = b;
    b = bh.next;
  }
  if (records != h.records)
    problem("blocks hold " + std::to_string(records) + " records, the header says " +
            std::to_string(h.records));
  if (inChain != h.usedBlocks)
    problem(std::to_string(inChain) + " blocks in the chain, the header says " +
            std::to_string(h.usedBlocks));
  if (last != h.lastBlock)
    problem("chain ends at block " + std::to_string(last) + ", the header says " +
            std::to_string(h.lastBlock));

  // The free list.
  int freeCount = 0;
  for (int b = h.freeHead; b != 0;) {
    if (b < 1 || b > limit) {
      problem("free list links to block " + std::to_string(b) + ", outside the file");
      break;
    }
    if (!visit(b)) {
      problem("free list reaches block " + std::to_string(b) + " twice or from the chain");
      break;
    }
    ++freeCount;
    b = store.head(b).next;
  }
  if (inChain + freeCount != h.fileBlocks)
    problem(std::to_string(h.fileBlocks - inChain - freeCount) +
            " blocks are neither in the chain nor on the free list");

  // Memo pointers and the memo file.
  bool hasBlobs = false;
  for (const FieldInfo& f : h.fields) hasBlobs = hasBlobs || isBlobType(f.type);
  if (hasBlobs && problems.empty()) {
    MemoFile memo(companionFile(impl.path(), ".mb"), false);
    at = memo.path();
    // Without the file there is no value to read (a table whose values all
    // fit their records needs none).
    const bool memoPresent = std::filesystem::exists(memo.path());
    std::vector<const FieldInfo*> blobs;
    for (const FieldInfo& f : h.fields)
      if (isBlobType(f.type)) blobs.push_back(&f);
    std::uint64_t row = 0;
    for (t->first(); memoPresent && !t->eof(); t->next()) {
      ++row;
      for (const FieldInfo* b : blobs) {
        const FieldInfo& f = *b;
        const std::uint8_t* p = impl.recordBytes() + f.offset;
        if (BlobPointer::decode(p, f.width).inLeader()) continue;
        try {
          memo.read(p, f.width);
        } catch (const EDBEngineError& e) {
          problem("record " + std::to_string(row) + ", field " + f.name + ": " + e.what());
        }
      }
    }
    for (const std::string& m : memo.check()) problem(m);
  }
  // Each index problem begins with the index file's name.
  if (problems.empty())
    for (const std::string& m : checkIndexes(impl, notes)) {
      at = impl.path().parent_path() / m.substr(0, m.find(':'));
      problem(m);
    }
  return problems;
}

}  // namespace pdx
