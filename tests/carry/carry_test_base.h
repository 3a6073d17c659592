// A carry-forward run on a data directory of its own, through the job seam.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "carry/carryforward.h"
#include "data/companylist.h"
#include "jobs/workspace.h"
#include "support/company_fixture.h"
#include "support/expect_unchanged.h"
#include "support/fixture_files.h"
#include "support/pxlib_reader.h"
#include "support/recording_host.h"
#include "support/table_reader.h"
#include "support/temp_dir.h"

class CarryTest : public ::testing::Test {
 protected:
  fixture::TempDir tmp;
  std::filesystem::path data = tmp.path() / "DATA";
  fixture::DataDir dir{data};
  RecordingHost host;
  Workspace ws;

  // What the selection dialog was shown: one "CODE NEWCODE X|-" per row.
  std::vector<std::string> listed;
  // Codes to deselect before confirming.
  std::vector<std::string> deselect;
  bool confirm = true;

  void SetUp() override {
    // Blocks large enough that a table rarely needs a second one: these tests
    // are about the jobs. SmallBlocks runs a whole job on the smallest blocks
    // the records fit.
    dir.blockSizeKiB(16);
    host.carry2005(data.string(), false);
    host.onSelect = [this](CompanyList& list) {
      listed.clear();
      for (list.first(); !list.eof(); list.next()) {
        for (const std::string& code : deselect)
          if (list.text("SIRKET_KOD") == code) list.setValue("DEVIR", Variant{false});
        listed.push_back(list.text("SIRKET_KOD") + " " + list.text("YENI_SIRKET_KOD") + " " +
                         (list.selected() ? "X" : "-"));
      }
      return confirm;
    };
  }

  void run() {
    ws.NewCompanySequence = 1;  // as the run driver does first
    RunCarryForward(host, host.options(), ws);
  }

  std::filesystem::path company(const std::string& code) const { return data / code; }
};
