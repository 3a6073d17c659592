// The openings check's reader of the carry record: the bytes a carry writes
// (tests/carry/record_test.cpp) read back field for field, quoted fields
// included; a record cut short or of another version is no record.
#include "report/carryrecord.h"

#include <gtest/gtest.h>

#include <fstream>
#include <tuple>

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

// A record edited by hand or cut short is refused with the row and what is
// wrong in it, rather than read as other figures.
TEST_F(CarryRecordReader, RefusesAnEditedRecordSayingWhy) {
  struct Case {
    const char* label;
    std::string from, to, why;
  };
  const Case cases[] = {
      {"not a number", "1.02", "1,02", "6. satır: sayı değil: '1,02'"},
      {"nan", ";2.5\n", ";nan\n", "7. satır: sayı değil: 'nan'"},
      {"infinity", "1.24;Alacak", "inf;Alacak", "4. satır: sayı değil: 'inf'"},
      {"short row", "stok;S1;1;3;1.02;0", "stok;S1;1;3",
       "6. satır: 'stok' satırında 4 alan var, 6 olmalı"},
      {"option in capitals", ";evet;", ";EVET;", "3. satır: seçenekler tanınmıyor"},
      {"digits not a digit", "basamak;2", "basamak;x", "3. satır: seçenekler tanınmıyor"},
      {"second company", "stok;S1;1;3;1.02;0", "şirket;2005_009;2006_009;2005;2006;X",
       "6. satır: ikinci şirket satırı"},
      {"rows counted wrong", "son;8", "son;7",
       "9. satır: son satırı 8 satır saymalı (kayıt yarım ya da elle değiştirilmiş)"},
      {"cut", "son;8\n", "", "kayıt yarım kalmış: son satırı yok"},
      {"other version", ";1\n", ";2\n", "bilinmeyen kayıt sürümü: '2'"},
  };
  for (const Case& c : cases) {
    std::string bytes = kRecord;
    bytes.replace(bytes.find(c.from), c.from.size(), c.to);
    std::string why;
    EXPECT_FALSE(report::ReadCarryRecord(write(bytes), &why)) << c.label;
    EXPECT_EQ(why, c.why) << c.label;
  }
}

// The published company's files and registry row, after the openings; a
// record without them reads as one of a carry made before they were kept.
TEST_F(CarryRecordReader, ReadsThePublishedCompanysFingerprints) {
  const std::string hash(32, 'a'), other = "0123456789abcdef0123456789abcdef";
  std::string bytes = kRecord;
  bytes.replace(bytes.find("son;8"), 5,
                "tablo;Cari.DB;2;" + hash + "\ndosya;ayar.val;8;" + other + "\nsicil;2006_001;" +
                    other + "\nson;11");
  const auto r = report::ReadCarryRecord(write(bytes));
  ASSERT_TRUE(r);
  EXPECT_TRUE(r->hasFingerprints());
  EXPECT_EQ(r->files, (std::vector<FileFingerprint>{{"Cari.DB", true, 2, hash},
                                                    {"ayar.val", false, 8, other}}));
  EXPECT_EQ(r->registryRow, other);
  EXPECT_FALSE(report::ReadCarryRecord(write(kRecord))->hasFingerprints());
  for (const auto& [from, to, why] :
       {std::tuple<std::string, std::string, std::string>{";2;" + hash, ";-2;" + hash,
                                                          "9. satır: sayı değil: '-2'"},
        {hash, "A" + hash.substr(1), "9. satır: parmak izi değil"},
        {"sicil;2006_001;" + other, "sicil;2006_001;", "11. satır: parmak izi değil"}}) {
    std::string edited = bytes;
    edited.replace(edited.find(from), from.size(), to);
    std::string reason;
    EXPECT_FALSE(report::ReadCarryRecord(write(edited), &reason)) << to;
    EXPECT_EQ(reason, why);
  }
}

// A later version may add fields to a row; this one reads those it knows.
TEST_F(CarryRecordReader, ReadsTheKnownFieldsOfALongerRow) {
  std::string bytes = kRecord;
  bytes.replace(bytes.find("taksit;1;0.7"), 12, "taksit;1;0.7;yeni");
  const auto r = report::ReadCarryRecord(write(bytes));
  ASSERT_TRUE(r);
  EXPECT_EQ(r->instalments.at("1"), 0.7);
}

}  // namespace

// An opening update's rows: the base it moved replaces what the carry wrote
// for that code, wherever the row stands, and the update count is read; the
// rows a rewrite keeps come back as they were, unknown kinds included.
TEST_F(CarryRecordReader, ReadsTheBasesAnUpdateMoved) {
  std::string updated = kRecord;
  updated.replace(updated.rfind("son;8"), 5,
                  "cari güncel;120.02;2;5;Alacak;0;5;0;Borç;0;0\n"
                  "stok güncel;S1;1;4;1.36;0\n"
                  "gelecek;bir;satır\n"
                  "güncelleme;2\n"
                  "son;12");
  const auto r = report::ReadCarryRecord(write(updated));
  ASSERT_TRUE(r);
  EXPECT_EQ(r->updates, 2);
  EXPECT_EQ(r->cards.at("120.02").figures[0], (report::RecordedFigure{5, "Alacak", 0, 5}));
  EXPECT_EQ(r->cards.at("120.02").count, 1);
  EXPECT_EQ(r->cards.at("120;01").figures[0].value, 1.24);  // not moved
  EXPECT_EQ(r->stock.at("S1").figures[0].value, 4);
  const auto rows = report::CarryRecordRows(updated);
  ASSERT_EQ(rows.size(), 12u);
  EXPECT_EQ(rows[3], (std::vector<std::string>{"cari", "120;01", "1", "1.24", "Alacak", "0",
                                               "1.24", "0.1", "Borç", "0.1", "0"}));
  EXPECT_EQ(rows[10], (std::vector<std::string>{"gelecek", "bir", "satır"}));
  std::string bad = updated;
  bad.replace(bad.find("1.36"), 4, "x");
  EXPECT_FALSE(report::ReadCarryRecord(write(bad)));
}
