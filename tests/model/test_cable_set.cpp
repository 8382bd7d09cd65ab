// Cables and placed connection sets: type assignment, drawing and labels.

#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "objects/cable_set.h"
#include "partix.h"
#include "platform/recording_canvas.h"

namespace {

using platform::RecordingCanvas;
using Kind = platform::RecordingCanvas::Kind;

struct TestElem {
  CElem e;
  TestElem(PartixKind kind, const char* name) {
    e.InitData(kind);
    std::strncpy(e.data->name, name, sizeof e.data->name - 1);
  }
  ~TestElem() { e.FreeData(); }
};

class FakeSets : public ConnectionSetLookup {
 public:
  std::map<uint32_t, ConnectionSetInfo> sets;
  std::optional<ConnectionSetInfo> findSet(uint32_t key) const override {
    auto it = sets.find(key);
    if (it == sets.end()) return std::nullopt;
    return it->second;
  }
};

class CablesAndSets : public ::testing::Test {
 protected:
  void SetUp() override {
    app().settings = freshInstallSettings();
    app().previewPenFactor = 1.0f;
    setConnectionSetLookup(&sets);
  }
  void TearDown() override { setConnectionSetLookup(nullptr); }
  FakeSets sets;
};

}  // namespace

TEST_F(CablesAndSets, CableLabelOnlyWithAnAssignedType) {
  TestElem cable(kKindCable, "Kabel YKSY <3x1.5>");
  cable.e.spare = 77;
  RecordingCanvas dc;
  CWCable c;
  c.dc = &dc;
  c.AddVertex({10, 10});
  c.AddVertex({60, 10});
  c.DrawLabel();
  EXPECT_TRUE(dc.of(Kind::Text).empty());
  EXPECT_EQ(c.elem, nullptr);

  c.AssignCableType(&cable.e);
  EXPECT_EQ(c.elem, &cable.e);
  EXPECT_EQ(c.kindWord, 77u);
  EXPECT_EQ(c.hasType, 1);
  c.labelAngle = 450;
  c.Rescale(2.0f);
  c.DrawLabel();
  auto texts = dc.of(Kind::Text);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0]->text, "3x1.5");
  EXPECT_EQ(texts[0]->points[0], (Point{0, 40}));  // (20, 20) + (-10, 10) x 2
  EXPECT_EQ(texts[0]->font.height, 24);            // no extra pixel, unlike pipes
  EXPECT_EQ(texts[0]->font.escapement, 450);
  EXPECT_EQ(c.GetKindName(), "Kabel");
  EXPECT_EQ(c.GetFlow(), -1.0f);
}

TEST_F(CablesAndSets, CableIgnoresTheSectionColour) {
  const AppSettings& s = app().settings;
  RecordingCanvas dc;
  CWCable c;
  c.dc = &dc;
  c.AddVertex({0, 0});
  c.AddVertex({40, 0});
  c.SetSectionColour(0x00FF00);
  c.Draw();
  c.printing = 1;
  c.showGrips = 0;
  c.Draw();
  c.DrawPointed();
  auto lines = dc.of(Kind::Polyline);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0]->pen, platform::Pen::solid(s.cableColour, 2));
  EXPECT_EQ(lines[1]->pen, platform::Pen::solid(s.cableColour, s.printWidthCables));
  EXPECT_EQ(lines[2]->pen, platform::Pen::solid(0xFF0000, 3));
  EXPECT_EQ(dc.of(Kind::FillRect).size(), 3u);  // two vertices and the label, on the screen only
}

TEST_F(CablesAndSets, SetLabelForms) {
  sets.sets[4100] = {4100, "Linia A", true, "Rura PE <25>", false};
  sets.sets[4101] = {4101, "Zestaw B", false, "", false};
  sets.sets[0x80001005u] = {static_cast<int32_t>(0x80001005u), "Z projektu", true, "Rura 32", false};
  sets.sets[4102] = {4102, "Otwarty", true, "Rura <40", false};
  const struct {
    uint32_t key;
    int printing;
    const char* label;
  } cases[] = {
      {4100, 0, "*\xF8" "25(Linia A)"},
      {4100, 1, "\xF8" "25(Linia A)"},
      {4101, 0, "*(Zestaw B)"},
      {4101, 1, "(Zestaw B)"},
      {0x80001005u, 0, "\xF8" "Rura 32(Z projektu)"},
      {4102, 0, "*\xF8" "40(Otwarty)"},
      {4999, 0, "*()"},         // a key the collection does not hold
      {0x80009999u, 0, "()"},
  };
  for (const auto& c : cases) {
    CWSet set;
    set.kindWord = c.key;
    set.printing = c.printing;
    EXPECT_EQ(set.LabelText(), c.label) << c.key;
  }

  CWSet set;
  set.kindWord = 4100;
  EXPECT_EQ(set.GetKindName(), "Zestaw: Linia A");
  set.kindWord = 4999;
  EXPECT_EQ(set.GetKindName(), "Zestaw: ");
  setConnectionSetLookup(nullptr);
  EXPECT_EQ(set.LabelText(), "*()");
}

TEST_F(CablesAndSets, SetDrawnAsAPipeRun) {
  const AppSettings& s = app().settings;
  sets.sets[4100] = {4100, "Linia A", true, "Rura PE <25>", false};
  RecordingCanvas dc;
  CWSet set;
  set.dc = &dc;
  set.kindWord = 4100;
  set.labelAngle = 900;
  set.AddVertex({10, 10});
  set.AddVertex({10, 90});
  set.Draw();
  set.SetSectionColour(0x0000AA);
  set.printing = 1;
  set.preview = 1;
  app().previewPenFactor = 1.5f;
  set.Draw();
  set.DrawLabel();
  auto lines = dc.of(Kind::Polyline);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0]->pen, platform::Pen::solid(s.pipeColour, 2));
  EXPECT_EQ(lines[1]->pen, platform::Pen::solid(0x0000AA, static_cast<int>(s.printWidthPipes * 1.5f)));
  auto texts = dc.of(Kind::Text);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0]->text, "\xF8" "25(Linia A)");  // on paper: no "*"
  EXPECT_EQ(texts[0]->font.height, 13);
  EXPECT_EQ(texts[0]->font.escapement, 900);
  EXPECT_EQ(set.labelText, texts[0]->text);
}

TEST_F(CablesAndSets, ClonesKeepTheirKindAndKey) {
  CWSet set;
  set.kindWord = 4100;
  set.AddVertex({10, 10});
  set.AddVertex({20, 30});
  auto copy = set.CloneAt({110, 10});
  ASSERT_TRUE(copy);
  ASSERT_EQ(copy->GetType(), kTypeSet);
  EXPECT_EQ(copy->kindWord, 4100u);
  EXPECT_EQ(static_cast<CWSet&>(*copy).vertices[1], (Point{120, 30}));

  CWCable cable;
  cable.AddVertex({5, 5});
  cable.hasType = 1;
  auto cableCopy = cable.CloneAt({0, 0});
  ASSERT_TRUE(cableCopy);
  EXPECT_EQ(cableCopy->GetType(), kTypeCable);
  EXPECT_EQ(cableCopy->hasType, 1);
}
