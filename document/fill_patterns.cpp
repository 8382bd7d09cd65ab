#include "document/fill_patterns.h"

#include <cstdint>
#include <cstdlib>

namespace {

using platform::Image;

// Pixels are 0xFFRRGGBB.
constexpr uint32_t argb(int r, int g, int b) {
  return 0xFF000000u | (static_cast<uint32_t>(r & 0xFF) << 16) | (static_cast<uint32_t>(g & 0xFF) << 8) |
         static_cast<uint32_t>(b & 0xFF);
}

// A fixed sequence, so that every run paints the same tiles.
class Dice {
 public:
  explicit Dice(uint32_t seed) : state_(seed) {}
  uint32_t next() {
    state_ = state_ * 1664525u + 1013904223u;
    return state_ >> 8;
  }
  int below(int n) { return static_cast<int>(next() % static_cast<uint32_t>(n)); }

 private:
  uint32_t state_;
};

Image blank(int w, int h, uint32_t colour) {
  Image img;
  img.width = w;
  img.height = h;
  img.pixels.assign(static_cast<size_t>(w) * h, colour);
  return img;
}

// Wraps at the tile's edges so that the tiled picture shows no seams.
void put(Image& img, int x, int y, uint32_t colour) {
  x = ((x % img.width) + img.width) % img.width;
  y = ((y % img.height) + img.height) % img.height;
  img.pixels[static_cast<size_t>(y) * img.width + x] = colour;
}

uint32_t shade(int r, int g, int b, int delta) {
  auto clamp = [](int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); };
  return argb(clamp(r + delta), clamp(g + delta), clamp(b + delta));
}

Image lawn() {
  // Two stripes per tile along the tile's own diagonal, so they run on
  // across tile borders.
  Image img = blank(26, 24, argb(214, 240, 200));
  const int period = 26 * 24;
  for (int y = 0; y < img.height; ++y)
    for (int x = 0; x < img.width; ++x) {
      const int phase = (x * 24 * 2 + y * 26 * 2) % period;
      if (phase < period / 5) put(img, x, y, argb(170, 220, 150));
    }
  return img;
}

Image hedge() {
  Image img = blank(29, 28, argb(60, 130, 55));
  Dice dice(3000);
  const uint32_t branch[] = {argb(30, 85, 30), argb(95, 170, 75), argb(45, 105, 40)};
  for (int i = 0; i < 26; ++i) {
    int x = dice.below(img.width), y = dice.below(img.height);
    const int dx = dice.below(3) - 1, dy = dice.below(3) - 1;
    const int length = 4 + dice.below(7);
    const uint32_t colour = branch[i % 3];
    for (int k = 0; k < length; ++k) {
      put(img, x, y, colour);
      // Branches bend now and then, which makes the tangle.
      x += (dx == 0 && dy == 0) ? 1 : dx;
      y += dy;
      if (dice.below(4) == 0) y += dice.below(3) - 1;
    }
  }
  return img;
}

Image paving() {
  Image img = blank(32, 32, 0);
  Dice dice(5000);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      // Slabs 16 x 16, every other row laid half a slab further.
      const int shifted = (y / 16) % 2 ? (x + 8) % 32 : x;
      const bool joint = y % 16 == 0 || shifted % 16 == 0;
      const int grain = dice.below(13) - 6;
      put(img, x, y, joint ? shade(130, 130, 130, grain / 2) : shade(200, 200, 200, grain));
    }
  return img;
}

Image water() {
  Image img = blank(32, 31, argb(170, 215, 245));
  for (int x = 0; x < 32; ++x) {
    const int wave = std::abs((x % 16) - 8) / 3;
    for (int row = 3; row < 31; row += 8) {
      put(img, x, row + wave, argb(215, 238, 255));
      put(img, x, row + wave + 1, argb(150, 200, 238));
    }
  }
  return img;
}

Image mint() {
  Image img = blank(32, 32, 0);
  Dice dice(7000);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) put(img, x, y, shade(165, 230, 190, dice.below(17) - 8));
  for (int blob = 0; blob < 14; ++blob) {
    const int cx = dice.below(32), cy = dice.below(32);
    const int delta = dice.below(2) ? -22 : 12;
    for (int dy = -2; dy <= 2; ++dy)
      for (int dx = -2; dx <= 2; ++dx)
        if (dx * dx + dy * dy <= 4 + dice.below(2)) put(img, cx + dx, cy + dy, shade(165, 230, 190, delta + dice.below(9) - 4));
  }
  return img;
}

Image flowers() {
  Image img = blank(32, 32, argb(255, 255, 255));
  Dice dice(7100);
  const uint32_t petals[] = {argb(255, 150, 30), argb(240, 120, 20), argb(255, 185, 80)};
  for (int i = 0; i < 40; ++i) {
    const int x = dice.below(32), y = dice.below(32);
    const uint32_t colour = petals[dice.below(3)];
    put(img, x, y, colour);
    if (dice.below(2)) {
      put(img, x + 1, y, colour);
      put(img, x, y + 1, colour);
      put(img, x + 1, y + 1, colour);
    }
  }
  return img;
}

std::shared_ptr<const Image> shared(Image img) { return std::make_shared<const Image>(std::move(img)); }

}  // namespace

std::shared_ptr<const platform::Image> fillPatternTile(int fillKind) {
  switch (fillKind) {
    case 2000: {
      static const auto tile = shared(lawn());
      return tile;
    }
    case 3000: {
      static const auto tile = shared(hedge());
      return tile;
    }
    case 5000: {
      static const auto tile = shared(paving());
      return tile;
    }
    case 6000: {
      static const auto tile = shared(water());
      return tile;
    }
    case 7000: {
      static const auto tile = shared(mint());
      return tile;
    }
    case 7100: {
      static const auto tile = shared(flowers());
      return tile;
    }
    case 1000: {
      static const auto tile = shared(blank(32, 32, argb(128, 0, 128)));
      return tile;
    }
    default:
      return nullptr;
  }
}
