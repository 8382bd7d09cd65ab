#include "printing/sheet_renderer.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

#include "document/graphic_plane.h"
#include "document/plan_painter.h"

namespace {

using platform::Canvas;
using platform::Point;
using platform::Rect;

// Beyond this many device pixels per plan unit a plan's pixel coordinates
// no longer fit the integers objects draw with; such a sheet gets no plan.
constexpr double kMaxPlanScale = 1.0e4;

bool inside(const Rect& inner, const Rect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

Rect boundsOf(const std::vector<Point>& points) {
  Rect r{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  for (const Point& p : points) {
    r.left = std::min(r.left, p.x);
    r.top = std::min(r.top, p.y);
    r.right = std::max(r.right, p.x);
    r.bottom = std::max(r.bottom, p.y);
  }
  return r;
}

// The part of a polygon inside an upright rectangle (Sutherland-Hodgman).
std::vector<Point> clipToRect(const std::vector<Point>& polygon, const Rect& r) {
  struct P {
    double x, y;
  };
  std::vector<P> out;
  out.reserve(polygon.size());
  for (const Point& p : polygon) out.push_back({static_cast<double>(p.x), static_cast<double>(p.y)});
  auto pass = [&out](auto keep, auto cross) {
    if (out.empty()) return;
    std::vector<P> in;
    in.swap(out);
    for (size_t i = 0; i < in.size(); ++i) {
      const P& a = in[(i + in.size() - 1) % in.size()];
      const P& b = in[i];
      if (keep(b)) {
        if (!keep(a)) out.push_back(cross(a, b));
        out.push_back(b);
      } else if (keep(a)) {
        out.push_back(cross(a, b));
      }
    }
  };
  auto atX = [](double x) {
    return [x](const P& a, const P& b) { return P{x, a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x)}; };
  };
  auto atY = [](double y) {
    return [y](const P& a, const P& b) { return P{a.x + (b.x - a.x) * (y - a.y) / (b.y - a.y), y}; };
  };
  const double l = r.left, t = r.top, rt = r.right, b = r.bottom;
  pass([l](const P& p) { return p.x >= l; }, atX(l));
  pass([rt](const P& p) { return p.x <= rt; }, atX(rt));
  pass([t](const P& p) { return p.y >= t; }, atY(t));
  pass([b](const P& p) { return p.y <= b; }, atY(b));
  std::vector<Point> result;
  result.reserve(out.size());
  for (const P& p : out) result.push_back({static_cast<int>(std::lround(p.x)), static_cast<int>(std::lround(p.y))});
  return result;
}

std::vector<Point> ellipsePolygon(const Rect& box) {
  const double cx = (box.left + box.right) / 2.0, cy = (box.top + box.bottom) / 2.0;
  const double rx = box.width() / 2.0, ry = box.height() / 2.0;
  const double around = 2 * M_PI * std::max(std::fabs(rx), std::fabs(ry));
  const int n = std::clamp(static_cast<int>(around / 4), 32, 2048);
  std::vector<Point> points;
  points.reserve(n);
  for (int i = 0; i < n; ++i) {
    const double a = 2 * M_PI * i / n;
    points.push_back({static_cast<int>(std::lround(cx + rx * std::cos(a))), static_cast<int>(std::lround(cy + ry * std::sin(a)))});
  }
  return points;
}

// The device as the plan sees it while it is printed: every clip the plan's
// figures set (buildings clip their hatch to their outline) is cut to the
// printable frame, and taking the clip away leaves the frame, so that nothing
// of the plan reaches the margins.
class FrameClippedCanvas : public Canvas {
 public:
  FrameClippedCanvas(Canvas& device, const Rect& frame) : d_(device), frame_(frame) {}

  void setPen(const platform::Pen& pen) override { d_.setPen(pen); }
  platform::Pen pen() const override { return d_.pen(); }
  void setBrush(const platform::Brush& brush) override { d_.setBrush(brush); }
  platform::Brush brush() const override { return d_.brush(); }
  void setFont(const platform::Font& font) override { d_.setFont(font); }
  platform::Font font() const override { return d_.font(); }
  void setTextColour(platform::Colour c) override { d_.setTextColour(c); }
  platform::Colour textColour() const override { return d_.textColour(); }
  void setBackgroundColour(platform::Colour c) override { d_.setBackgroundColour(c); }
  platform::Colour backgroundColour() const override { return d_.backgroundColour(); }
  void setOpaqueBackground(bool opaque) override { d_.setOpaqueBackground(opaque); }
  bool opaqueBackground() const override { return d_.opaqueBackground(); }
  void setRasterOp(platform::RasterOp op) override { d_.setRasterOp(op); }
  platform::RasterOp rasterOp() const override { return d_.rasterOp(); }
  void setViewportOrigin(Point origin) override { d_.setViewportOrigin(origin); }
  Point viewportOrigin() const override { return d_.viewportOrigin(); }
  void setTextHalo(int width, platform::Colour c) override { d_.setTextHalo(width, c); }
  int textHaloWidth() const override { return d_.textHaloWidth(); }
  platform::Colour textHaloColour() const override { return d_.textHaloColour(); }

  void setClipRect(const Rect& r) override {
    const Rect f = frame();
    Rect cut{std::max(r.left, f.left), std::max(r.top, f.top), std::min(r.right, f.right), std::min(r.bottom, f.bottom)};
    if (cut.right < cut.left) cut.right = cut.left;
    if (cut.bottom < cut.top) cut.bottom = cut.top;
    d_.setClipRect(cut);
  }
  void setClipPolygon(const std::vector<Point>& points) override {
    if (points.empty() || inside(boundsOf(points), frame())) return d_.setClipPolygon(points);
    setClipCut(points);
  }
  void setClipEllipse(const Rect& box) override {
    if (inside(box, frame())) return d_.setClipEllipse(box);
    setClipCut(ellipsePolygon(box));
  }
  void resetClip() override { d_.setClipRect(frame()); }

  void line(Point from, Point to) override { d_.line(from, to); }
  void polyline(const std::vector<Point>& points) override { d_.polyline(points); }
  void polygon(const std::vector<Point>& points) override { d_.polygon(points); }
  void rectangle(const Rect& r) override { d_.rectangle(r); }
  void ellipse(const Rect& box) override { d_.ellipse(box); }
  void arc(const Rect& box, Point start, Point end) override { d_.arc(box, start, end); }
  void fillRect(const Rect& r, platform::Colour c) override { d_.fillRect(r, c); }
  void drawImage(const Rect& dest, const platform::Image& image, const Rect& source) override {
    d_.drawImage(dest, image, source);
  }
  void text(Point at, const std::string& text) override { d_.text(at, text); }
  platform::Size textExtent(const std::string& text) const override { return d_.textExtent(text); }

 private:
  // The frame in the logical coordinates of the moment.
  Rect frame() const {
    const Point o = d_.viewportOrigin();
    return {frame_.left - o.x, frame_.top - o.y, frame_.right - o.x, frame_.bottom - o.y};
  }
  void setClipCut(const std::vector<Point>& points) {
    const Rect f = frame();
    std::vector<Point> cut = clipToRect(points, f);
    if (cut.size() < 3) return d_.setClipRect({f.left, f.top, f.left, f.top});
    d_.setClipPolygon(cut);
  }

  Canvas& d_;
  Rect frame_;  // device pixels
};

// What drawing on paper changes in the document, its objects and its
// terrain, kept to be put back for the screen.
class ScreenStateKeeper {
 public:
  explicit ScreenStateKeeper(CGraphicPlane& doc)
      : doc_(doc), zoom_(doc.zoom), dc_(doc.dc), orgX_(doc.viewOrgX), orgY_(doc.viewOrgY), printing_(doc.printing),
        preview_(doc.preview) {
    for (const auto& o : doc.objects()) objects_.push_back({o->dc, o->viewOrgX, o->viewOrgY, o->printing, o->preview});
    for (const auto& p : doc.terrain())
      terrain_.push_back({p->dc, p->viewOrgX, p->viewOrgY, p->printing, p->preview, p->clipRect});
  }
  ~ScreenStateKeeper() {
    doc_.setZoom(static_cast<float>(zoom_));
    doc_.zoom = zoom_;
    doc_.dc = dc_;
    doc_.viewOrgX = orgX_;
    doc_.viewOrgY = orgY_;
    doc_.printing = printing_;
    doc_.preview = preview_;
    const auto& objects = doc_.objects();
    for (size_t i = 0; i < objects.size() && i < objects_.size(); ++i) {
      CWBase& o = *objects[i];
      const ObjectState& s = objects_[i];
      o.dc = s.dc;
      o.viewOrgX = s.orgX;
      o.viewOrgY = s.orgY;
      o.printing = s.printing;
      o.preview = s.preview;
    }
    const auto& terrain = doc_.terrain();
    for (size_t i = 0; i < terrain.size() && i < terrain_.size(); ++i) {
      CPrimitive& p = *terrain[i];
      const PrimitiveState& s = terrain_[i];
      p.dc = s.dc;
      p.viewOrgX = s.orgX;
      p.viewOrgY = s.orgY;
      p.printing = s.printing;
      p.preview = s.preview;
      p.clipRect = s.clip;
    }
  }
  ScreenStateKeeper(const ScreenStateKeeper&) = delete;
  ScreenStateKeeper& operator=(const ScreenStateKeeper&) = delete;

 private:
  struct ObjectState {
    platform::Canvas* dc;
    int orgX, orgY, printing, preview;
  };
  struct PrimitiveState {
    platform::Canvas* dc;
    int orgX, orgY, printing, preview;
    Rect clip;
  };
  CGraphicPlane& doc_;
  double zoom_;
  platform::Canvas* dc_;
  int orgX_, orgY_, printing_, preview_;
  std::vector<ObjectState> objects_;
  std::vector<PrimitiveState> terrain_;
};

int clampToInt(double v) { return static_cast<int>(std::clamp(v, -2.0e9, 2.0e9)); }

void drawPlan(CGraphicPlane& doc, Canvas& device, const PrintLayout& layout, const SheetRequest& request,
              const SheetGeometry& g) {
  const Rect frame{g.frameLeft, g.frameTop, g.frameRight, g.frameBottom};
  const Point origin{g.originX, g.originY};
  const double k = g.planScale;
  if (!(k > 0) || k > kMaxPlanScale) return;

  ScreenStateKeeper keep(doc);
  // Control points are handles of the screen, never part of the sheet.
  struct GripsOff {
    CGraphicPlane& doc;
    int was;
    ~GripsOff() { doc.showGrips = was; }
  } gripsOff{doc, doc.showGrips};
  doc.showGrips = 0;
  FrameClippedCanvas canvas(device, frame);
  canvas.setViewportOrigin({0, 0});
  canvas.resetClip();
  canvas.setViewportOrigin(origin);

  // One pixel of the background image is one plan unit.
  const platform::Image* background = request.background;
  if (doc.hasBackground && layout.printBackground && background && background->width > 0 && background->height > 0)
    canvas.drawImage({0, 0, clampToInt(background->width * k), clampToInt(background->height * k)}, *background,
                     {0, 0, background->width, background->height});

  doc.viewOrgX = origin.x;
  doc.viewOrgY = origin.y;
  doc.setZoom(static_cast<float>(k));
  doc.printing = 1;
  doc.preview = request.preview ? 1 : 0;
  // Buildings put this clip back after clipping their hatch to themselves.
  for (const auto& p : doc.terrain()) p->clipRect = frame;
  doc.paintTerrain(canvas);
  if (layout.printGrid) {
    canvas.setViewportOrigin(origin);
    PlanViewState view;  // no scroll: the line numbers run along the plan's edges
    paintGrid(doc, canvas, view);
  }
  // Objects draw in the canvas's logical coordinates: the plan's origin.
  canvas.setViewportOrigin(origin);
  doc.paintObjects(canvas);
}

}  // namespace

int sheetPrintScale(const CGraphicPlane& doc, int requested) {
  if (requested >= 1) return requested;
  const double n = doc.scaleDenominator;
  if (!(n >= 1)) return 1;
  return n >= INT_MAX ? INT_MAX : static_cast<int>(n);
}

SheetGeometry renderSheet(CGraphicPlane& doc, platform::Canvas& canvas, const PrintLayout& layout,
                          const SheetRequest& request) {
  const int n = sheetPrintScale(doc, request.printScale);
  const SheetGeometry g = sheetGeometry(layout, request.devicePixelsPerCm, doc.pixelsPerCm, doc.scaleDenominator, n);
  app().printerSizeFactor = static_cast<float>(g.titleUnit);
  const int lawnFill = app().printLawnFill;
  app().printLawnFill = layout.printLawnFill ? 1 : 0;

  platform::CanvasStateSaver keep(canvas);
  drawPlan(doc, canvas, layout, request, g);
  app().printLawnFill = lawnFill;

  canvas.setViewportOrigin({0, 0});
  canvas.resetClip();
  const TitleBlockPicture none;
  drawTitleBlock(canvas, request.titleBlock ? *request.titleBlock : none, titleBlockTexts(doc), g.width, g.height,
                 g.titleUnit, g.marginRight, g.marginBottom, n);

  canvas.setPen(platform::Pen::solid(0, 3));
  const int right = g.width - g.marginRight, bottom = g.height - g.marginBottom;
  canvas.line({g.marginLeft, g.marginTop}, {right, g.marginTop});
  canvas.line({g.marginLeft, bottom}, {right, bottom});
  canvas.line({g.marginLeft, g.marginTop}, {g.marginLeft, bottom});
  canvas.line({right, g.marginTop}, {right, bottom});
  return g;
}
