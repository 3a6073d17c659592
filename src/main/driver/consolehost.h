// The RunHost of the command line: progress as lines on standard error,
// information box texts on standard output, and the company selection
// answered by a list of codes. It builds the run's options from the
// arguments.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "jobs/runhost.h"
#include "jobs/runoptions.h"

struct HeadlessOptions {
  bool devir = false;
  bool upgrade = false;
  bool ytl = false;
  std::string dataDirectory;
  std::string oldDataDirectory;
  std::string fromYear;
  std::string toYear;
  int rounding = 0;                    // 0 auto (nearest), 1 down, 2 up
  bool allCompanies = true;            // --companies all (the default)
  std::vector<std::string> companies;  // otherwise: the codes to carry forward
  std::string reportDirectory;         // --report-dir; empty: the data directory's
  bool dryRun = false;                 // --dry-run: checks and the plan only
};

class ConsoleHost final : public RunHost {
 public:
  ConsoleHost(const HeadlessOptions& options, std::ostream& out, std::ostream& err);

  // The run's options, each directory resolved here once.
  RunOptions runOptions() const;

  void setStatusText(const std::string& text) override;
  void setStatusVisible(bool) override {}
  void setGaugeVisible(bool) override {}
  void setGaugeMax(int maximum) override;
  void setGaugePosition(int position) override;
  void advanceGauge() override;
  void repaint() override {}
  void infoBox(const std::string& text) override;
  // Selects exactly the listed codes (letter case ignored). A listed code
  // that is not a company of the source year, or an empty selection, ends
  // the run without carrying anything forward. With every company asked
  // for, a company the list left unselected (already carried) is passed
  // over with a notice on standard error. An empty selection says why on
  // standard output: "2005 yılına ait şirket bulunamadı" when the year has
  // no company, "2005 yılının bütün şirketleri 2006 yılına devredilmiş" when
  // every one was carried already.
  bool selectCompanies(CompanyList& companies) override;

 private:
  void showProgress();

  HeadlessOptions m_options;
  std::ostream& m_out;
  std::ostream& m_err;
  int m_gaugeMax = 0;
  int m_gaugePosition = 0;
  int m_shownTenth = -1;  // last progress step printed, in tenths
};
