// TZfWinButton on Windows: input to the model, the model's answers carried
// out, its paint plan turned into the kit's drawing.
#include "ui/win32/zfwinbutton.h"

#include <commctrl.h>

#include <utility>

#include "platform/wintext.h"
#include "ui/win32/dpi.h"
#include "ui/win32/gdi.h"
#include "ui/win32/pictures.h"

namespace win32ui {

namespace {

using uimodel::ButtonAction;
using uimodel::ButtonColour;
using uimodel::ButtonPaintOp;

constexpr Size kGlyphSize{32, 32};

FontSpec captionFont() {
  const uimodel::WindowButtonLook& look = uimodel::kWindowButtonLook;
  return {look.fontFamily, look.fontPixels, true};
}

uimodel::Key toModelKey(int virtualKey) {
  switch (virtualKey) {
    case VK_SPACE:
      return uimodel::Key::Space;
    case VK_RETURN:
      return uimodel::Key::Enter;
    case VK_ESCAPE:
      return uimodel::Key::Escape;
    case 'T':
      return uimodel::Key::T;
    default:
      return uimodel::Key::Other;
  }
}

uimodel::MouseButton toModelButton(MouseButton button) {
  switch (button) {
    case MouseButton::Left:
      return uimodel::MouseButton::Left;
    case MouseButton::Right:
      return uimodel::MouseButton::Right;
    default:
      return uimodel::MouseButton::Other;
  }
}

Rgb fromColorRef(COLORREF c) {
  return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

}  // namespace

TZfWinButton::TZfWinButton() = default;

TZfWinButton::~TZfWinButton() {
  if (m_tooltip) ::DestroyWindow(m_tooltip);
}

bool TZfWinButton::create(const ZfWinButtonArgs& args) {
  m_caption = args.caption;
  m_glyph = args.glyph;
  m_onClick = args.onClick;
  m_face = args.face;
  m_model.setAlign(uimodel::kWindowButtonLook.align);
  OwnerButtonArgs button;
  button.parent = args.parent;
  button.id = args.id;
  button.rect = args.rect;
  button.text = args.caption;  // the window text: what a screen reader or a test reads
  button.font = captionFont();
  button.tabStop = true;
  button.events = this;
  if (!m_button.create(button)) return false;
  m_button.setDrawing(drawing());

  if (!args.hint.empty()) {
    m_tooltip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  args.parent, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (m_tooltip) {
      std::wstring hint = platform::widen(args.hint);
      TOOLINFOW tool{};
      tool.cbSize = sizeof tool;
      tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
      tool.hwnd = args.parent;
      tool.uId = reinterpret_cast<UINT_PTR>(hwnd());
      tool.lpszText = hint.data();
      ::SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
  }
  return true;
}

void TZfWinButton::setCaption(const std::string& caption) {
  m_caption = caption;
  m_button.setText(caption);
  repaint();
}

void TZfWinButton::setEnabled(bool enabled) {
  // WM_ENABLE reaches onEnabledChanged(), which tells the model.
  m_button.setEnabled(enabled);
}

void TZfWinButton::onMouseDown(MouseButton button, Point at) {
  if (button == MouseButton::Left && m_model.pressTakesFocus(m_button.hasFocus()))
    ::SetFocus(hwnd());
  perform(m_model.mousePress(toModelButton(button), at));
}

void TZfWinButton::onMouseUp(MouseButton button, Point at) {
  perform(m_model.mouseRelease(toModelButton(button), at, m_button.size()));
}

void TZfWinButton::onMouseMove(Point at) {
  perform(m_model.mouseMove(at, m_button.size()));
}

void TZfWinButton::onMouseEnter() {
  perform(m_model.enter());
}

void TZfWinButton::onMouseLeave() {
  perform(m_model.leave());
}

void TZfWinButton::onKeyDown(int virtualKey, bool autoRepeat) {
  // The model reads auto-repeat as release and press pairs.
  if (autoRepeat) perform(m_model.keyRelease(toModelKey(virtualKey), true));
  perform(m_model.keyPress(toModelKey(virtualKey)));
}

void TZfWinButton::onKeyUp(int virtualKey) {
  perform(m_model.keyRelease(toModelKey(virtualKey), false));
}

void TZfWinButton::onFocusChanged(bool focused) {
  // A press that gave the focus has not reached the model yet, so any
  // reason but a popup's ends a press as it should.
  perform(focused ? m_model.focusIn(uimodel::FocusReason::Other)
                  : m_model.focusOut(uimodel::FocusReason::Other));
}

void TZfWinButton::onEnabledChanged(bool enabled) {
  perform(m_model.enabledChanged(enabled));
}

void TZfWinButton::perform(const uimodel::ButtonActions& actions) {
  for (const ButtonAction& action : actions) {
    switch (action.kind) {
      case ButtonAction::Repaint:
        repaint();
        break;
      case ButtonAction::ResumePress:
        onMouseDown(MouseButton::Left, action.at);
        break;
      case ButtonAction::Click:
        // The handler may close the window that holds the button: nothing
        // of this object is touched after it.
        if (m_onClick) {
          const std::function<void()> onClick = m_onClick;
          onClick();
          return;
        }
        break;
      default:
        // No menus on these buttons; mouse reports and keys passed on have
        // no listener (the window previews its keys itself).
        break;
    }
  }
}

void TZfWinButton::repaint() {
  if (hwnd()) m_button.setDrawing(drawing());
}

std::vector<DrawOp> TZfWinButton::drawing() const {
  HBITMAP glyph = pictures::glyph(m_glyph);
  Size caption;
  if (!m_caption.empty()) caption = textSize(font(captionFont()), m_caption);
  caption = {unscale(caption.width), unscale(caption.height)};
  const uimodel::ButtonContent content{m_button.size(), glyph ? kGlyphSize : Size{},
                                       glyph != nullptr, caption};
  std::vector<DrawOp> out;
  for (const ButtonPaintOp& op : m_model.paintPlan(content, m_button.hasFocus()))
    out.push_back(toDrawOp(op, glyph));
  return out;
}

DrawOp TZfWinButton::toDrawOp(const ButtonPaintOp& op, HBITMAP glyph) const {
  const uimodel::WindowButtonLook& look = uimodel::kWindowButtonLook;
  const Rgb face = m_face.value_or(faceColour());
  DrawOp out;
  out.rect = op.rect;
  switch (op.colour) {
    case ButtonColour::Face:
      out.colour = face;
      break;
    case ButtonColour::Raise:
      out.colour = look.raiseCol;
      break;
    case ButtonColour::Black:
      out.colour = {0, 0, 0};
      break;
    case ButtonColour::Font:
      out.colour = look.fontColor;
      break;
    case ButtonColour::Over:
      out.colour = look.overCol;
      break;
    case ButtonColour::Grayed:
      out.colour = fromColorRef(::GetSysColor(COLOR_GRAYTEXT));
      break;
    case ButtonColour::FocusDots:
      out.colour = {static_cast<std::uint8_t>(255 - face.red),
                    static_cast<std::uint8_t>(255 - face.green),
                    static_cast<std::uint8_t>(255 - face.blue)};
      break;
    case ButtonColour::Highlight:
      out.colour = fromColorRef(::GetSysColor(COLOR_BTNHIGHLIGHT));
      break;
    case ButtonColour::Shadow:
      out.colour = fromColorRef(::GetSysColor(COLOR_BTNSHADOW));
      break;
  }
  switch (op.kind) {
    case ButtonPaintOp::Fill:
      out.kind = DrawOp::Fill;
      break;
    case ButtonPaintOp::Frame:
      out.kind = DrawOp::Frame;
      break;
    case ButtonPaintOp::DottedFrame:
      out.kind = DrawOp::DottedFrame;
      break;
    case ButtonPaintOp::Glyph:
    case ButtonPaintOp::GlyphShape:
      out.kind = op.kind == ButtonPaintOp::Glyph ? DrawOp::Image : DrawOp::ImageShape;
      out.image = glyph;
      out.transparent = fromColorRef(pictures::kGlyphKey);
      break;
    case ButtonPaintOp::Caption:
      out.kind = DrawOp::Text;
      out.text = m_caption;
      out.font = captionFont();
      break;
  }
  return out;
}

}  // namespace win32ui
