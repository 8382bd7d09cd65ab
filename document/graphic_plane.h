#pragma once
// The project document: everything that belongs to one irrigation project
// (terrain, irrigation objects, description, company block, water source,
// drawing scale and zoom, background reference) and the state of the tool
// in progress. One document exists at a time, inside the plan view.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "document/terrain.h"
#include "objects/wbase.h"
#include "platform/canvas.h"

// What the document tells the undo history (built with the editor).
class UndoLink {
 public:
  virtual ~UndoLink() = default;
  // The operation begun by a line or dimension tool ends without a result.
  virtual void endPendingOperation() = 0;
};

class CGraphicPlane {
 public:
  CGraphicPlane();
  virtual ~CGraphicPlane();
  CGraphicPlane(const CGraphicPlane&) = delete;
  CGraphicPlane& operator=(const CGraphicPlane&) = delete;

  // --- lists -------------------------------------------------------------------
  // Sets the object's list code and appends it; the document owns it.
  CWBase* addObject(int listCode, std::unique_ptr<CWBase> object);
  const std::vector<std::unique_ptr<CWBase>>& objects() const { return objects_; }
  // Sets the primitive's type and appends it to the terrain list.
  CPrimitive* addPrimitive(int type, std::unique_ptr<CPrimitive> primitive);
  const std::vector<std::unique_ptr<CPrimitive>>& terrain() const { return terrain_; }
  // Destroys every primitive and every object.
  void releaseAll();

  // --- zoom and drawing --------------------------------------------------------
  // Sets the zoom and recomputes every object's and primitive's pixels.
  void setZoom(float z);
  // Draws the terrain primitives in list order.
  void paintTerrain(platform::Canvas& canvas);
  // Draws the objects in their sequence: bodies, labels, flows, the selected
  // object highlighted, then the pointed pipe and cable.
  void paintObjects(platform::Canvas& canvas);
  // The passes of paintObjects, each over the objects [from, to) of the
  // list, so that a view may share them out; `paintSelection` draws the
  // selected object and the pointed pipe and cable on top.
  void paintBodies(platform::Canvas& canvas, size_t from, size_t to);
  void paintLabels(platform::Canvas& canvas, size_t from, size_t to);
  void paintFlows(platform::Canvas& canvas, size_t from, size_t to);
  void paintSelection(platform::Canvas& canvas);
  // Decides where each label is drawn on `canvas` by the next paintLabels:
  // a label that would cover another label or a symbol goes to the nearest
  // free place around its object, unless the user set its offset by hand
  // (the stored offsets do not change). paintObjects does it by itself; a
  // view that shares the passes out calls it before the labels' pass.
  void layoutLabels(platform::Canvas& canvas);
  // Whether labels (and flows) are drawn at all: switched on and readable.
  bool labelsReadable() const;
  // The label font of the settings at the current zoom.
  platform::Font labelFont() const;

  // --- picking and dragging ----------------------------------------------------
  // The first object (in list order) whose control point is at `p`; it becomes
  // the selected object. Nothing hit clears the selection and asks for a
  // repaint. `codes`, when not empty, restricts the test to those list codes.
  CWBase* pickObject(Point p, int mode, const std::vector<int>& codes = {});
  void dragSelected(Point from, Point to);
  // Abandons the tool in progress and destroys its objects; an area or
  // polyline being drawn ends its pending operation too.
  void cancelTool();

  // --- water source -------------------------------------------------------------
  // Whether the flows of the consumers of section `section` (or, with -1,
  // of the consumers marked connected) exceed the source's capacity.
  bool capacityExceeded(int section);
  // Re-evaluates every consumer at the source pressure.
  void applySourcePressure();
  // Recomputes the rotary sprinklers' radii after a change of drawing scale.
  void rescaleSprinklers();

  // --- sections and sets -------------------------------------------------------
  // The colour of the first object in section `n`; 0xFFFFFF when there is none.
  Colour sectionColourOf(int n) const;
  void onSectionRemoved(int n);
  // Marks every connection-set object of set `key` deleted.
  void removeSetObjects(uint32_t key);

  // --- fields ------------------------------------------------------------------
  float cmPerPoint = 0.0352783f;
  platform::Canvas* dc = nullptr;
  int viewOrgX = 0, viewOrgY = 0;
  int tool = 0;
  int toolKind = 0;
  // The outline colour the terrain tool gives new primitives.
  Colour toolColour = 0;
  int showGrips = 1;
  int noFill = 0;
  CWBase* selected = nullptr;
  std::string projectNo, investor, objectName, projectDate, author;  // Windows-1250
  std::string companyName, companyAddress, companyPhone, companyEmail, companyWww, companyLogo;
  std::string fileName;
  int showLabels = 1;
  int showCoverage = 1;
  int showFlows = 0;
  int hasWaterSource = 0;
  float sourcePressure = 0;
  float sourceCapacity = 0;
  float scaleDenominator = 100;
  float pixelsPerCm = 29;
  int hasBackground = 0;
  double zoom = 1.0;
  std::string backgroundFile;
  std::string backgroundTempFile;
  // Values of the plan view that the project file carries: the grid step in
  // metres and the option of scaling the background from a marked segment.
  float gridStep = 1.0f;
  int scaleFromSegment = 0;
  // The scaling dialog is open: the tool commands stay idle (not saved).
  int scaleDialogOpen = 0;
  // Output targets: the printer, and the print preview with it.
  int printing = 0;
  int preview = 0;
  // Drawing on the screen only: what lies wholly outside `cullRect` (device
  // pixels) is not drawn, an object smaller than `dotPixels` both ways is
  // drawn as a dot of its colour, and labels and flows whose letters would
  // be under `minTextPixels` high are left out. An empty rectangle and zeros
  // draw everything in full, as the printer needs.
  platform::Rect cullRect;
  int dotPixels = 0;
  int minTextPixels = 0;

  // The objects being drawn by the tool in progress (a pipe, a drip line, a
  // cable, a connection set, a dimension line); destroyed by cancelTool.
  std::unique_ptr<CWBase> toolObject;
  // The terrain primitive being drawn by the tool in progress.
  std::unique_ptr<CPrimitive> toolPrimitive;
  // The pipe under calculation and the cable of the voltage drop, drawn on
  // top of the plan.
  CWBase* pointedPipe = nullptr;
  CWBase* pointedCable = nullptr;

  // Links to what lives outside the document.
  UndoLink* undo = nullptr;
  std::function<void()> requestRepaint;

  // Today's date as the document writes it: "dd.mm.yyyy".
  static std::string todayText();

 private:
  void prepare(CWBase& object, platform::Canvas& canvas) const;

  std::vector<std::unique_ptr<CWBase>> objects_;
  std::vector<std::unique_ptr<CPrimitive>> terrain_;
  // The last layout of the labels, by object: where the label would lie
  // (device pixels; empty when it was not measured) and its shift from there.
  std::vector<platform::Rect> labelBoxes_;
  std::vector<platform::Point> labelShifts_;
};
