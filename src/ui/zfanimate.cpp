#include "ui/zfanimate.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>

namespace {

class EventLoopFadeClock final : public FadeClock {
 public:
  EventLoopFadeClock() {
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
      if (m_tick) m_tick();
    });
    m_clock.start();
  }
  void start(int intervalMs, std::function<void()> tick) override {
    m_tick = std::move(tick);
    m_timer.start(intervalMs);
  }
  void stop() override { m_timer.stop(); }
  bool isActive() const override { return m_timer.isActive(); }
  void processPendingEvents() override {
    // The running timer guarantees an event within one interval.
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
  qint64 elapsedMs() const override { return m_clock.elapsed(); }

 private:
  QTimer m_timer;
  QElapsedTimer m_clock;
  std::function<void()> m_tick;
};

}  // namespace

std::unique_ptr<FadeClock> makeEventLoopFadeClock() {
  return std::make_unique<EventLoopFadeClock>();
}

bool platformSupportsWindowOpacity() {
  // Plugins that draw into memory or straight onto a frame buffer have no
  // per-window alpha; the desktop window systems do.
  const QString name = QGuiApplication::platformName();
  return name == QLatin1String("windows") || name == QLatin1String("xcb") ||
         name == QLatin1String("cocoa");
}

TZfAnimate::TZfAnimate(QWidget* window, std::unique_ptr<FadeClock> clock)
    : QObject(window),
      m_window(window),
      m_clock(clock ? std::move(clock) : makeEventLoopFadeClock()),
      m_probe(platformSupportsWindowOpacity) {
  if (m_window) m_window->installEventFilter(this);
}

TZfAnimate::~TZfAnimate() {
  if (m_clock) m_clock->stop();
}

bool TZfAnimate::fadingPossible() const {
  return m_active && m_window && m_probe && m_probe() && m_window->windowHandle() != nullptr;
}

void TZfAnimate::setAlpha(int a) {
  m_alpha = a;
  if (m_window) m_window->setWindowOpacity(a / 255.0);
  emit alphaChanged(a);
}

bool TZfAnimate::eventFilter(QObject* watched, QEvent* e) {
  if (watched != m_window) return false;
  switch (e->type()) {
    case QEvent::Show:
      if (!e->spontaneous()) windowShown();
      return false;
    case QEvent::WindowActivate:
      windowActivated();
      return false;
    case QEvent::Close: {
      // The window's own close handling runs first and may refuse the close;
      // only an accepted close fades out. QWidget::event is public through
      // QObject, which skips this filter.
      QPointer<TZfAnimate> self(this);
      static_cast<QObject*>(m_window.data())->event(e);
      if (self && e->isAccepted()) windowClosing();
      return true;
    }
    default:
      return false;
  }
}

void TZfAnimate::windowShown() {
  // Every showing starts transparent and fades in on activation; a window
  // shown again after a fade-out would otherwise stay at alpha 0.
  m_fadedIn = false;
  if (!fadingPossible()) return;
  setAlpha(0);
  // A window manager may show a window without ever activating it; it must
  // not stay invisible then.
  QTimer::singleShot(kActivationWaitMs, this, [this] {
    const QWidget* w = m_window.data();
    if (w != nullptr && w->isVisible()) windowActivated();
  });
}

void TZfAnimate::windowActivated() {
  if (m_fadedIn || m_mode != Mode::Idle || !fadingPossible()) return;
  m_fadedIn = true;
  fadeIn();
  QPointer<TZfAnimate> self(this);
  if (!waitForFade() && self && m_mode == Mode::FadingIn) finishFadeIn();
}

void TZfAnimate::windowClosing() {
  QWidget* w = m_window.data();
  if (!w || m_mode == Mode::FadingOut || !fadingPossible() || !w->isVisible()) return;
  if (m_mode == Mode::FadingIn) {
    m_clock->stop();
    m_mode = Mode::Idle;
  }
  fadeOut();
  QPointer<TZfAnimate> self(this);
  if (!waitForFade() && self && m_mode == Mode::FadingOut) finishFadeOut();
}

void TZfAnimate::fadeIn() {
  if (m_startStep == 0) {
    setAlpha(m_maxValue);  // no steps: show the window at once
    return;
  }
  m_mode = Mode::FadingIn;
  m_counter = 0;
  m_clock->start(m_startInt, [this] { tick(); });
}

void TZfAnimate::fadeOut() {
  if (m_stopStep == 0) return;
  m_mode = Mode::FadingOut;
  m_counter = 0;
  m_clock->start(m_stopInt, [this] { tick(); });
}

void TZfAnimate::tick() {
  ++m_counter;
  if (m_mode == Mode::FadingIn) {
    setAlpha(m_maxValue * m_counter / m_startStep);
    if (m_counter >= m_startStep) finishFadeIn();
  } else if (m_mode == Mode::FadingOut) {
    setAlpha(m_maxValue - m_maxValue * m_counter / m_stopStep);
    if (m_counter >= m_stopStep) finishFadeOut();
  } else {
    m_clock->stop();
  }
}

void TZfAnimate::finishFadeIn() {
  m_counter = 0;
  m_clock->stop();
  m_mode = Mode::Idle;
  setAlpha(m_maxValue);
  emit afterStartAnim();
}

void TZfAnimate::finishFadeOut() {
  m_counter = 0;
  m_clock->stop();
  m_mode = Mode::Idle;
  setAlpha(0);
  emit afterEndAnim();
}

bool TZfAnimate::waitForFade() {
  QPointer<TZfAnimate> self(this);
  const qint64 start = m_clock->elapsedMs();
  while (self && m_clock->isActive()) {
    if (m_clock->elapsedMs() - start >= kWaitLimitMs) return false;
    m_clock->processPendingEvents();
  }
  return true;
}
