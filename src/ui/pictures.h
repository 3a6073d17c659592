// The program's pictures, embedded in the program.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QPixmap>

class QObject;
class ZfImageList;

namespace pictures {

// Glyphs of the 32 x 32 image list, by index.
enum Glyph {
  kGlyphRun = 0,  // "Devir-Upgrade"
  kGlyphFolder = 1,
  kGlyphTick = 2,
  kGlyphHelp = 3,  // "Yardım"
  kGlyphInfo = 4,
  kGlyphClose = 5,  // "Kapat"
  kGlyphDisk = 6,
  kGlyphWarning = 7,
  kGlyphContact = 8,  // "İrtibat"
  kGlyphCalendar = 9,
  kGlyphCount = 10
};

// The main window's image list of 32 x 32 glyphs, owned by parent.
ZfImageList* makeMainImageList(QObject* parent);

QPixmap banner();  // 180 x 526, the main window's left side
QPixmap logo();    // 64 x 64
QPixmap title();   // 109 x 27, the hidden title image ImageBAslik1
// The about box's tall left picture: the stored JPEG and its decoding.
QByteArray aboutPictureJpeg();
QImage aboutPicture();

}  // namespace pictures
