#pragma once
// Painting a plan as the plan view shows it: background, terrain, grid,
// objects with their labels, flows and the selection.

#include <string>
#include <vector>

#include "document/graphic_plane.h"
#include "platform/canvas.h"

// The precipitation map laid over the terrain: one pixel per cell of
// `cellU` plan units from (originX, originY), with its legend.
struct CoverageOverlay {
  platform::Image map;  // with alpha
  double originX = 0, originY = 0, cellU = 1;
  double scaleTop = 10;  // mm/h at the top of the colour scale
  std::string title;     // UTF-8, e.g. "Opad: wszystkie sekcje"
};

struct CoverageResult;
// The overlay of an analysis's map.
CoverageOverlay makeCoverageOverlay(const CoverageResult& r, const std::string& title);

// The pipe network laid over the plan: each stretch of pipe in the colour
// of its water's velocity, each head in that of its pressure (the colours of
// the precipitation map; what is out of bounds in its warning colour).
struct NetworkOverlay {
  struct Stroke {
    PointD a, b;  // plan units
    double velocityMS = 0;
  };
  struct Dot {
    PointD at;
    double pressureAtm = 0;
    bool belowTable = false;
  };
  std::vector<Stroke> strokes;
  std::vector<Dot> dots;
  double lowAtm = 0, highAtm = 0;  // the heads' pressures the scale spans
};

namespace network {
struct Result;
}
// The overlay of a network's solve: every section, each head in its own,
// each stretch of pipe at its fastest.
NetworkOverlay makeNetworkOverlay(const network::Result& r, const CGraphicPlane& doc);
// Draws it over the objects.
void paintNetworkOverlay(const CGraphicPlane& doc, platform::Canvas& canvas, const NetworkOverlay& overlay);

// The display switches the plan view owns, and what painting needs of it.
struct PlanViewState {
  int gridShown = 1;
  int hideBackground = 0;
  int snapToGrid = 0;
  int editFilter = 0;  // 0 "Wszystko", 1 "Teren", 2 "System"
  int printPreviewVisible = 0;
  platform::Point scroll;     // the view's scroll offset (logical origin on the device)
  platform::Size client;      // the client area in pixels
  const platform::Image* background = nullptr;  // the loaded background image
  const CoverageOverlay* coverage = nullptr;     // the precipitation map, when shown
  const NetworkOverlay* network = nullptr;       // the pressures of the pipe network, when shown
};

// The grid step in pixels at the document's zoom.
double gridStepPixels(const CGraphicPlane& doc);

// The grid from the canvas's logical origin at the document's zoom, its line
// numbers along the top and left edges of the view.
void paintGrid(CGraphicPlane& doc, platform::Canvas& canvas, const PlanViewState& view);

void paintPlan(CGraphicPlane& doc, platform::Canvas& canvas, const PlanViewState& view);

// The legends of the precipitation map and of the network's pressures in
// the view's bottom-left corner.
void paintCoverageLegend(platform::Canvas& canvas, const PlanViewState& view);
// What paintPlan draws under the objects: background, terrain, grid. False
// when the objects are not to be drawn (the print preview covers the plan).
bool paintPlanUnderObjects(CGraphicPlane& doc, platform::Canvas& canvas, const PlanViewState& view);
