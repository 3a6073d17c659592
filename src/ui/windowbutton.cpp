#include "ui/windowbutton.h"

#include "ui/zfwinbutton.h"

void applyWindowButtonLook(TZfWinButton* button) {
  button->setRaiseCol(Qt::white);
  button->setOverCol(Qt::blue);
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(11);
  font.setBold(true);
  button->setFont(font);
  button->setFontColor(Qt::black);
  QFont grey = button->grayedFont();
  grey.setPixelSize(13);
  button->setGrayedFont(grey);
  button->setParentColor(true);
  button->setGlphyAlign(GlyphAlign::poLeft);
}

TZfWinButton* makeWindowButton(QWidget* parent, const QString& caption, ZfImageList* images,
                               int imageIndex) {
  auto* button = new TZfWinButton(parent);
  applyWindowButtonLook(button);
  button->setText(caption);
  if (images) {
    button->setImages(images);
    button->setImageIndex(imageIndex);
  }
  return button;
}

TZfWinButton* makeWindowButton(QWidget* parent, const QString& caption, const QPixmap& glyph) {
  TZfWinButton* button = makeWindowButton(parent, caption, nullptr, -1);
  button->setGlpyh(glyph);
  return button;
}
