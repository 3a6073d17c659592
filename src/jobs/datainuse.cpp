#include "jobs/datainuse.h"

#include <cctype>
#include <exception>
#include <filesystem>
#include <set>
#include <utility>

#include "data/datadirectories.h"
#include "jobs/filesetcopy.h"
#include "jobs/runhost.h"
#include "jobs/runoptions.h"
#include "jobs/workspace.h"
#include "platform/files.h"
#include "platform/inuse.h"
#include "platform/paths.h"
#include "platform/wildcard.h"

namespace fs = std::filesystem;

namespace {

ClosedQuestion& closedQuestion() {
  static ClosedQuestion ask;
  return ask;
}

bool isLockFile(const std::string& name) {
  return platform::matchesMask(name, "*.lck");
}

// The data, primary index, memo, validity and secondary index files
// (.Xnn, .Ynn) of a table.
bool isTableFile(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos) return false;
  std::string ext = name.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return ext == "DB" || ext == "PX" || ext == "MB" || ext == "VAL" ||
         (ext.size() == 3 && (ext[0] == 'X' || ext[0] == 'Y'));
}

// One file to ask about.
struct Candidate {
  std::string dirText, name;
  fs::path where;
  bool lock;
};

// The lock files and touched table files of `dir`, once each; a directory
// that does not exist or cannot be listed gives none.
void collect(const TouchedDirectory& dir, std::set<fs::path>& seen, std::vector<Candidate>& out,
             std::string& unseen) {
  if (!dir.dir.isDirectory()) return;
  const std::optional<fs::path>& root = dir.dir.location();
  std::vector<std::string> names;
  try {
    names = platform::listFiles(dir.dir, "*.*");
  } catch (const std::exception&) {
    return;
  }
  std::string locks;
  for (const std::string& name : names) {
    const bool lock = isLockFile(name);
    bool touched = lock;
    for (const std::string& mask : dir.tableMasks)
      touched = touched || (isTableFile(name) && platform::matchesMask(name, mask));
    if (!touched || !root || !seen.insert(*root / name).second) continue;
    out.push_back({dir.dir.text(), name, *root / name, lock});
    if (lock) locks += (locks.empty() ? "" : ", ") + name;
  }
  if (unseen.empty() && !locks.empty() && root && platform::onNetworkFileSystem(*root))
    unseen = dir.dir.text() + " bir ağ sürücüsünde ve içinde kilit dosyaları var (" + locks +
             "). Başka bilgisayarlarda açık olan programlar buradan görülemez.";
}

// The workspace's open table handles, closed for the question and opened
// again after it: on Windows a handle of ours answers "in use" like any
// other. On Linux our own descriptors are never counted: nothing to do.
class OwnHandles {
 public:
  explicit OwnHandles(TDM& dm) {
#ifdef _WIN32
    for (TTable* t : {&dm.SirketOrLumex_T, &dm.SirketPravex_T, &dm.AyarOrLumex_T, &dm.AyarPravexT,
                      &dm.AyarPravexDevir_T, &dm.CariPravex_T, &dm.StokPravex_T, &dm.CeksenPravex_T,
                      &dm.CharPravex_T, &dm.CharPravex, &dm.FaturaPravex_T, &dm.UretimPravex_T})
      if (t->active()) {
        t->close();
        m_closed.push_back(t);
      }
#else
    (void)dm;
#endif
  }
  // Opens again what was open (positioned on the first record). Throws like
  // TTable::open.
  void reopen() {
    for (TTable* t : m_closed) t->open();
    m_closed.clear();
  }

 private:
  std::vector<TTable*> m_closed;
};

bool check(RunHost& host, Workspace& ws, const std::vector<TouchedDirectory>& touched,
           std::vector<std::string>* leftoverLocks, bool askUnseen = true) {
  OwnHandles own(ws.DM);
  DataInUse found = FindDataInUse(touched);
  own.reopen();
  if (!found.stop.empty()) {
    InfoBox(host, found.stop);
    return false;
  }
  if (askUnseen && !found.unseen.empty()) {
    const ClosedQuestion& ask = closedQuestion();
    if (!ask || !ask(found.unseen + "\r\nÜrün bütün bilgisayarlarda kapalı mı?")) {
      InfoBox(host, found.unseen + "\r\nÜrünü bütün bilgisayarlarda kapatınız ve kapalı " +
                        "olduğunu onaylayarak yeniden deneyiniz.");
      return false;
    }
  }
  if (leftoverLocks)
    leftoverLocks->insert(leftoverLocks->end(), found.leftoverLocks.begin(),
                          found.leftoverLocks.end());
  return true;
}

}  // namespace

std::vector<TouchedDirectory> UpgradeTouches(const RunOptions& run, Workspace& ws) {
  const platform::TypedPath &oldDir = run.oldData, &newDir = run.newData;
  std::vector<TouchedDirectory> touched = {{oldDir, {"*.*"}}, {newDir, {"sirket.*"}}};
  try {
    for (const std::string& name : platform::listFiles(oldDir, "*.*"))
      touched[1].tableMasks.push_back(name.substr(0, name.find('.')) + ".*");
  } catch (const std::exception&) {
  }
  touched.push_back({TemplateDirectory(newDir), {"*.*"}});
  TTable& registry = ws.DM.SirketOrLumex_T;
  try {
    registry.close();
    registry.setDatabaseName(oldDir);
    registry.open();
    TField code = registry.field("SIRKET_KOD");
    for (registry.first(); !registry.eof(); registry.next()) {
      touched.push_back({CompanyDirectory(oldDir, code.asString()), {"*.*"}});
      touched.push_back({CompanyDirectory(newDir, code.asString()), {"*.*"}});
    }
  } catch (const std::exception&) {
  }
  registry.close();
  return touched;
}

std::vector<TouchedDirectory> CarryTouches(const RunOptions& run, Workspace& ws) {
  const platform::TypedPath& data = run.newData;
  std::vector<TouchedDirectory> touched = {{data, {"sirket.*"}},
                                           {TemplateDirectory(data), {"*.*"}}};
  const std::vector<std::string> masks(kCarryForwardMasks.begin(), kCarryForwardMasks.end());
  CompanyList& list = ws.RxSirket;
  for (list.first(); !list.eof(); list.next())
    if (list.selected())
      touched.push_back({CompanyDirectory(data, list.text("SIRKET_KOD")), masks});
  list.first();
  return touched;
}

DataInUse FindDataInUse(const std::vector<TouchedDirectory>& touched) {
  DataInUse found;
  std::set<fs::path> seen;
  std::vector<Candidate> candidates;
  for (const TouchedDirectory& dir : touched) collect(dir, seen, candidates, found.unseen);
  std::vector<fs::path> files;
  for (const Candidate& c : candidates) files.push_back(c.where);
  const platform::FilesInUse answer = platform::filesInUse(files);
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    const Candidate& c = candidates[i];
    if (answer.held[i] && found.stop.empty())
      found.stop = "Veriler başka bir programda açık: " + c.dirText + " (" + c.name +
                   "). Ürünü bütün bilgisayarlarda kapatınız.";
    else if (!answer.held[i] && c.lock)
      found.leftoverLocks.push_back(c.dirText + "\\" + c.name);
  }
  if (found.stop.empty() && !answer.failure.empty())
    found.stop = "Verilerin başka bir programda açık olup olmadığı denetlenemedi (" +
                 answer.failure +
                 ").\r\nWine ile açık olan tüm programları kapatıp yeniden deneyiniz";
  return found;
}

ScopedClosedQuestion::ScopedClosedQuestion(ClosedQuestion ask)
    : m_previous(std::exchange(closedQuestion(), std::move(ask))) {}

ScopedClosedQuestion::~ScopedClosedQuestion() {
  closedQuestion() = std::move(m_previous);
}

void ConfirmClosedForThisProcess() {
  closedQuestion() = [](const std::string&) { return true; };
}

bool CheckUpgradeDataInUse(RunHost& host, const RunOptions& run, Workspace& ws,
                           std::vector<std::string>* leftoverLocks) {
  return check(host, ws, UpgradeTouches(run, ws), leftoverLocks);
}

bool CheckCarryDataInUse(RunHost& host, const RunOptions& run, Workspace& ws,
                         std::vector<std::string>* leftoverLocks) {
  return check(host, ws, CarryTouches(run, ws), leftoverLocks);
}

bool CheckDataInUse(RunHost& host, Workspace& ws, const std::vector<TouchedDirectory>& touched,
                    std::vector<std::string>* leftoverLocks) {
  return check(host, ws, touched, leftoverLocks);
}

bool CheckRegistryBeforeRewrite(RunHost& host, const RunOptions& run, Workspace& ws) {
  return check(host, ws, {{run.newData, {"sirket.*"}}}, nullptr, false);
}
