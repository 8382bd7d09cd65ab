#pragma once
// Giving a plan its drawing scale from its background image: the length of
// a segment measured on the image and the real length the user types.

#include <optional>
#include <string>

#include "platform/canvas.h"

// The distance from `a` to `b` (view pixels) at zoom 1, `scale` being
// 1 / zoom, truncated toward zero.
int measuredDistance(platform::Point a, platform::Point b, double scale);

// The length of a dark scale bar framed by `frame` (image pixels, any corner
// order): the columns of the frame holding at least one pixel darker than
// 0xA0A0A0 (the colour read as 0x00BBGGRR), less 2 for the frame's edges
// when there are more than 2. Pixels outside the image count as light.
// Nothing (the field keeps its value) when the frame has no width or height.
std::optional<int> darkColumns(const platform::Image& image, platform::Rect frame);

// The metres the user typed: at most 9 characters, a decimal comma read as
// the point; 0 when it is not a number.
double metresText(const std::string& text);

// The drawing scale's denominator for a segment of `pixels` plan units at
// `pixelsPerCm` that is `metres` long on the ground; nothing when the
// result would not be a positive number (no segment, no length).
std::optional<double> scaleFromSegment(int pixels, double pixelsPerCm, double metres);
