// Edit and post change exactly the bytes of the fields that changed, and an
// independent reader sees the new values.
#include <gtest/gtest.h>

#include "engine_fixture.h"
#include "movements.h"
#include "paradox/check.h"
#include "paradox/errors.h"
#include "paradox/table.h"
#include "support/pxlib_reader.h"

namespace {

using namespace enginetest;

// Byte offsets at which two files differ.
std::vector<std::size_t> diffOffsets(const std::vector<unsigned char>& a,
                                     const std::vector<unsigned char>& b) {
  std::vector<std::size_t> out;
  for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i)
    if (i >= a.size() || i >= b.size() || a[i] != b[i]) out.push_back(i);
  return out;
}

// Every changed byte lies inside `field` of some record of some block.
void expectOnlyField(const std::vector<std::size_t>& offsets, const pdx::Table& t, int field) {
  const auto& f = t.fields()[static_cast<std::size_t>(field)];
  int recordSize = 0;
  for (const auto& x : t.fields()) recordSize += x.width;
  const auto head = readAll(t.path());
  const std::size_t headerSize = head[2] | (head[3] << 8);
  for (std::size_t o : offsets) {
    ASSERT_GE(o, headerSize) << "header byte " << o << " changed";
    const std::size_t inBlock = (o - headerSize) % static_cast<std::size_t>(t.blockSize());
    ASSERT_GE(inBlock, 6u) << "block header changed at " << o;
    const int inRecord = static_cast<int>((inBlock - 6) % static_cast<std::size_t>(recordSize));
    EXPECT_TRUE(inRecord >= f.offset && inRecord < f.offset + f.width)
        << "byte " << o << " outside " << f.name;
  }
}

TEST(EditPost, SampleTableChangesOnlyTheEditedField) {
  if (!haveSamples()) GTEST_SKIP() << "sample tables not found at " << samplesDir();
  TempDir dir;
  const fs::path db = copySample("paradoxdriver/areas/ZIPCODES.DB", dir.path());
  const auto before = readAll(db);
  std::vector<std::string> cities;
  {
    auto t = pdx::Table::open(db);
    const int city = t->findField("city");
    ASSERT_GE(city, 0);
    for (t->first(); !t->eof(); t->next()) {
      t->edit();
      const std::string c = t->asString(city);
      t->setString(city, c.substr(0, 3) + "*");
      t->post();
      cities.push_back(c.substr(0, 3) + "*");
    }
    t->flush();
    const auto after = readAll(db);
    const auto diff = diffOffsets(before, after);
    EXPECT_FALSE(diff.empty());
    expectOnlyField(diff, *t, city);
  }
  EXPECT_TRUE(pdx::checkTable(db).empty());
  if (!fixture::pxlib::available()) GTEST_SKIP() << "pxlib is not installed";
  const auto read = fixture::pxlib::read(db, 437);
  ASSERT_EQ(read.rows.size(), cities.size());
  for (std::size_t i = 0; i < cities.size(); i += 997)
    EXPECT_EQ(std::get<std::string>(read.rows[i][2].value), cities[i]) << "row " << i;
}

TEST(EditPost, FloatFieldOfEveryRecordReadsBackThroughPxlib) {
  TempDir dir;
  const fs::path db = dir / "Char.DB";
  movements(200, false).write(db);
  const auto before = readAll(db);
  {
    auto t = pdx::Table::open(db);
    const int tutar = t->findField("TUTAR");
    for (t->first(); !t->eof(); t->next()) {
      t->edit();
      t->setFloat(tutar, t->asFloat(tutar) / 1000000.0);
      t->post();
    }
    t->flush();
    expectOnlyField(diffOffsets(before, readAll(db)), *t, tutar);
  }
  if (!fixture::pxlib::available()) GTEST_SKIP() << "pxlib is not installed";
  const auto read = fixture::pxlib::read(db);
  ASSERT_EQ(read.rows.size(), 200u);
  for (int i = 0; i < 200; ++i)
    EXPECT_DOUBLE_EQ(std::get<double>(read.rows[i][2].value), (i + 1) * 1.5 / 1e6);
}

TEST(EditPost, CancelAndUnchangedPostWriteNothing) {
  TempDir dir;
  const fs::path db = dir / "Char.DB";
  movements(30, false).write(db);
  const auto before = readAll(db);
  {
    auto t = pdx::Table::open(db);
    t->first();
    t->edit();
    t->setString(1, "999.99");
    t->cancel();
    EXPECT_EQ(t->asString(1), accountOf(1));
    t->next();
    t->edit();
    t->setString(1, t->asString(1));
    t->post();
  }
  EXPECT_EQ(readAll(db), before);
}

TEST(EditPost, TextIsCutToTheFieldAndFloatsComeFromText) {
  TempDir dir;
  const fs::path db = dir / "Char.DB";
  movements(3, false).write(db);
  auto t = pdx::Table::open(db);
  t->first();
  t->edit();
  t->setString(1, "ÇOK UZUN BİR HESAP KODU");  // 12 bytes in Windows-1254
  t->setString(2, "1234,5");
  t->post();
  EXPECT_EQ(t->asString(1), "ÇOK UZUN BİR");
  EXPECT_EQ(t->asFloat(2), 1234.5);
  t->edit();
  t->setString(2, "");
  t->post();
  EXPECT_TRUE(t->isBlank(2));
  EXPECT_EQ(t->asString(2), "");
  t->edit();
  EXPECT_THROW(t->setString(2, "on iki"), EDatabaseError);
}

TEST(EditPost, ReadOnlyTableRefusesEdit) {
  TempDir dir;
  const fs::path db = dir / "Char.DB";
  movements(3, false).write(db);
  pdx::OpenOptions o;
  o.readOnly = true;
  auto t = pdx::Table::open(db, o);
  t->first();
  try {
    t->edit();
    FAIL() << "edit on a read-only table";
  } catch (const EDBEngineError& e) {
    EXPECT_EQ(e.code(), EDBEngineError::Code::kReadOnly);
  }
}

TEST(EditPost, ValueCopyMovesEveryTypeBlankIncluded) {
  TempDir dir;
  movements(9, false).write(dir / "a.DB");
  movements(0, false).write(dir / "b.DB");
  auto src = pdx::Table::open(dir / "a.DB");
  auto dst = pdx::Table::open(dir / "b.DB");
  for (src->first(); !src->eof(); src->next()) {
    dst->append();
    for (int f = 0; f < dst->fieldCount(); ++f)
      dst->copyValue(f, *src, src->findField(dst->fields()[f].name));
    dst->post();
  }
  dst->flush();
  ASSERT_EQ(dst->recordCount(), 9u);
  src->first();
  for (dst->first(); !dst->eof(); dst->next(), src->next())
    for (int f = 0; f < dst->fieldCount(); ++f) {
      EXPECT_EQ(dst->isBlank(f), src->isBlank(f)) << dst->fields()[f].name;
      EXPECT_EQ(dst->asBytes(f), src->asBytes(f)) << dst->fields()[f].name;
    }
}

}  // namespace
