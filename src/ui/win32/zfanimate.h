// TZfAnimate on Windows: fades a top-level window in when it is first made
// active and out when it closes, through its layered-window alpha.
//
// The rules and the step arithmetic are uimodel::Fade's. The window's view
// tells the fade what happens to the window (shown, activated, closing);
// the fade runs on a thread timer (SetTimer) and sets the alpha with
// SetLayeredWindowAttributes, looked up in User32 at run time: where it is
// missing (before Windows 2000) the window opens and closes at once.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "ui/model/fade.h"

namespace win32ui {

// SetLayeredWindowAttributes from User32, or null where Windows lacks it.
using SetLayeredAttributesFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
SetLayeredAttributesFn layeredAttributesFunction();

// The clock of the windows' thread: a SetTimer timer, and one turn of the
// thread's message loop as the pending events.
std::unique_ptr<uimodel::FadeClock> makeTimerFadeClock();

class TZfAnimate : private uimodel::FadeWindow {
 public:
  // Fades `window`, which must outlive this object. A null clock takes
  // makeTimerFadeClock().
  explicit TZfAnimate(HWND window, std::unique_ptr<uimodel::FadeClock> clock = {});
  ~TZfAnimate() override;
  TZfAnimate(const TZfAnimate&) = delete;
  TZfAnimate& operator=(const TZfAnimate&) = delete;

  uimodel::Fade& fade() { return m_fade; }
  void setOnAfterStartAnim(std::function<void()> f) { m_afterStart = std::move(f); }
  void setOnAfterEndAnim(std::function<void()> f) { m_afterEnd = std::move(f); }

  // What the window's view reports: each showing (WM_SHOWWINDOW), each
  // activation, and a close that the window accepted (the call returns when
  // the fade-out has ended).
  void shown();
  void activated() { m_fade.activated(); }
  void closing() { m_fade.closing(); }

 private:
  bool canTakeAlpha() const override;
  bool isVisible() const override;
  void setAlpha(int alpha) override;
  void afterStartAnim() override;
  void afterEndAnim() override;

  HWND m_window;
  SetLayeredAttributesFn m_setAttributes;
  uimodel::Fade m_fade;  // after the members its window callbacks read
  std::function<void()> m_afterStart;
  std::function<void()> m_afterEnd;
  UINT_PTR m_activationTimer = 0;
  std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

}  // namespace win32ui
