#include "carry/dialog/win32/k_sirketsec.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "ui/win32/dpi.h"
#include "ui/win32/gdi.h"

namespace {

namespace layout = selection_layout;
using win32ui::ListCell;
using win32ui::ListCellDraw;

// The main window's face; the labels and buttons in bold.
const win32ui::FontSpec kFace{"MS Sans Serif", 11, false};
const win32ui::FontSpec kBold{"MS Sans Serif", 11, true};

uimodel::Rect rectOf(const SelectionRect& r) {
  return {r.x, r.y, r.width, r.height};
}

// What a text of lines broken by "\r\n" takes in `spec`, at 96 DPI.
uimodel::Size blockSize(const win32ui::FontSpec& spec, std::string_view text) {
  const HFONT font = win32ui::font(spec);
  uimodel::Size size;
  for (std::size_t start = 0; start <= text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const uimodel::Size s = win32ui::textSize(font, line.empty() ? " " : line);
    size.width = std::max(size.width, win32ui::unscale(s.width));
    size.height += win32ui::unscale(s.height);
    start = end + 1;
  }
  return size;
}

win32ui::Align alignOf(CompanySelection::Align align) {
  switch (align) {
    case CompanySelection::Align::kCenter:
      return win32ui::Align::Centre;
    case CompanySelection::Align::kRight:
      return win32ui::Align::Right;
    case CompanySelection::Align::kLeft:
      break;
  }
  return win32ui::Align::Left;
}

}  // namespace

bool ShowCompanySelection(HWND owner, CompanyList& companies, RunHost& host,
                          const std::string& ownerCaption) {
  TK_SirketSec dialog(companies, host);
  return dialog.ShowModal(owner, ownerCaption);
}

TK_SirketSec::TK_SirketSec(CompanyList& companies, RunHost& host) : m_selection(companies, host) {}

bool TK_SirketSec::ShowModal(HWND owner, const std::string& ownerCaption) {
  FormShow(ownerCaption);
  if (!create(owner)) return false;
  m_window.runModal();
  return m_selection.confirmed();
}

void TK_SirketSec::FormShow(const std::string& ownerCaption) {
  m_selection.FormShow(ownerCaption);
}

bool TK_SirketSec::create(HWND owner) {
  win32ui::WindowArgs window;
  window.owner = owner;
  window.title = m_selection.caption();
  window.clientSize = {layout::kClientWidth, layout::kClientHeight};
  window.minimiseBox = false;
  if (!m_window.create(window, this)) return false;
  const HWND parent = m_window.hwnd();

  win32ui::LabelArgs label1;
  label1.parent = parent, label1.id = kLabel1, label1.font = kBold;
  label1.text = CompanySelection::kLabel1Text;
  const uimodel::Size size1 = blockSize(kBold, label1.text);
  label1.rect = {layout::kLabel1.x, layout::kLabel1.y, size1.width, size1.height};
  Label1.create(label1);

  // Columns: the row indicator, then the selection's own, each at its own
  // width or its field's default in the grid's digits.
  const HFONT gridFont = win32ui::font(kFace);
  const int digit = win32ui::unscale(win32ui::textSize(gridFont, "0").width);
  win32ui::ListViewArgs grid;
  grid.parent = parent, grid.id = kGrid, grid.rect = rectOf(layout::kGrid), grid.font = kFace;
  grid.tabStop = true;
  grid.columns.push_back({"", layout::kIndicatorWidth, win32ui::Align::Left});
  for (int c = 0; c < CompanySelection::kColumnCount; ++c) {
    const CompanySelection::GridColumn& column = CompanySelection::column(c);
    const int title = win32ui::ListView::titleWidth(gridFont, column.title);
    // Windows' header pads a title more than a data grid does: a column of
    // its own width still shows its whole title.
    const int width = std::max(m_selection.columnWidth(c, digit, title), title);
    grid.columns.push_back({column.title, width, alignOf(column.align)});
  }
  if (!DBGrid1.create(grid)) return false;
  std::vector<std::vector<std::string>> rows(static_cast<std::size_t>(m_selection.rowCount()));
  for (int r = 0; r < m_selection.rowCount(); ++r) {
    rows[r].push_back("");
    for (int c = 0; c < CompanySelection::kColumnCount; ++c)
      rows[r].push_back(m_selection.cellText(r, c));
  }
  DBGrid1.setRows(rows);
  // The grid starts on the list's current row, marked in the indicator.
  if (const int current = m_selection.currentRow(); current >= 0) DBGrid1.setCurrentRow(current);
  DBGrid1.onCellClick = [this](ListCell cell) { DBGrid1CellClick(cell); };
  DBGrid1.onCustomDraw = [this](ListCellDraw& draw) { drawCell(draw); };

  win32ui::LabelArgs label2;
  label2.parent = parent, label2.id = kLabel2, label2.font = kBold;
  label2.text = CompanySelection::kLabel2Text;
  const uimodel::Size size2 = blockSize(kBold, label2.text);
  label2.rect = {layout::kLabel2.x, layout::kLabel2.y, size2.width, size2.height};
  Label2.create(label2);

  win32ui::LabelArgs label3;
  label3.parent = parent, label3.id = kLabel3, label3.font = kFace;
  label3.rect = rectOf(layout::kNotes), label3.wordWrap = true;
  label3.text = m_selection.notes();
  label3.visible = m_selection.notesVisible();
  Label3.create(label3);

  win32ui::PushButtonArgs button2;
  button2.parent = parent, button2.id = kButton2, button2.font = kBold, button2.tabStop = true;
  button2.rect = rectOf(layout::kButton2), button2.text = CompanySelection::kButton2Caption;
  win32ui::PushButtonArgs button1 = button2;
  button1.id = kButton1;
  button1.rect = rectOf(layout::kButton1), button1.text = CompanySelection::kButton1Caption;
  return Button2.create(button2) && Button1.create(button1);
}

void TK_SirketSec::DBGrid1CellClick(ListCell cell) {
  // The indicator column is no cell of the selection.
  if (cell.column == kIndicatorColumn) return;
  const int row = DBGrid1.currentRow();
  if (m_selection.DBGrid1CellClick(cell.row, cell.column - 1)) refreshRow(cell.row);
  // The indicator moves from the row it was on to the clicked one.
  if (row >= 0) DBGrid1.redrawRow(row);
  DBGrid1.setCurrentRow(cell.row);
  DBGrid1.redrawRow(cell.row);
}

void TK_SirketSec::refreshRow(int row) {
  for (int c = 0; c < CompanySelection::kColumnCount; ++c)
    DBGrid1.setCell({row, c + 1}, m_selection.cellText(row, c));
}

// The current row's indicator: a black triangle, as a Windows data grid
// marks it.
void TK_SirketSec::drawCell(ListCellDraw& draw) const {
  if (draw.stage != ListCellDraw::After || draw.cell.column != kIndicatorColumn ||
      draw.cell.row != DBGrid1.currentRow())
    return;
  const RECT& r = draw.rect;
  const int cx = (r.left + r.right) / 2;
  const int cy = (r.top + r.bottom) / 2;
  const int half = win32ui::scale(4);
  const POINT triangle[] = {
      {cx - half / 2, cy - half}, {cx + half / 2 + 1, cy}, {cx - half / 2, cy + half}};
  const HGDIOBJ brush = ::SelectObject(draw.dc, ::GetStockObject(BLACK_BRUSH));
  const HGDIOBJ pen = ::SelectObject(draw.dc, ::GetStockObject(BLACK_PEN));
  ::Polygon(draw.dc, triangle, 3);
  ::SelectObject(draw.dc, pen);
  ::SelectObject(draw.dc, brush);
}

void TK_SirketSec::Button1Click() {
  if (m_selection.Button1Click()) m_window.endModal(IDOK);
}

void TK_SirketSec::Button2Click() {
  m_selection.Button2Click();
  m_window.endModal(IDCANCEL);
}

void TK_SirketSec::onCommand(int id, int code) {
  if (code != BN_CLICKED) return;  // Enter comes as IDOK and presses no button
  switch (id) {
    case kButton1:
      Button1Click();
      break;
    case kButton2:
    case IDCANCEL:  // Esc
      Button2Click();
      break;
    default:
      break;
  }
}

// A character typed on the grid does nothing: the list view would otherwise
// jump to a row starting with it (Space included) behind the selection's back.
bool TK_SirketSec::onChar(char32_t) {
  return ::GetFocus() == DBGrid1.hwnd();
}

bool TK_SirketSec::onClose() {
  m_selection.Button2Click();
  return true;  // the modal loop ends unconfirmed
}
