#include "hydraulics/head_layout.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <memory>

#include "document/graphic_plane.h"
#include "document/terrain.h"
#include "hydraulics/network.h"
#include "hydraulics/region.h"
#include "objects/sprinkler.h"
#include "objects/static_sprinkler.h"
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
double interiorArc(const std::vector<region::Ring>& rings, PointD at, PointD a, PointD b, double probe, PointD& from,
                   PointD& to) {
  for (int k = 0; k < 2; ++k) {
    const PointD f = k == 0 ? a : b, t = k == 0 ? b : a;
    double span = planAngle(t) - planAngle(f);
    while (span <= 1e-9) span += 2 * kPi;
    const PointD middle = fromPlanAngle(planAngle(f) + span / 2);
    if (region::inside(rings, at + middle * probe)) {
      from = f;
      to = t;
      return span * 180 / kPi;
    }
  }
  from = a;
  to = b;
  return 180;
}

// One nozzle of the family: a rotary body's row, or a static nozzle.
struct Emitter {
  int row = 0;
  CElem* nozzle = nullptr;
  double q = 0, r = 0;  // m3/h at its largest arc, m
  double minArc = 0, maxArc = 360;
  bool fixedArc = false;
  bool strip = false;
  double w = 0, l = 0;  // a strip's, m
  int position = 0;     // a strip's head position code: 0 side, 1 end, 2 centre
};

PointD turned(PointD d, double deg) { return fromPlanAngle(planAngle(d) + deg * kPi / 180); }

// The nozzle groups: static sprays, rotary nozzles, and their strips.
bool inKind(int kind, NozzleKind want) {
  switch (want) {
    case NozzleKind::Fixed: return kind == kKindVanNozzleFixed;
    case NozzleKind::Adjustable: return kind == kKindVanNozzle;
    case NozzleKind::Rotary: return kind == kKindMpNozzle || kind == kKindMpNozzleFixed;
    case NozzleKind::Strip: return kind == kKindStripNozzle || kind == kKindRectRotaryNozzle;
    case NozzleKind::Any: return kind == kKindVanNozzle || kind == kKindMpNozzle || kind == kKindVanNozzleFixed ||
                                 kind == kKindMpNozzleFixed;
  }
  return false;
}
bool rotaryNozzle(int kind) {
  return kind == kKindMpNozzle || kind == kKindMpNozzleFixed || kind == kKindRectRotaryNozzle;
}

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
  // A head on the edge a hard surface shares with the area stands on the
  // area: only one more than 10 cm inside the surface is on it.
  auto onBlocker = [&](PointD p) {
    for (const auto& b : blocked)
      if (insidePolygon(b, p) && distanceToOutline(b, p) > 0.1 * unitsPerMetre) return true;
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
  const bool rotorBody = options.body && options.body->data && options.body->kind == kKindSprinkler;
  const bool staticBody = options.body && options.body->data && options.body->kind == kKindStaticBody;
  if (!rotorBody && !staticBody) {
    out.error = pl("Wybierz z bazy danych korpus zraszacza obrotowego albo statycznego.");
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
  // The family's nozzles at the working pressure.
  std::vector<Emitter> nozzles, strips;
  bool fullOnly = false;
  if (rotorBody) {
    const auto* body = static_cast<const CDBSprinkler*>(options.body->data);
    CWSprinkler probe;
    probe.elem = options.body;
    for (int k = 0; k < static_cast<int>(std::size(body->nozzles)); ++k) {
      probe.EvaluateNozzle(k, static_cast<float>(pressure));
      if (probe.flow > 0 && probe.radiusM > 0 && std::isfinite(probe.flow) && std::isfinite(probe.radiusM)) {
        Emitter e;
        e.row = k;
        e.q = probe.flow;
        e.r = probe.radiusM;
        nozzles.push_back(e);
      }
    }
    if (nozzles.empty()) {
      out.error = pl("Ten korpus nie ma w bazie danych dysz z wydatkiem i zasięgiem.");
      return out;
    }
    fullOnly = body->fullCircle != 0;
  } else {
    const CElem* named = options.nozzle && options.nozzle->data && isStaticNozzleKind(static_cast<int>(options.nozzle->kind))
                             ? options.nozzle
                             : nullptr;
    if (options.nozzle && !named) {
      out.error = pl("Wybrana dysza nie pasuje do korpusu zraszacza statycznego.");
      return out;
    }
    const float p = static_cast<float>(pressure);
    const StaticNozzleReach namedReach = named ? staticNozzleReach(*named, p) : StaticNozzleReach{};
    if (named && !namedReach.usable) {
      out.error = pl("Wybrana dysza nie ma w bazie danych wydatku i zasięgu przy tym ciśnieniu.");
      return out;
    }
    for (CElem* e : staticNozzleChoices(options.catalogue)) {
      const int kind = static_cast<int>(e->kind);
      const StaticNozzleReach reach = staticNozzleReach(*e, p);
      if (!reach.usable) continue;
      Emitter m;
      m.nozzle = e;
      m.q = reach.flowM3H;
      if (reach.strip) {
        // Strips of the family's own group: sprays take spray strips,
        // rotary nozzles rotary strips.
        const bool wanted = named ? (named->kind == e->kind ||
                                     (!namedReach.strip && rotaryNozzle(static_cast<int>(named->kind)) == rotaryNozzle(kind)))
                                  : options.nozzleKind == NozzleKind::Strip ||
                                        (options.nozzleKind == NozzleKind::Rotary) == rotaryNozzle(kind);
        if (!wanted || reach.stripPosition > 2) continue;
        m.strip = true;
        m.w = reach.widthM;
        m.l = reach.lengthM;
        m.position = reach.stripPosition;
        strips.push_back(m);
        continue;
      }
      if (named) {
        if (namedReach.strip) continue;
        const bool sameGroup = rotaryNozzle(static_cast<int>(named->kind)) == rotaryNozzle(kind);
        if (!sameGroup || std::abs(reach.radiusM - namedReach.radiusM) > 0.15 * namedReach.radiusM) continue;
      } else if (!inKind(kind, options.nozzleKind)) {
        continue;
      }
      m.r = reach.radiusM;
      m.minArc = reach.minArcDeg;
      m.maxArc = reach.maxArcDeg;
      m.fixedArc = reach.fixedArc;
      // The named nozzle leads: it takes the full circles when it can.
      if (e == named) nozzles.insert(nozzles.begin(), m);
      else nozzles.push_back(m);
    }
    if (nozzles.empty() && strips.empty()) {
      out.error = pl("W bazie danych nie ma dysz tego rodzaju z wydatkiem i zasięgiem przy tym ciśnieniu.");
      return out;
    }
  }
  auto flowAt = [&](const Emitter& e, double arc) {
    if (!e.nozzle || e.fixedArc) return e.q;
    const float q = staticNozzleFlow(*e.nozzle, static_cast<float>(arc), static_cast<float>(pressure));
    return isStaticFlowError(q) ? 0.0 : static_cast<double>(q);
  };

  // Where the heads go: the area less the hard surfaces drawn over it (the
  // heads line their edges), or the whole area where water may fall on them.
  std::vector<region::Ring> rings = {polygon};
  if (!options.throwOverHardSurfaces && !blocked.empty()) {
    rings = region::difference(polygon, blocked, 0.5 * unitsPerMetre * unitsPerMetre);
    if (rings.empty()) {
      out.error = pl("Budynki, nawierzchnie i woda narysowane na obszarze zakrywają go całego.");
      return out;
    }
  }
  auto insideRegion = [&](PointD p) { return region::inside(rings, p); };
  auto toOutline = [&](PointD p) { return region::distanceToOutline(rings, p); };
  // Each ring's corners and length.
  struct Walk {
    const region::Ring* ring;
    std::vector<double> at;  // arc length at each vertex
    double perimeter = 0;
    std::vector<size_t> corners;
  };
  std::vector<Walk> walks;
  for (const region::Ring& ring : rings) {
    Walk w{&ring, std::vector<double>(ring.size() + 1, 0.0), 0, {}};
    const size_t n = ring.size();
    for (size_t i = 0; i < n; ++i) w.at[i + 1] = w.at[i] + length(ring[(i + 1) % n] - ring[i]);
    w.perimeter = w.at[n];
    for (size_t i = 0; i < n; ++i) {
      const PointD in = unit(ring[i] - ring[(i + n - 1) % n]), on = unit(ring[(i + 1) % n] - ring[i]);
      const double turn = std::acos(std::clamp(in.x * on.x + in.y * on.y, -1.0, 1.0)) * 180 / kPi;
      if (turn > 25) w.corners.push_back(i);
    }
    if (w.perimeter > 0) walks.push_back(std::move(w));
  }
  // A single outline without corners (a circle, an ellipse) is filled with
  // rings of heads; any other with a grid.
  const bool curved = walks.size() == 1 && walks[0].corners.empty();
  // The point of a ring at arc length `s`, and its direction there.
  auto pointAt = [&](const Walk& w, double s, PointD& tangent) {
    const region::Ring& ring = *w.ring;
    const size_t n = ring.size();
    s = std::fmod(std::fmod(s, w.perimeter) + w.perimeter, w.perimeter);
    size_t i = static_cast<size_t>(std::upper_bound(w.at.begin(), w.at.end(), s) - w.at.begin());
    i = std::clamp<size_t>(i, 1, n) - 1;
    const PointD a = ring[i], b = ring[(i + 1) % n];
    tangent = unit(b - a);
    const double seg = w.at[i + 1] - w.at[i];
    return a + (b - a) * (seg > 0 ? (s - w.at[i]) / seg : 0.0);
  };
  // The longest edge's direction turns the grid.
  double longest = 0, turnAngle = 0;
  for (const region::Ring& ring : rings)
    for (size_t i = 0; i < ring.size(); ++i) {
      const PointD d = ring[(i + 1) % ring.size()] - ring[i];
      if (length(d) > longest + 1e-9) longest = length(d), turnAngle = std::atan2(d.y, d.x);
    }
  const double cs = std::cos(turnAngle), sn = std::sin(turnAngle);
  double u0 = 1e300, u1 = -1e300, w0 = 1e300, w1 = -1e300;
  for (const region::Ring& ring : rings)
    for (const PointD& p : ring) {
      const double u = p.x * cs + p.y * sn, w = -p.x * sn + p.y * cs;
      u0 = std::min(u0, u), u1 = std::max(u1, u), w0 = std::min(w0, w), w1 = std::max(w1, w);
    }
  auto fromFrame = [&](double u, double w) { return PointD{u * cs - w * sn, u * sn + w * cs}; };
  // How wide the area is across its longest edge: twice the deepest point's
  // distance from the outline, for a strip that bends.
  double narrowness = 0;
  {
    const int steps = 24;
    for (int i = 1; i < steps; ++i)
      for (int j = 1; j < steps; ++j) {
        const PointD p = fromFrame(u0 + (u1 - u0) * i / steps, w0 + (w1 - w0) * j / steps);
        if (insideRegion(p)) narrowness = std::max(narrowness, toOutline(p));
      }
    narrowness = std::min(2 * narrowness, w1 - w0) / unitsPerMetre;
  }

  std::vector<Pattern> patterns;
  if (options.pattern == Pattern::Best) patterns = {Pattern::Square, Pattern::Triangular};
  else patterns = {options.pattern};

  // Each layout is scored by the watering analysis over the area alone.
  Candidate best;
  auto score = [&](Result& r) {
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
    r.flowM3H = 0;
    for (const auto& obj : scratch.objects()) r.flowM3H += obj->GetFlow();
    // How far apart the heads' precipitation rates lie. At one spacing a
    // head's rate goes with its flow over its share of a circle (the
    // rate of matched precipitation: 96.3 Q 360/arc / spacing squared),
    // so matched heads keep this near 1. Strips have rates of their own.
    double lowRate = 1e300, highRate = 0;
    for (size_t k = 0; k < r.heads.size() && k < scratch.objects().size(); ++k) {
      if (r.heads[k].strip) continue;
      const double rate = scratch.objects()[k]->GetFlow() * 360.0 / r.heads[k].arcDeg;
      if (!(rate > 0)) continue;
      lowRate = std::min(lowRate, rate);
      highRate = std::max(highRate, rate);
    }
    r.precipitationSpread = lowRate > 0 && highRate > 0 && highRate >= lowRate ? highRate / lowRate : 1.0;
    CoverageOptions analysis;
    analysis.networkPressure = false;
    analysis.cellM = std::clamp(std::sqrt(out.areaM2) / 120.0, 0.1, 1.0);
    if (r.strips || narrowness < 3) analysis.cellM = std::min(analysis.cellM, std::max(0.1, narrowness / 12));
    const CoverageResult c = analyseCoverage(scratch, analysis);
    if (!c.ok) return;
    r.figures = c.system;
    double lost = c.system.thrownOutsideM3H;
    if (options.throwOverHardSurfaces && !blocked.empty() && c.cols > 0) {
      // What falls on the hard surfaces is not lost.
      const double cellM2 = std::pow(c.cellU / unitsPerMetre, 2);
      for (int j = 0; j < c.rows; ++j)
        for (int i = 0; i < c.cols; ++i) {
          const size_t k = static_cast<size_t>(j) * c.cols + i;
          if (k >= c.mapMmH.size() || !(c.mapMmH[k] > 0)) continue;
          const PointD centre{c.originX + (i + 0.5) * c.cellU, c.originY + (j + 0.5) * c.cellU};
          if (onBlocker(centre)) lost -= c.mapMmH[k] / 1000.0 * cellM2;
        }
      lost = std::max(0.0, lost);
    }
    r.thrownOutsidePct = c.system.flowM3H > 0 ? 100 * lost / c.system.flowM3H : 0;
    r.dryPct = c.targetAreaM2 > 0 ? 100 * c.dryAreaM2 / c.targetAreaM2 : 100;
    // Layouts that keep nearly all their water on the area come first;
    // among them the most uniform, then the one of fewer heads.
    const bool keeps = r.thrownOutsidePct < 4.5 && r.dryPct < 0.5;
    const double value = (keeps ? 1000.0 : 0.0) + c.system.cu + c.system.duLq -
                         (keeps ? 0.0 : 4 * r.thrownOutsidePct + 3 * r.dryPct) -
                         200 * std::max(0.0, r.precipitationSpread - 1.3) - 5 * std::log(static_cast<double>(r.heads.size()));
    if (value > best.score + 1e-9) {
      best.score = value;
      best.result = std::move(r);
    }
  };

  std::vector<Emitter> byRadius = nozzles;
  std::stable_sort(byRadius.begin(), byRadius.end(), [](const Emitter& a, const Emitter& b) { return a.r < b.r; });
  const double shortestThrow = byRadius.empty() ? 0 : byRadius.front().r;
  const bool namedLeads = staticBody && options.nozzle && !nozzles.empty() && nozzles.front().nozzle == options.nozzle &&
                          nozzles.front().maxArc >= 359;
  for (const Emitter& full : byRadius) {
    if (!(full.maxArc >= 359)) continue;  // the full circles need a nozzle that turns round
    if (full.fixedArc && full.maxArc < 359) continue;
    if (namedLeads && full.nozzle != options.nozzle) continue;
    const double throwU = full.r * unitsPerMetre;
    const double widest = options.spacingShare * throwU;
    if (widest < 1) continue;
    const double fullRate = full.q / 360;
    // Part circles: the nozzle whose precipitation rate is nearest the full
    // circle's, with a throw that reaches and that a reduction can bring
    // back to the full circles'. The arc it waters comes back in `used`.
    auto nozzleFor = [&](double arcDeg, double& used, float& reduction) -> const Emitter* {
      const Emitter* chosen = nullptr;
      double error = 1e300;
      for (const Emitter& k : nozzles) {
        double u = arcDeg;
        if (k.fixedArc) {
          u = k.maxArc;
          if (u > arcDeg + 20 || u < 0.6 * arcDeg) continue;
        } else {
          if (arcDeg < k.minArc - 5 || arcDeg > k.maxArc + 5) continue;
          u = std::clamp(arcDeg, k.minArc, k.maxArc);
        }
        const double rate = flowAt(k, u) / u;
        if (!(rate > 0)) continue;
        const double e = std::abs(rate / fullRate - 1) + 2 * std::max(0.0, (0.9 * full.r - k.r) / full.r) +
                         2 * std::max(0.0, (0.75 * k.r - full.r) / full.r) + 0.5 * std::abs(arcDeg - u) / arcDeg;
        if (e < error - 1e-12) error = e, chosen = &k, used = u;
      }
      if (chosen) reduction = static_cast<float>(std::clamp((1 - full.r / chosen->r) / 0.25, 0.0, 1.0));
      return chosen;
    };
    auto setNozzle = [](Head& h, const Emitter& e) {
      h.nozzle = e.row;
      h.staticNozzle = e.nozzle;
    };
    // The spacing chosen and a tenth closer; the heads on the outline may
    // throw shorter still, where a curve or a nozzle's reach would carry
    // water out of the area.
    for (double tighter : {1.0, 0.9})
    for (double edgeReduction : {0.0, 0.5, 1.0})
    for (double phase : {0.0, 0.5})
    for (Pattern pattern : patterns) {
      if (curved && (phase > 0 || pattern != patterns.front())) continue;
      const double spacing = widest * tighter;
      Result r;
      r.pattern = pattern;
      r.spacingM = spacing / unitsPerMetre;
      // A full circle nearer the outline than its throw may throw shorter
      // too (as far as the outline's heads may), so as not to carry water
      // over it.
      auto addFull = [&](PointD p) {
        Head h;
        h.at = p;
        h.full = true;
        setNozzle(h, full);
        if (edgeReduction > 0)
          h.reduction = static_cast<float>(
              std::clamp((1 - toOutline(p) / throwU) / 0.25, 0.0, edgeReduction));
        r.heads.push_back(h);
      };
      auto addPart = [&](PointD p, PointD a, PointD b) {
        if (onBlocker(p)) return;
        Head h;
        h.at = p;
        if (fullOnly) {
          h.full = true;
          setNozzle(h, full);
        } else {
          h.arcDeg = interiorArc(rings, p, a, b, 0.05 * spacing, h.from, h.to);
          h.full = h.arcDeg >= 359;
          if (h.full) {
            setNozzle(h, full);
          } else {
            double used = h.arcDeg;
            const Emitter* e = nozzleFor(h.arcDeg, used, h.reduction);
            if (!e) return;
            setNozzle(h, *e);
            if (used < h.arcDeg - 0.5) {
              // A narrower fixed arc, turned to the middle of the corner.
              h.from = turned(h.from, (h.arcDeg - used) / 2);
              h.to = turned(h.from, used);
            } else if (used > h.arcDeg + 0.5) {
              h.from = turned(h.from, -(used - h.arcDeg) / 2);
              h.to = turned(h.from, used);
            }
            h.arcDeg = used;
          }
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
      for (const Walk& walk : walks) {
        const region::Ring& ring = *walk.ring;
        const size_t n = ring.size();
        std::vector<Edge> edge;
        if (walk.corners.empty()) {
          const int count = std::max(3, static_cast<int>(std::ceil(walk.perimeter / spacing - 1e-9)));
          for (int k = 0; k < count; ++k) {
            PointD t;
            edge.push_back({pointAt(walk, walk.perimeter * k / count, t), {}, {}, false});
          }
        } else {
          for (size_t c = 0; c < walk.corners.size(); ++c) {
            const size_t i = walk.corners[c];
            edge.push_back({ring[i], unit(ring[(i + n - 1) % n] - ring[i]), unit(ring[(i + 1) % n] - ring[i]), true});
            const size_t next = walk.corners[(c + 1) % walk.corners.size()];
            double run = walk.at[next] - walk.at[i];
            if (run <= 0) run += walk.perimeter;
            const int steps = std::max(1, static_cast<int>(std::ceil(run / spacing - 1e-9)));
            for (int k = 1; k < steps; ++k) {
              PointD t;
              edge.push_back({pointAt(walk, walk.at[i] + run * k / steps, t), {}, {}, false});
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
      }
      // Inside a curved outline (no corners), rings of full circles one
      // spacing in from each other, and a head in the middle when room is
      // left there.
      if (curved) {
        const Walk& walk = walks[0];
        const region::Ring& polygon = *walk.ring;
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
            const PointD onOutline = pointAt(walk, walk.perimeter * (k + 0.5 * (ring % 2)) / count, t);
            const PointD p = centre + (onOutline - centre) * shrink;
            if (!onBlocker(p)) addFull(p);
          }
        }
        if (reach - (ring - 1) * spacing > 0.25 * spacing && insideRegion(centre) && !onBlocker(centre))
          addFull(centre);
      }
      // Inside a polygon, a grid turned to the longest edge.
      const int cols = std::max(1, static_cast<int>(std::ceil((u1 - u0) / spacing - 1e-9)));
      const double su = (u1 - u0) / cols;
      const double rowPitch = pattern == Pattern::Triangular ? spacing * std::sqrt(3.0) / 2 : spacing;
      const int rows = std::max(1, static_cast<int>(std::ceil((w1 - w0) / rowPitch - 1e-9)));
      const double sw = (w1 - w0) / rows;
      const double keepOff = 0.5 * std::min(su, sw);
      if (!curved && static_cast<double>(rows) * cols <= 200000)
        for (int j = phase > 0 ? 0 : 1; j < rows; ++j)
          for (int k = -1; k <= cols; ++k) {
            const double u = u0 + su * (k + phase) + (pattern == Pattern::Triangular && j % 2 ? su / 2 : 0);
            const PointD p = fromFrame(u, w0 + sw * (j + phase));
            if (!insideRegion(p) || toOutline(p) < keepOff * 0.9 || onBlocker(p)) continue;
            addFull(p);
          }
      if (!r.heads.empty()) score(r);
    }
  }

  // A strip narrower than the family's throws: rows of strip nozzles along
  // it, each row's strips tiling its length.
  if (!strips.empty() && (byRadius.empty() || options.nozzleKind == NozzleKind::Strip || narrowness < shortestThrow)) {
    // Where a strip nozzle's rectangle lies about its head for each way its
    // handle can point along the area: the head's offset from the
    // rectangle's middle, in plan units, at full length.
    struct Way {
      PointD handle, headFromMiddle;
      bool alongLength = false;
    };
    auto waysOf = [&](const Emitter& e) {
      std::vector<Way> ways;
      static platform::RecordingCanvas canvas;
      CWStaticSprinkler probe;
      probe.elem = options.body;
      probe.nozzle = e.nozzle;
      probe.dc = &canvas;
      probe.scale = 1.0 / doc.zoom;
      const float keptPressure = app().currentSourcePressure;
      probe.PlaceAt({0, 0}, doc.scaleDenominator, doc.pixelsPerCm, static_cast<float>(pressure));
      for (PointD d : {fromFrame(1, 0), fromFrame(-1, 0), fromFrame(0, 1), fromFrame(0, -1)}) {
        probe.TurnTo(d, d);
        const auto c = probe.stripCornersU();
        PointD middle{0, 0};
        for (const PointD& q : c) middle = middle + q * 0.25;
        // The rectangle's long side lies along the area's length.
        const PointD side = c[1] - c[0], other = c[2] - c[1];
        const PointD longSide = length(side) >= length(other) ? side : other;
        const double along = std::abs(longSide.x * cs + longSide.y * sn) / std::max(1e-9, length(longSide));
        ways.push_back({d, probe.posU - middle, along > 0.9});
      }
      app().currentSourcePressure = keptPressure;
      return ways;
    };
    const double lengthU = u1 - u0, widthU = w1 - w0;
    for (const Emitter& e : strips) {
      const std::vector<Way> ways = waysOf(e);
      const double lU = e.l * unitsPerMetre, wU = e.w * unitsPerMetre;
      if (!(lU > 1) || !(wU > 0.1)) continue;
      // The rows this nozzle can make: side strips along one long edge or
      // both, centre strips down the middle, end strips facing each other.
      std::vector<std::vector<double>> rows;  // the middles of each row's rectangles across the area
      if (e.position == 0) {
        rows.push_back({w0 + wU / 2});
        rows.push_back({w1 - wU / 2});
        if (widthU > 1.2 * wU) rows.push_back({w0 + wU / 2, w1 - wU / 2});
      } else if (e.position == 2) {
        rows.push_back({(w0 + w1) / 2});
      } else if (e.position == 1 && lengthU <= 2.2 * lU) {
        rows.push_back({(w0 + w1) / 2});
      } else {
        continue;
      }
      // Strips fall off over their ends (see the watering analysis), so a
      // row overlaps them by that much, or by half for double coverage; the
      // end strips of a row lie flush with the area's ends. A reduction (a
      // quarter at most) shortens and narrows them together: each is tried.
      for (const std::vector<double>& across : rows)
        for (double reduce : {0.0, 0.25, 0.5, 0.75, 1.0})
          for (double overlap : {0.85, 0.5}) {
            const bool ends = e.position == 1;
            if (ends && overlap < 0.8) continue;
            const double k = 1 - 0.25 * reduce;
            const double l = lU * k, w = wU * k;
            if (e.position != 0 && across.size() == 1 && w < 0.6 * widthU) continue;
            const int count = ends ? (lengthU <= 1.2 * l ? 1 : 2)
                                   : 1 + std::max(0, static_cast<int>(std::ceil((lengthU - l) / (overlap * l) - 1e-9)));
            if (ends && lengthU > 2 * l) continue;
            Result r;
            r.strips = true;
            r.pattern = Pattern::Square;
            r.spacingM = (count > 1 ? (lengthU - l) / (count - 1) : l) / unitsPerMetre;
            for (size_t row = 0; row < across.size(); ++row) {
              // A side strip's middle lies half its width off its edge.
              double middleW = across[row];
              if (e.position == 0) middleW = middleW < (w0 + w1) / 2 ? w0 + w / 2 : w1 - w / 2;
              for (int i = 0; i < count; ++i) {
                const double u = count == 1 ? (ends ? u0 + l / 2 : (u0 + u1) / 2)
                                            : u0 + l / 2 + (lengthU - l) * i / (count - 1);
                const PointD middle = fromFrame(u, middleW);
                // The way that puts the head on the area: on its outline
                // for side strips, at the area's end for end strips, in the
                // middle for centre strips.
                const Way* chosen = nullptr;
                double bestDistance = 1e300;
                for (const Way& way : ways) {
                  if (!way.alongLength) continue;
                  const PointD head = middle + way.headFromMiddle * k;
                  const bool inside = insideRegion(head) || toOutline(head) < 0.05 * unitsPerMetre;
                  if (!inside || onBlocker(head)) continue;
                  double d = toOutline(head);
                  if (ends) d = length(head - fromFrame(i == 0 ? u0 : u1, middleW));
                  if (e.position == 2) d = length(head - middle);
                  if (d < bestDistance) bestDistance = d, chosen = &way;
                }
                if (!chosen) continue;
                Head h;
                h.at = middle + chosen->headFromMiddle * k;
                h.from = h.to = chosen->handle;
                h.strip = true;
                h.staticNozzle = e.nozzle;
                h.reduction = static_cast<float>(reduce);
                h.arcDeg = 180;
                r.heads.push_back(h);
              }
            }
            if (!r.heads.empty()) score(r);
          }
    }
  }
  if (best.result.heads.empty()) {
    out.error = rotorBody ? pl("W tym obszarze nie da się rozmieścić zraszaczy tego korpusu.")
                          : pl("W tym obszarze nie da się rozmieścić zraszaczy z dyszami tego rodzaju.");
    return out;
  }
  best.result.ok = true;
  best.result.areaM2 = out.areaM2;
  best.result.narrowestM = narrowness;
  return best.result;
}

std::vector<CWBase*> place(CGraphicPlane& doc, const Result& result, const Options& options) {
  std::vector<CWBase*> added;
  static platform::RecordingCanvas scratch;
  const float zoom = static_cast<float>(doc.zoom);
  const float pressure = static_cast<float>(options.pressureAtm > 0 ? options.pressureAtm : doc.sourcePressure);
  RememberedRange& range = app().settings.rememberedRange;
  const RememberedRange kept = range;
  const float keptPressure = app().currentSourcePressure;
  // A static head's reduction reads the drawing scale of the open document.
  CGraphicPlane* keptDocument = app().document;
  app().document = &doc;
  for (const Head& h : result.heads) {
    // A full circle has both ends of its arc in one direction.
    range = h.full ? RememberedRange{1, 1, 0, 1, 0, 0} : RememberedRange{1, h.from.x, h.from.y, h.to.x, h.to.y, 0};
    const Point px{static_cast<int>(std::lround(h.at.x * zoom)), static_cast<int>(std::lround(h.at.y * zoom))};
    if (h.staticNozzle) {
      if (!options.body || options.body->kind != kKindStaticBody) continue;
      auto s = std::make_unique<CWStaticSprinkler>();
      s->elem = options.body;
      s->nozzle = h.staticNozzle;
      s->dc = &scratch;
      s->scale = 1.0 / doc.zoom;
      s->PlaceAt(px, doc.scaleDenominator, doc.pixelsPerCm, pressure);
      if (!h.full) s->TurnTo(h.from, h.to);
      if (h.reduction > 0) s->ReduceRadius(h.reduction);
      s->dc = nullptr;
      added.push_back(doc.addObject(kTypeStaticSprinkler, std::move(s)));
      continue;
    }
    if (!options.body || options.body->kind != kKindSprinkler) continue;
    auto s = std::make_unique<CWSprinkler>();
    s->elem = options.body;
    s->nozzleNo = h.nozzle;
    s->dc = &scratch;
    s->PlaceAt(px, zoom, doc.scaleDenominator, doc.pixelsPerCm, pressure);
    if (h.reduction > 0) s->ReduceRadiusAt(h.reduction, doc.scaleDenominator, doc.pixelsPerCm);
    s->dc = nullptr;
    added.push_back(doc.addObject(kTypeSprinkler, std::move(s)));
  }
  app().document = keptDocument;
  app().currentSourcePressure = keptPressure;
  range = kept;
  return added;
}

std::vector<std::vector<PointD>> outlines(const CGraphicPlane& doc, const Result& result, const Options& options) {
  std::vector<std::vector<PointD>> out;
  const Colour outline = app().settings.terrainLineColour;
  CGraphicPlane scratch;
  app().settings.terrainLineColour = outline;
  scratch.scaleDenominator = doc.scaleDenominator;
  scratch.pixelsPerCm = doc.pixelsPerCm;
  scratch.zoom = doc.zoom;
  scratch.sourcePressure = doc.sourcePressure;
  auto sector = [](PointD centre, double r, PointD start, PointD end, bool whole) {
    std::vector<PointD> p;
    const double a0 = planAngle(start - centre);
    double span = whole ? 2 * kPi : planAngle(end - centre) - a0;
    while (span <= 1e-9) span += 2 * kPi;
    if (!whole) p.push_back(centre);
    const int steps = std::max(4, static_cast<int>(span / (2 * kPi) * 48));
    for (int k = 0; k <= steps; ++k) p.push_back(centre + fromPlanAngle(a0 + span * k / steps) * r);
    return p;
  };
  for (const CWBase* o : place(scratch, result, options)) {
    if (o->GetType() == kTypeSprinkler) {
      const auto& s = static_cast<const CWSprinkler&>(*o);
      const bool whole = length(s.arcStartU - s.arcEndU) < 5;
      out.push_back(sector(s.posU, s.radiusU, s.arcStartU, s.arcEndU, whole));
    } else if (o->GetType() == kTypeStaticSprinkler) {
      const auto& s = static_cast<const CWStaticSprinkler&>(*o);
      if (s.isStrip()) {
        const auto c = s.stripCornersU();
        out.push_back({c.begin(), c.end()});
      } else {
        const bool whole = length(s.arcStartU - s.arcEndU) < 5;
        out.push_back(sector(s.posU, s.radiusU, s.arcStartU, s.arcEndU, whole));
      }
    }
  }
  return out;
}

double networkPressureIn(const CGraphicPlane& doc, const CDBSets* sets, const CPrimitive& area) {
  const std::vector<PointD> polygon = terrainPolygon(area, 96);
  if (polygon.size() < 3) return 0;
  bool piped = false;
  for (const auto& o : doc.objects()) piped = piped || (o && !o->deleted && o->GetType() == kTypePipe);
  if (!piped) return 0;
  const network::Result r = network::analyse(doc, sets);
  double sum = 0;
  int count = 0;
  for (const network::SectionResult& s : r.sections) {
    if (!s.solved) continue;
    for (const network::NodeResult& node : s.nodes)
      if (insidePolygon(polygon, node.at) && node.pressureAtm > 0 && std::isfinite(node.pressureAtm)) {
        sum += node.pressureAtm;
        ++count;
      }
  }
  return count > 0 ? sum / count : 0;
}

bool parseNozzleKind(const std::string& word, NozzleKind& kind) {
  static const std::pair<const char*, NozzleKind> words[] = {
      {"fixed", NozzleKind::Fixed}, {"adjustable", NozzleKind::Adjustable}, {"rotary", NozzleKind::Rotary},
      {"strip", NozzleKind::Strip}, {"any", NozzleKind::Any}};
  for (const auto& [w, k] : words)
    if (word == w) {
      kind = k;
      return true;
    }
  return false;
}

}  // namespace layout
