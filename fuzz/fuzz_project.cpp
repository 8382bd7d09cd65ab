// Project files "*.prj": opened as the program opens them (the records, the
// project's blocks, an appended background image), analysed for watering
// (with the pipe network's pressures), divided into sections, and drawn
// with the map and the network's overlay at three zooms, saved and opened
// again.

#include <QImage>
#include <QPainter>
#include <cstdint>

#include "document/plan_painter.h"
#include "hydraulics/coverage.h"
#include "hydraulics/network.h"
#include "hydraulics/zoning.h"
#include "hydraulics/pipe_routing.h"
#include "fuzz/fuzz_support.h"
#include "platform/canvas_qpainter.h"
#include "printing/print_job.h"
#include "startup/application.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzing::startProgram();
  return 0;
}

namespace {

void draw(CGraphicPlane& doc) {
  static QImage image(320, 240, QImage::Format_RGB32);
  PlanViewState view;
  view.client = {image.width(), image.height()};
  // The background picture the file carried, decoded as the plan view does.
  const std::shared_ptr<const platform::Image> background = application().background;
  view.background = background.get();
  // The precipitation map of whatever the file holds, on cells coarse enough
  // to keep each input quick.
  CoverageOptions options;
  options.cellM = 0.5;
  options.maxCells = 1 << 20;
  const CoverageResult coverage = analyseCoverage(doc, options);
  CoverageOverlay overlay;
  if (coverage.ok) {
    overlay = makeCoverageOverlay(coverage, "Opad");
    view.coverage = &overlay;
  }
  // Its heads divided into sections (the plan stays as it is).
  const zoning::Result zones = zoning::divide(doc);
  (void)zones;
  // Its heads piped on coarse cells (the plan stays as it is).
  routing::Options piping;
  piping.catalogue = application().catalogue.head;
  piping.cellM = 2.0;
  const routing::Result piped = routing::route(doc, application().sets.get(), piping);
  (void)piped;
  // The pipe network over it.
  const network::Result net = network::analyse(doc, application().sets.get());
  NetworkOverlay pressures;
  if (net.ok) {
    pressures = makeNetworkOverlay(net, doc);
    view.network = &pressures;
  }
  // As the plan view draws: what lies outside the view is left out.
  doc.cullRect = {0, 0, image.width(), image.height()};
  for (float zoom : {0.1f, 1.0f, 15.0f}) {
    doc.setZoom(zoom);
    QPainter painter(&image);
    platform::QPainterCanvas canvas(painter);
    paintPlan(doc, canvas, view);
  }
  doc.cullRect = {};
  doc.setZoom(1.0f);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzzing::writeScratch("fuzzed.prj", data, size);
  if (openProject(path).ok) {
    draw(*application().document);
    const std::string again = fuzzing::scratchDir() + "/again.prj";
    if (saveOpenProject(again).ok && openProject(again).ok) draw(*application().document);
  }
  closeProject();
  return 0;
}
