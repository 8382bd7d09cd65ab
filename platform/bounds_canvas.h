#pragma once
// A canvas that draws nothing: it gathers the device pixels that would be
// touched, so that a view can tell whether a figure reaches the screen (and
// how big it is there) before it pays for drawing it.

#include "platform/canvas.h"

namespace platform {

class BoundsCanvas : public Canvas {
 public:
  // Forgets what was gathered; the state (pen, origin, ...) stays.
  void reset() {
    empty_ = true;
    box_ = {};
    colourSeen_ = false;
  }
  bool empty() const { return empty_; }
  // The box of everything drawn since reset, right and bottom excluded.
  Rect bounds() const { return box_; }
  // The colour of the first pen (or brush, for fills) that drew something.
  Colour colour() const { return colour_; }

  void setPen(const Pen& pen) override { pen_ = pen; }
  Pen pen() const override { return pen_; }
  void setBrush(const Brush& brush) override { brush_ = brush; }
  Brush brush() const override { return brush_; }
  void setFont(const Font& font) override { font_ = font; }
  Font font() const override { return font_; }
  void setTextColour(Colour c) override { text_ = c; }
  Colour textColour() const override { return text_; }
  void setBackgroundColour(Colour c) override { bk_ = c; }
  Colour backgroundColour() const override { return bk_; }
  void setOpaqueBackground(bool opaque) override { opaque_ = opaque; }
  bool opaqueBackground() const override { return opaque_; }
  void setRasterOp(RasterOp op) override { rop_ = op; }
  RasterOp rasterOp() const override { return rop_; }
  void setViewportOrigin(Point origin) override { origin_ = origin; }
  Point viewportOrigin() const override { return origin_; }

  void setClipRect(const Rect&) override {}
  void setClipPolygon(const std::vector<Point>&) override {}
  void setClipEllipse(const Rect&) override {}
  void resetClip() override {}

  void line(Point from, Point to) override;
  void polyline(const std::vector<Point>& points) override;
  void polygon(const std::vector<Point>& points) override;
  void rectangle(const Rect& r) override { addBox(r, true); }
  void ellipse(const Rect& box) override { addBox(box, true); }
  void arc(const Rect& box, Point, Point) override { addBox(box, false); }
  void fillRect(const Rect& r, Colour c) override;
  void drawImage(const Rect& dest, const Image&, const Rect&) override { add(dest, 0, 0); }
  // Texts are taken at an estimate of their size, turned any way.
  void text(Point at, const std::string& text) override;
  Size textExtent(const std::string& text) const override;

 private:
  void add(Rect r, int margin, Colour c);
  void addBox(const Rect& r, bool filled);
  int penMargin() const;

  bool empty_ = true;
  Rect box_;
  bool colourSeen_ = false;
  Colour colour_ = 0;
  Pen pen_;
  Brush brush_;
  Font font_;
  Colour text_ = 0, bk_ = 0xFFFFFF;
  bool opaque_ = true;
  RasterOp rop_ = RasterOp::CopyPen;
  Point origin_;
};

}  // namespace platform
