// Table and file fingerprints: what the product may rewrite without changing
// the records leaves them alone; a change of any record, memo text or file
// shows, worded by DescribeFingerprintChanges.
#include "data/fingerprint.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>

#include "paradox/errors.h"
#include "support/company_fixture.h"
#include "support/fixture_files.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using fixture::num;
using fixture::Row;
using fixture::txt;
using T = pdx::FieldType;

namespace {

const std::vector<FieldSpec> kLayout = {
    {"KOD", T::kAlpha, 10, false}, {"TUTAR", T::kNumber, 0, false}, {"NOT", T::kMemo, 12, false}};

const std::string kLongNote(3000, 'n');  // in the .MB, not in the leader

// With a blob file; keyed on KOD unless `keyed` is false.
fixture::TableOptions layout(bool keyed = true, std::vector<std::string> indexes = {},
                             int blockKiB = 0) {
  fixture::TableOptions o;
  o.keyFields = keyed ? 1 : 0;
  o.indexes = std::move(indexes);
  o.memoFile = true;
  o.blockKiB = blockKiB;
  return o;
}

std::vector<Row> rows() {
  return {{{"KOD", txt("120.01")}, {"TUTAR", num(250)}, {"NOT", txt("kısa")}},
          {{"KOD", txt("120.02")}, {"TUTAR", num(-3.5)}, {"NOT", txt(kLongNote)}},
          {{"KOD", txt("320.01")}, {"TUTAR", num(0)}, {"NOT", txt(kLongNote + "x")}}};
}

class FingerprintTest : public ::testing::Test {
 protected:
  fixture::TempDir tmp;
  platform::TypedPath dir = platform::TypedPath::resolve(tmp.path().string());

  TableFingerprint write(const std::string& name, const std::vector<Row>& r,
                         const fixture::TableOptions& o = layout()) {
    fixture::writeRows(tmp / name, kLayout, r, o);
    return FingerprintTable(dir, name);
  }
};

TEST_F(FingerprintTest, SameRecordsGiveTheSameFingerprintHoweverTheTableIsLaidOut) {
  const TableFingerprint first = write("A.DB", rows());
  EXPECT_EQ(first.records, 3u);
  EXPECT_EQ(first.hash.size(), 32u);
  std::vector<Row> reversed = rows();
  std::reverse(reversed.begin(), reversed.end());
  // Another order (unkeyed), block size, secondary index, and counters.
  EXPECT_EQ(write("B.DB", reversed, layout(false, {}, 4)), first);
  EXPECT_EQ(write("C.DB", rows(), layout(true, {"TUTAR"})), first);
  fixture::corruptByte(tmp / "A.DB", 0x2D, 0x77);  // the change counter
  EXPECT_EQ(FingerprintTable(dir, "a"), first);
  fs::remove(tmp / "A.PX");
  EXPECT_EQ(FingerprintTable(dir, "A.DB"), first);
}

TEST_F(FingerprintTest, AnyChangedValueOrRecordChangesIt) {
  const TableFingerprint base = write("BASE.DB", rows());
  struct Case {
    const char* what;
    std::function<void(std::vector<Row>&)> change;
    std::uint64_t records;
  } cases[] = {
      {"an amount", [](std::vector<Row>& r) { r[0]["TUTAR"] = num(250.01); }, 3},
      {"a text", [](std::vector<Row>& r) { r[2]["KOD"] = txt("320.02"); }, 3},
      {"a memo in the .MB", [](std::vector<Row>& r) { r[1]["NOT"] = txt(kLongNote + "y"); }, 3},
      {"two memos swapped", [](std::vector<Row>& r) { std::swap(r[1]["NOT"], r[2]["NOT"]); }, 3},
      {"a record added",
       [](std::vector<Row>& r) {
         r.push_back({{"KOD", txt("600.01")}});
       },
       4},
      {"a record removed", [](std::vector<Row>& r) { r.pop_back(); }, 2},
  };
  int n = 0;
  for (const Case& c : cases) {
    std::vector<Row> r = rows();
    c.change(r);
    const TableFingerprint f = write("T" + std::to_string(n++) + ".DB", r);
    EXPECT_EQ(f.records, c.records) << c.what;
    EXPECT_NE(f.hash, base.hash) << c.what;
  }
}

TEST_F(FingerprintTest, DirectoryListsTablesAndFilesAndWordsWhatChanged) {
  write("Cari.DB", rows(), layout(true, {"TUTAR"}));
  write("Char.DB", rows());
  std::ofstream(tmp / "NOT.TXT") << "bir";
  std::ofstream(tmp / "c_grup.DB") << "grup";  // no table: by its bytes
  std::ofstream(tmp / "PDOXUSRS.LCK") << "lock";
  std::ofstream(tmp / "ISARET.TXT") << "ours";
  std::ofstream(tmp / ".gizli") << "hidden";
  const std::vector<FileFingerprint> before = FingerprintDirectory(dir, {"isaret.txt"});
  ASSERT_EQ(before.size(), 4u);  // no .PX, .MB, .X/.Y, lock file or ignored name
  EXPECT_EQ(before[0].name, "c_grup.DB");  // letter case ignored in the order
  EXPECT_FALSE(before[0].table);
  EXPECT_EQ(before[1].name, "Cari.DB");
  EXPECT_TRUE(before[1].table);
  EXPECT_EQ(before[3].name, "NOT.TXT");
  EXPECT_FALSE(before[3].table);
  EXPECT_EQ(before[3].count, 3u);

  std::ofstream(tmp / "PARADOX.LCK") << "another";
  EXPECT_EQ(DescribeFingerprintChanges(before, FingerprintDirectory(dir, {"ISARET.TXT"})),
            std::vector<std::string>{});

  std::vector<Row> more = rows();
  for (int i = 0; i < 14; ++i) more.push_back({{"KOD", txt("7" + std::to_string(i))}});
  write("Char.DB", more);
  std::vector<Row> edited = rows();
  edited[0]["TUTAR"] = num(1);
  write("Cari.DB", edited);
  std::ofstream(tmp / "NOT.TXT") << "iki";
  std::ofstream(tmp / "YENI.TXT") << "";
  fs::remove(tmp / "ISARET.TXT");
  EXPECT_EQ(DescribeFingerprintChanges(before, FingerprintDirectory(dir)),
            (std::vector<std::string>{"Cari.DB: kayıtlar değişti", "Char.DB: 14 yeni kayıt",
                                      "NOT.TXT: dosya değişti", "YENI.TXT: dosya eklendi"}));
  fs::remove(tmp / "NOT.TXT");
  write("Char.DB", {rows()[0]});
  const auto lines = DescribeFingerprintChanges(before, FingerprintDirectory(dir));
  EXPECT_EQ(lines[1], "Char.DB: 2 kayıt silindi");
  EXPECT_EQ(lines[2], "NOT.TXT: dosya silindi");
}

TEST_F(FingerprintTest, AnUnreadableTableIsNamedAsTyped) {
  write("Cari.DB", rows());
  fixture::truncateFile(tmp / "Cari.DB", 100);
  try {
    FingerprintTable(dir, "Cari.DB");
    FAIL() << "read a table cut short";
  } catch (const EDBEngineError& e) {
    EXPECT_NE(std::string(e.what()).find(dir.textOf("Cari.DB")), std::string::npos) << e.what();
  }
}

}  // namespace
