// Every sample table written by Paradox and the BDE reads exactly as the
// independent readers found it, and passes the structure check.
#include <gtest/gtest.h>

#include <sstream>

#include "dump.h"
#include "engine_fixture.h"
#include "paradox/check.h"
#include "paradox/errors.h"
#include "paradox/table.h"

namespace {

using namespace enginetest;

std::vector<std::string> sampleTables() {
  std::vector<std::string> out;
  for (const auto& e : fs::recursive_directory_iterator(samplesDir())) {
    const std::string name = e.path().string();
    const std::string suffix = ".expected.json";
    if (name.size() > suffix.size() &&
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
      out.push_back(
          fs::relative(name.substr(0, name.size() - suffix.size()), samplesDir()).generic_string());
  }
  std::sort(out.begin(), out.end());
  return out;
}

TEST(SampleTables, DumpEqualsExpectedValues) {
  if (!haveSamples()) GTEST_SKIP() << "sample tables not found at " << samplesDir();
  const auto tables = sampleTables();
  ASSERT_GT(tables.size(), 90u);
  const fs::path old = fs::current_path();
  fs::current_path(samplesDir());
  for (const std::string& t : tables) {
    SCOPED_TRACE(t);
    std::ostringstream out;
    ASSERT_NO_THROW(dumpTable(t, t, 0, out));
    const auto expected = readAll(t + ".expected.json");
    EXPECT_EQ(out.str(), std::string(expected.begin(), expected.end()));
  }
  fs::current_path(old);
}

TEST(SampleTables, StructureCheckPassesAndEncryptedAreRefused) {
  if (!haveSamples()) GTEST_SKIP() << "sample tables not found at " << samplesDir();
  int encrypted = 0;
  for (const std::string& t : sampleTables()) {
    SCOPED_TRACE(t);
    const fs::path p = samplesDir() / t;
    try {
      const auto problems = pdx::checkTable(p);
      EXPECT_TRUE(problems.empty()) << problems.front();
    } catch (const EDBEngineError& e) {
      EXPECT_EQ(e.code(), EDBEngineError::Code::kEncrypted) << e.what();
      EXPECT_NE(std::string(e.what()).find(p.string()), std::string::npos);
      ++encrypted;
    }
  }
  EXPECT_EQ(encrypted, 6);
}

// Blocks read through the window instead of mappings give the same records.
TEST(SampleTables, ReadingWithoutMappingGivesTheSameRecords) {
  if (!haveSamples()) GTEST_SKIP() << "sample tables not found at " << samplesDir();
  pdx::OpenOptions mapped, copied;
  mapped.readOnly = copied.readOnly = true;
  copied.mapBlocks = false;
  auto text = [](const pdx::Table& t, int f) {
    try {
      return t.asString(f);
    } catch (const EDBEngineError& e) {  // a memo without its .MB, in both
      return std::string(e.what());
    }
  };
  for (const std::string& t : sampleTables()) {
    SCOPED_TRACE(t);
    const fs::path p = samplesDir() / t;
    std::unique_ptr<pdx::Table> a;
    try {
      a = pdx::Table::open(p, mapped);
    } catch (const EDBEngineError&) {
      continue;  // encrypted: see above
    }
    const std::unique_ptr<pdx::Table> b = pdx::Table::open(p, copied);
    std::size_t records = 0;
    for (a->first(), b->first(); !a->eof(); a->next(), b->next(), ++records) {
      ASSERT_FALSE(b->eof());
      for (int f = 0; f < a->fieldCount(); ++f) ASSERT_EQ(text(*a, f), text(*b, f));
    }
    EXPECT_TRUE(b->eof());
    EXPECT_EQ(records, a->recordCount());
  }
}

// Names are found without regard to letter case and without extension.
TEST(SampleTables, OpensByNameInAnyLetterCase) {
  if (!haveSamples()) GTEST_SKIP() << "sample tables not found at " << samplesDir();
  const fs::path dir = samplesDir() / "paradoxdriver" / "areas";
  for (const char* name : {"zipcodes.db", "ZipCodes", "ZIPCODES.DB"}) {
    pdx::OpenOptions o;
    o.readOnly = true;
    auto t = pdx::Table::open(dir / name, o);
    EXPECT_EQ(t->recordCount(), 43185u) << name;
  }
}

}  // namespace
