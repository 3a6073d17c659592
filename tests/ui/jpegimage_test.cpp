// JPEG decoding against Qt's own JPEG reader, and data it must refuse.
#include "ui/jpegimage.h"

#include <QBuffer>
#include <QImageReader>
#include <QtTest>

#include "ui/pictures.h"

namespace {

QByteArray encode(const QImage& image, int quality = 90) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "JPEG", quality);
  return bytes;
}

QImage qtDecode(const QByteArray& bytes) {
  return QImage::fromData(bytes, "JPEG").convertToFormat(QImage::Format_RGB32);
}

// The largest difference of one channel between two images of one size.
int maxDifference(const QImage& a, const QImage& b) {
  int worst = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                        std::abs(qBlue(p) - qBlue(q))});
    }
  return worst;
}

// Sizes that are not multiples of the 8 x 8 blocks by default.
QImage stripes(QImage::Format format, QSize size = QSize(37, 23)) {
  QImage img(size, format);
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      img.setPixelColor(x, y, QColor((x * 7) % 256, (y * 11) % 256, ((x + y) * 5) % 256));
  return img;
}

}  // namespace

class JpegImageTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    if (!QImageReader::supportedImageFormats().contains("jpeg"))
      QSKIP("Qt's JPEG plugin is not installed: no reference decoder");
  }

  void matchesTheReferenceDecoder_data() {
    QTest::addColumn<QByteArray>("jpeg");
    QTest::newRow("embedded left picture") << pictures::aboutPictureJpeg();
    QTest::newRow("colour, odd size") << encode(stripes(QImage::Format_RGB32));
    QTest::newRow("grey") << encode(
        stripes(QImage::Format_RGB32).convertToFormat(QImage::Format_Grayscale8));
    QTest::newRow("low quality") << encode(stripes(QImage::Format_RGB32), 10);
  }
  void matchesTheReferenceDecoder() {
    QFETCH(QByteArray, jpeg);
    QVERIFY(!jpeg.isEmpty());
    const QImage ours = decodeJpeg(jpeg);
    const QImage reference = qtDecode(jpeg);
    QVERIFY(!ours.isNull());
    QCOMPARE(ours.size(), reference.size());
    QVERIFY(maxDifference(ours, reference) <= 2);
  }

  void embeddedPictureIsTheTallLeftPicture() {
    const QImage picture = pictures::aboutPicture();
    QCOMPARE(picture.size(), QSize(130, 460));
  }

  // --- Refused data --------------------------------------------------------

  void refusesWhatIsNotAJpeg_data() {
    QTest::addColumn<QByteArray>("data");
    const QByteArray good = encode(stripes(QImage::Format_RGB32));
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("text") << QByteArray("not a picture at all");
    QTest::newRow("start marker only") << QByteArray("\xFF\xD8", 2);
    QTest::newRow("header cut short") << good.left(40);
    QByteArray noStart = good;
    noStart[1] = '\x00';  // no start-of-image marker
    QTest::newRow("no start of image") << noStart;
  }
  void refusesWhatIsNotAJpeg() {
    QFETCH(QByteArray, data);
    QVERIFY(decodeJpeg(data).isNull());
  }

  void dataEndingEarlyDecodesAtFullSize() {
    // Large enough that the cut falls well inside the picture data.
    const QByteArray good = encode(stripes(QImage::Format_RGB32, QSize(240, 180)));
    const QImage cut = decodeJpeg(good.left(good.size() * 2 / 3));
    QCOMPARE(cut.size(), QSize(240, 180));
  }
};

QTEST_MAIN(JpegImageTest)
#include "jpegimage_test.moc"
