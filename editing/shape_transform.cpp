#include "editing/shape_transform.h"

#include <cmath>
#include <numbers>

namespace {

// sin and cos of a whole number of quarter turns are exact: without this the
// last bit of cos(pi/2) would move a vertex one pixel when nothing turned.
double exact(double v) {
  if (std::abs(v) < 1e-12) return 0;
  if (std::abs(v - 1) < 1e-12) return 1;
  if (std::abs(v + 1) < 1e-12) return -1;
  return v;
}

}  // namespace

std::vector<platform::Point> transformedVertices(const std::vector<platform::Point>& vertices,
                                                 platform::Point centre, int turn, double fx, double fy) {
  const double theta = turn * std::numbers::pi / 180.0;
  const double s = exact(std::sin(theta)), c = exact(std::cos(theta));
  std::vector<platform::Point> out;
  out.reserve(vertices.size());
  for (const platform::Point& v : vertices) {
    const double m = fx * (v.x - centre.x), o = fy * (v.y - centre.y);
    out.push_back({centre.x + static_cast<int>(s * m - c * o), static_cast<int>(c * m + s * o) + centre.y});
  }
  return out;
}
