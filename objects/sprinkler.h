#pragma once
// The rotary sprinkler: a catalogue body fitted with one of its numbered
// nozzles, watering a circular sector whose two ends the user drags. Radius
// and flow come from the nozzle's performance table at the working pressure
// of the water source.
//
// Also the pieces every sprinkler kind shares: the document values that
// operations without arguments need, the coverage pen, the centre dot, the
// "connected" mark, label helpers and the radius reduction dialog's scale.

#include <array>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>

#include "objects/wbase.h"

class CDBSprinkler;

// --- document values -------------------------------------------------------

// The values of the open document that sprinkler operations need when their
// signature carries none (the radius reduction dialog, the source pressure
// dialog): the drawing scale 1:scaleDenominator, plan units per centimetre
// of drawing and the working pressure of the water source.
using SprinklerScaleValues = DocumentValues;
inline SprinklerScaleValues currentSprinklerScaleValues() { return documentValues(); }

// --- helpers shared by the sprinkler kinds -----------------------------------

// Metres on the ground in plan units, single precision: R x 100 / n x ppc.
// A drawing scale without a positive denominator (a damaged file) gives 0
// rather than an infinite size.
inline float metresToUnitsF(float metres, float scaleDenominator, float pixelsPerCm) {
  if (!(scaleDenominator > 0.0f)) return 0.0f;
  return metres * 100.0f / scaleDenominator * pixelsPerCm;
}

// `p` turned about `centre` by `a` radians, counter-clockwise on the screen
// for a positive angle: (cos a dx + sin a dy, cos a dy - sin a dx), single
// precision, each component truncated.
Point turnedAbout(Point centre, Point p, float a);

// The square box of the circle of radius `r` around `c`.
inline platform::Rect circleBox(Point c, int r) { return {c.x - r, c.y - r, c.x + r, c.y + r}; }

// A watered sector with the selected pen: the arc of radius `r` around
// `centre` from `start` counter-clockwise to `end`, then the radii to `end`
// and to `start`. A sector that waters the whole circle is the whole circle
// without radii, whichever side of the start its end lies on.
void drawSector(Canvas& dc, Point centre, int r, Point start, Point end, bool wholeCircle);

// The short label of a catalogue name: the part between the first "<" and the
// next ">" when the name has both, otherwise the whole name.
std::string shortNameOf(const std::string& name);

// A catalogue text field of `capacity` bytes, up to its terminator.
std::string fieldText(const char* field, size_t capacity);

// A number with 5 significant digits ("%.5g"), independent of the locale.
std::string formatSignificant5(double value);

// The pen of a sprinkler's coverage: the section colour or rangeColour, one
// pixel on the screen, printWidthRanges on paper.
platform::Pen coveragePen(const CWBase& o);
// The grey centre dot of radius 4 (a fixed pixel size).
void drawCentreDot(const CWBase& o, Point pos);
// The dotted blue circle of radius 25 that marks a connected consumer.
void drawConnectedMark(Canvas& dc, Point pos);
// A flow text one or more label lines below the label anchor: black on the
// plan's background colour.
void drawFlowText(const CWBase& o, Point anchor, int lines, const std::string& text);
// A text at `at`, black on the plan's background colour.
void drawFlowTextAt(const CWBase& o, Point at, const std::string& text);

// --- control points ------------------------------------------------------------

// A control point PickGrip may pick: where it lies, whether it is offered,
// and the colour and flag a hit sets.
struct GripSlot {
  Point at;
  Colour* colour;
  int* picked;
  bool offered = true;
};

// PickGrip as the sprinkler kinds share it: mode 0 tests the class's
// `extra` points in order, modes 0 and 1 the position, mode 0 the label
// anchor while the label is shown. A hit greys the point, sets its flag and
// redraws the object; the result is 1 on a hit.
int pickSprinklerGrip(CWBase& o, Point p, int mode, std::initializer_list<GripSlot> extra, GripSlot position,
                      Point labelAt);

// The inverting rubber band of a drag: keeps the canvas state, draws with
// `pen` and restores the raster operation through `savedRop` at its end.
class DragBand {
 public:
  DragBand(CWBase& o, const platform::Pen& pen);
  ~DragBand();
  DragBand(const DragBand&) = delete;
  DragBand& operator=(const DragBand&) = delete;
  // The small square that stands for the label anchor while it is dragged.
  void labelMark(Point anchor) const;

 private:
  CWBase& o_;
  std::unique_ptr<platform::CanvasStateSaver> keep_;
};

// --- the radius reduction dialog ---------------------------------------------
// Its slider runs from 0 to 25 % for sprinklers and 0 to 100 % for
// micro-sprinklers; every movement reduces by position / maximum, "Wyjdź"
// reduces by 0.
int reductionSliderMax(const CWBase& o);
int reductionSliderPosition(const CWBase& o);
void applyReductionSlider(CWBase& o, int position);

// --- the rotary sprinkler ------------------------------------------------------

class CWSprinkler : public WValue<CWSprinkler, CWBase> {
 public:
  CWSprinkler();

  int GetType() const override { return kTypeSprinkler; }
  std::unique_ptr<CWBase> CloneAt(Point target) const override;
  void MoveLabelTo(Point p) override;
  void Rescale(float zoom) override;
  void DrawLabel() override;
  void DrawFlow() override;
  void Draw() override;
  int CanReduceRadius() const override { return 1; }
  // Reduces with the open document's drawing scale.
  void ReduceRadius(float fraction) override;
  void ResetGrips() override;
  void DragGrip(Point to, Point from) override;
  int PickGrip(Point p, int mode) override;
  void DrawHighlighted() override;
  std::string GetKindName() const override;
  float GetFlow() const override { return flow; }

  // The body's record, or null when `elem` is no rotary sprinkler body.
  const CDBSprinkler* body() const;
  // The body only waters full circles.
  bool bodyWatersFullCircle() const;
  // The name of the nozzle row `nozzleNo` (empty when the body has no such row).
  std::string nozzleName() const;

  // Radius and flow of nozzle row `row` at `pressure`, before any reduction.
  void EvaluateNozzle(int row, float pressure);
  // The initial geometry at the click point `c` (pixels); `elem` and
  // `nozzleNo` are set beforehand. Applies the remembered range, if any.
  void PlaceAt(Point c, float zoom, float scaleDenominator, float pixelsPerCm, float pressure);
  // Re-evaluates the nozzle at a new source pressure and reapplies the
  // reduction; also what a sprinkler read from a project file needs, since
  // its record carries neither radius nor flow.
  void ApplyPressure(float pressure);
  void ApplyPressure(float pressure, float scaleDenominator, float pixelsPerCm);
  // The reduction by `fraction` of 25 % of the radius at the given scale.
  void ReduceRadiusAt(float fraction, float scaleDenominator, float pixelsPerCm);
  // The radius in plan units recomputed for a new drawing scale (keeping the
  // reduction), both arc ends moved onto it.
  void RescaleRadius(float scaleDenominator, float pixelsPerCm);
  // Moves both arc ends along their directions to `radiusPx` from `pos`.
  void FitArcToRadius();
  // The arc ends lie closer than 5 plan units: the sprinkler waters a full circle.
  bool IsFullCircle() const;
  // Fits the sprinkler to nozzle row `row` (the change-nozzle tool, after the
  // nozzle dialog): full radius of the new nozzle, `reduction` kept as it is.
  void ChangeNozzle(int row, float zoom, float scaleDenominator, float pixelsPerCm, float pressure);
  // Stores the arc directions as the remembered range of new sprinklers.
  void RememberRange() const;

  float flowNominal = 0;
  float radiusNominalM = 0;
  PointD posU;
  PointD arcStartU, arcEndU;
  float radiusU = 0;
  int nozzleNo = 0;
  Point pos;
  Point arcStart, arcEnd;
  Colour posGripColour = kSprinklerPosGripColour;
  Colour arcStartGripColour = 0;
  Colour arcEndGripColour = 0;
  int posGripPicked = 0;
  int arcStartGripPicked = 0;
  int arcEndGripPicked = 0;
  int connected = 0;
  int radiusPx = 50;
  float radiusM = 0;
  float defaultArcDeg = 40.0f;
  float flow = 0;

 private:
  // The coverage as drawn, with the whole circle when the ends meet, or
  // (`asDragged`) always with both radii, as the rubber band of a drag.
  void drawCoverage(bool asDragged = false) const;
  void updatePlanUnits();
};
