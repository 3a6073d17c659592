// A RunHost for tests: holds the job options as plain members, records every
// status text, gauge change and message in order, and answers the company
// selection with a scripted choice.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "jobs/runhost.h"

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

  bool upgradeTicked() const override { return upgrade; }
  bool devirTicked() const override { return devir; }
  bool ytlTicked() const override { return ytl; }
  std::string oldDataDirectory() const override { return oldDir; }
  std::string newDataDirectory() const override { return newDir; }
  std::string sourceYear() const override { return fromYear; }
  std::string targetYear() const override { return toYear; }
  int roundingMode() const override { return rounding; }
  int precisionDigits() const override { return digits; }
  std::string currencyName() const override { return "Yeni Türk Lirası"; }
  std::string currencySymbol() const override { return "YTL"; }
  std::string subUnitName() const override { return "Yeni Kuruş"; }
  std::string subUnitSymbol() const override { return "YKr"; }

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
