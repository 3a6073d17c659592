#include "platform/productcheck/wineinuse.h"

#include <stdlib.h>

#include <cstdlib>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace platform {
namespace {

// A private directory for the list and the answers, removed with the object.
class ScratchDir {
 public:
  ScratchDir() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/ud-inuse-XXXXXX";
    if (::mkdtemp(pattern.data())) m_dir = pattern;
  }
  ~ScratchDir() {
    std::error_code ec;
    if (!m_dir.empty()) fs::remove_all(m_dir, ec);
  }
  const fs::path& dir() const { return m_dir; }

 private:
  fs::path m_dir;
};

}  // namespace

WineInUse askWineInUse(const WineQuery& query, const std::vector<fs::path>& files) {
  WineInUse answer;
  answer.held.assign(files.size(), false);
  if (files.empty() || !wineServerRunning(query.prefix)) return answer;
  const std::string where = "Wine ortamı " + query.prefix.string() + ": ";
  ScratchDir scratch;
  if (scratch.dir().empty()) {
    answer.failure = where + "geçici dizin oluşturulamadı";
    return answer;
  }
  const fs::path list = scratch.dir() / "list", answers = scratch.dir() / "answers";
  {
    std::ofstream out(list, std::ios::binary);
    for (const fs::path& f : files) out << f.string() << '\n';
    if (!out.flush()) {
      answer.failure = where + "dosya listesi yazılamadı";
      return answer;
    }
  }
  const WineRun run = runWineHelper(query, {"--in-use", list.string(), answers.string()});
  if (!run.exited) {
    answer.failure = run.failure;
    return answer;
  }
  std::ifstream in(answers, std::ios::binary);
  std::string line;
  std::vector<bool> held;
  while (std::getline(in, line)) held.push_back(line == "1");
  if (run.exitCode != 0 || held.size() != files.size()) {
    answer.failure = where + "denetim programı dosyaların durumunu bildiremedi (çıkış kodu " +
                     std::to_string(run.exitCode) + ")";
    return answer;
  }
  answer.asked = true;
  answer.held = std::move(held);
  return answer;
}

}  // namespace platform
