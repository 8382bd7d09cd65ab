#include "document/plan_painter.h"

#include <functional>
#include <map>
#include <tuple>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "hydraulics/coverage.h"
#include "hydraulics/network.h"
#include "objects/polylines.h"
#include "platform/numtext.h"
#include "platform/textcodec.h"

double gridStepPixels(const CGraphicPlane& doc) {
  // Single precision, as the grid keeps its step: 2 m at 1:200 is exactly 29.
  return doc.gridStep / doc.scaleDenominator * (doc.pixelsPerCm * 100.0f) * static_cast<float>(doc.zoom);
}

void paintGrid(CGraphicPlane& doc, platform::Canvas& c, const PlanViewState& view) {
  const AppSettings& s = app().settings;
  const double step = gridStepPixels(doc);
  if (!(step > 0) || !std::isfinite(step)) return;
  const int lines = 500;
  // A damaged grid step or scale may put lines beyond what a device takes.
  const auto held = [](double v) { return static_cast<int>(std::clamp(v, -2.0e9, 2.0e9)); };
  const int extent = held(step * lines);
  platform::CanvasStateSaver keep(c);
  c.setPen(platform::Pen::solid(s.gridColour, 1));
  // On the screen lines closer than 4 pixels would only grey the plan over:
  // then every 2nd, 5th, 10th, 20th ... line is drawn.
  int every = 1;
  if (!doc.printing)
    for (int k : {2, 5, 10, 20, 50, 100})
      if (step * every < 4) every = k;
  for (int i = 0; i < lines; i += every) {
    const int at = held(i * step);
    c.line({at, 0}, {at, extent});
    c.line({0, at}, {extent, at});
  }
  // A4 and A3 sheets at the drawing scale.
  c.setPen(platform::Pen::solid(s.gridColour, 2));
  const double z = doc.zoom, ppc = doc.pixelsPerCm;
  for (double w : {29.7, 42.0}) c.line({held(ppc * w * z), 0}, {held(ppc * w * z), extent});
  for (double h : {21.0, 29.7}) c.line({0, held(ppc * h * z)}, {extent, held(ppc * h * z)});
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
    const int k = std::max(1, static_cast<int>(std::min(std::ceil(room / step), 1.0e6)));
    return (k + every - 1) / every * every;
  };
  const int everyX = numbered(20.0), everyY = numbered(11.0);
  for (int i = 0; i < lines; ++i) {
    const int at = held(i * step);
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
  if (view.coverage && view.coverage->map.width > 0) {
    // Over the terrain, under the grid and the system.
    const CoverageOverlay& m = *view.coverage;
    const double z = doc.zoom;
    const auto px = [z](double u) { return static_cast<int>(std::lround(std::clamp(u * z, -2.0e9, 2.0e9))); };
    const platform::Rect dest{px(m.originX), px(m.originY), px(m.originX + m.map.width * m.cellU),
                              px(m.originY + m.map.height * m.cellU)};
    canvas.drawImage(dest, m.map, {0, 0, m.map.width, m.map.height});
  }
  if (view.gridShown) paintGrid(doc, canvas, view);
  return true;
}

void paintPlan(CGraphicPlane& doc, platform::Canvas& canvas, const PlanViewState& view) {
  if (!paintPlanUnderObjects(doc, canvas, view)) return;
  doc.paintObjects(canvas);
  if (view.network) paintNetworkOverlay(doc, canvas, *view.network);
  paintCoverageLegend(canvas, view);
}

CoverageOverlay makeCoverageOverlay(const CoverageResult& r, const std::string& title) {
  CoverageOverlay o;
  o.title = title;
  o.originX = r.originX;
  o.originY = r.originY;
  o.cellU = r.cellU;
  o.scaleTop = coverageScaleTop(r);
  o.map.width = r.cols;
  o.map.height = r.rows;
  o.map.alpha = true;
  const std::vector<unsigned> px = coverageMapPixels(r, o.scaleTop);
  o.map.pixels.assign(px.begin(), px.end());
  return o;
}

NetworkOverlay makeNetworkOverlay(const network::Result& r, const CGraphicPlane& doc) {
  NetworkOverlay o;
  const auto& objects = doc.objects();
  const double metresPerUnit = doc.scaleDenominator / (100.0 * doc.pixelsPerCm);
  // Each stretch at the fastest any section drives it.
  std::map<std::tuple<int, int, long long>, size_t> stretch;
  bool first = true;
  for (const network::SectionResult& s : r.sections) {
    if (!s.solved) continue;
    for (const network::PipeResult& p : s.pipes) {
      if (p.object < 0 || p.object >= static_cast<int>(objects.size())) continue;
      const auto* line = dynamic_cast<const CWPolyline*>(objects[p.object].get());
      if (!line || p.segment + 1 >= static_cast<int>(line->verticesU.size())) continue;
      const PointD a = line->verticesU[p.segment], b = line->verticesU[p.segment + 1];
      const double segM = std::hypot(b.x - a.x, b.y - a.y) * metresPerUnit;
      if (!(segM > 0)) continue;
      const double t0 = p.offsetM / segM, t1 = (p.offsetM + p.lengthM) / segM;
      const auto key = std::make_tuple(p.object, p.segment, std::llround(p.offsetM * 1000));
      auto [it, fresh] = stretch.emplace(key, o.strokes.size());
      if (fresh)
        o.strokes.push_back({{a.x + t0 * (b.x - a.x), a.y + t0 * (b.y - a.y)},
                             {a.x + t1 * (b.x - a.x), a.y + t1 * (b.y - a.y)},
                             p.velocityMS});
      else
        o.strokes[it->second].velocityMS = std::max(o.strokes[it->second].velocityMS, p.velocityMS);
    }
    for (const network::HeadResult& h : s.heads) {
      if (h.object < 0 || h.object >= static_cast<int>(objects.size())) continue;
      const CWBase& head = *objects[h.object];
      PointD at{};
      if (const auto* line = dynamic_cast<const CWPolyline*>(&head)) {
        if (line->verticesU.empty()) continue;
        at = line->verticesU.front();
      } else {
        at = network::placeOf(head);
      }
      o.dots.push_back({at, h.pressureAtm, h.belowTable});
      o.lowAtm = first ? h.pressureAtm : std::min(o.lowAtm, h.pressureAtm);
      o.highAtm = first ? h.pressureAtm : std::max(o.highAtm, h.pressureAtm);
      first = false;
    }
  }
  return o;
}

namespace {

platform::Colour scaleColour(double t) {
  const unsigned c = coverageScaleColour(std::clamp(t, 0.0, 1.0));
  return platform::rgb((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
}

platform::Colour warningColour() {
  const unsigned c = kCoverageDryColour;
  return platform::rgb((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
}

double pressureShare(const NetworkOverlay& o, double p) {
  return o.highAtm > o.lowAtm ? (p - o.lowAtm) / (o.highAtm - o.lowAtm) : 1.0;
}

}  // namespace

void paintNetworkOverlay(const CGraphicPlane& doc, platform::Canvas& c, const NetworkOverlay& o) {
  platform::CanvasStateSaver keep(c);
  const double z = doc.zoom;
  const auto px = [z](const PointD& u) {
    return platform::Point{static_cast<int>(std::lround(std::clamp(u.x * z, -2.0e9, 2.0e9))),
                           static_cast<int>(std::lround(std::clamp(u.y * z, -2.0e9, 2.0e9)))};
  };
  for (const NetworkOverlay::Stroke& s : o.strokes) {
    const bool fast = s.velocityMS > network::kMaxVelocityMS;
    c.setPen(platform::Pen::solid(fast ? warningColour() : scaleColour(s.velocityMS / network::kMaxVelocityMS), 5));
    c.line(px(s.a), px(s.b));
  }
  c.setPen(platform::Pen::solid(platform::rgb(40, 40, 40), 1));
  for (const NetworkOverlay::Dot& d : o.dots) {
    const platform::Point p = px(d.at);
    c.setBrush(platform::Brush::solid(d.belowTable ? warningColour() : scaleColour(pressureShare(o, d.pressureAtm))));
    c.ellipse({p.x - 6, p.y - 6, p.x + 7, p.y + 7});
  }
}

namespace {


// A legend's box at (x, y): a title, the colour bar with five ticks named
// by `tick`, the unit under it and a swatch of the warning colour with its
// name (texts in UTF-8).
void paintLegendBox(platform::Canvas& c, int x, int y, const std::string& title,
                    const std::function<std::string(int)>& tick, const std::string& unit, const std::string& warning) {
  const int w = 250, h = 74;
  c.setPen(platform::Pen::solid(platform::rgb(120, 120, 120)));
  c.setBrush(platform::Brush::solid(platform::rgb(255, 255, 255)));
  c.rectangle({x, y, x + w, y + h});
  platform::Font font;
  font.face = "Arial";
  font.height = 13;
  font.weight = 700;
  c.setFont(font);
  c.setOpaqueBackground(false);
  c.setTextColour(platform::rgb(30, 30, 30));
  c.text({x + 8, y + 5}, platform::utf8ToCp1250(title));
  // The colour bar, from the bottom to the top of the scale.
  const int bx = x + 8, by = y + 24, bw = 190, bh = 14;
  for (int i = 0; i < bw; ++i) c.fillRect({bx + i, by, bx + i + 1, by + bh}, scaleColour(static_cast<double>(i) / (bw - 1)));
  const int dx = bx + bw + 10;
  c.fillRect({dx, by, dx + 30, by + bh}, warningColour());
  font.weight = 400;
  font.height = 12;
  c.setFont(font);
  for (int k = 0; k <= 4; ++k) {
    const int tx = bx + k * (bw - 1) / 4;
    c.line({tx, by + bh}, {tx, by + bh + 3});
    const std::string t = tick(k);
    const int tw = c.textExtent(t).cx;
    c.text({std::clamp(tx - tw / 2, bx - 4, bx + bw - tw + 4), by + bh + 4}, t);
  }
  c.text({bx, by + bh + 20}, platform::utf8ToCp1250(unit));
  c.text({dx - 2, by + bh + 4}, platform::utf8ToCp1250(warning));
}

}  // namespace

void paintCoverageLegend(platform::Canvas& c, const PlanViewState& view) {
  if (view.network) {
    platform::CanvasStateSaver keep(c);
    c.setViewportOrigin({0, 0});
    const NetworkOverlay& n = *view.network;
    // Above the precipitation map's legend when both are shown.
    int y = view.client.cy - 74 - 12 - (74 + 8) - (view.coverage ? 74 + 8 : 0);
    if (y >= 0) {
      const auto span = [](double low, double high) {
        return [low, high](int k) { return platform::formatFixedComma(low + (high - low) * k / 4.0, 2); };
      };
      paintLegendBox(c, 12, y, "Ciśnienie głowic", span(n.lowAtm, n.highAtm), "atm", "< tabeli");
      y += 74 + 8;
      paintLegendBox(c, 12, y, "Prędkość wody w rurach", span(0, network::kMaxVelocityMS), "m/s", "> 1,5");
    }
  }
  if (!view.coverage) return;
  const CoverageOverlay& m = *view.coverage;
  platform::CanvasStateSaver keep(c);
  // In view pixels, whatever the scroll.
  c.setViewportOrigin({0, 0});
  const int y = view.client.cy - 74 - 12;
  if (y < 0) return;
  // From dry to the top of the scale.
  const auto tick = [&m](int k) {
    const double v = m.scaleTop * k / 4.0;
    char text[32];
    std::snprintf(text, sizeof text, v < 10 && v != std::floor(v) ? "%.1f" : "%.0f", v);
    std::string s = text;
    std::replace(s.begin(), s.end(), '.', ',');
    return s;
  };
  paintLegendBox(c, 12, y, m.title, tick, "mm/h", "sucho");
}
