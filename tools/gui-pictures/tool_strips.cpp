// The drawing-tools strip (25 px images) and the strip of area kinds (32 px).

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRandomGenerator>
#include <cmath>
#include <functional>

#include "tools/gui-pictures/picture_file.h"
#include "tools/gui-pictures/pictures.h"
#include "tools/gui-pictures/style.h"

namespace gui_pictures {
namespace {

using namespace style;

// A small square handle on a vertex of a drawn shape.
void handle(QPainter& p, const QPointF& c) {
  p.setPen(ink(1.0));
  p.setBrush(kWater);
  p.drawRect(QRectF(c.x() - 1.5, c.y() - 1.5, 3, 3));
}

void circleTool(QPainter& p) {
  p.setPen(ink(1.5));
  p.setBrush(kPale);
  p.drawEllipse(QRectF(3.5, 3.5, 18, 18));
  p.setPen(ink(1.0, kWater));
  p.drawLine(QPointF(12.5, 10), QPointF(12.5, 15));
  p.drawLine(QPointF(10, 12.5), QPointF(15, 12.5));
}

void ellipseTool(QPainter& p) {
  p.setPen(ink(1.5));
  p.setBrush(kPale);
  p.drawEllipse(QRectF(2.5, 6.5, 20, 12));
  p.setPen(ink(1.0, kWater));
  p.drawLine(QPointF(12.5, 10.5), QPointF(12.5, 14.5));
  p.drawLine(QPointF(10.5, 12.5), QPointF(14.5, 12.5));
}

void rectangleTool(QPainter& p) {
  p.setPen(ink(1.5));
  p.setBrush(kPale);
  p.drawRect(QRectF(4, 6, 17, 13));
  handle(p, {4, 6});
  handle(p, {21, 19});
}

void polygonTool(QPainter& p) {
  const QPolygonF area{{3.5, 9}, {11, 3.5}, {21.5, 7.5}, {19, 21}, {6, 19.5}};
  p.setPen(ink(1.5));
  p.setBrush(kGrassLight);
  p.drawPolygon(area);
  for (const QPointF& v : area) handle(p, v);
}

void polylineTool(QPainter& p) {
  const QPolygonF line{{3.5, 20}, {8.5, 8}, {15, 15.5}, {21.5, 4.5}};
  p.setPen(ink(1.6));
  p.setBrush(Qt::NoBrush);
  p.drawPolyline(line);
  for (const QPointF& v : line) handle(p, v);
}

void textTool(QPainter& p) {
  // A sans-serif capital T beside a text cursor.
  QPainterPath t;
  t.addRect(QRectF(3, 4, 14, 3.2));
  t.addRect(QRectF(8.4, 4, 3.2, 17));
  t.setFillRule(Qt::WindingFill);
  p.setPen(Qt::NoPen);
  p.setBrush(kInk);
  p.drawPath(t.simplified());
  p.setPen(ink(1.2, kWater));
  p.drawLine(QPointF(20.5, 7), QPointF(20.5, 21));
  p.drawLine(QPointF(18.5, 6.5), QPointF(22.5, 6.5));
  p.drawLine(QPointF(18.5, 21.5), QPointF(22.5, 21.5));
}

void imageTool(QPainter& p) {
  const QRectF frame(2.5, 4.5, 20, 16);
  p.setPen(Qt::NoPen);
  p.setBrush(kWaterLight);
  p.drawRect(frame);
  p.save();
  p.setClipRect(frame);
  p.setBrush(kYellow);
  p.drawEllipse(QPointF(17, 9), 2.2, 2.2);
  p.setBrush(kStone);
  p.drawPolygon(QPolygonF{{2, 20}, {9, 10}, {15, 20}});
  p.setBrush(kGrass);
  QPainterPath hill;
  hill.moveTo(2, 21);
  hill.lineTo(2, 17);
  hill.quadTo(12, 12, 23, 16);
  hill.lineTo(23, 21);
  hill.closeSubpath();
  p.drawPath(hill);
  p.restore();
  p.setPen(ink(1.5));
  p.setBrush(Qt::NoBrush);
  p.drawRect(frame);
}

void dimensionTool(QPainter& p) {
  p.setPen(ink(1.0));
  p.drawLine(QPointF(3.5, 8), QPointF(3.5, 21));
  p.drawLine(QPointF(21.5, 8), QPointF(21.5, 21));
  p.drawLine(QPointF(4, 15.5), QPointF(21, 15.5));
  p.setPen(Qt::NoPen);
  p.setBrush(kInk);
  p.drawPath(arrowHead({4, 15.5}, 180, 5, 5));
  p.drawPath(arrowHead({21, 15.5}, 0, 5, 5));
  // The measured value above the line.
  p.setBrush(kWater);
  p.drawRoundedRect(QRectF(7.5, 9, 10, 2.6), 1.3, 1.3);
}

void panTool(QPainter& p) {
  // An open hand: four fingers, a palm and a thumb, as one silhouette.
  QPainterPath hand;
  hand.setFillRule(Qt::WindingFill);
  const double tops[] = {6.0, 3.8, 4.6, 7.2};
  for (int i = 0; i < 4; ++i) hand.addRoundedRect(QRectF(7.2 + i * 3.1, tops[i], 3.0, 13), 1.5, 1.5);
  hand.addRoundedRect(QRectF(7.2, 11, 12.3, 10.5), 4, 4);
  QPainterPath thumb;
  thumb.addRoundedRect(QRectF(-1.5, 0, 3.0, 8.5), 1.5, 1.5);
  QTransform t;
  t.translate(5.2, 10.6);
  t.rotate(-38);
  hand.addPath(t.map(thumb));
  fillOutlined(p, hand.simplified(), kPaper, 1.1);
  // Gaps between the fingers.
  p.setPen(ink(0.9));
  for (int i = 1; i < 4; ++i) {
    const double x = 7.2 + i * 3.1 - 0.05;
    p.drawLine(QPointF(x, std::max(tops[i - 1], tops[i]) + 2.5), QPointF(x, 12.5));
  }
}

void editTool(QPainter& p) {
  // The pointer taking hold of a vertex of a drawn line.
  p.setPen(ink(1.3, kInkSoft));
  p.setBrush(Qt::NoBrush);
  p.drawPolyline(QPolygonF{{2.5, 21}, {7, 7}, {21.5, 3.5}});
  p.setPen(ink(1.0));
  p.setBrush(kWater);
  p.drawRect(QRectF(4.5, 4.5, 5, 5));
  drawPointer(p, {9.5, 9}, 0.84);
}

void selectTool(QPainter& p) {
  QPen dash = ink(1.0, kInkSoft);
  dash.setCapStyle(Qt::FlatCap);
  dash.setDashPattern({2, 2});
  p.setPen(dash);
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(2.5, 2.5, 15, 13));
  drawPointer(p, {9.5, 7.5}, 0.92);
}

// A curved arrow turning back to the left (undo), or mirrored (redo).
void turnArrow(QPainter& p, bool mirrored) {
  QPainterPath tail;
  tail.moveTo(8, 10.5);
  tail.lineTo(13, 10.5);
  tail.cubicTo(18, 10.5, 21, 13.5, 21, 17.5);
  tail.lineTo(21, 21);
  QPainterPathStroker stroker;
  stroker.setWidth(3.4);
  stroker.setCapStyle(Qt::FlatCap);
  stroker.setJoinStyle(Qt::RoundJoin);
  QPainterPath whole = stroker.createStroke(tail).united(arrowHead({2.5, 10.5}, 180, 6.5, 10));
  if (mirrored) whole = QTransform(-1, 0, 0, 1, 25, 0).map(whole);
  fillOutlined(p, whole.simplified(), kWater, 1.0);
}

void undoTool(QPainter& p) { turnArrow(p, false); }
void redoTool(QPainter& p) { turnArrow(p, true); }

void sectionsTool(QPainter& p) {
  const QRectF box(2.5, 3.5, 20, 18);
  QPainterPath left, topRight, bottomRight;
  left.moveTo(2.5, 3.5);
  left.lineTo(10.5, 3.5);
  left.lineTo(12.5, 12.5);
  left.lineTo(8.5, 21.5);
  left.lineTo(2.5, 21.5);
  left.closeSubpath();
  topRight.moveTo(10.5, 3.5);
  topRight.lineTo(22.5, 3.5);
  topRight.lineTo(22.5, 11.5);
  topRight.lineTo(12.5, 12.5);
  topRight.closeSubpath();
  bottomRight.moveTo(12.5, 12.5);
  bottomRight.lineTo(22.5, 11.5);
  bottomRight.lineTo(22.5, 21.5);
  bottomRight.lineTo(8.5, 21.5);
  bottomRight.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(kWaterLight);
  p.drawPath(left);
  p.setBrush(kGrassLight);
  p.drawPath(topRight);
  p.setBrush(QColor(250, 196, 130));
  p.drawPath(bottomRight);
  p.setPen(ink(1.0));
  p.drawPolyline(QPolygonF{{10.5, 3.5}, {12.5, 12.5}, {8.5, 21.5}});
  p.drawLine(QPointF(12.5, 12.5), QPointF(22.5, 11.5));
  // A head in each section.
  p.setBrush(kWater);
  p.drawEllipse(QPointF(6.5, 12.5), 1.7, 1.7);
  p.setBrush(kGrass);
  p.drawEllipse(QPointF(17.5, 7.8), 1.7, 1.7);
  p.setBrush(kOrange);
  p.drawEllipse(QPointF(16.5, 17), 1.7, 1.7);
  p.setPen(ink(1.5));
  p.setBrush(Qt::NoBrush);
  p.drawRect(box);
}

void gaugeTool(QPainter& p) {
  const QPointF c(12.5, 10.5);
  p.setPen(ink(1.0));
  p.setBrush(kStone);
  p.drawRect(QRectF(10.5, 18, 4, 5));
  p.setPen(ink(1.5));
  p.setBrush(kPaper);
  p.drawEllipse(c, 9, 9);
  // Scale ticks over 270 degrees, the last quarter red.
  for (int i = 0; i <= 6; ++i) {
    const double a = (225 - i * 45) * M_PI / 180;
    const QPointF dir(std::cos(a), -std::sin(a));
    p.setPen(ink(1.0, i >= 5 ? kBrick : kInkSoft));
    p.drawLine(c + dir * 5.6, c + dir * 7.4);
  }
  const double needle = 40 * M_PI / 180;
  p.setPen(ink(1.5, kBrick));
  p.drawLine(c, c + QPointF(std::cos(needle), -std::sin(needle)) * 6.5);
  p.setPen(Qt::NoPen);
  p.setBrush(kInk);
  p.drawEllipse(c, 1.6, 1.6);
}

// The area kinds: a swatch of the fill each kind is drawn with.
const QRectF kSwatch(2.5, 2.5, 27, 27);

QPainterPath swatchShape() {
  QPainterPath s;
  s.addRoundedRect(kSwatch, 2.5, 2.5);
  return s;
}

void swatchOutline(QPainter& p, const QColor& colour = kInk, double width = 1.5) {
  p.setClipping(false);
  p.setPen(ink(width, colour));
  p.setBrush(Qt::NoBrush);
  p.drawPath(swatchShape());
}

void swatchBase(QPainter& p, const QColor& fill) {
  p.setPen(Qt::NoPen);
  p.setBrush(fill);
  p.drawPath(swatchShape());
  p.setClipPath(swatchShape());
}

void buildingArea(QPainter& p) {
  swatchBase(p, kPaper);
  p.setPen(QPen(kBrick, 1.2));
  for (int k = -32; k < 32; k += 5) p.drawLine(QPointF(k, 32), QPointF(k + 32, 0));
  swatchOutline(p, kBrick, 2.0);
}

void pavingArea(QPainter& p) {
  swatchBase(p, kStone);
  p.setPen(Qt::NoPen);
  p.setBrush(kStoneLight);
  for (int row = 0; row < 4; ++row) {
    const double y = 2.5 + row * 7;
    const double shift = (row % 2) ? -4.5 : 0;
    for (int col = 0; col < 4; ++col) p.drawRect(QRectF(3.5 + shift + col * 9, y + 1, 8, 6));
  }
  swatchOutline(p);
}

void pondArea(QPainter& p) {
  swatchBase(p, kWaterLight);
  p.setBrush(Qt::NoBrush);
  for (int row = 0; row < 4; ++row) {
    const double y = 7 + row * 6.5;
    const double shift = (row % 2) ? 4 : 0;
    QPainterPath wave;
    wave.moveTo(0 + shift, y);
    for (int k = 0; k < 4; ++k) {
      const double x = shift + k * 9;
      wave.quadTo(x + 2.25, y - 2, x + 4.5, y);
      wave.quadTo(x + 6.75, y + 2, x + 9, y);
    }
    p.setPen(ink(1.0, row % 2 ? kPaper : kWater));
    p.drawPath(wave);
  }
  swatchOutline(p);
}

void lawnArea(QPainter& p) {
  swatchBase(p, kGrassLight);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(160, 212, 130));
  for (int k = 0; k < 4; ++k) p.drawRect(QRectF(2.5 + k * 7, 0, 3.5, 32));
  swatchOutline(p);
}

void hedgeArea(QPainter& p) {
  swatchBase(p, kLeafDark);
  // A tangle of leaves: arcs scattered from a fixed seed.
  QRandomGenerator random(1207);
  p.setBrush(Qt::NoBrush);
  for (int i = 0; i < 34; ++i) {
    const double x = random.bounded(30.0), y = random.bounded(30.0);
    const double r = 2 + random.bounded(2.5);
    const int start = random.bounded(360);
    p.setPen(ink(1.1, i % 3 == 0 ? QColor(20, 66, 34) : QColor(98, 170, 96)));
    p.drawArc(QRectF(x - r, y - r, 2 * r, 2 * r), start * 16, 200 * 16);
  }
  swatchOutline(p);
}

void treeArea(QPainter& p) {
  // A round crown seen from above: lobed edge, branches, the trunk.
  const QPointF c(16, 16);
  QPainterPath crown;
  crown.setFillRule(Qt::WindingFill);
  crown.addEllipse(c, 10.5, 10.5);
  for (int i = 0; i < 9; ++i) {
    const double a = i * 2 * M_PI / 9;
    crown.addEllipse(c + QPointF(std::cos(a), std::sin(a)) * 10.2, 3.6, 3.6);
  }
  fillOutlined(p, crown.simplified(), kMint, 1.4, kLeafDark);
  p.setPen(ink(1.0, kLeafDark));
  for (int i = 0; i < 5; ++i) {
    const double a = (i * 72 + 20) * M_PI / 180;
    p.drawLine(c, c + QPointF(std::cos(a), std::sin(a)) * 7);
  }
  p.setBrush(QColor(120, 82, 52));
  p.drawEllipse(c, 2.2, 2.2);
}

void flowerArea(QPainter& p) {
  swatchBase(p, QColor(150, 200, 120));
  QRandomGenerator random(4242);
  p.setPen(Qt::NoPen);
  for (int i = 0; i < 11; ++i) {
    const QPointF c(5 + random.bounded(22.0), 5 + random.bounded(22.0));
    p.setBrush(i % 4 == 3 ? kYellow : kOrange);
    for (int k = 0; k < 5; ++k) {
      const double a = k * 2 * M_PI / 5 + i;
      p.drawEllipse(c + QPointF(std::cos(a), std::sin(a)) * 1.5, 1.25, 1.25);
    }
    p.setBrush(QColor(150, 70, 20));
    p.drawEllipse(c, 0.8, 0.8);
  }
  swatchOutline(p);
}

void otherArea(QPainter& p) {
  swatchBase(p, kSand);
  swatchOutline(p);
  // A small painter's palette in the corner: any colour will do.
  QPainterPath palette;
  palette.addEllipse(QRectF(13.5, 15.5, 14, 11));
  QPainterPath hole;
  hole.addEllipse(QPointF(17.5, 23), 1.6, 1.6);
  fillOutlined(p, palette.subtracted(hole), kPaper, 1.0);
  const QColor dots[] = {kBrick, kYellow, kGrass, kWater};
  const QPointF at[] = {{17.5, 18.8}, {21.5, 18.2}, {24.6, 20.6}, {22.6, 23.8}};
  p.setPen(Qt::NoPen);
  for (int i = 0; i < 4; ++i) {
    p.setBrush(dots[i]);
    p.drawEllipse(at[i], 1.5, 1.5);
  }
}

// Draws each image into its cell of a strip, clipped to the cell.
QImage drawStrip(int width, int height, int cell, const std::vector<std::function<void(QPainter&)>>& images) {
  QImage strip = blankPicture(width, height);
  QPainter p(&strip);
  begin(p);
  for (size_t i = 0; i < images.size(); ++i) {
    if (!images[i]) continue;
    p.save();
    p.translate(static_cast<int>(i) * cell, 0);
    p.setClipRect(0, 0, cell, height);
    images[i](p);
    p.restore();
  }
  return strip;
}

}  // namespace

QImage drawToolStrip() {
  return drawStrip(kToolCell * kToolCount, kToolCell, kToolCell,
                   {circleTool, ellipseTool, rectangleTool, polygonTool, polylineTool, nullptr, textTool,
                    imageTool, dimensionTool, nullptr, panTool, editTool, selectTool, undoTool, redoTool,
                    sectionsTool, gaugeTool});
}

QImage drawAreaStrip() {
  return drawStrip(kAreaStripWidth, kAreaCell, kAreaCell,
                   {buildingArea, pavingArea, pondArea, lawnArea, hedgeArea, treeArea, flowerArea, otherArea});
}

}  // namespace gui_pictures
