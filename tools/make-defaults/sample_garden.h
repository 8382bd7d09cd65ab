#pragma once
// The sample project: a small garden with a house, lawn, hedge, terrace and
// pond, watered in three sections.

#include <string>

#include "document/graphic_plane.h"
#include "partix.h"

// Fills `doc` (empty, at zoom 1) with the garden and describes the sections
// of the application's section table.
void buildSampleGarden(CGraphicPlane& doc, CPartix& catalogue);

// The well-designed garden beside it: a house with a terrace, a lawn
// round them, a front lawn, a flower strip, laid out by the automatic head
// layout (rotors on the lawn, sprays on the front lawn, strips in the
// flower bed) and divided into sections by the automatic division, so that
// it shows what even watering looks like. False, with `error`, when a step
// refuses.
bool buildModelGarden(CGraphicPlane& doc, CPartix& catalogue, std::string& error);
