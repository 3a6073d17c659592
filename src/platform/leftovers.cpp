#include "platform/leftovers.h"

#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace platform {

bool isCopyLeftover(const std::string& name) {
  return name.rfind(".ud-copy-", 0) == 0;
}

std::string asideTarget(const std::string& asideName) {
  const std::string prefix = kAsidePrefix;
  if (asideName.rfind(prefix, 0) != 0) return "";
  const std::size_t mark = asideName.find('~', prefix.size());
  return mark == std::string::npos ? "" : asideName.substr(mark + 1);
}

namespace {

// The aside copy was marked hidden; the file it becomes again must not be.
void unhide([[maybe_unused]] const fs::path& file) {
#ifdef _WIN32
  const DWORD attributes = ::GetFileAttributesW(file.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN))
    ::SetFileAttributesW(file.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
#endif
}

// When `entry` is the aside copy of a replace: puts the old bytes back under
// their name if the new file never took it, else removes them, and says so.
bool tidyAside(const fs::directory_entry& entry, const std::string& name) {
  const std::string target = asideTarget(name);
  std::error_code error;
  if (target.empty() || !entry.is_regular_file(error)) return false;
  const fs::path own = entry.path().parent_path() / target;
  if (fs::exists(own, error)) {
    fs::remove(entry.path(), error);
  } else if (!error) {
    fs::rename(entry.path(), own, error);
    if (!error) unhide(own);
  }
  return !error;
}

void sweep(const fs::path& dir, const std::string& prefix, std::vector<std::string>& removed,
           bool descend) {
  std::error_code ec;
  fs::directory_iterator it(dir, ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const std::string name = it->path().filename().string();
    std::error_code typeError;
    if (descend && it->is_directory(typeError)) {
      sweep(it->path(), prefix + name + "/", removed, false);
    } else if (isCopyLeftover(name) && it->is_regular_file(typeError)) {
      std::error_code removeError;
      if (fs::remove(it->path(), removeError)) removed.push_back(prefix + name);
    } else if (tidyAside(*it, name)) {
      removed.push_back(prefix + name);
    }
  }
}

}  // namespace

std::vector<std::string> removeCopyLeftovers(const fs::path& directory) {
  std::vector<std::string> removed;
  sweep(directory, "", removed, true);
  return removed;
}

void restoreMovedAside([[maybe_unused]] const fs::path& directory) {
#ifdef _WIN32
  std::error_code ec;
  fs::directory_iterator it(directory, ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec))
    tidyAside(*it, it->path().filename().string());
#endif
}

}  // namespace platform
