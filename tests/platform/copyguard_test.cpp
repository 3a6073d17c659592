// Windows: while a copy reads its source, no other program may open the
// source for writing; before and after, it may.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include "platform/files.h"
#include "platform/rawfile.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

// Whether a writer could open `file` now (sharing everything, as the
// product's engine would).
bool writerMayOpen(const fs::path& file) {
  HANDLE h = ::CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  ::CloseHandle(h);
  return true;
}

// Tries a writer at the copy's last step, when the bytes are in place and
// the source is still being read.
class WriterDuringCopy : public platform::FileFaults {
 public:
  explicit WriterDuringCopy(fs::path source) : m_source(std::move(source)) {}
  int before(platform::FileOp op, const fs::path&) override {
    if (op == platform::FileOp::kRename && !m_tried) {
      m_tried = true;
      m_writerOpened = writerMayOpen(m_source);
    }
    return 0;
  }
  bool tried() const { return m_tried; }
  bool writerOpened() const { return m_writerOpened; }

 private:
  fs::path m_source;
  bool m_tried = false, m_writerOpened = true;
};

TEST(CopyGuard, NoOtherWriterWhileACopyReadsItsSource) {
  fixture::TempDir dir;
  dir.write("old/Cari.DB", "cari bytes");
  fs::create_directories(dir.path() / "new");
  const fs::path source = dir.path() / "old/Cari.DB";
  ASSERT_TRUE(writerMayOpen(source));
  WriterDuringCopy probe(source);
  platform::g_fileFaults = &probe;
  platform::copyFile(dir.str() + "\\old\\Cari.DB", dir.str() + "\\new\\Cari.DB", true);
  platform::g_fileFaults = nullptr;
  ASSERT_TRUE(probe.tried());
  EXPECT_FALSE(probe.writerOpened());
  EXPECT_EQ(dir.read("new/Cari.DB"), "cari bytes");
  EXPECT_TRUE(writerMayOpen(source));
}

}  // namespace
#endif
