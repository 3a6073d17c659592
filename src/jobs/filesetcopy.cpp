#include "jobs/filesetcopy.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <map>
#include <optional>
#include <system_error>

#include "data/datadirectories.h"
#include "data/failuretext.h"
#include "jobs/runhost.h"
#include "jobs/workspace.h"
#include "paradox/index.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/rawfile.h"
#include "platform/typedpath.h"

const std::array<const char*, 38> kCarryForwardMasks = {
    "cari.*",     "char.*",     "stok.*",     "ceksen.*",  "doviz.*",  "banka.*",   "uretim.*",
    "urhar.*",    "personel.*", "s_grup.*",   "c_grup.*",  "f_grup.*", "garson.*",  "masa.*",
    "yardgars.*", "yemfirma.*", "sfs.*",      "afs.*",     "dizayn.*", "ayar.*",    "ayar2.*",
    "ayar3.*",    "yedek.*",    "t_grup.*",   "k_grup.*",  "a_grup.*", "tssabit.*", "hatlar.*",
    "noktalar.*", "sofor.*",    "gen_ayar.*", "fisayar.*", "sablon.*", "alanlar.*", "serino.*",
    "sipsbt.*",   "tssabit.*",  "taksit.*",
};

namespace {

// Characters of a UTF-8 text (the window counts characters, not bytes).
std::size_t characterCount(const std::string& text) {
  std::size_t count = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++count;
  return count;
}

std::string upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// The last component of a path text.
std::string nameOf(const std::string& path) {
  const std::size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string extensionOf(const std::string& path) {
  const std::string name = nameOf(path);
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : upper(name.substr(dot + 1));
}
std::string baseOf(const std::string& path) {
  const std::string name = nameOf(path);
  return name.substr(0, name.rfind('.'));
}

// .PX, .Xnn/.Ynn, .XGn/.YGn.
bool isIndexExtension(const std::string& ext) {
  if (ext == "PX") return true;
  return ext.size() == 3 && (ext[0] == 'X' || ext[0] == 'Y') &&
         std::isxdigit(static_cast<unsigned char>(ext[2])) &&
         (std::isxdigit(static_cast<unsigned char>(ext[1])) || ext[1] == 'G');
}

// The prefix of a table's file copied beside its target: a copy leftover,
// which the next run removes (platform/leftovers.h) and no listing shows.
constexpr const char* kStagedPrefix = ".ud-copy-set~";
// What the engine's recovery marker holds while a table's files are replaced.
constexpr char kReplaceMarkerText[] = "replaced by copies\n";

struct Staged {
  std::string to;                // the target as typed
  std::filesystem::path hidden;  // the copy beside it
  std::filesystem::path target;  // the target's real location
};

// The data file of the table `file` belongs to, in its directory, when
// there is one.
std::optional<std::filesystem::path> dataFileIn(const platform::TypedPath& file) {
  const platform::TypedPath directory = file.parent();
  for (const std::string& name : platform::listFiles(directory, baseOf(file.text()) + ".db"))
    return directory.locate(name);
  return std::nullopt;
}

// The index files of the table in the target directory that no copy
// replaces.
std::vector<std::filesystem::path> staleIndexes(const platform::TypedPath& anyTarget,
                                                const std::vector<Staged>& staged) {
  std::vector<std::filesystem::path> stale;
  const platform::TypedPath directory = anyTarget.parent();
  for (const std::string& name : platform::listFiles(directory, baseOf(anyTarget.text()) + ".*")) {
    if (!isIndexExtension(extensionOf(name))) continue;
    bool replaced = false;
    for (const Staged& s : staged) replaced = replaced || upper(nameOf(s.to)) == upper(name);
    if (!replaced) stale.push_back(*directory.locate(name));
  }
  return stale;
}

// A table's files copied straight over their targets in a directory no
// program uses yet, leaving what ReplaceTableFiles leaves: the same copies,
// in the same order, and the target's index files that no copy replaces
// removed when the target held the table's data file. `target` is that
// directory's listing, kept up to date here.
void copyTableUnpublished(const std::vector<TableFileCopy>& files,
                          const std::vector<std::string>& writtenByTables,
                          platform::DirectoryNames& target, const std::function<void()>& copied) {
  std::vector<TableFileCopy> order;
  for (int pass = 0; pass < 2; ++pass)
    for (const TableFileCopy& f : files)
      if ((extensionOf(f.to.text()) == "DB") == (pass == 1)) order.push_back(f);
  // Asked before the data file is copied over it, as the replace asks.
  const bool hadData = !order.empty() && !target.files(baseOf(order.front().to.text()) + ".db").empty();
  std::vector<std::string> copiedNames;
  const platform::TypedPath* anyTarget = nullptr;
  for (const TableFileCopy& f : order) {
    const bool later =
        std::any_of(writtenByTables.begin(), writtenByTables.end(),
                    [&](const std::string& n) { return upper(n) == upper(f.to.name()); });
    if (later || platform::copyFile(f.from, f.to, true) == platform::CopyOutcome::kCopied) {
      if (!later) target.added(platform::typedName(*f.to.location()));
      copiedNames.push_back(f.to.name());
      if (!anyTarget) anyTarget = &f.to;
    }
    if (copied) copied();
  }
  if (copiedNames.empty() || !hadData) return;
  for (const std::string& name : target.files(baseOf(anyTarget->text()) + ".*")) {
    if (!isIndexExtension(extensionOf(name))) continue;
    bool replaced = false;
    for (const std::string& c : copiedNames) replaced = replaced || upper(c) == upper(name);
    if (replaced) continue;
    if (!platform::removeFile(*target.below(name).location())) {
      const std::error_code cause(errno ? errno : EACCES, std::generic_category());
      throw platform::FileSystemError(
          "Cannot replace '" + anyTarget->text() + "': " + cause.message(), cause,
          anyTarget->text(), true);
    }
    target.removed(name);
  }
}

void syncOrThrow(const std::filesystem::path& file, bool directory) {
  try {
    if (directory) {
      platform::syncDirectory(file);  // failures ignored, as for every rename
      return;
    }
    // Windows flushes only a handle that may write.
#ifdef _WIN32
    platform::RawFile f(file, platform::RawFile::Mode::kReadWrite);
#else
    platform::RawFile f(file, platform::RawFile::Mode::kRead);
#endif
    f.sync();
  } catch (const std::system_error& e) {
    const std::string typed = platform::typedPath(file);
    throw platform::FileSystemError("Cannot sync '" + typed + "': " + e.what(), e.code(), typed,
                                    true);
  }
}

}  // namespace

void SyncBeforePublishing(const std::filesystem::path& dir) {
  std::error_code ec;
  std::vector<std::filesystem::path> directories{dir};
  for (std::filesystem::recursive_directory_iterator it(dir, ec), end; !ec && it != end;
       it.increment(ec)) {
    std::error_code typeError;
    // Hidden names (the work marker, a file replaced while a handle still
    // held it) are no part of what the product sees.
    const auto name = it->path().filename().native();
    if (!name.empty() && name[0] == '.') {
      if (it->is_directory(typeError)) it.disable_recursion_pending();
      continue;
    }
    if (it->is_directory(typeError))
      directories.push_back(it->path());
    else if (it->is_regular_file(typeError))
      syncOrThrow(it->path(), false);
  }
  if (ec)
    throw platform::FileSystemError(
        "Cannot list directory '" + platform::typedPath(dir) + "': " + ec.message(), ec,
        platform::typedPath(dir), false);
  // The names after the bytes they point at.
  for (auto d = directories.rbegin(); d != directories.rend(); ++d) syncOrThrow(*d, true);
}

void SyncFilesIn(const platform::TypedPath& directory, const std::vector<std::string>& names) {
  const std::optional<std::filesystem::path>& dir = directory.location();
  if (!dir) return;
  std::error_code ec;
  for (const std::string& name : names)
    if (const auto file = directory.locate(name);
        file && std::filesystem::is_regular_file(*file, ec))
      syncOrThrow(*file, false);
  syncOrThrow(*dir, true);
}

std::string TemplateDirectoryProblem(const platform::TypedPath& dataDirectory) {
  const platform::TypedPath dir = TemplateDirectory(dataDirectory);
  if (!dir.isDirectory()) return FileFailureText("Şablon dizini bulunamadı", dir.text(), "");
  try {
    platform::listFiles(dir, "*.*");
  } catch (const platform::FileSystemError& e) {
    return FileFailureText("Şablon dizini okunamadı", dir.text(),
                           e.cause() ? CauseText(e.cause()) : std::string());
  }
  return {};
}

bool IsTableFile(const std::string& name) {
  const std::string ext = extensionOf(name);
  return ext == "DB" || ext == "MB" || ext == "VAL" || isIndexExtension(ext);
}

void ReplaceTableFiles(const std::vector<TableFileCopy>& files,
                       const std::function<void()>& copied) {
  if (files.empty()) return;
  // Companions first, the data file last: the order of the renames.
  std::vector<TableFileCopy> order;
  for (int pass = 0; pass < 2; ++pass)
    for (const TableFileCopy& f : files)
      if ((extensionOf(f.to.text()) == "DB") == (pass == 1)) order.push_back(f);

  // 1. The copies, under hidden names beside their targets.
  std::vector<Staged> staged;
  const platform::TypedPath* anyTarget = nullptr;
  try {
    for (const TableFileCopy& f : order) {
      const platform::TypedPath hidden = f.to.parent().below(kStagedPrefix + f.to.name());
      try {
        if (platform::copyFile(f.from, hidden, true) == platform::CopyOutcome::kCopied) {
          staged.push_back({f.to.text(), *hidden.location(), *f.to.location()});
          if (!anyTarget) anyTarget = &f.to;
        }
      } catch (const platform::FileSystemError& e) {
        // The failure names the target the user knows, not the hidden copy.
        if (e.path() != hidden.text()) throw;
        throw platform::FileSystemError(e.what(), e.cause(), f.to.text(), e.writing());
      }
      if (copied) copied();
    }
  } catch (...) {
    for (const Staged& s : staged) platform::removeFile(s.hidden);
    throw;
  }
  if (staged.empty()) return;

  // 2. An old data file meets new indexes from here on: the marker makes the
  // next open of the table put its indexes right.
  std::error_code ec;
  std::optional<std::filesystem::path> oldData = dataFileIn(*anyTarget);
  std::optional<std::filesystem::path> marker;
  try {
    if (oldData) {
      marker = pdx::sideFile(*oldData, ".ix~");
      // Not empty: the indexes are to be rebuilt whatever their counters say
      // (paradox/FORMAT.md, "Writing safely").
      platform::RawFile file(*marker, platform::RawFile::Mode::kCreate);
      file.writeAt(0, kReplaceMarkerText, sizeof kReplaceMarkerText - 1);
      file.sync();
      for (const std::filesystem::path& index : staleIndexes(*anyTarget, staged))
        if (!platform::removeFile(index))
          throw std::system_error(errno ? errno : EACCES, std::generic_category(), "remove");
    }
  } catch (...) {
    for (const Staged& s : staged) platform::removeFile(s.hidden);
    if (marker) platform::removeFile(*marker);
    try {
      throw;
    } catch (const std::system_error& e) {
      throw platform::FileSystemError("Cannot replace '" + anyTarget->text() + "': " + e.what(),
                                      e.code(), anyTarget->text(), true);
    }
  }

  // 3. The renames, back to back; the data file's makes them durable.
  for (const Staged& s : staged) {
    try {
      const bool last = &s == &staged.back();
      // Over an existing file an exchange, which does not make the file
      // system write the whole copy out at once; the old bytes then go.
      if (std::filesystem::exists(s.target, ec) && platform::exchangeFiles(s.hidden, s.target)) {
        platform::removeFile(s.hidden);
        if (last) platform::syncDirectory(s.target.parent_path());
      } else {
        platform::replaceFile(s.hidden, s.target, last);
      }
    } catch (const std::system_error& e) {
      // What is not renamed yet goes; the marker stays for the engine.
      for (const Staged* r = &s; r <= &staged.back(); ++r) platform::removeFile(r->hidden);
      throw platform::FileSystemError("Cannot replace '" + s.to + "': " + e.code().message(),
                                      e.code(), s.to, true);
    }
  }
  if (marker) platform::removeFile(*marker);
}

bool CopyFileSet(RunHost& host, const std::vector<std::string>& names,
                 const platform::TypedPath& source, const platform::TypedPath& target,
                 bool overwrite, bool unpublished,
                 const std::vector<std::string>& writtenByTables) {
  if (names.empty()) return false;
  if (!source.isDirectory()) return false;
  if (!target.isDirectory()) {
    if (!overwrite) return false;
    if (characterCount(target.text()) < 4) {
      InfoBox(host, "Bir dizin adı belirtmelisiniz\r\nAna dizin seçilemez");
      return false;
    }
    if (!platform::createDirectories(target)) return false;
  }
  // A table's files as one unit, at the place of its first file; each listed
  // name still advances the gauge once.
  struct Unit {
    std::vector<std::string> names;
    int listed = 0;
    bool table = false;
  };
  std::vector<Unit> units;
  std::map<std::string, std::size_t> tables;  // base name -> unit
  for (const std::string& name : names) {
    if (!IsTableFile(name)) {
      units.push_back({{name}, 1, false});
      continue;
    }
    auto [it, added] = tables.try_emplace(upper(baseOf(name)), units.size());
    if (added) units.push_back({{}, 0, true});
    Unit& unit = units[it->second];
    ++unit.listed;
    bool seen = false;
    for (const std::string& n : unit.names) seen = seen || upper(n) == upper(name);
    if (!seen) unit.names.push_back(name);
  }
  // A directory no other program knows yet is listed once for every
  // look-up of a target name.
  std::optional<platform::DirectoryNames> listed;
  if (unpublished) listed.emplace(target);
  const auto targetOf = [&](const std::string& n) {
    return listed ? listed->below(n) : target.below(n);
  };
  for (const Unit& unit : units) {
    if (unit.table && overwrite) {
      std::vector<TableFileCopy> files;
      for (const std::string& n : unit.names) files.push_back({source.below(n), targetOf(n)});
      if (listed) {
        copyTableUnpublished(files, writtenByTables, *listed, [&] { host.advanceGauge(); });
      } else {
        ReplaceTableFiles(files, [&] { host.advanceGauge(); });
      }
    } else {
      // Missing source files and kept targets are the only failures passed
      // over. A table's data file comes last: a table added file by file is
      // not there until it is whole.
      for (int pass = 0; pass < 2; ++pass)
        for (const std::string& n : unit.names) {
          if ((extensionOf(n) == "DB") != (pass == 1)) continue;
          const platform::TypedPath to = targetOf(n);
          if (platform::copyFile(source.below(n), to, overwrite) == platform::CopyOutcome::kCopied &&
              listed)
            listed->added(platform::typedName(*to.location()));
          host.advanceGauge();
        }
    }
    for (int extra = static_cast<int>(unit.names.size()); extra < unit.listed; ++extra)
      host.advanceGauge();  // a name listed twice is copied once
  }
  return true;
}

bool CopyFileSet(RunHost& host, const std::vector<std::string>& names, const std::string& source,
                 const std::string& target, bool overwrite, bool unpublished,
                 const std::vector<std::string>& writtenByTables) {
  return CopyFileSet(host, names, platform::TypedPath::resolve(source),
                     platform::TypedPath::resolve(target), overwrite, unpublished, writtenByTables);
}

void KMXList(Workspace& ws, const platform::TypedPath& directory) {
  ws.ListBoxCopy.clear();
  ws.FileListBox1.setDirectory(directory);
  for (const char* mask : kCarryForwardMasks) KMXListEkle(ws, mask);
}

void KMXList(Workspace& ws, const std::string& directory) {
  KMXList(ws, platform::TypedPath::resolve(directory));
}

void KMXListEkle(Workspace& ws, const std::string& mask) {
  ws.FileListBox1.setMask(mask);
  const std::vector<std::string>& items = ws.FileListBox1.items();
  ws.ListBoxCopy.insert(ws.ListBoxCopy.end(), items.begin(), items.end());
}
