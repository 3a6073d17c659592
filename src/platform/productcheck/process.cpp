#include "platform/productcheck/process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

extern char** environ;

namespace platform {
namespace {

std::vector<std::string> mergedEnvironment(const std::vector<std::string>& overrides) {
  auto nameOf = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
  std::vector<std::string> merged;
  for (char** e = environ; e && *e; ++e) {
    std::string entry = *e;
    bool replaced = false;
    for (const std::string& o : overrides) replaced = replaced || nameOf(o) == nameOf(entry);
    if (!replaced) merged.push_back(std::move(entry));
  }
  merged.insert(merged.end(), overrides.begin(), overrides.end());
  return merged;
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
  std::vector<char*> result;
  for (std::string& t : texts) result.push_back(t.data());
  result.push_back(nullptr);
  return result;
}

}  // namespace

ProcessEnd runProgram(const std::vector<std::string>& argv,
                      const std::vector<std::string>& environment,
                      std::chrono::milliseconds limit) {
  std::vector<std::string> args = argv;
  std::vector<std::string> env = mergedEnvironment(environment);
  std::vector<char*> argp = pointers(args);
  std::vector<char*> envp = pointers(env);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  for (int fd : {0, 1, 2})
    posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attributes, 0);
  pid_t pid = -1;
  int rc = ::posix_spawnp(&pid, argp[0], &actions, &attributes, argp.data(), envp.data());
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return {ProcessEnd::kNotStarted, rc};

  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    int status = 0;
    pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) {
      if (WIFEXITED(status)) return {ProcessEnd::kExited, WEXITSTATUS(status)};
      return {ProcessEnd::kSignalled, WIFSIGNALED(status) ? WTERMSIG(status) : 0};
    }
    if (done < 0 && errno != EINTR) return {ProcessEnd::kNotStarted, errno};
    if (std::chrono::steady_clock::now() >= deadline) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ::kill(-pid, SIGKILL);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return {ProcessEnd::kTimedOut, 0};
}

}  // namespace platform
