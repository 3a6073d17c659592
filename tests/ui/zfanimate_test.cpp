// The window fade on Qt: the window's showing, activation and closing reach
// the model (whose step arithmetic and time limit are tested in
// tests/ui/model/fade_test.cpp), on the real timer and event loop.
#include "ui/zfanimate.h"

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QtTest>

namespace {

class RefusingWindow : public QWidget {
 protected:
  void closeEvent(QCloseEvent* e) override { e->ignore(); }
};

// A fade of `steps` ticks of 1 ms on the event loop's clock, on a window
// that can take an alpha (or not).
struct Faded {
  QWidget* window;
  TZfAnimate* fade;
  QList<int> alphas;
  int started = 0, ended = 0;

  explicit Faded(QWidget* w, bool opacity = true, int steps = 2) : window(w) {
    fade = new TZfAnimate(w);
    fade->setActive(true);
    fade->setOpacityProbe([opacity] { return opacity; });
    fade->setStartStep(steps);
    fade->setStopStep(steps);
    fade->setStartInt(1);
    fade->setStopInt(1);
    QObject::connect(fade, &TZfAnimate::alphaChanged, [this](int a) { alphas.append(a); });
    QObject::connect(fade, &TZfAnimate::afterStartAnim, [this] { ++started; });
    QObject::connect(fade, &TZfAnimate::afterEndAnim, [this] { ++ended; });
  }
  void activate() {
    QEvent e(QEvent::WindowActivate);
    QCoreApplication::sendEvent(window, &e);
  }
};

}  // namespace

class ZfAnimateTest : public QObject {
  Q_OBJECT

 private slots:
  void fadesInOnFirstActivationOnTheEventLoop() {
    QWidget w;
    Faded f(&w, true, 3);
    f.fade->setStartInt(10);
    QElapsedTimer clock;
    clock.start();
    w.show();
    QCOMPARE(f.alphas, QList<int>{0});  // transparent before it is first seen
    f.activate();
    QCOMPARE(f.alphas, (QList<int>{0, 85, 170, 255, 255}));
    QVERIFY(clock.elapsed() >= 25);  // three ticks of 10 ms, within the timer's slack
    QCOMPARE(f.started, 1);
    f.activate();
    QCOMPARE(f.started, 1);
  }

  void windowNeverMadeActiveFadesInAllTheSame() {
    QWidget w;
    Faded f(&w);
    w.show();
    QCOMPARE(f.fade->alpha(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(f.started, 1, 5 * TZfAnimate::kActivationWaitMs);
    QCOMPARE(f.fade->alpha(), 255);
  }

  void fadesOutOnCloseThenHides() {
    QWidget w;
    Faded f(&w);
    w.show();
    f.activate();
    QVERIFY(w.close());
    QCOMPARE(f.ended, 1);
    QCOMPARE(f.fade->alpha(), 0);
    QVERIFY(!w.isVisible());
  }

  void refusedCloseDoesNotFade() {
    RefusingWindow w;
    Faded f(&w);
    w.show();
    f.activate();
    f.alphas.clear();
    QVERIFY(!w.close());
    QVERIFY(f.alphas.isEmpty());
    QCOMPARE(f.ended, 0);
    QVERIFY(w.isVisible());
  }

  void withoutOpacitySupportNothingFades() {
    QWidget w;
    Faded f(&w, false);
    w.show();
    f.activate();
    QVERIFY(w.close());
    QVERIFY(f.alphas.isEmpty());
    QCOMPARE(f.started + f.ended, 0);
    QCOMPARE(w.windowOpacity(), 1.0);
    QVERIFY(!w.isVisible());
  }

  void offscreenPlatformHasNoOpacity() {
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("offscreen"));
    QVERIFY(!platformSupportsWindowOpacity());
  }
};

QTEST_MAIN(ZfAnimateTest)
#include "zfanimate_test.moc"
