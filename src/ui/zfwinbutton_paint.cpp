// TZfWinButton: the painting. Rectangles follow the classic convention: a
// rectangle (l,t)-(r,b) covers the pixels l..r-1 and t..b-1.
#include <QPainter>

#include "ui/imagelist.h"
#include "ui/zfwinbutton.h"

namespace {

void fillArea(QPainter& p, int l, int t, int r, int b, const QColor& c) {
  p.fillRect(QRect(QPoint(l, t), QPoint(r - 1, b - 1)), c);
}

// A one-pixel frame just inside (l,t)-(r,b).
void frameRect(QPainter& p, int l, int t, int r, int b, const QColor& c) {
  fillArea(p, l, t, r, t + 1, c);
  fillArea(p, l, b - 1, r, b, c);
  fillArea(p, l, t, l + 1, b, c);
  fillArea(p, r - 1, t, r, b, c);
}

// The checkerboard pixels of the frame inside (l,t)-(r,b), in the inverse of
// the face: what an exclusive-or focus rectangle leaves on a plain face.
void dottedFrame(QPainter& p, int l, int t, int r, int b, const QColor& face) {
  const QColor c(255 - face.red(), 255 - face.green(), 255 - face.blue());
  auto dot = [&](int x, int y) {
    if ((x + y) % 2 == 0) p.fillRect(x, y, 1, 1, c);
  };
  for (int x = l; x < r; ++x) {
    dot(x, t);
    dot(x, b - 1);
  }
  for (int y = t + 1; y < b - 1; ++y) {
    dot(l, y);
    dot(r - 1, y);
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

ButtonContentLayout layoutButtonContent(QSize button, QSize glyph, QSize caption,
                                        GlyphAlign align) {
  const int W = button.width(), H = button.height();
  const int gw = glyph.width(), gh = glyph.height();
  const int tw = caption.width(), th = caption.height();
  const bool hasGlyph = !glyph.isEmpty(), hasCaption = !caption.isEmpty();
  ButtonContentLayout out;
  if (hasGlyph && hasCaption) {
    switch (align) {
      case GlyphAlign::poLeft: {
        const int gx = W / 2 - (gw + tw) / 2;
        out.glyph = QRect(gx, H / 2 - gh / 2, gw, gh);
        out.caption = QRect(gx + gw + 4, H / 2 - th / 2, tw, th);
        break;
      }
      case GlyphAlign::poRight: {
        const int cx = W / 2 - (gw + tw) / 2 - 1;
        out.caption = QRect(cx, H / 2 - th / 2, tw, th);
        out.glyph = QRect(cx + tw + 5, H / 2 - gh / 2, gw, gh);
        break;
      }
      case GlyphAlign::poTop: {
        const int top = (H - (gh + 3 + th)) / 2;
        out.glyph = QRect((W - gw) / 2, top, gw, gh);
        out.caption = QRect((W - tw) / 2, top + gh + 3, tw, th);
        break;
      }
      case GlyphAlign::poBottom: {
        const int top = (H - (th + 3 + gh)) / 2;
        out.caption = QRect((W - tw) / 2, top, tw, th);
        out.glyph = QRect((W - gw) / 2, top + th + 3, gw, gh);
        break;
      }
    }
  } else if (hasGlyph) {
    out.glyph = QRect((W - gw) / 2, (H - gh) / 2, gw, gh);
  } else if (hasCaption) {
    out.caption = QRect((W - tw) / 2, (H - th) / 2, tw, th);
  }
  return out;
}

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
  if (!m_showCaption || text().isEmpty()) return {};
  const QFontMetrics fm(font());
  return {fm.horizontalAdvance(text()), fm.height()};
}

void TZfWinButton::paintCaption(QPainter& p, int d, const QColor& captionColor) const {
  bool fromList = false;
  const QPixmap glyph = currentGlyph(&fromList);
  const ButtonContentLayout at = layoutButtonContent(size(), glyph.size(), captionSize(), m_align);
  if (at.caption.isEmpty()) return;
  p.save();
  p.setFont(font());
  p.setPen(captionColor);
  p.drawText(at.caption.topLeft() + QPoint(d, d + fontMetrics().ascent()), text());
  p.restore();
}

void TZfWinButton::paintContent(QPainter& p, int d, const QColor& captionColor) const {
  bool fromList = false;
  const QPixmap glyph = currentGlyph(&fromList);
  const ButtonContentLayout at = layoutButtonContent(size(), glyph.size(), captionSize(), m_align);
  if (!at.glyph.isEmpty()) {
    const QPoint g = at.glyph.topLeft() + QPoint(d, d);
    if (fromList && !isEnabled()) {
      p.drawPixmap(g + QPoint(1, 1),
                   shapeIn(glyph, palette().color(QPalette::Active, QPalette::Light)));
      p.drawPixmap(g, shapeIn(glyph, palette().color(QPalette::Active, QPalette::Dark)));
    } else {
      p.drawPixmap(g, glyph);
    }
  }
  paintCaption(p, d, captionColor);
}

void TZfWinButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const int W = width(), H = height();
  const QColor face = color();
  const QColor disabledCaption = m_grayedColor;
  fillArea(p, 1, 1, W - 1, H - 1, face);
  if (!m_pressed) {
    frameRect(p, 0, 0, W, H, Qt::black);
    frameRect(p, 0, 0, W - 1, H - 1, Qt::black);
    paintContent(p, 0, isEnabled() ? m_fontColor : disabledCaption);
    fillArea(p, 0, 0, 2, H - 1, m_raiseCol);
    fillArea(p, 0, 0, W - 1, 2, m_raiseCol);
  } else {
    paintContent(p, 2, isEnabled() ? m_overCol : disabledCaption);
    frameRect(p, 0, 0, W, H, Qt::black);
  }
  if (hasFocus() && m_tabStop) {
    frameRect(p, 0, 0, W, H, Qt::black);
    dottedFrame(p, 3, 3, W - 3, H - 3, face);
    if (!m_pressed && m_showCaption) paintCaption(p, 0, m_overCol);
  } else if (m_hot && !m_pressed && isEnabled()) {
    paintCaption(p, 0, m_overCol);
  }
}
