#pragma once
// The hydraulic state of a project as plain data, for the command line's
// JSON: the source, each object's section, connected mark and flow, the
// connected consumers' flow and the section summaries.

#include <optional>
#include <vector>

#include "hydraulics/pipe_calculator.h"
#include "hydraulics/system_parameters.h"

class CGraphicPlane;

struct HydraulicsObject {
  int listCode = 0;
  int sectionNo = 0;               // 0xFFFFFF: no section
  std::optional<int> connected;    // only for classes with a connected mark
  float flow = 0;                  // GetFlow: m3/h, -1 for objects without flow
};

struct HydraulicsReport {
  bool hasWaterSource = false;
  float sourcePressure = 0;
  float sourceCapacity = 0;
  std::vector<HydraulicsObject> objects;  // the document's objects in list order, deleted ones left out
  ConnectedFlowSum connectedFlow;
  std::vector<SectionSummary> sections;
};

// Connected drip lines are recomputed at the source pressure first (as the
// pipe calculators do), so their flows agree with the connected sum.
HydraulicsReport buildHydraulicsReport(CGraphicPlane& doc);
