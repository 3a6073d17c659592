// The file-set copy into a directory no program uses yet: straight copies
// that leave what the replace as a whole leaves.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "data/schemas.h"
#include "jobs/filesetcopy.h"
#include "support/company_fixture.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using fixture::Row;

namespace {

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
