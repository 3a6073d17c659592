// TK_SirketSec: the modal dialog in which the user picks the companies to
// carry forward, over the company list RxSirket. It renders CompanySelection
// (carry/selection.h), which holds the dialog's texts, rules and layout.
#pragma once

#include <QAbstractTableModel>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

#include "carry/selection.h"

class CompanyList;
class RunHost;

// The grid's view of a selection: its columns, titles, cell texts and
// alignments, all read-only.
class CompanyListModel : public QAbstractTableModel {
 public:
  // `selection` outlives the model.
  explicit CompanyListModel(CompanySelection& selection, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // Passes a click on `index` to the selection and announces a changed
  // DEVIR cell.
  void cellClick(const QModelIndex& index);

 private:
  CompanySelection& m_selection;
};

class TK_SirketSec : public QDialog {
 public:
  // `host` shows the refusal of an empty selection; the caption is taken
  // from the parent's window when the dialog is shown.
  TK_SirketSec(CompanyList& companies, RunHost& host, QWidget* parent = nullptr);
  ~TK_SirketSec() override;

  // True once "Tamam" accepted a selection.
  bool confirmed() const { return m_selection.confirmed(); }
  CompanyListModel* model() const { return m_model; }

  QLabel* Label1;
  QTableView* DBGrid1;
  QLabel* Label2;
  // Why rows start unselected (companies already carried); empty otherwise.
  QLabel* Label3;
  QPushButton* Button2;  // "Vazgeç"
  QPushButton* Button1;  // "Tamam"

  // A column's width in pixels: its own, or else its field's display width
  // in digits of the grid's font, at least the width of its title.
  int defaultColumnWidth(int column) const;

  void FormShow();
  void DBGrid1CellClick(const QModelIndex& index);
  void Button1Click();
  void Button2Click();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  CompanySelection m_selection;
  CompanyListModel* m_model;
  bool m_centred = false;
};
