// The watering analysis on small plans whose answer is known, and on the
// sample project (its map is kept in the artefacts).

#include <gtest/gtest.h>

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <numeric>

#include "document/graphic_plane.h"
#include "document/plan_painter.h"
#include "document/terrain.h"
#include "hydraulics/coverage.h"
#include "objects/polylines.h"
#include "objects/sprinkler.h"
#include "objects/static_sprinkler.h"
#include "partix.h"
#include "platform/canvas_qpainter.h"
#include "platform/file_sys.h"
#include "platform/folders.h"
#include "platform/message_sink.h"
#include "platform/recording_canvas.h"
#include "startup/application.h"
#include "tests/support/program.h"

namespace {

constexpr double kUnitsPerMetre = 20.0;  // 1:100 at 20 plan units per centimetre

// A plan at 1:100 with 20 plan units to the centimetre: 20 units a metre.
std::unique_ptr<CGraphicPlane> plan() {
  auto doc = std::make_unique<CGraphicPlane>();
  doc->scaleDenominator = 100;
  doc->pixelsPerCm = 20;
  return doc;
}

double u(double metres) { return metres * kUnitsPerMetre; }

void area(CGraphicPlane& doc, int fillKind, std::vector<PointD> metres) {
  auto p = std::make_unique<CPoly>();
  p->SetFillKind(fillKind);
  for (PointD& v : metres) v = {u(v.x), u(v.y)};
  p->SetPlanVertices(metres);
  const int type = p->GetType();
  doc.addPrimitive(type, std::move(p));
}

void square(CGraphicPlane& doc, int fillKind, double x0, double y0, double x1, double y1) {
  area(doc, fillKind, {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
}

// A rotary head at (x, y) metres; the throw from `fromDeg` counter-clockwise
// over `spanDeg` (360: the whole circle).
void head(CGraphicPlane& doc, double x, double y, double radiusM, double flowM3H, int section,
          double fromDeg = 0, double spanDeg = 360) {
  auto s = std::make_unique<CWSprinkler>();
  s->posU = {u(x), u(y)};
  s->radiusU = static_cast<float>(u(radiusM));
  auto onRim = [&](double deg) {
    const double a = deg * M_PI / 180;
    return PointD{u(x) + u(radiusM) * std::cos(a), u(y) - u(radiusM) * std::sin(a)};
  };
  s->arcStartU = onRim(fromDeg);
  s->arcEndU = onRim(spanDeg >= 360 ? fromDeg : fromDeg + spanDeg);
  s->flow = static_cast<float>(flowM3H);
  s->SetSectionNo(section);
  doc.addObject(kTypeSprinkler, std::move(s));
}

}  // namespace

TEST(Coverage, AFullCircleHeadOnALawnPutsItsWholeFlowThere) {
  auto doc = plan();
  square(*doc, kFillLawn, 0, 0, 40, 40);
  head(*doc, 20, 20, 10, 1.5, 0);
  const CoverageResult r = analyseCoverage(*doc);
  ASSERT_TRUE(r.ok) << r.error;
  ASSERT_EQ(r.sections.size(), 1u);
  const CoverageFigures& s = r.sections[0];
  EXPECT_NEAR(s.appliedM3H, 1.5, 0.015);
  EXPECT_NEAR(s.thrownOutsideM3H, 0, 1e-6);
  // The disc of the throw, and the rate the flow gives over it.
  EXPECT_NEAR(s.wateredAreaM2, M_PI * 100, M_PI * 100 * 0.02);
  EXPECT_NEAR(s.meanMmH, 1.5 / (M_PI * 100) * 1000, 0.1);
  // The triangular profile: the most at the head, the least at the rim.
  EXPECT_GT(s.maxMmH, 2.5 * s.meanMmH);
  EXPECT_LT(s.minMmH, 0.1 * s.meanMmH);
  EXPECT_NEAR(r.targetAreaM2, 1600, 1);
  EXPECT_NEAR(r.dryAreaM2, 1600 - s.wateredAreaM2, 0.5);
  // The section and the system agree when there is one section.
  EXPECT_DOUBLE_EQ(r.system.appliedM3H, s.appliedM3H);
  EXPECT_NEAR(r.system.flowM3H, 1.5, 1e-6);
}

TEST(Coverage, ASprayHeadPutsDownTheFlatToppedProfile) {
  // A full-circle spray nozzle throwing R = 4 m from the centre of a cell of
  // 0.1 m; the throw is wide against the cells, so each cell takes the
  // profile at its centre. The flat top gets the flow over the profile's
  // sum, 0.65333 pi R^2 = 32.84 m2: 0.9852 m3/h gives 30 mm/h there, half
  // of it at 0.8 R, a quarter at 0.9 R and nothing at R.
  struct Nozzle {
    CElem elem;
    Nozzle() { elem.InitData(kKindVanNozzle); }
    ~Nozzle() { elem.FreeData(); }
  } nozzle;
  auto doc = plan();
  auto s = std::make_unique<CWStaticSprinkler>();
  s->nozzle = &nozzle.elem;
  s->posU = {201, 201};  // a cell centre: cells of 2 plan units from 120
  s->radiusU = static_cast<float>(u(4));
  s->arcStartU = s->arcEndU = {201 + u(4), 201};
  s->flow = 0.9852f;
  s->SetSectionNo(0);
  doc->addObject(kTypeStaticSprinkler, std::move(s));
  CoverageOptions o;
  o.cellM = 0.1;
  const CoverageResult r = analyseCoverage(*doc, o);
  ASSERT_TRUE(r.ok) << r.error;
  ASSERT_EQ(r.mapMmH.size(), static_cast<size_t>(r.cols) * r.rows);
  auto mmH = [&](double x, double y) {
    const int col = static_cast<int>(std::floor((201 + u(x) - r.originX) / r.cellU));
    const int row = static_cast<int>(std::floor((201 + u(y) - r.originY) / r.cellU));
    EXPECT_TRUE(col >= 0 && col < r.cols && row >= 0 && row < r.rows) << x << " " << y;
    return r.mapMmH[static_cast<size_t>(row) * r.cols + col];
  };
  const struct {
    double x, y;  // metres from the head
    double mmH;
  } points[] = {
      {0, 0, 30.0},    {1.0, 0, 30.0},  {0, -2.0, 30.0}, {2.4, 0, 30.0},  // the flat top, to 0.6 R
      {3.2, 0, 15.0},  {0, 3.2, 15.0},  {-3.6, 0, 7.5},                   // the falling edge
      {4.0, 0, 0.0},   {0, -4.0, 0.0},                                    // the wetted radius
  };
  for (const auto& p : points) EXPECT_NEAR(mmH(p.x, p.y), p.mmH, 0.1) << p.x << " " << p.y;
}

TEST(Coverage, HeadToHeadSpacingWatersEvenlyAndASingleHeadDoesNot) {
  // A 12 m square lawn, quarter-circle heads in its corners throwing 12 m
  // inward: each head reaches the next (head-to-head spacing).
  auto four = plan();
  square(*four, kFillLawn, 0, 0, 12, 12);
  head(*four, 0, 12, 12, 0.5, 0, 0, 90);     // bottom left, toward north-east
  head(*four, 12, 12, 12, 0.5, 0, 90, 90);   // bottom right
  head(*four, 12, 0, 12, 0.5, 0, 180, 90);   // top right
  head(*four, 0, 0, 12, 0.5, 0, 270, 90);    // top left
  const CoverageResult even = analyseCoverage(*four);
  ASSERT_TRUE(even.ok);
  EXPECT_GT(even.system.cu, 80.0);
  EXPECT_GT(even.system.duLq, 65.0);
  EXPECT_NEAR(even.system.appliedM3H, 2.0, 0.02);
  EXPECT_NEAR(even.dryAreaM2, 0, 0.5);

  auto one = plan();
  square(*one, kFillLawn, 0, 0, 12, 12);
  head(*one, 0, 12, 12, 0.5, 0, 0, 90);
  const CoverageResult single = analyseCoverage(*one);
  EXPECT_LT(single.system.cu, even.system.cu - 25.0);
  EXPECT_LT(single.system.duLq, even.system.duLq - 30.0);
  // The longer an uneven section must run to water its low quarter.
  EXPECT_GT(single.system.runTimeMin * single.system.meanMmH, even.system.runTimeMin * even.system.meanMmH);
}

TEST(Coverage, WaterThrownOntoABuildingIsLostToTheLawn) {
  auto doc = plan();
  square(*doc, kFillLawn, 0, 0, 30, 30);
  // A house drawn over the lawn: the head's throw reaches 4 m into it.
  platform::RecordingCanvas scratch;
  auto house = std::make_unique<CRectn>();
  house->dc = &scratch;
  house->SetFillKind(kFillBuilding);
  house->BeginCreate({static_cast<int>(u(16)), static_cast<int>(u(5))});
  house->EndCreate({static_cast<int>(u(28)), static_cast<int>(u(25))});
  const int type = house->GetType();
  doc->addPrimitive(type, std::move(house));
  head(*doc, 10, 15, 10, 1.2, 3);
  const CoverageResult r = analyseCoverage(*doc);
  ASSERT_EQ(r.sections.size(), 1u);
  const CoverageFigures& s = r.sections[0];
  EXPECT_EQ(s.section, 3);
  EXPECT_GT(s.thrownOutsideM3H, 0.01);
  EXPECT_NEAR(s.appliedM3H + s.thrownOutsideM3H, 1.2, 0.012);
  // What the profile puts beyond x = 16 m (6 m from the head), by
  // integrating the cone over the cap of the disc.
  double beyond = 0, all = 0;
  for (double x = -10; x < 10; x += 0.01)
    for (double y = -10; y < 10; y += 0.01) {
      const double d = std::hypot(x, y);
      if (d >= 10) continue;
      all += 1 - d / 10;
      if (x > 6) beyond += 1 - d / 10;
    }
  EXPECT_NEAR(s.thrownOutsideM3H, 1.2 * beyond / all, 0.01);
  // The house is not watered area.
  EXPECT_LT(s.wateredAreaM2, M_PI * 100 - 20);
  EXPECT_NEAR(r.targetAreaM2, 900 - 12 * 20, 1);
}

TEST(Coverage, ADriplineBandHoldsItsFlowWhateverTheCell) {
  auto doc = plan();
  square(*doc, kFillFlowers, 0, 0, 20, 4);
  auto drip = std::make_unique<CWDripline>();
  // Along a cell boundary of every cell size below.
  drip->verticesU = {{u(1), u(2)}, {u(19), u(2)}};
  drip->vertices = {{static_cast<int>(u(1)), static_cast<int>(u(2))}, {static_cast<int>(u(19)), static_cast<int>(u(2))}};
  drip->flow = 0.12f;
  drip->SetSectionNo(1);
  doc->addObject(kTypeDripline, std::move(drip));
  for (double cell : {0.25, 0.5, 1.0}) {
    SCOPED_TRACE(cell);
    CoverageOptions o;
    o.cellM = cell;
    const CoverageResult r = analyseCoverage(*doc, o);
    ASSERT_EQ(r.sections.size(), 1u);
    const CoverageFigures& s = r.sections[0];
    EXPECT_NEAR(s.appliedM3H, 0.12, 0.0012);
    EXPECT_NEAR(s.thrownOutsideM3H, 0, 1e-6);
    // A band along the line, evenly, however the cells fall on it.
    EXPECT_GT(s.wateredAreaM2, 18 * 0.3 - 2 * cell);
    EXPECT_LE(s.wateredAreaM2, 2 * cell * (18 + 2 * cell) + 1e-9);
    EXPECT_GT(s.cu, 80.0);
  }
}

TEST(Coverage, WhatAnAreaIsDecidesNotWhetherItsFillIsShown) {
  auto doc = plan();
  square(*doc, kFillLawn, 0, 0, 30, 30);
  square(*doc, kFillPaving, 18, 0, 30, 30);
  head(*doc, 15, 15, 8, 1.0, 0);
  const CoverageResult shown = analyseCoverage(*doc);
  for (const auto& p : doc->terrain()) p->noFill = 1;
  const CoverageResult hidden = analyseCoverage(*doc);
  EXPECT_NEAR(shown.targetAreaM2, 18 * 30, 1);
  EXPECT_EQ(hidden.targetAreaM2, shown.targetAreaM2);
  EXPECT_EQ(hidden.system.appliedM3H, shown.system.appliedM3H);
  EXPECT_GT(shown.system.thrownOutsideM3H, 0.05);
}

TEST(Coverage, SectionsAreAnalysedApartAndAddUpInTheSystem) {
  auto doc = plan();
  square(*doc, kFillLawn, 0, 0, 40, 20);
  head(*doc, 10, 10, 8, 1.0, 0);
  head(*doc, 30, 10, 8, 2.0, 1);
  head(*doc, 20, 10, 3, 0.3, kNoSection);  // a head of no section counts for the system only
  head(*doc, 20, 5, 1, 0.1, -7);           // so does one of a number no table holds
  head(*doc, 20, 15, 1, 0.1, 2147483647);
  CoverageOptions options;
  options.mapSection = 1;
  const CoverageResult r = analyseCoverage(*doc, options);
  ASSERT_EQ(r.sections.size(), 2u);
  EXPECT_EQ(r.sections[0].section, 0);
  EXPECT_EQ(r.sections[1].section, 1);
  EXPECT_EQ(r.system.heads, 5);
  EXPECT_NEAR(r.system.flowM3H, 3.5, 1e-6);
  EXPECT_NEAR(r.system.appliedM3H, 3.5, 0.035);
  // The same throw with twice the flow: twice the rate, the same evenness.
  EXPECT_NEAR(r.sections[1].meanMmH, 2 * r.sections[0].meanMmH, 0.01 * r.sections[1].meanMmH);
  EXPECT_NEAR(r.sections[1].cu, r.sections[0].cu, 0.5);
  // The map is section 1's: nothing left of x = 22 m.
  ASSERT_EQ(r.mapMmH.size(), static_cast<size_t>(r.cols) * r.rows);
  for (int row = 0; row < r.rows; ++row)
    for (int col = 0; col < r.cols; ++col) {
      if (r.originX + (col + 0.5) * r.cellU < u(21.9)) {
        EXPECT_EQ(r.mapMmH[static_cast<size_t>(row) * r.cols + col], 0.0f);
      }
    }
}

TEST(Coverage, RunTimesCorrectForTheLowQuarterAndBadOptionsAreRefused) {
  // 25 mm a week in 3 runs at 10 mm/h: 50 minutes, times the scheduling
  // multiplier 1 / (0.4 + 0.6 DU_lq).
  EXPECT_NEAR(runTimeMinutes(10, 80, 25, 3), 50 / 0.88, 1e-9);
  EXPECT_NEAR(runTimeMinutes(10, 100, 25, 3), 50, 1e-9);
  EXPECT_NEAR(runTimeMinutes(10, 0, 25, 3), 50 / 0.4, 1e-9);
  EXPECT_EQ(runTimeMinutes(0, 80, 25, 3), 0);
  EXPECT_EQ(runTimeMinutes(10, 80, 25, 0), 0);

  auto doc = plan();
  square(*doc, kFillLawn, 0, 0, 10, 10);
  for (double cell : {0.0, 0.01, 6.0, std::nan("")}) {
    CoverageOptions o;
    o.cellM = cell;
    const CoverageResult r = analyseCoverage(*doc, o);
    EXPECT_FALSE(r.ok) << cell;
    EXPECT_FALSE(r.error.empty());
  }
  // A plan with nothing on it: no figures, no failure.
  const CoverageResult empty = analyseCoverage(*plan());
  EXPECT_TRUE(empty.ok);
  EXPECT_EQ(empty.system.heads, 0);
  EXPECT_EQ(empty.targetAreaM2, 0);
}

TEST(Coverage, TheSampleProjectHasSensibleFiguresAndItsMapIsKept) {
  platform::RecordingMessageSink messages;
  ASSERT_TRUE(testing_support::startProgramFresh("coverage_sample"));
  ASSERT_TRUE(openProject(testing_support::sampleProjectPath()).ok);
  CGraphicPlane& doc = *application().document;

  const CoverageResult r = analyseCoverage(doc);
  ASSERT_TRUE(r.ok);
  EXPECT_GE(r.sections.size(), 2u);
  double flows = 0;
  for (const CoverageFigures& s : r.sections) {
    SCOPED_TRACE(s.section);
    flows += s.flowM3H;
    EXPECT_GT(s.heads, 0);
    EXPECT_NEAR(s.appliedM3H + s.thrownOutsideM3H, s.flowM3H, 0.01 * s.flowM3H);
    EXPECT_GT(s.meanMmH, 1.0);
    EXPECT_LT(s.meanMmH, 100.0);
    EXPECT_GT(s.cu, 0);
    EXPECT_LE(s.cu, 100);
    EXPECT_LE(s.duLq, 100);
    EXPECT_GT(s.runTimeMin, 0);
  }
  EXPECT_NEAR(flows, r.system.flowM3H, 1e-6);
  EXPECT_GT(r.targetAreaM2, r.system.wateredAreaM2 - 1e-9);
  EXPECT_NEAR(r.targetAreaM2 - r.dryAreaM2, r.system.wateredAreaM2, 1e-6);

  // The map under the plan, with its legend.
  testing_support::ensureGuiApplication();
  QImage image(1400, 1000, QImage::Format_RGB32);
  const CoverageOverlay overlay = makeCoverageOverlay(r, "Opad: wszystkie sekcje");
  EXPECT_EQ(overlay.map.width, r.cols);
  PlanViewState view;
  view.client = {image.width(), image.height()};
  view.coverage = &overlay;
  {
    QPainter painter(&image);
    platform::QPainterCanvas canvas(painter);
    paintPlan(doc, canvas, view);
  }
  QDir().mkpath(VERDIMO_ARTEFACT_DIR);
  EXPECT_TRUE(image.save(QString(VERDIMO_ARTEFACT_DIR) + "/coverage_map.png"));
  closeProject();
  shutDown();
}
