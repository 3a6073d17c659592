#include "carry/staging.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <fstream>
#include <future>
#include <system_error>

#include "carry/record.h"
#include "carry/steps.h"
#include "data/datadirectories.h"
#include "data/failuretext.h"
#include "data/fingerprint.h"
#include "data/names.h"
#include "jobs/filesetcopy.h"
#include "jobs/runhost.h"
#include "jobs/runoptions.h"
#include "jobs/workspace.h"
#include "platform/paths.h"
#include "platform/rawfile.h"

namespace fs = std::filesystem;

namespace {

fs::path resolved(const platform::TypedPath& dir) {
  if (!dir.location())
    throw platform::FileSystemError(FileFailureText("Dizin bulunamadı", dir.text(), ""));
  return *dir.location();
}

void closeNewCompanyTables(TDM& dm) {
  dm.CariPravex_T.close();
  dm.StokPravex_T.close();
  dm.CeksenPravex_T.close();
  dm.CharPravex.close();
  dm.UretimPravex_T.close();
  dm.AyarPravexDevir_T.close();
}

bool registered(const std::vector<std::string>& codes, const std::string& name) {
  return std::any_of(codes.begin(), codes.end(),
                     [&](const std::string& code) { return sameName(code, name); });
}

// The carry records naming `code` as the new company, of a company that
// never came to be: the openings check would pair the years by them.
void removeCarryRecordsFor(const platform::TypedPath& dataDir, const std::string& code) noexcept {
  try {
    const std::optional<fs::path> folder = CarryRecordFolder(dataDir).location();
    if (!folder) return;
    const std::string example = CarryRecordFileName("", code);  // "Devir Kaydı -<code>.csv"
    const std::string prefix = example.substr(0, example.find('-'));
    const std::string suffix = example.substr(example.find('-'));
    std::vector<fs::path> stale;
    std::error_code ec;
    for (fs::directory_iterator it(*folder, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
      const std::string name = it->path().filename().string();
      if (name.size() > example.size() && name.compare(0, prefix.size(), prefix) == 0 &&
          sameName(name.substr(name.size() - suffix.size()), suffix))
        stale.push_back(it->path());
    }
    for (const fs::path& record : stale) platform::removeFile(record);
  } catch (...) {
    // Left for the next run's tidying.
  }
}

// The codes the newest registry holds now; false when it cannot be read.
bool registeredCodesNow(const RunOptions& run, Workspace& ws, std::vector<std::string>& codes) {
  TTable& registry = ws.DM.SirketPravex_T;
  try {
    registry.close();  // after a failed registration it reports that failure again
  } catch (...) {
  }
  try {
    registry.setDatabaseName(run.newData);
    registry.open();
    TField code = registry.field("SIRKET_KOD");
    for (registry.first(); !registry.eof(); registry.next()) codes.push_back(code.asString());
    registry.close();
    return true;
  } catch (const std::exception&) {
    try {
      registry.close();
    } catch (...) {
    }
    return false;
  }
}

}  // namespace

platform::TypedPath WorkingDirectory(const platform::TypedPath& dataDir,
                                     const std::string& newCode) {
  return dataDir.below(kWorkPrefix + newCode);
}

void StartNewCompany(const RunOptions& run, Workspace& ws) {
  const platform::TypedPath& dataDir = run.newData;
  const std::string work = WorkingDirectory(dataDir, ws.RxSirket.text("YENI_SIRKET_KOD")).text();
  const fs::path dir = resolved(dataDir) / (kWorkPrefix + ws.RxSirket.text("YENI_SIRKET_KOD"));
  std::error_code ec;
  fs::remove_all(dir, ec);
  // The marker first: a directory is never without it until it is registered.
  if (!ec) fs::create_directory(dir, ec);
  if (!ec) {
    std::ofstream marker(dir / kWorkMarker);
    marker << "Upgrade-Devir\n";
    if (!marker.flush()) ec = std::make_error_code(std::errc::io_error);
  }
  if (ec)
    throw platform::FileSystemError(
        FileFailureText("Yeni şirket dizini oluşturulamadı", work, CauseText(ec)));
  ws.NewCompanySyncs.emplace(dir);
}

void CompleteNewCompany(RunHost& host, const RunOptions& run, Workspace& ws) {
  closeNewCompanyTables(ws.DM);
  const platform::TypedPath& dataDir = run.newData;
  const std::string code = ws.RxSirket.text("YENI_SIRKET_KOD");
  const fs::path root = resolved(dataDir);
  const fs::path work = root / (kWorkPrefix + code), final = root / code;
  // What the product will be shown, kept in the carry record, so that a
  // later run can tell whether anybody has used the company since: measured
  // while the disk takes the files.
  std::future<std::vector<FileFingerprint>> fingerprints = std::async(platform::sideBySide(), [&] {
    return FingerprintDirectory(WorkingDirectory(dataDir, code), {kWorkMarker, kWithdrawMarker});
  });
  // Every byte of the company on the disk before its name can show it: the
  // syncs of the steps only started the writing.
  ws.NewCompanySyncs.reset();
  try {
    SyncBeforePublishing(work);
  } catch (...) {
    if (fingerprints.valid()) fingerprints.wait();
    throw;
  }
  const std::vector<FileFingerprint> files = fingerprints.get();
  std::error_code ec;
  // A rename over an existing empty directory would succeed: refuse first.
  if (CompanyDirectory(dataDir, code).isDirectory()) {
    ec = std::make_error_code(std::errc::file_exists);
  } else if (const int e = platform::injectedFault(platform::FileOp::kRename, final)) {
    ec = std::error_code(e, std::generic_category());
  } else {
    fs::rename(work, final, ec);
    if (!ec) platform::syncDirectory(root);
  }
  if (ec)
    throw platform::FileSystemError(
        FileFailureText("Yeni şirket dizinine ad verilemedi", dataDir.textOf(code), CauseText(ec)));
  FillRegistryRow(run, ws);
  AddFingerprintsToCarryRecord(host, run, ws, files, RecordFingerprint(ws.DM.SirketPravex_T));
  RegisterNewCompany(ws);
  fs::remove(final / kWorkMarker, ec);  // a marker left here goes with the next run
}

void DiscardNewCompany(RunHost& host, const RunOptions& run, Workspace& ws) {
  try {
    closeNewCompanyTables(ws.DM);
  } catch (...) {
  }
  ws.NewCompanySyncs.reset();
  const std::string code = ws.RxSirket.text("YENI_SIRKET_KOD");
  const std::optional<fs::path>& root = run.newData.location();
  if (!root || code.empty()) return;
  std::error_code ec;
  fs::remove_all(*root / (kWorkPrefix + code), ec);
  // A directory that already has its code and still its marker failed at
  // its registration, and the registry may hold the row all the same (a
  // commit can reach the disk and still report a failure): the registry as
  // it is now decides. When it cannot be read (a share still failing) the
  // directory stays, and so does the carry record, for the next run.
  if (fs::exists(*root / code / kWorkMarker, ec)) {
    std::vector<std::string> codes;
    if (!registeredCodesNow(run, ws, codes)) return;
    if (registered(codes, code)) return;
    TidyUnfinishedCompanies(host, run.newData, codes);
  }
  // No company came of it: its carry record goes too.
  removeCarryRecordsFor(run.newData, code);
}

void TidyUnfinishedCompanies(RunHost& host, const platform::TypedPath& dataDir,
                             const std::vector<std::string>& registeredCodes) {
  const std::optional<fs::path>& root = dataDir.location();
  if (!root) return;
  std::error_code ec;
  std::vector<fs::path> marked;
  for (fs::directory_iterator it(*root, ec); !ec && it != fs::directory_iterator();
       it.increment(ec)) {
    std::error_code entryError;
    if (it->is_directory(entryError) && fs::exists(it->path() / kWorkMarker, entryError) &&
        !fs::exists(it->path() / kWithdrawMarker, entryError))
      marked.push_back(it->path());
  }
  std::sort(marked.begin(), marked.end());
  for (const fs::path& dir : marked) {
    const std::string name = dir.filename().string();
    std::error_code removeError;
    if (registered(registeredCodes, name)) {
      fs::remove(dir / kWorkMarker, removeError);  // complete: it was registered last
      continue;
    }
    fs::remove_all(dir, removeError);
    if (!removeError) removeCarryRecordsFor(dataDir, name);
    host.setStatusVisible(true);  // shown in the window too, before the selection
    host.setStatusText(FileFailureText(removeError ? "Yarım kalmış devirden kalan dizin silinemedi"
                                                   : "Yarım kalmış devirden kalan dizin silindi",
                                       dataDir.textOf(name),
                                       removeError ? CauseText(removeError) : ""));
  }
}

void TidyBeforeRegistryIsReplaced(RunHost& host, const RunOptions& run, Workspace& ws) {
  std::vector<std::string> codes;
  if (registeredCodesNow(run, ws, codes)) TidyUnfinishedCompanies(host, run.newData, codes);
}
