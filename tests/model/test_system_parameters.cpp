// The water source's parameters, the capacity check, the section summaries
// and the rows of the system parameters dialog.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "document/graphic_plane.h"
#include "hydraulics/hydraulics_report.h"
#include "hydraulics/system_parameters.h"
#include "objects/micro_sprinklers.h"
#include "objects/polylines.h"
#include "objects/sprinkler.h"
#include "objects/static_sprinkler.h"
#include "objects/symbols.h"
#include "partix.h"
#include "platform/file_sys.h"
#include "platform/message_sink.h"
#include "platform/textcodec.h"
#include "sections/section_list.h"
#include "startup/application.h"
#include "tests/support/program.h"
#include "tests/catalogue_file_builder.h"

namespace {

using platform::RecordingMessageSink;
using platform::utf8ToCp1250;

template <typename T>
T* add(CGraphicPlane& doc, std::unique_ptr<T> o, int section) {
  o->SetSectionNo(section);
  const int code = o->GetType();
  return static_cast<T*>(doc.addObject(code, std::move(o)));
}

CWSprinkler* sprinkler(CGraphicPlane& doc, float flow, int section) {
  auto s = std::make_unique<CWSprinkler>();
  s->flow = flow;
  return add(doc, std::move(s), section);
}

// A drip line `pixels` long with the given (current) flow.
CWDripline* dripline(CGraphicPlane& doc, int pixels, float flow, int section) {
  auto line = std::make_unique<CWDripline>();
  line->AddVertex({0, 0});
  line->AddVertex({pixels, 0});
  line->flow = flow;
  return add(doc, std::move(line), section);
}

// 1:100 with 10 plan units per centimetre: 10 pixels are a metre.
void metricScale(CGraphicPlane& doc) {
  doc.scaleDenominator = 100.0f;
  doc.pixelsPerCm = 10.0f;
}

}  // namespace

TEST(SourceParameters, ChangedValuesAreStoredAnnouncedAndApplied) {
  RecordingMessageSink sink;
  CElem type;
  type.InitData(kKindDripLine);
  auto& d = *static_cast<CLinKrop*>(type.data);
  std::strncpy(d.dripperType, "<1>", sizeof d.dripperType - 1);
  d.dripperSpacing = 30.0f;
  d.dripperFlow = 2.0f;

  CGraphicPlane doc;
  metricScale(doc);
  doc.sourcePressure = 2.5f;
  doc.sourceCapacity = 3.0f;
  CWDripline* line = dripline(doc, 105, 9.0f, kNoSection);  // a stale flow
  line->elem = &type;

  const std::string changed =
      utf8ToCp1250("Zmieniono parametry źródła wody - proszę ponownie przeprowadzić obliczenia hydrauliczne.");
  const struct {
    std::optional<SourceParameters> dialog;
    bool changes;
    const char* message;  // UTF-8, or null for none
  } cases[] = {
      {std::nullopt, false, nullptr},           // closed without OK
      {SourceParameters{2.5f, 3.0f}, false, nullptr},  // OK without a change
      {SourceParameters{0.0f, 3.0f}, false, "Nieprawidłowe parametry źródła wody."},
      {SourceParameters{2.5f, -1.0f}, false, "Nieprawidłowe parametry źródła wody."},
      {SourceParameters{2.5f, 4.0f}, true, "Zmieniono parametry źródła wody - proszę ponownie przeprowadzić obliczenia hydrauliczne."},
  };
  for (const auto& c : cases) {
    sink.shown.clear();
    EXPECT_EQ(ChangeSourceParameters(doc, c.dialog), c.changes);
    if (c.message) {
      ASSERT_EQ(sink.shown.size(), 1u);
      EXPECT_EQ(sink.shown[0].text, utf8ToCp1250(c.message));
    } else {
      EXPECT_TRUE(sink.shown.empty());
    }
  }
  EXPECT_EQ(sink.shown[0].caption, "Informacja");
  EXPECT_EQ(sink.shown[0].icon, platform::MessageIcon::Information);
  EXPECT_EQ(doc.sourcePressure, 2.5f);
  EXPECT_EQ(doc.sourceCapacity, 4.0f);
  EXPECT_EQ(app().currentSourcePressure, 2.5f);
  // Changing only the capacity still re-evaluates every consumer.
  EXPECT_NEAR(line->flow, 0.07f, 1e-6);
  type.FreeData();
}

TEST(SourceParameters, CapacityIsExceededOnlyWhenStrictlyAbove) {
  const struct {
    float capacity;
    bool exceeded;
  } cases[] = {{1.0f, false}, {0.99f, true}, {0.0f, true}};  // 0: a project without a source
  for (const auto& c : cases) {
    CGraphicPlane doc;
    doc.sourceCapacity = c.capacity;
    sprinkler(doc, 0.5f, 3);
    sprinkler(doc, 0.5f, 3);
    EXPECT_EQ(doc.capacityExceeded(3), c.exceeded) << c.capacity;
  }
}

TEST(SourceParameters, CapacityCheckCountsOnlyWhatDrawsFromTheSource) {
  CElem type;
  type.InitData(kKindDripLine);
  auto& d = *static_cast<CLinKrop*>(type.data);
  std::strncpy(d.dripperType, "<1>", sizeof d.dripperType - 1);
  d.dripperSpacing = 30.0f;
  d.dripperFlow = 2.0f;

  CGraphicPlane doc;
  metricScale(doc);
  doc.sourcePressure = 2.5f;
  doc.sourceCapacity = 0.6f;
  sprinkler(doc, 0.5f, 2);
  auto broken = std::make_unique<CWStaticSprinkler>();
  broken->flow = kFlowAngleTooLarge;  // an error code, no flow
  add(doc, std::move(broken), 2);
  CWDripline* line = dripline(doc, 105, 9.0f, 2);  // a stale flow; 0.07 m3/h afresh
  line->elem = &type;
  auto micro = std::make_unique<CWMicroSprinkler>();
  micro->flowLh = 800.0f;
  CWMicroSprinkler* m = add(doc, std::move(micro), 2);

  // The section: 0.5 + 0.07; the micro-sprinkler is no consumer of a section.
  EXPECT_FALSE(doc.capacityExceeded(2));
  EXPECT_NEAR(line->flow, 0.07f, 1e-6);
  // Marked connected it draws from the pipe under calculation.
  EXPECT_FALSE(doc.capacityExceeded(-1));
  m->connected = 1;
  EXPECT_TRUE(doc.capacityExceeded(-1));
  type.FreeData();
}

TEST(SectionSummaries, CountFlowsDevicesAndDriplineMetres) {
  CGraphicPlane doc;
  metricScale(doc);
  // Section 4 first in the list: the summaries still come by section number.
  sprinkler(doc, 0.3f, 4);
  sprinkler(doc, 0.5f, 1);
  sprinkler(doc, 0.5f, 1);
  dripline(doc, 352, 0.07f, 1);  // 35.2 m, after the sprinklers
  sprinkler(doc, 9.0f, 1)->deleted = 1;
  auto broken = std::make_unique<CWStaticSprinkler>();
  broken->flow = kFlowNoEntries;
  add(doc, std::move(broken), 1);
  auto hadar = std::make_unique<CWMicroSprinklerHadar>();  // counted without flow
  add(doc, std::move(hadar), 2);
  auto micro = std::make_unique<CWMicroSprinkler>();
  micro->flowLh = 5.0f;
  add(doc, std::move(micro), 2);
  auto pipe = std::make_unique<CWPipe>();
  pipe->AddVertex({0, 0});
  add(doc, std::move(pipe), 3);
  add(doc, std::make_unique<CWValve>(), 3);
  sprinkler(doc, 0.2f, kNoSection);

  const std::vector<SectionSummary> s = GatherSections(doc);
  ASSERT_EQ(s.size(), 3u);  // section 3 holds only a pipe and a valve
  EXPECT_EQ(s[0].sectionNo, 1);
  EXPECT_EQ(s[0].kinds, (std::vector<int>{kTypeSprinkler, kTypeSprinkler, kTypeDripline}));
  EXPECT_NEAR(s[0].flowSum, 1.07f, 1e-6);
  EXPECT_EQ(s[0].deviceCount, 3);
  EXPECT_EQ(s[0].hasDriplines, 1);
  EXPECT_NEAR(s[0].driplineLengthM, 35.2f, 1e-4);
  EXPECT_EQ(sectionFlowText(s[0].flowSum), "1.07");
  EXPECT_EQ(sectionDevicesText(s[0]), "3 - 36 [m]");

  EXPECT_EQ(s[1].sectionNo, 2);
  EXPECT_EQ(s[1].deviceCount, 2);
  EXPECT_EQ(s[1].hasDriplines, 0);
  EXPECT_EQ(sectionFlowText(s[1].flowSum), "0.0050");
  EXPECT_EQ(sectionDevicesText(s[1]), "2");

  EXPECT_EQ(s[2].sectionNo, 4);
  EXPECT_EQ(s[2].deviceCount, 1);
}

TEST(SectionSummaries, DriplineMetresAreRoundedUpPerSection) {
  // Two drip lines of 3.2 m, one in each of two sections: 4 m each, 8 m in all.
  CGraphicPlane doc;
  metricScale(doc);
  dripline(doc, 32, 0.01f, 0);
  dripline(doc, 32, 0.01f, 1);
  const std::vector<SectionSummary> s = GatherSections(doc);
  ASSERT_EQ(s.size(), 2u);
  EXPECT_EQ(sectionDevicesText(s[0]), "1 - 4 [m]");
  EXPECT_EQ(sectionDevicesText(s[1]), "1 - 4 [m]");
}

TEST(SystemParametersDialog, RowsShowTheSourceAndEachSection) {
  CGraphicPlane doc;
  metricScale(doc);
  doc.sourcePressure = 3.0f;
  doc.sourceCapacity = 2.25f;
  CSectionList sections;
  sections.setCount(3);
  ASSERT_TRUE(sections.describeSection(doc, 2, utf8ToCp1250("Trawnik północ"), 0x00FF00));
  sprinkler(doc, 0.5f, 0);
  sprinkler(doc, 0.75f, 2);  // section 2 (shown as 3) follows an empty section

  const SystemParametersView view = systemParametersView(doc, sections);
  ASSERT_EQ(view.source.size(), 2u);
  EXPECT_EQ(view.source[0].label, utf8ToCp1250("Ciśnienie [atm.]"));
  EXPECT_EQ(view.source[0].value, "3.00 ");
  EXPECT_EQ(view.source[1].label, utf8ToCp1250("Wydajność [m3/h]"));
  EXPECT_EQ(view.source[1].value, "2.25 ");
  ASSERT_EQ(view.sections.size(), 2u);
  EXPECT_EQ(view.sections[0].section, "1");
  EXPECT_EQ(view.sections[0].flow, "0.50");
  EXPECT_EQ(view.sections[0].devices, "1");
  EXPECT_EQ(view.sections[1].section, utf8ToCp1250("3 (Trawnik północ)"));
  EXPECT_EQ(view.sections[1].flow, "0.75");
}

// --- the command line's hydraulic report ------------------------------------

TEST(HydraulicsReport, ObjectsInListOrderWithMarksWhereTheClassHasOne) {
  CGraphicPlane doc;
  metricScale(doc);
  doc.hasWaterSource = 1;
  doc.sourcePressure = 3.5f;
  doc.sourceCapacity = 2.0f;
  sprinkler(doc, 0.5f, 0)->connected = 1;
  sprinkler(doc, 0.8f, 0)->deleted = 1;
  auto pipe = std::make_unique<CWPipe>();
  pipe->AddVertex({0, 0});
  add(doc, std::move(pipe), kNoSection);
  dripline(doc, 100, 0.02f, 1);

  const HydraulicsReport r = buildHydraulicsReport(doc);
  EXPECT_TRUE(r.hasWaterSource);
  EXPECT_EQ(r.sourcePressure, 3.5f);
  EXPECT_EQ(r.sourceCapacity, 2.0f);
  ASSERT_EQ(r.objects.size(), 3u);  // the deleted sprinkler is left out
  EXPECT_EQ(r.objects[0].listCode, kTypeSprinkler);
  EXPECT_EQ(r.objects[0].sectionNo, 0);
  EXPECT_EQ(r.objects[0].connected, 1);
  EXPECT_EQ(r.objects[0].flow, 0.5f);
  EXPECT_EQ(r.objects[1].listCode, kTypePipe);
  EXPECT_EQ(r.objects[1].sectionNo, kNoSection);
  EXPECT_FALSE(r.objects[1].connected.has_value());
  EXPECT_EQ(r.objects[1].flow, -1.0f);
  EXPECT_EQ(r.objects[2].connected, 0);
  EXPECT_EQ(r.connectedFlow.count, 1);
  EXPECT_EQ(r.connectedFlow.flow, 0.5f);
  ASSERT_EQ(r.sections.size(), 2u);
  EXPECT_EQ(r.sections[1].driplineLengthM, 10.0f);
}

TEST(HydraulicsReport, TheSampleProjectHasItsSectionsAndSource) {
  RecordingMessageSink sink;
  ASSERT_TRUE(testing_support::startProgramFresh("hydraulics_sample"));
  ASSERT_TRUE(openProject(testing_support::sampleProjectPath()).ok);
  CGraphicPlane& doc = *application().document;

  const HydraulicsReport r = buildHydraulicsReport(doc);
  EXPECT_TRUE(r.hasWaterSource);
  EXPECT_EQ(r.sourcePressure, doc.sourcePressure);
  EXPECT_EQ(r.objects.size(), doc.objects().size());
  EXPECT_FALSE(r.sections.empty());
  for (size_t i = 1; i < r.sections.size(); ++i) EXPECT_LT(r.sections[i - 1].sectionNo, r.sections[i].sectionNo);
  for (const SectionSummary& s : r.sections) {
    EXPECT_GT(s.deviceCount, 0);
    EXPECT_EQ(s.kinds.size(), static_cast<size_t>(s.deviceCount));
  }

  shutDown();
  for (const char* v : {"VERDIMO_HOME", "VERDIMO_USER_DATA", "VERDIMO_USER_PROJECTS", "VERDIMO_CONFIG"}) unsetenv(v);
  platform::fileSys() = platform::CFileSys();
}
