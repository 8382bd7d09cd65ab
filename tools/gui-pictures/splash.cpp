// The start picture and the application icon.

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRandomGenerator>
#include <cmath>

#include "tools/gui-pictures/picture_file.h"
#include "tools/gui-pictures/pictures.h"
#include "tools/gui-pictures/style.h"

namespace gui_pictures {
namespace {

using namespace style;

constexpr int kSplashWidth = 641;
constexpr int kSplashHeight = 429;

const QColor kBackground(248, 250, 251);
const QColor kGridMinor(234, 239, 243);
const QColor kGridMajor(220, 227, 234);
const QColor kLawn(196, 230, 170);
const QColor kLawnStripe(186, 223, 160);
const QColor kCoverage(64, 150, 230, 52);
const QColor kPipe(26, 96, 176);

// Liberation Sans when installed; otherwise whatever sans-serif font there is.
QFont sans(int pixels, bool bold = false) {
  QFont font(QStringLiteral("Liberation Sans"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixels);
  font.setBold(bold);
  font.setHintingPreference(QFont::PreferNoHinting);
  return font;
}

void drawGrid(QPainter& p, const QRectF& area) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  for (int x = static_cast<int>(area.left()); x <= area.right(); x += 12) {
    p.setPen(QPen((x - static_cast<int>(area.left())) % 60 ? kGridMinor : kGridMajor, 1));
    p.drawLine(x, static_cast<int>(area.top()), x, static_cast<int>(area.bottom()));
  }
  for (int y = static_cast<int>(area.top()); y <= area.bottom(); y += 12) {
    p.setPen(QPen((y - static_cast<int>(area.top())) % 60 ? kGridMinor : kGridMajor, 1));
    p.drawLine(static_cast<int>(area.left()), y, static_cast<int>(area.right()), y);
  }
  p.restore();
}

void hatch(QPainter& p, const QRectF& r, const QColor& colour, double step) {
  p.save();
  p.setClipRect(r);
  p.setPen(QPen(colour, 1.0));
  for (double k = -r.height(); k < r.width(); k += step)
    p.drawLine(QPointF(r.left() + k, r.bottom()), QPointF(r.left() + k + r.height(), r.top()));
  p.restore();
}

// Paving of rectangular slabs laid in a running bond.
void paving(QPainter& p, const QRectF& r, double slab) {
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(kStone);
  p.drawRect(r);
  p.setClipRect(r);
  p.setBrush(kStoneLight);
  int row = 0;
  for (double y = r.top(); y < r.bottom(); y += slab * 0.7, ++row)
    for (double x = r.left() - (row % 2 ? slab / 2 : 0); x < r.right(); x += slab)
      p.drawRect(QRectF(x + 1, y + 1, slab - 2, slab * 0.7 - 2));
  p.restore();
  p.setPen(ink(1.0));
  p.setBrush(Qt::NoBrush);
  p.drawRect(r);
}

// A round crown seen from above.
void tree(QPainter& p, const QPointF& c, double r) {
  QPainterPath crown;
  crown.setFillRule(Qt::WindingFill);
  crown.addEllipse(c, r, r);
  const int lobes = 11;
  for (int i = 0; i < lobes; ++i) {
    const double a = i * 2 * M_PI / lobes;
    crown.addEllipse(c + QPointF(std::cos(a), std::sin(a)) * r, r * 0.3, r * 0.3);
  }
  QColor fill = kMint;
  fill.setAlpha(235);
  fillOutlined(p, crown.simplified(), fill, 1.3, kLeafDark);
  p.setPen(ink(0.9, kLeafDark));
  for (int i = 0; i < 6; ++i) {
    const double a = (i * 60 + 15) * M_PI / 180;
    p.drawLine(c, c + QPointF(std::cos(a), std::sin(a)) * r * 0.7);
  }
  p.setBrush(QColor(120, 82, 52));
  p.drawEllipse(c, 2.5, 2.5);
}

// A hedge along a line: a band of dark green leaves.
void hedge(QPainter& p, const QRectF& band) {
  p.save();
  p.setPen(ink(1.2, kLeafDark));
  p.setBrush(QColor(70, 140, 80));
  p.drawRoundedRect(band, 5, 5);
  p.setClipRect(band.adjusted(1, 1, -1, -1));
  QRandomGenerator random(77);
  p.setBrush(Qt::NoBrush);
  const int n = static_cast<int>(band.width() * band.height() / 40);
  for (int i = 0; i < n; ++i) {
    const QPointF c(band.left() + random.bounded(band.width()), band.top() + random.bounded(band.height()));
    const double r = 2 + random.bounded(2.5);
    p.setPen(ink(1.0, i % 3 ? QColor(40, 104, 58) : QColor(130, 192, 120)));
    p.drawArc(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), random.bounded(360) * 16, 200 * 16);
  }
  p.restore();
}

struct Head {
  QPointF at;
  double start;  // degrees, counter-clockwise from east
  double span;
};

void coverage(QPainter& p, const Head& h, double radius) {
  QRectF box(h.at.x() - radius, h.at.y() - radius, 2 * radius, 2 * radius);
  p.setPen(Qt::NoPen);
  p.setBrush(kCoverage);
  p.drawPie(box, static_cast<int>(h.start * 16), static_cast<int>(h.span * 16));
  QPen arc(QColor(40, 122, 204, 150), 1.0);
  arc.setDashPattern({5, 3});
  p.setPen(arc);
  p.setBrush(Qt::NoBrush);
  p.drawArc(box, static_cast<int>(h.start * 16), static_cast<int>(h.span * 16));
}

void headSymbol(QPainter& p, const QPointF& at) {
  p.setPen(ink(1.2));
  p.setBrush(kPaper);
  p.drawEllipse(at, 5, 5);
  p.setPen(Qt::NoPen);
  p.setBrush(kWater);
  p.drawEllipse(at, 2.6, 2.6);
}

void valveBox(QPainter& p, const QRectF& r) {
  p.setPen(ink(1.2));
  p.setBrush(kGrass);
  p.drawRect(r);
  p.setPen(ink(1.0, kPaper));
  p.drawLine(r.topLeft() + QPointF(2.5, 2.5), r.bottomRight() - QPointF(2.5, 2.5));
  p.drawLine(r.topRight() + QPointF(-2.5, 2.5), r.bottomLeft() + QPointF(2.5, -2.5));
}

void pipe(QPainter& p, const QPolygonF& run) {
  QPen pen(kPipe, 2.0);
  pen.setJoinStyle(Qt::MiterJoin);
  pen.setCapStyle(Qt::FlatCap);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  p.drawPolyline(run);
}

// A dimension line with its extension lines and the measure written above.
void dimension(QPainter& p, const QPointF& a, const QPointF& b, double offset, const QString& text) {
  const QPointF da(a.x(), a.y() - offset), db(b.x(), b.y() - offset);
  p.setPen(ink(0.8, kInkSoft));
  p.drawLine(a - QPointF(0, 3), da - QPointF(0, 3));
  p.drawLine(b - QPointF(0, 3), db - QPointF(0, 3));
  p.drawLine(da, db);
  p.setPen(ink(1.0, kInkSoft));
  p.drawLine(da + QPointF(-3, 3), da + QPointF(3, -3));
  p.drawLine(db + QPointF(-3, 3), db + QPointF(3, -3));
  p.setFont(sans(11));
  p.setPen(kInkSoft);
  const QRectF label((da.x() + db.x()) / 2 - 40, da.y() - 15, 80, 13);
  p.drawText(label, Qt::AlignHCenter | Qt::AlignBottom, text);
}

// The garden plan of the start picture, in the area `plot`.
void sitePlan(QPainter& p, const QRectF& plot) {
  const QPointF o = plot.topLeft();
  auto at = [&](double x, double y) { return o + QPointF(x, y); };
  auto rect = [&](double x, double y, double w, double h) { return QRectF(at(x, y), QSizeF(w, h)); };

  // Lawn over the whole plot with mowing stripes.
  p.setPen(Qt::NoPen);
  p.setBrush(kLawn);
  p.drawRect(plot);
  p.setBrush(kLawnStripe);
  for (double x = plot.left() + 10; x < plot.right(); x += 28)
    p.drawRect(QRectF(x, plot.top(), 14, plot.height()).intersected(plot));

  // The house with its terrace and the path to the gate.
  const QRectF house = rect(14, 14, 150, 108);
  p.setBrush(kPaper);
  p.drawRect(house);
  hatch(p, house, QColor(kBrick.red(), kBrick.green(), kBrick.blue(), 150), 7);
  p.setPen(ink(2.0, kBrick));
  p.setBrush(Qt::NoBrush);
  p.drawRect(house);
  paving(p, rect(14, 122, 150, 36), 18);
  paving(p, rect(74, 158, 30, plot.height() - 158), 15);

  // The pond and the flower bed on the left of the path.
  QPainterPath pond;
  pond.addEllipse(QRectF(at(14, 214), QSizeF(50, 74)));
  fillOutlined(p, pond, kWaterLight, 1.2, kWater);
  p.setPen(ink(1.0, kPaper));
  p.drawArc(QRectF(at(24, 230), QSizeF(30, 42)), 110 * 16, 70 * 16);
  QPainterPath bed;
  bed.moveTo(at(0, 312));
  bed.quadTo(at(58, 300), at(74, 340));
  bed.lineTo(at(74, plot.height()));
  bed.lineTo(at(0, plot.height()));
  bed.closeSubpath();
  p.save();
  fillOutlined(p, bed, QColor(150, 200, 120), 1.0, kLeafDark);
  p.setClipPath(bed);
  QRandomGenerator random(31);
  p.setPen(Qt::NoPen);
  for (int i = 0; i < 60; ++i) {
    const QPointF c = at(random.bounded(74.0), 300 + random.bounded(plot.height() - 300));
    p.setBrush(i % 4 == 3 ? kYellow : kOrange);
    p.drawEllipse(c, 1.8, 1.8);
  }
  p.restore();

  // Hedges along the top and the right of the plot.
  hedge(p, rect(172, 2, plot.width() - 174, 12));
  hedge(p, rect(plot.width() - 14, 2, 12, plot.height() - 4));

  // Two irrigated lawn zones and their heads.
  const QRectF upper = rect(178, 22, plot.width() - 200, 128);
  const QRectF lower = rect(112, 168, plot.width() - 134, plot.height() - 182);
  const double r1 = 118, r2 = 124;
  const std::vector<Head> upperHeads = {
      {upper.topLeft(), 270, 90},      {upper.topRight(), 180, 90}, {upper.bottomRight(), 90, 90},
      {upper.bottomLeft(), 0, 90},
  };
  const QPointF lowerMidTop((lower.left() + lower.right()) / 2, lower.top());
  const QPointF lowerMidBottom(lowerMidTop.x(), lower.bottom());
  const std::vector<Head> lowerHeads = {
      {lower.topLeft(), 270, 90},    {lowerMidTop, 180, 180}, {lower.topRight(), 180, 90},
      {lower.bottomLeft(), 0, 90},   {lowerMidBottom, 0, 180}, {lower.bottomRight(), 90, 90},
  };
  p.save();
  p.setClipRect(upper);
  for (const Head& h : upperHeads) coverage(p, h, r1);
  p.setClipRect(lower);
  for (const Head& h : lowerHeads) coverage(p, h, r2);
  p.restore();

  tree(p, at(plot.width() - 120, 92), 26);
  tree(p, at(44, 186), 18);

  // The pipes from the valve box between the zones to every head.
  const QRectF valves(QPointF(upper.left() + 22, upper.bottom() + 3), QSizeF(14, 12));
  const QPointF feed = valves.center();
  pipe(p, {feed, QPointF(feed.x(), upper.bottom()), upper.bottomLeft(), upper.topLeft(), upper.topRight(),
           upper.bottomRight()});
  pipe(p, {feed, QPointF(feed.x(), lower.top())});
  pipe(p, {lower.topLeft(), lower.topRight(), lower.bottomRight(), lower.bottomLeft(), lower.topLeft()});
  pipe(p, {lowerMidTop, lowerMidBottom});
  valveBox(p, valves);
  for (const Head& h : upperHeads) headSymbol(p, h.at);
  for (const Head& h : lowerHeads) headSymbol(p, h.at);

  // The plot boundary.
  p.setPen(ink(1.6));
  p.setBrush(Qt::NoBrush);
  p.drawRect(plot);
  // The gate.
  p.setPen(ink(3.0, kBackground));
  p.drawLine(at(76, plot.height()), at(102, plot.height()));
}

void northArrow(QPainter& p, const QPointF& c, double r) {
  p.setPen(ink(1.0));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(c, r, r);
  QPainterPath left, right;
  left.moveTo(c + QPointF(0, -r + 2));
  left.lineTo(c + QPointF(-r * 0.42, r * 0.55));
  left.lineTo(c);
  left.closeSubpath();
  right.moveTo(c + QPointF(0, -r + 2));
  right.lineTo(c + QPointF(r * 0.42, r * 0.55));
  right.lineTo(c);
  right.closeSubpath();
  fillOutlined(p, left, kInk, 1.0);
  fillOutlined(p, right, kPaper, 1.0);
  p.setFont(sans(10, true));
  p.setPen(kInk);
  p.drawText(QRectF(c.x() - 10, c.y() - r - 14, 20, 12), Qt::AlignCenter, QStringLiteral("N"));
}

// The title panel beside the plan.
void titlePanel(QPainter& p, const QRectF& r) {
  p.setPen(Qt::NoPen);
  p.setBrush(kPaper);
  p.drawRect(r);

  // The application mark.
  const QImage mark = drawAppIcon().scaled(72, 72, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  p.drawImage(QPointF(r.center().x() - 36, r.top() + 22), mark);

  p.setPen(kInk);
  p.setFont(sans(34, true));
  QRectF line(r.left(), r.top() + 102, r.width(), 42);
  p.drawText(line, Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("VERDIMO"));
  p.setPen(kInkSoft);
  p.setFont(sans(13));
  p.drawText(QRectF(r.left(), r.top() + 142, r.width(), 18), Qt::AlignCenter, QStringLiteral("ver. 4.2"));

  p.setPen(ink(1.0, kStoneLight));
  p.drawLine(QPointF(r.left() + 16, r.top() + 172.5), QPointF(r.right() - 16, r.top() + 172.5));
  p.setPen(kLeafDark);
  p.setFont(sans(15, true));
  p.drawText(QRectF(r.left() + 12, r.top() + 180, r.width() - 24, 44), Qt::AlignCenter | Qt::TextWordWrap,
             QStringLiteral("Projektowanie systemów nawadniania"));
  p.setPen(ink(1.0, kStoneLight));
  p.drawLine(QPointF(r.left() + 16, r.top() + 231.5), QPointF(r.right() - 16, r.top() + 231.5));

  // The legend of the plan.
  const double x = r.left() + 24, tx = r.left() + 52;
  double y = r.top() + 252;
  p.setFont(sans(12));
  auto caption = [&](const QString& text) {
    p.setPen(kInk);
    p.drawText(QRectF(tx, y - 8, r.right() - tx - 8, 16), Qt::AlignLeft | Qt::AlignVCenter, text);
    y += 24;
  };
  headSymbol(p, QPointF(x + 8, y));
  caption(QStringLiteral("Zraszacz"));
  p.save();
  p.setClipRect(QRectF(x - 2, y - 11, 24, 20));
  coverage(p, Head{QPointF(x, y + 8), 0, 90}, 18);
  p.restore();
  caption(QStringLiteral("Zasięg zraszania"));
  pipe(p, {QPointF(x, y), QPointF(x + 18, y)});
  caption(QStringLiteral("Rurociąg"));
  valveBox(p, QRectF(x + 2, y - 6, 14, 12));
  caption(QStringLiteral("Zawory sekcji"));

  northArrow(p, QPointF(r.right() - 30, r.bottom() - 28), 13);

  p.setPen(ink(1.5));
  p.setBrush(Qt::NoBrush);
  p.drawRect(r);
}

}  // namespace

QImage drawSplash() {
  QImage image(kSplashWidth, kSplashHeight, QImage::Format_RGB32);
  image.fill(kBackground);
  QPainter p(&image);
  begin(p);
  drawGrid(p, QRectF(0, 0, kSplashWidth, kSplashHeight));

  const QRectF plot(34, 44, 384, 360);
  sitePlan(p, plot);
  dimension(p, plot.topLeft(), plot.topRight(), 14, QStringLiteral("24,00 m"));
  titlePanel(p, QRectF(434.5, 14.5, 192, 400));

  // The sheet frame.
  p.setPen(ink(1.0, kInkSoft));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(6.5, 6.5, kSplashWidth - 13, kSplashHeight - 13));
  return image;
}

QImage drawAppIcon(int size) {
  const double s = size / 256.0;
  QImage image = blankPicture(size, size);
  QPainter p(&image);
  begin(p);
  p.scale(s, s);

  // The plan square: a lawn with mowing stripes.
  QPainterPath square;
  square.addRoundedRect(QRectF(14, 14, 228, 228), 40, 40);
  p.setPen(Qt::NoPen);
  p.setBrush(kGrass);
  p.drawPath(square);
  p.save();
  p.setClipPath(square);
  p.setBrush(QColor(102, 180, 88));
  for (int k = 0; k < 6; ++k) p.drawRect(QRectF(14 + 19 + k * 38, 0, 19, 256));

  // Coverage of a head in the lower-left corner.
  const QPointF head(58, 198);
  p.setBrush(QColor(255, 255, 255, 60));
  p.drawPie(QRectF(head.x() - 150, head.y() - 150, 300, 300), 0, 90 * 16);
  p.setBrush(Qt::NoBrush);
  for (int i = 0; i < 3; ++i) {
    const double rr = 58 + i * 44;
    QPen arc(QColor(255, 255, 255, 230 - i * 40), 9);
    arc.setCapStyle(Qt::RoundCap);
    p.setPen(arc);
    p.drawArc(QRectF(head.x() - rr, head.y() - rr, 2 * rr, 2 * rr), 8 * 16, 74 * 16);
  }
  p.restore();
  p.setPen(ink(6, kLeafDark));
  p.setBrush(Qt::NoBrush);
  p.drawPath(square);

  // The head.
  p.setPen(ink(5));
  p.setBrush(kPaper);
  p.drawEllipse(head, 17, 17);
  p.setPen(Qt::NoPen);
  p.setBrush(kWater);
  p.drawEllipse(head, 8, 8);

  // A drop of water.
  QPainterPath drop;
  const QPointF tip(182, 34);
  drop.moveTo(tip);
  drop.cubicTo(tip + QPointF(14, 30), tip + QPointF(44, 56), tip + QPointF(44, 86));
  drop.arcTo(QRectF(tip.x() - 44, tip.y() + 42, 88, 88), 0, -180);
  drop.cubicTo(tip + QPointF(-44, 56), tip + QPointF(-14, 30), tip);
  drop.closeSubpath();
  fillOutlined(p, drop, kWater, 6);
  p.setPen(ink(9, QColor(255, 255, 255, 200)));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(tip.x() - 28, tip.y() + 58, 56, 56), 190 * 16, 60 * 16);
  return image;
}

}  // namespace gui_pictures
