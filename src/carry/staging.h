// A new company is built aside and shown to the product only when whole.
//
// The steps write into a working directory under the data directory whose
// name no company code, mask or listing of the product takes
// (".ud-devir-" and the new code) and which holds the marker file
// kWorkMarker. Nothing written there is synced one step at a time; when
// every step is done all its files and the directory are made durable, the
// directory takes the new code as its name, then the registry row is
// posted, then the marker goes. So at
// every moment a registered company has a complete directory, and a
// directory with the marker that the registry does not name is a company
// whose carry-forward never ended: nothing of it was ever visible to the
// product, and the next run removes it.
#pragma once

#include <string>
#include <vector>

#include "platform/typedpath.h"

class RunHost;
struct RunOptions;
struct Workspace;

inline constexpr const char* kWorkMarker = ".ud-devir-yapiliyor";
inline constexpr const char* kWorkPrefix = ".ud-devir-";
// The marker of a registered company whose carry-forward is being withdrawn
// (a later run finishes or undoes it): never taken for kWorkMarker.
inline constexpr const char* kWithdrawMarker = ".ud-geri-aliniyor";

// data directory + "\" + ".ud-devir-" + new code
platform::TypedPath WorkingDirectory(const platform::TypedPath& dataDir,
                                     const std::string& newCode);

// Makes the working directory of the current RxSirket row afresh, with its
// marker. Throws platform::FileSystemError when it cannot.
void StartNewCompany(const RunOptions& run, Workspace& ws);

// Closes every handle that points into the working directory, fingerprints
// its files, syncs every file in it and the directory, gives the directory
// its code, fills the registry row, adds the files' and the row's
// fingerprints to the carry record (carry/record.h), registers the company
// and removes the marker.
void CompleteNewCompany(RunHost& host, const RunOptions& run, Workspace& ws);

// After a failure of the current row's steps: closes the handles on it and
// removes the working directory. A directory that already took its code is
// left for the next run, which keeps it when the registry names it and
// removes it when not. Never throws.
void DiscardNewCompany(RunHost& host, const RunOptions& run, Workspace& ws);

// Before the list is built: every directory of the data directory with the
// marker is removed when `registeredCodes` does not name it and keeps
// everything but the marker when it does. A directory that also holds
// kWithdrawMarker is a published company being withdrawn: it is left alone
// (the withdrawal's own tidying finishes it). Each removal is shown as a status
// text, the status label made visible for it (standard error in the
// headless mode).
void TidyUnfinishedCompanies(RunHost& host, const platform::TypedPath& dataDir,
                             const std::vector<std::string>& registeredCodes);

// Before an upgrade replaces the newest registry: the same tidying against
// the registry as it is now (so that a finished company whose marker was
// left is not taken for an unfinished one once its row is gone). Does
// nothing when the registry cannot be opened.
void TidyBeforeRegistryIsReplaced(RunHost& host, const RunOptions& run, Workspace& ws);
