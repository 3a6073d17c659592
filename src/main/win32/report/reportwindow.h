// TReportWindow on Windows: the reconciliation report of a carry-forward,
// one tab per company with a list of its lines (the differing ones first and
// highlighted), and a button that opens the saved HTML file. A native window
// rendering report::ReportPresentation (report/presentation.h), which holds
// its texts, rows and size; how each kind of row looks is the window's own.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "main/form/aftercarry.h"
#include "report/presentation.h"
#include "ui/win32/buttons.h"
#include "ui/win32/label.h"
#include "ui/win32/listview.h"
#include "ui/win32/panel.h"
#include "ui/win32/tabcontrol.h"
#include "ui/win32/window.h"

// Shows the report over `owner` (disabled meanwhile) and returns once it is
// closed. `savedFile`: the path text of the saved HTML report; empty when it
// could not be saved (the open button is then disabled).
void ShowReportWindow(HWND owner, const report::RunReport& report, const std::string& savedFile);
// The same window as the after-carry actions' home (main/form/aftercarry.h):
// its presentation and a button per action before the open button. A
// pressed action that ran closes it (the model shows it again).
void ShowReportWindow(HWND owner, form1::AfterCarryHome& home);

// The model's boxes over `owner`: a message with its one button ("Tamam"),
// a question whose Esc and close box press its last button.
void ShowModelMessage(HWND owner, const form1::Message& message);
form1::Answer AskModelQuestion(HWND owner, const form1::Question& question);

class TReportWindow : public win32ui::WindowEvents {
 public:
  // Control ids, for the tests. Page p's heading and list are
  // kPageHeading + 2p and kPageList + 2p.
  enum Id {
    kFacts = 101,
    kVerdict,
    kCompanies,
    kSavedFile,
    kButtonOpen,
    kButtonClose,
    kPageHeading = 200,
    kPageList = 201,
    kFirstAction = 150,  // action i of the home is kFirstAction + i
  };

  TReportWindow(const report::RunReport& report, const std::string& savedFile);
  explicit TReportWindow(form1::AfterCarryHome& home);
  ~TReportWindow() override;

  // Creates the window and runs it modally.
  void ShowModal(HWND owner);

 private:
  struct Page;
  // A line of a page's list: the presented row it shows and, for an items
  // row, which of the text's lines; kDetailLine for the fields under a line.
  struct ListLine {
    int row;
    int line;
  };
  static constexpr int kDetailLine = -1;

  bool create(HWND owner);
  bool createPage(std::size_t index, const win32ui::Rect& area);
  void showPage(int index);
  void drawCell(const Page& page, win32ui::ListCellDraw& draw) const;
  void ButtonOpenClick();
  void ActionClick(std::size_t index);

  void onCommand(int id, int code) override;

  report::ReportPresentation m_presentation;
  std::string m_savedFile;
  win32ui::Window m_window;
  win32ui::Label m_facts;
  win32ui::Label m_verdict;
  win32ui::TabControl Companies;
  std::vector<std::unique_ptr<Page>> m_pages;
  win32ui::Label m_where;
  win32ui::PushButton ButtonOpen;   // "Kaydedilen raporu aç"
  win32ui::PushButton ButtonClose;  // "Kapat"
  form1::AfterCarryHome* m_home = nullptr;
  std::vector<std::unique_ptr<win32ui::PushButton>> m_actions;  // the home's, in order
};
