#include "tools/gui-pictures/style.h"

#include <QTransform>
#include <algorithm>
#include <cmath>

namespace gui_pictures::style {

QPen ink(double width, const QColor& colour) {
  QPen pen(colour, width);
  pen.setJoinStyle(Qt::RoundJoin);
  pen.setCapStyle(Qt::RoundCap);
  return pen;
}

void begin(QPainter& p) {
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setRenderHint(QPainter::TextAntialiasing, true);
  p.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

QPainterPath pointer(const QPointF& tip, double scale) {
  static const QPointF shape[] = {{0, 0},   {0, 14.5}, {3.4, 11.3}, {5.8, 16.6}, {8, 15.6},
                                  {5.7, 10.5}, {10.2, 10.5}};
  QPainterPath path;
  path.moveTo(tip + shape[0] * scale);
  for (const QPointF& q : shape) path.lineTo(tip + q * scale);
  path.closeSubpath();
  return path;
}

void drawPointer(QPainter& p, const QPointF& tip, double scale) {
  fillOutlined(p, pointer(tip, scale), kPaper, 1.0);
}

void drawMagnifier(QPainter& p, const QPointF& c, double r) {
  // The handle first, so that the rim covers its end.
  const double d = std::sqrt(0.5);
  QPainterPath handle;
  handle.moveTo(c + QPointF(d, d) * r);
  handle.lineTo(c + QPointF(d, d) * (r * 1.95));
  QPainterPathStroker stroker;
  stroker.setWidth(r * 0.5);
  stroker.setCapStyle(Qt::RoundCap);
  fillOutlined(p, stroker.createStroke(handle), kInkSoft, 1.0);
  p.setPen(ink(std::max(1.5, r * 0.22)));
  p.setBrush(QColor(236, 246, 255));
  p.drawEllipse(c, r, r);
  // A glint on the glass.
  p.setPen(ink(std::max(1.0, r * 0.12), kWaterLight));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(c.x() - r * 0.62, c.y() - r * 0.62, r * 1.24, r * 1.24), 100 * 16, 60 * 16);
}

QPainterPath arrowHead(const QPointF& tip, double degrees, double length, double width) {
  QPainterPath head;
  head.moveTo(0, 0);
  head.lineTo(-length, -width / 2);
  head.lineTo(-length, width / 2);
  head.closeSubpath();
  QTransform t;
  t.translate(tip.x(), tip.y());
  t.rotate(degrees);
  return t.map(head);
}

void fillOutlined(QPainter& p, const QPainterPath& shape, const QColor& fill, double width,
                  const QColor& line) {
  p.setPen(width > 0 ? ink(width, line) : QPen(Qt::NoPen));
  p.setBrush(fill);
  p.drawPath(shape);
}

}  // namespace gui_pictures::style
