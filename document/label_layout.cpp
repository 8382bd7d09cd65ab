#include "document/label_layout.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>

namespace labels {

namespace {

bool overlaps(const Rect& a, const Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// The boxes taken so far, in square cells of the plane so that a test looks
// only at its neighbours.
class Taken {
 public:
  explicit Taken(int cell) : cell_(std::max(cell, 8)) {}

  void add(const Rect& r, int owner) {
    const size_t index = boxes_.size();
    boxes_.push_back({r, owner});
    forCells(r, false, [&](int64_t key) {
      cells_[key].push_back(index);
      return true;
    });
  }

  // Whether `r` meets a box taken by another owner than `owner`.
  bool meets(const Rect& r, int owner) const {
    bool hit = false;
    forCells(r, true, [&](int64_t key) {
      auto it = cells_.find(key);
      if (it == cells_.end()) return true;
      for (size_t i : it->second) {
        const Obstacle& o = boxes_[i];
        if (o.owner != owner && overlaps(o.box, r)) {
          hit = true;
          return false;
        }
      }
      return true;
    });
    return hit;
  }

 private:
  template <typename F>
  void forCells(const Rect& r, bool query, F f) const {
    // A box of any size is held to the cells of a few screens around it.
    const int64_t x0 = floorDiv(r.left), x1 = floorDiv(r.right - 1), y0 = floorDiv(r.top), y1 = floorDiv(r.bottom - 1);
    if (x1 < x0 || y1 < y0 || (x1 - x0 + 1) * (y1 - y0 + 1) > 4096) {
      // Larger than a cell count can hold: kept in one cell that every test visits.
      f(kHuge);
      return;
    }
    if (query && cells_.count(kHuge) && !f(kHuge)) return;
    for (int64_t y = y0; y <= y1; ++y)
      for (int64_t x = x0; x <= x1; ++x)
        if (!f((y << 32) ^ (x & 0xFFFFFFFF))) return;
  }
  int64_t floorDiv(int64_t v) const { return v >= 0 ? v / cell_ : -((-v + cell_ - 1) / cell_); }

  static constexpr int64_t kHuge = INT64_MIN;
  int cell_;
  std::vector<Obstacle> boxes_;
  std::unordered_map<int64_t, std::vector<size_t>> cells_;
};

Rect moved(const Rect& r, int left, int top) { return {left, top, left + r.width(), top + r.height()}; }

int64_t squared(int64_t v) { return v * v; }

}  // namespace

std::vector<Point> place(const std::vector<Label>& labels, const std::vector<Obstacle>& obstacles, int gap) {
  std::vector<Point> shifts(labels.size());
  int cell = 32;
  for (const Label& l : labels) cell = std::max(cell, std::min(l.box.height() * 2, 256));
  Taken taken(cell);
  std::unordered_map<int, Rect> symbolOf;
  for (const Obstacle& o : obstacles) {
    taken.add(o.box, o.owner);
    auto [it, fresh] = symbolOf.emplace(o.owner, o.box);
    if (!fresh) {
      Rect& r = it->second;
      r = {std::min(r.left, o.box.left), std::min(r.top, o.box.top), std::max(r.right, o.box.right),
           std::max(r.bottom, o.box.bottom)};
    }
  }
  // Labels keep a little room between each other, so that two side by side
  // do not read as one.
  const int pad = std::max(2, gap);
  auto padded = [pad](const Rect& r) { return Rect{r.left - pad, r.top - pad, r.right + pad, r.bottom + pad}; };
  for (const Label& l : labels)
    if (!l.movable) taken.add(padded(l.box), l.owner);

  std::vector<Rect> candidates;
  for (size_t i = 0; i < labels.size(); ++i) {
    const Label& l = labels[i];
    if (!l.movable) continue;
    const Rect& box = l.box;
    if (box.width() <= 0 || box.height() <= 0) continue;
    if (!taken.meets(box, l.owner)) {
      taken.add(padded(box), l.owner);
      continue;
    }
    // The places around the object's symbol (or its point), in rings one
    // line of text apart: below, above, right, left and the four corners.
    auto own = symbolOf.find(l.owner);
    const Rect around = own != symbolOf.end() ? own->second : Rect{l.around.x, l.around.y, l.around.x, l.around.y};
    const int w = box.width(), h = box.height();
    const int cx = (around.left + around.right) / 2, cy = (around.top + around.bottom) / 2;
    candidates.clear();
    for (int ring = 0; ring < 3; ++ring) {
      const int d = gap + ring * (h + gap);
      const int below = around.bottom + d, above = around.top - d - h;
      const int right = around.right + d, left = around.left - d - w;
      for (int top : {below, above}) {
        candidates.push_back(moved(box, cx - w / 2, top));
        candidates.push_back(moved(box, box.left, top));
      }
      for (int x : {right, left}) candidates.push_back(moved(box, x, cy - h / 2));
      for (int top : {below, above})
        for (int x : {right, left}) candidates.push_back(moved(box, x, top));
    }
    // Nearest to where the label would have been first.
    const int64_t bx = (int64_t{box.left} + box.right) / 2, by = (int64_t{box.top} + box.bottom) / 2;
    auto distance = [&](const Rect& r) {
      return squared((int64_t{r.left} + r.right) / 2 - bx) + squared((int64_t{r.top} + r.bottom) / 2 - by);
    };
    std::stable_sort(candidates.begin(), candidates.end(),
                     [&](const Rect& a, const Rect& b) { return distance(a) < distance(b); });
    Rect chosen = box;
    for (const Rect& c : candidates)
      if (!taken.meets(c, l.owner)) {
        chosen = c;
        break;
      }
    taken.add(padded(chosen), l.owner);
    shifts[i] = {chosen.left - box.left, chosen.top - box.top};
  }
  return shifts;
}

}  // namespace labels
