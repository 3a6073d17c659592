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
  std::int64_t elapsedMs() const override { return m_clock.elapsed(); }

 private:
  QTimer m_timer;
  QElapsedTimer m_clock;
  std::function<void()> m_tick;
};

}  // namespace

class TZfAnimate::Window final : public uimodel::FadeWindow {
 public:
  explicit Window(TZfAnimate& fade) : m_fade(fade) {}
  bool canTakeAlpha() const override {
    const QWidget* w = m_fade.m_window.data();
    return w != nullptr && m_fade.m_probe && m_fade.m_probe() && w->windowHandle() != nullptr;
  }
  bool isVisible() const override {
    const QWidget* w = m_fade.m_window.data();
    return w != nullptr && w->isVisible();
  }
  void setAlpha(int alpha) override {
    if (QWidget* w = m_fade.m_window.data()) w->setWindowOpacity(alpha / 255.0);
    emit m_fade.alphaChanged(alpha);
  }
  void afterStartAnim() override { emit m_fade.afterStartAnim(); }
  void afterEndAnim() override { emit m_fade.afterEndAnim(); }

 private:
  TZfAnimate& m_fade;
};

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
      m_probe(platformSupportsWindowOpacity),
      m_modelWindow(std::make_unique<Window>(*this)),
      m_fade(clock ? std::move(clock) : makeEventLoopFadeClock(), *m_modelWindow) {
  if (m_window) m_window->installEventFilter(this);
}

TZfAnimate::~TZfAnimate() = default;

bool TZfAnimate::eventFilter(QObject* watched, QEvent* e) {
  if (watched != m_window) return false;
  switch (e->type()) {
    case QEvent::Show:
      if (!e->spontaneous() && m_fade.shown()) {
        QTimer::singleShot(kActivationWaitMs, this, [this] { m_fade.activationWaitOver(); });
      }
      return false;
    case QEvent::WindowActivate:
      m_fade.activated();
      return false;
    case QEvent::Close: {
      // The window's own close handling runs first and may refuse the close;
      // only an accepted close fades out. QWidget::event is public through
      // QObject, which skips this filter.
      QPointer<TZfAnimate> self(this);
      static_cast<QObject*>(m_window.data())->event(e);
      if (self && e->isAccepted()) m_fade.closing();
      return true;
    }
    default:
      return false;
  }
}
