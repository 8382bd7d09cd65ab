#pragma once
// Free texts and dimension lines: plan annotations that carry no catalogue
// element.

#include <functional>
#include <string>

#include "objects/wbase.h"

// --- free text -------------------------------------------------------------------

// A text placed on the plan, drawn with its own font and colour whenever the
// labels are drawn. It has no label of its own: the text is the object.
class CWText : public WValue<CWText, CWSymb> {
 public:
  static constexpr size_t kMaxText = 1023;      // bytes
  static constexpr size_t kMaxFontFace = 1023;  // bytes

  CWText();

  int GetType() const override { return kTypeText; }
  std::unique_ptr<CWBase> CloneAt(Point target) const override;
  void DrawLabel() override;
  void DragGrip(Point to, Point from) override;
  void DrawHighlighted() override;
  std::string GetKindName() const override;

  // Puts the text at `click` (pixels) at `zoom`.
  void PlaceAt(Point click, double zoom);
  // The texts are cut to their field widths.
  void setText(const std::string& t) { text = t.substr(0, kMaxText); }
  void setFontFace(const std::string& f) { fontFace = f.substr(0, kMaxFontFace); }
  // The font the text is drawn with at the current zoom.
  platform::Font font() const;

  std::string text;      // Windows-1250
  Colour textColour = 0;
  int fontHeight = 10;   // at zoom 1
  int fontWeight = 400;
  int textAngle = 0;     // tenths of a degree
  int italic = 0;
  int underline = 0;
  std::string fontFace = "Arial";
};

// --- dimension line ----------------------------------------------------------------

// A measured distance A-B with arrowheads at both ends, two extension lines
// toward the offset point C, and the length in metres as its label.
//
// Created in three steps: Start (A), SetEnd (B), Complete (C), after which
// the length is measured; it is measured again after every drag of A or B.
class CWDimension : public WValue<CWDimension, CWSymb> {
 public:
  static constexpr size_t kMaxText = 254;  // bytes

  CWDimension();

  int GetType() const override { return kTypeDimension; }
  std::unique_ptr<CWBase> CloneAt(Point) const override { return nullptr; }
  void MoveLabelTo(Point p) override;
  void Rescale(float zoom) override;
  void DrawLabel() override;
  void Draw() override;
  void ResetGrips() override;
  void DragGrip(Point to, Point from) override;
  int PickGrip(Point p, int mode) override;
  void DrawHighlighted() override;
  std::string GetKindName() const override;
  // The figure with the pen selected on `dc`: the line, its arrowheads and,
  // once C is set, the extension lines.
  void DrawSymbol() override;

  // The first click: A at `a` (pixels) at `zoom`, with the plan view's grid
  // step in pixels and the grid step in metres times the zoom, for measuring
  // lines snapped to that grid.
  void Start(Point a, double zoom, int gridStepPixels, float gridStepMetresTimesZoom);
  // The second click: B.
  void SetEnd(Point b);
  // The third click: C; the line is complete and measured.
  void Complete(Point c);
  // A line read back from a project file: its pixels at zoom 1 from the plan
  // units, all three points set, complete. The stored text is kept.
  void restoreFromPlanUnits();
  // Measures |B - A| into `lengthM` and `text`.
  void Measure();
  // Recomputes what follows from the pixel points: the normal and the label
  // anchor.
  void updateGeometry();

  // "5.20 m": 3 significant digits, at least two decimals when fewer are
  // shown.
  static std::string formatLength(float metres);

  int labelAngle = 0;  // tenths of a degree
  int hasOffset = 0;
  int hasEnd = 0;
  int complete = 0;
  int calibPixels = 0;
  float calibLength = 0;
  int endAx = 0, endAy = 0;  // B
  int endBx = 0, endBy = 0;  // C
  double endAUx = 0, endAUy = 0;
  double endBUx = 0, endBUy = 0;
  double normalX = 0, normalY = 0;
  int endGripPicked = 0;
  Colour endGripColour = 0;
  int labelAnchorX = 0, labelAnchorY = 0;  // the middle of A and B
  std::string text;  // Windows-1250
  float lengthM = 0;

 private:
  Point labelPoint() const;
  void drawArrowhead(Point tip, double ux, double uy, double zoom);
};
