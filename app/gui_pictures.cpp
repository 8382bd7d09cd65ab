#include "app/gui_pictures.h"

#include <QPixmap>

#include "platform/file_sys.h"

QImage composeWithMask(const QImage& picture, const QImage& mask, const QColor& face) {
  if (picture.isNull() || mask.isNull()) return {};
  QImage out = picture.convertToFormat(QImage::Format_RGB32);
  const QImage m = mask.convertToFormat(QImage::Format_RGB32);
  const int w = std::min(out.width(), m.width()), h = std::min(out.height(), m.height());
  const int fr = face.red(), fg = face.green(), fb = face.blue();
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
    const auto* mrow = reinterpret_cast<const QRgb*>(m.constScanLine(y));
    for (int x = 0; x < w; ++x) {
      const double a = qBlue(mrow[x]) / 255.0;
      const QRgb p = row[x];
      row[x] = qRgb(static_cast<int>(qRed(p) * a + fr * (1 - a)), static_cast<int>(qGreen(p) * a + fg * (1 - a)),
                    static_cast<int>(qBlue(p) * a + fb * (1 - a)));
    }
  }
  return out;
}

QImage loadComposedPicture(const QString& name, const QString& maskName, const QColor& face) {
  const QString dir = QString::fromStdString(platform::fileSys().dirPath(platform::GuiDir));
  const QImage picture(dir + "/" + name);
  const QImage mask(dir + "/" + maskName);
  return composeWithMask(picture, mask, face);
}

std::vector<QImage> cutStrip(const QImage& strip, int size, int count) {
  std::vector<QImage> out;
  for (int i = 0; i < count; ++i)
    out.push_back(strip.isNull() || (i + 1) * size > strip.width() ? QImage() : strip.copy(i * size, 0, size, size));
  return out;
}

QIcon buttonIcon(const QImage& composed) {
  if (composed.isNull()) return {};
  QIcon icon(QPixmap::fromImage(composed));
  // Disabled buttons: the picture faded toward the face.
  QImage faded = composed.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < faded.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(faded.scanLine(y));
    for (int x = 0; x < faded.width(); ++x) {
      const int g = qGray(row[x]);
      row[x] = qRgba(g, g, g, 110);
    }
  }
  icon.addPixmap(QPixmap::fromImage(faded), QIcon::Disabled);
  return icon;
}
