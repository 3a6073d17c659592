// A report-mode list view: a grid of text cells under a header, with grid
// lines, columns of given widths and alignments, clicks reported as (row,
// column), and a custom-draw hook that can recolour a cell before Windows
// draws it and paint over it afterwards (a row indicator, a mark). It has
// no tick boxes of its own: what a click means is the caller's business.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/win32/control.h"
#include "ui/win32/label.h"

namespace win32ui {

struct ListColumn {
  std::string title;
  int width = 64;  // 96-DPI pixels
  // Windows draws the first column left-aligned whatever is asked.
  Align align = Align::Left;
};

struct ListCell {
  int row = -1;
  int column = -1;
  friend bool operator==(const ListCell&, const ListCell&) = default;
};

// One call of the custom-draw hook. Before: set `text` or `background` to
// recolour the cell (absent: Windows' colours). After: paint on `dc` inside
// `rect`, the cell in the list's client area, in device pixels.
struct ListCellDraw {
  enum Stage { Before, After };
  Stage stage = Before;
  ListCell cell;
  HDC dc = nullptr;
  RECT rect{};
  std::optional<Rgb> text;
  std::optional<Rgb> background;
};

struct ListViewArgs : ControlArgs {
  std::vector<ListColumn> columns;
  bool gridLines = true;
  bool fullRowSelect = true;
};

class ListView : public Control {
 public:
  bool create(const ListViewArgs& args);
  // The width (96-DPI pixels) of a column whose header shows `title` whole
  // in `font`: the title as the header holds it and the header's margins.
  static int titleWidth(HFONT font, const std::string& title);

  // Replaces every row; each row holds up to one text per column.
  void setRows(const std::vector<std::vector<std::string>>& rows);
  void setCell(ListCell cell, std::string_view text);
  std::string cellText(ListCell cell) const;
  int rowCount() const;
  int columnCount() const { return m_columns; }
  // The row with the focus and the selection, -1 for none.
  int currentRow() const;
  void setCurrentRow(int row);
  void redrawRow(int row);

  // The cell under a point of the list's client area (device pixels).
  std::optional<ListCell> hitTest(POINT point) const;
  // The cell's rectangle in the list's client area (device pixels); empty
  // for a cell that does not exist.
  RECT cellRect(ListCell cell) const;

  std::function<void(ListCell cell)> onCellClick;
  std::function<void(int virtualKey)> onKeyDown;
  std::function<void(ListCellDraw& draw)> onCustomDraw;

  bool onReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  LRESULT customDraw(void* draw);

  int m_columns = 0;
};

}  // namespace win32ui
