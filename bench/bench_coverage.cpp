// The watering analysis of a plan of 2,000 heads of every kind on 0.25 m
// cells, and of the sample-sized plan of one group.

#include <benchmark/benchmark.h>

#include "document/graphic_plane.h"
#include "hydraulics/coverage.h"
#include "tests/support/scene_builder.h"

namespace {

using namespace testing_support;

bool waters(const CWBase& o) {
  switch (o.GetType()) {
    case kTypeSprinkler:
    case kTypeStaticSprinkler:
    case kTypeMicroSprinkler:
    case kTypeMicroHadar:
    case kTypeRws:
    case kTypeDripline:
      return true;
    default:
      return false;
  }
}

int headCount(const CGraphicPlane& doc) {
  int n = 0;
  for (const auto& o : doc.objects()) n += waters(*o);
  return n;
}

// Groups of every terrain and every object, 40 to a row, until `heads`.
CGraphicPlane* planOf(int heads) {
  auto* d = new CGraphicPlane;
  d->sourcePressure = 3.0f;
  CPartix& cat = shippedCatalogue();
  for (int i = 0; headCount(*d) < heads; ++i) {
    const Point origin{(i % 40) * 1200, (i / 40) * 900};
    addEveryTerrain(*d, origin);
    addEveryObject(*d, cat, origin, i);
  }
  return d;
}

void BM_Coverage(benchmark::State& state) {
  static CGraphicPlane* large = planOf(2000);
  static CGraphicPlane* small = planOf(1);
  CGraphicPlane& doc = state.range(0) > 1 ? *large : *small;
  CoverageResult r;
  for (auto _ : state) {
    r = analyseCoverage(doc);
    benchmark::DoNotOptimize(r.system.meanMmH);
  }
  state.counters["heads"] = r.system.heads;
  state.counters["cells"] = static_cast<double>(r.cols) * r.rows;
}
BENCHMARK(BM_Coverage)->Arg(1)->Arg(2000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
