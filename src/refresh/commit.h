// One company's opening update as one commit.
//
// Everything the update writes is built first in a hidden staging directory
// of the data directory, ".ud-guncelleme-" and the new company's code (no
// company code, mask or listing of the product takes that name):
//   tablolar/   the changed tables' whole file families, edited there;
//   yedek/      copies of the company's files before the update and of its
//               carry record;
//   the rewritten carry record under its own name.
// When all of it is on the disk the journal kCommitMarker is written (aside,
// synced, renamed into place): that rename is the commit. From then on the
// update is finished, by this run or, after a kill, by the next run's
// tidying, which repeats every step (each may be repeated):
//   1. yedek/ takes its name in the data directory, "UD_YEDEK_GUNCELLEME_"
//      + new code + "_" + date and time;
//   2. each table is replaced as a family (ReplaceTableFiles: companions
//      first, the data file last, under the engine's recovery marker);
//   3. the carry record is replaced the same way;
//   4. the journal goes, then the staging directory.
// A staging directory without the journal is an update that never took
// place: the tidying removes it, and the company is as it was. Neither
// marker is the carry-forward's work marker (carry/staging.h): the
// company's own directory never holds a marker, so no tidying can take it
// for an unfinished new company.
#pragma once

#include <string>
#include <vector>

#include "platform/typedpath.h"

class RunHost;

namespace refresh {

inline constexpr const char* kStagingPrefix = ".ud-guncelleme-";
inline constexpr const char* kCommitMarker = ".ud-guncelleme-tamam";
inline constexpr const char* kBackupPrefix = "UD_YEDEK_GUNCELLEME_";
inline constexpr const char* kStagedTables = "tablolar";
inline constexpr const char* kStagedBackup = "yedek";

// What one company's update puts in place.
struct CommitPlan {
  platform::TypedPath dataDirectory;
  std::string newCode;
  std::vector<std::string> tableFiles;  // bare names in tablolar/ (whole families)
  std::string recordName;               // "Devir Kaydı <old>-<new>.csv"
  std::string backupName;               // "UD_YEDEK_GUNCELLEME_<new>_<date>_<time>"
};

// data directory + "\.ud-guncelleme-" + code
platform::TypedPath StagingDirectory(const platform::TypedPath& dataDir, const std::string& code);

// "UD_YEDEK_GUNCELLEME_<code>_<YYYYMMDD_HHMMSS>", with "_2", "_3" ... after
// it when a folder of that name exists.
std::string BackupFolderName(const platform::TypedPath& dataDir, const std::string& code);

// Makes the staging directory of `code` afresh (empty tablolar/ and yedek/).
// Throws platform::FileSystemError when it cannot.
void StartStaging(const platform::TypedPath& dataDir, const std::string& code);

// Syncs the staging directory and writes the journal: the commit. Throws
// platform::FileSystemError naming the file when it cannot; the company is
// then as it was (the caller removes the staging).
void WriteJournal(const CommitPlan& plan);

// After WriteJournal: puts everything in place (steps 1-4 above). Throws
// platform::FileSystemError naming the file on a failure; the next run's
// tidying finishes the update.
void FinishCommit(const CommitPlan& plan);

// Removes a staging directory whose update did not commit. Never throws.
void DiscardStaging(const platform::TypedPath& dataDir, const std::string& code) noexcept;

// Before a run writes: finishes every committed update a killed run left
// (its journal there) and removes every staging directory without one. Each
// is shown as a status text. A failure to finish is shown too and leaves the
// staging for the next run.
void TidyUnfinishedUpdates(RunHost& host, const platform::TypedPath& dataDir);

}  // namespace refresh
