#include "editing/plan_editor.h"

#include "editing/background_scale.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "objects/symbols.h"
#include "objects/text_dimension.h"
#include "objects/cable_set.h"
#include "objects/micro_sprinklers.h"
#include "objects/polylines.h"
#include "objects/sprinkler.h"
#include "objects/static_sprinkler.h"
#include "platform/message_sink.h"
#include "platform/textcodec.h"

using platform::Point;

namespace {

// A press this close (Euclidean, exclusive) to a control point grabs it.
constexpr long kGripReach2 = 64;

bool isShapeTool(int tool) {
  return tool == kToolCircle || tool == kToolRectangle || tool == kToolEllipse;
}
bool isLineTool(int tool) { return tool == kToolArea || tool == kToolPolyline; }

bool isLineObjectCode(int code) {
  return code == kTypePipe || code == kTypeSet || code == kTypeDripline || code == kTypeCable ||
         code == kListCodeDimension;
}

}  // namespace

std::string toolStatusText(int tool, int selectMode) {
  switch (tool) {
    case kToolCircle: case kToolRectangle: case kToolEllipse: return "przeciągajac myszką rysuj obiekt na planie";
    case kToolArea: case kToolPolyline: case kTypePipe: case kTypeDripline: case kTypeCable: case kTypeSet:
      return "naciśnij prawy myszy by zakończyć";
    case kTypeSprinkler: case kTypeValve: case kTypeController: case 1007: case kTypeStaticSprinkler:
    case kTypeMicroHadar: case kTypeFilter: case kTypeRegulator: case kTypeValveBox: case kTypeRainSensor:
    case kTypeRws: case kTypeText:
      return "klikając na plan ustal pozycje obiektu";
    case kListCodeDimension: return "lewym przyciskiem określ 3 punkty na planie na których mają się opierać linie wym.";
    case kToolEdit: return selectMode == 1 ? "zaznacz obiekt" : "przeciągnij żądany punkt kontrolny";
    default: return "Gotów";
  }
}

Point snapToGridStep(Point p, double step) {
  if (!(step > 0) || !std::isfinite(step)) return p;
  auto snap = [step](int c) { return static_cast<int>(static_cast<int>(c / step) * step); };
  return {snap(p.x), snap(p.y)};
}

Point orthoAligned(Point p, Point previous) {
  const int dx = p.x - previous.x, dy = p.y - previous.y;
  if (std::abs(dy) >= std::abs(dx)) return {previous.x, p.y};
  return {p.x, previous.y};
}

void PlanEditor::setCanvas(platform::Canvas* canvas) {
  canvas_ = canvas;
  doc_.dc = canvas;
  doc_.viewOrgX = view_.scroll.x;
  doc_.viewOrgY = view_.scroll.y;
  if (doc_.toolPrimitive) prepare(*doc_.toolPrimitive);
}

void PlanEditor::prepare(CPrimitive& prim) const {
  prim.dc = canvas_;
  prim.viewOrgX = view_.scroll.x;
  prim.viewOrgY = view_.scroll.y;
  prim.showGrips = doc_.showGrips;
  prim.noFill = doc_.noFill;
}

Point PlanEditor::snapped(Point p) const {
  return view_.snapToGrid ? snapToGridStep(p, gridStepPixels(doc_)) : p;
}

bool PlanEditor::drawingLine() const {
  if (doc_.toolPrimitive && isLineTool(doc_.toolPrimitive->GetType())) return true;
  return doc_.toolObject != nullptr;
}

int PlanEditor::waterSourceCount() const {
  int n = 0;
  for (const auto& o : doc_.objects()) {
    const auto* valve = dynamic_cast<const CWValve*>(o.get());
    if (valve && !valve->deleted && valve->IsWaterSource()) ++n;
  }
  return n;
}

Point PlanEditor::constrainedVertex(Point p, Modifiers m) const {
  const auto* poly = dynamic_cast<const CPoly*>(doc_.toolPrimitive.get());
  if (!poly || poly->vertexPx.empty()) return p;
  if (app().orthoOn) p = orthoAligned(p, poly->vertexPx.back());
  if (m.shift) {
    for (const auto& other : doc_.terrain()) {
      if (other->deleted) continue;
      Point hit;
      if (other->SnapToVertex(p, hit)) return hit;
    }
  }
  return p;
}

// --- mouse ---------------------------------------------------------------------

void PlanEditor::leftDown(Point p, Modifiers m) {
  press_ = snapped(p);
  current_ = previous_ = press_;
  grabOffset_ = {};
  if (doc_.tool == kToolPan) return;
  if (doc_.tool == kToolTwoPoints) {
    measureClick(press_);
    return;
  }
  if (doc_.tool == kToolBaseSegment) {
    hideScaleFeedback();
    frameFrom_ = press_;
    scaleFeedbackTo_ = press_;
    return;
  }
  if (view_.editFilter == 1) doc_.selected = nullptr;
  if (view_.editFilter != 1 && doc_.tool == kToolEdit) editDown(press_);
  if (view_.editFilter != 1 && doc_.tool == kListCodeDimension) {
    dimensionClick(press_);
    return;
  }
  if (view_.editFilter != 1 && placementClick(press_)) return;
  if (doc_.selected == nullptr && view_.editFilter != 2) terrainDown(press_, m);
}

void PlanEditor::editDown(Point p) {
  auto pick = [&](CWBase& o) {
    o.dc = canvas_;
    o.viewOrgX = view_.scroll.x;
    o.viewOrgY = view_.scroll.y;
    return o.PickGrip(p, 0) != 0;
  };
  // The selected object first, so that a point it shares with another stays its own.
  CWBase* hit = nullptr;
  if (doc_.selected && !doc_.selected->deleted && pick(*doc_.selected)) hit = doc_.selected;
  if (!hit) {
    for (const auto& o : doc_.objects())
      if (!o->deleted && pick(*o)) {
        hit = o.get();
        break;
      }
    // The plan is painted anew when the button is let go: a repaint now
    // would reset the control point just picked.
    if (doc_.selected != hit) selectionChanged_ = true;
    doc_.selected = hit;
  }
  if (hit) selectedPrimitive_ = nullptr;
  // In select mode a press only selects. For a drag, the copy for the
  // history is the object as it was: the pick only marked a control point,
  // which a reset of the grips takes back.
  if (hit && selectMode == 0) {
    objectBefore_ = hit->clone();
    objectBefore_->ResetGrips();
    dragObject_ = hit;
    dragMoved_ = false;
    dragLast_ = current_;
  }
}

bool PlanEditor::pickPrimitive(Point p) {
  // The grab point: the nearest control point within reach of the press.
  auto grab = [&](CPrimitive& prim) -> bool {
    long best = kGripReach2;
    Point at;
    bool found = false;
    for (Point g : prim.GripPoints()) {
      const long dx = p.x - g.x, dy = p.y - g.y;
      if (dx * dx + dy * dy < best) {
        best = dx * dx + dy * dy;
        at = g;
        found = true;
      }
    }
    if (!found) return false;
    auto before = prim.clone();
    prepare(prim);
    if (!prim.PickGrip(at)) return false;
    if (selectMode == 0) {
      primitiveBefore_ = std::move(before);
      dragPrimitive_ = &prim;
      dragMoved_ = false;
      dragLast_ = at;
    }
    grabOffset_ = {at.x - p.x, at.y - p.y};
    current_ = at;
    selectedPrimitive_ = &prim;
    return true;
  };
  if (selectedPrimitive_ && !selectedPrimitive_->deleted && grab(*selectedPrimitive_)) return true;
  for (const auto& prim : doc_.terrain())
    if (!prim->deleted && grab(*prim)) return true;
  return false;
}

void PlanEditor::terrainDown(Point p, Modifiers m) {
  const int tool = doc_.tool;
  if (tool == kToolEdit) {
    CPrimitive* before = selectedPrimitive_;
    if (!pickPrimitive(p)) selectedPrimitive_ = nullptr;
    if (before != selectedPrimitive_) repaint_ = true;
    return;
  }
  if (isShapeTool(tool)) {
    startShape(tool, p);
    return;
  }
  if (!isLineTool(tool)) return;
  if (!doc_.toolPrimitive) {
    undo_.beginCheckpoint();
    startShape(tool, p);
    return;
  }
  auto* poly = static_cast<CPoly*>(doc_.toolPrimitive.get());
  const Point v = constrainedVertex(p, m);
  undo_.pushSnapshot(*poly);
  prepare(*poly);
  if (poly->ClickVertex(v) == VertexClick::Closed) finishShape();
}

void PlanEditor::startShape(int type, Point p) {
  auto prim = makePrimitive(type);
  prim->SetFillKind(doc_.toolKind);
  prim->colour = doc_.toolColour;
  prim->scale = 1.0 / doc_.zoom;
  prim->extentScale = 1.0;
  prepare(*prim);
  prim->BeginCreate(p);
  doc_.toolPrimitive = std::move(prim);
}

void PlanEditor::finishShape() {
  auto prim = std::move(doc_.toolPrimitive);
  if (!prim) return;
  if (isLineTool(prim->GetType())) undo_.endCheckpoint();
  const int type = prim->GetType();
  prim->dc = nullptr;
  CPrimitive* added = doc_.addPrimitive(type, std::move(prim));
  undo_.pushToggle(*added, type);
  repaint_ = true;
}

void PlanEditor::discardShape() {
  if (!doc_.toolPrimitive) return;
  if (isLineTool(doc_.toolPrimitive->GetType())) undo_.endCheckpoint();
  doc_.toolPrimitive.reset();
  repaint_ = true;
}

void PlanEditor::drawSnapMarker(Point p) {
  if (!canvas_) return;
  platform::CanvasStateSaver keep(*canvas_);
  canvas_->setViewportOrigin(view_.scroll);
  canvas_->setRasterOp(platform::RasterOp::Not);
  canvas_->setPen(platform::Pen::solid(0xFFFFFF));
  canvas_->line({p.x - 4, p.y}, {p.x + 5, p.y});
  canvas_->line({p.x, p.y - 4}, {p.x, p.y + 5});
}

void PlanEditor::updateSnapMarker() {
  const bool wanted = view_.snapToGrid && !snapHeld && canvas_;
  if (markerShown_ && (!wanted || markerAt_ != current_)) {
    drawSnapMarker(markerAt_);
    markerShown_ = false;
  }
  if (wanted && !markerShown_) {
    drawSnapMarker(current_);
    markerAt_ = current_;
    markerShown_ = true;
  }
}

void PlanEditor::dimensionClick(Point p) {
  auto* d = dynamic_cast<CWDimension*>(doc_.toolObject.get());
  eraseRubber();
  if (!d) {
    // A: the line starts; its copies while it is made go with the checkpoint.
    undo_.beginCheckpoint();
    auto line = std::make_unique<CWDimension>();
    line->Start(p, doc_.zoom, static_cast<int>(gridStepPixels(doc_)), static_cast<float>(doc_.gridStep * doc_.zoom));
    doc_.toolObject = std::move(line);
    undo_.pushSnapshot(*doc_.toolObject);
  } else if (!d->hasEnd) {
    undo_.pushSnapshot(*d);
    d->SetEnd(p);
  } else {
    d->Complete(p);
    undo_.endCheckpoint();
    std::unique_ptr<CWBase> done = std::move(doc_.toolObject);
    done->dc = nullptr;
    CWBase* added = doc_.addObject(kListCodeDimension, std::move(done));
    undo_.pushToggle(*added, kListCodeDimension);
  }
  repaint_ = true;
}

namespace {

bool isLineObjectTool(int tool) {
  return tool == kTypePipe || tool == kTypeDripline || tool == kTypeCable || tool == kTypeSet;
}

}  // namespace

template <typename Symbol>
std::unique_ptr<Symbol> PlanEditor::placedSymbol(CElem* elem, Point p) const {
  auto made = std::make_unique<Symbol>();
  made->elem = elem;
  made->scale = 1.0 / doc_.zoom;
  made->PlaceAt(p, doc_.zoom);
  return made;
}

bool PlanEditor::placementClick(Point p) {
  const int tool = doc_.tool;
  if (tool == kToolChangeNozzle) {
    changeNozzleClick(p);
    return true;
  }
  if (tool == kToolDripType) {
    dripTypeClick(p);
    return true;
  }
  if (tool == kToolPickPipe || tool == kToolPickCable) {
    CWBase* line = objectAt(p, 0, {tool == kToolPickPipe ? kTypePipe : kTypeCable});
    if (line) (tool == kToolPickPipe ? doc_.pointedPipe : doc_.pointedCable) = line;
    doc_.selected = nullptr;
    repaint_ = true;
    return true;
  }
  if (tool == kToolMarkConnected) {
    markConnectedClick(p);
    return true;
  }
  if (tool == kToolMoveLabel) {
    if (CWBase* o = doc_.selected; o && !o->deleted) {
      undo_.pushCopy(*o, o->clone());
      o->MoveLabelTo(p);
      repaint_ = true;
    }
    return true;
  }
  if (tool == kToolSection) {
    sectionClick(p);
    return true;
  }
  if (tool == kToolWaterSource) {
    placeWaterSource(p);
    return true;
  }
  if (isLineObjectTool(tool)) {
    lineClick(p);
    return true;
  }
  if (!palette) return false;
  const PaletteChoice& c = *palette;
  const float sd = doc_.scaleDenominator, ppc = doc_.pixelsPerCm, pressure = doc_.sourcePressure;
  const auto zoom = static_cast<float>(doc_.zoom);
  const double scale = 1.0 / doc_.zoom;
  std::unique_ptr<CWBase> made;
  switch (tool) {
    case kTypeSprinkler: {
      if (!c.rotaryBody) return true;
      auto s = std::make_unique<CWSprinkler>();
      s->elem = c.rotaryBody;
      s->nozzleNo = c.rotaryNozzleRow;
      s->PlaceAt(p, zoom, sd, ppc, pressure);
      made = std::move(s);
      break;
    }
    case kTypeStaticSprinkler: {
      if (!c.staticBody || !c.staticNozzle) return true;
      auto s = std::make_unique<CWStaticSprinkler>();
      s->elem = c.staticBody;
      s->nozzle = c.staticNozzle;
      s->scale = scale;
      s->PlaceAt(p, sd, ppc, pressure);
      made = std::move(s);
      break;
    }
    case kTypeMicroSprinkler: {
      if (!c.microElem) return true;
      auto m = std::make_unique<CWMicroSprinkler>();
      m->elem = c.microElem;
      m->scale = scale;
      m->PlaceAt(p, sd, ppc, pressure);
      made = std::move(m);
      break;
    }
    case kTypeMicroHadar: {
      if (!c.hadarBase || !c.hadarInsert) return true;
      auto h = std::make_unique<CWMicroSprinklerHadar>();
      h->elem = c.hadarBase;
      h->insert = c.hadarInsert;
      h->insertUsed = 1;
      h->nozzleRow = c.hadarInsertRow;
      h->scale = scale;
      h->PlaceAt(p, sd, ppc, pressure);
      made = std::move(h);
      break;
    }
    case kTypeRws: {
      if (!c.rwsElem) return true;
      auto r = std::make_unique<CWRwsSprinkler>();
      r->scale = scale;
      r->PlaceAt(p, c.rwsElem, zoom, sd, ppc, pressure);
      made = std::move(r);
      break;
    }
    case kTypeValve: {
      if (!c.valveElem) return true;
      auto v = placedSymbol<CWValve>(c.valveElem, p);
      v->SetWaterSource(0);
      made = std::move(v);
      break;
    }
    case kTypeValveBox:
      if (!c.valveBoxElem) return true;
      made = placedSymbol<CWValveBox>(c.valveBoxElem, p);
      break;
    case kTypeController:
      if (!c.controllerElem) return true;
      made = placedSymbol<CWController>(c.controllerElem, p);
      break;
    case kTypeRainSensor:
      if (!c.sensorElem) return true;
      made = placedSymbol<CWRainSensor>(c.sensorElem, p);
      break;
    // No control chooses these two tools; they place a symbol without an element.
    case kTypeFilter: made = placedSymbol<CWFilter>(nullptr, p); break;
    case kTypeRegulator: made = placedSymbol<CWReg>(nullptr, p); break;
    default: return false;
  }
  made->kindWord = 0;
  CWBase* added = doc_.addObject(tool, std::move(made));
  undo_.pushToggle(*added, tool);
  repaint_ = true;
  return true;
}

void PlanEditor::changeNozzleClick(Point p) {
  // The first object whose position is within reach; a rotary sprinkler
  // taken by its position gets the nozzle chosen in the dialog.
  auto* s = dynamic_cast<CWSprinkler*>(objectAt(p, 1, {}));
  if (!s || !s->posGripPicked || !chooseNozzle) return;
  const int row = chooseNozzle(*s);
  recordBefore(*s);
  s->ChangeNozzle(row, static_cast<float>(doc_.zoom), doc_.scaleDenominator, doc_.pixelsPerCm, doc_.sourcePressure);
  repaint_ = true;
}

void PlanEditor::recordBefore(CWBase& o) {
  // A pick only marks a control point: with the grips reset the copy is the
  // object as it was.
  auto before = o.clone();
  before->ResetGrips();
  undo_.pushCopy(o, std::move(before));
}

CWBase* PlanEditor::objectAt(Point p, int mode, std::initializer_list<int> codes) {
  for (const auto& o : doc_.objects()) {
    if (o->deleted) continue;
    if (codes.size() && std::find(codes.begin(), codes.end(), o->listCode) == codes.end()) continue;
    o->dc = canvas_;
    o->viewOrgX = view_.scroll.x;
    o->viewOrgY = view_.scroll.y;
    if (o->PickGrip(p, mode)) return o.get();
  }
  return nullptr;
}

namespace {

// The "connected" mark of a consumer, or null for an object that takes no water.
int* connectedMark(CWBase& o) {
  if (auto* s = dynamic_cast<CWSprinkler*>(&o)) return &s->connected;
  if (auto* s = dynamic_cast<CWStaticSprinkler*>(&o)) return &s->connected;
  if (auto* h = dynamic_cast<CWMicroSprinklerHadar*>(&o)) return &h->connected;
  if (auto* d = dynamic_cast<CWDripline*>(&o)) return &d->connected;
  if (auto* r = dynamic_cast<CWRwsSprinkler*>(&o)) return &r->connected;
  if (auto* m = dynamic_cast<CWMicroSprinkler*>(&o)) return &m->connected;
  return nullptr;
}

void tellCapacityExceeded() {
  platform::tell(platform::utf8ToCp1250("Przekroczono wydajność żródła wody"), "Informacja");
}

bool countsTowardSections(int code) {
  return code == kTypeSprinkler || code == kTypeStaticSprinkler || code == kTypeMicroHadar || code == kTypeDripline ||
         code == kTypeRws;
}

}  // namespace

void PlanEditor::markConnectedClick(Point p) {
  CWBase* o = objectAt(p, 1, {kTypeSprinkler, kTypeStaticSprinkler, kTypeMicroHadar, kTypeDripline, kTypeRws,
                              kTypeMicroSprinkler});
  doc_.selected = nullptr;
  repaint_ = true;
  int* mark = o ? connectedMark(*o) : nullptr;
  if (!mark) return;
  *mark = !*mark;
  if (doc_.capacityExceeded(-1)) tellCapacityExceeded();
}

void PlanEditor::sectionClick(Point p) {
  // The selection as the select tool takes it, then the section given to it.
  CWBase* hit = nullptr;
  if (doc_.selected && !doc_.selected->deleted) {
    doc_.selected->dc = canvas_;
    if (doc_.selected->PickGrip(p, 0)) hit = doc_.selected;
  }
  if (!hit) hit = objectAt(p, 0, {});
  doc_.selected = hit;
  repaint_ = true;
  if (!hit) return;
  recordBefore(*hit);
  hit->SetSectionColour(currentSectionColour);
  hit->SetSectionNo(currentSection);
  if (countsTowardSections(hit->listCode) && doc_.capacityExceeded(currentSection)) tellCapacityExceeded();
}

void PlanEditor::dripTypeClick(Point p) {
  auto* drip = dynamic_cast<CWDripline*>(objectAt(p, 1, {}));
  if (!drip || !chooseDripType) return;
  CElem* type = chooseDripType(*drip);
  if (!type) return;
  recordBefore(*drip);
  drip->elem = type;
  drip->ParseType();
  drip->UpdateFlow(doc_.scaleDenominator, doc_.pixelsPerCm, doc_.sourcePressure);
  repaint_ = true;
}

void PlanEditor::placeWaterSource(Point p) {
  // The first source asks for the pressure and the capacity; closed without
  // OK, both stay 0. Further sources share them.
  if (!doc_.hasWaterSource && askSourceParameters) {
    if (const std::optional<SourceParameters> v = askSourceParameters()) {
      doc_.sourcePressure = v->pressure;
      doc_.sourceCapacity = v->capacity;
      app().currentSourcePressure = v->pressure;
    }
  }
  auto v = std::make_unique<CWValve>();
  v->elem = nullptr;
  v->scale = 1.0 / doc_.zoom;
  v->PlaceAt(p, doc_.zoom);
  v->SetWaterSource(1);
  CWBase* added = doc_.addObject(kTypeValve, std::move(v));
  undo_.pushToggle(*added, kTypeValve);
  doc_.hasWaterSource = 1;
  doc_.tool = kToolNone;
  if (onToolReleased) onToolReleased();
  repaint_ = true;
}

void PlanEditor::lineClick(Point p) {
  auto* line = dynamic_cast<CWPolyline*>(doc_.toolObject.get());
  if (line && line->finished) return;  // the click right after the right button
  if (!line) {
    std::unique_ptr<CWPolyline> made;
    switch (doc_.tool) {
      case kTypePipe: made = std::make_unique<CWPipe>(); break;
      case kTypeDripline: {
        if (!palette || !palette->dripLineType) return;
        auto d = std::make_unique<CWDripline>();
        d->elem = palette->dripLineType;
        d->ParseType();
        made = std::move(d);
        break;
      }
      case kTypeCable: {
        auto k = std::make_unique<CWCable>();
        k->elem = nullptr;
        k->hasType = 0;
        made = std::move(k);
        break;
      }
      case kTypeSet: {
        if (!palette) return;
        made = std::make_unique<CWSet>();
        break;
      }
      default: return;
    }
    undo_.beginCheckpoint();
    made->kindWord = doc_.tool == kTypeSet ? static_cast<uint32_t>(palette->setId) : 0;
    made->viewOrgX = view_.scroll.x;
    made->viewOrgY = view_.scroll.y;
    made->scale = 1.0 / doc_.zoom;
    made->ResetGrips();
    made->AddVertex(p);
    lineRubberAt_ = p;
    doc_.toolObject = std::move(made);
    repaint_ = true;
    return;
  }
  if (app().orthoOn && !line->vertices.empty()) p = orthoAligned(p, line->vertices.back());
  undo_.pushSnapshot(*line);
  if (line->AddVertex(p)) lineRubberAt_ = p;
  repaint_ = true;
}

void PlanEditor::finishLineObject() {
  auto* line = dynamic_cast<CWPolyline*>(doc_.toolObject.get());
  if (!line || line->finished) return;
  if (line->vertexCount() < 2) {
    cancel();
    return;
  }
  line->finished = 1;
  if (auto* drip = dynamic_cast<CWDripline*>(line))
    drip->UpdateFlow(doc_.scaleDenominator, doc_.pixelsPerCm, doc_.sourcePressure);
  undo_.endCheckpoint();
  repaint_ = true;
}

void PlanEditor::commitLineObject() {
  auto* line = dynamic_cast<CWPolyline*>(doc_.toolObject.get());
  if (!line || !line->finished) return;
  std::unique_ptr<CWBase> done = std::move(doc_.toolObject);
  const int code = doc_.tool;
  done->dc = nullptr;
  CWBase* added = doc_.addObject(code, std::move(done));
  undo_.pushToggle(*added, code);
  repaint_ = true;
}

void PlanEditor::drawRubber(Point from, Point to) {
  if (!canvas_) return;
  platform::CanvasStateSaver keep(*canvas_);
  canvas_->setViewportOrigin(view_.scroll);
  canvas_->setRasterOp(platform::RasterOp::Not);
  canvas_->setPen(platform::Pen::solid(0xFFFFFF));
  canvas_->line(from, to);
}

void PlanEditor::eraseRubber() {
  if (rubberShown_) drawRubber(rubberFrom_, rubberTo_);
  rubberShown_ = false;
}

void PlanEditor::updateRubber() {
  eraseRubber();
  const auto* d = dynamic_cast<const CWDimension*>(doc_.toolObject.get());
  if (!d || !canvas_) return;
  rubberFrom_ = d->hasEnd ? Point{d->endAx, d->endAy} : Point{d->posX, d->posY};
  rubberTo_ = current_;
  drawRubber(rubberFrom_, rubberTo_);
  rubberShown_ = true;
}

// --- the scaling tools ------------------------------------------------------------------

void PlanEditor::measureClick(Point p) {
  hideScaleFeedback();
  if (!measureFrom_) {
    measureFrom_ = p;
    scaleFeedbackTo_ = p;
    showScaleFeedback();
    return;
  }
  const int d = measuredDistance(*measureFrom_, p, 1.0 / doc_.zoom);
  measureFrom_.reset();
  repaint_ = true;
  if (onTwoPointsMeasured) onTwoPointsMeasured(d);
}

void PlanEditor::finishFrame() {
  hideScaleFeedback();
  const Point from = *frameFrom_;
  frameFrom_.reset();
  repaint_ = true;
  if (!view_.background) return;
  // The frame in image pixels: the plan's pixels at zoom 1.
  const double z = doc_.zoom > 0 ? doc_.zoom : 1.0;
  auto image = [z](int v) { return static_cast<int>(std::floor(v / z)); };
  const platform::Rect frame{image(from.x), image(from.y), image(current_.x), image(current_.y)};
  if (const std::optional<int> n = darkColumns(*view_.background, frame); n && onBaseSegmentMeasured)
    onBaseSegmentMeasured(*n);
}

void PlanEditor::drawScaleFeedback() {
  if (!canvas_) return;
  platform::CanvasStateSaver keep(*canvas_);
  canvas_->setViewportOrigin(view_.scroll);
  canvas_->setRasterOp(platform::RasterOp::Not);
  canvas_->setPen(platform::Pen::solid(0xFFFFFF));
  const Point to = scaleFeedbackTo_;
  if (measureFrom_) {
    canvas_->line(*measureFrom_, to);
  } else if (frameFrom_) {
    const Point f = *frameFrom_;
    canvas_->line(f, {to.x, f.y});
    canvas_->line({to.x, f.y}, to);
    canvas_->line(to, {f.x, to.y});
    canvas_->line({f.x, to.y}, f);
  }
}

void PlanEditor::showScaleFeedback() {
  if (scaleFeedbackShown_ || !canvas_ || (!measureFrom_ && !frameFrom_)) return;
  drawScaleFeedback();
  scaleFeedbackShown_ = true;
}

void PlanEditor::hideScaleFeedback() {
  if (!scaleFeedbackShown_) return;
  drawScaleFeedback();
  scaleFeedbackShown_ = false;
}

void PlanEditor::mouseMove(Point p, bool leftHeld, Modifiers m) {
  previous_ = current_;
  current_ = snapped({p.x + grabOffset_.x, p.y + grabOffset_.y});
  updateSnapMarker();
  if (auto* line = dynamic_cast<CWPolyline*>(doc_.toolObject.get())) {
    if (line->finished) {
      commitLineObject();
    } else if (canvas_) {
      line->dc = canvas_;
      line->viewOrgX = view_.scroll.x;
      line->viewOrgY = view_.scroll.y;
      Point to = current_;
      if (app().orthoOn && !line->vertices.empty()) to = orthoAligned(to, line->vertices.back());
      line->DrawRubberBand(to, lineRubberAt_);
      lineRubberAt_ = to;
    }
  } else if (doc_.toolObject && view_.editFilter != 1) {
    updateRubber();
  }
  if (doc_.tool == kToolPan) return;
  if (measureFrom_ || (frameFrom_ && leftHeld)) {
    hideScaleFeedback();
    scaleFeedbackTo_ = current_;
    showScaleFeedback();
    return;
  }
  if (CPrimitive* prim = doc_.toolPrimitive.get(); prim && view_.editFilter != 2) {
    prepare(*prim);
    if (isLineTool(prim->GetType()))
      prim->CreateMoveTo(constrainedVertex(current_, m));
    else if (leftHeld)
      prim->CreateMoveTo(current_);
  }
  if (!leftHeld || current_ == dragLast_) return;
  if (dragObject_) {
    if (!dragMoved_ && objectBefore_) undo_.pushCopy(*dragObject_, std::move(objectBefore_));
    dragMoved_ = true;
    dragObject_->dc = canvas_;
    dragObject_->viewOrgX = view_.scroll.x;
    dragObject_->viewOrgY = view_.scroll.y;
    dragObject_->DragGrip(current_, dragLast_);
    dragLast_ = current_;
  } else if (dragPrimitive_) {
    if (!dragMoved_ && primitiveBefore_) undo_.pushCopy(*dragPrimitive_, std::move(primitiveBefore_));
    dragMoved_ = true;
    prepare(*dragPrimitive_);
    dragPrimitive_->DragTo(dragLast_, current_);
    dragLast_ = current_;
  }
}

void PlanEditor::leftUp(Point p) {
  (void)p;
  if (frameFrom_) {
    finishFrame();
    return;
  }
  if (CPrimitive* prim = doc_.toolPrimitive.get(); prim && isShapeTool(prim->GetType())) {
    prepare(*prim);
    prim->EndCreate(current_);
    // A click without a drag leaves nothing worth keeping.
    if (current_ == press_)
      discardShape();
    else
      finishShape();
  }
  if (dragPrimitive_) {
    if (dragMoved_) dragPrimitive_->EndDrag();
    else dragPrimitive_->SetGripColours();
    dragPrimitive_->SetGripColours();
    repaint_ = true;
  }
  if (dragObject_ || selectionChanged_) repaint_ = true;
  selectionChanged_ = false;
  dragObject_ = nullptr;
  dragPrimitive_ = nullptr;
  objectBefore_.reset();
  primitiveBefore_.reset();
  grabOffset_ = {};
}

PlanMenu PlanEditor::rightDown(Point p) {
  press_ = snapped(p);
  // The scaling tools have no menu: the right button drops a measurement.
  if (doc_.tool == kToolTwoPoints || doc_.tool == kToolBaseSegment) {
    hideScaleFeedback();
    measureFrom_.reset();
    frameFrom_.reset();
    return kMenuNone;
  }
  if (CWBase* o = doc_.selected; o && !o->deleted) {
    if (isLineObjectCode(o->listCode)) return kMenuLine;
    if (o->listCode == kTypeText) return kMenuText;
    if (const auto* valve = dynamic_cast<const CWValve*>(o); valve && valve->IsWaterSource()) return kMenuWaterSource;
    if (o->CanReduceRadius() == 1) return kMenuSprinkler;
    return kMenuObject;
  }
  if (selectedPrimitive_ && !selectedPrimitive_->deleted) {
    const int t = selectedPrimitive_->GetType();
    return t == kTerrainArea || t == kTerrainPolyline ? kMenuArea : kMenuShape;
  }
  if (CPrimitive* prim = doc_.toolPrimitive.get(); prim && isLineTool(prim->GetType())) {
    // A polyline ends here; an area with enough corners closes too, as its
    // status line promises. Too few vertices leave nothing to keep.
    auto* poly = static_cast<CPoly*>(prim);
    const int needed = prim->GetType() == kTerrainPolyline ? 2 : 3;
    if (poly->count() >= needed) {
      prepare(*poly);
      poly->FinishCreate();
      finishShape();
    } else {
      discardShape();
    }
    return kMenuNone;
  }
  if (doc_.toolObject) {
    if (dynamic_cast<CWPolyline*>(doc_.toolObject.get())) finishLineObject();
    return kMenuNone;
  }
  return kMenuPaste;
}

// --- commands --------------------------------------------------------------------

void PlanEditor::deleteSelection() {
  if (doc_.selected && !doc_.selected->deleted)
    deleteSelectedObject();
  else
    deleteSelectedPrimitive();
}

void PlanEditor::deleteSelectedObject() {
  CWBase* o = doc_.selected;
  if (!o || o->deleted) return;
  auto before = o->clone();
  const int r = DeleteObject(*o, waterSourceCount(), [](const UserMessage& m) {
    platform::tell(m.text, m.caption,
                   m.icon == UserMessage::Icon::Error ? platform::MessageIcon::Error : platform::MessageIcon::Information);
  });
  if (r != 0) return;
  // A deletion can be taken back like any other change.
  undo_.pushCopy(*o, std::move(before));
  if (doc_.pointedPipe == o) doc_.pointedPipe = nullptr;
  if (doc_.pointedCable == o) doc_.pointedCable = nullptr;
  doc_.selected = nullptr;
  repaint_ = true;
}

void PlanEditor::deleteSelectedPrimitive() {
  CPrimitive* prim = selectedPrimitive_;
  if (!prim || prim->deleted) return;
  undo_.pushCopy(*prim, prim->clone());
  prim->deleted = 1;
  selectedPrimitive_ = nullptr;
  repaint_ = true;
}

void PlanEditor::toggleLabel() {
  CWBase* o = doc_.selected;
  if (!o || o->deleted) return;
  undo_.pushCopy(*o, o->clone());
  o->ShowLabel(!o->IsLabelShown());
  repaint_ = true;
}

void PlanEditor::cancel() {
  // The document tells the history (its undo link) that a line ended unfinished.
  doc_.cancelTool();
  hideScaleFeedback();
  measureFrom_.reset();
  frameFrom_.reset();
  dragObject_ = nullptr;
  dragPrimitive_ = nullptr;
  objectBefore_.reset();
  primitiveBefore_.reset();
  repaint_ = true;
}

void PlanEditor::clearSelection() {
  doc_.selected = nullptr;
  selectedPrimitive_ = nullptr;
  repaint_ = true;
}

void PlanEditor::redrawFeedback() {
  // The picture is new: no marker or band is on it until drawn again.
  markerShown_ = false;
  rubberShown_ = false;
  scaleFeedbackShown_ = false;
  updateSnapMarker();
  showScaleFeedback();
  if (CWBase* o = doc_.toolObject.get(); o && canvas_) {
    o->dc = canvas_;
    o->viewOrgX = view_.scroll.x;
    o->viewOrgY = view_.scroll.y;
    o->showGrips = doc_.showGrips;
    o->Draw();
    if (auto* line = dynamic_cast<CWPolyline*>(o)) {
      // A fresh picture holds no band: the next move draws it anew.
      app().undoRedrawPending = 1;
      lineRubberAt_ = line->vertices.empty() ? current_ : line->vertices.back();
    } else {
      updateRubber();
    }
  }
  if (CPrimitive* prim = doc_.toolPrimitive.get()) {
    prim->feedbackShown = false;
    prepare(*prim);
    prim->DrawDragOutline();
    prim->feedbackShown = canvas_ != nullptr;
  }
}
