#include "editing/background_scale.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

int measuredDistance(platform::Point a, platform::Point b, double scale) {
  const double dx = static_cast<double>(b.x) - a.x, dy = static_cast<double>(b.y) - a.y;
  return static_cast<int>(static_cast<float>(std::sqrt(dx * dx + dy * dy)) * scale);
}

std::optional<int> darkColumns(const platform::Image& image, platform::Rect frame) {
  const int left = std::min(frame.left, frame.right), right = std::max(frame.left, frame.right);
  const int top = std::min(frame.top, frame.bottom), bottom = std::max(frame.top, frame.bottom);
  if (right - left <= 0 || bottom - top <= 0) return std::nullopt;
  // Only the part of the frame over the image can hold dark pixels.
  const int x0 = std::max(left, 0), x1 = std::min(right, image.width);
  const int y0 = std::max(top, 0), y1 = std::min(bottom, image.height);
  int count = 0;
  for (int x = x0; x < x1; ++x) {
    for (int y = y0; y < y1; ++y) {
      const uint32_t argb = image.at(x, y);
      // The image holds 0xAARRGGBB; the measure reads 0x00BBGGRR.
      const uint32_t value = ((argb & 0xFF) << 16) | (argb & 0xFF00) | ((argb >> 16) & 0xFF);
      if (value < 0xA0A0A0) {
        ++count;
        break;
      }
    }
  }
  return count > 2 ? count - 2 : count;
}

double metresText(const std::string& text) {
  std::string t = text.substr(0, 9);
  std::replace(t.begin(), t.end(), ',', '.');
  const size_t start = t.find_first_not_of(" \t");
  if (start == std::string::npos) return 0;
  const char* begin = t.c_str() + start;
  char* end = nullptr;
  const double v = std::strtod(begin, &end);
  if (end == begin || !std::isfinite(v)) return 0;
  return v;
}

std::optional<double> scaleFromSegment(int pixels, double pixelsPerCm, double metres) {
  if (pixels <= 0 || !(pixelsPerCm > 0) || !(metres > 0)) return std::nullopt;
  const double centimetres = pixels / pixelsPerCm;
  const double n = metres * 100.0 / centimetres;
  if (!std::isfinite(n) || !(n > 0)) return std::nullopt;
  return n;
}
