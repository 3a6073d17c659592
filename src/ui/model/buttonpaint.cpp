// ButtonModel: the content layout and the paint plan of each look.
#include <algorithm>

#include "ui/model/button.h"

namespace uimodel {

ButtonContentLayout LayoutButtonContent(Size button, Size glyph, Size caption, GlyphAlign align) {
  const int W = button.width, H = button.height;
  const int gw = glyph.width, gh = glyph.height;
  const int tw = caption.width, th = caption.height;
  const bool hasGlyph = !glyph.isEmpty(), hasCaption = !caption.isEmpty();
  ButtonContentLayout out;
  if (hasGlyph && hasCaption) {
    switch (align) {
      case GlyphAlign::poLeft: {
        const int gx = W / 2 - (gw + tw) / 2;
        out.glyph = {gx, H / 2 - gh / 2, gw, gh};
        out.caption = {gx + gw + 4, H / 2 - th / 2, tw, th};
        break;
      }
      case GlyphAlign::poRight: {
        const int cx = W / 2 - (gw + tw) / 2 - 1;
        out.caption = {cx, H / 2 - th / 2, tw, th};
        out.glyph = {cx + tw + 5, H / 2 - gh / 2, gw, gh};
        break;
      }
      case GlyphAlign::poTop: {
        const int top = (H - (gh + 3 + th)) / 2;
        out.glyph = {(W - gw) / 2, top, gw, gh};
        out.caption = {(W - tw) / 2, top + gh + 3, tw, th};
        break;
      }
      case GlyphAlign::poBottom: {
        const int top = (H - (th + 3 + gh)) / 2;
        out.caption = {(W - tw) / 2, top, tw, th};
        out.glyph = {(W - gw) / 2, top + th + 3, gw, gh};
        break;
      }
    }
  } else if (hasGlyph) {
    out.glyph = {(W - gw) / 2, (H - gh) / 2, gw, gh};
  } else if (hasCaption) {
    out.caption = {(W - tw) / 2, (H - th) / 2, tw, th};
  }
  return out;
}

ButtonContentLayout ButtonModel::layout(const ButtonContent& content) const {
  return LayoutButtonContent(content.button, content.glyph,
                             m_showCaption ? content.caption : Size{}, m_align);
}

std::vector<ButtonPaintOp> ButtonModel::paintPlan(const ButtonContent& content,
                                                  bool focused) const {
  using Op = ButtonPaintOp;
  using C = ButtonColour;
  const int W = content.button.width, H = content.button.height;
  const ButtonContentLayout at = layout(content);
  std::vector<Op> plan;
  auto caption = [&](int d, C colour) {
    if (!at.caption.isEmpty()) plan.push_back({Op::Caption, at.caption.translated(d, d), colour});
  };
  // The content at offset d; a disabled image-list glyph is embossed: its
  // shape in the highlight colour 1 pixel right and down, then in the shadow
  // colour at its place. An own glyph is drawn as it is.
  auto contentAt = [&](int d, C captionColour) {
    if (!at.glyph.isEmpty()) {
      const Rect g = at.glyph.translated(d, d);
      if (content.glyphFromImageList && !m_enabled) {
        plan.push_back({Op::GlyphShape, g.translated(1, 1), C::Highlight});
        plan.push_back({Op::GlyphShape, g, C::Shadow});
      } else {
        plan.push_back({Op::Glyph, g, C::Face});
      }
    }
    caption(d, captionColour);
  };

  plan.push_back({Op::Fill, {1, 1, W - 2, H - 2}, C::Face});
  if (!m_pressed) {
    // Two frames leave the right and bottom edges 2 pixels dark; the raised
    // strips then cover the left and top.
    plan.push_back({Op::Frame, {0, 0, W, H}, C::Black});
    plan.push_back({Op::Frame, {0, 0, W - 1, H - 1}, C::Black});
    contentAt(0, m_enabled ? C::Font : C::Grayed);
    plan.push_back({Op::Fill, {0, 0, 2, H - 1}, C::Raise});
    plan.push_back({Op::Fill, {0, 0, W - 1, 2}, C::Raise});
  } else {
    contentAt(2, m_enabled ? C::Over : C::Grayed);
    plan.push_back({Op::Frame, {0, 0, W, H}, C::Black});
  }
  if (focused && m_tabStop) {
    plan.push_back({Op::Frame, {0, 0, W, H}, C::Black});
    plan.push_back({Op::DottedFrame, {3, 3, W - 6, H - 6}, C::FocusDots});
    if (!m_pressed) caption(0, C::Over);
  } else if (m_hot && !m_pressed && m_enabled) {
    caption(0, C::Over);
  }
  return plan;
}

Size ButtonModel::sizeHint(Size glyph, Size caption) const {
  const Size g = glyph.isEmpty() ? Size{} : glyph;
  const Size t = m_showCaption && !caption.isEmpty() ? caption : Size{};
  // The gap between glyph and caption counts only when both are there.
  const int gap = g.isEmpty() || t.isEmpty()
                      ? 0
                      : (m_align == GlyphAlign::poTop || m_align == GlyphAlign::poBottom ? 3 : 5);
  const bool side = m_align == GlyphAlign::poLeft || m_align == GlyphAlign::poRight;
  const int w = side ? g.width + gap + t.width : std::max(g.width, t.width);
  const int h = side ? std::max(g.height, t.height) : g.height + gap + t.height;
  return {std::max(kButtonSize.width, w + 12), std::max(kButtonSize.height, h + 6)};
}

}  // namespace uimodel
