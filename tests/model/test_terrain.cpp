// Terrain primitives: fills, drawing, creation, editing, zoom and copies.

#include <gtest/gtest.h>

#include <algorithm>

#include "document/fill_patterns.h"
#include "document/terrain.h"
#include "platform/recording_canvas.h"
#include "platform/textcodec.h"

namespace {

using platform::BrushStyle;
using platform::RasterOp;
using platform::RecordingCanvas;
using Kind = platform::RecordingCanvas::Kind;

CPoly area(RecordingCanvas* dc, std::initializer_list<Point> points) {
  CPoly p;
  p.dc = dc;
  for (Point q : points) p.AddVertex(q);
  return p;
}

CRectn rectangle(RecordingCanvas* dc, Point from, Point to) {
  CRectn r;
  r.dc = dc;
  r.BeginCreate(from);
  r.CreateMoveTo(to);
  r.EndCreate(to);
  return r;
}

template <typename Shape>
Shape roundShape(RecordingCanvas* dc, Point centre, Point rim) {
  Shape s;
  s.dc = dc;
  s.BeginCreate(centre);
  s.EndCreate(rim);
  return s;
}

// Every closed kind, made on `dc` with the given fill kind.
std::vector<std::unique_ptr<CPrimitive>> closedShapes(RecordingCanvas* dc, int fillKind) {
  std::vector<std::unique_ptr<CPrimitive>> out;
  out.push_back(std::make_unique<CCircle>(roundShape<CCircle>(dc, {100, 100}, {110, 100})));
  out.push_back(std::make_unique<CEllipse>(roundShape<CEllipse>(dc, {100, 100}, {120, 110})));
  out.push_back(std::make_unique<CRectn>(rectangle(dc, {50, 60}, {90, 80})));
  out.push_back(std::make_unique<CPoly>(area(dc, {{10, 10}, {60, 10}, {30, 50}})));
  for (auto& p : out) p->SetFillKind(fillKind);
  return out;
}

}  // namespace

TEST(TerrainFill, KindsCarryOutlineColourNameAndTile) {
  const struct {
    int kind;
    Colour outline;
    const char* name;
    int tileW, tileH;  // 0: no picture
  } cases[] = {
      {2000, 0x00C800, "Trawnik", 26, 24},
      {3000, 0x008000, "Żywopłot", 29, 28},
      {4000, 0x0000FF, "Budynek", 0, 0},
      {5000, 0xCCCCCC, "Nawierzchnia utwardzona", 32, 32},
      {6000, 0xA00000, "Oczko wodne/basen", 32, 31},
      {7000, 0x004000, "Drzewo/Krzew", 32, 32},
      {7100, 0x309EDC, "Kwiaty", 32, 32},
      {100, 0, "Inne", 0, 0},
      {1000, 0, "", 32, 32},
      {0, 0, "", 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    EXPECT_EQ(fillKindOutlineColour(c.kind), c.outline);
    EXPECT_EQ(fillKindName(c.kind), platform::utf8ToCp1250(c.name));
    auto tile = fillPatternTile(c.kind);
    if (c.tileW == 0) {
      EXPECT_EQ(tile, nullptr);
      continue;
    }
    ASSERT_NE(tile, nullptr);
    EXPECT_EQ(tile->width, c.tileW);
    EXPECT_EQ(tile->height, c.tileH);
    EXPECT_EQ(tile->pixels.size(), static_cast<size_t>(c.tileW * c.tileH));
    EXPECT_EQ(tile, fillPatternTile(c.kind));  // made once and shared
  }
  // Solid purple, and the lawn is green.
  EXPECT_EQ(fillPatternTile(1000)->at(5, 7), 0xFF800080u);
  const uint32_t lawn = fillPatternTile(2000)->at(3, 3);
  EXPECT_GT((lawn >> 8) & 0xFF, (lawn >> 16) & 0xFF);

  CPoly p;
  p.SetFillKind(3000);
  EXPECT_EQ(p.colour, 0x008000u);
  EXPECT_EQ(p.fillKind, 3000);
}

TEST(TerrainDraw, PatternedKindsTileTheirPictureAndPutTheBrushBack) {
  RecordingCanvas dc;
  const platform::Brush before = platform::Brush::solid(0x123456);
  dc.setBrush(before);
  for (auto& shape : closedShapes(&dc, 6000)) {
    dc.clear();
    shape->viewOrgX = 7;
    shape->viewOrgY = -3;
    shape->Draw();
    ASSERT_FALSE(dc.ops.empty());
    const auto& fig = dc.ops.front();
    EXPECT_EQ(fig.brush.style, BrushStyle::Pattern) << shape->GetType();
    EXPECT_EQ(fig.brush.pattern, fillPatternTile(6000));
    EXPECT_EQ(fig.pen, platform::Pen::solid(0xA00000));
    EXPECT_EQ(fig.origin, (Point{7, -3}));
    EXPECT_EQ(dc.brush(), before);
    EXPECT_EQ(dc.viewportOrigin(), (Point{0, 0}));
  }
}

// The hatch lines of step `step`: each on y = x + step m, and together they
// leave no gap in the range of offsets that cross the building.
template <typename Lines>
void expectHatchOver(const Lines& lines, int step, int type) {
  SCOPED_TRACE(type);
  std::vector<int> offsets;
  for (const auto* l : lines) {
    ASSERT_EQ(l->points.size(), 2u);
    const Point a = l->points[0], b = l->points[1];
    EXPECT_EQ(b.x - a.x, b.y - a.y);
    EXPECT_EQ(((a.y - a.x) % step + step) % step, 0);
    offsets.push_back(a.y - a.x);
  }
  std::sort(offsets.begin(), offsets.end());
  for (size_t i = 1; i < offsets.size(); ++i) EXPECT_EQ(offsets[i] - offsets[i - 1], step);
}

TEST(TerrainDraw, BuildingIsAlwaysHatchedInsideItsClip) {
  RecordingCanvas dc;
  for (auto& shape : closedShapes(&dc, 4000)) {
    SCOPED_TRACE(shape->GetType());
    dc.clear();
    shape->viewOrgX = 10;
    shape->clipRect = {0, 0, 800, 600};
    shape->Draw();
    for (const auto& op : dc.ops) EXPECT_NE(op.brush.style, BrushStyle::Pattern);
    // The interior, then the clip of the shape.
    ASSERT_GE(dc.ops.size(), 2u);
    EXPECT_EQ(dc.ops[0].brush.style, BrushStyle::Solid);
    EXPECT_EQ(dc.ops[0].brush.colour, shape->GetType() == kTerrainCircle ? app().settings.backgroundColour : 0xFFFFFFu);
    const Kind clip = dc.ops[1].kind;
    EXPECT_TRUE(clip == Kind::ClipEllipse || clip == Kind::ClipPolygon);
    EXPECT_EQ(dc.ops[1].origin, (Point{10, 0}));
    // The hatch from the device origin, in the outline colour: lines
    // y = x + 7 m across the building's box.
    auto lines = dc.of(Kind::Line);
    // The hatch is laid from the device origin; a grip line comes later.
    std::erase_if(lines, [](const auto* l) { return l->origin != Point{0, 0}; });
    ASSERT_FALSE(lines.empty());
    expectHatchOver(lines, 7, shape->GetType());
    EXPECT_EQ(lines[0]->origin, (Point{0, 0}));
    EXPECT_EQ(lines[0]->pen.colour, 0x0000FFu);
    // The outline after the hatch, unfilled, then the view's clip back.
    const auto& outline = dc.ops[2 + lines.size()];
    EXPECT_EQ(outline.brush.style, BrushStyle::Null);
    EXPECT_EQ(outline.origin, (Point{10, 0}));
    const auto& restore = dc.ops[3 + lines.size()];
    EXPECT_EQ(restore.kind, Kind::ClipRect);
    EXPECT_EQ(restore.rect, (platform::Rect{0, 0, 800, 600}));
    EXPECT_EQ(restore.origin, (Point{0, 0}));
  }
}

TEST(TerrainDraw, BuildingOnPaperAndWithFillsOff) {
  RecordingCanvas dc;
  CRectn r = rectangle(&dc, {0, 0}, {40, 20});
  r.SetFillKind(4000);
  r.showGrips = 0;
  dc.clear();
  r.printing = 1;
  r.Draw();
  auto lines = dc.of(Kind::Line);
  ASSERT_FALSE(lines.empty());
  expectHatchOver(lines, 14, 0);
  dc.clear();
  r.preview = 1;  // the preview hatches as the screen does
  r.Draw();
  expectHatchOver(dc.of(Kind::Line), 7, 0);
  // Far from the device origin a building is hatched all the same.
  CRectn far = rectangle(&dc, {3000, 2500}, {3100, 2560});
  far.SetFillKind(4000);
  far.showGrips = 0;
  dc.clear();
  far.Draw();
  const auto farLines = dc.of(Kind::Line);
  ASSERT_FALSE(farLines.empty());
  for (const auto* l : farLines) {
    EXPECT_LE(l->points[0].x, 3000);
    EXPECT_GE(l->points[1].x, 3100);
  }
  // Fills off: clipped outline only, and no clip of the view known: none.
  dc.clear();
  r.printing = r.preview = 0;
  r.noFill = 1;
  r.Draw();
  ASSERT_EQ(dc.ops.size(), 3u);
  EXPECT_EQ(dc.ops[0].kind, Kind::ClipPolygon);
  EXPECT_EQ(dc.ops[1].kind, Kind::Polygon);
  EXPECT_EQ(dc.ops[1].brush.style, BrushStyle::Null);
  EXPECT_EQ(dc.ops[2].kind, Kind::ResetClip);
}

TEST(TerrainDraw, LawnIsOutlineOnlyOnPaperWithoutTheLawnOption) {
  const struct {
    int printing, preview, option;
    bool patterned;
  } cases[] = {{0, 0, 0, true}, {1, 1, 0, true}, {1, 0, 0, false}, {1, 0, 1, true}, {0, 0, 1, true}};
  RecordingCanvas dc;
  CPoly lawn = area(&dc, {{0, 0}, {50, 0}, {50, 50}});
  lawn.SetFillKind(2000);
  const int keep = app().printLawnFill;
  for (const auto& c : cases) {
    dc.clear();
    lawn.printing = c.printing;
    lawn.preview = c.preview;
    app().printLawnFill = c.option;
    lawn.Draw();
    const auto polys = dc.of(Kind::Polygon);
    ASSERT_EQ(polys.size(), 1u);
    EXPECT_EQ(polys[0]->brush.style, c.patterned ? BrushStyle::Pattern : BrushStyle::Null)
        << c.printing << c.preview << c.option;
    EXPECT_EQ(polys[0]->pen, platform::Pen::solid(0x00C800));
  }
  app().printLawnFill = keep;
}

TEST(TerrainDraw, OtherKindIsFilledSolidOnASecondPass) {
  RecordingCanvas dc;
  for (auto& shape : closedShapes(&dc, 100)) {
    dc.clear();
    shape->fillColour = 0x3366CC;
    shape->colour = 0x00AA00;
    shape->showGrips = 0;
    shape->Draw();
    ASSERT_EQ(dc.ops.size(), 2u);
    EXPECT_EQ(dc.ops[1].brush, platform::Brush::solid(0x3366CC));
    // The rectangle keeps its outline pen; the others outline in black.
    EXPECT_EQ(dc.ops[1].pen.colour, shape->GetType() == kTerrainRectangle ? 0x00AA00u : 0u);
    dc.clear();
    shape->noFill = 1;
    shape->Draw();
    ASSERT_EQ(dc.ops.size(), 1u);
    EXPECT_EQ(dc.ops[0].brush.style, BrushStyle::Null);
  }
}

TEST(TerrainDraw, ShapesAndGrips) {
  RecordingCanvas dc;
  app().settings.terrainPointColour = 0x0000AA;
  app().settings.terrainLineColour = 0x00BB00;
  CCircle c = roundShape<CCircle>(&dc, {100, 100}, {103, 104});
  dc.clear();
  c.Draw();
  ASSERT_EQ(dc.of(Kind::Ellipse).size(), 1u);
  EXPECT_EQ(dc.of(Kind::Ellipse)[0]->rect, (platform::Rect{95, 95, 105, 105}));
  EXPECT_DOUBLE_EQ(c.param, 5.0);
  ASSERT_EQ(dc.of(Kind::Line).size(), 1u);
  EXPECT_EQ(dc.of(Kind::Line)[0]->pen.colour, 0x00BB00u);
  const auto grips = dc.of(Kind::FillRect);
  ASSERT_EQ(grips.size(), 2u);
  EXPECT_EQ(grips[0]->rect, (platform::Rect{98, 98, 102, 102}));
  EXPECT_EQ(grips[1]->rect, (platform::Rect{101, 102, 105, 106}));
  EXPECT_EQ(grips[1]->fill, 0x0000AAu);

  // An ellipse whose rim lies on the centre's row is flat.
  CEllipse flat = roundShape<CEllipse>(&dc, {50, 40}, {80, 40});
  dc.clear();
  flat.Draw();
  EXPECT_EQ(dc.of(Kind::Ellipse)[0]->rect, (platform::Rect{20, 40, 80, 40}));

  // A polyline: open, unfilled, grips at every vertex and the centre.
  CLine line;
  line.dc = &dc;
  line.SetFillKind(2000);
  for (Point p : {Point{0, 0}, Point{10, 0}, Point{10, 20}}) line.AddVertex(p);
  dc.clear();
  line.Draw();
  ASSERT_EQ(dc.of(Kind::Polyline).size(), 1u);
  EXPECT_EQ(dc.of(Kind::Polyline)[0]->brush.style, BrushStyle::Null);
  EXPECT_TRUE(dc.of(Kind::Polygon).empty());
  const auto lineGrips = dc.of(Kind::FillRect);
  ASSERT_EQ(lineGrips.size(), 4u);
  EXPECT_EQ(lineGrips[0]->fill, kFirstVertexGripColour);
  EXPECT_EQ(lineGrips[3]->fill, kOrangeGripColour);
  EXPECT_EQ(lineGrips[3]->rect, (platform::Rect{3, 8, 7, 12}));

  // Highlight: the outline only, 2 pixels wide in the highlight colour.
  app().settings.highlightColour = 0x00FFFF;
  dc.clear();
  c.DrawHighlight();
  ASSERT_EQ(dc.ops.size(), 1u);
  EXPECT_EQ(dc.ops[0].pen, platform::Pen::solid(0x00FFFF, 2));
  EXPECT_EQ(dc.ops[0].brush.style, BrushStyle::Null);
}

TEST(TerrainCreate, AreaClosesOnlyCloserThanFivePixelsToItsStart) {
  const struct {
    Point click;
    VertexClick result;
  } cases[] = {
      {{104, 100}, VertexClick::Closed}, {{105, 100}, VertexClick::Added}, {{97, 97}, VertexClick::Closed},
      {{103, 104}, VertexClick::Added},  {{100, 96}, VertexClick::Closed},
  };
  for (const auto& c : cases) {
    CPoly p = area(nullptr, {{100, 100}, {200, 100}, {200, 200}});
    EXPECT_EQ(p.ClickVertex(c.click), c.result) << c.click.x << "," << c.click.y;
    EXPECT_EQ(p.count(), c.result == VertexClick::Closed ? 3 : 4);
  }
  // Too early to close: the slip is ignored.
  CPoly early = area(nullptr, {{100, 100}, {200, 100}});
  EXPECT_EQ(early.ClickVertex({102, 101}), VertexClick::Ignored);
  EXPECT_EQ(early.count(), 2);
  // A polyline never closes.
  CLine open;
  for (Point q : {Point{100, 100}, Point{200, 100}, Point{200, 200}}) open.AddVertex(q);
  EXPECT_EQ(open.ClickVertex({101, 100}), VertexClick::Added);
  EXPECT_EQ(open.count(), 4);
}

TEST(TerrainCreate, AreaHoldsAtMost9990Vertices) {
  CPoly p;
  for (int i = 0; i < kMaxVertices; ++i) ASSERT_TRUE(p.AddVertex({i % 300, i / 300 * 10}));
  EXPECT_FALSE(p.AddVertex({5000, 5000}));
  EXPECT_EQ(p.ClickVertex({6000, 6000}), VertexClick::Ignored);
  EXPECT_EQ(p.count(), 9990);
  EXPECT_EQ(p.vertexU.size(), 9990u);
  EXPECT_EQ(p.vertexGripColour.size(), 9990u);

  std::vector<PointD> many(12000, PointD{1, 2});
  p.SetPlanVertices(many);
  EXPECT_EQ(p.count(), 9990);
}

TEST(TerrainCreate, RubberBandsAreInvertedAndErased) {
  RecordingCanvas dc;
  CCircle c;
  c.dc = &dc;
  c.viewOrgX = 4;
  c.BeginCreate({100, 100});
  c.CreateMoveTo({110, 100});
  c.CreateMoveTo({120, 100});
  c.EndCreate({120, 100});
  const auto ellipses = dc.of(Kind::Ellipse);
  // Drawn at 10, erased at 10, drawn at 20, erased at 20 on release.
  ASSERT_EQ(ellipses.size(), 4u);
  EXPECT_EQ(ellipses[0]->rect, ellipses[1]->rect);
  EXPECT_EQ(ellipses[2]->rect, (platform::Rect{80, 80, 120, 120}));
  EXPECT_EQ(ellipses[3]->rect, ellipses[2]->rect);
  for (const auto& op : dc.ops) {
    EXPECT_EQ(op.rop, RasterOp::Not);
    EXPECT_EQ(op.pen.colour, 0xFFFFFFu);
    EXPECT_EQ(op.brush.style, BrushStyle::Null);
    EXPECT_EQ(op.origin, (Point{4, 0}));
  }
  EXPECT_EQ(dc.rasterOp(), RasterOp::CopyPen);
  EXPECT_DOUBLE_EQ(c.x2, 120.0);
  EXPECT_DOUBLE_EQ(c.param, 20.0);

  // An area's band runs from the last vertex to the pointer.
  dc.clear();
  CPoly p;
  p.dc = &dc;
  p.BeginCreate({0, 0});
  p.CreateMoveTo({30, 40});
  p.CreateMoveTo({50, 40});
  const auto segs = dc.of(Kind::Line);
  ASSERT_EQ(segs.size(), 3u);
  EXPECT_EQ(segs[1]->points, segs[0]->points);
  EXPECT_EQ(segs[2]->points, (std::vector<Point>{{0, 0}, {50, 40}}));
}

TEST(TerrainCreate, RectangleFromADrag) {
  CRectn r = rectangle(nullptr, {101, 100}, {160, 141});
  EXPECT_EQ(r.cornerPx, (std::array<Point, 4>{Point{101, 100}, Point{160, 100}, Point{160, 141}, Point{101, 141}}));
  EXPECT_EQ(r.centreX, 130);
  EXPECT_EQ(r.centreY, 120);
  EXPECT_EQ(r.rectValue1, 59);
  EXPECT_EQ(r.rectValue2, 41);
  EXPECT_EQ(r.turnX, 155);
  EXPECT_EQ(r.turnY, 120);
  EXPECT_DOUBLE_EQ(r.endX, 155.0);
  EXPECT_DOUBLE_EQ(r.cornerU[2].y, 141.0);
}

TEST(TerrainEdit, RectangleTurnsAndResizesAlongItsTurn) {
  RecordingCanvas dc;
  CRectn r = rectangle(&dc, {100, 100}, {160, 140});
  const auto before = r.turnedCorners();
  ASSERT_TRUE(r.PickGrip({155, 120}));
  EXPECT_TRUE(r.grabbedTurn);

  // Handle straight to the right: the mirror matrix, the same rectangle.
  r.DragTo({155, 120}, {190, 120});
  EXPECT_EQ((std::array<float, 4>{r.turn11, r.turn12, r.turn21, r.turn22}), (std::array<float, 4>{1, 0, 0, -1}));
  auto now = r.turnedCorners();
  EXPECT_TRUE(std::is_permutation(now.begin(), now.end(), before.begin()));
  EXPECT_EQ((Point{r.turnX, r.turnY}), (Point{155, 120}));

  // Straight down: a quarter turn, 40 wide and 60 high.
  r.DragTo({155, 120}, {130, 170});
  now = r.turnedCorners();
  const auto [minX, maxX] = std::minmax({now[0].x, now[1].x, now[2].x, now[3].x});
  const auto [minY, maxY] = std::minmax({now[0].y, now[1].y, now[2].y, now[3].y});
  EXPECT_EQ(maxX - minX, 40);
  EXPECT_EQ(maxY - minY, 60);
  EXPECT_EQ((Point{r.turnX, r.turnY}), (Point{130, 145}));
  // On the centre there is no direction: nothing changes.
  r.DragTo({130, 145}, {130, 120});
  EXPECT_EQ(r.turnedCorners(), now);
  r.EndDrag();
  EXPECT_FALSE(r.grabbed());

  // Corner 2 is grabbed where it is drawn and stays under the pointer.
  ASSERT_TRUE(r.PickGrip(now[2]));
  EXPECT_EQ(r.cornerIndex, 2);
  r.DragTo(now[2], {155, 160});
  EXPECT_EQ(r.turnedCorners()[2], (Point{155, 160}));
  EXPECT_EQ(r.cornerPx[0], (Point{100, 100}));
  EXPECT_EQ(r.cornerPx[1], (Point{170, 100}));
  EXPECT_EQ(r.cornerPx[3], (Point{100, 145}));
  EXPECT_EQ(r.rectValue1, 70);
  EXPECT_EQ(r.rectValue2, 45);
  EXPECT_EQ((Point{r.centreX, r.centreY}), (Point{130, 120}));
  EXPECT_DOUBLE_EQ(r.cornerU[2].x, 170.0);
}

TEST(TerrainEdit, GripsArePickedExactlyAndDraggedWithInvertedFeedback) {
  RecordingCanvas dc;
  CCircle c = roundShape<CCircle>(&dc, {100, 100}, {110, 100});
  EXPECT_FALSE(c.PickGrip({101, 100}));
  dc.clear();
  ASSERT_TRUE(c.PickGrip({110, 100}));
  EXPECT_EQ(c.rimGripColour, kGrabbedGripColour);
  EXPECT_FALSE(dc.ops.empty());  // drawn again with the white grip
  dc.clear();
  c.DragTo({110, 100}, {100, 130});
  const auto ellipses = dc.of(Kind::Ellipse);
  ASSERT_EQ(ellipses.size(), 2u);
  EXPECT_EQ(ellipses[0]->rop, RasterOp::Not);
  EXPECT_EQ(ellipses[1]->rect, (platform::Rect{70, 70, 130, 130}));
  EXPECT_DOUBLE_EQ(c.y2, 130.0);
  c.EndDrag();
  ASSERT_TRUE(c.PickGrip({100, 100}));
  c.DragTo({100, 100}, {90, 80});
  c.EndDrag();
  EXPECT_EQ((Point{c.rimX, c.rimY}), (Point{90, 110}));
  EXPECT_DOUBLE_EQ(c.x1, 90.0);

  // A vertex drags alone and the centre follows the box; the centre drags all.
  CPoly p = area(&dc, {{0, 0}, {100, 0}, {100, 50}});
  EXPECT_EQ((Point{p.centreX, p.centreY}), (Point{50, 25}));
  ASSERT_TRUE(p.PickGrip({100, 50}));
  EXPECT_EQ(p.vertexIndex, 2);
  p.DragTo({100, 50}, {100, 80});
  p.EndDrag();
  EXPECT_EQ((Point{p.centreX, p.centreY}), (Point{50, 40}));
  EXPECT_DOUBLE_EQ(p.vertexU[2].y, 80.0);
  ASSERT_TRUE(p.PickGrip({50, 40}));
  p.DragTo({50, 40}, {60, 45});
  p.EndDrag();
  EXPECT_EQ(p.vertexPx, (std::vector<Point>{{10, 5}, {110, 5}, {110, 85}}));
  EXPECT_DOUBLE_EQ(p.centreUx, 60.0);
  EXPECT_EQ(p.vertexIndex, -1);
}

TEST(TerrainEdit, PickAndReleaseWithoutAMoveKeepsAShapeReadFromPlanUnits) {
  // As a project file leaves them: plan units only, then the zoom of the view.
  CCircle c;
  c.x1 = 50, c.y1 = 40, c.x2 = 60, c.y2 = 40;
  CEllipse e;
  e.x1 = 50, e.y1 = 40, e.x2 = 70, e.y2 = 50;
  CRectn r;
  r.startX = 40, r.startY = 30, r.endX = 65, r.endY = 30;
  r.cornerU = {PointD{20, 20}, PointD{60, 20}, PointD{60, 40}, PointD{20, 40}};
  struct Case {
    CPrimitive* shape;
    Point grip;  // at zoom 2
  } cases[] = {{&c, {100, 80}}, {&c, {120, 80}}, {&e, {140, 100}}, {&r, {80, 60}}, {&r, {120, 80}}, {&r, {130, 60}}};
  for (const auto& k : cases) {
    k.shape->Rescale(2.0f);
    const auto before = k.shape->clone();
    ASSERT_TRUE(k.shape->PickGrip(k.grip)) << k.shape->GetType() << " " << k.grip.x;
    k.shape->EndDrag();
    EXPECT_FALSE(k.shape->grabbed());
    if (auto* round = dynamic_cast<CRoundShape*>(k.shape)) {
      const auto& was = static_cast<const CRoundShape&>(*before);
      EXPECT_EQ((std::array<double, 4>{round->x1, round->y1, round->x2, round->y2}),
                (std::array<double, 4>{was.x1, was.y1, was.x2, was.y2}));
      EXPECT_EQ((Point{round->centreX, round->rimX}), (Point{was.centreX, was.rimX}));
    } else {
      const auto& was = static_cast<const CRectn&>(*before);
      EXPECT_EQ(r.cornerPx, was.cornerPx);
      EXPECT_EQ(r.cornerU[2], was.cornerU[2]);
      EXPECT_DOUBLE_EQ(r.startX, 40.0);
    }
  }
}

TEST(TerrainZoom, ZoomInAndBackRestoresEveryPixel) {
  // Plan units as a file gives them, with fractions.
  CCircle c;
  c.x1 = 10.9, c.y1 = 20.4, c.x2 = 33.7, c.y2 = 20.4;
  CEllipse e;
  e.x1 = 5.5, e.y1 = 7.25, e.x2 = 15.9, e.y2 = 1.1;
  CRectn r;
  r.startX = 40.5, r.startY = 30.9, r.endX = 65.5, r.endY = 30.9;
  r.cornerU = {PointD{20.3, 20.7}, PointD{60.6, 20.7}, PointD{60.6, 41.1}, PointD{20.3, 41.1}};
  CPoly p;
  p.SetPlanVertices({{10.9, 0.5}, {100.99, 3.3}, {50.5, 77.7}});
  CLine l;
  l.SetPlanVertices({{1.9, 2.9}, {3.9, 4.9}});
  std::vector<CPrimitive*> all{&c, &e, &r, &p, &l};

  auto pixels = [&] {
    std::vector<Point> out{{c.centreX, c.centreY}, {c.rimX, c.rimY}, {e.centreX, e.centreY}, {e.rimX, e.rimY},
                           {r.centreX, r.centreY}, {r.turnX, r.turnY}, {p.centreX, p.centreY}, {l.centreX, l.centreY}};
    out.insert(out.end(), r.cornerPx.begin(), r.cornerPx.end());
    out.insert(out.end(), p.vertexPx.begin(), p.vertexPx.end());
    out.insert(out.end(), l.vertexPx.begin(), l.vertexPx.end());
    return out;
  };
  for (auto* s : all) s->Rescale(1.0f);
  const auto atOne = pixels();
  EXPECT_EQ(c.centreX, 10);
  for (auto* s : all) s->Rescale(2.0f);
  EXPECT_EQ(c.centreX, 21);
  EXPECT_EQ(p.vertexPx[1], (Point{201, 6}));
  EXPECT_DOUBLE_EQ(p.scale, 0.5);
  for (auto* s : all) s->Rescale(1.0f);
  EXPECT_EQ(pixels(), atOne);
}

TEST(TerrainZoom, EditsAtAZoomLandInPlanUnits) {
  CPoly p;
  p.Rescale(2.0f);
  p.AddVertex({30, 41});
  EXPECT_DOUBLE_EQ(p.vertexU[0].x, 15.0);
  EXPECT_DOUBLE_EQ(p.vertexU[0].y, 20.5);
  CCircle c;
  c.Rescale(4.0f);
  c.BeginCreate({40, 40});
  c.EndCreate({80, 40});
  c.Rescale(1.0f);
  EXPECT_EQ((Point{c.rimX, c.rimY}), (Point{20, 10}));
}

TEST(TerrainExtent, CirclesAndEllipsesReportTheirBox) {
  CCircle c;
  c.x1 = 100, c.y1 = 50, c.x2 = 103, c.y2 = 54;
  c.extentScale = 2.0;
  Extent e = c.GetExtent(Extent{});
  EXPECT_EQ((std::array<int, 4>{e.minX, e.minY, e.maxX, e.maxY}), (std::array<int, 4>{190, 90, 210, 110}));
  CEllipse el;
  el.x1 = 100, el.y1 = 50, el.x2 = 110, el.y2 = 45;
  el.extentScale = 2.0;  // only circles scale
  e = el.GetExtent(Extent{});
  EXPECT_EQ((std::array<int, 4>{e.minX, e.minY, e.maxX, e.maxY}), (std::array<int, 4>{90, 45, 110, 55}));
  const Extent empty;
  for (int type : {kTerrainRectangle, kTerrainArea, kTerrainPolyline}) {
    e = makePrimitive(type)->GetExtent({1, 2, 0, 0});
    EXPECT_EQ((std::array<int, 4>{e.minX, e.minY, e.maxX, e.maxY}),
              (std::array<int, 4>{empty.minX, empty.minY, empty.maxX, empty.maxY}));
  }
  EXPECT_EQ(empty.maxX, -2147483647 - 1);
}

TEST(TerrainSnap, VertexCloserThanFivePixels) {
  CPoly p = area(nullptr, {{100, 100}, {200, 100}, {200, 200}});
  const struct {
    Point at;
    bool snaps;
    Point to;
  } cases[] = {{{203, 103}, true, {200, 100}}, {{204, 103}, false, {}}, {{196, 199}, true, {200, 200}},
               {{150, 150}, false, {}}};
  for (const auto& c : cases) {
    Point out{-1, -1};
    EXPECT_EQ(p.SnapToVertex(c.at, out), c.snaps) << c.at.x << "," << c.at.y;
    if (c.snaps) {
      EXPECT_EQ(out, c.to);
    }
  }
  Point out;
  EXPECT_FALSE(roundShape<CCircle>(nullptr, {0, 0}, {3, 0}).SnapToVertex({0, 0}, out));
}

TEST(TerrainCopy, ClonesAreIndependentValues) {
  CPoly p = area(nullptr, {{0, 0}, {40, 0}, {40, 20}});
  p.SetFillKind(2000);
  p.deleted = 1;
  p.Rescale(1.0f);
  auto moved = p.CloneAt({100, 100});
  ASSERT_NE(moved, nullptr);
  auto& q = static_cast<CPoly&>(*moved);
  EXPECT_EQ(q.GetType(), kTerrainArea);
  EXPECT_EQ(q.vertexPx, (std::vector<Point>{{80, 90}, {120, 90}, {120, 110}}));
  EXPECT_DOUBLE_EQ(q.vertexU[1].x, 120.0);
  EXPECT_EQ(q.deleted, 0);
  EXPECT_EQ(q.patternBitmap, nullptr);
  EXPECT_EQ(q.fillKind, 2000);
  EXPECT_NE(q.selfRef(), p.selfRef());
  EXPECT_EQ(p.vertexPx[0], (Point{0, 0}));

  // Round shapes and rectangles move by their centre too.
  auto cc = roundShape<CCircle>(nullptr, {10, 10}, {15, 10}).CloneAt({50, 60});
  EXPECT_DOUBLE_EQ(static_cast<CCircle&>(*cc).x2, 55.0);
  auto rc = rectangle(nullptr, {0, 0}, {20, 10}).CloneAt({100, 100});
  EXPECT_EQ(static_cast<CRectn&>(*rc).cornerPx[2], (Point{110, 105}));
  EXPECT_DOUBLE_EQ(static_cast<CRectn&>(*rc).endX, 125.0);

  // An undo snapshot written back into the same primitive.
  CLine line;
  line.AddVertex({1, 1});
  auto snapshot = line.clone();
  EXPECT_EQ(snapshot->GetType(), kTerrainPolyline);
  line.AddVertex({2, 2});
  line.assign(*snapshot);
  EXPECT_EQ(line.count(), 1);
  line.assign(p);  // another class: ignored
  EXPECT_EQ(line.count(), 1);
}

TEST(TerrainCopy, TypeCodesMakeTheirClasses) {
  for (int type = 1; type <= 5; ++type) {
    auto p = makePrimitive(type);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->GetType(), type);
  }
  EXPECT_EQ(makePrimitive(0), nullptr);
  EXPECT_EQ(makePrimitive(6), nullptr);
}
