// Micro-sprinklers, HADAR micro-sprinklers and RWS units: pressure lookup,
// placement, sectors and half circles, reduction, labels, zoom and copies.

#include <gtest/gtest.h>

#include "document/graphic_plane.h"

#include <cmath>
#include <cstring>

#include "objects/micro_sprinklers.h"
#include "partix.h"
#include "platform/recording_canvas.h"

namespace platform {
inline void PrintTo(const Point& p, std::ostream* os) { *os << "(" << p.x << ", " << p.y << ")"; }
}  // namespace platform

inline void PrintTo(const PointD& p, std::ostream* os) { *os << "(" << p.x << ", " << p.y << ")"; }

namespace {

using platform::RecordingCanvas;
using Kind = platform::RecordingCanvas::Kind;

// A catalogue element of one kind built in code, freed afterwards.
template <typename Record>
struct Element {
  CElem elem;
  Record* rec = nullptr;
  Element(uint32_t kind, const char* name) {
    elem.InitData(kind);
    rec = static_cast<Record*>(elem.data);
    std::strncpy(rec->name, name, sizeof rec->name - 1);
  }
  ~Element() { elem.FreeData(); }
};

// A 90-degree micro-sprinkler with three valid points; the point after the
// first zero pressure does not count.
struct Micro : Element<CMicroSprinkler> {
  explicit Micro(float angle = 90.0f) : Element(kKindMicroSprinkler, "Mikrozraszacz <MZ90> 90st") {
    rec->angle = angle;
    rec->work[0] = {1, 40, 2};
    rec->work[1] = {2, 60, 3};
    rec->work[2] = {3, 80, 4};
    rec->work[4] = {5, 999, 9};
  }
};

// An insert with two nozzle sizes.
struct Insert : Element<CWkladka> {
  explicit Insert(const char* name) : Element(kKindHadarInsert, name) {
    rec->rowCount = 2;
    std::strcpy(rec->rows[0].rowName, "0.8mm");
    rec->rows[0].work[0] = {1, 20, 1.5f};
    rec->rows[0].work[1] = {2, 30, 2.0f};
    std::strcpy(rec->rows[1].rowName, "1.2mm");
    rec->rows[1].work[0] = {1, 45, 2.5f};
  }
};

class MicroTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = app().settings;
    app().settings.systemPointColour = 0x0000FF;
    app().settings.rangeColour = 0x00AA00;
    app().settings.highlightColour = 0x00FFFF;
    app().settings.backgroundColour = 0xEEEEEE;
    app().settings.labelFontHeight = 12;
  }
  void TearDown() override {
    app().settings = saved_;
  }

  // Placed at (400, 300) at 1:100, 29 px/cm.
  static CWMicroSprinkler micro(Micro& m, float pressure = 2.0f, float zoom = 1.0f) {
    CWMicroSprinkler s;
    s.elem = &m.elem;
    s.scale = 1.0 / zoom;
    s.PlaceAt({400, 300}, 100, 29, pressure);
    return s;
  }
  static CWMicroSprinklerHadar hadar(CElem* body, Insert& ins, int row = 0, float pressure = 1.5f) {
    CWMicroSprinklerHadar h;
    h.elem = body;
    h.insert = &ins.elem;
    h.insertUsed = 1;
    h.nozzleRow = row;
    h.PlaceAt({400, 300}, 100, 29, pressure);
    return h;
  }

  AppSettings saved_;
};

}  // namespace

TEST_F(MicroTest, PressureLookupOverTheLeadingPointsWithPressure) {
  Micro m;
  Element<CMicroSprinkler> empty(kKindMicroSprinkler, "pusty");
  const struct {
    CElem* elem;
    float p, q, r;
  } cases[] = {
      {&m.elem, 0.5f, 40, 2}, {&m.elem, 1.5f, 50, 2.5f}, {&m.elem, 2.5f, 70, 3.5f},
      {&m.elem, 3.0f, 80, 4}, {&m.elem, 10.0f, 80, 4},  // the fifth point lies past a zero pressure
      {&empty.elem, 2.0f, 0, 0},                        // no valid point: neither flow nor radius
  };
  for (const auto& c : cases) {
    CWMicroSprinkler s;
    s.elem = c.elem;
    s.Evaluate(100, 29, c.p);
    EXPECT_FLOAT_EQ(s.flowLh, c.q) << c.p;
    EXPECT_FLOAT_EQ(s.radiusM, c.r) << c.p;
    EXPECT_EQ(s.radius, static_cast<int>(c.r * 29)) << c.p;
    EXPECT_FLOAT_EQ(s.GetFlow(), c.q / 1000) << c.p;
  }
  // A drawing scale 1:0 (a damaged file) gives no radius rather than an infinite one.
  CWMicroSprinkler s;
  s.elem = &m.elem;
  s.Evaluate(0, 29, 2.0f);
  EXPECT_EQ(s.radius, 0);
  EXPECT_FLOAT_EQ(s.flowLh, 60);
  Insert ins("<W360> wkladka");
  CWMicroSprinklerHadar h;
  h.insert = &ins.elem;
  h.insertUsed = 1;
  h.PlaceAt({10, 10}, 0, 29, 1.0f);
  EXPECT_EQ(h.radiusPx, 0);
  EXPECT_FLOAT_EQ(h.flowLh, 20);
}

TEST_F(MicroTest, PlacementAndSectorTurnedByTheHandle) {
  Micro m;
  CWMicroSprinkler s = micro(m, 2.0f, 2.0f);  // 3 m: 87 plan units, 174 pixels at zoom 2
  EXPECT_EQ(s.radius, 174);
  EXPECT_EQ(s.radiusU, 87.0f);
  EXPECT_EQ(s.handle, (Point{574, 300}));
  EXPECT_EQ(s.handleU, (PointD{287, 150}));
  EXPECT_EQ(s.fullCircle, 0);

  s.Rescale(1.0f);
  RecordingCanvas dc;
  s.dc = &dc;
  s.Draw();
  auto arcs = dc.of(Kind::Arc);
  ASSERT_EQ(arcs.size(), 1u);
  EXPECT_EQ(arcs[0]->points[0], (Point{287, 150}));  // from the right
  EXPECT_EQ(arcs[0]->points[1], (Point{200, 63}));   // counterclockwise up to the top
  EXPECT_EQ(dc.of(Kind::Line).size(), 2u);
  EXPECT_EQ(dc.of(Kind::FillRect).size(), 3u);  // position, handle, label

  // Turning the handle straight down turns the sector: from the bottom to the right.
  ASSERT_EQ(s.PickGrip(s.handle, 0), 1);
  EXPECT_EQ(s.handleGripPicked, 1);
  dc.clear();
  s.DragGrip({200, 400}, s.handle);
  EXPECT_EQ(s.handle, (Point{200, 237}));
  EXPECT_EQ(s.handleU, (PointD{200, 237}));
  EXPECT_EQ(dc.of(Kind::Arc).size(), 2u);  // rubber band: erased and drawn again
  EXPECT_EQ(dc.of(Kind::Arc)[0]->pen, platform::Pen::solid(0x00AA00, 1));
  EXPECT_EQ(dc.of(Kind::Arc)[0]->rop, platform::RasterOp::Not);
  s.ResetGrips();
  dc.clear();
  s.Draw();
  EXPECT_EQ(dc.of(Kind::Arc)[0]->points[0], (Point{200, 237}));
  EXPECT_EQ(dc.of(Kind::Arc)[0]->points[1], (Point{287, 150}));

  // Moving the position carries the handle along.
  ASSERT_EQ(s.PickGrip({201, 151}, 1), 1);
  s.DragGrip({211, 141}, {201, 151});
  EXPECT_EQ(s.pos, (Point{210, 140}));
  EXPECT_EQ(s.handleU, (PointD{210, 227}));
}

TEST_F(MicroTest, FullCircleHasNoRadiiAndNoHandle) {
  Micro m(360.0f);
  CWMicroSprinkler s = micro(m);
  EXPECT_EQ(s.fullCircle, 1);
  RecordingCanvas dc;
  s.dc = &dc;
  s.Draw();
  ASSERT_EQ(dc.of(Kind::Arc).size(), 1u);
  EXPECT_EQ(dc.of(Kind::Arc)[0]->points[0], dc.of(Kind::Arc)[0]->points[1]);
  EXPECT_EQ(dc.of(Kind::Line).size(), 0u);
  EXPECT_EQ(dc.of(Kind::FillRect).size(), 2u);  // position and label
  EXPECT_EQ(s.PickGrip(s.handle, 0), 0);
}

TEST_F(MicroTest, ReductionScalesRadiusAndFlowUpToTheWholeRadius) {
  Micro m;
  CWMicroSprinkler s = micro(m);
  EXPECT_EQ(reductionSliderMax(s), 100);
  s.ReduceRadiusAt(0.5f, 100, 29, 2.0f);
  EXPECT_FLOAT_EQ(s.flowLh, 30);
  EXPECT_FLOAT_EQ(s.radiusM, 1.5f);
  EXPECT_EQ(s.radius, 43);  // (int)(87 x 0.5)
  EXPECT_EQ(s.handleU, (PointD{443, 300}));
  EXPECT_EQ(reductionSliderPosition(s), 50);

  s.ReduceRadiusAt(1.0f, 100, 29, 2.0f);
  EXPECT_EQ(s.radius, 0);
  EXPECT_FLOAT_EQ(s.flowLh, 0);
  EXPECT_EQ(s.handleU, (PointD{405, 300}));  // the handle stays 5 plan units out
  // and keeps its direction when the reduction is taken back
  s.ReduceRadiusAt(0.0f, 100, 29, 2.0f);
  EXPECT_EQ(s.handleU, (PointD{487, 300}));

  // The dialog's slider uses the open document's values.
  CGraphicPlane doc;
  doc.sourcePressure = 3.0f;
  applyReductionSlider(s, 25);
  EXPECT_FLOAT_EQ(s.flowLh, 60);
  EXPECT_EQ(s.radius, 87);  // (int)(116 x 0.75)
}

TEST_F(MicroTest, NewPressureKeepsPlaceTurnAndReduction) {
  Micro m;
  CWMicroSprinkler s;
  s.elem = &m.elem;
  s.PlaceAt({403, 307}, 100, 29, 2.0f);
  s.PickGrip(s.handle, 0);
  s.DragGrip({403, 400}, s.handle);  // the sector starts downwards
  s.ReduceRadiusAt(0.5f, 100, 29, 2.0f);
  s.Rescale(0.1f);  // at 10 % the place in pixels is (40, 30)
  s.ApplyPressure(3.0f, 100, 29);
  EXPECT_EQ(s.posU, (PointD{403, 307}));
  EXPECT_EQ(s.radius, 5);  // (int)(58 x 0.1)
  EXPECT_FLOAT_EQ(s.flowLh, 40);
  EXPECT_EQ(s.reduction, 0.5f);
  EXPECT_NEAR(s.handleU.x, 403, 1e-4);
  EXPECT_NEAR(s.handleU.y, 307 + 58, 1e-4);
}

TEST_F(MicroTest, ZoomRoundTripAndCopies) {
  Micro m;
  Element<CRWSSprinkler> rwsElem(kKindRws, "RWS <RWS-M> zestaw");
  rwsElem.rec->work[0] = {0, 0.23f, 0};
  Insert ins("<W180D> wkladka zraszajaca polkole");
  CWMicroSprinkler s = micro(m, 2.5f);
  s.ReduceRadiusAt(0.3f, 100, 29, 2.5f);
  CWMicroSprinklerHadar h = hadar(nullptr, ins);
  CWRwsSprinkler r;
  r.PlaceAt({333, 222}, &rwsElem.elem, 1.0f, 100, 29, 2.0f);
  const CWMicroSprinkler s0 = s;
  const CWMicroSprinklerHadar h0 = h;
  for (float zoom : {2.0f, 0.1f, 1.0f}) {
    s.Rescale(zoom);
    h.Rescale(zoom);
    r.Rescale(zoom);
  }
  EXPECT_EQ(s.pos, s0.pos);
  EXPECT_EQ(s.handle, s0.handle);
  EXPECT_EQ(s.radius, s0.radius);
  EXPECT_EQ(h.pos, h0.pos);
  EXPECT_EQ(h.handle, h0.handle);
  EXPECT_EQ(h.radiusPx, h0.radiusPx);
  EXPECT_EQ(r.pos, (Point{333, 222}));

  auto sc = s.CloneAt({100, 100});
  auto& sCopy = dynamic_cast<CWMicroSprinkler&>(*sc);
  EXPECT_EQ(sCopy.pos, (Point{100, 100}));
  EXPECT_EQ(sCopy.handle, (Point{100 + s.handle.x - 400, 100}));
  EXPECT_EQ(sCopy.posU, (PointD{100, 100}));
  EXPECT_EQ(sCopy.reduction, s.reduction);

  auto hc = h.CloneAt({50, 60});
  EXPECT_EQ(dynamic_cast<CWMicroSprinklerHadar&>(*hc).handleU, (PointD{50.0 + h.radiusPx, 60}));

  // An RWS copy is a new unit: its label goes back to (0, 10).
  r.labelDx = 30;
  r.SetSectionNo(4);
  auto rc = r.CloneAt({10, 20});
  auto& rCopy = dynamic_cast<CWRwsSprinkler&>(*rc);
  EXPECT_EQ(rCopy.pos, (Point{10, 20}));
  EXPECT_EQ(rCopy.labelDx, 0);
  EXPECT_EQ(rCopy.labelDy, 10);
  EXPECT_FLOAT_EQ(rCopy.flow, 0.23f);
  EXPECT_EQ(rCopy.elem, &rwsElem.elem);
}

TEST_F(MicroTest, HalfCircleRuleLooksBeforeTheClosingBracket) {
  const struct {
    const char* name;
    bool half;
  } cases[] = {
      {"<W180D> wkladka zraszajaca polkole", true},
      {"<W180d>", true},
      {"<W360> wkladka zraszajaca pelne kolo", false},  // the "d" after ">" does not count
      {"<W360R> wkladka rotacyjna", false},
      {"Wd <W360>", true},            // the text before "<" counts
      {"wkladka bez kodu", true},     // without brackets: the whole name
      {"W360", false},
      {"<W360 niedomkniete", true},   // no ">": the whole name
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(insertWatersHalfCircle(c.name), c.half) << c.name;
}

TEST_F(MicroTest, HadarUnitDrawsItsHalfCircleAndTurnsIt) {
  Element<CMicroSprinklerHADAR> body(kKindHadarBase, "HADAR <H7110> podstawa");
  Insert half("<W180D> wkladka zraszajaca polkole");
  Insert full("<W360> wkladka zraszajaca pelne kolo");
  CWMicroSprinklerHadar h = hadar(&body.elem, half, 0, 1.5f);
  EXPECT_EQ(h.halfCircle, 1);
  EXPECT_FLOAT_EQ(h.flowLh, 25);
  EXPECT_FLOAT_EQ(h.radiusM, 1.75f);
  EXPECT_EQ(h.radiusPx, 50);  // 50.75 plan units
  EXPECT_FLOAT_EQ(h.GetFlow(), 0.025f);

  RecordingCanvas dc;
  h.dc = &dc;
  h.Draw();
  auto arcs = dc.of(Kind::Arc);
  ASSERT_EQ(arcs.size(), 1u);
  EXPECT_EQ(arcs[0]->points[0], (Point{450, 300}));
  EXPECT_EQ(arcs[0]->points[1], (Point{350, 300}));
  auto lines = dc.of(Kind::Line);
  ASSERT_EQ(lines.size(), 1u);  // the straight side
  EXPECT_EQ(dc.of(Kind::FillRect).size(), 3u);

  ASSERT_EQ(h.PickGrip(h.handle, 0), 1);
  h.DragGrip({400, 200}, h.handle);  // the handle up: the half circle faces left
  EXPECT_EQ(h.handle, (Point{400, 250}));
  h.ResetGrips();
  dc.clear();
  h.Draw();
  EXPECT_EQ(dc.of(Kind::Arc)[0]->points[0], (Point{400, 250}));
  EXPECT_EQ(dc.of(Kind::Arc)[0]->points[1], (Point{400, 350}));

  // A new pressure keeps the turn.
  h.ApplyPressure(2.0f, 100, 29);
  EXPECT_EQ(h.radiusPx, 58);
  EXPECT_EQ(h.handle, (Point{400, 242}));
  EXPECT_EQ(h.halfCircle, 1);

  CWMicroSprinklerHadar round = hadar(&body.elem, full, 1, 1.0f);
  EXPECT_EQ(round.halfCircle, 0);
  RecordingCanvas dc2;
  round.dc = &dc2;
  round.Draw();
  EXPECT_EQ(dc2.of(Kind::Arc).size(), 0u);
  EXPECT_EQ(dc2.of(Kind::Ellipse).size(), 2u);  // the coverage and the centre dot
  EXPECT_EQ(dc2.of(Kind::FillRect).size(), 2u);  // no handle
  EXPECT_EQ(round.PickGrip(round.handle, 0), 0);

  // Without an insert the alternative nozzle gives the flow and nothing is watered.
  Element<CMkDysza> nozzle(kKindHadarNozzle, "<D1> dysza");
  nozzle.rec->rows[0].work[0] = {1, 12, 3};
  CWMicroSprinklerHadar bare;
  bare.elem = &body.elem;
  bare.altNozzle = &nozzle.elem;
  bare.PlaceAt({10, 10}, 100, 29, 2.0f);
  EXPECT_FLOAT_EQ(bare.flowLh, 12);
  EXPECT_EQ(bare.radiusPx, 0);
  RecordingCanvas dc3;
  bare.dc = &dc3;
  bare.Draw();
  EXPECT_EQ(dc3.of(Kind::Ellipse).size(), 1u);  // the centre dot only
}

TEST_F(MicroTest, LabelsAndFlowLabels) {
  Micro m;
  CWMicroSprinkler s = micro(m);
  s.flowLh = 1234.5678f;
  Element<CMicroSprinklerHADAR> body(kKindHadarBase, "HADAR <H7110> podstawa");
  Insert ins("<W180D> wkladka zraszajaca polkole");
  CWMicroSprinklerHadar h = hadar(&body.elem, ins, 1, 1.0f);
  Element<CRWSSprinkler> rwsElem(kKindRws, "RWS <RWS-M> zestaw");
  rwsElem.rec->work[0] = {0, 0.23f, 0};
  CWRwsSprinkler r;
  r.PlaceAt({400, 300}, &rwsElem.elem, 2.0f, 100, 29, 2.0f);

  RecordingCanvas dc;
  for (CWBase* o : std::initializer_list<CWBase*>{&s, &h, &r}) {
    o->dc = &dc;
    o->DrawLabel();
    o->DrawFlow();
  }
  auto texts = dc.of(Kind::Text);
  ASSERT_EQ(texts.size(), 7u);
  const struct {
    const char* text;
    Point at;
  } expected[] = {
      {"MZ90", {390, 303}},         {"1234.6", {390, 315}},  // l/h, 5 significant digits, a line lower
      {"H7110\"W180D\"", {390, 303}}, {"(1.2)", {390, 315}},   // the size's first 3 characters
      {"45", {390, 327}},                                      // two lines lower
      {"RWS-M", {400, 320}},        {"0.23", {400, 344}},    // m3/h, two decimals, zoom 2
  };
  for (size_t i = 0; i < 7; ++i) {
    EXPECT_EQ(texts[i]->text, expected[i].text) << i;
    EXPECT_EQ(texts[i]->points[0], expected[i].at) << i;
  }
  EXPECT_EQ(texts[1]->backgroundColour, 0xEEEEEEu);
  EXPECT_EQ(texts[1]->textColour, 0u);
  EXPECT_EQ(formatSignificant5(0.1234567), "0.12346");
  EXPECT_EQ(formatSignificant5(60), "60");
}

TEST_F(MicroTest, RwsUnitCircleLabelAndPressure) {
  Element<CRWSSprinkler> rwsElem(kKindRws, "RWS <RWS-M> zestaw");
  rwsElem.rec->work[0] = {0, 0.23f, 0};
  CWRwsSprinkler r;
  r.PlaceAt({400, 300}, &rwsElem.elem, 2.0f, 100, 29, 2.0f);
  EXPECT_NEAR(r.radiusU, 8.7f, 1e-5);  // a 0.3 m radius at 1:100
  EXPECT_EQ(r.posU, (PointD{200, 150}));
  RecordingCanvas dc;
  r.dc = &dc;
  r.Draw();
  auto ellipses = dc.of(Kind::Ellipse);
  ASSERT_EQ(ellipses.size(), 2u);
  EXPECT_EQ(ellipses[0]->rect, (platform::Rect{383, 283, 417, 317}));  // (int)(8.7 x 2) = 17

  r.MoveLabelTo({0, 0});  // the move-label tool leaves it in place
  EXPECT_EQ(r.labelDy, 10);
  ASSERT_EQ(r.PickGrip({400, 320}, 0), 1);  // the label point, at zoom 2
  r.DragGrip({440, 300}, {400, 320});
  EXPECT_EQ(r.labelDx, 20);
  EXPECT_EQ(r.labelDy, 0);

  r.connected = 1;
  r.Rescale(0.1f);
  r.ApplyPressure(3.0f);
  EXPECT_EQ(r.pressureUsed, 3.0f);
  EXPECT_EQ(r.posU, (PointD{200, 150}));
  EXPECT_EQ(r.labelDx, 20);
  EXPECT_EQ(r.connected, 1);
  EXPECT_FLOAT_EQ(r.GetFlow(), 0.23f);
}

TEST_F(MicroTest, TheLastHadarBodyOfTheCatalogue) {
  CElem a, b, c;
  a.kind = kKindHadarBase;
  b.kind = kKindHadarInsert;
  c.kind = kKindHadarBase;
  a.InitData(kKindHadarBase);
  b.InitData(kKindHadarInsert);
  c.InitData(kKindHadarBase);
  a.next = &b;
  b.next = &c;
  EXPECT_EQ(lastHadarBody(&a), &c);
  EXPECT_EQ(lastHadarBody(&b), &c);
  b.next = nullptr;
  EXPECT_EQ(lastHadarBody(&a), &a);
  EXPECT_EQ(lastHadarBody(nullptr), nullptr);
  a.next = nullptr;
  a.FreeData();
  b.FreeData();
  c.FreeData();
}
