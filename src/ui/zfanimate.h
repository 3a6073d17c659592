// TZfAnimate: fades the window it sits on in when the window is first made
// active and out when it closes, through the window's opacity.
//
// The fade's rules and step arithmetic are uimodel::Fade's
// (ui/model/fade.h); this component watches the window's showing,
// activation and closing, runs the fade on a Qt timer and sets the window's
// opacity. A window that is shown but not made active within
// kActivationWaitMs fades in then, so it never stays transparent.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

#include "ui/model/fade.h"

class QWidget;

// The timer and the clock a fade runs on. The default runs a QTimer and the
// application's event loop; tests hand in a scripted one.
using FadeClock = uimodel::FadeClock;
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
  static constexpr qint64 kWaitLimitMs = uimodel::Fade::kWaitLimitMs;
  static constexpr int kActivationWaitMs = uimodel::Fade::kActivationWaitMs;

  // Watches `window` (a top-level widget) for showing, activation and
  // closing. The component is a child of the window.
  explicit TZfAnimate(QWidget* window, std::unique_ptr<FadeClock> clock = {});
  ~TZfAnimate() override;

  bool active() const { return m_fade.active(); }
  void setActive(bool on) { m_fade.setActive(on); }
  int startInt() const { return m_fade.startInt(); }
  void setStartInt(int ms) { m_fade.setStartInt(ms); }
  int startStep() const { return m_fade.startStep(); }
  void setStartStep(int steps) { m_fade.setStartStep(steps); }
  int stopInt() const { return m_fade.stopInt(); }
  void setStopInt(int ms) { m_fade.setStopInt(ms); }
  int stopStep() const { return m_fade.stopStep(); }
  void setStopStep(int steps) { m_fade.setStopStep(steps); }
  int maxValue() const { return m_fade.maxValue(); }
  void setMaxValue(int v) { m_fade.setMaxValue(v); }
  QString about() const { return QString::fromLatin1(uimodel::Fade::kAbout); }
  void setAbout(const QString&) {}

  // Replaces the look-up of opacity support (tests, or a platform that
  // knows better).
  void setOpacityProbe(std::function<bool()> probe) { m_probe = std::move(probe); }

  bool fadingPossible() const { return m_fade.fadingPossible(); }
  // The window's alpha as last set (255 until a fade first sets it).
  int alpha() const { return m_fade.alpha(); }

 signals:
  void afterStartAnim();  // OnAfterStartAnim
  void afterEndAnim();    // OnAfterEndAnim
  void alphaChanged(int alpha);

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  class Window;  // the window as the model sees it
  friend class Window;

  QPointer<QWidget> m_window;
  std::function<bool()> m_probe;
  std::unique_ptr<Window> m_modelWindow;  // before m_fade, which uses it
  uimodel::Fade m_fade;
};
