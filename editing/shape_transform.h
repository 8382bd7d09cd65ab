#pragma once
// Turning and stretching an area or a polyline about its centre.

#include <vector>

#include "platform/canvas.h"

// The turn slider's range: position p turns the shape by p - 90 degrees
// (counter-clockwise on the screen), so both ends are no turn at all.
constexpr int kTurnMin = 90;
constexpr int kTurnMax = 450;
// The scale sliders' range; a position over kScaleUnit is the factor.
constexpr int kScaleMax = 2000;
constexpr int kScaleUnit = 500;

// `vertices` (pixels) turned by slider position `turn` and scaled by `fx`
// and `fy` (before the turn) about `centre`, truncated to whole pixels.
std::vector<platform::Point> transformedVertices(const std::vector<platform::Point>& vertices,
                                                 platform::Point centre, int turn, double fx, double fy);
