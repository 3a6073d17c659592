// TZfAnimate: fades the window it sits on in when the window is first made
// active and out when it closes, through the window's opacity.
//
// A window that is shown but not made active within kActivationWaitMs fades
// in then, so it never stays transparent.
//
// Fading happens only when Active is on, the platform can change a window's
// opacity, and the window has its native handle. Otherwise the window opens
// and closes at once, fully shown.
//
// Each fade runs a timer of StartInt (StopInt) ms for StartStep (StopStep)
// ticks; tick n sets the alpha to MaxValue*n/steps (fade-in) or
// MaxValue - MaxValue*n/steps (fade-out), whole-number division. The caller
// waits at most kWaitLimitMs for a fade, handling pending events meanwhile;
// a fade that runs out of time is brought to its end state at once (full
// alpha and afterStartAnim, or alpha 0 and afterEndAnim).
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class QWidget;

// The timer and the clock a fade runs on. The default runs a QTimer and the
// application's event loop; tests hand in a scripted one.
class FadeClock {
 public:
  virtual ~FadeClock() = default;
  virtual void start(int intervalMs, std::function<void()> tick) = 0;
  virtual void stop() = 0;
  virtual bool isActive() const = 0;
  // Handles the pending window-system events, waiting for at least one.
  virtual void processPendingEvents() = 0;
  virtual qint64 elapsedMs() const = 0;  // monotonic
};
std::unique_ptr<FadeClock> makeEventLoopFadeClock();

// Whether this platform plugin can change a top-level window's opacity.
bool platformSupportsWindowOpacity();

class TZfAnimate : public QObject {
  Q_OBJECT
  Q_PROPERTY(bool Active READ active WRITE setActive)
  Q_PROPERTY(int StartInt READ startInt WRITE setStartInt)
  Q_PROPERTY(int StartStep READ startStep WRITE setStartStep)
  Q_PROPERTY(int StopInt READ stopInt WRITE setStopInt)
  Q_PROPERTY(int StopStep READ stopStep WRITE setStopStep)
  Q_PROPERTY(int MaxValue READ maxValue WRITE setMaxValue)
  Q_PROPERTY(QString About READ about WRITE setAbout)

 public:
  static constexpr qint64 kWaitLimitMs = 10000;
  // A shown window that has not been made active this long after showing
  // fades in all the same.
  static constexpr int kActivationWaitMs = 500;

  // Watches `window` (a top-level widget) for showing, activation and
  // closing. The component is a child of the window.
  explicit TZfAnimate(QWidget* window, std::unique_ptr<FadeClock> clock = {});
  ~TZfAnimate() override;

  bool active() const { return m_active; }
  void setActive(bool on) { m_active = on; }
  int startInt() const { return m_startInt; }
  void setStartInt(int ms) { m_startInt = ms < 1 ? 1 : ms; }
  int startStep() const { return m_startStep; }
  void setStartStep(int steps) { m_startStep = steps < 0 ? 0 : steps; }
  int stopInt() const { return m_stopInt; }
  void setStopInt(int ms) { m_stopInt = ms < 1 ? 1 : ms; }
  int stopStep() const { return m_stopStep; }
  void setStopStep(int steps) { m_stopStep = steps < 0 ? 0 : steps; }
  int maxValue() const { return m_maxValue; }
  void setMaxValue(int v) { m_maxValue = v < 0 ? 0 : (v > 255 ? 255 : v); }
  QString about() const { return QStringLiteral("s1.01"); }
  void setAbout(const QString&) {}

  // Replaces the look-up of opacity support (tests, or a platform that
  // knows better).
  void setOpacityProbe(std::function<bool()> probe) { m_probe = std::move(probe); }

  bool fadingPossible() const;
  // The window's alpha as last set (255 until a fade first sets it).
  int alpha() const { return m_alpha; }

 signals:
  void afterStartAnim();  // OnAfterStartAnim
  void afterEndAnim();    // OnAfterEndAnim
  void alphaChanged(int alpha);

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  enum class Mode { Idle, FadingIn, FadingOut };
  void windowShown();
  void windowActivated();
  void windowClosing();
  void fadeIn();
  void fadeOut();
  void tick();
  void finishFadeIn();
  void finishFadeOut();
  // Waits while the timer runs; false when the limit passed first.
  bool waitForFade();
  void setAlpha(int a);

  QPointer<QWidget> m_window;
  std::unique_ptr<FadeClock> m_clock;
  std::function<bool()> m_probe;
  bool m_active = false;
  int m_startInt = 5;
  int m_startStep = 30;
  int m_stopInt = 5;
  int m_stopStep = 30;
  int m_maxValue = 255;

  Mode m_mode = Mode::Idle;
  int m_counter = 0;
  int m_alpha = 255;
  bool m_fadedIn = false;
};
