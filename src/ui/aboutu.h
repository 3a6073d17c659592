// TAboutF: the about window. Built for one showing by TZfAbout.
//
// Left: the tall picture (a click shows or hides the team panel over its
// lower part; so does Ctrl+Alt+T). Right: the title strip, the logo, the
// scrolling credits, the contact lines with the web and e-mail links, the
// memory figures and "Tamam". A fade component fades the window in and out.
// Its texts, rules and layout are the model's (ui/model/about.h).
#pragma once

#include <QDialog>
#include <QLabel>

#include "ui/model/about.h"

class AboutServices;
class QStatusBar;
class TSecretPanel;
class TZfAnimate;
class TZfWinButton;

// A label that reports a left click.
class ClickLabel : public QLabel {
  Q_OBJECT
 public:
  using QLabel::QLabel;
 signals:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* e) override;
};

class TAboutF : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutF(AboutServices& services, QWidget* parent = nullptr);

  void setLeftPicture(const QPixmap& picture);
  void setTopPicture(const QPixmap& picture);
  // Shown as the title and as the first line of the credits.
  void setProgramName(const QString& name);
  void setStatusText(const QString& text);
  void setTeam(const QStringList& team);

  // Shows the team panel and starts it when hidden; hides and stops it
  // otherwise.
  void toggleTeam();

  // The parts, by their names.
  ClickLabel* Image1 = nullptr;          // left picture
  TSecretPanel* SecretPanel2 = nullptr;  // team
  QLabel* Image3 = nullptr;              // title image
  QLabel* RxLabel4 = nullptr;            // title text
  TSecretPanel* SecretPanel1 = nullptr;  // credits
  ClickLabel* RxLabel1 = nullptr;        // web
  ClickLabel* RxLabel3 = nullptr;        // e-mail
  QLabel* Fizmem = nullptr;
  QLabel* kulmem = nullptr;
  TZfWinButton* ButtonTamam = nullptr;
  QLabel* StatusPanel = nullptr;
  TZfAnimate* ZfAnimate1 = nullptr;

 protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void buildRightSide();
  void readMemory();
  // Shows, hides, starts and stops the panels as the model's state says.
  void renderPanels();

  AboutServices& m_services;
  uimodel::AboutWindow m_state;
};
