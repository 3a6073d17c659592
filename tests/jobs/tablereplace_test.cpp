// A table replaced by copies of another table's files, as a whole: the
// target's indexes that the copies do not bring go (they would index other
// records), and nothing of the work is left beside the table. (A copy that
// fails leaves the target as it was: copyfailure_test.)
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

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

// Into a directory no program uses yet (a new company built aside) the
// copies go straight over their targets and leave what the replace as a whole
// leaves.
// Every file of `dir` by name, with its bytes.
std::map<std::string, std::string> contents(const fs::path& dir) {
  std::map<std::string, std::string> out;
  for (const auto& e : fs::directory_iterator(dir)) {
    std::ifstream in(e.path(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    out[e.path().filename().string()] = bytes.str();
  }
  return out;
}

// Source tables over a target that holds the template's versions, one
// with an index the source does not bring; "a.txt" is a plain file.
struct Tables {
  fixture::TempDir tmp;
  std::string src = tmp.str() + "\\src";
  Tables() {
    writeRegistry(tmp.path() / "src/sirket.db", 3, {});
    writeRegistry(tmp.path() / "src/firma.db", 2, {"KISA_AD"});
    std::ofstream(tmp.path() / "src/a.txt") << "düz dosya";
    for (const char* dst : {"replaced", "unpublished"}) {
      writeRegistry(tmp.path() / dst / "sirket.db", 1, {"KISA_AD"});
      writeRegistry(tmp.path() / dst / "firma.db", 1, {});
    }
  }
  std::vector<std::string> names = {"a.txt",    "sirket.db", "sirket.px", "firma.db",
                                    "firma.px", "firma.X02", "firma.Y02", "gone.db"};
};

TEST(UnpublishedCopy, LeavesWhatTheReplaceAsAWholeLeavesAndAdvancesTheGaugeAlike) {
  Tables s;
  RecordingHost replaced, unpublished;
  replaced.gaugeMax = unpublished.gaugeMax = 20;
  ASSERT_TRUE(CopyFileSet(replaced, s.names, s.src, s.tmp.str() + "\\replaced", true));
  ASSERT_TRUE(CopyFileSet(unpublished, s.names, s.src, s.tmp.str() + "\\unpublished", true, true));
  EXPECT_EQ(contents(s.tmp.path() / "unpublished"), contents(s.tmp.path() / "replaced"));
  EXPECT_EQ(unpublished.gaugePosition, replaced.gaugePosition);
  EXPECT_EQ(unpublished.gaugePosition, 8);
}

}  // namespace
