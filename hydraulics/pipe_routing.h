#pragma once
// Routing the pipes of a plan: for each section a valve (in a valve box near
// its heads, on the side of the water source; neighbouring sections share a
// box, the valves on a short manifold), laterals from the valve to every head
// and drip line of the section, and a main from the source to every box.
//
// The method, deterministic: the plan is cut into square cells (half a metre,
// coarser for a large plan); buildings and water are closed, paving costs
// four times as much as open ground (a run crosses it the shortest way, where
// a sleeve goes), a turn costs a little (runs are straight), the cells next to
// another section's heads are closed and those another section's pipes take
// cost more (pipes of two sections never meet). Each tree is a rectilinear
// Steiner tree grown by the shortest-path heuristic of Takahashi and
// Matsuyama (1980): from the tree, the cheapest path on the cells to the
// nearest terminal not yet reached joins the tree, until every terminal is
// in it. The tree is cut into pipes at its branches and its terminals, so
// that every head sits on a pipe vertex, and runs in one direction become one
// segment. Pipes a section already has are kept: its heads already on them
// are not routed, and new laterals start from its pipes or its valve.

#include <string>
#include <vector>

#include "hydraulics/pipe_sizing.h"
#include "objects/wbase.h"

class CDBSets;
class CElem;
class CGraphicPlane;

namespace routing {

struct Options {
  int section = -1;            // 0-based; -1 every section with heads to route
  int sectionCount = -1;       // sections the plan has; -1 from the objects
  CElem* catalogue = nullptr;  // the list valves, boxes and pipes come from
  CElem* valve = nullptr;      // null: the first valve of the catalogue that carries the section
  CElem* valveBox = nullptr;   // null: the catalogue's first valve box (none when it has none)
  CElem* lateralPipe = nullptr;  // null: the cheapest pipe sizing chooses from
  CElem* mainPipe = nullptr;     // null: as the laterals
  // The pipe types sizing may choose afterwards; empty: every one.
  std::vector<CElem*> allowedPipes;
  double cellM = 0.5;
};

struct NewPipe {
  std::vector<PointD> vertices;  // plan units
  CElem* type = nullptr;
  int section = kNoSection;      // kNoSection for the main
};
struct NewValve {
  PointD at;
  CElem* type = nullptr;
  int section = 0;
};
struct NewBox {
  PointD at;
  CElem* type = nullptr;
};

struct SectionRoute {
  int section = 0;
  int heads = 0;          // heads and drip lines routed
  double flowM3H = 0;     // of the section's heads
  double lateralM = 0;    // new laterals, metres
  bool newValve = false;
};

struct Result {
  bool ok = false;
  std::string error;  // Windows-1250
  int errorObject = -1;
  std::vector<NewPipe> pipes;
  std::vector<NewValve> valves;
  std::vector<NewBox> boxes;
  std::vector<SectionRoute> sections;
  double mainM = 0;
  double cellM = 0;
};

// Routes the plan's pipes; the plan does not change.
Result route(const CGraphicPlane& doc, const CDBSets* sets, const Options& options);

// Puts the route on the plan (at its zoom); returns the objects added.
std::vector<CWBase*> apply(CGraphicPlane& doc, const Result& result);

// The whole step as the program and the command line take it: routes, puts
// the route on the plan, then sizes the sections (the one routed, or all).
// `edits` hears of every object added or changed, for the plan's history; a
// route refused leaves the plan as it was.
struct Piped {
  bool ok = false;
  std::string error;  // Windows-1250
  int errorObject = -1;
  Result route;
  network::SizingResult sizing;
  std::vector<CWBase*> added;
};
Piped routeAndSize(CGraphicPlane& doc, const CDBSets* sets, const Options& options,
                   const network::SizingEdits& edits = {});

}  // namespace routing
