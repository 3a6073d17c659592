// The sample data directories and the domain fixtures they are made of:
// pxlib reads every table the tool writes with the values it meant, and the
// directories hold what the jobs need to meet.
#include "sample_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "support/company_fixture.h"
#include "support/expect_unchanged.h"
#include "support/fixture_files.h"
#include "support/pxlib_reader.h"

namespace fixture {
namespace {

namespace fs = std::filesystem;
using T = pdx::FieldType;

fs::path freshDir(const std::string& name) {
  const fs::path dir = fs::path(testing::TempDir()) / ("samples_" + name);
  fs::remove_all(dir);
  return dir;
}

// pxlib's view of a table against what was given to the builder.
void expectReadsAsWritten(const WrittenTable& t) {
  SCOPED_TRACE(t.file.string());
  const pxlib::Table got = pxlib::read(t.file);
  ASSERT_EQ(got.fields.size(), t.layout.size());
  for (std::size_t f = 0; f < t.layout.size(); ++f) {
    EXPECT_EQ(got.fields[f].name, t.layout[f].name);
    EXPECT_EQ(got.fields[f].type, static_cast<char>(t.layout[f].type));
  }
  ASSERT_EQ(got.rows.size(), t.rows.size());
  for (std::size_t r = 0; r < t.rows.size(); ++r) {
    for (std::size_t f = 0; f < t.layout.size(); ++f) {
      const Variant& want = t.rows[r][f];
      const Variant& have = got.rows[r][f];
      const T type = t.layout[f].type;
      const std::string where = "row " + std::to_string(r) + " " + t.layout[f].name;
      if (type == T::kMemo) continue;  // pxlib cannot read blobs
      if (want.isNull()) {
        if (type == T::kAlpha || type == T::kLogical || type == T::kShort) {
          EXPECT_TRUE(have.isNull()) << where;
        } else if (type == T::kNumber) {
          EXPECT_TRUE(have.isNull() || have == Variant{0.0}) << where;
        }
        continue;  // pxlib misses other blanks
      }
      if (type == T::kAlpha) {
        // Texts are cut to their field.
        const std::string& w = std::get<std::string>(want.value);
        EXPECT_EQ(std::get<std::string>(have.value).substr(0, w.size()),
                  std::get<std::string>(have.value))
            << where;
        EXPECT_EQ(w.rfind(std::get<std::string>(have.value), 0), 0u) << where;
      } else if (type == T::kShort || type == T::kLong || type == T::kTime) {
        EXPECT_EQ(have, want) << where;
      } else if (type == T::kNumber) {
        const double w = std::holds_alternative<double>(want.value)
                             ? std::get<double>(want.value)
                             : static_cast<double>(std::get<std::int64_t>(want.value));
        EXPECT_EQ(have, Variant{w}) << where;
      } else {
        EXPECT_EQ(have, want) << where;
      }
    }
  }
}

std::set<std::string> columnValues(const fs::path& file, const std::string& field) {
  const pxlib::Table t = pxlib::read(file);
  std::set<std::string> out;
  for (std::size_t f = 0; f < t.fields.size(); ++f) {
    if (t.fields[f].name != field) continue;
    for (const auto& r : t.rows) {
      out.insert(r[f].isNull() ? "<blank>" : std::get<std::string>(r[f].value));
    }
  }
  return out;
}

class SampleDirectories : public testing::Test {
 protected:
  void SetUp() override {
    if (!pxlib::available()) GTEST_SKIP() << "pxlib is not installed";
  }
};

TEST_F(SampleDirectories, NewestEditionReadsAsWritten) {
  const fs::path dir = freshDir("newest");
  WriteLog log;
  samples::writeNewest(dir, &log);
  ASSERT_GT(log.size(), 40u);
  for (const WrittenTable& t : log) expectReadsAsWritten(t);

  // Registry: two companies of 2005, one without a year, Turkish names.
  const pxlib::Table reg = pxlib::read(dir / "sirket.db");
  std::multiset<std::string> years;
  for (const auto& r : reg.rows) {
    years.insert(r[2].isNull() || r[2] == Variant{0.0}
                     ? "-"
                     : std::to_string(static_cast<int>(std::get<double>(r[2].value))));
    EXPECT_TRUE(fs::is_directory(dir / std::get<std::string>(r[0].value)));
  }
  EXPECT_GE(years.count("2005"), 2u);
  EXPECT_EQ(years.count("-"), 1u);
  EXPECT_EQ(columnValues(dir / "sirket.db", "KISA_AD").count("Özdemir Gıda Ltd.Şti."), 1u);

  EXPECT_EQ(columnValues(dir / "2005_001" / "ceksen.DB", "EVRAKDURUM"),
            (std::set<std::string>{"Bankada", "Kasada", "Ödenmedi", "Tahsil Edildi", "Ciro Edildi",
                                   "Karşılıksız", "Ödendi", "bankada", "<blank>"}));
  EXPECT_EQ(columnValues(dir / "2005_001" / "Char.DB", "ALPHA3"),
            (std::set<std::string>{"<blank>", "1", "2", "3", "4", "Müşteri Çeki", "Havale"}));
  for (const char* name :
       {"Cari.DB", "Stok.DB", "ceksen.DB", "Char.DB", "Fatura.DB", "urhar.db", "ayar.db",
        "ayar.val", "ayar2.db", "ayar2.val", "c_grup.DB", "tssabit.DB", "taksit.DB"}) {
    EXPECT_TRUE(fs::exists(dir / "DBBACKUP" / name)) << name;
  }
  EXPECT_TRUE(fs::exists(dir / "2005_001" / "rapor.txt"));
}

TEST_F(SampleDirectories, OlderEditionReadsAsWritten) {
  const fs::path dir = freshDir("older");
  WriteLog log;
  samples::writeOlder(dir, &log);
  for (const WrittenTable& t : log) expectReadsAsWritten(t);
  const pxlib::Table reg = pxlib::read(dir / "sirket.DB");
  EXPECT_EQ(reg.fields[0].name, "SIRKET_KOD");
  EXPECT_EQ(reg.fields[1].name, "KISA_AD");
  EXPECT_GT(reg.fields.size(), 2u);
  EXPECT_FALSE(fs::exists(dir / "2004_004")) << "a registry row without a directory";
  EXPECT_EQ(pxlib::read(dir / "2004_001" / "ayar.DB").fields.size(), 62u);
  const pxlib::Table same = pxlib::read(dir / "2004_002" / "ayar.DB");
  EXPECT_EQ(same.fields.size(), 84u);
  EXPECT_EQ(same.fields[83].name, "ESKI24") << "84 fields, not all of the newest names";
  EXPECT_TRUE(columnValues(dir / "2004_001" / "Char.DB", "ALPHA3").count("Kendi Çekim"));
  EXPECT_TRUE(columnValues(dir / "2004_001" / "Char.DB", "ALPHA3").count("kendi çekim"));
  const pxlib::Table invoices = pxlib::read(dir / "2004_001" / "Fatura.DB");
  for (const auto& r : invoices.rows) EXPECT_NE(r[17], Variant{true}) << "LOJIK3 unset";
}

TEST_F(SampleDirectories, VariantCarriesASortOrderOfItsOwn) {
  const fs::path dir = freshDir("variant");
  WriteLog log;
  samples::writeVariant(dir, &log);
  for (const WrittenTable& t : log) expectReadsAsWritten(t);
  const std::string header = readFileBytes(dir / "2005_001" / "Cari.DB");
  EXPECT_NE(header.find(std::string("intl850\0", 8)), std::string::npos);
  EXPECT_EQ(static_cast<unsigned char>(header[0x29]), 0x54u);
}

TEST_F(SampleDirectories, LargeCompanyIsStreamedWithEveryRecord) {
  const fs::path dir = freshDir("large");
  samples::LargeCounts counts;
  counts.cards = 700;
  counts.movements = 5000;
  counts.cheques = 900;
  counts.stock = 50;
  samples::writeLarge(dir, counts);
  const fs::path c = dir / "2005_900";
  const pxlib::Table cards = pxlib::read(c / "Cari.DB");
  ASSERT_EQ(cards.rows.size(), 700u);
  EXPECT_EQ(cards.rows[699][0], Variant{std::int64_t{700}});
  EXPECT_EQ(cards.rows[699][1], Variant{std::string("320.000700")});
  EXPECT_EQ(pxlib::read(c / "Char.DB").rows.size(), 5000u);
  EXPECT_EQ(pxlib::read(c / "ceksen.DB").rows.size(), 900u);
  EXPECT_EQ(pxlib::read(c / "Stok.DB").rows.size(), 50u);
}

TEST_F(SampleDirectories, OfficeHasEveryCompanyRegisteredWithItsTables) {
  const fs::path dir = freshDir("office");
  samples::writeOffice(dir, 3, samples::officeCounts());
  const pxlib::Table registry = pxlib::read(dir / "sirket.db");
  ASSERT_EQ(registry.rows.size(), 3u);
  for (const char* code : {"2005_001", "2005_003"}) {
    const fs::path c = dir / code;
    EXPECT_EQ(pxlib::read(c / "Cari.DB").rows.size(), samples::officeCounts().cards) << code;
    EXPECT_EQ(pxlib::read(c / "Char.DB").rows.size(), samples::officeCounts().movements) << code;
    EXPECT_TRUE(fs::exists(c / "ayar.DB")) << code;
  }
  EXPECT_TRUE(fs::is_directory(dir / "DBBACKUP"));
  EXPECT_THROW(samples::writeOffice(freshDir("none"), 0, samples::officeCounts()),
               std::invalid_argument);
}

// ---- Domain fixtures ----

TEST(CompanyFixture, CardSumsAgreeWithTheBalanceAndSide) {
  CompanyDir c("2005_001", Edition::kNewest);
  c.withCard("120.01", 250, "Alacak").withCard("120.02", 400, "Borç");
  const auto sum = [](const Row& r, const char* f) { return std::get<double>(r.at(f).value); };
  EXPECT_EQ(sum(c.cards[0], "KTALC") - sum(c.cards[0], "KTBRC"), 250);
  EXPECT_EQ(sum(c.cards[1], "KTBRC") - sum(c.cards[1], "KTALC"), 400);
  EXPECT_EQ(sum(c.cards[0], "KDBKY") + sum(c.cards[0], "KHBKY"), 250);
  EXPECT_EQ(c.cards[0].at("KTBTR"), Variant{std::string("Alacak")});
}

TEST(CompanyFixture, RowsNamingUnknownFieldsAreRefused) {
  const fs::path dir = freshDir("unknown");
  EXPECT_THROW(writeRows(dir / "t.DB", schema::SirketOld(), {Row{{"YOK", Variant{1.0}}}}),
               std::invalid_argument);
}

TEST(CompanyFixture, UnchangedDirSeesEveryKindOfChange) {
  const fs::path dir = freshDir("unchanged");
  DataDir d(dir);
  d.registry().company("2005_001", "Özdemir Gıda Ltd.Şti.", 2005);
  d.company("2005_001").withCard("120.01", 250, "Alacak");
  d.write();
  const DirectorySnapshot before = snapshotDirectory(dir);
  EXPECT_EQ(describeChanges(before, snapshotDirectory(dir)), "");
  corruptByte(dir / "2005_001" / "Cari.DB", 0x800 + 6, 0x7F);
  fs::remove(dir / "2005_001" / "rapor.txt");
  writeFileBytes(dir / "yeni.txt", "x");
  fs::remove(dir / "2005_001" / "Stok.X02");
  EXPECT_EQ(describeChanges(before, snapshotDirectory(dir)),
            "changed 2005_001/Cari.DB\nremoved 2005_001/Stok.X02\nadded yeni.txt\n");
}

}  // namespace
}  // namespace fixture
