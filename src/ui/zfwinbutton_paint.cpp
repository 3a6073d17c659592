// TZfWinButton: the painting. The model plans it (which fills, frames,
// glyph and caption, in which order and colour role); this file draws each
// step with QPainter.
#include <QPainter>

#include "ui/imagelist.h"
#include "ui/modeltypes.h"
#include "ui/zfwinbutton.h"

namespace {

// A one-pixel frame just inside r.
void frameRect(QPainter& p, const QRect& r, const QColor& c) {
  p.fillRect(r.x(), r.y(), r.width(), 1, c);
  p.fillRect(r.x(), r.bottom(), r.width(), 1, c);
  p.fillRect(r.x(), r.y(), 1, r.height(), c);
  p.fillRect(r.right(), r.y(), 1, r.height(), c);
}

// The checkerboard pixels of the frame just inside r: what an exclusive-or
// focus rectangle leaves on a plain face.
void dottedFrame(QPainter& p, const QRect& r, const QColor& c) {
  auto dot = [&](int x, int y) {
    if ((x + y) % 2 == 0) p.fillRect(x, y, 1, 1, c);
  };
  for (int x = r.left(); x <= r.right(); ++x) {
    dot(x, r.top());
    dot(x, r.bottom());
  }
  for (int y = r.top() + 1; y < r.bottom(); ++y) {
    dot(r.left(), y);
    dot(r.right(), y);
  }
}

// The glyph's shape filled with one colour.
QPixmap shapeIn(const QPixmap& glyph, const QColor& c) {
  QImage img = glyph.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
  QPainter q(&img);
  q.setCompositionMode(QPainter::CompositionMode_SourceIn);
  q.fillRect(img.rect(), c);
  q.end();
  return QPixmap::fromImage(img);
}

}  // namespace

QPixmap TZfWinButton::currentGlyph(bool* fromImageList) const {
  *fromImageList = false;
  if (!m_glyph.isNull()) return m_glyph;
  if (m_images) {
    QPixmap p = m_images->image(m_imageIndex);
    *fromImageList = !p.isNull();
    return p;
  }
  return {};
}

QSize TZfWinButton::captionSize() const {
  if (text().isEmpty()) return {};
  const QFontMetrics fm(font());
  return {fm.horizontalAdvance(text()), fm.height()};
}

QColor TZfWinButton::colourOf(uimodel::ButtonColour colour) const {
  using C = uimodel::ButtonColour;
  switch (colour) {
    case C::Face:
      return color();
    case C::Raise:
      return m_raiseCol;
    case C::Black:
      return Qt::black;
    case C::Font:
      return m_fontColor;
    case C::Over:
      return m_overCol;
    case C::Grayed:
      return m_grayedColor;
    case C::FocusDots: {
      const QColor face = color();
      return {255 - face.red(), 255 - face.green(), 255 - face.blue()};
    }
    case C::Highlight:
      return palette().color(QPalette::Active, QPalette::Light);
    case C::Shadow:
      return palette().color(QPalette::Active, QPalette::Dark);
  }
  return {};
}

void TZfWinButton::paintOp(QPainter& p, const uimodel::ButtonPaintOp& op,
                           const QPixmap& glyph) const {
  using Op = uimodel::ButtonPaintOp;
  const QRect r = toQRect(op.rect);
  switch (op.kind) {
    case Op::Fill:
      p.fillRect(r, colourOf(op.colour));
      break;
    case Op::Frame:
      frameRect(p, r, colourOf(op.colour));
      break;
    case Op::DottedFrame:
      dottedFrame(p, r, colourOf(op.colour));
      break;
    case Op::Glyph:
      p.drawPixmap(r.topLeft(), glyph);
      break;
    case Op::GlyphShape:
      p.drawPixmap(r.topLeft(), shapeIn(glyph, colourOf(op.colour)));
      break;
    case Op::Caption:
      p.save();
      p.setFont(font());
      p.setPen(colourOf(op.colour));
      p.drawText(r.topLeft() + QPoint(0, fontMetrics().ascent()), text());
      p.restore();
      break;
  }
}

void TZfWinButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  bool fromList = false;
  const QPixmap glyph = currentGlyph(&fromList);
  const uimodel::ButtonContent content{toModel(size()), toModel(glyph.size()), fromList,
                                       toModel(captionSize())};
  for (const uimodel::ButtonPaintOp& op : model().paintPlan(content, hasFocus()))
    paintOp(p, op, glyph);
}
