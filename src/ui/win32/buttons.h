// Windows' own buttons: a push button and a check box. A click reaches the
// window's WindowEvents as onCommand(id, BN_CLICKED).
#pragma once

#include "ui/win32/control.h"

namespace win32ui {

struct PushButtonArgs : ControlArgs {
  bool defaultButton = false;  // the one Enter presses
};

class PushButton : public Control {
 public:
  bool create(const PushButtonArgs& args);
};

struct CheckBoxArgs : ControlArgs {
  bool checked = false;
  // A click ticks or unticks the box itself; otherwise only setChecked() does.
  bool autoToggle = true;
};

// The box fills its whole rectangle with the face colour before it draws,
// so one that sits on a panel's edge hides the edge behind its caption. A
// box lower than its caption's line is grown about its middle, so that no
// accent or cedilla of the caption is cut.
class CheckBox : public Control {
 public:
  bool create(const CheckBoxArgs& args);
  bool isChecked() const;
  void setChecked(bool checked);
};

}  // namespace win32ui
