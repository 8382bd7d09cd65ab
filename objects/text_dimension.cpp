#include "objects/text_dimension.h"

#include <charconv>
#include <cmath>

#include "platform/numtext.h"
#include "platform/textcodec.h"

using platform::Brush;
using platform::Pen;
using platform::RasterOp;

// --- free text -------------------------------------------------------------------

CWText::CWText() {
  noLabelGrip = 1;
  text = "Tekst";
}

std::unique_ptr<CWBase> CWText::CloneAt(Point target) const {
  auto copy = std::make_unique<CWText>(*this);
  copy->placeSymbolAt(target);
  return copy;
}

void CWText::PlaceAt(Point click, double zoom) {
  kindWord = 0;
  scale = 1.0 / zoom;
  size = static_cast<int>(sizeU * zoom);
  placeSymbolAt(click);
}

platform::Font CWText::font() const {
  platform::Font f;
  f.face = fontFace;
  f.height = static_cast<int>(fontHeight / scale) + 1;
  f.weight = fontWeight;
  f.italic = italic != 0;
  f.underline = underline != 0;
  f.escapement = textAngle;
  return f;
}

void CWText::DrawLabel() {
  if (!dc) return;
  platform::CanvasStateSaver keep(*dc);
  dc->setFont(font());
  dc->setTextColour(textColour);
  dc->text({posX, posY}, text);
}

void CWText::DragGrip(Point to, Point from) {
  if (!dc || !posGripPicked) return;
  (void)from;
  platform::CanvasStateSaver keep(*dc);
  savedRop = static_cast<int>(dc->rasterOp());
  dc->setRasterOp(RasterOp::Not);
  dc->setPen(Pen::solid(0, 2));
  const auto cross = [&](Point c) {
    dc->line({c.x - 5, c.y}, {c.x + 5, c.y});
    dc->line({c.x, c.y - 5}, {c.x, c.y + 5});
  };
  cross({posX, posY});
  placeSymbolAt(to);
  cross({posX, posY});
  dc->setRasterOp(static_cast<RasterOp>(savedRop));
}

void CWText::DrawHighlighted() {
  if (!dc) return;
  platform::CanvasStateSaver keep(*dc);
  dc->setPen(Pen::solid(0, 1));
  dc->line({posX - 5, posY}, {posX + 10, posY});
  dc->line({posX, posY - 5}, {posX, posY + 10});
}

std::string CWText::GetKindName() const { return "Wstawiony Tekst"; }

// --- dimension line ----------------------------------------------------------------


CWDimension::CWDimension() { endGripColour = app().settings.systemPointColour; }

void CWDimension::Start(Point a, double zoom, int gridStepPixels, float gridStepMetresTimesZoom) {
  kindWord = 0;
  scale = 1.0 / zoom;
  zoomF = static_cast<float>(zoom);
  calibPixels = gridStepPixels;
  calibLength = gridStepMetresTimesZoom;
  placeSymbolAt(a);
  endAx = endBx = a.x;
  endAy = endBy = a.y;
  endAUx = endBUx = posUx;
  endAUy = endBUy = posUy;
  hasEnd = hasOffset = complete = 0;
  updateGeometry();
}

void CWDimension::SetEnd(Point b) {
  endAx = endBx = b.x;
  endAy = endBy = b.y;
  endAUx = endBUx = b.x * scale;
  endAUy = endBUy = b.y * scale;
  hasEnd = 1;
  updateGeometry();
}

void CWDimension::Complete(Point c) {
  endBx = c.x;
  endBy = c.y;
  endBUx = c.x * scale;
  endBUy = c.y * scale;
  hasOffset = 1;
  complete = 1;
  updateGeometry();
  Measure();
}

void CWDimension::restoreFromPlanUnits() {
  hasEnd = hasOffset = complete = 1;
  Rescale(1.0f);
}

void CWDimension::updateGeometry() {
  const double dx = endAx - posX, dy = endAy - posY;
  const double l = std::sqrt(dx * dx + dy * dy);
  // A line of no length has no direction; its extension lines stay on it.
  normalX = l > 0 ? dy / l : 0.0;
  normalY = l > 0 ? -dx / l : 0.0;
  labelAnchorX = (posX + endAx) / 2;
  labelAnchorY = (posY + endAy) / 2;
}

std::string CWDimension::formatLength(float metres) {
  // Three significant digits in the shortest form; a length of a thousand
  // metres or more (or a vanishing one) would need an exponent there, and is
  // shown with two decimals instead.
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, static_cast<double>(metres), std::chars_format::general, 3);
  std::string s(buf, r.ptr);
  if (s.find('e') != std::string::npos) return platform::formatFixed(metres, 2) + " m";
  const auto point = s.find('.');
  if (point == std::string::npos)
    s += ".00";
  else if (s.size() - point - 1 == 1)
    s += "0";
  return s + " m";
}

void CWDimension::Measure() {
  const int dx = endAx - posX, dy = endAy - posY;
  const double pixels = std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy);
  const double zoom = 1.0 / scale;
  const bool snapped = app().planView && app().planView->snapToGrid();
  if (snapped && (dx == 0 || dy == 0) && calibPixels > 0) {
    lengthM = static_cast<float>(pixels / calibPixels * calibLength / zoom);
  } else {
    // Lines created without a grid step fall back to the drawing scale.
    const DocumentValues s = documentValues();
    lengthM = static_cast<float>(planUnitsToMetres(pixels, s.scaleDenominator, s.pixelsPerCm) / zoom);
  }
  text = formatLength(lengthM).substr(0, kMaxText);
}

Point CWDimension::labelPoint() const { return labelAnchor({labelAnchorX, labelAnchorY}); }

void CWDimension::MoveLabelTo(Point p) { setLabelOffsetTo(p, {labelAnchorX, labelAnchorY}); }

void CWDimension::Rescale(float zoom) {
  CWSymb::Rescale(zoom);
  zoomF = zoom;
  endAx = static_cast<int>(zoom * endAUx);
  endAy = static_cast<int>(zoom * endAUy);
  endBx = static_cast<int>(zoom * endBUx);
  endBy = static_cast<int>(zoom * endBUy);
  updateGeometry();
}

void CWDimension::DrawLabel() {
  if (!dc) return;
  platform::CanvasStateSaver keep(*dc);
  const AppSettings& s = app().settings;
  platform::Font f = dc->font();
  f.face = s.labelFontFace;
  f.weight = s.labelFontWeight;
  f.height = static_cast<int>(s.labelFontHeight / scale);
  f.escapement = labelAngle;
  dc->setFont(f);
  dc->text(labelPoint(), text);
}

void CWDimension::drawArrowhead(Point tip, double ux, double uy, double zoom) {
  // (ux, uy) points from the tip back along the line.
  const double bx = tip.x + ux * 8 * zoom, by = tip.y + uy * 8 * zoom;
  const double px = -uy * 2 * zoom, py = ux * 2 * zoom;
  dc->polygon({tip, {static_cast<int>(bx + px), static_cast<int>(by + py)},
               {static_cast<int>(bx - px), static_cast<int>(by - py)}});
}

void CWDimension::DrawSymbol() {
  if (!dc || !hasEnd) return;
  const Point a{posX, posY}, b{endAx, endAy};
  dc->line(a, b);
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double l = std::sqrt(dx * dx + dy * dy);
  if (l > 0) {
    dc->setBrush(Brush::solid(dc->pen().colour));
    const double zoom = 1.0 / scale;
    drawArrowhead(b, -dx / l, -dy / l, zoom);
    drawArrowhead(a, dx / l, dy / l, zoom);
    dc->setBrush(Brush::none());
  }
  if (hasOffset) {
    const double d = endBx - endAx;
    const int ex = static_cast<int>(normalX * d), ey = static_cast<int>(normalY * d);
    dc->line(a, {a.x + ex, a.y + ey});
    dc->line(b, {b.x + ex, b.y + ey});
  }
}

void CWDimension::Draw() {
  if (!dc) return;
  drawFigureWith(Pen::solid(0, 1));
  if (!showGrips) return;
  drawGrip({posX, posY}, posGripColour);
  if (hasEnd) drawGrip({endAx, endAy}, endGripColour);
  if (labelShown) drawGrip(labelPoint(), app().settings.systemPointColour);
}

void CWDimension::ResetGrips() {
  CWSymb::ResetGrips();
  endGripColour = app().settings.systemPointColour;
  endGripPicked = 0;
}

int CWDimension::PickGrip(Point p, int mode) {
  if (mode == 0 && hasEnd && hitGrip(p, {endAx, endAy})) {
    endGripColour = kPickedGripColour;
    endGripPicked = 1;
  } else if ((mode == 0 || mode == 1) && hitGrip(p, {posX, posY})) {
    posGripColour = kPickedGripColour;
    posGripPicked = 1;
  } else if (mode == 0 && labelShown && hitGrip(p, labelPoint())) {
    labelGripPicked = 1;
  } else {
    return 0;
  }
  Draw();
  return 1;
}

void CWDimension::DragGrip(Point to, Point) {
  if (!dc) return;
  platform::CanvasStateSaver keep(*dc);
  savedRop = static_cast<int>(dc->rasterOp());
  dc->setRasterOp(RasterOp::Not);
  const Pen pen = Pen::solid(0, 2);
  if (posGripPicked || endGripPicked) {
    drawFigureWith(pen);  // erases the figure at its old place
    if (posGripPicked) {
      posX = to.x;
      posY = to.y;
      posUx = posX * scale;
      posUy = posY * scale;
    } else {
      // The offset point follows the end.
      endBx += to.x - endAx;
      endBy += to.y - endAy;
      endAx = to.x;
      endAy = to.y;
      endAUx = endAx * scale;
      endAUy = endAy * scale;
      endBUx = endBx * scale;
      endBUy = endBy * scale;
    }
    updateGeometry();
    drawFigureWith(pen);
    Measure();
  } else if (labelGripPicked) {
    dc->setPen(pen);
    const Point old = labelPoint();
    dc->rectangle({old.x - 3, old.y - 3, old.x + 4, old.y + 4});
    MoveLabelTo(to);
    const Point now = labelPoint();
    dc->rectangle({now.x - 3, now.y - 3, now.x + 4, now.y + 4});
  }
  dc->setRasterOp(static_cast<RasterOp>(savedRop));
}

void CWDimension::DrawHighlighted() { drawFigureWith(Pen::solid(app().settings.highlightColour, 2)); }

std::string CWDimension::GetKindName() const {
  static const std::string name = platform::utf8ToCp1250("Linie wymiarujące");
  return name;
}
