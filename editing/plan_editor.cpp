#include "editing/plan_editor.h"

#include <cmath>
#include <cstdlib>

#include "objects/symbols.h"
#include "objects/text_dimension.h"
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
  if (view_.editFilter == 1) doc_.selected = nullptr;
  if (view_.editFilter != 1 && doc_.tool == kToolEdit) editDown(press_);
  if (view_.editFilter != 1 && doc_.tool == kListCodeDimension) {
    dimensionClick(press_);
    return;
  }
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

void PlanEditor::mouseMove(Point p, bool leftHeld, Modifiers m) {
  previous_ = current_;
  current_ = snapped({p.x + grabOffset_.x, p.y + grabOffset_.y});
  updateSnapMarker();
  if (doc_.toolObject && view_.editFilter != 1) updateRubber();
  if (doc_.tool == kToolPan) return;
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
  if (doc_.toolObject) return kMenuNone;
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
  updateSnapMarker();
  if (CWBase* o = doc_.toolObject.get(); o && canvas_) {
    o->dc = canvas_;
    o->viewOrgX = view_.scroll.x;
    o->viewOrgY = view_.scroll.y;
    o->showGrips = doc_.showGrips;
    o->Draw();
    updateRubber();
  }
  if (CPrimitive* prim = doc_.toolPrimitive.get()) {
    prim->feedbackShown = false;
    prepare(*prim);
    prim->DrawDragOutline();
    prim->feedbackShown = canvas_ != nullptr;
  }
}
