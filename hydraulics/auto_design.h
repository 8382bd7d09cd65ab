#pragma once
// "Zaprojektuj automatycznie": from areas of the plan to a piped, zoned and
// sized system in one step. The heads are laid out in every area chosen
// (one family for all), the plan's heads divided into sections, the pipes
// and valves routed and sized. Everything is first worked out on a copy of
// the plan, so that a step that fails leaves the plan as it was; the design
// is then put on the plan as the copy found it.

#include <functional>
#include <string>
#include <vector>

#include "hydraulics/head_layout.h"
#include "hydraulics/pipe_routing.h"
#include "hydraulics/zoning.h"

class CDBSets;
class CGraphicPlane;
class CPrimitive;
class CSectionList;

namespace design {

struct Options {
  std::vector<const CPrimitive*> areas;  // terrain primitives of the plan
  layout::Options layout;                // the family, pattern, spacing, pressure
  double capacityShare = 0.9;
  routing::Options routing;              // the valve, box and pipe; section -1
};

struct Result {
  bool ok = false;
  std::string error;  // Windows-1250
  int errorArea = -1;  // index in Options::areas of the area `error` speaks of
  std::vector<layout::Result> layouts;  // one for each area
  zoning::Result zones;
  routing::Result route;
  network::SizingResult sizing;
  int heads = 0;
  // The design as the copy holds it: the watering analysis of each section,
  // and the estimate's net total.
  std::vector<CoverageFigures> sections;
  double netTotal = 0;
  // What each new head waters and where each pipe runs, for a preview,
  // with its section (kNoSection for the main).
  std::vector<std::vector<PointD>> headOutlines, pipeRuns;
  std::vector<int> headSections, pipeSections;
};

// Works the design out on a copy of the plan; the plan does not change.
Result plan(const CGraphicPlane& doc, const CSectionList& sections, const CDBSets* sets, const Options& options);

// Puts a design `plan` worked out on the plan: the heads, the sections (the
// table replaced; `sectionsChanging` hears of it first), the valves, boxes
// and pipes, the sizes. `edits` hear of every object added or changed.
void apply(CGraphicPlane& doc, CSectionList& sections, const Result& result, const Options& options,
           const network::SizingEdits& edits = {}, const std::function<void()>& sectionsChanging = {});

}  // namespace design
