// TForm1: the main window. It holds the job options, shows the progress of a
// run and hands the run button to the run driver; the jobs reach it only
// through RunHost.
#pragma once

#include <QAbstractButton>
#include <QCheckBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QStatusBar>
#include <QWidget>

#include "jobs/runhost.h"
#include "jobs/workspace.h"
#include "main/driver/rundriver.h"
#include "main/window/widgets.h"
#include "ui/imagelist.h"
#include "ui/zfwinbutton.h"

class TForm1 : public QWidget, public RunHost, public ErrorReport {
 public:
  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

  // The caption FormShow sets: maker, title and version.
  static QString formCaption();

  // Controls, named as the window knows them.
  QLabel* Image1;
  TLabel3D* Label3D1;
  QLabel* Label3;
  QLabel* Label5;
  QCheckBox* CheckBoxUpgrade;
  QFrame* PanelUpgrade;
  QLabel* Label2;
  TDirectoryEdit* DirectoryEditOrLumex;
  QCheckBox* CheckBoxDevir;
  QFrame* Panel2;
  QLineEdit* Edit1;
  QLabel* Label8;
  QLineEdit* Edit2;
  QLabel* Label9;
  QLabel* Label1;
  TDirectoryEdit* DirectoryEditPravex;
  QCheckBox* CheckBoxYTL;
  QFrame* PanelYTL;
  QLineEdit* EditPRBR;
  QLineEdit* EditPRSM;
  QLineEdit* EditKC_BR;
  QLineEdit* EditKC_SMG;
  QLabel* LabelSIMGE;
  QFrame* LineFraction;
  QLabel* LabelKC_SMG;
  TRadioGroup* RadioORAN;
  TRadioGroup* RadioHAS;
  TRadioGroup* RadioYUVARLA;
  QLabel* Label4;
  TGauge* Gauge1;
  QFrame* Panel1;
  TZfWinButton* Button1;    // "Devir-Upgrade": the run
  TZfWinButton* Button3;    // "Yardım": the help window
  TZfWinButton* Button2;    // "Kapat"
  ZfImageList* ImageList1;  // the 32 x 32 glyphs of the window's buttons
  QStatusBar* StatusBar1;

  Workspace& workspace() { return m_ws; }
  bool running() const { return m_running; }

  // The help window that Button3Click shows modally (owned by the caller).
  void setHelpWindow(QDialog* help) { m_help = help; }
  // Tests replace the product check and the jobs.
  void setProductCheck(ProductCheck check) { m_productCheck = std::move(check); }
  void setRunJobs(RunJobs jobs) { m_jobs = std::move(jobs); }

  // Handlers.
  void FormShow();
  void CheckBoxUpgradeClick();
  void CheckBoxYTLClick();
  void CheckBoxDevirClick();
  // True when the typed character passes into a year edit.
  static bool Edit1KeyPress(QKeyEvent* key);
  void Button1Click();
  void Button2Click();
  void Button3Click();

  // RunHost: the options as the controls hold them right now.
  bool upgradeTicked() const override { return CheckBoxUpgrade->isChecked(); }
  bool devirTicked() const override { return CheckBoxDevir->isChecked(); }
  bool ytlTicked() const override { return CheckBoxYTL->isChecked(); }
  std::string oldDataDirectory() const override;
  std::string newDataDirectory() const override;
  std::string sourceYear() const override { return Edit1->text().toStdString(); }
  std::string targetYear() const override { return Edit2->text().toStdString(); }
  int roundingMode() const override { return RadioYUVARLA->itemIndex(); }
  int precisionDigits() const override { return RadioHAS->itemIndex(); }
  std::string currencyName() const override { return EditPRBR->text().toStdString(); }
  std::string currencySymbol() const override { return EditPRSM->text().toStdString(); }
  std::string subUnitName() const override { return EditKC_BR->text().toStdString(); }
  std::string subUnitSymbol() const override { return EditKC_SMG->text().toStdString(); }
  void setStatusText(const std::string& text) override;
  void setStatusVisible(bool visible) override;
  void setGaugeVisible(bool visible) override;
  void setGaugeMax(int maximum) override;
  void setGaugePosition(int position) override;
  void advanceGauge() override;
  void repaint() override;
  void infoBox(const std::string& text) override;
  bool selectCompanies(CompanyList& companies) override;
  // ErrorReport: the default error report.
  void errorBox(const std::string& text) override;

 protected:
  // The modal boxes; tests override them to answer without a user.
  virtual void showInformation(const QString& text);
  virtual void showError(const QString& text);
  virtual bool showSelection(CompanyList& companies);
  // After a carry-forward that ended normally: the reconciliation report,
  // saved and offered with a question (reportwindow.h).
  virtual void offerCarryReport();

  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildControls();
  void buildYtlPanel();
  void buildButtonRow();
  void connectHandlers();
  void keepAnswering();

  Workspace m_ws;
  ProductCheck m_productCheck = CheckProduct;
  RunJobs m_jobs = RunJobs::real();
  QPointer<QDialog> m_help;
  bool m_running = false;
  QElapsedTimer m_sinceAnswered;  // during a run: since events were last let through
  bool m_centred = false;
};
