#include "platform/leftovers.h"

#include <system_error>

namespace fs = std::filesystem;

namespace platform {

bool isCopyLeftover(const std::string& name) {
  return name.rfind(".ud-copy-", 0) == 0;
}

namespace {

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
    }
  }
}

}  // namespace

std::vector<std::string> removeCopyLeftovers(const fs::path& directory) {
  std::vector<std::string> removed;
  sweep(directory, "", removed, true);
  return removed;
}

}  // namespace platform
