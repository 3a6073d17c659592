#include "ui/secretpanel.h"

#include <QPainter>

namespace {
constexpr int kPictureGap = 6;
}

TSecretPanel::TSecretPanel(QWidget* parent) : QWidget(parent) {
  setAutoFillBackground(true);
  m_timer.setInterval(kStepMs);
  connect(&m_timer, &QTimer::timeout, this, &TSecretPanel::step);
}

void TSecretPanel::setLines(const QStringList& lines) {
  m_lines = lines;
  m_offset = 0;
  update();
}

void TSecretPanel::setPicture(const QPixmap& picture) {
  m_picture = picture;
  update();
}

void TSecretPanel::setTextColor(const QColor& c) {
  m_textColor = c;
  update();
}

void TSecretPanel::setActive(bool on) {
  if (on)
    m_timer.start();
  else
    m_timer.stop();
}

int TSecretPanel::contentHeight() const {
  const int picture = m_picture.isNull() ? 0 : m_picture.height() + kPictureGap;
  return picture + static_cast<int>(m_lines.size()) * fontMetrics().height();
}

void TSecretPanel::step() {
  // The text enters at the bottom edge and has gone once it has travelled
  // the panel's height and its own.
  if (++m_offset > height() + contentHeight()) m_offset = 0;
  update();
}

void TSecretPanel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  int y = height() - m_offset;
  if (!m_picture.isNull()) {
    p.drawPixmap((width() - m_picture.width()) / 2, y, m_picture);
    y += m_picture.height() + kPictureGap;
  }
  p.setPen(m_textColor);
  const int lineHeight = fontMetrics().height();
  for (const QString& line : m_lines) {
    if (y + lineHeight > 0 && y < height())
      p.drawText(QRect(0, y, width(), lineHeight), Qt::AlignHCenter | Qt::AlignVCenter, line);
    y += lineHeight;
  }
}
