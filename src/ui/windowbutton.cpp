#include "ui/windowbutton.h"

#include "ui/model/button.h"
#include "ui/modeltypes.h"
#include "ui/zfwinbutton.h"

void applyWindowButtonLook(TZfWinButton* button) {
  const uimodel::WindowButtonLook& look = uimodel::kWindowButtonLook;
  button->setRaiseCol(toQColor(look.raiseCol));
  button->setOverCol(toQColor(look.overCol));
  QFont font(QString::fromLatin1(look.fontFamily));
  font.setPixelSize(look.fontPixels);
  font.setBold(true);
  button->setFont(font);
  button->setFontColor(toQColor(look.fontColor));
  QFont grey = button->grayedFont();
  grey.setPixelSize(look.grayedFontPixels);
  button->setGrayedFont(grey);
  button->setParentColor(look.parentColor);
  button->setGlphyAlign(look.align);
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
