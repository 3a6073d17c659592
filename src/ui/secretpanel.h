// TSecretPanel: a panel whose lines of text, under a small picture, move
// upward one pixel per step and start again from the bottom after the last
// line has gone. It steps every 50 ms while it is active. The arithmetic is
// uimodel::ScrollText's (ui/model/scrolltext.h).
#pragma once

#include <QPixmap>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include "ui/model/scrolltext.h"

class TSecretPanel : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kStepMs = uimodel::ScrollText::kStepMs;

  explicit TSecretPanel(QWidget* parent = nullptr);

  QStringList lines() const { return m_lines; }
  void setLines(const QStringList& lines);
  void setPicture(const QPixmap& picture);
  void setTextColor(const QColor& c);

  // Starts or stops the stepping; the position is kept.
  void setActive(bool on);
  bool isActive() const { return m_timer.isActive(); }

  // Moves the text up one pixel; after the last line has left the top, the
  // text starts again just below the bottom.
  void step();
  // How far the text has moved up since it last started from the bottom.
  int offset() const { return m_offset; }
  // Height of the picture and all lines together.
  int contentHeight() const { return scrollText().contentHeight(); }

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  uimodel::ScrollText scrollText() const;

  QStringList m_lines;
  QPixmap m_picture;
  QColor m_textColor{Qt::white};
  QTimer m_timer;
  int m_offset = 0;
};
