// Withdrawing a carry-forward that nobody has used yet: the new company's
// registry row goes, its directory and its carry record move into a backup
// folder, and the old company is offered for carrying again.
//
// A company is withdrawn only when nothing has changed in it since the carry
// published it: every file of its directory and its registry row against the
// fingerprints its carry record keeps (carry/record.h, data/fingerprint.h).
// Lock files are not looked at; a table counts as unchanged while it holds
// the same records, whatever the product rewrote of its header or indexes.
//
// Order and safety, per company: the marker kWithdrawMarker in its directory
// first (naming the backup folder and the record, made durable), then the
// registry row (one engine change, all or nothing), then the directory moves
// into the backup folder, then the record, then the marker goes. A run cut
// off anywhere is finished by TidyWithdrawals, which every run that writes
// calls first: a company whose row is still registered keeps everything and
// loses the marker (undone); one whose row is gone goes on into its backup
// folder (finished). Nothing is ever deleted. The carry's own tidying
// (carry/staging.h) passes over a directory holding the marker.
//
// Standard library only; no toolkit. A window or the command line shows
// PlanWithdrawal's text, asks WithdrawalPlan::question, and runs
// RunWithdrawal, whose result text is the final message.
#pragma once

#include <string>
#include <vector>

#include "platform/typedpath.h"

class RunHost;
struct TouchedDirectory;
struct Workspace;

namespace withdraw {

// "UD_YEDEK_GERIALMA_" + new code + "_" + the upgrade's backup time stamp.
inline constexpr const char* kBackupPrefix = "UD_YEDEK_GERIALMA_";

struct WithdrawalRequest {
  platform::TypedPath dataDirectory;   // the newest edition's
  std::string targetYear;              // the year the companies were carried into
  bool allCompanies = false;           // every company of the year a carry record names
  std::vector<std::string> companies;  // else these codes of the year
};

// One company as the plan found it.
struct CompanyWithdrawal {
  std::string code, shortName;  // as registered
  std::string oldCode;          // the company it was carried from (the record's)
  std::string recordFile;       // the record's name in the report folder; "" when none
  // Why it cannot be withdrawn, one line each ("Char.DB: 14 yeni kayıt"),
  // and what to do instead; both empty when it can be.
  std::vector<std::string> refusals;
  std::string advice;
  bool possible() const { return refusals.empty(); }
};

struct WithdrawalPlan {
  WithdrawalRequest request;
  // Set when nothing could be looked at: no such company, no company of the
  // year, the registry unreadable. The message for the information box.
  std::string stop;
  std::vector<CompanyWithdrawal> companies;

  // Every company can be withdrawn (and there is one).
  bool possible() const;
  // What a run would do, or why nothing can be done; "\r\n" between lines.
  std::string text() const;
  // The question before the run: "... devri geri alınsın mı?"
  std::string question() const;
};

// The codes a request names, read from the registry: the listed codes (each
// must be a registered company of the year), or with allCompanies those of
// the year that a carry record names. Sets `stop` and returns none when it
// cannot. For the data-in-use check, before any table is read.
std::vector<std::string> CompaniesToWithdraw(const WithdrawalRequest& request, std::string& stop);

// The directories a withdrawal reads and writes: the registry's and each
// company's.
std::vector<TouchedDirectory> WithdrawalTouches(const WithdrawalRequest& request,
                                                const std::vector<std::string>& codes);

// Looks at every company the request names: its registry row, its carry
// record and its files against the record's fingerprints. Reads only.
WithdrawalPlan PlanWithdrawal(const WithdrawalRequest& request);

struct WithdrawnCompany {
  std::string code, shortName, oldCode;
  std::string backupFolder;  // as typed
  bool recordMoved = false;
};

struct WithdrawalResult {
  std::vector<WithdrawnCompany> withdrawn;
  // The data-in-use check before a registry rewrite stopped the run (its
  // message shown): the companies before stay withdrawn.
  bool stopped = false;
  // What was moved where, and "İşlem tamamlandı".
  std::string text() const;
};

// Withdraws every company of `plan`, which must be possible(), one after
// another, showing each on the status line. The registry is rewritten
// through ws.DM.SirketPravex_T after asking the data-in-use check once
// more. A failure (table engine or file system) propagates after the
// company it hit was finished or undone as far as the disk allows (what is
// left, the next run's TidyWithdrawals takes up); companies before it stay
// withdrawn.
WithdrawalResult RunWithdrawal(RunHost& host, const WithdrawalPlan& plan, Workspace& ws);

// Finishes or undoes every withdrawal a cut-off run left in `dataDir`, each
// shown as a status text. Does nothing with a company when the registry
// cannot be read (the next run tries again). Never throws.
void TidyWithdrawals(RunHost& host, const platform::TypedPath& dataDir);

}  // namespace withdraw
