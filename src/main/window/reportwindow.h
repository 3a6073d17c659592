// TReportWindow: the reconciliation report of a carry-forward, one table per
// company, the lines that differ first and highlighted, with a button that
// opens the saved HTML file. It renders report::ReportPresentation
// (report/presentation.h), which holds its texts, rows and size.
#pragma once

#include <QDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>

#include "report/presentation.h"
#include "report/reconciliation.h"

class TReportWindow : public QDialog {
 public:
  // `savedFile`: the path text of the saved HTML report; empty when it could
  // not be saved (the open button is then disabled).
  TReportWindow(const report::RunReport& report, const QString& savedFile,
                QWidget* parent = nullptr);

  QTabWidget* Companies;     // one tab per company
  QPushButton* ButtonOpen;   // "Kaydedilen raporu aç"
  QPushButton* ButtonClose;  // "Kapat"

  // The table of the company in tab `index`.
  QTableWidget* table(int index) const;

 private:
  QWidget* companyPage(const report::CompanyPage& page);
  QString m_savedFile;
};
