#pragma once
// The common look of the interface pictures: one small palette, dark
// outlines, flat fills, and the shapes several pictures share.

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPointF>
#include <QRectF>

namespace gui_pictures::style {

inline const QColor kInk(38, 46, 56);           // outlines and glyphs
inline const QColor kInkSoft(112, 122, 134);    // secondary lines
inline const QColor kPaper(255, 255, 255);
inline const QColor kPale(222, 236, 249);       // fill of drawn shapes
inline const QColor kWater(40, 122, 204);
inline const QColor kWaterLight(150, 202, 242);
inline const QColor kGrass(86, 166, 74);
inline const QColor kGrassLight(186, 226, 160);
inline const QColor kLeafDark(36, 100, 54);
inline const QColor kMint(132, 210, 168);
inline const QColor kBrick(204, 64, 56);
inline const QColor kOrange(238, 140, 36);
inline const QColor kYellow(246, 198, 52);
inline const QColor kStone(150, 156, 166);
inline const QColor kStoneLight(214, 218, 224);
inline const QColor kSand(226, 210, 178);

// A solid outline pen with round joins.
QPen ink(double width = 1.0, const QColor& colour = kInk);

// Starts drawing on a picture: anti-aliased, nothing else set.
void begin(QPainter& p);

// The selection pointer with its tip at `tip`; `scale` 1 is 11 x 17 px.
QPainterPath pointer(const QPointF& tip, double scale);

// Draws the pointer: white body, dark outline.
void drawPointer(QPainter& p, const QPointF& tip, double scale);

// A magnifying glass whose lens has centre `c` and radius `r`; the handle
// runs towards the lower right.
void drawMagnifier(QPainter& p, const QPointF& c, double r);

// An arrowhead: a filled triangle with its tip at `tip` pointing along
// the angle `degrees` (0 = right, 90 = down), `length` long and `width` wide.
QPainterPath arrowHead(const QPointF& tip, double degrees, double length, double width);

// Fills a shape and outlines it.
void fillOutlined(QPainter& p, const QPainterPath& shape, const QColor& fill, double width = 1.0,
                  const QColor& line = kInk);

}  // namespace gui_pictures::style
