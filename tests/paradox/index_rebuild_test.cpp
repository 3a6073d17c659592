// Rebuilding the indexes of unchanged BDE tables gives back the BDE's own
// index files, apart from the change counters and the unused bytes after
// the last entry of each block.
#include <gtest/gtest.h>

#include "engine_fixture.h"
#include "paradox/check.h"
#include "paradox/errors.h"
#include "paradox/index.h"
#include "paradox/table_impl.h"

namespace {

using namespace enginetest;

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// Compares two index files of the same layout: header bytes but the change
// counters, then each block's head and entries.
void expectSameIndex(const fs::path& bde, const fs::path& ours) {
  const auto a = readAll(bde), b = readAll(ours);
  ASSERT_GE(a.size(), 0x60u);
  ASSERT_GE(b.size(), 0x60u);
  const std::size_t headerSize = a[2] | (a[3] << 8);
  const std::size_t recordSize = a[0] | (a[1] << 8);
  const std::size_t blockSize = a[5] * 1024u;
  for (std::size_t i = 0; i < headerSize && i < b.size(); ++i) {
    if (i >= 0x2C && i <= 0x2F) continue;  // change counters
    ASSERT_EQ(a[i], b[i]) << bde.filename() << " header byte " << i;
  }
  const std::size_t blocks = a[0x0C] | (a[0x0D] << 8);
  for (std::size_t n = 0; n < blocks; ++n) {
    const std::size_t at = headerSize + n * blockSize;
    ASSERT_LE(at + 6, b.size());
    const int addData = static_cast<std::int16_t>(a[at + 4] | (a[at + 5] << 8));
    const std::size_t used = 6 + static_cast<std::size_t>(addData + static_cast<int>(recordSize));
    for (std::size_t i = 0; i < used && at + i < a.size(); ++i)
      ASSERT_EQ(a[at + i], b[at + i]) << bde.filename() << " block " << n + 1 << " byte " << i;
  }
}

TEST(IndexRebuild, SingleLevelIndexesOfUnchangedSamplesMatchTheBdesBytes) {
  if (!haveSamples()) GTEST_SKIP() << "sample tables not found at " << samplesDir();
  int compared = 0, sorted = 0;
  for (const auto& e : fs::recursive_directory_iterator(samplesDir())) {
    const std::string ext = lower(e.path().extension().string());
    if (ext != ".px") continue;
    const auto bytes = readAll(e.path());
    if (bytes[0x20] > 1) continue;  // a multi-level tree depends on the BDE's insert history
    fs::path table;
    for (const auto& d : fs::directory_iterator(e.path().parent_path()))
      if (lower(d.path().extension().string()) == ".db" && d.path().stem() == e.path().stem())
        table = d.path();
    SCOPED_TRACE(table.string());
    TempDir dir;
    const fs::path db = copySample(fs::relative(table, samplesDir()).string(), dir.path());
    {
      auto t = pdx::Table::open(db, {false, 437});
      auto& impl = dynamic_cast<pdx::TableImpl&>(*t);
      try {
        pdx::rebuildIndexes(impl, false);  // sorted anew by the sort order
        ++sorted;
      } catch (const EDBEngineError& err) {
        ASSERT_EQ(err.code(), EDBEngineError::Code::kUnsupported) << err.what();
        pdx::rebuildIndexes(impl, true);  // old order kept
      }
    }
    for (const auto& f : fs::directory_iterator(dir.path())) {
      const std::string x = lower(f.path().extension().string());
      if (x == ".px" || (x.size() == 4 && (x[1] == 'x' || x[1] == 'y'))) {
        expectSameIndex(table.parent_path() / f.path().filename(), f.path());
        ++compared;
      }
    }
  }
  EXPECT_GT(compared, 40);
  EXPECT_GT(sorted, 30);
}

}  // namespace

// A block hint that no longer names the record's block is how the BDE leaves
// secondary entries of records that later splits moved: a note, not damage.
// A wrong value in the same entry is damage.
TEST(IndexCheck, StaleBlockHintsAreANoteAndWrongValuesAProblem) {
  if (!haveSamples()) GTEST_SKIP() << "sample tables not found at " << samplesDir();
  TempDir dir;
  const fs::path db = copySample("paradoxdriver/db/CUSTOMER.DB", dir.path());
  const fs::path x = dir / "CUSTOMER.X06";
  auto bytes = readAll(x);
  const std::size_t headerSize = bytes[2] | (bytes[3] << 8);
  const std::size_t recordSize = bytes[0] | (bytes[1] << 8);
  const std::size_t hint = headerSize + 6 + recordSize - 2;  // the first entry's "Blk Num"
  bytes[hint + 1] = static_cast<unsigned char>(bytes[hint + 1] + 9);
  writeAll(x, bytes);
  std::vector<std::string> notes;
  auto problems = pdx::checkTable(db, &notes);
  EXPECT_TRUE(problems.empty()) << problems.front();
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_NE(notes[0].find("CUSTOMER.X06: 1 of 20 entries"), std::string::npos) << notes[0];

  bytes[headerSize + 6] ^= 0x01;  // the first entry's first value byte
  writeAll(x, bytes);
  problems = pdx::checkTable(db, &notes);
  ASSERT_FALSE(problems.empty());
  EXPECT_NE(problems[0].find("disagrees with the data (order or values)"), std::string::npos)
      << problems[0];
}
