// Pipe runs and drip lines: vertices, zoom, drawing, labels and drip line flow.

#include <gtest/gtest.h>

#include <cstring>

#include "objects/polylines.h"
#include "partix.h"
#include "platform/recording_canvas.h"

namespace {

using platform::RecordingCanvas;
using Kind = platform::RecordingCanvas::Kind;

// A catalogue element built in code, released with the fixture.
struct TestElem {
  CElem e;
  explicit TestElem(PartixKind kind, const char* name) {
    e.InitData(kind);
    std::strncpy(e.data->name, name, sizeof e.data->name - 1);
  }
  ~TestElem() { e.FreeData(); }
  CLinKrop& drip() { return *static_cast<CLinKrop*>(e.data); }
};

std::unique_ptr<TestElem> dripType(const char* name, const char* emitter, float spacingCm, float flowLh) {
  auto t = std::make_unique<TestElem>(kKindDripLine, name);
  std::strncpy(t->drip().dripperType, emitter, sizeof t->drip().dripperType - 1);
  t->drip().dripperSpacing = spacingCm;
  t->drip().dripperFlow = flowLh;
  return t;
}

class Polylines : public ::testing::Test {
 protected:
  void SetUp() override {
    app().settings = freshInstallSettings();
    app().undoRedrawPending = 0;
    app().previewPenFactor = 1.0f;
  }
};

// At 1:100 with 29 plan units per centimetre one metre is 29 plan units.
constexpr float kDenominator = 100.0f;
constexpr float kPixelsPerCm = 29.0f;

}  // namespace

TEST_F(Polylines, EmitterFlowFollowsTheCurveOfTheTypeDigit) {
  const struct {
    const char* emitter;
    float pressure;
    float q;  // l/h
  } cases[] = {
      {"<2>", 0.3f, 1.43f},  {"<2>", 1.25f, 2.215f}, {"<2>", 2.0f, 2.8f},  {"<2>", 4.0f, 3.66f},
      {"<3>", 0.2f, 1.42f},  {"<3>", 2.25f, 3.145f}, {"<3>", 3.2f, 3.63f},
      {"<4>", 0.4f, 1.06f},  {"<4>", 2.75f, 2.485f}, {"<4>", 5.0f, 2.81f},
      {"<5>", 0.5f, 2.0f},   {"<5>", 1.7f, 2.75f},   {"<5>", 2.7f, 3.5f},  {"<5>", 3.0f, 3.5f},
  };
  for (const auto& c : cases) {
    auto type = dripType("Linia <T>", c.emitter, 10.0f, 9.9f);
    CWDripline line;
    line.elem = &type->e;
    line.AddVertex({0, 0});
    line.AddVertex({290, 0});  // 10 m: 100 emitters at 10 cm
    line.UpdateFlow(kDenominator, kPixelsPerCm, c.pressure);
    EXPECT_EQ(line.compensating, 0) << c.emitter;
    EXPECT_NEAR(type->drip().dripperFlow, c.q, 1e-5) << c.emitter << " at " << c.pressure;
    EXPECT_NEAR(line.GetFlow(), c.q / 10.0f, 1e-6) << c.emitter << " at " << c.pressure;
  }
}

TEST_F(Polylines, DriplineFlowFromLengthSpacingAndCatalogue) {
  // 10.5 m with 30 cm spacing: 35 emitters of a compensating 2 l/h type.
  auto comp = dripType("Kropla <K16>", "<1> kompensujacy", 30.0f, 2.0f);
  CWDripline line;
  line.elem = &comp->e;
  line.scale = 0.5;  // drawn at zoom 2
  line.AddVertex({0, 0});
  line.AddVertex({609, 0});
  EXPECT_FLOAT_EQ(line.LengthU(), 304.5f);
  line.UpdateFlow(kDenominator, kPixelsPerCm, 3.0f);
  EXPECT_EQ(line.compensating, 1);
  EXPECT_EQ(line.curveIndex, -1);
  EXPECT_FLOAT_EQ(line.flow, 0.07f);
  EXPECT_FLOAT_EQ(comp->drip().dripperFlow, 2.0f);  // the catalogue keeps its own value

  // A type without spacing takes no water.
  auto noSpacing = dripType("Bez rozstawu", "<2>", 0.0f, 2.0f);
  line.elem = &noSpacing->e;
  line.UpdateFlow(kDenominator, kPixelsPerCm, 1.0f);
  EXPECT_EQ(line.flow, 0.0f);

  // A drip line without a type has no flow either.
  CWDripline bare;
  bare.AddVertex({0, 0});
  bare.AddVertex({100, 0});
  bare.flow = 1.0f;
  bare.UpdateFlow(kDenominator, kPixelsPerCm, 1.0f);
  EXPECT_EQ(bare.GetFlow(), 0.0f);
}

TEST_F(Polylines, ParseTypeReadsTheDigitAfterTheFirstBracket) {
  const struct {
    const char* emitter;
    int compensating, curve;
  } cases[] = {
      {"<1>", 1, -1},    {"<2>", 0, 0},  {"<3", 0, 1},      {"<4>", 0, 2},     {"x <5> y", 0, 3},
      {"a<3<1", 0, 1},   {"<7>", 9, 9},  {"bez nawiasu", 9, 9}, {"<", 9, 9},   {"", 9, 9},
  };
  for (const auto& c : cases) {
    auto type = dripType("L", c.emitter, 30.0f, 2.0f);
    CWDripline line;
    line.elem = &type->e;
    line.compensating = 9;  // left as it was when the text has no digit
    line.curveIndex = 9;
    line.ParseType();
    EXPECT_EQ(line.compensating, c.compensating) << c.emitter;
    EXPECT_EQ(line.curveIndex, c.curve) << c.emitter;
  }
}

TEST_F(Polylines, PolylineHoldsAtMost9990Vertices) {
  CWPipe pipe;
  for (int i = 0; i < kMaxPolylineVertices; ++i) ASSERT_EQ(pipe.AddVertex({i, i % 7}), 1);
  EXPECT_EQ(pipe.AddVertex({1, 1}), 0);
  EXPECT_EQ(pipe.AddVertexU({1, 1}), 0);
  EXPECT_EQ(pipe.vertexCount(), 9990);
  EXPECT_EQ(pipe.verticesU.size(), 9990u);
  EXPECT_EQ(pipe.vertexColours.size(), 9990u);
  EXPECT_EQ(pipe.vertices.back(), (Point{9989, 9989 % 7}));
}

TEST_F(Polylines, ZoomRoundTripRestoresEveryVertexAndTheLabel) {
  CWPipe pipe;
  pipe.AddVertex({33, 47});
  pipe.AddVertex({101, 7});
  pipe.Rescale(2.0f);
  pipe.AddVertex({101, 251});  // 50.5, 125.5 plan units
  EXPECT_EQ(pipe.verticesU[2], (PointD{50.5, 125.5}));
  const std::vector<Point> atZoom2 = pipe.vertices;
  EXPECT_EQ(atZoom2[0], (Point{66, 94}));

  pipe.Rescale(1.0f);
  EXPECT_EQ(pipe.vertices, (std::vector<Point>{{33, 47}, {101, 7}, {50, 125}}));
  pipe.Rescale(2.0f);
  EXPECT_EQ(pipe.vertices, atZoom2);

  // A label moved at zoom 2 stays at its place on the plan.
  pipe.MoveLabelTo({66 + 40, 94 - 20});
  EXPECT_EQ(pipe.labelDx, 20);
  EXPECT_EQ(pipe.labelDy, -10);
  pipe.Rescale(1.0f);
  EXPECT_EQ(pipe.labelAnchor(pipe.vertices[0]), (Point{53, 37}));
}

TEST_F(Polylines, LengthInPlanUnits) {
  CWDripline line;
  line.AddVertex({10, 10});
  EXPECT_EQ(line.LengthU(), 0.0f);
  line.AddVertex({40, 50});  // 50
  line.AddVertex({40, 10});  // 40
  EXPECT_FLOAT_EQ(line.LengthU(), 90.0f);
  line.scale = 0.5;
  EXPECT_FLOAT_EQ(line.LengthU(), 45.0f);
}

TEST_F(Polylines, BodyPenBySectionAndOutput) {
  AppSettings& s = app().settings;
  app().previewPenFactor = 2.5f;
  const struct {
    int section, printing, preview;
    Colour pipeColour, dripColour;
    int pipeWidth, dripWidth;
  } cases[] = {
      {0, 0, 0, s.pipeColour, s.driplineColour, 2, 2},
      {1, 0, 0, 0x123456, 0x123456, 2, 2},
      {0, 1, 0, s.pipeColour, s.driplineColour, s.printWidthPipes, s.printWidthDriplines},
      {0, 1, 1, s.pipeColour, s.driplineColour, static_cast<int>(s.printWidthPipes * 2.5f),
       static_cast<int>(s.printWidthDriplines * 2.5f)},
  };
  for (const auto& c : cases) {
    CWPipe pipe;
    CWDripline drip;
    for (CWPolyline* p : {static_cast<CWPolyline*>(&pipe), static_cast<CWPolyline*>(&drip)}) {
      p->AddVertex({0, 0});
      p->AddVertex({50, 0});
      p->AddVertex({50, 50});
      if (c.section) p->SetSectionColour(0x123456);
      p->printing = c.printing;
      p->preview = c.preview;
      p->showGrips = 0;
    }
    RecordingCanvas dc;
    pipe.dc = &dc;
    pipe.Draw();
    drip.dc = &dc;
    drip.Draw();
    auto lines = dc.of(Kind::Polyline);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0]->points.size(), 3u);
    EXPECT_EQ(lines[0]->pen, platform::Pen::solid(c.pipeColour, c.pipeWidth));
    EXPECT_EQ(lines[1]->pen, platform::Pen::solid(c.dripColour, c.dripWidth));
    EXPECT_TRUE(dc.of(Kind::FillRect).empty());
  }
}

TEST_F(Polylines, SingleVertexDrawsNoSegmentButItsControlPoint) {
  RecordingCanvas dc;
  CWDripline line;
  line.dc = &dc;
  line.AddVertex({5, 5});
  line.Draw();
  EXPECT_TRUE(dc.of(Kind::Polyline).empty());
  EXPECT_EQ(dc.of(Kind::FillRect).size(), 2u);  // the vertex and the label
}

TEST_F(Polylines, PipeLabelOnlyAfterATypeIsAssigned) {
  TestElem pe25(kKindPipe, "Rura PE <25>");
  TestElem plain(kKindPipe, "Rura bez kodu");
  RecordingCanvas dc;
  CWPipe pipe;
  pipe.dc = &dc;
  pipe.AddVertex({100, 100});
  pipe.AddVertex({200, 100});
  pipe.labelAngle = 900;

  pipe.Draw();
  pipe.DrawLabel();
  EXPECT_TRUE(dc.of(Kind::Text).empty());
  EXPECT_EQ(dc.of(Kind::FillRect).size(), 2u);  // vertices only, no label control point
  EXPECT_EQ(pipe.PickGrip({200, 100}, 0), 1);

  pipe.AssignType(&pe25.e);
  pipe.Rescale(2.0f);
  dc.clear();
  pipe.Draw();
  pipe.DrawLabel();
  auto grips = dc.of(Kind::FillRect);
  ASSERT_EQ(grips.size(), 3u);
  EXPECT_EQ(grips[2]->rect, (platform::Rect{178, 218, 182, 222}));  // (200, 200) + (-20, 20)
  auto texts = dc.of(Kind::Text);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0]->text, "\xF8 25");
  EXPECT_EQ(texts[0]->points[0], (Point{180, 220}));
  EXPECT_EQ(texts[0]->font.height, 12 * 2 + 1);
  EXPECT_EQ(texts[0]->font.escapement, 900);
  EXPECT_EQ(texts[0]->font.face, "Arial");

  pipe.AssignType(&plain.e);
  EXPECT_EQ(pipe.LabelText(), "\xF8 Rura bez kodu");
  EXPECT_EQ(pipe.GetKindName(), "Rurociag");
  EXPECT_EQ(pipe.GetFlow(), -1.0f);
}

TEST_F(Polylines, DriplineLabelAndFlowLabel) {
  auto type = dripType("Linia kroplujaca <DL16/33>", "<1>", 33.0f, 2.0f);
  auto whole = dripType("Linia bez kodu", "<1>", 33.0f, 2.0f);
  RecordingCanvas dc;
  CWDripline line;
  line.dc = &dc;
  line.elem = &type->e;
  line.AddVertex({100, 100});
  line.flow = 0.126f;
  line.DrawLabel();
  line.DrawFlow();
  auto texts = dc.of(Kind::Text);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0]->text, "DL16/33");
  EXPECT_EQ(texts[0]->points[0], (Point{100, 110}));  // offset (0, 10)
  EXPECT_EQ(texts[1]->text, "0.13");
  EXPECT_EQ(texts[1]->points[0], (Point{100, 122}));  // one label line below
  EXPECT_EQ(texts[1]->textColour, 0u);
  EXPECT_TRUE(texts[1]->opaque);
  EXPECT_EQ(texts[1]->backgroundColour, app().settings.backgroundColour);

  line.elem = &whole->e;
  EXPECT_EQ(line.LabelText(), "Linia bez kodu");
  EXPECT_EQ(line.GetKindName(), "Linia bez kodu");
}

TEST_F(Polylines, ConnectedDriplineIsDrawnAgainInBlue) {
  RecordingCanvas dc;
  CWDripline line;
  line.dc = &dc;
  line.AddVertex({0, 0});
  line.AddVertex({10, 0});
  line.connected = 1;
  line.Draw();
  auto lines = dc.of(Kind::Polyline);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1]->pen, platform::Pen::solid(kPointedColour, 3));
}

TEST_F(Polylines, PickAndDragAVertex) {
  RecordingCanvas dc;
  CWPipe pipe;
  pipe.dc = &dc;
  pipe.AddVertex({0, 0});
  pipe.AddVertex({100, 0});
  pipe.AddVertex({100, 100});
  pipe.Rescale(2.0f);  // vertices at (0,0) (200,0) (200,200)

  EXPECT_EQ(pipe.PickGrip({150, 150}, 0), 0);
  EXPECT_EQ(pipe.PickGrip({203, 4}, 1), 1);
  EXPECT_EQ(pipe.pickedVertex, 1);
  EXPECT_EQ(pipe.vertexColours[1], kPickedVertexColour);

  dc.clear();
  pipe.DragGrip({240, 10}, {203, 4});
  EXPECT_EQ(pipe.vertices[1], (Point{240, 10}));
  EXPECT_EQ(pipe.verticesU[1], (PointD{120, 5}));
  auto outlines = dc.of(Kind::Polyline);
  ASSERT_EQ(outlines.size(), 2u);
  EXPECT_EQ(outlines[0]->points[1], (Point{203, 4}));  // erased where it was drawn last
  EXPECT_EQ(outlines[1]->points[1], (Point{240, 10}));
  for (auto* op : outlines) {
    EXPECT_EQ(op->rop, platform::RasterOp::Not);
    EXPECT_EQ(op->pen, platform::Pen::solid(0, 3));
  }
  EXPECT_EQ(dc.rasterOp(), platform::RasterOp::CopyPen);

  pipe.ResetGrips();
  EXPECT_EQ(pipe.vertexColours[1], app().settings.systemPointColour);
  dc.clear();
  pipe.DragGrip({0, 0}, {240, 10});  // nothing picked: nothing moves
  EXPECT_EQ(pipe.vertices[1], (Point{240, 10}));
  EXPECT_TRUE(dc.of(Kind::Polyline).empty());
}

TEST_F(Polylines, PickAndDragTheLabel) {
  RecordingCanvas dc;
  CWDripline line;
  line.dc = &dc;
  line.AddVertex({50, 50});
  line.AddVertex({150, 50});
  line.Rescale(2.0f);  // first vertex (100, 100), label anchor (100, 120)
  EXPECT_EQ(line.PickGrip({101, 121}, 0), 1);
  EXPECT_EQ(line.labelGripPicked, 1);
  line.DragGrip({131, 81}, {101, 121});
  EXPECT_EQ(line.labelDx, 15);
  EXPECT_EQ(line.labelDy, -9);  // -19 x 0.5, truncated
  EXPECT_EQ(line.vertices[0], (Point{100, 100}));

  line.ResetGrips();
  line.ShowLabel(0);
  EXPECT_EQ(line.PickGrip({130, 82}, 0), 0);
}

TEST_F(Polylines, RubberBandErasesUnlessThePlanWasJustRepainted) {
  RecordingCanvas dc;
  CWPipe pipe;
  pipe.dc = &dc;
  pipe.AddVertex({0, 0});
  pipe.AddVertex({10, 0});

  pipe.DrawRubberBand({30, 30}, {20, 20});
  auto lines = dc.of(Kind::Line);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0]->points, (std::vector<Point>{{10, 0}, {20, 20}}));
  EXPECT_EQ(lines[1]->points, (std::vector<Point>{{10, 0}, {30, 30}}));
  EXPECT_EQ(lines[0]->rop, platform::RasterOp::Not);
  EXPECT_EQ(lines[0]->pen, platform::Pen::solid(0, 3));
  auto existing = dc.of(Kind::Polyline);
  ASSERT_EQ(existing.size(), 1u);
  EXPECT_EQ(existing[0]->rop, platform::RasterOp::CopyPen);

  dc.clear();
  app().undoRedrawPending = 1;
  pipe.DrawRubberBand({40, 40}, {30, 30});
  lines = dc.of(Kind::Line);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0]->points, (std::vector<Point>{{10, 0}, {40, 40}}));
  EXPECT_EQ(lines[0]->rop, platform::RasterOp::CopyPen);
  EXPECT_EQ(dc.of(Kind::Polyline).size(), 1u);
  EXPECT_EQ(app().undoRedrawPending, 0);
}

TEST_F(Polylines, HighlightedAndPointedOutlines) {
  RecordingCanvas dc;
  CWPipe pipe;
  pipe.dc = &dc;
  pipe.AddVertex({0, 0});
  pipe.AddVertex({10, 0});
  pipe.DrawHighlighted();
  pipe.showGrips = 0;
  pipe.DrawPointed();
  auto lines = dc.of(Kind::Polyline);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0]->pen, platform::Pen::solid(app().settings.highlightColour, 3));
  EXPECT_EQ(lines[1]->pen, platform::Pen::solid(0xFF0000, 3));
  EXPECT_EQ(dc.of(Kind::FillRect).size(), 2u);  // the vertices of the highlighted outline only
}

TEST_F(Polylines, CloneAtShiftsEveryVertex) {
  auto type = dripType("L <X>", "<2>", 30.0f, 2.0f);
  CWDripline line;
  line.elem = &type->e;
  line.flow = 0.5f;
  line.Rescale(2.0f);
  line.AddVertex({10, 10});
  line.AddVertex({31, 50});
  auto copy = line.CloneAt({101, 20});
  ASSERT_TRUE(copy);
  ASSERT_EQ(copy->GetType(), kTypeDripline);
  auto& c = static_cast<CWDripline&>(*copy);
  EXPECT_EQ(c.vertices, (std::vector<Point>{{101, 20}, {122, 60}}));
  EXPECT_EQ(c.verticesU, (std::vector<PointD>{{50, 10}, {61, 30}}));  // truncated plan units
  EXPECT_EQ(c.elem, &type->e);
  EXPECT_EQ(c.GetFlow(), 0.5f);
  EXPECT_EQ(line.vertices[0], (Point{10, 10}));
}

TEST_F(Polylines, ChangeDriplineTypeListsSortedShortNames) {
  auto b = dripType("Linia <b16>", "<1>", 30.0f, 2.0f);
  auto a = dripType("Linia <A20>", "<5>", 20.0f, 2.0f);
  auto whole = dripType("Kroplownik", "<1>", 30.0f, 1.0f);
  auto old = dripType("Stara <C>", "<1>", 30.0f, 1.0f);
  TestElem pipe(kKindPipe, "Rura <20>");
  old->e.archived = 1;
  b->e.next = &a->e;
  a->e.next = &pipe.e;
  pipe.e.next = &whole->e;
  whole->e.next = &old->e;

  auto choices = driplineTypeChoices(&b->e, &b->e);
  ASSERT_EQ(choices.size(), 3u);
  EXPECT_EQ(choices[0].text, "A20");
  EXPECT_EQ(choices[1].text, "b16");
  EXPECT_EQ(choices[2].text, "Kroplownik");
  EXPECT_EQ(driplineTypeIndex(choices, &b->e), 1);
  // The current type stays choosable when it has been archived.
  EXPECT_EQ(driplineTypeChoices(&b->e, &old->e).size(), 4u);

  CWDripline line;
  line.elem = &b->e;
  line.AddVertex({0, 0});
  line.AddVertex({290, 0});  // 10 m
  line.UpdateFlow(kDenominator, kPixelsPerCm, 1.7f);
  EXPECT_EQ(line.compensating, 1);
  applyDriplineType(line, choices[0].elem, kDenominator, kPixelsPerCm, 1.7f);
  EXPECT_EQ(line.elem, &a->e);
  EXPECT_EQ(line.compensating, 0);
  EXPECT_EQ(line.curveIndex, 3);
  EXPECT_NEAR(line.flow, 50 * 2.75f / 1000.0f, 1e-6);
}
