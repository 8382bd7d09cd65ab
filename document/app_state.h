#pragma once
// Units of the plan and the state the whole application shares. One project
// is open at a time; everything here is touched from the user-interface
// thread only.

#include <string>

#include "document/app_settings.h"
#include "platform/canvas.h"

class CPartix;
class CGraphicPlane;

// --- units ---------------------------------------------------------------
// Plan units equal screen pixels at zoom 1; pixels = (int)(units x zoom).

inline int toPixels(double planUnits, double zoom) { return static_cast<int>(planUnits * zoom); }
inline double toPlanUnits(int pixels, double scale) { return pixels * scale; }
// Plan units per metre on the ground: 100 / n x pixelsPerCm.
inline double metresToPlanUnits(double metres, float scaleDenominator, float pixelsPerCm) {
  return metres * 100.0 / scaleDenominator * pixelsPerCm;
}
inline double planUnitsToMetres(double units, float scaleDenominator, float pixelsPerCm) {
  return units / pixelsPerCm * scaleDenominator / 100.0;
}

// The drawing scale and the source pressure of the open project, for the
// operations whose signature carries none (dialogs, dragging).
struct DocumentValues {
  float scaleDenominator = 100.0f;
  float pixelsPerCm = 29.0f;
  float sourcePressure = 0.0f;
};
// The open document's values; without one, 1:100 at 29 plan units per
// centimetre and the last source pressure set.
DocumentValues documentValues();

// The plan view as the model sees it: objects move the mouse pointer onto a
// control point they pick, unless the view snaps to its grid.
class PlanViewLink {
 public:
  virtual ~PlanViewLink() = default;
  virtual bool snapToGrid() const = 0;
  // Puts the pointer and the view's stored mouse position on `p` (view pixels).
  virtual void movePointerTo(platform::Point p) = 0;
};

struct AppState {
  AppSettings settings;
  int projectOpen = 0;
  int projectUntitled = 0;
  unsigned char orthoOn = 0;
  float currentSourcePressure = 0;
  int currentTerrainTool = 0;
  Colour currentTerrainColour = 0;
  int currentFillKind = 100;
  std::string projectPath;

  CPartix* catalogue = nullptr;
  CGraphicPlane* document = nullptr;  // the open project's document
  PlanViewLink* planView = nullptr;

  // Drawing factors published by printing: fixed pixel sizes are multiplied
  // by printerSizeFactor (and 0.65) on paper, pen widths by previewPenFactor
  // in the print preview.
  float printerSizeFactor = 1.0f;
  float previewPenFactor = 1.0f;
  // Set by undo and redo: the plan has just been repainted and rubber bands
  // have nothing to erase.
  int undoRedrawPending = 0;
  // Options of the print layout that drawing consults.
  int printLawnFill = 1;  // "Drukuj wypełnienie trawnika"
};

// The application's shared state.
AppState& app();
