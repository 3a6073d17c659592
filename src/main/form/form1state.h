// What the main window shows at a moment: the job options, which controls are
// visible or enabled, the progress display of a run and the caption. The
// model changes it; a view renders it.
#pragma once

#include <string>

namespace form1 {

// The progress gauge Gauge1: a maximum (the items of a step), a position
// kept within 0..maximum, and the whole percentage done as its text.
class Gauge {
 public:
  // Each returns true when the percentage shown changed, so the gauge has to
  // be painted again. A maximum below 0 counts as 0; a smaller maximum pulls
  // the position down to it.
  bool setMax(int maximum);
  bool setPosition(int position);

  int max() const { return m_max; }
  int position() const { return m_position; }
  // Rounded down ("66%" at 2 of 3); 0 with no items.
  int percent() const;
  std::string text() const;  // "66%"

 private:
  bool shownChanged();

  int m_max = 0;
  int m_position = 0;
  int m_shown = -1;  // the percentage last reported, none at first
};

// Initial() gives the state of the controls as the window creates them
// (form1layout.h); a default State is all off and empty.
struct State {
  // The job options.
  bool upgradeTicked = false;  // CheckBoxUpgrade
  bool devirTicked = false;    // CheckBoxDevir
  bool ytlTicked = false;      // CheckBoxYTL
  std::string oldDirectory;    // DirectoryEditOrLumex, as typed
  std::string newDirectory;    // DirectoryEditPravex, as typed
  std::string sourceYear;      // Edit1
  std::string targetYear;      // Edit2
  int roundingIndex = 0;       // RadioYUVARLA
  int precisionIndex = 0;      // RadioHAS (disabled: stays at 2)
  int ratioIndex = 0;          // RadioORAN (disabled, shown only)

  // What the handlers show, hide and enable.
  bool upgradeEnabled = false;       // CheckBoxUpgrade
  bool panelUpgradeVisible = false;  // the older edition's directory
  bool panel2Visible = false;        // the year edits
  bool panelYtlVisible = false;      // the currency panel

  // The progress display of a run.
  std::string statusText;  // Label4
  bool statusVisible = false;
  Gauge gauge;  // Gauge1
  bool gaugeVisible = false;

  bool running = false;  // a run is in progress: the window takes no input
  std::string caption;   // set when the window is shown

  static State Initial();
};

}  // namespace form1
