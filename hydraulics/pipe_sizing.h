#pragma once
// Choosing pipe sizes on the network: for every segment of the sections
// sized, the cheapest catalogue pipe type (by its price per metre) that
// keeps the water at or below 1.5 m/s, then larger pipes where the losses
// are greatest until the heads of each section lie within 20 % of each
// other. A pipe whose segments come out different is cut where its type
// changes, so that laterals telescope toward their ends.

#include <functional>
#include <string>
#include <vector>

#include "hydraulics/network.h"

class CElem;
class CGraphicPlane;
class CDBSets;

namespace network {

struct SizingOptions {
  int section = -1;       // 0-based; -1 sizes every section
  int sectionCount = -1;  // as in Options
  double defaultDiameterMm = 25.0;
  double maxVelocityMS = kMaxVelocityMS;
  double maxSpreadPct = kMaxPressureSpreadPct;
  // The pipe types sizing may choose; empty: every one the catalogue offers.
  std::vector<CElem*> allowed;
};

struct SegmentChoice {
  int object = -1;
  int segment = 0;
  CElem* type = nullptr;
};

struct SizingResult {
  bool ok = false;
  std::string error;  // Windows-1250
  // Every segment of the pipes sized, with the type it takes.
  std::vector<SegmentChoice> choices;
  // The priced length of the plan's pipes before and after (list prices).
  double costBefore = 0, costAfter = 0;
  // What no catalogue size can meet, with its object.
  std::vector<Warning> unmet;
  // The sections as they come out with the sizes chosen.
  Result after;
};

// The pipe types sizing chooses from (catalogue list at `head`): offered,
// with a usable inner diameter, cheapest first.
std::vector<CElem*> sizingCandidates(CElem* head);
// The same, kept to the types of `allowed` where it names any.
std::vector<CElem*> sizingCandidates(CElem* head, const std::vector<CElem*>& allowed);

// Chooses the sizes; the plan does not change.
SizingResult sizePipes(const CGraphicPlane& doc, const CDBSets* sets, CElem* catalogueHead,
                       const SizingOptions& options = {});

// What the plan's history hears of the sizing: an object about to change
// (a pipe taking a type, or one replaced, which is then marked deleted), and
// a pipe added in place of a part of one.
struct SizingEdits {
  std::function<void(CWBase&)> beforeChange;
  std::function<void(CWBase&)> added;
};

// Puts the choices into the plan: a pipe whose segments all take one type
// takes it; a pipe whose segments take several is replaced by one pipe for
// each run of segments of one type. Returns the number of pipes changed.
int applySizing(CGraphicPlane& doc, const SizingResult& sizing, const SizingEdits& edits = {});

}  // namespace network
