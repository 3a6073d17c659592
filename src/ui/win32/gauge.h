// A horizontal gauge painted by the kit (visual styles ignore a progress
// bar's colours): a fill from the left in proportion to position / maximum
// and the whole percentage done as text in the middle, in one colour over the
// empty part and in another over the fill.
#pragma once

#include "ui/win32/control.h"

namespace win32ui {

struct GaugeArgs : ControlArgs {
  Rgb fill{0, 0, 128};  // navy
  Rgb background{255, 255, 255};
  Rgb border{128, 128, 128};
  Rgb text{0, 0, 0};
  Rgb textOverFill{255, 255, 255};
};

class Gauge : public Control {
 public:
  bool create(const GaugeArgs& args);
  // Positions outside 0..maximum are held at its ends; a maximum of 0 or
  // less shows 0%. Paints at once when what it shows changed, because no
  // message loop runs while a job reports its progress.
  void setProgress(int position, int maximum);
  int position() const { return m_position; }
  int maximum() const { return m_maximum; }
  // The whole percentage done, rounded down (66 at 2 of 3).
  int percent() const;

 private:
  static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  int fillWidth(int inner) const;
  void paint(HDC dc) const;

  GaugeArgs m_look;
  HFONT m_font = nullptr;
  int m_position = 0;
  int m_maximum = 0;
};

}  // namespace win32ui
