// Before the upgrade writes: a copy of what it will replace in the newest
// data directory.
#include "data/datadirectories.h"
#include "data/failuretext.h"
#include "data/names.h"
#include "jobs/filelist.h"
#include "jobs/filesetcopy.h"
#include "jobs/runhost.h"
#include "jobs/runoptions.h"
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
std::vector<std::string> filesOf(const platform::TypedPath& dir) {
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

UpgradeBackup KeepReplacedFiles(RunHost& host, const RunOptions& run, Workspace& ws) {
  const platform::TypedPath& oldDir = run.oldData;
  const platform::TypedPath& newDir = run.newData;
  // An upgrade that was cut off once it had begun writing: its folder holds
  // the files as they were before it; what is there now is half upgraded.
  if (const std::vector<std::string> folders = UpgradeBackupFolders(newDir); !folders.empty()) {
    UpgradeBackup last{newDir.below(folders.back()), {}};
    std::string why;
    if (std::optional<UpgradeList> list = ReadUpgradeList(last.folder, why);
        list && !list->complete) {
      last.list = std::move(*list);
      host.setStatusText(FileFailureText("Yarıda kalan upgrade işleminin yedeği kullanılıyor",
                                         last.folder.text(), ""));
      return last;
    }
  }
  // Phase 1 replaces the data directory's files that the older one has too,
  // the registry among them (and with it every row of the newest edition).
  // A replaced table is kept with all its files, so that the copy opens.
  struct Kept {
    platform::TypedPath source;
    std::string company;  // the folder in the copy ("" for the data directory's own)
    std::string name;
  };
  std::vector<Kept> keep;
  UpgradeBackup backup;
  auto base = [](const std::string& name) { return name.substr(0, name.find('.')); };
  const std::vector<std::string> newest = filesOf(newDir), older = filesOf(oldDir);
  for (const std::string& n : newest) {
    bool replaced = false;
    for (const std::string& name : older) replaced = replaced || sameName(base(n), base(name));
    if (replaced) keep.push_back({newDir.below(n), "", n});
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
    const platform::TypedPath company = CompanyDirectory(newDir, c);
    if (!company.isDirectory()) continue;
    backup.list.directoriesBefore.push_back(c);
    for (const std::string& name : filesOf(company)) keep.push_back({company.below(name), c, name});
  }
  // The folder is made even when nothing is replaced: it holds the list.
  backup.folder = newDir.below("UD_YEDEK_" + timeStamp());
  for (int n = 2; backup.folder.isDirectory(); ++n)
    backup.folder = newDir.below("UD_YEDEK_" + timeStamp() + "_" + std::to_string(n));
  auto makeFolder = [](const platform::TypedPath& folder) {
    if (!platform::createDirectories(folder))
      throw platform::FileSystemError(FileFailureText("Yedek dizini oluşturulamadı", folder.text(),
                                                      "erişim izni yok ya da disk dolu"));
  };
  makeFolder(backup.folder);
  for (const Kept& k : keep) {
    const platform::TypedPath parent =
        k.company.empty() ? backup.folder : backup.folder.below(k.company);
    makeFolder(parent);
    platform::copyFile(k.source, parent.below(k.name), false);
  }
  // The copies are on the disk before the list says that writing may begin.
  if (backup.folder.location()) SyncBeforePublishing(*backup.folder.location());
  WriteUpgradeList(backup.folder, backup.list);
  if (!keep.empty())
    host.setStatusText(FileFailureText("Upgrade işleminin değiştireceği dosyaların kopyası alındı",
                                       backup.folder.text(), ""));
  return backup;
}
