#include "ui/win32/listview.h"

#include <commctrl.h>

#include <iterator>

#include "platform/wintext.h"
#include "ui/win32/dpi.h"
#include "ui/win32/gdi.h"

namespace win32ui {

namespace {

// Wine's header clips a title to the width it measures for it, a few pixels
// short of what it draws, and so cuts the last letter of some ("Yeni" reads
// "Yen"); a blank after the title gives that room and draws nothing.
std::string headerTitle(const std::string& title) {
  return title.empty() ? title : title + " ";
}

// A row's room above and below its text at 96 DPI: the focus rectangle's
// line and a gap, so that the rectangle of the selected row stays clear of
// the dots of "İ" and "Ö". Windows makes a row only as high as the font's
// line, where the focus line runs through those dots.
constexpr int kRowPadding = 3;

// The height of a row for text in `font`, in device pixels.
int rowHeightFor(HWND list, HFONT font) {
  HDC dc = ::GetDC(list);
  const HGDIOBJ old = ::SelectObject(dc, font);
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc, &metrics);
  ::SelectObject(dc, old);
  ::ReleaseDC(list, dc);
  return metrics.tmHeight + 2 * scale(kRowPadding);
}

}  // namespace

int ListView::titleWidth(HFONT font, const std::string& title) {
  // A header pads each side of a title by three edges.
  const int margins = 2 * 3 * ::GetSystemMetrics(SM_CXEDGE);
  return unscale(textSize(font, headerTitle(title)).width + margins);
}

bool ListView::create(const ListViewArgs& args) {
  const DWORD style = LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL;
  if (!createWindow(args, WC_LISTVIEWW, style, WS_EX_CLIENTEDGE)) return false;
  DWORD extended = LVS_EX_DOUBLEBUFFER;
  if (args.gridLines) extended |= LVS_EX_GRIDLINES;
  if (args.fullRowSelect) extended |= LVS_EX_FULLROWSELECT;
  ::SendMessageW(hwnd(), LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
  // A list view makes its rows as high as its small images: an image list of
  // images one pixel wide sets the height (the list destroys it with itself).
  if (HIMAGELIST rows =
          ::ImageList_Create(1, rowHeightFor(hwnd(), font(args.font)), ILC_COLOR, 1, 0))
    ::SendMessageW(hwnd(), LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(rows));
  for (const ListColumn& column : args.columns) {
    std::wstring title = platform::widen(headerTitle(column.title));
    LVCOLUMNW lvc{};
    lvc.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    lvc.fmt = column.align == Align::Right    ? LVCFMT_RIGHT
              : column.align == Align::Centre ? LVCFMT_CENTER
                                              : LVCFMT_LEFT;
    lvc.cx = scale(column.width);
    lvc.pszText = title.data();
    lvc.iSubItem = m_columns;
    if (::SendMessageW(hwnd(), LVM_INSERTCOLUMNW, m_columns, reinterpret_cast<LPARAM>(&lvc)) < 0)
      return false;
    ++m_columns;
  }
  return true;
}

void ListView::setRows(const std::vector<std::vector<std::string>>& rows) {
  ::SendMessageW(hwnd(), WM_SETREDRAW, FALSE, 0);
  ::SendMessageW(hwnd(), LVM_DELETEALLITEMS, 0, 0);
  for (std::size_t r = 0; r < rows.size(); ++r) {
    LVITEMW item{};
    item.iItem = static_cast<int>(r);
    ::SendMessageW(hwnd(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    for (std::size_t c = 0; c < rows[r].size() && c < static_cast<std::size_t>(m_columns); ++c)
      setCell({static_cast<int>(r), static_cast<int>(c)}, rows[r][c]);
  }
  ::SendMessageW(hwnd(), WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void ListView::setCell(ListCell cell, std::string_view text) {
  std::wstring wide = platform::widen(text);
  LVITEMW item{};
  item.iSubItem = cell.column;
  item.pszText = wide.data();
  ::SendMessageW(hwnd(), LVM_SETITEMTEXTW, cell.row, reinterpret_cast<LPARAM>(&item));
}

std::string ListView::cellText(ListCell cell) const {
  wchar_t buffer[1024] = {};
  LVITEMW item{};
  item.iSubItem = cell.column;
  item.pszText = buffer;
  item.cchTextMax = static_cast<int>(std::size(buffer));
  const auto length =
      ::SendMessageW(hwnd(), LVM_GETITEMTEXTW, cell.row, reinterpret_cast<LPARAM>(&item));
  return platform::narrow(std::wstring_view(buffer, static_cast<std::size_t>(length)));
}

int ListView::rowCount() const {
  return static_cast<int>(::SendMessageW(hwnd(), LVM_GETITEMCOUNT, 0, 0));
}

int ListView::currentRow() const {
  return static_cast<int>(
      ::SendMessageW(hwnd(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

void ListView::setCurrentRow(int row) {
  LVITEMW item{};
  item.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
  item.state = LVIS_FOCUSED | LVIS_SELECTED;
  ::SendMessageW(hwnd(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  ::SendMessageW(hwnd(), LVM_ENSUREVISIBLE, row, FALSE);
}

void ListView::redrawRow(int row) {
  ::SendMessageW(hwnd(), LVM_REDRAWITEMS, row, row);
}

std::optional<ListCell> ListView::hitTest(POINT point) const {
  LVHITTESTINFO info{};
  info.pt = point;
  if (::SendMessageW(hwnd(), LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&info)) < 0 ||
      info.iItem < 0 || (info.flags & LVHT_ONITEM) == 0)
    return std::nullopt;
  return ListCell{info.iItem, info.iSubItem};
}

RECT ListView::cellRect(ListCell cell) const {
  RECT r{};
  if (cell.row < 0 || cell.row >= rowCount() || cell.column < 0 || cell.column >= m_columns)
    return r;
  r.top = cell.column;
  r.left = LVIR_BOUNDS;
  if (!::SendMessageW(hwnd(), LVM_GETSUBITEMRECT, cell.row, reinterpret_cast<LPARAM>(&r)))
    return RECT{};
  // Sub-item 0 stands for the whole row: cut it to the first column.
  if (cell.column == 0)
    r.right = r.left + static_cast<int>(::SendMessageW(hwnd(), LVM_GETCOLUMNWIDTH, 0, 0));
  return r;
}

bool ListView::onReflected(UINT message, WPARAM, LPARAM lParam, LRESULT* result) {
  if (message != WM_NOTIFY) return false;
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  switch (header->code) {
    case NM_CLICK: {
      const auto* click = reinterpret_cast<const NMITEMACTIVATE*>(lParam);
      if (onCellClick) {
        if (auto cell = hitTest(click->ptAction)) onCellClick(*cell);
      }
      *result = 0;
      return true;
    }
    case LVN_KEYDOWN:
      if (onKeyDown) onKeyDown(reinterpret_cast<const NMLVKEYDOWN*>(lParam)->wVKey);
      *result = 0;
      return true;
    case NM_CUSTOMDRAW:
      *result = customDraw(reinterpret_cast<void*>(lParam));
      return true;
    default:
      return false;
  }
}

LRESULT ListView::customDraw(void* data) {
  auto* draw = static_cast<NMLVCUSTOMDRAW*>(data);
  if (!onCustomDraw) return CDRF_DODEFAULT;
  switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
      return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
    case CDDS_ITEMPOSTPAINT | CDDS_SUBITEM: {
      const bool before = (draw->nmcd.dwDrawStage & CDDS_ITEMPREPAINT) == CDDS_ITEMPREPAINT;
      ListCellDraw cell;
      cell.stage = before ? ListCellDraw::Before : ListCellDraw::After;
      cell.cell = {static_cast<int>(draw->nmcd.dwItemSpec), draw->iSubItem};
      cell.dc = draw->nmcd.hdc;
      cell.rect = cellRect(cell.cell);
      onCustomDraw(cell);
      if (!before) return CDRF_DODEFAULT;
      // The colours stay set for the next cells: every cell sets them.
      draw->clrText = cell.text ? colorRef(*cell.text) : ::GetSysColor(COLOR_WINDOWTEXT);
      draw->clrTextBk = cell.background ? colorRef(*cell.background) : CLR_DEFAULT;
      return CDRF_NOTIFYPOSTPAINT;
    }
    default:
      return CDRF_DODEFAULT;
  }
}

}  // namespace win32ui
