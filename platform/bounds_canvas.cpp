#include "platform/bounds_canvas.h"

#include <algorithm>
#include <cstdint>

namespace platform {

namespace {
// The largest coordinate a text's box is given.
constexpr int64_t kMaxExtent = 1'000'000'000;
}  // namespace

int BoundsCanvas::penMargin() const { return pen_.style == PenStyle::Null ? 0 : std::max(1, pen_.width) / 2 + 1; }

void BoundsCanvas::add(Rect r, int margin, Colour c) {
  r = {r.left + origin_.x - margin, r.top + origin_.y - margin, r.right + origin_.x + margin,
       r.bottom + origin_.y + margin};
  if (r.right < r.left) std::swap(r.left, r.right);
  if (r.bottom < r.top) std::swap(r.top, r.bottom);
  if (empty_) {
    box_ = r;
    empty_ = false;
  } else {
    box_ = {std::min(box_.left, r.left), std::min(box_.top, r.top), std::max(box_.right, r.right),
            std::max(box_.bottom, r.bottom)};
  }
  if (!colourSeen_) {
    colour_ = c;
    colourSeen_ = true;
  }
}

void BoundsCanvas::addBox(const Rect& r, bool filled) {
  const bool outlined = pen_.style != PenStyle::Null;
  if (!outlined && !(filled && brush_.style != BrushStyle::Null)) return;
  add(r, penMargin(), outlined ? pen_.colour : brush_.colour);
}

void BoundsCanvas::line(Point from, Point to) {
  if (pen_.style == PenStyle::Null) return;
  add({std::min(from.x, to.x), std::min(from.y, to.y), std::max(from.x, to.x) + 1, std::max(from.y, to.y) + 1},
      penMargin(), pen_.colour);
}

void BoundsCanvas::polyline(const std::vector<Point>& points) {
  for (size_t i = 1; i < points.size(); ++i) line(points[i - 1], points[i]);
}

void BoundsCanvas::polygon(const std::vector<Point>& points) {
  if (points.empty()) return;
  Rect r{points[0].x, points[0].y, points[0].x, points[0].y};
  for (const Point& p : points) {
    r.left = std::min(r.left, p.x);
    r.top = std::min(r.top, p.y);
    r.right = std::max(r.right, p.x);
    r.bottom = std::max(r.bottom, p.y);
  }
  addBox({r.left, r.top, r.right + 1, r.bottom + 1}, true);
}

void BoundsCanvas::fillRect(const Rect& r, Colour c) { add(r, 0, c); }

Size BoundsCanvas::textExtent(const std::string& text) const {
  // In 64 bits and held to what a device can take: a damaged file can ask
  // for letters of any height.
  const int64_t h = std::clamp<int64_t>(font_.height, 1, kMaxExtent);
  const int64_t w = static_cast<int64_t>(std::min<size_t>(text.size(), kMaxExtent)) * h * 3 / 5 + 1;
  return {static_cast<int>(std::min<int64_t>(w, kMaxExtent)), static_cast<int>(h)};
}

void BoundsCanvas::text(Point at, const std::string& text) {
  const Size s = textExtent(text);
  // A turned text may reach as far as its length in any direction.
  const int64_t reach = font_.escapement % 3600 == 0 ? 0 : std::max(s.cx, s.cy);
  auto held = [](int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, -kMaxExtent, kMaxExtent)); };
  add({held(at.x - reach), held(at.y - reach), held(int64_t{at.x} + s.cx + reach), held(int64_t{at.y} + s.cy + reach)},
      0, text_);
}

}  // namespace platform
