// Error paths: headers, descriptors and block links corrupted on purpose.
// Each must end in an EDBEngineError that names the file, never a crash or a
// silent misread.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "engine_fixture.h"
#include "movements.h"
#include "paradox/check.h"
#include "paradox/errors.h"
#include "paradox/table.h"

namespace {

using namespace enginetest;
using Code = EDBEngineError::Code;

// Opens the table and reads every field of every record.
void walkAll(const fs::path& db) {
  auto t = pdx::Table::open(db);
  for (t->first(); !t->eof(); t->next())
    for (int f = 0; f < t->fieldCount(); ++f) (void)t->asString(f);
}

struct Corruption {
  const char* name;
  std::size_t offset;  // from the start of the file; kBlock2 + n for block 2
  std::vector<unsigned char> bytes;
  Code expected;
};

constexpr std::size_t kHeader = 0x800;  // version 12 header, 1 KiB blocks
constexpr std::size_t kBlock1 = kHeader;
constexpr std::size_t kBlock2 = kHeader + 1024;

class CorruptTable : public testing::TestWithParam<Corruption> {};

std::string caseName(const testing::TestParamInfo<Corruption>& param) {
  std::string n = param.param.name;
  for (char& ch : n)
    if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return n;
}

TEST_P(CorruptTable, FailsWithAClearError) {
  const Corruption& c = GetParam();
  TempDir dir;
  const fs::path db = dir / "Char.DB";
  movements(60, false, false).write(db);
  auto bytes = readAll(db);
  ASSERT_GT(bytes.size(), kBlock2 + 16);
  for (std::size_t i = 0; i < c.bytes.size(); ++i) bytes[c.offset + i] = c.bytes[i];
  writeAll(db, bytes);
  try {
    walkAll(db);
    FAIL() << c.name << ": no error";
  } catch (const EDBEngineError& e) {
    EXPECT_EQ(e.code(), c.expected) << e.what();
    EXPECT_NE(std::string(e.what()).find("Char.DB"), std::string::npos) << e.what();
  }
  // The checker reports the same damage rather than crashing.
  try {
    EXPECT_FALSE(pdx::checkTable(db).empty());
  } catch (const EDBEngineError& e) {
    EXPECT_NE(e.code(), Code::kIo) << e.what();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Header, CorruptTable,
    testing::Values(Corruption{"record size zero", 0x00, {0, 0}, Code::kCorrupt},
                    Corruption{"header past the end", 0x02, {0xFF, 0xFF}, Code::kCorrupt},
                    Corruption{"header too small", 0x02, {0x10, 0}, Code::kCorrupt},
                    Corruption{"file type of an index", 0x04, {1}, Code::kNotATable},
                    Corruption{"block size 3 KiB", 0x05, {3}, Code::kNotATable},
                    Corruption{"version 2", 0x39, {2}, Code::kNotATable},
                    Corruption{"no fields", 0x21, {0, 0}, Code::kCorrupt},
                    Corruption{"more key fields than fields", 0x23, {50, 0}, Code::kCorrupt},
                    Corruption{"first block past the blocks", 0x0E, {0x40, 0}, Code::kCorrupt},
                    Corruption{"more blocks than the file holds", 0x0C, {0x40, 0}, Code::kCorrupt},
                    Corruption{"encrypted", 0x25, {1, 2, 3, 4}, Code::kEncrypted}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    Descriptors, CorruptTable,
    testing::Values(Corruption{"unknown type code", 0x78, {0x42}, Code::kCorrupt},
                    Corruption{"alpha size off by one", 0x7B, {13}, Code::kCorrupt},
                    Corruption{"memo leader too short", 0x84, {0x0C, 4}, Code::kCorrupt}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    Blocks, CorruptTable,
    testing::Values(
        Corruption{"next block past the end", kBlock1, {0x99, 0}, Code::kCorrupt},
        Corruption{"chain loops to itself", kBlock2, {2, 0}, Code::kCorrupt},
        Corruption{"chain loops back", kBlock2, {1, 0}, Code::kCorrupt},
        Corruption{"more records than the block holds", kBlock1 + 4, {0xF0, 0x7F}, Code::kCorrupt},
        Corruption{"negative record bytes", kBlock1 + 4, {0x00, 0x80}, Code::kCorrupt},
        Corruption{"record bytes not whole records", kBlock1 + 4, {7, 0}, Code::kCorrupt}),
    caseName);

TEST(CorruptFile, TruncatedFilesAreRefused) {
  TempDir dir;
  const fs::path db = dir / "Char.DB";
  movements(60, false, false).write(db);
  const auto whole = readAll(db);
  for (std::size_t size :
       {std::size_t{0}, std::size_t{40}, std::size_t{0x100}, kHeader + 100, kBlock2 + 3}) {
    SCOPED_TRACE(size);
    writeAll(db, {whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size)});
    EXPECT_THROW(walkAll(db), EDBEngineError);
  }
}

TEST(CorruptFile, DamagedChainIsNeverChanged) {
  for (const auto& [name, offset, value] :
       {std::tuple{"revisits a block", kBlock2 + 1024, 2},
        std::tuple{"free list into the chain", std::size_t{0x4D}, 1},
        std::tuple{"last block wrong", std::size_t{0x10}, 2}}) {
    SCOPED_TRACE(name);
    TempDir dir;
    const fs::path db = dir / "Char.DB";
    movements(60, false, false).write(db);
    auto bytes = readAll(db);
    bytes[offset] = static_cast<unsigned char>(value);
    bytes[offset + 1] = 0;
    writeAll(db, bytes);
    try {
      auto t = pdx::Table::open(db);
      t->first();
      t->remove();
      t->flush();
      ADD_FAILURE() << "changed a damaged table";
    } catch (const EDBEngineError& e) {
      EXPECT_EQ(e.code(), Code::kCorrupt) << e.what();
    }
    EXPECT_EQ(readAll(db), bytes);
    EXPECT_FALSE(fs::exists(dir / ".Char.DB.new~"));
  }
}

TEST(CorruptValues, NotANumberIsReportedNotConverted) {
  TempDir dir;
  const fs::path db = dir / "Char.DB";
  movements(3, false, false).write(db);
  auto bytes = readAll(db);
  const std::size_t tutar = kBlock1 + 6 + 16;           // after KAYIT (4) and CARIKODU (12)
  for (int i = 0; i < 8; ++i) bytes[tutar + i] = 0xFF;  // a NaN, as encoded
  writeAll(db, bytes);
  auto t = pdx::Table::open(db);
  t->first();
  EXPECT_TRUE(std::isnan(t->asFloat(2)));
  EXPECT_THROW(t->asInteger(2), EDatabaseError);
  t->edit();
  EXPECT_THROW(t->setFloat(2, std::nan("")), EDatabaseError);
}

TEST(CorruptFile, MissingTableIsNotFound) {
  TempDir dir;
  try {
    pdx::Table::open(dir / "yok.DB");
    FAIL();
  } catch (const EDBEngineError& e) {
    EXPECT_EQ(e.code(), Code::kNotFound);
    EXPECT_NE(std::string(e.what()).find("yok.DB"), std::string::npos);
  }
}

TEST(CorruptFile, EncryptedSamplesAreRefused) {
  if (!haveSamples()) GTEST_SKIP() << "sample tables not found at " << samplesDir();
  for (const char* t :
       {"paradoxdriver/encrypt/encrypted.db", "paradoxdriver/encrypt/encrypted35.db",
        "cran-Rparadox/TypSammlung_encrypted.DB"}) {
    try {
      pdx::Table::open(samplesDir() / t);
      ADD_FAILURE() << t << " opened";
    } catch (const EDBEngineError& e) {
      EXPECT_EQ(e.code(), Code::kEncrypted) << t;
    }
  }
}

}  // namespace
