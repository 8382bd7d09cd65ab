#pragma once
// Objects drawn vertex by vertex: pipe runs and drip lines, and the vertex
// handling they share with cables and connection sets.
//
// A polyline keeps its vertices in pixels at the current zoom and in plan
// units; the pixel copies are always recomputed from the plan units, so a
// zoom round trip gives back the same pixels. A polyline holds at most
// kMaxPolylineVertices vertices; further points are ignored.

#include <string>
#include <vector>

#include "objects/wbase.h"

class CLinKrop;

constexpr int kMaxPolylineVertices = 9990;
constexpr Colour kPickedVertexColour = 0xFFFFFF;
// The polyline under calculation and connected drip lines are drawn in blue.
constexpr Colour kPointedColour = 0xFF0000;

// The part of a catalogue name between the first "<" and the next ">", or
// the whole name when it does not hold both.
std::string bracketedOrWholeName(const std::string& name);

class CWPolyline : public CWBase {
 public:
  CWPolyline();

  // Every vertex shifted by (target - first vertex); the plan units of the
  // copy are the shifted pixels times `scale`, truncated.
  std::unique_ptr<CWBase> CloneAt(Point target) const override;
  // The label offset is kept from the first vertex.
  void MoveLabelTo(Point p) override;
  void Rescale(float zoom) override;
  void Draw() override;
  void ResetGrips() override;
  void DragGrip(Point to, Point from) override;
  // Vertices in order, then the label; the mode is not used.
  int PickGrip(Point p, int mode) override;
  void DrawHighlighted() override;

  // Appends a vertex given in pixels; returns 0 when the polyline is full.
  int AddVertex(Point p);
  // Appends a vertex given in plan units (as read from a project file).
  int AddVertexU(PointD u);
  int vertexCount() const { return static_cast<int>(vertices.size()); }
  // Feedback while the next vertex is placed: the segment from the last
  // vertex follows the mouse from `from` to `to`.
  void DrawRubberBand(Point to, Point from);
  // Blue and 3 pixels wide: the polyline under calculation.
  void DrawPointed();
  // Sum of the segment lengths in plan units (single precision).
  float LengthU() const;

  int labelAngle = 0;  // tenths of a degree
  int pickedVertex = 0;
  int finished = 0;  // the user ended the polyline
  std::vector<Point> vertices;
  std::vector<PointD> verticesU;
  std::vector<Colour> vertexColours;
  // A vertex is being dragged (PickGrip hit one since the last ResetGrips).
  int vertexGripPicked = 0;

 protected:
  CWPolyline(const CWPolyline&) = default;
  CWPolyline& operator=(const CWPolyline&) = default;

  // The pen of the body by class, section and output.
  virtual platform::Pen bodyPen() const = 0;
  // Whether the label control point is offered.
  virtual bool labelGripShown() const { return labelShown != 0; }

  void drawPath(const platform::Pen& pen) const;
  void drawVertexGrips() const;
  Point labelPoint() const { return labelAnchor(vertices.front()); }
  // The label font of the settings at `height` pixels, turned by labelAngle.
  platform::Font labelFont(int height) const;
  // Draws `text` at the label anchor with `font`.
  void drawLabelText(const std::string& text, const platform::Font& font) const;
};

// A pipe run: drawn without a catalogue element; the pipe calculator assigns
// a pipe type later, which gives it its diameter label.
class CWPipe : public WValue<CWPipe, CWPolyline> {
 public:
  CWPipe();

  int GetType() const override { return kTypePipe; }
  void DrawLabel() override;
  std::string GetKindName() const override;

  // The pipe calculator's choice: the pipe type and its label.
  void AssignType(CElem* pipeType);
  // "ø <code>" (the diameter sign is the byte 0xF8 of the Western code page
  // the label font uses); empty without an assigned type.
  std::string LabelText() const;

  int typeAssigned = 0;
  int spare = 0;

 protected:
  platform::Pen bodyPen() const override;
  bool labelGripShown() const override { return typeAssigned && labelShown; }
};

// Built-in emitter curves of the non-compensating drip line types: emitter
// flow in l/h at the pressure `pressure` (atm) on curve 0..3.
float emitterFlowOnCurve(int curve, float pressure);

// A drip line: its flow follows from its length, the emitter spacing and the
// emitter flow of its type.
class CWDripline : public WValue<CWDripline, CWPolyline> {
 public:
  CWDripline();

  int GetType() const override { return kTypeDripline; }
  void DrawLabel() override;
  void DrawFlow() override;
  void Draw() override;
  std::string GetKindName() const override;
  float GetFlow() const override { return flow; }

  // Reads the type digit after the first "<" of the type's emitter text:
  // 1 compensating, 2..5 the curves 0..3; anything else changes nothing.
  void ParseType();
  // Recomputes `flow` at the drawing scale 1:`scaleDenominator`, with
  // `pixelsPerCm` plan units per centimetre, at the source pressure. For
  // non-compensating types the looked-up emitter flow is written into the
  // catalogue type, so every drip line of the type and the reports see it.
  void UpdateFlow(float scaleDenominator, float pixelsPerCm, float pressure);
  std::string LabelText() const;
  // The catalogue drip line type, or null when `elem` is none.
  CLinKrop* type() const;

  int compensating = 0;
  int curveIndex = 0;  // -1 for compensating types
  int connected = 0;   // connected to the pipe under calculation
  int spare1 = 0, spare2 = 0;
  float flow = 0;  // m3/h

 protected:
  platform::Pen bodyPen() const override;
};

// --- changing a drip line's type ------------------------------------------

struct DriplineTypeChoice {
  std::string text;  // the short name shown in the list, Windows-1250
  CElem* elem = nullptr;
};

// The drip line types of the catalogue list starting at `head`, by short
// name, sorted; archived types are left out unless `current` is one.
std::vector<DriplineTypeChoice> driplineTypeChoices(CElem* head, const CElem* current);

// The entry of `current` in `choices`, or -1.
int driplineTypeIndex(const std::vector<DriplineTypeChoice>& choices, const CElem* current);

// Gives the drip line the type `choice` and recomputes its flow.
void applyDriplineType(CWDripline& line, CElem* choice, float scaleDenominator, float pixelsPerCm, float pressure);
