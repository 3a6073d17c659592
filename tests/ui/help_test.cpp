// The help window on Qt: its parts, the text fitting the memo, Esc seen
// before the focused control, its caption and the about box it opens. The
// text's structure and the rules are tested in tests/ui/model/help_test.cpp.
#include "ui/help.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTimer>
#include <QtTest>

#include "ui/aboutservices.h"
#include "ui/aboutu.h"
#include "ui/modeltypes.h"
#include "ui/pictures.h"
#include "ui/zfabout.h"
#include "ui/zfwinbutton.h"

namespace {

class QuietServices : public AboutServices {
 public:
  Memory memoryStatus() override { return {1 << 30, 50}; }
  bool openInShell(const std::string&) override { return true; }
};

// A main window with its image list, about component and title image.
struct Fixture {
  QWidget main;
  ZfImageList* images = pictures::makeMainImageList(&main);
  TZfAbout* about = new TZfAbout(&main);
  QuietServices services;
  QPixmap title = pictures::title();
  TForm2* help;
  Fixture() {
    main.setWindowTitle(QStringLiteral("ZEFIRTAK KMX Devir-Upgrade s2.04.02"));
    about->setServices(&services);
    help = new TForm2(&main, images, about, title);
  }
};

}  // namespace

class HelpTest : public QObject {
  Q_OBJECT

 private slots:
  void windowParts() {
    Fixture f;
    QVERIFY(f.help->Memo1->isReadOnly());
    QCOMPARE(f.help->Memo1->toPlainText(), toQStringList(uimodel::HelpLines()).join('\n'));
    // The buttons take their glyphs from the main window's image list.
    QCOMPARE(f.help->ButtonIrtibat->imageIndex(), 8);
    QCOMPARE(f.help->ButtonKapat->imageIndex(), 5);
    QCOMPARE(f.images->count(), int(pictures::kGlyphCount));
    for (TZfWinButton* b : {f.help->ButtonIrtibat, f.help->ButtonKapat}) {
      QCOMPARE(b->toolTip(), QStringLiteral("Kapat "));
      QCOMPARE(b->images(), f.images);
    }
  }

  void linesFitTheMemo() {
    // Nothing is cut off at the right: the memo does not wrap.
    TForm2 help(nullptr, nullptr, nullptr, QPixmap());
    help.show();  // lays out the memo's viewport beside its scroll bar
    const QFontMetrics fm(help.Memo1->font());
    const int room = help.Memo1->viewport()->width();
    for (const QString& line : help.Memo1->toPlainText().split('\n'))
      QVERIFY2(fm.horizontalAdvance(line) < room, qPrintable(line));
  }

  void captionComesFromTheMainWindowAtEachShowing() {
    Fixture f;
    f.help->show();
    QCOMPARE(f.help->windowTitle(), f.main.windowTitle());
    f.help->close();
    f.main.setWindowTitle(QStringLiteral("başka"));
    f.help->show();
    QCOMPARE(f.help->windowTitle(), QStringLiteral("başka"));
  }

  void escapeAndKapatClose_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Esc in the memo") << "esc-memo";
    QTest::newRow("Esc on a button") << "esc-button";
    QTest::newRow("Kapat") << "kapat";
  }
  void escapeAndKapatClose() {
    QFETCH(QString, how);
    Fixture f;
    f.help->show();
    if (how == "esc-memo")
      QTest::keyClick(f.help->Memo1, Qt::Key_Escape);
    else if (how == "esc-button")
      QTest::keyClick(f.help->ButtonIrtibat, Qt::Key_Escape);
    else
      f.help->ButtonKapat->click();
    QVERIFY(!f.help->isVisible());
  }

  void irtibatOpensTheAboutBoxWithThreeProperties() {
    Fixture f;
    f.help->show();
    QString caption, title;
    QSize topPicture;
    bool modal = false;
    QTimer::singleShot(0, [&] {
      auto* about = qobject_cast<TAboutF*>(QApplication::activeModalWidget());
      if (!about) return;
      modal = about->isModal();
      caption = about->windowTitle();
      title = about->RxLabel4->text();
      topPicture = about->Image3->pixmap().size();
      about->close();
    });
    f.help->ButtonIrtibat->click();
    QVERIFY(modal);
    QCOMPARE(caption, f.main.windowTitle());
    QCOMPARE(title, QStringLiteral("KMX Devir-Upgrade s2.04.02"));
    QCOMPARE(topPicture, QSize(109, 27));
    QCOMPARE(f.about->caption(), f.main.windowTitle());
    QCOMPARE(f.about->programName(), QStringLiteral("KMX Devir-Upgrade s2.04.02"));
    QVERIFY(f.help->isVisible());  // the help window stays open beneath
  }
};

QTEST_MAIN(HelpTest)
#include "help_test.moc"
