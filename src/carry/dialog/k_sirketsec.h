// TK_SirketSec: the modal dialog in which the user picks the companies to
// carry forward, over the company list RxSirket.
#pragma once

#include <QAbstractTableModel>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

class CompanyList;
class RunHost;

// The grid's view of the company list: five read-only columns. DEVIR shows
// "X" or a blank and changes only through toggleSelected.
class CompanyListModel : public QAbstractTableModel {
 public:
  enum Column { kDevir, kSirketKod, kKisaAd, kNumber1, kYeniSirketKod, kColumnCount };

  explicit CompanyListModel(CompanyList& companies, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // How many characters a column's field shows by default, as a data grid
  // sizes a column without a width of its own: a text field its size, a
  // number 10.
  int displayWidth(int column) const;

  // Makes `row` the list's current row and negates its DEVIR.
  void toggleSelected(int row);
  // The working year as the grid shows it: up to 15 significant digits.
  static QString numberText(double value);

 private:
  QString textAt(int row, int field) const;

  CompanyList& m_companies;
  int m_fields[kColumnCount];
};

class TK_SirketSec : public QDialog {
 public:
  // `host` shows the refusal of an empty selection; the caption is taken
  // from the parent's window when the dialog is shown.
  TK_SirketSec(CompanyList& companies, RunHost& host, QWidget* parent = nullptr);

  // True once "Tamam" accepted a selection.
  bool confirmed() const { return m_confirmed; }
  CompanyListModel* model() const { return m_model; }

  QLabel* Label1;
  QTableView* DBGrid1;
  QLabel* Label2;
  // Why rows start unselected (companies already carried); empty otherwise.
  QLabel* Label3;
  QPushButton* Button2;  // "Vazgeç"
  QPushButton* Button1;  // "Tamam"

  // Width of a column without a width of its own: its field's display width
  // in digits of the grid's font, at least the width of its title.
  int defaultColumnWidth(int column) const;

  void FormShow();
  void DBGrid1CellClick(const QModelIndex& index);
  void Button1Click();
  void Button2Click();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  CompanyList& m_companies;
  RunHost& m_host;
  CompanyListModel* m_model;
  bool m_confirmed = false;
  bool m_centred = false;
};
