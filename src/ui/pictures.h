// The program's pictures, embedded in the program.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QPixmap>

#include "ui/model/glyphs.h"

class QObject;
class ZfImageList;

namespace pictures {

// Glyphs of the 32 x 32 image list, by index.
using uimodel::Glyph;
using enum uimodel::Glyph;

// The main window's image list of 32 x 32 glyphs, owned by parent.
ZfImageList* makeMainImageList(QObject* parent);

QPixmap banner();  // 180 x 526, the main window's left side
QPixmap logo();    // 64 x 64
QPixmap title();   // 109 x 27, the hidden title image ImageBAslik1
// The about box's tall left picture: the stored JPEG and its decoding.
QByteArray aboutPictureJpeg();
QImage aboutPicture();

}  // namespace pictures
