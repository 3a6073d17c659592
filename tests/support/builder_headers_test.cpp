// The builder against files the BDE wrote: a table of the same structure as
// a real sample gives the same header bytes, but for memory pointers, time
// stamps, counters and the record and block counts; the same rows give the
// same records in the same blocks and the same primary-index leaves.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <set>
#include <vector>

#include "support/fixture_files.h"
#include "support/paradox_builder.h"

namespace fixture {
namespace {

namespace fs = std::filesystem;
using T = pdx::FieldType;

const fs::path kSamples = fs::path(UD_SOURCE_DIR) / ".." / "shared" / "paradox-samples";

unsigned u16(const std::string& b, std::size_t off) {
  return static_cast<unsigned char>(b[off]) | static_cast<unsigned char>(b[off + 1]) << 8;
}

// Offsets whose values are no part of the structure.
std::set<std::size_t> volatileOffsets(const std::string& real) {
  std::set<std::size_t> skip;
  const auto range = [&](std::size_t from, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) skip.insert(from + i);
  };
  range(0x06, 12);  // records, blocks, first and last block
  range(0x12, 2);   // unknown counter
  range(0x16, 8);   // pointers
  range(0x1E, 3);   // index root and levels
  range(0x2C, 2);   // change counters of this file and of its table
  if (real[4] == 5 || real[4] == 8) range(0x2F, 1);  // varies in real .Xnn files
  range(0x30, 8);                                    // pointers
  range(0x3A, 2);                                    // blocks
  range(0x49, 4);                                    // auto-increment / unknown in index files
  const int type = real[4];
  const bool data = type != 1 && type != 4 && type != 7;
  const std::size_t descriptors = data && real[0x39] >= 5 ? 0x78 : 0x58;
  const std::size_t nf = u16(real, 0x21);
  range(descriptors + 2 * nf, 4 + (data ? 4 * nf : 0));  // table-name and field-name pointers
  if (descriptors == 0x78) {
    range(0x60, 4);  // time stamp
    range(0x6C, 1);
    range(0x70, 2);
    if (type == 5 || type == 8) range(0x64, 2);
  }
  return skip;
}

void expectSameStructure(const fs::path& real, const fs::path& mine) {
  const std::string a = readFileBytes(real);
  const std::string b = readFileBytes(mine);
  const std::size_t headerSize = u16(a, 2);
  ASSERT_EQ(u16(b, 2), headerSize) << mine;
  const std::set<std::size_t> skip = volatileOffsets(a);
  std::string diffs;
  for (std::size_t i = 0; i < headerSize; ++i) {
    if (a[i] == b[i] || skip.count(i)) continue;
    char buf[40];
    std::snprintf(buf, sizeof buf, " %04zx:%02x/%02x", i, static_cast<unsigned char>(a[i]),
                  static_cast<unsigned char>(b[i]));
    diffs += buf;
  }
  EXPECT_EQ(diffs, "") << real.filename() << " (offset:real/builder)";
}

fs::path scratch(const std::string& name) {
  const fs::path dir = fs::path(testing::TempDir()) / ("headers_" + name);
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

TEST(BuilderHeaders, KeyedFiveXTableWithSecondaryIndex) {
  const fs::path sample = kSamples / "paradoxdriver" / "joins";
  if (!fs::exists(sample / "fk1.db"))
    GTEST_SKIP() << "the Paradox samples are not beside the checkout";
  const fs::path dir = scratch("fk1");
  TableBuilder b({{"ID", T::kAutoInc}, {"FK", T::kLong}});
  b.keyed(1).versionId(11).codePage(850).blockSizeKiB(2).secondaryIndex("FK");
  b.changeCounters(0xE1, 0x4D);  // .X 0x2E and 0x2F copy these
  b.write(dir / "resttemp.DB");  // the name the BDE keeps inside these headers
  for (const char* ext : {"db", "px", "x02", "y02"}) {
    std::string upper = ext;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    expectSameStructure(sample / (std::string("fk1.") + ext), dir / ("resttemp." + upper));
  }
}

TEST(BuilderHeaders, SevenXTableWithMemoAndAlphaIndex) {
  const fs::path sample = kSamples / "paradoxdriver" / "db";
  if (!fs::exists(sample / "CUSTOMER.DB"))
    GTEST_SKIP() << "the Paradox samples are not beside the checkout";
  const fs::path dir = scratch("customer");
  TableBuilder b({{"CustNo", T::kAutoInc},
                  {"FirstName", T::kAlpha, 51},
                  {"LastName", T::kAlpha, 50},
                  {"EMail", T::kAlpha, 100},
                  {"Street", T::kAlpha, 30},
                  {"City", T::kAlpha, 15},
                  {"State/Prov", T::kAlpha, 20},
                  {"Zip/Postal Code", T::kAlpha, 10},
                  {"Comments", T::kMemo, 110},
                  {"DateEntered", T::kDate}});
  b.keyed(1).versionId(12).codePage(1252).blockSizeKiB(2).sortOrder("ANSII850").rawOrder();
  b.secondaryIndex("City").changeCounters(0x07, 0x8C);
  b.row({Variant{}, Variant{"Luke"}});
  b.write(dir / "resttemp.DB");
  expectSameStructure(sample / "CUSTOMER.DB", dir / "resttemp.DB");
  expectSameStructure(sample / "CUSTOMER.PX", dir / "resttemp.PX");
  expectSameStructure(sample / "CUSTOMER.X06", dir / "resttemp.X06");
  expectSameStructure(sample / "CUSTOMER.Y06", dir / "resttemp.Y06");
}

// The string rows of an expected-values file (texts without escapes).
std::vector<std::vector<Variant>> stringRows(const std::string& json) {
  std::vector<std::vector<Variant>> rows;
  std::size_t at = json.find("\"rows\": [");
  if (at == std::string::npos) return rows;
  at += 9;
  std::vector<Variant>* row = nullptr;
  while (at < json.size()) {
    const char c = json[at];
    if (c == '[') {
      rows.emplace_back();
      row = &rows.back();
      ++at;
    } else if (c == '"') {
      const std::size_t end = json.find('"', at + 1);
      row->push_back(Variant{json.substr(at + 1, end - at - 1)});
      at = end + 1;
    } else if (c == ']' && row == nullptr) {
      break;
    } else {
      if (c == ']') row = nullptr;
      ++at;
    }
  }
  return rows;
}

// Leaf entries of a .PX walked from its root: (first key, block, count).
std::vector<std::string> pxLeaves(const std::string& px) {
  const std::size_t rs = u16(px, 0), hs = u16(px, 2), bs = static_cast<std::size_t>(px[5]) * 1024;
  std::vector<std::string> out;
  const auto walk = [&](auto&& self, unsigned block, int level) -> void {
    const std::size_t base = hs + (block - 1) * bs;
    const int count = static_cast<std::int16_t>(u16(px, base + 4)) / static_cast<int>(rs) + 1;
    for (int k = 0; k < count; ++k) {
      const std::string e = px.substr(base + 6 + static_cast<std::size_t>(k) * rs, rs);
      if (level == 1) {
        out.push_back(e);
      } else {
        self(
            self,
            ((static_cast<unsigned char>(e[rs - 6]) << 8) | static_cast<unsigned char>(e[rs - 5])) ^
                0x8000,
            level - 1);
      }
    }
  };
  walk(walk, u16(px, 0x1E), px[0x20]);
  return out;
}

TEST(BuilderAgainstBde, SameRowsGiveTheSameBlocksAndIndexLeaves) {
  const fs::path sample = kSamples / "paradoxdriver" / "areas";
  if (!fs::exists(sample / "ZIPCODES.DB"))
    GTEST_SKIP() << "the Paradox samples are not beside the checkout";
  std::vector<std::vector<Variant>> rows =
      stringRows(readFileBytes(sample / "ZIPCODES.DB.expected.json"));
  ASSERT_EQ(rows.size(), 43185u);
  TableBuilder b({{"Zip", T::kAlpha, 5}, {"State", T::kAlpha, 2}, {"City", T::kAlpha, 25}});
  b.keyed(1).versionId(9).codePage(437).blockSizeKiB(2);
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) b.row(*it);  // the builder sorts
  const fs::path dir = scratch("zipcodes");
  b.write(dir / "ZIPCODES.DB");

  const std::string real = readFileBytes(sample / "ZIPCODES.DB");
  const std::string mine = readFileBytes(dir / "ZIPCODES.DB");
  ASSERT_EQ(u16(mine, 0x0C), u16(real, 0x0C)) << "blocks";
  const std::size_t hs = u16(real, 2), bs = 2048, rs = 32;
  for (unsigned block = 1; block <= u16(real, 0x0C); ++block) {
    const std::size_t base = hs + (block - 1) * bs;
    const std::size_t used = 6 + (static_cast<std::int16_t>(u16(real, base + 4)) / rs + 1) * rs;
    ASSERT_EQ(mine.substr(base, used), real.substr(base, used)) << "block " << block;
  }
  EXPECT_EQ(pxLeaves(readFileBytes(dir / "ZIPCODES.PX")),
            pxLeaves(readFileBytes(sample / "ZIPCODES.PX")));
}

}  // namespace
}  // namespace fixture
