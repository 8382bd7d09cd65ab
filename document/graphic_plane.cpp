#include "document/graphic_plane.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

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
  if (toolObject && undo) undo->endPendingOperation();
  toolObject.reset();
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
