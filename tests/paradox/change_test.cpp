// Delete, insert, append and key changes on keyed tables with a secondary
// index and a memo, in 1 KiB blocks so that blocks split, empty and relink;
// after each, our checker and pxlib agree with the expected rows.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine_fixture.h"
#include "movements.h"
#include "paradox/check.h"
#include "paradox/errors.h"
#include "paradox/table.h"
#include "support/expect_unchanged.h"
#include "support/pxlib_reader.h"

namespace {

using namespace enginetest;

// Record numbers of the table in table order, read by the engine and by
// pxlib; the structure and every index checked.
void expectRows(const fs::path& db, const std::vector<std::int64_t>& want) {
  const auto problems = pdx::checkTable(db);
  EXPECT_TRUE(problems.empty()) << problems.front();
  std::vector<std::int64_t> got;
  auto t = pdx::Table::open(db);
  EXPECT_EQ(t->recordCount(), want.size());
  for (t->first(); !t->eof(); t->next()) got.push_back(t->asInteger(0));
  EXPECT_EQ(got, want);
  if (!fixture::pxlib::available()) return;
  const auto read = fixture::pxlib::read(db);
  std::vector<std::int64_t> oracle;
  for (const auto& row : read.rows) oracle.push_back(std::get<std::int64_t>(row[0].value));
  EXPECT_EQ(oracle, want);
}

std::vector<std::int64_t> range(int from, int to) {
  std::vector<std::int64_t> v;
  for (int i = from; i <= to; ++i) v.push_back(i);
  return v;
}

TEST(KeyedChanges, DeleteEveryOtherRecord) {
  TempDir dir;
  const fs::path db = dir / "Char.DB";
  movements(300).write(db);
  {
    auto t = pdx::Table::open(db);
    t->first();
    while (!t->eof()) {
      t->remove();  // now on the next record: keep it
      if (!t->eof()) t->next();
    }
  }
  std::vector<std::int64_t> want;
  for (int i = 2; i <= 300; i += 2) want.push_back(i);
  expectRows(db, want);
  auto t = pdx::Table::open(db);
  for (t->first(); !t->eof(); t->next()) {
    const int i = static_cast<int>(t->asInteger(0));
    EXPECT_EQ(t->asString(1), accountOf(i));
    if (i % 3 == 0) {
      EXPECT_EQ(t->asString(6).size(), i % 9 == 0 ? 300u + i : ("not " + std::to_string(i)).size());
    }
  }
}

TEST(KeyedChanges, DeleteEverythingLeavesAnEmptyTableThatGrowsAgain) {
  TempDir dir;
  const fs::path db = dir / "Char.DB";
  movements(120).write(db);
  {
    auto t = pdx::Table::open(db);
    for (t->first(); !t->eof();) t->remove();
    EXPECT_TRUE(t->isEmpty());
    t->flush();
    expectRows(db, {});
    t->append();
    t->setString(1, "320.01");
    t->post();
  }
  expectRows(db, {121});  // the counter kept its last value
}

TEST(KeyedChanges, InsertGoesToItsKeyPlaceAndSplitsBlocks) {
  TempDir dir;
  const fs::path db = dir / "Char.DB";
  movements(200).write(db);
  {
    auto t = pdx::Table::open(db);
    for (t->first(); !t->eof();) {  // drop the multiples of 10
      if (t->asInteger(0) % 10 == 0)
        t->remove();
      else
        t->next();
    }
    t->flush();
    std::vector<int> keys;
    for (int k = 10; k <= 200; k += 10) keys.push_back(k);
    std::sort(keys.begin(), keys.end(), [](int a, int b) { return a * 7 % 23 < b * 7 % 23; });
    for (int key : keys) {  // and put them back, out of order
      t->insert();
      t->setInteger(0, key);
      t->setString(1, accountOf(key));
      t->setFloat(2, key * 1.5);
      t->post();
      EXPECT_EQ(t->asInteger(0), key);  // the cursor is on the new record
    }
  }
  expectRows(db, range(1, 200));
}

TEST(KeyedChanges, AppendGetsTheNextAutoIncrement) {
  TempDir dir;
  const fs::path db = dir / "sirket.db";
  movements(50).write(db);
  {
    auto t = pdx::Table::open(db);
    for (int k = 0; k < 3; ++k) {
      t->append();
      t->setString(1, "600.01");
      t->post();
    }
  }
  expectRows(db, range(1, 53));
  const auto bytes = readAll(db);
  EXPECT_EQ(bytes[0x49] | (bytes[0x4A] << 8), 53);  // the last number issued
}

TEST(KeyedChanges, AppendingPastFullBlocksStartsNewOnes) {
  TempDir dir;
  const fs::path db = dir / "Char.DB";
  movements(5).write(db);
  {
    auto t = pdx::Table::open(db);
    for (int k = 0; k < 250; ++k) {
      t->append();
      t->setString(1, accountOf(k));
      t->post();
    }
  }
  expectRows(db, range(1, 255));
  // Appended blocks are full: 1 KiB blocks of 61-byte records hold 16.
  const auto bytes = readAll(db);
  EXPECT_EQ(bytes[0x0A] | (bytes[0x0B] << 8), (255 + 15) / 16);
}

TEST(KeyedChanges, DuplicateKeyIsRefusedAndWritesNothing) {
  TempDir dir;
  const fs::path db = dir / "Char.DB";
  movements(40).write(db);
  const fixture::UnchangedDir guard(dir.path());
  {
    auto t = pdx::Table::open(db);
    t->insert();
    t->setInteger(0, 17);
    try {
      t->post();
      FAIL() << "duplicate key posted";
    } catch (const EDBEngineError& e) {
      EXPECT_EQ(e.code(), EDBEngineError::Code::kKeyViolation);
    }
    t->cancel();
    t->first();
    t->next();
    t->edit();
    t->setInteger(0, 1);  // the key of the first record
    EXPECT_THROW(t->post(), EDBEngineError);
    t->cancel();
  }
  guard.expectUnchanged();
}

TEST(KeyedChanges, EditingTheKeyOrAnIndexedFieldKeepsIndexesValid) {
  TempDir dir;
  const fs::path db = dir / "Char.DB";
  movements(150).write(db);
  {
    auto t = pdx::Table::open(db);
    t->first();
    t->edit();
    t->setInteger(0, 1000);  // first record moves to the end
    t->post();
    EXPECT_EQ(t->asInteger(0), 1000);
    for (t->first(); !t->eof(); t->next()) {
      t->edit();
      t->setString(1, "9" + accountOf(static_cast<int>(t->asInteger(0)) * 7));
      t->post();
    }
  }
  auto want = range(2, 150);
  want.push_back(1000);
  expectRows(db, want);
}

TEST(DeleteCursor, MovesToNextVisibleThenPreviousThenEof) {
  TempDir dir;
  movements(12, false).write(dir / "Char.DB");
  auto t = pdx::Table::open(dir / "Char.DB");
  t->setFilter("TAKSIT = TRUE");  // 1, 3, 5, 7, 9, 11
  t->setFiltered(true);
  t->next();  // on 3
  t->remove();
  EXPECT_EQ(t->asInteger(0), 5);
  t->next();
  t->next();
  t->next();  // on 11, the last visible
  t->remove();
  EXPECT_EQ(t->asInteger(0), 9);
  for (int left : {7, 5, 1}) {
    t->remove();
    EXPECT_FALSE(t->eof());
    EXPECT_EQ(t->asInteger(0), left);
  }
  t->remove();
  EXPECT_TRUE(t->eof());
  EXPECT_THROW(t->remove(), EDBEngineError);
}

TEST(UnkeyedChanges, InsertBeforeCurrentAppendAtEnd) {
  TempDir dir;
  const fs::path db = dir / "Char.DB";
  movements(100, false).write(db);
  {
    auto t = pdx::Table::open(db);
    t->insert();  // freshly opened: first
    t->setInteger(0, 500);
    t->post();
    for (t->first(); t->asInteger(0) != 50; t->next()) {
    }
    t->insert();
    t->setInteger(0, 501);
    t->post();
    t->append();
    t->setInteger(0, 502);
    t->post();
  }
  std::vector<std::int64_t> want{500};
  for (int i = 1; i <= 100; ++i) {
    if (i == 50) want.push_back(501);
    want.push_back(i);
  }
  want.push_back(502);
  expectRows(db, want);
}

TEST(UnkeyedChanges, EditOnAnEmptyTableStartsANewRecord) {
  TempDir dir;
  const fs::path db = dir / "ayar.DB";
  movements(0, false).write(db);
  {
    auto t = pdx::Table::open(db);
    t->first();
    EXPECT_TRUE(t->eof());
    t->edit();
    EXPECT_EQ(t->state(), pdx::EditState::kInsert);
    t->setString(5, "Kasada");
    t->post();
  }
  auto t = pdx::Table::open(db);
  t->first();
  ASSERT_FALSE(t->eof());
  EXPECT_EQ(t->asString(5), "Kasada");
  EXPECT_EQ(t->asInteger(0), 1);
}

TEST(KeyedChanges, UnsupportedSortOrderIsRefusedBeforeWriting) {
  TempDir dir;
  const fs::path db = dir / "Cari.DB";
  using T = pdx::FieldType;
  fixture::TableBuilder({{"CARIKODU", T::kAlpha, 12}, {"UNVAN", T::kAlpha, 30}})
      .keyed(1)
      .sortOrder("SPANISH", 0x33)
      .rawOrder()
      .row({Variant{std::string("120.01")}, Variant{std::string("Ali")}})
      .write(db);
  const auto before = readAll(db);
  auto t = pdx::Table::open(db);
  t->append();
  t->setString(0, "120.02");
  try {
    t->post();
    FAIL() << "posted without the sort order";
  } catch (const EDBEngineError& e) {
    EXPECT_EQ(e.code(), EDBEngineError::Code::kUnsupported);
    const std::string m = e.what();
    EXPECT_NE(m.find("Cari.DB"), std::string::npos) << m;
    EXPECT_NE(m.find("SPANISH"), std::string::npos) << m;
    EXPECT_NE(m.find("primary"), std::string::npos) << m;
  }
  t->cancel();
  t->first();
  t->remove();  // deletes need no order
  t->flush();
  EXPECT_NE(readAll(db), before);
  EXPECT_TRUE(pdx::checkTable(db).empty());
}

}  // namespace
