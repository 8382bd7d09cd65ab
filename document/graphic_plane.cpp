#include "document/graphic_plane.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "document/label_layout.h"
#include "objects/cable_set.h"
#include "objects/micro_sprinklers.h"
#include "objects/polylines.h"
#include "objects/sprinkler.h"
#include "objects/static_sprinkler.h"
#include "objects/symbols.h"
#include "platform/bounds_canvas.h"
#include "platform/recording_canvas.h"

#include <cmath>
#include <map>
#include <unordered_map>

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
  if (showLabels) layoutLabels(canvas);
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
  const bool laidOut = labelShifts_.size() == objects_.size() && labelBoxes_.size() == objects_.size();
  platform::BoundsCanvas bounds;
  const platform::Font font = labelFont();
  platform::CanvasStateSaver keep(canvas);
  canvas.setOpaqueBackground(false);
  // Labels stay legible over fills and lines: their letters are ringed with
  // the colour of the paper.
  canvas.setTextHalo(std::max(1, font.height / 10), printing ? 0xFFFFFF : app().settings.backgroundColour);
  const platform::Point origin = canvas.viewportOrigin();
  for (size_t i = from; i < to && i < objects_.size(); ++i) {
    CWBase& o = *objects_[i];
    if (o.deleted || !o.IsLabelShown()) continue;
    if (!readable && o.GetType() != kTypeText) continue;
    canvas.setFont(font);
    canvas.setTextColour(app().settings.labelColour);
    prepare(o, canvas);
    const platform::Point shift = laidOut ? labelShifts_[i] : platform::Point{};
    if (culling) {
      platform::Rect r = laidOut ? labelBoxes_[i] : reach(o, canvas, bounds, [](CWBase& x) { x.DrawLabel(); });
      r = {r.left + shift.x, r.top + shift.y, r.right + shift.x, r.bottom + shift.y};
      if (!overlaps(r, cullRect)) continue;
    }
    if (shift.x || shift.y) {
      canvas.setViewportOrigin({origin.x + shift.x, origin.y + shift.y});
      o.DrawLabel();
      canvas.setViewportOrigin(origin);
    } else {
      o.DrawLabel();
    }
  }
}

namespace {

// The label offsets the kinds of objects are made with: a label whose
// offset differs was put in its place by the user.
const std::map<int, std::pair<int, int>>& madeLabelOffsets() {
  static const std::map<int, std::pair<int, int>> table = [] {
    std::map<int, std::pair<int, int>> t;
    auto add = [&t](std::unique_ptr<CWBase> o) { t[o->GetType()] = {o->labelDx, o->labelDy}; };
    add(std::make_unique<CWSprinkler>());
    add(std::make_unique<CWStaticSprinkler>());
    add(std::make_unique<CWMicroSprinkler>());
    add(std::make_unique<CWMicroSprinklerHadar>());
    add(std::make_unique<CWRwsSprinkler>());
    add(std::make_unique<CWPipe>());
    add(std::make_unique<CWDripline>());
    add(std::make_unique<CWCable>());
    add(std::make_unique<CWSet>());
    add(std::make_unique<CWValve>());
    add(std::make_unique<CWValveBox>());
    add(std::make_unique<CWController>());
    add(std::make_unique<CWFilter>());
    add(std::make_unique<CWReg>());
    add(std::make_unique<CWRainSensor>());
    return t;
  }();
  return table;
}

// The place of an object's symbol, for the objects drawn as one; heads are
// marked at their centre only (their throw is no symbol).
bool symbolPlace(const CWBase& o, platform::Point& at, bool& head) {
  head = true;
  switch (o.GetType()) {
    case kTypeSprinkler: at = static_cast<const CWSprinkler&>(o).pos; return true;
    case kTypeStaticSprinkler: at = static_cast<const CWStaticSprinkler&>(o).pos; return true;
    case kTypeMicroSprinkler: at = static_cast<const CWMicroSprinkler&>(o).pos; return true;
    case kTypeMicroHadar: at = static_cast<const CWMicroSprinklerHadar&>(o).pos; return true;
    case kTypeRws: at = static_cast<const CWRwsSprinkler&>(o).pos; return true;
    default: break;
  }
  head = false;
  switch (o.GetType()) {
    case kTypeValve: {
      const auto& v = static_cast<const CWValve&>(o);
      at = {v.posX, v.posY};
      return true;
    }
    case kTypeController: {
      const auto& c = static_cast<const CWController&>(o);
      at = {c.posX, c.posY};
      return true;
    }
    case kTypeValveBox:
    case kTypeFilter:
    case kTypeRegulator:
    case kTypeRainSensor:
    case kTypeSymbol: {
      const auto& s = static_cast<const CWSymb&>(o);
      at = {s.posX, s.posY};
      return true;
    }
    default: return false;
  }
}

platform::Rect unite(const platform::Rect& a, const platform::Rect& b) {
  if (a.right <= a.left || a.bottom <= a.top) return b;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

// What a label drew, as one box in device pixels; texts are measured in the
// fonts of `device` and turned as they are drawn.
class LabelMeasure {
 public:
  explicit LabelMeasure(platform::Canvas& device) : device_(device) {}

  platform::Rect boxOf(const platform::RecordingCanvas& drawn) {
    platform::Rect box{};
    using Kind = platform::RecordingCanvas::Kind;
    for (const auto& op : drawn.ops) {
      const platform::Point o = op.origin;
      if (op.kind == Kind::Text) {
        const platform::Size s = extent(op.font, op.text);
        const double a = op.font.escapement / 10.0 * 3.14159265358979 / 180.0;
        const double c = std::cos(a), sn = std::sin(a);
        double x0 = 0, x1 = 0, y0 = 0, y1 = 0;
        for (auto [x, y] : {std::pair{0.0, 0.0}, {double(s.cx), 0.0}, {0.0, double(s.cy)}, {double(s.cx), double(s.cy)}}) {
          const double dx = x * c + y * sn, dy = -x * sn + y * c;
          x0 = std::min(x0, dx), x1 = std::max(x1, dx), y0 = std::min(y0, dy), y1 = std::max(y1, dy);
        }
        const int ax = op.points.empty() ? 0 : op.points.front().x, ay = op.points.empty() ? 0 : op.points.front().y;
        box = unite(box, {o.x + ax + static_cast<int>(std::floor(x0)), o.y + ay + static_cast<int>(std::floor(y0)),
                          o.x + ax + static_cast<int>(std::ceil(x1)), o.y + ay + static_cast<int>(std::ceil(y1))});
      } else if (op.kind == Kind::Line || op.kind == Kind::Polyline || op.kind == Kind::Polygon) {
        for (const platform::Point& p : op.points) box = unite(box, {o.x + p.x, o.y + p.y, o.x + p.x + 1, o.y + p.y + 1});
      } else if (op.kind == Kind::Rectangle || op.kind == Kind::Ellipse || op.kind == Kind::FillRect) {
        box = unite(box, {o.x + op.rect.left, o.y + op.rect.top, o.x + op.rect.right, o.y + op.rect.bottom});
      }
    }
    return box;
  }

 private:
  platform::Size extent(const platform::Font& font, const std::string& text) {
    std::string key = font.face;
    key += '\x1F' + std::to_string(font.height) + ',' + std::to_string(font.weight) + ',' +
           std::to_string(font.italic) + std::to_string(font.westernCharset) + '\x1F' + text;
    auto it = extents_.find(key);
    if (it != extents_.end()) return it->second;
    if (!(device_.font() == font)) device_.setFont(font);
    const platform::Size s = device_.textExtent(text);
    extents_.emplace(std::move(key), s);
    return s;
  }

  platform::Canvas& device_;
  std::unordered_map<std::string, platform::Size> extents_;
};

}  // namespace

void CGraphicPlane::layoutLabels(platform::Canvas& canvas) {
  const size_t n = objects_.size();
  labelBoxes_.assign(n, platform::Rect{});
  labelShifts_.assign(n, platform::Point{});
  if (!showLabels) return;
  const bool readable = labelsReadable();
  const platform::Font font = labelFont();
  const bool culling = cullRect.right > cullRect.left && cullRect.bottom > cullRect.top;
  // Labels a little outside the view are laid out too, so that those in it
  // keep their places while the plan scrolls.
  const int margin = 6 * font.height + 32;
  const platform::Rect near{cullRect.left - margin, cullRect.top - margin, cullRect.right + margin,
                            cullRect.bottom + margin};
  platform::CanvasStateSaver keep(canvas);
  platform::BoundsCanvas bounds;
  platform::RecordingCanvas drawn;
  LabelMeasure measure(canvas);
  const auto& made = madeLabelOffsets();
  std::vector<labels::Label> list;
  std::vector<labels::Obstacle> symbols;
  std::vector<size_t> listed;
  const int headMark = std::max(3, font.height / 3);
  for (size_t i = 0; i < n; ++i) {
    CWBase& o = *objects_[i];
    if (o.deleted) continue;
    prepare(o, canvas);
    platform::Point at;
    bool head = false;
    const bool symbol = symbolPlace(o, at, head);
    if (symbol) {
      const platform::Point origin = canvas.viewportOrigin();
      at = {at.x + origin.x, at.y + origin.y};
      platform::Rect box{at.x - headMark, at.y - headMark, at.x + headMark + 1, at.y + headMark + 1};
      if (!head) {
        // A symbol is what its body draws, unless that reaches far (a
        // valve's connections): then its middle.
        // (without its control points, the label's among them)
        const int grips = o.showGrips;
        o.showGrips = 0;
        const platform::Rect r = reach(o, canvas, bounds, [](CWBase& x) { x.Draw(); });
        o.showGrips = grips;
        // The outer pixel of its pen may be touched.
        if (r.right > r.left && r.width() <= 8 * font.height && r.height() <= 8 * font.height)
          box = {r.left + 1, r.top + 1, std::max(r.left + 1, r.right - 1), std::max(r.top + 1, r.bottom - 1)};
      }
      if (!culling || overlaps(box, near)) symbols.push_back({box, static_cast<int>(i)});
    }
    if (!o.IsLabelShown() || (!readable && o.GetType() != kTypeText)) continue;
    canvas.setFont(font);
    if (culling && !overlaps(reach(o, canvas, bounds, [](CWBase& x) { x.DrawLabel(); }), near)) continue;
    drawn.clear();
    drawn.setViewportOrigin(canvas.viewportOrigin());
    drawn.setFont(font);
    o.dc = &drawn;
    o.DrawLabel();
    o.dc = &canvas;
    const platform::Rect box = measure.boxOf(drawn);
    labelBoxes_[i] = box;
    if (box.right <= box.left || box.bottom <= box.top) continue;
    auto kind = made.find(o.GetType());
    const bool movable =
        kind != made.end() && kind->second == std::pair<int, int>{o.labelDx, o.labelDy};
    if (!symbol) {
      if (const auto* line = dynamic_cast<const CWPolyline*>(&o); line && !line->vertices.empty()) {
        const platform::Point origin = canvas.viewportOrigin();
        at = {line->vertices.front().x + origin.x, line->vertices.front().y + origin.y};
      } else {
        at = {(box.left + box.right) / 2, (box.top + box.bottom) / 2};
      }
    }
    list.push_back({box, at, static_cast<int>(i), movable});
    listed.push_back(i);
  }
  const std::vector<platform::Point> shifts = labels::place(list, symbols, std::max(2, font.height / 4));
  for (size_t k = 0; k < listed.size(); ++k) labelShifts_[listed[k]] = shifts[k];
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
