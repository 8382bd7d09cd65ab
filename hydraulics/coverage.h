#pragma once
// The watering analysis: what every head puts on the ground, gathered on a
// grid of square cells over the plan, and what that means for the areas
// meant to be watered: precipitation (mm/h), its uniformity, water thrown
// where it is not wanted, and how long each section must run.
//
// Heads and their application profiles (the share of a head's flow that
// lands at a distance from it; every profile is scaled so that the cells it
// covers receive exactly the head's flow):
//   rotary sprinklers and rotary nozzles   triangular: the rate falls linearly
//                                          from the head to zero at the edge
//                                          of the throw, the classic rotor
//                                          profile of head-to-head design
//   spray nozzles, micro-sprinklers, HADAR flat-topped: even to 60 % of the
//                                          radius, then falling linearly to
//                                          zero at the edge (a trapezoid)
//   strip nozzles                          even over the strip with edges
//                                          falling off over 15 % of its width
//                                          and length
//   RWS units                              even over their root zone
//   drip lines                             an even band along the line, as
//                                          wide as the emitter spacing (at
//                                          least 0.3 m)
// Target cells are those whose centre lies in a lawn, flower bed, trees and
// shrubs, hedge or "Inne" area and not in a building, paving or water drawn
// over it (the last area drawn at a point decides).

#include <string>
#include <vector>

class CGraphicPlane;

struct CoverageOptions {
  double cellM = 0.25;   // cell side, metres on the ground
  double depthMm = 25;   // target depth per week
  int runs = 3;          // runs per week the depth is split into
  // Which precipitation the result keeps for a map: -1 the whole system,
  // else the 0-based section.
  int mapSection = -1;
  // A plan that needs more cells is refused.
  long maxCells = 25'000'000;
  // Each head joined to the source by pipes works at the pressure the pipe
  // network gives it in its section (its throw and flow follow); the others,
  // and every head when this is off, at the pressure they were chosen at.
  bool networkPressure = true;
};

// The limits of the options; an analysis outside them is refused.
inline constexpr double kCoverageMinCellM = 0.05;
inline constexpr double kCoverageMaxCellM = 5.0;

struct CoverageFigures {
  int section = -1;              // 0-based; -1 for the whole system
  int heads = 0;
  double flowM3H = 0;            // what the heads deliver
  double appliedM3H = 0;         // what lands on target cells
  double thrownOutsideM3H = 0;   // what lands elsewhere
  double wateredAreaM2 = 0;      // target cells receiving water
  double meanMmH = 0, minMmH = 0, maxMmH = 0;  // over the watered cells
  double cu = 0;                 // Christiansen's uniformity coefficient, %
  double duLq = 0;               // low-quarter distribution uniformity, %
  double runTimeMin = 0;         // per run, for the target depth
};

struct CoverageResult {
  bool ok = true;
  std::string error;  // why the analysis was refused (UTF-8)
  double cellM = 0;
  double targetAreaM2 = 0;
  double dryAreaM2 = 0;  // target cells no head reaches
  CoverageFigures system;
  std::vector<CoverageFigures> sections;  // ascending, those with heads

  // The grid: `cols` x `rows` cells of `cellU` plan units from (originX,
  // originY), rows top-down.
  int cols = 0, rows = 0;
  double originX = 0, originY = 0, cellU = 0;
  std::vector<unsigned char> target;  // 1 where a cell is meant to be watered
  std::vector<float> mapMmH;          // the precipitation of options.mapSection
};

CoverageResult analyseCoverage(const CGraphicPlane& doc, const CoverageOptions& options = {});

class CPrimitive;
struct PointD;
// The outline of a closed terrain primitive in plan units, a circle or an
// ellipse by `segments` points; empty for what encloses nothing.
std::vector<PointD> terrainPolygon(const CPrimitive& p, int segments = 64);
// Whether `p` lies inside `polygon` (even-odd rule).
bool insidePolygon(const std::vector<PointD>& polygon, PointD p);
// Whether a primitive's surface is meant to be watered (lawn, flowers, trees
// and shrubs, hedge, "Inne").
bool isWateredSurface(const CPrimitive& p);

// A digest of everything the analysis reads from the plan (heads, the areas,
// the drawing scale), so that a map is made again only after a change.
unsigned long long coverageFingerprint(const CGraphicPlane& doc);

// The run time (minutes per run) for `depthMm` a week in `runs` runs at the
// mean rate, lengthened by the scheduling multiplier of landscape irrigation
// practice, 1 / (0.4 + 0.6 x DU_lq), so that the drier parts get enough
// without drowning the rest. 0 when nothing is applied.
double runTimeMinutes(double meanMmH, double duLqPercent, double depthMm, int runs);

// --- the map ---------------------------------------------------------------

// A colour of the perceptually uniform scale (viridis) for t in 0..1, as
// 0xRRGGBB.
unsigned coverageScaleColour(double t);
// The colour that marks a dry target cell.
inline constexpr unsigned kCoverageDryColour = 0xE4572E;

// The top of the map's colour scale: a round value at or above 90 % of the
// watered cells (so that a few very wet spots, such as root watering units,
// do not wash the map out; those show in the top colour).
double coverageScaleTop(const CoverageResult& r);

// The map as a picture of one pixel per cell, rows top-down, 0xAARRGGBB:
// target cells on the colour scale (dry ones in the dry colour), other wet
// cells faintly, the rest transparent.
std::vector<unsigned> coverageMapPixels(const CoverageResult& r, double scaleTop);
