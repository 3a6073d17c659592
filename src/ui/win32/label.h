// A static text: one line or word-wrapped, in its own colour on the face
// colour or on a background of its own.
#pragma once

#include <optional>

#include "ui/win32/control.h"

namespace win32ui {

enum class Align { Left, Centre, Right };

struct LabelArgs : ControlArgs {
  std::optional<Rgb> colour;      // the window text colour when absent
  std::optional<Rgb> background;  // the parent's face colour when absent
  bool wordWrap = false;          // otherwise one line, clipped at the right edge
  Align align = Align::Left;
};

class Label : public Control {
 public:
  bool create(const LabelArgs& args);
  void setColour(std::optional<Rgb> colour);

  bool onReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  std::optional<Rgb> m_colour;
  std::optional<Rgb> m_background;
};

}  // namespace win32ui
