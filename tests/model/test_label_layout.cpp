// Where the plan's labels are drawn: away from each other and from the
// symbols, except where the user put them, and ringed with the paper's colour.

#include <gtest/gtest.h>

#include "document/graphic_plane.h"
#include "document/label_layout.h"
#include "objects/symbols.h"
#include "platform/recording_canvas.h"
#include "tests/support/program.h"
#include "tests/support/scene_builder.h"

namespace {

using platform::Point;
using platform::Rect;

bool meet(const Rect& a, const Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

Rect shifted(const Rect& r, Point d) { return {r.left + d.x, r.top + d.y, r.right + d.x, r.bottom + d.y}; }

TEST(LabelPlaces, LabelsLeaveEachOtherAndForeignSymbolsButNotWhatTheUserPlaced) {
  struct Case {
    const char* what;
    std::vector<labels::Label> labels;
    std::vector<labels::Obstacle> symbols;
    std::vector<bool> stays;  // by label
  };
  const Rect a{0, 0, 40, 10}, b{10, 4, 50, 14}, far{200, 0, 240, 10};
  const std::vector<Case> cases = {
      {"labels apart stay", {{a, {20, -6}, 1}, {far, {220, -6}, 2}}, {}, {true, true}},
      {"the later of two that meet moves", {{a, {20, -6}, 1}, {b, {30, -2}, 2}}, {}, {true, false}},
      {"one placed by hand stays, the other goes", {{b, {30, -2}, 2}, {a, {20, -6}, 1, false}}, {}, {false, true}},
      {"two placed by hand both stay", {{a, {20, -6}, 1, false}, {b, {30, -2}, 2, false}}, {}, {true, true}},
      {"off another object's symbol", {{a, {20, -6}, 1}}, {{{30, 2, 38, 10}, 2}}, {false}},
      {"over its own symbol it stays", {{a, {20, -6}, 1}}, {{{30, 2, 38, 10}, 1}}, {true}},
  };
  const int gap = 2;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<Point> shifts = labels::place(c.labels, c.symbols, gap);
    ASSERT_EQ(shifts.size(), c.labels.size());
    std::vector<Rect> placed;
    for (size_t i = 0; i < c.labels.size(); ++i) {
      const bool stayed = shifts[i].x == 0 && shifts[i].y == 0;
      EXPECT_EQ(stayed, c.stays[i]) << "label " << i;
      placed.push_back(shifted(c.labels[i].box, shifts[i]));
    }
    for (size_t i = 0; i < placed.size(); ++i) {
      if (!c.labels[i].movable) continue;
      const int h = c.labels[i].box.height(), w = c.labels[i].box.width();
      // Near its object: within the three rings of places around it.
      EXPECT_LE(std::abs(shifts[i].y), 3 * (h + gap) + h + 10) << "label " << i;
      EXPECT_LE(std::abs(shifts[i].x), w + 3 * (h + gap) + 10) << "label " << i;
      for (size_t j = 0; j < placed.size(); ++j)
        if (j != i) {
          EXPECT_FALSE(meet(placed[i], placed[j])) << "labels " << i << " and " << j;
        }
      for (const auto& s : c.symbols)
        if (s.owner != c.labels[i].owner) {
          EXPECT_FALSE(meet(placed[i], s.box)) << "label " << i;
        }
    }
  }
}

class PlanLabels : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::ensureGuiApplication();
    app().settings = freshInstallSettings();
    app().settings.backgroundColour = 0xE0F0E0;
  }

  CWValve* valveAt(Point p) {
    auto v = std::make_unique<CWValve>();
    v->elem = testing_support::firstOfKind(testing_support::shippedCatalogue(), kKindValve);
    v->dc = &scratch;
    v->PlaceAt(p, 1.0f);
    CWValve* raw = v.get();
    doc.addObject(kTypeValve, std::move(v));
    return raw;
  }

  // The boxes of the labels drawn, as the recording canvas measures letters.
  std::vector<Rect> drawnLabels(const std::string& text, std::vector<const platform::RecordingCanvas::Op*>* ops = nullptr) {
    platform::RecordingCanvas canvas;
    doc.paintObjects(canvas);
    std::vector<Rect> boxes;
    for (const auto* op : canvas.of(platform::RecordingCanvas::Kind::Text)) {
      if (op->text != text) continue;
      const Point at{op->points.front().x + op->origin.x, op->points.front().y + op->origin.y};
      const int w = static_cast<int>(op->text.size()) * op->font.height / 2;
      boxes.push_back({at.x, at.y, at.x + w, at.y + op->font.height});
      if (ops) ops->push_back(op);
    }
    return boxes;
  }

  platform::RecordingCanvas scratch;
  CGraphicPlane doc;
};

TEST_F(PlanLabels, AClusterOfValvesIsReadableAndLabelsHaveAHalo) {
  // Side by side as in a manifold: the symbols apart, the names too long
  // for the room between them.
  CWValve* first = valveAt({300, 300});
  valveAt({318, 300});
  valveAt({336, 300});
  const std::string name = first->elementShortName();
  ASSERT_FALSE(name.empty());
  std::vector<const platform::RecordingCanvas::Op*> ops;
  const std::vector<Rect> boxes = drawnLabels(name, &ops);
  ASSERT_EQ(boxes.size(), 3u);
  for (size_t i = 0; i < boxes.size(); ++i)
    for (size_t j = i + 1; j < boxes.size(); ++j) EXPECT_FALSE(meet(boxes[i], boxes[j])) << i << " and " << j;
  for (const auto* op : ops) {
    EXPECT_GE(op->haloWidth, 1);
    EXPECT_EQ(op->haloColour, 0xE0F0E0u);
  }
  // The first keeps the place its offset gives; the stored offsets stay.
  EXPECT_EQ(boxes[0].left, first->labelAnchor({300, 300}).x);
  EXPECT_EQ(boxes[0].top, first->labelAnchor({300, 300}).y);
  for (const auto& o : doc.objects()) {
    EXPECT_EQ(o->labelDx, first->labelDx);
    EXPECT_EQ(o->labelDy, first->labelDy);
  }
}

TEST_F(PlanLabels, ALabelTheUserMovedIsDrawnWhereTheyPutIt) {
  valveAt({300, 300});
  CWValve* second = valveAt({306, 302});
  // Put by hand right over the first valve's label.
  second->MoveLabelTo(second->labelAnchor({300, 300}));
  const std::string name = second->elementShortName();
  const std::vector<Rect> boxes = drawnLabels(name);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].left, second->labelAnchor({306, 302}).x);
  EXPECT_EQ(boxes[1].top, second->labelAnchor({306, 302}).y);
  // The first one, in its made place, gives way.
  EXPECT_FALSE(meet(boxes[0], boxes[1]));
}

}  // namespace
