#pragma once
// Painting a plan as the plan view shows it: background, terrain, grid,
// objects with their labels, flows and the selection.

#include <string>

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
};

// The grid step in pixels at the document's zoom.
double gridStepPixels(const CGraphicPlane& doc);

// The grid from the canvas's logical origin at the document's zoom, its line
// numbers along the top and left edges of the view.
void paintGrid(CGraphicPlane& doc, platform::Canvas& canvas, const PlanViewState& view);

void paintPlan(CGraphicPlane& doc, platform::Canvas& canvas, const PlanViewState& view);

// The legend of the precipitation map in the view's bottom-left corner.
void paintCoverageLegend(platform::Canvas& canvas, const PlanViewState& view);
// What paintPlan draws under the objects: background, terrain, grid. False
// when the objects are not to be drawn (the print preview covers the plan).
bool paintPlanUnderObjects(CGraphicPlane& doc, platform::Canvas& canvas, const PlanViewState& view);
