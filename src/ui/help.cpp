#include "ui/help.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStatusBar>

#include "ui/modeltypes.h"
#include "ui/pictures.h"
#include "ui/windowbutton.h"
#include "ui/zfabout.h"
#include "ui/zfwinbutton.h"

namespace {
const uimodel::HelpLayout& L = uimodel::kHelpLayout;
}  // namespace

TForm2::TForm2(QWidget* mainWindow, ZfImageList* images, TZfAbout* about, const QPixmap& titleImage)
    : QDialog(mainWindow, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowSystemMenuHint |
                              Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      m_mainWindow(mainWindow),
      m_about(about),
      m_titleImage(titleImage) {
  setFixedSize(toQSize(L.window));

  Memo1 = new QPlainTextEdit(this);
  Memo1->setGeometry(toQRect(L.memo));
  Memo1->setReadOnly(true);
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QFont bold = Memo1->font();
  bold.setBold(true);
  Memo1->setFont(bold);
  Memo1->setPlainText(toQStringList(uimodel::HelpLines()).join(QLatin1Char('\n')));

  ButtonIrtibat = makeWindowButton(this, QString::fromUtf8(uimodel::kContactCaption), images,
                                   pictures::kGlyphContact);
  ButtonIrtibat->setGeometry(toQRect(L.contactButton));
  ButtonKapat = makeWindowButton(this, QString::fromUtf8(uimodel::kCloseCaption), images,
                                 pictures::kGlyphClose);
  ButtonKapat->setGeometry(toQRect(L.closeButton));
  for (TZfWinButton* b : {ButtonIrtibat, ButtonKapat})
    b->setToolTip(QString::fromUtf8(uimodel::kHelpButtonHint));
  connect(ButtonIrtibat, &QAbstractButton::clicked, this, &TForm2::openAbout);
  connect(ButtonKapat, &QAbstractButton::clicked, this, &QWidget::close);

  StatusBar1 = new QStatusBar(this);
  StatusBar1->setSizeGripEnabled(false);
  StatusBar1->setGeometry(toQRect(L.statusBar));

  // The window sees every key before the control that has the focus.
  for (QWidget* child : {static_cast<QWidget*>(Memo1), Memo1->viewport(),
                         static_cast<QWidget*>(ButtonIrtibat), static_cast<QWidget*>(ButtonKapat)})
    child->installEventFilter(this);
}

void TForm2::openAbout() {
  TZfAbout* about = m_about.data();
  if (about == nullptr) return;
  const uimodel::AboutRequest request = m_model.aboutRequest();
  about->setCaption(toQString(request.caption));
  about->setTopPicture(m_titleImage);
  about->setProgramName(toQString(request.programName));
  about->execute(this);
}

void TForm2::showEvent(QShowEvent* e) {
  m_model.shown((m_mainWindow ? m_mainWindow->windowTitle() : windowTitle()).toStdString());
  setWindowTitle(toQString(m_model.caption()));
  if (!e->spontaneous()) {
    if (QScreen* screen = QGuiApplication::primaryScreen())
      move(screen->availableGeometry().center() - rect().center());
  }
  QDialog::showEvent(e);
}

bool TForm2::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::KeyPress &&
      uimodel::HelpWindow::ClosesOn(toModelKey(static_cast<QKeyEvent*>(e)->key()))) {
    close();
    return true;
  }
  return QDialog::eventFilter(watched, e);
}

void TForm2::keyPressEvent(QKeyEvent* e) {
  if (uimodel::HelpWindow::ClosesOn(toModelKey(e->key()))) {
    close();
    return;
  }
  QDialog::keyPressEvent(e);
}
