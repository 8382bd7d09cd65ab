#pragma once
// The state half of a canvas that draws nowhere: the selected pen, brush and
// font, the text colours, the raster operation and the viewport origin, kept
// as they are set. Canvases that only record or measure build on it.

#include "platform/canvas.h"

namespace platform {

class StateCanvas : public Canvas {
 public:
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

 protected:
  Pen pen_;
  Brush brush_;
  Font font_;
  Colour text_ = 0;
  Colour bk_ = 0xFFFFFF;
  bool opaque_ = true;
  RasterOp rop_ = RasterOp::CopyPen;
  Point origin_;
};

}  // namespace platform
