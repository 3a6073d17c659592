#include "platform/productcheck/wineproduct.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <system_error>
#include <vector>

#include "platform/productcheck/process.h"

namespace fs = std::filesystem;

namespace platform {
namespace {

// Another process holds the write lock a running wineserver keeps on the
// first byte of this file. F_GETLK only looks; it takes nothing.
bool lockHeld(const fs::path& lockFile) {
  int fd = ::open(lockFile.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = 0;
  lock.l_len = 1;
  bool held = ::fcntl(fd, F_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
  ::close(fd);
  return held;
}

// The directories a server's directory may sit in, as Wine's client looks
// for them.
std::vector<fs::path> serverParents(const fs::path& prefix) {
  std::vector<fs::path> parents;
  std::ifstream named(prefix / "wineserver");
  std::string name;
  if (named >> name) {
    const char* tmp = std::getenv("TMPDIR");
    parents.push_back(fs::path(tmp && *tmp ? tmp : "/tmp") / name);
  }
  parents.push_back("/tmp/.wine-" + std::to_string(::getuid()));
  return parents;
}

bool serverProcessIn(const std::string& serverDir) {
  std::error_code ec;
  for (fs::directory_iterator it("/proc", ec), end; !ec && it != end; it.increment(ec)) {
    std::ifstream comm(it->path() / "comm");
    std::string command;
    if (!(comm >> command) || command.rfind("wineserver", 0) != 0) continue;
    std::error_code linkError;
    // Unreadable for another user's processes and for zombies: not ours.
    fs::path cwd = fs::read_symlink(it->path() / "cwd", linkError);
    if (!linkError && cwd.filename() == serverDir) return true;
  }
  return false;
}

std::string exitText(const ProcessEnd& end) {
  if (end.kind == ProcessEnd::kSignalled) return "sinyal " + std::to_string(end.code);
  return "çıkış kodu " + std::to_string(end.code);
}

}  // namespace

bool wineServerRunning(const fs::path& prefix) {
  struct stat st {};
  if (::stat(prefix.c_str(), &st) != 0) return false;
  char name[64];
  std::snprintf(name, sizeof name, "server-%llx-%llx", static_cast<unsigned long long>(st.st_dev),
                static_cast<unsigned long long>(st.st_ino));
  for (const fs::path& parent : serverParents(prefix))
    if (lockHeld(parent / name / "lock")) return true;
  return serverProcessIn(name);
}

WineRun runWineHelper(const WineQuery& query, const std::vector<std::string>& arguments) {
  WineRun run;
  const std::string where = "Wine ortamı " + query.prefix.string() + ": ";
  std::error_code ec;
  if (query.helper.empty() || !fs::is_regular_file(query.helper, ec)) {
    run.failure = where + "denetim programı " + query.helper.string() + " bulunamadı";
    return run;
  }
  const std::vector<std::string> environment = {"WINEPREFIX=" + query.prefix.string(),
                                                "WINEDEBUG=-all"};
  std::vector<std::string> argv = {"wine", query.helper.string()};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  ProcessEnd end = runProgram(argv, environment, query.limit);
  if (end.kind == ProcessEnd::kNotStarted && end.code == ENOENT) {
    argv[0] = "wine64";
    end = runProgram(argv, environment, query.limit);
  }
  switch (end.kind) {
    case ProcessEnd::kNotStarted:
      run.failure = end.code == ENOENT
                        ? where + "wine programı bulunamadı"
                        : where + "wine programı başlatılamadı (" + std::strerror(end.code) + ")";
      return run;
    case ProcessEnd::kTimedOut:
      run.failure = where + "wine " + std::to_string((query.limit.count() + 999) / 1000) +
                    " saniye içinde yanıt vermedi";
      return run;
    case ProcessEnd::kExited:
      run.exited = true;
      run.exitCode = end.code;
      return run;
    case ProcessEnd::kSignalled:
      break;
  }
  run.failure = where + "wine beklenmeyen biçimde sona erdi (" + exitText(end) + ")";
  return run;
}

ProductStatus askWine(const WineQuery& query) {
  if (!wineServerRunning(query.prefix)) return ProductStatus::closed();
  const WineRun run = runWineHelper(query, {});
  if (!run.exited) return ProductStatus::unknown(run.failure);
  if (run.exitCode == 0) return ProductStatus::running();
  if (run.exitCode == 1) return ProductStatus::closed();
  return ProductStatus::unknown("Wine ortamı " + query.prefix.string() +
                                ": wine beklenmeyen biçimde sona erdi (çıkış kodu " +
                                std::to_string(run.exitCode) + ")");
}

fs::path findWindowHelper() {
  std::error_code ec;
  fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  return self.parent_path() / kFindWindowHelper;
}

}  // namespace platform
