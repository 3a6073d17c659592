// Before the upgrade writes: a copy of what it will replace in the newest
// data directory.
#include "data/datadirectories.h"
#include "data/failuretext.h"
#include "data/names.h"
#include "jobs/filelist.h"
#include "jobs/runhost.h"
#include "jobs/workspace.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "upgrade/phases.h"

namespace {

std::string timeStamp() {
  return platform::localTimeText("%Y%m%d_%H%M%S");
}

bool listed(const std::vector<std::string>& names, const std::string& name) {
  for (const std::string& n : names)
    if (sameName(n, name)) return true;
  return false;
}

// The names of `dir`'s plain files; none when it cannot be listed.
std::vector<std::string> filesOf(const std::string& dir) {
  FileListBox list;
  try {
    list.setMask("*.*");
    list.setDirectory(dir);
  } catch (const std::exception&) {
    return {};
  }
  return list.items();
}

}  // namespace

std::string KeepReplacedFiles(RunHost& host, Workspace& ws) {
  const std::string oldDir = host.oldDataDirectory();
  const std::string newDir = host.newDataDirectory();
  // Phase 1 replaces the data directory's files that the older one has too,
  // the registry among them (and with it every row of the newest edition).
  // A replaced table is kept with all its files, so that the copy opens.
  std::vector<std::pair<std::string, std::string>> keep;  // source, place in the copy
  auto base = [](const std::string& name) { return name.substr(0, name.find('.')); };
  const std::vector<std::string> newest = filesOf(newDir), older = filesOf(oldDir);
  for (const std::string& n : newest) {
    bool replaced = false;
    for (const std::string& name : older) replaced = replaced || sameName(base(n), base(name));
    if (replaced) keep.emplace_back(newDir + "\\" + n, n);
  }
  // Phases 2 and 3 write into company directories that may exist already:
  // each is kept whole.
  TTable& registry = ws.DM.SirketOrLumex_T;
  TField code = registry.field("SIRKET_KOD");
  std::vector<std::string> seen;
  for (registry.first(); !registry.eof(); registry.next()) {
    const std::string c = code.asString();
    if (c.empty() || listed(seen, c)) continue;
    seen.push_back(c);
    const std::string company = CompanyDirectory(newDir, c);
    for (const std::string& name : filesOf(company))
      keep.emplace_back(company + "\\" + name, c + "\\" + name);
  }
  if (keep.empty()) return {};
  std::string folder = newDir + "\\UD_YEDEK_" + timeStamp();
  for (int n = 2; platform::directoryExists(folder); ++n)
    folder = newDir + "\\UD_YEDEK_" + timeStamp() + "_" + std::to_string(n);
  for (const auto& [source, place] : keep) {
    const std::string target = folder + "\\" + place;
    const std::string parent = target.substr(0, target.rfind('\\'));
    if (!platform::createDirectories(parent))
      throw platform::FileSystemError(FileFailureText("Yedek dizini oluşturulamadı", parent,
                                                      "erişim izni yok ya da disk dolu"));
    platform::copyFile(source, target, false);
  }
  host.setStatusText(
      FileFailureText("Upgrade işleminin değiştireceği dosyaların kopyası alındı", folder, ""));
  return folder;
}
