#pragma once
// Where the plan's labels are drawn so that they do not cover one another
// nor the symbols. A label keeps the place its offset gives while that place
// is free; otherwise it goes to the nearest free place around its object.
// Only where a label is drawn changes: the offsets the project stores stay
// as they are, and a label whose offset the user set by hand is never moved.

#include <vector>

#include "platform/canvas.h"

namespace labels {

using platform::Point;
using platform::Rect;

struct Label {
  Rect box;       // where its offset puts it, device pixels
  Point around;   // its object's place (a symbol's centre, a line's start)
  int owner = 0;  // the object it belongs to
  bool movable = true;
};

// Something a label must not cover: a symbol, with the object it belongs to
// (its own label may touch it).
struct Obstacle {
  Rect box;
  int owner = 0;
};

// The shift (device pixels) of each label from its box. Fixed labels and
// obstacles are taken first, then the movable labels in their order, each
// at its box when that is free, else at the nearest free one of the places
// around its object, else at its box. `gap` is the free space kept between
// a label and what it moved away from.
std::vector<Point> place(const std::vector<Label>& labels, const std::vector<Obstacle>& obstacles, int gap);

}  // namespace labels
