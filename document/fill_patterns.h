#pragma once
// The pictures that terrain fills are tiled with.
//
// Each tile is drawn here, in code, so that the look of a surface does not
// depend on files that may be missing: the same tile every run, made once
// and shared by every primitive that shows it.

#include <memory>

#include "platform/canvas.h"

// The tile of a patterned fill kind (lawn, hedge, hard surface, water, trees
// and shrubs, flowers and 1000), or null for the kinds drawn otherwise
// (buildings, "Inne" and the kind without a fill).
std::shared_ptr<const platform::Image> fillPatternTile(int fillKind);
