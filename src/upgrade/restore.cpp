#include "upgrade/restore.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <system_error>

#include "data/failuretext.h"
#include "data/fingerprint.h"
#include "data/names.h"
#include "data/ttable.h"
#include "jobs/filelist.h"
#include "jobs/filesetcopy.h"
#include "jobs/runhost.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/rawfile.h"
#include "platform/text.h"

namespace {

namespace fs = std::filesystem;

// How many changed files a refusal names before it counts the rest.
constexpr std::size_t kNamedChanges = 20;

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  return s;
}

// A table's files share the name before the first dot.
std::string baseOf(const std::string& name) {
  return upper(name.substr(0, name.find('.')));
}

// "2005_001\Cari.DB" -> {"2005_001", "Cari.DB"}; "sirket.DB" -> {"", "sirket.DB"}.
std::pair<std::string, std::string> splitPath(const std::string& path) {
  const std::size_t slash = path.find('\\');
  if (slash == std::string::npos) return {"", path};
  return {path.substr(0, slash), path.substr(slash + 1)};
}

bool inList(const std::vector<std::string>& names, const std::string& name) {
  return std::any_of(names.begin(), names.end(),
                     [&](const std::string& n) { return sameName(n, name); });
}

// The plain files of `dir` but the engine's lock and network files; none when
// it cannot be listed.
std::vector<std::string> filesOf(const platform::TypedPath& dir) {
  try {
    std::vector<std::string> names = platform::listFiles(dir, "*");
    names.erase(std::remove_if(names.begin(), names.end(), IsEngineControlFile), names.end());
    return names;
  } catch (const std::exception&) {
    return {};
  }
}

struct Registry {
  std::vector<UpgradeList::Company> rows;
  std::string failure;
};

Registry readRegistry(const platform::TypedPath& dataDirectory) {
  Registry r;
  try {
    TTable t("RestoreRegistry", "sirket.db", nullptr);
    t.setDatabaseName(dataDirectory);
    t.setReadOnly(true);
    t.open();
    const std::optional<TField> code = t.findField("SIRKET_KOD");
    const std::optional<TField> year = t.findField("NUMBER1");
    for (t.first(); code && !t.eof(); t.next())
      r.rows.push_back({code->asString(), year ? year->asString() : ""});
    t.close();
  } catch (const std::exception& e) {
    r.failure = UnreadableTableText(dataDirectory.text(), e);
    if (r.failure.empty()) r.failure = FailureText(e);
  }
  return r;
}

// The companies a carry-forward registered after the upgrade, and the
// command that withdraws them, per year.
std::string carriedSinceText(const platform::TypedPath& dataDirectory,
                             const std::vector<UpgradeList::Company>& added) {
  std::map<std::string, std::vector<std::string>> byYear;
  for (const UpgradeList::Company& c : added) byYear[c.year].push_back(c.code);
  std::string text =
      "Upgrade'den sonra devir yapılmış: yeni şirketler kaydedilmiş. Önce o devri geri alınız:";
  for (const auto& [year, codes] : byYear) {
    std::string list;
    for (const std::string& c : codes) list += (list.empty() ? "" : ",") + c;
    text += "\r\nupgrade-devir --withdraw-carry --data \"" + dataDirectory.text() + "\" --to " +
            (year.empty() ? std::string("YIL") : year) + " --companies " + list;
  }
  return text;
}

// The company directories the upgrade created (not there before it).
std::vector<std::string> createdDirectories(const UpgradeList& list) {
  std::vector<std::string> codes;
  for (const UpgradeList::File& f : list.files) {
    const std::string dir = splitPath(f.path).first;
    if (!dir.empty() && !inList(list.directoriesBefore, dir) && !inList(codes, dir))
      codes.push_back(dir);
  }
  return codes;
}

// The directories whose tables go back one by one: the data directory ("")
// and each company directory that was there before the upgrade.
std::vector<std::string> restoredDirectories(const UpgradeList& list) {
  std::vector<std::string> dirs{""};
  for (const std::string& d : list.directoriesBefore) dirs.push_back(d);
  return dirs;
}

platform::TypedPath dirOf(const platform::TypedPath& root, const std::string& dir) {
  return dir.empty() ? root : root.below(dir);
}

// Renames `from` to `to` (a file or a directory; `to` must not exist),
// durably. Passes the file seam as a rename.
void moveAway(const platform::TypedPath& from, const platform::TypedPath& to) {
  platform::createDirectories(to.parent());
  std::error_code ec;
  if (const int e = platform::injectedFault(platform::FileOp::kRename, to.location().value_or(""))) {
    ec = std::error_code(e, std::generic_category());
  } else if (!from.location() || !to.location()) {
    ec = std::make_error_code(std::errc::no_such_file_or_directory);
  } else {
    fs::rename(*from.location(), *to.location(), ec);
  }
  if (ec)
    throw platform::FileSystemError(
        FileFailureText("Dosya taşınamadı", from.text(), CauseText(ec)), ec, from.text(), true);
  platform::syncDirectory(to.location()->parent_path());
  platform::syncDirectory(from.location()->parent_path());
}

// Steps 1 to 3 of the restore; each finds what is done already.
void applyRestore(const platform::TypedPath& data, const platform::TypedPath& backup,
                  const UpgradeList& list, const platform::TypedPath& away) {
  platform::createDirectories(away);
  for (const std::string& code : createdDirectories(list)) {
    const platform::TypedPath dir = data.below(code);
    if (dir.isDirectory()) moveAway(dir, away.below(code));
  }
  for (const std::string& dir : restoredDirectories(list)) {
    const platform::TypedPath target = dirOf(data, dir), kept = dirOf(backup, dir);
    std::map<std::string, std::vector<std::string>> keptTables;  // base -> names in the backup
    for (const std::string& name : filesOf(kept))
      if (dir.empty() ? !sameName(name, kUpgradeListName) && !sameName(name, kRestoredListName)
                      : true)
        keptTables[baseOf(name)].push_back(name);
    std::set<std::string> bases;
    for (const auto& [base, names] : keptTables) bases.insert(base);
    for (const UpgradeList::File& f : list.files)
      if (const auto [d, name] = splitPath(f.path); sameName(d, dir) && !f.replaced) {
        bases.insert(baseOf(name));
        const platform::TypedPath file = target.below(name);
        if (file.isFile()) moveAway(file, dirOf(away, dir).below(name));
      }
    for (const std::string& base : bases) {
      std::vector<TableFileCopy> family;
      for (const std::string& name : keptTables[base])
        family.push_back({kept.below(name), target.below(name)});
      ReplaceTableFiles(family);
    }
    if (target.location()) {
      std::vector<std::string> names;
      for (const auto& [base, family] : keptTables)
        names.insert(names.end(), family.begin(), family.end());
      SyncFilesIn(target, names);
    }
  }
  const platform::TypedPath listFile = backup.below(kUpgradeListName);
  if (listFile.isFile() && listFile.location())
    platform::replaceFile(*listFile.location(), *backup.below(kRestoredListName).location(), true);
}

std::string markerText(const std::string& backupName, const std::string& awayName) {
  return platform::csvRow({backupName, awayName});
}

}  // namespace

RestorePlan PlanUpgradeRestore(const platform::TypedPath& dataDirectory,
                               const std::string& backupName) {
  RestorePlan plan;
  // Only a run that writes finishes a restore cut off; a dry run would plan
  // over a half-restored directory.
  if (dataDirectory.below(kRestoreMarker).isFile()) {
    plan.refusal = "Upgrade'in geri alınması yarıda kalmış: " + dataDirectory.text() +
                   "\r\nGeri almayı --dry-run olmadan yeniden çalıştırınız; önce onu bitirir.";
    return plan;
  }
  std::string name = backupName;
  if (name.empty()) {
    const std::vector<std::string> folders = UpgradeBackupFolders(dataDirectory);
    if (folders.empty()) {
      plan.refusal = dataDirectory.text() + " dizininde geri alınacak bir upgrade bulunamadı.";
      return plan;
    }
    name = folders.back();
  }
  plan.backup = dataDirectory.below(name);
  if (!plan.backup.isDirectory()) {
    plan.refusal = "Upgrade yedeği bulunamadı: " + plan.backup.text();
    return plan;
  }
  std::string why;
  std::optional<UpgradeList> list = ReadUpgradeList(plan.backup, why);
  if (!list && why.empty()) {
    if (plan.backup.below(kRestoredListName).isFile()) {
      plan.refusal = "Bu upgrade daha önce geri alınmış: " + plan.backup.text();
      return plan;
    }
    plan.refusal =
        "Bu upgrade, yazdığı dosyaların kaydı tutulmadan önce yapılmış; program onu geri "
        "alamaz.\r\n" +
        plan.backup.text() +
        " dizini upgrade'in değiştirdiği dosyaların önceki hallerini tutar: DATA dizininin "
        "dosyaları dizinin kendisinde, her şirketinkiler şirket kodunu taşıyan alt dizinde.\r\n"
        "Elle geri almak için ürünü bütün bilgisayarlarda kapatıp bu dosyaları yerlerine "
        "kopyalayınız (bir tablonun bütün dosyalarını birlikte) ve upgrade'in oluşturduğu "
        "şirket dizinlerini başka bir yere taşıyınız.";
    return plan;
  }
  if (!list) {
    plan.refusal = FileFailureText("Upgrade kaydı okunamadı",
                                   plan.backup.textOf(kUpgradeListName), why);
    return plan;
  }
  if (!list->complete) {
    plan.refusal =
        "Bu upgrade yarıda kalmış: " + plan.backup.text() +
        "\r\nÖnce upgrade'i yeniden çalıştırıp bitiriniz; sonra geri alabilirsiniz.";
    return plan;
  }
  plan.list = std::move(*list);

  // A carry-forward since: its companies must be withdrawn first.
  const Registry registry = readRegistry(dataDirectory);
  if (!registry.failure.empty()) {
    plan.refusal = "Upgrade geri alınamaz: şirket bilgilerine ulaşılamadı.\r\n" + registry.failure;
    return plan;
  }
  std::vector<UpgradeList::Company> added;
  for (const UpgradeList::Company& c : registry.rows) {
    bool known = false;
    for (const UpgradeList::Company& k : plan.list.registry) known = known || k.code == c.code;
    if (!known) added.push_back(c);
  }
  if (!added.empty()) {
    plan.refusal = carriedSinceText(dataDirectory, added);
    return plan;
  }

  // Everything the upgrade wrote must be as it left it, and nothing added to
  // the company directories.
  std::vector<std::string> changes;
  std::vector<std::string> dirs = restoredDirectories(plan.list);
  for (const std::string& code : createdDirectories(plan.list)) dirs.push_back(code);
  for (const std::string& dir : dirs) {
    const platform::TypedPath where = dirOf(dataDirectory, dir);
    const std::string prefix = dir.empty() ? "" : dir + "\\";
    std::vector<FileFingerprint> before, now;
    for (const UpgradeList::File& f : plan.list.files)
      if (f.fingerprint && sameName(splitPath(f.path).first, dir)) before.push_back(*f.fingerprint);
    if (!where.isDirectory()) {
      changes.push_back(prefix + ": dizin silindi");
      continue;
    }
    try {
      now = FingerprintDirectory(where);
    } catch (const std::exception& e) {
      changes.push_back(where.text() + ": okunamadı (" + FailureText(e) + ")");
      continue;
    }
    // In the data directory only what the upgrade wrote counts: it holds
    // the companies, the template and the reports too.
    if (dir.empty())
      std::erase_if(now, [&](const FileFingerprint& n) {
        return std::none_of(before.begin(), before.end(),
                            [&](const FileFingerprint& b) { return sameName(b.name, n.name); });
      });
    for (const std::string& line : DescribeFingerprintChanges(before, now))
      changes.push_back(prefix + line);
  }
  if (!changes.empty()) {
    plan.refusal = "Upgrade geri alınamaz: upgrade'in yazdığı dosyalar o zamandan beri "
                   "değişmiş.";
    for (std::size_t i = 0; i < changes.size() && i < kNamedChanges; ++i)
      plan.refusal += "\r\n" + changes[i];
    if (changes.size() > kNamedChanges)
      plan.refusal += "\r\n... ve " + std::to_string(changes.size() - kNamedChanges) +
                      " dosya daha";
    plan.refusal += "\r\nBu değişiklikler üründe yapılmış olabilir; geri alma onları silerdi.";
    return plan;
  }

  for (const std::string& code : createdDirectories(plan.list))
    plan.moveAway.push_back(dataDirectory.textOf(code));
  for (const UpgradeList::File& f : plan.list.files)
    if (const std::string dir = splitPath(f.path).first; dir.empty() || inList(plan.list.directoriesBefore, dir))
      (f.replaced ? plan.putBack : plan.moveAway).push_back(BelowPath(dataDirectory, f.path).text());
  return plan;
}

std::string RestorePreviewText(const RestorePlan& plan) {
  std::string text = "Upgrade geri alınacak: " + plan.backup.text() + "\r\n";
  text += std::to_string(plan.putBack.size()) + " dosya upgrade'den önceki haline dönecek, " +
          std::to_string(plan.moveAway.size()) +
          " dosya ya da dizin (upgrade'in oluşturdukları) bir yedek dizinine taşınacak.";
  for (const std::string& f : plan.putBack) text += "\r\n  geri yüklenecek: " + f;
  for (const std::string& f : plan.moveAway) text += "\r\n  taşınacak: " + f;
  return text;
}

platform::TypedPath RestoreUpgrade(RunHost& host, const platform::TypedPath& dataDirectory,
                                   const RestorePlan& plan) {
  std::string awayName = "UD_YEDEK_GERIALMA_UPGRADE_" + platform::localTimeText("%Y%m%d_%H%M%S");
  for (int n = 2; dataDirectory.below(awayName).isDirectory(); ++n)
    awayName = "UD_YEDEK_GERIALMA_UPGRADE_" + platform::localTimeText("%Y%m%d_%H%M%S") + "_" +
               std::to_string(n);
  const platform::TypedPath away = dataDirectory.below(awayName);
  // The marker first, durably: from here on the next run finishes the job.
  const platform::TypedPath marker = dataDirectory.below(kRestoreMarker);
  try {
    const std::string text = markerText(plan.backup.name(), awayName);
    platform::RawFile out(marker.location().value_or(""), platform::RawFile::Mode::kCreate);
    out.writeAt(0, text.data(), text.size());
    out.sync();
    out.close();
    platform::syncDirectory(*dataDirectory.location());
  } catch (const std::system_error& e) {
    throw platform::FileSystemError(
        FileFailureText("Dosya yazılamadı", marker.text(), CauseText(e.code())), e.code(),
        marker.text(), true);
  }
  host.setStatusText("Upgrade geri alınıyor...");
  host.setStatusVisible(true);
  host.repaint();
  applyRestore(dataDirectory, plan.backup, plan.list, away);
  platform::removeFile(*marker.location());
  platform::syncDirectory(*dataDirectory.location());
  return away;
}

bool FinishInterruptedRestore(RunHost& host, const platform::TypedPath& dataDirectory) {
  const std::optional<fs::path> marker = dataDirectory.locate(kRestoreMarker);
  if (!marker || !fs::is_regular_file(*marker)) return false;
  std::string text;
  {
    // Closed before the marker is removed: Windows keeps an open file.
    std::ifstream in(*marker, std::ios::binary);
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::size_t at = 0;
  std::vector<std::string> fields;
  // A marker cut short (its write never synced) was written before anything
  // else: nothing was done yet.
  if (!platform::nextCsvRow(text, at, fields) || fields.size() < 2 || fields[1].empty()) {
    platform::removeFile(*marker);
    return false;
  }
  const platform::TypedPath backup = dataDirectory.below(fields[0]);
  std::string why;
  std::optional<UpgradeList> list = ReadUpgradeList(backup, why);
  if (!list) {  // renamed already: the last step was done
    const std::optional<fs::path> restored = backup.locate(kRestoredListName);
    std::string t;
    {
      std::ifstream r(restored.value_or(""), std::ios::binary);
      t.assign(std::istreambuf_iterator<char>(r), std::istreambuf_iterator<char>());
    }
    list = ParseUpgradeList(t, why);
  }
  if (!list)
    throw platform::FileSystemError(FileFailureText(
        "Yarıda kalan upgrade geri alma işlemi bitirilemedi: upgrade kaydı okunamadı",
        backup.textOf(kUpgradeListName), why));
  host.setStatusText(FileFailureText("Yarıda kalan upgrade geri alma işlemi bitiriliyor",
                                     backup.text(), ""));
  host.setStatusVisible(true);
  applyRestore(dataDirectory, backup, *list, dataDirectory.below(fields[1]));
  platform::removeFile(*marker);
  platform::syncDirectory(*dataDirectory.location());
  return true;
}
