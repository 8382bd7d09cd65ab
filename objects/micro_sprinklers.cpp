#include "objects/micro_sprinklers.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "objects/lookup.h"
#include "partix.h"
#include "platform/numtext.h"

using platform::Brush;
using platform::CanvasStateSaver;
using platform::Pen;

namespace {

// The unit vector from `from` toward `to`; false when the points coincide.
bool unitToward(double fromX, double fromY, double toX, double toY, double& ux, double& uy) {
  const double dx = toX - fromX, dy = toY - fromY;
  const double len = std::sqrt(dx * dx + dy * dy);
  if (len == 0) return false;
  ux = dx / len;
  uy = dy / len;
  return true;
}

// The offset (dx, dy) turned by `m` and added to `centre`, truncated.
Point turned(Point centre, float dx, float dy, const Orient& m) {
  return {centre.x + static_cast<int>(m[0] * dx + m[1] * dy), centre.y + static_cast<int>(m[2] * dx + m[3] * dy)};
}

// The start direction of a sector as its turn gives it.
void startDirection(const Orient& m, double& ux, double& uy) {
  if (!unitToward(0, 0, m[0], m[2], ux, uy)) {
    ux = 1;
    uy = 0;
  }
}

// The turn that points a sector's start along the unit vector (ux, uy).
Orient orientToward(double ux, double uy) {
  const float x = static_cast<float>(ux), y = static_cast<float>(uy);
  return {x, -y, y, x};
}

// Flow and radius of a table at `pressure` over its leading points with a
// non-zero pressure; a table without any gives neither.
void lookupByPressure(const WorkPoint* work, int count, float pressure, float& q, float& r) {
  const int n = leadingPointsWithPressure(work, count);
  if (n == 0) {
    q = r = 0;
    return;
  }
  q = interpolateWork(work, n, pressure, &WorkPoint::Q);
  r = interpolateWork(work, n, pressure, &WorkPoint::R);
}

}  // namespace

CElem* lastHadarBody(CElem* first) {
  CElem* found = nullptr;
  for (CElem* e = first; e; e = e->next)
    if (e->kind == kKindHadarBase && e->data) found = e;
  return found;
}

bool insertWatersHalfCircle(const std::string& insertName) {
  std::string tested = insertName;
  const auto open = insertName.find('<');
  if (open != std::string::npos) {
    const auto close = insertName.find('>', open + 1);
    if (close != std::string::npos) tested = insertName.substr(0, close);
  }
  return tested.find_first_of("dD") != std::string::npos;
}

// --- CWMicroSprinkler ----------------------------------------------------------------

CWMicroSprinkler::CWMicroSprinkler() {
  labelDx = -10;
  labelDy = 3;
  handleGripColour = app().settings.systemPointColour;
}

const CMicroSprinkler* CWMicroSprinkler::record() const {
  // By kind code: not every record class exports its type information.
  if (!elem || !elem->data || elem->kind != kKindMicroSprinkler) return nullptr;
  return static_cast<const CMicroSprinkler*>(elem->data);
}

void CWMicroSprinkler::Evaluate(float scaleDenominator, float pixelsPerCm, float pressure) {
  float q = 0, r = 0;
  if (const CMicroSprinkler* rec = record()) lookupByPressure(rec->work, 5, pressure, q, r);
  flowLh = q;
  radiusM = r;
  radius = static_cast<int>(metresToUnitsF(r, scaleDenominator, pixelsPerCm));
}

namespace {

// A new placement at `p` (pixels) with the handle `radius` pixels to the right.
template <typename T>
void setPlacement(T& s, Point p, int radius) {
  s.pos = p;
  s.handle = {p.x + radius, p.y};
  s.posU = {p.x * s.scale, p.y * s.scale};
  s.handleU = {s.handle.x * s.scale, s.handle.y * s.scale};
  s.radiusU = static_cast<float>(radius * s.scale);
}

// A copy whose position lies at `target` (pixels), its handle moved alike.
template <typename T>
std::unique_ptr<CWBase> copyMovedTo(const T& s, Point target) {
  auto copy = std::make_unique<T>(s);
  const int dx = target.x - s.pos.x, dy = target.y - s.pos.y;
  copy->pos = {s.pos.x + dx, s.pos.y + dy};
  copy->handle = {s.handle.x + dx, s.handle.y + dy};
  copy->posU = {copy->pos.x * s.scale, copy->pos.y * s.scale};
  copy->handleU = {copy->handle.x * s.scale, copy->handle.y * s.scale};
  return copy;
}

// The position and the handle in pixels at `zoom`, from their plan units.
template <typename T>
void rescalePlace(T& s, float zoom) {
  s.pos = {static_cast<int>(zoom * s.posU.x), static_cast<int>(zoom * s.posU.y)};
  s.handle = {static_cast<int>(zoom * s.handleU.x), static_cast<int>(zoom * s.handleU.y)};
  s.scale = 1.0 / zoom;
}

// Placed again where it stands at a new pressure: the place in plan units is
// kept as it is (pixels at a small zoom would shift it) and the handle stays
// in the sector's start direction.
template <typename T>
void placeAgain(T& s, float scaleDenominator, float pixelsPerCm, float pressure) {
  const PointD keep = s.posU;
  s.PlaceAt(s.pos, scaleDenominator, pixelsPerCm, pressure);
  s.posU = keep;
  double ux, uy;
  startDirection(s.orient, ux, uy);
  s.handleU = {s.posU.x + ux * s.radiusU, s.posU.y + uy * s.radiusU};
  s.Rescale(static_cast<float>(1.0 / s.scale));
}

}  // namespace

void CWMicroSprinkler::PlaceAt(Point p, float scaleDenominator, float pixelsPerCm, float pressure) {
  const CMicroSprinkler* rec = record();
  arcDeg = rec ? rec->angle : 0.0f;
  fullCircle = std::fabs(arcDeg - 360.0f) < 0.01f;
  Evaluate(scaleDenominator, pixelsPerCm, pressure);
  radius = static_cast<int>(radius / scale);
  setPlacement(*this, p, radius);
}

void CWMicroSprinkler::ApplyPressure(float pressure) {
  const SprinklerScaleValues v = currentSprinklerScaleValues();
  ApplyPressure(pressure, v.scaleDenominator, v.pixelsPerCm);
}

void CWMicroSprinkler::ApplyPressure(float pressure, float scaleDenominator, float pixelsPerCm) {
  placeAgain(*this, scaleDenominator, pixelsPerCm, pressure);
  ReduceRadiusAt(reduction, scaleDenominator, pixelsPerCm, pressure);
}

void CWMicroSprinkler::ReduceRadius(float fraction) {
  const SprinklerScaleValues v = currentSprinklerScaleValues();
  ReduceRadiusAt(fraction, v.scaleDenominator, v.pixelsPerCm, v.sourcePressure);
}

void CWMicroSprinkler::ReduceRadiusAt(float fraction, float scaleDenominator, float pixelsPerCm, float pressure) {
  reduction = 0;
  double ux, uy;
  if (!unitToward(posU.x, posU.y, handleU.x, handleU.y, ux, uy)) startDirection(orient, ux, uy);
  Evaluate(scaleDenominator, pixelsPerCm, pressure);
  const float k = 1.0f - fraction;
  flowLh = flowLh * k;
  radiusM = radiusM * k;
  radius = static_cast<int>(static_cast<float>(radius) * k);
  radiusU = static_cast<float>(radius);
  reduction = fraction;
  const double h = std::max(radius, 5);
  handleU = {posU.x + ux * h, posU.y + uy * h};
  Rescale(static_cast<float>(1.0 / scale));
}

std::unique_ptr<CWBase> CWMicroSprinkler::CloneAt(Point target) const { return copyMovedTo(*this, target); }

void CWMicroSprinkler::MoveLabelTo(Point p) { setLabelOffsetTo(p, pos); }

void CWMicroSprinkler::Rescale(float zoom) {
  rescalePlace(*this, zoom);
  radius = static_cast<int>(radiusU * zoom);
}

void CWMicroSprinkler::drawSector() const {
  const float r = static_cast<float>(radius);
  const float a = arcDeg * 2.0f * 3.1415927f / 360.0f;
  const Point start = turned(pos, r, 0, orient);
  const Point end = turned(pos, r * std::cos(a), -r * std::sin(a), orient);
  ::drawSector(*dc, pos, radius, start, end, fullCircle);
}

void CWMicroSprinkler::Draw() {
  if (!dc) return;
  if (showCoverage) {
    CanvasStateSaver keep(*dc);
    dc->setPen(coveragePen(*this));
    dc->setBrush(Brush::none());
    drawSector();
  }
  drawCentreDot(*this, pos);
  if (connected) drawConnectedMark(*dc, pos);
  if (showGrips) {
    drawGrip(pos, posGripColour);
    if (handleOffered()) drawGrip(handle, handleGripColour);
    if (labelShown) drawGrip(labelAnchor(pos), app().settings.systemPointColour);
  }
}

void CWMicroSprinkler::DrawHighlighted() {
  showCoverage = 1;
  if (!dc) return;
  CanvasStateSaver keep(*dc);
  dc->setPen(Pen::solid(app().settings.highlightColour, 2));
  dc->setBrush(Brush::none());
  drawSector();
}

void CWMicroSprinkler::DrawLabel() {
  if (dc) dc->text(labelAnchor(pos), shortNameOf(elementName()));
}

void CWMicroSprinkler::DrawFlow() { drawFlowText(*this, labelAnchor(pos), 1, formatSignificant5(flowLh)); }

std::string CWMicroSprinkler::GetKindName() const { return elementName(); }

void CWMicroSprinkler::ResetGrips() {
  CWBase::ResetGrips();
  posGripColour = kSprinklerPosGripColour;
  handleGripColour = app().settings.systemPointColour;
  posGripPicked = handleGripPicked = 0;
}

int CWMicroSprinkler::PickGrip(Point p, int mode) {
  return pickSprinklerGrip(*this, p, mode, {{handle, &handleGripColour, &handleGripPicked, handleOffered()}},
                           {pos, &posGripColour, &posGripPicked}, labelAnchor(pos));
}

void CWMicroSprinkler::DragGrip(Point to, Point from) {
  DragBand band(*this, Pen::solid(app().settings.rangeColour, 1));
  auto sector = [&] {
    if (dc) drawSector();
  };
  if (posGripPicked) {
    sector();
    const int dx = to.x - from.x, dy = to.y - from.y;
    pos = {pos.x + dx, pos.y + dy};
    handle = {handle.x + dx, handle.y + dy};
    posU = {pos.x * scale, pos.y * scale};
    handleU = {handle.x * scale, handle.y * scale};
    sector();
  } else if (handleGripPicked) {
    double ux, uy;
    if (!unitToward(pos.x, pos.y, to.x, to.y, ux, uy)) return;  // no direction on the centre itself
    sector();
    handle = {pos.x + static_cast<int>(ux * radius), pos.y + static_cast<int>(uy * radius)};
    handleU = {handle.x * scale, handle.y * scale};
    orient = orientToward(ux, uy);
    sector();
  } else if (labelGripPicked) {
    band.labelMark(labelAnchor(pos));
    MoveLabelTo(to);
    band.labelMark(labelAnchor(pos));
  }
}

// --- CWMicroSprinklerHadar ------------------------------------------------------------

CWMicroSprinklerHadar::CWMicroSprinklerHadar() {
  labelDx = -10;
  labelDy = 3;
  handleGripColour = app().settings.systemPointColour;
}

const NamedRow4* CWMicroSprinklerHadar::row() const {
  const CElem* source = rowSource();
  if (!source || !source->data || nozzleRow < 0) return nullptr;
  // Inserts and HADAR nozzles share the row layout; a row index from a
  // damaged file is bounded by the table.
  if (source->kind == kKindHadarInsert) {
    const auto* rec = static_cast<const CWkladka*>(source->data);
    return nozzleRow < static_cast<int>(std::size(rec->rows)) ? &rec->rows[nozzleRow] : nullptr;
  }
  if (source->kind == kKindHadarNozzle) {
    const auto* rec = static_cast<const CMkDysza*>(source->data);
    return nozzleRow < static_cast<int>(std::size(rec->rows)) ? &rec->rows[nozzleRow] : nullptr;
  }
  return nullptr;
}

void CWMicroSprinklerHadar::PlaceAt(Point p, float scaleDenominator, float pixelsPerCm, float pressure) {
  float q = 0, r = 0, units = 0;
  const NamedRow4* nozzle = row();
  if (nozzle) lookupByPressure(nozzle->work, 4, pressure, q, r);
  if (insertUsed) {
    if (insert && insert->data &&
        insertWatersHalfCircle(fieldText(insert->data->name, sizeof insert->data->name)))
      halfCircle = 1;
    units = metresToUnitsF(r, scaleDenominator, pixelsPerCm);
  } else {
    r = 0;  // an alternative nozzle gives a flow only
  }
  flowLh = q;
  radiusM = r;
  radiusPx = static_cast<int>(units / scale);
  setPlacement(*this, p, radiusPx);
}

void CWMicroSprinklerHadar::ApplyPressure(float pressure) {
  const SprinklerScaleValues v = currentSprinklerScaleValues();
  ApplyPressure(pressure, v.scaleDenominator, v.pixelsPerCm);
}

void CWMicroSprinklerHadar::ApplyPressure(float pressure, float scaleDenominator, float pixelsPerCm) {
  placeAgain(*this, scaleDenominator, pixelsPerCm, pressure);
}

std::unique_ptr<CWBase> CWMicroSprinklerHadar::CloneAt(Point target) const { return copyMovedTo(*this, target); }

void CWMicroSprinklerHadar::MoveLabelTo(Point p) { setLabelOffsetTo(p, pos); }

void CWMicroSprinklerHadar::Rescale(float zoom) {
  rescalePlace(*this, zoom);
  radiusPx = static_cast<int>(radiusU * zoom);
}

void CWMicroSprinklerHadar::drawCoverage() const {
  if (!halfCircle) {
    dc->ellipse(circleBox(pos, radiusPx));
    return;
  }
  const float r = static_cast<float>(radiusPx);
  const Point first = turned(pos, r, 0, orient);
  const Point second = turned(pos, -r, 0, orient);
  dc->arc(circleBox(pos, radiusPx), first, second);
  dc->line(first, second);
}

void CWMicroSprinklerHadar::Draw() {
  if (!dc) return;
  if (showCoverage && insertUsed) {
    CanvasStateSaver keep(*dc);
    dc->setPen(coveragePen(*this));
    dc->setBrush(Brush::none());
    drawCoverage();
  }
  drawCentreDot(*this, pos);
  if (connected) drawConnectedMark(*dc, pos);
  if (showGrips) {
    drawGrip(pos, posGripColour);
    if (handleOffered()) drawGrip(handle, handleGripColour);
    if (labelShown) drawGrip(labelAnchor(pos), app().settings.systemPointColour);
  }
}

void CWMicroSprinklerHadar::DrawHighlighted() {
  if (!dc || !insertUsed) return;
  CanvasStateSaver keep(*dc);
  dc->setPen(Pen::solid(app().settings.highlightColour, 2));
  dc->setBrush(Brush::none());
  drawCoverage();
}

void CWMicroSprinklerHadar::DrawLabel() {
  if (!dc) return;
  const Point a = labelAnchor(pos);
  std::string first = shortNameOf(elementName());
  const CElem* source = rowSource();
  if (source && source->data)
    first += "\"" + shortNameOf(fieldText(source->data->name, sizeof source->data->name)) + "\"";
  dc->text(a, first);
  std::string size;
  if (const NamedRow4* nozzle = row()) size = fieldText(nozzle->rowName, sizeof nozzle->rowName).substr(0, 3);
  const int line = static_cast<int>(app().settings.labelFontHeight / scale);
  dc->text({a.x, a.y + line}, "(" + size + ")");
}

void CWMicroSprinklerHadar::DrawFlow() { drawFlowText(*this, labelAnchor(pos), 2, formatSignificant5(flowLh)); }

std::string CWMicroSprinklerHadar::GetKindName() const { return elementName(); }

void CWMicroSprinklerHadar::ResetGrips() {
  CWBase::ResetGrips();
  posGripColour = kSprinklerPosGripColour;
  handleGripColour = app().settings.systemPointColour;
  posGripPicked = handleGripPicked = 0;
}

int CWMicroSprinklerHadar::PickGrip(Point p, int mode) {
  return pickSprinklerGrip(*this, p, mode, {{handle, &handleGripColour, &handleGripPicked, handleOffered()}},
                           {pos, &posGripColour, &posGripPicked}, labelAnchor(pos));
}

void CWMicroSprinklerHadar::DragGrip(Point to, Point from) {
  DragBand band(*this, Pen::solid(app().settings.rangeColour, 1));
  auto coverage = [&] {
    if (dc && insertUsed) drawCoverage();
  };
  if (posGripPicked) {
    coverage();
    const int dx = to.x - from.x, dy = to.y - from.y;
    pos = {pos.x + dx, pos.y + dy};
    handle = {handle.x + dx, handle.y + dy};
    posU = {pos.x * scale, pos.y * scale};
    handleU = {handle.x * scale, handle.y * scale};
    coverage();
  } else if (handleGripPicked) {
    double ux, uy;
    if (!unitToward(pos.x, pos.y, to.x, to.y, ux, uy)) return;
    coverage();
    handle = {pos.x + static_cast<int>(ux * radiusPx), pos.y + static_cast<int>(uy * radiusPx)};
    handleU = {handle.x * scale, handle.y * scale};
    orient = orientToward(ux, uy);
    coverage();
  } else if (labelGripPicked) {
    band.labelMark(labelAnchor(pos));
    MoveLabelTo(to);
    band.labelMark(labelAnchor(pos));
  }
}

// --- CWRwsSprinkler -------------------------------------------------------------------

CWRwsSprinkler::CWRwsSprinkler() {
  labelDx = 0;
  labelDy = 10;
}

void CWRwsSprinkler::PlaceAt(Point p, CElem* element, float zoom, float scaleDenominator, float pixelsPerCm,
                             float pressure) {
  elem = element;
  pos = p;
  zoomF = zoom;
  scale = 1.0 / zoom;
  posU = {pos.x * scale, pos.y * scale};
  scaleDenominatorUsed = scaleDenominator;
  pixelsPerCmUsed = pixelsPerCm;
  pressureUsed = pressure;
  flow = 0;
  if (elem && elem->data && elem->kind == kKindRws) flow = static_cast<const CRWSSprinkler*>(elem->data)->work[0].Q;
  connected = 0;
  // 0.3 m, from the single-precision 30 that the unit has always used.
  const float thirty = std::bit_cast<float>(0x41F00001u);
  radiusU = scaleDenominator > 0 ? thirty / scaleDenominator * pixelsPerCm : 0.0f;
  labelDx = 0;
  labelDy = 10;
}

void CWRwsSprinkler::ApplyPressure(float pressure) {
  const PointD keep = posU;
  const int dx = labelDx, dy = labelDy, wasConnected = connected;
  PlaceAt(pos, elem, zoomF, scaleDenominatorUsed, pixelsPerCmUsed, pressure);
  posU = keep;
  labelDx = dx;
  labelDy = dy;
  connected = wasConnected;
  Rescale(zoomF);
}

std::unique_ptr<CWBase> CWRwsSprinkler::CloneAt(Point target) const {
  auto unit = std::make_unique<CWRwsSprinkler>();
  unit->PlaceAt(target, elem, zoomF, scaleDenominatorUsed, pixelsPerCmUsed, pressureUsed);
  return unit;
}

void CWRwsSprinkler::Rescale(float zoom) {
  pos = {static_cast<int>(zoom * posU.x), static_cast<int>(zoom * posU.y)};
  zoomF = zoom;
  scale = 1.0 / zoom;
}

Point CWRwsSprinkler::anchor() const {
  return {pos.x + static_cast<int>(labelDx * zoomF), pos.y + static_cast<int>(labelDy * zoomF)};
}

void CWRwsSprinkler::drawCircle() const { dc->ellipse(circleBox(pos, radiusPx())); }

void CWRwsSprinkler::Draw() {
  if (!dc) return;
  if (showCoverage) {
    CanvasStateSaver keep(*dc);
    dc->setPen(coveragePen(*this));
    dc->setBrush(Brush::none());
    drawCircle();
  }
  drawCentreDot(*this, pos);
  if (showGrips) {
    drawGrip(pos, posGripColour);
    if (labelShown) drawGrip(anchor(), app().settings.systemPointColour);
  }
  if (connected) drawConnectedMark(*dc, pos);
}

void CWRwsSprinkler::DrawHighlighted() {
  if (!dc) return;
  CanvasStateSaver keep(*dc);
  dc->setPen(Pen::solid(app().settings.highlightColour, 2));
  dc->setBrush(Brush::none());
  drawCircle();
}

void CWRwsSprinkler::DrawLabel() {
  if (dc) dc->text(anchor(), shortNameOf(elementName()));
}

void CWRwsSprinkler::DrawFlow() { drawFlowText(*this, anchor(), 1, platform::formatFixed(flow, 2)); }

std::string CWRwsSprinkler::GetKindName() const { return elementName(); }

void CWRwsSprinkler::ResetGrips() {
  CWBase::ResetGrips();
  posGripColour = kSprinklerPosGripColour;
  posGripPicked = 0;
}

int CWRwsSprinkler::PickGrip(Point p, int mode) {
  return pickSprinklerGrip(*this, p, mode, {}, {pos, &posGripColour, &posGripPicked}, anchor());
}

void CWRwsSprinkler::DragGrip(Point to, Point from) {
  DragBand band(*this, Pen::solid(0x000080, 1));
  if (posGripPicked) {
    if (dc) drawCircle();
    pos = {pos.x + to.x - from.x, pos.y + to.y - from.y};
    posU = {pos.x * scale, pos.y * scale};
    if (dc) drawCircle();
  } else if (labelGripPicked) {
    band.labelMark(anchor());
    setLabelOffsetTo(to, pos);
    band.labelMark(anchor());
  }
}
