// The window fade: alpha sequences on a scripted clock, the time limit, and
// windows on a platform without opacity.
#include "ui/zfanimate.h"

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QtTest>

namespace {

// A clock whose timer ticks once each time events are processed, and whose
// time moves on by the interval (or by `stallMs` when stalled: the ticks
// then stop coming).
class ScriptedClock : public FadeClock {
 public:
  explicit ScriptedClock(qint64 stallMs = 0) : m_stallMs(stallMs) {}
  void start(int intervalMs, std::function<void()> tick) override {
    m_interval = intervalMs;
    m_tick = std::move(tick);
    m_active = true;
    intervals.append(intervalMs);
  }
  void stop() override { m_active = false; }
  bool isActive() const override { return m_active; }
  void processPendingEvents() override {
    if (m_stallMs > 0) {
      m_now += m_stallMs;
      return;
    }
    m_now += m_interval;
    if (m_active) m_tick();
  }
  qint64 elapsedMs() const override { return m_now; }
  QList<int> intervals;

 private:
  qint64 m_stallMs;
  qint64 m_now = 0;
  int m_interval = 0;
  bool m_active = false;
  std::function<void()> m_tick;
};

class RefusingWindow : public QWidget {
 protected:
  void closeEvent(QCloseEvent* e) override { e->ignore(); }
};

struct Faded {
  QWidget* window;
  ScriptedClock* clock;
  TZfAnimate* fade;
  QList<int> alphas;
  int started = 0, ended = 0;

  explicit Faded(QWidget* w, bool opacity = true, qint64 stallMs = 0) : window(w) {
    auto c = std::make_unique<ScriptedClock>(stallMs);
    clock = c.get();
    fade = new TZfAnimate(w, std::move(c));
    fade->setActive(true);
    fade->setOpacityProbe([opacity] { return opacity; });
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
  void fadesInOnFirstActivationOnly() {
    QWidget w;
    Faded f(&w);
    f.fade->setStartStep(4);
    f.fade->setStartInt(7);
    w.show();
    QCOMPARE(f.alphas, QList<int>{0});  // transparent before it is first seen
    f.activate();
    // 255*n/4 for n = 1..4, then the end state.
    QCOMPARE(f.alphas, (QList<int>{0, 63, 127, 191, 255, 255}));
    QCOMPARE(f.clock->intervals, QList<int>{7});
    QCOMPARE(f.started, 1);
    QVERIFY(!f.clock->isActive());
    f.activate();
    QCOMPARE(f.started, 1);
    QCOMPARE(f.alphas.size(), 6);
  }

  void windowNeverMadeActiveFadesInAllTheSame() {
    QWidget w;
    Faded f(&w);
    f.fade->setStartStep(2);
    w.show();
    QCOMPARE(f.fade->alpha(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(f.started, 1, 5 * TZfAnimate::kActivationWaitMs);
    QCOMPARE(f.alphas, (QList<int>{0, 127, 255, 255}));
    f.activate();  // a late activation does not fade in again
    QCOMPARE(f.started, 1);
  }

  void fadesOutOnCloseThenHides() {
    QWidget w;
    Faded f(&w);
    f.fade->setStartStep(0);
    f.fade->setStopStep(3);
    f.fade->setStopInt(9);
    f.fade->setMaxValue(200);
    w.show();
    f.activate();
    QCOMPARE(f.alphas, (QList<int>{0, 200}));  // no steps: shown at once
    f.alphas.clear();
    QVERIFY(w.close());
    // 200 - 200*n/3 for n = 1..3, then the end state.
    QCOMPARE(f.alphas, (QList<int>{134, 67, 0, 0}));
    QCOMPARE(f.clock->intervals, QList<int>{9});
    QCOMPARE(f.ended, 1);
    QVERIFY(!w.isVisible());
  }

  void refusedCloseDoesNotFade() {
    RefusingWindow w;
    Faded f(&w);
    f.fade->setStartStep(2);
    w.show();
    f.activate();
    f.alphas.clear();
    QVERIFY(!w.close());
    QVERIFY(f.alphas.isEmpty());
    QCOMPARE(f.ended, 0);
    QVERIFY(w.isVisible());
    QCOMPARE(f.fade->alpha(), 255);
  }

  void withoutOpacitySupportNothingFades_data() {
    QTest::addColumn<bool>("opacity");
    QTest::addColumn<bool>("active");
    QTest::newRow("platform without opacity") << false << true;
    QTest::newRow("component not active") << true << false;
  }
  void withoutOpacitySupportNothingFades() {
    QFETCH(bool, opacity);
    QFETCH(bool, active);
    QWidget w;
    Faded f(&w, opacity);
    f.fade->setActive(active);
    w.show();
    f.activate();
    QVERIFY(w.close());
    QVERIFY(f.alphas.isEmpty());
    QCOMPARE(f.started + f.ended, 0);
    QVERIFY(f.clock->intervals.isEmpty());
    QCOMPARE(w.windowOpacity(), 1.0);
    QVERIFY(!w.isVisible());
  }

  void eventLoopClockDrivesAFade() {
    QWidget w;
    TZfAnimate fade(&w);  // the real timer and event loop
    fade.setActive(true);
    fade.setOpacityProbe([] { return true; });
    fade.setStartStep(3);
    fade.setStartInt(10);
    QList<int> alphas;
    connect(&fade, &TZfAnimate::alphaChanged, [&](int a) { alphas.append(a); });
    QElapsedTimer clock;
    clock.start();
    w.show();
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&w, &activate);
    QCOMPARE(alphas, (QList<int>{0, 85, 170, 255, 255}));
    QVERIFY(clock.elapsed() >= 25);  // three ticks of 10 ms, within the timer's slack
  }

  void offscreenPlatformHasNoOpacity() {
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("offscreen"));
    QVERIFY(!platformSupportsWindowOpacity());
  }

  void fadeInRunningOutOfTimeEndsFullyShown() {
    QWidget w;
    Faded f(&w, true, 1500);
    w.show();
    f.activate();
    QCOMPARE(f.alphas, (QList<int>{0, 255}));
    QCOMPARE(f.started, 1);
    QVERIFY(!f.clock->isActive());
    QCOMPARE(f.clock->elapsedMs(), 10500);  // seven stalls: the first past 10,000 ms
  }

  void fadeOutRunningOutOfTimeEndsTransparent() {
    QWidget w;
    Faded f(&w, true, 4000);
    f.fade->setStartStep(0);
    w.show();
    f.activate();
    f.alphas.clear();
    QVERIFY(w.close());
    QCOMPARE(f.alphas, QList<int>{0});
    QCOMPARE(f.ended, 1);
    QVERIFY(!f.clock->isActive());
    QVERIFY(!w.isVisible());
  }

  void showingAgainFadesInAgain() {
    QWidget w;
    Faded f(&w);
    f.fade->setStartStep(1);
    f.fade->setStopStep(1);
    w.show();
    f.activate();
    w.close();
    f.alphas.clear();
    w.show();
    f.activate();
    QCOMPARE(f.alphas, (QList<int>{0, 255, 255}));
    QCOMPARE(f.started, 2);
  }
};

QTEST_MAIN(ZfAnimateTest)
#include "zfanimate_test.moc"
