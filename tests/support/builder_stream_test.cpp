// Streaming a table row by row writes the same files as building it whole.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/fixture_files.h"
#include "support/paradox_builder.h"

namespace fixture {
namespace {

namespace fs = std::filesystem;
using T = pdx::FieldType;

TEST(BuilderStream, WritesTheSameFilesAsTheWholeBuilder) {
  TableBuilder whole({{"BCHKOD", T::kAutoInc},
                      {"CARIKOD", T::kAlpha, 30},
                      {"TUTAR", T::kNumber},
                      {"NOT", T::kMemo, 40}});
  whole.keyed(1).blockSizeKiB(1).secondaryIndex("CARIKOD").withValFile();
  std::vector<std::vector<Variant>> rows;
  for (int i = 0; i < 500; ++i) {
    rows.push_back({Variant{}, Variant{"120." + std::to_string(i % 37)}, Variant{i * 2.5},
                    i % 9 == 0 ? Variant{std::string(static_cast<std::size_t>(50 + i * 11), 'n')}
                               : Variant{}});
    whole.row(rows.back());
  }
  const fs::path a = fs::path(testing::TempDir()) / "stream_whole";
  const fs::path b = fs::path(testing::TempDir()) / "stream_rows";
  for (const fs::path& d : {a, b}) {
    fs::remove_all(d);
    fs::create_directories(d);
  }
  whole.write(a / "Char.DB");
  TableWriter w(whole.spec(), b / "Char.DB");
  for (const auto& r : rows) w.append(r);
  w.finish();
  EXPECT_EQ(w.recordCount(), 500u);
  const DirectorySnapshot left = snapshotDirectory(a);
  EXPECT_EQ(left.size(), 6u) << "Char.DB, .PX, .X02, .Y02, .MB and .VAL";
  EXPECT_EQ(describeChanges(left, snapshotDirectory(b)), "");
}

}  // namespace
}  // namespace fixture
