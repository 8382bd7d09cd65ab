// Cable voltage drop: the cross-section in the cable's code, the cable's
// length, the drop, and the "Parametry kabli" operations.

#include <gtest/gtest.h>

#include <cstring>

#include "document/graphic_plane.h"
#include "hydraulics/voltage_drop.h"
#include "objects/cable_set.h"
#include "partix.h"
#include "platform/message_sink.h"
#include "platform/numtext.h"
#include "platform/textcodec.h"

namespace {

using platform::RecordingMessageSink;

// Catalogue cables built in code, released with the fixture.
class Cables {
 public:
  explicit Cables(std::initializer_list<const char*> names) {
    for (const char* name : names) {
      auto e = std::make_unique<CElem>();
      e->InitData(kKindCable);
      std::strncpy(e->data->name, name, sizeof e->data->name - 1);
      e->spare = static_cast<int32_t>(elems_.size()) + 70;
      if (!elems_.empty()) elems_.back()->next = e.get();
      elems_.push_back(std::move(e));
    }
  }
  ~Cables() {
    for (auto& e : elems_) e->FreeData();
  }
  CElem* head() { return elems_.empty() ? nullptr : elems_.front().get(); }
  CElem* at(size_t i) { return elems_[i].get(); }

 private:
  std::vector<std::unique_ptr<CElem>> elems_;
};

CWCable* addCable(CGraphicPlane& doc, std::initializer_list<Point> points) {
  auto c = std::make_unique<CWCable>();
  for (Point p : points) c->AddVertex(p);
  return static_cast<CWCable*>(doc.addObject(kTypeCable, std::move(c)));
}

}  // namespace

TEST(CrossSection, ReadFromTheCodeInTheName) {
  const struct {
    const char* name;
    float s;
  } cases[] = {
      {"Kabel <3x1.5>", 1.5f},
      {"Kabel <3x1,5>", 1.5f},
      {"Przewód <YDY 2x2.5>", 2.5f},
      {"Kabel ziemny <5x10.0>", 10.0f},
      {"Kabel <3x2,5> 100 m", 2.5f},
      {"Kabel <.75>", 0.75f},           // no digit before the separator
      {"Kabel <3x2>", 2.0f},            // no separator: the last number
      {"Kabel <2x0.0>", 0.0f},
      {"Kabel bez kodu 3x1.5", 0.0f},   // no code in brackets
      {"Kabel <brak>", 0.0f},
      {"Kabel <3x1.5", 1.5f},           // an unclosed code runs to the end
  };
  for (const auto& c : cases) EXPECT_EQ(crossSectionFromName(c.name), c.s) << c.name;

  RecordingMessageSink sink;
  Cables cables({"Kabel <3x1.5>", "Kabel <2x0.0>"});
  EXPECT_EQ(ParseCrossSection(cables.at(0)), 1.5f);
  EXPECT_TRUE(sink.shown.empty());
  EXPECT_EQ(ParseCrossSection(cables.at(1)), 0.0f);
  ASSERT_EQ(sink.shown.size(), 1u);
  EXPECT_EQ(sink.shown[0].text, "pprzek==0.0f");
}

TEST(CableLengthAndDrop, WholeMetresAndVolts) {
  // At 1:100 with 100 plan units per centimetre 100 pixels are a metre.
  const struct {
    std::initializer_list<Point> points;
    double scale;
    float metres;
  } cases[] = {
      {{{0, 0}, {1250, 0}}, 1.0, 12.0f},
      {{{0, 0}, {1251, 0}}, 1.0, 13.0f},
      {{{0, 0}, {600, 0}, {600, 800}}, 1.0, 14.0f},  // two segments: 6 m + 8 m
      {{{0, 0}, {300, 400}}, 2.0, 10.0f},             // 500 pixels at zoom 0.5
      {{{0, 0}}, 1.0, 0.0f},
  };
  for (const auto& c : cases) {
    CWCable cable;
    cable.scale = c.scale;
    for (Point p : c.points) cable.AddVertex(p);
    EXPECT_EQ(CableLengthM(cable, 100.0f, 100.0f), c.metres);
  }

  EXPECT_NEAR(VoltageDrop(25.0f, 1.5f), 0.2381f, 1e-4);
  EXPECT_EQ(platform::formatFixed(VoltageDrop(25.0f, 1.5f), 2), "0.24");
  EXPECT_EQ(platform::formatFixed(VoltageDrop(100.0f, 1.0f), 2), "1.43");
}

TEST(CableDialog, OffersCurrentCablesSortedWithTheFirstSelected) {
  RecordingMessageSink sink;
  Cables cables({"YDY <3x2.5>", "kabel <3x1.5>", "Archiwalny <2x1.0>"});
  cables.at(2)->archived = 1;
  VoltageDropCalculation dlg(cables.head());
  ASSERT_EQ(dlg.cables().size(), 2u);
  EXPECT_EQ(dlg.cables()[0].name, "kabel <3x1.5>");
  EXPECT_EQ(dlg.selected(), 0);
  EXPECT_EQ(dlg.crossSection, 1.5f);
  dlg.select(1);
  EXPECT_EQ(dlg.crossSection, 2.5f);
  EXPECT_TRUE(sink.shown.empty());

  VoltageDropCalculation none(nullptr);
  EXPECT_TRUE(none.cables().empty());
  EXPECT_EQ(none.selected(), -1);
}

TEST(CableDialog, ComputeApplyAndClose) {
  RecordingMessageSink sink;
  Cables cables({"Kabel <3x1.5>"});
  CGraphicPlane doc;
  doc.scaleDenominator = 100.0f;
  doc.pixelsPerCm = 10.0f;  // 10 pixels are a metre
  CWCable* cable = addCable(doc, {{0, 0}, {250, 0}});
  VoltageDropCalculation dlg(cables.head());

  EXPECT_FALSE(dlg.compute(doc));
  ASSERT_EQ(sink.shown.size(), 1u);
  EXPECT_EQ(sink.shown[0].text, platform::utf8ToCp1250("Wybierz przewód elektryczny z rysunku."));
  EXPECT_EQ(sink.shown[0].caption, "Info !!!");
  EXPECT_TRUE(dlg.lengthText.empty());

  dlg.startPointingCable(doc);
  EXPECT_EQ(doc.tool, kToolPointCable);
  EXPECT_EQ(pointCableAt(doc, {250, 0}), cable);
  EXPECT_EQ(doc.pointedCable, cable);
  ASSERT_TRUE(dlg.compute(doc));
  EXPECT_EQ(dlg.lengthText, "25.00");
  EXPECT_EQ(dlg.dropText, "0.24");

  dlg.apply(doc);
  EXPECT_EQ(cable->elem, cables.at(0));
  EXPECT_EQ(cable->kindWord, 70u);
  EXPECT_EQ(cable->hasType, 1);
  EXPECT_EQ(cable->LabelText(), "3x1.5");
  EXPECT_EQ(doc.pointedCable, nullptr);
  EXPECT_EQ(doc.tool, 0);

  // Closing with the close box assigns nothing.
  CWCable* other = addCable(doc, {{0, 100}, {50, 100}});
  doc.pointedCable = other;
  dlg.close(doc);
  EXPECT_EQ(other->hasType, 0);
  EXPECT_EQ(doc.pointedCable, nullptr);
}

TEST(CableDialog, ZeroCrossSectionLeavesTheDropEmpty) {
  RecordingMessageSink sink;
  Cables cables({"Kabel <2x0.0>"});
  CGraphicPlane doc;
  doc.pointedCable = addCable(doc, {{0, 0}, {290, 0}});
  VoltageDropCalculation dlg(cables.head());
  EXPECT_EQ(sink.shown.size(), 1u);  // on selection
  ASSERT_TRUE(dlg.compute(doc));
  EXPECT_EQ(sink.shown.size(), 2u);  // and on each computation
  EXPECT_EQ(dlg.lengthText, "10.00");
  EXPECT_TRUE(dlg.dropText.empty());
}
