// The engine and the builder check each other: every sample table the tool
// writes is opened by the engine and read back exactly, blanks and memos
// included (what pxlib cannot see), and passes the engine's structure check.
#include <gtest/gtest.h>

#include <cmath>

#include "paradox/check.h"
#include "paradox/table.h"
#include "sample_data.h"
#include "support/company_fixture.h"
#include "support/shape_tables.h"
#include "support/sort_order.h"
#include "support/text_codec.h"

namespace fixture {
namespace {

namespace fs = std::filesystem;
using T = pdx::FieldType;

void expectEngineReads(const WrittenTable& t) {
  SCOPED_TRACE(t.file.string());
  pdx::OpenOptions ro;
  ro.readOnly = true;
  const auto table = pdx::Table::open(t.file, ro);
  ASSERT_EQ(table->fieldCount(), static_cast<int>(t.layout.size()));
  std::size_t r = 0;
  for (table->first(); !table->eof(); table->next(), ++r) {
    ASSERT_LT(r, t.rows.size());
    for (std::size_t f = 0; f < t.layout.size(); ++f) {
      const Variant& want = t.rows[r][f];
      const int i = static_cast<int>(f);
      const T type = t.layout[f].type;
      const std::string where = "row " + std::to_string(r) + " " + t.layout[f].name;
      if (type == T::kAutoInc && want.isNull()) {
        EXPECT_FALSE(table->isBlank(i)) << where << ": numbered by the builder";
        continue;
      }
      ASSERT_EQ(table->isBlank(i), want.isNull() || want == Variant{std::string()}) << where;
      if (want.isNull()) continue;
      switch (type) {
        case T::kAlpha: {
          const std::string& w = std::get<std::string>(want.value);
          const std::string cut = decodeText(
              encodeText(w, 1254).substr(0, static_cast<std::size_t>(t.layout[f].size)), 1254);
          EXPECT_EQ(table->asString(i), cut) << where;
          break;
        }
        case T::kMemo:
          EXPECT_EQ(decodeText(table->asBytes(i), 1254), std::get<std::string>(want.value))
              << where;
          break;
        case T::kLogical:
          EXPECT_EQ(table->asBoolean(i), std::get<bool>(want.value)) << where;
          break;
        case T::kShort:
        case T::kLong:
        case T::kAutoInc:
          EXPECT_EQ(table->asInteger(i), std::get<std::int64_t>(want.value)) << where;
          break;
        case T::kNumber: {
          const double w = std::holds_alternative<double>(want.value)
                               ? std::get<double>(want.value)
                               : static_cast<double>(std::get<std::int64_t>(want.value));
          EXPECT_EQ(table->asFloat(i), w) << where;
          break;
        }
        case T::kDate:
          EXPECT_EQ(table->asFloat(i), std::get<Variant::DateTime>(want.value).days) << where;
          break;
        case T::kTime:
          EXPECT_NEAR(table->asFloat(i) * 86400000.0,
                      static_cast<double>(std::get<std::int64_t>(want.value)), 1e-3)
              << where;
          break;
        default:
          ADD_FAILURE() << where << ": type not expected in the samples";
      }
    }
  }
  EXPECT_EQ(r, t.rows.size());
}

class EngineCrossCheck : public testing::TestWithParam<const char*> {};

TEST_P(EngineCrossCheck, ReadsEverySampleTableAsWritten) {
  const std::string which = GetParam();
  const fs::path dir = fs::path(testing::TempDir()) / ("crosscheck_" + which);
  fs::remove_all(dir);
  WriteLog log;
  if (which == "newest") samples::writeNewest(dir, &log);
  if (which == "newest_turkish") samples::writeNewest(dir, &log, "ANTURK");
  if (which == "older_turkish") samples::writeOlder(dir, &log, "ANTURK");
  if (which == "older") samples::writeOlder(dir, &log);
  if (which == "variant") samples::writeVariant(dir, &log);
  ASSERT_FALSE(log.empty());
  for (const WrittenTable& t : log) {
    expectEngineReads(t);
    std::string problems;
    for (const std::string& p : pdx::checkTable(t.file)) problems += p + "\n";
    EXPECT_EQ(problems, "") << t.file;
  }
}

INSTANTIATE_TEST_SUITE_P(Samples, EngineCrossCheck,
                         testing::Values("newest", "older", "variant", "newest_turkish",
                                         "older_turkish"));

// Every shape of table the builder writes (each version class, block size,
// key and memo) is sound to the engine's check and reads back exactly,
// blanks, memos and bytes included.
class EngineReadsBuilderShapes : public testing::TestWithParam<Shape> {};

TEST_P(EngineReadsBuilderShapes, EveryValueAsMeant) {
  const Shape s = GetParam();
  const fs::path dir = fs::path(testing::TempDir()) / ("engine_" + shapeName({s, 0}));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const fs::path file = dir / "Tablo.DB";
  const ShapeTable t = writeShapeTable(s, file);
  std::string problems;
  for (const std::string& p : pdx::checkTable(file)) problems += p + "\n";
  EXPECT_EQ(problems, "");

  pdx::OpenOptions ro;
  ro.readOnly = true;
  const auto table = pdx::Table::open(file, ro);
  ASSERT_EQ(table->fieldCount(), static_cast<int>(t.columns.size()));
  EXPECT_EQ(table->versionId(), s.version);
  EXPECT_EQ(table->blockSize(), s.blockKiB * 1024);
  std::size_t r = 0;
  for (table->first(); !table->eof(); table->next(), ++r) {
    ASSERT_LT(r, t.rows.size());
    for (std::size_t f = 0; f < t.columns.size(); ++f) {
      const Variant& want = t.rows[r][f];
      const int i = static_cast<int>(f);
      const std::string where = "row " + std::to_string(r) + " " + t.columns[f].name;
      ASSERT_EQ(table->isBlank(i), want.isNull()) << where;
      if (want.isNull()) continue;
      switch (t.columns[f].type) {
        case T::kAlpha:
          EXPECT_EQ(table->asString(i), std::get<std::string>(want.value)) << where;
          break;
        case T::kMemo:
          EXPECT_EQ(decodeText(table->asBytes(i), 1254), std::get<std::string>(want.value))
              << where;
          break;
        case T::kBytes: {
          std::string w = std::get<Variant::Bytes>(want.value).data;
          w.resize(static_cast<std::size_t>(t.columns[f].size), '\0');
          EXPECT_EQ(table->asBytes(i), w) << where;
          break;
        }
        case T::kLogical:
          EXPECT_EQ(table->asBoolean(i), std::get<bool>(want.value)) << where;
          break;
        case T::kShort:
        case T::kLong:
        case T::kAutoInc:
          EXPECT_EQ(table->asInteger(i), std::get<std::int64_t>(want.value)) << where;
          break;
        case T::kNumber:
        case T::kMoney:
          EXPECT_EQ(table->asFloat(i), std::get<double>(want.value)) << where;
          break;
        case T::kBcd:
          EXPECT_DOUBLE_EQ(table->asFloat(i), std::stod(std::get<std::string>(want.value)))
              << where;
          break;
        case T::kDate:
        case T::kTimestamp:
          EXPECT_NEAR(table->asFloat(i), std::get<Variant::DateTime>(want.value).days, 1e-9)
              << where;
          break;
        case T::kTime:
          EXPECT_NEAR(table->asFloat(i) * 86400000.0,
                      static_cast<double>(std::get<std::int64_t>(want.value)), 1e-3)
              << where;
          break;
        default:
          ADD_FAILURE() << where << ": type not in the shapes";
      }
    }
  }
  EXPECT_EQ(r, t.rows.size());
}

// The product's tables are ordered by the Turkish driver: the engine and the
// builder, each with its own reading of the driver, agree on the order of
// keys and of index entries, case-insensitive ones included.
TEST(EngineCrossCheckTurkish, AgreesOnKeyAndIndexOrder) {
  const std::vector<std::string> names = {"Özdemir Gıda Ltd.Şti.",
                                          "Çağdaş İnşaat A.Ş.",
                                          "Yıldız Tekstil",
                                          "ışık Elektrik",
                                          "Işık Aydınlatma",
                                          "İnci Kuyumculuk",
                                          "incir Tarım",
                                          "Şahin Oto",
                                          "Sahin Market",
                                          "Ulu Gıda",
                                          "Ülker Bayi",
                                          "çay Evi",
                                          "Cadde Kafe",
                                          "Ağaç İşleri",
                                          "abla Butik",
                                          "Abla Tuhafiye"};
  TableBuilder b(
      {{"KISA_AD", T::kAlpha, 30}, {"SIRKET_KOD", T::kAlpha, 8}, {"UNVAN", T::kAlpha, 40}});
  b.keyed(1).sortOrder("ANTURK").blockSizeKiB(1).secondaryIndex("UNVAN");
  b.compositeIndex("kod", {"SIRKET_KOD", "UNVAN"}, true);
  int n = 0;
  for (const auto& name : names) {
    b.row({Variant{name}, Variant{"2005_" + std::to_string(100 + n)},
           Variant{names[static_cast<std::size_t>(n * 7 % 16)] + " unvan"}});
    ++n;
  }
  const fs::path dir = fs::path(testing::TempDir()) / "crosscheck_turkish";
  fs::remove_all(dir);
  fs::create_directories(dir);
  b.write(dir / "sirket.db");
  std::string problems;
  for (const std::string& p : pdx::checkTable(dir / "sirket.db")) problems += p + "\n";
  EXPECT_EQ(problems, "");
  // The engine's key order over the records the builder laid out.
  pdx::OpenOptions ro;
  ro.readOnly = true;
  const auto table = pdx::Table::open(dir / "sirket.db", ro);
  std::vector<std::string> keys;
  for (table->first(); !table->eof(); table->next()) keys.push_back(table->asString(0));
  const SortOrder* order = SortOrder::forName("ANTURK");
  for (std::size_t i = 0; i + 1 < keys.size(); ++i) {
    EXPECT_LT(order->compare(encodeText(keys[i], 1254), encodeText(keys[i + 1], 1254)), 0)
        << keys[i] << " / " << keys[i + 1];
  }
  EXPECT_EQ(keys.size(), names.size());
}

INSTANTIATE_TEST_SUITE_P(Shapes, EngineReadsBuilderShapes, testing::ValuesIn(allShapes()),
                         shapeName);

}  // namespace
}  // namespace fixture
