// verdimo-cli catalogue dump, on a file written here and on the shipped catalogue.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>

#include <nlohmann/json.hpp>

#include "catalogue/jpegbitmap.h"
#include "tests/catalogue_file_builder.h"

using nlohmann::json;
using testing_support::CatalogueFileBuilder;

namespace {

struct CliResult {
  int status;
  std::string out;
};

CliResult runCli(const std::string& args) {
  std::string cmd = std::string(VERDIMO_CLI) + " " + args + " 2>/dev/null";
  FILE* p = popen(cmd.c_str(), "r");
  CliResult r{-1, {}};
  if (!p) return r;
  std::array<char, 65536> buf;
  size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) r.out.append(buf.data(), n);
  int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

class CliCatalogueTest : public ::testing::Test {
 protected:
  std::string dir = testing_support::makeTempDir("cli");
};

TEST_F(CliCatalogueTest, DumpsElementsFieldByField) {
  CatalogueFileBuilder f;
  f.header("2026.1", "Zesp\xF3\xB3", "Opis", 4);  // Windows-1250 bytes
  f.head(0, 1).common("Zraszacz <R15>", "Aquantis", "AQ1001", 36.9f, "zr.jpg").text("1/2\"", 15).u8(1);
  f.text("1.5", 8).f32(2.0f).f32(0.26f).f32(8.3f).floats(9, 0, 0).u8(0);
  f.head(16).common("Podstawa", "Kroplan", "", 0, "p.jpg").text("rurka", 40).i32(1).text("Szpilka", 30)
      .text("KP-K001", 10).f32(1.6f);
  f.head(8).common("Dysza <15EST>", "Aquantis", "AQ3001", 7.5f, "").i32(0);
  for (int i = 0; i < 4; ++i) f.text("1.2x4.5", 15).f32(1.0f + i).f32(0.1f);
  f.head(22).common("RWS", "Kroplan", "KR1", 99, "").text("1/2\"", 50).text("45", 50).text("10", 50).floats(12, 1);
  const std::string file = dir + "/MainPartix.dbc";
  f.write(file);
  std::ofstream(dir + "/prizes.db") << "AQ1001\n40\nKP-K001\n2.5\n";

  CliResult r = runCli("catalogue dump --catalogue " + file + " --user-data " + dir + " --multiplier 1.15");
  ASSERT_EQ(r.status, 0);
  json j = json::parse(r.out);
  EXPECT_EQ(j["version"], "2026.1");
  EXPECT_EQ(j["author"], "Zespół");
  EXPECT_EQ(j["count"], 4);
  ASSERT_EQ(j["elements"].size(), 4u);

  const json& s = j["elements"][0];
  EXPECT_EQ(s["kind"], 0);
  EXPECT_EQ(s["archived"], 1);
  EXPECT_EQ(s["deleted"], 0);
  EXPECT_EQ(s["name"], "Zraszacz <R15>");
  EXPECT_EQ(s["catalogueNo"], "AQ1001");
  EXPECT_EQ(s["price"].get<float>(), 36.9f);
  EXPECT_EQ(s["priceMul"].get<float>(), 42.44f);
  EXPECT_EQ(s["finalPrice"].get<float>(), 40.0f);
  EXPECT_EQ(s["data"]["nozzleCount"], 1);
  EXPECT_EQ(s["data"]["nozzles"][0]["nozzleName"], "1.5");
  EXPECT_EQ(s["data"]["nozzles"][0]["work"][0], json::parse("[2.0, 0.26, 8.3]"));
  EXPECT_EQ(s["data"]["nozzles"][0]["work"].size(), 4u);

  const json& base = j["elements"][1]["data"];
  EXPECT_EQ(base["componentCount"], 1);
  EXPECT_EQ(base["components"][0]["componentCatNo"], "KP-K001");
  EXPECT_EQ(base["components"][0]["componentPriceMul"].get<float>(), 1.84f);
  EXPECT_EQ(base["components"][0]["componentFinalPrice"].get<float>(), 2.5f);

  const json& strip = j["elements"][2]["data"];
  EXPECT_EQ(strip["strips"].size(), 4u);
  EXPECT_EQ(strip["strips"][3], json::parse(R"({"size": "1.2x4.5", "pressure": 4.0, "flow": 0.1})"));
  EXPECT_EQ(j["elements"][3]["data"]["heightCm"], "45");
  EXPECT_EQ(j["elements"][3]["data"]["work"][3][2].get<float>(), 12.0f);

  // Floats are printed as the shortest text of the 32-bit value.
  EXPECT_NE(r.out.find("0.26"), std::string::npos);
  EXPECT_EQ(r.out.find("0.25999"), std::string::npos);
}

TEST_F(CliCatalogueTest, ErrorsGoToStderrWithAStatus) {
  EXPECT_NE(runCli("catalogue dump --catalogue " + dir + "/none.dbc").status, 0);
  EXPECT_NE(runCli("catalogue dump --multiplier abc").status, 0);
  EXPECT_NE(runCli("catalogue frobnicate").status, 0);
  EXPECT_NE(runCli("").status, 0);
}

TEST_F(CliCatalogueTest, ShippedCatalogueIsCompleteWithPictures) {
  const std::string dbDir = std::string(VERDIMO_PROGRAM_DIR) + "/DataBase";
  CliResult r = runCli("catalogue dump --catalogue " + dbDir + "/MainPartix.dbc --user-data " + dir);
  ASSERT_EQ(r.status, 0);
  json j = json::parse(r.out);
  EXPECT_GE(j["count"].get<int>(), 150);
  std::set<int> kinds;
  std::set<std::string> numbers;
  int archived = 0;
  for (const json& e : j["elements"]) {
    kinds.insert(e["kind"].get<int>());
    archived += e["archived"].get<int>();
    std::string no = e["catalogueNo"];
    if (!no.empty()) {
      EXPECT_TRUE(numbers.insert(no).second) << "repeated catalogue number " << no;
    }
    partix::DibBitmap bmp;
    int w = 0, h = 0;
    std::string picture = dbDir + "/" + e["picture"].get<std::string>();
    EXPECT_EQ(partix::LoadJpegBitmap(picture.c_str(), bmp, w, h), 1) << picture;
  }
  EXPECT_EQ(kinds.size(), 25u);
  EXPECT_GT(archived, 0);
}

}  // namespace
