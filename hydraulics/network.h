#pragma once
// The pipe network of a plan: the pipes and the connection sets that carry a
// pipe are its links, the heads and drip lines draw water at the points they
// sit on, and the water source feeds it at the source pressure. Each section
// is solved with only its own heads open, as sections are watered one at a
// time: the pressure at every head and junction, the flow, velocity and
// friction loss in every segment.
//
// Friction is the Hazen-Williams loss the pipe calculator uses,
//   hf [m] = 1.131e9 * D^-4.87 * (Q / C)^1.852 * L   (D mm, Q m3/h, L m),
// 10 m of water column being 1 atm. A head's flow follows the pressure at
// its point through its catalogue table, as the head evaluates itself, so
// flows and pressures are solved together: by the global gradient method
// (Todini and Pilati, 1988, as in EPANET), Newton steps on the loop and node
// equations with a sparse Cholesky factorisation, which handles looped mains
// as well as trees.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "objects/wbase.h"

class CGraphicPlane;
class CDBSets;

namespace network {

struct Options {
  // The inner diameter (mm) taken for a pipe without a catalogue type; every
  // such pipe is reported as an assumption.
  double defaultDiameterMm = 25.0;
  // Hazen-Williams C of the catalogue's plastic pipes.
  double hazenC = 135.0;
  // How near (metres on the ground) a pipe end, a head or a valve must lie to
  // a pipe's vertex or segment to be joined to it.
  double joinToleranceM = 0.25;
  // The section to solve (0-based); -1 solves every section.
  int section = -1;
  // Sections the plan has, from the section list; -1 takes them from the
  // objects' section numbers.
  int sectionCount = -1;
  // Inner diameters (mm) that segments are taken at instead of their
  // pipe's, by segmentKey(object, segment): pipe sizes being tried.
  std::unordered_map<int64_t, double> segmentDiameterMm;
};

inline int64_t segmentKey(int object, int segment) { return (static_cast<int64_t>(object) << 24) | (segment & 0xFFFFFF); }

// The velocity above which a segment is reported, and the share of the
// highest head pressure by which the heads of a section may differ.
constexpr double kMaxVelocityMS = 1.5;
constexpr double kMaxPressureSpreadPct = 20.0;

struct Warning {
  // unconnected, island, noSection, noHeads, untypedPipe, badDiameter, noFlowTable,
  // fast, lowPressure, spread, capacity, notConverged
  std::string kind;
  int object = -1;   // index in the document's object list, -1 for none
  std::string text;  // Windows-1250
};

struct HeadResult {
  int object = -1;
  double pressureAtm = 0;
  double flowM3H = 0;
  // The lowest pressure of the head's table, when it gets less than that.
  double lowestTablePressureAtm = 0;
  bool belowTable = false;
};

struct PipeResult {
  int object = -1;
  int segment = 0;  // the index of the vertex it starts at
  double offsetM = 0;  // where along the segment it starts (a segment is cut at a T or a head)
  double lengthM = 0;
  double innerDiameterMm = 0;
  bool assumedDiameter = false;
  double flowM3H = 0;  // along the vertices' order; negative against it
  double velocityMS = 0;
  double lossAtm = 0;
  // Pressures at its two ends, atm.
  double startPressureAtm = 0, endPressureAtm = 0;
};

// A junction or head point of the network, plan units.
struct NodeResult {
  PointD at;
  double pressureAtm = 0;
};

struct SectionResult {
  int section = 0;
  bool solved = false;
  int iterations = 0;
  double sourcePressureAtm = 0;
  double requiredSourcePressureAtm = 0;
  double minHeadPressureAtm = 0, maxHeadPressureAtm = 0;
  double pressureSpreadPct = 0;
  double flowM3H = 0;
  std::vector<HeadResult> heads;
  std::vector<PipeResult> pipes;
  std::vector<NodeResult> nodes;
  std::vector<Warning> warnings;
};

struct Result {
  bool ok = false;
  std::string error;  // Windows-1250, when not ok
  std::vector<SectionResult> sections;
  // Heads and pipes that no pipe joins to the water source, whatever valves
  // are open, and what is wrong in the plan as a whole.
  std::vector<int> unconnected;
  std::vector<Warning> warnings;
};

// Recognises the network on the plan and solves the asked sections. `sets`
// gives the pipes of the connection sets (null: sets carry no pipe).
Result analyse(const CGraphicPlane& doc, const CDBSets* sets, const Options& options = {});

// Evaluates a head or drip line at `p` atm as it evaluates itself when the
// source pressure changes: its throw and its flow. Meant for copies.
void evaluateHeadAt(CWBase& head, double p, float scaleDenominator, float pixelsPerCm);

// Where a head or drip line draws its water (its position, a drip line's
// first vertex), plan units.
PointD placeOf(const CWBase& consumer);

// The pressure each connected head gets in the solve of its own section, by
// its index in the object list.
std::unordered_map<int, double> headPressures(const Result& result);

// A digest of what the network is made of: pipes and sets, their types,
// valves, the source and where the heads stand.
unsigned long long fingerprint(const CGraphicPlane& doc);

// --- the pieces, for tests ------------------------------------------------------

// Hazen-Williams resistance r of a pipe (h = r |Q|^0.852 Q, h in m, Q in m3/h).
double resistance(double lengthM, double diameterMm, double c);

}  // namespace network
