// The withdrawal's writes and the tidying that finishes or undoes a run cut
// off among them (withdraw/withdrawal.h).
#include <exception>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "carry/record.h"
#include "carry/staging.h"
#include "data/datadirectories.h"
#include "data/failuretext.h"
#include "data/ttable.h"
#include "jobs/datainuse.h"
#include "jobs/runhost.h"
#include "jobs/runoptions.h"
#include "jobs/workspace.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/rawfile.h"
#include "withdraw/registry.h"
#include "withdraw/withdrawal.h"

namespace fs = std::filesystem;

namespace withdraw {

namespace {

[[noreturn]] void fail(const std::string& what, const std::string& typed, std::error_code ec) {
  throw platform::FileSystemError(FileFailureText(what, typed, CauseText(ec)), ec, typed, true);
}

std::error_code injected(platform::FileOp op, const fs::path& path) {
  const int e = platform::injectedFault(op, path);
  return e > 0 ? std::error_code(e, std::generic_category()) : std::error_code();
}

// A rename through the file seam, as every file-changing call of a run.
std::error_code renameEntry(const fs::path& from, const fs::path& to) {
  std::error_code ec = injected(platform::FileOp::kRename, to);
  if (!ec) fs::rename(from, to, ec);
  return ec;
}

// "UD_YEDEK_GERIALMA_<code>_<the upgrade's backup time stamp>", unused.
std::string newBackupName(const fs::path& root, const std::string& code) {
  const std::string base = kBackupPrefix + code + "_" + platform::localTimeText("%Y%m%d_%H%M%S");
  std::string name = base;
  std::error_code ec;
  for (int n = 2; fs::exists(root / name, ec); ++n) name = base + "_" + std::to_string(n);
  return name;
}

fs::path located(const platform::TypedPath& path) {
  if (!path.location())
    fail("Dizin bulunamadı", path.text(),
         std::make_error_code(std::errc::no_such_file_or_directory));
  return *path.location();
}

void writeMarker(const fs::path& file, const std::string& shown, const std::string& text) {
  try {
    platform::RawFile marker(file, platform::RawFile::Mode::kCreate);
    marker.writeAt(0, text.data(), text.size());
    marker.sync();
    marker.close();
  } catch (const std::system_error& e) {
    fail("Geri alma işareti yazılamadı", shown, e.code());
  }
  platform::syncDirectory(file.parent_path());
}

std::optional<MarkerText> readMarker(const fs::path& file) {
  std::ifstream in(file, std::ios::binary | std::ios::ate);
  if (!in) return std::nullopt;
  std::string text(static_cast<std::size_t>(in.tellg()), '\0');
  in.seekg(0);
  if (!in.read(text.data(), static_cast<std::streamsize>(text.size()))) return std::nullopt;
  return ReadMarkerText(text);
}

// The registry row of `code` goes, in one change of the table.
void removeRegistryRow(Workspace& ws, const platform::TypedPath& data, const std::string& code) {
  TTable& registry = ws.DM.SirketPravex_T;
  registry.close();
  registry.setDatabaseName(data);
  registry.open();
  TField field = registry.field("SIRKET_KOD");
  for (registry.first(); !registry.eof();) {
    if (field.asString() == code)
      registry.remove();  // moves on to the next row
    else
      registry.next();
  }
  registry.flushBuffers();
  registry.close();
}

// The company, its row gone, from `from` into its backup folder, then its
// record, then the marker goes. Returns whether the record is in the folder.
bool finish(const platform::TypedPath& data, const std::string& code, const MarkerText& m,
            const fs::path& from) {
  const fs::path root = located(data);
  const platform::TypedPath shownBackup = data.below(m.backupFolder);
  const fs::path backup = located(shownBackup), target = backup / code;
  std::error_code ec;
  if (from != target) {
    ec = injected(platform::FileOp::kCreate, backup);
    if (!ec && !fs::is_directory(backup, ec)) fs::create_directory(backup, ec);
    if (ec) fail("Yedek dizini oluşturulamadı", shownBackup.text(), ec);
    platform::syncDirectory(root);
    if ((ec = renameEntry(from, target)))
      fail("Şirket dizini yedek dizinine taşınamadı", data.textOf(code), ec);
    platform::syncDirectory(root);
    platform::syncDirectory(backup);
  }
  bool recordMoved = false;
  if (!m.recordFile.empty()) {
    const std::optional<fs::path> record = CarryRecordFolder(data).locate(m.recordFile);
    // Built from the UTF-8 name: a narrow path would go through Windows' ANSI code page.
    const fs::path kept = located(shownBackup.below(m.recordFile));
    if (record && fs::exists(*record, ec)) {
      if ((ec = renameEntry(*record, kept)))
        fail("Devir kaydı yedek dizinine taşınamadı", CarryRecordFolder(data).textOf(m.recordFile),
             ec);
      platform::syncDirectory(record->parent_path());
      platform::syncDirectory(backup);
    }
    recordMoved = fs::exists(kept, ec);
  }
  const fs::path marker = target / kWithdrawMarker;
  if (fs::exists(marker, ec) && !platform::removeFile(marker))
    fail("Geri alma işareti silinemedi", shownBackup.textOf(code),
         std::make_error_code(std::errc::io_error));
  platform::syncDirectory(target);
  return recordMoved;
}

// A company of the data directory holding the marker: undone while the
// registry holds its row, else finished. `registry` null: not readable.
void tidyCompany(RunHost& host, const platform::TypedPath& data, const std::string& code,
                 const std::vector<RegisteredCompany>* registry) noexcept {
  host.setStatusVisible(true);
  const std::string shown = data.textOf(code);
  try {
    const fs::path dir = located(data) / code;
    if (!registry) return;
    if (FindRegistered(*registry, code)) {
      platform::removeFile(dir / kWithdrawMarker);
      platform::syncDirectory(dir);
      host.setStatusText(
          FileFailureText("Yarım kalmış devir geri alma işlemi geri çevrildi; "
                          "şirket yerinde",
                          shown, ""));
      return;
    }
    std::optional<MarkerText> m = readMarker(dir / kWithdrawMarker);
    if (!m) {
      // Never so once the row is gone (the marker was synced first); a
      // marker damaged since: the folder named now, the record by its header.
      m = MarkerText{newBackupName(located(data), code), ""};
      for (const RecordHeader& r : ReadRecordHeaders(data))
        if (r.header.newCode == code) m->recordFile = r.file;
    }
    finish(data, code, *m, dir);
    host.setStatusText(FileFailureText("Yarım kalmış devir geri alma işlemi tamamlandı", shown,
                                       "şimdi " + data.textOf(m->backupFolder + "\\" + code)));
  } catch (const std::exception& e) {
    host.setStatusText("Yarım kalmış devir geri alma işlemi tamamlanamadı: " + FailureText(e));
  }
}

}  // namespace

WithdrawalResult RunWithdrawal(RunHost& host, const WithdrawalPlan& plan, Workspace& ws) {
  const platform::TypedPath& data = plan.request.dataDirectory;
  const fs::path root = located(data);
  RunOptions run;
  run.newData = data;
  WithdrawalResult result;
  host.setStatusVisible(true);
  for (const CompanyWithdrawal& c : plan.companies) {
    host.setStatusText(c.code + " şirketinin devri geri alınıyor");
    host.repaint();
    // The registry is rewritten next: no other program may hold it now.
    if (!CheckRegistryBeforeRewrite(host, run, ws)) {
      result.stopped = true;
      return result;
    }
    const fs::path company = root / c.code;
    const MarkerText m{newBackupName(root, c.code), c.recordFile};
    writeMarker(company / kWithdrawMarker, data.textOf(c.code), WriteMarkerText(m));
    bool recordMoved = false;
    try {
      // A carry's marker left in the registered company must not outlive its
      // row: without its row it would read as an unfinished carry.
      std::error_code ec;
      if (fs::exists(company / kWorkMarker, ec) && !platform::removeFile(company / kWorkMarker))
        fail("Devir işareti silinemedi", data.textOf(c.code),
             std::make_error_code(std::errc::io_error));
      removeRegistryRow(ws, data, c.code);
      recordMoved = finish(data, c.code, m, company);
    } catch (...) {
      try {
        ws.DM.SirketPravex_T.close();
      } catch (...) {
      }
      // As far as the disk allows now: the registry decides.
      std::vector<RegisteredCompany> registry;
      bool readable = true;
      try {
        registry = ReadRegistry(data);
      } catch (...) {
        readable = false;
      }
      std::error_code ec;
      if (fs::exists(company / kWithdrawMarker, ec))
        tidyCompany(host, data, c.code, readable ? &registry : nullptr);
      throw;
    }
    result.withdrawn.push_back(
        {c.code, c.shortName, c.oldCode, data.textOf(m.backupFolder), recordMoved});
  }
  host.setStatusVisible(false);
  return result;
}

void TidyWithdrawals(RunHost& host, const platform::TypedPath& data) {
  const std::optional<fs::path>& root = data.location();
  if (!root) return;
  std::vector<std::string> companies;
  std::vector<fs::path> backups;  // withdrawn companies whose record or marker is left
  std::error_code ec;
  for (fs::directory_iterator it(*root, ec); !ec && it != fs::directory_iterator();
       it.increment(ec)) {
    std::error_code e;
    if (!it->is_directory(e)) continue;
    const std::string name = it->path().filename().string();
    if (fs::exists(it->path() / kWithdrawMarker, e)) companies.push_back(name);
    if (name.rfind(kBackupPrefix, 0) != 0) continue;
    for (fs::directory_iterator sub(it->path(), e); !e && sub != fs::directory_iterator();
         sub.increment(e))
      if (fs::exists(sub->path() / kWithdrawMarker)) backups.push_back(sub->path());
  }
  if (companies.empty() && backups.empty()) return;
  std::vector<RegisteredCompany> registry;
  bool readable = true;
  try {
    registry = ReadRegistry(data);
  } catch (...) {
    readable = false;
  }
  for (const std::string& code : companies)
    tidyCompany(host, data, code, readable ? &registry : nullptr);
  for (const fs::path& dir : backups) {
    const std::string code = dir.filename().string();
    try {
      std::optional<MarkerText> m = readMarker(dir / kWithdrawMarker);
      if (!m) m = MarkerText{dir.parent_path().filename().string(), ""};
      m->backupFolder = dir.parent_path().filename().string();
      finish(data, code, *m, dir);
      host.setStatusVisible(true);
      host.setStatusText(FileFailureText("Yarım kalmış devir geri alma işlemi tamamlandı",
                                         data.textOf(m->backupFolder + "\\" + code), ""));
    } catch (const std::exception& e) {
      host.setStatusText("Yarım kalmış devir geri alma işlemi tamamlanamadı: " + FailureText(e));
    }
  }
}

}  // namespace withdraw
