// A whole plan drawn by the painter canvas: one object of every class on
// every terrain fill. The picture is kept in the build's artefacts folder for
// a person to look at.

#include <gtest/gtest.h>

#include "platform/folders.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <set>

#include "platform/canvas_qpainter.h"
#include "platform/recording_canvas.h"
#include "tests/support/program.h"
#include "tests/support/scene_builder.h"

namespace {

using namespace testing_support;

class SceneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::ensureGuiApplication();
    app().settings = freshInstallSettings();
    doc.sourcePressure = 3.0f;
    doc.sourceCapacity = 6.0f;
    addEveryTerrain(doc, {0, 0});
    addEveryObject(doc, shippedCatalogue(), {0, 0});
  }
  CGraphicPlane doc;
};

TEST_F(SceneTest, EveryClassDrawsSomething) {
  const std::set<int> expected = {kTypeSprinkler, kTypePipe, kTypeSet, kTypeValve, kTypeController,
                                  kTypeDimension, kTypeStaticSprinkler, kTypeMicroHadar, kTypeDripline,
                                  kTypeCable, kTypeFilter, kTypeRegulator, kTypeValveBox, kTypeRainSensor,
                                  kTypeRws, kTypeMicroSprinkler, kTypeText};
  std::set<int> seen;
  for (const auto& o : doc.objects()) {
    seen.insert(o->GetType());
    platform::RecordingCanvas canvas;
    o->dc = &canvas;
    o->Draw();
    o->DrawLabel();
    EXPECT_FALSE(canvas.ops.empty()) << "type " << o->GetType();
    EXPECT_GE(o->GetFlow() == -1.0f ? 0.0f : o->GetFlow(), 0.0f) << "type " << o->GetType();
  }
  EXPECT_EQ(seen, expected);
  // The water consumers were evaluated at the source pressure.
  for (const auto& o : doc.objects()) {
    if (o->GetType() == kTypeSprinkler || o->GetType() == kTypeDripline || o->GetType() == kTypeMicroSprinkler) {
      EXPECT_GT(o->GetFlow(), 0.0f) << "type " << o->GetType();
    }
  }
}

TEST_F(SceneTest, PlanPictureForAPerson) {
  QImage image(1200, 900, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    platform::QPainterCanvas canvas(painter);
    doc.showFlows = 1;
    doc.paintTerrain(canvas);
    doc.paintObjects(canvas);
  }
  std::set<QRgb> colours;
  for (int y = 0; y < image.height(); y += 3)
    for (int x = 0; x < image.width(); x += 3) colours.insert(image.pixel(x, y));
  EXPECT_GT(colours.size(), 40u);
  QDir().mkpath(VERDIMO_ARTEFACT_DIR);
  EXPECT_TRUE(image.save(QString(VERDIMO_ARTEFACT_DIR) + "/plan_scene.png"));
}

}  // namespace
