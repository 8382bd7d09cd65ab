// Drawing a plan of 20,000 mixed objects with labels, flows and coverage
// into a full-HD picture.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>

#include "platform/canvas_qpainter.h"
#include "platform/folders.h"
#include "tests/support/scene_builder.h"

namespace {

using namespace testing_support;

// Groups of every object class, laid out side by side until the plan holds
// 20,000 objects; the groups are 1200 x 900 plan units.
CGraphicPlane& largePlan() {
  static CGraphicPlane* doc = [] {
    auto* d = new CGraphicPlane;
    d->sourcePressure = 3.0f;
    d->sourceCapacity = 6.0f;
    CPartix& cat = shippedCatalogue();
    for (int i = 0; d->objects().size() < 20000; ++i) addEveryObject(*d, cat, {(i % 28) * 1200, (i / 28) * 900}, i);
    d->showFlows = 1;
    return d;
  }();
  return *doc;
}

void drawAt(benchmark::State& state, float zoom) {
  CGraphicPlane& doc = largePlan();
  doc.setZoom(zoom);
  QImage image(1920, 1080, QImage::Format_RGB32);
  for (auto _ : state) {
    image.fill(Qt::white);
    QPainter painter(&image);
    platform::QPainterCanvas canvas(painter);
    doc.paintObjects(canvas);
  }
  state.counters["objects"] = static_cast<double>(doc.objects().size());
}

// The whole plan in the picture: every object visible and small.
void BM_DrawPlanFitted(benchmark::State& state) { drawAt(state, 0.05f); }
// At full size: the picture shows the top-left corner, the rest is clipped.
void BM_DrawPlanFullSize(benchmark::State& state) { drawAt(state, 1.0f); }
BENCHMARK(BM_DrawPlanFitted)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawPlanFullSize)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  platform::prepareHeadlessGui();
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
