// Platform-internal: the image behind a plat::Bitmap.  Only platform/
// sources include this header.
#pragma once

#include <QImage>

#include "platform/bitmap.h"

namespace plat {

struct Bitmap::Impl {
  QImage image;  // QImage::Format_RGB32
};

// The image of a bitmap, creating an empty one for a null bitmap.
QImage& ImageOf(Bitmap& b);
const QImage& ImageOf(const Bitmap& b);

// Pixel values of the image (0xFFRRGGBB) and the program's colours.
inline QRgb QRgbOf(Colour c) {
  return 0xFF000000u | (static_cast<QRgb>(RedOf(c)) << 16) |
         (static_cast<QRgb>(GreenOf(c)) << 8) | static_cast<QRgb>(BlueOf(c));
}
inline Colour ColourOf(QRgb p) { return Rgb(qRed(p), qGreen(p), qBlue(p)); }

}  // namespace plat
