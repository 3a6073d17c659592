// Headers the builder writes against headers the BDE wrote: a table of the
// same structure as a real sample gives the same bytes, but for memory
// pointers, time stamps, counters and the record and block counts.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <set>

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

}  // namespace
}  // namespace fixture
