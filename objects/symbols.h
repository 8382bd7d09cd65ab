#pragma once
// Equipment drawn as a symbol on the plan: solenoid valves (one of which may
// be the water source), valve boxes, controllers, filters, pressure
// regulators and rain or soil sensors.
//
// Their labels show the catalogue element's name, or only the short plan code
// a name carries between "<" and ">".

#include <functional>
#include <string>

#include "objects/wbase.h"

// A message for the user (texts in Windows-1250); the application shows it in
// a message box.
struct UserMessage {
  enum class Icon { Information, Error };
  std::string text;
  std::string caption;
  Icon icon = Icon::Information;
};
using MessageHook = std::function<void(const UserMessage&)>;

// The figure of a valve at `pos`: the five points (x - a, y - a), (x + a, y - a),
// (x, y), (x - a, y + a), (x + a, y + a) turned by `angle` (radians) about `pos`.
std::array<Point, 5> valveFigurePoints(Point pos, int halfSize, float angle);

// --- valve and water source ----------------------------------------------------

class CWValve : public WValue<CWValve, CWBase> {
 public:
  CWValve();

  int GetType() const override { return kTypeValve; }
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
  virtual void SetWaterSource(int flag) { isWaterSource = flag; }
  virtual int IsWaterSource() const { return isWaterSource; }

  // A new valve at `click` (pixels) at `zoom`: the size handle at
  // (x + 10 zoom, y + 10 zoom), the rotation handle at (x + 25 zoom, y).
  void PlaceAt(Point click, double zoom);
  // Half the width of the figure: the horizontal distance of the size handle.
  int halfSize() const;

  int posX = 0, posY = 0;
  Colour posGripColour = 0;
  int posGripPicked = 0;
  int pointAX = 0, pointAY = 0;  // size handle
  Colour sizeGripColour = 0;
  int sizeGripPicked = 0;
  int pointBX = 0, pointBY = 0;  // rotation handle
  Colour rotGripColour = kOrangeGripColour;
  int rotGripPicked = 0;
  double posUx = 0, posUy = 0;
  double pointAUx = 0, pointAUy = 0;
  double pointBUx = 0, pointBUy = 0;
  int lastDragX = 0, lastDragY = 0;
  float angle = 1.5707499f;  // radians; 0 has the handle straight above
  int isWaterSource = 0;

 private:
  void drawFigure(const platform::Pen& pen, bool fill);
  void updatePlanUnits();
};

// Deletes `object` the way "Usuń obiekt" does: marks it deleted, except the
// only water source of the document (`waterSourceCount` sources, deleted ones
// not counted), which is refused with a message through `report`.
// Returns 0 when the object was deleted, -1 when it was refused.
int DeleteObject(CWBase& object, int waterSourceCount, const MessageHook& report);

// --- valve box -----------------------------------------------------------------

class CWValveBox : public WValue<CWValveBox, CWSymb> {
 public:
  CWValveBox();

  int GetType() const override { return kTypeValveBox; }
  std::unique_ptr<CWBase> CloneAt(Point target) const override;
  void Rescale(float zoom) override;
  void DrawLabel() override;
  void Draw() override;
  void ResetGrips() override;
  void DragGrip(Point to, Point from) override;
  int PickGrip(Point p, int mode) override;
  void DrawHighlighted() override;
  std::string GetKindName() const override;
  // The outline: a green double line, the green pen 3w wide under a white
  // one w wide.
  virtual void DrawBody(int w);

  // A new box at `click` with the default sizes at `zoom`.
  void PlaceAt(Point click, double zoom);
  bool isRound() const;
  // The corners of a rectangular box: position, + width, + width and length,
  // + length, each turned by the turn matrix.
  std::array<Point, 4> corners() const;

  int widthGripPicked = 0;
  Colour widthGripColour = kOrangeGripColour;
  int widthGripX = 0, widthGripY = 0;
  double widthGripUx = 0, widthGripUy = 0;
  int lengthGripPicked = 0;
  Colour lengthGripColour = 0;
  int lengthGripX = 0, lengthGripY = 0;
  double lengthGripUx = 0, lengthGripUy = 0;
  int widthPx = 20;
  int lengthPx = 40;
  float widthU = 20.0f;
  float lengthU = 40.0f;
  float turn11 = 1, turn12 = 0, turn21 = 0, turn22 = 1;

 private:
  void drawOutline(const platform::Pen& pen);
  void placeHandles();
};

// --- controller ----------------------------------------------------------------

class CWController : public WValue<CWController, CWBase> {
 public:
  CWController();

  int GetType() const override { return kTypeController; }
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

  // A new controller at `click`: the size in pixels at `zoom` and the size
  // handle beside it.
  void PlaceAt(Point click, double zoom);

  std::string symFile = "Sterownik.sym";  // named, not read: the figure is fixed
  int posX = 0, posY = 0;
  Colour posGripColour = 0;
  int posGripPicked = 0;
  double posUx = 0, posUy = 0;
  float sizeU = 20.0f;
  int size = 20;
  Colour sizeGripColour = 0;
  int sizeGripPicked = 0;
  int sizeGripX = 0, sizeGripY = 0;
  double sizeGripUx = 0, sizeGripUy = 0;

 private:
  void drawFigure(const platform::Pen& pen, const platform::Brush& brush);
  void updatePlanUnits();
};

// --- filter, regulator, sensor -------------------------------------------------

// A symbol whose figure is read from its symbol file and labelled with the
// catalogue label text.
class CWCatalogueSymbol : public CWSymb {
 public:
  void DrawLabel() override;
  void DrawSymbol() override;
  // A new symbol at `click`: the size in pixels at `zoom`, the size handle
  // beside it.
  void PlaceAt(Point click, double zoom);

 protected:
  CWCatalogueSymbol() = default;
  CWCatalogueSymbol(const CWCatalogueSymbol&) = default;
  CWCatalogueSymbol& operator=(const CWCatalogueSymbol&) = default;
};

class CWFilter : public WValue<CWFilter, CWCatalogueSymbol> {
 public:
  CWFilter();
  int GetType() const override { return kTypeFilter; }
  std::string GetKindName() const override;
};

class CWReg : public WValue<CWReg, CWCatalogueSymbol> {
 public:
  CWReg();
  int GetType() const override { return kTypeRegulator; }
  std::string GetKindName() const override;
};

// A rain sensor (catalogue kind 14) or soil sensor (23). Its symbol file is
// read but the figure is fixed: a red-ringed white circle crossed by a red
// line.
class CWRainSensor : public WValue<CWRainSensor, CWCatalogueSymbol> {
 public:
  CWRainSensor();
  int GetType() const override { return kTypeRainSensor; }
  std::unique_ptr<CWBase> CloneAt(Point target) const override;
  void DrawLabel() override;
  void DrawHighlighted() override;
  std::string GetKindName() const override;
  void DrawSymbol() override;

 private:
  void drawFigure(const platform::Pen* override);
};
