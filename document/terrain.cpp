#include "document/terrain.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <iterator>

#include "document/fill_patterns.h"
#include "platform/textcodec.h"

using platform::Brush;
using platform::Pen;
using platform::RasterOp;
using platform::Rect;

namespace {

struct KindRow {
  int code;
  const char* name;  // UTF-8
  Colour outline;
};

constexpr KindRow kKinds[] = {
    {kFillLawn, "Trawnik", 0x00C800},
    {kFillHedge, "Żywopłot", 0x008000},
    {kFillBuilding, "Budynek", 0x0000FF},
    {kFillPaving, "Nawierzchnia utwardzona", 0xCCCCCC},
    {kFillWater, "Oczko wodne/basen", 0xA00000},
    {kFillTrees, "Drzewo/Krzew", 0x004000},
    {kFillFlowers, "Kwiaty", 0x309EDC},
    {kFillOther, "Inne", 0},
};

long long distance2(Point a, Point b) {
  const long long dx = a.x - b.x, dy = a.y - b.y;
  return dx * dx + dy * dy;
}

bool withinSnap(Point a, Point b) { return distance2(a, b) < kVertexSnapPixels * kVertexSnapPixels; }

PointD toPlan(Point p, double scale) { return {p.x * scale, p.y * scale}; }

Point pixelsOf(PointD u, float zoom) { return {toPixels(u.x, zoom), toPixels(u.y, zoom)}; }

Point shifted(Point p, int dx, int dy) { return {p.x + dx, p.y + dy}; }

// The box through the points; empty for none.
template <typename It>
Rect boxOf(It first, It last) {
  if (first == last) return {};
  Rect r{first->x, first->y, first->x, first->y};
  for (; first != last; ++first) {
    r.left = std::min(r.left, first->x);
    r.top = std::min(r.top, first->y);
    r.right = std::max(r.right, first->x);
    r.bottom = std::max(r.bottom, first->y);
  }
  return r;
}

}  // namespace

Colour fillKindOutlineColour(int fillKind) {
  for (const KindRow& row : kKinds)
    if (row.code == fillKind) return row.outline;
  return 0;
}

std::string fillKindName(int fillKind) {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> out;
    for (const KindRow& row : kKinds) out.push_back(platform::utf8ToCp1250(row.name));
    return out;
  }();
  for (size_t i = 0; i < std::size(kKinds); ++i)
    if (kKinds[i].code == fillKind) return names[i];
  return {};
}

std::unique_ptr<CPrimitive> makePrimitive(int type) {
  switch (type) {
    case kTerrainCircle: return std::make_unique<CCircle>();
    case kTerrainRectangle: return std::make_unique<CRectn>();
    case kTerrainArea: return std::make_unique<CPoly>();
    case kTerrainEllipse: return std::make_unique<CEllipse>();
    case kTerrainPolyline: return std::make_unique<CLine>();
    default: return nullptr;
  }
}

// --- CPrimitive ----------------------------------------------------------------

CPrimitive::CPrimitive() = default;
CPrimitive::~CPrimitive() = default;

std::unique_ptr<CPrimitive> CPrimitive::CloneAt(Point) const { return nullptr; }
Extent CPrimitive::GetExtent(Extent) const { return Extent{}; }
bool CPrimitive::SnapToVertex(Point, Point&) const { return false; }

void CPrimitive::SetFillKind(int kind) {
  fillKind = kind;
  colour = fillKindOutlineColour(kind);
  patternBitmap.reset();
  patternBrush = Brush::none();
}

void CPrimitive::resetForCopy() {
  patternBitmap.reset();
  patternBrush = Brush::none();
  savedBrush = Brush::none();
  deleted = 0;
  feedbackShown = false;
}

void CPrimitive::drawGrip(Point q, Colour c) {
  if (dc) dc->fillRect({q.x - 2, q.y - 2, q.x + 2, q.y + 2}, c);
}

template <typename F>
void CPrimitive::drawInverted(F figure) {
  if (!dc) return;
  platform::CanvasStateSaver keep(*dc);
  dc->setViewportOrigin({viewOrgX, viewOrgY});
  savedRop = static_cast<int>(dc->rasterOp());
  dc->setRasterOp(RasterOp::Not);
  dc->setPen(Pen::solid(0xFFFFFF));
  dc->setBrush(Brush::none());
  figure();
}

bool CPrimitive::selectFillBrush() {
  Canvas& c = *dc;
  if (noFill) {
    savedBrush = c.brush();
    c.setBrush(Brush::none());
    return true;
  }
  auto tile = fillPatternTile(fillKind);
  if (!tile) return false;
  // The cache follows the kind, so that a primitive whose kind came back
  // with an undo snapshot does not keep the picture of the other kind.
  if (patternBitmap != tile) {
    patternBitmap = tile;
    patternBrush = Brush::patterned(tile);
  }
  savedBrush = c.brush();
  c.setBrush(patternBrush);
  return true;
}

void CPrimitive::restoreClip() {
  Canvas& c = *dc;
  const Point origin = c.viewportOrigin();
  c.setViewportOrigin({0, 0});
  // A view that never handed over its clip gets no clip back, rather than
  // an empty one that would hide everything drawn after this primitive.
  if (clipRect.width() > 0 && clipRect.height() > 0)
    c.setClipRect(clipRect);
  else
    c.resetClip();
  c.setViewportOrigin(origin);
}

void CPrimitive::drawBuilding() {
  Canvas& c = *dc;
  const Pen outline = Pen::solid(colour);
  if (!noFill) {
    c.setPen(outline);
    c.setBrush(Brush::solid(GetType() == kTerrainCircle ? app().settings.backgroundColour : 0xFFFFFF));
    drawShape();
  }
  clipToShape();
  if (!noFill) {
    // The hatch is laid from the device origin so that neighbouring
    // buildings line up; the clip keeps it inside this one.
    c.setPen(outline);
    c.setViewportOrigin({0, 0});
    const bool paper = printing && !preview;
    const int step = paper ? 14 : 7;
    const int length = paper ? 15000 : 1000;
    const int lines = paper ? 5000 : 500;
    // The hatch is the family of lines y = x + m s from the device origin.
    // Each is drawn across the building's box only: the clip keeps the rest
    // out anyway, and a building anywhere on the page is hatched.
    if (const Rect b = shapeBox(); b.right > b.left || b.bottom > b.top) {
      const long long x0 = static_cast<long long>(b.left) + viewOrgX - 2, x1 = static_cast<long long>(b.right) + viewOrgX + 2;
      const long long y0 = static_cast<long long>(b.top) + viewOrgY - 2, y1 = static_cast<long long>(b.bottom) + viewOrgY + 2;
      const long long mFirst = static_cast<long long>(std::ceil(static_cast<double>(y0 - x1) / step));
      const long long mLast = static_cast<long long>(std::floor(static_cast<double>(y1 - x0) / step));
      for (long long m = mFirst; m <= mLast && m - mFirst < 1000000; ++m) {
        const long long c0 = m * step;
        c.line({static_cast<int>(x0), static_cast<int>(x0 + c0)}, {static_cast<int>(x1), static_cast<int>(x1 + c0)});
      }
    } else {
      for (int k = 0; k < lines; ++k) {
        c.line({0, k * step}, {length, k * step + length});
        c.line({k * step, 0}, {k * step + length, length});
      }
    }
    c.setViewportOrigin({viewOrgX, viewOrgY});
  }
  c.setPen(outline);
  c.setBrush(Brush::none());
  drawShape();
  restoreClip();
}

void CPrimitive::Draw() {
  if (!dc) return;
  Canvas& c = *dc;
  platform::CanvasStateSaver keep(c);
  c.setViewportOrigin({viewOrgX, viewOrgY});
  if (fillKind == kFillBuilding) {
    drawBuilding();
  } else {
    c.setPen(Pen::solid(colour));
    const bool selected = selectFillBrush();
    if (fillKind == kFillLawn && printing && !preview && !app().printLawnFill) c.setBrush(Brush::none());
    drawShape();
    if (selected) c.setBrush(savedBrush);
  }
  if (!noFill && fillKind == kFillOther) {
    c.setPen(otherFillPen());
    c.setBrush(Brush::solid(fillColour));
    drawShape();
  }
  if (showGrips) drawGrips();
}

void CPrimitive::DrawHighlight() {
  if (!dc) return;
  platform::CanvasStateSaver keep(*dc);
  dc->setViewportOrigin({viewOrgX, viewOrgY});
  dc->setPen(Pen::solid(app().settings.highlightColour, 2));
  dc->setBrush(Brush::none());
  drawShape();
}

void CPrimitive::DragTo(Point from, Point to) {
  if (!grabbed()) return;
  drawInverted([&] { drawMoveOutline(); });
  applyDrag(from, to);
  drawInverted([&] { drawMoveOutline(); });
}

void CPrimitive::CreateMoveTo(Point p) {
  if (feedbackShown) DrawDragOutline();
  trackCreation(p);
  DrawDragOutline();
  feedbackShown = dc != nullptr;
}

// --- circle and ellipse ------------------------------------------------------------

CRoundShape::CRoundShape() { SetGripColours(); }

void CRoundShape::SetGripColours() {
  centreGripColour = rimGripColour = app().settings.terrainPointColour;
  lineColour = app().settings.terrainLineColour;
}

void CRoundShape::updatePlanUnits() {
  x1 = centreX * scale;
  y1 = centreY * scale;
  x2 = rimX * scale;
  y2 = rimY * scale;
  mirrorMovePositions();
}

void CRoundShape::mirrorMovePositions() {
  moveX1 = centreX;
  moveY1 = centreY;
  moveX2 = rimX;
  moveY2 = rimY;
}

void CRoundShape::Rescale(float zoom) {
  centreX = toPixels(x1, zoom);
  centreY = toPixels(y1, zoom);
  rimX = toPixels(x2, zoom);
  rimY = toPixels(y2, zoom);
  scale = 1.0 / zoom;
  // EndDrag commits the move positions: they must not hold the pixels of
  // another zoom (or none at all, after a file was read).
  mirrorMovePositions();
}

std::unique_ptr<CPrimitive> CRoundShape::CloneAt(Point target) const {
  auto copy = clone();
  auto& r = static_cast<CRoundShape&>(*copy);
  const int dx = target.x - centreX, dy = target.y - centreY;
  r.centreX += dx;
  r.centreY += dy;
  r.rimX += dx;
  r.rimY += dy;
  r.updatePlanUnits();
  r.resetForCopy();
  return copy;
}

void CRoundShape::drawShape() { dc->ellipse(box()); }
void CRoundShape::clipToShape() { dc->setClipEllipse(box()); }

void CRoundShape::drawGrips() {
  dc->setPen(Pen::solid(app().settings.terrainLineColour));
  dc->line({centreX, centreY}, {rimX, rimY});
  drawGrip({centreX, centreY}, centreGripColour);
  drawGrip({rimX, rimY}, rimGripColour);
}

void CRoundShape::drawMoveOutline() {
  drawShape();
  dc->line({centreX, centreY}, {rimX, rimY});
}

void CRoundShape::DrawDragOutline() {
  drawInverted([&] { drawMoveOutline(); });
}

bool CRoundShape::PickGrip(Point p) {
  mirrorMovePositions();
  if (p == Point{centreX, centreY}) {
    grabbedWhole = 1;
    centreGripColour = kGrabbedGripColour;
  } else if (p == Point{rimX, rimY}) {
    grabbedRim = 1;
    rimGripColour = kGrabbedGripColour;
  } else {
    return false;
  }
  Draw();
  return true;
}

void CRoundShape::applyDrag(Point, Point to) {
  dragX = to.x;
  dragY = to.y;
  if (grabbedWhole) {
    const int dx = to.x - centreX, dy = to.y - centreY;
    centreX += dx;
    centreY += dy;
    rimX += dx;
    rimY += dy;
  } else if (grabbedRim) {
    rimX = to.x;
    rimY = to.y;
  }
  updatePlanUnits();
}

void CRoundShape::EndDrag() {
  centreX = moveX1;
  centreY = moveY1;
  rimX = moveX2;
  rimY = moveY2;
  updatePlanUnits();
  grabbedWhole = grabbedRim = 0;
}

void CRoundShape::BeginCreate(Point p) {
  centreX = rimX = p.x;
  centreY = rimY = p.y;
  feedbackShown = false;
  updatePlanUnits();
}

void CRoundShape::trackCreation(Point p) {
  rimX = p.x;
  rimY = p.y;
  updatePlanUnits();
}

void CRoundShape::EndCreate(Point p) {
  if (feedbackShown) DrawDragOutline();
  feedbackShown = false;
  trackCreation(p);
}

Rect CCircle::box() {
  const double dx = rimX - centreX, dy = rimY - centreY;
  param = std::sqrt(dx * dx + dy * dy);
  const int r = static_cast<int>(param);
  return {centreX - r, centreY - r, centreX + r, centreY + r};
}

void CCircle::EndCreate(Point p) {
  CRoundShape::EndCreate(p);
  const double dx = rimX - centreX, dy = rimY - centreY;
  param = std::sqrt(dx * dx + dy * dy);
}

Extent CCircle::GetExtent(Extent) const {
  const double r = std::hypot(x2 - x1, y2 - y1);
  Extent e;
  e.maxX = static_cast<int>((x1 + r) * extentScale);
  e.maxY = static_cast<int>((y1 + r) * extentScale);
  e.minX = static_cast<int>((x1 - r) * extentScale);
  e.minY = static_cast<int>((y1 - r) * extentScale);
  return e;
}

Rect CEllipse::box() {
  const int a = std::abs(rimX - centreX), b = std::abs(rimY - centreY);
  return {centreX - a, centreY - b, centreX + a, centreY + b};
}

Extent CEllipse::GetExtent(Extent) const {
  const double a = std::fabs(x2 - x1), b = std::fabs(y2 - y1);
  Extent e;
  e.maxX = static_cast<int>(x1 + a);
  e.maxY = static_cast<int>(y1 + b);
  e.minX = static_cast<int>(x1 - a);
  e.minY = static_cast<int>(y1 - b);
  return e;
}

// --- rectangle -------------------------------------------------------------------

CRectn::CRectn() { SetGripColours(); }

void CRectn::SetGripColours() {
  lineColour = app().settings.terrainLineColour;
  centreGripColour = kRectCentreGripColour;
  cornerGripColour.fill(app().settings.terrainPointColour);
}

Point CRectn::turned(Point corner) const {
  const float dx = static_cast<float>(corner.x - centreX), dy = static_cast<float>(corner.y - centreY);
  // Turn factors read from a damaged file may be huge: the turned offset is
  // held to what a device can take before it becomes a pixel.
  auto pixel = [](int centre, float offset) {
    const double o = std::isfinite(offset) ? std::clamp(static_cast<double>(offset), -1.0e9, 1.0e9) : 0.0;
    return static_cast<int>(std::clamp(centre + static_cast<double>(static_cast<int>(o)), -2.0e9, 2.0e9));
  };
  return {pixel(centreX, turn11 * dx + turn12 * dy), pixel(centreY, turn21 * dx + turn22 * dy)};
}

std::array<Point, 4> CRectn::turnedCorners() const {
  std::array<Point, 4> out;
  for (size_t i = 0; i < 4; ++i) out[i] = turned(cornerPx[i]);
  return out;
}

void CRectn::mirrorMovePositions() {
  moveCentreX = centreX;
  moveCentreY = centreY;
  moveCornerPx = cornerPx;
}

void CRectn::updatePlanUnits() {
  startX = centreX * scale;
  startY = centreY * scale;
  endX = turnX * scale;
  endY = turnY * scale;
  for (size_t i = 0; i < 4; ++i) cornerU[i] = toPlan(cornerPx[i], scale);
  mirrorMovePositions();
}

void CRectn::Rescale(float zoom) {
  centreX = toPixels(startX, zoom);
  centreY = toPixels(startY, zoom);
  turnX = toPixels(endX, zoom);
  turnY = toPixels(endY, zoom);
  for (size_t i = 0; i < 4; ++i) cornerPx[i] = pixelsOf(cornerU[i], zoom);
  scale = 1.0 / zoom;
  mirrorMovePositions();  // as for circles: EndDrag commits them
}

std::unique_ptr<CPrimitive> CRectn::CloneAt(Point target) const {
  auto copy = std::make_unique<CRectn>(*this);
  const int dx = target.x - centreX, dy = target.y - centreY;
  copy->centreX += dx;
  copy->centreY += dy;
  copy->turnX += dx;
  copy->turnY += dy;
  for (Point& p : copy->cornerPx) p = shifted(p, dx, dy);
  copy->updatePlanUnits();
  copy->resetForCopy();
  return copy;
}

void CRectn::drawShape() {
  const auto t = turnedCorners();
  dc->polygon({t.begin(), t.end()});
}

Rect CRectn::shapeBox() const {
  const auto t = turnedCorners();
  return boxOf(t.begin(), t.end());
}

void CRectn::clipToShape() {
  const auto t = turnedCorners();
  dc->setClipPolygon({t.begin(), t.end()});
}

void CRectn::drawGrips() {
  dc->setPen(Pen::solid(app().settings.terrainLineColour));
  dc->line({centreX, centreY}, {turnX, turnY});
  drawGrip(turned(cornerPx[2]), cornerGripColour[2]);
  drawGrip({centreX, centreY}, centreGripColour);
  drawGrip({turnX, turnY}, kOrangeGripColour);
}

void CRectn::DrawDragOutline() {
  drawInverted([&] { drawShape(); });
}

bool CRectn::PickGrip(Point p) {
  mirrorMovePositions();
  if (p == Point{centreX, centreY}) {
    grabbedWhole = 1;
    centreGripColour = kGrabbedGripColour;
  } else if (p == turned(cornerPx[2])) {
    grabbedCorner = 1;
    cornerIndex = 2;
    cornerGripColour[2] = kGrabbedGripColour;
  } else if (p == Point{turnX, turnY}) {
    grabbedTurn = 1;
  } else {
    return false;
  }
  Draw();
  return true;
}

void CRectn::applyDrag(Point, Point to) {
  if (grabbedWhole) {
    const int dx = to.x - centreX, dy = to.y - centreY;
    centreX += dx;
    centreY += dy;
    turnX += dx;
    turnY += dy;
    for (Point& p : cornerPx) p = shifted(p, dx, dy);
  } else if (grabbedCorner) {
    // The corners live in the unturned frame: the pointer is taken back
    // through the (orthogonal, so transposed) turn matrix, which keeps the
    // grabbed corner under the pointer on a turned rectangle.
    const float dx = static_cast<float>(to.x - centreX), dy = static_cast<float>(to.y - centreY);
    const Point q{centreX + static_cast<int>(std::lround(turn11 * dx + turn21 * dy)),
                  centreY + static_cast<int>(std::lround(turn12 * dx + turn22 * dy))};
    cornerPx[2] = q;
    cornerPx[1] = {q.x, cornerPx[0].y};
    cornerPx[3] = {cornerPx[0].x, q.y};
    rectValue1 = std::abs(cornerPx[0].x - cornerPx[2].x);
    rectValue2 = std::abs(cornerPx[0].y - cornerPx[2].y);
    turnX = centreX + static_cast<int>(kTurnHandleDistance * turn11);
    turnY = centreY + static_cast<int>(kTurnHandleDistance * turn21);
  } else if (grabbedTurn) {
    turnDragX = to.x;
    turnDragY = to.y;
    const double dx = to.x - centreX, dy = to.y - centreY;
    const double l = std::sqrt(dx * dx + dy * dy);
    // On the centre itself there is no direction to turn to.
    if (l == 0) return;
    const double c = dx / l, s = dy / l;
    turn11 = static_cast<float>(c);
    turn12 = static_cast<float>(s);
    turn21 = static_cast<float>(s);
    turn22 = static_cast<float>(-c);
    turnX = centreX + static_cast<int>(kTurnHandleDistance * c);
    turnY = centreY + static_cast<int>(kTurnHandleDistance * s);
  }
  updatePlanUnits();
}

void CRectn::EndDrag() {
  centreX = moveCentreX;
  centreY = moveCentreY;
  cornerPx = moveCornerPx;
  updatePlanUnits();
  grabbedWhole = grabbedCorner = grabbedTurn = 0;
}

void CRectn::layOut(Point p) {
  const int a = firstX, b = firstY, c = p.x, d = p.y;
  cornerPx = {Point{a, b}, Point{c, b}, Point{c, d}, Point{a, d}};
  centreX = (a + c) / 2;
  centreY = (b + d) / 2;
  rectValue1 = std::abs(a - c);
  rectValue2 = std::abs(b - d);
  turnX = centreX + kTurnHandleDistance;
  turnY = centreY;
  updatePlanUnits();
}

void CRectn::BeginCreate(Point p) {
  firstX = curX = prevX = p.x;
  firstY = curY = prevY = p.y;
  feedbackShown = false;
  layOut(p);
}

void CRectn::trackCreation(Point p) {
  prevX = curX;
  prevY = curY;
  curX = p.x;
  curY = p.y;
  layOut(p);
}

void CRectn::EndCreate(Point p) {
  if (feedbackShown) DrawDragOutline();
  feedbackShown = false;
  trackCreation(p);
}

// --- area and polyline --------------------------------------------------------------

CPoly::CPoly() { lineColour = app().settings.terrainLineColour; }

void CPoly::SetGripColours() {
  lineColour = app().settings.terrainLineColour;
  centreGripColour = kOrangeGripColour;
  for (size_t i = 0; i < vertexGripColour.size(); ++i)
    vertexGripColour[i] = i == 0 ? kFirstVertexGripColour : app().settings.terrainPointColour;
}

void CPoly::RecomputeCentre() {
  if (vertexPx.empty()) return;
  // Extremes start beyond any int, so that a plan at a high zoom, whose
  // pixels run past 32767, still finds its middle.
  int minX = INT_MAX, minY = INT_MAX, maxX = INT_MIN, maxY = INT_MIN;
  for (const Point& p : vertexPx) {
    minX = std::min(minX, p.x);
    minY = std::min(minY, p.y);
    maxX = std::max(maxX, p.x);
    maxY = std::max(maxY, p.y);
  }
  centreX = static_cast<int>((static_cast<long long>(minX) + maxX) / 2);
  centreY = static_cast<int>((static_cast<long long>(minY) + maxY) / 2);
  centreUx = centreX * scale;
  centreUy = centreY * scale;
}

void CPoly::Rescale(float zoom) {
  for (size_t i = 0; i < vertexPx.size(); ++i) vertexPx[i] = pixelsOf(vertexU[i], zoom);
  centreX = toPixels(centreUx, zoom);
  centreY = toPixels(centreUy, zoom);
  scale = 1.0 / zoom;
}

void CPoly::SetPlanVertices(const std::vector<PointD>& plan) {
  const size_t n = std::min(plan.size(), static_cast<size_t>(kMaxVertices));
  vertexU.assign(plan.begin(), plan.begin() + static_cast<std::ptrdiff_t>(n));
  vertexPx.resize(n);
  const float zoom = static_cast<float>(1.0 / scale);
  for (size_t i = 0; i < n; ++i) vertexPx[i] = pixelsOf(vertexU[i], zoom);
  vertexGripColour.assign(n, app().settings.terrainPointColour);
  if (n) vertexGripColour[0] = kFirstVertexGripColour;
  RecomputeCentre();
}

std::unique_ptr<CPrimitive> CPoly::CloneAt(Point target) const {
  auto copy = clone();
  auto& poly = static_cast<CPoly&>(*copy);
  const int dx = target.x - centreX, dy = target.y - centreY;
  for (size_t i = 0; i < poly.vertexPx.size(); ++i) {
    poly.vertexPx[i] = shifted(poly.vertexPx[i], dx, dy);
    poly.vertexU[i] = toPlan(poly.vertexPx[i], scale);
  }
  poly.centreX += dx;
  poly.centreY += dy;
  poly.centreUx = poly.centreX * scale;
  poly.centreUy = poly.centreY * scale;
  poly.resetForCopy();
  return copy;
}

bool CPoly::SnapToVertex(Point p, Point& out) const {
  for (const Point& v : vertexPx)
    if (withinSnap(p, v)) {
      out = v;
      return true;
    }
  return false;
}

void CPoly::DrawPath(const std::vector<Point>& points) {
  if (dc && !points.empty()) dc->polygon(points);
}

void CLine::DrawPath(const std::vector<Point>& points) {
  if (dc && !points.empty()) dc->polyline(points);
}

void CPoly::clipToShape() { dc->setClipPolygon(vertexPx); }

Rect CPoly::shapeBox() const { return boxOf(vertexPx.begin(), vertexPx.end()); }

void CPoly::drawGrips() {
  for (size_t i = 0; i < vertexPx.size(); ++i) drawGrip(vertexPx[i], vertexGripColour[i]);
  drawGrip({centreX, centreY}, centreGripColour);
}

void CLine::Draw() {
  if (!dc) return;
  platform::CanvasStateSaver keep(*dc);
  dc->setViewportOrigin({viewOrgX, viewOrgY});
  dc->setPen(Pen::solid(colour));
  dc->setBrush(Brush::none());
  DrawOwnPath();
  if (showGrips) drawGrips();
}

void CPoly::DrawDragOutline() {
  if (vertexPx.empty()) return;
  drawInverted([&] { dc->line(vertexPx.back(), {rubberX, rubberY}); });
}

void CPoly::trackCreation(Point p) {
  rubberX = p.x;
  rubberY = p.y;
}

bool CPoly::AddVertex(Point p) {
  if (count() >= kMaxVertices) return false;
  if (feedbackShown) DrawDragOutline();
  feedbackShown = false;
  vertexPx.push_back(p);
  vertexU.push_back(toPlan(p, scale));
  vertexGripColour.push_back(vertexPx.size() == 1 ? kFirstVertexGripColour : app().settings.terrainPointColour);
  rubberX = p.x;
  rubberY = p.y;
  RecomputeCentre();
  // The new edge stays on the plan until the next repaint draws the area.
  if (dc && vertexPx.size() > 1) {
    platform::CanvasStateSaver keep(*dc);
    dc->setViewportOrigin({viewOrgX, viewOrgY});
    dc->setPen(Pen::solid(colour));
    dc->line(vertexPx[vertexPx.size() - 2], p);
  }
  return true;
}

bool CPoly::IsFirstVertex(Point p) const { return !vertexPx.empty() && withinSnap(p, vertexPx.front()); }

VertexClick CPoly::ClickVertex(Point p) {
  if (closesOnFirstVertex() && IsFirstVertex(p)) {
    // An area needs three corners; an early click on the start is a slip.
    if (count() < 3) return VertexClick::Ignored;
    FinishCreate();
    return VertexClick::Closed;
  }
  return AddVertex(p) ? VertexClick::Added : VertexClick::Ignored;
}

void CPoly::FinishCreate() {
  if (feedbackShown) DrawDragOutline();
  feedbackShown = false;
  RecomputeCentre();
}

void CPoly::BeginCreate(Point p) {
  vertexPx.clear();
  vertexU.clear();
  vertexGripColour.clear();
  feedbackShown = false;
  AddVertex(p);
}

bool CPoly::PickGrip(Point p) {
  if (p == Point{centreX, centreY}) {
    grabbedWhole = 1;
    centreGripColour = kGrabbedGripColour;
  } else {
    auto it = std::find(vertexPx.begin(), vertexPx.end(), p);
    if (it == vertexPx.end()) return false;
    vertexIndex = static_cast<int>(it - vertexPx.begin());
    vertexGripColour[static_cast<size_t>(vertexIndex)] = kGrabbedGripColour;
  }
  Draw();
  return true;
}

void CPoly::applyDrag(Point, Point to) {
  if (grabbedWhole) {
    const int dx = to.x - centreX, dy = to.y - centreY;
    for (size_t i = 0; i < vertexPx.size(); ++i) {
      vertexPx[i] = shifted(vertexPx[i], dx, dy);
      vertexU[i] = toPlan(vertexPx[i], scale);
    }
    centreX += dx;
    centreY += dy;
    centreUx = centreX * scale;
    centreUy = centreY * scale;
    shiftX += dx;
    shiftY += dy;
  } else if (vertexIndex >= 0 && vertexIndex < count()) {
    const auto i = static_cast<size_t>(vertexIndex);
    vertexPx[i] = to;
    vertexU[i] = toPlan(to, scale);
    RecomputeCentre();
  }
}

void CPoly::EndDrag() {
  RecomputeCentre();
  grabbedWhole = 0;
  vertexIndex = -1;
  shiftX = shiftY = 0;
}
