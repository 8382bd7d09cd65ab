// Dividing the heads into sections: within the source's capacity, one family
// a section, neighbours together, as few sections as possible.

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "document/graphic_plane.h"
#include "document/terrain.h"
#include "hydraulics/network.h"
#include "hydraulics/zoning.h"
#include "objects/micro_sprinklers.h"
#include "objects/sprinkler.h"
#include "platform/recording_canvas.h"
#include "platform/textcodec.h"
#include "sections/section_list.h"
#include "tests/support/program.h"
#include "tests/support/scene_builder.h"

namespace {

using testing_support::firstOfKind;
using testing_support::shippedCatalogue;

constexpr double kU = 29.0;  // plan units a metre at 1:100

class Zoning : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::ensureGuiApplication();
    doc.sourcePressure = 3.0f;
    doc.hasWaterSource = 1;
  }
  Point at(double x, double y) const { return {static_cast<int>(std::lround(x * kU)), static_cast<int>(std::lround(y * kU))}; }
  CWSprinkler* rotor(double x, double y) {
    auto s = std::make_unique<CWSprinkler>();
    s->elem = firstOfKind(shippedCatalogue(), kKindSprinkler);
    s->nozzleNo = 0;
    s->dc = &scratch;
    s->PlaceAt(at(x, y), 1.0f, doc.scaleDenominator, doc.pixelsPerCm, doc.sourcePressure);
    return static_cast<CWSprinkler*>(doc.addObject(kTypeSprinkler, std::move(s)));
  }
  CWRwsSprinkler* rws(double x, double y) {
    auto r = std::make_unique<CWRwsSprinkler>();
    r->PlaceAt(at(x, y), firstOfKind(shippedCatalogue(), kKindRws), 1.0f, doc.scaleDenominator, doc.pixelsPerCm,
               doc.sourcePressure);
    return static_cast<CWRwsSprinkler*>(doc.addObject(kTypeRws, std::move(r)));
  }
  void lawn(double x0, double y0, double x1, double y1) {
    auto r = std::make_unique<CRectn>();
    r->dc = &scratch;
    r->SetFillKind(kFillLawn);
    r->BeginCreate(at(x0, y0));
    r->EndCreate(at(x1, y1));
    doc.addPrimitive(kTerrainRectangle, std::move(r));
  }
  int indexOf(const CWBase* o) const {
    for (size_t i = 0; i < doc.objects().size(); ++i)
      if (doc.objects()[i].get() == o) return static_cast<int>(i);
    return -1;
  }

  platform::RecordingCanvas scratch;
  CGraphicPlane doc;
};

TEST_F(Zoning, SectionsKeepToTheCapacityAFamilyAndTheirNeighbours) {
  lawn(0, 0, 40, 30);
  // Twelve rotors on a lawn, 8 m apart, and six root watering units far off.
  std::vector<CWBase*> rotors, units;
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 4; ++c) rotors.push_back(rotor(4 + 8.0 * c, 4 + 8.0 * r));
  for (int k = 0; k < 6; ++k) units.push_back(rws(60 + 2.0 * k, 5));
  const double q = rotors[0]->GetFlow();
  ASSERT_GT(q, 0);
  // Room for four rotors and a bit in a section.
  doc.sourceCapacity = static_cast<float>(4.3 * q / 0.9);
  const zoning::Result r = zoning::divide(doc);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_NEAR(r.capacityM3H, 0.9 * doc.sourceCapacity, 1e-6);
  int rotorSections = 0, unitSections = 0;
  std::set<int> seen;
  for (const zoning::Section& s : r.sections) {
    EXPECT_LE(s.flowM3H, r.capacityM3H + 1e-9);
    double flow = 0;
    for (int o : s.objects) {
      EXPECT_TRUE(seen.insert(o).second);
      flow += doc.objects()[o]->GetFlow();
      // One family a section.
      EXPECT_EQ(doc.objects()[o]->GetType(), s.family == zoning::Family::Rotor ? kTypeSprinkler : kTypeRws);
    }
    EXPECT_NEAR(flow, s.flowM3H, 1e-6);
    (s.family == zoning::Family::Rotor ? rotorSections : unitSections)++;
    // Neighbours: every head of a section has another within 8 m.
    if (s.objects.size() > 1)
      for (int o : s.objects) {
        double nearest = 1e9;
        const PointD a = network::placeOf(*doc.objects()[o]);
        for (int p : s.objects) {
          if (p == o) continue;
          const PointD b = network::placeOf(*doc.objects()[p]);
          nearest = std::min(nearest, std::hypot(a.x - b.x, a.y - b.y) / kU);
        }
        EXPECT_LE(nearest, 8.0 + 1e-6) << s.description;
      }
  }
  EXPECT_EQ(seen.size(), rotors.size() + units.size());
  EXPECT_EQ(rotorSections, 3);  // twelve rotors, four and a bit a section
  EXPECT_EQ(unitSections, 1);

  // Into the plan: the table, the names, each head's section and colour.
  CSectionList sections;
  zoning::apply(doc, sections, r);
  ASSERT_EQ(sections.count(), static_cast<int>(r.sections.size()));
  EXPECT_EQ(platform::cp1250ToUtf8(sections.item(0).desc).rfind("Trawnik – rotory ", 0), 0u)
      << platform::cp1250ToUtf8(sections.item(0).desc);
  for (size_t i = 0; i < r.sections.size(); ++i)
    for (int o : r.sections[i].objects) {
      EXPECT_EQ(doc.objects()[o]->GetSectionNo(), static_cast<int>(i));
      EXPECT_EQ(doc.objects()[o]->sectionColour, r.sections[i].colour);
    }
}

TEST_F(Zoning, ASectionIsNamedAfterTheAreaMostOfItStandsIn) {
  lawn(0, 0, 40, 30);
  auto hedge = std::make_unique<CRectn>();
  hedge->dc = &scratch;
  hedge->SetFillKind(kFillHedge);
  hedge->BeginCreate(at(50, 0));
  hedge->EndCreate(at(52, 30));
  doc.addPrimitive(kTerrainRectangle, std::move(hedge));
  rws(51, 5);
  rws(51, 10);
  doc.sourceCapacity = 10;
  const zoning::Result r = zoning::divide(doc);
  ASSERT_TRUE(r.ok) << r.error;
  ASSERT_EQ(r.sections.size(), 1u);
  EXPECT_EQ(platform::cp1250ToUtf8(r.sections[0].description), "Żywopłot – nawadnianie kroplowe 1");
}

TEST_F(Zoning, WhatCannotBeZonedIsSaidPlainly) {
  CWBase* big = rotor(5, 5);
  doc.sourceCapacity = static_cast<float>(big->GetFlow() * 0.5);
  zoning::Result r = zoning::divide(doc);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(platform::cp1250ToUtf8(r.error).find("sam potrzebuje"), std::string::npos) << platform::cp1250ToUtf8(r.error);
  doc.sourceCapacity = 0;
  r = zoning::divide(doc);
  EXPECT_FALSE(r.ok);
  doc.sourceCapacity = 10;
  zoning::Options o;
  o.capacityShare = 0;
  EXPECT_FALSE(zoning::divide(doc, o).ok);
  doc.hasWaterSource = 0;
  EXPECT_FALSE(zoning::divide(doc).ok);
}

}  // namespace
