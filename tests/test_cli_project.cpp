// verdimo-cli project dump, project resave and render on the sample project.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <set>

#include <nlohmann/json.hpp>

#include "tests/catalogue_file_builder.h"
#include "tests/support/cli_run.h"

using nlohmann::json;

namespace {

using testing_support::CliRun;

CliRun cli(const std::string& user, const std::string& args) { return testing_support::runCliAs(user, args); }

const std::string kSample = std::string(VERDIMO_PROGRAM_DIR) + "/Projekty/Ogrod_przykladowy.prj";

TEST(CliProject, DumpNamesEveryRecordField) {
  const std::string user = testing_support::makeTempDir("cli-dump");
  CliRun r = cli(user, "project dump " + kSample);
  ASSERT_EQ(r.status, 0);
  json j = json::parse(r.out);
  EXPECT_EQ(j["hasWaterSource"], 1);
  EXPECT_EQ(j["sections"].size(), 3u);
  EXPECT_FALSE(j["sets"].empty());
  std::set<int> types;
  for (const json& o : j["objects"]) {
    types.insert(o["type"].get<int>());
    EXPECT_TRUE(o.contains("flow"));
    EXPECT_TRUE(o["fields"].is_object());
  }
  EXPECT_EQ(types.size(), 17u);  // every object class
  const json& source = j["objects"][0]["fields"];
  EXPECT_EQ(source["isWaterSource"], 1);
  EXPECT_EQ(source["sourcePressure"], 3.5);
  bool sprinklerSeen = false;
  for (const json& o : j["objects"]) {
    if (o["type"] != 1000) continue;
    sprinklerSeen = true;
    EXPECT_GT(o["flow"].get<double>(), 0.1);
    EXPECT_EQ(o["fields"]["posU"].size(), 2u);
    EXPECT_TRUE(o["fields"]["elem"].is_string());
  }
  EXPECT_TRUE(sprinklerSeen);
  EXPECT_EQ(j["terrain"][0]["fillKind"], 2000);
}

TEST(CliProject, ResaveRenderAndErrors) {
  const std::string user = testing_support::makeTempDir("cli-resave");
  ASSERT_EQ(cli(user, "project resave " + kSample + " " + user + "/copy.prj").status, 0);
  ASSERT_EQ(cli(user, "project resave " + user + "/copy.prj " + user + "/again.prj").status, 0);
  std::ifstream a(user + "/copy.prj", std::ios::binary), b(user + "/again.prj", std::ios::binary);
  const std::string first((std::istreambuf_iterator<char>(a)), {}), second((std::istreambuf_iterator<char>(b)), {});
  EXPECT_FALSE(first.empty());
  EXPECT_EQ(first, second);

  ASSERT_EQ(cli(user, "render " + kSample + " -o " + user + "/plan.png --size 640x480 --zoom 0.5").status, 0);
  std::ifstream png(user + "/plan.png", std::ios::binary);
  char magic[8] = {};
  png.read(magic, 8);
  EXPECT_EQ(std::string(magic + 1, 3), "PNG");

  EXPECT_NE(cli(user, "project dump " + user + "/missing.prj").status, 0);
  EXPECT_NE(cli(user, "render " + kSample).status, 0);  // no -o
  EXPECT_NE(cli(user, "render " + kSample + " -o x.png --zoom 99").status, 0);
  std::ofstream(user + "/wrong.prj") << "0.9\n";
  EXPECT_NE(cli(user, "project dump " + user + "/wrong.prj").status, 0);
}

}  // namespace

namespace {

TEST(CliProject, HydraulicsOfTheSample) {
  const std::string user = testing_support::makeTempDir("cli-hydraulics");
  CliRun r = cli(user, "hydraulics " + kSample);
  ASSERT_EQ(r.status, 0);
  json j = json::parse(r.out);
  EXPECT_EQ(j["hasWaterSource"], 1);
  EXPECT_EQ(j["sourcePressure"], 3.5);
  ASSERT_EQ(j["sections"].size(), 3u);
  EXPECT_EQ(j["sections"][0]["deviceCount"], 5);
  EXPECT_EQ(j["sections"][2]["hasDriplines"], 1);
  EXPECT_GT(j["sections"][2]["driplineLengthM"].get<double>(), 10);
  EXPECT_TRUE(j["connectedFlow"].contains("count"));
  bool sawConnectedMark = false;
  for (const json& o : j["objects"]) {
    if (o["listCode"] == 1000) {
      EXPECT_TRUE(o.contains("connected"));
      sawConnectedMark = true;
    }
    if (o["listCode"] == 1001) {
      EXPECT_FALSE(o.contains("connected"));
    }
  }
  EXPECT_TRUE(sawConnectedMark);
}

}  // namespace

namespace {

TEST(CliProject, ReportsOfTheSample) {
  const std::string user = testing_support::makeTempDir("cli-reports");
  const struct {
    const char* kind;
    const char* title;
  } cases[] = {{"summary", "KOSZTORYS ZBIORCZY"},
               {"sections", "KOSZTORYS Z PODZIA\xA3" "EM NA SEKCJE"},
               {"info", "INFORMACJE O PROJEKCIE"}};
  for (const auto& c : cases) {
    const std::string out = user + "/" + c.kind + ".html";
    ASSERT_EQ(cli(user, std::string("report ") + c.kind + " " + kSample + " -o " + out + " --vat 23").status, 0)
        << c.kind;
    std::ifstream in(out, std::ios::binary);
    const std::string html((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(html.find(c.title), std::string::npos) << c.kind;
  }
  EXPECT_NE(cli(user, "report other " + kSample + " -o x.html").status, 0);
  EXPECT_NE(cli(user, "report summary " + kSample).status, 0);
}

}  // namespace

namespace {

TEST(CliProject, PrintsTheSampleSheet) {
  const std::string user = testing_support::makeTempDir("cli-print");
  const std::string pdf = user + "/plan.pdf";
  ASSERT_EQ(cli(user, "print " + kSample + " -o " + pdf + " --dpi 100").status, 0);
  std::ifstream in(pdf, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
  EXPECT_NE(bytes.find("/Count 1"), std::string::npos);  // one page
  EXPECT_NE(cli(user, "print " + kSample + " -o " + pdf + " --dpi 5").status, 0);
  EXPECT_NE(cli(user, "print " + kSample + " -o " + pdf + " --scale 0.5").status, 0);
  EXPECT_NE(cli(user, "print " + kSample).status, 0);
}

}  // namespace
