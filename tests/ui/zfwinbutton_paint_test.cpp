// Pixels of the owner-drawn button in each look: the view draws the model's
// paint plan (tests/ui/model/button_test.cpp) with the right colours.
#include <QApplication>
#include <QFocusEvent>
#include <QPainter>
#include <QtTest>

#include "ui/imagelist.h"
#include "ui/zfwinbutton.h"

namespace {

const QColor kFace(0, 128, 0);
const QColor kRaise(255, 255, 255);
const QColor kCaption(200, 0, 0);
const QColor kOver(0, 0, 200);
const QColor kGrey(90, 90, 90);
const QColor kGlyph(255, 0, 255);

enum class Px { Face, Raise, Black };

QColor expected(Px p) {
  switch (p) {
    case Px::Face:
      return kFace;
    case Px::Raise:
      return kRaise;
    case Px::Black:
      return Qt::black;
  }
  return {};
}

// A button with distinct colours for every part, laid out in its own window.
struct Fixture {
  QWidget window;
  TZfWinButton* button;
  explicit Fixture(const QString& caption = QString()) : button(new TZfWinButton(&window)) {
    window.resize(200, 100);
    button->setGeometry(10, 10, 100, 30);
    button->setColor(kFace);
    button->setRaiseCol(kRaise);
    button->setFontColor(kCaption);
    button->setOverCol(kOver);
    button->setGrayedColor(kGrey);
    button->setText(caption);
  }
  QImage grab() { return button->grab().toImage().convertToFormat(QImage::Format_RGB32); }
  // Presses the button with the left mouse button and leaves it held.
  void press() {
    QMouseEvent e(QEvent::MouseButtonPress, QPointF(50, 15), button->mapToGlobal(QPointF(50, 15)),
                  Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(button, &e);
  }
};

int countColour(const QImage& img, const QColor& c) {
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (img.pixelColor(x, y) == c) ++n;
  return n;
}

QRect boundsOf(const QImage& img, const QColor& c) {
  QRect r;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (img.pixelColor(x, y) == c) r |= QRect(x, y, 1, 1);
  return r;
}

// A glyph with an alpha channel (one see-through corner pixel), so that no
// colour of it is taken as the transparent one.
QPixmap solid(QSize size, const QColor& c) {
  QImage img(size, QImage::Format_ARGB32);
  img.fill(c);
  img.setPixelColor(0, 0, Qt::transparent);
  return QPixmap::fromImage(img);
}

}  // namespace

class ZfWinButtonPaintTest : public QObject {
  Q_OBJECT

 private slots:
  void frames_data() {
    QTest::addColumn<bool>("pressed");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<int>("px");
    const int W = 100, H = 30;
    auto row = [](const char* name, bool pressed, QPoint at, Px px) {
      QTest::newRow(name) << pressed << at << int(px);
    };
    // Normal look: raised strips on the left and the top, two dark pixels on
    // the right and bottom.
    row("normal top-left corner", false, {0, 0}, Px::Raise);
    row("normal top strip reaches W-2", false, {W - 2, 1}, Px::Raise);
    row("normal right outer column", false, {W - 1, 0}, Px::Black);
    row("normal bottom inner row", false, {50, H - 2}, Px::Black);
    row("normal bottom-left corner", false, {0, H - 1}, Px::Black);
    row("normal face inside the strips", false, {2, 2}, Px::Face);
    // Pressed look: one black frame, the face right up to it.
    row("pressed top-left corner", true, {0, 0}, Px::Black);
    row("pressed right edge", true, {W - 1, 15}, Px::Black);
    row("pressed face at 1,1", true, {1, 1}, Px::Face);
    row("pressed face at W-2,H-2", true, {W - 2, H - 2}, Px::Face);
  }
  void frames() {
    QFETCH(bool, pressed);
    QFETCH(QPoint, at);
    QFETCH(int, px);
    Fixture f;
    f.button->setTabStop(false);  // no focus mark on top
    if (pressed) f.press();
    QCOMPARE(f.button->isPressedLook(), pressed);
    QCOMPARE(f.grab().pixelColor(at), expected(Px(px)));
  }

  void contentShiftsByTwoWhenPressed() {
    Fixture f;
    f.button->setTabStop(false);
    f.button->setShowCaption(false);
    f.button->setGlpyh(solid({10, 10}, kGlyph));
    const QRect normal = boundsOf(f.grab(), kGlyph);
    QCOMPARE(normal, QRect(45, 10, 10, 10));  // centred: (100-10)/2, (30-10)/2
    f.press();
    QCOMPARE(boundsOf(f.grab(), kGlyph), normal.translated(2, 2));
  }

  void captionColourFollowsTheLook() {
    Fixture f(QStringLiteral("Kapat"));
    f.button->setTabStop(false);
    QImage normal = f.grab();
    QVERIFY(countColour(normal, kCaption) > 0);
    QCOMPARE(countColour(normal, kOver), 0);
    const QRect normalText = boundsOf(normal, kCaption);

    f.press();
    QImage pressed = f.grab();
    QCOMPARE(countColour(pressed, kCaption), 0);
    QCOMPARE(boundsOf(pressed, kOver), normalText.translated(2, 2));
  }

  void disabledCaptionUsesTheGreyFontColour() {
    Fixture f(QStringLiteral("Yardım"));
    f.button->setEnabled(false);
    QImage img = f.grab();
    QVERIFY(countColour(img, kGrey) > 0);
    QCOMPARE(countColour(img, kCaption), 0);
  }

  void focusMarkAndHotCaption() {
    Fixture f(QStringLiteral("Tamam"));
    f.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.window));
    f.window.activateWindow();
    f.button->setFocus();
    QTRY_VERIFY(f.button->hasFocus());
    QImage img = f.grab();
    const QColor inverse(255 - kFace.red(), 255 - kFace.green(), 255 - kFace.blue());
    QCOMPARE(img.pixelColor(3, 3), inverse);  // dotted rectangle 3 pixels inside
    QCOMPARE(img.pixelColor(4, 3), kFace);
    QCOMPARE(img.pixelColor(5, 3), inverse);
    QCOMPARE(img.pixelColor(96, 26), inverse);
    QVERIFY(countColour(img, kOver) > 0);               // caption drawn again in OverCol
    QCOMPARE(img.pixelColor(0, 0), QColor(Qt::black));  // frame over the strips

    // Without focus, entering the button gives the hot caption.
    f.button->clearFocus();
    QTRY_VERIFY(!f.button->hasFocus());
    QCOMPARE(countColour(f.grab(), kOver), 0);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(f.button, &enter);
    QVERIFY(countColour(f.grab(), kOver) > 0);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(f.button, &leave);
    QCOMPARE(countColour(f.grab(), kOver), 0);
  }

  void disabledImageListGlyphIsEmbossed() {
    Fixture f;
    f.button->setTabStop(false);
    f.button->setShowCaption(false);
    ZfImageList list(QSize(8, 8));
    list.add(solid({8, 8}, kGlyph));
    f.button->setImages(&list);
    f.button->setImageIndex(0);
    QCOMPARE(boundsOf(f.grab(), kGlyph), QRect(46, 11, 8, 8));

    f.button->setEnabled(false);
    QImage img = f.grab();
    const QColor light = f.button->palette().color(QPalette::Active, QPalette::Light);
    const QColor dark = f.button->palette().color(QPalette::Active, QPalette::Dark);
    QCOMPARE(countColour(img, kGlyph), 0);
    QCOMPARE(img.pixelColor(47, 12).rgb(), dark.rgb());   // shadow copy at the glyph's place
    QCOMPARE(img.pixelColor(54, 19).rgb(), light.rgb());  // highlight copy 1 right and down
    QCOMPARE(img.pixelColor(54, 11), kFace);

    // An own glyph is drawn as it is, also when disabled.
    f.button->setGlpyh(solid({8, 8}, kCaption));
    QCOMPARE(boundsOf(f.grab(), kCaption), QRect(46, 11, 8, 8));
  }

  void plainGlyphTakesBottomLeftAsTransparent() {
    QImage img(6, 6, QImage::Format_RGB32);
    img.fill(QColor(0, 255, 0));
    img.setPixelColor(2, 2, kGlyph);
    Fixture f;
    f.button->setTabStop(false);
    f.button->setShowCaption(false);
    f.button->setGlpyh(QPixmap::fromImage(img));
    QImage shot = f.grab();
    QCOMPARE(countColour(shot, QColor(0, 255, 0)), 0);
    QCOMPARE(boundsOf(shot, kGlyph), QRect(47 + 2, 12 + 2, 1, 1));
  }

  void forgetsADestroyedImageList() {
    Fixture f;
    auto* list = new ZfImageList(QSize(8, 8));
    list->add(solid({8, 8}, kGlyph));
    f.button->setImages(list);
    f.button->setImageIndex(0);
    delete list;
    QVERIFY(f.button->images() == nullptr);
    QCOMPARE(countColour(f.grab(), kGlyph), 0);
  }
};

QTEST_MAIN(ZfWinButtonPaintTest)
#include "zfwinbutton_paint_test.moc"
