// Taking an edition upgrade back: the newest data directory put back as it
// was before the upgrade, from the upgrade's backup folder and its list
// (upgrade/upgradelist.h), as long as nobody has worked in what the upgrade
// wrote.
//
// What is done, in this order, under an intent marker in the data directory
// (kRestoreMarker, naming the backup folder and the folder it moves files
// into, written durably first and removed last):
//  1. every company directory the upgrade created is moved, whole, into a new
//     folder "UD_YEDEK_GERIALMA_UPGRADE_" and the time;
//  2. in the data directory and each company directory that was there before,
//     per table (one base name): the files the upgrade created move into that
//     folder, then every file the backup holds of that table goes back in
//     place as a whole (ReplaceTableFiles: back-to-back renames);
//  3. the list is renamed kRestoredListName, so that it is never used again.
// Nothing is deleted. A run cut off at any moment leaves the marker; the next
// run that takes the data directory's lock finishes the restore
// (FinishInterruptedRestore): each step finds what is already done.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/typedpath.h"
#include "upgrade/upgradelist.h"

class RunHost;

inline constexpr const char* kRestoreMarker = ".ud-upgrade-geri-aliniyor";

struct RestorePlan {
  platform::TypedPath backup;  // the upgrade's folder
  UpgradeList list;
  // Empty when the restore may go on; else the whole message that refuses it.
  std::string refusal;
  // For the preview: the files put back and the ones moved away, as typed.
  std::vector<std::string> putBack, moveAway;
};

// Looks at the upgrade whose backup folder is `backupName` in `dataDirectory`
// (empty: the newest one) and everything it wrote. Reads only.
RestorePlan PlanUpgradeRestore(const platform::TypedPath& dataDirectory,
                               const std::string& backupName);

// The lines of what a restore would do (the dry run, the confirmation).
std::string RestorePreviewText(const RestorePlan& plan);

// Restores `plan` (which refuses nothing) into `dataDirectory`. Returns the
// folder the files the upgrade created were moved into. Throws
// platform::FileSystemError (the marker stays: the next run finishes it).
platform::TypedPath RestoreUpgrade(RunHost& host, const platform::TypedPath& dataDirectory,
                                   const RestorePlan& plan);

// When a restore was cut off in `dataDirectory`, finishes it, says so in a
// status text and returns true. Throws like RestoreUpgrade.
bool FinishInterruptedRestore(RunHost& host, const platform::TypedPath& dataDirectory);
