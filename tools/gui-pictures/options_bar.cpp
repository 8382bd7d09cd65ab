// The buttons of the options bar, 32 px square.

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QTransform>

#include "tools/gui-pictures/picture_file.h"
#include "tools/gui-pictures/pictures.h"
#include "tools/gui-pictures/style.h"

namespace gui_pictures {
namespace {

using namespace style;

// A sheet of paper with a folded corner and a few lines of text.
void page(QPainter& p, const QRectF& r, int lines) {
  const double fold = 6;
  QPainterPath sheet;
  sheet.moveTo(r.topLeft());
  sheet.lineTo(r.right() - fold, r.top());
  sheet.lineTo(r.right(), r.top() + fold);
  sheet.lineTo(r.bottomRight());
  sheet.lineTo(r.bottomLeft());
  sheet.closeSubpath();
  fillOutlined(p, sheet, kPaper, 1.5);
  QPainterPath corner;
  corner.moveTo(r.right() - fold, r.top());
  corner.lineTo(r.right() - fold, r.top() + fold);
  corner.lineTo(r.right(), r.top() + fold);
  p.setPen(ink(1.0));
  p.setBrush(kStoneLight);
  p.drawPath(corner);
  p.setPen(ink(1.0, kStone));
  for (int i = 0; i < lines; ++i) {
    const double y = r.top() + fold + 4 + i * 3.5;
    const double right = r.right() - 3.5 - (i % 3 == 2 ? 4 : 0);
    p.drawLine(QPointF(r.left() + 3.5, y), QPointF(right, y));
  }
}

void newProject(QPainter& p) {
  page(p, QRectF(5.5, 3.5, 17, 24), 4);
  // A green badge with a plus.
  p.setPen(ink(1.2));
  p.setBrush(kGrass);
  p.drawEllipse(QPointF(23, 22.5), 7, 7);
  p.setPen(ink(2.2, kPaper));
  p.drawLine(QPointF(23, 18.5), QPointF(23, 26.5));
  p.drawLine(QPointF(19, 22.5), QPointF(27, 22.5));
}

void openProject(QPainter& p) {
  const QColor back(222, 160, 40);
  QPainterPath rear;
  rear.moveTo(3.5, 7.5);
  rear.lineTo(11, 7.5);
  rear.lineTo(13.5, 10.5);
  rear.lineTo(25.5, 10.5);
  rear.lineTo(25.5, 25.5);
  rear.lineTo(3.5, 25.5);
  rear.closeSubpath();
  fillOutlined(p, rear, back, 1.3);
  // A sheet peeking out of the open folder.
  p.setPen(ink(1.0));
  p.setBrush(kPaper);
  p.drawRect(QRectF(7.5, 12.5, 15, 8));
  QPainterPath front;
  front.moveTo(7.5, 15.5);
  front.lineTo(29.5, 15.5);
  front.lineTo(25.5, 25.5);
  front.lineTo(3.5, 25.5);
  front.closeSubpath();
  fillOutlined(p, front, kYellow, 1.3);
}

void saveProject(QPainter& p) {
  QPainterPath disk;
  disk.moveTo(4.5, 4.5);
  disk.lineTo(24, 4.5);
  disk.lineTo(27.5, 8);
  disk.lineTo(27.5, 27.5);
  disk.lineTo(4.5, 27.5);
  disk.closeSubpath();
  fillOutlined(p, disk, kWater, 1.5);
  // The shutter with its window, and the label.
  p.setPen(ink(1.0));
  p.setBrush(kStoneLight);
  p.drawRect(QRectF(9.5, 4.5, 13, 8.5));
  p.setPen(Qt::NoPen);
  p.setBrush(kInk);
  p.drawRect(QRectF(17, 6.5, 3, 5));
  p.setPen(ink(1.0));
  p.setBrush(kPaper);
  p.drawRect(QRectF(8.5, 16.5, 15, 11));
  p.setPen(ink(1.0, kStone));
  p.drawLine(QPointF(11, 20.5), QPointF(21, 20.5));
  p.drawLine(QPointF(11, 23.5), QPointF(21, 23.5));
}

void printer(QPainter& p) {
  // The paper waiting at the back.
  p.setPen(ink(1.2));
  p.setBrush(kPaper);
  p.drawRect(QRectF(9.5, 3.5, 13, 10));
  QPainterPath body;
  body.addRoundedRect(QRectF(3.5, 11.5, 25, 12), 2.5, 2.5);
  fillOutlined(p, body, kStone, 1.5);
  p.setPen(Qt::NoPen);
  p.setBrush(kStoneLight);
  p.drawRect(QRectF(5, 13, 22, 3));
  p.setBrush(kGrass);
  p.drawEllipse(QPointF(24.5, 19), 1.5, 1.5);
  p.setPen(ink(1.5));
  p.drawLine(QPointF(7.5, 20.5), QPointF(20.5, 20.5));
  // The printed sheet coming out at the front.
  p.setPen(ink(1.2));
  p.setBrush(kPaper);
  p.drawRect(QRectF(8.5, 20.5, 12, 8));
  p.setPen(ink(1.0, kWater));
  p.drawLine(QPointF(10.5, 23.5), QPointF(18.5, 23.5));
  p.drawLine(QPointF(10.5, 26), QPointF(16, 26));
}

void printPreview(QPainter& p) {
  page(p, QRectF(4.5, 2.5, 18, 25), 5);
  drawMagnifier(p, QPointF(19.5, 19.5), 5.5);
}

void gridLines(QPainter& p, const QColor& lines) {
  p.setPen(ink(1.5));
  p.setBrush(kPaper);
  p.drawRect(QRectF(4.5, 4.5, 24, 24));
  p.setPen(QPen(lines, 1.0));
  for (int i = 1; i < 4; ++i) {
    const double at = 4.5 + i * 6;
    p.drawLine(QPointF(at, 5.5), QPointF(at, 27.5));
    p.drawLine(QPointF(5.5, at), QPointF(27.5, at));
  }
  p.setPen(ink(1.5));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(4.5, 4.5, 24, 24));
}

void grid(QPainter& p) { gridLines(p, kWater); }

void snapToGrid(QPainter& p) {
  gridLines(p, kStone);
  // A point drawn to the nearest node by a magnet.
  p.setPen(ink(1.0));
  p.setBrush(kWater);
  p.drawEllipse(QPointF(10.5, 10.5), 2.6, 2.6);
  QPainterPath u;
  u.moveTo(-3.6, 0);
  u.lineTo(-3.6, 5);
  u.arcTo(QRectF(-3.6, 1.4, 7.2, 7.2), 180, 180);
  u.lineTo(3.6, 0);
  QPainterPathStroker stroker;
  stroker.setWidth(3.6);
  stroker.setCapStyle(Qt::FlatCap);
  QTransform place;
  place.translate(21, 21);
  place.rotate(-45);
  const QPainterPath magnet = place.map(stroker.createStroke(u));
  fillOutlined(p, magnet, kBrick, 1.2);
  QPainterPath tips;
  tips.addRect(QRectF(-5.4, -0.2, 3.6, 2.6));
  tips.addRect(QRectF(1.8, -0.2, 3.6, 2.6));
  p.save();
  p.setClipPath(magnet);
  p.setPen(Qt::NoPen);
  p.setBrush(kStoneLight);
  p.drawPath(place.map(tips));
  p.restore();
  p.setPen(ink(1.2));
  p.setBrush(Qt::NoBrush);
  p.drawPath(magnet);
}

void ortho(QPainter& p) {
  p.setPen(Qt::NoPen);
  p.setBrush(kPale);
  p.drawRect(QRectF(8.5, 18.5, 7, 7));
  p.setPen(ink(1.0, kWater));
  p.drawLine(QPointF(8.5, 18.5), QPointF(15.5, 18.5));
  p.drawLine(QPointF(15.5, 18.5), QPointF(15.5, 25.5));
  QPen line = ink(2.0);
  line.setCapStyle(Qt::FlatCap);
  line.setJoinStyle(Qt::MiterJoin);
  p.setPen(line);
  p.setBrush(Qt::NoBrush);
  p.drawPolyline(QPolygonF{{8.5, 9}, {8.5, 25.5}, {24, 25.5}});
  p.setPen(Qt::NoPen);
  p.setBrush(kInk);
  p.drawPath(arrowHead({8.5, 2.5}, -90, 7.5, 8));
  p.drawPath(arrowHead({30.5, 25.5}, 0, 7.5, 8));
}

void zoomIn(QPainter& p) {
  drawMagnifier(p, QPointF(13, 13), 9);
  p.setPen(ink(2.4));
  p.drawLine(QPointF(9, 13), QPointF(17, 13));
  p.drawLine(QPointF(13, 9), QPointF(13, 17));
}

void zoomOut(QPainter& p) {
  drawMagnifier(p, QPointF(13, 13), 9);
  p.setPen(ink(2.4));
  p.drawLine(QPointF(9, 13), QPointF(17, 13));
}

QImage draw(void (*picture)(QPainter&)) {
  QImage image = blankPicture(kOptionSize, kOptionSize);
  QPainter p(&image);
  begin(p);
  picture(p);
  return image;
}

}  // namespace

std::vector<OptionIcon> drawOptionIcons() {
  return {
      {"foldernew", draw(newProject)},     {"folder", draw(openProject)}, {"foldersave", draw(saveProject)},
      {"print", draw(printer)},            {"pprev", draw(printPreview)}, {"grid", draw(grid)},
      {"grid2", draw(snapToGrid)},         {"ortho", draw(ortho)},        {"loopa_plus", draw(zoomIn)},
      {"loopa_minus", draw(zoomOut)},
  };
}

}  // namespace gui_pictures
