#include "tools/gui-pictures/picture_file.h"

namespace gui_pictures {
namespace {

// The button face colour behind transparent parts, so that the picture alone
// still looks right where the mask is not applied.
constexpr QRgb kFace = 0xfff0f0f0;

}  // namespace

QImage blankPicture(int width, int height) {
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  return image;
}

QImage colourOf(const QImage& drawing) {
  const QImage straight = drawing.convertToFormat(QImage::Format_ARGB32);
  QImage out(straight.size(), QImage::Format_RGB32);
  for (int y = 0; y < straight.height(); ++y) {
    const QRgb* from = reinterpret_cast<const QRgb*>(straight.constScanLine(y));
    QRgb* to = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < straight.width(); ++x)
      to[x] = qAlpha(from[x]) == 0 ? kFace : (from[x] | 0xff000000u);
  }
  return out;
}

QImage maskOf(const QImage& drawing) {
  const QImage straight = drawing.convertToFormat(QImage::Format_ARGB32);
  QImage out(straight.size(), QImage::Format_RGB32);
  for (int y = 0; y < straight.height(); ++y) {
    const QRgb* from = reinterpret_cast<const QRgb*>(straight.constScanLine(y));
    QRgb* to = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < straight.width(); ++x) {
      const int a = qAlpha(from[x]);
      to[x] = qRgb(a, a, a);
    }
  }
  return out;
}

bool saveBmp24(const QImage& image, const QString& path) {
  // Qt writes images of 32-bit depth as 24-bit BMP files.
  return image.convertToFormat(QImage::Format_RGB32).save(path, "BMP");
}

}  // namespace gui_pictures
