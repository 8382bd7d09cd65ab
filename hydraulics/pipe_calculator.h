#pragma once
// Sizing pipes: the pressure drop along a pipe with equally spaced outlets
// (Hazen-Williams, corrected for the outlets) and the water velocity, the
// flow of the consumers marked as connected, and the three calculators built
// on them: the free one, the main pipe and the lateral pipe. The dialogs show
// what these classes hold and call their operations; everything they say to
// the user goes through the message sink.

#include <string>
#include <string_view>
#include <vector>

#include "platform/canvas.h"

class CElem;
class CGraphicPlane;
class CWBase;
class CWPipe;

// Tool codes of the plan view that the pipe calculators use.
constexpr int kToolSelect = 1100;
constexpr int kToolPointPipe = 1201;
constexpr int kToolMarkConnected = 1202;

// --- formulas ----------------------------------------------------------------

// The factor by which the friction loss of a pipe with `outlets` equally
// spaced outlets is multiplied: 0 for none, 1 for one; counts above 30 use
// the factor of 30.
float OutletFactor(int outlets);

// Friction loss in metres of water column of flow `q` (m3/h) through a pipe
// of inner diameter `d` (mm) and length `l` (m), times the outlet factor `f`.
// The pressure drop in atm is a tenth of it.
double FrictionLoss(double q, double d, double l, double f);

// Water velocity in m/s of flow `q` (m3/h) in a pipe of inner diameter `d` (mm).
double Velocity(double q, double d);

// Rounds metres to whole metres, a half down (12.5 gives 12, 12.51 gives 13).
int roundHalfDown(float metres);

// The pipe's length on the ground in whole metres (halves rounded down) at
// the drawing scale 1:`scaleDenominator` with `pixelsPerCm` plan units per
// centimetre.
int PipeLengthM(const CWPipe& pipe, float scaleDenominator, float pixelsPerCm);

// --- the connected consumers -------------------------------------------------

struct ConnectedFlowSum {
  float flow = 0;  // m3/h
  int count = 0;
};

// The flow of the consumers marked connected, and how many they are. Drip
// lines are first recomputed at the document's scale and source pressure; a
// static sprinkler holding an error code adds nothing but still counts.
ConnectedFlowSum ConnectedFlow(CGraphicPlane& doc);

// The connected mark of an object that can be fed by a pipe under
// calculation (sprinklers, micro-sprinklers, RWS units, drip lines); null
// for the others.
int* connectedFlag(CWBase& object);
const int* connectedFlag(const CWBase& object);

// Flips the connected mark of `object` and checks the flow of everything
// connected against the source capacity, telling the user when it is
// exceeded. Returns false (and changes nothing) for an object without a mark.
bool toggleConnected(CGraphicPlane& doc, CWBase& object);

// The click of the marking tool at `p` (pixels): the first consumer whose
// position control point is there has its mark flipped; the selection is
// cleared. Returns the consumer, or null when none was hit.
CWBase* markConnectedAt(CGraphicPlane& doc, platform::Point p);

// The click of the pipe-pointing tool at `p`: the first pipe run with a
// control point there becomes the pipe under calculation; the selection is
// cleared. Returns the pipe, or null (the pointed pipe then stays).
CWPipe* pointPipeAt(CGraphicPlane& doc, platform::Point p);

// The pipe under calculation, unless there is none or it has been deleted.
CWPipe* pointedPipeOf(const CGraphicPlane& doc);

// Clears every connected mark in the document.
void clearConnectedMarks(CGraphicPlane& doc);

// Abandons the tool in progress and sets tool `code`, as every palette
// command does.
void selectTool(CGraphicPlane& doc, int code);

// --- pipe types ----------------------------------------------------------------

struct PipeTypeChoice {
  std::string name;  // Windows-1250
  CElem* elem = nullptr;
  float innerDiameter = 0;  // mm
};

// The pipe types of the catalogue list starting at `head` that are offered
// (not archived), by name in the order of a sorted list box.
std::vector<PipeTypeChoice> pipeTypeChoices(CElem* head);

// --- the free calculator -----------------------------------------------------

// "Kalkulator": any flow, length, number of outlets and pipe type.
class PipeCalculator {
 public:
  // Offers the pipe types of the catalogue list starting at `head`; the
  // first is selected.
  explicit PipeCalculator(CElem* head);

  const std::vector<PipeTypeChoice>& types() const { return types_; }
  int selectedType() const { return selected_; }
  void selectType(int index);

  // The fields convert at once as the user edits them; a decimal comma
  // counts as a point.
  void setFlowText(std::string_view text);
  void setLengthText(std::string_view text);
  void setOutletsText(std::string_view text);

  // "Oblicz": the pressure drop and the velocity with two decimals. Returns
  // false, leaving the results as they were, when no pipe type is selected.
  bool compute();

  double flow = 0;    // m3/h
  double length = 0;  // m
  double outlets = 0;
  float diameter = 0;  // mm, of the selected type
  std::string pressureDropText;  // atm.
  std::string velocityText;      // m/s

 private:
  std::vector<PipeTypeChoice> types_;
  int selected_ = -1;
};

// --- the calculators of a pipe on the plan -----------------------------------

// What the main and lateral pipe dialogs show after "Oblicz".
struct PipeResults {
  std::string flow;          // "Przepływ:", m3/h
  std::string outlets;       // "Liczba wyjść:" (lateral pipe only)
  std::string length;        // "Długość:", m
  std::string pressureDrop;  // "Spadek ciśnienia", atm.
  std::string velocity;      // "Prędkość wody", m/s
};

// "Parametry rury głównej" (the outlets are entered) and "Parametry rur
// bocznych" (the outlets are the connected consumers). The user points at
// the pipe run and marks the consumers it feeds on the plan.
class PlanPipeCalculation {
 public:
  enum class Kind { MainPipe, LateralPipe };

  PlanPipeCalculation(Kind kind, CElem* head);

  Kind kind() const { return kind_; }
  const std::vector<PipeTypeChoice>& types() const { return types_; }
  int selectedType() const { return selected_; }
  void selectType(int index);

  // The main pipe's number of outlets, 0 to 100; other values are refused
  // (false) and the count stays.
  static constexpr int kMaxOutlets = 100;
  bool setOutletCount(int n);
  int outletCount() const { return outlets_; }

  // "Wskaż rurę" and the button that marks the fed consumers.
  void startPointingPipe(CGraphicPlane& doc) { selectTool(doc, kToolPointPipe); }
  void startMarkingConsumers(CGraphicPlane& doc) { selectTool(doc, kToolMarkConnected); }

  // "Oblicz". Returns whether the pressure drop was computed; otherwise the
  // user has been told why (or, for a main pipe without outlets, nothing
  // happens) and the results keep what they showed.
  bool compute(CGraphicPlane& doc);

  // "Zastosuj": the pointed pipe takes the selected type; then the dialog
  // ends as on close.
  void apply(CGraphicPlane& doc);

  // Closing the dialog: the connected marks and the pointed pipe are
  // cleared, the tool in progress abandoned, the select tool set and the
  // plan redrawn.
  void close(CGraphicPlane& doc);

  PipeResults results;

 private:
  Kind kind_;
  std::vector<PipeTypeChoice> types_;
  int selected_ = -1;
  int outlets_ = 0;
};
