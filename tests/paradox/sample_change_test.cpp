// The BDE's own keyed tables, changed by the engine: every other record
// deleted, a record appended; the indexes stay consistent with the data and
// the remaining values read as before.
#include <gtest/gtest.h>

#include <sstream>

#include "dump.h"
#include "engine_fixture.h"
#include "paradox/check.h"
#include "paradox/errors.h"
#include "paradox/header.h"
#include "paradox/table.h"

namespace {

using namespace enginetest;

std::vector<std::string> rowsOf(const fs::path& db) {
  std::ostringstream out;
  dumpTable(db, "t", 0, out);
  std::vector<std::string> rows;
  std::istringstream in(out.str());
  for (std::string line; std::getline(in, line);)
    if (line.rfind("  [", 0) == 0) {
      if (line.back() == ',') line.pop_back();
      rows.push_back(line);
    }
  return rows;
}

std::vector<std::string> keyedSamples() {
  std::vector<std::string> out;
  if (!haveSamples()) return out;
  for (const auto& e : fs::recursive_directory_iterator(samplesDir())) {
    std::string ext = e.path().extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext != ".px") continue;
    for (const auto& d : fs::directory_iterator(e.path().parent_path())) {
      std::string de = d.path().extension().string();
      for (char& c : de) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      if (de == ".db" && d.path().stem() == e.path().stem())
        out.push_back(fs::relative(d.path(), samplesDir()).string());
    }
  }
  std::sort(out.begin(), out.end());
  return out;
}

TEST(SampleChanges, DeleteEveryOtherRecordAndAppendKeepIndexesValid) {
  if (!haveSamples()) GTEST_SKIP() << "sample tables not found at " << samplesDir();
  const auto samples = keyedSamples();
  ASSERT_GT(samples.size(), 30u);
  int appended = 0;
  for (const std::string& s : samples) {
    SCOPED_TRACE(s);
    TempDir dir;
    const fs::path db = copySample(s, dir.path());
    const auto before = rowsOf(db);
    {
      auto t = pdx::Table::open(db, {false, 437});
      t->first();
      while (!t->eof()) {
        t->remove();
        if (!t->eof()) t->next();
      }
    }
    auto problems = pdx::checkTable(db);
    ASSERT_TRUE(problems.empty()) << problems.front();
    std::vector<std::string> kept;
    for (std::size_t i = 1; i < before.size(); i += 2) kept.push_back(before[i]);
    EXPECT_EQ(rowsOf(db), kept);

    // Append a record with the next number in a single numeric key.
    auto t = pdx::Table::open(db, {false, 437});
    const auto& key = t->fields()[0];
    const bool numeric = key.type == pdx::FieldType::kLong || key.type == pdx::FieldType::kShort ||
                         key.type == pdx::FieldType::kAutoInc ||
                         key.type == pdx::FieldType::kNumber;
    if (t->keyFieldCount() != 1 || !numeric) continue;
    std::int64_t top = 0;
    for (t->first(); !t->eof(); t->next()) top = std::max(top, t->asInteger(0));
    t->append();
    t->setInteger(0, top + 1);
    t->post();
    t->flush();
    t.reset();
    problems = pdx::checkTable(db);
    ASSERT_TRUE(problems.empty()) << problems.front();
    EXPECT_EQ(rowsOf(db).size(), kept.size() + 1);
    ++appended;
  }
  EXPECT_GT(appended, 10);
}

}  // namespace
