// What lives as long as the main window and is shared by every run: the data
// module with its table handles, the two invisible list controls of the
// file-set copy, the in-memory company list and the run counters.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "data/companylist.h"
#include "data/datamodule.h"
#include "jobs/filelist.h"
#include "platform/rawfile.h"

struct Workspace {
  TDM DM;
  FileListBox FileListBox1;              // listing of one directory by a mask
  std::vector<std::string> ListBoxCopy;  // the carry-forward file set (KMXList)
  CompanyList RxSirket;
  int NewCompanySequence = 1;            // next number to try for a new company code
  std::vector<std::string> RegisteredCodes;  // the registry's codes when the list was built
  bool SelectionConfirmed = false;
  // Syncs in the directory of the new company being built aside wait for
  // nothing until it is made durable as a whole (carry/staging.h).
  std::optional<platform::DeferredSyncs> NewCompanySyncs;
};
