#pragma once
// The terrain of the site plan: circles, ellipses, rectangles, closed areas
// and open polylines drawn under the irrigation system.
//
// A closed primitive carries a fill kind that says what the surface is and
// how it is shown: a tiled picture, the diagonal hatch of a building, or a
// solid colour. Like the irrigation objects, a primitive keeps every point
// twice, in pixels at the current zoom and in plan units, and is a value:
// clone() copies all of its state and assign() writes a copy back into the
// same primitive (undo snapshots, the clipboard).
//
// The document owns the primitives and sets `dc`, the viewport origin, the
// display switches and the printing flags before every call.

#include <array>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "objects/wbase.h"  // PointD, Extent
#include "platform/canvas.h"

// Type codes: the keys of the document's terrain list and the tags of the
// project file.
enum TerrainType {
  kTerrainBase = -1,
  kTerrainCircle = 1,
  kTerrainRectangle = 2,
  kTerrainArea = 3,
  kTerrainEllipse = 4,
  kTerrainPolyline = 5,
};

// What a surface is. The codes are stored in project files.
enum FillKind {
  kFillNone = 0,  // fills with whatever brush the canvas holds
  kFillOther = 100,
  kFillPurple = 1000,  // offered by no tool, still read from files
  kFillLawn = 2000,
  kFillHedge = 3000,
  kFillBuilding = 4000,
  kFillPaving = 5000,
  kFillWater = 6000,
  kFillTrees = 7000,
  kFillFlowers = 7100,
};

// The outline colour that goes with a fill kind (0 for the kinds not listed).
Colour fillKindOutlineColour(int fillKind);
// The name the fill dialog shows (Windows-1250); empty for kinds no tool offers.
std::string fillKindName(int fillKind);

// Areas and polylines hold at most this many vertices.
constexpr int kMaxVertices = 9990;
// A click this close (Euclidean pixels, exclusive) to a vertex closes an area
// or snaps onto it.
constexpr int kVertexSnapPixels = 5;
// Distance of a rectangle's rotation handle from its centre, pixels.
constexpr int kTurnHandleDistance = 25;

constexpr Colour kGrabbedGripColour = 0xFFFFFF;
constexpr Colour kFirstVertexGripColour = 0xFF3C8C;
constexpr Colour kRectCentreGripColour = 0xFFAAAA;

// What a click does to an area or polyline being drawn.
enum class VertexClick { Added, Closed, Ignored };

class CPrimitive {
 public:
  CPrimitive();
  virtual ~CPrimitive();

  // --- value semantics -------------------------------------------------------
  virtual std::unique_ptr<CPrimitive> clone() const = 0;
  // Writes `other` over this primitive; ignored unless it is of the same class.
  virtual void assign(const CPrimitive& other) = 0;

  // --- the virtual operations, in their declared order -----------------------
  // Pixels from plan units at `zoom`; `scale` = 1 / zoom.
  virtual void Rescale(float zoom) = 0;
  virtual int GetType() const { return kTerrainBase; }
  virtual int GetSize() const { return sizeof(CPrimitive); }
  // A copy moved so that its centre lies at `target` (pixels), or null.
  virtual std::unique_ptr<CPrimitive> CloneAt(Point target) const;
  // The primitive's box; the empty extent for the kinds that report none.
  virtual Extent GetExtent(Extent e) const;
  // The first vertex closer than 5 pixels to `p`, written to `out`.
  virtual bool SnapToVertex(Point p, Point& out) const;

  // --- drawing and editing ------------------------------------------------------
  virtual void Draw();
  // The outline with a 2-pixel pen in the highlight colour, unfilled.
  virtual void DrawHighlight();
  // The inverted feedback of the primitive being created; drawing it twice
  // leaves the plan as it was.
  virtual void DrawDragOutline() {}
  // Grabs the control point that `p` lies on exactly.
  virtual bool PickGrip(Point p) { (void)p; return false; }
  // Moves the grabbed control point to `to`, with inverted feedback.
  void DragTo(Point from, Point to);
  virtual void EndDrag() {}
  virtual void SetGripColours() {}

  // --- creation with the mouse (pixels) ----------------------------------------
  virtual void BeginCreate(Point p) { (void)p; }
  // Follows the pointer with the inverted feedback.
  void CreateMoveTo(Point p);
  virtual void EndCreate(Point p) { (void)p; }

  // Sets the fill kind and the outline colour that goes with it, and drops
  // the cached fill brush.
  void SetFillKind(int kind);
  // Identity of the live primitive; a copy is its own.
  const CPrimitive* selfRef() const { return this; }
  // Whether a control point is grabbed for dragging.
  virtual bool grabbed() const { return false; }
  // The control points PickGrip answers to, in pixels.
  virtual std::vector<Point> GripPoints() const { return {}; }

  // --- fields --------------------------------------------------------------------
  int type = 0;  // the type the document's terrain list files it under
  Canvas* dc = nullptr;
  int savedRop = 0;
  float cmPerPoint = 0.0352778f;
  std::shared_ptr<const platform::Image> patternBitmap;
  platform::Brush patternBrush;
  platform::Brush savedBrush;
  int showGrips = 1;
  int viewOrgX = 0;
  int viewOrgY = 0;
  int noFill = 0;
  int fillKind = 0;
  double extentScale = 1.0;
  double scale = 1.0;  // 1 / zoom at the last rescale
  Colour colour = 0;
  Colour fillColour = 0xFFFFFF;
  int deleted = 0;
  int printing = 0;
  int preview = 0;
  // The view's clip in device pixels, put back after a building's own clip;
  // an empty rectangle means no clip.
  platform::Rect clipRect;
  // The creation feedback is on the plan. The view clears it after a repaint
  // so that the next move does not "erase" what is no longer there.
  bool feedbackShown = false;

 protected:
  CPrimitive(const CPrimitive&) = default;
  CPrimitive& operator=(const CPrimitive&) = default;

  // The figure with the canvas's current pen and brush.
  virtual void drawShape() {}
  // The pixels the figure covers (before the viewport origin); an empty
  // rectangle when unknown.
  virtual platform::Rect shapeBox() const { return {}; }
  virtual void clipToShape() {}
  virtual void drawGrips() {}
  // The pen of the second pass of an "Inne" fill.
  virtual platform::Pen otherFillPen() const { return platform::Pen::solid(0); }
  // The outline shown while a control point is dragged.
  virtual void drawMoveOutline() { drawShape(); }
  virtual void applyDrag(Point from, Point to) { (void)from; (void)to; }
  virtual void trackCreation(Point p) { (void)p; }

  void drawGrip(Point q, Colour c);
  // Runs `figure` with a white pen in inverting mode and no brush.
  template <typename F>
  void drawInverted(F figure);
  // A fresh copy for CloneAt: no drawing objects, not deleted.
  void resetForCopy();

 private:
  void drawBuilding();
  bool selectFillBrush();
  void restoreClip();
};

// Implements clone(), assign() and GetSize() for a primitive class.
template <typename Derived, typename Base>
class PValue : public Base {
 public:
  using Base::Base;
  std::unique_ptr<CPrimitive> clone() const override {
    return std::unique_ptr<CPrimitive>(new Derived(static_cast<const Derived&>(*this)));
  }
  void assign(const CPrimitive& other) override {
    if (auto* same = dynamic_cast<const Derived*>(&other); same && typeid(*same) == typeid(*this))
      static_cast<Derived&>(*this) = *same;
  }
  int GetSize() const override { return sizeof(Derived); }
};

// Circle and ellipse: a centre and a point on the rim (circle) or a corner
// of the bounding box (ellipse).
class CRoundShape : public CPrimitive {
 public:
  CRoundShape();

  void Rescale(float zoom) override;
  std::unique_ptr<CPrimitive> CloneAt(Point target) const override;
  void DrawDragOutline() override;
  bool PickGrip(Point p) override;
  void EndDrag() override;
  void SetGripColours() override;
  void BeginCreate(Point p) override;
  void EndCreate(Point p) override;
  bool grabbed() const override { return grabbedWhole || grabbedRim; }
  std::vector<Point> GripPoints() const override { return {{centreX, centreY}, {rimX, rimY}}; }

  int grabbedWhole = 0;
  int centreX = 0, centreY = 0;
  int grabbedRim = 0;
  int rimX = 0, rimY = 0;
  int dragX = 0, dragY = 0;
  Colour centreGripColour = 0;
  Colour rimGripColour = 0;
  Colour lineColour = 0;
  double x1 = 0, y1 = 0;  // centre, plan units
  double x2 = 0, y2 = 0;  // rim point, plan units
  double param = 0;       // radius in pixels as last drawn (circles)
  int moveX1 = 0, moveY1 = 0, moveX2 = 0, moveY2 = 0;

 protected:
  CRoundShape(const CRoundShape&) = default;
  CRoundShape& operator=(const CRoundShape&) = default;

  // The bounding box of the figure in pixels.
  virtual platform::Rect box() = 0;
  platform::Rect shapeBox() const override { return const_cast<CRoundShape*>(this)->box(); }
  void drawShape() override;
  void clipToShape() override;
  void drawGrips() override;
  void drawMoveOutline() override;
  void applyDrag(Point from, Point to) override;
  void trackCreation(Point p) override;
  void updatePlanUnits();
  // The move positions that EndDrag commits, taken from the current pixels.
  void mirrorMovePositions();
};

class CCircle : public PValue<CCircle, CRoundShape> {
 public:
  int GetType() const override { return kTerrainCircle; }
  Extent GetExtent(Extent e) const override;
  void EndCreate(Point p) override;

 protected:
  platform::Rect box() override;
};

class CEllipse : public PValue<CEllipse, CRoundShape> {
 public:
  int GetType() const override { return kTerrainEllipse; }
  Extent GetExtent(Extent e) const override;

 protected:
  platform::Rect box() override;
};

// A rectangle given by four unturned corners about a centre and a turn
// matrix that the rotation handle sets.
class CRectn : public PValue<CRectn, CPrimitive> {
 public:
  CRectn();

  void Rescale(float zoom) override;
  int GetType() const override { return kTerrainRectangle; }
  std::unique_ptr<CPrimitive> CloneAt(Point target) const override;
  void DrawDragOutline() override;
  bool PickGrip(Point p) override;
  void EndDrag() override;
  void SetGripColours() override;
  void BeginCreate(Point p) override;
  void EndCreate(Point p) override;
  bool grabbed() const override { return grabbedWhole || grabbedCorner || grabbedTurn; }
  std::vector<Point> GripPoints() const override { return {{centreX, centreY}, turned(cornerPx[2]), {turnX, turnY}}; }

  // The corners as drawn, turned about the centre.
  std::array<Point, 4> turnedCorners() const;

  Colour lineColour = 0;
  int grabbedWhole = 0;
  Colour centreGripColour = kRectCentreGripColour;
  int centreX = 0, centreY = 0;
  int grabbedTurn = 0;
  int spareR = 0;
  int turnX = 0, turnY = 0;  // rotation handle, pixels
  int turnDragX = 0, turnDragY = 0;
  int grabbedCorner = 0;
  int cornerIndex = 0;
  std::array<Colour, 4> cornerGripColour{};
  std::array<Point, 4> cornerPx{};  // unturned
  std::array<Point, 4> sparePx{};
  std::array<PointD, 4> cornerU{};  // unturned, plan units
  double startX = 0, startY = 0;    // centre, plan units
  double endX = 0, endY = 0;        // rotation handle, plan units
  int rectValue1 = 0, rectValue2 = 0;  // width and height, pixels
  int firstX = 0, firstY = 0, curX = 0, curY = 0, prevX = 0, prevY = 0;
  float turn11 = 1, turn12 = 0, turn21 = 0, turn22 = 1;
  int moveCentreX = 0, moveCentreY = 0;
  std::array<Point, 4> moveCornerPx{};

 protected:
  void drawShape() override;
  platform::Rect shapeBox() const override;
  void clipToShape() override;
  void drawGrips() override;
  platform::Pen otherFillPen() const override { return platform::Pen::solid(colour); }
  void applyDrag(Point from, Point to) override;
  void trackCreation(Point p) override;

 private:
  Point turned(Point corner) const;
  // Corners, centre, size and handle of the rectangle dragged from the first
  // corner to `p`.
  void layOut(Point p);
  void updatePlanUnits();
  void mirrorMovePositions();
};

// A closed area through its vertices.
class CPoly : public PValue<CPoly, CPrimitive> {
 public:
  CPoly();

  void Rescale(float zoom) override;
  int GetType() const override { return kTerrainArea; }
  std::unique_ptr<CPrimitive> CloneAt(Point target) const override;
  bool SnapToVertex(Point p, Point& out) const override;
  // The path through `points`: closed for an area, open for a polyline.
  virtual void DrawPath(const std::vector<Point>& points);
  void DrawOwnPath() { DrawPath(vertexPx); }

  void DrawDragOutline() override;
  bool PickGrip(Point p) override;
  void EndDrag() override;
  void SetGripColours() override;
  void BeginCreate(Point p) override;
  bool grabbed() const override { return grabbedWhole || vertexIndex >= 0; }
  std::vector<Point> GripPoints() const override {
    std::vector<Point> g{{centreX, centreY}};
    g.insert(g.end(), vertexPx.begin(), vertexPx.end());
    return g;
  }

  // Appends a vertex at `p` (pixels); refused at the capacity.
  bool AddVertex(Point p);
  // Whether `p` lies closer than 5 pixels to the first vertex.
  bool IsFirstVertex(Point p) const;
  // One click of the drawing tool: closes the area on its first vertex or
  // adds a vertex.
  VertexClick ClickVertex(Point p);
  // Ends the drawing: takes the feedback away and settles the centre.
  void FinishCreate();
  // Replaces the vertices by `plan` (plan units), at most kMaxVertices of
  // them, with their pixels at the current scale.
  void SetPlanVertices(const std::vector<PointD>& plan);
  // The centre from the bounding box of the vertices.
  void RecomputeCentre();

  int count() const { return static_cast<int>(vertexPx.size()); }

  Colour lineColour = 0;
  int spareP = 0;
  int centreX = 0, centreY = 0;
  int grabbedWhole = 0;
  Colour centreGripColour = kOrangeGripColour;
  int shiftX = 0, shiftY = 0;
  double centreUx = 0, centreUy = 0;
  int vertexIndex = -1;  // the grabbed vertex, -1 for none
  std::vector<Point> vertexPx;
  std::vector<PointD> vertexU;
  std::vector<Colour> vertexGripColour;
  // Where the creation feedback's segment ends (the pointer).
  int rubberX = 0, rubberY = 0;

 protected:
  // Whether a click on the first vertex ends the drawing.
  virtual bool closesOnFirstVertex() const { return true; }
  void drawShape() override { DrawOwnPath(); }
  platform::Rect shapeBox() const override;
  void clipToShape() override;
  void drawGrips() override;
  void applyDrag(Point from, Point to) override;
  void trackCreation(Point p) override;
};

// An open polyline: the fields and editing of an area, never filled or closed.
class CLine : public PValue<CLine, CPoly> {
 public:
  int GetType() const override { return kTerrainPolyline; }
  void DrawPath(const std::vector<Point>& points) override;
  void Draw() override;

 protected:
  bool closesOnFirstVertex() const override { return false; }
};

// A new primitive of the given type (1-5), or null for any other code.
std::unique_ptr<CPrimitive> makePrimitive(int type);
