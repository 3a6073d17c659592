// TForm1: the main window, the Qt view of form1::Model. It builds its
// controls from the model's layout table (form1_layout.cpp), renders the
// model's state and passes every click, key and text change to the model;
// the options, rules and texts are the model's.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QStatusBar>
#include <QWidget>
#include <map>
#include <string>

#include "main/form/form1model.h"
#include "main/form/form1view.h"
#include "main/window/widgets.h"
#include "ui/imagelist.h"
#include "ui/zfwinbutton.h"

class TForm1 : public QWidget, public form1::View {
 public:
  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

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

  form1::Model& model() { return m_model; }
  Workspace& workspace() { return m_model.workspace(); }
  bool running() const { return m_model.state().running; }

  // The help window that Button3Click shows modally (owned by the caller).
  void setHelpWindow(QDialog* help) { m_help = help; }
  // Tests replace the product check and the jobs.
  void setProductCheck(ProductCheck check) { m_model.setProductCheck(std::move(check)); }
  void setRunJobs(RunJobs jobs) { m_model.setRunJobs(std::move(jobs)); }
  // A run, as a click on Button1 starts it.
  void Button1Click() { m_model.Button1Click(); }

  // form1::View. The modal boxes are virtual for tests to answer them.
  void renderState(const form1::State& state, unsigned parts) override;
  void paintNow(form1::PaintNow what) override;
  void keepAnswering() override;
  void setInputDropped(bool dropped) override;
  void setBusyCursor(bool busy) override;
  void showMessage(const form1::Message& message) override;
  form1::Answer ask(const form1::Question& question) override;
  bool showSelection(CompanyList& companies) override;
  void showReport(const report::RunReport& report, const std::string& savedFile) override;
  void showAfterCarryHome(form1::AfterCarryHome& home) override;
  void showHelp() override;
  std::optional<std::string> pickFolder(form1::Directory edit, const std::string& prompt,
                                        const std::string& start) override;
  std::string rootDirectory() const override;
  void closeWindow() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // form1_layout.cpp
  void buildControls();
  QWidget* buildControl(const form1::Control& control, QWidget* parent);
  template <typename W>
  void bind(W*& member, const char* name) const;

  void connectHandlers();
  void renderOptions(const form1::State& state);

  form1::Model m_model{*this};
  std::map<std::string, QWidget*> m_controls;  // by name, as built
  QPointer<QDialog> m_help;
  bool m_rendering = false;  // changes the window makes itself are not the user's
  bool m_dropInput = false;
  QElapsedTimer m_sinceAnswered;  // during a run: since events were last let through
  bool m_centred = false;
};
