// TForm2: the help window. Created once with the main window and shown
// modally by its help button; its "İrtibat" button opens the about box.
#pragma once

#include <QDialog>
#include <QPixmap>
#include <QPointer>

class QPlainTextEdit;
class QStatusBar;
class TZfAbout;
class TZfWinButton;
class ZfImageList;

// The help text, one entry per line.
QString helpText();

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
  QPointer<QWidget> m_mainWindow;
  QPointer<TZfAbout> m_about;
  QPixmap m_titleImage;
};
