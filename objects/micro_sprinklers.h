#pragma once
// The small emitters: the micro-sprinkler with a fixed watering angle, the
// HADAR micro-sprinkler assembled from a body, an insert and one of the
// insert's nozzle sizes, and the RWS root watering unit. Flows of
// micro-sprinklers and HADAR units are catalogued in l/h.

#include <array>
#include <memory>
#include <string>

#include "objects/sprinkler.h"

class CMicroSprinkler;
struct NamedRow4;

// The turn of a sector (m11, m12, m21, m22): an offset (dx, dy) from the
// centre is drawn at (m11 dx + m12 dy, m21 dx + m22 dy).
using Orient = std::array<float, 4>;

// The HADAR body placed with every unit: the last element of kind 16 in the
// catalogue list starting at `first`, or null.
CElem* lastHadarBody(CElem* first);

// Whether an insert of this name waters a half circle: its name up to the
// first ">" after its first "<" (the whole name without them) holds a "d" or "D".
bool insertWatersHalfCircle(const std::string& insertName);

// --- micro-sprinkler ---------------------------------------------------------------

class CWMicroSprinkler : public WValue<CWMicroSprinkler, CWBase> {
 public:
  CWMicroSprinkler();

  int GetType() const override { return kTypeMicroSprinkler; }
  std::unique_ptr<CWBase> CloneAt(Point target) const override;
  void MoveLabelTo(Point p) override;
  void Rescale(float zoom) override;
  void DrawLabel() override;
  void DrawFlow() override;
  void Draw() override;
  int CanReduceRadius() const override { return 1; }
  // Reduces with the open document's drawing scale and source pressure.
  void ReduceRadius(float fraction) override;
  void ResetGrips() override;
  void DragGrip(Point to, Point from) override;
  int PickGrip(Point p, int mode) override;
  void DrawHighlighted() override;
  std::string GetKindName() const override;
  float GetFlow() const override { return flowLh / 1000.0f; }

  const CMicroSprinkler* record() const;
  // Flow, radius in metres and radius in whole plan units at `pressure`.
  void Evaluate(float scaleDenominator, float pixelsPerCm, float pressure);
  // The initial geometry at `p` (pixels); `elem` and `scale` are set beforehand.
  void PlaceAt(Point p, float scaleDenominator, float pixelsPerCm, float pressure);
  // Re-evaluates at a new source pressure, keeping the place, the turn of the
  // sector and the reduction.
  void ApplyPressure(float pressure);
  void ApplyPressure(float pressure, float scaleDenominator, float pixelsPerCm);
  // The reduction by `fraction` of the radius and the flow (0 to 100 %).
  void ReduceRadiusAt(float fraction, float scaleDenominator, float pixelsPerCm, float pressure);

  Point pos;
  Point handle;  // on the circle in the sector's start direction
  Colour posGripColour = kSprinklerPosGripColour;
  Colour handleGripColour = 0;
  int posGripPicked = 0;
  int handleGripPicked = 0;
  int connected = 0;
  int fullCircle = 0;
  PointD posU, handleU;
  float radiusU = 0;
  float arcDeg = 0;
  Orient orient{1, 0, 0, 1};
  int radius = 0;  // plan units after evaluation, pixels after placement and rescale
  float radiusM = 0;
  float flowLh = 0;

 private:
  bool handleOffered() const { return !fullCircle && radius > 5; }
  void drawSector() const;
};

// --- HADAR micro-sprinkler -----------------------------------------------------------

class CWMicroSprinklerHadar : public WValue<CWMicroSprinklerHadar, CWBase> {
 public:
  CWMicroSprinklerHadar();

  int GetType() const override { return kTypeMicroHadar; }
  std::unique_ptr<CWBase> CloneAt(Point target) const override;
  void MoveLabelTo(Point p) override;
  void Rescale(float zoom) override;
  void DrawLabel() override;
  void DrawFlow() override;
  void Draw() override;
  void ResetGrips() override;
  void DragGrip(Point to, Point from) override;
  int PickGrip(Point p, int mode) override;
  void DrawHighlighted() override;
  std::string GetKindName() const override;
  float GetFlow() const override { return flowLh / 1000.0f; }

  // The nozzle row `nozzleRow` of the insert (or, without `insertUsed`, of the
  // alternative nozzle element), or null.
  const NamedRow4* row() const;
  // The initial geometry at `p` (pixels); body, insert, row and `scale` are
  // set beforehand.
  void PlaceAt(Point p, float scaleDenominator, float pixelsPerCm, float pressure);
  // Re-evaluates at a new source pressure, keeping the place and the turn.
  void ApplyPressure(float pressure);
  void ApplyPressure(float pressure, float scaleDenominator, float pixelsPerCm);

  int reserved0 = 0;
  CElem* altNozzle = nullptr;
  int reserved1 = 0;
  CElem* insert = nullptr;
  int nozzleRow = 0;
  int reserved2 = 0;
  Point pos;
  Point handle;
  Colour posGripColour = kSprinklerPosGripColour;
  Colour handleGripColour = 0;
  int insertUsed = 0;
  int posGripPicked = 0;
  int handleGripPicked = 0;
  int halfCircle = 0;
  int connected = 0;
  PointD posU, handleU;
  float radiusU = 0;
  Orient orient{1, 0, 0, 1};
  int radiusPx = 0;
  float radiusM = 0;
  float flowLh = 0;

 private:
  CElem* rowSource() const { return insertUsed ? insert : altNozzle; }
  bool handleOffered() const { return insertUsed && halfCircle; }
  void drawCoverage() const;
};

// --- RWS root watering unit --------------------------------------------------------

class CWRwsSprinkler : public WValue<CWRwsSprinkler, CWBase> {
 public:
  CWRwsSprinkler();

  int GetType() const override { return kTypeRws; }
  // A new unit placed at the target with the same element and values.
  std::unique_ptr<CWBase> CloneAt(Point target) const override;
  void MoveLabelTo(Point) override {}
  void Rescale(float zoom) override;
  void DrawLabel() override;
  void DrawFlow() override;
  void Draw() override;
  void ResetGrips() override;
  void DragGrip(Point to, Point from) override;
  int PickGrip(Point p, int mode) override;
  void DrawHighlighted() override;
  std::string GetKindName() const override;
  float GetFlow() const override { return flow; }

  void PlaceAt(Point p, CElem* element, float zoom, float scaleDenominator, float pixelsPerCm, float pressure);
  // Re-initialised at its place for a new source pressure (the flow does not
  // depend on it); the label offset and the connected mark are kept.
  void ApplyPressure(float pressure);

  float reserved = 1.0f;
  Point pos;
  PointD posU;
  int posGripPicked = 0;
  float flow = 0;  // m3/h
  float radiusU = 0;
  float pixelsPerCmUsed = 0;
  float scaleDenominatorUsed = 0;
  float pressureUsed = 0;
  Colour posGripColour = kSprinklerPosGripColour;
  int connected = 0;

 private:
  Point anchor() const;
  int radiusPx() const { return static_cast<int>(radiusU * zoomF); }
  void drawCircle() const;
};
