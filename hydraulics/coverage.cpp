#include "hydraulics/coverage.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <unordered_map>

#include "document/graphic_plane.h"
#include "document/terrain.h"
#include "hydraulics/network.h"
#include "objects/micro_sprinklers.h"
#include "objects/polylines.h"
#include "objects/sprinkler.h"
#include "objects/static_sprinkler.h"
#include "partix.h"
#include "sections/section_list.h"
#include "startup/application.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

enum class Profile { Triangular, FlatTopped, Even };
enum class Shape { Sector, Strip, Band };

// What one head puts on the ground, in plan units.
struct Footprint {
  int section = kNoSection;
  double flow = 0;  // m3/h
  Shape shape = Shape::Sector;
  Profile profile = Profile::Even;
  PointD centre;
  double radius = 0;
  double startDeg = 0, spanDeg = 360;  // counter-clockwise on the plan
  std::array<PointD, 4> corners{};
  std::vector<PointD> path;
  double halfWidth = 0;
  double minX = 0, minY = 0, maxX = 0, maxY = 0;
};

bool finite(const PointD& p) { return std::isfinite(p.x) && std::isfinite(p.y); }

// The direction of `p` from `c` in degrees, counter-clockwise from east as the
// plan shows it (its y axis points down), 0..360.
double planAngle(const PointD& c, const PointD& p) {
  const double a = std::atan2(c.y - p.y, p.x - c.x) * 180.0 / kPi;
  return a < 0 ? a + 360.0 : a;
}

// A sector from `start` to `end` counter-clockwise, or the whole circle.
void setSector(Footprint& f, const PointD& start, const PointD& end, bool full) {
  f.shape = Shape::Sector;
  if (full) {
    f.startDeg = 0;
    f.spanDeg = 360;
    return;
  }
  f.startDeg = planAngle(f.centre, start);
  double span = planAngle(f.centre, end) - f.startDeg;
  while (span <= 1e-9) span += 360.0;
  f.spanDeg = span;
}

bool nearlySame(const PointD& a, const PointD& b) { return std::hypot(a.x - b.x, a.y - b.y) < 5.0; }

PointD turnedU(const PointD& c, double dx, double dy, const std::array<float, 4>& m) {
  return {c.x + m[0] * dx + m[1] * dy, c.y + m[2] * dx + m[3] * dy};
}

double flowOf(const CWBase& o) {
  const float f = o.GetFlow();
  if (o.GetType() == kTypeStaticSprinkler && isStaticFlowError(f)) return 0;
  return std::isfinite(f) && f > 0 ? f : 0;
}

// The footprint of a head, or false for objects that water nothing.
bool footprintOf(const CWBase& o, double unitsPerMetre, Footprint& f) {
  f.section = o.GetSectionNo();
  // A number no section table holds (a damaged file) is no section.
  if (f.section < 0 || f.section >= CSectionList::kMaxSections) f.section = kNoSection;
  f.flow = flowOf(o);
  switch (o.GetType()) {
    case kTypeSprinkler: {
      const auto& s = static_cast<const CWSprinkler&>(o);
      f.centre = s.posU;
      f.radius = s.radiusU;
      f.profile = Profile::Triangular;
      setSector(f, s.arcStartU, s.arcEndU, nearlySame(s.arcStartU, s.arcEndU));
      break;
    }
    case kTypeStaticSprinkler: {
      const auto& s = static_cast<const CWStaticSprinkler&>(o);
      const int kind = s.nozzleKind();
      const bool rotary = kind == 17 || kind == 20 || kind == 21;
      f.centre = s.posU;
      f.profile = rotary ? Profile::Triangular : Profile::FlatTopped;
      if (s.isStrip()) {
        f.shape = Shape::Strip;
        f.corners = s.stripCornersU();
      } else if (s.isCircular()) {
        f.radius = s.radiusU;
        setSector(f, s.arcStartU, s.arcEndU, nearlySame(s.arcStartU, s.arcEndU));
      } else {
        return false;
      }
      break;
    }
    case kTypeMicroSprinkler: {
      const auto& s = static_cast<const CWMicroSprinkler&>(o);
      f.centre = s.posU;
      f.radius = s.radiusU;
      f.profile = Profile::FlatTopped;
      const double a = s.arcDeg * kPi / 180.0;
      setSector(f, turnedU(s.posU, s.radiusU, 0, s.orient),
                turnedU(s.posU, s.radiusU * std::cos(a), -s.radiusU * std::sin(a), s.orient), s.fullCircle != 0);
      break;
    }
    case kTypeMicroHadar: {
      const auto& s = static_cast<const CWMicroSprinklerHadar&>(o);
      f.centre = s.posU;
      f.profile = Profile::FlatTopped;
      if (s.insertUsed) {
        f.radius = s.radiusU;
        setSector(f, turnedU(s.posU, s.radiusU, 0, s.orient), turnedU(s.posU, -s.radiusU, 0, s.orient),
                  s.halfCircle == 0);
      } else {
        // Without an insert the unit waters like a bubbler at its foot.
        f.radius = std::max<double>(s.radiusU, 0.3 * unitsPerMetre);
        f.profile = Profile::Even;
        setSector(f, {}, {}, true);
      }
      break;
    }
    case kTypeRws: {
      const auto& s = static_cast<const CWRwsSprinkler&>(o);
      f.centre = s.posU;
      f.radius = std::max<double>(s.radiusU, 0.2 * unitsPerMetre);
      f.profile = Profile::Even;
      setSector(f, {}, {}, true);
      break;
    }
    case kTypeDripline: {
      const auto& d = static_cast<const CWDripline&>(o);
      if (d.verticesU.empty()) return false;
      double spacingM = 0;
      if (d.elem && d.elem->data && d.elem->kind == 9)
        spacingM = static_cast<const CLinKrop*>(d.elem->data)->dripperSpacing / 100.0;
      if (!std::isfinite(spacingM)) spacingM = 0;
      f.shape = Shape::Band;
      f.profile = Profile::Even;
      f.path = d.verticesU;
      f.halfWidth = std::max(0.3, std::min(spacingM, 2.0)) / 2 * unitsPerMetre;
      f.centre = d.verticesU.front();
      break;
    }
    default:
      return false;
  }
  // The box the footprint may reach.
  auto grow = [&f](const PointD& p, double by) {
    f.minX = std::min(f.minX, p.x - by);
    f.maxX = std::max(f.maxX, p.x + by);
    f.minY = std::min(f.minY, p.y - by);
    f.maxY = std::max(f.maxY, p.y + by);
  };
  f.minX = f.maxX = f.centre.x;
  f.minY = f.maxY = f.centre.y;
  switch (f.shape) {
    case Shape::Sector:
      if (!(f.radius >= 0) || !std::isfinite(f.radius)) f.radius = 0;
      grow(f.centre, f.radius);
      break;
    case Shape::Strip:
      for (const PointD& c : f.corners) grow(c, 0);
      break;
    case Shape::Band:
      for (const PointD& p : f.path) grow(p, f.halfWidth);
      break;
  }
  if (!finite(f.centre) || !std::isfinite(f.minX + f.maxX + f.minY + f.maxY)) return false;
  // A damaged object whose reach is out of all proportion waters nothing.
  return f.maxX - f.minX < 1e7 && f.maxY - f.minY < 1e7;
}

// The relative rate of a profile at `rho`, the distance from the head as a
// share of its throw (nothing from the edge, rho = 1, on):
//   triangular   1 - rho
//   flat-topped  1 up to rho = 0.6, then (1 - rho) / 0.4, falling linearly
//                to 0 at the edge; over a whole circle of radius R it adds up
//                to (0.36 + 0.29333) pi R^2 = 0.65333 pi R^2
//   even         1
double profileAt(Profile p, double rho) {
  if (rho >= 1.0) return 0;
  switch (p) {
    case Profile::Triangular: return 1.0 - rho;
    case Profile::FlatTopped: return rho <= 0.6 ? 1.0 : (1.0 - rho) / 0.4;
    case Profile::Even: return 1.0;
  }
  return 0;
}

// Falls from 1 to 0 over the outer 15 % at both ends of 0..1.
double edgeRamp(double s) {
  if (s < 0 || s > 1) return 0;
  return std::min(1.0, std::min(s, 1.0 - s) / 0.15);
}

double segmentDistance(const PointD& p, const PointD& a, const PointD& b) {
  const double vx = b.x - a.x, vy = b.y - a.y, len2 = vx * vx + vy * vy;
  double t = len2 > 0 ? ((p.x - a.x) * vx + (p.y - a.y) * vy) / len2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(p.x - (a.x + t * vx), p.y - (a.y + t * vy));
}

// The relative rate a footprint gives at `p`.
double weightAt(const Footprint& f, const PointD& p) {
  switch (f.shape) {
    case Shape::Sector: {
      if (f.radius <= 0) return 0;
      const double d = std::hypot(p.x - f.centre.x, p.y - f.centre.y);
      if (d >= f.radius) return 0;
      if (f.spanDeg < 360.0 && d > 0) {
        double a = planAngle(f.centre, p) - f.startDeg;
        while (a < 0) a += 360.0;
        if (a > f.spanDeg) return 0;
      }
      return profileAt(f.profile, d / f.radius);
    }
    case Shape::Strip: {
      const PointD& o = f.corners[0];
      const double ux = f.corners[1].x - o.x, uy = f.corners[1].y - o.y;
      const double vx = f.corners[3].x - o.x, vy = f.corners[3].y - o.y;
      const double lu = ux * ux + uy * uy, lv = vx * vx + vy * vy;
      if (lu <= 0 || lv <= 0) return 0;
      const double s = ((p.x - o.x) * ux + (p.y - o.y) * uy) / lu;
      const double t = ((p.x - o.x) * vx + (p.y - o.y) * vy) / lv;
      return edgeRamp(s) * edgeRamp(t);
    }
    case Shape::Band:
      // Drip lines are spread segment by segment (see deposit); a line of
      // one vertex is a spot.
      return std::hypot(p.x - f.centre.x, p.y - f.centre.y) <= f.halfWidth ? 1 : 0;
  }
  return 0;
}

// An index of `n` cells from a cell coordinate, held to -1..n (NaN gives -1)
// before it becomes an int.
int clampIndex(double v, int n) {
  if (!(v >= -1.0)) return -1;
  if (v >= n) return n;
  return static_cast<int>(std::floor(v));
}

struct Grid {
  int cols = 0, rows = 0;
  double x0 = 0, y0 = 0, cell = 0;
  int colAt(double x) const { return clampIndex((x - x0) / cell, cols); }
  int rowAt(double y) const { return clampIndex((y - y0) / cell, rows); }
};

// Samples a side in each cell: more where the footprint is narrow against
// the cell, so that narrow bands, strips and small throws are not missed
// between cell centres.
int samplesPerSide(const Footprint& f, double cell) {
  double narrow = 0;
  switch (f.shape) {
    case Shape::Sector: narrow = 2 * f.radius; break;
    case Shape::Strip:
      narrow = std::min(std::hypot(f.corners[1].x - f.corners[0].x, f.corners[1].y - f.corners[0].y),
                        std::hypot(f.corners[3].x - f.corners[0].x, f.corners[3].y - f.corners[0].y));
      break;
    case Shape::Band: narrow = 2 * f.halfWidth; break;
  }
  if (!(narrow > 0)) return 1;
  return static_cast<int>(std::clamp(std::ceil(3.0 * cell / narrow), 1.0, 8.0));
}

// The mean weight of k x k samples over cell (c, r).
template <typename Weight>
double cellWeight(const Grid& g, int c, int r, int k, Weight weight) {
  double sum = 0;
  for (int i = 0; i < k; ++i)
    for (int j = 0; j < k; ++j)
      sum += weight(PointD{g.x0 + (c + (j + 0.5) / k) * g.cell, g.y0 + (r + (i + 0.5) / k) * g.cell});
  return sum / (k * k);
}

// Spreads a head's flow (m3/h) over the cells it reaches, in proportion to
// its profile; the cells receive exactly its flow.
void deposit(const Footprint& f, const Grid& g, std::vector<float>& cells, std::vector<float>& scratch) {
  if (f.flow <= 0 || g.cols <= 0 || g.rows <= 0) return;
  const int c0 = std::max(0, g.colAt(f.minX)), c1 = std::min(g.cols - 1, g.colAt(f.maxX));
  const int r0 = std::max(0, g.rowAt(f.minY)), r1 = std::min(g.rows - 1, g.rowAt(f.maxY));
  const int k = samplesPerSide(f, g.cell);
  double sum = 0;
  if (c0 <= c1 && r0 <= r1) {
    const size_t w = static_cast<size_t>(c1 - c0 + 1);
    scratch.assign(w * static_cast<size_t>(r1 - r0 + 1), 0.0f);
    auto at = [&](int c, int r) -> float& {
      return scratch[static_cast<size_t>(r - r0) * w + static_cast<size_t>(c - c0)];
    };
    if (f.shape == Shape::Band && f.path.size() > 1) {
      // Segment by segment over the cells near it; a cell takes the share of
      // its samples that lie on the band of this or a neighbouring segment.
      const size_t n = f.path.size();
      for (size_t i = 1; i < n; ++i) {
        const PointD& a = f.path[i - 1];
        const PointD& b = f.path[i];
        const size_t from = i > 1 ? i - 1 : 1, to = std::min(n - 1, i + 1);
        auto onBand = [&](const PointD& p) {
          for (size_t j = from; j <= to; ++j)
            if (segmentDistance(p, f.path[j - 1], f.path[j]) <= f.halfWidth) return 1.0;
          return 0.0;
        };
        const int sc0 = std::max(c0, g.colAt(std::min(a.x, b.x) - f.halfWidth));
        const int sc1 = std::min(c1, g.colAt(std::max(a.x, b.x) + f.halfWidth));
        const int sr0 = std::max(r0, g.rowAt(std::min(a.y, b.y) - f.halfWidth));
        const int sr1 = std::min(r1, g.rowAt(std::max(a.y, b.y) + f.halfWidth));
        for (int r = sr0; r <= sr1; ++r)
          for (int c = sc0; c <= sc1; ++c) {
            float& v = at(c, r);
            v = std::max(v, static_cast<float>(cellWeight(g, c, r, k, onBand)));
          }
      }
    } else {
      for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c)
          at(c, r) = static_cast<float>(cellWeight(g, c, r, k, [&f](const PointD& p) { return weightAt(f, p); }));
    }
    for (float v : scratch) sum += v;
    if (sum > 0) {
      const double share = f.flow / sum;
      for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c)
          if (const float v = at(c, r); v > 0) cells[static_cast<size_t>(r) * g.cols + c] += static_cast<float>(v * share);
      return;
    }
  }
  // A throw smaller than the samples: all of it in the cell of the head.
  const int c = std::clamp(g.colAt(f.centre.x), 0, g.cols - 1), r = std::clamp(g.rowAt(f.centre.y), 0, g.rows - 1);
  cells[static_cast<size_t>(r) * g.cols + c] += static_cast<float>(f.flow);
}

// --- the areas meant to be watered ---------------------------------------------

enum class Surface { Transparent, Target, Blocker };

// What an area is decides, not whether its fill is shown.
Surface surfaceOf(const CPrimitive& p) {
  switch (p.fillKind) {
    case kFillLawn:
    case kFillHedge:
    case kFillTrees:
    case kFillFlowers:
    case kFillOther:
      return Surface::Target;
    case kFillBuilding:
    case kFillPaving:
    case kFillWater:
      return Surface::Blocker;
    default:
      return Surface::Transparent;
  }
}

// The outline of a closed primitive in plan units (circles and ellipses as
// their centre and semi-axes), false for what encloses nothing.
struct Outline {
  bool round = false;
  PointD centre;
  double a = 0, b = 0;
  std::vector<PointD> polygon;
};

bool outlineOf(const CPrimitive& p, Outline& out) {
  switch (p.GetType()) {
    case kTerrainCircle:
    case kTerrainEllipse: {
      const auto& s = static_cast<const CRoundShape&>(p);
      out.round = true;
      out.centre = {s.x1, s.y1};
      if (p.GetType() == kTerrainCircle) {
        out.a = out.b = std::hypot(s.x2 - s.x1, s.y2 - s.y1);
      } else {
        out.a = std::fabs(s.x2 - s.x1);
        out.b = std::fabs(s.y2 - s.y1);
      }
      return finite(out.centre) && std::isfinite(out.a) && std::isfinite(out.b) && out.a > 0 && out.b > 0;
    }
    case kTerrainRectangle: {
      const auto& r = static_cast<const CRectn&>(p);
      const PointD c{r.startX, r.startY};
      for (const PointD& k : r.cornerU) {
        const double dx = k.x - c.x, dy = k.y - c.y;
        out.polygon.push_back({c.x + r.turn11 * dx + r.turn12 * dy, c.y + r.turn21 * dx + r.turn22 * dy});
      }
      break;
    }
    case kTerrainArea:
      out.polygon = static_cast<const CPoly&>(p).vertexU;
      break;
    default:
      return false;
  }
  if (out.polygon.size() < 3) return false;
  for (const PointD& v : out.polygon)
    if (!finite(v) || std::fabs(v.x) > 1e8 || std::fabs(v.y) > 1e8) return false;
  return true;
}

}  // namespace

std::vector<PointD> terrainPolygon(const CPrimitive& p, int segments) {
  Outline o;
  if (!outlineOf(p, o)) return {};
  if (!o.round) return o.polygon;
  std::vector<PointD> out;
  segments = std::clamp(segments, 8, 4096);
  for (int k = 0; k < segments; ++k) {
    const double t = 2 * M_PI * k / segments;
    out.push_back({o.centre.x + o.a * std::cos(t), o.centre.y + o.b * std::sin(t)});
  }
  return out;
}

bool isWateredSurface(const CPrimitive& p) { return surfaceOf(p) == Surface::Target; }

bool insidePolygon(const std::vector<PointD>& polygon, PointD p) {
  bool in = false;
  if (polygon.empty()) return in;
  for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
    const PointD& a = polygon[i];
    const PointD& b = polygon[j];
    if ((a.y > p.y) != (b.y > p.y) && p.x < a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y)) in = !in;
  }
  return in;
}

namespace {

void outlineBox(const Outline& o, double& minX, double& minY, double& maxX, double& maxY) {
  if (o.round) {
    minX = o.centre.x - o.a;
    maxX = o.centre.x + o.a;
    minY = o.centre.y - o.b;
    maxY = o.centre.y + o.b;
    return;
  }
  minX = maxX = o.polygon[0].x;
  minY = maxY = o.polygon[0].y;
  for (const PointD& v : o.polygon) {
    minX = std::min(minX, v.x);
    maxX = std::max(maxX, v.x);
    minY = std::min(minY, v.y);
    maxY = std::max(maxY, v.y);
  }
}

// Marks the cells whose centre the outline encloses (even-odd rule).
void paintOutline(const Outline& o, const Grid& g, std::vector<unsigned char>& target, unsigned char value) {
  double minX, minY, maxX, maxY;
  outlineBox(o, minX, minY, maxX, maxY);
  const int r0 = std::max(0, g.rowAt(minY)), r1 = std::min(g.rows - 1, g.rowAt(maxY));
  std::vector<double> xs;
  auto fill = [&](int r, double xa, double xb) {
    const int ca = std::max(0, clampIndex(std::ceil((xa - g.x0) / g.cell - 0.5), g.cols));
    const int cb = std::min(g.cols - 1, clampIndex(std::floor((xb - g.x0) / g.cell - 0.5), g.cols));
    for (int c = ca; c <= cb; ++c) target[static_cast<size_t>(r) * g.cols + c] = value;
  };
  for (int r = r0; r <= r1; ++r) {
    const double y = g.y0 + (r + 0.5) * g.cell;
    if (o.round) {
      const double t = (y - o.centre.y) / o.b;
      if (std::fabs(t) > 1) continue;
      const double half = o.a * std::sqrt(1 - t * t);
      fill(r, o.centre.x - half, o.centre.x + half);
      continue;
    }
    xs.clear();
    const size_t n = o.polygon.size();
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
      const PointD& a = o.polygon[i];
      const PointD& b = o.polygon[j];
      if ((a.y > y) != (b.y > y)) xs.push_back(a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y));
    }
    std::sort(xs.begin(), xs.end());
    for (size_t k = 0; k + 1 < xs.size(); k += 2) fill(r, xs[k], xs[k + 1]);
  }
}

// --- figures -------------------------------------------------------------------

void figuresOf(const std::vector<float>& cells, const std::vector<unsigned char>& target, double cellAreaM2,
               const CoverageOptions& options, CoverageFigures& f) {
  std::vector<double> wet;
  double applied = 0, outside = 0;
  for (size_t i = 0; i < cells.size(); ++i) {
    const double v = cells[i];
    if (v <= 0) continue;
    if (target[i]) {
      applied += v;
      wet.push_back(v / cellAreaM2 * 1000.0);  // m3/h on the cell -> mm/h
    } else {
      outside += v;
    }
  }
  f.appliedM3H = applied;
  f.thrownOutsideM3H = outside;
  f.wateredAreaM2 = static_cast<double>(wet.size()) * cellAreaM2;
  if (wet.empty()) return;
  std::sort(wet.begin(), wet.end());
  double sum = 0;
  for (double v : wet) sum += v;
  const double n = static_cast<double>(wet.size());
  const double mean = sum / n;
  double deviation = 0;
  for (double v : wet) deviation += std::fabs(v - mean);
  const size_t quarter = std::max<size_t>(1, wet.size() / 4);
  double low = 0;
  for (size_t i = 0; i < quarter; ++i) low += wet[i];
  f.meanMmH = mean;
  f.minMmH = wet.front();
  f.maxMmH = wet.back();
  f.cu = mean > 0 ? 100.0 * (1.0 - deviation / (n * mean)) : 0;
  f.duLq = mean > 0 ? 100.0 * (low / static_cast<double>(quarter)) / mean : 0;
  f.runTimeMin = runTimeMinutes(f.meanMmH, f.duLq, options.depthMm, options.runs);
}

}  // namespace

unsigned long long coverageFingerprint(const CGraphicPlane& doc) {
  unsigned long long h = 1469598103934665603ull;
  auto mix = [&h](double v) {
    unsigned long long bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    h = (h ^ bits) * 1099511628211ull;
  };
  auto point = [&mix](const PointD& p) {
    mix(p.x);
    mix(p.y);
  };
  mix(doc.scaleDenominator);
  mix(doc.pixelsPerCm);
  // The pipes decide the pressure each head works at.
  mix(static_cast<double>(network::fingerprint(doc)));
  const double unitsPerMetre = 100.0 / doc.scaleDenominator * doc.pixelsPerCm;
  for (const auto& o : doc.objects()) {
    Footprint f;
    if (!o || o->deleted || !footprintOf(*o, unitsPerMetre, f)) continue;
    mix(f.section);
    mix(f.flow);
    mix(static_cast<double>(f.shape));
    mix(static_cast<double>(f.profile));
    point(f.centre);
    mix(f.radius);
    mix(f.startDeg);
    mix(f.spanDeg);
    for (const PointD& c : f.corners) point(c);
    for (const PointD& p : f.path) point(p);
    mix(f.halfWidth);
  }
  for (const auto& p : doc.terrain()) {
    Outline o;
    if (!p || p->deleted || surfaceOf(*p) == Surface::Transparent || !outlineOf(*p, o)) continue;
    mix(static_cast<double>(surfaceOf(*p)));
    point(o.centre);
    mix(o.a);
    mix(o.b);
    for (const PointD& v : o.polygon) point(v);
  }
  return h;
}

double runTimeMinutes(double meanMmH, double duLqPercent, double depthMm, int runs) {
  if (!(meanMmH > 0) || !(depthMm > 0) || runs < 1 || !std::isfinite(duLqPercent)) return 0;
  const double du = std::clamp(duLqPercent / 100.0, 0.0, 1.0);
  const double multiplier = 1.0 / (0.4 + 0.6 * du);
  return 60.0 * (depthMm / runs) / meanMmH * multiplier;
}

CoverageResult analyseCoverage(const CGraphicPlane& doc, const CoverageOptions& options) {
  CoverageResult result;
  result.cellM = options.cellM;
  if (!(options.cellM >= kCoverageMinCellM && options.cellM <= kCoverageMaxCellM)) {
    result.ok = false;
    result.error = "Bok komórki musi wynosić od 0,05 do 5 m.";
    return result;
  }
  const double unitsPerMetre = 100.0 / doc.scaleDenominator * doc.pixelsPerCm;
  if (!(unitsPerMetre > 0) || !std::isfinite(unitsPerMetre)) {
    result.ok = false;
    result.error = "Skala rysunku jest nieprawidłowa.";
    return result;
  }

  // What waters and what is meant to be watered; a head the pipes feed at
  // the pressure they give it.
  std::unordered_map<int, double> pressures;
  if (options.networkPressure) {
    const network::Result net = network::analyse(doc, application().sets.get());
    if (net.ok) pressures = network::headPressures(net);
  }
  std::vector<Footprint> heads;
  const auto& objects = doc.objects();
  for (size_t i = 0; i < objects.size(); ++i) {
    const auto& o = objects[i];
    if (!o || o->deleted) continue;
    Footprint f;
    auto fed = pressures.find(static_cast<int>(i));
    if (fed != pressures.end()) {
      std::unique_ptr<CWBase> copy = o->clone();
      network::evaluateHeadAt(*copy, fed->second, doc.scaleDenominator, doc.pixelsPerCm);
      if (footprintOf(*copy, unitsPerMetre, f)) heads.push_back(std::move(f));
    } else if (footprintOf(*o, unitsPerMetre, f)) {
      heads.push_back(std::move(f));
    }
  }
  struct Area {
    Outline outline;
    unsigned char value;
  };
  std::vector<Area> areas;
  for (const auto& p : doc.terrain()) {
    if (!p || p->deleted) continue;
    const Surface s = surfaceOf(*p);
    Outline o;
    if (s == Surface::Transparent || !outlineOf(*p, o)) continue;
    areas.push_back({std::move(o), static_cast<unsigned char>(s == Surface::Target ? 1 : 0)});
  }

  // The grid over both, whole cells from a multiple of the cell size.
  const double cellU = options.cellM * unitsPerMetre;
  double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
  for (const Footprint& f : heads) {
    minX = std::min(minX, f.minX);
    minY = std::min(minY, f.minY);
    maxX = std::max(maxX, f.maxX);
    maxY = std::max(maxY, f.maxY);
  }
  for (const Area& a : areas) {
    if (!a.value) continue;
    double x0, y0, x1, y1;
    outlineBox(a.outline, x0, y0, x1, y1);
    minX = std::min(minX, x0);
    minY = std::min(minY, y0);
    maxX = std::max(maxX, x1);
    maxY = std::max(maxY, y1);
  }
  Grid g;
  g.cell = cellU;
  if (minX <= maxX && minY <= maxY) {
    g.x0 = std::floor(minX / cellU) * cellU;
    g.y0 = std::floor(minY / cellU) * cellU;
    const double cols = std::max(1.0, std::floor((maxX - g.x0) / cellU) + 1);
    const double rows = std::max(1.0, std::floor((maxY - g.y0) / cellU) + 1);
    if (!(cols * rows <= static_cast<double>(options.maxCells))) {
      result.ok = false;
      result.error = "Plan jest zbyt duży dla tej wielkości komórki; wybierz większą komórkę.";
      return result;
    }
    g.cols = static_cast<int>(cols);
    g.rows = static_cast<int>(rows);
  }
  const size_t cellCount = static_cast<size_t>(g.cols) * static_cast<size_t>(g.rows);
  result.cols = g.cols;
  result.rows = g.rows;
  result.originX = g.x0;
  result.originY = g.y0;
  result.cellU = cellU;
  result.target.assign(cellCount, 0);
  for (const Area& a : areas) paintOutline(a.outline, g, result.target, a.value);

  // Section by section on one scratch grid, added up for the system.
  const double cellAreaM2 = options.cellM * options.cellM;
  std::map<int, std::vector<const Footprint*>> bySection;
  for (const Footprint& f : heads) bySection[f.section].push_back(&f);
  std::vector<float> system(cellCount, 0.0f), section(cellCount, 0.0f), scratch;
  for (const auto& [number, members] : bySection) {
    std::fill(section.begin(), section.end(), 0.0f);
    CoverageFigures figures;
    figures.section = number;
    for (const Footprint* f : members) {
      deposit(*f, g, section, scratch);
      figures.flowM3H += f->flow;
      ++figures.heads;
    }
    for (size_t i = 0; i < cellCount; ++i) system[i] += section[i];
    if (number == kNoSection) continue;  // heads of no section count for the system only
    figuresOf(section, result.target, cellAreaM2, options, figures);
    if (options.mapSection == number) result.mapMmH = section;
    result.sections.push_back(figures);
  }
  result.system.section = -1;
  for (const Footprint& f : heads) {
    result.system.flowM3H += f.flow;
    ++result.system.heads;
  }
  figuresOf(system, result.target, cellAreaM2, options, result.system);
  if (options.mapSection < 0) result.mapMmH = system;
  long targets = 0, dry = 0;
  for (size_t i = 0; i < cellCount; ++i) {
    if (!result.target[i]) continue;
    ++targets;
    if (system[i] <= 0) ++dry;
  }
  result.targetAreaM2 = static_cast<double>(targets) * cellAreaM2;
  result.dryAreaM2 = static_cast<double>(dry) * cellAreaM2;
  // The map holds mm/h.
  for (float& v : result.mapMmH) v = static_cast<float>(v / cellAreaM2 * 1000.0);
  if (result.mapMmH.empty()) result.mapMmH.assign(cellCount, 0.0f);
  return result;
}

// --- the map -------------------------------------------------------------------

unsigned coverageScaleColour(double t) {
  // viridis at eleven even steps.
  static constexpr unsigned kStops[] = {0x440154, 0x482475, 0x414487, 0x355F8D, 0x2A788E, 0x21918C,
                                        0x22A884, 0x44BF70, 0x7AD151, 0xBDDF26, 0xFDE725};
  constexpr int n = static_cast<int>(sizeof kStops / sizeof kStops[0]);
  if (!std::isfinite(t)) t = 0;
  t = std::clamp(t, 0.0, 1.0) * (n - 1);
  const int i = std::min(n - 2, static_cast<int>(t));
  const double f = t - i;
  auto mix = [&](int shift) {
    const double a = (kStops[i] >> shift) & 0xFF, b = (kStops[i + 1] >> shift) & 0xFF;
    return static_cast<unsigned>(std::lround(a + (b - a) * f)) << shift;
  };
  return mix(16) | mix(8) | mix(0);
}

double coverageScaleTop(const CoverageResult& r) {
  std::vector<float> wet;
  for (size_t i = 0; i < r.mapMmH.size(); ++i)
    if (r.target[i] && r.mapMmH[i] > 0) wet.push_back(r.mapMmH[i]);
  if (wet.empty()) return 10.0;
  const size_t k = std::min(wet.size() - 1, wet.size() * 90 / 100);
  std::nth_element(wet.begin(), wet.begin() + static_cast<long>(k), wet.end());
  const double v = wet[k];
  // Rounded up to 1, 2, 2.5 or 5 times a power of ten.
  const double p = std::pow(10.0, std::floor(std::log10(v)));
  for (double m : {1.0, 2.0, 2.5, 5.0, 10.0})
    if (m * p >= v) return m * p;
  return 10 * p;
}

std::vector<unsigned> coverageMapPixels(const CoverageResult& r, double scaleTop) {
  std::vector<unsigned> px(r.mapMmH.size(), 0u);
  for (size_t i = 0; i < px.size(); ++i) {
    const double v = r.mapMmH[i];
    if (r.target[i])
      px[i] = v > 0 ? 0xBE000000u | coverageScaleColour(v / scaleTop) : 0x96000000u | kCoverageDryColour;
    else if (v > 0)
      px[i] = 0x50000000u | coverageScaleColour(v / scaleTop);
  }
  return px;
}
