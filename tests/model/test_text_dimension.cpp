// Free texts and dimension lines.

#include <gtest/gtest.h>

#include "document/graphic_plane.h"

#include <cmath>

#include "objects/text_dimension.h"
#include "platform/recording_canvas.h"
#include "platform/textcodec.h"

namespace {

using platform::RecordingCanvas;
using Kind = platform::RecordingCanvas::Kind;

class GridView : public PlanViewLink {
 public:
  bool snap = false;
  bool snapToGrid() const override { return snap; }
  void movePointerTo(Point) override {}
};

class Annotations : public ::testing::Test {
 protected:
  void SetUp() override {
    app().settings.systemPointColour = 0x00AA00;
    app().settings.highlightColour = 0x0000CC;
    app().settings.labelFontHeight = 12;
    app().settings.labelFontWeight = 700;
    app().settings.labelFontFace = "Tahoma";
    app().planView = &view;
    // 100 plan units to the metre.
    doc.scaleDenominator = 29.0f;
    doc.pixelsPerCm = 29.0f;
  }
  void TearDown() override { app().planView = nullptr; }
  CGraphicPlane doc;

  static CWDimension line(Point a, Point b, Point c, double zoom = 1.0, int calibPixels = 100,
                          float calibLength = 1.0f) {
    CWDimension d;
    d.Start(a, zoom, calibPixels, calibLength);
    d.SetEnd(b);
    d.Complete(c);
    return d;
  }

  GridView view;
};

}  // namespace

// --- dimension line ----------------------------------------------------------------

TEST(DimensionText, ThreeSignificantDigitsAndTwoDecimals) {
  const struct {
    float metres;
    const char* text;
  } cases[] = {{5.2f, "5.20 m"},     {123.0f, "123.00 m"}, {0.523f, "0.523 m"}, {2.6f, "2.60 m"},
               {12.34f, "12.30 m"},  {0.0f, "0.00 m"},     {7.0f, "7.00 m"},    {99.96f, "100.00 m"},
               {0.05f, "0.05 m"},    {0.0523f, "0.0523 m"},
               // Too long for three digits without an exponent: two decimals.
               {1234.5f, "1234.50 m"}};
  for (const auto& c : cases) EXPECT_EQ(CWDimension::formatLength(c.metres), c.text) << c.metres;
}

TEST_F(Annotations, DimensionMeasuresByScaleOrByTheGrid) {
  const struct {
    double zoom;
    Point b;
    bool snap;
    int calibPixels;
    float calibLength;
    const char* text;
  } cases[] = {
      {1.0, {260, 0}, false, 100, 2.0f, "2.60 m"},
      {2.0, {520, 0}, false, 200, 4.0f, "2.60 m"},  // the same line at zoom 2
      // Snapped to a grid of 100 pixels that stood for 2 m: 1.5 grid steps.
      {1.0, {150, 0}, true, 100, 2.0f, "3.00 m"},
      {1.0, {0, 150}, true, 100, 2.0f, "3.00 m"},
      {2.0, {300, 0}, true, 200, 4.0f, "3.00 m"},
      // Oblique lines are measured by the drawing scale even when snapped.
      {1.0, {90, 120}, true, 100, 2.0f, "1.50 m"},
      // Without a grid step the scale measures instead of dividing by zero.
      {1.0, {150, 0}, true, 0, 2.0f, "1.50 m"},
  };
  for (const auto& c : cases) {
    view.snap = c.snap;
    CWDimension d = line({0, 0}, c.b, {c.b.x, c.b.y + 20}, c.zoom, c.calibPixels, c.calibLength);
    EXPECT_EQ(d.text, c.text) << c.b.x << "," << c.b.y << " zoom " << c.zoom;
    EXPECT_EQ(d.complete, 1);
  }
}

TEST_F(Annotations, DimensionFigureArrowheadsAndExtensionLines) {
  CWDimension d = line({100, 100}, {200, 100}, {230, 60});
  const struct {
    float zoom;
    std::vector<Point> arrowAtB, arrowAtA;
    std::vector<Point> extA, extB;
  } cases[] = {
      {1.0f, {{200, 100}, {192, 98}, {192, 102}}, {{100, 100}, {108, 102}, {108, 98}},
       {{100, 100}, {100, 70}}, {{200, 100}, {200, 70}}},
      {2.0f, {{400, 200}, {384, 196}, {384, 204}}, {{200, 200}, {216, 204}, {216, 196}},
       {{200, 200}, {200, 140}}, {{400, 200}, {400, 140}}},
  };
  for (const auto& c : cases) {
    d.Rescale(c.zoom);
    RecordingCanvas dc;
    d.dc = &dc;
    d.showGrips = 0;
    d.Draw();
    auto lines = dc.of(Kind::Line);
    auto arrows = dc.of(Kind::Polygon);
    ASSERT_EQ(lines.size(), 3u);
    ASSERT_EQ(arrows.size(), 2u);
    EXPECT_EQ(lines[0]->points, (std::vector<Point>{c.arrowAtA[0], c.arrowAtB[0]}));
    EXPECT_EQ(lines[0]->pen, platform::Pen::solid(0, 1));
    EXPECT_EQ(arrows[0]->points, c.arrowAtB) << c.zoom;
    EXPECT_EQ(arrows[1]->points, c.arrowAtA) << c.zoom;
    EXPECT_EQ(arrows[0]->brush, platform::Brush::solid(0));
    EXPECT_EQ(lines[1]->points, c.extA);
    EXPECT_EQ(lines[2]->points, c.extB);
  }
  // While it is being placed: nothing before B, no extension lines before C.
  CWDimension placing;
  placing.Start({10, 10}, 1.0, 100, 1.0f);
  RecordingCanvas dc;
  placing.dc = &dc;
  placing.showGrips = 0;
  placing.Draw();
  EXPECT_TRUE(dc.ops.empty());
  placing.SetEnd({10, 10});  // a line of no length has no arrowheads
  placing.Draw();
  EXPECT_EQ(dc.of(Kind::Line).size(), 1u);
  EXPECT_TRUE(dc.of(Kind::Polygon).empty());
  EXPECT_FALSE(std::isnan(placing.normalX));
}

TEST_F(Annotations, DimensionGripsMoveEndsAndRemeasure) {
  RecordingCanvas dc;
  CWDimension d = line({100, 100}, {200, 100}, {230, 60});
  d.dc = &dc;
  EXPECT_EQ(d.text, "1.00 m");
  // B is offered before A; mode 1 takes A only.
  ASSERT_EQ(d.PickGrip({201, 101}, 0), 1);
  EXPECT_EQ(d.endGripPicked, 1);
  d.DragGrip({300, 100}, {});
  EXPECT_EQ((Point{d.endBx, d.endBy}), (Point{330, 60}));  // C follows B
  EXPECT_DOUBLE_EQ(d.endBUx, 330.0);
  EXPECT_EQ(d.text, "2.00 m");
  EXPECT_EQ((Point{d.labelAnchorX, d.labelAnchorY}), (Point{200, 100}));
  EXPECT_EQ(dc.rasterOp(), platform::RasterOp::CopyPen);

  d.ResetGrips();
  EXPECT_EQ(d.PickGrip({300, 100}, 1), 0);
  ASSERT_EQ(d.PickGrip({100, 100}, 1), 1);
  d.DragGrip({0, 100}, {});
  EXPECT_EQ(d.text, "3.00 m");
  EXPECT_EQ((Point{d.endBx, d.endBy}), (Point{330, 60}));

  // The label sits at the middle of A and B plus its offset, and moves by
  // its own grip.
  d.ResetGrips();
  ASSERT_EQ(d.PickGrip({140, 110}, 0), 1);
  ASSERT_EQ(d.labelGripPicked, 1);
  d.DragGrip({160, 80}, {});
  EXPECT_EQ(d.labelDx, 10);
  EXPECT_EQ(d.labelDy, -20);
  EXPECT_EQ(d.CloneAt({0, 0}), nullptr);
}

TEST_F(Annotations, DimensionLabelFollowsTheZoom) {
  CWDimension d = line({100, 100}, {200, 100}, {230, 60});
  d.labelAngle = 900;
  d.Rescale(2.0f);
  RecordingCanvas dc;
  d.dc = &dc;
  d.DrawLabel();
  auto texts = dc.of(Kind::Text);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0]->text, "1.00 m");
  EXPECT_EQ(texts[0]->points[0], (Point{280, 220}));  // (300, 200) + (-10, 10) x 2
  EXPECT_EQ(texts[0]->font.height, 24);
  EXPECT_EQ(texts[0]->font.escapement, 900);
  EXPECT_EQ(texts[0]->font.weight, 700);
  EXPECT_EQ(texts[0]->font.face, "Tahoma");
  EXPECT_EQ(dc.font(), platform::Font{});  // the label font is put back

  EXPECT_EQ(d.GetType(), 1006);
  EXPECT_EQ(d.GetKindName(), platform::utf8ToCp1250("Linie wymiarujące"));
}

TEST_F(Annotations, DimensionZoomRoundTrip) {
  CWDimension d = line({33, 47}, {135, 77}, {141, 21}, 2.0);
  auto pixels = [&] {
    return std::vector<int>{d.posX, d.posY, d.endAx, d.endAy, d.endBx, d.endBy, d.labelAnchorX, d.labelAnchorY};
  };
  const auto atTwo = pixels();
  d.Rescale(1.0f);
  const auto atOne = pixels();
  d.Rescale(2.0f);
  EXPECT_EQ(pixels(), atTwo);
  d.Rescale(1.0f);
  EXPECT_EQ(pixels(), atOne);
  EXPECT_FLOAT_EQ(d.zoomF, 1.0f);

  // A line read back holds plan units and its stored text only.
  CWDimension read;
  read.posUx = d.posUx;
  read.posUy = d.posUy;
  read.endAUx = d.endAUx;
  read.endAUy = d.endAUy;
  read.endBUx = d.endBUx;
  read.endBUy = d.endBUy;
  read.text = "7.00 m";
  read.restoreFromPlanUnits();
  EXPECT_EQ((std::vector<int>{read.posX, read.posY, read.endAx, read.endAy, read.endBx, read.endBy, read.labelAnchorX,
                              read.labelAnchorY}),
            atOne);
  EXPECT_EQ(read.complete, 1);
  EXPECT_EQ(read.text, "7.00 m");
  RecordingCanvas dc;
  read.dc = &dc;
  read.showGrips = 0;
  read.Draw();
  EXPECT_EQ(dc.of(Kind::Line).size(), 3u);  // drawn in full
}

// --- free text -------------------------------------------------------------------

TEST_F(Annotations, TextDrawsWithItsOwnFont) {
  CWText t;
  t.PlaceAt({40, 30}, 2.0);
  t.setText(platform::utf8ToCp1250("Rabata różana"));
  t.setFontFace("Verdana");
  t.fontHeight = 10;
  t.fontWeight = 700;
  t.textAngle = 450;
  t.italic = 1;
  t.underline = 1;
  t.textColour = 0x123456;
  RecordingCanvas dc;
  dc.setTextColour(0x999999);
  t.dc = &dc;
  t.DrawLabel();
  auto texts = dc.of(Kind::Text);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0]->text, platform::utf8ToCp1250("Rabata różana"));
  EXPECT_EQ(texts[0]->points[0], (Point{40, 30}));
  EXPECT_EQ(texts[0]->textColour, 0x123456u);
  EXPECT_EQ(texts[0]->font, (platform::Font{"Verdana", 21, 700, true, true, 450}));
  EXPECT_EQ(dc.textColour(), 0x999999u);

  // No label grip: the text is the object.
  dc.clear();
  t.Draw();
  EXPECT_EQ(dc.of(Kind::FillRect).size(), 1u);
  EXPECT_EQ(t.PickGrip({40, 30}, 0), 1);
  EXPECT_EQ(t.posGripPicked, 1);

  t.setText(std::string(2000, 'x'));
  EXPECT_EQ(t.text.size(), 1023u);
  t.setFontFace(std::string(1500, 'f'));
  EXPECT_EQ(t.fontFace.size(), 1023u);
  EXPECT_EQ(t.GetKindName(), "Wstawiony Tekst");
  EXPECT_EQ(t.GetType(), 1205);
}

TEST_F(Annotations, TextCrossesForHighlightAndDrag) {
  CWText t;
  t.PlaceAt({50, 50}, 1.0);
  RecordingCanvas dc;
  t.dc = &dc;
  t.DrawHighlighted();
  auto cross = dc.of(Kind::Line);
  ASSERT_EQ(cross.size(), 2u);
  EXPECT_EQ(cross[0]->points, (std::vector<Point>{{45, 50}, {60, 50}}));
  EXPECT_EQ(cross[1]->points, (std::vector<Point>{{50, 45}, {50, 60}}));
  EXPECT_EQ(cross[0]->pen, platform::Pen::solid(0, 1));

  dc.clear();
  ASSERT_EQ(t.PickGrip({52, 51}, 1), 1);
  dc.clear();
  t.DragGrip({80, 90}, {});
  auto drag = dc.of(Kind::Line);
  ASSERT_EQ(drag.size(), 4u);
  EXPECT_EQ(drag[0]->points, (std::vector<Point>{{45, 50}, {55, 50}}));
  EXPECT_EQ(drag[3]->points, (std::vector<Point>{{80, 85}, {80, 95}}));
  for (auto* l : drag) EXPECT_EQ(l->rop, platform::RasterOp::Not);
  EXPECT_EQ(dc.rasterOp(), platform::RasterOp::CopyPen);
  EXPECT_DOUBLE_EQ(t.posUy, 90.0);

  auto copy = t.CloneAt({10, 5});
  ASSERT_NE(copy, nullptr);
  auto* moved = static_cast<CWText*>(copy.get());
  EXPECT_EQ((Point{moved->posX, moved->posY}), (Point{10, 5}));
  EXPECT_EQ(moved->text, t.text);

  t.Rescale(2.0f);
  t.Rescale(1.0f);
  EXPECT_EQ((Point{t.posX, t.posY}), (Point{80, 90}));
}
