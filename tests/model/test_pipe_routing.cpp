// Pipes routed on a plan: every head joined, round the buildings, each
// section's laterals on its own valve, the main to every valve, sized within
// the network's rules, the same each time.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>

#include "document/graphic_plane.h"
#include "document/terrain.h"
#include "hydraulics/coverage.h"
#include "hydraulics/auto_design.h"
#include "hydraulics/head_layout.h"
#include "hydraulics/network.h"
#include "hydraulics/pipe_routing.h"
#include "hydraulics/region.h"
#include "hydraulics/zoning.h"
#include "objects/polylines.h"
#include "objects/symbols.h"
#include "platform/recording_canvas.h"
#include "sections/section_list.h"
#include "partix.h"
#include "tests/support/program.h"
#include "tests/support/scene_builder.h"

namespace {

using testing_support::shippedCatalogue;

constexpr double kU = 29.0;  // plan units a metre at 1:100


class PipeRouting : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::ensureGuiApplication();
    doc.sourcePressure = 3.5f;
    doc.sourceCapacity = 3.0f;
    doc.hasWaterSource = 1;
  }
  Point at(double x, double y) const { return {static_cast<int>(std::lround(x * kU)), static_cast<int>(std::lround(y * kU))}; }
  CPrimitive* rect(int fill, double x0, double y0, double x1, double y1) {
    return testing_support::addRectangle(doc, fill, x0, y0, x1, y1);
  }

  void source(double x, double y) {
    auto v = std::make_unique<CWValve>();
    v->PlaceAt(at(x, y), 1.0);
    v->SetWaterSource(1);
    doc.addObject(kTypeValve, std::move(v));
  }
  // Heads laid out in `area` by the layout, then divided into sections.
  void heads(const CPrimitive& area, const char* body, layout::NozzleKind kind) {
    layout::Options o;
    o.body = testing_support::elementByNumber(body);
    o.catalogue = shippedCatalogue().head;
    o.nozzleKind = kind;
    const layout::Result r = layout::layOut(doc, area, o);
    ASSERT_TRUE(r.ok) << r.error;
    layout::place(doc, r, o);
  }
  void zone() {
    const zoning::Result z = zoning::divide(doc);
    ASSERT_TRUE(z.ok) << z.error;
    zoning::apply(doc, sections, z, [](CWBase&) {});
  }
  routing::Options options() const {
    routing::Options o;
    o.catalogue = shippedCatalogue().head;
    o.sectionCount = sections.count();
    return o;
  }
  // The plan's pipes, as text, to compare two routes.
  std::string pipesText() const {
    std::string s;
    for (const auto& o : doc.objects()) {
      if (o->deleted || o->GetType() != kTypePipe) continue;
      for (const PointD& v : static_cast<const CWPipe&>(*o).verticesU) s += std::to_string(v.x) + "," + std::to_string(v.y) + " ";
      s += "| ";
    }
    return s;
  }

  CGraphicPlane doc;
  CSectionList sections;
};

TEST_F(PipeRouting, EveryHeadIsJoinedRoundTheHouseOnItsOwnSectionsValveAndSizedWithinTheRules) {
  // A lawn with a house standing in it between the tap and the far side.
  const CPrimitive* lawn = rect(kFillLawn, 0, 0, 24, 16);
  const CPrimitive* house = rect(kFillBuilding, 9, 5, 15, 11);
  const CPrimitive* bed = rect(kFillLawn, 0, 19, 12, 25);
  source(-2, 8);
  heads(*lawn, "AQ1001", layout::NozzleKind::Any);
  heads(*bed, "AQ7002", layout::NozzleKind::Rotary);
  zone();
  ASSERT_GE(sections.count(), 2);

  const routing::Piped piped = routing::routeAndSize(doc, nullptr, options());
  ASSERT_TRUE(piped.ok) << piped.error;
  const network::Result net = network::analyse(doc, nullptr);
  ASSERT_TRUE(net.ok) << net.error;
  EXPECT_TRUE(net.unconnected.empty());
  // Each section solved with its own valve open holds exactly its heads:
  // the main reaches every valve, no lateral meets another's.
  std::map<int, std::set<int>> expected;
  for (size_t i = 0; i < doc.objects().size(); ++i) {
    const CWBase& o = *doc.objects()[i];
    if (!o.deleted && (o.GetType() == kTypeSprinkler || o.GetType() == kTypeStaticSprinkler))
      expected[o.GetSectionNo()].insert(static_cast<int>(i));
  }
  for (const network::SectionResult& s : net.sections) {
    if (!expected.count(s.section)) continue;
    SCOPED_TRACE(s.section);
    EXPECT_TRUE(s.solved);
    std::set<int> got;
    for (const network::HeadResult& h : s.heads) got.insert(h.object);
    EXPECT_EQ(got, expected[s.section]);
    // Sized: 1.5 m/s and heads within 20 % where the catalogue allows.
    for (const network::PipeResult& p : s.pipes) EXPECT_LE(p.velocityMS, network::kMaxVelocityMS + 1e-6);
    EXPECT_LE(s.pressureSpreadPct, network::kMaxPressureSpreadPct + 1e-6);
  }
  EXPECT_TRUE(piped.sizing.unmet.empty());
  // No pipe crosses the house.
  const std::vector<PointD> walls = terrainPolygon(*house);
  for (const auto& o : doc.objects()) {
    if (o->deleted || o->GetType() != kTypePipe) continue;
    const auto& v = static_cast<const CWPipe&>(*o).verticesU;
    for (size_t k = 1; k < v.size(); ++k)
      for (int t = 0; t <= 20; ++t) {
        const PointD p{v[k - 1].x + (v[k].x - v[k - 1].x) * t / 20, v[k - 1].y + (v[k].y - v[k - 1].y) * t / 20};
        EXPECT_FALSE(insidePolygon(walls, p) && region::distanceToOutline({walls}, p) > 0.05 * kU)
            << p.x / kU << " " << p.y / kU;
      }
  }
  // A valve a section, in a box; routed again, nothing is left to route.
  EXPECT_EQ(piped.route.valves.size(), static_cast<size_t>(sections.count()));
  EXPECT_FALSE(piped.route.boxes.empty());
  const std::string before = pipesText();
  const routing::Result again = routing::route(doc, nullptr, options());
  EXPECT_FALSE(again.ok);
  EXPECT_EQ(pipesText(), before);
}

TEST_F(PipeRouting, TheSameRouteEachTime) {
  const CPrimitive* lawn = rect(kFillLawn, 0, 0, 20, 12);
  rect(kFillPaving, 0, 12, 20, 14);
  source(10, 16);
  heads(*lawn, "AQ7002", layout::NozzleKind::Adjustable);
  zone();
  auto text = [](const routing::Result& r) {
    std::string s;
    for (const routing::NewPipe& p : r.pipes) {
      for (const PointD& v : p.vertices) s += std::to_string(v.x) + "," + std::to_string(v.y) + " ";
      s += std::to_string(p.section) + " | ";
    }
    return s;
  };
  const routing::Result first = routing::route(doc, nullptr, options());
  ASSERT_TRUE(first.ok) << first.error;
  EXPECT_EQ(text(routing::route(doc, nullptr, options())), text(first));
  // Pipes cross the paved path the shortest way: no run along it.
  int crossings = 0;
  for (const routing::NewPipe& p : first.pipes)
    for (size_t k = 1; k < p.vertices.size(); ++k) {
      const PointD a = p.vertices[k - 1], b = p.vertices[k];
      const double middle = (a.y + b.y) / 2 / kU;
      if (middle > 12.1 && middle < 13.9) {
        EXPECT_GT(std::abs(b.y - a.y), std::abs(b.x - a.x));
        ++crossings;
      }
    }
  EXPECT_GE(crossings, 1);
}

TEST_F(PipeRouting, WhatCannotBeRoutedIsSaidAndThePlanStaysAsItWas) {
  const CPrimitive* lawn = rect(kFillLawn, 0, 0, 10, 8);
  heads(*lawn, "AQ7002", layout::NozzleKind::Adjustable);
  zone();
  const size_t objects = doc.objects().size();
  // No water source.
  doc.hasWaterSource = 0;
  const routing::Result noSource = routing::route(doc, nullptr, options());
  EXPECT_FALSE(noSource.ok);
  EXPECT_NE(noSource.error.find("wody"), std::string::npos);
  doc.hasWaterSource = 1;
  // The lawn walled in by a building round it; the source outside.
  rect(kFillBuilding, -2, -2, 12, -1);
  rect(kFillBuilding, -2, 9, 12, 10);
  rect(kFillBuilding, -2, -1, -1, 9);
  rect(kFillBuilding, 11, -1, 12, 9);
  source(20, 4);
  const routing::Piped walled = routing::routeAndSize(doc, nullptr, options());
  EXPECT_FALSE(walled.ok);
  EXPECT_FALSE(walled.error.empty());
  // A valve that is not one.
  routing::Options o = options();
  o.valve = testing_support::elementByNumber("AQ1001");
  const routing::Result notValve = routing::route(doc, nullptr, o);
  EXPECT_FALSE(notValve.ok);
  EXPECT_EQ(doc.objects().size(), objects + 1);  // the source only
}

TEST_F(PipeRouting, AGardenDesignedFromItsAreasInOneStep) {
  const CPrimitive* lawn = rect(kFillLawn, 0, 0, 24, 16);
  rect(kFillBuilding, 9, 5, 15, 11);
  const CPrimitive* front = rect(kFillLawn, 0, 19, 12, 25);
  const CPrimitive* tiny = rect(kFillLawn, 30, 0, 30.5, 0.5);
  source(-2, 8);
  design::Options o;
  o.layout.body = testing_support::elementByNumber("AQ7002");
  o.layout.catalogue = shippedCatalogue().head;
  o.layout.nozzleKind = layout::NozzleKind::Rotary;
  o.routing.catalogue = shippedCatalogue().head;
  // An area no head fits: said, with the area, and the plan as it was.
  o.areas = {lawn, tiny};
  const size_t objects = doc.objects().size();
  const design::Result refused = design::plan(doc, sections, nullptr, o);
  EXPECT_FALSE(refused.ok);
  EXPECT_EQ(refused.errorArea, 1);
  EXPECT_EQ(doc.objects().size(), objects);

  o.areas = {lawn, front};
  const design::Result r = design::plan(doc, sections, nullptr, o);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(doc.objects().size(), objects);  // worked out on a copy
  EXPECT_EQ(r.headOutlines.size(), static_cast<size_t>(r.heads));
  EXPECT_FALSE(r.pipeRuns.empty());
  for (const layout::Result& l : r.layouts) EXPECT_TRUE(layout::reachesTarget(l)) << l.figures.cu;
  design::apply(doc, sections, r, o);
  const network::Result net = network::analyse(doc, nullptr);
  ASSERT_TRUE(net.ok) << net.error;
  EXPECT_TRUE(net.unconnected.empty());
  int heads = 0, solved = 0;
  for (const network::SectionResult& s : net.sections) {
    heads += static_cast<int>(s.heads.size());
    solved += s.solved && !s.heads.empty();
  }
  EXPECT_EQ(heads, r.heads);
  EXPECT_EQ(solved, sections.count());
}

}  // namespace
