#include "document/graphic_plane.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "objects/micro_sprinklers.h"
#include "objects/polylines.h"
#include "objects/sprinkler.h"
#include "objects/static_sprinkler.h"
#include "platform/bounds_canvas.h"

CGraphicPlane::CGraphicPlane() {
  projectDate = todayText();
  app().settings.terrainLineColour = 0;
  if (!app().document) app().document = this;
}

CGraphicPlane::~CGraphicPlane() {
  releaseAll();
  if (app().document == this) app().document = nullptr;
}

DocumentValues documentValues() {
  DocumentValues v;
  if (const CGraphicPlane* doc = app().document) {
    v.scaleDenominator = doc->scaleDenominator;
    v.pixelsPerCm = doc->pixelsPerCm;
    v.sourcePressure = doc->sourcePressure;
  } else {
    v.sourcePressure = app().currentSourcePressure;
  }
  return v;
}

std::string CGraphicPlane::todayText() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char buf[48];
  std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", local.tm_mday, local.tm_mon + 1, local.tm_year + 1900);
  return buf;
}

CWBase* CGraphicPlane::addObject(int listCode, std::unique_ptr<CWBase> object) {
  object->listCode = listCode;
  objects_.push_back(std::move(object));
  return objects_.back().get();
}

CPrimitive* CGraphicPlane::addPrimitive(int type, std::unique_ptr<CPrimitive> primitive) {
  primitive->type = type;
  terrain_.push_back(std::move(primitive));
  return terrain_.back().get();
}

void CGraphicPlane::releaseAll() {
  selected = nullptr;
  pointedPipe = pointedCable = nullptr;
  toolObject.reset();
  toolPrimitive.reset();
  objects_.clear();
  terrain_.clear();
}

void CGraphicPlane::setZoom(float z) {
  zoom = z;
  for (auto& o : objects_) o->Rescale(z);
  for (auto& p : terrain_) p->Rescale(z);
}

void CGraphicPlane::paintTerrain(platform::Canvas& canvas) {
  for (auto& p : terrain_) {
    if (p->deleted) continue;
    p->dc = &canvas;
    p->showGrips = showGrips;
    p->noFill = noFill;
    p->printing = printing;
    p->preview = preview;
    p->viewOrgX = viewOrgX;
    p->viewOrgY = viewOrgY;
    p->Draw();
  }
}

platform::Font CGraphicPlane::labelFont() const {
  const AppSettings& s = app().settings;
  platform::Font f;
  f.face = s.labelFontFace;
  f.height = static_cast<int>(s.labelFontHeight * zoom) + 1;
  f.weight = s.labelFontWeight;
  return f;
}

void CGraphicPlane::prepare(CWBase& o, platform::Canvas& canvas) const {
  o.dc = &canvas;
  o.viewOrgX = viewOrgX;
  o.viewOrgY = viewOrgY;
  o.printing = printing;
  o.preview = preview;
}

namespace {

bool overlaps(const platform::Rect& a, const platform::Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

}  // namespace

namespace {

// Where `draw` would reach on the screen, measured without drawing.
template <typename Draw>
platform::Rect reach(CWBase& o, platform::Canvas& canvas, platform::BoundsCanvas& bounds, Draw draw) {
  bounds.reset();
  bounds.setViewportOrigin(canvas.viewportOrigin());
  bounds.setFont(canvas.font());
  o.dc = &bounds;
  draw(o);
  o.dc = &canvas;
  return bounds.empty() ? platform::Rect{} : bounds.bounds();
}

}  // namespace

bool CGraphicPlane::labelsReadable() const { return labelFont().height >= minTextPixels; }

void CGraphicPlane::paintObjects(platform::Canvas& canvas) {
  dc = &canvas;
  paintBodies(canvas, 0, objects_.size());
  paintLabels(canvas, 0, objects_.size());
  paintFlows(canvas, 0, objects_.size());
  paintSelection(canvas);
}

void CGraphicPlane::paintBodies(platform::Canvas& canvas, size_t from, size_t to) {
  const bool culling = cullRect.right > cullRect.left && cullRect.bottom > cullRect.top;
  platform::BoundsCanvas bounds;
  for (size_t i = from; i < to && i < objects_.size(); ++i) {
    CWBase& o = *objects_[i];
    prepare(o, canvas);
    o.showGrips = showGrips;
    o.showCoverage = showCoverage;
    o.ResetGrips();
    if (o.deleted) continue;
    if (culling) {
      const platform::Rect r = reach(o, canvas, bounds, [](CWBase& x) { x.Draw(); });
      if (!overlaps(r, cullRect)) continue;
      if (r.width() < dotPixels && r.height() < dotPixels) {
        const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
        platform::CanvasStateSaver keep(canvas);
        canvas.setViewportOrigin({0, 0});
        canvas.fillRect({cx - 1, cy - 1, cx + 1, cy + 1}, bounds.colour());
        continue;
      }
    }
    o.Draw();
  }
}

void CGraphicPlane::paintLabels(platform::Canvas& canvas, size_t from, size_t to) {
  if (!showLabels) return;
  // Free texts have fonts of their own: only the labels' font can be too small.
  const bool readable = labelsReadable();
  const bool culling = cullRect.right > cullRect.left && cullRect.bottom > cullRect.top;
  platform::BoundsCanvas bounds;
  const platform::Font font = labelFont();
  platform::CanvasStateSaver keep(canvas);
  canvas.setOpaqueBackground(false);
  for (size_t i = from; i < to && i < objects_.size(); ++i) {
    CWBase& o = *objects_[i];
    if (o.deleted || !o.IsLabelShown()) continue;
    if (!readable && o.GetType() != kTypeText) continue;
    canvas.setFont(font);
    canvas.setTextColour(app().settings.labelColour);
    prepare(o, canvas);
    if (culling && !overlaps(reach(o, canvas, bounds, [](CWBase& x) { x.DrawLabel(); }), cullRect)) continue;
    o.DrawLabel();
  }
}

void CGraphicPlane::paintFlows(platform::Canvas& canvas, size_t from, size_t to) {
  if (!showFlows || !labelsReadable()) return;
  const bool culling = cullRect.right > cullRect.left && cullRect.bottom > cullRect.top;
  platform::BoundsCanvas bounds;
  const platform::Font font = labelFont();
  platform::CanvasStateSaver keep(canvas);
  canvas.setOpaqueBackground(true);
  for (size_t i = from; i < to && i < objects_.size(); ++i) {
    CWBase& o = *objects_[i];
    if (o.deleted) continue;
    canvas.setFont(font);
    prepare(o, canvas);
    if (culling && !overlaps(reach(o, canvas, bounds, [](CWBase& x) { x.DrawFlow(); }), cullRect)) continue;
    o.DrawFlow();
  }
}

void CGraphicPlane::paintSelection(platform::Canvas& canvas) {
  if (selected && !selected->deleted) {
    prepare(*selected, canvas);
    selected->DrawHighlighted();
  }
  for (CWBase* pointed : {pointedPipe, pointedCable}) {
    auto* line = dynamic_cast<CWPolyline*>(pointed);
    if (!line) continue;
    prepare(*line, canvas);
    line->ResetGrips();
    line->showGrips = showGrips;
    line->DrawPointed();
  }
}

namespace {

// A water consumer's "connected" mark; null for objects that take no water.
const int* connectedMark(const CWBase& o) {
  switch (o.GetType()) {
    case kTypeSprinkler: return &static_cast<const CWSprinkler&>(o).connected;
    case kTypeStaticSprinkler: return &static_cast<const CWStaticSprinkler&>(o).connected;
    case kTypeMicroHadar: return &static_cast<const CWMicroSprinklerHadar&>(o).connected;
    case kTypeDripline: return &static_cast<const CWDripline&>(o).connected;
    case kTypeRws: return &static_cast<const CWRwsSprinkler&>(o).connected;
    default: return nullptr;
  }
}

// Micro-sprinklers do not count toward a section's flow, but once marked
// connected to the pipe under calculation they draw from it like the rest.
const int* connectedMicroMark(const CWBase& o) {
  return o.GetType() == kTypeMicroSprinkler ? &static_cast<const CWMicroSprinkler&>(o).connected : nullptr;
}

}  // namespace

bool CGraphicPlane::capacityExceeded(int section) {
  float sum = 0;
  for (auto& o : objects_) {
    if (o->deleted) continue;
    const int* connected = connectedMark(*o);
    if (!connected && section == -1) connected = connectedMicroMark(*o);
    if (!connected) continue;
    if (section == -1 ? *connected == 0 : o->GetSectionNo() != section) continue;
    switch (o->GetType()) {
      case kTypeStaticSprinkler: {
        const float flow = static_cast<CWStaticSprinkler&>(*o).flow;
        if (!isStaticFlowError(flow)) sum += flow;
        break;
      }
      case kTypeDripline: {
        auto& drip = static_cast<CWDripline&>(*o);
        drip.UpdateFlow(scaleDenominator, pixelsPerCm, sourcePressure);
        sum += drip.flow;
        break;
      }
      default:
        sum += o->GetFlow();
        break;
    }
  }
  return sum > sourceCapacity;
}

void CGraphicPlane::applySourcePressure() {
  for (auto& o : objects_) {
    if (o->deleted) continue;
    switch (o->GetType()) {
      case kTypeSprinkler: static_cast<CWSprinkler&>(*o).ApplyPressure(sourcePressure, scaleDenominator, pixelsPerCm); break;
      case kTypeStaticSprinkler: static_cast<CWStaticSprinkler&>(*o).ApplyPressure(sourcePressure); break;
      case kTypeMicroHadar:
        static_cast<CWMicroSprinklerHadar&>(*o).ApplyPressure(sourcePressure, scaleDenominator, pixelsPerCm);
        break;
      case kTypeMicroSprinkler:
        static_cast<CWMicroSprinkler&>(*o).ApplyPressure(sourcePressure, scaleDenominator, pixelsPerCm);
        break;
      case kTypeRws: static_cast<CWRwsSprinkler&>(*o).ApplyPressure(sourcePressure); break;
      case kTypeDripline: static_cast<CWDripline&>(*o).UpdateFlow(scaleDenominator, pixelsPerCm, sourcePressure); break;
      default: break;
    }
  }
  if (requestRepaint) requestRepaint();
}

void CGraphicPlane::rescaleSprinklers() {
  for (auto& o : objects_)
    if (o->GetType() == kTypeSprinkler) static_cast<CWSprinkler&>(*o).RescaleRadius(scaleDenominator, pixelsPerCm);
}

CWBase* CGraphicPlane::pickObject(Point p, int mode, const std::vector<int>& codes) {
  for (auto& o : objects_) {
    if (o->deleted) continue;
    if (!codes.empty() && std::find(codes.begin(), codes.end(), o->listCode) == codes.end()) continue;
    if (dc) prepare(*o, *dc);
    if (o->PickGrip(p, mode)) {
      selected = o.get();
      return selected;
    }
  }
  if (selected) {
    selected = nullptr;
    if (requestRepaint) requestRepaint();
  }
  return nullptr;
}

void CGraphicPlane::dragSelected(Point from, Point to) {
  if (!selected) return;
  if (dc) prepare(*selected, *dc);
  selected->DragGrip(to, from);
}

void CGraphicPlane::cancelTool() {
  const bool drawingLine =
      toolPrimitive && (toolPrimitive->GetType() == kTerrainArea || toolPrimitive->GetType() == kTerrainPolyline);
  if ((toolObject || drawingLine) && undo) undo->endPendingOperation();
  toolObject.reset();
  toolPrimitive.reset();
}

Colour CGraphicPlane::sectionColourOf(int n) const {
  for (const auto& o : objects_)
    if (o->GetSectionNo() == n) return o->sectionColour;
  return 0xFFFFFF;
}

void CGraphicPlane::onSectionRemoved(int n) {
  for (auto& o : objects_)
    if (o->HasSectionColour()) o->OnSectionRemoved(n);
}

void CGraphicPlane::removeSetObjects(uint32_t key) {
  for (auto& o : objects_)
    if (o->GetType() == kTypeSet && o->kindWord == key) o->deleted = 1;
}
