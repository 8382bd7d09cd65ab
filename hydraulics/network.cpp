#include "hydraulics/network.h"

#include <Eigen/Sparse>
#include <Eigen/SparseCholesky>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <memory>
#include <numeric>
#include <unordered_map>

#include "document/graphic_plane.h"
#include "hydraulics/pipe_calculator.h"
#include "objects/cable_set.h"
#include "objects/micro_sprinklers.h"
#include "objects/polylines.h"
#include "objects/sprinkler.h"
#include "objects/static_sprinkler.h"
#include "objects/symbols.h"
#include "partix.h"
#include "platform/numtext.h"
#include "platform/textcodec.h"
#include "sections/connection_sets.h"

namespace network {

namespace {

constexpr double kExponent = 1.852;
// A pipe type's inner diameter must lie in this range (mm) to be used.
constexpr double kSmallestDiameterMm = 2.0;
constexpr double kLargestDiameterMm = 1000.0;
// The Newton iterations stop when no flow changes by more than this share
// of the section's flow and no pressure by more than this head (m).
constexpr double kFlowTolerance = 1e-7;
constexpr double kHeadToleranceM = 1e-6;
constexpr int kMaxIterations = 200;

std::string pl(const char* utf8) { return platform::utf8ToCp1250(utf8); }

double distanceTo(PointD a, PointD b) { return std::hypot(a.x - b.x, a.y - b.y); }

// --- union-find ------------------------------------------------------------------

struct Joins {
  std::vector<int> parent;
  int add() {
    parent.push_back(static_cast<int>(parent.size()));
    return parent.back();
  }
  int find(int a) {
    while (parent[a] != a) a = parent[a] = parent[parent[a]];
    return a;
  }
  void join(int a, int b) {
    a = find(a), b = find(b);
    if (a != b) parent[std::max(a, b)] = std::min(a, b);
  }
};

// --- what the plan holds ---------------------------------------------------------

struct Link {
  int object = -1;
  std::vector<PointD> pts;  // plan units
  std::vector<int> point;   // the point of each vertex
  double diameterMm = 0;
  bool assumed = false;
};

// A point where a segment is cut: a T joint, a head, or a valve (which cuts
// it in two points, its inlet before and its outlet after).
struct Cut {
  double t = 0;  // along the segment, 0 to 1
  int point = -1;
  int outlet = -1;  // a valve's outlet, after the cut
};

struct Consumer {
  int object = -1;
  int point = -1;  // -1: on no pipe
  int section = kNoSection;
};

struct Valve {
  int object = -1;
  int section = kNoSection;
  int inlet = -1;
  int outlet = -1;
  int outletPipes = 0;  // pipes that start at it
};

// The grid of the plan in square cells, for what lies near a point.
class Grid {
 public:
  explicit Grid(double cell) : cell_(cell > 0 && std::isfinite(cell) ? cell : 1.0) {}

  template <typename F>
  void forBox(double x0, double y0, double x1, double y1, F f) const {
    const int64_t cx0 = key(x0), cx1 = key(x1), cy0 = key(y0), cy1 = key(y1);
    if ((cx1 - cx0 + 1) * (cy1 - cy0 + 1) > kMaxCells) {
      f(kHuge);
      return;
    }
    for (int64_t y = cy0; y <= cy1; ++y)
      for (int64_t x = cx0; x <= cx1; ++x) f((y << 32) ^ (x & 0xFFFFFFFF));
  }
  void add(double x0, double y0, double x1, double y1, int item) {
    forBox(x0, y0, x1, y1, [&](int64_t k) { cells_[k].push_back(item); });
  }
  // Every item whose box meets the box; an item may come more than once.
  template <typename F>
  void near(double x0, double y0, double x1, double y1, F f) const {
    auto visit = [&](int64_t k) {
      auto it = cells_.find(k);
      if (it != cells_.end())
        for (int item : it->second) f(item);
    };
    if (cells_.count(kHuge)) visit(kHuge);
    forBox(x0, y0, x1, y1, [&](int64_t k) {
      if (k != kHuge) visit(k);
    });
  }

 private:
  int64_t key(double v) const {
    const double c = std::floor(v / cell_);
    return static_cast<int64_t>(std::clamp(c, -1e9, 1e9));
  }
  static constexpr int64_t kMaxCells = 20000;
  static constexpr int64_t kHuge = INT64_MIN;
  double cell_;
  std::unordered_map<int64_t, std::vector<int>> cells_;
};

// --- heads -----------------------------------------------------------------------

bool isHead(int type) {
  return type == kTypeSprinkler || type == kTypeStaticSprinkler || type == kTypeMicroSprinkler ||
         type == kTypeMicroHadar || type == kTypeRws;
}

PointD headPlace(const CWBase& o) {
  switch (o.GetType()) {
    case kTypeSprinkler: return static_cast<const CWSprinkler&>(o).posU;
    case kTypeStaticSprinkler: return static_cast<const CWStaticSprinkler&>(o).posU;
    case kTypeMicroSprinkler: return static_cast<const CWMicroSprinkler&>(o).posU;
    case kTypeMicroHadar: return static_cast<const CWMicroSprinklerHadar&>(o).posU;
    case kTypeRws: return static_cast<const CWRwsSprinkler&>(o).posU;
    case kTypeDripline: {
      const auto& d = static_cast<const CWDripline&>(o);
      return d.verticesU.empty() ? PointD{} : d.verticesU.front();
    }
    default: return {};
  }
}

// The flow of a consumer at a pressure, as the consumer evaluates itself, on
// a copy of its own so that the plan stays as it is.
class HeadFlow {
 public:
  HeadFlow(const CWBase& o, float scaleDenominator, float pixelsPerCm)
      : copy_(o.clone()), type_(o.GetType()), sd_(scaleDenominator), ppc_(pixelsPerCm) {}

  // m3/h at `p` atm; NaN when the head has no flow there.
  double at(double p) {
    const float pressure = static_cast<float>(std::clamp(p, -100.0, 100.0));
    if (pressure == last_) return lastFlow_;
    last_ = pressure;
    float q = std::numeric_limits<float>::quiet_NaN();
    switch (type_) {
      case kTypeSprinkler: {
        auto& s = static_cast<CWSprinkler&>(*copy_);
        s.EvaluateNozzle(s.nozzleNo, pressure);
        q = s.flow;
        break;
      }
      case kTypeStaticSprinkler: {
        auto& s = static_cast<CWStaticSprinkler&>(*copy_);
        evaluateHeadAt(s, pressure, sd_, ppc_);
        q = isStaticFlowError(s.flow) ? std::numeric_limits<float>::quiet_NaN() : s.flow;
        break;
      }
      case kTypeRws: q = copy_->GetFlow(); break;
      default:
        evaluateHeadAt(*copy_, pressure, sd_, ppc_);
        q = copy_->GetFlow();
        break;
    }
    lastFlow_ = std::isfinite(q) && q >= 0 ? q : std::numeric_limits<double>::quiet_NaN();
    return lastFlow_;
  }

  // Whether the head's table gives it its lowest flow at `p`: a table that
  // is flat from the lowest pressure up to `p`. The lowest pressure of the
  // table is then found by halving.
  bool belowTable(double p, double& lowest) {
    if (type_ == kTypeRws || type_ == kTypeDripline) return false;
    const double floor = at(0.0);
    if (!std::isfinite(floor) || at(p) != floor) return false;
    double lo = std::max(p, 0.0), hi = 20.0;
    if (at(hi) == floor) return false;  // a table of one point
    for (int i = 0; i < 40; ++i) {
      const double mid = 0.5 * (lo + hi);
      (at(mid) == floor ? lo : hi) = mid;
    }
    lowest = hi;
    return p < hi - 1e-6;
  }

 private:
  std::unique_ptr<CWBase> copy_;
  int type_;
  float sd_, ppc_;
  float last_ = std::numeric_limits<float>::quiet_NaN();
  double lastFlow_ = 0;
};

// --- texts -----------------------------------------------------------------------


std::string place(PointD u, double metresPerUnit) {
  return "(" + platform::formatFixedComma(u.x * metresPerUnit, 2) + "; " + platform::formatFixedComma(u.y * metresPerUnit, 2) + " m)";
}

std::string kindName(const CWBase& o) {
  std::string name = o.GetKindName();
  return name.empty() ? pl("Obiekt") : name;
}

}  // namespace

void evaluateHeadAt(CWBase& head, double p, float scaleDenominator, float pixelsPerCm) {
  const float pressure = static_cast<float>(std::clamp(p, -100.0, 100.0));
  // Evaluating a static sprinkler makes its pressure the application's.
  const float kept = app().currentSourcePressure;
  switch (head.GetType()) {
    case kTypeSprinkler:
      static_cast<CWSprinkler&>(head).ApplyPressure(pressure, scaleDenominator, pixelsPerCm);
      break;
    case kTypeStaticSprinkler: static_cast<CWStaticSprinkler&>(head).ApplyPressure(pressure); break;
    case kTypeMicroSprinkler:
      static_cast<CWMicroSprinkler&>(head).ApplyPressure(pressure, scaleDenominator, pixelsPerCm);
      break;
    case kTypeMicroHadar:
      static_cast<CWMicroSprinklerHadar&>(head).ApplyPressure(pressure, scaleDenominator, pixelsPerCm);
      break;
    case kTypeRws: static_cast<CWRwsSprinkler&>(head).ApplyPressure(pressure); break;
    case kTypeDripline: static_cast<CWDripline&>(head).UpdateFlow(scaleDenominator, pixelsPerCm, pressure); break;
    default: break;
  }
  app().currentSourcePressure = kept;
}

PointD placeOf(const CWBase& consumer) { return headPlace(consumer); }

std::unordered_map<int, double> headPressures(const Result& result) {
  std::unordered_map<int, double> out;
  for (const SectionResult& s : result.sections)
    if (s.solved)
      for (const HeadResult& h : s.heads) out[h.object] = h.pressureAtm;
  return out;
}

unsigned long long fingerprint(const CGraphicPlane& doc) {
  unsigned long long h = 1469598103934665603ull;
  auto mix = [&h](double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    h = (h ^ bits) * 1099511628211ull;
  };
  mix(doc.scaleDenominator);
  mix(doc.pixelsPerCm);
  mix(doc.sourcePressure);
  mix(doc.hasWaterSource);
  for (const auto& o : doc.objects()) {
    if (o->deleted) continue;
    const int type = o->GetType();
    if (type == kTypePipe || type == kTypeSet) {
      const auto& line = static_cast<const CWPolyline&>(*o);
      mix(type);
      mix(static_cast<double>(reinterpret_cast<uintptr_t>(o->elem)));
      mix(o->kindWord);
      if (type == kTypePipe) mix(static_cast<const CWPipe&>(*o).typeAssigned);
      for (const PointD& p : line.verticesU) mix(p.x), mix(p.y);
    } else if (type == kTypeValve) {
      const auto& v = static_cast<const CWValve&>(*o);
      mix(type);
      mix(v.posUx), mix(v.posUy), mix(v.isWaterSource), mix(v.GetSectionNo());
    } else if (isHead(type) || type == kTypeDripline) {
      const PointD at = headPlace(*o);
      mix(type);
      mix(at.x), mix(at.y), mix(o->GetSectionNo()), mix(o->GetFlow());
      mix(static_cast<double>(reinterpret_cast<uintptr_t>(o->elem)));
    }
  }
  return h;
}

double resistance(double lengthM, double diameterMm, double c) {
  return 1.131e9 * std::pow(diameterMm, -4.87) * lengthM / std::pow(c, kExponent);
}

namespace {

// One stretch of pipe between two points of the network: a whole segment or
// the part of one between cuts.
struct Piece {
  int link = 0;
  int segment = 0;
  int from = 0, to = 0;  // points
  double offsetM = 0;    // from the segment's start
  double lengthM = 0;
  double diameterMm = 0;
  bool assumed = false;
  double r = 0;
};

class Builder {
 public:
  Builder(const CGraphicPlane& doc, const CDBSets* sets, const Options& options, Result& out)
      : doc_(doc), sets_(sets), options_(options), out_(out) {}

  bool build();
  void solveSection(int section);

  std::vector<int> sectionsToSolve() const;

 private:
  int newPoint(PointD at) {
    points_.push_back(at);
    joins_.add();
    return static_cast<int>(points_.size()) - 1;
  }
  void collectLinks();
  void joinLinks();
  // The point of the network at `at`: the nearest vertex, else a cut of the
  // nearest segment within the tolerance; -1 when none is near.
  int attach(PointD at, bool cutValve = false, int* outlet = nullptr);
  void warn(std::vector<Warning>& list, const char* kind, int object, std::string text) {
    list.push_back({kind, object, std::move(text)});
  }

  const CGraphicPlane& doc_;
  const CDBSets* sets_;
  const Options& options_;
  Result& out_;
  double metresPerUnit_ = 0;
  double tolU_ = 0;

  std::vector<PointD> points_;
  Joins joins_;
  std::vector<Link> links_;
  std::vector<std::vector<std::vector<Cut>>> cuts_;  // by link, by segment
  std::vector<std::vector<int>> segmentStart_;       // a point other than the vertex's, -1 none
  std::vector<char> isOutlet_;                       // points that start after a valve
  Grid vertexGrid_{1.0}, segmentGrid_{1.0};
  std::vector<std::pair<int, int>> segmentsById_;  // (link, segment)

  std::vector<Consumer> consumers_;
  std::vector<Valve> valves_;
  int source_ = -1;
  std::vector<Piece> pieces_;
  std::vector<int> node_;  // the node of each point
  int nodeCount_ = 0;
};

void Builder::collectLinks() {
  const auto& objects = doc_.objects();
  for (size_t i = 0; i < objects.size(); ++i) {
    const CWBase& o = *objects[i];
    if (o.deleted) continue;
    Link link;
    link.object = static_cast<int>(i);
    CElem* type = nullptr;
    if (o.GetType() == kTypePipe) {
      const auto& pipe = static_cast<const CWPipe&>(o);
      link.pts = pipe.verticesU;
      if (pipe.typeAssigned && pipe.elem && pipe.elem->data && pipe.elem->kind == kKindPipe) type = pipe.elem;
    } else if (o.GetType() == kTypeSet) {
      const auto& set = static_cast<const CWSet&>(o);
      const int index = sets_ ? sets_->find(static_cast<int32_t>(set.kindWord)) : -1;
      if (index < 0 || !sets_->item(index).hasPipe) continue;
      link.pts = set.verticesU;
      for (CElem* e : sets_->item(index).availableElements())
        if (e && e->data && e->kind == kKindPipe) type = e;
    } else {
      continue;
    }
    if (link.pts.size() < 2) continue;
    bool finite = true;
    for (const PointD& p : link.pts) finite = finite && std::isfinite(p.x) && std::isfinite(p.y);
    if (!finite) continue;
    if (type) {
      const auto* rura = static_cast<const CRura*>(type->data);
      const double d = rura->innerDiameter;
      if (!(d >= kSmallestDiameterMm && d <= kLargestDiameterMm)) {
        const std::string name(rura->name, strnlen(rura->name, sizeof rura->name));
        warn(out_.warnings, "badDiameter", link.object,
             pl("Typ rury „") + name + pl("” ma niedopuszczalną średnicę wewnętrzną ") +
                 (std::isfinite(d) ? platform::formatFixedComma(d, 1) : std::string("?")) + pl(" mm; rurę ") +
                 place(link.pts.front(), metresPerUnit_) + pl(" pominięto."));
        out_.unconnected.push_back(link.object);
        continue;
      }
      link.diameterMm = d;
    } else {
      link.diameterMm = options_.defaultDiameterMm;
      link.assumed = true;
      warn(out_.warnings, "untypedPipe", link.object,
           pl("Rura ") + place(link.pts.front(), metresPerUnit_) +
               pl(" nie ma typu: przyjęto średnicę wewnętrzną ") + platform::formatFixedComma(link.diameterMm, 1) + " mm.");
    }
    for (const PointD& p : link.pts) link.point.push_back(newPoint(p));
    links_.push_back(std::move(link));
  }
}

void Builder::joinLinks() {
  const double tol = tolU_;
  vertexGrid_ = Grid(2 * tol);
  segmentGrid_ = Grid(4 * tol);
  cuts_.resize(links_.size());
  segmentStart_.resize(links_.size());
  for (size_t l = 0; l < links_.size(); ++l) {
    const Link& link = links_[l];
    cuts_[l].resize(link.pts.size() - 1);
    segmentStart_[l].assign(link.pts.size() - 1, -1);
    for (size_t k = 0; k < link.pts.size(); ++k) {
      const PointD p = link.pts[k];
      vertexGrid_.add(p.x, p.y, p.x, p.y, link.point[k]);
    }
    for (size_t k = 0; k + 1 < link.pts.size(); ++k) {
      const PointD a = link.pts[k], b = link.pts[k + 1];
      segmentsById_.push_back({static_cast<int>(l), static_cast<int>(k)});
      segmentGrid_.add(std::min(a.x, b.x) - tol, std::min(a.y, b.y) - tol, std::max(a.x, b.x) + tol,
                       std::max(a.y, b.y) + tol, static_cast<int>(segmentsById_.size()) - 1);
    }
  }
  isOutlet_.assign(points_.size(), 0);

  // A pipe that starts at a section valve starts after it.
  const auto& objects = doc_.objects();
  for (size_t i = 0; i < objects.size(); ++i) {
    const CWBase& o = *objects[i];
    if (o.deleted || o.GetType() != kTypeValve || static_cast<const CWValve&>(o).isWaterSource) continue;
    const auto& v = static_cast<const CWValve&>(o);
    Valve valve;
    valve.object = static_cast<int>(i);
    valve.section = v.GetSectionNo();
    const PointD at{v.posUx, v.posUy};
    if (!std::isfinite(at.x) || !std::isfinite(at.y)) continue;
    valve.outlet = newPoint(at);
    isOutlet_.push_back(1);
    for (const Link& link : links_)
      if (distanceTo(link.pts.front(), at) <= tol && !isOutlet_[link.point.front()]) {
        isOutlet_[link.point.front()] = 1;
        joins_.join(link.point.front(), valve.outlet);
        ++valve.outletPipes;
      }
    valves_.push_back(valve);
  }

  // Vertices near each other are one point; a vertex near another pipe's
  // segment joins it there.
  for (size_t l = 0; l < links_.size(); ++l) {
    const Link& link = links_[l];
    for (size_t k = 0; k < link.pts.size(); ++k) {
      const int pi = link.point[k];
      if (isOutlet_[pi]) continue;
      const PointD p = link.pts[k];
      vertexGrid_.near(p.x - tol, p.y - tol, p.x + tol, p.y + tol, [&](int q) {
        if (q != pi && !isOutlet_[q] && distanceTo(points_[q], p) <= tol) joins_.join(pi, q);
      });
      segmentGrid_.near(p.x - tol, p.y - tol, p.x + tol, p.y + tol, [&](int id) {
        const auto [ol, ok] = segmentsById_[id];
        if (ol == static_cast<int>(l) && (ok == static_cast<int>(k) || ok + 1 == static_cast<int>(k))) return;
        const Link& other = links_[ol];
        const PointD a = other.pts[ok], b = other.pts[ok + 1];
        const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
        if (len2 <= 0) return;
        const double t = ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2;
        if (t <= 0 || t >= 1) return;
        const PointD foot{a.x + t * dx, a.y + t * dy};
        if (distanceTo(foot, p) > tol || distanceTo(a, p) <= tol || distanceTo(b, p) <= tol) return;
        for (const Cut& c : cuts_[ol][ok])
          if (joins_.find(c.point) == joins_.find(pi)) return;
        cuts_[ol][ok].push_back({t, pi, -1});
      });
    }
  }
}

int Builder::attach(PointD at, bool cutValve, int* outlet) {
  const double tol = tolU_;
  int best = -1;
  double bestD = tol;
  vertexGrid_.near(at.x - tol, at.y - tol, at.x + tol, at.y + tol, [&](int q) {
    if (isOutlet_[q]) return;
    const double d = distanceTo(points_[q], at);
    if (d <= bestD && (best < 0 || d < bestD)) best = q, bestD = d;
  });
  // A valve on a vertex inside a pipe cuts the pipe there.
  if (best >= 0 && cutValve && outlet) {
    for (size_t l = 0; l < links_.size(); ++l)
      for (size_t k = 1; k + 1 < links_[l].pts.size(); ++k)
        if (links_[l].point[k] == best && segmentStart_[l][k] < 0) {
          segmentStart_[l][k] = *outlet;
          return best;
        }
    return best;
  }
  if (best >= 0) return best;
  int segId = -1;
  double t = 0;
  bestD = tol;
  segmentGrid_.near(at.x - tol, at.y - tol, at.x + tol, at.y + tol, [&](int id) {
    const auto [l, k] = segmentsById_[id];
    // A valve is not fed by the pipes that start at it.
    if (outlet && joins_.find(links_[l].point.front()) == joins_.find(*outlet)) return;
    const PointD a = links_[l].pts[k], b = links_[l].pts[k + 1];
    const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
    if (len2 <= 0) return;
    const double s = std::clamp(((at.x - a.x) * dx + (at.y - a.y) * dy) / len2, 0.0, 1.0);
    const double d = distanceTo({a.x + s * dx, a.y + s * dy}, at);
    if (d <= bestD && (segId < 0 || d < bestD || (d == bestD && id < segId))) segId = id, bestD = d, t = s;
  });
  if (segId < 0) return -1;
  const auto [l, k] = segmentsById_[segId];
  const PointD a = links_[l].pts[k], b = links_[l].pts[k + 1];
  const int p = newPoint({a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)});
  isOutlet_.push_back(0);
  cuts_[l][k].push_back({t, p, cutValve && outlet ? *outlet : -1});
  return p;
}

bool Builder::build() {
  const double sd = doc_.scaleDenominator, ppc = doc_.pixelsPerCm;
  metresPerUnit_ = sd / (100.0 * ppc);
  if (!(std::isfinite(metresPerUnit_) && metresPerUnit_ > 0 && metresPerUnit_ < 1e6)) {
    out_.error = pl("Skala rysunku projektu jest niepoprawna.");
    return false;
  }
  tolU_ = options_.joinToleranceM / metresPerUnit_;
  if (!(options_.defaultDiameterMm >= kSmallestDiameterMm && options_.defaultDiameterMm <= kLargestDiameterMm)) {
    out_.error = pl("Średnica przyjmowana dla rur bez typu musi leżeć między 2 a 1000 mm.");
    return false;
  }
  collectLinks();
  joinLinks();

  // The water source, the valves' inlets, the heads and the drip lines.
  const auto& objects = doc_.objects();
  const CWValve* source = nullptr;
  int sourceObject = -1;
  for (size_t i = 0; i < objects.size(); ++i) {
    const CWBase& o = *objects[i];
    if (!o.deleted && o.GetType() == kTypeValve && static_cast<const CWValve&>(o).isWaterSource) {
      source = &static_cast<const CWValve&>(o);
      sourceObject = static_cast<int>(i);
      break;
    }
  }
  if (!source || !doc_.hasWaterSource) {
    out_.error = pl("W projekcie nie ma źródła wody.");
    return false;
  }
  for (Valve& v : valves_) {
    const auto& o = static_cast<const CWValve&>(*objects[v.object]);
    // A valve that no pipe starts at cuts the pipe it lies on.
    v.inlet = attach({o.posUx, o.posUy}, v.outletPipes == 0, &v.outlet);
    if (v.inlet < 0 && !std::any_of(links_.begin(), links_.end(), [&](const Link& l) {
          return joins_.find(l.point.front()) == joins_.find(v.outlet);
        }))
      warn(out_.warnings, "unconnected", v.object,
           kindName(o) + " " + place({o.posUx, o.posUy}, metresPerUnit_) + pl(" nie leży na żadnej rurze."));
  }
  source_ = attach({source->posUx, source->posUy});
  if (source_ < 0) {
    out_.error = pl("Źródło wody ") + place({source->posUx, source->posUy}, metresPerUnit_) +
                 pl(" nie leży na żadnej rurze.");
    out_.unconnected.push_back(sourceObject);
    return false;
  }
  for (size_t i = 0; i < objects.size(); ++i) {
    const CWBase& o = *objects[i];
    if (o.deleted || !(isHead(o.GetType()) || o.GetType() == kTypeDripline)) continue;
    const PointD at = headPlace(o);
    Consumer c;
    c.object = static_cast<int>(i);
    c.section = o.GetSectionNo();
    if (std::isfinite(at.x) && std::isfinite(at.y)) c.point = attach(at);
    if (c.point < 0) {
      out_.unconnected.push_back(c.object);
      warn(out_.warnings, "unconnected", c.object,
           kindName(o) + " " + place(at, metresPerUnit_) + pl(" nie leży na żadnej rurze."));
    }
    else if (c.section == kNoSection)
      warn(out_.warnings, "noSection", c.object,
           kindName(o) + " " + place(at, metresPerUnit_) + pl(" nie należy do żadnej sekcji."));
    consumers_.push_back(c);
  }

  // The pieces of pipe between the points.
  for (size_t l = 0; l < links_.size(); ++l) {
    Link& link = links_[l];
    for (size_t k = 0; k + 1 < link.pts.size(); ++k) {
      auto& cuts = cuts_[l][k];
      std::stable_sort(cuts.begin(), cuts.end(), [](const Cut& a, const Cut& b) { return a.t < b.t; });
      const double segM = distanceTo(link.pts[k], link.pts[k + 1]) * metresPerUnit_;
      int from = segmentStart_[l][k] >= 0 ? segmentStart_[l][k] : link.point[k];
      double t0 = 0;
      auto piece = [&](int to, double t1) {
        // Points closer than a millimetre along the pipe are one.
        if ((t1 - t0) * segM < 1e-3) {
          joins_.join(from, to);
          return;
        }
        Piece p;
        p.link = static_cast<int>(l);
        p.segment = static_cast<int>(k);
        p.from = from;
        p.to = to;
        p.offsetM = t0 * segM;
        p.lengthM = (t1 - t0) * segM;
        p.diameterMm = link.diameterMm;
        p.assumed = link.assumed;
        if (auto it = options_.segmentDiameterMm.find(segmentKey(link.object, static_cast<int>(k)));
            it != options_.segmentDiameterMm.end() && it->second >= kSmallestDiameterMm &&
            it->second <= kLargestDiameterMm)
          p.diameterMm = it->second, p.assumed = false;
        p.r = resistance(p.lengthM, p.diameterMm, options_.hazenC);
        pieces_.push_back(p);
      };
      for (const Cut& c : cuts) {
        piece(c.point, c.t);
        from = c.outlet >= 0 ? c.outlet : c.point;
        t0 = c.t;
      }
      piece(link.point[k + 1], 1.0);
    }
  }

  // Points joined are one node.
  node_.resize(points_.size());
  std::unordered_map<int, int> index;
  for (size_t p = 0; p < points_.size(); ++p) {
    const int root = joins_.find(static_cast<int>(p));
    auto [it, fresh] = index.emplace(root, static_cast<int>(index.size()));
    node_[p] = it->second;
  }
  nodeCount_ = static_cast<int>(index.size());

  // What no pipe joins to the source, even with every valve open.
  Joins all;
  for (int n = 0; n < nodeCount_; ++n) all.add();
  for (const Piece& p : pieces_) all.join(node_[p.from], node_[p.to]);
  for (const Valve& v : valves_)
    if (v.inlet >= 0) all.join(node_[v.inlet], node_[v.outlet]);
  const int fed = all.find(node_[source_]);
  for (const Link& link : links_)
    if (all.find(node_[link.point.front()]) != fed &&
        (out_.unconnected.empty() || out_.unconnected.back() != link.object)) {
      out_.unconnected.push_back(link.object);
      warn(out_.warnings, "island", link.object,
           pl("Rura ") + place(link.pts.front(), metresPerUnit_) + pl(" nie jest połączona ze źródłem wody."));
    }
  for (const Consumer& c : consumers_)
    if (c.point >= 0 && all.find(node_[c.point]) != fed) {
      out_.unconnected.push_back(c.object);
      warn(out_.warnings, "island", c.object,
           kindName(*objects[c.object]) + " " + place(headPlace(*objects[c.object]), metresPerUnit_) +
               pl(" leży na rurze niepołączonej ze źródłem wody."));
    }
  return true;
}

std::vector<int> Builder::sectionsToSolve() const {
  std::vector<int> sections;
  if (options_.section >= 0) return {options_.section};
  int count = options_.sectionCount;
  if (count < 0) {
    count = 0;
    for (const Consumer& c : consumers_)
      if (c.section != kNoSection && c.section >= 0 && c.section < 10000) count = std::max(count, c.section + 1);
  }
  for (int s = 0; s < count; ++s) sections.push_back(s);
  return sections;
}

void Builder::solveSection(int section) {
  const auto& objects = doc_.objects();
  SectionResult res;
  res.section = section;
  res.sourcePressureAtm = doc_.sourcePressure;
  const std::string sectionName = pl("Sekcja ") + std::to_string(section + 1);

  // The nodes as the section sees them: its valves and those of no section
  // open, the others closed.
  Joins open;
  for (int n = 0; n < nodeCount_; ++n) open.add();
  for (const Valve& v : valves_)
    if (v.inlet >= 0 && (v.section == section || v.section == kNoSection)) open.join(node_[v.inlet], node_[v.outlet]);
  std::vector<int> nodeOf(nodeCount_);
  for (int n = 0; n < nodeCount_; ++n) nodeOf[n] = open.find(n);
  auto nodeAt = [&](int point) { return nodeOf[node_[point]]; };

  // Reached from the source.
  std::vector<std::vector<int>> around(nodeCount_);
  for (size_t k = 0; k < pieces_.size(); ++k) {
    const int a = nodeAt(pieces_[k].from), b = nodeAt(pieces_[k].to);
    if (a == b) continue;
    around[a].push_back(static_cast<int>(k));
    around[b].push_back(static_cast<int>(k));
  }
  const int sourceNode = nodeAt(source_);
  std::vector<char> reached(nodeCount_, 0);
  std::vector<int> queue{sourceNode};
  reached[sourceNode] = 1;
  for (size_t qi = 0; qi < queue.size(); ++qi)
    for (int k : around[queue[qi]]) {
      const int a = nodeAt(pieces_[k].from), b = nodeAt(pieces_[k].to);
      const int other = a == queue[qi] ? b : a;
      if (!reached[other]) reached[other] = 1, queue.push_back(other);
    }

  // The section's consumers.
  struct Open {
    int consumer;
    int node;
    std::unique_ptr<HeadFlow> flow;
  };
  std::vector<Open> heads;
  const float savedPressure = app().currentSourcePressure;
  for (size_t c = 0; c < consumers_.size(); ++c) {
    const Consumer& con = consumers_[c];
    if (con.section != section || con.point < 0) continue;
    const CWBase& o = *objects[con.object];
    const int n = nodeAt(con.point);
    if (!reached[n]) {
      warn(res.warnings, "unconnected", con.object,
           kindName(o) + " " + place(headPlace(o), metresPerUnit_) + pl(" nie dostaje wody: ") + sectionName +
               pl(" nie jest z nim połączona przez swój zawór."));
      continue;
    }
    auto flow = std::make_unique<HeadFlow>(o, doc_.scaleDenominator, doc_.pixelsPerCm);
    if (!std::isfinite(flow->at(doc_.sourcePressure))) {
      warn(res.warnings, "noFlowTable", con.object,
           kindName(o) + " " + place(headPlace(o), metresPerUnit_) +
               pl(" nie ma w katalogu wydajności dla tego ciśnienia; pominięto go."));
      continue;
    }
    heads.push_back({static_cast<int>(c), n, std::move(flow)});
  }
  if (heads.empty()) {
    warn(res.warnings, "noHeads", -1, sectionName + pl(" nie ma odbiorników podłączonych do sieci."));
    app().currentSourcePressure = savedPressure;
    out_.sections.push_back(std::move(res));
    return;
  }

  // Branches that feed nothing carry no water: taken off leaf by leaf, and
  // given the pressure of where they leave the rest.
  std::vector<int> degree(nodeCount_, 0);
  std::vector<char> demand(nodeCount_, 0), live(pieces_.size(), 0);
  for (const Open& h : heads) demand[h.node] = 1;
  for (size_t k = 0; k < pieces_.size(); ++k) {
    const int a = nodeAt(pieces_[k].from), b = nodeAt(pieces_[k].to);
    if (a == b || !reached[a]) continue;
    live[k] = 1;
    ++degree[a], ++degree[b];
  }
  std::vector<int> leaves;
  std::vector<std::pair<int, int>> pruned;  // pieces taken off, with their leaf end, in order
  for (int n = 0; n < nodeCount_; ++n)
    if (reached[n] && degree[n] == 1 && !demand[n] && n != sourceNode) leaves.push_back(n);
  while (!leaves.empty()) {
    const int n = leaves.back();
    leaves.pop_back();
    for (int k : around[n]) {
      if (!live[k]) continue;
      live[k] = 0;
      pruned.push_back({k, n});
      const int a = nodeAt(pieces_[k].from), b = nodeAt(pieces_[k].to);
      const int other = a == n ? b : a;
      --degree[n];
      if (--degree[other] == 1 && !demand[other] && other != sourceNode) leaves.push_back(other);
    }
  }

  // The unknowns: the heads (m) at every node still in, but the source's.
  std::vector<int> unknown(nodeCount_, -1);
  int m = 0;
  std::vector<int> livePieces;
  for (size_t k = 0; k < pieces_.size(); ++k)
    if (live[k]) {
      livePieces.push_back(static_cast<int>(k));
      for (int n : {nodeAt(pieces_[k].from), nodeAt(pieces_[k].to)})
        if (n != sourceNode && unknown[n] < 0) unknown[n] = m++;
    }
  for (const Open& h : heads)
    if (h.node != sourceNode && unknown[h.node] < 0) unknown[h.node] = m++;

  const double sourceHead = 10.0 * doc_.sourcePressure;
  std::vector<double> H(nodeCount_, sourceHead), Q(pieces_.size(), 0.0);
  std::vector<double> nodeDemand(nodeCount_, 0.0), nodeSlope(nodeCount_, 0.0);
  for (int k : livePieces) Q[k] = 0.1;

  // Newton steps of the global gradient method at a source head of `hs`.
  Eigen::SimplicialLDLT<Eigen::SparseMatrix<double>> solver;
  bool analysed = false;
  auto solve = [&](double hs, int& iterations) {
    H[sourceNode] = hs;
    const double qMin = 1e-6;
    for (iterations = 1; iterations <= kMaxIterations; ++iterations) {
      std::fill(nodeDemand.begin(), nodeDemand.end(), 0.0);
      std::fill(nodeSlope.begin(), nodeSlope.end(), 0.0);
      double total = 0;
      for (const Open& h : heads) {
        const double p = H[h.node] / 10.0, d = 0.005;
        const double q = h.flow->at(p);
        const double slope = (h.flow->at(p + d) - h.flow->at(p - d)) / (2 * d) / 10.0;  // per metre
        nodeDemand[h.node] += std::isfinite(q) ? q : 0.0;
        nodeSlope[h.node] += std::isfinite(slope) && slope > 0 ? slope : 0.0;
        total += std::isfinite(q) ? q : 0.0;
      }
      std::vector<Eigen::Triplet<double>> t;
      t.reserve(livePieces.size() * 4 + heads.size());
      Eigen::VectorXd b = Eigen::VectorXd::Zero(m);
      std::vector<double> conductance(pieces_.size(), 0.0);
      for (int k : livePieces) {
        const Piece& p = pieces_[k];
        const double aq = std::max(std::abs(Q[k]), qMin);
        const double g = kExponent * p.r * std::pow(aq, kExponent - 1);
        const double c = 1.0 / std::max(g, 1e-12);
        conductance[k] = c;
        const int a = nodeAt(p.from), bn = nodeAt(p.to);
        const double carried = Q[k] * (1 - 1 / kExponent);
        const int ia = unknown[a], ib = unknown[bn];
        if (ia >= 0) {
          t.emplace_back(ia, ia, c);
          b[ia] -= carried;
          if (ib >= 0) t.emplace_back(ia, ib, -c);
          else b[ia] += c * H[bn];
        }
        if (ib >= 0) {
          t.emplace_back(ib, ib, c);
          b[ib] += carried;
          if (ia >= 0) t.emplace_back(ib, ia, -c);
          else b[ib] += c * H[a];
        }
      }
      for (int n = 0; n < nodeCount_; ++n) {
        const int i = unknown[n];
        if (i < 0 || (nodeDemand[n] == 0 && nodeSlope[n] == 0)) continue;
        t.emplace_back(i, i, nodeSlope[n]);
        b[i] += -nodeDemand[n] + nodeSlope[n] * H[n];
      }
      Eigen::SparseMatrix<double> A(m, m);
      A.setFromTriplets(t.begin(), t.end());
      if (!analysed) {
        solver.analyzePattern(A);
        analysed = true;
      }
      solver.factorize(A);
      if (solver.info() != Eigen::Success) return false;
      const Eigen::VectorXd x = solver.solve(b);
      if (solver.info() != Eigen::Success) return false;
      double headChange = 0, flowChange = 0;
      for (int n = 0; n < nodeCount_; ++n)
        if (unknown[n] >= 0) {
          const double v = x[unknown[n]];
          if (!std::isfinite(v)) return false;
          headChange = std::max(headChange, std::abs(v - H[n]));
          H[n] = v;
        }
      for (int k : livePieces) {
        const Piece& p = pieces_[k];
        const double q = Q[k] * (1 - 1 / kExponent) + conductance[k] * (H[nodeAt(p.from)] - H[nodeAt(p.to)]);
        flowChange = std::max(flowChange, std::abs(q - Q[k]));
        Q[k] = q;
      }
      if (iterations > 1 && flowChange <= kFlowTolerance * std::max(total, 1e-3) && headChange <= kHeadToleranceM)
        return true;
    }
    return false;
  };

  int iterations = 0;
  bool solved = m == 0 || solve(sourceHead, iterations);
  res.iterations = iterations;
  auto finish = [&] {
    app().currentSourcePressure = savedPressure;
    out_.sections.push_back(std::move(res));
  };
  if (!solved) {
    warn(res.warnings, "notConverged", -1,
         pl("Nie udało się obliczyć sieci: ") + sectionName + pl(" — obliczenia nie zbiegły się."));
    finish();
    return;
  }
  res.solved = true;

  // The pieces taken off: no flow, the pressure of where they hang.
  for (auto it = pruned.rbegin(); it != pruned.rend(); ++it) {
    const Piece& p = pieces_[it->first];
    const int a = nodeAt(p.from), b = nodeAt(p.to);
    const int leaf = it->second, other = a == leaf ? b : a;
    H[leaf] = H[other];
  }

  // The results.
  double minP = std::numeric_limits<double>::infinity(), maxP = -minP;
  for (const Open& h : heads) {
    HeadResult hr;
    hr.object = consumers_[h.consumer].object;
    hr.pressureAtm = H[h.node] / 10.0;
    const double q = h.flow->at(hr.pressureAtm);
    hr.flowM3H = std::isfinite(q) ? q : 0.0;
    res.flowM3H += hr.flowM3H;
    minP = std::min(minP, hr.pressureAtm);
    maxP = std::max(maxP, hr.pressureAtm);
    hr.belowTable = h.flow->belowTable(hr.pressureAtm, hr.lowestTablePressureAtm);
    const CWBase& o = *objects[hr.object];
    if (hr.belowTable)
      warn(res.warnings, "lowPressure", hr.object,
           kindName(o) + " " + place(headPlace(o), metresPerUnit_) + pl(": ciśnienie ") + platform::formatFixedComma(hr.pressureAtm, 2) +
               pl(" atm jest niższe od najniższego w tabeli dyszy (") + platform::formatFixedComma(hr.lowestTablePressureAtm, 2) +
               " atm).");
    res.heads.push_back(hr);
  }
  res.minHeadPressureAtm = minP;
  res.maxHeadPressureAtm = maxP;
  res.pressureSpreadPct = maxP > 0 ? 100.0 * (maxP - minP) / maxP : 0.0;
  if (res.pressureSpreadPct > kMaxPressureSpreadPct)
    warn(res.warnings, "spread", -1,
         pl("Różnica ciśnień głowic w sekcji ") + std::to_string(section + 1) + pl(" wynosi ") +
             platform::formatFixedComma(res.pressureSpreadPct, 1) + pl(" % najwyższego (dopuszczalne 20 %)."));
  if (doc_.sourceCapacity > 0 && res.flowM3H > doc_.sourceCapacity + 1e-9)
    warn(res.warnings, "capacity", -1,
         pl("Przepływ sekcji ") + std::to_string(section + 1) + " (" + platform::formatFixedComma(res.flowM3H, 2) +
             pl(" m3/h) przekracza wydajność źródła wody (") + platform::formatFixedComma(doc_.sourceCapacity, 2) + " m3/h).");

  for (size_t k = 0; k < pieces_.size(); ++k) {
    const Piece& p = pieces_[k];
    const int a = nodeAt(p.from), b = nodeAt(p.to);
    if (!reached[a] || a == b) continue;
    PipeResult pr;
    pr.object = links_[p.link].object;
    pr.segment = p.segment;
    pr.offsetM = p.offsetM;
    pr.lengthM = p.lengthM;
    pr.innerDiameterMm = p.diameterMm;
    pr.assumedDiameter = p.assumed;
    pr.flowM3H = live[k] ? Q[k] : 0.0;
    pr.velocityMS = Velocity(std::abs(pr.flowM3H), p.diameterMm);
    pr.lossAtm = p.r * std::pow(std::abs(pr.flowM3H), kExponent) / 10.0;
    pr.startPressureAtm = H[a] / 10.0;
    pr.endPressureAtm = H[b] / 10.0;
    if (pr.velocityMS > kMaxVelocityMS)
      warn(res.warnings, "fast", pr.object,
           pl("Prędkość wody ") + platform::formatFixedComma(pr.velocityMS, 2) + pl(" m/s w rurze ") +
               place(links_[p.link].pts[p.segment], metresPerUnit_) + pl(" przekracza 1,5 m/s."));
    res.pipes.push_back(pr);
  }
  std::vector<char> listed(nodeCount_, 0);
  for (size_t pt = 0; pt < points_.size(); ++pt) {
    const int n = nodeOf[node_[pt]];
    if (!reached[n] || listed[n]) continue;
    listed[n] = 1;
    res.nodes.push_back({points_[pt], H[n] / 10.0});
  }

  // The source pressure that gives the lowest head the pressure it was
  // chosen for: a secant search over the source pressure.
  const double wanted = doc_.sourcePressure;
  double h0 = sourceHead, f0 = minP - wanted;
  res.requiredSourcePressureAtm = doc_.sourcePressure;
  if (std::abs(f0) > 1e-4 && m > 0) {
    double h1 = h0 - 10.0 * f0, f1 = 0;
    const std::vector<double> keptH = H, keptQ = Q;
    bool found = false;
    for (int i = 0; i < 20; ++i) {
      int its = 0;
      if (!solve(h1, its)) break;
      double low = std::numeric_limits<double>::infinity();
      for (const Open& h : heads) low = std::min(low, H[h.node] / 10.0);
      f1 = low - wanted;
      if (std::abs(f1) <= 1e-4) {
        found = true;
        break;
      }
      const double next = f1 == f0 ? h1 - 10.0 * f1 : h1 - f1 * (h1 - h0) / (f1 - f0);
      h0 = h1, f0 = f1, h1 = next;
    }
    res.requiredSourcePressureAtm = found ? h1 / 10.0 : std::numeric_limits<double>::quiet_NaN();
    H = keptH;
    Q = keptQ;
  }
  finish();
}

}  // namespace

Result analyse(const CGraphicPlane& doc, const CDBSets* sets, const Options& options) {
  Result out;
  Builder builder(doc, sets, options, out);
  if (!builder.build()) return out;
  for (int s : builder.sectionsToSolve()) builder.solveSection(s);
  out.ok = true;
  return out;
}

}  // namespace network
