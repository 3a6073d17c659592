// A list of equally sized glyphs that buttons pick by index.
#pragma once

#include <QList>
#include <QObject>
#include <QPixmap>
#include <QSize>

class ZfImageList : public QObject {
  Q_OBJECT

 public:
  explicit ZfImageList(QSize imageSize, QObject* parent = nullptr)
      : QObject(parent), m_size(imageSize) {}

  // Cuts a horizontal strip into images of imageSize(), left to right; a
  // partial image at the right end is dropped.
  void addStrip(const QPixmap& strip) {
    for (int x = 0; x + m_size.width() <= strip.width(); x += m_size.width())
      m_images.append(strip.copy(x, 0, m_size.width(), m_size.height()));
  }
  void add(const QPixmap& image) { m_images.append(image); }

  QSize imageSize() const { return m_size; }
  int count() const { return static_cast<int>(m_images.size()); }
  // The image at index, or a null pixmap when index is out of range.
  QPixmap image(int index) const {
    return index >= 0 && index < count() ? m_images.at(index) : QPixmap();
  }

 private:
  QSize m_size;
  QList<QPixmap> m_images;
};
