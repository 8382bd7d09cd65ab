// The pipe network of a plan of 2,000 heads on 5,000 pipe segments in 20
// sections: recognised and solved section by section; and the same heads
// divided into sections anew.

#include <benchmark/benchmark.h>

#include <cmath>

#include "document/graphic_plane.h"
#include "hydraulics/network.h"
#include "hydraulics/zoning.h"
#include "hydraulics/head_layout.h"
#include "hydraulics/pipe_routing.h"
#include "hydraulics/auto_design.h"
#include "sections/section_list.h"
#include "document/terrain.h"
#include "objects/polylines.h"
#include "objects/sprinkler.h"
#include "objects/symbols.h"
#include "partix.h"
#include "platform/recording_canvas.h"
#include "tests/support/scene_builder.h"

namespace {

using namespace testing_support;

constexpr double kU = 29.0;  // plan units a metre at 1:100

// The catalogue pipe nearest `mm` inside.
CElem* pipeOf(double mm) {
  CElem* best = nullptr;
  double d = 1e9;
  for (CElem* e = shippedCatalogue().head; e; e = e->next)
    if (e->kind == kKindPipe && e->data && !e->archived) {
      const double inner = static_cast<const CRura*>(e->data)->innerDiameter;
      if (std::abs(inner - mm) < d) best = e, d = std::abs(inner - mm);
    }
  return best;
}

void addPipe(CGraphicPlane& doc, const std::vector<PointD>& metres, CElem* type) {
  auto p = std::make_unique<CWPipe>();
  for (PointD m : metres) p->AddVertexU({m.x * kU, m.y * kU});
  p->Rescale(1.0f);
  p->AssignType(type);
  doc.addObject(kTypePipe, std::move(p));
}

Point at(double x, double y) { return {static_cast<int>(std::lround(x * kU)), static_cast<int>(std::lround(y * kU))}; }

// A header along the top with a valve for each section; under each valve a
// sub-main of 10 segments and 10 laterals of 24 segments, 10 heads on each.
CGraphicPlane* plan() {
  static platform::RecordingCanvas scratch;
  auto* doc = new CGraphicPlane;
  doc->sourcePressure = 4.0f;
  doc->hasWaterSource = 1;
  CPartix& cat = shippedCatalogue();
  auto source = std::make_unique<CWValve>();
  source->dc = &scratch;
  source->PlaceAt(at(0, 0), 1.0);
  source->SetWaterSource(1);
  doc->addObject(kTypeValve, std::move(source));
  std::vector<PointD> header;
  for (int i = 0; i <= 20; ++i) header.push_back({10.0 * i, 0});
  addPipe(*doc, header, pipeOf(63));
  CElem* body = firstOfKind(cat, kKindSprinkler);
  for (int s = 0; s < 20; ++s) {
    const double x0 = 10.0 * s + 5;
    auto v = std::make_unique<CWValve>();
    v->dc = &scratch;
    v->elem = firstOfKind(cat, kKindValve);
    v->PlaceAt(at(x0, 0), 1.0);
    v->SetSectionNo(s);
    doc->addObject(kTypeValve, std::move(v));
    std::vector<PointD> sub;
    for (int j = 0; j <= 10; ++j) sub.push_back({x0, 5.0 * j});
    addPipe(*doc, sub, pipeOf(40));
    for (int j = 1; j <= 10; ++j) {
      std::vector<PointD> lateral;
      for (int k = 0; k <= 24; ++k) lateral.push_back({x0 + 0.3 * k, 5.0 * j});
      addPipe(*doc, lateral, pipeOf(25));
      for (int k = 2; k <= 20; k += 2) {
        auto h = std::make_unique<CWSprinkler>();
        h->elem = body;
        h->nozzleNo = 0;
        h->dc = &scratch;
        h->PlaceAt(at(x0 + 0.3 * k, 5.0 * j), 1.0f, doc->scaleDenominator, doc->pixelsPerCm, doc->sourcePressure);
        h->SetSectionNo(s);
        doc->addObject(kTypeSprinkler, std::move(h));
      }
    }
  }
  return doc;
}

void BM_Network(benchmark::State& state) {
  static CGraphicPlane* doc = plan();
  network::Result r;
  network::Options o;
  o.sectionCount = 20;
  for (auto _ : state) {
    r = network::analyse(*doc, nullptr, o);
    benchmark::DoNotOptimize(r.sections.size());
  }
  int heads = 0, pipes = 0, iterations = 0;
  for (const auto& s : r.sections) heads += static_cast<int>(s.heads.size()), pipes += static_cast<int>(s.pipes.size()),
                                   iterations = std::max(iterations, s.iterations);
  state.counters["heads"] = heads;
  state.counters["sectionPieces"] = pipes;
  state.counters["maxIterations"] = iterations;
  state.counters["unconnected"] = static_cast<double>(r.unconnected.size());
}
BENCHMARK(BM_Network)->Unit(benchmark::kMillisecond);

void BM_Zoning(benchmark::State& state) {
  static CGraphicPlane* doc = plan();
  doc->sourceCapacity = 20.0f;
  zoning::Result r;
  for (auto _ : state) {
    r = zoning::divide(*doc);
    benchmark::DoNotOptimize(r.sections.size());
  }
  state.counters["sections"] = static_cast<double>(r.sections.size());
}
BENCHMARK(BM_Zoning)->Unit(benchmark::kMillisecond);

// Sprinklers laid out on a 40 x 25 m lawn (1,000 m2): rotors of the first
// rotary body, or static sprays with adjustable nozzles.
void layOutLawn(benchmark::State& state, bool sprays) {
  static platform::RecordingCanvas scratch;
  CGraphicPlane doc;
  doc.sourcePressure = 3.5f;
  auto lawn = std::make_unique<CRectn>();
  lawn->dc = &scratch;
  lawn->SetFillKind(kFillLawn);
  lawn->BeginCreate(at(0, 0));
  lawn->EndCreate(at(40, 25));
  const CPrimitive* area = doc.addPrimitive(kTerrainRectangle, std::move(lawn));
  layout::Options o;
  o.catalogue = shippedCatalogue().head;
  o.nozzleKind = layout::NozzleKind::Adjustable;
  for (CElem* e = shippedCatalogue().head; e && !o.body; e = e->next) {
    if (!e->data || e->archived) continue;
    if (sprays ? e->kind == kKindStaticBody
               : e->kind == kKindSprinkler && !static_cast<const CDBSprinkler*>(e->data)->fullCircle)
      o.body = e;
  }
  layout::Result r;
  for (auto _ : state) {
    r = layout::layOut(doc, *area, o);
    benchmark::DoNotOptimize(r.heads.size());
  }
  state.counters["heads"] = static_cast<double>(r.heads.size());
  state.counters["cu"] = r.figures.cu;
}
void BM_Layout(benchmark::State& state) { layOutLawn(state, false); }
BENCHMARK(BM_Layout)->Unit(benchmark::kMillisecond);
void BM_LayoutSprays(benchmark::State& state) { layOutLawn(state, true); }
BENCHMARK(BM_LayoutSprays)->Unit(benchmark::kMillisecond);

// A 2,000 m2 garden of five lawns round a house, with its source; the lawns
// come back.
std::vector<const CPrimitive*> siteOf(CGraphicPlane& doc) {
  doc.sourcePressure = 3.5f;
  doc.sourceCapacity = 4.0f;
  doc.hasWaterSource = 1;
  auto rect = [&](int fill, double x0, double y0, double x1, double y1) { return addRectangle(doc, fill, x0, y0, x1, y1); };
  rect(kFillBuilding, 20, 14, 34, 26);
  std::vector<const CPrimitive*> lawns = {rect(kFillLawn, 0, 0, 30, 12), rect(kFillLawn, 32, 0, 60, 12),
                                          rect(kFillLawn, 0, 14, 18, 40), rect(kFillLawn, 36, 14, 60, 40),
                                          rect(kFillLawn, 20, 28, 34, 40)};
  auto source = std::make_unique<CWValve>();
  source->PlaceAt(at(27, 27), 1.0);
  source->SetWaterSource(1);
  doc.addObject(kTypeValve, std::move(source));
  return lawns;
}

CElem* staticBody() {
  for (CElem* e = shippedCatalogue().head; e; e = e->next)
    if (e->data && !e->archived && e->kind == kKindStaticBody) return e;
  return nullptr;
}

// The garden laid out with rotary nozzles and divided into sections, then
// piped: valves, laterals and the main routed (the plan is not changed, so
// every iteration routes it whole).
void BM_Route(benchmark::State& state) {
  CGraphicPlane doc;
  double area = 0;
  for (const CPrimitive* lawn : siteOf(doc)) {
    layout::Options o;
    o.body = staticBody();
    o.catalogue = shippedCatalogue().head;
    o.nozzleKind = layout::NozzleKind::Rotary;
    const layout::Result r = layout::layOut(doc, *lawn, o);
    area += r.areaM2;
    layout::place(doc, r, o);
  }
  CSectionList sections;
  zoning::apply(doc, sections, zoning::divide(doc), [](CWBase&) {});
  routing::Options o;
  o.catalogue = shippedCatalogue().head;
  o.sectionCount = sections.count();
  routing::Result r;
  for (auto _ : state) {
    r = routing::route(doc, nullptr, o);
    benchmark::DoNotOptimize(r.pipes.size());
  }
  state.counters["areaM2"] = area;
  state.counters["sections"] = static_cast<double>(r.sections.size());
  state.counters["pipes"] = static_cast<double>(r.pipes.size());
  state.counters["ok"] = r.ok;
}
BENCHMARK(BM_Route)->Unit(benchmark::kMillisecond);

// The same garden designed end to end from its five lawns: layout, sections,
// pipes, sizes, the analysis and the estimate.
void BM_Design(benchmark::State& state) {
  CGraphicPlane doc;
  design::Options o;
  o.areas = siteOf(doc);
  o.layout.body = staticBody();
  o.layout.catalogue = shippedCatalogue().head;
  o.layout.nozzleKind = layout::NozzleKind::Rotary;
  o.routing.catalogue = shippedCatalogue().head;
  CSectionList sections;
  design::Result r;
  for (auto _ : state) {
    r = design::plan(doc, sections, nullptr, o);
    benchmark::DoNotOptimize(r.heads);
  }
  state.counters["heads"] = r.heads;
  state.counters["ok"] = r.ok;
}
BENCHMARK(BM_Design)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
