// Sizing pipes: formulas, the connected consumers, pipe lengths, and the
// free, main pipe and lateral pipe calculators.

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "document/graphic_plane.h"
#include "hydraulics/pipe_calculator.h"
#include "objects/micro_sprinklers.h"
#include "objects/polylines.h"
#include "objects/sprinkler.h"
#include "objects/static_sprinkler.h"
#include "partix.h"
#include "platform/message_sink.h"
#include "platform/numtext.h"
#include "platform/textcodec.h"

namespace {

using platform::RecordingMessageSink;

// A small catalogue list built in code: pipe types (one archived) and a drip
// line type, released with the fixture.
class Catalogue {
 public:
  Catalogue() {
    add(kKindPipe, "rura PE <40>", 40.0f);
    add(kKindPipe, "Rura PE <32>", 32.0f);
    add(kKindPipe, "Rura PE <25> (wycofana)", 25.0f)->archived = 1;
    CElem* drip = add(kKindDripLine, "Linia <16>", 0);
    auto& d = *static_cast<CLinKrop*>(drip->data);
    std::strncpy(d.dripperType, "<1>", sizeof d.dripperType - 1);
    d.dripperSpacing = 30.0f;
    d.dripperFlow = 2.0f;
  }
  ~Catalogue() {
    for (auto& e : elems_) e->FreeData();
  }
  CElem* head() { return elems_.front().get(); }
  CElem* at(size_t i) { return elems_[i].get(); }

 private:
  CElem* add(PartixKind kind, const char* name, float diameter) {
    auto e = std::make_unique<CElem>();
    e->InitData(kind);
    std::strncpy(e->data->name, name, sizeof e->data->name - 1);
    if (kind == kKindPipe) static_cast<CRura*>(e->data)->innerDiameter = diameter;
    if (!elems_.empty()) elems_.back()->next = e.get();
    elems_.push_back(std::move(e));
    return elems_.back().get();
  }
  std::vector<std::unique_ptr<CElem>> elems_;
};

template <typename T>
T* add(CGraphicPlane& doc, std::unique_ptr<T> o) {
  const int code = o->GetType();
  return static_cast<T*>(doc.addObject(code, std::move(o)));
}

CWSprinkler* addSprinkler(CGraphicPlane& doc, float flow, int connected, Point at = {0, 0}) {
  auto s = std::make_unique<CWSprinkler>();
  s->flow = flow;
  s->connected = connected;
  s->pos = at;
  return add(doc, std::move(s));
}

// A straight polyline from (0, 0) `pixels` long to the right.
template <typename T>
T* addLine(CGraphicPlane& doc, int pixels) {
  auto line = std::make_unique<T>();
  line->AddVertex({0, 0});
  line->AddVertex({pixels, 0});
  return add(doc, std::move(line));
}

}  // namespace

TEST(PipeFormulas, PressureDropAndVelocity) {
  // Q = 3 m3/h through 50 m of a 32 mm pipe with one outlet: 2.29 m of water.
  const double hf = FrictionLoss(3.0, 32.0, 50.0, OutletFactor(1));
  EXPECT_NEAR(hf, 2.29, 0.005);
  EXPECT_NEAR(Velocity(3.0, 32.0), 1.036, 0.0005);
  EXPECT_EQ(FrictionLoss(3.0, 32.0, 50.0, OutletFactor(0)), 0.0);
}

TEST(PipeFormulas, OutletFactorTable) {
  const struct {
    int n;
    float f;
  } cases[] = {{-2, 0.0f},   {0, 0.0f},    {1, 1.0f},    {2, 0.639f},  {10, 0.408f},
               {17, 0.38f},  {29, 0.368f}, {30, 0.368f}, {40, 0.368f}, {1000, 0.368f}};
  for (const auto& c : cases) EXPECT_EQ(OutletFactor(c.n), c.f) << c.n;
}

TEST(PipeFormulas, LengthsRoundToWholeMetresHalvesDown) {
  // At 1:100 with 10 plan units per centimetre a metre is 10 plan units.
  const struct {
    int pixels;
    double scale;  // 1 / zoom
    int metres;
  } cases[] = {{125, 1.0, 12}, {126, 1.0, 13}, {124, 1.0, 12}, {250, 0.5, 12}, {0, 1.0, 0}};
  for (const auto& c : cases) {
    CWPipe pipe;
    pipe.scale = c.scale;
    pipe.AddVertex({0, 0});
    if (c.pixels) pipe.AddVertex({c.pixels, 0});
    EXPECT_EQ(PipeLengthM(pipe, 100.0f, 10.0f), c.metres) << c.pixels;
  }
  EXPECT_EQ(roundHalfDown(12.5f), 12);
  EXPECT_EQ(roundHalfDown(12.51f), 13);

  // A damaged drawing scale gives a length no int holds: the largest one.
  CWPipe far;
  far.AddVertex({0, 0});
  far.AddVertex({1000, 0});
  EXPECT_EQ(PipeLengthM(far, 1.0e30f, 10.0f), INT_MAX);
  EXPECT_EQ(roundHalfDown(-3.0e9f), INT_MIN);
}

TEST(PipeCalculatorDialog, OffersCurrentTypesSortedAndComputes) {
  Catalogue cat;
  PipeCalculator calc(cat.head());
  ASSERT_EQ(calc.types().size(), 2u);  // the archived type is not offered
  EXPECT_EQ(calc.types()[0].name, "Rura PE <32>");
  EXPECT_EQ(calc.types()[1].name, "rura PE <40>");
  EXPECT_EQ(calc.diameter, 32.0f);

  const struct {
    const char *flow, *length, *outlets;
    const char *drop, *velocity;
  } cases[] = {
      {"3", "50", "1", "0.23", "1.04"},
      {"3,0", "50", "1", "0.23", "1.04"},  // a decimal comma is a point
      {"3", "50", "0", "0.00", "1.04"},    // no outlets, no factor
      {"3", "50", "", "0.00", "1.04"},
      {"3", "50", "2,6", "0.15", "1.04"},  // the whole part: the factor of 2 outlets, not of 3 (0.12)
  };
  for (const auto& c : cases) {
    calc.setFlowText(c.flow);
    calc.setLengthText(c.length);
    calc.setOutletsText(c.outlets);
    ASSERT_TRUE(calc.compute());
    EXPECT_EQ(calc.pressureDropText, c.drop) << c.flow << " " << c.outlets;
    EXPECT_EQ(calc.velocityText, c.velocity);
  }

  // Beyond the table the factor of 30 outlets holds.
  calc.setFlowText("10");
  calc.setOutletsText("45");
  calc.compute();
  const std::string at45 = calc.pressureDropText;
  calc.setOutletsText("30");
  calc.compute();
  EXPECT_EQ(at45, calc.pressureDropText);

  // A catalogue without pipe types computes nothing.
  PipeCalculator empty(nullptr);
  EXPECT_FALSE(empty.compute());
  EXPECT_TRUE(empty.pressureDropText.empty());
}

TEST(ConnectedConsumers, FlowSumsWhatIsMarkedAndStillThere) {
  Catalogue cat;
  CGraphicPlane doc;
  doc.scaleDenominator = 100.0f;
  doc.pixelsPerCm = 10.0f;
  addSprinkler(doc, 0.5f, 1);
  addSprinkler(doc, 0.7f, 0);                // not marked
  addSprinkler(doc, 5.0f, 1)->deleted = 1;  // marked, then deleted
  auto broken = std::make_unique<CWStaticSprinkler>();
  broken->flow = kFlowAngleTooLarge;
  broken->connected = 1;
  add(doc, std::move(broken));
  auto fine = std::make_unique<CWStaticSprinkler>();
  fine->flow = 0.25f;
  fine->connected = 1;
  add(doc, std::move(fine));
  auto hadar = std::make_unique<CWMicroSprinklerHadar>();
  hadar->flowLh = 60.0f;
  hadar->connected = 1;
  add(doc, std::move(hadar));
  auto micro = std::make_unique<CWMicroSprinkler>();
  micro->flowLh = 40.0f;
  micro->connected = 1;
  add(doc, std::move(micro));
  auto rws = std::make_unique<CWRwsSprinkler>();
  rws->flow = 0.1f;
  rws->connected = 1;
  add(doc, std::move(rws));
  // 10.5 m of drip line, emitters every 30 cm at 2 l/h: 35 emitters, 0.07 m3/h,
  // computed afresh (its stored flow is stale).
  auto* line = addLine<CWDripline>(doc, 105);
  line->elem = cat.at(3);
  line->flow = 9.0f;
  line->connected = 1;

  const ConnectedFlowSum sum = ConnectedFlow(doc);
  EXPECT_EQ(sum.count, 7);  // the static sprinkler in error counts as an outlet, without flow
  EXPECT_NEAR(sum.flow, 0.5 + 0.25 + 0.06 + 0.04 + 0.1 + 0.07, 1e-5);
  EXPECT_NEAR(line->flow, 0.07f, 1e-6);
}

TEST(ConnectedConsumers, MarkingToolTogglesAndWarnsAboveCapacity) {
  RecordingMessageSink sink;
  CGraphicPlane doc;
  doc.sourceCapacity = 1.0f;
  CWSprinkler* a = addSprinkler(doc, 0.6f, 0, {100, 100});
  addSprinkler(doc, 0.6f, 1, {300, 100});
  addLine<CWPipe>(doc, 50);  // a pipe is no consumer

  EXPECT_EQ(markConnectedAt(doc, {101, 100}), a);
  EXPECT_EQ(a->connected, 1);
  EXPECT_EQ(doc.selected, nullptr);
  ASSERT_EQ(sink.shown.size(), 1u);  // 1.2 m3/h against 1.0
  EXPECT_EQ(sink.shown[0].text, platform::utf8ToCp1250("Przekroczono wydajność żródła wody"));
  EXPECT_EQ(sink.shown[0].caption, "Informacja");

  EXPECT_EQ(markConnectedAt(doc, {100, 100}), a);
  EXPECT_EQ(a->connected, 0);  // twice leaves it unmarked
  EXPECT_EQ(sink.shown.size(), 1u);

  EXPECT_EQ(markConnectedAt(doc, {0, 0}), nullptr);
  EXPECT_EQ(markConnectedAt(doc, {700, 700}), nullptr);

  // A micro-sprinkler marked connected draws from the source like the rest.
  auto micro = std::make_unique<CWMicroSprinkler>();
  micro->flowLh = 500.0f;
  CWMicroSprinkler* m = add(doc, std::move(micro));
  EXPECT_TRUE(toggleConnected(doc, *m));
  EXPECT_EQ(sink.shown.size(), 2u);  // 0.6 + 0.5 > 1.0
}

class PlanPipe : public ::testing::Test {
 protected:
  void SetUp() override {
    doc.scaleDenominator = 100.0f;
    doc.pixelsPerCm = 10.0f;
    pipe = addLine<CWPipe>(doc, 500);  // 50 m
  }
  void connect(int count, float flow) {
    for (int i = 0; i < count; ++i) addSprinkler(doc, flow, 1, {1000 + 40 * i, 1000});
  }
  Catalogue cat;
  CGraphicPlane doc;
  CWPipe* pipe = nullptr;
  RecordingMessageSink sink;
};

TEST_F(PlanPipe, LateralPipeUsesTheConnectedConsumersAsOutlets) {
  PlanPipeCalculation lateral(PlanPipeCalculation::Kind::LateralPipe, cat.head());
  EXPECT_FALSE(lateral.compute(doc));
  ASSERT_EQ(sink.shown.size(), 1u);
  EXPECT_EQ(sink.shown[0].text, "Musi byc zaznaczony przynajmniej jeden zraszacz");
  EXPECT_EQ(sink.shown[0].caption, "Info");

  connect(40, 0.1f);
  EXPECT_FALSE(lateral.compute(doc));  // no pipe pointed yet: flow and count shown
  EXPECT_EQ(sink.shown.back().text, "Rurociag nie zostal wybrany z rysunku");
  EXPECT_EQ(lateral.results.flow, "4.00");
  EXPECT_EQ(lateral.results.outlets, "40");
  EXPECT_TRUE(lateral.results.pressureDrop.empty());

  EXPECT_EQ(pointPipeAt(doc, {500, 0}), pipe);
  ASSERT_TRUE(lateral.compute(doc));
  EXPECT_EQ(lateral.results.length, "50.00");
  // 40 outlets use the factor of 30.
  EXPECT_EQ(lateral.results.pressureDrop, platform::formatFixed(FrictionLoss(4.0f, 32.0, 50.0, 0.368f) / 10.0, 2));
  EXPECT_EQ(lateral.results.velocity, platform::formatFixed(Velocity(4.0f, 32.0), 2));
}

TEST_F(PlanPipe, MainPipeTakesTheEnteredOutlets) {
  PlanPipeCalculation main(PlanPipeCalculation::Kind::MainPipe, cat.head());
  connect(2, 1.5f);
  doc.pointedPipe = pipe;
  EXPECT_FALSE(main.compute(doc));  // no outlets entered: nothing happens
  EXPECT_TRUE(sink.shown.empty());
  EXPECT_TRUE(main.results.flow.empty());

  EXPECT_FALSE(main.setOutletCount(101));
  EXPECT_FALSE(main.setOutletCount(-1));
  ASSERT_TRUE(main.setOutletCount(1));
  ASSERT_TRUE(main.compute(doc));
  EXPECT_EQ(main.results.flow, "3.00");
  EXPECT_EQ(main.results.length, "50.00");
  EXPECT_EQ(main.results.pressureDrop, "0.23");
  EXPECT_EQ(main.results.velocity, "1.04");

  // A pointed pipe deleted since is no pipe; the results stay.
  pipe->deleted = 1;
  EXPECT_FALSE(main.compute(doc));
  EXPECT_EQ(sink.shown.back().text, "Rurociag nie zostal wybrany z rysunku");
  EXPECT_EQ(main.results.pressureDrop, "0.23");
}

TEST_F(PlanPipe, ApplyGivesThePipeItsTypeAndClosingClearsTheMarks) {
  connect(3, 0.2f);
  int repaints = 0;
  doc.requestRepaint = [&] { ++repaints; };
  {
    PlanPipeCalculation lateral(PlanPipeCalculation::Kind::LateralPipe, cat.head());
    lateral.startPointingPipe(doc);
    EXPECT_EQ(doc.tool, kToolPointPipe);
    doc.pointedPipe = pipe;
    lateral.selectType(1);
    lateral.apply(doc);
  }
  EXPECT_EQ(pipe->typeAssigned, 1);
  EXPECT_EQ(pipe->elem, cat.at(0));  // "rura PE <40>"
  EXPECT_EQ(doc.pointedPipe, nullptr);
  EXPECT_EQ(doc.tool, kToolSelect);
  EXPECT_EQ(ConnectedFlow(doc).count, 0);
  EXPECT_GT(repaints, 0);

  // Closing without applying changes no pipe.
  CWPipe* other = addLine<CWPipe>(doc, 30);
  connect(1, 0.2f);
  PlanPipeCalculation main(PlanPipeCalculation::Kind::MainPipe, cat.head());
  main.startMarkingConsumers(doc);
  EXPECT_EQ(doc.tool, kToolMarkConnected);
  doc.pointedPipe = other;
  main.close(doc);
  EXPECT_EQ(other->typeAssigned, 0);
  EXPECT_EQ(doc.pointedPipe, nullptr);
  EXPECT_EQ(ConnectedFlow(doc).count, 0);
  EXPECT_EQ(doc.tool, kToolSelect);
}
