// The undo history and the plan editor without a window: what a press,
// a move and a release do to the project and to its history.

#include <gtest/gtest.h>

#include "editing/plan_editor.h"
#include "editing/undo_history.h"
#include "objects/micro_sprinklers.h"
#include "objects/polylines.h"
#include "objects/sprinkler.h"
#include "objects/symbols.h"
#include "platform/message_sink.h"
#include "platform/textcodec.h"
#include "tests/support/scene_builder.h"

namespace {

using platform::Point;

struct Editing {
  CGraphicPlane doc;
  CMUndo undo;
  PlanViewState view;
  PlanEditor editor{doc, undo, view};
  int modifiedCalls = 0;
  Editing() {
    doc.undo = &undo;
    undo.onModified = [this] { ++modifiedCalls; };
  }
  void click(Point p) {
    editor.leftDown(p);
    editor.leftUp(p);
  }
};

TEST(UndoHistory, AnAreaLeavesOneToggleThatUndoAndRedoFlip) {
  Editing e;
  e.doc.tool = kToolArea;
  for (Point p : {Point{10, 10}, Point{100, 10}, Point{100, 80}, Point{10, 80}, Point{12, 12}}) e.click(p);
  ASSERT_EQ(e.doc.terrain().size(), 1u);
  CPrimitive& area = *e.doc.terrain()[0];
  ASSERT_EQ(e.undo.undoCount(), 1u);
  EXPECT_TRUE(e.undo.newestUndo()->IsToggle());
  EXPECT_TRUE(e.undo.undo(e.doc));
  EXPECT_TRUE(area.deleted);
  EXPECT_TRUE(e.undo.redo(e.doc));
  EXPECT_FALSE(area.deleted);
  // Nothing left to redo; every call still marks the project changed.
  const int before = e.modifiedCalls;
  EXPECT_FALSE(e.undo.redo(e.doc));
  EXPECT_EQ(e.modifiedCalls, before + 1);
}

TEST(UndoHistory, EscapeWhileDrawingDropsTheVertexCopiesAndTheRedoHistory) {
  Editing e;
  e.doc.tool = kToolRectangle;
  e.editor.leftDown({0, 0});
  e.editor.mouseMove({40, 30}, true);
  e.editor.leftUp({40, 30});
  ASSERT_TRUE(e.undo.undo(e.doc));
  ASSERT_EQ(e.undo.redoCount(), 1u);
  e.doc.tool = kToolPolyline;
  for (Point p : {Point{5, 5}, Point{50, 5}, Point{50, 50}}) e.click(p);
  EXPECT_EQ(e.undo.undoCount(), 2u);  // the vertex copies of the line being drawn
  e.editor.cancel();
  EXPECT_EQ(e.undo.undoCount(), 0u);
  EXPECT_EQ(e.undo.redoCount(), 0u);
  EXPECT_FALSE(e.undo.checkpointOpen());
  EXPECT_EQ(e.doc.toolPrimitive, nullptr);
}

TEST(UndoHistory, UndoAndRedoWhileDrawingLeaveNoCopyOfTheAbandonedLine) {
  Editing e;
  e.doc.tool = kToolPolyline;
  for (Point p : {Point{5, 5}, Point{50, 5}, Point{50, 50}}) e.click(p);
  ASSERT_TRUE(e.undo.undo(e.doc));
  ASSERT_TRUE(e.undo.redo(e.doc));
  e.editor.cancel();
  EXPECT_EQ(e.undo.undoCount(), 0u);
  EXPECT_FALSE(e.undo.undo(e.doc));
  // A shape drawn to its end keeps one toggle however it was undone and redone.
  for (Point p : {Point{5, 5}, Point{50, 5}, Point{50, 50}}) e.click(p);
  ASSERT_TRUE(e.undo.undo(e.doc));
  ASSERT_TRUE(e.undo.redo(e.doc));
  EXPECT_EQ(e.editor.rightDown({50, 50}), kMenuNone);
  ASSERT_EQ(e.undo.undoCount(), 1u);
  EXPECT_TRUE(e.undo.newestUndo()->IsToggle());
  EXPECT_EQ(static_cast<CPoly&>(*e.doc.terrain().back()).count(), 3);
}

TEST(UndoHistory, RestoredCopiesTakeTheZoomOfNow) {
  Editing e;
  e.doc.tool = kToolCircle;
  e.editor.leftDown({100, 100});
  e.editor.mouseMove({120, 100}, true);
  e.editor.leftUp({120, 100});
  auto& circle = static_cast<CCircle&>(*e.doc.terrain()[0]);
  // Dragged at zoom 1, then zoomed to 2: the copy holds the pixels of zoom 1.
  e.doc.tool = kToolEdit;
  e.editor.leftDown({100, 100});
  e.editor.mouseMove({200, 150}, true);
  e.editor.leftUp({200, 150});
  ASSERT_EQ(circle.centreX, 200);
  e.doc.setZoom(2.0f);
  ASSERT_TRUE(e.undo.undo(e.doc));
  EXPECT_EQ(circle.centreX, 200);
  EXPECT_EQ(circle.centreY, 200);
  EXPECT_DOUBLE_EQ(circle.x1, 100.0);
}

TEST(UndoHistory, TogglesSpareTheWaterSourceAndFlipTheRest) {
  Editing e;
  auto* source = static_cast<CWValve*>(e.doc.addObject(kTypeValve, std::make_unique<CWValve>()));
  source->SetWaterSource(1);
  auto* micro = e.doc.addObject(kTypeMicroSprinkler, std::make_unique<CWMicroSprinkler>());
  e.undo.pushToggle(*source, kTypeValve);
  e.undo.pushToggle(*micro, kTypeMicroSprinkler);
  ASSERT_TRUE(e.undo.undo(e.doc));
  EXPECT_TRUE(micro->deleted);
  ASSERT_TRUE(e.undo.undo(e.doc));
  EXPECT_FALSE(source->deleted);
  ASSERT_TRUE(e.undo.redo(e.doc));
  ASSERT_TRUE(e.undo.redo(e.doc));
  EXPECT_FALSE(micro->deleted);
}

TEST(UndoHistory, RedoOverTheSourceCapacityTellsAndRedoesAllTheSame) {
  Editing e;
  testing_support::addEveryObject(e.doc, testing_support::shippedCatalogue(), {0, 0});
  CWBase* sprinkler = nullptr;
  for (const auto& o : e.doc.objects())
    if (o->listCode == kTypeSprinkler && o->GetFlow() > 0) sprinkler = o.get();
  ASSERT_NE(sprinkler, nullptr);
  sprinkler->SetSectionNo(0);
  e.doc.sourceCapacity = sprinkler->GetFlow() / 2;
  e.undo.pushToggle(*sprinkler, kTypeSprinkler);
  platform::RecordingMessageSink messages;
  ASSERT_TRUE(e.undo.undo(e.doc));
  EXPECT_TRUE(messages.shown.empty());
  ASSERT_TRUE(e.undo.redo(e.doc));
  EXPECT_FALSE(sprinkler->deleted);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, platform::utf8ToCp1250("Przekroczono wydajność żródła wody"));
  EXPECT_EQ(messages.shown[0].caption, "Informacja");
  e.doc.releaseAll();
}

TEST(UndoHistory, DeletingAnObjectOrAShapeCanBeTakenBack) {
  Editing e;
  auto* valve = e.doc.addObject(kTypeValve, std::make_unique<CWValve>());
  e.doc.selected = valve;
  e.editor.deleteSelection();
  EXPECT_TRUE(valve->deleted);
  EXPECT_EQ(e.doc.selected, nullptr);
  ASSERT_TRUE(e.undo.undo(e.doc));
  EXPECT_FALSE(valve->deleted);
}

// An operation on several objects is taken back and done again in one go;
// what came before it stays.
TEST(UndoHistory, AStepOfSeveralObjectsIsUndoneAndRedoneTogether) {
  Editing e;
  auto* before = e.doc.addObject(kTypeValve, std::make_unique<CWValve>());
  e.undo.pushToggle(*before, kTypeValve);
  auto* changed = static_cast<CWValve*>(e.doc.addObject(kTypeValve, std::make_unique<CWValve>()));
  changed->posUx = 10;
  e.undo.beginStep();
  e.undo.pushSnapshot(*changed);
  changed->posUx = 20;
  auto* added = e.doc.addObject(kTypeValve, std::make_unique<CWValve>());
  e.undo.pushToggle(*added, kTypeValve);
  e.undo.pushSnapshot(*before);
  before->deleted = 1;
  e.undo.endStep();
  ASSERT_EQ(e.undo.undoCount(), 4u);

  ASSERT_TRUE(e.undo.undo(e.doc));
  EXPECT_EQ(changed->posUx, 10);
  EXPECT_TRUE(added->deleted);
  EXPECT_FALSE(before->deleted);
  EXPECT_EQ(e.undo.undoCount(), 1u);  // the toggle from before the step
  ASSERT_TRUE(e.undo.redo(e.doc));
  EXPECT_EQ(changed->posUx, 20);
  EXPECT_FALSE(added->deleted);
  EXPECT_TRUE(before->deleted);
  EXPECT_EQ(e.undo.redoCount(), 0u);
  ASSERT_TRUE(e.undo.undo(e.doc));
  ASSERT_TRUE(e.undo.undo(e.doc));
  EXPECT_TRUE(before->deleted);  // the toggle of its creation, on its own
  EXPECT_EQ(e.undo.undoCount(), 0u);
}

// The editing tools the calculation and section windows choose.
TEST(PlanEditing, ConnectedMarkSectionsAndPointedLines) {
  Editing e;
  testing_support::addEveryObject(e.doc, testing_support::shippedCatalogue(), {0, 0});
  CWSprinkler* s = nullptr;
  CWPipe* pipe = nullptr;
  for (const auto& o : e.doc.objects()) {
    if (!s && o->listCode == kTypeSprinkler) s = static_cast<CWSprinkler*>(o.get());
    if (!pipe && o->listCode == kTypePipe) pipe = static_cast<CWPipe*>(o.get());
  }
  ASSERT_TRUE(s && pipe);
  platform::RecordingMessageSink messages;
  // Marked connected and back: two clicks leave it as it was.
  e.doc.tool = kToolMarkConnected;
  e.doc.sourceCapacity = 1000;
  e.click(s->pos);
  EXPECT_EQ(s->connected, 1);
  e.click(s->pos);
  EXPECT_EQ(s->connected, 0);
  EXPECT_TRUE(messages.shown.empty());
  // The section tool assigns past the source capacity and says so.
  e.doc.tool = kToolSection;
  e.editor.currentSection = 3;
  e.editor.currentSectionColour = 0x00FF00;
  e.doc.sourceCapacity = s->GetFlow() / 2;
  e.click(s->pos);
  EXPECT_EQ(s->GetSectionNo(), 3);
  EXPECT_EQ(s->sectionColour, 0x00FF00u);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, platform::utf8ToCp1250("Przekroczono wydajność żródła wody"));
  ASSERT_TRUE(e.undo.undo(e.doc));
  EXPECT_NE(s->GetSectionNo(), 3);
  // The pipe under calculation is picked by its point.
  e.doc.tool = kToolPickPipe;
  e.click(pipe->vertices[1]);
  EXPECT_EQ(e.doc.pointedPipe, pipe);
  e.doc.releaseAll();
}

TEST(Clipboard, CopiesAsTheyWereDimensionsStayFiltersPasteNothing) {
  Editing e;
  testing_support::addEveryObject(e.doc, testing_support::shippedCatalogue(), {0, 0});
  CWSprinkler* s = nullptr;
  const CWBase *pipe = nullptr, *dimension = nullptr, *filter = nullptr;
  for (const auto& o : e.doc.objects()) {
    if (!s && o->listCode == kTypeSprinkler) s = static_cast<CWSprinkler*>(o.get());
    if (!pipe && o->listCode == kTypePipe) pipe = o.get();
    if (!dimension && o->GetType() == kTypeDimension) dimension = o.get();
    if (!filter && o->listCode == kTypeFilter) filter = o.get();
  }
  ASSERT_TRUE(s && pipe && dimension && filter);
  CCopyPaste& clip = e.editor.clipboard;
  // Copied, then moved: both pastes show it as it was when copied.
  ASSERT_TRUE(clip.copySelection(nullptr, s));
  const int radius = s->radiusPx;
  s->ReduceRadius(1.0f);
  const size_t before = e.doc.objects().size();
  ASSERT_TRUE(clip.paste(e.doc, e.undo, {400, 400}));
  ASSERT_TRUE(clip.paste(e.doc, e.undo, {600, 400}));
  ASSERT_EQ(e.doc.objects().size(), before + 2);
  for (size_t i = before; i < before + 2; ++i) {
    auto* copy = dynamic_cast<CWSprinkler*>(e.doc.objects()[i].get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->radiusPx, radius);
    EXPECT_EQ(copy->listCode, kTypeSprinkler);
  }
  EXPECT_EQ(e.doc.objects().back()->GetType(), kTypeSprinkler);
  // Paste undone and redone.
  ASSERT_TRUE(e.undo.undo(e.doc));
  EXPECT_TRUE(e.doc.objects().back()->deleted);
  ASSERT_TRUE(e.undo.redo(e.doc));
  EXPECT_FALSE(e.doc.objects().back()->deleted);
  // A dimension line after a pipe: the pipe stays.
  clip.copyObject(*pipe);
  clip.copyObject(*dimension);
  ASSERT_TRUE(clip.paste(e.doc, e.undo, {100, 700}));
  EXPECT_EQ(e.doc.objects().back()->listCode, kTypePipe);
  // A filter is held but pastes nothing.
  clip.copyObject(*filter);
  EXPECT_TRUE(clip.hasItem());
  const size_t count = e.doc.objects().size();
  EXPECT_FALSE(clip.paste(e.doc, e.undo, {200, 700}));
  EXPECT_EQ(e.doc.objects().size(), count);
  e.undo.clearAll();
  e.doc.releaseAll();
}

TEST(PlanEditing, SnapAndOrtho) {
  // Truncation toward zero on a grid of 29 pixels.
  const struct {
    Point in, out;
  } snaps[] = {{{57, 57}, {29, 29}}, {{58, 58}, {58, 58}}, {{28, 0}, {0, 0}}, {{-30, 30}, {-29, 29}}};
  for (const auto& s : snaps) EXPECT_EQ(snapToGridStep(s.in, 29.0), s.out);
  EXPECT_EQ(snapToGridStep({57, 57}, 0.0), (Point{57, 57}));
  // Taller than wide goes straight down, wider than tall stays level; a
  // diagonal counts as tall.
  EXPECT_EQ(orthoAligned({110, 130}, {100, 100}), (Point{100, 130}));
  EXPECT_EQ(orthoAligned({140, 110}, {100, 100}), (Point{140, 100}));
  EXPECT_EQ(orthoAligned({120, 120}, {100, 100}), (Point{100, 120}));
}

TEST(PlanEditing, EditFilterKeepsTerrainToolsFromSystemClicks) {
  Editing e;
  e.view.editFilter = 2;  // "System"
  e.doc.tool = kToolRectangle;
  e.editor.leftDown({0, 0});
  e.editor.mouseMove({40, 30}, true);
  e.editor.leftUp({40, 30});
  EXPECT_TRUE(e.doc.terrain().empty());
  e.view.editFilter = 1;  // "Teren"
  e.editor.leftDown({0, 0});
  e.editor.mouseMove({40, 30}, true);
  e.editor.leftUp({40, 30});
  EXPECT_EQ(e.doc.terrain().size(), 1u);
}

}  // namespace
