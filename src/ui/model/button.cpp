// ButtonModel: the input rules. The layout and the painting are in
// buttonpaint.cpp.
#include "ui/model/button.h"

namespace uimodel {

namespace {

bool inside(Point at, Size size) {
  return Rect{0, 0, size.width, size.height}.contains(at);
}

void append(ButtonActions& to, const ButtonActions& more) {
  to.insert(to.end(), more.begin(), more.end());
}

}  // namespace

bool ButtonModel::pressTakesFocus(bool focused) const {
  return m_enabled && m_tabStop && !focused;
}

ButtonActions ButtonModel::mousePress(MouseButton button, Point at) {
  if (!m_enabled) return {};
  if (button == MouseButton::Right) {
    if (m_hasPopup) return {{ButtonAction::OpenPopup}};
    return {};
  }
  if (button != MouseButton::Left) return {};
  m_held = true;
  m_pressed = true;
  m_hot = true;  // a press on the button means the pointer is over it
  ButtonActions out{{ButtonAction::MouseDown, at}, {ButtonAction::Repaint}};
  // The menu's own choice is the action: the press ends without a click.
  if (m_hasDropDown) out.push_back({ButtonAction::OpenDropDown});
  return out;
}

ButtonActions ButtonModel::mouseRelease(MouseButton button, Point at, Size size) {
  if (button != MouseButton::Left) return {};
  // A release away from the button never clicks, whether or not a leave
  // came during the press.
  const bool clicks = m_pressed && inside(at, size);
  clearFlags();
  ButtonActions out{{ButtonAction::Repaint}, {ButtonAction::MouseUp, at}};
  if (clicks) append(out, click());
  return out;
}

ButtonActions ButtonModel::mouseMove(Point at, Size size) {
  ButtonActions out{{ButtonAction::MouseMove, at}};
  if (!m_held) return out;
  const bool in = inside(at, size);
  if (!in && (m_pressed || m_hot)) {
    append(out, leave());
  } else if (in && !m_hot && m_enabled) {
    m_hot = true;
    out.push_back({ButtonAction::ResumePress, {10, 10}});
  }
  return out;
}

ButtonActions ButtonModel::enter() {
  if (!m_enabled || m_hot) return {};
  m_hot = true;
  ButtonActions out{{ButtonAction::Repaint}};
  // Back over the button with the left button still down: the press goes on.
  if (m_held) out.push_back({ButtonAction::ResumePress, {10, 10}});
  return out;
}

ButtonActions ButtonModel::leave() {
  m_hot = false;
  m_pressed = false;
  return {{ButtonAction::Repaint}};
}

ButtonActions ButtonModel::keyPress(Key key) {
  if (key == Key::Space) {
    if (m_pressed) return {};
    m_pressed = true;
    ButtonActions out{{ButtonAction::Repaint}};
    if (m_hasDropDown) out.push_back({ButtonAction::OpenDropDown});
    return out;
  }
  ButtonActions out;
  // Any other key ends a Space press.
  if (m_pressed) {
    m_pressed = false;
    out.push_back({ButtonAction::Repaint});
  }
  if (key == Key::Enter) {
    if (m_hasDropDown)
      out.push_back({ButtonAction::OpenDropDown});
    else
      append(out, click());
    return out;
  }
  out.push_back({ButtonAction::PassKeyOn});  // Esc and the rest go on to the window
  return out;
}

ButtonActions ButtonModel::keyRelease(Key key, bool autoRepeat) {
  if (key == Key::Space) {
    if (!autoRepeat && m_pressed && !m_hasDropDown) return click();
    return {};
  }
  ButtonActions out;
  if (m_pressed && !autoRepeat) {
    m_pressed = false;
    out.push_back({ButtonAction::Repaint});
  }
  out.push_back({ButtonAction::PassKeyOn});
  return out;
}

ButtonActions ButtonModel::focusIn(FocusReason reason) {
  // A drop-down menu takes the focus only while it is open, and a click on
  // an inactive window may activate it (and give the focus back) after the
  // press has arrived: in both cases the press goes on.
  if (reason != FocusReason::Popup && reason != FocusReason::ActiveWindow) clearFlags();
  return {{ButtonAction::Repaint}};
}

ButtonActions ButtonModel::focusOut(FocusReason reason) {
  if (reason != FocusReason::Popup) clearFlags();
  return {{ButtonAction::Repaint}};
}

ButtonActions ButtonModel::enabledChanged(bool enabled) {
  m_enabled = enabled;
  if (!enabled) {
    clearFlags();
    m_hot = false;
  }
  return {{ButtonAction::Repaint}};
}

ButtonActions ButtonModel::dropDownClosed() {
  clearFlags();
  return {{ButtonAction::Repaint}};
}

ButtonActions ButtonModel::click() {
  clearFlags();
  return {{ButtonAction::Repaint}, {ButtonAction::Click}};
}

ButtonActions ButtonModel::shortcut() {
  if (!m_enabled) return {};
  return click();
}

}  // namespace uimodel
