// Which reads go through a mapping: a local file is mapped, a file on a
// share is read with positioned reads (a failed read is an error, not a
// signal), and a SIGBUS that still comes ends the process with words.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/fatalsignal.h"
#include "platform/rawfile.h"
#include "support/share/stand_in_share.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using platform::FileView;
using platform::RawFile;

namespace {

constexpr std::size_t kBytes = 3 * 4096;

std::string pattern() {
  std::string bytes(kBytes, '\0');
  for (std::size_t i = 0; i < kBytes; ++i) bytes[i] = static_cast<char>(i * 7);
  return bytes;
}

TEST(Mapping, LocalFileIsMapped) {
  fixture::TempDir tmp;
  tmp.write("t.db", pattern());
  RawFile file(tmp / "t.db", RawFile::Mode::kRead);
  FileView view(file, 0, kBytes);
  ASSERT_NE(view.data(), nullptr);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(view.data()), kBytes), pattern());
}

TEST(Mapping, ShareFileIsReadNotMappedAndItsFailureIsAnError) {
  fixture::TempDir tmp;
  tmp.write("server/t.db", pattern());
  fixture::StandInShare share(tmp / "server");
  if (!share.usable()) GTEST_SKIP() << share.whyNot();
  RawFile file(share.mount() / "t.db", RawFile::Mode::kRead);
  EXPECT_EQ(FileView(file, 0, kBytes).data(), nullptr);
  std::string bytes(kBytes, '\0');
  EXPECT_EQ(file.readAt(0, bytes.data(), kBytes), kBytes);
  EXPECT_EQ(bytes, pattern());

  share.fail("read", "t.db", 0, "EIO");
  try {
    file.readAt(4096, bytes.data(), 4096);
    ADD_FAILURE() << "the failed read went unnoticed";
  } catch (const std::system_error& e) {
    EXPECT_EQ(e.code().value(), EIO);
  }
}

// A mapped file shortened under the reader: exit status 2 and the words.
TEST(Mapping, BusErrorEndsTheProcessWithTurkishWords) {
  fixture::TempDir tmp;
  tmp.write("t.db", pattern());
  int err[2];
  ASSERT_EQ(::pipe(err), 0);
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(err[1], STDERR_FILENO);
    platform::installBusErrorHandler();
    RawFile file(tmp / "t.db", RawFile::Mode::kReadWrite);
    FileView view(file, 0, kBytes);
    if (!view.data()) ::_exit(10);
    file.truncate(0);
    volatile std::uint8_t byte = view.data()[kBytes - 1];
    (void)byte;
    ::_exit(11);  // no signal came
  }
  ::close(err[1]);
  std::string text;
  char buf[512];
  for (ssize_t n; (n = ::read(err[0], buf, sizeof buf)) > 0;) text.append(buf, n);
  ::close(err[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status)) << "signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 2);
  EXPECT_EQ(text, platform::kBusErrorMessage);
}

}  // namespace
