#include "document/graphic_plane.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "objects/micro_sprinklers.h"
#include "objects/polylines.h"
#include "objects/sprinkler.h"
#include "objects/static_sprinkler.h"

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

void CGraphicPlane::paintObjects(platform::Canvas& canvas) {
  dc = &canvas;
  for (auto& o : objects_) {
    prepare(*o, canvas);
    o->showGrips = showGrips;
    o->showCoverage = showCoverage;
    o->ResetGrips();
    if (!o->deleted) o->Draw();
  }

  const platform::Font font = labelFont();
  if (showLabels) {
    platform::CanvasStateSaver keep(canvas);
    canvas.setOpaqueBackground(false);
    for (auto& o : objects_) {
      if (o->deleted || !o->IsLabelShown()) continue;
      canvas.setFont(font);
      canvas.setTextColour(app().settings.labelColour);
      prepare(*o, canvas);
      o->DrawLabel();
    }
  }
  if (showFlows) {
    platform::CanvasStateSaver keep(canvas);
    canvas.setOpaqueBackground(true);
    for (auto& o : objects_) {
      if (o->deleted) continue;
      canvas.setFont(font);
      prepare(*o, canvas);
      o->DrawFlow();
    }
  }
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
