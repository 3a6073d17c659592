// Draws the program's pictures into a folder: the banner down the main
// window's left side, the 32 x 32 button glyphs as one strip, the logo, the
// title image, the about box's left picture (a JPEG) and the program's icon.
//
//   QT_QPA_PLATFORM=offscreen make-pictures <folder>
//
// The results are kept in the repository beside this file; run it again
// only to change a picture.
#include <QDir>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cstdio>

namespace {

const QColor kNavy(16, 40, 96);
const QColor kSea(0, 110, 160);
const QColor kGold(240, 190, 60);

QFont sans(int pixels, bool bold = true) {
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPixelSize(pixels);
  f.setBold(bold);
  return f;
}

QImage banner() {
  QImage img(180, 526, QImage::Format_RGB32);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, img.height());
  sky.setColorAt(0, kNavy);
  sky.setColorAt(1, kSea);
  p.fillRect(img.rect(), sky);
  // Faint ledger lines between the caption and the maker's name; nothing
  // runs behind a text.
  p.setPen(QColor(255, 255, 255, 28));
  for (int y = 98; y < 470; y += 18) p.drawLine(10, y, 170, y);
  // Two calendar leaves: the old year carried into the new one.
  auto leaf = [&](QRectF r, const QString& year, QColor top) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawRoundedRect(r.translated(4, 4), 8, 8);
    p.setBrush(Qt::white);
    p.drawRoundedRect(r, 8, 8);
    p.setBrush(top);
    p.drawRoundedRect(QRectF(r.left(), r.top(), r.width(), 26), 8, 8);
    p.drawRect(QRectF(r.left(), r.top() + 14, r.width(), 12));
    p.setPen(kNavy);
    p.setFont(sans(30));
    p.drawText(r.adjusted(0, 26, 0, 0), Qt::AlignCenter, year);
  };
  leaf(QRectF(30, 120, 120, 100), QStringLiteral("Eski"), QColor(150, 150, 160));
  p.setPen(QPen(kGold, 6, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(90, 236, 90, 282);
  p.setBrush(kGold);
  p.setPen(Qt::NoPen);
  p.drawPolygon(QPolygonF{{74, 278}, {106, 278}, {90, 300}});
  leaf(QRectF(30, 312, 120, 100), QStringLiteral("Yeni"), kGold);
  p.setPen(Qt::white);
  p.setFont(sans(18));
  p.drawText(QRect(0, 30, 180, 30), Qt::AlignCenter, QStringLiteral("KMX"));
  p.setFont(sans(13));
  p.drawText(QRect(0, 58, 180, 24), Qt::AlignCenter, QStringLiteral("Devir - Upgrade"));
  p.setPen(QColor(255, 255, 255, 160));
  p.setFont(sans(11, false));
  p.drawText(QRect(0, 480, 180, 24), Qt::AlignCenter, QStringLiteral("ZEFIRTAK"));
  return img;
}

// One glyph of the strip, drawn into a 32 x 32 cell.
void glyph(QPainter& p, int index) {
  p.save();
  p.translate(index * 32, 0);
  p.setRenderHint(QPainter::Antialiasing);
  const QPen outline(QColor(30, 30, 60), 1.5);
  switch (index) {
    case 0: {  // run: two turning arrows
      p.setPen(QPen(QColor(20, 130, 40), 4, Qt::SolidLine, Qt::RoundCap));
      p.drawArc(QRectF(6, 6, 20, 20), 30 * 16, 150 * 16);
      p.drawArc(QRectF(6, 6, 20, 20), 210 * 16, 150 * 16);
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(20, 130, 40));
      p.drawPolygon(QPolygonF{{2, 14}, {12, 14}, {7, 20}});
      p.drawPolygon(QPolygonF{{20, 18}, {30, 18}, {25, 12}});
      break;
    }
    case 1: {  // folder
      p.setPen(outline);
      p.setBrush(QColor(240, 200, 80));
      p.drawRect(QRectF(3, 8, 12, 5));
      p.drawRect(QRectF(3, 11, 26, 16));
      break;
    }
    case 2: {  // tick
      p.setPen(QPen(QColor(20, 140, 40), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.drawPolyline(QPolygonF{{6, 17}, {13, 25}, {27, 8}});
      break;
    }
    case 3:    // help: question mark in a blue disc
    case 4: {  // information: "i" in a blue disc
      QRadialGradient disc(12, 12, 18);
      disc.setColorAt(0, QColor(120, 180, 255));
      disc.setColorAt(1, QColor(20, 70, 180));
      p.setPen(outline);
      p.setBrush(disc);
      p.drawEllipse(QRectF(2, 2, 28, 28));
      p.setPen(Qt::white);
      p.setFont(sans(20));
      p.drawText(QRect(0, 0, 32, 32), Qt::AlignCenter,
                 index == 3 ? QStringLiteral("?") : QStringLiteral("i"));
      break;
    }
    case 5: {  // close: door with an arrow going out
      p.setPen(outline);
      p.setBrush(QColor(150, 90, 40));
      p.drawRect(QRectF(4, 3, 14, 26));
      p.setBrush(QColor(240, 200, 80));
      p.drawEllipse(QRectF(14, 15, 3, 3));
      p.setPen(QPen(QColor(200, 30, 30), 4, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(19, 16), QPointF(27, 16));
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(200, 30, 30));
      p.drawPolygon(QPolygonF{{25, 10}, {31, 16}, {25, 22}});
      break;
    }
    case 6: {  // disk
      p.setPen(outline);
      p.setBrush(QColor(40, 70, 150));
      p.drawRect(QRectF(4, 4, 24, 24));
      p.setBrush(Qt::white);
      p.drawRect(QRectF(8, 4, 16, 9));
      p.setBrush(QColor(200, 200, 210));
      p.drawRect(QRectF(9, 18, 14, 10));
      break;
    }
    case 7: {  // warning triangle
      p.setPen(outline);
      p.setBrush(QColor(250, 200, 30));
      p.drawPolygon(QPolygonF{{16, 3}, {30, 28}, {2, 28}});
      p.setPen(QColor(30, 30, 30));
      p.setFont(sans(16));
      p.drawText(QRect(0, 8, 32, 22), Qt::AlignCenter, QStringLiteral("!"));
      break;
    }
    case 8: {  // contact: envelope and telephone receiver
      p.setPen(outline);
      p.setBrush(Qt::white);
      p.drawRect(QRectF(2, 9, 22, 16));
      p.drawPolyline(QPolygonF{{2, 9}, {13, 18}, {24, 9}});
      QPainterPath receiver;
      receiver.moveTo(20, 20);
      receiver.cubicTo(22, 31, 31, 31, 31, 26);
      receiver.lineTo(27, 23);
      receiver.lineTo(25, 26);
      receiver.cubicTo(24, 25, 24, 24, 23, 23);
      receiver.lineTo(25, 20);
      receiver.closeSubpath();
      p.setBrush(QColor(200, 30, 30));
      p.drawPath(receiver);
      break;
    }
    case 9: {  // calendar
      p.setPen(outline);
      p.setBrush(Qt::white);
      p.drawRect(QRectF(4, 6, 24, 22));
      p.setBrush(QColor(200, 30, 30));
      p.drawRect(QRectF(4, 6, 24, 6));
      p.setPen(QColor(30, 30, 60));
      p.setFont(sans(10));
      p.drawText(QRect(4, 12, 24, 16), Qt::AlignCenter, QStringLiteral("31"));
      break;
    }
    default:
      break;
  }
  p.restore();
}

QImage glyphStrip() {
  QImage img(320, 32, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  for (int i = 0; i < 10; ++i) glyph(p, i);
  return img;
}

QImage logo() {
  QImage img(64, 64, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QRadialGradient disc(24, 22, 40);
  disc.setColorAt(0, kSea.lighter(150));
  disc.setColorAt(1, kNavy);
  p.setPen(QPen(kGold, 3));
  p.setBrush(disc);
  p.drawEllipse(QRectF(3, 3, 58, 58));
  p.setPen(QPen(Qt::white, 6, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  p.drawPolyline(QPolygonF{{20, 20}, {44, 20}, {20, 44}, {44, 44}});
  return img;
}

// The program's icon on the desktop, 64 x 64: the banner's two calendar
// leaves, the old year carried into the new one.
QImage icon() {
  QImage img(64, 64, QImage::Format_ARGB32);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, 64);
  sky.setColorAt(0, kNavy);
  sky.setColorAt(1, kSea);
  p.setPen(Qt::NoPen);
  p.setBrush(sky);
  p.drawRoundedRect(QRectF(2, 2, 60, 60), 10, 10);
  auto leaf = [&](QRectF r, QColor top) {
    p.setBrush(Qt::white);
    p.drawRoundedRect(r, 3, 3);
    p.setBrush(top);
    p.drawRoundedRect(QRectF(r.left(), r.top(), r.width(), 7), 3, 3);
    p.drawRect(QRectF(r.left(), r.top() + 4, r.width(), 3));
  };
  leaf(QRectF(8, 8, 26, 22), QColor(150, 150, 160));
  leaf(QRectF(30, 34, 26, 22), kGold);
  p.setPen(QPen(kGold, 3, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(21, 33), QPointF(21, 45));
  p.drawLine(QPointF(21, 45), QPointF(25, 45));
  p.setPen(Qt::NoPen);
  p.setBrush(kGold);
  p.drawPolygon(QPolygonF{QPointF(24, 40), QPointF(30, 45), QPointF(24, 50)});
  return img;
}

QImage title() {
  QImage img(109, 27, QImage::Format_RGB32);
  QPainter p(&img);
  QLinearGradient band(0, 0, img.width(), 0);
  band.setColorAt(0, kNavy);
  band.setColorAt(0.6, kSea);
  band.setColorAt(1, QColor(120, 200, 230));
  p.fillRect(img.rect(), band);
  p.fillRect(QRect(0, 24, 109, 3), kGold);
  return img;
}

QImage aboutPicture() {
  QImage img(130, 460, QImage::Format_RGB32);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient dusk(0, 0, 0, img.height());
  dusk.setColorAt(0, QColor(10, 20, 60));
  dusk.setColorAt(0.55, QColor(40, 90, 150));
  dusk.setColorAt(1, QColor(230, 170, 90));
  p.fillRect(img.rect(), dusk);
  // A sun going down behind columns of figures: the year's close.
  QRadialGradient sun(65, 330, 60);
  sun.setColorAt(0, QColor(255, 230, 150));
  sun.setColorAt(1, QColor(255, 180, 80, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(sun);
  p.drawEllipse(QPointF(65, 330), 60, 60);
  p.setBrush(QColor(20, 30, 60, 200));
  const int heights[] = {90, 150, 120, 200, 170, 110};
  for (int i = 0; i < 6; ++i) p.drawRect(QRectF(4 + i * 21, 460 - heights[i], 17, heights[i]));
  p.setPen(QColor(255, 255, 255, 210));
  p.setFont(sans(20));
  p.drawText(QRect(0, 24, 130, 30), Qt::AlignCenter, QStringLiteral("KMX"));
  p.setFont(sans(11, false));
  p.drawText(QRect(0, 52, 130, 20), Qt::AlignCenter, QStringLiteral("ZEFIRTAK"));
  return img;
}

bool save(const QImage& img, const QDir& dir, const char* name, const char* format,
          int quality = -1) {
  const QString path = dir.filePath(QString::fromLatin1(name));
  if (img.save(path, format, quality)) return true;
  std::fprintf(stderr, "make-pictures: cannot write %s\n", qPrintable(path));
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-pictures <folder>\n");
    return 2;
  }
  const QDir dir(QString::fromLocal8Bit(argv[1]));
  bool ok = save(banner(), dir, "banner.png", "PNG");
  ok = save(glyphStrip(), dir, "glyphs32.png", "PNG") && ok;
  ok = save(logo(), dir, "logo.png", "PNG") && ok;
  ok = save(icon(), dir, "upgrade-devir.png", "PNG") && ok;
  ok = save(title(), dir, "title.png", "PNG") && ok;
  ok = save(aboutPicture(), dir, "about-left.jpg", "JPEG", 85) && ok;
  return ok ? 0 : 1;
}
