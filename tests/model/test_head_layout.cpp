// Rotary sprinklers laid out in an area: uniform enough, little thrown
// outside, corners and edges with their arcs, precipitation matched.

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "document/graphic_plane.h"
#include "document/terrain.h"
#include "hydraulics/head_layout.h"
#include "objects/sprinkler.h"
#include "platform/recording_canvas.h"
#include "tests/support/program.h"
#include "tests/support/scene_builder.h"

namespace {

using testing_support::shippedCatalogue;

constexpr double kU = 29.0;  // plan units a metre at 1:100

// The rotary body with the most nozzle rows that water.
CElem* rotorBody() {
  CElem* best = nullptr;
  int most = 0;
  for (CElem* e = shippedCatalogue().head; e; e = e->next) {
    if (e->kind != kKindSprinkler || !e->data || e->archived) continue;
    const auto* b = static_cast<const CDBSprinkler*>(e->data);
    if (b->fullCircle) continue;
    int rows = 0;
    for (const auto& n : b->nozzles) rows += n.work[0].Q > 0;
    if (rows > most) most = rows, best = e;
  }
  return best;
}

class HeadLayout : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::ensureGuiApplication();
    doc.sourcePressure = 3.5f;
    body = rotorBody();
    ASSERT_NE(body, nullptr);
  }
  Point at(double x, double y) const { return {static_cast<int>(std::lround(x * kU)), static_cast<int>(std::lround(y * kU))}; }
  CPrimitive* lawnArea(std::initializer_list<PointD> metres) {
    auto a = std::make_unique<CPoly>();
    a->dc = &scratch;
    a->SetFillKind(kFillLawn);
    auto it = metres.begin();
    a->BeginCreate(at(it->x, it->y));
    for (++it; it != metres.end(); ++it) a->ClickVertex(at(it->x, it->y));
    a->ClickVertex(at(metres.begin()->x, metres.begin()->y));
    return doc.addPrimitive(kTerrainArea, std::move(a));
  }
  CPrimitive* lawnCircle(double x, double y, double r) {
    auto c = std::make_unique<CCircle>();
    c->dc = &scratch;
    c->SetFillKind(kFillLawn);
    c->BeginCreate(at(x, y));
    c->EndCreate(at(x + r, y));
    return doc.addPrimitive(kTerrainCircle, std::move(c));
  }

  platform::RecordingCanvas scratch;
  CGraphicPlane doc;
  CElem* body = nullptr;
};

TEST_F(HeadLayout, RotorsReachTheUniformityTargetOnRectanglesLShapesAndCircles) {
  struct Case {
    const char* what;
    std::function<CPrimitive*()> make;
  };
  // Shapes wider than the body's throws (10 to 14 m): narrower ones are for sprays.
  const std::vector<Case> cases = {
      {"rectangle 24 x 16 m", [&] { return lawnArea({{0, 0}, {24, 0}, {24, 16}, {0, 16}}); }},
      {"L-shape of 864 m2", [&] { return lawnArea({{0, 60}, {40, 60}, {40, 72}, {16, 72}, {16, 96}, {0, 96}}); }},
      {"circle of 15 m", [&] { return lawnCircle(100, 50, 15); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const CPrimitive* area = c.make();
    layout::Options o;
    o.body = body;
    const layout::Result r = layout::layOut(doc, *area, o);
    ASSERT_TRUE(r.ok) << r.error;
    std::printf("%-20s %5.0f m2: %3zu heads, %.2f m3/h, CU %.1f %%, DU lq %.1f %%, outside %.1f %%, dry %.1f %%\n",
                c.what, r.areaM2, r.heads.size(), r.flowM3H, r.figures.cu, r.figures.duLq, r.thrownOutsidePct, r.dryPct);
    EXPECT_GE(r.figures.cu, 85.0);
    EXPECT_GE(r.figures.duLq, 75.0);
    EXPECT_LT(r.thrownOutsidePct, 5.0);
  }
}

TEST_F(HeadLayout, CornersTakeTheirArcAndPartCirclesMatchThePrecipitation) {
  const CPrimitive* area = lawnArea({{0, 0}, {24, 0}, {24, 16}, {0, 16}});
  layout::Options o;
  o.body = body;
  o.pattern = layout::Pattern::Square;
  const layout::Result r = layout::layOut(doc, *area, o);
  ASSERT_TRUE(r.ok) << r.error;
  // The four corners, each a quarter circle into the rectangle.
  int corners = 0;
  for (const layout::Head& h : r.heads) {
    const double x = h.at.x / kU, y = h.at.y / kU;
    const bool corner = (std::abs(x) < 0.01 || std::abs(x - 24) < 0.01) && (std::abs(y) < 0.01 || std::abs(y - 16) < 0.01);
    if (!corner) continue;
    ++corners;
    EXPECT_NEAR(h.arcDeg, 90, 0.5);
    const PointD middle{(h.from.x + h.to.x) / 2, (h.from.y + h.to.y) / 2};
    EXPECT_GT(middle.x * (12 - x), 0);  // toward the middle of the rectangle
    EXPECT_GT(middle.y * (8 - y), 0);
  }
  EXPECT_EQ(corners, 4);
  // Precipitation matched between full, half and quarter circles: at one
  // spacing a head's rate goes with its flow over its share of a circle.
  CGraphicPlane placed;
  placed.sourcePressure = doc.sourcePressure;
  const std::vector<CWBase*> heads = layout::place(placed, r, o);
  ASSERT_EQ(heads.size(), r.heads.size());
  double low = 1e9, high = 0;
  std::set<int> arcs;
  for (size_t i = 0; i < heads.size(); ++i) {
    const double rate = heads[i]->GetFlow() * 360.0 / r.heads[i].arcDeg;
    arcs.insert(static_cast<int>(std::lround(r.heads[i].arcDeg)));
    low = std::min(low, rate);
    high = std::max(high, rate);
  }
  EXPECT_EQ(arcs, (std::set<int>{90, 180, 360}));
  EXPECT_LE(high / low, 1.15 * 1.15);  // within 15 % either way of the middle
}

TEST_F(HeadLayout, WhatCannotBeLaidOutIsSaidPlainly) {
  layout::Options o;
  o.body = body;
  const CPrimitive* tiny = lawnArea({{0, 0}, {0.5, 0}, {0.5, 0.5}, {0, 0.5}});
  EXPECT_FALSE(layout::layOut(doc, *tiny, o).ok);
  const CPrimitive* crossed = lawnArea({{0, 0}, {20, 20}, {20, 0}, {0, 20}});
  const layout::Result c = layout::layOut(doc, *crossed, o);
  EXPECT_FALSE(c.ok);
  EXPECT_FALSE(c.error.empty());
  o.body = nullptr;
  EXPECT_FALSE(layout::layOut(doc, *lawnArea({{0, 0}, {20, 0}, {20, 20}, {0, 20}}), o).ok);
}

}  // namespace
