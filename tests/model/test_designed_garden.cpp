// A garden designed from its site plan alone: the command line and the
// model give the same piped, zoned, sized and priced system, and its plan,
// estimate and printed sheet are kept for a look.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "document/graphic_plane.h"
#include "document/terrain.h"
#include "hydraulics/auto_design.h"
#include "hydraulics/network.h"
#include "objects/symbols.h"
#include "partix.h"
#include "platform/folders.h"
#include "platform/recording_canvas.h"
#include "sections/section_list.h"
#include "startup/application.h"
#include "tests/support/cli_run.h"
#include "tests/support/program.h"
#include "tests/support/scene_builder.h"

namespace {

using nlohmann::json;
namespace fs = std::filesystem;

json run(const std::string& args) {
  const auto r = testing_support::runCommand(std::string(VERDIMO_CLI) + " " + args, "/dev/null");
  EXPECT_EQ(r.status, 0) << args;
  return json::parse(r.out, nullptr, false);
}


TEST(DesignedGarden, FromTheSitePlanToAPricedSystemInOneStep) {
  testing_support::ensureGuiApplication();
  ASSERT_TRUE(testing_support::startProgramFresh("designed-garden"));
  newProject();
  CGraphicPlane& doc = *application().document;
  doc.sourcePressure = 3.5f;
  doc.sourceCapacity = 4.0f;
  doc.hasWaterSource = 1;
  const double u = 100.0 / doc.scaleDenominator * doc.pixelsPerCm;
  auto rect = [&](int fill, double x0, double y0, double x1, double y1) {
    testing_support::addRectangle(doc, fill, x0, y0, x1, y1);
  };
  rect(kFillBuilding, 1, 1, 11, 9);   // 0 house
  rect(kFillPaving, 11, 3, 15, 9);    // 1 terrace
  rect(kFillLawn, 15, 1, 39, 17);     // 2 the lawn behind the house
  rect(kFillLawn, 1, 11, 13, 17);     // 3 the lawn beside the terrace
  rect(kFillPaving, 1, 17, 39, 20);   // 4 path
  rect(kFillLawn, 1, 20, 24, 25);     // 5 front lawn
  auto source = std::make_unique<CWValve>();
  source->PlaceAt({static_cast<int>(11.5 * u), static_cast<int>(9.5 * u)}, 1.0);
  source->SetWaterSource(1);
  doc.addObject(kTypeValve, std::move(source));
  const std::string dir = VERDIMO_ARTEFACT_DIR;
  fs::create_directories(dir);
  const std::string site = dir + "/designed_garden_site.prj";
  ASSERT_TRUE(saveOpenProject(site).ok);

  // The model: rotary nozzles in the three lawns.
  design::Options o;
  o.areas = {doc.terrain()[2].get(), doc.terrain()[3].get(), doc.terrain()[5].get()};
  o.layout.body = testing_support::elementByNumber("AQ7002", application().catalogue.head);
  o.layout.catalogue = application().catalogue.head;
  o.layout.nozzleKind = layout::NozzleKind::Rotary;
  o.routing.catalogue = application().catalogue.head;
  const design::Result r = design::plan(doc, sectionList(), application().sets.get(), o);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_GT(r.netTotal, 0);
  design::apply(doc, sectionList(), r, o);
  const network::Result net = network::analyse(doc, application().sets.get());
  EXPECT_TRUE(net.unconnected.empty());

  // The command line on the site plan designs the same system.
  const std::string designed = dir + "/designed_garden.prj";
  const json out = run("design " + site + " --areas 2,3,5 --body AQ7002 --nozzle-kind rotary -o " + designed);
  ASSERT_FALSE(out.is_discarded());
  EXPECT_EQ(out["heads"], r.heads);
  ASSERT_EQ(out["areas"].size(), 3u);
  for (const json& a : out["areas"]) EXPECT_TRUE(a["targetReached"].get<bool>()) << a.dump();
  EXPECT_EQ(out["valves"], r.route.valves.size());
  EXPECT_TRUE(out["unconnected"].empty());
  EXPECT_NEAR(out["netTotal"].get<double>(), r.netTotal, 0.01);
  for (const json& s : out["sections"]) EXPECT_LE(s["pressureSpreadPct"].get<double>(), 20.0 + 1e-6);

  // Its plan, estimate and printed sheet, as a hand-drawn plan's.
  run("render " + designed + " --network -o " + dir + "/designed_garden.png");
  testing_support::runCommand(std::string(VERDIMO_CLI) + " report summary " + designed + " -o " + dir +
                                  "/designed_garden_estimate.html",
                              "/dev/null");
  testing_support::runCommand(std::string(VERDIMO_CLI) + " print " + designed + " -o " + dir + "/designed_garden.pdf",
                              "/dev/null");
  for (const char* f : {"/designed_garden.png", "/designed_garden_estimate.html", "/designed_garden.pdf"})
    EXPECT_GT(fs::file_size(dir + f), 1000u) << f;
  closeProject();
  shutDown();
}

}  // namespace
