#pragma once
// Laying sprinklers out in an area: a rotary body with its nozzle rows, or a
// static body with the catalogue's nozzles of one kind (fixed or adjustable
// sprays, rotary nozzles, strips). The method, deterministic:
//  - the area's outline (a circle or an ellipse as a polygon) is walked: a
//    head on every corner sharper than 25 degrees with the arc of the
//    corner's interior angle, heads along each run between corners at even
//    spacing no longer than the chosen one, each with the half circle that
//    faces into the area along the outline's tangent there;
//  - inside a polygon, a square or triangular grid of full circles at the
//    same spacing, turned to the area's longest edge and kept half a
//    spacing off the outline; inside a curved outline, rings of full
//    circles a spacing in from each other and one in the middle;
//  - the full circles take the nozzle being tried; a part circle the nozzle
//    whose precipitation rate is nearest to the full circle's (matched
//    precipitation: at one spacing a head's rate goes with its flow over its
//    share of a circle), of a throw a reduction (by a quarter at most) can
//    bring to the full circles'; a fixed arc narrower than the corner is
//    turned to its middle;
//  - an area narrower than the family's shortest throw takes strip nozzles
//    where the catalogue has them: rows of side strips along its long edges,
//    a row of centre strips down its middle, or end strips facing each other,
//    each row evenly spaced so that the strips' lengths tile the area;
//  - buildings, paving and water drawn over the area are cut out of it
//    (polygon clipping): their edges are walked as the outline is, so heads
//    line them throwing away from them, and what falls on them counts as
//    water thrown outside; where throwing over them is allowed the area is
//    walked whole and heads only never stand on them;
//  - every full-circle nozzle is tried, at the spacing chosen and a tenth
//    closer, with each pattern asked for and with the outline's heads (and
//    the full circles nearer the outline than their throw) throwing up to a
//    quarter shorter, and each layout is
//    scored by the watering analysis over the area alone: layouts that keep
//    their water on the area (under 4.5 % thrown outside, no dry cells) come
//    first, then the most uniform (CU plus DU lq), less a penalty where the
//    heads' precipitation rates lie more than 30 % apart, then the one of
//    fewer heads.

#include <string>
#include <vector>

#include "hydraulics/coverage.h"
#include "objects/wbase.h"

class CDBSets;
class CElem;
class CGraphicPlane;
class CPrimitive;

namespace layout {

enum class Pattern { Square, Triangular, Best };

// The static nozzles a layout may use.
enum class NozzleKind {
  Any,         // every circular kind
  Fixed,       // fixed-arc sprays
  Adjustable,  // adjustable-arc sprays
  Rotary,      // rotary nozzles, adjustable and fixed
  Strip,       // strip nozzles, spray and rotary
};
// "fixed", "adjustable", "rotary", "strip"; false for another word.
bool parseNozzleKind(const std::string& word, NozzleKind& kind);

struct Options {
  CElem* body = nullptr;      // a rotary sprinkler body or a static body of the catalogue
  // A static body: the nozzle whose series is laid out (its kind, throws
  // within 15 % of its own), or else every nozzle of `nozzleKind`.
  CElem* nozzle = nullptr;
  NozzleKind nozzleKind = NozzleKind::Any;
  CElem* catalogue = nullptr;  // the list the static nozzles are taken from
  Pattern pattern = Pattern::Best;
  double spacingShare = 1.0;  // of the throw: 1 is head to head
  double pressureAtm = 0;     // 0: the source's
  // Water falling on buildings, paving and water drawn over the area is not
  // counted as thrown outside (heads still never stand on them).
  bool throwOverHardSurfaces = false;
};

struct Head {
  PointD at;                // plan units
  PointD from, to;          // the arc, counter-clockwise as the plan shows it
  bool full = false;
  int nozzle = 0;           // row of a rotary body
  CElem* staticNozzle = nullptr;  // of a static body
  bool strip = false;       // a strip nozzle, its direction handle along `from`
  float reduction = 0;      // 0..1, a quarter of the throw at 1
  double arcDeg = 360;
};

struct Result {
  bool ok = false;
  std::string error;  // Windows-1250
  std::vector<Head> heads;
  Pattern pattern = Pattern::Square;
  bool strips = false;  // laid with strip nozzles
  double narrowestM = 0;  // how wide the area is across its longest edge
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

// The uniformity a layout is meant to reach: CU 85 %, DU lq 75 %, under
// 5 % of the water thrown outside.
inline bool reachesTarget(const Result& r) {
  return r.ok && r.figures.cu >= 85 && r.figures.duLq >= 75 && r.thrownOutsidePct < 5;
}

// Lays heads out in `area` (a closed primitive of the plan `doc`); the plan
// does not change.
Result layOut(const CGraphicPlane& doc, const CPrimitive& area, const Options& options);

// The pressure the pipe network gives where its pipes run in `area`: the
// mean over the network's points inside it, each section solved with its
// own heads open; 0 where no pipe of a solved section runs there.
double networkPressureIn(const CGraphicPlane& doc, const CDBSets* sets, const CPrimitive& area);

// What each head waters, as a closed outline in plan units (a sector, a
// circle or a strip's rectangle), for a preview over the plan.
std::vector<std::vector<PointD>> outlines(const CGraphicPlane& doc, const Result& result, const Options& options);

// The heads as sprinklers of the body (rotary or static), added to the plan;
// returns them.
std::vector<CWBase*> place(CGraphicPlane& doc, const Result& result, const Options& options);

}  // namespace layout
