// A run's options as one value: what the window or the command line held
// when the run started.
//
// The window's model and the console host each build one when a run starts;
// the run driver checks it once and hands it to every job, step and report
// of the run. The window drops input while a run lasts, so a value taken at
// the start is what every step would have read from the controls. Each
// directory is resolved once, here (platform/typedpath.h), and travels as
// that value down to the table handles; texts are UTF-8.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "jobs/currency.h"
#include "platform/typedpath.h"

struct RunOptions {
  bool upgrade = false;         // CheckBoxUpgrade
  bool devir = false;           // CheckBoxDevir
  bool ytl = false;             // CheckBoxYTL
  platform::TypedPath oldData;  // DirectoryEditOrLumex
  platform::TypedPath newData;  // DirectoryEditPravex
  std::string sourceYear;       // Edit1
  std::string targetYear;       // Edit2
  int rounding = 0;             // RadioYUVARLA: 0 nearest, 1 down, 2 up
  int digits = 2;               // RadioHAS index (always 2 from the window)
  // The currency texts of a converted company's settings (EditPRBR,
  // EditPRSM, EditKC_BR, EditKC_SMG).
  std::string currencyName = currency::kName;
  std::string currencySymbol = currency::kSymbol;
  std::string subUnitName = currency::kSubUnitName;
  std::string subUnitSymbol = currency::kSubUnitSymbol;
  // The answer to the company selection without a dialog (the command
  // line): the codes to carry; none given means every company the list
  // offers selected.
  std::optional<std::vector<std::string>> companies;
  bool dryRun = false;  // checks and the plan only
};
