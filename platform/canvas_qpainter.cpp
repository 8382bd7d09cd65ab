#include "platform/canvas_qpainter.h"

#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainterPath>
#include <QStaticText>
#include <cmath>
#include <mutex>
#include <map>

#include "platform/textcodec.h"

namespace platform {
namespace {

QPoint q(Point p) { return {p.x, p.y}; }

// The inclusive rectangle a device context's exclusive one covers.
QRect inclusive(const Rect& r) { return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)).normalized(); }

QPolygon qpolygon(const std::vector<Point>& points) {
  QPolygon poly(static_cast<int>(points.size()));
  for (size_t i = 0; i < points.size(); ++i) poly.setPoint(static_cast<int>(i), points[i].x, points[i].y);
  return poly;
}

Qt::BrushStyle hatchStyle(HatchStyle h) {
  switch (h) {
    case HatchStyle::Horizontal: return Qt::HorPattern;
    case HatchStyle::Vertical: return Qt::VerPattern;
    case HatchStyle::ForwardDiagonal: return Qt::FDiagPattern;
    case HatchStyle::BackwardDiagonal: return Qt::BDiagPattern;
    case HatchStyle::Cross: return Qt::CrossPattern;
    case HatchStyle::DiagonalCross: return Qt::DiagCrossPattern;
  }
  return Qt::CrossPattern;
}

// Cell height (ascent + descent) of a face per pixel of its size, so that a
// font can be asked for by its cell height as the plan's fonts are.
double cellRatio(const QString& family) {
  // Views may draw from two threads at once.
  static std::mutex guard;
  std::lock_guard<std::mutex> lock(guard);
  static std::map<QString, double> cache;
  auto it = cache.find(family);
  if (it != cache.end()) return it->second;
  QFont f(family);
  f.setPixelSize(100);
  QFontMetricsF fm(f);
  double ratio = (fm.ascent() + fm.descent()) / 100.0;
  if (!(ratio > 0.5 && ratio < 3.0)) ratio = 1.15;
  cache[family] = ratio;
  return ratio;
}

QString toQString(const std::string& text, bool western) {
  if (!western || text.find('\xF8') == std::string::npos) return QString::fromStdString(cp1250ToUtf8(text));
  QString out;
  size_t from = 0;
  for (size_t i = text.find('\xF8'); i != std::string::npos; i = text.find('\xF8', from)) {
    out += QString::fromStdString(cp1250ToUtf8(text.substr(from, i - from)));
    out += QChar(0x00F8);
    from = i + 1;
  }
  out += QString::fromStdString(cp1250ToUtf8(text.substr(from)));
  return out;
}

QImage wrap(const Image& image) {
  return QImage(reinterpret_cast<const uchar*>(image.pixels.data()), image.width, image.height, image.width * 4,
                image.alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
}

}  // namespace

QColor toQColor(Colour c) { return QColor(redOf(c), greenOf(c), blueOf(c)); }
Colour fromQColor(const QColor& c) { return rgb(c.red(), c.green(), c.blue()); }

QPainterCanvas::QPainterCanvas(QPainter& painter) : painter_(painter) {
  painter_.save();
  base_ = painter_.worldTransform();
  worldScale_ = std::max(1.0, std::sqrt(std::fabs(base_.determinant())));
  painter_.setRenderHint(QPainter::Antialiasing, false);
  painter_.setRenderHint(QPainter::TextAntialiasing, true);
  painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
  setPen(pen_);
  setBrush(brush_);
  setFont(font_);
}

QPainterCanvas::~QPainterCanvas() { painter_.restore(); }

void QPainterCanvas::setPen(const Pen& pen) {
  if (pen == pen_ && penSet_) return;
  penSet_ = true;
  pen_ = pen;
  if (pen.style == PenStyle::Null) {
    painter_.setPen(Qt::NoPen);
    return;
  }
  const int width = std::max(1, pen.width);
  QPen qp(toQColor(pen.colour));
  qp.setWidth(width);
  // As on a device context, only thin pens are dotted.
  qp.setStyle(pen.style == PenStyle::Dot && width == 1 ? Qt::DotLine : Qt::SolidLine);
  // Wide pens end and join round, as a device context draws them; up to
  // three pixels a square end covers the same pixels and strokes far faster.
  qp.setCapStyle(width > 3 ? Qt::RoundCap : width > 1 ? Qt::SquareCap : Qt::FlatCap);
  qp.setJoinStyle(width > 3 ? Qt::RoundJoin : Qt::MiterJoin);
  painter_.setPen(qp);
}

void QPainterCanvas::setBrush(const Brush& brush) {
  if (brush == brush_ && brushSet_ && brush.style != BrushStyle::Pattern) return;
  brushSet_ = true;
  brush_ = brush;
  switch (brush.style) {
    case BrushStyle::Null:
      painter_.setBrush(Qt::NoBrush);
      break;
    case BrushStyle::Solid:
      painter_.setBrush(QBrush(toQColor(brush.colour)));
      break;
    case BrushStyle::Hatch:
      painter_.setBrush(QBrush(toQColor(brush.colour), hatchStyle(brush.hatch)));
      break;
    case BrushStyle::Pattern: {
      if (!brush.pattern || brush.pattern->width <= 0 || brush.pattern->height <= 0) {
        painter_.setBrush(Qt::NoBrush);
        break;
      }
      QBrush b(wrap(*brush.pattern));
      // Tiles stay anchored to the device origin whatever the viewport origin.
      b.setTransform(QTransform::fromTranslate(-origin_.x, -origin_.y));
      painter_.setBrush(b);
      break;
    }
  }
}

void QPainterCanvas::setFont(const Font& font) {
  // Objects set the same few fonts over and over; building a QFont is dear.
  if (font == font_ && fontSet_) return;
  fontSet_ = true;
  font_ = font;
  for (const CachedFont& c : fonts_) {
    if (c.font == font) {
      applyFont(c);
      return;
    }
  }
  CachedFont c;
  c.font = font;
  QFont f(QString::fromStdString(cp1250ToUtf8(font.face.empty() ? std::string("Arial") : font.face)));
  int px;
  if (font.height < 0)
    px = -font.height;
  else if (font.height == 0)
    px = 12;
  else
    px = static_cast<int>(std::lround(font.height / cellRatio(f.family())));
  f.setPixelSize(std::max(1, px));
  f.setWeight(static_cast<QFont::Weight>(std::clamp(font.weight <= 0 ? 400 : font.weight, 1, 1000)));
  f.setItalic(font.italic);
  f.setUnderline(font.underline);
  c.qfont = f;
  c.key = f.key();
  QFontMetricsF fm(f, painter_.device());
  c.cellHeight = fm.ascent() + fm.descent();
  if (fonts_.size() >= 64) fonts_.erase(fonts_.begin());
  fonts_.push_back(c);
  applyFont(fonts_.back());
}

void QPainterCanvas::applyFont(const CachedFont& c) {
  qfont_ = c.qfont;
  fontKey_ = c.key;
  cellHeight_ = c.cellHeight;
  painter_.setFont(qfont_);
}

void QPainterCanvas::setRasterOp(RasterOp op) {
  if (op == rop_) return;
  rop_ = op;
  const bool canInvert = painter_.paintEngine() && painter_.paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
  painter_.setCompositionMode(op == RasterOp::Not && canInvert ? QPainter::RasterOp_NotDestination
                                                               : QPainter::CompositionMode_SourceOver);
}

void QPainterCanvas::setViewportOrigin(Point origin) {
  // Objects put the same origin back again and again: a transform is dear.
  if (origin == origin_ && originSet_) return;
  originSet_ = true;
  origin_ = origin;
  painter_.setWorldTransform(QTransform::fromTranslate(origin.x, origin.y) * base_);
  if (brush_.style == BrushStyle::Pattern) setBrush(brush_);
}

void QPainterCanvas::setClipRect(const Rect& r) { painter_.setClipRect(QRect(r.left, r.top, r.width(), r.height())); }

void QPainterCanvas::setClipPolygon(const std::vector<Point>& points) {
  QPainterPath path;
  path.addPolygon(QPolygonF(qpolygon(points)));
  path.closeSubpath();
  painter_.setClipPath(path);
}

void QPainterCanvas::setClipEllipse(const Rect& box) {
  QPainterPath path;
  path.addEllipse(QRectF(box.left, box.top, box.width(), box.height()));
  painter_.setClipPath(path);
}

void QPainterCanvas::resetClip() { painter_.setClipping(false); }

void QPainterCanvas::line(Point from, Point to) { painter_.drawLine(q(from), q(to)); }

void QPainterCanvas::polyline(const std::vector<Point>& points) {
  if (points.size() < 2) return;
  painter_.drawPolyline(qpolygon(points));
}

void QPainterCanvas::polygon(const std::vector<Point>& points) {
  if (points.empty()) return;
  painter_.drawPolygon(qpolygon(points), Qt::OddEvenFill);
}

void QPainterCanvas::rectangle(const Rect& r) {
  if (r.width() == 0 || r.height() == 0) return;
  painter_.drawRect(inclusive(r));
}

void QPainterCanvas::ellipse(const Rect& box) {
  const QRect r = inclusive(box);
  // An ellipse of a few pixels covers the pixels of its box: drawn as one,
  // it costs a fraction of the curve.
  const double scale = painter_.deviceTransform().m11();
  if (r.width() * scale <= 3 && r.height() * scale <= 3 && rop_ == RasterOp::CopyPen)
    painter_.drawRect(r);
  else
    painter_.drawEllipse(r);
}

void QPainterCanvas::arc(const Rect& box, Point start, Point end) {
  const QRectF r = QRectF(inclusive(box));
  const double cx = r.center().x(), cy = r.center().y();
  // Angles on the screen, counter-clockwise from three o'clock.
  auto angle = [&](Point p) {
    const double dx = p.x - cx, dy = cy - p.y;
    return (dx == 0 && dy == 0) ? 0.0 : std::atan2(dy, dx) * 180.0 / M_PI;
  };
  const double a0 = angle(start);
  double span = angle(end) - a0;
  while (span <= 1e-9) span += 360.0;
  while (span > 360.0) span -= 360.0;
  if (std::fabs(span - 360.0) < 1e-9) {
    painter_.save();
    painter_.setBrush(Qt::NoBrush);
    painter_.drawEllipse(r);
    painter_.restore();
    return;
  }
  painter_.drawArc(r, static_cast<int>(std::lround(a0 * 16)), static_cast<int>(std::lround(span * 16)));
}

void QPainterCanvas::fillRect(const Rect& r, Colour c) {
  if (rop_ == RasterOp::CopyPen) {
    painter_.fillRect(QRect(r.left, r.top, r.width(), r.height()), toQColor(c));
    return;
  }
  const auto mode = painter_.compositionMode();
  painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter_.fillRect(QRect(r.left, r.top, r.width(), r.height()), toQColor(c));
  painter_.setCompositionMode(mode);
}

void QPainterCanvas::drawImage(const Rect& dest, const Image& image, const Rect& source) {
  if (image.width <= 0 || image.height <= 0) return;
  QRect src(source.left, source.top, source.width(), source.height());
  if (src.isEmpty()) src = QRect(0, 0, image.width, image.height);
  painter_.drawImage(QRect(dest.left, dest.top, dest.width(), dest.height()), wrap(image), src);
}

void QPainterCanvas::text(Point at, const std::string& text) {
  if (text.empty()) return;
  // A text that cannot reach the device is not laid out at all: shaping is
  // the dearest part of drawing a plan, and most labels of a large plan lie
  // outside the view. The bound holds whatever the text's turn.
  if (const QPaintDevice* device = painter_.device()) {
    const QPointF d = painter_.worldTransform().map(QPointF(at.x, at.y));
    const double reach = (static_cast<double>(text.size()) + 2) * qfont_.pixelSize() * 1.5 * worldScale_;
    const QRectF bounds(d.x() - reach, d.y() - reach, 2 * reach, 2 * reach);
    if (!bounds.intersects(QRectF(0, 0, device->width(), device->height()))) return;
  }
  const QString s = toQString(text, font_.westernCharset);
  const QString key = fontKey_ + QChar(0x1F) + s;
  auto it = layouts_.find(key);
  if (it == layouts_.end()) {
    if (layouts_.size() > 4096) layouts_.clear();
    QStaticText laid(s);
    laid.setTextFormat(Qt::PlainText);
    laid.prepare(QTransform(), qfont_);
    it = layouts_.emplace(key, std::move(laid)).first;
  }
  const QStaticText& laid = it->second;
  painter_.save();
  painter_.translate(at.x, at.y);
  if (font_.escapement != 0) painter_.rotate(-font_.escapement / 10.0);
  if (opaque_) {
    const QSizeF size = laid.size();
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_.fillRect(QRectF(0, 0, size.width(), cellHeight_), toQColor(bk_));
  }
  if (const int w = textHaloWidth(); w > 0) {
    // The letters drawn around themselves in the halo's colour first.
    painter_.setPen(toQColor(textHaloColour()));
    for (int dy = -w; dy <= w; dy += w)
      for (int dx = -w; dx <= w; dx += w)
        if (dx || dy) painter_.drawStaticText(QPointF(dx, dy), laid);
  }
  painter_.setPen(toQColor(text_));
  painter_.drawStaticText(QPointF(0, 0), laid);
  painter_.restore();
}

Size QPainterCanvas::textExtent(const std::string& text) const {
  const QString s = toQString(text, font_.westernCharset);
  QFontMetricsF fm(qfont_, painter_.device());
  return {static_cast<int>(std::ceil(fm.horizontalAdvance(s))), static_cast<int>(std::ceil(fm.ascent() + fm.descent()))};
}

}  // namespace platform
