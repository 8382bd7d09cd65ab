#pragma once
// The sample project: a small garden with a house, lawn, hedge, terrace and
// pond, watered in three sections.

#include "document/graphic_plane.h"
#include "partix.h"

// Fills `doc` (empty, at zoom 1) with the garden and describes the sections
// of the application's section table.
void buildSampleGarden(CGraphicPlane& doc, CPartix& catalogue);
