#include "hydraulics/head_layout.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <memory>

#include "document/graphic_plane.h"
#include "document/terrain.h"
#include "objects/sprinkler.h"
#include "partix.h"
#include "platform/recording_canvas.h"
#include "platform/textcodec.h"

namespace layout {

namespace {

constexpr double kPi = 3.14159265358979323846;

std::string pl(const char* utf8) { return platform::utf8ToCp1250(utf8); }

PointD operator+(PointD a, PointD b) { return {a.x + b.x, a.y + b.y}; }
PointD operator-(PointD a, PointD b) { return {a.x - b.x, a.y - b.y}; }
PointD operator*(PointD a, double k) { return {a.x * k, a.y * k}; }
double length(PointD a) { return std::hypot(a.x, a.y); }
PointD unit(PointD a) {
  const double l = length(a);
  return l > 0 ? a * (1 / l) : PointD{1, 0};
}


double distanceToOutline(const std::vector<PointD>& polygon, PointD p) {
  double best = 1e300;
  for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
    const PointD a = polygon[j], b = polygon[i], d = b - a;
    const double l2 = d.x * d.x + d.y * d.y;
    const double t = l2 > 0 ? std::clamp(((p.x - a.x) * d.x + (p.y - a.y) * d.y) / l2, 0.0, 1.0) : 0.0;
    best = std::min(best, length(p - (a + d * t)));
  }
  return best;
}

bool segmentsCross(PointD a, PointD b, PointD c, PointD d) {
  auto side = [](PointD p, PointD q, PointD r) { return (q.x - p.x) * (r.y - p.y) - (q.y - p.y) * (r.x - p.x); };
  const double d1 = side(c, d, a), d2 = side(c, d, b), d3 = side(a, b, c), d4 = side(a, b, d);
  return ((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0));
}

bool crossesItself(const std::vector<PointD>& p) {
  const size_t n = p.size();
  if (n > 600) return false;  // a curve drawn with that many points is taken as it is
  for (size_t i = 0; i < n; ++i)
    for (size_t j = i + 2; j < n; ++j) {
      if (i == 0 && j == n - 1) continue;
      if (segmentsCross(p[i], p[(i + 1) % n], p[j], p[(j + 1) % n])) return true;
    }
  return false;
}

// The direction's angle as the plan shows it (y down), counter-clockwise from east.
double planAngle(PointD d) { return std::atan2(-d.y, d.x); }
PointD fromPlanAngle(double a) { return {std::cos(a), -std::sin(a)}; }

// The arc from one of `a`, `b` counter-clockwise to the other whose middle
// points into the area; its span in degrees.
double interiorArc(const std::vector<PointD>& polygon, PointD at, PointD a, PointD b, double probe, PointD& from,
                   PointD& to) {
  for (int k = 0; k < 2; ++k) {
    const PointD f = k == 0 ? a : b, t = k == 0 ? b : a;
    double span = planAngle(t) - planAngle(f);
    while (span <= 1e-9) span += 2 * kPi;
    const PointD middle = fromPlanAngle(planAngle(f) + span / 2);
    if (insidePolygon(polygon, at + middle * probe)) {
      from = f;
      to = t;
      return span * 180 / kPi;
    }
  }
  from = a;
  to = b;
  return 180;
}

struct Nozzle {
  int row = 0;
  double q = 0, r = 0;  // m3/h, m
};

struct Candidate {
  Result result;
  double score = -1e300;
};

}  // namespace

Result layOut(const CGraphicPlane& doc, const CPrimitive& area, const Options& options) {
  Result out;
  const double unitsPerMetre = 100.0 / doc.scaleDenominator * doc.pixelsPerCm;
  if (!(unitsPerMetre > 0) || !std::isfinite(unitsPerMetre)) {
    out.error = pl("Skala rysunku projektu jest niepoprawna.");
    return out;
  }
  if (!isWateredSurface(area)) {
    out.error = pl("Zraszacze rozmieszcza się na trawniku, kwiatach, drzewach i krzewach, żywopłocie albo „Inne”.");
    return out;
  }
  const std::vector<PointD> polygon = terrainPolygon(area, 96);
  if (polygon.size() < 3) {
    out.error = pl("Ten kształt nie obejmuje żadnego obszaru.");
    return out;
  }
  // Buildings, paving and water drawn over the area: no head stands on
  // them, and what falls on them is water lost.
  std::vector<const CPrimitive*> blockers;
  std::vector<std::vector<PointD>> blocked;
  {
    bool after = false;
    for (const auto& p : doc.terrain()) {
      if (p.get() == &area) {
        after = true;
        continue;
      }
      if (!after || !p || p->deleted) continue;
      if (p->fillKind != kFillBuilding && p->fillKind != kFillPaving && p->fillKind != kFillWater) continue;
      std::vector<PointD> b = terrainPolygon(*p, 48);
      if (b.size() < 3) continue;
      blockers.push_back(p.get());
      blocked.push_back(std::move(b));
    }
  }
  auto onBlocker = [&](PointD p) {
    for (const auto& b : blocked)
      if (insidePolygon(b, p)) return true;
    return false;
  };
  if (crossesItself(polygon)) {
    out.error = pl("Obszar przecina sam siebie: popraw jego obrys.");
    return out;
  }
  double twice = 0;
  for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++)
    twice += polygon[j].x * polygon[i].y - polygon[i].x * polygon[j].y;
  out.areaM2 = std::abs(twice) / 2 / (unitsPerMetre * unitsPerMetre);
  if (!(out.areaM2 >= 1.0)) {
    out.error = pl("Obszar jest za mały na jakikolwiek zraszacz.");
    return out;
  }
  const auto* body = options.body && options.body->data && options.body->kind == kKindSprinkler
                         ? static_cast<const CDBSprinkler*>(options.body->data)
                         : nullptr;
  if (!body) {
    out.error = pl("Wybierz korpus zraszacza obrotowego z bazy danych.");
    return out;
  }
  const double pressure = options.pressureAtm > 0 ? options.pressureAtm : doc.sourcePressure;
  if (!(pressure > 0) || !std::isfinite(pressure)) {
    out.error = pl("Podaj ciśnienie pracy zraszaczy (albo ciśnienie źródła wody).");
    return out;
  }
  if (!(options.spacingShare >= 0.3 && options.spacingShare <= 1.2)) {
    out.error = pl("Rozstaw musi wynosić od 0,3 do 1,2 zasięgu.");
    return out;
  }
  // The body's nozzles at the working pressure.
  std::vector<Nozzle> nozzles;
  {
    CWSprinkler probe;
    probe.elem = options.body;
    for (int k = 0; k < static_cast<int>(std::size(body->nozzles)); ++k) {
      probe.EvaluateNozzle(k, static_cast<float>(pressure));
      if (probe.flow > 0 && probe.radiusM > 0 && std::isfinite(probe.flow) && std::isfinite(probe.radiusM))
        nozzles.push_back({k, probe.flow, probe.radiusM});
    }
  }
  if (nozzles.empty()) {
    out.error = pl("Ten korpus nie ma w bazie danych dysz z wydatkiem i zasięgiem.");
    return out;
  }
  const bool fullOnly = body->fullCircle != 0;

  // The outline's corners and its length.
  const size_t n = polygon.size();
  std::vector<double> at(n + 1, 0.0);  // arc length at each vertex
  for (size_t i = 0; i < n; ++i) at[i + 1] = at[i] + length(polygon[(i + 1) % n] - polygon[i]);
  const double perimeter = at[n];
  std::vector<size_t> corners;
  for (size_t i = 0; i < n; ++i) {
    const PointD in = unit(polygon[i] - polygon[(i + n - 1) % n]), on = unit(polygon[(i + 1) % n] - polygon[i]);
    const double turn = std::acos(std::clamp(in.x * on.x + in.y * on.y, -1.0, 1.0)) * 180 / kPi;
    if (turn > 25) corners.push_back(i);
  }
  // The point of the outline at arc length `s`, and its direction there.
  auto pointAt = [&](double s, PointD& tangent) {
    s = std::fmod(std::fmod(s, perimeter) + perimeter, perimeter);
    size_t i = static_cast<size_t>(std::upper_bound(at.begin(), at.end(), s) - at.begin());
    i = std::clamp<size_t>(i, 1, n) - 1;
    const PointD a = polygon[i], b = polygon[(i + 1) % n];
    tangent = unit(b - a);
    const double seg = at[i + 1] - at[i];
    return a + (b - a) * (seg > 0 ? (s - at[i]) / seg : 0.0);
  };
  // The longest edge's direction turns the grid.
  double longest = 0, turnAngle = 0;
  for (size_t i = 0; i < n; ++i) {
    const PointD d = polygon[(i + 1) % n] - polygon[i];
    if (length(d) > longest + 1e-9) longest = length(d), turnAngle = std::atan2(d.y, d.x);
  }

  std::vector<Pattern> patterns;
  if (options.pattern == Pattern::Best) patterns = {Pattern::Square, Pattern::Triangular};
  else patterns = {options.pattern};

  Candidate best;
  std::vector<Nozzle> byRadius = nozzles;
  std::stable_sort(byRadius.begin(), byRadius.end(), [](const Nozzle& a, const Nozzle& b) { return a.r < b.r; });
  for (const Nozzle& full : byRadius) {
    const double throwU = full.r * unitsPerMetre;
    const double spacing = options.spacingShare * throwU;
    if (spacing < 1) continue;
    // Part circles: the nozzle nearest the full circle's flow times its share
    // (matched precipitation), with a throw that reaches and that a
    // reduction can bring back to the full circles'.
    auto nozzleFor = [&](double arcDeg, float& reduction) {
      const double wanted = full.q * arcDeg / 360.0;
      const Nozzle* chosen = &full;
      double error = 1e300;
      for (const Nozzle& k : nozzles) {
        const double e = std::abs(k.q / wanted - 1) + 2 * std::max(0.0, (0.9 * full.r - k.r) / full.r) +
                         2 * std::max(0.0, (0.75 * k.r - full.r) / full.r);
        if (e < error - 1e-12) error = e, chosen = &k;
      }
      reduction = static_cast<float>(std::clamp((1 - full.r / chosen->r) / 0.25, 0.0, 1.0));
      return chosen->row;
    };
    // The heads on the outline may throw shorter still, where a curve or a
    // nozzle's reach would carry water out of the area.
    for (double edgeReduction : {0.0, 0.5, 1.0})
    for (double phase : {0.0, 0.5})
    for (Pattern pattern : patterns) {
      if (phase > 0 && corners.empty()) continue;
      Result r;
      r.pattern = pattern;
      r.spacingM = spacing / unitsPerMetre;
      auto addPart = [&](PointD p, PointD a, PointD b) {
        if (onBlocker(p)) return;
        Head h;
        h.at = p;
        if (fullOnly) {
          h.full = true;
          h.nozzle = full.row;
        } else {
          h.arcDeg = interiorArc(polygon, p, a, b, 0.05 * spacing, h.from, h.to);
          h.full = h.arcDeg >= 359;
          h.nozzle = h.full ? full.row : nozzleFor(h.arcDeg, h.reduction);
        }
        h.reduction = std::max(h.reduction, static_cast<float>(edgeReduction));
        r.heads.push_back(h);
      };
      // The outline: corners, and even runs between them. A corner's arc
      // spans its edges; another head's spans the chords to its neighbours
      // on the outline (on a straight run, a half circle).
      struct Edge {
        PointD p, a, b;
        bool corner;
      };
      std::vector<Edge> edge;
      if (corners.empty()) {
        const int count = std::max(3, static_cast<int>(std::ceil(perimeter / spacing - 1e-9)));
        for (int k = 0; k < count; ++k) {
          PointD t;
          edge.push_back({pointAt(perimeter * k / count, t), {}, {}, false});
        }
      } else {
        for (size_t c = 0; c < corners.size(); ++c) {
          const size_t i = corners[c];
          edge.push_back({polygon[i], unit(polygon[(i + n - 1) % n] - polygon[i]),
                          unit(polygon[(i + 1) % n] - polygon[i]), true});
          const size_t next = corners[(c + 1) % corners.size()];
          double run = at[next] - at[i];
          if (run <= 0) run += perimeter;
          const int steps = std::max(1, static_cast<int>(std::ceil(run / spacing - 1e-9)));
          for (int k = 1; k < steps; ++k) {
            PointD t;
            edge.push_back({pointAt(at[i] + run * k / steps, t), {}, {}, false});
          }
        }
      }
      for (size_t k = 0; k < edge.size(); ++k) {
        Edge& e = edge[k];
        if (!e.corner) {
          // The chords to the neighbours, opened to the tangent's half circle.
          const PointD back = unit(edge[(k + edge.size() - 1) % edge.size()].p - e.p);
          const PointD ahead = unit(edge[(k + 1) % edge.size()].p - e.p);
          const PointD tangent = unit(ahead - back);
          e.a = tangent * -1;
          e.b = tangent;
        }
        addPart(e.p, e.a, e.b);
      }
      // Inside a curved outline (no corners), rings of full circles one
      // spacing in from each other, and a head in the middle when room is
      // left there.
      if (corners.empty()) {
        PointD centre{0, 0};
        for (const PointD& p : polygon) centre = centre + p;
        centre = centre * (1.0 / polygon.size());
        double reach = 0;
        for (const PointD& p : polygon) reach += length(p - centre);
        reach /= polygon.size();
        int ring = 1;
        for (; reach - ring * spacing > 0.5 * spacing; ++ring) {
          const double shrink = 1 - ring * spacing / reach;
          const int count = std::max(3, static_cast<int>(std::ceil(2 * kPi * (reach - ring * spacing) / spacing - 1e-9)));
          for (int k = 0; k < count; ++k) {
            PointD t;
            const PointD onOutline = pointAt(perimeter * (k + 0.5 * (ring % 2)) / count, t);
            Head h;
            h.at = centre + (onOutline - centre) * shrink;
            if (onBlocker(h.at)) continue;
            h.full = true;
            h.nozzle = full.row;
            r.heads.push_back(h);
          }
        }
        if (reach - (ring - 1) * spacing > 0.25 * spacing) {
          Head h;
          h.at = centre;
          h.full = true;
          h.nozzle = full.row;
          if (insidePolygon(polygon, centre) && !onBlocker(centre)) r.heads.push_back(h);
        }
      }
      // Inside a polygon, a grid turned to the longest edge.
      const double cs = std::cos(turnAngle), sn = std::sin(turnAngle);
      double u0 = 1e300, u1 = -1e300, w0 = 1e300, w1 = -1e300;
      for (const PointD& p : polygon) {
        const double u = p.x * cs + p.y * sn, w = -p.x * sn + p.y * cs;
        u0 = std::min(u0, u), u1 = std::max(u1, u), w0 = std::min(w0, w), w1 = std::max(w1, w);
      }
      const int cols = std::max(1, static_cast<int>(std::ceil((u1 - u0) / spacing - 1e-9)));
      const double su = (u1 - u0) / cols;
      const double rowPitch = pattern == Pattern::Triangular ? spacing * std::sqrt(3.0) / 2 : spacing;
      const int rows = std::max(1, static_cast<int>(std::ceil((w1 - w0) / rowPitch - 1e-9)));
      const double sw = (w1 - w0) / rows;
      const double keepOff = 0.5 * std::min(su, sw);
      if (!corners.empty() && rows * cols <= 200000)
        for (int j = phase > 0 ? 0 : 1; j < rows; ++j)
          for (int k = -1; k <= cols; ++k) {
            const double u = u0 + su * (k + phase) + (pattern == Pattern::Triangular && j % 2 ? su / 2 : 0);
            const double w = w0 + sw * (j + phase);
            const PointD p{u * cs - w * sn, u * sn + w * cs};
            if (!insidePolygon(polygon, p) || distanceToOutline(polygon, p) < keepOff * 0.9 || onBlocker(p)) continue;
            Head h;
            h.at = p;
            h.full = true;
            h.nozzle = full.row;
            r.heads.push_back(h);
          }
      // Scored by the watering analysis over the area alone.
      // (a document made sets the terrain tools' outline colour: kept)
      const Colour outline = app().settings.terrainLineColour;
      CGraphicPlane scratch;
      app().settings.terrainLineColour = outline;
      scratch.scaleDenominator = doc.scaleDenominator;
      scratch.pixelsPerCm = doc.pixelsPerCm;
      scratch.sourcePressure = static_cast<float>(pressure);
      scratch.addPrimitive(area.GetType(), area.clone());
      for (const CPrimitive* b : blockers) scratch.addPrimitive(b->GetType(), b->clone());
      Options o = options;
      o.pressureAtm = pressure;
      place(scratch, r, o);
      for (const auto& obj : scratch.objects()) r.flowM3H += obj->GetFlow();
      // How far apart the heads' precipitation rates lie. At one spacing a
      // head's rate goes with its flow over its share of a circle (the
      // rate of matched precipitation: 96.3 Q 360/arc / spacing squared),
      // so matched heads keep this near 1.
      double lowRate = 1e300, highRate = 0;
      for (size_t k = 0; k < r.heads.size() && k < scratch.objects().size(); ++k) {
        const double rate = scratch.objects()[k]->GetFlow() * 360.0 / r.heads[k].arcDeg;
        if (!(rate > 0)) continue;
        lowRate = std::min(lowRate, rate);
        highRate = std::max(highRate, rate);
      }
      r.precipitationSpread = lowRate > 0 && highRate > 0 ? highRate / lowRate : 1.0;
      CoverageOptions analysis;
      analysis.networkPressure = false;
      analysis.cellM = std::clamp(std::sqrt(out.areaM2) / 120.0, 0.2, 1.0);
      const CoverageResult c = analyseCoverage(scratch, analysis);
      if (!c.ok) continue;
      r.figures = c.system;
      r.thrownOutsidePct = c.system.flowM3H > 0 ? 100 * c.system.thrownOutsideM3H / c.system.flowM3H : 0;
      r.dryPct = c.targetAreaM2 > 0 ? 100 * c.dryAreaM2 / c.targetAreaM2 : 100;
      // Layouts that keep nearly all their water on the area come first;
      // among them the most uniform, then the one of fewer heads.
      const bool keeps = r.thrownOutsidePct < 4.5 && r.dryPct < 0.5;
      const double score = (keeps ? 1000.0 : 0.0) + c.system.cu + c.system.duLq -
                           (keeps ? 0.0 : 4 * r.thrownOutsidePct + 3 * r.dryPct) -
                           200 * std::max(0.0, r.precipitationSpread - 1.3) -
                           0.05 * static_cast<double>(r.heads.size());
      if (score > best.score + 1e-9) {
        best.score = score;
        best.result = std::move(r);
      }
    }
  }
  if (best.result.heads.empty()) {
    out.error = pl("W tym obszarze nie da się rozmieścić zraszaczy tego korpusu.");
    return out;
  }
  best.result.ok = true;
  best.result.areaM2 = out.areaM2;
  return best.result;
}

std::vector<CWBase*> place(CGraphicPlane& doc, const Result& result, const Options& options) {
  std::vector<CWBase*> added;
  static platform::RecordingCanvas scratch;
  const float zoom = static_cast<float>(doc.zoom);
  const float pressure = static_cast<float>(options.pressureAtm > 0 ? options.pressureAtm : doc.sourcePressure);
  RememberedRange& range = app().settings.rememberedRange;
  const RememberedRange kept = range;
  for (const Head& h : result.heads) {
    auto s = std::make_unique<CWSprinkler>();
    s->elem = options.body;
    s->nozzleNo = h.nozzle;
    s->dc = &scratch;
    // A full circle has both ends of its arc in one direction.
    range = h.full ? RememberedRange{1, 1, 0, 1, 0, 0} : RememberedRange{1, h.from.x, h.from.y, h.to.x, h.to.y, 0};
    const Point px{static_cast<int>(std::lround(h.at.x * zoom)), static_cast<int>(std::lround(h.at.y * zoom))};
    s->PlaceAt(px, zoom, doc.scaleDenominator, doc.pixelsPerCm, pressure);
    if (h.reduction > 0) s->ReduceRadiusAt(h.reduction, doc.scaleDenominator, doc.pixelsPerCm);
    s->dc = nullptr;
    added.push_back(doc.addObject(kTypeSprinkler, std::move(s)));
  }
  range = kept;
  return added;
}

}  // namespace layout
