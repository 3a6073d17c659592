// Checking index files against the data they index.
#include <algorithm>
#include <cstring>
#include <functional>
#include <set>

#include "paradox/coding.h"
#include "paradox/index.h"
#include "paradox/index_internal.h"
#include "paradox/table_impl.h"
#include "paradox/values.h"

namespace pdx {
using namespace detail;
namespace {

// Reads a tree (.PX/.Ynn) from its root and returns its leaf entries in key
// order; reports upper entries whose key or count disagree with the child.
std::vector<std::uint8_t> treeLeaves(const IndexFile& f, std::vector<std::string>& problems) {
  const TableHeader& h = f.header;
  const int rs = h.recordSize;
  const int keyWidth = rs - 6;
  std::vector<std::uint8_t> leaves;
  if (h.records == 0) return leaves;
  platform::RawFile file(f.path, platform::RawFile::Mode::kRead);
  BlockStore store(&file, f.path.string(), static_cast<std::uint64_t>(h.headerSize), h.blockSize,
                   file.size());
  const int levels = h.raw[hdr::kIndexLevels];
  const std::string name = f.path.filename().string();
  std::uint32_t entries = 0;
  int visited = 0;
  // Returns the record count under `block`, or -1 when it cannot be read.
  std::function<long(int, int, const std::uint8_t*)> visit =
      [&](int block, int level, const std::uint8_t* firstKey) -> long {
    if (++visited > h.fileBlocks || block < 1 || block > store.blocksInFile()) {
      problems.push_back(name + ": tree links to block " + std::to_string(block) +
                         " outside the file or twice");
      return -1;
    }
    const BlockHead bh = store.head(block);
    const int count = bh.count(rs);
    if (count < 1 || 6 + count * rs > store.available(block)) {
      problems.push_back(name + ": block " + std::to_string(block) + " holds no valid entries");
      return -1;
    }
    std::vector<std::uint8_t> data(store.block(block) + 6, store.block(block) + 6 + count * rs);
    entries += static_cast<std::uint32_t>(count);
    if (firstKey && std::memcmp(firstKey, data.data(), static_cast<std::size_t>(keyWidth)) != 0)
      problems.push_back(name + ": block " + std::to_string(block) +
                         " starts with another key than its parent says");
    long total = 0;
    for (int k = 0; k < count; ++k) {
      const std::uint8_t* e = data.data() + static_cast<std::size_t>(k) * rs;
      // The count is a 16-bit field: an upper entry over a subtree of more
      // than 65,535 records keeps only the low 16 bits of its sum.
      long n = decodeInt(e + keyWidth + 2, 2) & 0xFFFF;
      if (level == 1) {
        leaves.insert(leaves.end(), e, e + rs);
      } else {
        const long below = visit(static_cast<int>(decodeInt(e + keyWidth, 2)), level - 1, e);
        if (below < 0) return -1;
        if ((below & 0xFFFF) != n)
          problems.push_back(name + ": entry " + std::to_string(k + 1) + " of block " +
                             std::to_string(block) + " counts " + std::to_string(n) +
                             " records, its child holds " + std::to_string(below));
        n = below;
      }
      total += n;
    }
    return total;
  };
  visit(getU16(h.raw.data() + hdr::kIndexRoot), levels, nullptr);
  if (problems.empty() && entries != h.records)
    problems.push_back(name + ": holds " + std::to_string(entries) + " entries, its header says " +
                       std::to_string(h.records));
  return leaves;
}

void compareLeaves(const std::string& name, const std::vector<std::uint8_t>& want,
                   const std::vector<std::uint8_t>& got, int rs,
                   std::vector<std::string>& problems) {
  if (want == got) return;
  const std::size_t n = want.size() / static_cast<std::size_t>(rs),
                    m = got.size() / static_cast<std::size_t>(rs);
  if (n != m) {
    problems.push_back(name + ": indexes " + std::to_string(m) + " blocks, the data has " +
                       std::to_string(n));
    return;
  }
  for (std::size_t k = 0; k < n; ++k)
    if (std::memcmp(want.data() + k * rs, got.data() + k * rs, static_cast<std::size_t>(rs)) != 0) {
      problems.push_back(name + ": entry " + std::to_string(k + 1) +
                         " disagrees with the data (first key, block or count)");
      return;
    }
}

// Secondary entries against what they must be. A block hint ("Blk Num")
// that no longer names the record's block is how the BDE leaves entries of
// records that later splits moved: noted, not damage. Anything else that
// differs (order, values) is.
void compareEntries(const std::string& name, const std::vector<std::uint8_t>& want,
                    const std::vector<std::uint8_t>& got, const FieldInfo& hint, std::size_t rs,
                    std::vector<std::string>& problems, std::vector<std::string>* notes) {
  const auto at = static_cast<std::size_t>(hint.offset);
  const auto width = static_cast<std::size_t>(hint.width);
  std::size_t stale = 0;
  for (std::size_t k = 0; k < want.size(); k += rs) {
    const std::uint8_t* w = want.data() + k;
    const std::uint8_t* g = got.data() + k;
    if (std::memcmp(w, g, at) != 0 || std::memcmp(w + at + width, g + at + width, rs - at - width))
      return problems.push_back(name + ": entry " + std::to_string(k / rs + 1) +
                                " disagrees with the data (order or values)");
    if (std::memcmp(w + at, g + at, width) != 0) ++stale;
  }
  if (notes)
    notes->push_back(name + ": " + std::to_string(stale) + " of " +
                     std::to_string(want.size() / rs) +
                     " entries name a block their record has left (stale hints, as the BDE leaves "
                     "them)");
}

}  // namespace

std::vector<std::string> checkIndexes(const TableImpl& table, std::vector<std::string>* notes) {
  std::vector<std::string> problems;
  if (!table.isKeyed()) return problems;
  const TableHeader& th = table.header();
  const int keyWidth = keyWidthOf(th);
  if (const auto px = companionIf(table.path(), ".px"); !px.empty()) {
    const IndexFile pf = readIndexHeader(px);
    if (pf.header.recordSize != keyWidth + 6) {
      problems.push_back(px.filename().string() + ": entry size does not match the table's key");
    } else {
      const auto got = treeLeaves(pf, problems);
      compareLeaves(px.filename().string(), leafEntries(table.path(), th, keyWidth), got,
                    keyWidth + 6, problems);
    }
  }
  for (const SecondaryIndex& si : findSecondaryIndexes(table)) {
    if (!si.maintained) continue;
    const std::string name = si.xFile.filename().string();
    std::vector<std::uint8_t> want;
    bool ordered = true;
    IndexFile x = readIndexHeader(si.xFile);
    try {
      want = secondaryEntries(table, table.path(), si).entries;
    } catch (const EDBEngineError& e) {
      if (e.code() != EDBEngineError::Code::kUnsupported) throw;
      ordered = false;  // cannot reproduce the order: compare contents only
    }
    std::vector<std::uint8_t> got;
    walkChain(si.xFile, x.header, [&](int, const std::uint8_t* recs, int count) {
      got.insert(got.end(), recs, recs + static_cast<std::size_t>(count) * x.header.recordSize);
    });
    const std::size_t rs = static_cast<std::size_t>(x.header.recordSize);
    if (got.size() / rs != th.records)
      problems.push_back(name + ": holds " + std::to_string(got.size() / rs) + " entries for " +
                         std::to_string(th.records) + " records");
    else if (ordered && want != got)
      compareEntries(name, want, got, x.header.fields.back(), rs, problems, notes);
    if (!si.yFile.empty()) {
      const IndexFile yf = readIndexHeader(si.yFile);
      const int yKey = x.header.recordSize - x.header.fields.back().width;
      const auto leaves = treeLeaves(yf, problems);
      compareLeaves(si.yFile.filename().string(), leafEntries(si.xFile, x.header, yKey), leaves,
                    yKey + 6, problems);
    }
  }
  return problems;
}

}  // namespace pdx
