#include "objects/wbase.h"

#include <algorithm>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include "partix.h"
#include "platform/folders.h"

// --- CWBase --------------------------------------------------------------------

CWBase::CWBase() = default;
CWBase::~CWBase() = default;

std::unique_ptr<CWBase> CWBase::CloneAt(Point) const { return nullptr; }
void CWBase::MoveLabelTo(Point) {}
void CWBase::Rescale(float) {}
Extent CWBase::GetExtent(Extent) const { return Extent{}; }
void CWBase::DrawLabel() {}
void CWBase::DrawFlow() {}
void CWBase::Draw() {}
void CWBase::ReduceRadius(float) {}
void CWBase::ResetGrips() { labelGripPicked = 0; }
void CWBase::DragGrip(Point, Point) {}
int CWBase::PickGrip(Point, int) { return 0; }
void CWBase::DrawHighlighted() {}
std::string CWBase::GetKindName() const { return "Nazwa Objektu"; }

void CWBase::SetSectionColour(Colour c) {
  hasSectionColour = 1;
  sectionColour = c;
}

int CWBase::OnSectionRemoved(int removed) {
  const int before = sectionNo;
  if (sectionNo == removed) {
    hasSectionColour = 0;
    sectionNo = kNoSection;
  } else if (removed < sectionNo) {
    --sectionNo;
  }
  return before;
}

bool CWBase::hitGrip(Point p, Point q) {
  const long dx = p.x - q.x, dy = p.y - q.y;
  if (dx * dx + dy * dy >= 64) return false;
  if (PlanViewLink* view = app().planView; view && !view->snapToGrid()) view->movePointerTo(q);
  return true;
}

void CWBase::drawGrip(Point q, Colour c) const {
  if (dc) dc->fillRect({q.x - 2, q.y - 2, q.x + 2, q.y + 2}, c);
}

Point CWBase::labelAnchor(Point pos) const {
  return {pos.x + static_cast<int>(labelDx / scale), pos.y + static_cast<int>(labelDy / scale)};
}

void CWBase::setLabelOffsetTo(Point p, Point pos) {
  labelDx = static_cast<int>((p.x - pos.x) * scale);
  labelDy = static_cast<int>((p.y - pos.y) * scale);
}

int CWBase::bodyPenWidth(int screenWidth, int printWidth) const {
  if (!printing) return screenWidth;
  if (preview) return static_cast<int>(printWidth * app().previewPenFactor);
  return printWidth;
}

double CWBase::fixedSize(double pixels) const {
  if (printing && !preview) return pixels * app().printerSizeFactor * 0.65;
  return pixels;
}

std::string CWBase::elementName() const {
  if (!elem || !elem->data) return {};
  return std::string(elem->data->name, strnlen(elem->data->name, sizeof elem->data->name));
}

std::string CWBase::elementShortName() const {
  std::string name = elementName();
  auto open = name.find('<');
  if (open == std::string::npos) return name;
  auto close = name.find('>', open + 1);
  if (close == std::string::npos) return name.substr(open + 1);
  return name.substr(open + 1, close - open - 1);
}

// --- symbol files ------------------------------------------------------------

SymbolData parseSymbolText(const std::string& text) {
  SymbolData data{};
  size_t count = 0;
  size_t i = 0;
  const size_t n = text.size();
  auto isSpace = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
  // Tokens are read at most 11 characters at a time, until the end of the
  // text; a text ending in blanks yields one more, empty, token.
  while (count < data.size()) {
    while (i < n && isSpace(text[i])) ++i;
    std::string token;
    while (i < n && !isSpace(text[i]) && token.size() < 11) token += text[i++];
    long v = std::strtol(token.c_str(), nullptr, 10);
    if (v > 2147483647L) v = 2147483647L;
    if (v < -2147483647L - 1) v = -2147483647L - 1;
    data[count++] = static_cast<int>(v);
    if (i >= n) break;
  }
  return data;
}

std::shared_ptr<const SymbolData> loadSymbolFile(const std::string& name) {
  static std::map<std::string, std::shared_ptr<const SymbolData>> cache;
  const std::string path = platform::joinPath(platform::joinPath(platform::programDir(), "Gui"), name);
  auto it = cache.find(path);
  if (it != cache.end()) return it->second;
  std::shared_ptr<const SymbolData> data;
  std::ifstream in(path, std::ios::binary);
  if (in) {
    std::stringstream s;
    s << in.rdbuf();
    data = std::make_shared<const SymbolData>(parseSymbolText(s.str()));
  } else {
    data = std::make_shared<const SymbolData>(SymbolData{});
  }
  cache[path] = data;
  return data;
}

void drawSymbolFigure(Canvas& dc, const SymbolData& d, Point pos, int size) {
  // A damaged file may hold any int: the arithmetic is widened and the
  // result held to what a device can take.
  auto coordinate = [size](int base, int v, int centre) {
    const float f = static_cast<float>(static_cast<int64_t>(v) - centre) * 0.0125f;
    const double offset = std::clamp(static_cast<double>(f) * size, -1.0e9, 1.0e9);
    return static_cast<int>(std::clamp(static_cast<double>(base) + static_cast<int>(offset), -2.0e9, 2.0e9));
  };
  auto at = [&](int x, int y) { return Point{coordinate(pos.x, x, 200), coordinate(pos.y, y, 100)}; };
  size_t i = 0;
  while (i < d.size()) {
    const int op = d[i];
    if (op == 0) break;
    if (op != 3 && op != 5) {
      ++i;
      continue;
    }
    if (i + 1 >= d.size()) break;
    const int count = d[i + 1];
    if (count < 1 || count > 256) break;
    const size_t end = i + 2 + 2 * static_cast<size_t>(count) + 1;
    if (end > d.size()) break;
    const size_t first = i + 2;
    for (int k = 0; k + 1 < count; ++k)
      dc.line(at(d[first + 2 * k], d[first + 2 * k + 1]), at(d[first + 2 * k + 2], d[first + 2 * k + 3]));
    if (op == 3) {
      const size_t last = first + 2 * static_cast<size_t>(count - 1);
      dc.line(at(d[last], d[last + 1]), at(d[first], d[first + 1]));
    }
    i = end;
  }
}

// --- CWSymb --------------------------------------------------------------------

CWSymb::CWSymb() {
  labelDx = -10;
  labelDy = 10;
  posGripColour = sizeGripColour = app().settings.systemPointColour;
  symData = std::make_shared<const SymbolData>(SymbolData{});
}

void CWSymb::loadSymbol(const std::string& file) {
  symFile = file;
  symData = loadSymbolFile(file);
}

std::unique_ptr<CWBase> CWSymb::CloneAt(Point) const { return nullptr; }

void CWSymb::placeSymbolAt(Point p) {
  posX = p.x;
  posY = p.y;
  posUx = posX * scale;
  posUy = posY * scale;
  sizeGripX = posX + size;
  sizeGripY = posY;
  sizeGripUx = sizeGripX * scale;
  sizeGripUy = sizeGripY * scale;
}

void CWSymb::MoveLabelTo(Point p) { setLabelOffsetTo(p, {posX, posY}); }

void CWSymb::Rescale(float zoom) {
  posX = static_cast<int>(zoom * posUx);
  posY = static_cast<int>(zoom * posUy);
  sizeGripX = static_cast<int>(zoom * sizeGripUx);
  sizeGripY = static_cast<int>(zoom * sizeGripUy);
  size = static_cast<int>(zoom * sizeU);
  scale = 1.0 / zoom;
}

void CWSymb::DrawLabel() {}

void CWSymb::drawFigureWith(const platform::Pen& pen) {
  if (!dc) return;
  platform::CanvasStateSaver keep(*dc);
  dc->setPen(pen);
  dc->setBrush(platform::Brush::none());
  DrawSymbol();
}

void CWSymb::Draw() {
  if (!dc) return;
  drawFigureWith(platform::Pen::solid(0, 1));
  if (!showGrips) return;
  drawGrip({posX, posY}, posGripColour);
  if (hasSizeGrip) drawGrip({sizeGripX, sizeGripY}, sizeGripColour);
  if (labelShown && !noLabelGrip) drawGrip(labelAnchor({posX, posY}), app().settings.systemPointColour);
}

void CWSymb::ResetGrips() {
  CWBase::ResetGrips();
  posGripColour = sizeGripColour = app().settings.systemPointColour;
  posGripPicked = sizeGripPicked = 0;
}

int CWSymb::PickGrip(Point p, int mode) {
  bool hit = false;
  if (mode == 0 && hasSizeGrip && hitGrip(p, {sizeGripX, sizeGripY})) {
    sizeGripColour = kPickedGripColour;
    sizeGripPicked = hit = true;
  } else if ((mode == 0 || mode == 1) && hitGrip(p, {posX, posY})) {
    posGripColour = kPickedGripColour;
    posGripPicked = hit = true;
  } else if (mode == 0 && labelShown && !noLabelGrip && hitGrip(p, labelAnchor({posX, posY}))) {
    labelGripPicked = hit = true;
  }
  if (!hit) return 0;
  Draw();
  return 1;
}

void CWSymb::DragGrip(Point to, Point from) {
  if (!dc) return;
  (void)from;
  platform::CanvasStateSaver keep(*dc);
  savedRop = static_cast<int>(dc->rasterOp());
  dc->setRasterOp(platform::RasterOp::Not);
  const platform::Pen pen = platform::Pen::solid(0, 2);
  if (posGripPicked || sizeGripPicked) {
    drawFigureWith(pen);  // erases the figure at its old place
    if (posGripPicked) {
      posX = to.x;
      posY = to.y;
      posUx = posX * scale;
      posUy = posY * scale;
      if (hasSizeGrip) {
        sizeGripX = to.x + size;
        sizeGripY = to.y;
        sizeGripUx = sizeGripX * scale;
        sizeGripUy = sizeGripY * scale;
      }
    } else {
      size = std::abs(posX - to.x);
      sizeU = static_cast<float>(size * scale);
      sizeGripX = posX + size;
      sizeGripY = posY;
      sizeGripUx = sizeGripX * scale;
      sizeGripUy = sizeGripY * scale;
    }
    drawFigureWith(pen);
  } else if (labelGripPicked) {
    dc->setPen(pen);
    const Point old = labelAnchor({posX, posY});
    dc->rectangle({old.x - 3, old.y - 3, old.x + 4, old.y + 4});
    MoveLabelTo(to);
    const Point now = labelAnchor({posX, posY});
    dc->rectangle({now.x - 3, now.y - 3, now.x + 4, now.y + 4});
  }
  dc->setRasterOp(static_cast<platform::RasterOp>(savedRop));
}

void CWSymb::DrawHighlighted() { drawFigureWith(platform::Pen::solid(app().settings.highlightColour, 2)); }

std::string CWSymb::GetKindName() const { return "Nazwa Obiektu"; }

void CWSymb::DrawSymbol() {}
