// The window fade (TZfAnimate) without a toolkit: it fades the window it
// sits on in when the window is first made active and out when it closes,
// through the window's alpha.
//
// Fading happens only when Active is on and the window can take an alpha
// (the platform can set a window's opacity and the window has its native
// handle). Otherwise the window opens and closes at once, fully shown.
//
// Each fade runs the clock's timer at StartInt (StopInt) ms for StartStep
// (StopStep) ticks; tick n sets the alpha to MaxValue*n/steps (fade-in) or
// MaxValue - MaxValue*n/steps (fade-out), whole-number division. The caller
// of a fade waits at most kWaitLimitMs for it, handling pending events
// meanwhile; a fade that runs out of time is brought to its end state at
// once (full alpha and afterStartAnim, or alpha 0 and afterEndAnim).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace uimodel {

// The timer and the clock a fade runs on: the view's event loop, or a
// scripted one in tests.
class FadeClock {
 public:
  virtual ~FadeClock() = default;
  // Calls tick every intervalMs until stop(); replaces a running timer.
  virtual void start(int intervalMs, std::function<void()> tick) = 0;
  virtual void stop() = 0;
  virtual bool isActive() const = 0;
  // Handles the pending window-system events (ticks among them), waiting for
  // at least one.
  virtual void processPendingEvents() = 0;
  virtual std::int64_t elapsedMs() const = 0;  // monotonic
};

// The faded window, as the view shows it.
class FadeWindow {
 public:
  virtual ~FadeWindow() = default;
  // The platform can set this window's opacity now.
  virtual bool canTakeAlpha() const = 0;
  virtual bool isVisible() const = 0;
  virtual void setAlpha(int alpha) = 0;  // 0 (transparent) to 255
  virtual void afterStartAnim() = 0;     // OnAfterStartAnim
  virtual void afterEndAnim() = 0;       // OnAfterEndAnim
};

class Fade {
 public:
  static constexpr const char* kAbout = "s1.01";
  static constexpr std::int64_t kWaitLimitMs = 10000;
  // A shown window that has not been made active this long after showing
  // fades in all the same, so that it never stays transparent.
  static constexpr int kActivationWaitMs = 500;

  // The window is not owned and must outlive the fade.
  Fade(std::unique_ptr<FadeClock> clock, FadeWindow& window);
  ~Fade();
  Fade(const Fade&) = delete;
  Fade& operator=(const Fade&) = delete;

  // The properties: intervals of at least 1 ms, no negative step count,
  // MaxValue within 0..255.
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

  bool fadingPossible() const;
  // The window's alpha as last set (255 until a fade first sets it).
  int alpha() const { return m_alpha; }

  // The window was shown: it turns transparent and waits for its
  // activation. True when the view should call activationWaitOver() after
  // kActivationWaitMs.
  bool shown();
  // The window was made active: the first activation after a showing fades
  // in and returns when the fade has ended or run out of time.
  void activated();
  void activationWaitOver();
  // The window accepted its close: a visible window fades out, and the
  // call returns when the fade has ended or run out of time.
  void closing();

 private:
  enum class Mode { Idle, FadingIn, FadingOut };
  void fadeIn();
  void fadeOut();
  void tick();
  void finishFadeIn();
  void finishFadeOut();
  // Waits while the timer runs; false when the limit passed first or the
  // fade was destroyed meanwhile.
  bool waitForFade();
  void setAlpha(int a);

  std::unique_ptr<FadeClock> m_clock;
  FadeWindow& m_window;
  // Shared with a running wait: an event handled while waiting may destroy
  // the fade with its window.
  std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
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

}  // namespace uimodel
