#include "document/plan_painter.h"

#include <algorithm>
#include <cmath>
#include <string>

double gridStepPixels(const CGraphicPlane& doc) {
  // Single precision, as the grid keeps its step: 2 m at 1:200 is exactly 29.
  return doc.gridStep / doc.scaleDenominator * (doc.pixelsPerCm * 100.0f) * static_cast<float>(doc.zoom);
}

void paintGrid(CGraphicPlane& doc, platform::Canvas& c, const PlanViewState& view) {
  const AppSettings& s = app().settings;
  const double step = gridStepPixels(doc);
  if (!(step > 0) || !std::isfinite(step)) return;
  const int lines = 500;
  const int extent = static_cast<int>(std::min(step * lines, 2.0e9));
  platform::CanvasStateSaver keep(c);
  c.setPen(platform::Pen::solid(s.gridColour, 1));
  // On the screen lines closer than 4 pixels would only grey the plan over:
  // then every 2nd, 5th, 10th, 20th ... line is drawn.
  int every = 1;
  if (!doc.printing)
    for (int k : {2, 5, 10, 20, 50, 100})
      if (step * every < 4) every = k;
  for (int i = 0; i < lines; i += every) {
    const int at = static_cast<int>(i * step);
    c.line({at, 0}, {at, extent});
    c.line({0, at}, {extent, at});
  }
  // A4 and A3 sheets at the drawing scale.
  c.setPen(platform::Pen::solid(s.gridColour, 2));
  const double z = doc.zoom, ppc = doc.pixelsPerCm;
  for (double w : {29.7, 42.0}) c.line({static_cast<int>(ppc * w * z), 0}, {static_cast<int>(ppc * w * z), extent});
  for (double h : {21.0, 29.7}) c.line({0, static_cast<int>(ppc * h * z)}, {extent, static_cast<int>(ppc * h * z)});
  // Line numbers along the top and left edges of the view.
  platform::Font font;
  font.face = "Tahoma";
  font.height = 8;
  font.weight = 700;
  c.setFont(font);
  c.setTextColour(platform::rgb(100, 100, 100));
  c.setBackgroundColour(s.backgroundColour);
  c.setOpaqueBackground(true);
  const int top = -view.scroll.y, left = -view.scroll.x;
  // Where the lines stand closer than a number is wide (or high), only
  // every k-th is numbered, so that the numbers stay readable.
  // Only drawn lines are numbered.
  auto numbered = [&](double room) {
    const int k = std::max(1, static_cast<int>(std::ceil(room / step)));
    return (k + every - 1) / every * every;
  };
  const int everyX = numbered(20.0), everyY = numbered(11.0);
  for (int i = 0; i < lines; ++i) {
    const int at = static_cast<int>(i * step);
    if (i % everyX != 0 && i % everyY != 0) continue;
    const std::string number = std::to_string(i);
    if (i % everyX == 0) c.text({at + 1, top}, number);
    if (i % everyY == 0) c.text({left, at + 1}, number);
  }
}

bool paintPlanUnderObjects(CGraphicPlane& doc, platform::Canvas& canvas, const PlanViewState& view) {
  const Colour background = app().settings.backgroundColour;
  canvas.setViewportOrigin(view.scroll);
  const platform::Rect client{-view.scroll.x, -view.scroll.y, -view.scroll.x + view.client.cx,
                              -view.scroll.y + view.client.cy};
  if (view.printPreviewVisible) {
    canvas.fillRect(client, 0xFFFFFF);
    return false;
  }
  canvas.fillRect(client, background);
  if (doc.hasBackground && view.background && !view.hideBackground && view.background->width > 0) {
    const double z = doc.zoom;
    const platform::Rect source{static_cast<int>(std::floor(-view.scroll.x / z)),
                                static_cast<int>(std::floor(-view.scroll.y / z)),
                                static_cast<int>(std::floor(-view.scroll.x / z)) + static_cast<int>(view.client.cx / z),
                                static_cast<int>(std::floor(-view.scroll.y / z)) + static_cast<int>(view.client.cy / z)};
    canvas.drawImage(client, *view.background, source);
  }
  doc.viewOrgX = view.scroll.x;
  doc.viewOrgY = view.scroll.y;
  doc.paintTerrain(canvas);
  if (view.gridShown) paintGrid(doc, canvas, view);
  return true;
}

void paintPlan(CGraphicPlane& doc, platform::Canvas& canvas, const PlanViewState& view) {
  if (paintPlanUnderObjects(doc, canvas, view)) doc.paintObjects(canvas);
}
