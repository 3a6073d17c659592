#include "ui/help.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStatusBar>

#include "ui/pictures.h"
#include "ui/windowbutton.h"
#include "ui/zfabout.h"
#include "ui/zfwinbutton.h"

namespace {
constexpr int kWidth = 624;
constexpr int kHeight = 458;
constexpr int kMemoHeight = 393;
const QString kHint = QStringLiteral("Kapat ");
const QString kProgramName = QStringLiteral("KMX Devir-Upgrade s2.04.02");
}  // namespace

TForm2::TForm2(QWidget* mainWindow, ZfImageList* images, TZfAbout* about, const QPixmap& titleImage)
    : QDialog(mainWindow, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowSystemMenuHint |
                              Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      m_mainWindow(mainWindow),
      m_about(about),
      m_titleImage(titleImage) {
  setFixedSize(kWidth, kHeight);

  Memo1 = new QPlainTextEdit(this);
  Memo1->setGeometry(0, 0, kWidth, kMemoHeight);
  Memo1->setReadOnly(true);
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QFont bold = Memo1->font();
  bold.setBold(true);
  Memo1->setFont(bold);
  Memo1->setPlainText(helpText());

  ButtonIrtibat =
      makeWindowButton(this, QStringLiteral("İrtibat"), images, pictures::kGlyphContact);
  ButtonIrtibat->setGeometry(8, kMemoHeight + 4, 130, 38);
  ButtonKapat = makeWindowButton(this, QStringLiteral("Kapat"), images, pictures::kGlyphClose);
  ButtonKapat->setGeometry((kWidth - 170) / 2, kMemoHeight + 4, 170, 38);
  for (TZfWinButton* b : {ButtonIrtibat, ButtonKapat}) b->setToolTip(kHint);
  connect(ButtonIrtibat, &QAbstractButton::clicked, this, &TForm2::openAbout);
  connect(ButtonKapat, &QAbstractButton::clicked, this, &QWidget::close);

  StatusBar1 = new QStatusBar(this);
  StatusBar1->setSizeGripEnabled(false);
  StatusBar1->setGeometry(0, kHeight - 19, kWidth, 19);

  // The window sees every key before the control that has the focus.
  for (QWidget* child : {static_cast<QWidget*>(Memo1), Memo1->viewport(),
                         static_cast<QWidget*>(ButtonIrtibat), static_cast<QWidget*>(ButtonKapat)})
    child->installEventFilter(this);
}

void TForm2::openAbout() {
  TZfAbout* about = m_about.data();
  if (about == nullptr) return;
  about->setCaption(windowTitle());
  about->setTopPicture(m_titleImage);
  about->setProgramName(kProgramName);
  about->execute(this);
}

void TForm2::showEvent(QShowEvent* e) {
  if (m_mainWindow) setWindowTitle(m_mainWindow->windowTitle());
  if (!e->spontaneous()) {
    if (QScreen* screen = QGuiApplication::primaryScreen())
      move(screen->availableGeometry().center() - rect().center());
  }
  QDialog::showEvent(e);
}

bool TForm2::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) {
    close();
    return true;
  }
  return QDialog::eventFilter(watched, e);
}

void TForm2::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    close();
    return;
  }
  QDialog::keyPressEvent(e);
}
