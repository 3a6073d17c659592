// A copy that fails half-way (a file-size limit makes write() fail with
// EFBIG) must end the file-set copy with an error naming the file and must
// leave no partial file behind. The limit is set in a forked child so that it
// does not reach the rest of the test run.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "jobs/filesetcopy.h"
#include "platform/paths.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

using fixture::TempDir;

namespace fs = std::filesystem;

namespace {

TEST(CopyFailure, FileSizeLimitEndsTheCopyNamingTheFileWithoutPartialFile) {
  TempDir tmp;
  tmp.write("src/cari.db", std::string(1000, 'c'));
  tmp.write("src/stok.db", std::string(256 * 1024, 's'));
  tmp.write("src/taksit.db", "t");
  tmp.write("dst/stok.db", "previous");
  std::string source = tmp.str() + "\\src";
  std::string target = tmp.str() + "\\dst";

  int pipeFds[2];
  ASSERT_EQ(::pipe(pipeFds), 0);
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(pipeFds[0]);
    ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit {
      64 * 1024, 64 * 1024
    };
    ::setrlimit(RLIMIT_FSIZE, &limit);
    RecordingHost host;
    std::string message = "no error";
    try {
      CopyFileSet(host, {"cari.db", "stok.db", "taksit.db"}, source, target, true);
    } catch (const platform::FileSystemError& e) {
      message = e.what();
    }
    ssize_t written = ::write(pipeFds[1], message.data(), message.size());
    ::_exit(written == static_cast<ssize_t>(message.size()) ? 0 : 1);
  }
  ::close(pipeFds[1]);
  std::string message;
  char buffer[512];
  for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;) message.append(buffer, n);
  ::close(pipeFds[0]);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

  EXPECT_NE(message.find(source + "\\stok.db"), std::string::npos) << message;
  EXPECT_NE(message.find("too large"), std::string::npos) << message;
  // The first file is complete, the failed one is as it was, the third was
  // never reached, and no temporary file is left.
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(tmp.path() / "dst"))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"cari.db", "stok.db"}));
  EXPECT_EQ(tmp.read("dst/cari.db"), std::string(1000, 'c'));
  EXPECT_EQ(tmp.read("dst/stok.db"), "previous");
}

}  // namespace
