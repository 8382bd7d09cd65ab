#pragma once
// What the plan view's mouse and keys do to the open project: the terrain
// tools, the edit and select tools, snapping to the grid, ORTO and vertex
// snapping, deleting and the label switch. Plain C++: the view hands over
// points in plan-view pixels (client point less the scroll origin) and a
// canvas on its back buffer for the inverted feedback, then repaints as told.

#include <memory>
#include <string>

#include "document/graphic_plane.h"
#include "document/plan_painter.h"
#include "editing/clipboard.h"
#include "editing/palette_choice.h"
#include "editing/undo_history.h"
#include "hydraulics/pipe_calculator.h"
#include "hydraulics/system_parameters.h"

#include <functional>
#include <optional>

// Tool codes of the plan view that are not placement codes of objects.
enum PlanTool {
  kToolNone = 0,
  kToolCircle = 1,
  kToolRectangle = 2,
  kToolArea = 3,
  kToolEllipse = 4,
  kToolPolyline = 5,
  kToolBaseSegment = 90,
  kToolTwoPoints = 97,
  kToolWaterSource = 1007,
  kToolChangeNozzle = 1200,
  kToolPickPipe = 1201,
  kToolMoveLabel = 1203,
  kToolPickCable = 1204,
  kToolDripType = 1207,
  kToolEdit = 1100,
  kToolSection = 1400,
  kToolPan = 1401,
};

// The context menus of the plan view.
enum PlanMenu {
  kMenuNone = 0,
  kMenuObject = 217,
  kMenuArea = 218,
  kMenuShape = 219,
  kMenuSprinkler = 220,
  kMenuLine = 221,
  kMenuText = 227,
  kMenuPaste = 235,
  kMenuWaterSource = 236,
};

// Modifier keys held with a mouse event.
struct Modifiers {
  bool shift = false;
};

// The status text of a tool (UTF-8).
std::string toolStatusText(int tool, int selectMode);

// A point truncated to the grid of `step` pixels (toward zero).
platform::Point snapToGridStep(platform::Point p, double step);
// `p` aligned with `previous`: straight below or above it when the move is
// at least as tall as it is wide, else level with it.
platform::Point orthoAligned(platform::Point p, platform::Point previous);

class PlanEditor {
 public:
  PlanEditor(CGraphicPlane& doc, CMUndo& undo, PlanViewState& view) : doc_(doc), undo_(undo), view_(view) {}

  // The canvas feedback is drawn on while an event is handled (the view's
  // back buffer), or null.
  void setCanvas(platform::Canvas* canvas);

  // --- mouse (points in plan-view pixels) ----------------------------------------
  void leftDown(platform::Point p, Modifiers m = {});
  void mouseMove(platform::Point p, bool leftHeld, Modifiers m = {});
  void leftUp(platform::Point p);
  // The menu to show for a right click, or kMenuNone when the click finished
  // a line being drawn (or did nothing).
  PlanMenu rightDown(platform::Point p);

  // --- commands --------------------------------------------------------------------
  // "Usuń obiekt": the selected object, else the selected primitive. The only
  // water source is refused with its message.
  void deleteSelection();
  void deleteSelectedObject();
  void deleteSelectedPrimitive();
  // "Ukryj/Pokaż opis" of the selected object.
  void toggleLabel();
  // Abandons the operation in progress.
  void cancel();
  // Forgets the selections and any grabbed point (a new tool was chosen).
  void clearSelection();

  // --- state -----------------------------------------------------------------------
  // The point where the last press landed, snapped (for the paste point).
  platform::Point pressPoint() const { return press_; }
  platform::Point currentPoint() const { return current_; }
  CPrimitive* selectedPrimitive() const { return selectedPrimitive_; }
  void selectPrimitive(CPrimitive* p) { selectedPrimitive_ = p; }
  bool dragging() const { return dragObject_ || dragPrimitive_; }
  // A line (area, polyline or line object) is being drawn.
  bool drawingLine() const;
  // The plan must be painted anew before it is shown.
  bool takeRepaintRequest() {
    const bool r = repaint_;
    repaint_ = false;
    return r;
  }
  void requestRepaint() { repaint_ = true; }
  // Called after a full repaint: the feedback of the shape being drawn is
  // put back on the fresh picture.
  void redrawFeedback();
  // Moves the stored pointer onto a control point an object picked.
  void pointerMovedTo(platform::Point p) { grabOffset_ = {p.x - press_.x, p.y - press_.y}; current_ = p; }

  // The water sources on the plan (not deleted).
  int waterSourceCount() const;

  // The project's one-item clipboard ("Kopiuj...", "Wklej..", "Wyczyść schowek").
  CCopyPaste clipboard;
  void copySelection() { clipboard.copySelection(selectedPrimitive_, doc_.selected); }
  void paste(platform::Point at) {
    if (clipboard.paste(doc_, undo_, at)) repaint_ = true;
  }

  // Sub-mode of the edit tool: 0 drags control points, 1 only selects.
  int selectMode = 0;
  // Snapping is held on with the M key: the grid marker is not shown.
  bool snapHeld = false;

  // The placement tools read the palette's choices; the first water source
  // asks for its parameters (nothing when the dialog was closed without OK);
  // a tool that ends by itself (the water source's) tells the palette.
  const PaletteChoice* palette = nullptr;
  std::function<std::optional<SourceParameters>()> askSourceParameters;
  std::function<void()> onToolReleased;
  // The section the section tool assigns, and its colour.
  int currentSection = 0;
  Colour currentSectionColour = 0;

  // The scaling tools: the distance of two points picked (tool 97) and the
  // dark columns of the background under a framed scale bar (tool 90).
  std::function<void(int)> onTwoPointsMeasured;
  std::function<void(int)> onBaseSegmentMeasured;

  // The nozzle dialog of the change-nozzle tool for a rotary sprinkler: the row chosen.
  std::function<int(CWBase& sprinkler)> chooseNozzle;
  // The type dialog of the drip line tool: the type chosen, or null to change nothing.
  std::function<CElem*(CWBase& dripline)> chooseDripType;

 private:
  platform::Point snapped(platform::Point p) const;
  // The vertex of the shape being drawn, after ORTO and Shift snapping.
  platform::Point constrainedVertex(platform::Point p, Modifiers m) const;
  void prepare(CPrimitive& prim) const;
  // The small inverted cross on the grid point the pointer snaps to; drawn
  // twice it is gone.
  void drawSnapMarker(platform::Point p);
  void updateSnapMarker();
  // The dimension tool's three clicks, and its inverted band from the last
  // point set to the pointer.
  void dimensionClick(platform::Point p);
  // The placement tools: true when the click was theirs.
  bool placementClick(platform::Point p);
  // A symbol of class `Symbol` for `elem`, placed at `p` at the zoom of now.
  template <typename Symbol>
  std::unique_ptr<Symbol> placedSymbol(CElem* elem, platform::Point p) const;
  void placeWaterSource(platform::Point p);
  void changeNozzleClick(platform::Point p);
  void dripTypeClick(platform::Point p);
  // The first object of one of `codes` (list codes) whose control point
  // (`mode` as PickGrip takes it) is within reach of `p`, not deleted.
  CWBase* objectAt(platform::Point p, int mode, std::initializer_list<int> codes);
  void markConnectedClick(platform::Point p);
  // Records `o` for undo as it stands before a change.
  void recordBefore(CWBase& o);
  void sectionClick(platform::Point p);
  void lineClick(platform::Point p);
  // Ends the line object being drawn (right button); a line of fewer than two
  // vertices is dropped.
  void finishLineObject();
  // Puts a finished line object on the plan (the move after the right button).
  void commitLineObject();
  void drawRubber(platform::Point from, platform::Point to);
  // The scaling tools' inverted feedback: the measuring line from its first
  // point to the pointer, and the frame being dragged.
  void measureClick(platform::Point p);
  void drawScaleFeedback();
  void hideScaleFeedback();
  void showScaleFeedback();
  void finishFrame();
  void eraseRubber();
  void updateRubber();
  void terrainDown(platform::Point p, Modifiers m);
  void editDown(platform::Point p);
  bool pickPrimitive(platform::Point p);
  void startShape(int type, platform::Point p);
  void finishShape();
  void discardShape();

  CGraphicPlane& doc_;
  CMUndo& undo_;
  PlanViewState& view_;
  platform::Canvas* canvas_ = nullptr;

  platform::Point press_;
  platform::Point current_;
  platform::Point previous_;
  platform::Point grabOffset_;
  bool repaint_ = false;

  CPrimitive* selectedPrimitive_ = nullptr;
  // A control point is held: the copy taken before it was grabbed goes to
  // the history at the first move.
  CWBase* dragObject_ = nullptr;
  CPrimitive* dragPrimitive_ = nullptr;
  std::unique_ptr<CWBase> objectBefore_;
  std::unique_ptr<CPrimitive> primitiveBefore_;
  bool dragMoved_ = false;
  bool selectionChanged_ = false;
  bool markerShown_ = false;
  bool rubberShown_ = false;
  platform::Point lineRubberAt_;
  platform::Point rubberFrom_, rubberTo_;
  platform::Point markerAt_;
  platform::Point dragLast_;
  std::optional<platform::Point> measureFrom_;  // tool 97's first point
  std::optional<platform::Point> frameFrom_;    // tool 90's press point
  platform::Point scaleFeedbackTo_;
  bool scaleFeedbackShown_ = false;
};
