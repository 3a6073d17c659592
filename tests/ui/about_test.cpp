// The about component and window on Qt: the run operation, the memory
// figures from the services in the locale's writing, the links, the team
// panel's toggle reaching the window, closing and the panels' timer. The
// texts and rules themselves are tested in tests/ui/model/about_test.cpp.
#include <QApplication>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTimer>
#include <QtTest>

#include "ui/aboutservices.h"
#include "ui/aboutu.h"
#include "ui/secretpanel.h"
#include "ui/zfabout.h"
#include "ui/zfanimate.h"
#include "ui/zfwinbutton.h"

namespace {

class RecordingServices : public AboutServices {
 public:
  Memory memory{8ull * 1024 * 1024 * 1024, 37};
  QStringList opened;
  Memory memoryStatus() override { return memory; }
  bool openInShell(const std::string& target) override {
    opened.append(QString::fromStdString(target));
    return true;
  }
};

QPixmap filled(QSize size, const QColor& c) {
  QPixmap p(size);
  p.fill(c);
  return p;
}

// An about component with every property set, on recording services.
struct Fixture {
  RecordingServices services;
  TZfAbout about;
  Fixture() {
    about.setServices(&services);
    about.setCaption(QStringLiteral("ZEFIRTAK KMX Devir-Upgrade s2.04.02"));
    about.setProgramName(QStringLiteral("KMX Devir-Upgrade s2.04.02"));
    about.setTopPicture(filled({109, 27}, Qt::blue));
    about.setPicture(filled({130, 460}, Qt::red));
    about.setTeam({QStringLiteral("Proje"), QStringLiteral("Ayşe"), QString(),
                   QStringLiteral("Test"), QStringLiteral("Mert")});
  }
};

}  // namespace

class AboutTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey)); }

  void windowShowsTheProperties() {
    Fixture f;
    std::unique_ptr<TAboutF> w(f.about.createWindow());
    QCOMPARE(w->windowTitle(), f.about.caption());
    QCOMPARE(w->RxLabel4->text(), QStringLiteral("KMX Devir-Upgrade s2.04.02"));
    const QStringList credits = w->SecretPanel1->lines();
    QCOMPARE(credits.value(0), QStringLiteral("KMX Devir-Upgrade s2.04.02"));
    QVERIFY(credits.size() > 5);
    QVERIFY(credits.join('\n').contains(QStringLiteral("ZEFIRTAK")));
    QCOMPARE(w->StatusPanel->text(), QStringLiteral("ZEFIRTAK KMX Devir-Upgrade s2.04.02"));
    QCOMPARE(w->SecretPanel2->lines(), f.about.team());
    QCOMPARE(w->Image1->pixmap().size(), QSize(130, 460));
    QCOMPARE(w->Image3->pixmap().size(), QSize(109, 27));
    QVERIFY(w->ZfAnimate1->active());
  }

  void memoryFiguresComeFromTheServices() {
    Fixture f;
    f.services.memory = {3ull * 1024 * 1024 * 1024 + 512 * 1024, 64};
    std::unique_ptr<TAboutF> w(f.about.createWindow());
    QCOMPARE(w->Fizmem->text(), QStringLiteral("3.146.240 KB"));
    QCOMPARE(w->kulmem->text(), QStringLiteral("64 %"));
  }

  void thisMachinesMemoryIsShown() {
    TZfAbout about;  // the system's services
    std::unique_ptr<TAboutF> w(about.createWindow());
    const QString total = w->Fizmem->text();
    QVERIFY2(total.endsWith(QStringLiteral(" KB")), qPrintable(total));
    QString digits = total.chopped(3);
    digits.remove('.');
    QVERIFY2(digits.toULongLong() > 1024, qPrintable(total));  // more than a megabyte
    QVERIFY(w->kulmem->text().endsWith(QStringLiteral(" %")));
  }

  void linksGoThroughTheShell() {
    Fixture f;
    std::unique_ptr<TAboutF> w(f.about.createWindow());
    w->show();
    QTest::mouseClick(w->RxLabel1, Qt::LeftButton);
    QTest::mouseClick(w->RxLabel3, Qt::LeftButton);
    QTest::mouseClick(w->RxLabel3, Qt::RightButton);
    QCOMPARE(f.services.opened, (QStringList{QStringLiteral("http://www.zefirtak.com.tr"),
                                             QStringLiteral("mailto:")}));
    QCOMPARE(w->RxLabel1->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(w->RxLabel3->cursor().shape(), Qt::PointingHandCursor);
  }

  void teamToggle_data() {
    QTest::addColumn<int>("mods");  // -1: a click on the left picture
    QTest::addColumn<bool>("toggles");
    QTest::newRow("left picture") << -1 << true;
    QTest::newRow("ctrl+alt") << int(Qt::ControlModifier | Qt::AltModifier) << true;
    QTest::newRow("ctrl+alt+shift")
        << int(Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier) << false;
  }
  void teamToggle() {
    QFETCH(int, mods);
    QFETCH(bool, toggles);
    Fixture f;
    std::unique_ptr<TAboutF> w(f.about.createWindow());
    w->toggleTeam();  // shown before the window is: showing hides it again
    w->show();
    QVERIFY(w->SecretPanel1->isActive());
    QVERIFY(w->SecretPanel2->isHidden());
    // Keys reach the window from the focused button.
    auto toggle = [&] {
      if (mods < 0)
        QTest::mouseClick(w->Image1, Qt::LeftButton, {}, QPoint(20, 20));
      else
        QTest::keyClick(w->ButtonTamam, Qt::Key_T, Qt::KeyboardModifiers(mods));
    };
    toggle();
    QCOMPARE(w->SecretPanel2->isVisible(), toggles);
    QCOMPARE(w->SecretPanel2->isActive(), toggles);
    toggle();
    QVERIFY(!w->SecretPanel2->isVisible());
    QVERIFY(!w->SecretPanel2->isActive());
  }

  void closingStopsBothPanels_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Tamam") << "tamam";
    QTest::newRow("Esc") << "esc";
  }
  void closingStopsBothPanels() {
    QFETCH(QString, how);
    Fixture f;
    std::unique_ptr<TAboutF> w(f.about.createWindow());
    w->show();
    w->toggleTeam();
    if (how == "esc")
      QTest::keyClick(w->ButtonTamam, Qt::Key_Escape);
    else
      w->ButtonTamam->click();
    QVERIFY(!w->isVisible());
    QVERIFY(!w->SecretPanel1->isActive());
    QVERIFY(!w->SecretPanel2->isActive());
  }

  void executeShowsModallyAndDestroys() {
    Fixture f;
    QPointer<TAboutF> seen;
    bool wasModal = false;
    QTimer::singleShot(0, [&] {
      TAboutF* shown = qobject_cast<TAboutF*>(QApplication::activeModalWidget());
      if (shown == nullptr) return;
      seen = shown;
      wasModal = shown->isModal() && shown->isVisible();
      shown->ButtonTamam->click();
    });
    f.about.execute();
    QVERIFY(wasModal);
    QTRY_VERIFY(seen.isNull());  // destroyed after it closed
  }

  void scrollingPanelStepsOnItsTimerWhileActive() {
    TSecretPanel panel;
    panel.resize(100, 40);
    panel.setLines({QStringLiteral("a"), QStringLiteral("b")});
    QVERIFY(!panel.isActive());
    panel.setActive(true);
    QTRY_VERIFY_WITH_TIMEOUT(panel.offset() >= 2, 2000);
    panel.setActive(false);
    const int stopped = panel.offset();
    QTest::qWait(3 * TSecretPanel::kStepMs);
    QCOMPARE(panel.offset(), stopped);
  }
};

QTEST_MAIN(AboutTest)
#include "about_test.moc"
