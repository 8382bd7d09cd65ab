// The object base: sections, control points, symbol files.

#include <gtest/gtest.h>

#include "objects/wbase.h"
#include "platform/recording_canvas.h"

namespace {

using platform::RecordingCanvas;

// The smallest concrete symbol: draws its symbol data.
class TestSymbol : public WValue<TestSymbol, CWSymb> {
 public:
  void DrawSymbol() override {
    if (dc && symData) drawSymbolFigure(*dc, *symData, {posX, posY}, size);
  }
};

class PointerLog : public PlanViewLink {
 public:
  bool snap = false;
  std::vector<Point> moves;
  bool snapToGrid() const override { return snap; }
  void movePointerTo(Point p) override { moves.push_back(p); }
};

}  // namespace

TEST(ObjectBase, SectionRemovalRenumbers) {
  TestSymbol in2, in3, in5, none;
  in2.SetSectionNo(2);
  in2.SetSectionColour(0x10);
  in3.SetSectionNo(3);
  in3.SetSectionColour(0x20);
  in5.SetSectionNo(5);
  in5.SetSectionColour(0x30);
  EXPECT_EQ(in2.OnSectionRemoved(3), 2);
  EXPECT_EQ(in3.OnSectionRemoved(3), 3);
  EXPECT_EQ(in5.OnSectionRemoved(3), 5);
  EXPECT_EQ(in2.GetSectionNo(), 2);
  EXPECT_EQ(in3.GetSectionNo(), kNoSection);
  EXPECT_EQ(in3.HasSectionColour(), 0);
  EXPECT_EQ(in5.GetSectionNo(), 4);
  EXPECT_EQ(in5.HasSectionColour(), 1);
  EXPECT_EQ(none.GetSectionNo(), kNoSection);
}

TEST(ObjectBase, ControlPointsAreHitWithinEightPixels) {
  PointerLog view;
  app().planView = &view;
  const struct {
    Point p;
    bool hit;
  } cases[] = {{{100, 100}, true}, {{107, 100}, true}, {{100, 93}, true}, {{108, 100}, false},
               {{105, 105}, true}, {{106, 106}, false}};
  for (const auto& c : cases) EXPECT_EQ(CWBase::hitGrip(c.p, {100, 100}), c.hit) << c.p.x << "," << c.p.y;
  EXPECT_EQ(view.moves.size(), 4u);  // the pointer is put onto the control point
  view.moves.clear();
  view.snap = true;
  EXPECT_TRUE(CWBase::hitGrip({101, 101}, {100, 100}));
  EXPECT_TRUE(view.moves.empty());
  app().planView = nullptr;
}

TEST(ObjectBase, SymbolPicksSizePositionAndLabelInOrder) {
  RecordingCanvas dc;
  TestSymbol s;
  s.dc = &dc;
  s.hasSizeGrip = 1;
  s.placeSymbolAt({50, 50});
  // The size point at (70, 50) and the label at (40, 60).
  EXPECT_EQ(s.PickGrip({66, 50}, 0), 1);
  EXPECT_EQ(s.sizeGripPicked, 1);
  EXPECT_EQ(s.sizeGripColour, kPickedGripColour);
  s.ResetGrips();
  EXPECT_EQ(s.PickGrip({66, 50}, 1), 0);  // mode 1 takes the position only
  EXPECT_EQ(s.PickGrip({41, 59}, 0), 1);
  EXPECT_EQ(s.labelGripPicked, 1);
  s.ResetGrips();
  s.ShowLabel(0);
  EXPECT_EQ(s.PickGrip({41, 59}, 0), 0);
}

TEST(ObjectBase, ZoomRoundTripRestoresPixels) {
  TestSymbol s;
  s.placeSymbolAt({33, 47});
  s.Rescale(2.0f);
  EXPECT_EQ(s.posX, 66);
  s.Rescale(1.0f);
  EXPECT_EQ(s.posX, 33);
  EXPECT_EQ(s.posY, 47);
  EXPECT_EQ(s.size, 20);
  // A label moved at zoom 2 stays on the same place of the plan.
  s.Rescale(2.0f);
  s.MoveLabelTo({66 + 40, 94 - 20});
  s.Rescale(1.0f);
  EXPECT_EQ(s.labelAnchor({s.posX, s.posY}), (Point{53, 37}));
}

TEST(SymbolFiles, TokensRecordsAndTheFinalNewline) {
  const struct {
    const char* text;
    size_t lines;
  } cases[] = {
      {"5 2 200 100 280 100 0 0", 1},    // open, two points: one segment
      {"3 2 200 100 280 100 0 0", 2},    // closed: the segment forth and back
      {"5 2 200 100 280 100 0 0\n", 1},  // the same with a final newline
      {"5 2 200 100 280 100 0\n", 1},    // the figure ends with the 0 of the empty last token
      {"7 9 5 2 200 100 280 100 0 0", 1},  // unknown opcodes are skipped
      {"3 1 200 100 0 0", 1},            // one point closed: a zero-length segment
      {"5 300 1 2 3", 0},                // more than 256 points is not a figure
      {"", 0},
  };
  for (const auto& c : cases) {
    SymbolData d = parseSymbolText(c.text);
    RecordingCanvas dc;
    drawSymbolFigure(dc, d, {10, 20}, 20);
    EXPECT_EQ(dc.of(RecordingCanvas::Kind::Line).size(), c.lines) << c.text;
  }
  // Design space centred on (200, 100), 80 units per size: (280, 100) is one
  // size to the right.
  RecordingCanvas dc;
  drawSymbolFigure(dc, parseSymbolText("5 2 200 100 280 60 0 0"), {10, 20}, 20);
  auto lines = dc.of(RecordingCanvas::Kind::Line);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0]->points[0], (Point{10, 20}));
  EXPECT_EQ(lines[0]->points[1], (Point{30, 10}));

  SymbolData longToken = parseSymbolText("123456789012345 7");
  EXPECT_EQ(longToken[0], 2147483647);  // "12345678901", beyond int
  EXPECT_EQ(longToken[1], 2345);
  EXPECT_EQ(longToken[2], 7);
}
