// The window fade's model on a scripted clock: the alpha of each step, zero
// steps, the time limit, and windows that cannot fade.
#include "ui/model/fade.h"

#include <gtest/gtest.h>

#include <vector>

namespace uimodel {
namespace {

// A clock whose timer ticks once each time events are processed, and whose
// time moves on by the interval; or, stalled, by `stallMs` without a tick.
class ScriptedClock : public FadeClock {
 public:
  explicit ScriptedClock(std::int64_t stallMs) : m_stallMs(stallMs) {}
  void start(int intervalMs, std::function<void()> tick) override {
    m_interval = intervalMs;
    m_tick = std::move(tick);
    m_active = true;
    intervals.push_back(intervalMs);
  }
  void stop() override { m_active = false; }
  bool isActive() const override { return m_active; }
  void processPendingEvents() override {
    m_now += m_stallMs > 0 ? m_stallMs : m_interval;
    if (m_stallMs == 0 && m_active) m_tick();
  }
  std::int64_t elapsedMs() const override { return m_now; }

  std::vector<int> intervals;

 private:
  std::int64_t m_stallMs;
  std::int64_t m_now = 0;
  int m_interval = 0;
  bool m_active = false;
  std::function<void()> m_tick;
};

struct RecordingWindow final : FadeWindow {
  bool opacity = true;
  bool visible = true;
  std::vector<int> alphas;
  int started = 0, ended = 0;
  bool canTakeAlpha() const override { return opacity; }
  bool isVisible() const override { return visible; }
  void setAlpha(int alpha) override { alphas.push_back(alpha); }
  void afterStartAnim() override { ++started; }
  void afterEndAnim() override { ++ended; }
};

// An active fade on a recording window.
struct Faded {
  RecordingWindow window;
  ScriptedClock* clock;
  Fade fade;
  explicit Faded(std::int64_t stallMs = 0)
      : clock(new ScriptedClock(stallMs)), fade(std::unique_ptr<FadeClock>(clock), window) {
    fade.setActive(true);
  }
};

using Alphas = std::vector<int>;

TEST(Fade, FadesInOnTheFirstActivationAfterShowing) {
  Faded f;
  f.fade.setStartStep(4);
  f.fade.setStartInt(7);
  EXPECT_TRUE(f.fade.shown());  // the view starts the activation wait
  f.fade.activated();
  // 0 at showing, 255*n/4 for n = 1..4, then the end state.
  EXPECT_EQ(f.window.alphas, (Alphas{0, 63, 127, 191, 255, 255}));
  EXPECT_EQ(f.clock->intervals, std::vector<int>{7});
  EXPECT_EQ(f.window.started, 1);
  f.fade.activated();
  f.fade.activationWaitOver();
  EXPECT_EQ(f.window.started, 1);
  f.fade.shown();  // shown again: fades in again
  f.fade.activationWaitOver();
  EXPECT_EQ(f.window.started, 2);
}

TEST(Fade, FadesOutOnClosing) {
  Faded f;
  f.fade.setStartStep(0);
  f.fade.setStopStep(3);
  f.fade.setStopInt(9);
  f.fade.setMaxValue(200);
  f.fade.shown();
  f.fade.activated();
  EXPECT_EQ(f.window.alphas, (Alphas{0, 200}));  // no steps: shown at once, no timer
  f.fade.closing();
  // 200 - 200*n/3 for n = 1..3, then the end state.
  EXPECT_EQ(f.window.alphas, (Alphas{0, 200, 134, 67, 0, 0}));
  EXPECT_EQ(f.clock->intervals, std::vector<int>{9});
  EXPECT_EQ(f.window.ended, 1);

  Faded zero;  // no fade-out steps: closes at once
  zero.fade.setStopStep(0);
  zero.fade.closing();
  EXPECT_TRUE(zero.window.alphas.empty());
  EXPECT_EQ(zero.window.ended, 0);
}

TEST(Fade, RunningOutOfTimeEndsInTheEndState) {
  Faded in(1500);
  in.fade.shown();
  in.fade.activated();
  EXPECT_EQ(in.window.alphas, (Alphas{0, 255}));
  EXPECT_EQ(in.window.started, 1);
  EXPECT_FALSE(in.clock->isActive());
  EXPECT_EQ(in.clock->elapsedMs(), 10500);  // seven stalls: the first past 10,000 ms

  Faded out(4000);
  out.fade.setStartStep(0);
  out.fade.shown();
  out.fade.activated();
  out.fade.closing();
  EXPECT_EQ(out.window.alphas, (Alphas{0, 255, 0}));
  EXPECT_EQ(out.window.ended, 1);
  EXPECT_FALSE(out.clock->isActive());
}

TEST(Fade, NothingFadesWhenItCannot) {
  for (bool active : {false, true}) {
    Faded f;
    f.fade.setActive(active);
    f.window.opacity = !active;  // inactive, or no opacity on this platform
    EXPECT_FALSE(f.fade.shown());
    f.fade.activated();
    f.fade.closing();
    EXPECT_TRUE(f.window.alphas.empty());
    EXPECT_TRUE(f.clock->intervals.empty());
    EXPECT_EQ(f.fade.alpha(), 255);
  }
  Faded hidden;  // hidden before the activation wait ran out
  hidden.fade.shown();
  hidden.window.visible = false;
  hidden.fade.activationWaitOver();
  EXPECT_EQ(hidden.window.alphas, (Alphas{0}));
}

TEST(Fade, PropertiesAreClamped) {
  Faded f;
  f.fade.setStartInt(0);
  f.fade.setStopStep(-1);
  f.fade.setMaxValue(300);
  EXPECT_EQ(f.fade.startInt(), 1);
  EXPECT_EQ(f.fade.stopStep(), 0);
  EXPECT_EQ(f.fade.maxValue(), 255);
  f.fade.setMaxValue(-5);
  EXPECT_EQ(f.fade.maxValue(), 0);
}

}  // namespace
}  // namespace uimodel
