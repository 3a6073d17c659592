// The openings check's reader of the carry record: the bytes a carry writes
// (tests/carry/record_test.cpp) read back field for field, quoted fields
// included; a record cut short or of another version is no record.
#include "report/carryrecord.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/temp_dir.h"

namespace {

const std::string kRecord =
    "\xEF\xBB\xBFUpgrade-Devir devir kaydı;1\n"
    "şirket;2005_001;2006_001;2005;2006;\"Ak;Su \"\"Gıda\"\"\"\n"
    "seçenek;ytl;evet;yuvarlama;up;basamak;2\n"
    "cari;\"120;01\";1;1.24;Alacak;0;1.24;0.1;Borç;0.1;0\n"
    "cari;120.02;2;0;Borç;0;0;0;Borç;0;0\n"
    "stok;S1;1;3;1.02;0\n"
    "çek;1;2.5\n"
    "taksit;1;0.7\n"
    "son;8\n";

class CarryRecordReader : public ::testing::Test {
 protected:
  fixture::TempDir tmp;
  std::string write(const std::string& bytes) {
    const auto file = tmp.path() / "kayit.csv";
    std::ofstream(file, std::ios::binary) << bytes;
    return file.string();
  }
};

TEST_F(CarryRecordReader, ReadsEveryRowBack) {
  const auto r = report::ReadCarryRecord(write(kRecord));
  ASSERT_TRUE(r);
  EXPECT_EQ(r->oldCode + " " + r->newCode + " " + r->fromYear + " " + r->toYear,
            "2005_001 2006_001 2005 2006");
  EXPECT_EQ(r->shortName, "Ak;Su \"Gıda\"");
  EXPECT_TRUE(r->ytl);
  EXPECT_EQ(r->roundingMode, 2);
  ASSERT_EQ(r->cards.size(), 2u);
  const report::RecordedOpening& card = r->cards.at("120;01");
  EXPECT_EQ(card.key, "1");
  EXPECT_EQ(card.figures[0], (report::RecordedFigure{1.24, "Alacak", 0, 1.24}));
  EXPECT_EQ(card.figures[1], (report::RecordedFigure{0.1, "Borç", 0.1, 0}));
  EXPECT_EQ(r->stock.at("S1").figures[1].value, 1.02);
  EXPECT_EQ(r->cheques.at("1"), 2.5);
  EXPECT_EQ(r->instalments.at("1"), 0.7);
}

TEST_F(CarryRecordReader, RefusesWhatIsNotAWholeRecord) {
  const std::string cut = kRecord.substr(0, kRecord.size() - 7);
  std::string otherCount = kRecord;
  otherCount.replace(otherCount.rfind("son;8"), 5, "son;9");
  std::string otherVersion = kRecord;
  otherVersion.replace(otherVersion.find(";1\n"), 3, ";2\n");
  std::string badNumber = kRecord;
  badNumber.replace(badNumber.find("1.02"), 4, "1,02");
  for (const std::string& bytes : {cut, otherCount, otherVersion, badNumber})
    EXPECT_FALSE(report::ReadCarryRecord(write(bytes))) << bytes;
  EXPECT_FALSE(report::ReadCarryRecord((tmp.path() / "yok.csv").string()));
  // The header alone is enough for pairing companies.
  EXPECT_TRUE(report::ReadCarryRecordHeader(write(kRecord)));
}

}  // namespace
