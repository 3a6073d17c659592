#include "ui/messagebox.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <algorithm>

std::unique_ptr<QMessageBox> makeMessageBox(QMessageBox::Icon icon, const QString& caption,
                                            const QString& text, QWidget* parent) {
  auto box = std::make_unique<QMessageBox>(icon, caption, text, QMessageBox::Ok, parent);
  box->setWindowModality(Qt::ApplicationModal);
  box->setTextFormat(Qt::PlainText);
  if (auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
    const QFontMetrics metrics(label->font());
    int widest = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
      widest = std::max(widest, metrics.horizontalAdvance(line));
    int limit = kMaxMessageTextWidth;
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
      limit = std::min(limit, screen->availableGeometry().width() - 120);
    // The box wraps at the label's minimum width at the least.
    label->setMinimumWidth(std::min(widest + 2, std::max(limit, 0)));
  }
  return box;
}
