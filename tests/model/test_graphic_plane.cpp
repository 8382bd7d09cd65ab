// The project document: lists, zoom, the drawing sequence, picking, sections.

#include <gtest/gtest.h>

#include <regex>

#include "document/graphic_plane.h"
#include "platform/recording_canvas.h"

namespace {

using platform::RecordingCanvas;

// A symbol that notes what the document asked of it on the canvas drawn
// (measuring on canvases of the document's own is not noted).
class Probe : public WValue<Probe, CWSymb> {
 public:
  std::vector<std::string>* log = nullptr;
  static inline const platform::Canvas* drawn = nullptr;
  std::string name;
  bool noted() const { return log && (!drawn || dc == drawn); }
  void Draw() override {
    if (noted()) log->push_back("draw " + name);
    CWSymb::Draw();
  }
  void DrawLabel() override {
    if (noted()) log->push_back("label " + name + " h" + std::to_string(dc->font().height));
  }
  void DrawFlow() override {
    if (noted()) log->push_back(std::string("flow ") + name + (dc->opaqueBackground() ? " opaque" : ""));
  }
  void DrawHighlighted() override {
    if (noted()) log->push_back("highlight " + name);
  }
};

Probe* addProbe(CGraphicPlane& doc, const std::string& name, Point at, std::vector<std::string>* log) {
  auto p = std::make_unique<Probe>();
  p->name = name;
  p->log = log;
  p->placeSymbolAt(at);
  return static_cast<Probe*>(doc.addObject(kTypeFilter, std::move(p)));
}

}  // namespace

TEST(ProjectDocument, NewDocumentDefaults) {
  CGraphicPlane doc;
  EXPECT_TRUE(std::regex_match(doc.projectDate, std::regex(R"(\d\d\.\d\d\.\d{4})"))) << doc.projectDate;
  EXPECT_EQ(doc.projectDate, CGraphicPlane::todayText());
  EXPECT_EQ(doc.scaleDenominator, 100.0f);
  EXPECT_EQ(doc.pixelsPerCm, 29.0f);
  EXPECT_EQ(doc.zoom, 1.0);
  EXPECT_EQ(doc.showGrips, 1);
  EXPECT_EQ(doc.showFlows, 0);
  EXPECT_FLOAT_EQ(doc.cmPerPoint, 0.0352783f);
}

TEST(ProjectDocument, DrawingSequence) {
  CGraphicPlane doc;
  std::vector<std::string> log;
  addProbe(doc, "a", {10, 10}, &log);
  Probe* b = addProbe(doc, "b", {50, 50}, &log);
  Probe* gone = addProbe(doc, "c", {90, 90}, &log);
  gone->deleted = 1;
  b->ShowLabel(0);
  doc.showFlows = 1;
  doc.selected = b;
  app().settings.labelFontHeight = 12;
  doc.setZoom(2.0f);
  RecordingCanvas canvas;
  Probe::drawn = &canvas;
  doc.paintObjects(canvas);
  const std::vector<std::string> expected = {"draw a",       "draw b",       "label a h25",
                                             "flow a opaque", "flow b opaque", "highlight b"};
  EXPECT_EQ(log, expected);

  log.clear();
  doc.showLabels = 0;
  doc.showFlows = 0;
  doc.selected = nullptr;
  doc.paintObjects(canvas);
  EXPECT_EQ(log, (std::vector<std::string>{"draw a", "draw b"}));
  Probe::drawn = nullptr;
}

TEST(ProjectDocument, ZoomRoundTripAndPicking) {
  CGraphicPlane doc;
  Probe* a = addProbe(doc, "a", {13, 17}, nullptr);
  Probe* b = addProbe(doc, "b", {101, 57}, nullptr);
  doc.setZoom(2.0f);
  EXPECT_EQ(b->posX, 202);
  doc.setZoom(1.0f);
  EXPECT_EQ(a->posX, 13);
  EXPECT_EQ(b->posY, 57);

  RecordingCanvas canvas;
  doc.dc = &canvas;
  int repaints = 0;
  doc.requestRepaint = [&] { ++repaints; };
  EXPECT_EQ(doc.pickObject({103, 55}, 1), b);
  EXPECT_EQ(doc.selected, b);
  EXPECT_EQ(doc.pickObject({103, 55}, 1, {kTypeValve}), nullptr);  // restricted to other codes
  EXPECT_EQ(doc.selected, nullptr);
  EXPECT_EQ(repaints, 1);
  b->deleted = 1;
  EXPECT_EQ(doc.pickObject({103, 55}, 1), nullptr);
}

TEST(ProjectDocument, SectionsAndSets) {
  CGraphicPlane doc;
  Probe* a = addProbe(doc, "a", {0, 0}, nullptr);
  Probe* b = addProbe(doc, "b", {0, 0}, nullptr);
  Probe* loose = addProbe(doc, "c", {0, 0}, nullptr);
  a->SetSectionNo(1);
  a->SetSectionColour(0x123456);
  b->SetSectionNo(4);
  b->SetSectionColour(0x654321);
  EXPECT_EQ(doc.sectionColourOf(1), 0x123456u);
  EXPECT_EQ(doc.sectionColourOf(2), 0xFFFFFFu);
  doc.onSectionRemoved(2);
  EXPECT_EQ(a->GetSectionNo(), 1);
  EXPECT_EQ(b->GetSectionNo(), 3);
  EXPECT_EQ(loose->GetSectionNo(), kNoSection);
  doc.onSectionRemoved(1);
  EXPECT_EQ(a->GetSectionNo(), kNoSection);
  EXPECT_EQ(a->HasSectionColour(), 0);
}

#include "objects/micro_sprinklers.h"
#include "objects/sprinkler.h"
#include "objects/static_sprinkler.h"

TEST(ProjectDocument, CapacityIsExceededOnlyAboveIt) {
  const struct {
    float each;
    bool exceeded;
  } cases[] = {{0.7f, true}, {0.6f, false}};
  for (const auto& c : cases) {
    CGraphicPlane doc;
    doc.sourceCapacity = 2.0f;
    for (int i = 0; i < 3; ++i) {
      auto s = std::make_unique<CWSprinkler>();
      s->flow = c.each;
      s->connected = 1;
      s->SetSectionNo(0);
      doc.addObject(kTypeSprinkler, std::move(s));
    }
    EXPECT_EQ(doc.capacityExceeded(-1), c.exceeded) << c.each;
    EXPECT_EQ(doc.capacityExceeded(0), c.exceeded) << c.each;
    EXPECT_FALSE(doc.capacityExceeded(1));
  }

  // Micro-sprinklers, deleted objects and static sprinklers holding an error
  // code do not count; unconnected consumers count for their section only.
  CGraphicPlane doc;
  doc.sourceCapacity = 1.0f;
  auto micro = std::make_unique<CWMicroSprinkler>();
  micro->flowLh = 5000;
  micro->SetSectionNo(2);
  doc.addObject(kTypeMicroSprinkler, std::move(micro));
  auto gone = std::make_unique<CWSprinkler>();
  gone->flow = 5;
  gone->connected = 1;
  gone->deleted = 1;
  doc.addObject(kTypeSprinkler, std::move(gone));
  auto broken = std::make_unique<CWStaticSprinkler>();
  broken->flow = kFlowAngleTooSmall;
  broken->connected = 1;
  broken->SetSectionNo(2);
  doc.addObject(kTypeStaticSprinkler, std::move(broken));
  EXPECT_FALSE(doc.capacityExceeded(-1));
  EXPECT_FALSE(doc.capacityExceeded(2));
  auto loose = std::make_unique<CWSprinkler>();
  loose->flow = 1.5f;
  loose->SetSectionNo(2);
  doc.addObject(kTypeSprinkler, std::move(loose));
  EXPECT_FALSE(doc.capacityExceeded(-1));
  EXPECT_TRUE(doc.capacityExceeded(2));
}
