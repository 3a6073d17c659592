// A table replaced by copies of another table's files, as a whole: the
// target's indexes that the copies do not bring go (they would index other
// records), and nothing of the work is left beside the table. (A copy that
// fails leaves the target as it was: copyfailure_test.)
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "data/schemas.h"
#include "jobs/filesetcopy.h"
#include "paradox/check.h"
#include "support/company_fixture.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using fixture::Row;

namespace {

// The registry's table with `rows` companies; keyed, with a maintained
// secondary index on each field named.
void writeRegistry(const fs::path& file, int rows, std::vector<std::string> indexes) {
  std::vector<Row> r;
  for (int i = 0; i < rows; ++i)
    r.push_back({{"SIRKET_KOD", fixture::txt("100" + std::to_string(i))},
                 {"KISA_AD", fixture::txt("Şirket " + std::to_string(i))}});
  fixture::TableOptions o;
  o.keyFields = 1;
  o.indexes = std::move(indexes);
  fixture::writeRows(file, schema::Sirket(), r, o);
}

std::vector<std::string> names(const fs::path& dir) {
  std::vector<std::string> out;
  for (const auto& e : fs::directory_iterator(dir)) out.push_back(e.path().filename().string());
  std::sort(out.begin(), out.end());
  return out;
}

TEST(TableReplace, TheTargetsIndexesThatNoCopyBringsGoAndNothingIsLeftBeside) {
  fixture::TempDir tmp;
  writeRegistry(tmp.path() / "src/sirket.db", 3, {});
  writeRegistry(tmp.path() / "dst/sirket.db", 1, {"KISA_AD"});
  ASSERT_EQ(names(tmp.path() / "dst").size(), 4u);  // .db .px .X02 .Y02
  RecordingHost host;
  host.gaugeMax = 10;
  ASSERT_TRUE(CopyFileSet(host, {"sirket.db", "sirket.px"}, tmp.str() + "\\src",
                          tmp.str() + "\\dst", true));
  EXPECT_EQ(names(tmp.path() / "dst"), (std::vector<std::string>{"sirket.db", "sirket.px"}));
  EXPECT_EQ(pdx::checkTable(tmp.path() / "dst/sirket.db"), std::vector<std::string>{});
  EXPECT_EQ(host.gaugePosition, 2);  // one step per name
}

}  // namespace
