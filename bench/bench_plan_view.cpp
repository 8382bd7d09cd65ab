// The plan view on a plan of 20,000 objects with terrain under them: a full
// repaint of a full-HD view with the whole plan in it, and one step of
// panning with the mouse.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <cstdlib>
#include <QPainter>

#include "platform/canvas_qpainter.h"
#include <QScrollBar>

#include "editing/ui/plan_view.h"
#include "platform/folders.h"
#include "tests/support/scene_builder.h"

namespace {

using namespace testing_support;

struct Fixture {
  CGraphicPlane doc;
  CMUndo undo;
  std::unique_ptr<CProjWnd> view;

  Fixture() {
    doc.sourcePressure = 3.0f;
    doc.sourceCapacity = 6.0f;
    CPartix& cat = shippedCatalogue();
    for (int i = 0; doc.objects().size() < 20000; ++i) {
      const Point origin{(i % 28) * 1200, (i / 28) * 900};
      if (i % 4 == 0) addEveryTerrain(doc, origin);
      addEveryObject(doc, cat, origin, i);
    }
    view = std::make_unique<CProjWnd>(doc, undo);
    view->resize(1920 + view->verticalScrollBar()->width(), 1080 + view->horizontalScrollBar()->height());
    view->show();
    // 28 groups of 1200 plan units across 1920 pixels.
    view->applyZoom(0.05);
    view->setScrollOrigin({0, 0});
  }
};

Fixture& fixture() {
  static Fixture* f = new Fixture;
  return *f;
}

void move(QWidget* w, QPoint at, Qt::MouseButtons held) {
  QMouseEvent e(QEvent::MouseMove, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::NoButton, held, {});
  QApplication::sendEvent(w, &e);
}

// The whole plan drawn anew: background, terrain, grid, objects with their
// labels and coverage.
void BM_ViewFullRepaint(benchmark::State& state) {
  Fixture& f = fixture();
  for (auto _ : state) f.view->renderNow();
  // VERDIMO_BENCH_PICTURE=FILE keeps the picture for a look.
  if (const char* out = std::getenv("VERDIMO_BENCH_PICTURE")) f.view->backBuffer().save(out);
  state.counters["objects"] = static_cast<double>(f.doc.objects().size());
}
BENCHMARK(BM_ViewFullRepaint)->Unit(benchmark::kMillisecond);

// The same plan at 100 %, the view on its top-left corner, as a designer works.
void BM_ViewFullRepaintAtFullSize(benchmark::State& state) {
  Fixture& f = fixture();
  f.view->applyZoom(1.0);
  f.view->setScrollOrigin({0, 0});
  for (auto _ : state) f.view->renderNow();
  f.view->applyZoom(0.05);
  f.view->setScrollOrigin({0, 0});
}
BENCHMARK(BM_ViewFullRepaintAtFullSize)->Unit(benchmark::kMillisecond);

// The layers of a repaint one by one.
template <typename Draw>
void drawLayer(benchmark::State& state, Draw draw) {
  Fixture& f = fixture();
  QImage image(1920, 1080, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter painter(&image);
    platform::QPainterCanvas canvas(painter);
    draw(f, canvas);
  }
}
void BM_ViewTerrain(benchmark::State& state) {
  drawLayer(state, [](Fixture& f, platform::Canvas& c) { f.doc.paintTerrain(c); });
}
void BM_ViewGrid(benchmark::State& state) {
  drawLayer(state, [](Fixture& f, platform::Canvas& c) { paintGrid(f.doc, c, f.view->state()); });
}
void BM_ViewObjects(benchmark::State& state) {
  drawLayer(state, [](Fixture& f, platform::Canvas& c) { f.doc.paintObjects(c); });
}
BENCHMARK(BM_ViewTerrain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ViewGrid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ViewObjects)->Unit(benchmark::kMillisecond);

// One mouse move of the pan tool and the repaint it causes.
void BM_ViewPanStep(benchmark::State& state) {
  Fixture& f = fixture();
  QWidget* vp = f.view->viewport();
  f.view->setTool(kToolPan);
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(900, 500), vp->mapToGlobal(QPointF(900, 500)), Qt::LeftButton,
                    Qt::LeftButton, {});
  QApplication::sendEvent(vp, &press);
  QImage screen(vp->size(), QImage::Format_RGB32);
  int i = 0;
  for (auto _ : state) {
    move(vp, QPoint(900 + (i++ % 200), 500), Qt::LeftButton);
    vp->render(&screen);
  }
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(900, 500), vp->mapToGlobal(QPointF(900, 500)),
                      Qt::LeftButton, Qt::NoButton, {});
  QApplication::sendEvent(vp, &release);
  f.view->setTool(0);
}
BENCHMARK(BM_ViewPanStep)->Unit(benchmark::kMillisecond);

// A plan over an aerial photograph of 8000 x 6000 pixels, repainted at the
// zoom of the argument (percent): only the visible part of the photograph
// is drawn, at the screen's resolution.
void BM_ViewBackgroundPhoto(benchmark::State& state) {
  static CGraphicPlane* doc = nullptr;
  static CMUndo* undo = nullptr;
  static CProjWnd* view = nullptr;
  if (!view) {
    doc = new CGraphicPlane;
    undo = new CMUndo;
    doc->hasBackground = 1;
    auto photo = std::make_shared<platform::Image>();
    photo->width = 8000;
    photo->height = 6000;
    photo->pixels.resize(static_cast<size_t>(photo->width) * photo->height);
    for (size_t i = 0; i < photo->pixels.size(); ++i) photo->pixels[i] = 0xFF000000u | static_cast<uint32_t>(i * 2654435761u >> 8);
    view = new CProjWnd(*doc, *undo);
    view->resize(1920 + view->verticalScrollBar()->width(), 1080 + view->horizontalScrollBar()->height());
    view->show();
    view->setBackground(std::move(photo));
  }
  view->applyZoom(state.range(0) / 100.0);
  view->setScrollOrigin({0, 0});
  for (auto _ : state) view->renderNow();
}
BENCHMARK(BM_ViewBackgroundPhoto)->Arg(10)->Arg(100)->Arg(400)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  platform::prepareHeadlessGui();
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
