#include "objects/sprinkler.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "objects/lookup.h"
#include "partix.h"
#include "platform/numtext.h"

using platform::Brush;
using platform::CanvasStateSaver;
using platform::Pen;

// --- shared helpers --------------------------------------------------------------

std::string shortNameOf(const std::string& name) {
  const auto open = name.find('<');
  if (open == std::string::npos) return name;
  const auto close = name.find('>', open + 1);
  if (close == std::string::npos) return name;
  return name.substr(open + 1, close - open - 1);
}

std::string fieldText(const char* field, size_t capacity) { return std::string(field, strnlen(field, capacity)); }

std::string formatSignificant5(double value) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 5);
  return std::string(buf, r.ptr);
}

Pen coveragePen(const CWBase& o) {
  return Pen::solid(o.bodyColour(app().settings.rangeColour),
                    o.bodyPenWidth(1, app().settings.printWidthRanges));
}

void drawCentreDot(const CWBase& o, Point pos) {
  if (!o.dc) return;
  CanvasStateSaver keep(*o.dc);
  const int r = static_cast<int>(o.fixedSize(4));
  o.dc->setPen(Pen::solid(0, 1));
  o.dc->setBrush(Brush::solid(0x808080));
  o.dc->ellipse({pos.x - r, pos.y - r, pos.x + r, pos.y + r});
}

void drawConnectedMark(Canvas& dc, Point pos) {
  CanvasStateSaver keep(dc);
  dc.setPen(Pen::dotted(0xFF0000, 1));
  dc.setBrush(Brush::none());
  dc.ellipse({pos.x - 25, pos.y - 25, pos.x + 25, pos.y + 25});
}

void drawFlowTextAt(const CWBase& o, Point at, const std::string& text) {
  if (!o.dc) return;
  CanvasStateSaver keep(*o.dc);
  o.dc->setTextColour(0);
  o.dc->setBackgroundColour(app().settings.backgroundColour);
  o.dc->text(at, text);
}

void drawFlowText(const CWBase& o, Point anchor, int lines, const std::string& text) {
  const double lineHeight = app().settings.labelFontHeight / o.scale;
  drawFlowTextAt(o, {anchor.x, anchor.y + static_cast<int>(lines * lineHeight)}, text);
}

Point turnedAbout(Point centre, Point p, float a) {
  const float dx = static_cast<float>(p.x - centre.x), dy = static_cast<float>(p.y - centre.y);
  const float c = std::cos(a), s = std::sin(a);
  return {centre.x + static_cast<int>(c * dx + s * dy), centre.y + static_cast<int>(c * dy - s * dx)};
}

void drawSector(Canvas& dc, Point centre, int r, Point start, Point end, bool wholeCircle) {
  dc.arc(circleBox(centre, r), start, wholeCircle ? start : end);
  if (wholeCircle) return;
  dc.line(centre, end);
  dc.line(centre, start);
}

int pickSprinklerGrip(CWBase& o, Point p, int mode, std::initializer_list<GripSlot> extra, GripSlot position,
                      Point labelAt) {
  auto take = [&](const GripSlot& g) {
    if (g.colour) *g.colour = kPickedGripColour;
    *g.picked = 1;
    o.Draw();
    return 1;
  };
  if (mode == 0)
    for (const GripSlot& g : extra)
      if (g.offered && CWBase::hitGrip(p, g.at)) return take(g);
  if ((mode == 0 || mode == 1) && position.offered && CWBase::hitGrip(p, position.at)) return take(position);
  if (mode == 0 && o.labelShown && CWBase::hitGrip(p, labelAt)) return take({labelAt, nullptr, &o.labelGripPicked});
  return 0;
}

DragBand::DragBand(CWBase& o, const Pen& pen) : o_(o) {
  if (!o.dc) return;
  keep_ = std::make_unique<CanvasStateSaver>(*o.dc);
  o.savedRop = static_cast<int>(o.dc->rasterOp());
  o.dc->setRasterOp(platform::RasterOp::Not);
  o.dc->setPen(pen);
  o.dc->setBrush(Brush::none());
}

DragBand::~DragBand() {
  if (o_.dc) o_.dc->setRasterOp(static_cast<platform::RasterOp>(o_.savedRop));
}

void DragBand::labelMark(Point a) const {
  if (o_.dc) o_.dc->rectangle({a.x - 3, a.y - 3, a.x + 4, a.y + 4});
}

int reductionSliderMax(const CWBase& o) { return o.GetType() == kTypeMicroSprinkler ? 100 : 25; }

int reductionSliderPosition(const CWBase& o) {
  return static_cast<int>(o.GetReduction() * static_cast<float>(reductionSliderMax(o)));
}

void applyReductionSlider(CWBase& o, int position) {
  o.ReduceRadius(static_cast<float>(position) / static_cast<float>(reductionSliderMax(o)));
}

// --- geometry helpers -------------------------------------------------------------

namespace {

// The unit vector from `from` toward `to`; false when the points coincide.
bool unitToward(Point from, Point to, double& ux, double& uy) {
  const double dx = to.x - from.x, dy = to.y - from.y;
  const double len = std::sqrt(dx * dx + dy * dy);
  if (len == 0) return false;
  ux = dx / len;
  uy = dy / len;
  return true;
}

}  // namespace

// --- CWSprinkler ------------------------------------------------------------------

CWSprinkler::CWSprinkler() {
  labelDx = -10;
  labelDy = 10;
  showCoverage = 1;
  arcStartGripColour = arcEndGripColour = app().settings.systemPointColour;
}

const CDBSprinkler* CWSprinkler::body() const {
  // The record's kind code, not its type: not every record class exports its
  // type information from the catalogue library.
  if (!elem || !elem->data || elem->kind != kKindSprinkler) return nullptr;
  return static_cast<const CDBSprinkler*>(elem->data);
}

bool CWSprinkler::bodyWatersFullCircle() const {
  const CDBSprinkler* b = body();
  return b && b->fullCircle != 0;
}

std::string CWSprinkler::nozzleName() const {
  const CDBSprinkler* b = body();
  if (!b || nozzleNo < 0 || nozzleNo >= static_cast<int>(std::size(b->nozzles))) return {};
  return fieldText(b->nozzles[nozzleNo].nozzleName, sizeof b->nozzles[nozzleNo].nozzleName);
}

void CWSprinkler::EvaluateNozzle(int row, float pressure) {
  const CDBSprinkler* b = body();
  float q = 0, r = 0;
  // A row index from a damaged file is not trusted: outside the table there
  // is no nozzle, and neither flow nor radius.
  if (b && row >= 0 && row < static_cast<int>(std::size(b->nozzles))) {
    const WorkPoint* work = b->nozzles[row].work;
    const int n = leadingPointsWithFlow(work, 4);
    q = interpolateWork(work, n, pressure, &WorkPoint::Q);
    r = interpolateWork(work, n, pressure, &WorkPoint::R);
  }
  flow = flowNominal = q;
  radiusM = radiusNominalM = r;
}

void CWSprinkler::updatePlanUnits() {
  posU = {pos.x * scale, pos.y * scale};
  arcStartU = {arcStart.x * scale, arcStart.y * scale};
  arcEndU = {arcEnd.x * scale, arcEnd.y * scale};
}

void CWSprinkler::PlaceAt(Point c, float zoom, float scaleDenominator, float pixelsPerCm, float pressure) {
  kindWord = 0;
  pos = c;
  scale = 1.0 / zoom;
  EvaluateNozzle(nozzleNo, pressure);
  radiusU = metresToUnitsF(radiusM, scaleDenominator, pixelsPerCm);
  radiusPx = static_cast<int>(radiusU * zoom);
  const RememberedRange& range = app().settings.rememberedRange;
  if (bodyWatersFullCircle()) {
    arcStart = {pos.x + radiusPx, pos.y};
    arcEnd = turnedAbout(pos, arcStart, static_cast<float>(6.2831854820251465));
  } else if (range.valid) {
    // direction x radius x zoom, in that order, in double precision
    auto reach = [&](double direction) { return static_cast<int>(direction * radiusU * zoom); };
    arcStart = {pos.x + reach(range.startX), pos.y + reach(range.startY)};
    arcEnd = {pos.x + reach(range.endX), pos.y + reach(range.endY)};
  } else {
    arcStart = {pos.x + radiusPx, pos.y};
    arcEnd = turnedAbout(pos, arcStart, defaultArcDeg * 3.1415927f / 180.0f);
  }
  updatePlanUnits();
}

void CWSprinkler::ApplyPressure(float pressure) {
  const SprinklerScaleValues v = currentSprinklerScaleValues();
  ApplyPressure(pressure, v.scaleDenominator, v.pixelsPerCm);
}

void CWSprinkler::ApplyPressure(float pressure, float scaleDenominator, float pixelsPerCm) {
  EvaluateNozzle(nozzleNo, pressure);
  ReduceRadiusAt(reduction, scaleDenominator, pixelsPerCm);
}

void CWSprinkler::ReduceRadius(float fraction) {
  const SprinklerScaleValues v = currentSprinklerScaleValues();
  ReduceRadiusAt(fraction, v.scaleDenominator, v.pixelsPerCm);
}

void CWSprinkler::ReduceRadiusAt(float fraction, float scaleDenominator, float pixelsPerCm) {
  flow = flowNominal;  // a rotary sprinkler's flow does not change with the reduction
  float r = metresToUnitsF(radiusNominalM, scaleDenominator, pixelsPerCm);
  r = r - r * 0.25f * fraction;
  // The arc directions; an end lying on the centre (a radius of 0) has none
  // and keeps pointing to the right rather than becoming undefined.
  auto direction = [&](const PointD& end, bool singleSum, double& ux, double& uy) {
    const double dx = end.x - posU.x, dy = end.y - posU.y;
    const double sum = singleSum ? static_cast<double>(static_cast<float>(dx * dx + dy * dy)) : dx * dx + dy * dy;
    const double len = std::sqrt(sum);
    if (len == 0) {
      ux = 1;
      uy = 0;
    } else {
      ux = dx / len;
      uy = dy / len;
    }
  };
  double u1x, u1y, u2x, u2y;
  direction(arcStartU, true, u1x, u1y);
  direction(arcEndU, false, u2x, u2y);
  arcStartU = {posU.x + u1x * r, posU.y + u1y * r};
  arcEndU = {posU.x + u2x * r, posU.y + u2y * r};
  radiusU = r;
  reduction = fraction;
  Rescale(static_cast<float>(1.0 / scale));
}

void CWSprinkler::RescaleRadius(float scaleDenominator, float pixelsPerCm) {
  ReduceRadiusAt(reduction, scaleDenominator, pixelsPerCm);
}

void CWSprinkler::FitArcToRadius() {
  auto fit = [&](Point& end, PointD& endU) {
    double ux, uy;
    if (!unitToward(pos, end, ux, uy)) {
      ux = 1;
      uy = 0;
    }
    end = {pos.x + static_cast<int>(ux * radiusPx), pos.y + static_cast<int>(uy * radiusPx)};
    endU = {end.x * scale, end.y * scale};
  };
  fit(arcStart, arcStartU);
  fit(arcEnd, arcEndU);
}

bool CWSprinkler::IsFullCircle() const {
  const double dx = arcStart.x - arcEnd.x, dy = arcStart.y - arcEnd.y;
  return std::sqrt(dx * dx + dy * dy) < 5.0 / scale;
}

void CWSprinkler::ChangeNozzle(int row, float zoom, float scaleDenominator, float pixelsPerCm, float pressure) {
  scale = 1.0 / zoom;
  nozzleNo = row;
  EvaluateNozzle(nozzleNo, pressure);
  const int units = static_cast<int>(metresToUnitsF(radiusM, scaleDenominator, pixelsPerCm));
  radiusPx = static_cast<int>(units / scale);
  radiusU = static_cast<float>(radiusPx * scale);
  FitArcToRadius();
}

void CWSprinkler::RememberRange() const {
  double sx, sy, ex, ey;
  // A degenerate arc has no directions to remember; the range stays as it was.
  if (!unitToward(pos, arcStart, sx, sy) || !unitToward(pos, arcEnd, ex, ey)) return;
  RememberedRange& range = app().settings.rememberedRange;
  range.startX = sx;
  range.startY = sy;
  range.endX = ex;
  range.endY = ey;
  range.valid = 1;
}

std::unique_ptr<CWBase> CWSprinkler::CloneAt(Point target) const {
  auto copy = std::make_unique<CWSprinkler>(*this);
  const int dx = target.x - pos.x, dy = target.y - pos.y;
  for (Point* p : {&copy->pos, &copy->arcStart, &copy->arcEnd}) {
    p->x += dx;
    p->y += dy;
  }
  auto units = [&](Point p) {
    return PointD{static_cast<double>(static_cast<int>(p.x * scale)), static_cast<double>(static_cast<int>(p.y * scale))};
  };
  copy->posU = units(copy->pos);
  copy->arcStartU = units(copy->arcStart);
  copy->arcEndU = units(copy->arcEnd);
  return copy;
}

void CWSprinkler::MoveLabelTo(Point p) { setLabelOffsetTo(p, pos); }

void CWSprinkler::Rescale(float zoom) {
  pos = {static_cast<int>(zoom * posU.x), static_cast<int>(zoom * posU.y)};
  arcStart = {static_cast<int>(zoom * arcStartU.x), static_cast<int>(zoom * arcStartU.y)};
  arcEnd = {static_cast<int>(zoom * arcEndU.x), static_cast<int>(zoom * arcEndU.y)};
  radiusPx = static_cast<int>(radiusU * zoom);
  scale = 1.0 / zoom;
}

void CWSprinkler::drawCoverage(bool asDragged) const {
  drawSector(*dc, pos, radiusPx, arcStart, arcEnd, !asDragged && IsFullCircle());
}

void CWSprinkler::Draw() {
  if (!dc) return;
  {
    CanvasStateSaver keep(*dc);
    dc->setPen(coveragePen(*this));
    dc->setBrush(Brush::none());
    if (showCoverage) drawCoverage();
  }
  drawCentreDot(*this, pos);
  if (connected) drawConnectedMark(*dc, pos);
  if (showGrips) {
    drawGrip(pos, posGripColour);
    drawGrip(arcStart, arcStartGripColour);
    drawGrip(arcEnd, arcEndGripColour);
    if (labelShown) drawGrip(labelAnchor(pos), posGripColour);
  }
}

void CWSprinkler::DrawHighlighted() {
  if (!dc) return;
  CanvasStateSaver keep(*dc);
  dc->setPen(Pen::solid(app().settings.highlightColour, 2));
  dc->setBrush(Brush::none());
  drawCoverage();
}

void CWSprinkler::DrawLabel() {
  if (!dc) return;
  dc->text(labelAnchor(pos), shortNameOf(elementName()) + "(" + nozzleName() + ")");
}

void CWSprinkler::DrawFlow() { drawFlowText(*this, labelAnchor(pos), 1, platform::formatFixed(flow, 2)); }

std::string CWSprinkler::GetKindName() const { return elementName(); }

void CWSprinkler::ResetGrips() {
  CWBase::ResetGrips();
  posGripColour = kSprinklerPosGripColour;
  arcStartGripColour = arcEndGripColour = app().settings.systemPointColour;
  posGripPicked = arcStartGripPicked = arcEndGripPicked = 0;
}

int CWSprinkler::PickGrip(Point p, int mode) {
  const bool endsMove = !bodyWatersFullCircle();
  return pickSprinklerGrip(*this, p, mode,
                           {{arcStart, &arcStartGripColour, &arcStartGripPicked, endsMove},
                            {arcEnd, &arcEndGripColour, &arcEndGripPicked, endsMove}},
                           {pos, &posGripColour, &posGripPicked}, labelAnchor(pos));
}

void CWSprinkler::DragGrip(Point to, Point from) {
  DragBand band(*this, Pen::solid(0x000080, 2));
  auto rubberBand = [&] {
    if (dc) drawCoverage(true);
  };
  auto moveEnd = [&](Point& end, PointD& endU) {
    double ux, uy;
    if (!unitToward(pos, to, ux, uy)) return;  // no direction on the centre itself
    rubberBand();
    end = {pos.x + static_cast<int>(ux * radiusPx), pos.y + static_cast<int>(uy * radiusPx)};
    endU = {end.x * scale, end.y * scale};
    rubberBand();
  };
  if (arcStartGripPicked) {
    moveEnd(arcStart, arcStartU);
  } else if (arcEndGripPicked) {
    moveEnd(arcEnd, arcEndU);
  } else if (posGripPicked) {
    rubberBand();
    const int dx = to.x - from.x, dy = to.y - from.y;
    for (Point* p : {&pos, &arcStart, &arcEnd}) {
      p->x += dx;
      p->y += dy;
    }
    updatePlanUnits();
    rubberBand();
  } else if (labelGripPicked) {
    band.labelMark(labelAnchor(pos));
    MoveLabelTo(to);
    band.labelMark(labelAnchor(pos));
  }
}
