#include "support/recording_host.h"

#include "data/companylist.h"

void RecordingHost::setStatusText(const std::string& text) {
  statuses.push_back(text);
  events.push_back("status: " + text);
}

void RecordingHost::setStatusVisible(bool visible) {
  statusVisible = visible;
  events.push_back(visible ? "status-shown" : "status-hidden");
}

void RecordingHost::setGaugeVisible(bool visible) {
  gaugeVisible = visible;
  events.push_back(visible ? "gauge-shown" : "gauge-hidden");
}

void RecordingHost::setGaugeMax(int maximum) {
  gaugeMax = maximum;
  if (gaugePosition > gaugeMax) gaugePosition = gaugeMax;
  events.push_back("gauge-max: " + std::to_string(maximum));
}

void RecordingHost::setGaugePosition(int position) {
  gaugePosition = position > gaugeMax ? gaugeMax : position;
}

void RecordingHost::advanceGauge() {
  if (gaugePosition < gaugeMax) ++gaugePosition;
}

void RecordingHost::infoBox(const std::string& text) {
  infos.push_back(text);
  events.push_back("info: " + text);
}

bool RecordingHost::selectCompanies(CompanyList& companies) {
  ++selectCalls;
  events.push_back("select");
  return onSelect(companies);
}
