// A tab control: a row of tabs over a page area. The pages are the caller's
// controls, siblings placed over pageRect() and shown or hidden on onChange.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/win32/control.h"

namespace win32ui {

struct TabControlArgs : ControlArgs {
  std::vector<std::string> tabs;
  int currentIndex = 0;
};

class TabControl : public Control {
 public:
  bool create(const TabControlArgs& args);
  int count() const;
  int currentIndex() const;
  // Selects a tab without calling onChange.
  void setCurrentIndex(int index);
  // The page area under the tabs, in the parent's client area (96-DPI
  // pixels), where the pages go.
  Rect pageRect() const;

  // The user chose another tab.
  std::function<void(int index)> onChange;

  bool onReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};

}  // namespace win32ui
