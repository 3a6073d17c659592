#include "main/form/form1state.h"

#include <algorithm>

#include "main/form/form1layout.h"

namespace form1 {

bool Gauge::setMax(int maximum) {
  m_max = std::max(maximum, 0);
  m_position = std::min(m_position, m_max);
  return shownChanged();
}

bool Gauge::setPosition(int position) {
  m_position = std::clamp(position, 0, m_max);
  return shownChanged();
}

int Gauge::percent() const {
  return m_max > 0 ? static_cast<int>(static_cast<long long>(m_position) * 100 / m_max) : 0;
}

std::string Gauge::text() const {
  return std::to_string(percent()) + "%";
}

bool Gauge::shownChanged() {
  const int now = percent();
  if (now == m_shown) return false;
  m_shown = now;
  return true;
}

State State::Initial() {
  State s;
  const Control& upgrade = Find("CheckBoxUpgrade");
  s.upgradeTicked = upgrade.checked;
  s.upgradeEnabled = upgrade.enabled;
  s.devirTicked = Find("CheckBoxDevir").checked;
  s.ytlTicked = Find("CheckBoxYTL").checked;
  s.oldDirectory = Find("DirectoryEditOrLumex").text;
  s.newDirectory = Find("DirectoryEditPravex").text;
  s.sourceYear = Find("Edit1").text;
  s.targetYear = Find("Edit2").text;
  s.roundingIndex = Find("RadioYUVARLA").itemIndex;
  s.precisionIndex = Find("RadioHAS").itemIndex;
  s.ratioIndex = Find("RadioORAN").itemIndex;
  s.panelUpgradeVisible = Find("PanelUpgrade").visible;
  s.panel2Visible = Find("Panel2").visible;
  s.panelYtlVisible = Find("PanelYTL").visible;
  const Control& status = Find("Label4");
  s.statusText = status.text;
  s.statusVisible = status.visible;
  s.gaugeVisible = Find("Gauge1").visible;
  return s;
}

}  // namespace form1
