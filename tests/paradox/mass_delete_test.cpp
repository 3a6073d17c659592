// Deletes made before any other change are only marked until the next
// change or flush, which writes the remaining records packed. These tests
// mix marked deletes with the changes that end them and check that every
// record lands where the cursor said, that the packed file is sound for our
// checker and for pxlib, and that it is smaller.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>

#include "engine_fixture.h"
#include "movements.h"
#include "paradox/check.h"
#include "paradox/errors.h"
#include "paradox/header.h"
#include "paradox/table.h"
#include "support/pxlib_reader.h"

namespace {

using namespace enginetest;

struct Row {
  std::int64_t key;
  std::string account;
  double amount;
  std::string memo;
  bool operator==(const Row&) const = default;
};

std::vector<Row> readRows(const fs::path& db) {
  std::vector<Row> rows;
  auto t = pdx::Table::open(db);
  for (t->first(); !t->eof(); t->next())
    rows.push_back({t->asInteger(0), t->asString(1), t->asFloat(2), t->asString(6)});
  return rows;
}

std::string memoOf(int i) {
  if (i % 3 != 0) return "";
  return i % 9 == 0 ? std::string(300 + i, 'x') : "not " + std::to_string(i);
}

Row original(int i) {
  return {i, accountOf(i), i * 1.5, memoOf(i)};
}

void expectSound(const fs::path& db, const std::vector<Row>& want) {
  const auto problems = pdx::checkTable(db);
  EXPECT_TRUE(problems.empty()) << problems.front();
  EXPECT_EQ(readRows(db), want);
  if (!fixture::pxlib::available()) return;
  const auto read = fixture::pxlib::read(db);
  ASSERT_EQ(read.rows.size(), want.size());
  for (std::size_t r = 0; r < want.size(); ++r) {
    EXPECT_EQ(std::get<std::int64_t>(read.rows[r][0].value), want[r].key);
    EXPECT_EQ(std::get<std::string>(read.rows[r][1].value), want[r].account);
  }
}

TEST(MarkedDeletes, FilteredMassDeletePacksTheTableAndItsIndexes) {
  TempDir dir;
  const fs::path db = dir / "Char.DB";
  movements(3000).write(db);
  const auto before = fs::file_size(db);
  std::vector<Row> want;
  for (int i = 1; i <= 3000; i += 10) want.push_back(original(i));  // odd and "Kasada"
  {
    auto t = pdx::Table::open(db);
    t->setFilter("TAKSIT <> TRUE OR EVRAKDURUM <> 'Kasada'");
    t->setFiltered(true);
    EXPECT_EQ(t->recordCount(), 2700u);
    while (!t->eof()) t->remove();
    t->setFiltered(false);
    EXPECT_EQ(t->recordCount(), 300u);
    t->first();
    EXPECT_EQ(t->asInteger(0), 1);
  }
  expectSound(db, want);
  const pdx::TableHeader h = pdx::readHeader(db);
  const int blocks = (300 + h.maxRecordsPerBlock() - 1) / h.maxRecordsPerBlock();
  EXPECT_EQ(h.fileBlocks, blocks);
  EXPECT_EQ(h.usedBlocks, blocks);
  EXPECT_EQ(h.freeHead, 0);
  EXPECT_EQ(fs::file_size(db), h.blockOffset(blocks + 1));
  EXPECT_LT(fs::file_size(db) * 5, before);
}

TEST(MarkedDeletes, EditAfterDeletesWritesTheRecordUnderTheCursor) {
  TempDir dir;
  const fs::path db = dir / "Char.DB";
  movements(400).write(db);
  std::vector<Row> want;
  {
    auto t = pdx::Table::open(db);
    for (t->first(); !t->eof();) {
      const std::int64_t k = t->asInteger(0);
      if (k % 5 != 0) {
        t->remove();
        continue;
      }
      if (k == 250) {
        // The deletes so far are written out here; the edit must reach 250.
        t->edit();
        t->setFloat(2, -1.25);
        t->setString(6, "changed after deletes");
        t->post();
        EXPECT_EQ(t->asInteger(0), 250);
      }
      want.push_back(original(static_cast<int>(k)));
      t->next();
    }
    for (Row& r : want)
      if (r.key == 250) r = {250, accountOf(250), -1.25, "changed after deletes"};
  }
  expectSound(db, want);
}

TEST(MarkedDeletes, InsertsAndMoreDeletesAfterMarkedOnes) {
  TempDir dir;
  const fs::path db = dir / "Char.DB";
  movements(300).write(db);
  {
    auto t = pdx::Table::open(db);
    t->setFilter("TAKSIT = TRUE");
    t->setFiltered(true);
    while (!t->eof()) t->remove();  // the odd records, marked
    t->setFiltered(false);
    t->insert();  // ends the marking: keyed, so it goes by its key
    t->setInteger(0, 151);
    t->setString(1, accountOf(151));
    t->setFloat(2, 151 * 1.5);
    t->post();
    EXPECT_EQ(t->asInteger(0), 151);
    t->first();
    t->remove();  // a delete in the shadow from here on
    EXPECT_EQ(t->asInteger(0), 4);
  }
  std::vector<Row> want;
  for (int i = 4; i <= 300; i += 2) {
    want.push_back(original(i));
    if (i == 150) want.push_back({151, accountOf(151), 151 * 1.5, ""});
  }
  expectSound(db, want);
}

TEST(MarkedDeletes, UnkeyedInsertAfterDeletesGoesBeforeTheCurrentRecord) {
  TempDir dir;
  const fs::path db = dir / "Char.DB";
  movements(200, false).write(db);
  {
    auto t = pdx::Table::open(db);
    for (t->first(); t->asInteger(0) != 120;) t->remove();
    t->insert();
    t->setInteger(0, 999);
    t->post();
    t->append();
    t->setInteger(0, 1000);
    t->post();
  }
  std::vector<std::int64_t> got;
  auto t = pdx::Table::open(db);
  for (t->first(); !t->eof(); t->next()) got.push_back(t->asInteger(0));
  std::vector<std::int64_t> want{999};
  for (int i = 120; i <= 200; ++i) want.push_back(i);
  want.push_back(1000);
  EXPECT_EQ(got, want);
  EXPECT_TRUE(pdx::checkTable(db).empty());
}

TEST(MarkedDeletes, NothingIsWrittenUntilTheFlush) {
  TempDir dir;
  const fs::path db = dir / "Char.DB";
  movements(500).write(db);
  const auto bytes = readAll(db);
  auto t = pdx::Table::open(db);
  for (t->first(); !t->eof();) t->remove();
  EXPECT_TRUE(t->isEmpty());
  EXPECT_EQ(readAll(db), bytes);
  EXPECT_FALSE(fs::exists(dir / ".Char.DB.new~"));
  t->flush();
  expectSound(db, {});
  EXPECT_EQ(pdx::readHeader(db).fileBlocks, 0);
}

// The secondary indexes of a commit are written side by side: one that
// cannot be written (a .Ynn that does not fit its .Xnn) fails the commit,
// and no file of the family changes, whichever index finished first.
TEST(MarkedDeletes, AnIndexThatCannotBeWrittenLeavesTheWholeFamilyAsItWas) {
  TempDir dir;
  const fs::path db = dir / "Char.DB";
  movements(2000).secondaryIndex("EVRAKDURUM").write(db);
  std::vector<fs::path> ys;
  for (const auto& e : fs::directory_iterator(dir.path()))
    if (e.path().extension().string().rfind(".Y", 0) == 0) ys.push_back(e.path());
  ASSERT_EQ(ys.size(), 2u);
  std::sort(ys.begin(), ys.end());
  auto y = readAll(ys.back());
  y[0] = static_cast<unsigned char>(y[0] + 1);  // the entry size
  writeAll(ys.back(), y);
  std::map<fs::path, std::vector<unsigned char>> before;
  for (const auto& e : fs::directory_iterator(dir.path())) before[e.path()] = readAll(e.path());
  auto t = pdx::Table::open(db);
  t->setFilter("EVRAKDURUM <> 'Kasada'");
  t->setFiltered(true);
  while (!t->eof()) t->remove();
  EXPECT_THROW(t->flush(), EDBEngineError);
  std::map<fs::path, std::vector<unsigned char>> after;
  for (const auto& e : fs::directory_iterator(dir.path())) after[e.path()] = readAll(e.path());
  EXPECT_EQ(after, before);
}

// After a mass delete the secondary index keeps its surviving entries, each
// pointing at the block its record now has, found by primary key: keys of
// every width the lookup treats apart (two, four and eight bytes, wider,
// and made of two fields).
struct KeyShape {
  const char* name;
  std::vector<fixture::Column> keys;
  std::function<std::vector<Variant>(int)> keyOf;
};

class MassDeleteKeys : public ::testing::TestWithParam<KeyShape> {};

TEST_P(MassDeleteKeys, SecondaryEntriesPointAtTheRecordsNewBlocks) {
  using T = pdx::FieldType;
  const KeyShape& shape = GetParam();
  std::vector<fixture::Column> fields = shape.keys;
  fields.push_back({"GRUP", T::kAlpha, 8});
  fields.push_back({"TUTAR", T::kNumber});
  fixture::TableBuilder b(fields);
  b.blockSizeKiB(1).keyed(static_cast<int>(shape.keys.size())).secondaryIndex("GRUP");
  constexpr int kRows = 1500;
  for (int i = 0; i < kRows; ++i) {
    std::vector<Variant> row = shape.keyOf(i);
    row.push_back(Variant{"G" + std::to_string(i % 13)});
    row.push_back(Variant{i * 0.5});
    b.row(row);
  }
  TempDir dir;
  const fs::path db = dir / "Char.DB";
  b.write(db);
  std::multiset<double> kept;
  for (int i = 0; i < kRows; ++i)
    if (i % 13 == 3 || i % 13 == 7) kept.insert(i * 0.5);
  {
    auto t = pdx::Table::open(db);
    t->setFilter("GRUP <> 'G3' AND GRUP <> 'G7'");
    t->setFiltered(true);
    while (!t->eof()) t->remove();
  }
  std::vector<std::string> notes;
  const auto problems = pdx::checkTable(db, &notes);
  EXPECT_TRUE(problems.empty()) << problems.front();
  EXPECT_TRUE(notes.empty()) << notes.front();  // every block hint names the record's block
  std::multiset<double> got;
  auto t = pdx::Table::open(db);
  const int amount = static_cast<int>(shape.keys.size()) + 1;
  for (t->first(); !t->eof(); t->next()) got.insert(t->asFloat(amount));
  EXPECT_EQ(got, kept);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, MassDeleteKeys,
    ::testing::Values(
        KeyShape{"short",
                 {{"NO", pdx::FieldType::kShort}},
                 [](int i) { return std::vector<Variant>{Variant{std::int64_t{i - 700}}}; }},
        KeyShape{"autoinc",
                 {{"KAYIT", pdx::FieldType::kAutoInc}},
                 [](int i) { return std::vector<Variant>{Variant{std::int64_t{i + 1}}}; }},
        KeyShape{"number",
                 {{"NO", pdx::FieldType::kNumber}},
                 [](int i) { return std::vector<Variant>{Variant{i * -2.25}}; }},
        KeyShape{"alpha",
                 {{"KOD", pdx::FieldType::kAlpha, 12}},
                 [](int i) { return std::vector<Variant>{Variant{"120." + std::to_string(i)}}; }},
        KeyShape{"twofields",
                 {{"YIL", pdx::FieldType::kShort}, {"KOD", pdx::FieldType::kAlpha, 6}},
                 [](int i) {
                   return std::vector<Variant>{Variant{std::int64_t{2000 + i % 7}},
                                               Variant{std::to_string(i)}};
                 }}),
    [](const ::testing::TestParamInfo<KeyShape>& p) { return std::string(p.param.name); });

}  // namespace
