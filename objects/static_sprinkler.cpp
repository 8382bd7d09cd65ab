#include "objects/static_sprinkler.h"
#include "document/catalogue_lookup.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "objects/lookup.h"
#include "objects/sprinkler.h"
#include "partix.h"
#include "platform/numtext.h"
#include "platform/textcodec.h"

using platform::Brush;
using platform::CanvasStateSaver;
using platform::Pen;

namespace {

constexpr Colour kDragPenColour = 0x000080;
constexpr Colour kErrorTextColour = 0xFF00FF;
constexpr Colour kWhite = 0xFFFFFF;
constexpr float kPi = 3.1415927f;

// --- the nozzle records ----------------------------------------------------------

template <typename Record>
const Record* recordOf(const CElem* e) {
  return e ? static_cast<const Record*>(e->data) : nullptr;
}

// Arc entries of an adjustable nozzle, bounded to the table's capacity.
int vanEntries(const CDyszaVan& d) { return std::min<int>(d.rowCount, 20); }
int mpEntries(const CDyszaMP& d) { return std::clamp<int>(d.rowCount, 0, 10); }

// The valid points of a kind-17 nozzle: up to the last non-zero pressure of
// its first entry. Every entry is looked up over that many points.
int mpValidPoints(const CDyszaMP& d) {
  if (mpEntries(d) == 0) return 0;
  int n = 0;
  for (int k = 0; k < 7; ++k)
    if (d.rows[0].work[k].P != 0.0f) n = k + 1;
  return n;
}

// A pressure lookup that gives 0 for a table without a valid point.
float lookup(const WorkPoint* work, int n, float p, float WorkPoint::*value) {
  return n > 0 ? interpolateWork(work, n, p, value) : 0.0f;
}

// The strips of a rectangular nozzle (4 used) and the head position code.
// A code the nozzle's kind does not know counts as code 0, for the handle,
// the outline and the turn alike.
const CPrDane* stripsOf(const CElem* e, int* code) {
  if (e->kind == kKindStripNozzle) {
    const auto* d = recordOf<CDyszaPr>(e);
    *code = d->position >= 0 && d->position <= 4 ? d->position : 0;
    return d->strips;
  }
  const auto* d = recordOf<CNozzleRectNonReg>(e);
  *code = d->position >= 0 && d->position <= 2 ? d->position : 0;
  return d->strips;
}

// Width and length (metres) of a size text "WxL", split at the first "x".
void parseStripSize(const CPrDane& strip, float* w, float* l) {
  const std::string text(strip.size, strnlen(strip.size, sizeof strip.size));
  const auto x = text.find_first_of("xX");
  *w = static_cast<float>(platform::parseDecimal(text.substr(0, x)));
  *l = x == std::string::npos ? 0.0f : static_cast<float>(platform::parseDecimal(text.substr(x + 1)));
}

int leadingStrips(const CPrDane* strips) {
  int n = 0;
  while (n < 4 && strips[n].pressure != 0.0f) ++n;
  return n;
}

// The fixed arc of a kind-19 or kind-20 nozzle, degrees.
float fixedAngleOf(const CElem* e) {
  if (e->kind == kKindVanNozzleFixed) return recordOf<CNozzleVanNonReg>(e)->row.angle;
  return recordOf<CNozzleMPNonReg>(e)->row.angle;
}

const ArcRow4& fixedRowOf(const CElem* e) {
  if (e->kind == kKindVanNozzleFixed) return recordOf<CNozzleVanNonReg>(e)->row;
  return recordOf<CNozzleMPNonReg>(e)->row;
}

// --- geometry --------------------------------------------------------------------

// `centre` + unit(toward - centre) x `length`, truncated; false when the
// direction is undefined.
bool pointToward(Point centre, Point toward, double length, Point* out) {
  const double dx = toward.x - centre.x, dy = toward.y - centre.y;
  const double d = std::sqrt(dx * dx + dy * dy);
  if (d == 0.0) return false;
  *out = {centre.x + static_cast<int>(dx / d * length), centre.y + static_cast<int>(dy / d * length)};
  return true;
}

// The arc from the ray toward `start` counter-clockwise to the ray toward
// `end`, measured by turning the end's ray clockwise in half-degree steps
// until it meets the start's ray.
float measureArcDegrees(Point pos, Point start, Point end) {
  float vx = static_cast<float>(end.x - pos.x), vy = static_cast<float>(end.y - pos.y);
  float sx = static_cast<float>(start.x - pos.x), sy = static_cast<float>(start.y - pos.y);
  const float lv = std::sqrt(vx * vx + vy * vy), ls = std::sqrt(sx * sx + sy * sy);
  int steps = 0;
  if (lv == 0.0f || ls == 0.0f) {
    steps = 720;
  } else {
    vx /= lv;
    vy /= lv;
    sx /= ls;
    sy /= ls;
    const float a = -0.008722222410142422f;
    const float c = std::cos(a), s = std::sin(a);
    // the difference in single precision, compared with 0.0001 in double
    while (steps < 720 && !(static_cast<double>(1.0f - (vx * sx + vy * sy)) < 0.0001)) {
      ++steps;
      const float nx = vx * c + vy * s;
      const float ny = vy * c - vx * s;
      vx = nx;
      vy = ny;
    }
  }
  return static_cast<float>(steps) * 0.5f + 0.5f;
}

Point shifted(Point p, int dx, int dy) { return {p.x + dx, p.y + dy}; }

std::string cp(const char* utf8) { return platform::utf8ToCp1250(utf8); }

}  // namespace

// --- helpers shared with the callers ------------------------------------------

bool isStaticFlowError(float flow) {
  return flow == kFlowNoEntries || flow == kFlowAngleTooSmall || flow == kFlowAngleTooLarge;
}

bool isStaticNozzleKind(int kind) {
  return kind == kKindVanNozzle || kind == kKindStripNozzle || kind == kKindMpNozzle ||
         kind == kKindVanNozzleFixed || kind == kKindMpNozzleFixed || kind == kKindRectRotaryNozzle;
}

std::string shortNameOf(const CElem* element) {
  if (!element || !element->data) return {};
  return shortNameOf(fieldText(element->data->name, sizeof element->data->name));
}


// --- CWStaticSprinkler ---------------------------------------------------------

CWStaticSprinkler::CWStaticSprinkler() {
  labelDx = -10;
  labelDy = 10;
  arcStartGripColour = arcEndGripColour = app().settings.systemPointColour;
}

int CWStaticSprinkler::nozzleKind() const {
  if (!nozzle || !nozzle->data) return -1;
  return static_cast<int>(nozzle->kind);
}

bool CWStaticSprinkler::isStrip() const {
  const int k = nozzleKind();
  return k == kKindStripNozzle || k == kKindRectRotaryNozzle;
}

bool CWStaticSprinkler::isCircular() const {
  const int k = nozzleKind();
  return k == kKindVanNozzle || k == kKindMpNozzle || k == kKindVanNozzleFixed || k == kKindMpNozzleFixed;
}

bool CWStaticSprinkler::IsFullCircle() const {
  const double dx = arcStart.x - arcEnd.x, dy = arcStart.y - arcEnd.y;
  return std::sqrt(dx * dx + dy * dy) < 5.0 / scale;
}

// --- evaluation ----------------------------------------------------------------

StaticEvaluation CWStaticSprinkler::EvaluateAtPressure(float scaleDenominator, float pixelsPerCm, float p) {
  StaticEvaluation ev;
  const int kind = nozzleKind();
  if (!isStaticNozzleKind(kind)) return ev;
  app().currentSourcePressure = p;
  switch (kind) {
    case kKindVanNozzleFixed:
    case kKindMpNozzleFixed: {
      const ArcRow4& row = fixedRowOf(nozzle);
      const int n = leadingPointsWithPressure(row.work, 4);
      radiusM = lookup(row.work, n, p, &WorkPoint::R);
      flow = flowNominal = lookup(row.work, n, p, &WorkPoint::Q);
      ev.radiusU = metresToUnitsF(radiusM, scaleDenominator, pixelsPerCm);
      break;
    }
    case kKindVanNozzle: {
      const auto* d = recordOf<CDyszaVan>(nozzle);
      const int n = vanEntries(*d) > 0 ? leadingPointsWithPressure(d->rows[0].work, 4) : 0;
      radiusM = lookup(d->rows[0].work, n, p, &WorkPoint::R);
      ev.radiusU = metresToUnitsF(radiusM, scaleDenominator, pixelsPerCm);
      break;
    }
    case kKindMpNozzle: {
      const auto* d = recordOf<CDyszaMP>(nozzle);
      radiusM = lookup(d->rows[0].work, mpValidPoints(*d), p, &WorkPoint::R);
      ev.radiusU = metresToUnitsF(radiusM, scaleDenominator, pixelsPerCm);
      break;
    }
    default: {  // the strips
      int code = 0;
      const CPrDane* strips = stripsOf(nozzle, &code);
      const int n = leadingStrips(strips);
      float w[4] = {}, l[4] = {};
      for (int k = 0; k < n; ++k) parseStripSize(strips[k], &w[k], &l[k]);
      auto pressureOf = [&](int k) { return strips[k].pressure; };
      float width = 0, length = 0, q = 0;
      if (n > 0) {
        width = interpolateAtPressure(n, p, pressureOf, [&](int k) { return w[k]; });
        length = interpolateAtPressure(n, p, pressureOf, [&](int k) { return l[k]; });
        q = interpolateAtPressure(n, p, pressureOf, [&](int k) { return strips[k].flow; });
      }
      widthM = widthTextM = width;
      lengthM = lengthTextM = length;
      flow = flowNominal = q;
      ev.lengthU = metresToUnitsF(length, scaleDenominator, pixelsPerCm);
      ev.widthU = metresToUnitsF(width, scaleDenominator, pixelsPerCm);
      break;
    }
  }
  return ev;
}

StaticEvaluation CWStaticSprinkler::evaluateWithDocumentScale(float pressure) {
  const DocumentValues s = documentValues();
  return EvaluateAtPressure(s.scaleDenominator, s.pixelsPerCm, pressure);
}

namespace {

// The flow of an adjustable nozzle (kinds 7 and 17) watering `arcDeg` at
// pressure `p`: linear between the table's angles; an adjustable static
// nozzle holds its end entries' flows outside them, a rotary one gives an
// error code there.
float adjustableFlowAt(const CElem* nozzle, int mpPointIndex, float arcDeg, float p) {
  if (nozzle->kind == kKindVanNozzle) {
    const auto* d = recordOf<CDyszaVan>(nozzle);
    const int e = vanEntries(*d);
    auto q = [&](int i) {
      return lookup(d->rows[i].work, leadingPointsWithPressure(d->rows[i].work, 4), p, &WorkPoint::Q);
    };
    if (e == 0) return 0;
    if (arcDeg <= d->rows[0].angle) return q(0);
    if (arcDeg >= d->rows[e - 1].angle) return q(e - 1);
    int i = 1;
    while (i < e - 1 && arcDeg > d->rows[i].angle) ++i;
    const float a0 = d->rows[i - 1].angle, a1 = d->rows[i].angle;
    return q(i - 1) + (arcDeg - a0) / (a1 - a0) * (q(i) - q(i - 1));
  }
  const auto* d = recordOf<CDyszaMP>(nozzle);
  const int c = mpEntries(*d);
  const int n = mpValidPoints(*d);
  auto q = [&](int i) { return lookup(d->rows[i].work, n, p, &WorkPoint::Q); };
  if (c == 0) return kFlowNoEntries;
  // A single entry is a fixed arc: the flow does not depend on the angle.
  if (c == 1) return mpPointIndex >= 0 && mpPointIndex < 7 ? d->rows[0].work[mpPointIndex].Q : q(0);
  if (arcDeg < d->rows[0].angle) return kFlowAngleTooSmall;
  if (arcDeg > d->rows[c - 1].angle) return kFlowAngleTooLarge;
  int i = 0;
  while (i < c - 1 && arcDeg > d->rows[i].angle) ++i;
  if (i == 0) return q(0);
  const float a0 = d->rows[i - 1].angle, a1 = d->rows[i].angle;
  return a1 == a0 ? q(i) : q(i - 1) + (arcDeg - a0) / (a1 - a0) * (q(i) - q(i - 1));
}

}  // namespace

void CWStaticSprinkler::FlowFromArc() {
  const int kind = nozzleKind();
  if (kind != kKindVanNozzle && kind != kKindMpNozzle) return;
  arcDeg = measureArcDegrees(pos, arcStart, arcEnd);
  if (IsFullCircle()) arcDeg = 359.0f;
  flow = adjustableFlowAt(nozzle, mpPointIndex, arcDeg, app().currentSourcePressure);
  if (kind == kKindVanNozzle && vanEntries(*recordOf<CDyszaVan>(nozzle)) == 0) return;
  if (!isStaticFlowError(flow)) flowNominal = flow;
}

StaticNozzleReach staticNozzleReach(const CElem& nozzle, float pressure) {
  StaticNozzleReach out;
  if (!nozzle.data) return out;
  const int kind = static_cast<int>(nozzle.kind);
  auto arcs = [&](float lo, float hi) {
    out.minArcDeg = lo;
    out.maxArcDeg = hi;
  };
  switch (kind) {
    case kKindVanNozzleFixed:
    case kKindMpNozzleFixed: {
      const ArcRow4& row = fixedRowOf(&nozzle);
      const int n = leadingPointsWithPressure(row.work, 4);
      out.radiusM = lookup(row.work, n, pressure, &WorkPoint::R);
      out.flowM3H = lookup(row.work, n, pressure, &WorkPoint::Q);
      out.fixedArc = true;
      arcs(fixedAngleOf(&nozzle), fixedAngleOf(&nozzle));
      break;
    }
    case kKindVanNozzle: {
      const auto* d = recordOf<CDyszaVan>(&nozzle);
      const int e = vanEntries(*d);
      if (e == 0) return out;
      out.radiusM = lookup(d->rows[0].work, leadingPointsWithPressure(d->rows[0].work, 4), pressure, &WorkPoint::R);
      arcs(d->rows[0].angle, d->rows[e - 1].angle);
      out.flowM3H = adjustableFlowAt(&nozzle, -1, out.maxArcDeg, pressure);
      break;
    }
    case kKindMpNozzle: {
      const auto* d = recordOf<CDyszaMP>(&nozzle);
      const int c = mpEntries(*d);
      if (c == 0) return out;
      out.radiusM = lookup(d->rows[0].work, mpValidPoints(*d), pressure, &WorkPoint::R);
      out.fixedArc = c == 1;
      arcs(d->rows[0].angle, d->rows[c - 1].angle);
      out.flowM3H = adjustableFlowAt(&nozzle, -1, out.maxArcDeg, pressure);
      break;
    }
    case kKindStripNozzle:
    case kKindRectRotaryNozzle: {
      const CPrDane* strips = stripsOf(&nozzle, &out.stripPosition);
      const int n = leadingStrips(strips);
      if (n == 0) return out;
      float w[4] = {}, l[4] = {};
      for (int k = 0; k < n; ++k) parseStripSize(strips[k], &w[k], &l[k]);
      auto pressureOf = [&](int k) { return strips[k].pressure; };
      out.widthM = interpolateAtPressure(n, pressure, pressureOf, [&](int k) { return w[k]; });
      out.lengthM = interpolateAtPressure(n, pressure, pressureOf, [&](int k) { return l[k]; });
      out.flowM3H = interpolateAtPressure(n, pressure, pressureOf, [&](int k) { return strips[k].flow; });
      out.strip = true;
      out.usable = out.widthM > 0 && out.lengthM > 0 && out.flowM3H > 0 && std::isfinite(out.widthM) &&
                   std::isfinite(out.lengthM) && std::isfinite(out.flowM3H);
      return out;
    }
    default:
      return out;
  }
  out.usable = out.radiusM > 0 && std::isfinite(out.radiusM) && out.flowM3H > 0 && std::isfinite(out.flowM3H) &&
               !isStaticFlowError(out.flowM3H) && out.maxArcDeg > 0;
  return out;
}

float staticNozzleFlow(const CElem& nozzle, float arcDeg, float pressure) {
  if (!nozzle.data) return 0;
  if (nozzle.kind == kKindVanNozzle || nozzle.kind == kKindMpNozzle)
    return adjustableFlowAt(&nozzle, -1, arcDeg, pressure);
  return staticNozzleReach(nozzle, pressure).flowM3H;
}

void CWStaticSprinkler::TurnTo(PointD from, PointD to) {
  const double lf = std::hypot(from.x, from.y);
  if (!nozzle || !(lf > 0)) return;
  const double ux = from.x / lf, uy = from.y / lf;
  const float zoom = currentZoom();
  auto pixels = [&](PointD u) {
    return Point{static_cast<int>(std::lround(u.x * zoom)), static_cast<int>(std::lround(u.y * zoom))};
  };
  if (isCircular()) {
    const int kind = nozzleKind();
    const bool settable = kind == kKindVanNozzle || (kind == kKindMpNozzle && mpEntries(*recordOf<CDyszaMP>(nozzle)) > 1);
    PointD end{ux, uy};
    if (settable) {
      const double lt = std::hypot(to.x, to.y);
      if (lt > 0) end = {to.x / lt, to.y / lt};
    } else if (!IsFullCircle()) {
      // A fixed arc keeps its span: its end turns with its start.
      const double a = measureArcDegrees(pos, arcStart, arcEnd) * kPi / 180.0;
      const double c = std::cos(a), s = std::sin(a);
      end = {c * ux + s * uy, c * uy - s * ux};
    }
    const double r = radiusU;
    arcStart = pixels({posU.x + ux * r, posU.y + uy * r});
    arcEnd = pixels({posU.x + end.x * r, posU.y + end.y * r});
    arcStartU = {posU.x + ux * r, posU.y + uy * r};
    arcEndU = {posU.x + end.x * r, posU.y + end.y * r};
    FlowFromArc();
    if (reduction > 0 && !isStaticFlowError(flow) && (kind == kKindVanNozzle || kind == kKindMpNozzle))
      flow *= 1.0f - 0.25f * reduction;
    return;
  }
  // A strip: its direction handle along `from`, as dragging it puts it.
  const Point p = pixels(posU);
  const int keepPos = posGripPicked, keepStart = arcStartGripPicked;
  posGripPicked = 0;
  arcStartGripPicked = 1;
  dragStrip({p.x + static_cast<int>(std::lround(ux * 1000)), p.y + static_cast<int>(std::lround(uy * 1000))}, p);
  posGripPicked = keepPos;
  arcStartGripPicked = keepStart;
}

void CWStaticSprinkler::ApplyPressure(float pressure) {
  if (!nozzle) return;
  evaluateWithDocumentScale(pressure);
  ReduceRadius(reduction);
}

// --- placement -----------------------------------------------------------------

CWStaticSprinkler::HandleRule CWStaticSprinkler::handleRule() const {
  if (!isStrip()) return {0, false};
  int code = 0;
  stripsOf(nozzle, &code);
  if (nozzleKind() == kKindStripNozzle) {
    switch (code) {
      case 1: return {1, false};
      case 3: return {1, false};
      case 4: return {-1, false};
      default: return {1, true};  // 0 and 2
    }
  }
  switch (code) {
    case 1: return {-1, true};
    case 2: return {-1, false};
    default: return {1, false};  // 0
  }
}

int CWStaticSprinkler::stripHandleOffset(int l) const {
  const HandleRule rule = handleRule();
  return rule.sign * (rule.half ? l / 2 : l);
}

void CWStaticSprinkler::setPlanUnitsFromPixels() {
  posU = {pos.x * scale, pos.y * scale};
  arcStartU = {arcStart.x * scale, arcStart.y * scale};
  arcEndU = {arcEnd.x * scale, arcEnd.y * scale};
}

void CWStaticSprinkler::PlaceAt(Point click, float scaleDenominator, float pixelsPerCm, float pressure) {
  const int kind = nozzleKind();
  if (!isStaticNozzleKind(kind)) return;
  pos = click;
  const StaticEvaluation ev = EvaluateAtPressure(scaleDenominator, pixelsPerCm, pressure);
  const float zoom = currentZoom();

  if (isCircular()) {
    radiusU = ev.radiusU;
    radiusPx = radiusU * zoom;
    arcStart = {pos.x + static_cast<int>(radiusPx), pos.y};
    float angle = 0.7853982f;  // an adjustable static nozzle starts at 45 degrees
    bool remembered = false;
    if (kind == kKindVanNozzleFixed || kind == kKindMpNozzleFixed) {
      angle = fixedAngleOf(nozzle) * 2.0f * kPi / 360.0f;
    } else if (kind == kKindMpNozzle) {
      const auto* d = recordOf<CDyszaMP>(nozzle);
      angle = d->rows[0].angle * 2.0f * kPi / 360.0f;
      // A single entry is a fixed arc that cannot be dragged, so a
      // remembered range would give it a sector it cannot water.
      remembered = d->rows[0].angle != 360.0f && mpEntries(*d) > 1;
    } else {
      remembered = true;
    }
    const RememberedRange& range = app().settings.rememberedRange;
    if (remembered && range.valid) {
      arcStart = {pos.x + static_cast<int>(range.startX * radiusPx), pos.y + static_cast<int>(range.startY * radiusPx)};
      arcEnd = {pos.x + static_cast<int>(range.endX * radiusPx), pos.y + static_cast<int>(range.endY * radiusPx)};
    } else {
      arcEnd = turnedAbout(pos, arcStart, angle);
    }
  } else {
    lengthU = ev.lengthU;
    widthU = ev.widthU;
    lengthPx = lengthU * zoom;
    widthPx = widthU * zoom;
    arcStart = {pos.x + stripHandleOffset(static_cast<int>(lengthPx)), pos.y};
    arcEnd = pos;
  }
  setPlanUnitsFromPixels();
  FlowFromArc();
}

bool CWStaticSprinkler::RememberRange() const {
  if (!isCircular()) return false;
  const double sx = arcStart.x - pos.x, sy = arcStart.y - pos.y;
  const double ex = arcEnd.x - pos.x, ey = arcEnd.y - pos.y;
  const double ls = std::sqrt(sx * sx + sy * sy), le = std::sqrt(ex * ex + ey * ey);
  if (ls == 0.0 || le == 0.0) return false;
  RememberedRange& range = app().settings.rememberedRange;
  range.startX = sx / ls;
  range.startY = sy / ls;
  range.endX = ex / le;
  range.endY = ey / le;
  range.valid = 1;
  return true;
}

// --- zoom, copies, reduction --------------------------------------------------------

void CWStaticSprinkler::Rescale(float zoom) {
  if (!nozzle) return;
  pos = {static_cast<int>(zoom * posU.x), static_cast<int>(zoom * posU.y)};
  arcStart = {static_cast<int>(zoom * arcStartU.x), static_cast<int>(zoom * arcStartU.y)};
  arcEnd = {static_cast<int>(zoom * arcEndU.x), static_cast<int>(zoom * arcEndU.y)};
  radiusPx = radiusU * zoom;
  lengthPx = lengthU * zoom;
  widthPx = widthU * zoom;
  scale = 1.0 / zoom;
}

std::unique_ptr<CWBase> CWStaticSprinkler::CloneAt(Point target) const {
  if (!nozzle) return nullptr;
  auto copy = std::make_unique<CWStaticSprinkler>(*this);
  const int dx = target.x - pos.x, dy = target.y - pos.y;
  // Plan units of the shifted points truncated to whole units, as a rotary
  // sprinkler's copy takes them.
  auto units = [&](Point p) {
    return PointD{static_cast<double>(static_cast<int>(p.x * scale)), static_cast<double>(static_cast<int>(p.y * scale))};
  };
  copy->pos = shifted(pos, dx, dy);
  copy->arcStart = shifted(arcStart, dx, dy);
  copy->arcEnd = shifted(arcEnd, dx, dy);
  copy->posU = units(copy->pos);
  copy->arcStartU = units(copy->arcStart);
  copy->arcEndU = units(copy->arcEnd);
  return copy;
}

void CWStaticSprinkler::MoveLabelTo(Point p) {
  if (nozzle) setLabelOffsetTo(p, pos);
}

int CWStaticSprinkler::CanReduceRadius() const { return isStaticNozzleKind(nozzleKind()) ? 1 : 0; }

void CWStaticSprinkler::fitArcEndsU(double r) {
  auto fit = [&](PointD& end) {
    const double dx = end.x - posU.x, dy = end.y - posU.y;
    const double d = std::sqrt(dx * dx + dy * dy);
    end = d > 0.0 ? PointD{posU.x + dx / d * r, posU.y + dy / d * r} : PointD{posU.x + r, posU.y};
  };
  fit(arcStartU);
  fit(arcEndU);
}

void CWStaticSprinkler::ReduceRadius(float f) {
  const int kind = nozzleKind();
  if (!isStaticNozzleKind(kind)) return;
  const float k = 1.0f - 0.25f * f;
  const float p = app().currentSourcePressure;

  if (kind == kKindVanNozzle || kind == kKindMpNozzle) {
    if (kind == kKindMpNozzle && isStaticFlowError(flow)) return;
    reduction = 0;
    FlowFromArc();
    // An error code is a state, not a flow: scaling it would turn it into
    // a plausible number.
    if (!isStaticFlowError(flow)) flow *= k;
    const float r = evaluateWithDocumentScale(p).radiusU * k;
    fitArcEndsU(r);
    radiusU = r;
  } else if (kind == kKindVanNozzleFixed || kind == kKindMpNozzleFixed) {
    const StaticEvaluation ev = evaluateWithDocumentScale(p);
    flow *= k;
    const float r = ev.radiusU * k;
    fitArcEndsU(r);
    radiusU = r;
  } else {
    const StaticEvaluation ev = evaluateWithDocumentScale(p);
    lengthU = ev.lengthU * k;
    widthU = ev.widthU * k;
    // The handle stays on its ray from the head, at the reduced length:
    // that is where dragging it puts it for every head position.
    const HandleRule rule = handleRule();
    const double h = rule.sign * (rule.half ? lengthU / 2.0 : static_cast<double>(lengthU));
    const double dx = arcStartU.x - posU.x, dy = arcStartU.y - posU.y;
    const double d = std::sqrt(dx * dx + dy * dy);
    if (d > 0.0) {
      arcStartU = {posU.x + dx / d * std::fabs(h), posU.y + dy / d * std::fabs(h)};
    } else {
      arcStartU = {posU.x + orient[0] * h, posU.y + orient[2] * h};
    }
    flow *= k;
  }
  reduction = f;
  Rescale(currentZoom());
}

// --- drawing -------------------------------------------------------------------

namespace {

// The corners of a strip `l` long and `w` wide about its head, unturned, for
// the nozzle's kind and strip code (halves in the arithmetic of T).
template <typename T>
std::array<std::array<T, 2>, 4> stripLayout(bool staticStrip, int code, T l, T w) {
  if (staticStrip) {
    switch (code) {
      case 1: return {{{0, -w / 2}, {l, -w / 2}, {l, w / 2}, {0, w / 2}}};
      case 2: return {{{-l / 2, -w / 2}, {l / 2, -w / 2}, {l / 2, w / 2}, {-l / 2, w / 2}}};
      case 3: return {{{0, 0}, {l, 0}, {l, -w}, {0, -w}}};
      case 4: return {{{0, 0}, {-l, 0}, {-l, -w}, {0, -w}}};
      default: return {{{-l / 2, -w}, {l / 2, -w}, {l / 2, 0}, {-l / 2, 0}}};
    }
  }
  switch (code) {
    case 1: return {{{-l / 2, 0}, {l / 2, 0}, {l / 2, -w}, {-l / 2, -w}}};
    case 2: return {{{0, -w}, {-l, -w}, {-l, 0}, {0, 0}}};
    default: return {{{0, -w}, {l, -w}, {l, 0}, {0, 0}}};
  }
}

}  // namespace

std::array<Point, 4> CWStaticSprinkler::stripCorners() const {
  std::array<Point, 4> c{};
  if (!isStrip()) return c;
  int code = 0;
  stripsOf(nozzle, &code);
  const auto layout = stripLayout<int>(nozzleKind() == kKindStripNozzle, code, static_cast<int>(lengthPx),
                                       static_cast<int>(widthPx));
  for (size_t i = 0; i < c.size(); ++i) {
    const float dx = static_cast<float>(layout[i][0]), dy = static_cast<float>(layout[i][1]);
    c[i] = {pos.x + static_cast<int>(orient[0] * dx + orient[1] * dy),
            pos.y + static_cast<int>(orient[2] * dx + orient[3] * dy)};
  }
  return c;
}

std::array<PointD, 4> CWStaticSprinkler::stripCornersU() const {
  std::array<PointD, 4> c{};
  if (!isStrip()) return c;
  int code = 0;
  stripsOf(nozzle, &code);
  const auto layout = stripLayout<double>(nozzleKind() == kKindStripNozzle, code, lengthU, widthU);
  for (size_t i = 0; i < c.size(); ++i) {
    const double dx = layout[i][0], dy = layout[i][1];
    c[i] = {posU.x + orient[0] * dx + orient[1] * dy, posU.y + orient[2] * dx + orient[3] * dy};
  }
  return c;
}

void CWStaticSprinkler::drawCoverageFigure() {
  if (isStrip()) {
    const auto c = stripCorners();
    dc->polyline({c[0], c[1], c[2], c[3], c[0]});
    return;
  }
  drawSector(*dc, pos, static_cast<int>(radiusPx), arcStart, arcEnd, IsFullCircle());
}

void CWStaticSprinkler::Draw() {
  if (!nozzle || !dc || !isStaticNozzleKind(nozzleKind())) return;
  {
    CanvasStateSaver keep(*dc);
    dc->setPen(coveragePen(*this));
    dc->setBrush(Brush::none());
    if (showCoverage) drawCoverageFigure();
  }
  drawGrip(pos, posGripColour);
  if (showGrips) {
    drawGrip(arcStart, arcStartGripColour);
    if (isCircular()) drawGrip(arcEnd, arcEndGripColour);
  }
  drawCentreDot(*this, pos);
  if (connected) drawConnectedMark(*dc, pos);
  if (showGrips && labelShown) drawGrip(labelAnchor(pos), posGripColour);
}

void CWStaticSprinkler::DrawHighlighted() {
  if (!nozzle || !dc || !isStaticNozzleKind(nozzleKind())) return;
  showCoverage = 1;
  CanvasStateSaver keep(*dc);
  dc->setPen(Pen::solid(bodyColour(app().settings.highlightColour), 2));
  dc->setBrush(Brush::none());
  drawCoverageFigure();
}

float CWStaticSprinkler::labelLineHeight() const {
  return static_cast<float>(app().settings.labelFontHeight * (1.0 / scale));
}

void CWStaticSprinkler::DrawLabel() {
  if (!nozzle || !dc) return;
  const Point a = labelAnchor(pos);
  dc->text(a, shortNameOf(elementName()));
  dc->text({a.x, a.y + static_cast<int>(labelLineHeight())}, shortNameOf(nozzle));

  const char* message = nullptr;
  if (flow == kFlowNoEntries) message = "Blad w bazie danych !!! ilosc dysz==0";
  if (flow == kFlowAngleTooSmall) message = "Za maly kat zraszania dla tego typu dyszy";
  if (flow == kFlowAngleTooLarge) message = "Za duzy kat zraszania dla tego typu dyszy";
  if (!message) return;
  CanvasStateSaver keep(*dc);
  dc->setOpaqueBackground(true);
  dc->setBackgroundColour(kWhite);
  dc->setTextColour(kErrorTextColour);
  dc->text(a, cp(message));
}

void CWStaticSprinkler::DrawFlow() {
  if (!nozzle) return;
  if (flow > 1000.0f)
    drawFlowTextAt(*this, {pos.x - 5, pos.y + 15}, "nieokreslony");
  else
    drawFlowText(*this, labelAnchor(pos), 2, platform::formatFixed(flow, 2));
}

// --- control points ------------------------------------------------------------------

void CWStaticSprinkler::ResetGrips() {
  CWBase::ResetGrips();
  posGripColour = kSprinklerPosGripColour;
  arcStartGripColour = arcEndGripColour = app().settings.systemPointColour;
  posGripPicked = arcStartGripPicked = arcEndGripPicked = 0;
}

int CWStaticSprinkler::PickGrip(Point p, int mode) {
  if (!isStaticNozzleKind(nozzleKind())) return 0;
  // A strip has no arc end: its arcEnd lies on the head and is no control point.
  return pickSprinklerGrip(*this, p, mode,
                           {{arcStart, &arcStartGripColour, &arcStartGripPicked},
                            {arcEnd, &arcEndGripColour, &arcEndGripPicked, isCircular()}},
                           {pos, &posGripColour, &posGripPicked}, labelAnchor(pos));
}

void CWStaticSprinkler::DragGrip(Point to, Point from) {
  const int kind = nozzleKind();
  if (!isStaticNozzleKind(kind)) return;
  {
    DragBand band(*this, Pen::solid(kDragPenColour, 2));
    if (labelGripPicked) {
      band.labelMark(labelAnchor(pos));
      setLabelOffsetTo(to, pos);
      band.labelMark(labelAnchor(pos));
    } else if (isStrip()) {
      dragStrip(to, from);
    } else {
      dragCircular(to, from);
    }
  }

  if (kind == kKindVanNozzle || kind == kKindMpNozzle) {
    FlowFromArc();
    if (!isStaticFlowError(flow)) flow = flow - reduction * 0.25f * flow;
  }
}

void CWStaticSprinkler::dragCircular(Point to, Point from) {
  const int kind = nozzleKind();
  auto rubber = [&] {
    if (dc) drawCoverageFigure();
  };
  if (posGripPicked) {
    rubber();
    const int dx = to.x - from.x, dy = to.y - from.y;
    pos = shifted(pos, dx, dy);
    arcStart = shifted(arcStart, dx, dy);
    arcEnd = shifted(arcEnd, dx, dy);
    setPlanUnitsFromPixels();
    rubber();
    return;
  }
  if (!arcStartGripPicked && !arcEndGripPicked) return;

  const bool fixedArc = kind == kKindVanNozzleFixed || kind == kKindMpNozzleFixed;
  if (fixedArc && fixedAngleOf(nozzle) == 360.0f) return;
  if (kind == kKindMpNozzle && mpEntries(*recordOf<CDyszaMP>(nozzle)) == 1) return;
  Point moved;
  if (!pointToward(pos, to, radiusPx, &moved)) return;

  rubber();
  const float angle = fixedArc ? fixedAngleOf(nozzle) * 2.0f * kPi / 360.0f : 0.0f;
  if (arcStartGripPicked) {
    arcStart = moved;
    if (fixedArc) arcEnd = turnedAbout(pos, arcStart, angle);
  } else {
    arcEnd = moved;
    if (fixedArc) arcStart = turnedAbout(pos, arcEnd, -angle);
  }
  setPlanUnitsFromPixels();
  rubber();
}

void CWStaticSprinkler::dragStrip(Point to, Point from) {
  auto rubber = [&] {
    if (dc) drawCoverageFigure();
  };
  if (posGripPicked) {
    rubber();
    const int dx = to.x - from.x, dy = to.y - from.y;
    pos = shifted(pos, dx, dy);
    arcStart = shifted(arcStart, dx, dy);
    arcEnd = shifted(arcEnd, dx, dy);
    setPlanUnitsFromPixels();
    rubber();
    return;
  }
  if (!arcStartGripPicked) return;
  const float mx = static_cast<float>(to.x - pos.x), my = static_cast<float>(to.y - pos.y);
  const float d = std::sqrt(mx * mx + my * my);
  if (d == 0.0f) return;
  const float ux = mx / d, uy = my / d;
  const int h = std::abs(stripHandleOffset(static_cast<int>(lengthPx)));

  rubber();
  arcStart = {pos.x + static_cast<int>(ux * h), pos.y + static_cast<int>(uy * h)};
  int code = 0;
  stripsOf(nozzle, &code);
  if (nozzleKind() == kKindStripNozzle) {
    const float s = code == 4 ? -1.0f : 1.0f;  // that strip lies to the left of its head
    orient = {s * ux, -s * uy, s * uy, s * ux};
  } else {
    const float c = code == 2 ? -1.0f : 1.0f;
    const float e = code == 0 ? -1.0f : 1.0f;
    orient = {c * ux, e * uy, c * uy, -e * ux};
  }
  stripDragX = ux;
  setPlanUnitsFromPixels();
  rubber();
}

std::string CWStaticSprinkler::GetKindName() const { return elementName(); }

// --- nozzle selection and parameters -------------------------------------------

namespace {

// The order of a Windows-1250 byte in a Polish list: blanks, digits and signs
// first, then the letters without regard to case, each letter with
// diacritics right after its base letter.
int collationWeight(unsigned char c) {
  auto letter = [](char base, int mark) { return 1000 + (base - 'A') * 4 + mark; };
  if (c >= 'a' && c <= 'z') return letter(static_cast<char>(c - 'a' + 'A'), 0);
  if (c >= 'A' && c <= 'Z') return letter(static_cast<char>(c), 0);
  switch (c) {
    case 0xA5: case 0xB9: return letter('A', 1);
    case 0xC6: case 0xE6: return letter('C', 1);
    case 0xCA: case 0xEA: return letter('E', 1);
    case 0xA3: case 0xB3: return letter('L', 1);
    case 0xD1: case 0xF1: return letter('N', 1);
    case 0xD3: case 0xF3: return letter('O', 1);
    case 0x8C: case 0x9C: return letter('S', 1);
    case 0x8F: case 0x9F: return letter('Z', 1);
    case 0xAF: case 0xBF: return letter('Z', 2);
    default: return c < 'A' ? c : 2000 + c;
  }
}

bool polishLess(const std::string& a, const std::string& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const int wa = collationWeight(static_cast<unsigned char>(a[i]));
    const int wb = collationWeight(static_cast<unsigned char>(b[i]));
    if (wa != wb) return wa < wb;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

std::string nameOf(const CElem& e) { return elementName(&e); }

// "%.2f", with a zero cell left empty.
std::string fixed2OrEmpty(float v) { return v == 0.0f ? std::string() : platform::formatFixed(v, 2); }

}  // namespace

std::vector<CElem*> staticNozzleChoices(CElem* head) {
  std::vector<CElem*> out;
  for (CElem* e = head; e; e = e->next)
    if (e->data && !e->archived && !e->deleted && isStaticNozzleKind(static_cast<int>(e->kind))) out.push_back(e);
  std::stable_sort(out.begin(), out.end(), [](CElem* a, CElem* b) { return polishLess(nameOf(*a), nameOf(*b)); });
  return out;
}

bool paletteShowsNozzleParameters(const CElem* nozzle) {
  if (!nozzle || !nozzle->data) return false;
  return nozzle->kind == kKindVanNozzle || nozzle->kind == kKindStripNozzle || nozzle->kind == kKindMpNozzle;
}

NozzleParameterSheet nozzleParameterSheet(const CElem& nozzle, int entry) {
  NozzleParameterSheet sheet;
  sheet.title = "Parametry dyszy";
  sheet.name = nameOf(nozzle);
  if (!nozzle.data) return sheet;
  sheet.kind = static_cast<int>(nozzle.kind);
  const std::vector<std::string> circular = {"P [atm]", "Q [m3/h]", "R [m]"};
  auto g6Rows = [&](const WorkPoint* work, int count) {
    for (int k = 0; k < count; ++k)
      sheet.rows.push_back({platform::formatG6(work[k].P), platform::formatG6(work[k].Q), platform::formatG6(work[k].R)});
  };

  switch (sheet.kind) {
    case kKindVanNozzle: {
      const auto* d = recordOf<CDyszaVan>(&nozzle);
      sheet.columns = circular;
      for (int i = 0; i < vanEntries(*d); ++i) sheet.angles.push_back(platform::formatFixed(d->rows[i].angle, 0));
      if (entry >= 0 && entry < vanEntries(*d)) g6Rows(d->rows[entry].work, 4);
      break;
    }
    case kKindMpNozzle: {
      const auto* d = recordOf<CDyszaMP>(&nozzle);
      sheet.columns = circular;
      for (int i = 0; i < mpEntries(*d); ++i) sheet.angles.push_back(platform::formatFixed(d->rows[i].angle, 0));
      if (entry >= 0 && entry < mpEntries(*d)) g6Rows(d->rows[entry].work, 7);
      break;
    }
    case kKindVanNozzleFixed:
    case kKindMpNozzleFixed: {
      const ArcRow4& row = fixedRowOf(&nozzle);
      sheet.columns = circular;
      sheet.angles.push_back(platform::formatFixed(row.angle, 0));
      for (const WorkPoint& w : row.work) sheet.rows.push_back({fixed2OrEmpty(w.P), fixed2OrEmpty(w.Q), fixed2OrEmpty(w.R)});
      break;
    }
    case kKindStripNozzle:
    case kKindRectRotaryNozzle: {
      int code = 0;
      const CPrDane* strips = stripsOf(&nozzle, &code);
      sheet.columns = {"P [atm]", "Q [m3/h]", "WxL [m]"};
      for (int k = 0; k < 4; ++k) {
        const CPrDane& s = strips[k];
        std::string size(s.size, strnlen(s.size, sizeof s.size));
        if (sheet.kind == kKindStripNozzle)
          sheet.rows.push_back({platform::formatG6(s.pressure), platform::formatG6(s.flow), size});
        else
          sheet.rows.push_back({fixed2OrEmpty(s.pressure), fixed2OrEmpty(s.flow), size});
      }
      break;
    }
    default:
      break;
  }
  return sheet;
}

CElem* selectStaticNozzle(CElem* catalogueHead, const NozzleSelectionDialogs& dialogs) {
  if (!dialogs.chooseFromList || !dialogs.confirmParameters) return nullptr;
  const std::vector<CElem*> nozzles = staticNozzleChoices(catalogueHead);
  int preselected = nozzles.empty() ? -1 : 0;
  for (;;) {
    const int chosen = dialogs.chooseFromList(nozzles, preselected);
    if (chosen < 0 || chosen >= static_cast<int>(nozzles.size())) return nullptr;
    if (dialogs.confirmParameters(nozzleParameterSheet(*nozzles[chosen]), *nozzles[chosen])) return nozzles[chosen];
    preselected = chosen;  // "Anuluj" returns to the list
  }
}
