#include "ui/win32/zfanimate.h"

#include <map>
#include <utility>

#include "ui/win32/window.h"

namespace win32ui {

namespace {

// The thread timers in use, by id: a TIMERPROC gets no context of its own.
// Every window runs on one thread.
std::map<UINT_PTR, std::function<void()>>& timers() {
  static std::map<UINT_PTR, std::function<void()>> running;
  return running;
}

void CALLBACK onTimer(HWND, UINT, UINT_PTR id, DWORD) {
  auto it = timers().find(id);
  if (it == timers().end()) return;
  const std::function<void()> tick = it->second;  // a tick may stop the timer
  tick();
}

class TimerFadeClock final : public uimodel::FadeClock {
 public:
  TimerFadeClock() : m_started(::GetTickCount64()) {}
  ~TimerFadeClock() override { stop(); }

  void start(int intervalMs, std::function<void()> tick) override {
    stop();
    m_id = ::SetTimer(nullptr, 0, static_cast<UINT>(intervalMs), &onTimer);
    if (m_id != 0) timers()[m_id] = std::move(tick);
  }
  void stop() override {
    if (m_id == 0) return;
    ::KillTimer(nullptr, m_id);
    timers().erase(m_id);
    m_id = 0;
  }
  bool isActive() const override { return m_id != 0; }
  void processPendingEvents() override {
    // The running timer guarantees a message within one interval.
    MSG message;
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      ::PostQuitMessage(static_cast<int>(message.wParam));  // for the outer loop
      return;
    }
    if (got < 0) return;
    if (!Window::preTranslate(message)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
  std::int64_t elapsedMs() const override {
    return static_cast<std::int64_t>(::GetTickCount64() - m_started);
  }

 private:
  UINT_PTR m_id = 0;
  ULONGLONG m_started;
};

}  // namespace

SetLayeredAttributesFn layeredAttributesFunction() {
  static const SetLayeredAttributesFn function = [] {
    HMODULE user = ::GetModuleHandleW(L"User32.dll");
    return user ? reinterpret_cast<SetLayeredAttributesFn>(
                      reinterpret_cast<void*>(::GetProcAddress(user, "SetLayeredWindowAttributes")))
                : nullptr;
  }();
  return function;
}

std::unique_ptr<uimodel::FadeClock> makeTimerFadeClock() {
  return std::make_unique<TimerFadeClock>();
}

TZfAnimate::TZfAnimate(HWND window, std::unique_ptr<uimodel::FadeClock> clock)
    : m_window(window),
      m_setAttributes(layeredAttributesFunction()),
      m_fade(clock ? std::move(clock) : makeTimerFadeClock(), *this) {}

TZfAnimate::~TZfAnimate() {
  *m_alive = false;
  if (m_activationTimer != 0) {
    ::KillTimer(nullptr, m_activationTimer);
    timers().erase(m_activationTimer);
  }
}

void TZfAnimate::shown() {
  if (!m_fade.shown()) return;
  if (m_activationTimer != 0) {
    ::KillTimer(nullptr, m_activationTimer);
    timers().erase(m_activationTimer);
  }
  m_activationTimer = ::SetTimer(nullptr, 0, uimodel::Fade::kActivationWaitMs, &onTimer);
  if (m_activationTimer == 0) return;
  std::weak_ptr<bool> alive = m_alive;
  const UINT_PTR id = m_activationTimer;
  timers()[id] = [this, alive, id] {
    ::KillTimer(nullptr, id);
    timers().erase(id);  // onTimer() runs a copy of this function: safe
    if (alive.expired()) return;
    m_activationTimer = 0;
    m_fade.activationWaitOver();
  };
}

bool TZfAnimate::canTakeAlpha() const {
  return m_setAttributes != nullptr && ::IsWindow(m_window);
}

bool TZfAnimate::isVisible() const {
  return ::IsWindow(m_window) && ::IsWindowVisible(m_window);
}

void TZfAnimate::setAlpha(int alpha) {
  if (!canTakeAlpha()) return;
  const LONG_PTR style = ::GetWindowLongPtrW(m_window, GWL_EXSTYLE);
  if ((style & WS_EX_LAYERED) == 0)
    ::SetWindowLongPtrW(m_window, GWL_EXSTYLE, style | WS_EX_LAYERED);
  m_setAttributes(m_window, 0, static_cast<BYTE>(alpha), LWA_ALPHA);
}

void TZfAnimate::afterStartAnim() {
  if (m_afterStart) m_afterStart();
}

void TZfAnimate::afterEndAnim() {
  if (m_afterEnd) m_afterEnd();
}

}  // namespace win32ui
