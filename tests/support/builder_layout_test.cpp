// The builder's files decoded by hand: index trees, secondary indexes, memo
// blocks, counters and the rows it refuses.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <set>
#include <string>

#include "support/fixture_files.h"
#include "support/paradox_builder.h"

namespace fixture {
namespace {

using T = pdx::FieldType;
namespace fs = std::filesystem;

unsigned u16(const std::string& b, std::size_t off) {
  return static_cast<unsigned char>(b[off]) | static_cast<unsigned char>(b[off + 1]) << 8;
}
std::uint32_t u32(const std::string& b, std::size_t off) {
  return u16(b, off) | static_cast<std::uint32_t>(u16(b, off + 2)) << 16;
}
// A big-endian, sign-flipped u16 as index entries hold it.
unsigned flipped16(const std::string& b, std::size_t off) {
  return ((static_cast<unsigned char>(b[off]) << 8) | static_cast<unsigned char>(b[off + 1])) ^
         0x8000;
}
std::int64_t flipped32(const std::string& b, std::size_t off) {
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v = v << 8 | static_cast<unsigned char>(b[off + i]);
  return static_cast<std::int32_t>(v ^ 0x80000000u);
}

// One file of blocks: its header fields and the records of each block.
struct BlockFile {
  std::string bytes;
  unsigned recordSize, headerSize, blockSize;
  std::string block(unsigned n) const {
    return bytes.substr(headerSize + (n - 1) * blockSize, blockSize);
  }
  std::vector<std::string> records(unsigned n) const {
    const std::string b = block(n);
    const int count = static_cast<std::int16_t>(u16(b, 4)) / static_cast<int>(recordSize) + 1;
    std::vector<std::string> out;
    for (int i = 0; i < count; ++i) out.push_back(b.substr(6 + i * recordSize, recordSize));
    return out;
  }
  // Block numbers along the chain from the header's first block.
  std::vector<unsigned> chain() const {
    std::vector<unsigned> out;
    for (unsigned n = u16(bytes, 0x0E); n != 0; n = u16(block(n), 0)) out.push_back(n);
    return out;
  }
};

BlockFile load(const fs::path& p) {
  BlockFile f;
  f.bytes = readFileBytes(p);
  f.recordSize = u16(f.bytes, 0);
  f.headerSize = u16(f.bytes, 2);
  f.blockSize = static_cast<unsigned>(f.bytes[5]) * 1024;
  return f;
}

fs::path tempDir(const std::string& name) {
  const fs::path dir = fs::path(testing::TempDir()) / ("layout_" + name);
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

// Movements with a wide record, so that 1 KiB blocks hold two and a few
// hundred rows need a primary index of two levels.
TableBuilder wideMovements() {
  return TableBuilder({{"BCHKOD", T::kAutoInc},
                       {"CARIKOD", T::kAlpha, 30},
                       {"ACIKLAMA", T::kAlpha, 255},
                       {"ACIKLAMA2", T::kAlpha, 150},
                       {"TUTAR", T::kNumber}})
      .keyed(1);
}

TEST(BuilderLayout, PrimaryIndexOfTwoLevelsCoversEveryBlock) {
  TableBuilder b = wideMovements();
  for (int i = 0; i < 300; ++i) b.row({Variant{}, Variant{"120." + std::to_string(i % 17)}});
  const fs::path dir = tempDir("px");
  b.write(dir / "Char.DB");

  const BlockFile db = load(dir / "Char.DB");
  const BlockFile px = load(dir / "Char.PX");
  const std::vector<unsigned> chain = db.chain();
  ASSERT_EQ(chain.size(), 150u);  // two records a block, every block full
  EXPECT_EQ(u32(db.bytes, 0x06), 300u);
  EXPECT_EQ(u32(db.bytes, 0x49), 300u);  // last number issued

  EXPECT_EQ(px.bytes[4], 1);
  EXPECT_EQ(px.bytes[0x20], 2) << "levels";
  EXPECT_EQ(px.recordSize, 4u + 6u);
  // Walk from the root: every leaf entry names a data block with its first key and count.
  const unsigned root = u16(px.bytes, 0x1E);
  std::vector<unsigned> leaves;
  std::uint64_t rootSum = 0;
  for (const std::string& e : px.records(root)) {
    leaves.push_back(flipped16(e, 4));
    rootSum += flipped16(e, 6);
  }
  EXPECT_EQ(rootSum, 300u);
  std::vector<unsigned> seen;
  std::size_t entries = leaves.size();
  for (unsigned leaf : leaves) {
    for (const std::string& e : px.records(leaf)) {
      ++entries;
      const unsigned block = flipped16(e, 4);
      seen.push_back(block);
      const auto recs = db.records(block);
      EXPECT_EQ(flipped16(e, 6), recs.size());
      EXPECT_EQ(e.substr(0, 4), recs.front().substr(0, 4)) << "first key of block " << block;
      EXPECT_EQ(flipped16(e, 8), 0u);
    }
  }
  EXPECT_EQ(seen, chain);
  EXPECT_EQ(u32(px.bytes, 0x06), entries);
  EXPECT_EQ(px.bytes[0x2C], db.bytes[0x2D]);
}

TEST(BuilderLayout, KeyedRowsComeOutSortedAndUnkeyedInGivenOrder) {
  const std::vector<std::string> codes = {"2005_003", "2004_001", "2005_001", "2003_009"};
  TableBuilder keyed({{"SIRKET_KOD", T::kAlpha, 8}, {"KISA_AD", T::kAlpha, 30}});
  TableBuilder plain({{"SIRKET_KOD", T::kAlpha, 8}, {"KISA_AD", T::kAlpha, 30}});
  keyed.keyed(1);
  for (const auto& c : codes) {
    keyed.row({Variant{c}});
    plain.row({Variant{c}});
  }
  const fs::path dir = tempDir("order");
  keyed.write(dir / "sirket.db");
  plain.write(dir / "plain.db");
  const auto keyOf = [](const std::string& r) { return std::string(r.c_str()); };
  std::vector<std::string> got;
  for (const auto& r : load(dir / "sirket.db").records(1)) got.push_back(keyOf(r));
  EXPECT_EQ(got, (std::vector<std::string>{"2003_009", "2004_001", "2005_001", "2005_003"}));
  got.clear();
  for (const auto& r : load(dir / "plain.db").records(1)) got.push_back(keyOf(r));
  EXPECT_EQ(got, codes);
  EXPECT_TRUE(fs::exists(dir / "sirket.px"));
  EXPECT_FALSE(fs::exists(dir / "plain.px"));
}

TEST(BuilderLayout, SecondaryIndexPointsAtTheBlockOfEachRecord) {
  TableBuilder b = wideMovements();
  b.secondaryIndex("CARIKOD").compositeIndex("unvan", {"ACIKLAMA"}, true).changeCounters(7, 3);
  b.withValFile();
  for (int i = 0; i < 40; ++i) {
    b.row({Variant{}, Variant{"320." + std::to_string(39 - i)},
           Variant{std::string(i % 2 ? "gıda" : "Gıda") + std::to_string(i % 3)}});
  }
  const fs::path dir = tempDir("xnn");
  b.write(dir / "Char.DB");
  const BlockFile db = load(dir / "Char.DB");
  std::map<std::int64_t, unsigned> blockOfKey;
  for (unsigned n : db.chain()) {
    for (const auto& r : db.records(n)) blockOfKey[flipped32(r, 0)] = n;
  }

  const BlockFile x = load(dir / "Char.X02");  // CARIKOD is field 2
  EXPECT_EQ(x.bytes[4], 5);
  EXPECT_EQ(x.recordSize, 30u + 4u + 2u);
  EXPECT_EQ(x.bytes[0x15], 2);
  EXPECT_EQ(static_cast<unsigned char>(x.bytes[0x2F]), 7u) << "table change counter";
  EXPECT_EQ(static_cast<unsigned char>(x.bytes[0x2E]), 3u) << "table structure counter";
  std::string previous;
  std::size_t count = 0;
  for (unsigned n : x.chain()) {
    for (const auto& e : x.records(n)) {
      ++count;
      EXPECT_LT(previous, e.substr(0, 34));
      previous = e.substr(0, 34);
      EXPECT_EQ(flipped16(e, 34), blockOfKey.at(flipped32(e, 30)));
    }
  }
  EXPECT_EQ(count, 40u);
  const BlockFile y = load(dir / "Char.Y02");
  EXPECT_EQ(y.bytes[4], 4);
  EXPECT_EQ(y.bytes[0x2C], x.bytes[0x2D]);
  const auto yEntries = y.records(u16(y.bytes, 0x1E));
  EXPECT_EQ(yEntries.front().substr(0, 34), x.records(1).front().substr(0, 34));
  EXPECT_EQ(flipped16(yEntries.front(), 34), 1u) << "child block";
  EXPECT_EQ(flipped16(yEntries.front(), 38), 0u) << "third word as in .PX";

  // The case-insensitive composite index stores upper-cased keys.
  const BlockFile xg = load(dir / "Char.XG0");
  EXPECT_EQ(xg.bytes[4], 8);
  std::set<std::string> keys;
  for (unsigned n : xg.chain()) {
    for (const auto& e : xg.records(n)) keys.insert(std::string(e.c_str()));
  }
  // The plain driver upper-cases ASCII letters and leaves the dotless ı.
  EXPECT_EQ(keys, (std::set<std::string>{"G\xFD"
                                         "DA0",
                                         "G\xFD"
                                         "DA1",
                                         "G\xFD"
                                         "DA2"}));
  EXPECT_NE(xg.bytes.find(std::string("unvan\0", 6)), std::string::npos);
  EXPECT_TRUE(fs::exists(dir / "Char.YG0"));
  EXPECT_EQ(readFileBytes(dir / "Char.VAL")[0], 3);
}

TEST(BuilderLayout, BlobsLiveInLeaderSubAllocatedOrSingleBlocks) {
  const std::string shortText = "kısa not";
  const std::string mid(700, 'o');
  std::string big;
  for (int i = 0; i < 6000; ++i) big += static_cast<char>('a' + i % 26);
  TableBuilder b({{"NO", T::kAutoInc}, {"NOT", T::kMemo, 50}, {"RESIM", T::kBlob, 20}});
  b.keyed(1).row({Variant{}, Variant{shortText}}).row({Variant{}, Variant{mid}});
  b.row({Variant{}, Variant{}, Variant{Variant::Bytes{big}}});
  const fs::path dir = tempDir("mb");
  b.write(dir / "Cari.DB");
  const BlockFile db = load(dir / "Cari.DB");
  const std::string mb = readFileBytes(dir / "Cari.MB");
  const auto recs = db.records(1);
  ASSERT_EQ(recs.size(), 3u);

  // Leader only: offset 0, the length, no modification number.
  const std::string r0 = recs[0];
  EXPECT_EQ(r0.substr(4, 9), std::string("k\xFDsa not\0", 9));
  EXPECT_EQ(u32(r0, 4 + 40), 0u);
  EXPECT_EQ(u32(r0, 4 + 44), 8u);  // bytes in the code page

  // Sub-allocated: slot in a type-3 block, data at offset/16 paragraphs.
  const std::string r1 = recs[1];
  EXPECT_EQ(r1.substr(4, 40), mid.substr(0, 40));
  const std::uint32_t p1 = u32(r1, 44);
  ASSERT_NE(p1 & 0xFF, 0xFFu);
  const std::size_t blk = p1 & ~0xFFu;
  EXPECT_EQ(mb[blk], 3);
  const std::size_t slot = blk + 12 + 5 * (p1 & 0xFF);
  const unsigned paragraphs = static_cast<unsigned char>(mb[slot + 1]);
  const unsigned rest = static_cast<unsigned char>(mb[slot + 4]);
  EXPECT_EQ((paragraphs - 1) * 16 + rest, mid.size());
  EXPECT_EQ(mb.substr(blk + 16 * static_cast<unsigned char>(mb[slot]), mid.size()), mid);

  // Single block: type 2 with its length, the data after a 9-byte head.
  const std::string r2 = recs[2];
  const std::uint32_t p2 = u32(r2, 4 + 50 + 10);
  EXPECT_EQ(p2 & 0xFF, 0xFFu);
  const std::size_t blk2 = p2 & ~0xFFu;
  EXPECT_EQ(mb[blk2], 2);
  EXPECT_EQ(u32(mb, blk2 + 3), big.size());
  EXPECT_EQ(mb.substr(blk2 + 9, big.size()), big);
  EXPECT_EQ(u32(r2, 4 + 50 + 14), big.size());
}

TEST(BuilderLayout, AutoIncrementContinuesAfterTheHighestNumber) {
  TableBuilder b({{"KAYIT", T::kAutoInc}, {"EVRAK", T::kAlpha, 20}});
  b.keyed(1).row({Variant{std::int64_t{40}}}).row({}).row({Variant{std::int64_t{7}}}).row({});
  const fs::path dir = tempDir("autoinc");
  b.write(dir / "ceksen.DB");
  std::vector<std::int64_t> keys;
  const BlockFile db = load(dir / "ceksen.DB");
  for (const auto& r : db.records(1)) keys.push_back(flipped32(r, 0));
  EXPECT_EQ(keys, (std::vector<std::int64_t>{7, 40, 41, 42}));
  EXPECT_EQ(u32(db.bytes, 0x49), 42u);

  TableBuilder c({{"KAYIT", T::kAutoInc}});
  c.keyed(1).autoIncrementNext(500).row({});
  c.write(dir / "other.DB");
  EXPECT_EQ(u32(readFileBytes(dir / "other.DB"), 0x49), 500u);
}

TEST(BuilderLayout, HeaderCarriesVersionCodePageAndSortOrder) {
  TableBuilder b({{"KOD", T::kAlpha, 8}});
  b.versionId(9).codePage(1254).sortOrder("ANSIINTL").rawOrder().keyed(1);
  b.row({Variant{"b"}}).row({Variant{"a"}});
  const fs::path dir = tempDir("header");
  b.write(dir / "t.db");
  const std::string h = readFileBytes(dir / "t.db");
  EXPECT_EQ(h[0x39], 9);
  EXPECT_EQ(u16(h, 0x6A), 1254u);
  EXPECT_EQ(static_cast<unsigned char>(h[0x29]), 0x62u);
  EXPECT_EQ(u16(h, 0x02), 0x800u);
  EXPECT_EQ(h[0x78], 0x01);  // descriptors at 0x78 from version 5
  EXPECT_EQ(h[0x79], 8);
  EXPECT_NE(h.find(std::string("KOD\0\x01\0ANSIINTL\0", 15)), std::string::npos);
  // Raw order keeps the rows as given.
  EXPECT_EQ(load(dir / "t.db").records(1).front()[0], 'b');

  TableBuilder old({{"KOD", T::kAlpha, 8}});
  old.versionId(3).row({Variant{"x"}});
  old.write(dir / "old.db");
  const std::string o = readFileBytes(dir / "old.db");
  EXPECT_EQ(o[0x58], 0x01) << "descriptors at 0x58 in 3.x";
  EXPECT_EQ(u16(o, 0x02), 0x58u + 2 + 4 + 4 + 79 + 4) << "3.x header not padded";
}

TEST(BuilderLayout, TextIsCutToItsField) {
  TableBuilder b({{"KTBTR", T::kAlpha, 6}, {"PARABIRIMI", T::kAlpha, 20}});
  b.row({Variant{"Alacak"}, Variant{"Yeni Türk Lirası ve kuruş fazlası"}});
  const fs::path dir = tempDir("cut");
  b.write(dir / "Cari.DB");
  const std::string r = load(dir / "Cari.DB").records(1).front();
  EXPECT_EQ(r.substr(0, 6), "Alacak");
  EXPECT_EQ(r.substr(6, 20), "Yeni T\xFCrk Liras\xFD ve ");
}

// ---- Refusals ----

TEST(BuilderRefuses, DuplicateKeys) {
  TableBuilder b({{"SIRKET_KOD", T::kAlpha, 8}});
  b.keyed(1).row({Variant{"2005_001"}}).row({Variant{"2005_001"}});
  EXPECT_THROW(b.write(tempDir("dup") / "sirket.db"), std::invalid_argument);
}

TEST(BuilderRefuses, AlphaKeysInASortOrderItCannotReproduce) {
  TableBuilder b({{"SIRKET_KOD", T::kAlpha, 8}});
  b.keyed(1).sortOrder("ANSIINTL").row({Variant{"a"}});
  EXPECT_THROW(b.write(tempDir("sort") / "sirket.db"), std::invalid_argument);
}

TEST(BuilderRefuses, ValuesOfTheWrongTypeNamingTheColumn) {
  TableBuilder b({{"TUTAR", T::kNumber}});
  b.row({Variant{"on"}});
  try {
    b.write(tempDir("type") / "t.db");
    FAIL() << "no exception";
  } catch (const std::invalid_argument& e) {
    EXPECT_NE(std::string(e.what()).find("TUTAR"), std::string::npos);
  }
}

TEST(BuilderRefuses, RecordsWiderThanTheChosenBlock) {
  TableBuilder b({{"A", T::kAlpha, 255},
                  {"B", T::kAlpha, 255},
                  {"C", T::kAlpha, 255},
                  {"D", T::kAlpha, 255},
                  {"E", T::kAlpha, 255}});
  b.blockSizeKiB(1);
  EXPECT_THROW(b.write(tempDir("wide") / "t.db"), std::invalid_argument);
}

TEST(BuilderRefuses, RowsOutOfKeyOrderWhenStreaming) {
  TableSpec spec;
  spec.columns = {{"KAYIT", T::kLong}};
  spec.keyFields = 1;
  TableWriter w(spec, tempDir("stream") / "t.db");
  w.append({Variant{std::int64_t{2}}});
  EXPECT_THROW(w.append({Variant{std::int64_t{1}}}), std::invalid_argument);
}

}  // namespace
}  // namespace fixture
