#include "refresh/commit.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>

#include "carry/record.h"
#include "data/failuretext.h"
#include "jobs/filesetcopy.h"
#include "jobs/runhost.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/rawfile.h"
#include "report/carryrecord.h"

namespace fs = std::filesystem;

namespace refresh {

namespace {

constexpr const char* kJournalTitle = "Upgrade-Devir açılış güncellemesi";

fs::path located(const platform::TypedPath& p) {
  if (!p.location())
    throw platform::FileSystemError(FileFailureText("Dizin bulunamadı", p.text(), ""));
  return *p.location();
}

[[noreturn]] void fail(const std::string& what, const platform::TypedPath& p, std::error_code ec) {
  throw platform::FileSystemError(FileFailureText(what, p.text(), CauseText(ec)), ec, p.text(),
                                  true);
}

// A directory made through the fault seam, so that tests can stop a run there.
void makeDirectory(const platform::TypedPath& dir) {
  std::error_code ec;
  if (const int e = platform::injectedFault(platform::FileOp::kCreate, located(dir)))
    ec = std::error_code(e, std::generic_category());
  else
    fs::create_directory(*dir.location(), ec);
  if (ec) fail("Güncelleme dizini oluşturulamadı", dir, ec);
}

std::string baseOf(const std::string& name) {
  std::string base = name.substr(0, name.find('.'));
  for (char& c : base) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return base;
}

std::string journalText(const CommitPlan& plan) {
  std::string text = "\xEF\xBB\xBF" + CarryRecordRow({kJournalTitle, "1"});
  text += CarryRecordRow({"şirket", plan.newCode});
  text += CarryRecordRow({"yedek", plan.backupName});
  text += CarryRecordRow({"kayıt", plan.recordName});
  for (const std::string& f : plan.tableFiles) text += CarryRecordRow({"tablo", f});
  text += CarryRecordRow({"son", std::to_string(3 + plan.tableFiles.size())});
  return text;
}

// The plan a journal holds; false when it is not a whole journal.
bool readJournal(const platform::TypedPath& file, CommitPlan& plan) {
  const std::optional<std::string> text = report::ReadCarryRecordText(file);
  if (!text || text->empty() || text->back() != '\n') return false;
  const auto rows = report::CarryRecordRows(*text);
  if (rows.empty() || rows[0].size() != 2 || rows[0][0] != kJournalTitle || rows[0][1] != "1")
    return false;
  if (text->find(CarryRecordRow({"son", std::to_string(rows.size() - 1)})) == std::string::npos)
    return false;
  for (const auto& r : rows) {
    if (r.size() != 2) continue;
    if (r[0] == "şirket") plan.newCode = r[1];
    if (r[0] == "yedek") plan.backupName = r[1];
    if (r[0] == "kayıt") plan.recordName = r[1];
    if (r[0] == "tablo") plan.tableFiles.push_back(r[1]);
  }
  return !plan.newCode.empty() && !plan.backupName.empty() && !plan.recordName.empty();
}

// Steps 1-4 of the header; each may be repeated after a kill.
void putInPlace(const CommitPlan& plan) {
  const platform::TypedPath staging = StagingDirectory(plan.dataDirectory, plan.newCode);
  const platform::TypedPath company = plan.dataDirectory.below(plan.newCode);
  // 1. The backup takes its name.
  const platform::TypedPath backup = staging.below(kStagedBackup);
  if (backup.isDirectory()) {
    const platform::TypedPath target = plan.dataDirectory.below(plan.backupName);
    std::error_code ec;
    if (const int e = platform::injectedFault(platform::FileOp::kRename, located(target)))
      ec = std::error_code(e, std::generic_category());
    else
      fs::rename(located(backup), *target.location(), ec);
    if (ec) fail("Yedek dizinine ad verilemedi", target, ec);
    platform::syncDirectory(located(plan.dataDirectory));
  }
  // 2. Each table as a family.
  std::map<std::string, std::vector<TableFileCopy>> families;
  const platform::TypedPath tables = staging.below(kStagedTables);
  for (const std::string& f : plan.tableFiles)
    families[baseOf(f)].push_back({tables.below(f), company.below(f)});
  for (const auto& [base, files] : families) ReplaceTableFiles(files);
  SyncFilesIn(company, plan.tableFiles);
  // 3. The record.
  const platform::TypedPath folder = CarryRecordFolder(plan.dataDirectory);
  ReplaceTableFiles({{staging.below(plan.recordName), folder.below(plan.recordName)}});
  SyncFilesIn(folder, {plan.recordName});
  // 4. Done: the journal, then what is left of the staging.
  platform::removeFile(located(staging.below(kCommitMarker)));
  platform::syncDirectory(located(staging));
  DiscardStaging(plan.dataDirectory, plan.newCode);
}

}  // namespace

platform::TypedPath StagingDirectory(const platform::TypedPath& dataDir, const std::string& code) {
  return dataDir.below(kStagingPrefix + code);
}

std::string BackupFolderName(const platform::TypedPath& dataDir, const std::string& code) {
  const std::string name = kBackupPrefix + code + "_" + platform::localTimeText("%Y%m%d_%H%M%S");
  std::string chosen = name;
  for (int n = 2; dataDir.below(chosen).isDirectory(); ++n) chosen = name + "_" + std::to_string(n);
  return chosen;
}

void StartStaging(const platform::TypedPath& dataDir, const std::string& code) {
  DiscardStaging(dataDir, code);
  const platform::TypedPath staging = StagingDirectory(dataDir, code);
  makeDirectory(staging);
  makeDirectory(staging.below(kStagedTables));
  makeDirectory(staging.below(kStagedBackup));
}

void WriteJournal(const CommitPlan& plan) {
  const platform::TypedPath staging = StagingDirectory(plan.dataDirectory, plan.newCode);
  // Every byte of the update on the disk before the journal can name it.
  SyncBeforePublishing(located(staging));
  const fs::path journal = located(staging.below(kCommitMarker));
  fs::path aside = journal;
  aside += ".yaziliyor";
  try {
    const std::string text = journalText(plan);
    {
      platform::RawFile file(aside, platform::RawFile::Mode::kCreate);
      file.writeAt(0, text.data(), text.size());
      file.sync();
    }
    platform::replaceFile(aside, journal, true);
  } catch (const std::system_error& e) {
    platform::removeFile(aside);
    fail("Güncelleme kaydı yazılamadı", staging.below(kCommitMarker), e.code());
  }
}

void FinishCommit(const CommitPlan& plan) {
  putInPlace(plan);
}

void DiscardStaging(const platform::TypedPath& dataDir, const std::string& code) noexcept {
  try {
    const platform::TypedPath staging = StagingDirectory(dataDir, code);
    if (!staging.location()) return;
    std::error_code ec;
    fs::remove_all(*staging.location(), ec);
  } catch (...) {
    // Left for the next run's tidying.
  }
}

void TidyUnfinishedUpdates(RunHost& host, const platform::TypedPath& dataDir) {
  const std::optional<fs::path>& root = dataDir.location();
  if (!root) return;
  std::vector<std::string> codes;
  std::error_code ec;
  const std::string prefix = kStagingPrefix;
  for (fs::directory_iterator it(*root, ec); !ec && it != fs::directory_iterator();
       it.increment(ec)) {
    const std::u8string utf8 = it->path().filename().u8string();
    const std::string name(utf8.begin(), utf8.end());
    std::error_code typeError;
    if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
        it->is_directory(typeError))
      codes.push_back(name.substr(prefix.size()));
  }
  std::sort(codes.begin(), codes.end());
  for (const std::string& code : codes) {
    const platform::TypedPath staging = StagingDirectory(dataDir, code);
    CommitPlan plan;
    plan.dataDirectory = dataDir;
    host.setStatusVisible(true);
    if (!readJournal(staging.below(kCommitMarker), plan) || plan.newCode != code) {
      DiscardStaging(dataDir, code);
      host.setStatusText(
          FileFailureText("Yarım kalmış açılış güncellemesi geri alındı "
                          "(şirkete bir şey yazılmamıştı)",
                          dataDir.textOf(code), ""));
      continue;
    }
    try {
      putInPlace(plan);
      host.setStatusText(
          FileFailureText("Yarım kalmış açılış güncellemesi tamamlandı", dataDir.textOf(code), ""));
    } catch (const std::exception& e) {
      host.setStatusText("Yarım kalmış açılış güncellemesi tamamlanamadı: " + dataDir.textOf(code) +
                         "\r\n" + FailureText(e));
    }
  }
}

}  // namespace refresh
