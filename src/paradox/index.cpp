#include "paradox/index.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <exception>
#include <functional>
#include <future>
#include <numeric>
#include <system_error>

#include "paradox/blockstore.h"
#include "paradox/coding.h"
#include "paradox/collation.h"
#include "paradox/errors.h"
#include "paradox/header.h"
#include "paradox/index_internal.h"
#include "paradox/keyblocks.h"
#include "paradox/keyorder.h"
#include "paradox/table_impl.h"
#include "paradox/values.h"
#include "platform/rawfile.h"

namespace pdx {
namespace detail {
namespace {

[[noreturn]] void ioFail(const std::filesystem::path& p, const std::system_error& e) {
  throw EDBEngineError::io(p.string(), e, true);
}

}  // namespace

IndexFile readIndexHeader(const std::filesystem::path& path) {
  try {
    platform::RawFile f(path, platform::RawFile::Mode::kRead);
    const std::uint64_t size = f.size();
    std::vector<std::uint8_t> head(4);
    if (f.readAt(0, head.data(), 4) < 4)
      throw EDBEngineError(EDBEngineError::Code::kCorrupt,
                           "Corrupt index " + path.string() + ": file too short",
                           FileCause{path.string(), 0, false});
    head.resize(std::min<std::uint64_t>(getU16(head.data() + 2), size));
    head.resize(f.readAt(0, head.data(), head.size()));
    return {TableHeader::decode(std::move(head), size, path.string(), true), path};
  } catch (const std::system_error& e) {
    throw EDBEngineError::io(path.string(), e, false);
  }
}

namespace {

// The blocks of a tree file: `records` packed into full blocks, then upper
// levels of (first key, child block, count, 0) until one block holds a level.
struct Tree {
  std::vector<std::uint8_t> blocks;  // all blocks, blockSize each
  int blockCount = 0;
  std::uint32_t entries = 0;
  int levels = 0;
};

// `counts` holds the true record count under each of `recs` (the stored
// 16-bit counts wrap past 65,535); the sums for `upper` go to `upperCounts`.
void packLevel(Tree& t, const std::vector<std::uint8_t>& recs, int rs, int bs,
               std::vector<std::uint8_t>* upper, int keyWidth, const std::vector<int>* counts,
               std::vector<int>* upperCounts = nullptr) {
  const int n = static_cast<int>(recs.size() / static_cast<std::size_t>(rs));
  const int cap = (bs - 6) / rs;
  for (int i = 0; i < n; i += cap) {
    const int take = std::min(cap, n - i);
    const int b = ++t.blockCount;
    t.blocks.resize(static_cast<std::size_t>(t.blockCount) * bs, 0);
    std::uint8_t* blk = t.blocks.data() + static_cast<std::size_t>(b - 1) * bs;
    BlockHead{i + take < n ? b + 1 : 0, i == 0 ? 0 : b - 1, (take - 1) * rs}.encode(blk);
    std::memcpy(blk + BlockHead::kSize, recs.data() + static_cast<std::size_t>(i) * rs,
                static_cast<std::size_t>(take) * rs);
    if (upper) {
      int sum = 0;
      for (int k = i; k < i + take; ++k) sum += counts ? (*counts)[static_cast<std::size_t>(k)] : 1;
      const std::size_t at = upper->size();
      upper->resize(at + static_cast<std::size_t>(keyWidth) + 6, 0);
      std::memcpy(upper->data() + at, blk + 6, static_cast<std::size_t>(keyWidth));
      encodeInt(upper->data() + at + keyWidth, 2, b);
      encodeInt(upper->data() + at + keyWidth + 2, 2, sum);
      encodeInt(upper->data() + at + keyWidth + 4, 2, 0);
      if (upperCounts) upperCounts->push_back(sum);
    }
  }
  t.entries += static_cast<std::uint32_t>(n);
}

// A .PX/.Ynn image from its leaf entries (key, child, count, 0).
Tree buildTree(std::vector<std::uint8_t> leaf, int keyWidth, int bs) {
  Tree t;
  const int rs = keyWidth + 6;
  if (leaf.empty()) return t;
  std::vector<std::uint8_t> level = std::move(leaf);
  std::vector<int> counts;
  for (;;) {
    ++t.levels;
    const int n = static_cast<int>(level.size() / static_cast<std::size_t>(rs));
    const int firstBlock = t.blockCount + 1;
    if (counts.empty()) {  // the leaf level: counts of data blocks, never wrapped
      counts.resize(static_cast<std::size_t>(n));
      for (int k = 0; k < n; ++k)
        counts[static_cast<std::size_t>(k)] = static_cast<int>(
            decodeInt(level.data() + static_cast<std::size_t>(k) * rs + keyWidth + 2, 2));
    }
    std::vector<std::uint8_t> upper;
    std::vector<int> upperCounts;
    packLevel(t, level, rs, bs, &upper, keyWidth, &counts, &upperCounts);
    // Chain this level after the previous one.
    if (firstBlock > 1) {
      std::uint8_t* below = t.blocks.data() + static_cast<std::size_t>(firstBlock - 2) * bs;
      std::uint8_t* first = t.blocks.data() + static_cast<std::size_t>(firstBlock - 1) * bs;
      BlockHead h = BlockHead::decode(below);
      h.next = firstBlock;
      h.encode(below);
      h = BlockHead::decode(first);
      h.prev = firstBlock - 1;
      h.encode(first);
    }
    if (t.blockCount == firstBlock) break;  // one block: the root
    level = std::move(upper);
    counts = std::move(upperCounts);
  }
  return t;
}

// Writes the image beside `path` and returns the file written.
std::filesystem::path writeImage(const std::filesystem::path& path,
                                 const std::vector<std::uint8_t>& header, const Tree& t) {
  const std::filesystem::path tmp = sideFile(path, ".new~");
  try {
    platform::RawFile f(tmp, platform::RawFile::Mode::kCreate);
    f.writeAt(0, header.data(), header.size());
    if (!t.blocks.empty()) f.writeAt(header.size(), t.blocks.data(), t.blocks.size());
    f.sync();
    f.close();
  } catch (const std::system_error& e) {
    platform::removeFile(tmp);
    ioFail(path, e);
  }
  return tmp;
}

void setTreeCounts(std::vector<std::uint8_t>& raw, const Tree& t, bool isTree) {
  std::uint8_t* p = raw.data();
  putU32(p + hdr::kRecords, t.entries);
  putU16(p + hdr::kUsedBlocks, static_cast<std::uint16_t>(t.blockCount));
  putU16(p + hdr::kFileBlocks, static_cast<std::uint16_t>(t.blockCount));
  putU16(p + hdr::kFirstBlock, static_cast<std::uint16_t>(t.blockCount ? 1 : 0));
  putU16(p + hdr::kLastBlock, static_cast<std::uint16_t>(t.blockCount));
  putU16(p + hdr::kFreeHead, 0);
  if (isTree) {
    putU16(p + hdr::kIndexRoot, static_cast<std::uint16_t>(t.blockCount ? t.blockCount : 1));
    p[hdr::kIndexLevels] = static_cast<std::uint8_t>(t.levels);
  }
}

}  // namespace

int keyWidthOf(const TableHeader& h) {
  int w = 0;
  for (int i = 0; i < h.keyFields; ++i) w += h.fields[static_cast<std::size_t>(i)].width;
  return w;
}

// Leaf entries of a tree over a table-like file: first record's key bytes,
// block number and record count for each block of the chain.
std::vector<std::uint8_t> leafEntries(const std::filesystem::path& path, const TableHeader& h,
                                      int keyWidth) {
  std::vector<std::uint8_t> leaf;
  walkChain(path, h, [&](int b, const std::uint8_t* recs, int count) {
    if (count == 0) return;
    const std::size_t at = leaf.size();
    leaf.resize(at + static_cast<std::size_t>(keyWidth) + 6);
    std::memcpy(leaf.data() + at, recs, static_cast<std::size_t>(keyWidth));
    encodeInt(leaf.data() + at + keyWidth, 2, b);
    encodeInt(leaf.data() + at + keyWidth + 2, 2, count);
    encodeInt(leaf.data() + at + keyWidth + 4, 2, 0);
  });
  return leaf;
}

std::filesystem::path companionIf(const std::filesystem::path& table, const std::string& ext) {
  std::filesystem::path p = companionFile(table, ext);
  std::error_code ec;
  return std::filesystem::is_regular_file(p, ec) ? p : std::filesystem::path();
}

SecondaryImage secondaryEntries(const TableImpl& table, const std::filesystem::path& dataFile,
                                const SecondaryIndex& si) {
  SecondaryImage img{readIndexHeader(si.xFile), {}, nullptr};
  const TableHeader& xh = img.x.header;
  const TableHeader& th = table.header();
  const int rs = xh.recordSize;
  std::vector<FieldInfo> orderFields(xh.fields.begin(), xh.fields.end() - 1);  // all but "Blk Num"
  for (int n : xh.fieldNumbers)
    if (n & 0x8000)
      throw EDBEngineError(EDBEngineError::Code::kUnsupported,
                           "Cannot order index " + si.xFile.filename().string() + " of table " +
                               table.path().string() + ": descending indexes are not supported");
  img.order =
      std::make_unique<KeyOrder>(orderFields, xh.sortOrder.empty() ? th.sortOrder : xh.sortOrder,
                                 table.path().string(), si.xFile.filename().string());
  const FieldInfo& blk = xh.fields.back();
  const bool upper = xh.raw.size() > 0x55 && (xh.raw[0x55] & kCaseInsensitiveFlag) != 0;
  const Collation* coll =
      Collation::forSortOrder(xh.sortOrder.empty() ? th.sortOrder : xh.sortOrder);
  walkChain(dataFile, th, [&](int b, const std::uint8_t* recs, int count) {
    for (int r = 0; r < count; ++r) {
      const std::uint8_t* rec = recs + static_cast<std::size_t>(r) * th.recordSize;
      const std::size_t at = img.entries.size();
      img.entries.resize(at + static_cast<std::size_t>(rs), 0);
      std::uint8_t* e = img.entries.data() + at;
      for (std::size_t k = 0; k + 1 < xh.fields.size(); ++k) {
        const FieldInfo& xf = xh.fields[k];
        const FieldInfo& tf = th.fields[static_cast<std::size_t>(si.fields[k])];
        std::memcpy(e + xf.offset, rec + tf.offset,
                    static_cast<std::size_t>(std::min(xf.width, tf.width)));
        const bool ownField = k + 1 + static_cast<std::size_t>(th.keyFields) < xh.fields.size();
        if (upper && ownField && xf.type == FieldType::kAlpha) {
          const auto* p = reinterpret_cast<const char*>(e + xf.offset);
          const std::string text(p, strnlen(p, static_cast<std::size_t>(xf.width)));
          const std::string up = coll ? coll->upper(text) : text;
          std::memset(e + xf.offset, 0, static_cast<std::size_t>(xf.width));
          std::memcpy(e + xf.offset, up.data(),
                      std::min(up.size(), static_cast<std::size_t>(xf.width)));
        }
      }
      encodeInt(e + blk.offset, blk.width, b);
    }
  });
  // Sort entry positions, then lay them out.
  const std::size_t n = img.entries.size() / static_cast<std::size_t>(rs);
  std::vector<std::uint32_t> idx(n);
  std::iota(idx.begin(), idx.end(), 0u);
  const std::uint8_t* base = img.entries.data();
  std::stable_sort(idx.begin(), idx.end(), [&](std::uint32_t a, std::uint32_t b) {
    return img.order->compare(base + static_cast<std::size_t>(a) * rs,
                              base + static_cast<std::size_t>(b) * rs) < 0;
  });
  std::vector<std::uint8_t> sorted(img.entries.size());
  for (std::size_t k = 0; k < n; ++k)
    std::memcpy(sorted.data() + k * rs, base + static_cast<std::size_t>(idx[k]) * rs,
                static_cast<std::size_t>(rs));
  img.entries = std::move(sorted);
  return img;
}

}  // namespace detail

using namespace detail;

namespace {

// Where each record of `dataFile` is, by primary key; built once for all
// the secondary indexes a commit of deletes rewrites.
std::unique_ptr<KeyBlocks> recordBlocks(const TableImpl& table,
                                        const std::filesystem::path& dataFile) {
  const TableHeader& th = table.header();
  auto where = std::make_unique<KeyBlocks>(keyWidthOf(th), th.records);
  walkChain(dataFile, th, [&](int b, const std::uint8_t* recs, int count) {
    for (int r = 0; r < count; ++r)
      where->add(recs + static_cast<std::size_t>(r) * th.recordSize, b);
  });
  where->seal();
  return where;
}

// The old entries of a secondary index minus those of removed records, with
// block hints pointing where each record is now. Order is kept as it was.
std::vector<std::uint8_t> survivingEntries(const TableImpl& table, const KeyBlocks& where,
                                           const IndexFile& x) {
  const TableHeader& th = table.header();
  const TableHeader& xh = x.header;
  const std::size_t rs = static_cast<std::size_t>(xh.recordSize);
  const FieldInfo& blk = xh.fields.back();
  const int keyWidth = keyWidthOf(th);
  const int keyAt = blk.offset - keyWidth;  // key fields come right before "Blk Num"
  // Every slot reserved up front: no entry makes the buffer grow.
  std::vector<std::uint8_t> out(where.size() * rs);
  std::size_t at = 0;
  walkChain(x.path, xh, [&](int, const std::uint8_t* recs, int count) {
    for (int r = 0; r < count; ++r) {
      const std::uint8_t* e = recs + static_cast<std::size_t>(r) * rs;
      const int block = where.find(e + keyAt);
      if (block == 0) continue;
      if (at == out.size()) out.resize(out.size() + rs);  // an index with duplicate entries
      std::memcpy(out.data() + at, e, rs);
      encodeInt(out.data() + at + blk.offset, blk.width, block);
      at += rs;
    }
  });
  out.resize(at);
  return out;
}

}  // namespace

std::vector<bool> indexedFields(const TableImpl& table) {
  std::vector<bool> out(table.fields().size(), false);
  if (!table.isKeyed()) return out;
  for (const SecondaryIndex& si : findSecondaryIndexes(table))
    if (si.maintained)
      for (int f : si.fields)
        if (f >= 0) out[static_cast<std::size_t>(f)] = true;
  return out;
}

std::vector<IndexReplacement> writeIndexes(const TableImpl& table,
                                           const std::filesystem::path& dataFile, bool onlyDeletes,
                                           const std::vector<std::filesystem::path>* only) {
  auto wanted = [&](const std::filesystem::path& f) {
    return !only || std::find(only->begin(), only->end(), f) != only->end();
  };
  const TableHeader& th = table.header();
  std::vector<IndexReplacement> out;
  if (!table.isKeyed()) return out;
  try {
    const std::uint8_t counter = th.raw[hdr::kChangeCounter];
    const int keyWidth = keyWidthOf(th);
    if (const auto px = companionIf(table.path(), ".px"); !px.empty() && wanted(px)) {
      IndexFile pf = readIndexHeader(px);
      if (pf.header.recordSize != keyWidth + 6)
        throw EDBEngineError(EDBEngineError::Code::kCorrupt,
                             "Index " + px.string() + " does not match its table's key",
                             FileCause{px.string(), 0, false});
      const Tree t = buildTree(leafEntries(dataFile, th, keyWidth), keyWidth, pf.header.blockSize);
      setTreeCounts(pf.header.raw, t, true);
      pf.header.raw[hdr::kTreeParentCounter] = counter;
      out.push_back({writeImage(px, pf.header.raw, t), px});
    }
    // Each maintained secondary index (its .Xnn, then its .Ynn from it) is
    // written on a thread of its own: they share only what is read here.
    std::vector<SecondaryIndex> secondary;
    for (const SecondaryIndex& si : findSecondaryIndexes(table))
      if (si.maintained && wanted(si.xFile)) secondary.push_back(si);
    std::unique_ptr<KeyBlocks> where;
    if (onlyDeletes && !secondary.empty()) where = recordBlocks(table, dataFile);
    auto writeSecondary = [&](const SecondaryIndex& si) {
      std::vector<IndexReplacement> written;
      try {
        SecondaryImage img;
        if (onlyDeletes) {
          img.x = readIndexHeader(si.xFile);
          img.entries = survivingEntries(table, *where, img.x);
        } else {
          img = secondaryEntries(table, dataFile, si);
        }
        TableHeader& xh = img.x.header;
        Tree xt;
        packLevel(xt, img.entries, xh.recordSize, xh.blockSize, nullptr, 0, nullptr);
        setTreeCounts(xh.raw, xt, false);
        xh.raw[hdr::kParentCounter] = counter;
        xh.raw[hdr::kStructureCounter] = th.raw[hdr::kStructureCounter];
        xh.raw[hdr::kChangeCounter] = static_cast<std::uint8_t>(xh.raw[hdr::kChangeCounter] + 1);
        const std::filesystem::path xWritten = writeImage(si.xFile, xh.raw, xt);
        written.push_back({xWritten, si.xFile});
        if (si.yFile.empty()) return written;
        IndexFile yf = readIndexHeader(si.yFile);
        const int yKey = xh.recordSize - xh.fields.back().width;
        if (yf.header.recordSize != yKey + 6)
          throw EDBEngineError(
              EDBEngineError::Code::kCorrupt,
              "Index " + si.yFile.string() + " does not match " + si.xFile.filename().string(),
              FileCause{si.yFile.string(), 0, false});
        xh.firstBlock = xt.blockCount ? 1 : 0;
        xh.fileBlocks = xt.blockCount;
        const Tree yt = buildTree(leafEntries(xWritten, xh, yKey), yKey, yf.header.blockSize);
        setTreeCounts(yf.header.raw, yt, true);
        yf.header.raw[hdr::kTreeParentCounter] = xh.raw[hdr::kChangeCounter];
        written.push_back({writeImage(si.yFile, yf.header.raw, yt), si.yFile});
        return written;
      } catch (...) {
        for (const IndexReplacement& r : written) platform::removeFile(r.written);
        throw;
      }
    };
    std::vector<std::future<std::vector<IndexReplacement>>> jobs;
    for (const SecondaryIndex& si : secondary)
      jobs.push_back(std::async(platform::sideBySide(), writeSecondary, std::cref(si)));
    // Every job is waited for; the first failure, in index order, is the one
    // thrown, once every file written for this commit is gone.
    std::exception_ptr failure;
    for (auto& job : jobs) {
      try {
        for (IndexReplacement& r : job.get()) out.push_back(std::move(r));
      } catch (...) {
        if (!failure) failure = std::current_exception();
      }
    }
    if (failure) std::rethrow_exception(failure);
  } catch (...) {
    for (const IndexReplacement& r : out) platform::removeFile(r.written);
    throw;
  }
  return out;
}

void installIndexes(const std::vector<IndexReplacement>& indexes, const std::function<void()>& last,
                    bool& restored) {
  std::size_t swapped = 0;
  restored = true;
  try {
    for (; swapped < indexes.size(); ++swapped) {
      const IndexReplacement& r = indexes[swapped];
      if (!platform::exchangeFiles(r.written, r.target)) {
        platform::replaceFile(r.written, r.target, false);  // no way back from here
        restored = false;
      }
    }
    if (last) last();
  } catch (const std::system_error&) {
    for (std::size_t i = swapped; restored && i-- > 0;) {
      try {
        platform::exchangeFiles(indexes[i].written, indexes[i].target);
      } catch (const std::system_error&) {
        restored = false;
      }
    }
    for (const IndexReplacement& r : indexes) platform::removeFile(r.written);
    throw;
  }
}

void rebuildIndexes(const TableImpl& table, bool onlyDeletes,
                    const std::vector<std::filesystem::path>* only) {
  const std::vector<IndexReplacement> written =
      writeIndexes(table, table.path(), onlyDeletes, only);
  bool restored = true;
  try {
    installIndexes(written, {}, restored);
  } catch (const std::system_error& e) {
    ioFail(table.path(), e);
  }
  platform::syncDirectory(table.path().parent_path());
  for (const IndexReplacement& r : written) platform::removeFile(r.written);
}

namespace {

// The header byte at `offset` of an index file, -1 when the file is absent
// or too short. Throws EDBEngineError when it cannot be read.
int headerByte(const std::filesystem::path& file, int offset) {
  try {
    platform::RawFile f(file, platform::RawFile::Mode::kRead);
    std::uint8_t b = 0;
    return f.readAt(static_cast<std::uint64_t>(offset), &b, 1) == 1 ? b : -1;
  } catch (const std::system_error& e) {
    if (e.code() == std::errc::no_such_file_or_directory) return -1;
    throw EDBEngineError::io(file.string(), e, false);
  }
}

// Whether `index` (else its side file, then moved into place) holds `want`
// at `offset`.
bool agreesOrRestored(const std::filesystem::path& index, int offset, int want) {
  if (headerByte(index, offset) == want) return true;
  const std::filesystem::path side = sideFile(index, ".new~");
  if (headerByte(side, offset) != want) return false;
  // Whole: a rebuild cut off while writing it leaves a header whose counter
  // agrees over blocks that are missing.
  try {
    const IndexFile f = readIndexHeader(side);
    if (std::filesystem::file_size(side) < f.header.blockOffset(f.header.fileBlocks + 1))
      return false;
  } catch (const std::exception&) {
    return false;
  }
  try {
    platform::replaceFile(side, index, false);
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

}  // namespace

std::vector<std::filesystem::path> restoreIndexesByCounter(const TableImpl& table) {
  std::vector<std::filesystem::path> stale;
  if (!table.isKeyed()) return stale;
  const int counter = table.header().raw[hdr::kChangeCounter];
  if (const auto px = companionIf(table.path(), ".px"); !px.empty())
    if (!agreesOrRestored(px, hdr::kTreeParentCounter, counter)) stale.push_back(px);
  for (const SecondaryIndex& si : findSecondaryIndexes(table)) {
    if (!si.maintained) continue;
    bool sound = agreesOrRestored(si.xFile, hdr::kParentCounter, counter);
    if (sound && !si.yFile.empty())
      sound = agreesOrRestored(si.yFile, hdr::kTreeParentCounter,
                               headerByte(si.xFile, hdr::kChangeCounter));
    if (!sound) stale.push_back(si.xFile);
  }
  platform::syncDirectory(table.path().parent_path());
  return stale;
}

}  // namespace pdx
