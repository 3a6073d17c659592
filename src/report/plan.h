// The plan of a dry run: what the edition upgrade and the carry-forward
// would do with the data directories as they are now, worked out by reading
// them only. Nothing is created, written or locked; tables are opened
// read-only.
//
// The plan follows the jobs' rules (files copied by the same lists and
// masks, the same new company codes, the carry rules of report/rules.h) but
// does not run their code. With both jobs it reasons on the data directory
// as the upgrade would leave it: the older registry and company files in
// place of the newest ones, each company completed from the template.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/typedpath.h"

class CompanyList;
class RunHost;
struct RunOptions;

namespace report {

struct FilePlan {
  std::size_t copied = 0;       // files that would be new in the target
  std::size_t overwritten = 0;  // files that would replace a file of the same name
  std::size_t kept = 0;         // target files a copy without overwriting would leave
  std::uintmax_t bytes = 0;     // new bytes on disk: new files, and growth of replaced ones
};

struct TablePlan {
  std::string table;
  std::size_t records = 0;  // in the table the job would start from
  std::size_t carried = 0;
  std::size_t converted = 0;
  std::size_t removed = 0;
  bool missing = false;  // no such table: the job would stop or fail there
};

struct UpgradeCompanyPlan {
  std::string code, shortName;
  bool missing = false;  // no directory in the older data directory: skipped
  FilePlan copy;         // the older company's files
  FilePlan completion;   // the template's files added, the company's kept
  bool settingsRebuilt = false;
  std::size_t movementsRecoded = 0;  // current-account movements read for re-coding
  std::size_t invoicesFlagged = 0;
};

struct UpgradePlan {
  FilePlan dataFiles;  // the older data directory's own files
  std::vector<UpgradeCompanyPlan> companies;
};

struct CarryCompanyPlan {
  std::string oldCode, newCode, shortName, newShortName;
  FilePlan templateFiles;  // from DBBACKUP
  FilePlan carryFiles;     // the old company's carry-forward set, over the template's
  std::vector<TablePlan> tables;
  bool settingsCurrency = false;  // the currency fields of the settings are set
};

struct CarryPlan {
  std::string fromYear, toYear;
  bool ytl = false;
  std::vector<CarryCompanyPlan> companies;  // the selected ones
};

// One file of a directory as a run would leave it: its name there, its size
// and the directory (path text) it would come from.
struct PlannedFile {
  std::string name;
  std::uintmax_t size = 0;
  platform::TypedPath from;
};
using PlannedDirectory = std::vector<PlannedFile>;

struct DryRunPlan {
  std::optional<UpgradePlan> upgrade;
  // The newest data directory's own files and the upgraded companies'
  // directories (by code) as the upgrade would leave them.
  PlannedDirectory dataFilesAfterUpgrade;
  std::vector<std::pair<std::string, PlannedDirectory>> companiesAfterUpgrade;
  std::optional<CarryPlan> carry;
  std::uintmax_t bytesNeeded = 0;
  std::optional<std::uintmax_t> bytesFree;  // of the newest data directory's disk
};

// The upgrade's part of the plan. Returns false after showing the upgrade's
// own message through host.infoBox when the older registry cannot be opened
// or is empty, as the upgrade would stop.
bool PlanUpgrade(RunHost& host, const RunOptions& run, DryRunPlan& plan);

// The carry-forward's checks before writing, handed the company list after
// the selection (SIRKET_KOD, KISA_AD, YENI_SIRKET_KOD, DEVIR). False stops
// the plan; the check has shown its message then.
using SelectionCheck = std::function<bool(const CompanyList&)>;

// The carry-forward's part: lists the companies of the source year as the
// job would, with their new codes, asks host.selectCompanies, runs `check`
// when given, and plans each selected company. Returns false when the job
// would stop (its message shown through host.infoBox) or the selection was
// cancelled.
bool PlanCarryForward(RunHost& host, const RunOptions& run, DryRunPlan& plan,
                      const SelectionCheck& check = {});

// The plan as Turkish text for a terminal.
std::string PlanText(const DryRunPlan& plan);

}  // namespace report
