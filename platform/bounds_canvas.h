#pragma once
// A canvas that draws nothing: it gathers the device pixels that would be
// touched, so that a view can tell whether a figure reaches the screen (and
// how big it is there) before it pays for drawing it.

#include "platform/state_canvas.h"

namespace platform {

class BoundsCanvas : public StateCanvas {
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
};

}  // namespace platform
