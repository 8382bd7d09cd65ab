#pragma once
// Static (spray) sprinklers: a pop-up body from the catalogue fitted with a
// nozzle that is a catalogue element of its own. The nozzle's kind decides
// the pattern:
//
//   7  adjustable static nozzle   circular, arc set by the user, flow by angle
//   17 adjustable rotary nozzle   circular, arc set by the user, flow by angle,
//                                 angles outside its table are flagged
//   19 fixed static nozzle        circular, the nozzle's arc turned as a whole
//   20 fixed rotary nozzle        as 19
//   8  strip static nozzle        rectangle turned by a direction handle
//   21 strip rotary nozzle        as 8, with its own head positions
//
// Radius, strip size and flow follow from the nozzle's table at the pressure
// of the water source; an adjustable nozzle's flow also follows from its arc.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "objects/wbase.h"

class CElem;

// Flow values that stand for an error instead of a flow (m3/h).
constexpr float kFlowNoEntries = 1010.0f;      // the nozzle has no angle entries
constexpr float kFlowAngleTooSmall = 1020.0f;  // the arc is below the nozzle's smallest angle
constexpr float kFlowAngleTooLarge = 1030.0f;  // the arc is above its largest angle

// Whether `flow` holds one of the error codes above.
bool isStaticFlowError(float flow);

// What a lookup in the nozzle's tables gives, before any reduction. The
// plan-unit sizes are what placement and reduction turn into the object's
// geometry.
struct StaticEvaluation {
  float radiusU = 0;  // circular kinds
  float lengthU = 0;  // strip kinds
  float widthU = 0;
};

class CWStaticSprinkler : public WValue<CWStaticSprinkler, CWBase> {
 public:
  CWStaticSprinkler();

  int GetType() const override { return kTypeStaticSprinkler; }
  std::unique_ptr<CWBase> CloneAt(Point target) const override;
  void MoveLabelTo(Point p) override;
  void Rescale(float zoom) override;
  void DrawLabel() override;
  void DrawFlow() override;
  void Draw() override;
  int CanReduceRadius() const override;
  void ReduceRadius(float fraction) override;
  void ResetGrips() override;
  void DragGrip(Point to, Point from) override;
  int PickGrip(Point p, int mode) override;
  void DrawHighlighted() override;
  std::string GetKindName() const override;
  float GetFlow() const override { return flow; }

  // Radius, strip size and (except for the adjustable kinds, whose flow
  // comes from FlowFromArc) flow from the nozzle's tables at `pressure`,
  // which becomes the application's current source pressure.
  StaticEvaluation EvaluateAtPressure(float scaleDenominator, float pixelsPerCm, float pressure);
  // Measures `arcDeg` and sets `flow` for the adjustable kinds 7 and 17.
  void FlowFromArc();
  // The water source changed: evaluate at `pressure`, then apply the current
  // reduction again.
  void ApplyPressure(float pressure);
  // Turns the head's pattern: a circular nozzle's arc starts along `from`
  // and, where its arc can be set, ends along `to` (a fixed arc keeps its
  // span); a strip's direction handle goes along `from`. Plan directions.
  void TurnTo(PointD from, PointD to);
  // The initial geometry of a new sprinkler at `click` (pixels); `elem`,
  // `nozzle` and `scale` are set before.
  void PlaceAt(Point click, float scaleDenominator, float pixelsPerCm, float pressure);

  // The arc ends lie closer than 5 plan units to each other.
  bool IsFullCircle() const;
  // The nozzle's kind, or -1 without a nozzle.
  int nozzleKind() const;
  bool isStrip() const;
  bool isCircular() const;
  // Stores the directions of the arc ends as the remembered range of new
  // sprinklers. Returns false (and remembers nothing) for strips and for an
  // arc whose ends lie on the head.
  bool RememberRange() const;
  // The turned outline C0..C3 of a strip (pixels).
  std::array<Point, 4> stripCorners() const;
  // The same in plan units.
  std::array<PointD, 4> stripCornersU() const;
  // The distance of a strip's direction handle from the head, signed along
  // the strip's own x axis, for a strip `lengthPixels` long.
  int stripHandleOffset(int lengthPixels) const;

  // --- fields ------------------------------------------------------------------
  float flowNominal = 0;
  float widthM = 0, lengthM = 0;
  float radiusM = 0;
  PointD posU, arcStartU, arcEndU;  // for strips arcStart is the direction handle
  float lengthU = 0, widthU = 0;
  float radiusU = 0;
  int unused1 = 0;
  CElem* nozzle = nullptr;  // not owned
  // The working point of a single-entry kind-17 nozzle whose flow is used;
  // -1 (new sprinklers) follows the source pressure instead.
  int mpPointIndex = -1;
  Point pos, arcStart, arcEnd;
  float stripDragX = 0;  // x of the last direction the strip was turned to
  std::array<float, 4> orient{1, 0, 0, 1};  // m11, m12, m21, m22
  Colour posGripColour = kSprinklerPosGripColour;
  Colour arcStartGripColour = 0, arcEndGripColour = 0;
  int posGripPicked = 0, arcStartGripPicked = 0, arcEndGripPicked = 0;
  int connected = 0;
  float arcDeg = 0;
  float radiusPx = 50.0f;
  float lengthPx = 0, widthPx = 0;
  float lengthTextM = 0, widthTextM = 0;
  float flow = 0;

 private:
  // Where the direction handle of a strip lies: sign x the length, or half of it.
  struct HandleRule {
    int sign;
    bool half;
  };
  HandleRule handleRule() const;
  float currentZoom() const { return static_cast<float>(1.0 / scale); }
  StaticEvaluation evaluateWithDocumentScale(float pressure);
  void setPlanUnitsFromPixels();
  // Puts both arc ends at distance `r` (plan units) from the head along
  // their directions.
  void fitArcEndsU(double r);
  // The coverage figure (arc and radii, or the strip) with the selected pen.
  void drawCoverageFigure();
  void dragCircular(Point to, Point from);
  void dragStrip(Point to, Point from);
  float labelLineHeight() const;
};

// The text a sprinkler's label shows for a catalogue element: its name, or
// the part between "<" and ">" when the name has both.
std::string shortNameOf(const CElem* element);

// What a static nozzle does at a pressure, from its tables.
struct StaticNozzleReach {
  bool usable = false;  // a throw (or strip) and a flow
  bool strip = false;
  float radiusM = 0;     // circular kinds
  float minArcDeg = 0, maxArcDeg = 0;
  bool fixedArc = false;  // waters its one arc only
  float flowM3H = 0;      // at its largest arc (circular) or of the strip
  float widthM = 0, lengthM = 0;
  int stripPosition = 0;  // the strip's head position code
};
StaticNozzleReach staticNozzleReach(const CElem& nozzle, float pressure);
// The flow of a head fitted with `nozzle` watering `arcDeg` at `pressure`,
// as the head itself computes it (an error code above for an arc outside an
// adjustable rotary nozzle's table).
float staticNozzleFlow(const CElem& nozzle, float arcDeg, float pressure);

// --- nozzle selection and parameters -------------------------------------------

// The nozzle kinds a static sprinkler body takes.
bool isStaticNozzleKind(int kind);

// The nozzles the selection list offers: every element of the catalogue
// list starting at `head` of a static nozzle kind that is not archived,
// sorted by name as a Polish user expects (case-insensitive, letters with
// diacritics after their base letter).
std::vector<CElem*> staticNozzleChoices(CElem* head);

// What the read-only parameter dialog "Parametry dyszy" of a nozzle shows.
struct NozzleParameterSheet {
  int kind = -1;
  std::string title;  // "Parametry dyszy"
  std::string name;   // "Nazwa"
  // Kinds 7 and 17: the list "Kąt" of the entries' angles. Kinds 19 and 20:
  // the single field "Kąt". Empty for the strips.
  std::vector<std::string> angles;
  std::vector<std::string> columns;               // grid captions
  std::vector<std::array<std::string, 3>> rows;  // grid cells of the selected entry
};

// The content of the parameter dialog of `nozzle` with the angle entry
// `entry` selected (kinds 7 and 17; ignored by the others). An entry outside
// the table gives an empty grid.
NozzleParameterSheet nozzleParameterSheet(const CElem& nozzle, int entry = 0);

// Whether the palette's parameter button shows the dialog for this nozzle.
bool paletteShowsNozzleParameters(const CElem* nozzle);

// The dialogs of the nozzle selection, as the model drives them.
struct NozzleSelectionDialogs {
  // The list "Wybierz dyszę" with `preselected` highlighted: the index of
  // the chosen entry, or -1 when the list was cancelled.
  std::function<int(const std::vector<CElem*>& nozzles, int preselected)> chooseFromList;
  // The parameter dialog of the chosen nozzle: true for OK, false for "Anuluj".
  std::function<bool(const NozzleParameterSheet& sheet, const CElem& nozzle)> confirmParameters;
};

// Runs the selection: the list, then the chosen nozzle's parameters; "Anuluj"
// there returns to the list. The accepted nozzle, or null when the list was
// cancelled (the palette then keeps its nozzle).
CElem* selectStaticNozzle(CElem* catalogueHead, const NozzleSelectionDialogs& dialogs);
