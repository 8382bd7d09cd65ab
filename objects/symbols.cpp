#include "objects/symbols.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "partix.h"
#include "platform/textcodec.h"

using platform::Brush;
using platform::Pen;
using platform::RasterOp;

namespace {

// Windows-1250 texts of this unit, converted once.
const std::string& kindValve() {
  static const std::string s = platform::utf8ToCp1250("Zawór");
  return s;
}
const std::string& kindWaterSource() {
  static const std::string s = platform::utf8ToCp1250("Zawór (źródło wody)");
  return s;
}
const std::string& waterSourceLabel() {
  static const std::string s = platform::utf8ToCp1250("źródło wody");
  return s;
}
const std::string& lastSourceMessage() {
  static const std::string s = platform::utf8ToCp1250("To jedyne źródło wody w systemie. Nie można go usunąć.");
  return s;
}

Colour gripColour() { return app().settings.systemPointColour; }

Pen highlightPen() { return Pen::solid(app().settings.highlightColour, 2); }

// Draws with the inverting raster operation, keeping the previous one in
// `savedRop` and putting it back at the end, as every drag does.
class InvertingDraw {
 public:
  InvertingDraw(Canvas& dc, int& savedRop) : dc_(dc), keep_(dc) {
    savedRop = static_cast<int>(dc.rasterOp());
    saved_ = savedRop;
    dc.setRasterOp(RasterOp::Not);
  }
  ~InvertingDraw() { dc_.setRasterOp(static_cast<RasterOp>(saved_)); }

 private:
  Canvas& dc_;
  platform::CanvasStateSaver keep_;
  int saved_ = 0;
};

// Picks the control point at `q` when `p` hits it: grey, with its flag set.
bool pickPoint(Point p, Point q, Colour& colour, int& picked) {
  if (!CWBase::hitGrip(p, q)) return false;
  colour = kPickedGripColour;
  picked = 1;
  return true;
}

// Picks the label's control point of `o`, an object at `pos`, when its label
// is shown.
bool pickLabel(CWBase& o, Point p, Point pos) {
  if (!o.labelShown || !CWBase::hitGrip(p, o.labelAnchor(pos))) return false;
  o.labelGripPicked = 1;
  return true;
}

// `text` at the label anchor of `o`, an object at `pos`, in the label font
// the document selected.
void drawLabelText(const CWBase& o, Point pos, const std::string& text) {
  if (o.dc) o.dc->text(o.labelAnchor(pos), text);
}

// Moves the label of `o`, an object at `pos`, to `to`, framing the old and
// the new anchor with `pen` in the raster operation of the drag.
void dragLabel(CWBase& o, Point pos, Point to, const Pen& pen) {
  Canvas& dc = *o.dc;
  dc.setPen(pen);
  const auto frame = [&](Point a) { dc.rectangle({a.x - 3, a.y - 3, a.x + 4, a.y + 4}); };
  frame(o.labelAnchor(pos));
  o.MoveLabelTo(to);
  frame(o.labelAnchor(pos));
}

}  // namespace

// --- valve -------------------------------------------------------------------

std::array<Point, 5> valveFigurePoints(Point pos, int a, float angle) {
  const double c = std::cos(static_cast<double>(angle));
  const double s = std::sin(static_cast<double>(angle));
  const int offsets[5][2] = {{-a, -a}, {a, -a}, {0, 0}, {-a, a}, {a, a}};
  std::array<Point, 5> out;
  for (int k = 0; k < 5; ++k) {
    const double dx = offsets[k][0], dy = offsets[k][1];
    out[k] = {pos.x + static_cast<int>(dx * c - dy * s), pos.y + static_cast<int>(dx * s + dy * c)};
  }
  return out;
}

CWValve::CWValve() {
  labelDx = -12;
  labelDy = 12;
  posGripColour = sizeGripColour = gripColour();
}

void CWValve::updatePlanUnits() {
  posUx = posX * scale;
  posUy = posY * scale;
  pointAUx = pointAX * scale;
  pointAUy = pointAY * scale;
  pointBUx = pointBX * scale;
  pointBUy = pointBY * scale;
}

void CWValve::PlaceAt(Point click, double zoom) {
  kindWord = 0;
  scale = 1.0 / zoom;
  posX = click.x;
  posY = click.y;
  pointAX = static_cast<int>(click.x + 10 * zoom);
  pointAY = static_cast<int>(click.y + 10 * zoom);
  pointBX = static_cast<int>(click.x + 25 * zoom);
  pointBY = click.y;
  updatePlanUnits();
  SetWaterSource(0);
}

int CWValve::halfSize() const { return std::abs(posX - pointAX); }

std::unique_ptr<CWBase> CWValve::CloneAt(Point target) const {
  auto copy = std::make_unique<CWValve>(*this);
  const int dx = target.x - posX, dy = target.y - posY;
  copy->posX += dx;
  copy->posY += dy;
  copy->pointAX += dx;
  copy->pointAY += dy;
  copy->pointBX += dx;
  copy->pointBY += dy;
  copy->updatePlanUnits();
  return copy;
}

void CWValve::MoveLabelTo(Point p) { setLabelOffsetTo(p, {posX, posY}); }

void CWValve::Rescale(float zoom) {
  posX = static_cast<int>(zoom * posUx);
  posY = static_cast<int>(zoom * posUy);
  pointAX = static_cast<int>(zoom * pointAUx);
  pointAY = static_cast<int>(zoom * pointAUy);
  pointBX = static_cast<int>(zoom * pointBUx);
  pointBY = static_cast<int>(zoom * pointBUy);
  scale = 1.0 / zoom;
}

void CWValve::DrawLabel() {
  drawLabelText(*this, {posX, posY}, isWaterSource ? waterSourceLabel() : elementShortName());
}

void CWValve::drawFigure(const Pen& pen, bool fill) {
  platform::CanvasStateSaver keep(*dc);
  const auto p = valveFigurePoints({posX, posY}, halfSize(), angle);
  dc->setPen(pen);
  if (fill) {
    dc->setBrush(Brush::solid(pen.colour));
    dc->polygon({p[0], p[1], p[2]});
    dc->polygon({p[3], p[4], p[2]});
  }
  dc->line(p[0], p[1]);
  dc->line(p[3], p[4]);
  dc->line({p[0].x - 1, p[0].y - 1}, p[4]);
  dc->line({p[1].x, p[1].y - 1}, p[3]);
}

void CWValve::Draw() {
  if (!dc) return;
  drawFigure(Pen::solid(0, 2), isWaterSource != 0);
  if (!showGrips) return;
  drawGrip({posX, posY}, posGripColour);
  drawGrip({pointAX, pointAY}, sizeGripColour);
  drawGrip({pointBX, pointBY}, rotGripColour);
  if (labelShown) drawGrip(labelAnchor({posX, posY}), gripColour());
}

void CWValve::ResetGrips() {
  CWBase::ResetGrips();
  posGripColour = sizeGripColour = gripColour();
  rotGripColour = kOrangeGripColour;
  posGripPicked = sizeGripPicked = rotGripPicked = 0;
}

int CWValve::PickGrip(Point p, int mode) {
  const bool hit = (mode == 0 && pickPoint(p, {pointAX, pointAY}, sizeGripColour, sizeGripPicked)) ||
                   (mode == 0 && pickPoint(p, {pointBX, pointBY}, rotGripColour, rotGripPicked)) ||
                   ((mode == 0 || mode == 1) && pickPoint(p, {posX, posY}, posGripColour, posGripPicked)) ||
                   (mode == 0 && pickLabel(*this, p, {posX, posY}));
  if (!hit) return 0;
  Draw();
  return 1;
}

void CWValve::DragGrip(Point to, Point) {
  if (!dc) return;
  InvertingDraw inverting(*dc, savedRop);
  const Pen pen = Pen::solid(0, 2);
  if (posGripPicked || sizeGripPicked || rotGripPicked) {
    drawFigure(pen, false);  // erases the figure at its old place
    if (posGripPicked) {
      // The handles keep their distances from the position.
      const int dx = to.x - posX, dy = to.y - posY;
      posX = to.x;
      posY = to.y;
      pointAX += dx;
      pointAY += dy;
      pointBX += dx;
      pointBY += dy;
    } else if (sizeGripPicked) {
      pointAX = to.x;
      pointAY = to.y;
    } else {
      pointBX = to.x;
      pointBY = to.y;
      const double across = posX - to.x, along = posY - to.y;
      // On the position itself the direction is undefined: keep the angle.
      if (across != 0 || along != 0) angle = static_cast<float>(-std::atan(across / along));
    }
    lastDragX = to.x;
    lastDragY = to.y;
    updatePlanUnits();
    drawFigure(pen, false);
  } else if (labelGripPicked) {
    dragLabel(*this, {posX, posY}, to, pen);
  }
}

void CWValve::DrawHighlighted() {
  if (dc) drawFigure(highlightPen(), false);
}

std::string CWValve::GetKindName() const { return isWaterSource ? kindWaterSource() : kindValve(); }

int DeleteObject(CWBase& object, int waterSourceCount, const MessageHook& report) {
  const auto* valve = dynamic_cast<const CWValve*>(&object);
  if (valve && valve->IsWaterSource() && waterSourceCount == 1) {
    if (report) report({lastSourceMessage(), "Info", UserMessage::Icon::Error});
    return -1;
  }
  object.deleted = 1;
  return 0;
}

// --- valve box -------------------------------------------------------------------

CWValveBox::CWValveBox() { lengthGripColour = gripColour(); }

bool CWValveBox::isRound() const {
  if (!elem || !elem->data || elem->kind != kKindValveBox) return false;
  return static_cast<const CStud*>(elem->data)->isRound != 0;
}

void CWValveBox::placeHandles() {
  widthGripX = posX + static_cast<int>(20 * turn11);
  widthGripY = posY + static_cast<int>(20 * turn21);
  lengthGripX = posX + widthPx;
  lengthGripY = posY + lengthPx;
  widthGripUx = widthGripX * scale;
  widthGripUy = widthGripY * scale;
  lengthGripUx = lengthGripX * scale;
  lengthGripUy = lengthGripY * scale;
}

void CWValveBox::PlaceAt(Point click, double zoom) {
  kindWord = 0;
  scale = 1.0 / zoom;
  widthPx = static_cast<int>(widthU * zoom);
  lengthPx = static_cast<int>(lengthU * zoom);
  size = static_cast<int>(sizeU * zoom);
  placeSymbolAt(click);
  placeHandles();
}

std::unique_ptr<CWBase> CWValveBox::CloneAt(Point target) const {
  auto copy = std::make_unique<CWValveBox>(*this);
  const int dx = target.x - posX, dy = target.y - posY;
  copy->placeSymbolAt({posX + dx, posY + dy});
  copy->widthGripX += dx;
  copy->widthGripY += dy;
  copy->lengthGripX += dx;
  copy->lengthGripY += dy;
  copy->widthGripUx = copy->widthGripX * scale;
  copy->widthGripUy = copy->widthGripY * scale;
  copy->lengthGripUx = copy->lengthGripX * scale;
  copy->lengthGripUy = copy->lengthGripY * scale;
  return copy;
}

void CWValveBox::Rescale(float zoom) {
  CWSymb::Rescale(zoom);
  widthGripX = static_cast<int>(zoom * widthGripUx);
  widthGripY = static_cast<int>(zoom * widthGripUy);
  lengthGripX = static_cast<int>(zoom * lengthGripUx);
  lengthGripY = static_cast<int>(zoom * lengthGripUy);
  widthPx = static_cast<int>(zoom * widthU);
  lengthPx = static_cast<int>(zoom * lengthU);
}

void CWValveBox::DrawLabel() { drawLabelText(*this, {posX, posY}, elementShortName()); }

std::array<Point, 4> CWValveBox::corners() const {
  const int d[4][2] = {{0, 0}, {widthPx, 0}, {widthPx, lengthPx}, {0, lengthPx}};
  std::array<Point, 4> out;
  for (int k = 0; k < 4; ++k) {
    const float dx = static_cast<float>(d[k][0]), dy = static_cast<float>(d[k][1]);
    out[k] = {posX + static_cast<int>(turn11 * dx + turn12 * dy), posY + static_cast<int>(turn21 * dx + turn22 * dy)};
  }
  return out;
}

void CWValveBox::drawOutline(const Pen& pen) {
  dc->setPen(pen);
  dc->setBrush(Brush::none());
  if (isRound()) {
    const int left = posX - widthPx / 2, top = posY - widthPx / 2;
    dc->ellipse({left, top, left + widthPx, top + widthPx});
  } else {
    const auto c = corners();
    dc->polygon({c.begin(), c.end()});
  }
}

void CWValveBox::DrawBody(int w) {
  if (!dc) return;
  platform::CanvasStateSaver keep(*dc);
  drawOutline(Pen::solid(0x008000, 3 * w));
  drawOutline(Pen::solid(0xFFFFFF, w));
}

void CWValveBox::Draw() {
  if (!dc) return;
  const int w = (printing && !preview) ? 4 : 1;
  DrawBody(w);
  if (!showGrips) return;
  {
    platform::CanvasStateSaver keep(*dc);
    dc->setPen(Pen::solid(0, std::max(1, w / 2)));
    dc->line({posX, posY}, {lengthGripX, lengthGripY});
  }
  drawGrip({posX, posY}, posGripColour);
  if (!isRound()) drawGrip({widthGripX, widthGripY}, widthGripColour);
  drawGrip({lengthGripX, lengthGripY}, lengthGripColour);
  if (labelShown && !noLabelGrip) drawGrip(labelAnchor({posX, posY}), gripColour());
}

void CWValveBox::ResetGrips() {
  CWSymb::ResetGrips();
  widthGripColour = kOrangeGripColour;
  lengthGripColour = gripColour();
  widthGripPicked = lengthGripPicked = 0;
}

int CWValveBox::PickGrip(Point p, int mode) {
  const bool hit =
      (mode == 0 && !isRound() && pickPoint(p, {widthGripX, widthGripY}, widthGripColour, widthGripPicked)) ||
      (mode == 0 && pickPoint(p, {lengthGripX, lengthGripY}, lengthGripColour, lengthGripPicked));
  if (!hit) return CWSymb::PickGrip(p, mode);
  Draw();
  return 1;
}

void CWValveBox::DragGrip(Point to, Point from) {
  if (!dc) return;
  if (labelGripPicked && !posGripPicked && !widthGripPicked && !lengthGripPicked) {
    CWSymb::DragGrip(to, from);
    return;
  }
  if (!posGripPicked && !widthGripPicked && !lengthGripPicked) return;
  InvertingDraw inverting(*dc, savedRop);
  const Pen pen = Pen::solid(0, 2);
  drawOutline(pen);  // erases the outline at its old place
  if (posGripPicked) {
    placeSymbolAt(to);
    placeHandles();
  } else if (widthGripPicked) {
    const double dx = to.x - posX, dy = to.y - posY;
    const double l = std::sqrt(dx * dx + dy * dy);
    // On the position itself there is no direction to turn to.
    if (l > 0) {
      const float c = static_cast<float>(dx / l), s = static_cast<float>(dy / l);
      turn11 = c;
      turn12 = s;
      turn21 = s;
      turn22 = -c;
      placeHandles();
    }
  } else {
    widthPx = to.x - posX;
    lengthPx = to.y - posY;
    widthU = static_cast<float>(widthPx * scale);
    lengthU = static_cast<float>(lengthPx * scale);
    placeHandles();
  }
  drawOutline(pen);
}

void CWValveBox::DrawHighlighted() {
  if (!dc) return;
  platform::CanvasStateSaver keep(*dc);
  drawOutline(highlightPen());
}

std::string CWValveBox::GetKindName() const { return elementName(); }

// --- controller --------------------------------------------------------------------

CWController::CWController() {
  labelDx = -9;
  labelDy = 15;
  posGripColour = sizeGripColour = gripColour();
}

void CWController::updatePlanUnits() {
  posUx = posX * scale;
  posUy = posY * scale;
  sizeGripUx = sizeGripX * scale;
  sizeGripUy = sizeGripY * scale;
}

void CWController::PlaceAt(Point click, double zoom) {
  kindWord = 0;
  scale = 1.0 / zoom;
  posX = click.x;
  posY = click.y;
  size = static_cast<int>(sizeU * zoom);
  sizeGripX = posX + size;
  sizeGripY = posY;
  updatePlanUnits();
}

std::unique_ptr<CWBase> CWController::CloneAt(Point target) const {
  auto copy = std::make_unique<CWController>(*this);
  const int dx = target.x - posX, dy = target.y - posY;
  copy->posX += dx;
  copy->posY += dy;
  copy->sizeGripX += dx;
  copy->sizeGripY += dy;
  copy->updatePlanUnits();
  return copy;
}

void CWController::MoveLabelTo(Point p) { setLabelOffsetTo(p, {posX, posY}); }

void CWController::Rescale(float zoom) {
  posX = static_cast<int>(zoom * posUx);
  posY = static_cast<int>(zoom * posUy);
  sizeGripX = static_cast<int>(zoom * sizeGripUx);
  sizeGripY = static_cast<int>(zoom * sizeGripUy);
  size = static_cast<int>(zoom * sizeU);
  scale = 1.0 / zoom;
}

void CWController::DrawLabel() { drawLabelText(*this, {posX, posY}, elementShortName()); }

void CWController::drawFigure(const Pen& pen, const Brush& brush) {
  platform::CanvasStateSaver keep(*dc);
  dc->setPen(pen);
  dc->setBrush(brush);
  const int s = size;
  const auto circle = [&](int r) { dc->ellipse({posX - r, posY - r, posX + r, posY + r}); };
  // A clock face: a rim, twelve ticks and two hands.
  circle(static_cast<int>(s / 2 + 0.1 * s));
  circle(s / 2);
  const auto at = [&](double r, double a) {
    return Point{posX + static_cast<int>(r * std::cos(a)), posY - static_cast<int>(r * std::sin(a))};
  };
  for (int k = 0; k < 12; ++k) {
    const double a = k * M_PI / 6;
    dc->line(at(static_cast<int>(0.35 * s), a), at(0.55 * s, a));
  }
  dc->line({posX, posY}, at(0.4 * s, 0.4));
  dc->line({posX, posY}, at(0.2 * s, 2.7));
}

void CWController::Draw() {
  if (!dc) return;
  drawFigure(Pen::solid(0, 2), Brush::solid(0xFFFFFF));
  if (!showGrips) return;
  drawGrip({posX, posY}, posGripColour);
  drawGrip({sizeGripX, sizeGripY}, sizeGripColour);
  if (labelShown) drawGrip(labelAnchor({posX, posY}), gripColour());
}

void CWController::ResetGrips() {
  CWBase::ResetGrips();
  posGripColour = sizeGripColour = gripColour();
  posGripPicked = sizeGripPicked = 0;
}

int CWController::PickGrip(Point p, int mode) {
  const bool hit = (mode == 0 && pickPoint(p, {sizeGripX, sizeGripY}, sizeGripColour, sizeGripPicked)) ||
                   ((mode == 0 || mode == 1) && pickPoint(p, {posX, posY}, posGripColour, posGripPicked)) ||
                   (mode == 0 && pickLabel(*this, p, {posX, posY}));
  if (!hit) return 0;
  Draw();
  return 1;
}

void CWController::DragGrip(Point to, Point) {
  if (!dc) return;
  InvertingDraw inverting(*dc, savedRop);
  const Pen pen = Pen::solid(0, 2);
  if (posGripPicked || sizeGripPicked) {
    drawFigure(pen, Brush::none());
    if (posGripPicked) {
      posX = to.x;
      posY = to.y;
    } else {
      size = std::abs(posX - to.x);
      sizeU = static_cast<float>(size * scale);
    }
    sizeGripX = posX + size;
    sizeGripY = posY;
    updatePlanUnits();
    drawFigure(pen, Brush::none());
  } else if (labelGripPicked) {
    dragLabel(*this, {posX, posY}, to, pen);
  }
}

void CWController::DrawHighlighted() {
  if (dc) drawFigure(highlightPen(), Brush::none());
}

std::string CWController::GetKindName() const { return "Sterownik"; }

// --- filter, regulator, sensor ----------------------------------------------------

void CWCatalogueSymbol::PlaceAt(Point click, double zoom) {
  kindWord = 0;
  scale = 1.0 / zoom;
  size = static_cast<int>(sizeU * zoom);
  // Every kind puts its size handle one size (at this zoom) to the right, so
  // that the handle sits where the figure ends and the first drag of it does
  // not make the figure jump to another size.
  placeSymbolAt(click);
}

void CWCatalogueSymbol::DrawLabel() {
  // The anchor follows the zoom like the label's control point, on the
  // screen as on paper, so that the label stays with its control point.
  drawLabelText(*this, {posX, posY}, elementShortName());
}

void CWCatalogueSymbol::DrawSymbol() {
  if (dc && symData) drawSymbolFigure(*dc, *symData, {posX, posY}, size);
}

CWFilter::CWFilter() { loadSymbol("Filtr.sym"); }
std::string CWFilter::GetKindName() const { return "Filtr"; }

CWReg::CWReg() {
  loadSymbol("Regulator.sym");
  hasSizeGrip = 1;
}
std::string CWReg::GetKindName() const { return "Regulator"; }

CWRainSensor::CWRainSensor() {
  loadSymbol("wyl.sym");
  hasSizeGrip = 1;
  // The label sits above and to the left, clear of the red ring.
  labelDx = -20;
  labelDy = -30;
}

std::string CWRainSensor::GetKindName() const { return "Wylacznik"; }

std::unique_ptr<CWBase> CWRainSensor::CloneAt(Point target) const {
  auto copy = std::make_unique<CWRainSensor>(*this);
  copy->placeSymbolAt(target);
  return copy;
}

void CWRainSensor::DrawLabel() {
  if (!elem || (elem->kind != kKindRainSensor && elem->kind != kKindSoilSensor)) return;
  CWCatalogueSymbol::DrawLabel();
}

void CWRainSensor::drawFigure(const Pen* override) {
  if (!dc) return;
  platform::CanvasStateSaver keep(*dc);
  const int s = size;
  const int r = s / 2;
  const Pen red = Pen::solid(0x0000FF, 4);
  dc->setPen(override ? *override : red);
  dc->setBrush(override ? Brush::none() : Brush::solid(0xFFFFFF));
  dc->ellipse({posX - r, posY - r, posX - r + s, posY - r + s});
  const int h = static_cast<int>(std::sqrt(2.0) * (s / 2.0) * 0.5);
  dc->line({posX - h, posY + h}, {posX + h, posY - h});
}

void CWRainSensor::DrawSymbol() {
  // While a drag inverts the figure, the pen the caller chose draws it.
  if (dc && dc->rasterOp() == RasterOp::Not) {
    const Pen pen = dc->pen();
    drawFigure(&pen);
  } else {
    drawFigure(nullptr);
  }
}

void CWRainSensor::DrawHighlighted() {
  const Pen pen = highlightPen();
  drawFigure(&pen);
}
