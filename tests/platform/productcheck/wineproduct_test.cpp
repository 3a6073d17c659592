// The product check's questions to Wine, with stand-ins: a fake `wine` on
// PATH that records each start and answers as told, and fake wineservers (a
// process holding the server directory's lock, or a process named
// wineserver64 working in it). The real Wine is tested in
// tests/main/productwine_test.cpp.
#include "platform/productcheck/wineproduct.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>

#include "support/temp_dir.h"

namespace fs = std::filesystem;
using fixture::TempDir;
using platform::ProductState;

namespace {

// Wine's name for a prefix's server directory: server-<dev>-<inode> in hex.
std::string serverDirName(const fs::path& prefix) {
  struct stat st {};
  EXPECT_EQ(::stat(prefix.c_str(), &st), 0);
  std::ostringstream name;
  name << "server-" << std::hex << st.st_dev << "-" << st.st_ino;
  return name.str();
}

// A child process standing in for a running wineserver; killed and reaped
// when the object goes.
class FakeServer {
 public:
  // Holds the write lock on `lockFile` (made here), as a server does.
  static pid_t holdingLock(const fs::path& lockFile) {
    fs::create_directories(lockFile.parent_path());
    int ready[2];
    if (::pipe(ready) != 0) return -1;
    pid_t pid = ::fork();
    if (pid == 0) {
      int fd = ::open(lockFile.c_str(), O_CREAT | O_WRONLY, 0600);
      struct flock lock {};
      lock.l_type = F_WRLCK;
      lock.l_len = 1;
      char ok = (fd >= 0 && ::fcntl(fd, F_SETLK, &lock) == 0) ? '1' : '0';
      (void)!::write(ready[1], &ok, 1);
      for (;;) ::pause();
    }
    char ok = '0';
    (void)!::read(ready[0], &ok, 1);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_EQ(ok, '1');
    return pid;
  }
  // A process named wineserver64 whose working directory is `serverDir`.
  static pid_t namedWineserver(const fs::path& serverDir, const fs::path& binDir) {
    fs::create_directories(serverDir);
    fs::create_symlink("/bin/sleep", binDir / "wineserver64");
    pid_t pid = ::fork();
    if (pid == 0) {
      if (::chdir(serverDir.c_str()) == 0)
        ::execl((binDir / "wineserver64").c_str(), "wineserver64", "60", nullptr);
      ::_exit(127);
    }
    // Running under its own name once the exec is done.
    for (int i = 0; i < 1000; ++i) {
      std::string comm;
      std::ifstream("/proc/" + std::to_string(pid) + "/comm") >> comm;
      if (comm == "wineserver64") break;
      ::usleep(10000);
    }
    return pid;
  }
  explicit FakeServer(pid_t pid) : m_pid(pid) {}
  ~FakeServer() { stop(); }
  void stop() {
    if (m_pid <= 0) return;
    ::kill(m_pid, SIGKILL);
    ::waitpid(m_pid, nullptr, 0);
    m_pid = -1;
  }

 private:
  pid_t m_pid;
};

class WineCheck : public ::testing::Test {
 protected:
  WineCheck() {
    fs::create_directories(prefix);
    fs::create_directories(bin);
    tmp.write("helper/ud-findwindow.exe", "MZ");
    // Only our directory on PATH: `wine` is the stand-in or nothing.
    save("PATH", bin.string());
    save("TMPDIR", tmp.str());
  }
  ~WineCheck() override {
    for (const auto& [name, value] : m_saved)
      value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
  }
  // The stand-in `wine`: records its start, then answers with the exit
  // status given, or hangs.
  void fakeWine(const std::string& answer) {
    tmp.write("bin/wine",
              "#!/bin/sh\necho \"$$ $WINEPREFIX $1\" >> " + tmp.str() + "/started\n" +
                  (answer == "hang" ? "exec /bin/sleep 60\n" : "exit " + answer + "\n"));
    fs::permissions(bin / "wine", fs::perms::owner_all);
  }
  // A server found the way Debian's Wine finds it: the prefix names its
  // directory under $TMPDIR.
  pid_t serverByLock() {
    tmp.write("prefix/wineserver", "wine-AbC123\n");
    return FakeServer::holdingLock(tmp.path() / "wine-AbC123" / serverDirName(prefix) / "lock");
  }
  platform::ProductStatus ask(std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    return platform::askWine({prefix, tmp.path() / "helper/ud-findwindow.exe", limit});
  }
  std::string started() const { return tmp.read("started"); }

  TempDir tmp;
  fs::path prefix = tmp.path() / "prefix";
  fs::path bin = tmp.path() / "bin";

 private:
  void save(const std::string& name, const std::string& value) {
    const char* old = std::getenv(name.c_str());
    m_saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    ::setenv(name.c_str(), value.c_str(), 1);
  }
  std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

TEST_F(WineCheck, NoServerForThePrefixMeansClosedAndNoProcessStarted) {
  fakeWine("0");
  // A stale pointer to a server directory whose lock nobody holds, and a
  // server of another prefix.
  tmp.write("prefix/wineserver", "wine-AbC123\n");
  tmp.write("wine-AbC123/" + serverDirName(prefix) + "/lock", "");
  fs::create_directories(tmp.path() / "other");
  FakeServer other(FakeServer::holdingLock(tmp.path() / "wine-AbC123" /
                                           serverDirName(tmp.path() / "other") / "lock"));
  EXPECT_FALSE(platform::wineServerRunning(prefix));
  EXPECT_EQ(ask().state, ProductState::kClosed);
  EXPECT_FALSE(tmp.has("started"));
  // Nor for a prefix that does not exist.
  EXPECT_EQ(platform::askWine({tmp.path() / "none", tmp.path() / "helper/ud-findwindow.exe"}).state,
            ProductState::kClosed);
  EXPECT_FALSE(tmp.has("started"));
}

TEST_F(WineCheck, ServerIsFoundByItsLockOrByItsProcess) {
  {
    FakeServer server(serverByLock());
    EXPECT_TRUE(platform::wineServerRunning(prefix));
  }
  EXPECT_FALSE(platform::wineServerRunning(prefix));
  // Under a temporary directory we were not told of.
  FakeServer server(
      FakeServer::namedWineserver(tmp.path() / "elsewhere" / serverDirName(prefix), bin));
  EXPECT_TRUE(platform::wineServerRunning(prefix));
  server.stop();
  EXPECT_FALSE(platform::wineServerRunning(prefix));
}

struct Answer {
  const char* label;
  const char* wine;  // the stand-in's exit status, "hang", or "" for no wine at all
  ProductState state;
  const char* reason;  // a part of the reason
};

class WineAnswers : public WineCheck, public ::testing::WithParamInterface<Answer> {};

TEST_P(WineAnswers, HelperExitStatusDecides) {
  const Answer& a = GetParam();
  if (*a.wine) fakeWine(a.wine);
  FakeServer server(serverByLock());
  const bool hang = std::string(a.wine) == "hang";
  platform::ProductStatus status =
      ask(hang ? std::chrono::milliseconds(500) : std::chrono::milliseconds(60000));
  EXPECT_EQ(status.state, a.state);
  EXPECT_NE(status.reason.find(a.reason), std::string::npos) << status.reason;
  if (!*a.wine) return;
  // Started once, in the prefix, on the helper.
  std::istringstream record(started());
  pid_t pid = 0;
  std::string prefixSeen, helperSeen, more;
  record >> pid >> prefixSeen >> helperSeen;
  EXPECT_EQ(prefixSeen, prefix.string());
  EXPECT_EQ(helperSeen, (tmp.path() / "helper/ud-findwindow.exe").string());
  EXPECT_FALSE(record >> more);
  // A helper that hangs is killed, not left behind.
  EXPECT_EQ(::kill(pid, 0), -1);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, WineAnswers,
    ::testing::Values(Answer{"found", "0", ProductState::kRunning, ""},
                      Answer{"not_found", "1", ProductState::kClosed, ""},
                      Answer{"wine_failed", "53", ProductState::kUnknown,
                             "wine beklenmeyen biçimde sona erdi (çıkış kodu 53)"},
                      Answer{"time_limit", "hang", ProductState::kUnknown,
                             "wine 1 saniye içinde yanıt vermedi"},
                      Answer{"no_wine", "", ProductState::kUnknown, "wine programı bulunamadı"}),
    [](const auto& p) { return std::string(p.param.label); });

TEST_F(WineCheck, MissingHelperCannotTellAndStartsNothing) {
  fakeWine("1");
  FakeServer server(serverByLock());
  fs::remove(tmp.path() / "helper/ud-findwindow.exe");
  platform::ProductStatus status = ask();
  EXPECT_EQ(status.state, ProductState::kUnknown);
  EXPECT_EQ(status.reason, "Wine ortamı " + prefix.string() + ": denetim programı " +
                               (tmp.path() / "helper/ud-findwindow.exe").string() + " bulunamadı");
  EXPECT_FALSE(tmp.has("started"));
}

}  // namespace
