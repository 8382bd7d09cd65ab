// Rotary sprinklers laid out in an area: uniform enough, little thrown
// outside, corners and edges with their arcs, precipitation matched.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>

#include "document/graphic_plane.h"
#include "document/terrain.h"
#include "hydraulics/head_layout.h"
#include "objects/sprinkler.h"
#include "objects/static_sprinkler.h"
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
    EXPECT_FALSE(r.strips);
  }
}

TEST_F(HeadLayout, SpraysReachTheUniformityTargetFromFiftyToAThousandSquareMetres) {
  struct Case {
    const char* what;
    layout::NozzleKind kind;
    std::function<CPrimitive*()> make;
  };
  const std::vector<Case> cases = {
      {"fixed, rect 10 x 5", layout::NozzleKind::Fixed, [&] { return lawnArea({{0, 0}, {10, 0}, {10, 5}, {0, 5}}); }},
      {"rotary, rect 20 x 12", layout::NozzleKind::Rotary, [&] { return lawnArea({{0, 0}, {20, 0}, {20, 12}, {0, 12}}); }},
      {"adjustable, L 160 m2", layout::NozzleKind::Adjustable,
       [&] { return lawnArea({{0, 20}, {16, 20}, {16, 26}, {8, 26}, {8, 34}, {0, 34}}); }},
      {"fixed, L 160 m2", layout::NozzleKind::Fixed,
       [&] { return lawnArea({{0, 20}, {16, 20}, {16, 26}, {8, 26}, {8, 34}, {0, 34}}); }},
      {"adjustable, circle r 6", layout::NozzleKind::Adjustable, [&] { return lawnCircle(60, 60, 6); }},
      {"rotary, circle r 12", layout::NozzleKind::Rotary, [&] { return lawnCircle(60, 60, 12); }},
      {"adjustable, rect 40 x 25", layout::NozzleKind::Adjustable, [&] { return lawnArea({{0, 40}, {40, 40}, {40, 65}, {0, 65}}); }},
  };
  CElem* body = testing_support::elementByNumber("AQ7002");
  ASSERT_NE(body, nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const CPrimitive* area = c.make();
    layout::Options o;
    o.body = body;
    o.catalogue = shippedCatalogue().head;
    o.nozzleKind = c.kind;
    const layout::Result r = layout::layOut(doc, *area, o);
    ASSERT_TRUE(r.ok) << r.error;
    std::printf("%-26s %5.0f m2: %3zu heads, %.2f m3/h, CU %.1f %%, DU lq %.1f %%, outside %.1f %%, dry %.1f %%%s\n",
                c.what, r.areaM2, r.heads.size(), r.flowM3H, r.figures.cu, r.figures.duLq, r.thrownOutsidePct, r.dryPct,
                r.strips ? " (strips)" : "");

    EXPECT_GE(r.figures.cu, 85.0);
    EXPECT_GE(r.figures.duLq, 75.0);
    EXPECT_LT(r.thrownOutsidePct, 5.0);
    EXPECT_FALSE(r.strips);
  }
}

TEST_F(HeadLayout, AStripNarrowerThanTheThrowsTakesStripNozzles) {
  CElem* body = testing_support::elementByNumber("AQ7002");
  const CPrimitive* strip = lawnArea({{0, 80}, {14, 80}, {14, 81.2}, {0, 81.2}});
  for (layout::NozzleKind kind : {layout::NozzleKind::Fixed, layout::NozzleKind::Strip}) {
    layout::Options o;
    o.body = body;
    o.catalogue = shippedCatalogue().head;
    o.nozzleKind = kind;
    const layout::Result r = layout::layOut(doc, *strip, o);
    ASSERT_TRUE(r.ok) << r.error;
    std::printf("strip 1.2 x 14 m: %zu heads, CU %.1f %%, DU lq %.1f %%, outside %.1f %%, dry %.1f %%\n", r.heads.size(),
                r.figures.cu, r.figures.duLq, r.thrownOutsidePct, r.dryPct);
    EXPECT_TRUE(r.strips);
    for (const layout::Head& h : r.heads) {
      ASSERT_NE(h.staticNozzle, nullptr);
      EXPECT_TRUE(h.staticNozzle->kind == kKindStripNozzle || h.staticNozzle->kind == kKindRectRotaryNozzle);
    }
    // The strips keep to the lawn and cover it; strips water their edges
    // less than their middle, so the target is out of reach, and said so.
    EXPECT_LT(r.thrownOutsidePct, 5.0);
    EXPECT_LT(r.dryPct, 1.0);
    EXPECT_GT(r.figures.cu, 60.0);
    EXPECT_FALSE(layout::reachesTarget(r));
  }
  // Rotors cannot water it: a layout comes back, far off the target.
  layout::Options rotors;
  rotors.body = this->body;
  const layout::Result r = layout::layOut(doc, *strip, rotors);
  EXPECT_FALSE(r.ok && layout::reachesTarget(r));
}

TEST_F(HeadLayout, CornersTakeTheirArcAndPartCirclesMatchThePrecipitation) {
  struct Family {
    const char* what;
    CElem* body;
    layout::NozzleKind kind;
    double side;  // of the square laid out, m
  };
  const Family families[] = {
      {"rotors", body, layout::NozzleKind::Any, 24},
      {"adjustable sprays", testing_support::elementByNumber("AQ7002"), layout::NozzleKind::Adjustable, 9},
      {"fixed sprays", testing_support::elementByNumber("AQ7002"), layout::NozzleKind::Fixed, 9},
  };
  for (const Family& f : families) {
    SCOPED_TRACE(f.what);
    ASSERT_NE(f.body, nullptr);
    const double w = f.side, h = f.side * 2 / 3;
    const CPrimitive* area = lawnArea({{0, 0}, {w, 0}, {w, h}, {0, h}});
    layout::Options o;
    o.body = f.body;
    o.catalogue = shippedCatalogue().head;
    o.nozzleKind = f.kind;
    o.pattern = layout::Pattern::Square;
    const layout::Result r = layout::layOut(doc, *area, o);
    ASSERT_TRUE(r.ok) << r.error;
    CGraphicPlane placed;
    placed.sourcePressure = doc.sourcePressure;
    const std::vector<CWBase*> heads = layout::place(placed, r, o);
    ASSERT_EQ(heads.size(), r.heads.size());
    // The four corners, each a quarter circle into the rectangle, as laid
    // out and as the placed head waters it.
    int corners = 0;
    for (size_t i = 0; i < r.heads.size(); ++i) {
      const layout::Head& head = r.heads[i];
      const double x = head.at.x / kU, y = head.at.y / kU;
      const bool corner = (std::abs(x) < 0.01 || std::abs(x - w) < 0.01) && (std::abs(y) < 0.01 || std::abs(y - h) < 0.01);
      if (!corner) continue;
      ++corners;
      EXPECT_NEAR(head.arcDeg, 90, 0.5);
      PointD start, end, at;
      if (heads[i]->GetType() == kTypeSprinkler) {
        const auto& s = static_cast<const CWSprinkler&>(*heads[i]);
        start = s.arcStartU, end = s.arcEndU, at = s.posU;
      } else {
        const auto& s = static_cast<const CWStaticSprinkler&>(*heads[i]);
        start = s.arcStartU, end = s.arcEndU, at = s.posU;
      }
      const PointD middle{(start.x + end.x) / 2 - at.x, (start.y + end.y) / 2 - at.y};
      EXPECT_GT(middle.x * (w / 2 - x), 0);  // toward the middle of the rectangle
      EXPECT_GT(middle.y * (h / 2 - y), 0);
      const double a0 = std::atan2(-(start.y - at.y), start.x - at.x), a1 = std::atan2(-(end.y - at.y), end.x - at.x);
      double span = (a1 - a0) * 180 / 3.14159265358979;
      while (span <= 0) span += 360;
      EXPECT_NEAR(span, 90, 3);
    }
    EXPECT_EQ(corners, 4);
    // Precipitation matched between full, half and quarter circles: at one
    // spacing a head's rate goes with its flow over its share of a circle.
    double low = 1e9, high = 0;
    std::set<int> arcs;
    for (size_t i = 0; i < heads.size(); ++i) {
      const double rate = heads[i]->GetFlow() * 360.0 / r.heads[i].arcDeg;
      arcs.insert(static_cast<int>(std::lround(r.heads[i].arcDeg)));
      low = std::min(low, rate);
      high = std::max(high, rate);
    }
    EXPECT_TRUE(arcs.count(90) && arcs.count(180));
    EXPECT_LE(high / low, 1.15 * 1.15);  // within 15 % either way of the middle
  }
}

TEST_F(HeadLayout, HeadsLineHardSurfacesAndThrowOverThemOnlyWhereAllowed) {
  const CPrimitive* lawn = lawnArea({{0, 0}, {12, 0}, {12, 8}, {0, 8}});
  // A paved path across the lawn, drawn over it.
  auto path = std::make_unique<CPoly>();
  path->dc = &scratch;
  path->SetFillKind(kFillPaving);
  path->BeginCreate(at(5.5, -1));
  for (PointD p : std::initializer_list<PointD>{{6.5, -1}, {6.5, 9}, {5.5, 9}, {5.5, -1}}) path->ClickVertex(at(p.x, p.y));
  doc.addPrimitive(kTerrainArea, std::move(path));
  // A drive along its south edge: heads on the shared edge stand on the lawn.
  auto drive = std::make_unique<CRectn>();
  drive->dc = &scratch;
  drive->SetFillKind(kFillPaving);
  drive->BeginCreate(at(0, 8));
  drive->EndCreate(at(12, 11));
  doc.addPrimitive(kTerrainRectangle, std::move(drive));
  layout::Options o;
  o.body = testing_support::elementByNumber("AQ7002");
  o.catalogue = shippedCatalogue().head;
  o.nozzleKind = layout::NozzleKind::Adjustable;
  const layout::Result kept = layout::layOut(doc, *lawn, o);
  ASSERT_TRUE(kept.ok) << kept.error;
  int onSouthEdge = 0;
  for (const layout::Head& h : kept.heads) onSouthEdge += std::abs(h.at.y / kU - 8) < 0.05;
  EXPECT_GE(onSouthEdge, 3);
  // None on the path; heads line both its edges, throwing away from it.
  int west = 0, east = 0;
  for (const layout::Head& h : kept.heads) {
    const double x = h.at.x / kU;
    EXPECT_FALSE(x > 5.6 && x < 6.4) << x;
    // East or west, the middle of the arc (counter-clockwise from `from`).
    const double middle = std::cos(std::atan2(-h.from.y, h.from.x) + h.arcDeg * 3.14159265358979 / 360);
    if (std::abs(x - 5.5) < 0.1 && !h.full) {
      EXPECT_LT(middle, 0) << h.at.y / kU;
      ++west;
    }
    if (std::abs(x - 6.5) < 0.1 && !h.full) {
      EXPECT_GT(middle, 0) << h.at.y / kU;
      ++east;
    }
  }
  EXPECT_GE(west, 2);
  EXPECT_GE(east, 2);
  // Where water may fall on the path, the heads ignore it but for standing on it.
  o.throwOverHardSurfaces = true;
  const layout::Result over = layout::layOut(doc, *lawn, o);
  ASSERT_TRUE(over.ok) << over.error;
  for (const layout::Head& h : over.heads) EXPECT_FALSE(h.at.x / kU > 5.6 && h.at.x / kU < 6.4);
  EXPECT_LT(kept.thrownOutsidePct, 5.0);
  EXPECT_LT(over.thrownOutsidePct, 5.0);
  EXPECT_NE(over.heads.size(), kept.heads.size());
}

TEST_F(HeadLayout, AHouseInTheLawnIsLinedWithHeadsAndTheLawnStaysEven) {
  const CPrimitive* lawn = lawnArea({{0, 0}, {14, 0}, {14, 10}, {0, 10}});
  auto house = std::make_unique<CRectn>();
  house->dc = &scratch;
  house->SetFillKind(kFillBuilding);
  house->BeginCreate(at(5, 3.5));
  house->EndCreate(at(9, 6.5));
  doc.addPrimitive(kTerrainRectangle, std::move(house));
  layout::Options o;
  o.body = testing_support::elementByNumber("AQ7002");
  o.catalogue = shippedCatalogue().head;
  o.nozzleKind = layout::NozzleKind::Adjustable;
  const layout::Result r = layout::layOut(doc, *lawn, o);
  ASSERT_TRUE(r.ok) << r.error;
  std::printf("lawn 14 x 10 m round a house: %zu heads, CU %.1f %%, DU lq %.1f %%, outside %.1f %%\n", r.heads.size(),
              r.figures.cu, r.figures.duLq, r.thrownOutsidePct);
  // The house's four corners carry heads of three quarters, throwing away from it.
  int walls = 0;
  for (const layout::Head& h : r.heads) {
    const double x = h.at.x / kU, y = h.at.y / kU;
    const bool cornerX = std::abs(x - 5) < 0.05 || std::abs(x - 9) < 0.05;
    const bool cornerY = std::abs(y - 3.5) < 0.05 || std::abs(y - 6.5) < 0.05;
    if (cornerX && cornerY) {
      EXPECT_NEAR(h.arcDeg, 270, 1);
      ++walls;
    }
  }
  EXPECT_EQ(walls, 4);
  EXPECT_TRUE(layout::reachesTarget(r));
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
  // A lawn a building covers whole.
  const CPrimitive* covered = lawnArea({{100, 0}, {105, 0}, {105, 5}, {100, 5}});
  auto roof = std::make_unique<CRectn>();
  roof->dc = &scratch;
  roof->SetFillKind(kFillBuilding);
  roof->BeginCreate(at(99, -1));
  roof->EndCreate(at(106, 6));
  doc.addPrimitive(kTerrainRectangle, std::move(roof));
  const layout::Result under = layout::layOut(doc, *covered, o);
  EXPECT_FALSE(under.ok);
  EXPECT_NE(under.error.find("zakrywaj"), std::string::npos) << under.error;
  // A static body with a nozzle kind the catalogue lacks at this pressure, and no body.
  o.body = testing_support::elementByNumber("AQ7002");
  o.catalogue = nullptr;
  o.nozzleKind = layout::NozzleKind::Fixed;
  const layout::Result none = layout::layOut(doc, *lawnArea({{0, 30}, {20, 30}, {20, 50}, {0, 50}}), o);
  EXPECT_FALSE(none.ok);
  EXPECT_FALSE(none.error.empty());
  o.body = nullptr;
  EXPECT_FALSE(layout::layOut(doc, *lawnArea({{0, 0}, {20, 0}, {20, 20}, {0, 20}}), o).ok);
}

}  // namespace
