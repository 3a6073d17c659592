// Conversions between the windows' model types (ui/model/geometry.h) and
// Qt's, for the views that render the models.
#pragma once

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "ui/model/geometry.h"

inline QRect toQRect(uimodel::Rect r) {
  return {r.x, r.y, r.width, r.height};
}
inline QPoint toQPoint(uimodel::Point p) {
  return {p.x, p.y};
}
inline QSize toQSize(uimodel::Size s) {
  return {s.width, s.height};
}
inline uimodel::Point toModel(QPoint p) {
  return {p.x(), p.y()};
}
inline uimodel::Size toModel(QSize s) {
  return {s.width(), s.height()};
}
inline QColor toQColor(uimodel::Rgb c) {
  return {c.red, c.green, c.blue};
}
inline QString toQString(const std::string& s) {
  return QString::fromStdString(s);
}
inline QStringList toQStringList(const std::vector<std::string>& lines) {
  QStringList out;
  out.reserve(static_cast<qsizetype>(lines.size()));
  for (const std::string& line : lines) out.append(QString::fromStdString(line));
  return out;
}
inline std::vector<std::string> toModel(const QStringList& lines) {
  std::vector<std::string> out;
  out.reserve(static_cast<std::size_t>(lines.size()));
  for (const QString& line : lines) out.push_back(line.toStdString());
  return out;
}

// The model's name of a Qt key code (Qt::Key).
inline uimodel::Key toModelKey(int key) {
  switch (key) {
    case Qt::Key_Space:
      return uimodel::Key::Space;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return uimodel::Key::Enter;
    case Qt::Key_Escape:
      return uimodel::Key::Escape;
    case Qt::Key_T:
      return uimodel::Key::T;
    default:
      return uimodel::Key::Other;
  }
}

// The modifier keys held, as the model's bits (the keypad flag is no key).
inline unsigned toModelModifiers(Qt::KeyboardModifiers mods) {
  unsigned out = uimodel::kNoModifier;
  if (mods & Qt::ShiftModifier) out |= uimodel::kShift;
  if (mods & Qt::ControlModifier) out |= uimodel::kControl;
  if (mods & Qt::AltModifier) out |= uimodel::kAlt;
  if (mods & Qt::MetaModifier) out |= uimodel::kMeta;
  return out;
}
