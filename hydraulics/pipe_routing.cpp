#include "hydraulics/pipe_routing.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <queue>
#include <set>

#include "document/graphic_plane.h"
#include "document/terrain.h"
#include "hydraulics/coverage.h"
#include "hydraulics/network.h"
#include "hydraulics/pipe_sizing.h"
#include "objects/polylines.h"
#include "objects/symbols.h"
#include "partix.h"
#include "platform/numtext.h"
#include "platform/textcodec.h"

namespace routing {

namespace {

std::string pl(const char* utf8) { return platform::utf8ToCp1250(utf8); }

bool isConsumer(int type) {
  return type == kTypeSprinkler || type == kTypeStaticSprinkler || type == kTypeMicroSprinkler ||
         type == kTypeMicroHadar || type == kTypeRws || type == kTypeDripline;
}

double distance(PointD a, PointD b) { return std::hypot(a.x - b.x, a.y - b.y); }

// The point of segment ab nearest `p`.
PointD nearestOnSegment(PointD a, PointD b, PointD p) {
  const double dx = b.x - a.x, dy = b.y - a.y, l2 = dx * dx + dy * dy;
  const double t = l2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / l2, 0.0, 1.0) : 0.0;
  return {a.x + dx * t, a.y + dy * t};
}

// The cells of the plan, with what it costs to lay a pipe through each.
struct Grid {
  double x0 = 0, y0 = 0, cell = 1;
  int cols = 0, rows = 0;
  std::vector<unsigned char> closed;  // buildings, water
  std::vector<float> cost;            // per cell entered

  int size() const { return cols * rows; }
  // A cell index from a coordinate, held to 0..n-1 before it becomes an int
  // (a point off the plane, or not a number, lands on the edge).
  static int index(double v, int n) {
    if (!(v >= 0)) return 0;
    if (v > n - 1) return n - 1;
    return static_cast<int>(v);
  }
  int at(PointD p) const {
    return index(std::floor((p.y - y0) / cell), rows) * cols + index(std::floor((p.x - x0) / cell), cols);
  }
  PointD centre(int c) const { return {x0 + (c % cols + 0.5) * cell, y0 + (c / cols + 0.5) * cell}; }
  // Every cell whose centre lies within `r` of `p`.
  template <typename F>
  void around(PointD p, double r, F f) const {
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return;
    const int i0 = index(std::floor((p.x - r - x0) / cell), cols), i1 = index(std::floor((p.x + r - x0) / cell), cols);
    const int j0 = index(std::floor((p.y - r - y0) / cell), rows), j1 = index(std::floor((p.y + r - y0) / cell), rows);
    for (int j = j0; j <= j1; ++j)
      for (int i = i0; i <= i1; ++i)
        if (distance(centre(j * cols + i), p) <= r) f(j * cols + i);
  }
  // Every cell a segment passes through (sampled at a quarter cell).
  template <typename F>
  void along(PointD a, PointD b, F f) const {
    const double d = distance(a, b);
    if (!std::isfinite(d)) return;
    const int steps = static_cast<int>(std::clamp(std::ceil(d / (cell / 4)), 1.0, 1e6));
    for (int k = 0; k <= steps; ++k) f(at({a.x + (b.x - a.x) * k / steps, a.y + (b.y - a.y) * k / steps}));
  }
};

constexpr float kOpen = 1.0f;
constexpr float kPaving = 4.0f;
constexpr float kTaken = 8.0f;     // a cell another section's pipe takes
constexpr float kTurn = 0.3f;
constexpr int kDirections = 4;

// A root of a tree: its cell and the point a pipe leaving it starts at.
struct Root {
  int cell;
  PointD at;
};
struct Terminal {
  int cell;
  PointD at;
  int object;  // -1 for a box inlet
};

// A tree on the grid: each cell's parent toward the roots (-1 off the tree,
// -2 a root).
struct Tree {
  std::vector<int> parent;
  std::map<int, PointD> rootAt;       // cell -> point
  std::map<int, PointD> terminalAt;   // cell -> point of its first terminal
  std::map<int, std::vector<PointD>> extraTerminals;  // further terminals in a cell
};

// Grows the tree from `roots` to every terminal (Takahashi-Matsuyama on the
// grid, with the cost of turning); `extra` adds to a cell's cost. The
// terminal no path reaches, or -1.
int growTree(const Grid& g, const std::vector<float>& extra, const std::vector<Root>& roots,
         const std::vector<Terminal>& terminals, Tree& tree) {
  const int n = g.size();
  tree.parent.assign(n, -1);
  std::vector<int> inTree;  // the tree's cells, each once
  for (const Root& r : roots) {
    if (tree.parent[r.cell] == -1) inTree.push_back(r.cell);
    tree.parent[r.cell] = -2;
    tree.rootAt.emplace(r.cell, r.at);
  }
  std::vector<int> pending;  // terminal indices
  for (size_t t = 0; t < terminals.size(); ++t) {
    const Terminal& term = terminals[t];
    if (tree.terminalAt.count(term.cell)) {
      tree.extraTerminals[term.cell].push_back(term.at);
      continue;
    }
    tree.terminalAt.emplace(term.cell, term.at);
    if (tree.parent[term.cell] == -1) pending.push_back(static_cast<int>(t));
  }
  std::vector<char> waiting(n, 0);
  for (int t : pending) waiting[terminals[t].cell] = 1;
  int left = static_cast<int>(pending.size());
  const float inf = std::numeric_limits<float>::infinity();
  std::vector<float> dist(static_cast<size_t>(n) * (kDirections + 1), inf);
  std::vector<int> prev(dist.size(), -1);
  std::vector<int> touched;
  const int di[kDirections] = {1, 0, -1, 0}, dj[kDirections] = {0, 1, 0, -1};
  while (left > 0) {
    for (int s : touched) dist[s] = inf, prev[s] = -1;
    touched.clear();
    using Item = std::pair<float, int>;
    std::priority_queue<Item, std::vector<Item>, std::greater<Item>> queue;
    for (int c : inTree) {
      const int s = c * (kDirections + 1) + kDirections;
      dist[s] = 0;
      touched.push_back(s);
      queue.push({0.0f, s});
    }
    int reached = -1;
    while (!queue.empty()) {
      const auto [d, s] = queue.top();
      queue.pop();
      if (d > dist[s]) continue;
      const int c = s / (kDirections + 1), from = s % (kDirections + 1);
      if (waiting[c]) {
        reached = s;
        break;
      }
      const int ci = c % g.cols, cj = c / g.cols;
      for (int k = 0; k < kDirections; ++k) {
        const int ni = ci + di[k], nj = cj + dj[k];
        if (ni < 0 || nj < 0 || ni >= g.cols || nj >= g.rows) continue;
        const int nc = nj * g.cols + ni;
        if (g.closed[nc] && !waiting[nc]) continue;
        const float step = g.cost[nc] + extra[nc] + (from != kDirections && from != k ? kTurn : 0.0f);
        const int ns = nc * (kDirections + 1) + k;
        if (d + step < dist[ns]) {
          if (dist[ns] == inf) touched.push_back(ns);
          dist[ns] = d + step;
          prev[ns] = s;
          queue.push({dist[ns], ns});
        }
      }
    }
    if (reached < 0) {
      for (int t : pending)
        if (waiting[terminals[t].cell]) return t;
      return -1;
    }
    // The path joins the tree, each cell pointing back toward it.
    for (int s = reached; s >= 0;) {
      const int c = s / (kDirections + 1);
      const int p = prev[s];
      if (tree.parent[c] != -1) break;
      tree.parent[c] = p >= 0 ? p / (kDirections + 1) : -2;
      inTree.push_back(c);
      if (waiting[c]) {
        waiting[c] = 0;
        --left;
      }
      s = p;
    }
  }
  return -1;
}

// The tree cut into pipes: at its roots, branches and terminals; each run in
// one direction one segment, every pipe from its root side outward.
std::vector<std::vector<PointD>> pipesOf(const Grid& g, const Tree& tree) {
  const int n = g.size();
  std::vector<std::vector<int>> children(n);
  for (int c = 0; c < n; ++c)
    if (tree.parent[c] >= 0) children[tree.parent[c]].push_back(c);
  auto pointOf = [&](int c) {
    if (auto it = tree.terminalAt.find(c); it != tree.terminalAt.end()) return it->second;
    if (auto it = tree.rootAt.find(c); it != tree.rootAt.end()) return it->second;
    return g.centre(c);
  };
  auto stops = [&](int c) { return tree.terminalAt.count(c) || children[c].size() != 1; };
  std::vector<std::vector<PointD>> out;
  std::vector<int> open;
  for (const auto& [c, at] : tree.rootAt) open.push_back(c);
  std::set<int> done;
  while (!open.empty()) {
    const int from = open.back();
    open.pop_back();
    if (!done.insert(from).second) continue;
    for (int child : children[from]) {
      std::vector<PointD> run = {pointOf(from)};
      int c = child;
      for (;;) {
        run.push_back(pointOf(c));
        if (stops(c)) break;
        c = children[c].front();
      }
      // Runs in one direction become one segment.
      std::vector<PointD> simple = {run.front()};
      for (size_t k = 1; k + 1 < run.size(); ++k) {
        const PointD a = simple.back(), b = run[k], d = run[k + 1];
        const double cross = (b.x - a.x) * (d.y - b.y) - (b.y - a.y) * (d.x - b.x);
        if (std::abs(cross) > 1e-6 * g.cell * g.cell) simple.push_back(b);
      }
      simple.push_back(run.back());
      out.push_back(std::move(simple));
      open.push_back(c);
    }
    // Further terminals in a cell hang on the first one's point.
    if (auto it = tree.extraTerminals.find(from); it != tree.extraTerminals.end())
      for (const PointD& p : it->second) out.push_back({pointOf(from), p});
  }
  return out;
}

double lengthOf(const std::vector<PointD>& v) {
  double l = 0;
  for (size_t k = 1; k < v.size(); ++k) l += distance(v[k - 1], v[k]);
  return l;
}

std::string place(PointD at, double metresPerUnit) {
  return "(" + platform::formatFixedComma(at.x * metresPerUnit, 2) + "; " +
         platform::formatFixedComma(at.y * metresPerUnit, 2) + " m)";
}

}  // namespace

Result route(const CGraphicPlane& doc, const CDBSets* sets, const Options& options) {
  Result out;
  const double unitsPerMetre = 100.0 / doc.scaleDenominator * doc.pixelsPerCm;
  if (!(unitsPerMetre > 0) || !std::isfinite(unitsPerMetre)) {
    out.error = pl("Skala rysunku projektu jest niepoprawna.");
    return out;
  }
  const double metresPerUnit = 1 / unitsPerMetre;
  const auto& objects = doc.objects();
  const CWValve* source = nullptr;
  for (const auto& o : objects)
    if (!o->deleted && o->GetType() == kTypeValve && static_cast<const CWValve&>(*o).isWaterSource)
      source = static_cast<const CWValve*>(o.get());
  if (!source || !doc.hasWaterSource) {
    out.error = pl("W projekcie nie ma źródła wody: wstaw je, zanim poprowadzisz rury.");
    return out;
  }
  const PointD sourceAt{source->posUx, source->posUy};
  if (!std::isfinite(sourceAt.x) || !std::isfinite(sourceAt.y) || std::abs(sourceAt.x) > 1e9 || std::abs(sourceAt.y) > 1e9) {
    out.error = pl("Źródło wody leży poza planem.");
    return out;
  }

  // The catalogue's choices.
  const std::vector<CElem*> pipes = network::sizingCandidates(options.catalogue, options.allowedPipes);
  CElem* lateralType = options.lateralPipe ? options.lateralPipe : pipes.empty() ? nullptr : pipes.front();
  CElem* mainType = options.mainPipe ? options.mainPipe : lateralType;
  if (!lateralType || lateralType->kind != kKindPipe || !mainType || mainType->kind != kKindPipe) {
    out.error = pl("W bazie danych nie ma rur z podaną średnicą wewnętrzną.");
    return out;
  }
  if (options.valve && (options.valve->kind != kKindValve || !options.valve->data)) {
    out.error = pl("Wybrany element bazy danych nie jest zaworem.");
    return out;
  }
  CElem* boxType = options.valveBox;
  if (!boxType)
    for (CElem* e = options.catalogue; e && !boxType; e = e->next)
      if (e->kind == kKindValveBox && e->data && !e->archived && !e->deleted) boxType = e;

  // The heads already served: those the network finds in their section.
  const network::Result now = network::analyse(doc, sets);
  std::set<int> served;
  if (now.ok)
    for (const network::SectionResult& s : now.sections)
      for (const network::HeadResult& h : s.heads) served.insert(h.object);

  // The sections to route and their heads.
  int count = options.sectionCount;
  if (count < 0) {
    count = 0;
    for (const auto& o : objects)
      if (!o->deleted && o->GetSectionNo() >= 0 && o->GetSectionNo() < kNoSection) count = std::max(count, o->GetSectionNo() + 1);
  }
  if (options.section >= count || options.section < -1) {
    out.error = pl("Projekt nie ma takiej sekcji.");
    return out;
  }
  struct Work {
    int section;
    std::vector<Terminal> heads;
    double flow = 0;
    const CWValve* valve = nullptr;  // one the section has
    PointD valveAt;
    std::vector<int> pipes;          // the section's pipes on the plan
  };
  std::vector<Work> work;
  for (int s = 0; s < count; ++s) {
    if (options.section >= 0 && s != options.section) continue;
    Work w;
    w.section = s;
    for (size_t i = 0; i < objects.size(); ++i) {
      const CWBase& o = *objects[i];
      if (o.deleted || o.GetSectionNo() != s) continue;
      if (isConsumer(o.GetType())) {
        w.flow += std::max(0.0f, o.GetFlow());
        if (!served.count(static_cast<int>(i))) {
          const PointD at = network::placeOf(o);
          if (std::isfinite(at.x) && std::isfinite(at.y) && std::abs(at.x) < 1e9 && std::abs(at.y) < 1e9)
            w.heads.push_back({0, at, static_cast<int>(i)});
        }
      } else if (o.GetType() == kTypeValve && !static_cast<const CWValve&>(o).isWaterSource && !w.valve) {
        w.valve = static_cast<const CWValve*>(&o);
        w.valveAt = {w.valve->posUx, w.valve->posUy};
      } else if (o.GetType() == kTypePipe) {
        w.pipes.push_back(static_cast<int>(i));
      }
    }
    if (!w.heads.empty()) work.push_back(std::move(w));
  }
  if (work.empty()) {
    out.error = options.section >= 0 ? pl("Wszystkie głowice tej sekcji są już połączone rurami (albo sekcja nie ma głowic).")
                                     : pl("Żadna głowica planu nie czeka na rury: wszystkie są połączone albo nie należą do sekcji.");
    return out;
  }
  CElem* valveType = options.valve;
  for (Work& w : work) {
    if (w.valve || valveType) continue;
    for (CElem* e = options.catalogue; e && !valveType; e = e->next) {
      if (e->kind != kKindValve || !e->data || e->archived || e->deleted) continue;
      const auto* v = static_cast<const CZawor*>(e->data);
      if (!(v->flowMax > 0) || v->flowMax >= w.flow) valveType = e;
    }
  }
  if (!valveType && std::any_of(work.begin(), work.end(), [](const Work& w) { return !w.valve; })) {
    out.error = pl("W bazie danych nie ma zaworu, który przeniesie wydatek sekcji.");
    return out;
  }

  // The grid over the plan: its areas, heads, pipes and the source.
  double x0 = sourceAt.x, y0 = sourceAt.y, x1 = sourceAt.x, y1 = sourceAt.y;
  auto grow = [&](PointD p) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || std::abs(p.x) > 1e9 || std::abs(p.y) > 1e9) return;
    x0 = std::min(x0, p.x), y0 = std::min(y0, p.y), x1 = std::max(x1, p.x), y1 = std::max(y1, p.y);
  };
  std::vector<std::vector<PointD>> closedAreas, paving;
  for (const auto& t : doc.terrain()) {
    if (!t || t->deleted) continue;
    std::vector<PointD> poly = terrainPolygon(*t, 48);
    // A damaged outline (a point off the plane) closes nothing.
    if (poly.size() < 3 || !std::all_of(poly.begin(), poly.end(), [](PointD p) {
          return std::isfinite(p.x) && std::isfinite(p.y) && std::abs(p.x) < 1e9 && std::abs(p.y) < 1e9;
        }))
      continue;
    for (const PointD& p : poly) grow(p);
    if (t->fillKind == kFillBuilding || t->fillKind == kFillWater) closedAreas.push_back(std::move(poly));
    else if (t->fillKind == kFillPaving) paving.push_back(std::move(poly));
  }
  for (const auto& o : objects)
    if (!o->deleted && isConsumer(o->GetType())) grow(network::placeOf(*o));
  for (const Work& w : work)
    if (w.valve) grow(w.valveAt);
  Grid g;
  g.cell = std::max(0.1, options.cellM) * unitsPerMetre;
  const double margin = 3 * unitsPerMetre;
  x0 -= margin, y0 -= margin, x1 += margin, y1 += margin;
  while ((x1 - x0) / g.cell * (y1 - y0) / g.cell > 600000.0) g.cell *= 1.5;
  out.cellM = g.cell / unitsPerMetre;
  // The grid's cells meet at the source, so that runs from it are straight.
  g.x0 = sourceAt.x - g.cell / 2 - std::ceil((sourceAt.x - x0) / g.cell) * g.cell;
  g.y0 = sourceAt.y - g.cell / 2 - std::ceil((sourceAt.y - y0) / g.cell) * g.cell;
  g.cols = static_cast<int>(std::ceil((x1 - g.x0) / g.cell)) + 1;
  g.rows = static_cast<int>(std::ceil((y1 - g.y0) / g.cell)) + 1;
  g.closed.assign(g.size(), 0);
  g.cost.assign(g.size(), kOpen);
  auto rasterise = [&](const std::vector<PointD>& poly, auto mark) {
    double a0 = 1e300, b0 = 1e300, a1 = -1e300, b1 = -1e300;
    for (const PointD& p : poly) a0 = std::min(a0, p.x), b0 = std::min(b0, p.y), a1 = std::max(a1, p.x), b1 = std::max(b1, p.y);
    const int i0 = Grid::index((a0 - g.x0) / g.cell, g.cols), i1 = Grid::index((a1 - g.x0) / g.cell, g.cols);
    const int j0 = Grid::index((b0 - g.y0) / g.cell, g.rows), j1 = Grid::index((b1 - g.y0) / g.cell, g.rows);
    for (int j = j0; j <= j1; ++j)
      for (int i = i0; i <= i1; ++i)
        if (insidePolygon(poly, g.centre(j * g.cols + i))) mark(j * g.cols + i);
  };
  for (const auto& poly : paving) rasterise(poly, [&](int c) { g.cost[c] = kPaving; });
  for (const auto& poly : closedAreas) rasterise(poly, [&](int c) { g.closed[c] = 1; });
  // Terminals standing in a closed cell (a tap on a wall) may leave it.
  g.closed[g.at(sourceAt)] = 0;

  // What each tree must keep clear of: the cells next to every head (of
  // another section, or any for the main), and the pipes on the plan.
  const double clearance = std::max(0.6 * unitsPerMetre, 0.75 * g.cell);
  std::vector<std::pair<int, PointD>> allHeads;  // section, point
  for (const auto& o : objects)
    if (!o->deleted && isConsumer(o->GetType())) allHeads.push_back({o->GetSectionNo(), network::placeOf(*o)});
  std::vector<float> taken(g.size(), 0.0f);  // pipes already there
  for (const auto& o : objects) {
    if (o->deleted || o->GetType() != kTypePipe) continue;
    const auto& p = static_cast<const CWPipe&>(*o);
    for (size_t k = 1; k < p.verticesU.size(); ++k) g.along(p.verticesU[k - 1], p.verticesU[k], [&](int c) { taken[c] = kTaken; });
  }

  // The valves: a box near each section's heads toward the source; sections
  // whose boxes come within 6 m share the first.
  struct Box {
    PointD inlet;
    std::vector<size_t> members;  // work indices
    PointD along, away;           // the manifold's direction, and the laterals'
  };
  std::vector<Box> boxes;
  for (size_t k = 0; k < work.size(); ++k) {
    Work& w = work[k];
    for (Terminal& t : w.heads) t.cell = g.at(t.at);
    if (w.valve) continue;
    const Terminal* nearest = &w.heads.front();
    for (const Terminal& t : w.heads)
      if (distance(t.at, sourceAt) < distance(nearest->at, sourceAt)) nearest = &t;
    const double gap = distance(nearest->at, sourceAt);
    PointD at = nearest->at;
    if (gap > 0) {
      const double step = std::min(2 * unitsPerMetre, gap / 2);
      at = {at.x + (sourceAt.x - at.x) / gap * step, at.y + (sourceAt.y - at.y) / gap * step};
    }
    bool joined = false;
    for (Box& b : boxes)
      if (distance(b.inlet, at) <= 6 * unitsPerMetre) {
        b.members.push_back(k);
        joined = true;
        break;
      }
    if (!joined) boxes.push_back({at, {k}, {}, {}});
  }
  // Each box: the inlet on a free cell with room for its valves in a row
  // along the axis across the way to the source, the laterals leaving on the
  // far side.
  std::vector<char> reserved(g.size(), 0);
  const double valveStep = 2 * g.cell;
  for (Box& b : boxes) {
    const int n = static_cast<int>(b.members.size());
    const PointD toSource{sourceAt.x - b.inlet.x, sourceAt.y - b.inlet.y};
    const bool alongX = std::abs(toSource.y) >= std::abs(toSource.x);
    b.along = alongX ? PointD{1, 0} : PointD{0, 1};
    b.away = alongX ? PointD{0, toSource.y > 0 ? -1.0 : 1.0} : PointD{toSource.x > 0 ? -1.0 : 1.0, 0};
    // A box stands on open ground where it can, on paving only where not.
    bool onOpenGround = true;
    auto cellsFor = [&](PointD inlet, std::vector<int>& cells) {
      cells.clear();
      cells.push_back(g.at(inlet));
      for (int k = 1; k <= n; ++k) {
        const PointD v{inlet.x + b.along.x * valveStep * k, inlet.y + b.along.y * valveStep * k};
        for (int m = 0; m <= 2; ++m) cells.push_back(g.at({v.x + b.away.x * g.cell * m, v.y + b.away.y * g.cell * m}));
        cells.push_back(g.at({v.x - b.along.x * g.cell, v.y - b.along.y * g.cell}));
      }
      for (int c : cells)
        if (g.closed[c] || reserved[c] || (onOpenGround && g.cost[c] != kOpen)) return false;
      return true;
    };
    // The nearest cell centre (spiralling out) where all of it fits.
    std::vector<int> cells;
    const int start = g.at(b.inlet);
    bool found = false;
    for (int pass = 0; pass < 2 && !found; ++pass, onOpenGround = false)
      for (int r = 0; r < 40 && !found; ++r)
        for (int dj = -r; dj <= r && !found; ++dj)
          for (int di = -r; di <= r && !found; ++di) {
            if (std::max(std::abs(di), std::abs(dj)) != r) continue;
            const int i = start % g.cols + di, j = start / g.cols + dj;
            if (i < 1 || j < 1 || i >= g.cols - 1 || j >= g.rows - 1) continue;
            const PointD c = g.centre(j * g.cols + i);
            if (cellsFor(c, cells)) b.inlet = c, found = true;
          }
    if (!found) {
      out.error = pl("Nie ma miejsca na studzienkę zaworów przy głowicach sekcji ") +
                  std::to_string(work[b.members.front()].section + 1) + ".";
      return out;
    }
    for (int c : cells) reserved[c] = 1;
    const PointD last{b.inlet.x + b.along.x * valveStep * n, b.inlet.y + b.along.y * valveStep * n};
    out.pipes.push_back({{b.inlet, last}, mainType, kNoSection});
    if (boxType)
      out.boxes.push_back({{(b.inlet.x + last.x) / 2 + b.along.x * valveStep / 2, (b.inlet.y + last.y) / 2 + b.along.y * valveStep / 2},
                           boxType});
    for (int k = 0; k < n; ++k) {
      Work& w = work[b.members[k]];
      w.valveAt = {b.inlet.x + b.along.x * valveStep * (k + 1), b.inlet.y + b.along.y * valveStep * (k + 1)};
      out.valves.push_back({w.valveAt, valveType, w.section});
    }
  }

  // The laterals, section by section.
  std::vector<float> extra(g.size(), 0.0f);
  for (Work& w : work) {
    SectionRoute summary;
    summary.section = w.section;
    summary.heads = static_cast<int>(w.heads.size());
    summary.flowM3H = w.flow;
    summary.newValve = !w.valve;
    std::fill(extra.begin(), extra.end(), 0.0f);
    for (int c = 0; c < g.size(); ++c) extra[c] = taken[c] + (reserved[c] ? 1e6f : 0.0f);
    for (const auto& [section, at] : allHeads)
      if (section != w.section) g.around(at, clearance, [&](int c) { extra[c] = 1e6f; });
    // The roots: the section's own pipes where it has them, else the valve
    // with a first run leaving it away from the manifold.
    std::vector<Root> roots;
    for (int i : w.pipes) {
      const auto& p = static_cast<const CWPipe&>(*objects[i]);
      for (size_t k = 1; k < p.verticesU.size(); ++k)
        g.along(p.verticesU[k - 1], p.verticesU[k], [&](int c) {
          roots.push_back({c, nearestOnSegment(p.verticesU[k - 1], p.verticesU[k], g.centre(c))});
          extra[c] = 0;
        });
    }
    if (roots.empty()) {
      PointD away{0, 0};
      for (const Box& b : boxes)
        for (size_t m : b.members)
          if (&work[m] == &w) away = b.away;
      if (away.x == 0 && away.y == 0) {
        const double gap = distance(w.valveAt, sourceAt);
        away = gap > 0 ? PointD{(w.valveAt.x - sourceAt.x) / gap, (w.valveAt.y - sourceAt.y) / gap} : PointD{1, 0};
      }
      const PointD first{w.valveAt.x + away.x * 2 * g.cell, w.valveAt.y + away.y * 2 * g.cell};
      const int c = g.at(first);
      roots.push_back({c, g.centre(c)});
      extra[c] = 0;
      out.pipes.push_back({{w.valveAt, g.centre(c)}, lateralType, w.section});
      summary.lateralM += distance(w.valveAt, g.centre(c)) * metresPerUnit;
    }
    for (const Terminal& t : w.heads) extra[t.cell] = 0;
    Tree tree;
    const int lost = growTree(g, extra, roots, w.heads, tree);
    if (lost >= 0) {
      const CWBase& o = *objects[w.heads[lost].object];
      out.error = o.GetKindName() + " " + place(w.heads[lost].at, metresPerUnit) +
                  pl(" jest odcięty od zaworu sekcji budynkami albo wodą: nie da się do niego poprowadzić rury.");
      out.errorObject = w.heads[lost].object;
      return out;
    }
    for (std::vector<PointD>& run : pipesOf(g, tree)) {
      summary.lateralM += lengthOf(run) * metresPerUnit;
      for (size_t k = 1; k < run.size(); ++k) g.along(run[k - 1], run[k], [&](int c) { taken[c] = kTaken; });
      out.pipes.push_back({std::move(run), lateralType, w.section});
    }
    out.sections.push_back(summary);
  }

  // The main from the source to every box, and to a valve of the plan no
  // pipe reaches yet.
  std::vector<Terminal> inlets;
  for (const Box& b : boxes) inlets.push_back({g.at(b.inlet), b.inlet, -1});
  for (const Work& w : work)
    if (w.valve) {
      bool onPipe = false;
      for (const auto& o : objects) {
        if (o->deleted || o->GetType() != kTypePipe) continue;
        const auto& p = static_cast<const CWPipe&>(*o);
        for (size_t k = 1; k < p.verticesU.size() && !onPipe; ++k)
          onPipe = distance(nearestOnSegment(p.verticesU[k - 1], p.verticesU[k], w.valveAt), w.valveAt) <= 0.25 * unitsPerMetre &&
                   distance(p.verticesU.front(), w.valveAt) > 0.25 * unitsPerMetre;
      }
      if (!onPipe) inlets.push_back({g.at(w.valveAt), w.valveAt, -1});
    }
  if (!inlets.empty()) {
    for (int c = 0; c < g.size(); ++c) extra[c] = taken[c] + (reserved[c] ? 1e6f : 0.0f);
    for (const auto& [section, at] : allHeads) g.around(at, clearance, [&](int c) { extra[c] = 1e6f; });
    for (const Terminal& t : inlets) extra[t.cell] = 0;
    std::vector<Root> roots = {{g.at(sourceAt), sourceAt}};
    extra[roots.front().cell] = 0;
    Tree tree;
    if (growTree(g, extra, roots, inlets, tree) >= 0) {
      out.error = pl("Od źródła wody do studzienki zaworów nie da się poprowadzić rury: drogę zamykają budynki albo woda.");
      return out;
    }
    for (std::vector<PointD>& run : pipesOf(g, tree)) {
      out.mainM += lengthOf(run) * metresPerUnit;
      out.pipes.push_back({std::move(run), mainType, kNoSection});
    }
  }
  out.ok = true;
  return out;
}

std::vector<CWBase*> apply(CGraphicPlane& doc, const Result& result) {
  std::vector<CWBase*> added;
  if (!result.ok) return added;
  const double zoom = doc.zoom > 0 ? doc.zoom : 1.0;
  auto pixels = [&](PointD u) {
    return platform::Point{static_cast<int>(std::lround(u.x * zoom)), static_cast<int>(std::lround(u.y * zoom))};
  };
  for (const NewBox& b : result.boxes) {
    auto box = std::make_unique<CWValveBox>();
    box->elem = b.type;
    box->PlaceAt(pixels(b.at), zoom);
    added.push_back(doc.addObject(kTypeValveBox, std::move(box)));
  }
  for (const NewValve& v : result.valves) {
    auto valve = std::make_unique<CWValve>();
    valve->elem = v.type;
    valve->PlaceAt(pixels(v.at), zoom);
    // Where the laterals and the manifold meet it, in plan units.
    valve->posUx = v.at.x;
    valve->posUy = v.at.y;
    valve->SetSectionNo(v.section);
    added.push_back(doc.addObject(kTypeValve, std::move(valve)));
  }
  for (const NewPipe& p : result.pipes) {
    // A run longer than a polyline holds goes on in another pipe.
    size_t from = 0;
    while (from + 1 < p.vertices.size()) {
      auto pipe = std::make_unique<CWPipe>();
      pipe->scale = 1.0 / zoom;
      size_t k = from;
      for (; k < p.vertices.size() && pipe->AddVertexU(p.vertices[k]); ++k) {
      }
      if (p.type) pipe->AssignType(p.type);
      if (p.section != kNoSection) pipe->SetSectionNo(p.section);
      added.push_back(doc.addObject(kTypePipe, std::move(pipe)));
      from = k - 1;
      if (k >= p.vertices.size()) break;
    }
  }
  return added;
}

Piped routeAndSize(CGraphicPlane& doc, const CDBSets* sets, const Options& options, const network::SizingEdits& edits) {
  Piped out;
  out.route = route(doc, sets, options);
  if (!out.route.ok) {
    out.error = out.route.error;
    out.errorObject = out.route.errorObject;
    return out;
  }
  out.added = apply(doc, out.route);
  if (edits.added)
    for (CWBase* o : out.added) edits.added(*o);
  network::SizingOptions sizing;
  sizing.section = options.section;
  sizing.sectionCount = options.sectionCount;
  sizing.allowed = options.allowedPipes;
  out.sizing = network::sizePipes(doc, sets, options.catalogue, sizing);
  if (out.sizing.ok) network::applySizing(doc, out.sizing, edits);
  out.ok = true;
  return out;
}

}  // namespace routing
