#pragma once
// A canvas that draws nothing and remembers every figure with the state it
// was drawn in, for tests to read back.

#include <vector>

#include "platform/state_canvas.h"

namespace platform {

class RecordingCanvas : public StateCanvas {
 public:
  enum class Kind { Line, Polyline, Polygon, Rectangle, Ellipse, Arc, FillRect, Image, Text, ClipRect, ClipPolygon,
                    ClipEllipse, ResetClip };

  struct Op {
    Kind kind;
    std::vector<Point> points;  // line ends, vertices, arc start and end
    Rect rect;                  // rectangle, ellipse or arc box, fill, image destination, clip
    std::string text;
    Colour fill = 0;            // fillRect
    Pen pen;
    Brush brush;
    Font font;
    Colour textColour = 0;
    Colour backgroundColour = 0;
    bool opaque = false;
    RasterOp rop = RasterOp::CopyPen;
    Point origin;
    int haloWidth = 0;          // text
    Colour haloColour = 0;
  };

  std::vector<Op> ops;

  // The figures of one kind, in drawing order.
  std::vector<const Op*> of(Kind kind) const;
  void clear() { ops.clear(); }


  void setClipRect(const Rect& r) override;
  void setClipPolygon(const std::vector<Point>& points) override;
  void setClipEllipse(const Rect& box) override;
  void resetClip() override;

  void line(Point from, Point to) override;
  void polyline(const std::vector<Point>& points) override;
  void polygon(const std::vector<Point>& points) override;
  void rectangle(const Rect& r) override;
  void ellipse(const Rect& box) override;
  void arc(const Rect& box, Point start, Point end) override;
  void fillRect(const Rect& r, Colour c) override;
  void drawImage(const Rect& dest, const Image& image, const Rect& source) override;
  void text(Point at, const std::string& text) override;
  // Half the font height per character, the font height high.
  Size textExtent(const std::string& text) const override;

 private:
  Op& record(Kind kind);
};

}  // namespace platform
