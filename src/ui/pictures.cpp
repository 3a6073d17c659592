#include "ui/pictures.h"

#include <QFile>

#include "ui/imagelist.h"
#include "ui/jpegimage.h"

// The resource file sits in a static library: name its initialiser so the
// linker keeps it. Q_INIT_RESOURCE must be used outside any namespace.
static void initPictureResources() {
  Q_INIT_RESOURCE(pictures);
}

namespace pictures {
namespace {

QByteArray readResource(const char* name) {
  static const bool registered = (initPictureResources(), true);
  (void)registered;
  QFile file(QStringLiteral(":/pictures/") + QLatin1String(name));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QPixmap pixmap(const char* name) {
  QPixmap p;
  p.loadFromData(readResource(name), "PNG");
  return p;
}

}  // namespace

ZfImageList* makeMainImageList(QObject* parent) {
  auto* list = new ZfImageList(QSize(32, 32), parent);
  list->addStrip(pixmap("glyphs32.png"));
  return list;
}

QPixmap banner() {
  return pixmap("banner.png");
}
QPixmap logo() {
  return pixmap("logo.png");
}
QPixmap title() {
  return pixmap("title.png");
}
QByteArray aboutPictureJpeg() {
  return readResource("about-left.jpg");
}
QImage aboutPicture() {
  return decodeJpeg(aboutPictureJpeg());
}

}  // namespace pictures
