#include "hydraulics/region.h"

#include <geos_c.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace region {

namespace {

// A GEOS context for one call: reentrant, nothing shared between threads.
class Context {
 public:
  Context() : handle_(GEOS_init_r()) {}
  ~Context() { GEOS_finish_r(handle_); }
  Context(const Context&) = delete;
  Context& operator=(const Context&) = delete;
  GEOSContextHandle_t get() const { return handle_; }

 private:
  GEOSContextHandle_t handle_;
};

struct GeometryDeleter {
  GEOSContextHandle_t context;
  void operator()(GEOSGeometry* g) const {
    if (g) GEOSGeom_destroy_r(context, g);
  }
};
using Geometry = std::unique_ptr<GEOSGeometry, GeometryDeleter>;

// A valid polygon of `ring`, or null for fewer than three usable points.
Geometry polygonOf(GEOSContextHandle_t c, const Ring& ring) {
  std::vector<PointD> points;
  for (const PointD& p : ring)
    if (std::isfinite(p.x) && std::isfinite(p.y) && (points.empty() || p.x != points.back().x || p.y != points.back().y))
      points.push_back(p);
  while (points.size() > 1 && points.front().x == points.back().x && points.front().y == points.back().y)
    points.pop_back();
  if (points.size() < 3) return Geometry(nullptr, {c});
  GEOSCoordSequence* seq = GEOSCoordSeq_create_r(c, static_cast<unsigned>(points.size() + 1), 2);
  if (!seq) return Geometry(nullptr, {c});
  for (size_t i = 0; i <= points.size(); ++i) {
    const PointD& p = points[i % points.size()];
    GEOSCoordSeq_setXY_r(c, seq, static_cast<unsigned>(i), p.x, p.y);
  }
  GEOSGeometry* shell = GEOSGeom_createLinearRing_r(c, seq);
  if (!shell) return Geometry(nullptr, {c});
  Geometry polygon(GEOSGeom_createPolygon_r(c, shell, nullptr, 0), {c});
  if (!polygon) return polygon;
  if (GEOSisValid_r(c, polygon.get()) == 1) return polygon;
  return Geometry(GEOSMakeValid_r(c, polygon.get()), {c});
}

Ring ringOf(GEOSContextHandle_t c, const GEOSGeometry* ring) {
  Ring out;
  const GEOSCoordSequence* seq = ring ? GEOSGeom_getCoordSeq_r(c, ring) : nullptr;
  unsigned n = 0;
  if (!seq || !GEOSCoordSeq_getSize_r(c, seq, &n)) return out;
  for (unsigned i = 0; i + 1 < n; ++i) {  // the last point repeats the first
    double x = 0, y = 0;
    GEOSCoordSeq_getXY_r(c, seq, i, &x, &y);
    out.push_back({x, y});
  }
  return out;
}

// The rings of every polygon in `g` (a polygon, a multi-polygon or a
// collection holding them) of at least `minArea`.
void collect(GEOSContextHandle_t c, const GEOSGeometry* g, double minArea, std::vector<Ring>& rings) {
  const int type = GEOSGeomTypeId_r(c, g);
  if (type == GEOS_POLYGON) {
    double area = 0;
    if (!GEOSArea_r(c, g, &area) || area < minArea) return;
    Ring shell = ringOf(c, GEOSGetExteriorRing_r(c, g));
    if (shell.size() >= 3) rings.push_back(std::move(shell));
    const int holes = GEOSGetNumInteriorRings_r(c, g);
    for (int i = 0; i < holes; ++i) {
      Ring hole = ringOf(c, GEOSGetInteriorRingN_r(c, g, i));
      if (hole.size() >= 3) rings.push_back(std::move(hole));
    }
    return;
  }
  if (type == GEOS_MULTIPOLYGON || type == GEOS_GEOMETRYCOLLECTION) {
    const int n = GEOSGetNumGeometries_r(c, g);
    for (int i = 0; i < n; ++i) collect(c, GEOSGetGeometryN_r(c, g, i), minArea, rings);
  }
}

}  // namespace

std::vector<Ring> difference(const Ring& outline, const std::vector<Ring>& cuts, double minArea) {
  if (cuts.empty()) return {outline};
  Context context;
  GEOSContextHandle_t c = context.get();
  Geometry left = polygonOf(c, outline);
  if (!left) return {outline};
  for (const Ring& cut : cuts) {
    Geometry hole = polygonOf(c, cut);
    if (!hole) continue;
    Geometry next(GEOSDifference_r(c, left.get(), hole.get()), {c});
    if (!next) return {outline};
    left = std::move(next);
  }
  std::vector<Ring> rings;
  collect(c, left.get(), minArea, rings);
  return rings;
}

bool inside(const std::vector<Ring>& rings, PointD p) {
  bool in = false;
  for (const Ring& r : rings)
    for (size_t i = 0, j = r.size() - 1; i < r.size(); j = i++)
      if ((r[i].y > p.y) != (r[j].y > p.y) && p.x < (r[j].x - r[i].x) * (p.y - r[i].y) / (r[j].y - r[i].y) + r[i].x)
        in = !in;
  return in;
}

double distanceToOutline(const std::vector<Ring>& rings, PointD p) {
  double best = 1e300;
  for (const Ring& r : rings)
    for (size_t i = 0, j = r.size() - 1; i < r.size(); j = i++) {
      const PointD a = r[j], b = r[i];
      const double dx = b.x - a.x, dy = b.y - a.y, l2 = dx * dx + dy * dy;
      const double t = l2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / l2, 0.0, 1.0) : 0.0;
      best = std::min(best, std::hypot(p.x - (a.x + dx * t), p.y - (a.y + dy * t)));
    }
  return best;
}

}  // namespace region
