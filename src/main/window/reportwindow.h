// TReportWindow: the reconciliation report of a carry-forward, one table per
// company, the lines that differ first and highlighted, with a button that
// opens the saved HTML file.
#pragma once

#include <QDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <functional>

#include "report/reconciliation.h"

class RunHost;
struct Workspace;

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
  QWidget* companyPage(const report::CompanyReport& company);
  QString m_savedFile;
};

// After a carry-forward that ended with "İşlem tamamlandı": builds the
// report of the companies carried, saves it in the data directory's report
// folder and asks whether to show it; `ask` puts the question (true: show).
// A report that could not be saved is still offered, its failure named in
// the question. Nothing happens when no company was carried.
void OfferCarryReport(QWidget* parent, const RunHost& host, const Workspace& ws,
                      const std::function<bool(const QString&)>& ask);

// The question of OfferCarryReport as a modal box (caption "Bilgi") with the
// buttons "Raporu göster" and "Kapat"; true for the first.
bool AskShowReport(QWidget* parent, const QString& question);
