#pragma once
// Plans for tests and benchmarks: one object of every class and every
// terrain fill, placed from the shipped catalogue.

#include <memory>
#include <string>

#include "document/graphic_plane.h"
#include "partix.h"

namespace testing_support {

// The shipped catalogue of the build's program folder, loaded once.
CPartix& shippedCatalogue();

// The first element of `kind` that is not archived (and, for valve boxes,
// round or not as asked); null when the catalogue has none.
CElem* firstOfKind(CPartix& catalogue, uint32_t kind, int round = -1);

// The element of catalogue number `number` (of `catalogue`, else the shipped
// one); null when there is none.
CElem* elementByNumber(const std::string& number, CElem* catalogue = nullptr);

// A rectangle of `fill` from (x0, y0) to (x1, y1) metres on the plan, at the
// document's drawing scale.
CPrimitive* addRectangle(CGraphicPlane& doc, int fill, double x0, double y0, double x1, double y1);

// Every terrain fill, laid out in a 1200 x 900 plan whose top-left is `origin`.
void addEveryTerrain(CGraphicPlane& doc, Point origin);

// One object of every class, laid out in a 1200 x 900 plan from `origin`,
// placed at the document's scale, zoom and source pressure. `variant` turns
// and sizes things a little differently so that repeated groups differ.
void addEveryObject(CGraphicPlane& doc, CPartix& catalogue, Point origin, int variant = 0);

}  // namespace testing_support
