// TK_SirketSec on Windows: the modal dialog in which the user picks the
// companies to carry forward, a native window rendering CompanySelection
// (carry/selection.h), which holds the dialog's texts, rules and layout. The
// dialog forwards clicks and keys to it and shows what it says; the look
// (fonts, the row indicator) is its own.
#pragma once

#include <windows.h>

#include <string>

#include "carry/selection.h"
#include "ui/win32/buttons.h"
#include "ui/win32/label.h"
#include "ui/win32/listview.h"
#include "ui/win32/window.h"

class CompanyList;
class RunHost;

// Shows the dialog over `owner` (disabled meanwhile) with `ownerCaption` as
// its caption and returns once it closes: true when "Tamam" confirmed a
// selection, false for "Vazgeç", Esc and the close box. The selection is
// the companies' DEVIR as the user left it.
bool ShowCompanySelection(HWND owner, CompanyList& companies, RunHost& host,
                          const std::string& ownerCaption);

class TK_SirketSec : public win32ui::WindowEvents {
 public:
  // Control ids, for the tests that drive the dialog. The grid's first
  // column is the row indicator; column c of the selection is column c + 1.
  enum Id { kLabel1 = 101, kGrid, kLabel2, kLabel3, kButton2, kButton1 };
  static constexpr int kIndicatorColumn = 0;

  // `host` shows the refusal of an empty selection; both outlive the dialog.
  TK_SirketSec(CompanyList& companies, RunHost& host);

  // Creates the dialog and runs it modally; true when confirmed.
  bool ShowModal(HWND owner, const std::string& ownerCaption);

 private:
  bool create(HWND owner);
  void FormShow(const std::string& ownerCaption);
  void DBGrid1CellClick(win32ui::ListCell cell);
  void Button1Click();
  void Button2Click();
  void drawCell(win32ui::ListCellDraw& draw) const;
  void refreshRow(int row);

  void onCommand(int id, int code) override;
  bool onChar(char32_t character) override;
  bool onClose() override;

  CompanySelection m_selection;
  win32ui::Window m_window;
  win32ui::Label Label1;
  win32ui::ListView DBGrid1;
  win32ui::Label Label2;
  win32ui::Label Label3;        // why rows start unselected; hidden without notes
  win32ui::PushButton Button2;  // "Vazgeç"
  win32ui::PushButton Button1;  // "Tamam"
};
