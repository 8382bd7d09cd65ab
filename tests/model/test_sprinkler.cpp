// Rotary sprinklers: nozzle lookup, placement, reduction, drawing, control
// points, zoom and copies.

#include <gtest/gtest.h>

#include "document/graphic_plane.h"

#include <cmath>
#include <cstring>

#include "objects/sprinkler.h"
#include "partix.h"
#include "platform/recording_canvas.h"

namespace platform {
inline void PrintTo(const Point& p, std::ostream* os) { *os << "(" << p.x << ", " << p.y << ")"; }
}  // namespace platform

inline void PrintTo(const PointD& p, std::ostream* os) { *os << "(" << p.x << ", " << p.y << ")"; }

namespace {

using platform::RecordingCanvas;
using Kind = platform::RecordingCanvas::Kind;

// A sprinkler body built in code: nozzle "1.5" with two valid points,
// nozzle "2.0" with four points of which the last two carry no flow, and
// nozzle "0.1" throwing 0.2 m.
struct Body {
  CElem elem;
  CDBSprinkler* rec = nullptr;
  explicit Body(const char* name = "Zraszacz <T5> obrotowy", bool fullCircle = false) {
    elem.InitData(kKindSprinkler);
    rec = static_cast<CDBSprinkler*>(elem.data);
    std::strncpy(rec->name, name, sizeof rec->name - 1);
    rec->nozzleCount = 3;
    rec->fullCircle = fullCircle;
    std::memcpy(rec->nozzles[0].nozzleName, "1.5", 4);
    rec->nozzles[0].work[0] = {2, 1.0f, 10};
    rec->nozzles[0].work[1] = {3, 1.2f, 12};
    std::memcpy(rec->nozzles[1].nozzleName, "2.0ABCDE", 8);  // all 8 bytes used, no terminator
    rec->nozzles[1].work[0] = {2, 1.0f, 10};
    rec->nozzles[1].work[1] = {3, 1.2f, 12};
    rec->nozzles[1].work[2] = {4, 0, 14};
    rec->nozzles[1].work[3] = {5, 0, 16};
    std::memcpy(rec->nozzles[2].nozzleName, "0.1", 4);
    rec->nozzles[2].work[0] = {2, 0.1f, 0.2f};
  }
  ~Body() { elem.FreeData(); }
};

// Settings the tests rely on, restored afterwards.
class SprinklerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = app().settings;
    app().settings.rememberedRange = {};
    app().settings.systemPointColour = 0x0000FF;
    app().settings.rangeColour = 0x00AA00;
    app().settings.highlightColour = 0x00FFFF;
    app().settings.backgroundColour = 0xEEEEEE;
    app().settings.labelFontHeight = 12;
  }
  void TearDown() override {
    app().settings = saved_;
  }

  // A sprinkler of nozzle `row` placed at (400, 300) at 1:100, 29 px/cm.
  CWSprinkler placed(Body& body, int row = 0, float pressure = 2.0f, float zoom = 1.0f) {
    CWSprinkler s;
    s.elem = &body.elem;
    s.nozzleNo = row;
    s.PlaceAt({400, 300}, zoom, 100, 29, pressure);
    return s;
  }

  AppSettings saved_;
};

double distance(Point a, Point b) { return std::hypot(a.x - b.x, a.y - b.y); }
double distance(PointD a, PointD b) { return std::hypot(a.x - b.x, a.y - b.y); }

}  // namespace

TEST_F(SprinklerTest, NozzleLookupBelowBetweenAndAboveThePoints) {
  Body body;
  const struct {
    int row;
    float p;
    float q, r;
  } cases[] = {
      {0, 1.0f, 1.0f, 10}, {0, 2.0f, 1.0f, 10}, {0, 2.5f, 1.1f, 11}, {0, 3.0f, 1.2f, 12}, {0, 7.0f, 1.2f, 12},
      // the third and fourth points carry no flow: only the first two count
      {1, 3.5f, 1.2f, 12}, {1, 4.5f, 1.2f, 12},
      // rows outside the table give neither flow nor radius
      {-1, 2.5f, 0, 0}, {100, 2.5f, 0, 0},
  };
  for (const auto& c : cases) {
    CWSprinkler s;
    s.elem = &body.elem;
    s.EvaluateNozzle(c.row, c.p);
    EXPECT_NEAR(s.flow, c.q, 1e-6) << c.row << " at " << c.p;
    EXPECT_NEAR(s.radiusM, c.r, 1e-5) << c.row << " at " << c.p;
    EXPECT_EQ(s.flowNominal, s.flow);
    EXPECT_EQ(s.radiusNominalM, s.radiusM);
  }
}

TEST_F(SprinklerTest, NewSprinklerWatersFortyDegreesCounterclockwiseFromTheRight) {
  Body body;
  CWSprinkler s = placed(body);
  EXPECT_EQ(s.radiusU, 290.0f);
  EXPECT_EQ(s.radiusPx, 290);
  EXPECT_EQ(s.arcStart, (Point{690, 300}));
  // cos 40 x 290 = 222.15, sin 40 x 290 = 186.41: up and to the right on the screen
  EXPECT_EQ(s.arcEnd, (Point{622, 114}));
  EXPECT_EQ(s.arcEndU, (PointD{622, 114}));
  EXPECT_FALSE(s.IsFullCircle());

  RecordingCanvas dc;
  s.dc = &dc;
  s.Draw();
  auto arcs = dc.of(Kind::Arc);
  ASSERT_EQ(arcs.size(), 1u);
  EXPECT_EQ(arcs[0]->rect, (platform::Rect{110, 10, 690, 590}));
  EXPECT_EQ(arcs[0]->points[0], s.arcStart);  // counterclockwise from the start to the end
  EXPECT_EQ(arcs[0]->points[1], s.arcEnd);
  EXPECT_EQ(arcs[0]->pen, platform::Pen::solid(0x00AA00, 1));
  EXPECT_EQ(dc.of(Kind::Line).size(), 2u);  // the two radii
  auto ellipses = dc.of(Kind::Ellipse);
  ASSERT_EQ(ellipses.size(), 1u);  // the centre dot
  EXPECT_EQ(ellipses[0]->rect, (platform::Rect{396, 296, 404, 304}));
  EXPECT_EQ(ellipses[0]->brush, platform::Brush::solid(0x808080));
  auto grips = dc.of(Kind::FillRect);
  ASSERT_EQ(grips.size(), 4u);  // position, both arc ends, label
  EXPECT_EQ(grips[0]->fill, kSprinklerPosGripColour);
  EXPECT_EQ(grips[1]->fill, 0x0000FFu);
}

TEST_F(SprinklerTest, RememberedRangeAndFullCircleBodies) {
  Body body;
  CWSprinkler first = placed(body);
  first.arcStart = {400, 590};  // downwards
  first.arcEnd = {110, 300};    // to the left
  first.RememberRange();
  const RememberedRange& range = app().settings.rememberedRange;
  EXPECT_EQ(range.valid, 1);
  EXPECT_DOUBLE_EQ(range.startY, 1.0);
  EXPECT_DOUBLE_EQ(range.endX, -1.0);

  CWSprinkler second = placed(body, 0, 2.0f, 2.0f);  // at zoom 2: 580 pixels
  EXPECT_EQ(second.arcStart, (Point{400, 880}));
  EXPECT_EQ(second.arcEnd, (Point{-180, 300}));

  // A degenerate arc leaves the remembered range as it was.
  CWSprinkler point = placed(body);
  point.arcStart = point.pos;
  point.RememberRange();
  EXPECT_DOUBLE_EQ(app().settings.rememberedRange.startY, 1.0);

  // A full-circle body ignores the remembered range; its two arc-end points
  // coincide, no radii are drawn and the ends cannot be picked.
  Body round("Rotor pelny", true);
  CWSprinkler full = placed(round);
  EXPECT_EQ(full.arcStart, (Point{690, 300}));
  EXPECT_EQ(full.arcEnd, full.arcStart);
  EXPECT_TRUE(full.IsFullCircle());
  RecordingCanvas dc;
  full.dc = &dc;
  full.Draw();
  EXPECT_EQ(dc.of(Kind::Line).size(), 0u);
  EXPECT_EQ(dc.of(Kind::FillRect).size(), 4u);
  EXPECT_EQ(full.PickGrip(full.arcStart, 0), 0);
}

TEST_F(SprinklerTest, ArcEndsWithinFivePlanUnitsWaterTheFullCircle) {
  Body body;
  CWSprinkler s = placed(body, 0, 2.0f, 2.0f);
  const Point start = s.arcStart;
  const struct {
    Point end;
    bool full;
  } cases[] = {{{start.x, start.y - 9}, true}, {{start.x, start.y - 10}, false}, {start, true}};
  for (const auto& c : cases) {
    s.arcEnd = c.end;  // at zoom 2, 5 plan units are 10 pixels
    EXPECT_EQ(s.IsFullCircle(), c.full) << c.end.y;
    RecordingCanvas dc;
    s.dc = &dc;
    s.Draw();
    ASSERT_EQ(dc.of(Kind::Arc).size(), 1u);
    // the whole circle, even when the end lies just counterclockwise of the start
    if (c.full) {
      EXPECT_EQ(dc.of(Kind::Arc)[0]->points[1], start);
    }
    EXPECT_EQ(dc.of(Kind::Line).size(), c.full ? 0u : 2u);
  }
}

TEST_F(SprinklerTest, ReductionShortensTheRadiusByUpToAQuarterAndKeepsTheFlow) {
  Body body;
  CWSprinkler s = placed(body);
  s.arcEnd = {400, 10};  // straight up
  s.arcEndU = {400, 10};
  s.ReduceRadiusAt(1.0f, 100, 29);  // a 10 m nozzle reduced to 7.5 m
  EXPECT_EQ(s.radiusU, 217.5f);
  EXPECT_EQ(s.radiusPx, 217);
  EXPECT_EQ(s.reduction, 1.0f);
  EXPECT_FLOAT_EQ(s.flow, 1.0f);
  EXPECT_EQ(s.arcStartU, (PointD{617.5, 300}));
  EXPECT_EQ(s.arcEndU, (PointD{400, 82.5}));
  EXPECT_EQ(s.arcEnd, (Point{400, 82}));

  // "Wyjdź" reduces by 0: back to 10 m.
  s.ReduceRadiusAt(0.0f, 100, 29);
  EXPECT_EQ(s.radiusU, 290.0f);
  EXPECT_EQ(s.arcStart, (Point{690, 300}));

  // The virtual operation takes the open document's scale; the slider of the
  // dialog runs to 25 %.
  CGraphicPlane doc;
  doc.scaleDenominator = 200;
  doc.sourcePressure = 2.0f;
  EXPECT_EQ(reductionSliderMax(s), 25);
  applyReductionSlider(s, 25);
  EXPECT_EQ(s.radiusU, 108.75f);  // 145 x 0.75
  EXPECT_EQ(reductionSliderPosition(s), 25);

  // A new source pressure re-evaluates the nozzle and keeps the reduction.
  s.ApplyPressure(3.0f, 100, 29);
  EXPECT_FLOAT_EQ(s.flow, 1.2f);
  EXPECT_EQ(s.radiusU, 261.0f);  // 12 m x 29 x 0.75

  // So does a new drawing scale.
  s.RescaleRadius(200, 29);
  EXPECT_EQ(s.radiusU, 130.5f);
  EXPECT_NEAR(distance(s.posU, s.arcStartU), 130.5, 1e-9);
}

TEST_F(SprinklerTest, DrawingScaleWithoutDenominatorGivesNoRadius) {
  // A damaged file's scale 1:0 must not turn the radius into an infinity
  // that no pixel coordinate can hold.
  Body body;
  CWSprinkler s;
  s.elem = &body.elem;
  s.PlaceAt({400, 300}, 1.0f, 0, 29, 2.0f);
  EXPECT_EQ(s.radiusU, 0.0f);
  EXPECT_EQ(s.radiusPx, 0);
  EXPECT_FLOAT_EQ(s.flow, 1.0f);
  s = placed(body);
  s.RescaleRadius(0, 29);
  EXPECT_EQ(s.radiusU, 0.0f);
  EXPECT_EQ(s.arcStart, s.pos);
  s.ChangeNozzle(1, 1.0f, 0, 29, 2.0f);
  EXPECT_EQ(s.radiusPx, 0);
}

TEST_F(SprinklerTest, ZoomRoundTripRestoresEveryPixel) {
  Body body;
  CWSprinkler s = placed(body, 0, 2.5f);
  s.ReduceRadiusAt(0.37f, 100, 29);  // plan units with fractions
  const CWSprinkler before = s;
  for (float zoom : {2.0f, 0.1f, 15.0f, 1.0f}) s.Rescale(zoom);
  EXPECT_EQ(s.pos, before.pos);
  EXPECT_EQ(s.arcStart, before.arcStart);
  EXPECT_EQ(s.arcEnd, before.arcEnd);
  EXPECT_EQ(s.radiusPx, before.radiusPx);
  EXPECT_EQ(s.scale, 1.0);
  s.Rescale(2.0f);
  EXPECT_EQ(s.radiusPx, static_cast<int>(s.radiusU * 2.0f));
  EXPECT_EQ(s.pos, (Point{800, 600}));
}

TEST_F(SprinklerTest, ModeZeroPicksArcEndsBeforeThePosition) {
  Body body;
  CWSprinkler s = placed(body, 2);  // 0.2 m: 5 pixels
  ASSERT_EQ(s.radiusPx, 5);
  RecordingCanvas dc;
  s.dc = &dc;
  const Point between{403, 300};  // within reach of the position and of the start
  EXPECT_EQ(s.PickGrip(between, 0), 1);
  EXPECT_EQ(s.arcStartGripPicked, 1);
  EXPECT_EQ(s.posGripPicked, 0);
  EXPECT_EQ(s.arcStartGripColour, kPickedGripColour);
  s.ResetGrips();
  EXPECT_EQ(s.PickGrip(between, 1), 1);  // mode 1: the position only
  EXPECT_EQ(s.posGripPicked, 1);
  EXPECT_EQ(s.arcStartGripPicked, 0);
  s.ResetGrips();
  EXPECT_EQ(s.PickGrip({390, 310}, 0), 1);  // the label anchor
  EXPECT_EQ(s.labelGripPicked, 1);
  s.ResetGrips();
  EXPECT_EQ(s.PickGrip(between, 2), 0);  // other modes take none
  EXPECT_EQ(s.PickGrip({500, 500}, 0), 0);
}

TEST_F(SprinklerTest, DraggingArcEndsPositionAndLabel) {
  Body body;
  CWSprinkler s = placed(body);
  RecordingCanvas dc;
  s.dc = &dc;
  ASSERT_EQ(s.PickGrip(s.arcEnd, 0), 1);
  dc.clear();
  s.DragGrip({400, 100}, s.arcEnd);  // straight up, any distance: onto the circle
  EXPECT_EQ(s.arcEnd, (Point{400, 10}));
  EXPECT_EQ(s.arcEndU, (PointD{400, 10}));
  // the old figure erased and the new one drawn, inverted, in the drag pen
  auto arcs = dc.of(Kind::Arc);
  ASSERT_EQ(arcs.size(), 2u);
  EXPECT_EQ(arcs[0]->points[1], (Point{622, 114}));
  EXPECT_EQ(arcs[1]->points[1], (Point{400, 10}));
  EXPECT_EQ(arcs[1]->rop, platform::RasterOp::Not);
  EXPECT_EQ(arcs[1]->pen, platform::Pen::solid(0x000080, 2));
  EXPECT_EQ(dc.rasterOp(), platform::RasterOp::CopyPen);
  s.DragGrip(s.pos, {400, 100});  // onto the centre: no direction, nothing moves
  EXPECT_EQ(s.arcEnd, (Point{400, 10}));

  s.ResetGrips();
  ASSERT_EQ(s.PickGrip({401, 301}, 1), 1);
  s.DragGrip({411, 281}, {401, 301});
  EXPECT_EQ(s.pos, (Point{410, 280}));
  EXPECT_EQ(s.arcStart, (Point{700, 280}));
  EXPECT_EQ(s.arcEnd, (Point{410, -10}));
  EXPECT_EQ(s.arcEndU, (PointD{410, -10}));

  s.ResetGrips();
  s.Rescale(2.0f);
  ASSERT_EQ(s.PickGrip(s.labelAnchor(s.pos), 0), 1);
  s.DragGrip({s.pos.x + 40, s.pos.y - 20}, s.labelAnchor(s.pos));
  EXPECT_EQ(s.labelDx, 20);
  EXPECT_EQ(s.labelDy, -10);
}

TEST_F(SprinklerTest, LabelAndFlowTexts) {
  const struct {
    const char* name;
    int row;
    const char* label;
  } cases[] = {
      {"Zraszacz <T5> obrotowy", 0, "T5(1.5)"},
      {"Rotor bez kodu", 0, "Rotor bez kodu(1.5)"},
      {"Rotor <niedomkniety", 0, "Rotor <niedomkniety(1.5)"},
      {"<A>b<C>", 1, "A(2.0ABCDE)"},
  };
  for (const auto& c : cases) {
    Body body(c.name);
    CWSprinkler s = placed(body, c.row, 2.5f, 2.0f);
    RecordingCanvas dc;
    s.dc = &dc;
    s.DrawLabel();
    auto texts = dc.of(Kind::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0]->text, c.label);
    EXPECT_EQ(texts[0]->points[0], (Point{380, 320}));  // (400, 300) + (-10, 10) at zoom 2
    EXPECT_EQ(s.GetKindName(), c.name);
  }
  Body body;
  CWSprinkler s = placed(body, 0, 2.5f, 2.0f);
  RecordingCanvas dc;
  dc.setTextColour(0x123456);
  s.dc = &dc;
  s.DrawFlow();
  auto texts = dc.of(Kind::Text);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0]->text, "1.10");
  EXPECT_EQ(texts[0]->points[0], (Point{380, 344}));  // one label line (12 x 2) lower
  EXPECT_EQ(texts[0]->textColour, 0u);
  EXPECT_EQ(texts[0]->backgroundColour, 0xEEEEEEu);
  EXPECT_EQ(dc.textColour(), 0x123456u);  // the canvas's state is given back
}

TEST_F(SprinklerTest, CloneAtShiftsEveryPointAndChangeNozzleKeepsTheArc) {
  Body body;
  CWSprinkler s = placed(body);
  s.SetSectionNo(2);
  auto copy = s.CloneAt({100, 50});
  ASSERT_TRUE(copy);
  auto& c = dynamic_cast<CWSprinkler&>(*copy);
  EXPECT_EQ(c.pos, (Point{100, 50}));
  EXPECT_EQ(c.arcStart, (Point{390, 50}));
  EXPECT_EQ(c.arcEnd, (Point{322, -136}));
  EXPECT_EQ(c.arcEndU, (PointD{322, -136}));
  EXPECT_EQ(c.GetSectionNo(), 2);
  EXPECT_EQ(s.pos, (Point{400, 300}));

  s.ReduceRadiusAt(1.0f, 100, 29);
  s.ChangeNozzle(1, 1.0f, 100, 29, 3.0f);  // 12 m: the full radius, the reduction kept
  EXPECT_EQ(s.nozzleNo, 1);
  EXPECT_EQ(s.radiusPx, 348);
  EXPECT_EQ(s.radiusU, 348.0f);
  EXPECT_EQ(s.reduction, 1.0f);
  EXPECT_EQ(s.arcStart, (Point{748, 300}));
  EXPECT_NEAR(distance(s.pos, s.arcEnd), 348, 1.5);
  EXPECT_NEAR(std::atan2(-(s.arcEnd.y - 300.0), s.arcEnd.x - 400.0) * 180 / M_PI, 40, 0.5);
}
