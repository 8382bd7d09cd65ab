// Valves, the water source, valve boxes, controllers, filters, regulators and
// sensors.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>

#include "objects/symbols.h"
#include "partix.h"
#include "platform/recording_canvas.h"
#include "platform/textcodec.h"

namespace {

using platform::RecordingCanvas;
using Kind = platform::RecordingCanvas::Kind;

std::string cp(const char* utf8) { return platform::utf8ToCp1250(utf8); }

// A catalogue element of `kind` named `nameUtf8`, freed with the test.
struct Element {
  CElem e;
  Element(unsigned long kind, const char* nameUtf8) {
    e.InitData(kind);
    const std::string name = cp(nameUtf8);
    std::strncpy(e.data->name, name.c_str(), sizeof e.data->name - 1);
  }
  ~Element() { e.FreeData(); }
};

std::string readShipped(const char* name) {
  std::ifstream in(std::string(VERDIMO_SOURCE_DIR "/data/gui/") + name, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class Settings : public ::testing::Test {
 protected:
  void SetUp() override {
    app().settings.systemPointColour = 0x00AA00;
    app().settings.highlightColour = 0x0000CC;
  }
};

void expectNear(Point got, double x, double y) {
  EXPECT_LE(std::abs(got.x - x), 1.0) << got.x << " vs " << x;
  EXPECT_LE(std::abs(got.y - y), 1.0) << got.y << " vs " << y;
}

}  // namespace

// --- valve -------------------------------------------------------------------

TEST_F(Settings, ValveFigureTurnsWithItsAngle) {
  // Unturned: an hourglass of two triangles meeting at the centre.
  const auto up = valveFigurePoints({100, 50}, 10, 0.0f);
  const Point expected[5] = {{90, 40}, {110, 40}, {100, 50}, {90, 60}, {110, 60}};
  for (int k = 0; k < 5; ++k) EXPECT_EQ(up[k], expected[k]) << k;
  // A quarter turn puts the handle side to the right: (dx, dy) -> (-dy, dx).
  const auto turned = valveFigurePoints({100, 50}, 10, 1.5707964f);
  const double rotated[5][2] = {{110, 40}, {110, 60}, {100, 50}, {90, 40}, {90, 60}};
  for (int k = 0; k < 5; ++k) expectNear(turned[k], rotated[k][0], rotated[k][1]);

  // Draw: the two sides and the two diagonals, the first moved up and left.
  RecordingCanvas dc;
  CWValve v;
  v.dc = &dc;
  v.PlaceAt({100, 50}, 1.0);
  v.angle = 0.0f;
  v.Draw();
  auto lines = dc.of(Kind::Line);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0]->points, (std::vector<Point>{{90, 40}, {110, 40}}));
  EXPECT_EQ(lines[1]->points, (std::vector<Point>{{90, 60}, {110, 60}}));
  EXPECT_EQ(lines[2]->points, (std::vector<Point>{{89, 39}, {110, 60}}));
  EXPECT_EQ(lines[3]->points, (std::vector<Point>{{110, 39}, {90, 60}}));
  for (auto* l : lines) EXPECT_EQ(l->pen, platform::Pen::solid(0, 2));
  EXPECT_TRUE(dc.of(Kind::Polygon).empty());  // an ordinary valve is not filled
  // Grips: position, size handle, rotation handle (orange), label.
  auto grips = dc.of(Kind::FillRect);
  ASSERT_EQ(grips.size(), 4u);
  EXPECT_EQ(grips[2]->fill, kOrangeGripColour);
  EXPECT_EQ(grips[2]->rect, (platform::Rect{123, 48, 127, 52}));
}

TEST_F(Settings, WaterSourceIsFilledAndLabelledAsSuch) {
  RecordingCanvas dc;
  CWValve v;
  v.dc = &dc;
  v.PlaceAt({100, 50}, 1.0);
  v.SetWaterSource(1);
  v.Draw();
  auto fills = dc.of(Kind::Polygon);
  ASSERT_EQ(fills.size(), 2u);
  for (auto* f : fills) EXPECT_EQ(f->brush, platform::Brush::solid(0));
  EXPECT_EQ(fills[0]->points[2], (Point{100, 50}));  // both triangles meet at the centre
  EXPECT_EQ(v.GetKindName(), cp("Zawór (źródło wody)"));
  dc.clear();
  v.DrawLabel();
  ASSERT_EQ(dc.of(Kind::Text).size(), 1u);
  EXPECT_EQ(dc.of(Kind::Text)[0]->text, cp("źródło wody"));
  EXPECT_EQ(dc.of(Kind::Text)[0]->points[0], (Point{88, 62}));  // offset (-12, 12)
}

TEST_F(Settings, ValveHandlesSetSizeAndAngle) {
  RecordingCanvas dc;
  CWValve v;
  v.dc = &dc;
  v.PlaceAt({100, 100}, 2.0);
  EXPECT_EQ((Point{v.pointAX, v.pointAY}), (Point{120, 120}));
  EXPECT_EQ((Point{v.pointBX, v.pointBY}), (Point{150, 100}));
  EXPECT_EQ(v.halfSize(), 20);

  ASSERT_EQ(v.PickGrip({150, 101}, 0), 1);
  EXPECT_EQ(v.rotGripPicked, 1);
  const struct {
    Point to;
    float angle;
  } turns[] = {{{100, 75}, 0.0f},                                 // straight above
               {{125, 100}, static_cast<float>(M_PI / 2)},        // to the right
               {{75, 125}, static_cast<float>(M_PI / 4)},         // below left
               {{100, 100}, static_cast<float>(M_PI / 4)}};       // on the centre: unchanged
  for (const auto& t : turns) {
    v.DragGrip(t.to, {});
    EXPECT_NEAR(v.angle, t.angle, 1e-6) << t.to.x << "," << t.to.y;
  }
  EXPECT_DOUBLE_EQ(v.pointBUx, 50.0);  // plan units follow the handle

  v.ResetGrips();
  ASSERT_EQ(v.PickGrip({119, 121}, 0), 1);
  v.DragGrip({93, 140}, {});
  EXPECT_EQ(v.halfSize(), 7);  // horizontal distance only
  // Moving the position keeps the handles' distances.
  v.ResetGrips();
  v.pointBX = 130;
  ASSERT_EQ(v.PickGrip({100, 100}, 1), 1);
  v.DragGrip({110, 90}, {});
  EXPECT_EQ((Point{v.pointAX, v.pointAY}), (Point{103, 130}));
  EXPECT_EQ((Point{v.pointBX, v.pointBY}), (Point{140, 90}));
  EXPECT_EQ(dc.rasterOp(), platform::RasterOp::CopyPen);  // restored after the drag
}

TEST_F(Settings, OnlyTheLastWaterSourceIsKeptFromDeletion) {
  CWValve source, valve;
  source.SetWaterSource(1);
  CWController controller;
  const struct {
    CWBase* object;
    int sources;
    int result;
  } cases[] = {{&source, 1, -1}, {&source, 2, 0}, {&valve, 1, 0}, {&controller, 1, 0}};
  for (const auto& c : cases) {
    c.object->deleted = 0;
    std::vector<UserMessage> said;
    EXPECT_EQ(DeleteObject(*c.object, c.sources, [&](const UserMessage& m) { said.push_back(m); }), c.result);
    EXPECT_EQ(c.object->deleted, c.result == 0 ? 1 : 0);
    if (c.result == 0) {
      EXPECT_TRUE(said.empty());
    } else {
      ASSERT_EQ(said.size(), 1u);
      EXPECT_EQ(said[0].text, cp("To jedyne źródło wody w systemie. Nie można go usunąć."));
      EXPECT_EQ(said[0].caption, "Info");
      EXPECT_EQ(said[0].icon, UserMessage::Icon::Error);
    }
  }
}

TEST_F(Settings, CatalogueLabelsShowTheShortCode) {
  const struct {
    const char* name;
    const char* label;
  } names[] = {{"Zawór 24V <ZV1>", "ZV1"}, {"Zawór 24V", "Zawór 24V"}, {"Filtr <F 1> siatkowy <x>", "F 1"},
               {"Studzienka <S10", "S10"}};
  for (const auto& n : names) {
    Element valveElem(kKindValve, n.name), boxElem(kKindValveBox, n.name), ctrlElem(kKindController, n.name),
        filterElem(kKindFilter, n.name), regElem(kKindRegulator, n.name), sensorElem(kKindSoilSensor, n.name);
    CWValve valve;
    CWValveBox box;
    CWController controller;
    CWFilter filter;
    CWReg reg;
    CWRainSensor sensor;
    valve.elem = &valveElem.e;
    box.elem = &boxElem.e;
    controller.elem = &ctrlElem.e;
    filter.elem = &filterElem.e;
    reg.elem = &regElem.e;
    sensor.elem = &sensorElem.e;
    for (CWBase* o : std::initializer_list<CWBase*>{&valve, &box, &controller, &filter, &reg, &sensor}) {
      RecordingCanvas dc;
      o->dc = &dc;
      o->DrawLabel();
      ASSERT_EQ(dc.of(Kind::Text).size(), 1u) << o->GetType();
      EXPECT_EQ(dc.of(Kind::Text)[0]->text, cp(n.label)) << o->GetType();
    }
    EXPECT_EQ(box.GetKindName(), cp(n.name));  // the box lists its full name
  }
  // A sensor labels only rain and soil sensor elements.
  Element other(kKindValve, "Czujnik <C>");
  CWRainSensor sensor;
  sensor.elem = &other.e;
  RecordingCanvas dc;
  sensor.dc = &dc;
  sensor.DrawLabel();
  EXPECT_TRUE(dc.of(Kind::Text).empty());
}

TEST(SymbolKinds, TypesKindNamesAndLabelOffsets) {
  EXPECT_EQ(CWValve().GetKindName(), cp("Zawór"));
  const struct {
    std::unique_ptr<CWBase> o;
    int type;
    const char* kind;
    Point labelOffset;
  } cases[] = {{std::make_unique<CWValve>(), 1003, nullptr, {-12, 12}},
               {std::make_unique<CWController>(), 1004, "Sterownik", {-9, 15}},
               {std::make_unique<CWFilter>(), 1012, "Filtr", {-10, 10}},
               {std::make_unique<CWReg>(), 1014, "Regulator", {-10, 10}},
               {std::make_unique<CWValveBox>(), 1015, "", {-10, 10}},
               {std::make_unique<CWRainSensor>(), 1016, "Wylacznik", {-20, -30}}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.o->GetType(), c.type);
    if (c.kind) {
      EXPECT_EQ(c.o->GetKindName(), c.kind);
    }
    EXPECT_FLOAT_EQ(c.o->GetFlow(), -1.0f);
    EXPECT_EQ((Point{c.o->labelDx, c.o->labelDy}), c.labelOffset) << c.type;
  }
}

// --- valve box -------------------------------------------------------------------

TEST_F(Settings, ValveBoxCornersFollowTheTurn) {
  RecordingCanvas dc;
  CWValveBox box;
  box.dc = &dc;
  box.PlaceAt({100, 100}, 1.0);
  EXPECT_EQ((Point{box.widthGripX, box.widthGripY}), (Point{120, 100}));
  EXPECT_EQ((Point{box.lengthGripX, box.lengthGripY}), (Point{120, 140}));
  box.Draw();
  auto outlines = dc.of(Kind::Polygon);
  ASSERT_EQ(outlines.size(), 2u);  // the green double line
  EXPECT_EQ(outlines[0]->pen, platform::Pen::solid(0x008000, 3));
  EXPECT_EQ(outlines[1]->pen, platform::Pen::solid(0xFFFFFF, 1));
  EXPECT_EQ(outlines[0]->brush.style, platform::BrushStyle::Null);
  EXPECT_EQ(outlines[0]->points, (std::vector<Point>{{100, 100}, {120, 100}, {120, 140}, {100, 140}}));

  // Turning by the width handle: towards (0, 1) gives the matrix (0 1; 1 0).
  ASSERT_EQ(box.PickGrip({121, 99}, 0), 1);
  ASSERT_EQ(box.widthGripPicked, 1);
  box.DragGrip({100, 150}, {});
  EXPECT_FLOAT_EQ(box.turn11, 0.0f);
  EXPECT_FLOAT_EQ(box.turn12, 1.0f);
  EXPECT_FLOAT_EQ(box.turn21, 1.0f);
  EXPECT_FLOAT_EQ(box.turn22, 0.0f);
  EXPECT_EQ((Point{box.widthGripX, box.widthGripY}), (Point{100, 120}));
  auto c = box.corners();
  EXPECT_EQ(c[1], (Point{100, 120}));
  EXPECT_EQ(c[2], (Point{140, 120}));
  EXPECT_EQ(c[3], (Point{140, 100}));
  // An oblique turn: (c, s) = (0.6, 0.8); corner (w, l) = (20, 40) goes to
  // (0.6*20 + 0.8*40, 0.8*20 - 0.6*40) = (44, -8).
  box.DragGrip({130, 140}, {});
  c = box.corners();
  EXPECT_EQ(c[2], (Point{144, 92}));
  EXPECT_EQ((Point{box.widthGripX, box.widthGripY}), (Point{112, 116}));
  // Onto the position itself: no direction, the turn stays.
  box.DragGrip({100, 100}, {});
  EXPECT_FLOAT_EQ(box.turn11, 0.6f);
  EXPECT_FALSE(std::isnan(box.turn22));

  // The length handle sets both sizes, signed.
  box.ResetGrips();
  ASSERT_EQ(box.PickGrip({120, 140}, 0), 1);
  ASSERT_EQ(box.lengthGripPicked, 1);
  box.DragGrip({90, 130}, {});
  EXPECT_EQ(box.widthPx, -10);
  EXPECT_EQ(box.lengthPx, 30);
  EXPECT_FLOAT_EQ(box.lengthU, 30.0f);
}

TEST_F(Settings, RoundValveBoxIgnoresWidthHandleAndTurn) {
  Element round(kKindValveBox, "Studzienka okrągła");
  static_cast<CStud*>(round.e.data)->isRound = 1;
  RecordingCanvas dc;
  CWValveBox box;
  box.elem = &round.e;
  box.dc = &dc;
  box.PlaceAt({100, 100}, 1.0);
  box.turn11 = 0.6f;
  box.turn21 = 0.8f;
  box.Draw();
  auto circles = dc.of(Kind::Ellipse);
  ASSERT_EQ(circles.size(), 2u);
  EXPECT_EQ(circles[0]->rect, (platform::Rect{90, 90, 110, 110}));  // diameter widthPx
  EXPECT_TRUE(dc.of(Kind::Polygon).empty());
  EXPECT_EQ(dc.of(Kind::FillRect).size(), 3u);  // no width handle grip
  box.ResetGrips();
  EXPECT_EQ(box.PickGrip({box.widthGripX, box.widthGripY}, 0), 0);

  // On paper the double line is four times wider.
  dc.clear();
  box.printing = 1;
  box.showGrips = 0;
  box.Draw();
  EXPECT_EQ(dc.of(Kind::Ellipse)[0]->pen.width, 12);
  EXPECT_EQ(dc.of(Kind::Ellipse)[1]->pen.width, 4);
}

// --- controller --------------------------------------------------------------------

TEST_F(Settings, ControllerClockFace) {
  const struct {
    int size;
    int rim, face, tickIn, tickOut;
    Point hand;  // the long hand's end from the centre
  } cases[] = {{20, 12, 10, 7, 11, {7, -3}}, {25, 14, 12, 8, 13, {9, -3}}, {40, 24, 20, 14, 22, {14, -6}}};
  for (const auto& c : cases) {
    RecordingCanvas dc;
    CWController ctrl;
    ctrl.dc = &dc;
    ctrl.showGrips = 0;
    ctrl.PlaceAt({200, 100}, 1.0);
    ctrl.size = c.size;
    ctrl.Draw();
    auto circles = dc.of(Kind::Ellipse);
    ASSERT_EQ(circles.size(), 2u);
    EXPECT_EQ(circles[0]->rect, (platform::Rect{200 - c.rim, 100 - c.rim, 200 + c.rim, 100 + c.rim})) << c.size;
    EXPECT_EQ(circles[1]->rect, (platform::Rect{200 - c.face, 100 - c.face, 200 + c.face, 100 + c.face}));
    EXPECT_EQ(circles[0]->brush, platform::Brush::solid(0xFFFFFF));
    EXPECT_EQ(circles[0]->pen, platform::Pen::solid(0, 2));
    auto lines = dc.of(Kind::Line);
    ASSERT_EQ(lines.size(), 14u);  // twelve ticks, two hands
    EXPECT_EQ(lines[0]->points, (std::vector<Point>{{200 + c.tickIn, 100}, {200 + c.tickOut, 100}}));
    EXPECT_EQ(lines[3]->points[0], (Point{200, 100 - c.tickIn}));  // k = 3: straight up
    EXPECT_EQ(lines[12]->points[1], (Point{200 + c.hand.x, 100 + c.hand.y})) << c.size;
  }
}

TEST_F(Settings, ControllerSizeHandle) {
  RecordingCanvas dc;
  CWController ctrl;
  ctrl.dc = &dc;
  ctrl.PlaceAt({100, 100}, 2.0);
  EXPECT_EQ(ctrl.size, 40);
  EXPECT_EQ(ctrl.sizeGripX, 140);
  ASSERT_EQ(ctrl.PickGrip({140, 100}, 0), 1);
  ctrl.DragGrip({70, 120}, {});
  EXPECT_EQ(ctrl.size, 30);
  EXPECT_EQ((Point{ctrl.sizeGripX, ctrl.sizeGripY}), (Point{130, 100}));
  EXPECT_FLOAT_EQ(ctrl.sizeU, 15.0f);
  ctrl.ResetGrips();
  ASSERT_EQ(ctrl.PickGrip({101, 100}, 1), 1);
  ctrl.DragGrip({50, 60}, {});
  EXPECT_EQ((Point{ctrl.sizeGripX, ctrl.sizeGripY}), (Point{80, 60}));
  EXPECT_DOUBLE_EQ(ctrl.sizeGripUx, 40.0);

  // The label's control point: (50, 60) + (-9, 15) x 2; mode 1 leaves it.
  ctrl.ResetGrips();
  EXPECT_EQ(ctrl.PickGrip({33, 90}, 1), 0);
  ASSERT_EQ(ctrl.PickGrip({33, 90}, 0), 1);
  EXPECT_EQ(ctrl.labelGripPicked, 1);
  ctrl.DragGrip({71, 39}, {});
  EXPECT_EQ((Point{ctrl.labelDx, ctrl.labelDy}), (Point{10, -10}));  // plan units, truncated
  EXPECT_EQ((Point{ctrl.posX, ctrl.posY}), (Point{50, 60}));
  EXPECT_EQ(dc.rasterOp(), platform::RasterOp::CopyPen);
}

// --- filter, regulator, sensor and their symbol files -------------------------------

TEST(SymbolFiles, ShippedFiguresEndAndFitTheirSize) {
  for (const char* name : {"Filtr.sym", "Regulator.sym", "wyl.sym", "Sterownik.sym"}) {
    std::string text = readShipped(name);
    ASSERT_FALSE(text.empty()) << name;
    std::string bare = text;
    while (!bare.empty() && std::isspace(static_cast<unsigned char>(bare.back()))) bare.pop_back();
    RecordingCanvas withNewline, without;
    drawSymbolFigure(withNewline, parseSymbolText(text), {100, 100}, 20);
    drawSymbolFigure(without, parseSymbolText(bare), {100, 100}, 20);
    auto lines = withNewline.of(Kind::Line);
    EXPECT_GE(lines.size(), 3u) << name;
    ASSERT_EQ(without.of(Kind::Line).size(), lines.size()) << name;
    for (size_t k = 0; k < lines.size(); ++k) {
      EXPECT_EQ(without.of(Kind::Line)[k]->points, lines[k]->points);
      for (Point p : lines[k]->points) {  // within one symbol size of the centre
        EXPECT_LE(std::abs(p.x - 100), 20) << name;
        EXPECT_LE(std::abs(p.y - 100), 20) << name;
      }
    }
  }
}

TEST_F(Settings, FilterAndRegulatorDrawTheirSymbolFiles) {
  RecordingCanvas dc;
  CWFilter filter;
  filter.symData = std::make_shared<const SymbolData>(parseSymbolText(readShipped("Filtr.sym")));
  filter.dc = &dc;
  filter.PlaceAt({50, 60}, 2.0);
  EXPECT_EQ(filter.size, 40);
  filter.Draw();
  // The diamond's top corner: (200, 60) in the design space, half a size up.
  ASSERT_FALSE(dc.of(Kind::Line).empty());
  EXPECT_EQ(dc.of(Kind::Line)[0]->points[0], (Point{50, 40}));
  EXPECT_EQ(dc.of(Kind::Line)[0]->pen, platform::Pen::solid(0, 1));
  EXPECT_EQ(dc.of(Kind::FillRect).size(), 2u);  // position and label, no size handle
  // The label lies at its control point, on the screen as on paper.
  filter.labelDx = -10;
  filter.labelDy = 10;
  EXPECT_EQ(dc.of(Kind::FillRect)[1]->rect, (platform::Rect{28, 78, 32, 82}));
  dc.clear();
  filter.DrawLabel();
  EXPECT_EQ(dc.of(Kind::Text)[0]->points[0], (Point{30, 80}));
  EXPECT_EQ(filter.CloneAt({0, 0}), nullptr);

  CWReg reg;
  reg.symData = std::make_shared<const SymbolData>(parseSymbolText(readShipped("Regulator.sym")));
  reg.dc = &dc;
  reg.PlaceAt({50, 60}, 2.0);
  EXPECT_EQ((Point{reg.sizeGripX, reg.sizeGripY}), (Point{90, 60}));  // one size beside
  EXPECT_EQ(reg.CloneAt({0, 0}), nullptr);
  dc.clear();
  reg.DrawHighlighted();
  ASSERT_FALSE(dc.of(Kind::Line).empty());
  for (auto* l : dc.of(Kind::Line)) EXPECT_EQ(l->pen, platform::Pen::solid(0x0000CC, 2));
}

TEST_F(Settings, RainSensorDrawsItsFixedFigure) {
  RecordingCanvas dc;
  CWRainSensor sensor;
  sensor.symData = std::make_shared<const SymbolData>(parseSymbolText(readShipped("wyl.sym")));
  sensor.dc = &dc;
  sensor.showGrips = 0;
  sensor.PlaceAt({100, 100}, 2.0);
  sensor.Draw();
  auto circles = dc.of(Kind::Ellipse);
  auto lines = dc.of(Kind::Line);
  ASSERT_EQ(circles.size(), 1u);
  ASSERT_EQ(lines.size(), 1u);  // the file is not drawn
  EXPECT_EQ(circles[0]->rect, (platform::Rect{80, 80, 120, 120}));
  EXPECT_EQ(circles[0]->pen, platform::Pen::solid(0x0000FF, 4));
  EXPECT_EQ(circles[0]->brush, platform::Brush::solid(0xFFFFFF));
  // h = sqrt(2) * 20 * 0.5 = 14.14
  EXPECT_EQ(lines[0]->points, (std::vector<Point>{{86, 114}, {114, 86}}));
  EXPECT_EQ(lines[0]->pen, platform::Pen::solid(0x0000FF, 4));

  // The size handle sets the size; a copy lands on its target.
  sensor.ResetGrips();
  ASSERT_EQ(sensor.PickGrip({140, 100}, 0), 1);
  sensor.DragGrip({130, 90}, {});
  EXPECT_EQ(sensor.size, 30);
  EXPECT_EQ(dc.rasterOp(), platform::RasterOp::CopyPen);
  auto copy = sensor.CloneAt({10, 20});
  ASSERT_NE(copy, nullptr);
  auto* moved = static_cast<CWRainSensor*>(copy.get());
  EXPECT_EQ((Point{moved->posX, moved->posY}), (Point{10, 20}));
  EXPECT_EQ((Point{moved->sizeGripX, moved->sizeGripY}), (Point{40, 20}));
  EXPECT_DOUBLE_EQ(moved->posUx, 5.0);
  EXPECT_EQ(sensor.posX, 100);
}

// --- copies and zoom ----------------------------------------------------------------

TEST_F(Settings, CopiesKeepTheirHandlesDistances) {
  CWValve v;
  v.PlaceAt({100, 100}, 1.0);
  auto vc = v.CloneAt({200, 50});
  auto* valve = static_cast<CWValve*>(vc.get());
  EXPECT_EQ((Point{valve->pointAX, valve->pointAY}), (Point{210, 60}));
  EXPECT_EQ((Point{valve->pointBX, valve->pointBY}), (Point{225, 50}));
  EXPECT_DOUBLE_EQ(valve->pointBUx, 225.0);

  CWValveBox b;
  b.PlaceAt({100, 100}, 1.0);
  auto bc = b.CloneAt({150, 150});
  auto* box = static_cast<CWValveBox*>(bc.get());
  EXPECT_EQ((Point{box->widthGripX, box->widthGripY}), (Point{170, 150}));
  EXPECT_EQ((Point{box->lengthGripX, box->lengthGripY}), (Point{170, 190}));
  EXPECT_DOUBLE_EQ(box->lengthGripUy, 190.0);

  CWController c;
  c.PlaceAt({100, 100}, 1.0);
  auto cc = c.CloneAt({0, 0});
  EXPECT_EQ(static_cast<CWController*>(cc.get())->sizeGripX, 20);
}

TEST_F(Settings, ZoomRoundTripRestoresEveryPixel) {
  // Objects placed at zoom 2 on odd pixels hold half plan units.
  CWValve valve;
  valve.PlaceAt({33, 47}, 2.0);
  valve.pointBX = 61;
  valve.pointBUx = 30.5;
  CWValveBox box;
  box.PlaceAt({35, 45}, 2.0);
  CWController ctrl;
  ctrl.PlaceAt({37, 43}, 2.0);
  CWReg reg;
  reg.PlaceAt({39, 41}, 2.0);
  CWRainSensor sensor;
  sensor.PlaceAt({41, 39}, 2.0);
  auto pixels = [&] {
    return std::vector<int>{valve.posX,     valve.posY,      valve.pointAX,    valve.pointAY,    valve.pointBX,
                            valve.pointBY,  box.posX,        box.posY,         box.widthGripX,   box.widthGripY,
                            box.lengthGripX, box.lengthGripY, box.widthPx,     box.lengthPx,     ctrl.posX,
                            ctrl.posY,      ctrl.sizeGripX,  ctrl.sizeGripY,   ctrl.size,        reg.posX,
                            reg.posY,       reg.sizeGripX,   reg.size,         sensor.posX,      sensor.sizeGripX,
                            sensor.size};
  };
  const std::vector<CWBase*> all{&valve, &box, &ctrl, &reg, &sensor};
  const auto atTwo = pixels();
  for (CWBase* o : all) o->Rescale(1.0f);
  const auto atOne = pixels();
  EXPECT_EQ(atOne[0], 16);  // 16.5 plan units, truncated
  for (CWBase* o : all) o->Rescale(2.0f);
  EXPECT_EQ(pixels(), atTwo);
  for (CWBase* o : all) o->Rescale(1.0f);
  EXPECT_EQ(pixels(), atOne);
  for (CWBase* o : all) EXPECT_DOUBLE_EQ(o->scale, 1.0);
}
