// A project that carries a background picture is drawn at 28 plan units per
// centimetre: the command line opens it as the program does, so that every
// figure in metres agrees with the program's.

#include <gtest/gtest.h>

#include <QImage>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>

#include "hydraulics/coverage.h"
#include "platform/folders.h"
#include "reports/reports.h"
#include "startup/application.h"
#include "tests/support/cli_run.h"
#include "tests/support/program.h"

namespace {

using nlohmann::json;

// The command line's output; what it says of a failure when it fails.
std::string run(const std::string& args) {
  const auto r = testing_support::runCommand(std::string(VERDIMO_CLI) + " " + args, "/dev/null");
  return r.status == 0 ? r.out : "failed: " + r.out;
}

std::string readAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class BackgroundScale : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::ensureGuiApplication();
    ASSERT_TRUE(testing_support::startProgramFresh("background-scale"));
    // The sample with a small picture behind it.
    ASSERT_TRUE(openProject(testing_support::sampleProjectPath()).ok);
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(QColor(200, 220, 190));
    ASSERT_TRUE(picture.save(QString::fromStdString(platform::joinPath(platform::userDataDir(), "plan.png")), "PNG"));
    CGraphicPlane& doc = *application().document;
    doc.hasBackground = 1;
    doc.backgroundFile = doc.backgroundTempFile = "plan.png";
    project = platform::joinPath(platform::userDataDir(), "with-picture.prj");
    ASSERT_TRUE(saveOpenProject(project).ok);
    closeProject();
    ASSERT_TRUE(openProject(project).ok);
  }
  void TearDown() override {
    closeProject();
    shutDown();
  }
  std::string project;
};

TEST_F(BackgroundScale, TheCommandLineMeasuresThePlanAsTheProgramDoes) {
  const CGraphicPlane& doc = *application().document;
  ASSERT_TRUE(application().background);
  EXPECT_EQ(doc.pixelsPerCm, 28.0f);

  const json dump = json::parse(run("project dump " + project), nullptr, false);
  ASSERT_FALSE(dump.is_discarded());
  EXPECT_EQ(dump["pixelsPerCm"], 28);

  // Lengths in metres: the same plan without its picture is 28/29 as long.
  const json with = json::parse(run("hydraulics " + project), nullptr, false);
  const json without = json::parse(run("hydraulics " + testing_support::sampleProjectPath()), nullptr, false);
  ASSERT_FALSE(with.is_discarded() || without.is_discarded());
  const double lengthWith = with["sections"][2]["driplineLengthM"], lengthWithout = without["sections"][2]["driplineLengthM"];
  EXPECT_NEAR(lengthWith / lengthWithout, 29.0 / 28.0, 0.002);

  // The watering analysis: the areas the program finds.
  const CoverageResult mine = analyseCoverage(doc);
  ASSERT_TRUE(mine.ok);
  const json coverage = json::parse(run("coverage " + project), nullptr, false);
  ASSERT_FALSE(coverage.is_discarded());
  EXPECT_NEAR(coverage["system"]["targetAreaM2"].get<double>(), mine.targetAreaM2, 0.001);
  EXPECT_NEAR(coverage["system"]["wateredAreaM2"].get<double>(), mine.system.wateredAreaM2, 0.001);
  EXPECT_NEAR(coverage["system"]["runTimeMin"].get<double>(), mine.system.runTimeMin, 0.01);

  // The estimate's lengths.
  const std::string csv = platform::joinPath(platform::userDataDir(), "summary.csv");
  const std::string mineCsv = platform::joinPath(platform::userDataDir(), "summary-mine.csv");
  ASSERT_EQ(run("report summary " + project + " -o " + csv + " --format csv"), "");
  ASSERT_TRUE(reports::exportReport(reports::ReportKind::Summary, reports::ExportFormat::Csv, doc, mineCsv));
  EXPECT_EQ(readAll(csv), readAll(mineCsv));

  // The map and the sheet come out of the same reading.
  const std::string png = platform::joinPath(platform::userDataDir(), "map.png");
  EXPECT_EQ(run("render " + project + " -o " + png + " --size 400x300 --coverage"), "");
  EXPECT_FALSE(QImage(QString::fromStdString(png)).isNull());
  const std::string pdf = platform::joinPath(platform::userDataDir(), "sheet.pdf");
  EXPECT_EQ(run("print " + project + " -o " + pdf + " --dpi 72"), "");
  EXPECT_EQ(readAll(pdf).substr(0, 5), "%PDF-");
}

}  // namespace
