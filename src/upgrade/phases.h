// The phases of the edition upgrade, each over every company of the older
// registry (ws.DM.SirketOrLumex_T, open) before the next one starts.
#pragma once

#include <string>
#include <vector>

#include "platform/typedpath.h"
#include "upgrade/upgradelist.h"

class RunHost;
struct RunOptions;
struct Workspace;

// Where the upgrade keeps the newest edition's files it replaces, and its
// list (upgrade/upgradelist.h).
struct UpgradeBackup {
  platform::TypedPath folder;
  UpgradeList list;  // the directories only, until the end
};

// Before phase 1: copies into a dated folder of the newest data directory
// ("UD_YEDEK_" and the local time; no company code or mask takes it) every
// table of the newest data directory that phase 1 will replace (all its
// files), and every file of each newest company directory that an older
// company of the same code will be copied into; then writes the folder's
// list with the company directories there were (a list without its end).
// Says where in a status text. When the newest backup folder holds a list
// without its end, an upgrade was cut off after it began writing: that folder
// already holds the files as they were before it, so it is used again and
// nothing is copied. Throws platform::FileSystemError when a copy fails: the
// upgrade then has not written anything yet.
UpgradeBackup KeepReplacedFiles(RunHost& host, const RunOptions& run, Workspace& ws);

// The end of the run: the copies went into place without waiting for the
// disk, so every file the upgrade wrote (the data directory's `dataFiles`,
// each upgraded company directory, the backup folder) is synced; then the
// backup's list is completed with every file written, its fingerprint and
// the registry's rows, and written durably, before the run reports that it
// is done.
void MakeUpgradeDurable(const RunOptions& run, Workspace& ws,
                        const std::vector<std::string>& dataFiles, UpgradeBackup& backup);

// Phases 2 and 3: company directories copied, then completed from the
// template with ayar2 replaced and ayar rebuilt where its layout differs.
void CopyCompanies(RunHost& host, const RunOptions& run, Workspace& ws);
void UpdateCompanies(RunHost& host, const RunOptions& run, Workspace& ws);
// Phases 4 and 5: movement kinds re-coded, invoice flags set.
void RecodeMovements(RunHost& host, const RunOptions& run, Workspace& ws);
void RecodeInvoices(RunHost& host, const RunOptions& run, Workspace& ws);
