// TForm2: the help window. Created once with the main window and shown
// modally by its help button; its "İrtibat" button opens the about box.
// Its text, captions, rules and layout are the model's (ui/model/help.h).
#pragma once

#include <QDialog>
#include <QPixmap>
#include <QPointer>

#include "ui/model/help.h"

class QPlainTextEdit;
class QStatusBar;
class TZfAbout;
class TZfWinButton;
class ZfImageList;

class TForm2 : public QDialog {
  Q_OBJECT

 public:
  // mainWindow gives the caption at each showing; images is the main
  // window's 32 x 32 image list; about is the main window's about component,
  // and titleImage its hidden title image. None is owned.
  TForm2(QWidget* mainWindow, ZfImageList* images, TZfAbout* about, const QPixmap& titleImage);

  QPlainTextEdit* Memo1 = nullptr;
  TZfWinButton* ButtonIrtibat = nullptr;
  TZfWinButton* ButtonKapat = nullptr;
  QStatusBar* StatusBar1 = nullptr;

  // "İrtibat": sets the about component's caption, title image and program
  // name, then shows the about box modally.
  void openAbout();

 protected:
  void showEvent(QShowEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  uimodel::HelpWindow m_model;
  QPointer<QWidget> m_mainWindow;
  QPointer<TZfAbout> m_about;
  QPixmap m_titleImage;
};
