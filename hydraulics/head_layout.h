#pragma once
// Laying rotary sprinklers out in an area. The method, deterministic:
//  - the area's outline (a circle or an ellipse as a polygon) is walked: a
//    head on every corner sharper than 25 degrees with the arc of the
//    corner's interior angle, heads along each run between corners at even
//    spacing no longer than the chosen one, each with the half circle that
//    faces into the area along the outline's tangent there;
//  - inside a polygon, a square or triangular grid of full circles at the
//    same spacing, turned to the area's longest edge and kept half a
//    spacing off the outline; inside a curved outline, rings of full
//    circles a spacing in from each other and one in the middle;
//  - the full circles take the nozzle row being tried; a part circle the row
//    whose flow is nearest to the full circle's times its share of a circle
//    (matched precipitation: at one spacing a head's rate goes with its flow
//    over its share of a circle), its throw reduced (by a quarter at most)
//    toward the full circles';
//  - no head stands on a building, paving or water drawn over the area, and
//    what falls on them counts as water thrown outside;
//  - every nozzle row of the body is tried for the full circles, with each
//    pattern asked for and with the outline's heads throwing up to a
//    quarter shorter, and each layout is scored by the watering analysis
//    over the area alone: layouts that keep their water on the area (under
//    4.5 % thrown outside, no dry cells) come first, then the most uniform
//    (CU plus DU lq), less a penalty where the heads' precipitation rates
//    lie more than 30 % apart, then the one of fewer heads.

#include <string>
#include <vector>

#include "hydraulics/coverage.h"
#include "objects/wbase.h"

class CElem;
class CGraphicPlane;
class CPrimitive;

namespace layout {

enum class Pattern { Square, Triangular, Best };

struct Options {
  CElem* body = nullptr;      // a rotary sprinkler body of the catalogue
  Pattern pattern = Pattern::Best;
  double spacingShare = 1.0;  // of the throw: 1 is head to head
  double pressureAtm = 0;     // 0: the source's
};

struct Head {
  PointD at;                // plan units
  PointD from, to;          // the arc, counter-clockwise as the plan shows it
  bool full = false;
  int nozzle = 0;           // row of the body
  float reduction = 0;      // 0..1, a quarter of the throw at 1
  double arcDeg = 360;
};

struct Result {
  bool ok = false;
  std::string error;  // Windows-1250
  std::vector<Head> heads;
  Pattern pattern = Pattern::Square;
  double spacingM = 0;
  double flowM3H = 0;
  double areaM2 = 0;
  // The watering analysis of the heads over the area.
  CoverageFigures figures;
  double thrownOutsidePct = 0;
  double dryPct = 0;
  // The highest head precipitation rate over the lowest.
  double precipitationSpread = 1;
};

// Lays heads out in `area` (a closed primitive of the plan `doc`); the plan
// does not change.
Result layOut(const CGraphicPlane& doc, const CPrimitive& area, const Options& options);

// The heads as rotary sprinklers, added to the plan; returns them.
std::vector<CWBase*> place(CGraphicPlane& doc, const Result& result, const Options& options);

}  // namespace layout
