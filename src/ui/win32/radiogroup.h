// A radio group: a group box with its caption on the frame's top edge and
// radio buttons in columns, filled column by column and spread evenly over
// the height below the caption (as Delphi's TRadioGroup arranges them). The
// buttons are siblings of the box in the parent; item i has the control id
// id + 1 + i, and a click on it reaches WindowEvents::onCommand with that id.
#pragma once

#include <string>
#include <vector>

#include "ui/win32/control.h"

namespace win32ui {

struct RadioGroupArgs : ControlArgs {
  std::vector<std::string> items;
  int columns = 1;
  int itemIndex = -1;  // the selected item; -1 selects none
};

class RadioGroup : public Control {
 public:
  ~RadioGroup() override;
  bool create(const RadioGroupArgs& args);
  int itemCount() const { return static_cast<int>(m_items.size()); }
  HWND item(int index) const { return m_items.at(static_cast<std::size_t>(index)); }
  // The item of control id `id`, or -1 when it is none of the group's.
  int indexOfId(int id) const;
  int itemIndex() const;
  void setItemIndex(int index);
  // The box and every item together.
  void setEnabled(bool enabled) override;
  void setVisible(bool visible) override;

 private:
  std::vector<HWND> m_items;
};

}  // namespace win32ui
