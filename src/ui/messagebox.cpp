#include "ui/messagebox.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

namespace {

// The two icons as Windows shows them: a white "i" on a blue disc for
// information, a white cross on a red disc for an error. The style's own
// icons differ from desktop to desktop, down to a speech bubble.
QPixmap standardIcon(QMessageBox::Icon icon) {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const bool error = icon == QMessageBox::Critical;
  p.setPen(QPen(error ? QColor(160, 20, 20) : QColor(20, 60, 160), 1));
  p.setBrush(error ? QColor(220, 40, 40) : QColor(40, 100, 220));
  p.drawEllipse(QRectF(1.5, 1.5, 29, 29));
  p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
  if (error) {
    p.drawLine(QPointF(10.5, 10.5), QPointF(21.5, 21.5));
    p.drawLine(QPointF(21.5, 10.5), QPointF(10.5, 21.5));
  } else {
    p.drawPoint(QPointF(16, 9));
    p.drawLine(QPointF(16, 15), QPointF(16, 24));
  }
  return pixmap;
}

}  // namespace

std::unique_ptr<QMessageBox> makeMessageBox(QMessageBox::Icon icon, const QString& caption,
                                            const QString& text, QWidget* parent) {
  auto box = std::make_unique<QMessageBox>(icon, caption, text, QMessageBox::Ok, parent);
  box->setWindowModality(Qt::ApplicationModal);
  box->setTextFormat(Qt::PlainText);
  if (icon == QMessageBox::Information || icon == QMessageBox::Critical)
    box->setIconPixmap(standardIcon(icon));
  // A Windows message box's button carries its text only.
  if (QAbstractButton* ok = box->button(QMessageBox::Ok)) ok->setIcon(QIcon());
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
