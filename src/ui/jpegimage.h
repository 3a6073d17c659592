// Decoding JPEG data with libjpeg.
#pragma once

#include <QByteArray>
#include <QImage>

// Decodes baseline or progressive JPEG data, grey or colour, into an RGB32
// image. Returns a null image when the data are not a JPEG the library can
// read; never aborts the program. Data that end early decode as far as they
// go (the library fills the rest).
QImage decodeJpeg(const QByteArray& data);
