#pragma once
// The base of every irrigation object on the plan, and of the objects drawn
// as a scalable symbol.
//
// Every characteristic point is kept twice: in pixels at the current zoom
// (drawing and hit tests) and in plan units (pixels at zoom 1, persisted).
// Objects are values: clone() copies all of an object's state and assign()
// writes a copy back into the same object, which is how undo snapshots and
// the clipboard work.

#include <array>
#include <memory>
#include <string>

#include "document/app_state.h"
#include "platform/canvas.h"

class CElem;

using platform::Canvas;
using platform::Point;

// A point in plan units.
struct PointD {
  double x = 0;
  double y = 0;
  friend bool operator==(const PointD&, const PointD&) = default;
};

// The bounding box the drawing's extent is gathered into; empty when the
// maxima lie below the minima.
struct Extent {
  int maxX = -2147483647 - 1;
  int maxY = -2147483647 - 1;
  int minX = 2147483647;
  int minY = 2147483647;
};

// Type codes of the object classes; the same codes name the placement tools
// and tag the records of the project file.
enum ObjectType {
  kTypeBase = -1,
  kTypeSymbol = 0,
  kTypeSprinkler = 1000,
  kTypePipe = 1001,
  kTypeSet = 1002,
  kTypeValve = 1003,
  kTypeController = 1004,
  kTypeDimension = 1006,
  kTypeStaticSprinkler = 1008,
  kTypeMicroHadar = 1009,
  kTypeDripline = 1010,
  kTypeCable = 1011,
  kTypeFilter = 1012,
  kTypeRegulator = 1014,
  kTypeValveBox = 1015,
  kTypeRainSensor = 1016,
  kTypeRws = 1017,
  kTypeMicroSprinkler = 1018,
  kTypeText = 1205,
  kListCodeDimension = 1206,  // the document's list code of dimension lines
};

constexpr int kNoSection = 0xFFFFFF;
constexpr Colour kPickedGripColour = 0x808080;
constexpr Colour kSprinklerPosGripColour = 0x1C8014;
constexpr Colour kOrangeGripColour = 0x007BFF;

class CWBase {
 public:
  CWBase();
  virtual ~CWBase();

  // --- value semantics -------------------------------------------------------
  virtual std::unique_ptr<CWBase> clone() const = 0;
  // Writes `other` (an object of the same class) over this object.
  virtual void assign(const CWBase& other) = 0;

  // --- the virtual operations, in their declared order -----------------------
  virtual int GetType() const { return kTypeBase; }
  // A copy moved so that its position lies at `target` (pixels), or null for
  // the kinds that are not copied.
  virtual std::unique_ptr<CWBase> CloneAt(Point target) const;
  virtual void MoveLabelTo(Point p);
  virtual void Rescale(float zoom);
  virtual Extent GetExtent(Extent e) const;
  virtual void DrawLabel();
  virtual void DrawFlow();
  virtual void Draw();
  virtual int CanReduceRadius() const { return 0; }
  virtual void ReduceRadius(float fraction);
  virtual void ResetGrips();
  virtual void DragGrip(Point to, Point from);
  virtual int PickGrip(Point p, int mode);
  virtual void DrawHighlighted();
  virtual std::string GetKindName() const;  // Windows-1250
  virtual float GetReduction() const { return reduction; }
  virtual float GetFlow() const { return -1.0f; }
  virtual int IsLabelShown() const { return labelShown; }
  virtual void ShowLabel(int flag) { labelShown = flag; }
  virtual void SetSectionColour(Colour c);
  virtual int HasSectionColour() const { return hasSectionColour; }
  virtual void SetSectionNo(int n) { sectionNo = n; }
  virtual int GetSectionNo() const { return sectionNo; }
  virtual int OnSectionRemoved(int removed);

  // --- fields ------------------------------------------------------------------
  int savedRop = 0;
  Canvas* dc = nullptr;  // set before every drawing or hit-test call
  int listCode = -1;
  uint32_t kindWord = 0;
  CElem* elem = nullptr;  // not owned: the catalogue outlives every project
  int showGrips = 1;
  int hasSectionColour = 0;
  Colour sectionColour = 0;
  int sectionNo = kNoSection;
  double scale = 1.0;  // 1 / zoom at the last rescale
  float zoomF = 1.0f;
  int deleted = 0;
  int printing = 0;
  int preview = 0;
  int viewOrgX = 0;
  int viewOrgY = 0;
  int labelGripPicked = 0;
  int labelDx = 0;  // label anchor offset from the position, plan units
  int labelDy = 0;
  double labelDxD = 0.0;
  double labelDyD = 0.0;
  int showCoverage = 1;
  int hasType = 0;
  float reduction = 0;
  int labelShown = 1;

  // --- shared helpers for the classes ----------------------------------------
  // Whether `p` hits the control point `q` (closer than 8 pixels); on a hit
  // the plan view's pointer is put onto `q` unless the view snaps to its grid.
  static bool hitGrip(Point p, Point q);
  // The 4 x 4 square of a control point.
  void drawGrip(Point q, Colour c) const;
  // The label anchor for an object whose position is `pos` (pixels).
  Point labelAnchor(Point pos) const;
  // Sets the label offset so that the anchor lies at `p`.
  void setLabelOffsetTo(Point p, Point pos);
  // Pen width of a body: `screenWidth` on the screen, the print width on
  // paper, times the preview's pen factor in the preview.
  int bodyPenWidth(int screenWidth, int printWidth) const;
  // A fixed pixel size as drawn on the current target.
  double fixedSize(double pixels) const;
  // The colour of the body: the section colour, else `own`.
  Colour bodyColour(Colour own) const { return hasSectionColour ? sectionColour : own; }
  // The catalogue element's name, or its short code between "<" and ">".
  std::string elementName() const;
  std::string elementShortName() const;

 protected:
  CWBase(const CWBase&) = default;
  CWBase& operator=(const CWBase&) = default;
};

// Implements clone() and assign() for a class with value semantics.
template <typename Derived, typename Base>
class WValue : public Base {
 public:
  using Base::Base;
  std::unique_ptr<CWBase> clone() const override {
    return std::unique_ptr<CWBase>(new Derived(static_cast<const Derived&>(*this)));
  }
  void assign(const CWBase& other) override {
    static_cast<Derived&>(*this) = static_cast<const Derived&>(other);
  }
};

// The integers of a symbol file, bounded to 5120 values and zero-filled past
// what the file holds, so that a short or unterminated figure ends.
using SymbolData = std::array<int, 5120>;

// Reads the symbol file `name` from the interface folder (program folder +
// "/Gui"). A missing file gives all zeros. Files are read once per process.
std::shared_ptr<const SymbolData> loadSymbolFile(const std::string& name);

// Parses the text of a symbol file.
SymbolData parseSymbolText(const std::string& text);

// Draws a symbol figure centred at `pos` with size `size` on `dc` with the
// selected pen.
void drawSymbolFigure(Canvas& dc, const SymbolData& data, Point pos, int size);

class CWSymb : public CWBase {
 public:
  CWSymb();

  int GetType() const override { return kTypeSymbol; }
  std::unique_ptr<CWBase> CloneAt(Point target) const override;
  void MoveLabelTo(Point p) override;
  void Rescale(float zoom) override;
  void DrawLabel() override;
  void Draw() override;
  void ResetGrips() override;
  void DragGrip(Point to, Point from) override;
  int PickGrip(Point p, int mode) override;
  void DrawHighlighted() override;
  std::string GetKindName() const override;
  virtual void DrawSymbol();

  // Loads `symFile` into `symData`.
  void loadSymbol(const std::string& file);
  // Places the symbol at `p` (pixels) with its size handle beside it.
  void placeSymbolAt(Point p);

  std::string symFile;
  std::shared_ptr<const SymbolData> symData;
  int noLabelGrip = 0;
  Colour posGripColour = 0;
  int posGripPicked = 0;
  Colour sizeGripColour = 0;
  int sizeGripPicked = 0;
  int posX = 0, posY = 0;
  int sizeGripX = 0, sizeGripY = 0;
  int size = 20;
  double posUx = 0, posUy = 0;
  double sizeGripUx = 0, sizeGripUy = 0;
  float sizeU = 20.0f;
  int hasSizeGrip = 0;

 protected:
  CWSymb(const CWSymb&) = default;
  CWSymb& operator=(const CWSymb&) = default;
  // The symbol figure drawn with `pen`.
  void drawFigureWith(const platform::Pen& pen);
};
