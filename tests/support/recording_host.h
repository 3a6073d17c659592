// A RunHost for tests: holds the job options as plain members (options()
// makes the run's value of them), records every status text, gauge change
// and message in order, and answers the company selection with a scripted
// choice.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "jobs/runhost.h"
#include "jobs/runoptions.h"

class RecordingHost : public RunHost {
 public:
  // Options, initialised like the window's initial state.
  bool upgrade = false;
  bool devir = true;
  bool ytl = false;
  std::string oldDir;
  std::string newDir = "C:\\ZEFIRTAK\\KMX3\\DATA";
  std::string fromYear;
  std::string toYear;
  int rounding = 0;
  int digits = 2;

  // Set to carry the companies of 2005 in `dataDir` into 2006.
  void carry2005(const std::string& dataDir, bool withYtl) {
    newDir = dataDir;
    fromYear = "2005";
    toYear = "2006";
    ytl = withYtl;
  }

  // The selection answer: called with the list; return true to confirm.
  // Default: confirm whatever is selected.
  std::function<bool(CompanyList&)> onSelect = [](CompanyList&) { return true; };

  // What the run showed, in order. Each event is "kind: text", e.g.
  // "status: X şirketi oluşturuluyor.", "info: İşlem tamamlandı",
  // "gauge-max: 12", "select".
  std::vector<std::string> events;
  std::vector<std::string> infos;     // every infoBox text
  std::vector<std::string> statuses;  // every status text
  bool statusVisible = false;
  bool gaugeVisible = false;
  int gaugeMax = 0;
  int gaugePosition = 0;
  int selectCalls = 0;

  // The options above as a run takes them, the directories resolved now.
  RunOptions options() const {
    RunOptions run;
    run.upgrade = upgrade;
    run.devir = devir;
    run.ytl = ytl;
    run.oldData = platform::TypedPath::resolve(oldDir);
    run.newData = platform::TypedPath::resolve(newDir);
    run.sourceYear = fromYear;
    run.targetYear = toYear;
    run.rounding = rounding;
    run.digits = digits;
    return run;
  }

  void setStatusText(const std::string& text) override;
  void setStatusVisible(bool visible) override;
  void setGaugeVisible(bool visible) override;
  void setGaugeMax(int maximum) override;
  void setGaugePosition(int position) override;
  void advanceGauge() override;
  void repaint() override {}
  void infoBox(const std::string& text) override;
  bool selectCompanies(CompanyList& companies) override;
};
