// TReportWindow: the reconciliation report of a carry-forward, one table per
// company, the lines that differ first and highlighted, with a button that
// opens the saved HTML file. It renders report::ReportPresentation
// (report/presentation.h), which holds its texts, rows and size. The same
// window is the home of the actions after a carry (main/form/aftercarry.h).
#pragma once

#include <QDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <vector>

#include "main/form/aftercarry.h"
#include "report/presentation.h"
#include "report/reconciliation.h"

class TReportWindow : public QDialog {
 public:
  // `savedFile`: the path text of the saved HTML report; empty when it could
  // not be saved (the open button is then disabled).
  TReportWindow(const report::RunReport& report, const QString& savedFile,
                QWidget* parent = nullptr);
  // The after-carry actions' home: its presentation and a button per
  // action, before the open button. A pressed action that ran closes the
  // window (the model shows it again on the new presentation).
  TReportWindow(form1::AfterCarryHome& home, QWidget* parent = nullptr);

  std::vector<QPushButton*> Actions;  // one per action of the home, in order

  QTabWidget* Companies;     // one tab per company
  QPushButton* ButtonOpen;   // "Kaydedilen raporu aç"
  QPushButton* ButtonClose;  // "Kapat"

  // The table of the company in tab `index`.
  QTableWidget* table(int index) const;

 private:
  void build(const report::ReportPresentation& p);
  QWidget* companyPage(const report::CompanyPage& page);
  QString m_savedFile;
  form1::AfterCarryHome* m_home = nullptr;
};
