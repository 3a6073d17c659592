// Whether another program holds a file open, and which file systems hide
// other computers' opens.
#include "platform/inuse.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/file_holder.h"
#include "support/temp_dir.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

fs::path makeFile(const fixture::TempDir& tmp, const std::string& name) {
  std::ofstream(tmp.path() / name) << "x";
  return tmp.path() / name;
}

TEST(FilesHeldOpen, OnlyAnotherProgramsOpenFilesCount) {
  fixture::TempDir tmp;
  const fs::path held = makeFile(tmp, "PDOXUSRS.LCK"), free = makeFile(tmp, "Cari.DB");
  const std::vector<fs::path> files = {held, free, tmp.path() / "missing.DB", held};
  {
    fixture::FileHolder other(held);
    ASSERT_TRUE(other.holding());
    EXPECT_EQ(platform::heldOpenElsewhere(files), (std::vector<bool>{true, false, false, true}));
  }
  EXPECT_EQ(platform::heldOpenElsewhere(files), (std::vector<bool>{false, false, false, false}));
}

#ifndef _WIN32
TEST(FilesHeldOpen, ThisProcesssOwnDescriptorsAreNotAnotherProgram) {
  fixture::TempDir tmp;
  const fs::path table = makeFile(tmp, "Cari.DB");
  const int fd = ::open(table.c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(platform::heldOpenElsewhere({table}), std::vector<bool>{false});
  ::close(fd);
}

std::optional<long long> g_type;
std::optional<long long> fakeType(const fs::path&) {
  return g_type;
}

TEST(NetworkFileSystem, IsToldByTheFileSystemsType) {
  const struct {
    std::optional<long long> type;
    bool network;
  } cases[] = {
      {0xFF534D42, true}, {0xFE534D42, true},  {0x517B, true},      {0x6969, true},
      {0xEF53, false},    {0x01021994, false}, {0x65735546, false}, {std::nullopt, false},
  };
  const platform::FileSystemTypeSource previous = platform::setFileSystemTypeSource(fakeType);
  for (const auto& c : cases) {
    g_type = c.type;
    EXPECT_EQ(platform::onNetworkFileSystem("/somewhere"), c.network) << c.type.value_or(-1);
  }
  platform::setFileSystemTypeSource(previous);
  EXPECT_FALSE(platform::onNetworkFileSystem(fs::temp_directory_path()));
}
#endif

}  // namespace
