#include "main/win32/report/reportwindow.h"

#include <algorithm>
#include <string_view>

#include "main/form/form1model.h"
#include "platform/paths.h"
#include "platform/shell.h"
#include "platform/wintext.h"
#include "ui/win32/dpi.h"
#include "ui/win32/gdi.h"
#include "ui/win32/messagebox.h"

namespace {

using win32ui::ListCellDraw;
using win32ui::Rect;

// How each kind of row looks.
constexpr uimodel::Rgb kDiffers{255, 214, 214};
constexpr uimodel::Rgb kItems{255, 240, 240};
constexpr uimodel::Rgb kInfo{80, 80, 80};
constexpr uimodel::Rgb kDetail{110, 110, 110};
constexpr uimodel::Rgb kVerdictDiffers{160, 0, 0};
const win32ui::FontSpec kFace{"MS Sans Serif", 11, false};
const win32ui::FontSpec kBold{"MS Sans Serif", 11, true};

// The window's spacing, as a dialog's box layout places its parts (96 DPI).
constexpr int kMargin = 9;
constexpr int kSpacing = 6;
constexpr int kLineHeight = 16;
constexpr int kButtonHeight = 25;
constexpr int kButtonMinWidth = 75;
constexpr int kButtonPadding = 24;
constexpr int kCellPadding = 6;  // a list cell's text from its edges
constexpr int kColumnSlack = 2;  // beyond the padding: the grid line

int textWidth(const win32ui::FontSpec& spec, std::string_view text) {
  return win32ui::unscale(win32ui::textSize(win32ui::font(spec), text).width);
}

int buttonWidth(const char* caption) {
  return std::max(kButtonMinWidth, textWidth(kBold, caption) + kButtonPadding);
}

// The lines of a text broken by "\n".
std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  lines.push_back(text.substr(start));
  return lines;
}

// Paints a cell's text over its rectangle in `background`, keeping the
// grid lines at its right and bottom edge.
void paintCell(HDC dc, RECT r, uimodel::Rgb background, const win32ui::FontSpec& spec,
               const std::string& text, UINT align) {
  --r.right;
  --r.bottom;
  ::FillRect(dc, &r, win32ui::brush(background));
  const int padding = win32ui::scale(kCellPadding);
  r.left += padding;
  r.right -= padding;
  const HGDIOBJ old = ::SelectObject(dc, win32ui::font(spec));
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
  std::wstring wide = platform::widen(text);
  ::DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r,
              align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  ::SelectObject(dc, old);
}

}  // namespace

// A company's tab page: a panel over the tab control's page area with the
// company's heading and its list.
struct TReportWindow::Page {
  win32ui::Panel panel;
  win32ui::Label heading;
  win32ui::ListView list;
  std::vector<ListLine> lines;  // one per list row
  const report::CompanyPage* presented = nullptr;
};

void ShowReportWindow(HWND owner, const report::RunReport& report, const std::string& savedFile) {
  TReportWindow window(report, savedFile);
  window.ShowModal(owner);
}

void ShowReportWindow(HWND owner, form1::AfterCarryHome& home) {
  TReportWindow window(home);
  window.ShowModal(owner);
}

namespace {

// The models break lines with "\r\n", the message box with "\n".
std::string boxText(std::string text) {
  for (std::string::size_type at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 1);
  return text;
}

// The action's boxes over the report window.
class WindowPort final : public form1::HomePort {
 public:
  explicit WindowPort(HWND window) : m_window(window) {}
  form1::Answer ask(const form1::Question& q) override { return AskModelQuestion(m_window, q); }
  void showMessage(const form1::Message& m) override { ShowModelMessage(m_window, m); }
  void setBusyCursor(bool busy) override {
    ::SetCursor(::LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
  }

 private:
  HWND m_window;
};

}  // namespace

void ShowModelMessage(HWND owner, const form1::Message& m) {
  win32ui::MessageBoxArgs box;
  box.owner = owner;
  box.caption = m.caption;
  box.text = boxText(m.text);
  box.icon = m.icon == form1::Message::Icon::kError ? win32ui::MessageIcon::Error
                                                    : win32ui::MessageIcon::Information;
  box.buttons = {form1::kOkCaption};
  win32ui::showMessageBox(box);
}

form1::Answer AskModelQuestion(HWND owner, const form1::Question& q) {
  win32ui::MessageBoxArgs box;
  box.owner = owner;
  box.caption = q.caption;
  box.text = boxText(q.text);
  box.icon = win32ui::MessageIcon::Question;
  box.buttons = {q.yes, q.no};
  if (!q.cancel.empty()) box.buttons.push_back(q.cancel);  // Esc and the close box press it
  switch (win32ui::showMessageBox(box)) {
    case 0:
      return form1::Answer::kYes;
    case 1:
      return form1::Answer::kNo;
    default:
      return q.cancel.empty() ? form1::Answer::kNo : form1::Answer::kCancel;
  }
}

TReportWindow::TReportWindow(const report::RunReport& report, const std::string& savedFile)
    : m_presentation(report::PresentReport(report, savedFile)), m_savedFile(savedFile) {}

TReportWindow::TReportWindow(form1::AfterCarryHome& home)
    : m_presentation(home.presentation()), m_savedFile(m_presentation.savedFile), m_home(&home) {}

TReportWindow::~TReportWindow() = default;

void TReportWindow::ShowModal(HWND owner) {
  if (create(owner)) m_window.runModal();
}

bool TReportWindow::create(HWND owner) {
  const report::WindowSize size =
      report::ReportWindowSize(win32ui::unscale(::GetSystemMetrics(SM_CXSCREEN)),
                               win32ui::unscale(::GetSystemMetrics(SM_CYSCREEN)));
  win32ui::WindowArgs window;
  window.owner = owner;
  window.title = m_presentation.title;
  window.clientSize = {size.width, size.height};
  window.minimiseBox = false;
  if (!m_window.create(window, this)) return false;
  const HWND parent = m_window.hwnd();
  const int width = size.width - 2 * kMargin;

  // The summary: the facts, and the verdict in bold, dark red when it differs.
  win32ui::LabelArgs facts;
  facts.parent = parent, facts.id = kFacts, facts.font = kFace;
  facts.rect = {kMargin, kMargin, width, kLineHeight}, facts.text = m_presentation.facts;
  win32ui::LabelArgs verdict = facts;
  verdict.id = kVerdict, verdict.font = kBold, verdict.text = m_presentation.verdict;
  verdict.rect.y += kLineHeight;
  if (m_presentation.differs) verdict.colour = kVerdictDiffers;
  if (!m_facts.create(facts) || !m_verdict.create(verdict)) return false;

  // The buttons and the saved file's line at the bottom, right to left.
  const int bottom = size.height - kMargin - kButtonHeight;
  win32ui::PushButtonArgs close;
  close.parent = parent, close.id = kButtonClose, close.font = kBold, close.tabStop = true;
  close.text = report::kCloseCaption;
  const int closeWidth = buttonWidth(report::kCloseCaption);
  close.rect = {size.width - kMargin - closeWidth, bottom, closeWidth, kButtonHeight};
  win32ui::PushButtonArgs open = close;
  open.id = kButtonOpen, open.text = report::kOpenCaption;
  const int openWidth = buttonWidth(report::kOpenCaption);
  open.rect = {close.rect.x - kSpacing - openWidth, bottom, openWidth, kButtonHeight};
  open.enabled = m_presentation.canOpen;
  // The home's actions before the open button, in their order.
  int left = open.rect.x;
  if (m_home) {
    const std::vector<form1::HomeAction>& actions = m_home->actions();
    for (std::size_t i = actions.size(); i-- > 0;) {
      win32ui::PushButtonArgs action = close;
      action.id = kFirstAction + static_cast<int>(i);
      action.text = actions[i].caption;
      const int w = buttonWidth(actions[i].caption.c_str());
      left -= kSpacing + w;
      action.rect = {left, bottom, w, kButtonHeight};
      auto button = std::make_unique<win32ui::PushButton>();
      if (!button->create(action)) return false;
      m_actions.insert(m_actions.begin(), std::move(button));
    }
  }
  win32ui::LabelArgs where;
  where.parent = parent, where.id = kSavedFile, where.font = kFace, where.wordWrap = true;
  where.rect = {kMargin, bottom - 2, left - kSpacing - kMargin, kButtonHeight + 4};
  where.text = m_presentation.savedFileLine;
  if (!m_where.create(where) || !ButtonOpen.create(open) || !ButtonClose.create(close))
    return false;

  // One tab per company, its page over the tab control's page area.
  win32ui::TabControlArgs tabs;
  tabs.parent = parent, tabs.id = kCompanies, tabs.font = kFace;
  const int top = verdict.rect.y + kLineHeight + kSpacing;
  tabs.rect = {kMargin, top, width, bottom - kSpacing - top};
  for (const report::CompanyPage& page : m_presentation.pages) tabs.tabs.push_back(page.tabTitle);
  if (!Companies.create(tabs)) return false;
  const Rect area = Companies.pageRect();
  for (std::size_t p = 0; p < m_presentation.pages.size(); ++p)
    if (!createPage(p, area)) return false;
  Companies.onChange = [this](int index) { showPage(index); };
  showPage(0);
  return true;
}

bool TReportWindow::createPage(std::size_t index, const Rect& area) {
  auto page = std::make_unique<Page>();
  page->presented = &m_presentation.pages[index];
  const int id = static_cast<int>(2 * index);
  win32ui::PanelArgs panel;
  panel.parent = m_window.hwnd(), panel.id = kPageHeading + 1000 + id, panel.rect = area;
  panel.bevel = win32ui::Bevel::None, panel.visible = false;
  if (!page->panel.create(panel)) return false;
  // Over the tab control, which would otherwise paint its page area over it.
  ::SetWindowPos(page->panel.hwnd(), HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  const int inner = area.width - 2 * kSpacing;
  win32ui::LabelArgs heading;
  heading.parent = page->panel.hwnd(), heading.id = kPageHeading + id, heading.font = kBold;
  heading.rect = {kSpacing, kSpacing, inner, kLineHeight};
  heading.text = page->presented->heading;
  if (!page->heading.create(heading)) return false;

  // A line's cells, and an items row's text one line to a list row.
  std::vector<std::vector<std::string>> rows;
  const std::vector<report::PresentedRow>& presented = page->presented->rows;
  for (std::size_t r = 0; r < presented.size(); ++r) {
    const report::PresentedRow& row = presented[r];
    if (row.kind != report::RowKind::kItems) {
      rows.emplace_back(row.cells.begin(), row.cells.end());
      page->lines.push_back({static_cast<int>(r), 0});
      // The fields behind the line, for support, on a grey line under it.
      if (!row.detail.empty()) {
        rows.push_back({std::string(), row.detail});
        page->lines.push_back({static_cast<int>(r), kDetailLine});
      }
      continue;
    }
    const std::vector<std::string> lines = linesOf(row.cells[1]);
    for (std::size_t l = 0; l < lines.size(); ++l) {
      rows.push_back({l == 0 ? row.cells[0] : std::string(), lines[l]});
      page->lines.push_back({static_cast<int>(r), static_cast<int>(l)});
    }
  }

  // Columns as wide as their titles and cells; the line column takes the rest.
  win32ui::ListViewArgs list;
  list.parent = page->panel.hwnd(), list.id = kPageList + id, list.font = kFace;
  const int listTop = kSpacing + kLineHeight + kSpacing;
  list.rect = {kSpacing, listTop, inner, area.height - listTop - kSpacing};
  int used = 0;
  for (int c = 0; c < report::kColumnCount; ++c) {
    int w = 0;
    for (std::size_t r = 0; r < rows.size(); ++r) {
      const bool items = presented[page->lines[r].row].kind == report::RowKind::kItems;
      if (c < static_cast<int>(rows[r].size()) && !(items && c == 1))
        w = std::max(w, textWidth(kBold, rows[r][c]));
    }
    const bool number = c >= 2 && c <= 5;
    w += 2 * kCellPadding + kColumnSlack;
    // The title with a cell's padding too: the classic header pads its
    // titles more than the themed one, and an empty column is only its title.
    w = std::max(w, win32ui::ListView::titleWidth(win32ui::font(kFace), report::kColumnTitles[c]) +
                        2 * kCellPadding);
    list.columns.push_back(
        {report::kColumnTitles[c], w, number ? win32ui::Align::Right : win32ui::Align::Left});
    used += w;
  }
  const int room = inner - 4 - win32ui::unscale(::GetSystemMetrics(SM_CXVSCROLL));
  if (used < room) list.columns[1].width += room - used;
  if (!page->list.create(list)) return false;
  page->list.setRows(rows);
  const Page* drawn = page.get();
  page->list.onCustomDraw = [this, drawn](ListCellDraw& draw) { drawCell(*drawn, draw); };
  m_pages.push_back(std::move(page));
  return true;
}

void TReportWindow::showPage(int index) {
  for (std::size_t p = 0; p < m_pages.size(); ++p)
    m_pages[p]->panel.setVisible(static_cast<int>(p) == index);
}

// Differing lines on a light red in bold, information and the fields under a
// line in grey, the records of an items row across the whole row after the
// section column.
void TReportWindow::drawCell(const Page& page, ListCellDraw& draw) const {
  const int listRow = draw.cell.row;
  if (listRow < 0 || listRow >= static_cast<int>(page.lines.size())) return;
  const report::PresentedRow& row = page.presented->rows[page.lines[listRow].row];
  const int column = draw.cell.column;
  if (page.lines[listRow].line == kDetailLine) {
    draw.text = kDetail;
    if (row.kind == report::RowKind::kDiffers) draw.background = kDiffers;
    return;
  }
  switch (row.kind) {
    case report::RowKind::kDiffers:
      draw.background = kDiffers;
      if (draw.stage == ListCellDraw::After)
        paintCell(draw.dc, draw.rect, kDiffers, kBold, row.cells[column],
                  row.isNumber(column) ? DT_RIGHT : DT_LEFT);
      break;
    case report::RowKind::kInfo:
      draw.text = kInfo;
      break;
    case report::RowKind::kItems:
      draw.background = kItems;
      if (draw.stage == ListCellDraw::After && column == report::kColumnCount - 1) {
        RECT span = page.list.cellRect({listRow, 1});
        span.right = draw.rect.right;
        paintCell(draw.dc, span, kItems, kFace, page.list.cellText({listRow, 1}), DT_LEFT);
      }
      break;
    case report::RowKind::kAgrees:
      break;
  }
}

void TReportWindow::ButtonOpenClick() {
  const auto path = platform::resolvePath(m_savedFile);
  if (path && platform::openInShell(platform::utf8FromPath(*path))) return;
  win32ui::MessageBoxArgs box;
  box.owner = m_window.hwnd();
  box.caption = report::kOpenFailureCaption;
  box.text = report::OpenFailureText(m_savedFile);
  box.icon = win32ui::MessageIcon::Warning;
  box.buttons = {"Tamam"};
  win32ui::showMessageBox(box);
}

void TReportWindow::ActionClick(std::size_t index) {
  WindowPort port(m_window.hwnd());
  if (m_home->press(index, port)) m_window.endModal(IDOK);
}

void TReportWindow::onCommand(int id, int code) {
  if (code != BN_CLICKED) return;
  if (m_home && id >= kFirstAction &&
      id < kFirstAction + static_cast<int>(m_home->actions().size())) {
    ActionClick(static_cast<std::size_t>(id - kFirstAction));
    return;
  }
  switch (id) {
    case kButtonOpen:
      ButtonOpenClick();
      break;
    case kButtonClose:
    case IDCANCEL:  // Esc
      m_window.endModal(IDOK);
      break;
    default:
      break;
  }
}
