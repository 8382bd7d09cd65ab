#include "app/splash_view.h"

#include <QPainter>

#include "platform/file_sys.h"

CChildView::CChildView(QWidget* parent) : QWidget(parent) {
  setObjectName("splashView");
  setAccessibleName("VERDIMO");
  setAttribute(Qt::WA_OpaquePaintEvent);
  splash_.load(QString::fromStdString(platform::fileSys().filePath(platform::GuiDir, "splash.bmp")));
}

void CChildView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), QColor(133, 133, 133));
  if (splash_.isNull()) return;
  // The picture keeps its own size, centred.
  const QSize size(641, 429);
  const QPoint at((width() - size.width()) / 2, (height() - size.height()) / 2);
  p.drawImage(QRect(at, size), splash_);
}
