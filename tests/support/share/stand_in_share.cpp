#include "support/share/stand_in_share.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/statfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#ifndef UD_SHARE_PROGRAM
#error "UD_SHARE_PROGRAM: the path of ud-share"
#endif

namespace fixture {

namespace fs = std::filesystem;

namespace {
constexpr long kFuseMagic = 0x65735546;
}

bool StandInShare::fuseAvailable(std::string& why) {
  const int fd = ::open("/dev/fuse", O_RDWR | O_CLOEXEC);
  if (fd < 0) {
    why = std::string("/dev/fuse cannot be opened: ") + std::strerror(errno);
    return false;
  }
  ::close(fd);
  return true;
}

StandInShare::StandInShare(const fs::path& source, long delayUs) {
  if (!fuseAvailable(m_whyNot)) return;
  std::error_code ec;
  if (!fs::exists(UD_SHARE_PROGRAM, ec)) {
    m_whyNot = std::string("no ") + UD_SHARE_PROGRAM;
    return;
  }
  m_mount = source.parent_path() / (source.filename().string() + "-share");
  fs::create_directories(m_mount, ec);
  int in[2], out[2];
  if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) {
    m_whyNot = "no pipe";
    return;
  }
  const std::string delay = std::to_string(delayUs);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(in[0], 0);
    ::dup2(out[1], 1);
    ::execl(UD_SHARE_PROGRAM, "ud-share", source.c_str(), m_mount.c_str(), "--delay-us",
            delay.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(in[0]);
  ::close(out[1]);
  m_toServer = ::fdopen(in[1], "w");
  m_fromServer = ::fdopen(out[0], "r");
  if (pid < 0 || !m_toServer || !m_fromServer) {
    m_whyNot = "ud-share could not be started";
    return;
  }
  m_server = pid;
  char line[256];
  if (!std::fgets(line, sizeof line, m_fromServer) || std::strncmp(line, "ready", 5) != 0) {
    stop();
    m_whyNot = "ud-share could not mount " + m_mount.string();
    return;
  }
  struct statfs info {};
  if (::statfs(m_mount.c_str(), &info) != 0 || info.f_type != kFuseMagic) {
    stop();
    m_whyNot = "the share is not seen at " + m_mount.string();
  }
}

StandInShare::~StandInShare() {
  stop();
  std::error_code ec;
  if (!m_mount.empty()) fs::remove(m_mount, ec);
}

void StandInShare::stop() {
  if (m_toServer) std::fclose(m_toServer);  // the server unmounts at the end of its input
  m_toServer = nullptr;
  if (m_fromServer) std::fclose(m_fromServer);
  m_fromServer = nullptr;
  if (m_server > 0) {
    int status = 0;
    ::waitpid(m_server, &status, 0);
  }
  m_server = 0;
}

std::string StandInShare::ask(const std::string& line) {
  if (!usable()) throw std::runtime_error("ud-share: not running");
  std::fputs((line + "\n").c_str(), m_toServer);
  std::fflush(m_toServer);
  char* answer = nullptr;
  std::size_t capacity = 0;
  const ssize_t n = ::getline(&answer, &capacity, m_fromServer);
  std::string a = n > 0 ? std::string(answer, static_cast<std::size_t>(n)) : std::string();
  std::free(answer);
  if (n <= 0) throw std::runtime_error("ud-share: no answer to " + line);
  while (!a.empty() && (a.back() == '\n' || a.back() == '\r')) a.pop_back();
  if (a.rfind("ok", 0) != 0) throw std::runtime_error("ud-share: " + line + ": " + a);
  return a.size() > 3 ? a.substr(3) : std::string();
}

void StandInShare::delay(long us) {
  ask("delay " + std::to_string(us));
}

void StandInShare::fail(const std::string& op, const std::string& name, long after,
                        const std::string& error) {
  ask("fail " + op + " " + name + " " + std::to_string(after) + " " + error);
}

void StandInShare::shrink(const std::string& name, long after, long long bytes) {
  ask("shrink " + name + " " + std::to_string(after) + " " + std::to_string(bytes));
}

long StandInShare::count(const std::string& op, const std::string& name) {
  return std::stol(ask("count " + op + " " + name));
}

void StandInShare::heal() {
  ask("heal");
}

}  // namespace fixture
