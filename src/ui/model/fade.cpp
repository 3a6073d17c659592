#include "ui/model/fade.h"

#include <utility>

namespace uimodel {

Fade::Fade(std::unique_ptr<FadeClock> clock, FadeWindow& window)
    : m_clock(std::move(clock)), m_window(window) {}

Fade::~Fade() {
  *m_alive = false;
  m_clock->stop();
}

bool Fade::fadingPossible() const {
  return m_active && m_window.canTakeAlpha();
}

void Fade::setAlpha(int a) {
  m_alpha = a;
  m_window.setAlpha(a);
}

bool Fade::shown() {
  // Every showing starts transparent and fades in on activation; a window
  // shown again after a fade-out would otherwise stay at alpha 0.
  m_fadedIn = false;
  if (!fadingPossible()) return false;
  setAlpha(0);
  // A window manager may show a window without ever activating it.
  return true;
}

void Fade::activationWaitOver() {
  if (m_window.isVisible()) activated();
}

void Fade::activated() {
  if (m_fadedIn || m_mode != Mode::Idle || !fadingPossible()) return;
  m_fadedIn = true;
  fadeIn();
  const std::shared_ptr<bool> alive = m_alive;
  if (!waitForFade() && *alive && m_mode == Mode::FadingIn) finishFadeIn();
}

void Fade::closing() {
  if (m_mode == Mode::FadingOut || !fadingPossible() || !m_window.isVisible()) return;
  if (m_mode == Mode::FadingIn) {
    m_clock->stop();
    m_mode = Mode::Idle;
  }
  fadeOut();
  const std::shared_ptr<bool> alive = m_alive;
  if (!waitForFade() && *alive && m_mode == Mode::FadingOut) finishFadeOut();
}

void Fade::fadeIn() {
  if (m_startStep == 0) {
    setAlpha(m_maxValue);  // no steps: show the window at once
    return;
  }
  m_mode = Mode::FadingIn;
  m_counter = 0;
  m_clock->start(m_startInt, [this] { tick(); });
}

void Fade::fadeOut() {
  if (m_stopStep == 0) return;
  m_mode = Mode::FadingOut;
  m_counter = 0;
  m_clock->start(m_stopInt, [this] { tick(); });
}

void Fade::tick() {
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

void Fade::finishFadeIn() {
  m_counter = 0;
  m_clock->stop();
  m_mode = Mode::Idle;
  setAlpha(m_maxValue);
  m_window.afterStartAnim();
}

void Fade::finishFadeOut() {
  m_counter = 0;
  m_clock->stop();
  m_mode = Mode::Idle;
  setAlpha(0);
  m_window.afterEndAnim();
}

bool Fade::waitForFade() {
  const std::shared_ptr<bool> alive = m_alive;
  const std::int64_t start = m_clock->elapsedMs();
  while (m_clock->isActive()) {
    if (m_clock->elapsedMs() - start >= kWaitLimitMs) return false;
    m_clock->processPendingEvents();
    if (!*alive) return false;
  }
  return true;
}

}  // namespace uimodel
