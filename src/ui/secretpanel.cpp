#include "ui/secretpanel.h"

#include <QPainter>

#include "ui/modeltypes.h"

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

uimodel::ScrollText TSecretPanel::scrollText() const {
  return {toModel(size()), m_picture.isNull() ? uimodel::Size{} : toModel(m_picture.size()),
          static_cast<int>(m_lines.size()), fontMetrics().height()};
}

void TSecretPanel::step() {
  m_offset = scrollText().nextOffset(m_offset);
  update();
}

void TSecretPanel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const uimodel::ScrollText::Placement at = scrollText().place(m_offset);
  if (!m_picture.isNull()) p.drawPixmap(toQRect(at.picture).topLeft(), m_picture);
  p.setPen(m_textColor);
  for (const uimodel::ScrollText::Placement::Line& line : at.lines)
    p.drawText(toQRect(line.rect), Qt::AlignHCenter | Qt::AlignVCenter, m_lines.at(line.index));
}
