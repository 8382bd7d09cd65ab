// Static sprinklers: nozzle lookups, arc measurement, strip geometry,
// reduction, drawing, labels and the nozzle selection.

#include <gtest/gtest.h>

#include "document/graphic_plane.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "objects/static_sprinkler.h"
#include "partix.h"
#include "platform/numtext.h"
#include "platform/recording_canvas.h"

namespace {

using platform::RecordingCanvas;
using Kind = RecordingCanvas::Kind;

// A catalogue element built in code; its record is freed with it.
class Element {
 public:
  Element(unsigned kind, const char* name) {
    e.InitData(kind);
    std::strncpy(e.data->name, name, sizeof e.data->name - 1);
  }
  ~Element() { e.FreeData(); }
  Element(const Element&) = delete;
  Element& operator=(const Element&) = delete;
  template <typename Record>
  Record& rec() {
    return *static_cast<Record*>(e.data);
  }
  CElem e;
};

void setStrip(CPrDane& s, float p, const char* size, float q) {
  s.pressure = p;
  std::strncpy(s.size, size, sizeof s.size);
  s.flow = q;
}

// At 1:100 and 29 plan units per centimetre one metre is 29 plan units.
constexpr float kScaleDenominator = 100.0f, kPixelsPerCm = 29.0f;

class StaticSprinklerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app().settings = AppSettings{};
    app().settings.labelFontHeight = 10;
    app().settings.rangeColour = 0x00FF00;
    app().settings.highlightColour = 0x00FFFF;
    app().settings.systemPointColour = 0x0000FF;
    app().currentSourcePressure = 0;
  }

  CWStaticSprinkler place(Element& nozzle, Point at, float pressure = 2.5f, float zoom = 1.0f) {
    CWStaticSprinkler s;
    s.elem = &body.e;
    s.nozzle = &nozzle.e;
    s.scale = 1.0 / zoom;
    s.PlaceAt(at, kScaleDenominator, kPixelsPerCm, pressure);
    return s;
  }

  // An arc of `degrees` counter-clockwise on the screen from the point right
  // of the head, radius 100 pixels; directions at multiples of 45 degrees.
  static void setArc(CWStaticSprinkler& s, int degrees) {
    static const std::map<int, Point> ends = {{45, {100, -100}}, {90, {0, -100}},  {135, {-100, -100}},
                                              {180, {-100, 0}},  {270, {0, 100}},  {360, {100, 2}}};
    s.pos = {200, 200};
    s.arcStart = {300, 200};
    const Point d = ends.at(degrees);
    s.arcEnd = {200 + d.x, 200 + d.y};
  }

  Element body{kKindStaticBody, "Korpus 10 cm <K-10>"};
};

// Arc entries at 90, 180 and 360 degrees; at 2.5 atm their flows are 0.25,
// 0.5 and 1.0 m3/h.
void fillVan(CDyszaVan& d) {
  d.rowCount = 3;
  const float angles[] = {90, 180, 360};
  for (int i = 0; i < 3; ++i) {
    const float q = 0.2f * static_cast<float>(1 << i);
    d.rows[i].angle = angles[i];
    d.rows[i].work[0] = {2.0f, q, 3.0f};
    d.rows[i].work[1] = {3.0f, q * 1.5f, 5.0f};
  }
}

}  // namespace

TEST_F(StaticSprinklerTest, AdjustableNozzleFlowFollowsTheMeasuredArc) {
  Element nozzle(kKindVanNozzle, "Dysza VAN <V-12>");
  fillVan(nozzle.rec<CDyszaVan>());
  CWStaticSprinkler s = place(nozzle, {200, 200});
  EXPECT_FLOAT_EQ(s.radiusM, 4.0f);  // the first entry's radius at 2.5 atm
  EXPECT_FLOAT_EQ(s.radiusU, 116.0f);
  const struct {
    int degrees;
    float arcDeg;
    float flow;
  } cases[] = {
      {45, 45.0f, 0.25f},      // below the smallest angle: its flow
      {90, 90.0f, 0.25f},      // on an entry
      {135, 135.0f, 0.375f},   // the mean of the 90 and 180 degree flows
      {180, 180.0f, 0.5f},
      {270, 270.0f, 0.75f},
      {360, 359.0f, 0.5f + 179.0f / 180.0f * 0.5f},  // ends 2 pixels apart: a full circle
  };
  for (const auto& c : cases) {
    setArc(s, c.degrees);
    s.FlowFromArc();
    EXPECT_NEAR(s.arcDeg, c.arcDeg, 1e-3) << c.degrees;
    EXPECT_NEAR(s.flow, c.flow, 1e-5) << c.degrees;
  }
  nozzle.rec<CDyszaVan>().rowCount = 0;
  s.FlowFromArc();
  EXPECT_EQ(s.flow, 0.0f);
}

TEST_F(StaticSprinklerTest, AdjustableRotaryNozzleFlagsAnglesOutsideItsTable) {
  Element nozzle(kKindMpNozzle, "Dysza MP <MP-2000>");
  auto& d = nozzle.rec<CDyszaMP>();
  d.rowCount = 2;
  d.rows[0].angle = 90;
  d.rows[0].work[0] = {2.0f, 0.2f, 5.0f};
  d.rows[0].work[1] = {3.0f, 0.3f, 6.0f};
  d.rows[1].angle = 180;
  d.rows[1].work[0] = {2.0f, 0.4f, 5.0f};
  d.rows[1].work[1] = {3.0f, 0.6f, 6.0f};
  CWStaticSprinkler s = place(nozzle, {200, 200});
  EXPECT_FLOAT_EQ(s.radiusM, 5.5f);
  EXPECT_NEAR(s.flow, 0.25f, 1e-6);  // placed at the first entry's 90 degrees

  const struct {
    int degrees;
    float flow;
    const char* message;
  } cases[] = {
      {45, 1020, "Za maly kat zraszania dla tego typu dyszy"},
      {90, 0.25f, nullptr},
      {135, 0.375f, nullptr},
      {180, 0.5f, nullptr},
      {270, 1030, "Za duzy kat zraszania dla tego typu dyszy"},
  };
  RecordingCanvas dc;
  s.dc = &dc;
  for (const auto& c : cases) {
    setArc(s, c.degrees);
    s.FlowFromArc();
    EXPECT_NEAR(s.flow, c.flow, 1e-5) << c.degrees;
    EXPECT_EQ(isStaticFlowError(s.flow), c.message != nullptr);
    dc.clear();
    s.DrawLabel();
    s.DrawFlow();
    const auto texts = dc.of(Kind::Text);
    if (!c.message) {
      ASSERT_EQ(texts.size(), 3u);
      EXPECT_EQ(texts[2]->text, platform::formatFixed(c.flow, 2));
      EXPECT_EQ(texts[2]->points[0], (Point{190, 230}));  // two label lines below the anchor
      continue;
    }
    ASSERT_EQ(texts.size(), 4u) << c.degrees;
    EXPECT_EQ(texts[2]->text, c.message);
    EXPECT_EQ(texts[2]->points[0], (Point{190, 210}));  // over the first line
    EXPECT_EQ(texts[2]->textColour, 0xFF00FFu);
    EXPECT_TRUE(texts[2]->opaque);
    EXPECT_EQ(texts[2]->backgroundColour, 0xFFFFFFu);
    EXPECT_EQ(texts[3]->text, "nieokreslony");
    EXPECT_EQ(texts[3]->points[0], (Point{195, 215}));
    EXPECT_EQ(dc.textColour(), 0u);  // the text colour is given back
  }

  // An error is cleared at the next drag step that brings the arc back.
  setArc(s, 45);
  s.FlowFromArc();
  s.ResetGrips();
  ASSERT_EQ(s.PickGrip({300, 101}, 0), 1);
  EXPECT_EQ(s.arcEndGripPicked, 1);
  s.DragGrip({100, 100}, {300, 100});
  EXPECT_NEAR(s.flow, 0.375f, 1e-3);

  // A reduction that finds the arc out of range keeps the error code
  // rather than scaling it into a flow.
  setArc(s, 270);
  s.ReduceRadius(1.0f);
  EXPECT_EQ(s.flow, 1030.0f);

  d.rowCount = 0;
  s.FlowFromArc();
  EXPECT_EQ(s.flow, 1010.0f);
  dc.clear();
  s.DrawLabel();
  EXPECT_EQ(dc.of(Kind::Text).back()->text, "Blad w bazie danych !!! ilosc dysz==0");
}

TEST_F(StaticSprinklerTest, SingleEntryRotaryNozzleIsAFixedArc) {
  Element nozzle(kKindMpNozzle, "MP jeden kat");
  auto& d = nozzle.rec<CDyszaMP>();
  d.rowCount = 1;
  d.rows[0].angle = 180;
  d.rows[0].work[0] = {2.0f, 0.2f, 5.0f};
  d.rows[0].work[1] = {3.0f, 0.4f, 6.0f};
  d.rows[0].work[2] = {4.0f, 0.5f, 7.0f};
  app().settings.rememberedRange = {1, 0.0, 1.0, 1.0, 0.0, 0.0f};
  CWStaticSprinkler s = place(nozzle, {200, 200});
  EXPECT_EQ(s.arcEnd, (Point{41, 200}));  // its own 180 degrees, not the remembered range
  EXPECT_NEAR(s.flow, 0.3f, 1e-6);  // a new sprinkler follows the source pressure
  s.mpPointIndex = 2;
  s.FlowFromArc();
  EXPECT_FLOAT_EQ(s.flow, 0.5f);  // a point chosen in a project file
  // Its arc ends do not move.
  const Point end = s.arcEnd;
  s.arcEndGripPicked = 1;
  s.DragGrip({200, 300}, end);
  EXPECT_EQ(s.arcEnd, end);
}

TEST_F(StaticSprinklerTest, FixedNozzleLooksUpRadiusAndFlowByPressure) {
  Element nozzle(kKindVanNozzleFixed, "Dysza 12Q");
  auto& row = nozzle.rec<CNozzleVanNonReg>().row;
  row.angle = 90;
  row.work[0] = {2.0f, 1.0f, 10.0f};
  row.work[1] = {3.0f, 1.2f, 12.0f};
  const struct {
    float p, q, r;
  } cases[] = {{1.0f, 1.0f, 10.0f}, {2.0f, 1.0f, 10.0f}, {2.5f, 1.1f, 11.0f}, {3.0f, 1.2f, 12.0f}, {4.0f, 1.2f, 12.0f}};
  for (const auto& c : cases) {
    CWStaticSprinkler s = place(nozzle, {200, 200}, c.p);
    EXPECT_NEAR(s.flow, c.q, 1e-6) << c.p;
    EXPECT_NEAR(s.radiusM, c.r, 1e-5) << c.p;
    EXPECT_EQ(app().currentSourcePressure, c.p);
  }
  // At 2 atm: 10 m = 290 plan units; the 90 degree sector turns up from the
  // point right of the head.
  CWStaticSprinkler s = place(nozzle, {200, 200}, 2.0f);
  EXPECT_EQ(s.arcStart, (Point{490, 200}));
  EXPECT_EQ(s.arcEnd, (Point{200, -90}));

  // A table without a valid point gives no flow and no radius.
  row = ArcRow4{};
  s = place(nozzle, {200, 200});
  EXPECT_EQ(s.flow, 0.0f);
  EXPECT_EQ(s.radiusU, 0.0f);
}

TEST_F(StaticSprinklerTest, NewAdjustableSprinklerTakesTheRememberedRange) {
  Element nozzle(kKindVanNozzle, "VAN");
  fillVan(nozzle.rec<CDyszaVan>());
  CWStaticSprinkler s = place(nozzle, {200, 200}, 2.0f);  // radius 3 m = 87 pixels
  EXPECT_EQ(s.arcStart, (Point{287, 200}));
  EXPECT_NEAR(s.arcDeg, 45.0f, 0.6f);  // 45 degrees without a remembered range
  EXPECT_NEAR(s.flow, 0.2f, 1e-6);

  setArc(s, 180);
  ASSERT_TRUE(s.RememberRange());
  CWStaticSprinkler next = place(nozzle, {500, 500}, 2.0f);
  EXPECT_EQ(next.arcStart, (Point{587, 500}));
  EXPECT_EQ(next.arcEnd, (Point{413, 500}));
  EXPECT_NEAR(next.flow, 0.4f, 1e-6);
}

TEST_F(StaticSprinklerTest, StripLookupReadsWidthAndLengthFromTheSizeText) {
  Element nozzle(kKindStripNozzle, "Dysza pasowa");
  auto& d = nozzle.rec<CDyszaPr>();
  setStrip(d.strips[0], 1.0f, "1.2x4.5", 0.5f);
  setStrip(d.strips[1], 3.0f, "2.2x6.5", 0.9f);
  const struct {
    float p, w, l, q;
  } cases[] = {{0.5f, 1.2f, 4.5f, 0.5f}, {2.0f, 1.7f, 5.5f, 0.7f}, {5.0f, 2.2f, 6.5f, 0.9f}};
  for (const auto& c : cases) {
    CWStaticSprinkler s = place(nozzle, {200, 200}, c.p);
    EXPECT_NEAR(s.widthM, c.w, 1e-5) << c.p;
    EXPECT_NEAR(s.lengthM, c.l, 1e-5) << c.p;
    EXPECT_NEAR(s.flow, c.q, 1e-6) << c.p;
    EXPECT_EQ(s.widthTextM, s.widthM);
    EXPECT_NEAR(s.lengthU, c.l * 29.0f, 1e-3);
  }
}

TEST_F(StaticSprinklerTest, StripCornersAndHandleForEveryHeadPosition) {
  // 2 x 4 m: W = 58 and L = 116 pixels.
  const int L = 116, H = 58, W = 58, w = 29;
  const struct {
    unsigned kind;
    int code;
    std::array<Point, 4> corners;
    int handle;
  } cases[] = {
      {kKindStripNozzle, 0, {{{-H, -W}, {H, -W}, {H, 0}, {-H, 0}}}, H},
      {kKindStripNozzle, 1, {{{0, -w}, {L, -w}, {L, w}, {0, w}}}, L},
      {kKindStripNozzle, 2, {{{-H, -w}, {H, -w}, {H, w}, {-H, w}}}, H},
      {kKindStripNozzle, 3, {{{0, 0}, {L, 0}, {L, -W}, {0, -W}}}, L},
      {kKindStripNozzle, 4, {{{0, 0}, {-L, 0}, {-L, -W}, {0, -W}}}, -L},
      {kKindRectRotaryNozzle, 0, {{{0, -W}, {L, -W}, {L, 0}, {0, 0}}}, L},
      {kKindRectRotaryNozzle, 1, {{{-H, 0}, {H, 0}, {H, -W}, {-H, -W}}}, -H},
      {kKindRectRotaryNozzle, 2, {{{0, -W}, {-L, -W}, {-L, 0}, {0, 0}}}, -L},
      // codes the kind does not know count as code 0
      {kKindStripNozzle, 9, {{{-H, -W}, {H, -W}, {H, 0}, {-H, 0}}}, H},
      {kKindRectRotaryNozzle, 5, {{{0, -W}, {L, -W}, {L, 0}, {0, 0}}}, L},
  };
  for (const auto& c : cases) {
    Element nozzle(c.kind, "Pas");
    CPrDane* strips = c.kind == kKindStripNozzle ? nozzle.rec<CDyszaPr>().strips : nozzle.rec<CNozzleRectNonReg>().strips;
    setStrip(strips[0], 2.0f, "2x4", 0.6f);
    if (c.kind == kKindStripNozzle)
      nozzle.rec<CDyszaPr>().position = c.code;
    else
      nozzle.rec<CNozzleRectNonReg>().position = c.code;
    CWStaticSprinkler s = place(nozzle, {300, 200});
    EXPECT_EQ(s.arcStart, (Point{300 + c.handle, 200})) << c.kind << "/" << c.code;
    RecordingCanvas dc;
    s.dc = &dc;
    s.Draw();
    const auto outline = dc.of(Kind::Polyline);
    ASSERT_EQ(outline.size(), 1u);
    std::vector<Point> expected;
    for (Point p : c.corners) expected.push_back({300 + p.x, 200 + p.y});
    expected.push_back(expected.front());
    EXPECT_EQ(outline[0]->points, expected) << c.kind << "/" << c.code;

    // Dragging the handle further along its own direction turns nothing.
    s.arcStartGripPicked = 1;
    s.DragGrip({300 + 2 * c.handle, 200}, s.arcStart);
    EXPECT_EQ(s.arcStart, (Point{300 + c.handle, 200})) << c.kind << "/" << c.code;
    auto corners = s.stripCorners();
    std::vector<Point> turned(corners.begin(), corners.end());
    expected.pop_back();
    auto byPlace = [](Point a, Point b) { return a.x != b.x ? a.x < b.x : a.y < b.y; };
    std::sort(turned.begin(), turned.end(), byPlace);
    std::sort(expected.begin(), expected.end(), byPlace);
    EXPECT_EQ(turned, expected) << c.kind << "/" << c.code;
  }
}

TEST_F(StaticSprinklerTest, TurningTheHandleTurnsTheStrip) {
  Element nozzle(kKindStripNozzle, "Pas srodkowy");
  setStrip(nozzle.rec<CDyszaPr>().strips[0], 2.0f, "2x4", 0.6f);
  nozzle.rec<CDyszaPr>().position = 2;
  CWStaticSprinkler s = place(nozzle, {300, 200});
  ASSERT_EQ(s.PickGrip({358, 200}, 0), 1);
  EXPECT_EQ(s.arcStartGripPicked, 1);
  s.DragGrip({300, 120}, {358, 200});  // straight up: a quarter turn
  EXPECT_EQ(s.arcStart, (Point{300, 142}));
  const auto c = s.stripCorners();
  EXPECT_EQ(c[0], (Point{300 - 29, 200 + 58}));
  EXPECT_EQ(c[2], (Point{300 + 29, 200 - 58}));

  // The strip that lies left of its head points toward the handle.
  nozzle.rec<CDyszaPr>().position = 4;
  s = place(nozzle, {300, 200});
  s.arcStartGripPicked = 1;
  s.DragGrip({400, 200}, s.arcStart);
  EXPECT_EQ(s.arcStart, (Point{416, 200}));
  EXPECT_EQ(s.stripCorners()[1], (Point{416, 200}));

  // Moving the head moves the handle with it.
  s.ResetGrips();
  s.posGripPicked = 1;
  s.DragGrip({310, 190}, {300, 200});
  EXPECT_EQ(s.pos, (Point{310, 190}));
  EXPECT_EQ(s.arcStart, (Point{426, 190}));
}

TEST_F(StaticSprinklerTest, ReductionShrinksRadiusAndFlowTogether) {
  Element fixed(kKindVanNozzleFixed, "Dysza 12Q");
  auto& row = fixed.rec<CNozzleVanNonReg>().row;
  row.angle = 90;
  row.work[0] = {2.0f, 1.0f, 10.0f};
  CWStaticSprinkler s = place(fixed, {200, 200}, 2.0f);
  ASSERT_EQ(s.CanReduceRadius(), 1);
  s.ReduceRadius(1.0f);
  // Unlike a rotary sprinkler, the flow follows the radius: 75 % of both.
  EXPECT_FLOAT_EQ(s.radiusU, 217.5f);
  EXPECT_FLOAT_EQ(s.flow, 0.75f);
  EXPECT_EQ(s.arcStart, (Point{417, 200}));
  EXPECT_EQ(s.arcEnd, (Point{200, -17}));
  EXPECT_EQ(s.reduction, 1.0f);
  s.ReduceRadius(0.0f);
  EXPECT_FLOAT_EQ(s.radiusU, 290.0f);
  EXPECT_FLOAT_EQ(s.flow, 1.0f);

  // The document's drawing scale reaches the reduction.
  {
    CGraphicPlane doc;
    doc.scaleDenominator = 200.0f;
    s.ReduceRadius(0.0f);
    EXPECT_FLOAT_EQ(s.radiusU, 145.0f);
  }

  // An adjustable nozzle keeps its arc; its flow is reduced with the radius.
  Element van(kKindVanNozzle, "VAN");
  fillVan(van.rec<CDyszaVan>());
  CWStaticSprinkler a = place(van, {200, 200}, 2.5f);
  setArc(a, 135);
  a.posU = {200, 200};
  a.arcStartU = {300, 200};
  a.arcEndU = {100, 100};
  a.ReduceRadius(1.0f);
  EXPECT_NEAR(a.flow, 0.375f * 0.75f, 1e-6);
  EXPECT_FLOAT_EQ(a.radiusU, 87.0f);
  EXPECT_NEAR(a.arcDeg, 135.0f, 1e-3);
  a.FlowFromArc();
  EXPECT_NEAR(a.arcDeg, 135.0f, 1e-3);
  // A drag step keeps the reduction in the flow.
  a.arcEndGripPicked = 1;
  a.DragGrip({100, 200}, a.arcEnd);
  EXPECT_NEAR(a.flow, 0.5f * 0.75f, 1e-6);

  // A strip: both sizes and the flow; the handle at the reduced length.
  Element strip(kKindStripNozzle, "Pas");
  setStrip(strip.rec<CDyszaPr>().strips[0], 2.0f, "2x4", 0.6f);
  strip.rec<CDyszaPr>().position = 3;
  CWStaticSprinkler r = place(strip, {300, 200}, 2.0f);
  r.ReduceRadius(1.0f);
  EXPECT_FLOAT_EQ(r.lengthU, 87.0f);
  EXPECT_FLOAT_EQ(r.widthU, 43.5f);
  EXPECT_NEAR(r.flow, 0.45f, 1e-6);
  EXPECT_EQ(r.arcStart, (Point{387, 200}));
}

TEST_F(StaticSprinklerTest, ReducedStripKeepsItsHandleWhereDraggingPutsIt) {
  // Kind 21, head in the middle of a long side: the handle lies half a
  // length from the head, on the side the user turned it to.
  Element nozzle(kKindRectRotaryNozzle, "Pas rotacyjny");
  setStrip(nozzle.rec<CNozzleRectNonReg>().strips[0], 2.0f, "2x4", 0.6f);
  nozzle.rec<CNozzleRectNonReg>().position = 1;
  CWStaticSprinkler s = place(nozzle, {300, 200}, 2.0f);
  s.arcStartGripPicked = 1;
  s.DragGrip({300, 100}, s.arcStart);
  EXPECT_EQ(s.arcStart, (Point{300, 142}));
  const auto before = s.stripCorners();
  s.ReduceRadius(1.0f);
  EXPECT_EQ(s.arcStart, (Point{300, 156}));
  // Picking it up again where it is drawn does not flip the strip.
  s.DragGrip({s.arcStart.x, s.arcStart.y - 2}, s.arcStart);
  const auto after = s.stripCorners();
  EXPECT_EQ(after[2].x > 300, before[2].x > 300);
}

TEST_F(StaticSprinklerTest, FullCircleDrawsNoRadii) {
  Element nozzle(kKindVanNozzle, "VAN");
  fillVan(nozzle.rec<CDyszaVan>());
  CWStaticSprinkler s = place(nozzle, {200, 200});
  const struct {
    float zoom;
    Point end;  // arc start at (300, 200)
    bool full;
  } cases[] = {{1.0f, {300, 204}, true}, {1.0f, {300, 205}, false}, {2.0f, {300, 209}, true}, {2.0f, {300, 210}, false}};
  for (const auto& c : cases) {
    s.scale = 1.0 / c.zoom;
    s.pos = {200, 200};
    s.arcStart = {300, 200};
    s.arcEnd = c.end;
    EXPECT_EQ(s.IsFullCircle(), c.full) << c.zoom << " " << c.end.y;
    RecordingCanvas dc;
    s.dc = &dc;
    s.Draw();
    EXPECT_EQ(dc.of(Kind::Line).size(), c.full ? 0u : 2u);
    ASSERT_EQ(dc.of(Kind::Arc).size(), 1u);
    // the whole circle, not the sliver from the start to an end just past it
    EXPECT_EQ(dc.of(Kind::Arc)[0]->points[1], c.full ? s.arcStart : c.end);
  }
  s.scale = 1.0;
  s.arcEnd = {300, 203};
  s.FlowFromArc();
  EXPECT_EQ(s.arcDeg, 359.0f);
}

TEST_F(StaticSprinklerTest, DrawingShowsCoverageCentreAndControlPoints) {
  Element nozzle(kKindVanNozzleFixed, "Dysza 12Q");
  auto& row = nozzle.rec<CNozzleVanNonReg>().row;
  row.angle = 90;
  row.work[0] = {2.0f, 1.0f, 2.0f};  // 58 pixels
  CWStaticSprinkler s = place(nozzle, {200, 200});
  RecordingCanvas dc;
  s.dc = &dc;
  s.showGrips = 0;
  s.Draw();
  auto arcs = dc.of(Kind::Arc);
  ASSERT_EQ(arcs.size(), 1u);
  EXPECT_EQ(arcs[0]->rect, (platform::Rect{142, 142, 258, 258}));
  EXPECT_EQ(arcs[0]->pen, platform::Pen::solid(0x00FF00, 1));
  auto grips = dc.of(Kind::FillRect);
  ASSERT_EQ(grips.size(), 1u);  // the position point is always drawn
  EXPECT_EQ(grips[0]->fill, kSprinklerPosGripColour);
  EXPECT_EQ(dc.of(Kind::Ellipse).size(), 1u);  // the centre dot

  dc.clear();
  s.showGrips = 1;
  s.connected = 1;
  s.SetSectionColour(0x123456);
  s.Draw();
  EXPECT_EQ(dc.of(Kind::Arc)[0]->pen.colour, 0x123456u);
  EXPECT_EQ(dc.of(Kind::FillRect).size(), 4u);  // position, two arc ends, label
  const auto ellipses = dc.of(Kind::Ellipse);
  ASSERT_EQ(ellipses.size(), 2u);
  EXPECT_EQ(ellipses[1]->pen, platform::Pen::dotted(0xFF0000, 1));
  EXPECT_EQ(ellipses[1]->rect, (platform::Rect{175, 175, 225, 225}));

  dc.clear();
  s.showCoverage = 0;
  s.Draw();
  EXPECT_TRUE(dc.of(Kind::Arc).empty());
  s.DrawHighlighted();
  EXPECT_EQ(s.showCoverage, 1);
  EXPECT_EQ(dc.of(Kind::Arc).back()->pen, platform::Pen::solid(0x123456, 2));

  // Nothing without a nozzle.
  dc.clear();
  s.nozzle = nullptr;
  s.Draw();
  s.DrawLabel();
  EXPECT_TRUE(dc.ops.empty());
  EXPECT_EQ(s.PickGrip(s.pos, 0), 0);
}

TEST_F(StaticSprinklerTest, LabelShowsBodyAndNozzleShortNames) {
  {
    // A name with "<" but no ">" after it is shown whole.
    Element open(kKindStaticBody, "Korpus <K-12");
    Element nozzle(kKindVanNozzleFixed, "Dysza <R-13");
    nozzle.rec<CNozzleVanNonReg>().row = {180, {{2.0f, 0.5f, 4.0f}}};
    CWStaticSprinkler s = place(nozzle, {200, 200}, 2.0f);
    s.elem = &open.e;
    RecordingCanvas dc;
    s.dc = &dc;
    s.DrawLabel();
    ASSERT_EQ(dc.of(Kind::Text).size(), 2u);
    EXPECT_EQ(dc.of(Kind::Text)[0]->text, "Korpus <K-12");
    EXPECT_EQ(dc.of(Kind::Text)[1]->text, "Dysza <R-13");
  }
  Element nozzle(kKindVanNozzleFixed, "Dysza obrotowa <R-13>");
  nozzle.rec<CNozzleVanNonReg>().row = {180, {{2.0f, 0.5f, 4.0f}}};
  CWStaticSprinkler s = place(nozzle, {200, 200}, 2.0f, 2.0f);
  RecordingCanvas dc;
  s.dc = &dc;
  s.DrawLabel();
  s.DrawFlow();
  const auto texts = dc.of(Kind::Text);
  ASSERT_EQ(texts.size(), 3u);
  // At zoom 2 the anchor lies 20 pixels off and a label line is 20 high.
  EXPECT_EQ(texts[0]->text, "K-10");
  EXPECT_EQ(texts[0]->points[0], (Point{180, 220}));
  EXPECT_EQ(texts[1]->text, "R-13");
  EXPECT_EQ(texts[1]->points[0], (Point{180, 240}));
  EXPECT_EQ(texts[2]->text, "0.50");
  EXPECT_EQ(texts[2]->points[0], (Point{180, 260}));
  EXPECT_EQ(s.GetKindName(), "Korpus 10 cm <K-10>");
}

TEST_F(StaticSprinklerTest, FixedArcTurnsAsAWhole) {
  Element nozzle(kKindMpNozzleFixed, "MP 90");
  auto& row = nozzle.rec<CNozzleMPNonReg>().row;
  row.angle = 90;
  row.work[0] = {2.0f, 1.0f, 10.0f};
  CWStaticSprinkler s = place(nozzle, {200, 200}, 2.0f);
  RecordingCanvas dc;
  s.dc = &dc;
  ASSERT_EQ(s.PickGrip({489, 201}, 0), 1);
  EXPECT_EQ(s.arcStartGripPicked, 1);
  s.DragGrip({200, 100}, {490, 200});  // the start turned up
  EXPECT_EQ(s.arcStart, (Point{200, -90}));
  EXPECT_EQ(s.arcEnd, (Point{-90, 200}));
  // The rubber band is drawn inverted with the sprinkler drag pen.
  ASSERT_FALSE(dc.of(Kind::Arc).empty());
  EXPECT_EQ(dc.of(Kind::Arc).back()->rop, platform::RasterOp::Not);
  EXPECT_EQ(dc.of(Kind::Arc).back()->pen, platform::Pen::solid(0x000080, 2));
  EXPECT_EQ(dc.rasterOp(), platform::RasterOp::CopyPen);

  s.ResetGrips();
  s.arcEndGripPicked = 1;
  s.DragGrip({500, 200}, s.arcEnd);
  EXPECT_EQ(s.arcEnd, (Point{490, 200}));
  EXPECT_EQ(s.arcStart, (Point{200, 490}));

  // A full-circle nozzle has nothing to turn.
  row.angle = 360;
  CWStaticSprinkler full = place(nozzle, {200, 200}, 2.0f);
  EXPECT_TRUE(full.IsFullCircle());
  full.arcEndGripPicked = 1;
  full.DragGrip({200, 100}, full.arcEnd);
  EXPECT_EQ(full.arcEnd, (Point{490, 200}));
}

TEST_F(StaticSprinklerTest, ZoomRoundTripAndCopiesKeepTheGeometry) {
  Element circular(kKindVanNozzle, "VAN");
  fillVan(circular.rec<CDyszaVan>());
  Element strip(kKindStripNozzle, "Pas");
  setStrip(strip.rec<CDyszaPr>().strips[0], 2.0f, "1.3x4.1", 0.6f);
  strip.rec<CDyszaPr>().position = 2;
  for (Element* nozzle : {&circular, &strip}) {
    CWStaticSprinkler s = place(*nozzle, {133, 147}, 2.3f);
    s.arcStartGripPicked = 1;
    s.DragGrip({101, 97}, s.arcStart);  // an arc end or handle off the axes
    s.ResetGrips();
    const CWStaticSprinkler before = s;
    s.Rescale(2.0f);
    EXPECT_EQ(s.pos, (Point{266, 294}));
    s.Rescale(1.0f);
    EXPECT_EQ(s.pos, before.pos);
    EXPECT_EQ(s.arcStart, before.arcStart);
    EXPECT_EQ(s.arcEnd, before.arcEnd);
    if (s.isCircular()) {
      EXPECT_EQ(s.radiusPx, before.radiusPx);
    }
    EXPECT_EQ(s.lengthPx, before.lengthPx);
    EXPECT_EQ(s.widthPx, before.widthPx);
    EXPECT_EQ(s.stripCorners(), before.stripCorners());

    auto copy = s.CloneAt({333, 347});
    ASSERT_TRUE(copy);
    auto& c = static_cast<CWStaticSprinkler&>(*copy);
    EXPECT_EQ(c.pos, (Point{333, 347}));
    EXPECT_EQ(c.arcStart, (Point{s.arcStart.x + 200, s.arcStart.y + 200}));
    EXPECT_EQ(c.arcStartU.x, c.arcStart.x * 1.0);
    EXPECT_EQ(c.nozzle, s.nozzle);
    EXPECT_EQ(c.orient, s.orient);

    // At zoom 2 the copy's plan units are whole units, truncated.
    s.Rescale(2.0f);
    auto zoomed = s.CloneAt({333, 347});
    EXPECT_EQ(static_cast<CWStaticSprinkler&>(*zoomed).posU, (PointD{166, 173}));
  }
}

TEST_F(StaticSprinklerTest, ApplyPressureEvaluatesAndReducesAgain) {
  Element nozzle(kKindVanNozzleFixed, "Dysza 12Q");
  auto& row = nozzle.rec<CNozzleVanNonReg>().row;
  row.angle = 90;
  row.work[0] = {2.0f, 1.0f, 10.0f};
  row.work[1] = {3.0f, 1.2f, 12.0f};
  CWStaticSprinkler s = place(nozzle, {200, 200}, 2.0f);
  s.ReduceRadius(1.0f);
  s.ApplyPressure(3.0f);
  EXPECT_FLOAT_EQ(s.radiusU, 12.0f * 29.0f * 0.75f);
  EXPECT_FLOAT_EQ(s.flow, 0.9f);
  EXPECT_EQ(app().currentSourcePressure, 3.0f);
}

TEST(StaticNozzles, ChoiceListSortsForPolishReadersAndSkipsArchived) {
  Element a(kKindVanNozzle, "van 12");
  Element b(kKindStripNozzle, "\xA3uk 4");  // Łuk
  Element c(kKindMpNozzle, "Lanca");
  Element d(kKindVanNozzleFixed, "Mini");
  Element e(kKindRectRotaryNozzle, "Archiwalna");
  Element f(kKindStaticBody, "Korpus");
  Element g(kKindMpNozzleFixed, "\xA5gawa");  // Ągawa
  Element h(kKindMpNozzleFixed, "Agawa");
  e.e.archived = 1;
  CElem* list[] = {&a.e, &b.e, &c.e, &d.e, &e.e, &f.e, &g.e, &h.e};
  for (size_t i = 0; i + 1 < std::size(list); ++i) list[i]->next = list[i + 1];
  const auto choices = staticNozzleChoices(list[0]);
  const std::vector<CElem*> expected = {&h.e, &g.e, &c.e, &b.e, &d.e, &a.e};
  EXPECT_EQ(choices, expected);
  for (CElem* x : list) x->next = nullptr;

  // "Anuluj" in the parameters returns to the list; OK there accepts.
  std::vector<int> preselections;
  int confirmations = 0;
  NozzleSelectionDialogs dialogs;
  dialogs.chooseFromList = [&](const std::vector<CElem*>& nozzles, int pre) {
    preselections.push_back(pre);
    EXPECT_EQ(nozzles.size(), 1u);
    return preselections.size() < 3 ? 0 : -1;
  };
  dialogs.confirmParameters = [&](const NozzleParameterSheet& sheet, const CElem&) {
    EXPECT_EQ(sheet.title, "Parametry dyszy");
    return ++confirmations == 2;
  };
  EXPECT_EQ(selectStaticNozzle(&a.e, dialogs), &a.e);
  EXPECT_EQ(preselections, (std::vector<int>{0, 0}));
  preselections.clear();
  confirmations = 5;  // never confirmed: the list is cancelled the third time
  EXPECT_EQ(selectStaticNozzle(&a.e, dialogs), nullptr);

  EXPECT_TRUE(paletteShowsNozzleParameters(&a.e));
  EXPECT_TRUE(paletteShowsNozzleParameters(&b.e));
  EXPECT_FALSE(paletteShowsNozzleParameters(&d.e));
}

TEST(StaticNozzles, ParameterSheetsFormatEachKind) {
  Element van(kKindVanNozzle, "VAN 15");
  fillVan(van.rec<CDyszaVan>());
  auto sheet = nozzleParameterSheet(van.e, 1);
  EXPECT_EQ(sheet.name, "VAN 15");
  EXPECT_EQ(sheet.angles, (std::vector<std::string>{"90", "180", "360"}));
  ASSERT_EQ(sheet.rows.size(), 4u);
  EXPECT_EQ(sheet.rows[0], (std::array<std::string, 3>{"2", "0.4", "3"}));
  EXPECT_EQ(sheet.rows[3], (std::array<std::string, 3>{"0", "0", "0"}));
  EXPECT_TRUE(nozzleParameterSheet(van.e, 3).rows.empty());

  Element mp(kKindMpNozzle, "MP");
  mp.rec<CDyszaMP>().rowCount = 1;
  mp.rec<CDyszaMP>().rows[0].angle = 210.4f;
  sheet = nozzleParameterSheet(mp.e, 0);
  EXPECT_EQ(sheet.angles, (std::vector<std::string>{"210"}));
  EXPECT_EQ(sheet.rows.size(), 7u);

  Element fixed(kKindMpNozzleFixed, "MP 90");
  fixed.rec<CNozzleMPNonReg>().row = {90, {{2.0f, 1.25f, 10.0f}}};
  sheet = nozzleParameterSheet(fixed.e);
  EXPECT_EQ(sheet.angles, (std::vector<std::string>{"90"}));
  EXPECT_EQ(sheet.rows[0], (std::array<std::string, 3>{"2.00", "1.25", "10.00"}));
  EXPECT_EQ(sheet.rows[1], (std::array<std::string, 3>{"", "", ""}));

  Element strip(kKindStripNozzle, "Pas");
  setStrip(strip.rec<CDyszaPr>().strips[0], 2.0f, "1.2x4.5", 0.125f);
  sheet = nozzleParameterSheet(strip.e);
  EXPECT_EQ(sheet.columns, (std::vector<std::string>{"P [atm]", "Q [m3/h]", "WxL [m]"}));
  EXPECT_EQ(sheet.rows[0], (std::array<std::string, 3>{"2", "0.125", "1.2x4.5"}));
  EXPECT_EQ(sheet.rows[1], (std::array<std::string, 3>{"0", "0", ""}));

  Element rect(kKindRectRotaryNozzle, "Pas rotacyjny");
  setStrip(rect.rec<CNozzleRectNonReg>().strips[0], 2.0f, "3x9", 0.126f);
  sheet = nozzleParameterSheet(rect.e);
  EXPECT_EQ(sheet.rows[0], (std::array<std::string, 3>{"2.00", "0.13", "3x9"}));
  EXPECT_EQ(sheet.rows[1], (std::array<std::string, 3>{"", "", ""}));
}
