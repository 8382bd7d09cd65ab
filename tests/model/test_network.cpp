// The pipe network: recognised from the plan, solved for pressure and flow,
// checked against the Hazen-Williams formula and the outlet factor.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "document/graphic_plane.h"
#include "hydraulics/network.h"
#include "hydraulics/pipe_calculator.h"
#include "objects/micro_sprinklers.h"
#include "objects/polylines.h"
#include "objects/sprinkler.h"
#include "objects/symbols.h"
#include "partix.h"
#include "platform/recording_canvas.h"
#include "platform/textcodec.h"
#include "tests/support/program.h"
#include "tests/support/scene_builder.h"

namespace {

using testing_support::shippedCatalogue;

// At 1:100 and 29 plan units a centimetre, a metre is 29 plan units.
constexpr double kU = 29.0;

class Network : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::ensureGuiApplication();
    doc.sourcePressure = 3.0f;
    doc.sourceCapacity = 0;
    pipeType = nullptr;
    // A catalogue pipe of about 20 mm inside.
    for (CElem* e = shippedCatalogue().head; e; e = e->next)
      if (e->kind == kKindPipe && e->data && !e->archived) {
        const double d = static_cast<const CRura*>(e->data)->innerDiameter;
        if (!pipeType || std::abs(d - 20) < std::abs(diameter - 20)) pipeType = e, diameter = d;
      }
    ASSERT_NE(pipeType, nullptr);
  }

  CWPipe* pipe(std::initializer_list<PointD> metres, CElem* type = nullptr) {
    auto p = std::make_unique<CWPipe>();
    for (PointD m : metres) p->AddVertexU({m.x * kU, m.y * kU});
    p->Rescale(1.0f);
    p->AssignType(type ? type : pipeType);
    return static_cast<CWPipe*>(doc.addObject(kTypePipe, std::move(p)));
  }
  Point at(PointD metres) const {
    return {static_cast<int>(std::lround(metres.x * kU)), static_cast<int>(std::lround(metres.y * kU))};
  }
  CWValve* source(PointD metres) {
    auto v = std::make_unique<CWValve>();
    v->dc = &scratch;
    v->PlaceAt(at(metres), 1.0);
    v->SetWaterSource(1);
    doc.hasWaterSource = 1;
    return static_cast<CWValve*>(doc.addObject(kTypeValve, std::move(v)));
  }
  CWValve* valve(PointD metres, int section) {
    auto v = std::make_unique<CWValve>();
    v->dc = &scratch;
    v->elem = testing_support::firstOfKind(shippedCatalogue(), kKindValve);
    v->PlaceAt(at(metres), 1.0);
    v->SetSectionNo(section);
    return static_cast<CWValve*>(doc.addObject(kTypeValve, std::move(v)));
  }
  // A root watering unit: its flow does not follow the pressure.
  CWRwsSprinkler* fixedHead(PointD metres, int section = 0) {
    auto r = std::make_unique<CWRwsSprinkler>();
    r->PlaceAt(at(metres), testing_support::firstOfKind(shippedCatalogue(), kKindRws), 1.0f, doc.scaleDenominator,
               doc.pixelsPerCm, doc.sourcePressure);
    r->SetSectionNo(section);
    return static_cast<CWRwsSprinkler*>(doc.addObject(kTypeRws, std::move(r)));
  }
  // A rotary sprinkler, whose flow follows its nozzle's table: the first
  // nozzle whose table rises over 2 to 3 atm.
  CWSprinkler* rotor(PointD metres, int section = 0) {
    CElem* body = nullptr;
    int row = 0;
    for (CElem* e = shippedCatalogue().head; e && !body; e = e->next) {
      if (e->kind != kKindSprinkler || !e->data || e->archived) continue;
      const auto* b = static_cast<const CDBSprinkler*>(e->data);
      for (int k = 0; k < static_cast<int>(std::size(b->nozzles)) && !body; ++k) {
        const WorkPoint* w = b->nozzles[k].work;
        if (w[0].Q > 0 && w[0].P <= 2.0f && w[3].Q > w[0].Q && w[3].P >= 3.0f) body = e, row = k;
      }
    }
    EXPECT_NE(body, nullptr);
    auto s = std::make_unique<CWSprinkler>();
    s->elem = body;
    s->nozzleNo = row;
    s->dc = &scratch;
    s->PlaceAt(at(metres), 1.0f, doc.scaleDenominator, doc.pixelsPerCm, doc.sourcePressure);
    s->SetSectionNo(section);
    return static_cast<CWSprinkler*>(doc.addObject(kTypeSprinkler, std::move(s)));
  }
  int indexOf(const CWBase* o) const {
    for (size_t i = 0; i < doc.objects().size(); ++i)
      if (doc.objects()[i].get() == o) return static_cast<int>(i);
    return -1;
  }
  network::Result solve(int sections = 1) {
    network::Options o;
    o.sectionCount = sections;
    return network::analyse(doc, nullptr, o);
  }
  const network::HeadResult* head(const network::SectionResult& s, const CWBase* o) const {
    for (const auto& h : s.heads)
      if (h.object == indexOf(o)) return &h;
    return nullptr;
  }

  platform::RecordingCanvas scratch;
  CGraphicPlane doc;
  CElem* pipeType = nullptr;
  double diameter = 0;
};

TEST_F(Network, OnePipeOneHeadLosesTheHazenWilliamsLoss) {
  source({0, 0});
  pipe({{0, 0}, {30, 0}});
  CWBase* h = rotor({30, 0});
  const network::Result r = solve();
  ASSERT_TRUE(r.ok) << r.error;
  ASSERT_EQ(r.sections.size(), 1u);
  const network::SectionResult& s = r.sections[0];
  ASSERT_TRUE(s.solved);
  const network::HeadResult* hr = head(s, h);
  ASSERT_NE(hr, nullptr);
  const double lossAtm = FrictionLoss(hr->flowM3H, diameter, 30.0, 1.0) / 10.0;
  EXPECT_NEAR(3.0 - hr->pressureAtm, lossAtm, 1e-6);
  ASSERT_EQ(s.pipes.size(), 1u);
  EXPECT_NEAR(s.pipes[0].flowM3H, hr->flowM3H, 1e-6);
  EXPECT_NEAR(s.pipes[0].lengthM, 30.0, 1e-9);
  EXPECT_NEAR(s.pipes[0].lossAtm, lossAtm, 1e-6);
  EXPECT_NEAR(s.pipes[0].velocityMS, Velocity(hr->flowM3H, diameter), 1e-9);
  // The head gives what its table says at the pressure it gets.
  CWSprinkler copy = *static_cast<CWSprinkler*>(h);
  copy.EvaluateNozzle(copy.nozzleNo, static_cast<float>(hr->pressureAtm));
  EXPECT_NEAR(hr->flowM3H, copy.flow, 1e-4);
}

TEST_F(Network, ALateralOfTenEqualHeadsLosesWhatTheOutletFactorGives) {
  // Ten heads 3 m apart, the first 3 m from the inlet.
  source({0, 0});
  pipe({{0, 0}, {30, 0}});
  for (int i = 1; i <= 10; ++i) fixedHead({3.0 * i, 0});
  const network::Result r = solve();
  ASSERT_TRUE(r.ok) << r.error;
  const network::SectionResult& s = r.sections[0];
  ASSERT_TRUE(s.solved);
  ASSERT_EQ(s.heads.size(), 10u);
  const double q = s.heads[0].flowM3H;
  EXPECT_NEAR(s.flowM3H, 10 * q, 1e-9);
  const double drop = 3.0 - s.minHeadPressureAtm;
  const double byFactor = FrictionLoss(10 * q, diameter, 30.0, OutletFactor(10)) / 10.0;
  // The factor table holds three decimals of Christiansen's factor.
  EXPECT_NEAR(drop / byFactor, 1.0, 0.025);
  // The sum the network works out, segment by segment.
  double exact = 0;
  for (int i = 1; i <= 10; ++i) exact += FrictionLoss(i * q, diameter, 3.0, 1.0) / 10.0;
  EXPECT_NEAR(drop, exact, 1e-6);
}

TEST_F(Network, FlowIsConservedAndPressureFallsAlongTheFlow) {
  // A main to a T, a branch each way with heads along it.
  source({0, 0});
  pipe({{0, 0}, {10, 0}});
  pipe({{10, 0}, {10, 12}});
  pipe({{10, 0}, {10, -8}, {20, -8}});
  CWBase* a = rotor({10, 6});
  CWBase* b = rotor({10, 12});
  CWBase* c = fixedHead({10, -8});
  CWBase* d = rotor({16, -8});
  const network::Result r = solve();
  ASSERT_TRUE(r.ok) << r.error;
  const network::SectionResult& s = r.sections[0];
  ASSERT_TRUE(s.solved);
  double heads = 0;
  for (const CWBase* o : {a, b, c, d}) {
    ASSERT_NE(head(s, o), nullptr);
    heads += head(s, o)->flowM3H;
  }
  // The main carries what the heads take; each piece's flow runs downhill.
  double main = 0;
  for (const auto& p : s.pipes) {
    if (p.object == indexOf(doc.objects()[1].get())) main += p.flowM3H;
    if (std::abs(p.flowM3H) > 1e-9) {
      const double up = p.flowM3H > 0 ? p.startPressureAtm : p.endPressureAtm;
      const double down = p.flowM3H > 0 ? p.endPressureAtm : p.startPressureAtm;
      EXPECT_GT(up, down);
    } else {
      EXPECT_NEAR(p.startPressureAtm, p.endPressureAtm, 1e-9);
    }
  }
  EXPECT_NEAR(main, heads, 0.001 * heads);
  // The branch past the last head carries nothing.
  for (const auto& p : s.pipes)
    if (p.object == indexOf(doc.objects()[3].get()) && p.segment == 1 && p.lengthM < 4.1) {
      EXPECT_NEAR(p.flowM3H, 0, 1e-9);
    }
  // Heads farther along get less.
  EXPECT_LT(head(s, b)->pressureAtm, head(s, a)->pressureAtm);
}

TEST_F(Network, ALoopOfTwoEqualBranchesSplitsTheFlowEqually) {
  source({0, 0});
  pipe({{0, 0}, {5, 0}});
  CWPipe* upper = pipe({{5, 0}, {5, 5}, {15, 5}, {15, 0}});
  CWPipe* lower = pipe({{5, 0}, {5, -5}, {15, -5}, {15, 0}});
  pipe({{15, 0}, {25, 0}});
  fixedHead({25, 0});
  fixedHead({20, 0});
  const network::Result r = solve();
  ASSERT_TRUE(r.ok) << r.error;
  const network::SectionResult& s = r.sections[0];
  ASSERT_TRUE(s.solved);
  double up = 0, down = 0;
  for (const auto& p : s.pipes) {
    if (p.object == indexOf(upper) && p.segment == 1) up = p.flowM3H;
    if (p.object == indexOf(lower) && p.segment == 1) down = p.flowM3H;
  }
  EXPECT_GT(up, 0);
  EXPECT_NEAR(up, down, 1e-9 + 1e-6 * up);
  EXPECT_NEAR(up + down, s.flowM3H, 0.001 * s.flowM3H);
}

TEST_F(Network, AHeadFollowingItsPressureGetsLessAtTheEndOfALongThinLateral) {
  // The thinnest catalogue pipe.
  CElem* thin = nullptr;
  double least = 1e9;
  for (CElem* e = shippedCatalogue().head; e; e = e->next)
    if (e->kind == kKindPipe && e->data && !e->archived && static_cast<const CRura*>(e->data)->innerDiameter < least)
      thin = e, least = static_cast<const CRura*>(e->data)->innerDiameter;
  source({0, 0});
  pipe({{0, 0}, {60, 0}}, thin);
  CWBase* first = rotor({10, 0});
  CWBase* last = nullptr;
  for (int i = 2; i <= 6; ++i) last = rotor({10.0 * i, 0});
  const network::Result r = solve();
  ASSERT_TRUE(r.ok) << r.error;
  const network::SectionResult& s = r.sections[0];
  ASSERT_TRUE(s.solved);
  EXPECT_LT(head(s, last)->pressureAtm, head(s, first)->pressureAtm - 0.1);
  EXPECT_LT(head(s, last)->flowM3H, head(s, first)->flowM3H);
  EXPECT_GT(s.pressureSpreadPct, 0);
  EXPECT_GT(s.requiredSourcePressureAtm, 3.0);
}

TEST_F(Network, SectionsAreSolvedWithOnlyTheirOwnHeadsOpen) {
  // A header with two valves; a lateral starts at each.
  source({0, 0});
  pipe({{0, 0}, {10, 0}});
  pipe({{10, 0}, {10, 4}});
  valve({10, 2}, 0);
  valve({10, 4}, 1);
  pipe({{10, 2}, {20, 2}});
  pipe({{10, 4}, {20, 4}});
  CWBase* a = fixedHead({20, 2}, 0);
  CWBase* b = fixedHead({20, 4}, 1);
  const network::Result r = solve(2);
  ASSERT_TRUE(r.ok) << r.error;
  ASSERT_EQ(r.sections.size(), 2u);
  for (int k = 0; k < 2; ++k) {
    const network::SectionResult& s = r.sections[k];
    ASSERT_TRUE(s.solved);
    ASSERT_EQ(s.heads.size(), 1u);
    EXPECT_EQ(s.heads[0].object, indexOf(k == 0 ? a : b));
    EXPECT_NEAR(s.flowM3H, s.heads[0].flowM3H, 1e-12);
  }
  EXPECT_TRUE(r.unconnected.empty());
}

TEST_F(Network, WhatIsWrongInThePlanIsToldByName) {
  // No water source at all.
  pipe({{0, 0}, {10, 0}});
  fixedHead({10, 0});
  network::Result r = solve();
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find(platform::utf8ToCp1250("źródła wody")), std::string::npos);

  // A source away from every pipe.
  source({0, 30});
  r = solve();
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find(platform::utf8ToCp1250("nie leży na żadnej rurze")), std::string::npos);
}

TEST_F(Network, UnconnectedHeadsIslandsAndBadPipeTypesAreListed) {
  source({0, 0});
  pipe({{0, 0}, {10, 0}});
  CWBase* onPipe = fixedHead({10, 0});
  CWBase* away = fixedHead({10, 5});  // 5 m from the pipe
  CWPipe* island = pipe({{30, 30}, {40, 30}});
  CWBase* onIsland = fixedHead({40, 30});
  // A pipe type of no diameter.
  CElem broken = *pipeType;
  CRura record = *static_cast<const CRura*>(pipeType->data);
  record.innerDiameter = 0;
  broken.data = &record;
  CWPipe* bad = pipe({{10, 0}, {10, -10}}, &broken);
  fixedHead({10, -10});
  const network::Result r = solve();
  ASSERT_TRUE(r.ok) << r.error;
  auto listed = [&](const CWBase* o) {
    return std::find(r.unconnected.begin(), r.unconnected.end(), indexOf(o)) != r.unconnected.end();
  };
  EXPECT_FALSE(listed(onPipe));
  EXPECT_TRUE(listed(away));
  EXPECT_TRUE(listed(island));
  EXPECT_TRUE(listed(onIsland));
  EXPECT_TRUE(listed(bad));
  bool badTold = false;
  for (const auto& w : r.warnings) badTold = badTold || (w.kind == "badDiameter" && w.object == indexOf(bad));
  EXPECT_TRUE(badTold);
  ASSERT_EQ(r.sections.size(), 1u);
  EXPECT_TRUE(r.sections[0].solved);
  EXPECT_EQ(r.sections[0].heads.size(), 1u);
}

TEST_F(Network, ASectionWithoutHeadsIsToldAndPipesWithoutTypeAreAssumed) {
  source({0, 0});
  auto p = std::make_unique<CWPipe>();
  p->AddVertexU({0, 0});
  p->AddVertexU({10 * kU, 0});
  p->Rescale(1.0f);
  CWBase* untyped = doc.addObject(kTypePipe, std::move(p));
  fixedHead({10, 0}, 0);
  network::Options o;
  o.sectionCount = 2;
  o.defaultDiameterMm = 32;
  const network::Result r = network::analyse(doc, nullptr, o);
  ASSERT_TRUE(r.ok);
  ASSERT_EQ(r.sections.size(), 2u);
  ASSERT_TRUE(r.sections[0].solved);
  ASSERT_EQ(r.sections[0].pipes.size(), 1u);
  EXPECT_TRUE(r.sections[0].pipes[0].assumedDiameter);
  EXPECT_EQ(r.sections[0].pipes[0].innerDiameterMm, 32);
  bool assumed = false;
  for (const auto& w : r.warnings) assumed = assumed || (w.kind == "untypedPipe" && w.object == indexOf(untyped));
  EXPECT_TRUE(assumed);
  ASSERT_FALSE(r.sections[1].warnings.empty());
  EXPECT_EQ(r.sections[1].warnings[0].kind, "noHeads");
}

}  // namespace

#include "hydraulics/pipe_sizing.h"

namespace {

TEST_F(Network, SizingKeepsEverySegmentSlowWithTheCheapestPipesAndTelescopes) {
  // A thin lateral of twelve heads: far too fast at its inlet.
  CElem* thin = nullptr;
  for (CElem* e = shippedCatalogue().head; e; e = e->next)
    if (e->kind == kKindPipe && e->data && !e->archived &&
        (!thin || static_cast<const CRura*>(e->data)->innerDiameter < static_cast<const CRura*>(thin->data)->innerDiameter))
      thin = e;
  source({0, 0});
  CWPipe* lateral = pipe({{0, 0}, {4, 0}, {8, 0}, {12, 0}, {16, 0}, {20, 0}, {24, 0}}, thin);
  for (int i = 1; i <= 12; ++i) rotor({2.0 * i, 0});
  network::SizingOptions o;
  o.sectionCount = 1;
  const network::SizingResult s = network::sizePipes(doc, nullptr, shippedCatalogue().head, o);
  ASSERT_TRUE(s.ok) << s.error;
  ASSERT_EQ(s.after.sections.size(), 1u);
  const auto candidates = network::sizingCandidates(shippedCatalogue().head);
  auto inner = [](const CElem* e) { return static_cast<const CRura*>(e->data)->innerDiameter; };
  double widest = 0;
  for (const CElem* e : candidates) widest = std::max<double>(widest, inner(e));
  for (const auto& p : s.after.sections[0].pipes) {
    // Slow enough wherever the widest catalogue pipe can make it so.
    if (Velocity(std::abs(p.flowM3H), widest) <= network::kMaxVelocityMS) {
      EXPECT_LE(p.velocityMS, network::kMaxVelocityMS + 1e-9);
    }
  }
  EXPECT_LE(s.after.sections[0].pressureSpreadPct, network::kMaxPressureSpreadPct);
  // Toward the end the pipe gets no wider.
  ASSERT_EQ(s.choices.size(), 6u);
  for (size_t k = 1; k < s.choices.size(); ++k) EXPECT_LE(inner(s.choices[k].type), inner(s.choices[k - 1].type));
  EXPECT_LT(inner(s.choices.back().type), inner(s.choices.front().type));
  // The first segment takes the cheapest type that carries its flow slowly
  // enough, unless the spread asked for a wider one.
  const double q0 = s.after.sections[0].pipes.front().flowM3H;
  for (const CElem* e : candidates) {
    if (Velocity(q0, inner(e)) > network::kMaxVelocityMS) continue;
    EXPECT_LE(inner(e), inner(s.choices.front().type));
    break;
  }
  // Put into the plan: the lateral is cut where its size changes, and the
  // plan then solves as the sizing said.
  const int changed = network::applySizing(doc, s);
  EXPECT_EQ(changed, 1);
  EXPECT_TRUE(lateral->deleted);
  int parts = 0;
  for (const auto& o2 : doc.objects()) parts += !o2->deleted && o2->GetType() == kTypePipe;
  EXPECT_GE(parts, 2);
  const network::Result again = solve();
  ASSERT_TRUE(again.ok);
  EXPECT_NEAR(again.sections[0].minHeadPressureAtm, s.after.sections[0].minHeadPressureAtm, 1e-6);
  EXPECT_NEAR(again.sections[0].flowM3H, s.after.sections[0].flowM3H, 1e-6);
}

}  // namespace
