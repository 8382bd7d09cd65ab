#pragma once
// Plane regions for laying heads out: an outline less the surfaces drawn over
// it, with the polygon clipping of the GEOS library.

#include <vector>

#include "objects/wbase.h"

namespace region {

using Ring = std::vector<PointD>;

// The rings (outer outlines and the holes in them) of `outline` less every
// polygon of `cuts`, each closed without its first point repeated; pieces
// smaller than `minArea` (in the points' units squared) are dropped. A
// self-crossing outline or cut is mended first (as GEOS makes it valid).
// Empty when nothing is left; the outline itself when GEOS fails.
std::vector<Ring> difference(const Ring& outline, const std::vector<Ring>& cuts, double minArea);

// Whether `p` lies inside the region the rings bound (even-odd rule).
bool inside(const std::vector<Ring>& rings, PointD p);
// The distance from `p` to the nearest ring.
double distanceToOutline(const std::vector<Ring>& rings, PointD p);

}  // namespace region
