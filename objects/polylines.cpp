#include "objects/polylines.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "objects/lookup.h"
#include "partix.h"
#include "platform/numtext.h"

using platform::CanvasStateSaver;
using platform::Pen;
using platform::RasterOp;

std::string bracketedOrWholeName(const std::string& name) {
  const auto open = name.find('<');
  if (open == std::string::npos) return name;
  const auto close = name.find('>', open + 1);
  if (close == std::string::npos) return name;
  return name.substr(open + 1, close - open - 1);
}

// --- CWPolyline ------------------------------------------------------------------

CWPolyline::CWPolyline() {
  labelDx = -10;
  labelDy = 10;
}

int CWPolyline::AddVertex(Point p) {
  if (vertexCount() >= kMaxPolylineVertices) return 0;
  vertices.push_back(p);
  verticesU.push_back({p.x * scale, p.y * scale});
  vertexColours.push_back(app().settings.systemPointColour);
  return 1;
}

int CWPolyline::AddVertexU(PointD u) {
  if (vertexCount() >= kMaxPolylineVertices) return 0;
  vertices.push_back({static_cast<int>(u.x / scale), static_cast<int>(u.y / scale)});
  verticesU.push_back(u);
  vertexColours.push_back(app().settings.systemPointColour);
  return 1;
}

std::unique_ptr<CWBase> CWPolyline::CloneAt(Point target) const {
  std::unique_ptr<CWBase> copy = clone();
  auto& c = static_cast<CWPolyline&>(*copy);
  if (c.vertices.empty()) return copy;
  const int dx = target.x - c.vertices.front().x;
  const int dy = target.y - c.vertices.front().y;
  for (size_t i = 0; i < c.vertices.size(); ++i) {
    Point& v = c.vertices[i];
    v.x += dx;
    v.y += dy;
    c.verticesU[i] = {static_cast<double>(static_cast<int>(v.x * c.scale)),
                      static_cast<double>(static_cast<int>(v.y * c.scale))};
  }
  return copy;
}

void CWPolyline::MoveLabelTo(Point p) {
  if (!vertices.empty()) setLabelOffsetTo(p, vertices.front());
}

void CWPolyline::Rescale(float zoom) {
  for (size_t i = 0; i < vertices.size(); ++i)
    vertices[i] = {static_cast<int>(zoom * verticesU[i].x), static_cast<int>(zoom * verticesU[i].y)};
  scale = 1.0 / zoom;
}

void CWPolyline::drawPath(const Pen& pen) const {
  dc->setPen(pen);
  dc->setBrush(platform::Brush::none());
  if (vertices.size() >= 2) dc->polyline(vertices);
}

void CWPolyline::drawVertexGrips() const {
  for (size_t i = 0; i < vertices.size(); ++i) drawGrip(vertices[i], vertexColours[i]);
}

void CWPolyline::Draw() {
  if (!dc || vertices.empty()) return;
  CanvasStateSaver keep(*dc);
  drawPath(bodyPen());
  if (!showGrips) return;
  drawVertexGrips();
  if (labelGripShown()) drawGrip(labelPoint(), vertexColours.front());
}

void CWPolyline::ResetGrips() {
  CWBase::ResetGrips();
  std::fill(vertexColours.begin(), vertexColours.end(), app().settings.systemPointColour);
  vertexGripPicked = 0;
}

int CWPolyline::PickGrip(Point p, int) {
  for (size_t i = 0; i < vertices.size(); ++i) {
    if (!hitGrip(p, vertices[i])) continue;
    vertexColours[i] = kPickedVertexColour;
    pickedVertex = static_cast<int>(i);
    vertexGripPicked = 1;
    Draw();
    return 1;
  }
  if (labelShown && !vertices.empty() && hitGrip(p, labelPoint())) {
    labelGripPicked = 1;
    Draw();
    return 1;
  }
  return 0;
}

void CWPolyline::DragGrip(Point to, Point from) {
  if (!dc || vertices.empty()) return;
  CanvasStateSaver keep(*dc);
  savedRop = static_cast<int>(dc->rasterOp());
  dc->setRasterOp(RasterOp::Not);
  const Pen pen = Pen::solid(0, 3);
  if (labelGripPicked) {
    dc->setPen(pen);
    dc->setBrush(platform::Brush::none());
    const Point old = labelPoint();
    dc->rectangle({old.x - 3, old.y - 3, old.x + 4, old.y + 4});
    setLabelOffsetTo(to, vertices.front());
    const Point now = labelPoint();
    dc->rectangle({now.x - 3, now.y - 3, now.x + 4, now.y + 4});
  } else if (vertexGripPicked && pickedVertex >= 0 && pickedVertex < vertexCount()) {
    // Erase the outline drawn at the previous mouse point, then draw it at
    // the new one.
    vertices[pickedVertex] = from;
    drawPath(pen);
    vertices[pickedVertex] = to;
    verticesU[pickedVertex] = {to.x * scale, to.y * scale};
    drawPath(pen);
  }
  dc->setRasterOp(static_cast<RasterOp>(savedRop));
}

void CWPolyline::DrawHighlighted() {
  if (!dc || vertices.empty()) return;
  CanvasStateSaver keep(*dc);
  drawPath(Pen::solid(app().settings.highlightColour, 3));
  if (showGrips) drawVertexGrips();
}

void CWPolyline::DrawPointed() {
  if (!dc || vertices.empty()) return;
  CanvasStateSaver keep(*dc);
  drawPath(Pen::solid(kPointedColour, 3));
  if (showGrips) drawVertexGrips();
}

void CWPolyline::DrawRubberBand(Point to, Point from) {
  if (dc && !vertices.empty()) {
    CanvasStateSaver keep(*dc);
    const Pen pen = Pen::solid(0, 3);
    dc->setPen(pen);
    const Point last = vertices.back();
    if (app().undoRedrawPending) {
      // The plan has just been repainted: there is no old band to erase.
      dc->setRasterOp(RasterOp::CopyPen);
      dc->line(last, to);
    } else {
      dc->setRasterOp(RasterOp::Not);
      dc->line(last, from);
      dc->line(last, to);
    }
    dc->setRasterOp(RasterOp::CopyPen);
    drawPath(pen);
  }
  app().undoRedrawPending = 0;
}

float CWPolyline::LengthU() const {
  float sum = 0.0f;
  for (size_t i = 1; i < vertices.size(); ++i) {
    const double dx = static_cast<double>(vertices[i].x) - vertices[i - 1].x;
    const double dy = static_cast<double>(vertices[i].y) - vertices[i - 1].y;
    sum += std::sqrt(static_cast<float>(dx * dx + dy * dy));
  }
  return static_cast<float>(sum * scale);
}

platform::Font CWPolyline::labelFont(int height) const {
  const AppSettings& s = app().settings;
  platform::Font f;
  f.face = s.labelFontFace;
  f.height = height;
  f.weight = s.labelFontWeight;
  f.escapement = labelAngle;
  // Line labels are set in the Western character set, where the byte 0xF8
  // of pipe and set labels is the diameter sign.
  f.westernCharset = true;
  return f;
}

void CWPolyline::drawLabelText(const std::string& text, const platform::Font& font) const {
  CanvasStateSaver keep(*dc);
  dc->setFont(font);
  dc->text(labelPoint(), text);
}

// --- CWPipe ----------------------------------------------------------------------

CWPipe::CWPipe() = default;

Pen CWPipe::bodyPen() const {
  const AppSettings& s = app().settings;
  return Pen::solid(bodyColour(s.pipeColour), bodyPenWidth(2, s.printWidthPipes));
}

void CWPipe::AssignType(CElem* pipeType) {
  elem = pipeType;
  typeAssigned = 1;
}

std::string CWPipe::LabelText() const {
  if (!typeAssigned || !elem || !elem->data) return {};
  return "\xF8 " + bracketedOrWholeName(elementName());
}

void CWPipe::DrawLabel() {
  if (!dc || vertices.empty()) return;
  const std::string text = LabelText();
  if (text.empty()) return;
  drawLabelText(text, labelFont(static_cast<int>(app().settings.labelFontHeight * (1.0 / scale)) + 1));
}

std::string CWPipe::GetKindName() const { return "Rurociag"; }

// --- CWDripline ------------------------------------------------------------------

namespace {

struct EmitterPoint {
  float p;  // atm
  float q;  // l/h
};

struct EmitterCurve {
  int count;
  EmitterPoint points[7];
};

constexpr EmitterCurve kEmitterCurves[4] = {
    {7, {{0.5f, 1.43f}, {1.0f, 2.0f}, {1.5f, 2.43f}, {2.0f, 2.8f}, {2.5f, 3.1f}, {3.0f, 3.4f}, {3.5f, 3.66f}}},
    {6, {{0.5f, 1.42f}, {1.0f, 1.98f}, {1.5f, 2.47f}, {2.0f, 2.99f}, {2.5f, 3.3f}, {3.0f, 3.63f}}},
    {7, {{0.5f, 1.06f}, {1.0f, 1.5f}, {1.5f, 1.84f}, {2.0f, 2.12f}, {2.5f, 2.37f}, {3.0f, 2.6f}, {3.5f, 2.81f}}},
    {2, {{0.7f, 2.0f}, {2.7f, 3.5f}}},
};

std::string fieldText(const char* field, size_t size) { return std::string(field, strnlen(field, size)); }

}  // namespace

float emitterFlowOnCurve(int curve, float pressure) {
  if (curve < 0 || curve > 3) return 0.0f;
  const EmitterCurve& c = kEmitterCurves[curve];
  return interpolateAtPressure(
      c.count, pressure, [&](int k) { return c.points[k].p; }, [&](int k) { return c.points[k].q; });
}

CWDripline::CWDripline() {
  labelDx = 0;
  labelDy = 10;
}

Pen CWDripline::bodyPen() const {
  const AppSettings& s = app().settings;
  return Pen::solid(bodyColour(s.driplineColour), bodyPenWidth(2, s.printWidthDriplines));
}

CLinKrop* CWDripline::type() const {
  if (!elem || elem->kind != kKindDripLine || !elem->data) return nullptr;
  return static_cast<CLinKrop*>(elem->data);
}

void CWDripline::ParseType() {
  const CLinKrop* t = type();
  if (!t) return;
  const std::string text = fieldText(t->dripperType, sizeof t->dripperType);
  const auto open = text.find('<');
  if (open == std::string::npos || open + 1 >= text.size()) return;
  const char digit = text[open + 1];
  if (digit == '1') {
    compensating = 1;
    curveIndex = -1;
  } else if (digit >= '2' && digit <= '5') {
    compensating = 0;
    curveIndex = digit - '2';
  }
}

void CWDripline::UpdateFlow(float scaleDenominator, float pixelsPerCm, float pressure) {
  ParseType();
  CLinKrop* t = type();
  if (!t) {
    flow = 0.0f;
    return;
  }
  float q = t->dripperFlow;
  if (!compensating && curveIndex >= 0 && curveIndex <= 3) {
    q = emitterFlowOnCurve(curveIndex, pressure);
    t->dripperFlow = q;
  }
  // Without a spacing (or a drawing scale) the emitter count is undefined:
  // such a line takes no water.
  if (!(t->dripperSpacing > 0.0f) || !(pixelsPerCm > 0.0f)) {
    flow = 0.0f;
    return;
  }
  const float lengthM = LengthU() / pixelsPerCm * scaleDenominator / 100.0f;
  const float count = lengthM * 100.0f / t->dripperSpacing;
  const int emitters = count >= static_cast<float>(INT_MAX) ? INT_MAX : count > 0.0f ? static_cast<int>(count) : 0;
  flow = emitters * q / 1000.0f;
}

std::string CWDripline::LabelText() const {
  if (!elem || !elem->data) return {};
  return bracketedOrWholeName(elementName());
}

void CWDripline::DrawLabel() {
  if (!dc || vertices.empty()) return;
  drawLabelText(LabelText(), labelFont(static_cast<int>(app().settings.labelFontHeight * (1.0 / scale)) + 1));
}

void CWDripline::DrawFlow() {
  if (!dc || vertices.empty()) return;
  CanvasStateSaver keep(*dc);
  dc->setTextColour(0);
  dc->setBackgroundColour(app().settings.backgroundColour);
  dc->setOpaqueBackground(true);
  const Point anchor = labelPoint();
  const double lineHeight = app().settings.labelFontHeight * (1.0 / scale);
  dc->text({anchor.x, anchor.y + static_cast<int>(lineHeight)}, platform::formatFixed(flow, 2));
}

void CWDripline::Draw() {
  CWPolyline::Draw();
  if (connected) DrawPointed();
}

std::string CWDripline::GetKindName() const { return elementName(); }

// --- changing a drip line's type ---------------------------------------------------

namespace {

// The order of a sorted list box: letters compare without regard to case.
bool listOrder(const std::string& a, const std::string& b) {
  auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; };
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [&](char x, char y) { return lower(x) < lower(y); });
}

}  // namespace

std::vector<DriplineTypeChoice> driplineTypeChoices(CElem* head, const CElem* current) {
  std::vector<DriplineTypeChoice> out;
  for (CElem* e = head; e; e = e->next) {
    if (e->kind != kKindDripLine || !e->data) continue;
    if ((e->archived || e->deleted) && e != current) continue;
    out.push_back({bracketedOrWholeName(fieldText(e->data->name, sizeof e->data->name)), e});
  }
  std::stable_sort(out.begin(), out.end(),
                   [](const DriplineTypeChoice& a, const DriplineTypeChoice& b) { return listOrder(a.text, b.text); });
  return out;
}

int driplineTypeIndex(const std::vector<DriplineTypeChoice>& choices, const CElem* current) {
  for (size_t i = 0; i < choices.size(); ++i)
    if (choices[i].elem == current) return static_cast<int>(i);
  return -1;
}

void applyDriplineType(CWDripline& line, CElem* choice, float scaleDenominator, float pixelsPerCm, float pressure) {
  if (!choice) return;
  line.elem = choice;
  line.UpdateFlow(scaleDenominator, pixelsPerCm, pressure);
}
