// verdimo-cli's help, usage errors and common options, the catalogue summary,
// the watering analysis and the coverage map with their options, the report
// formats, the print options, and a rotary sprinkler reduced in a saved file
// as every command reads it back.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <vector>

#include <nlohmann/json.hpp>

#include "tests/catalogue_file_builder.h"
#include "tests/support/cli_run.h"

using nlohmann::json;

namespace {

using testing_support::CliRun;

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

CliRun cli(const std::string& user, const std::string& args) { return testing_support::runCliAs(user, args); }

const std::string kSample = std::string(VERDIMO_PROGRAM_DIR) + "/Projekty/Ogrod_przykladowy.prj";

json jsonOf(const CliRun& r) { return json::parse(r.out, nullptr, false); }

// Whether an object type of `project dump` draws water: rotary and static
// sprinklers, HADAR units, drip lines, RWS units, micro-sprinklers.
bool isConsumer(int type) {
  return type == 1000 || type == 1008 || type == 1009 || type == 1010 || type == 1017 || type == 1018;
}

// --- project files edited token by token --------------------------------------

// A project file's tokens: one a line, each ended by CR LF.
std::vector<std::string> tokensOf(const std::string& text) {
  std::vector<std::string> tokens;
  size_t from = 0;
  for (size_t end; (end = text.find("\r\n", from)) != std::string::npos; from = end + 2)
    tokens.push_back(text.substr(from, end - from));
  return tokens;
}

std::string textOf(const std::vector<std::string>& tokens) {
  std::string text;
  for (const std::string& t : tokens) text += t + "\r\n";
  return text;
}

// Where the record of the sample's first rotary sprinkler starts: its tag
// followed by the position the dump gives.
size_t firstRotorRecord(const std::vector<std::string>& tokens, const json& dump) {
  for (const json& o : dump["objects"]) {
    if (o["type"] != 1000) continue;
    const json& pos = o["fields"]["posU"];
    for (size_t i = 0; i + 13 < tokens.size(); ++i)
      if (tokens[i] == "1000" && std::strtod(tokens[i + 1].c_str(), nullptr) == pos[0].get<double>() &&
          std::strtod(tokens[i + 2].c_str(), nullptr) == pos[1].get<double>())
        return i;
    break;
  }
  return std::string::npos;
}

const json* firstRotor(const json& dump) {
  for (const json& o : dump["objects"])
    if (o["type"] == 1000) return &o["fields"];
  return nullptr;
}

double distance(const json& a, const json& b) {
  return std::hypot(a[0].get<double>() - b[0].get<double>(), a[1].get<double>() - b[1].get<double>());
}

// The drawing of a PDF's page: its content stream, as written. (The file's
// date and its font programs change from run to run; the drawing does not.)
std::string pageDrawing(const std::string& pdf) {
  const size_t contents = pdf.find("/Contents ");
  if (contents == std::string::npos) return {};
  const std::string object = "\n" + std::to_string(std::atoi(pdf.c_str() + contents + 10)) + " 0 obj";
  const size_t at = pdf.find(object);
  if (at == std::string::npos) return {};
  const size_t start = pdf.find("stream", at + object.size());
  const size_t end = pdf.find("endstream", start);
  if (start == std::string::npos || end == std::string::npos) return {};
  return pdf.substr(start, end - start);
}

size_t countOf(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
  return n;
}

}  // namespace

// --- help and usage -----------------------------------------------------------

TEST(CliCommands, HelpVersionAndUsageErrors) {
  const std::string user = testing_support::makeTempDir("cli-usage");
  for (const char* help : {"--help", "-h"}) {
    const CliRun r = cli(user, help);
    EXPECT_EQ(r.status, 0) << help;
    for (const char* usage : {"catalogue dump", "catalogue summary", "project dump PROJECT", "project resave IN OUT",
                              "render PROJECT", "hydraulics PROJECT", "coverage PROJECT",
                              "report summary|sections|info PROJECT", "print PROJECT", "--home DIR"})
      EXPECT_NE(r.out.find(usage), std::string::npos) << help << ": " << usage;
  }
  const CliRun version = cli(user, "--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("verdimo-cli ", 0), 0u) << version.out;
  EXPECT_GT(version.out.size(), std::string("verdimo-cli \n").size());

  // COMMAND --help, anywhere among its words, tells about that command only.
  for (const std::string& args : {std::string("coverage --help"), "render " + kSample + " -o x.png --help"}) {
    const std::string command = args.substr(0, args.find(' '));
    const CliRun r = cli(user, args);
    EXPECT_EQ(r.status, 0) << args;
    EXPECT_NE(r.out.find("  " + command + " PROJECT"), std::string::npos) << args;
    EXPECT_EQ(r.out.find("  print PROJECT"), std::string::npos) << args;
  }

  // A wrong command line: status 2, the reason and the usage on stderr.
  const struct {
    std::string args;
    const char* message;
  } wrong[] = {
      {"frobnicate", "unknown command \"frobnicate\""},
      {"project", "project needs one of: dump, resave"},
      {"project frob " + kSample, "unknown project command \"frob\""},
      {"project dump", "project dump needs PROJECT"},
      {"project resave " + kSample, "project resave needs IN and OUT"},
      {"hydraulics", "hydraulics needs PROJECT"},
      {"hydraulics " + kSample + " --zoom 2", "unknown option --zoom"},
      {"catalogue summary --multiplier 2", "unknown option --multiplier"},
      {"render " + kSample + " -o x.png --size 10x10", "--size takes WIDTHxHEIGHT, each from 16 to 20000"},
      {"render " + kSample + " -o x.png --size 640", "--size takes WIDTHxHEIGHT"},
      {"render " + kSample + " -o x.png --section 1", "--section, --cell and --pressure go with --coverage"},
      {"render " + kSample + " -o x.png --cell 1", "--section, --cell and --pressure go with --coverage"},
      {"render " + kSample + " -o x.png --coverage --cell 9", "--cell takes metres from 0.05 to 5"},
      {"report summary " + kSample + " -o x.xml --format xml", "--format takes html, csv or pdf"},
      {"report info " + kSample + " -o x.csv --format csv", "--format csv is for the estimates"},
      {"report summary " + kSample + " -o x.html --multiplier many", "option --multiplier needs a number"},
      {"print " + kSample + " -o x.pdf --background yes", "--background takes on or off"},
      {"print " + kSample + " -o x.pdf --scale 100000", "--scale takes the N of 1:N"},
      {"print " + kSample + " -o", "option -o needs a file name"},
      {"network " + kSample + " --section -1", "--section takes a section number from 0"},
      {"network " + kSample + " --default-diameter 0", "--default-diameter takes millimetres from 2 to 1000"},
      {"network", "network needs PROJECT"},
      {"size-pipes " + kSample, "size-pipes needs -o OUT.prj"},
      {"zone " + kSample, "zone needs -o OUT.prj"},
      {"layout " + kSample + " --body AQ1002 -o x.prj", "layout needs --area N"},
      {"layout " + kSample + " --area 0 -o x.prj", "layout needs --body CATNO"},
      {"layout " + kSample + " --area 0 --body AQ1002 --pattern hex -o x.prj", "--pattern takes square, triangular or best"},
      {"layout " + kSample + " --area 0 --body AQ1002 --spacing 2 -o x.prj", "--spacing takes a share of the throw"},
      {"zone " + kSample + " -o x.prj --capacity-share 2", "--capacity-share takes a share of the source from 0.05 to 1"},
  };
  for (const auto& w : wrong) {
    const CliRun r = cli(user, w.args);
    EXPECT_EQ(r.status, 2) << w.args;
    EXPECT_NE(r.err.find(w.message), std::string::npos) << w.args << "\n" << r.err;
    EXPECT_NE(r.err.find("usage: verdimo-cli"), std::string::npos) << w.args;
    EXPECT_TRUE(r.out.empty()) << w.args;
  }
}

// --- the catalogue summary and the common options ------------------------------

TEST(CliCommands, CatalogueSummaryAndTheFoldersAndCatalogueGiven) {
  const std::string user = testing_support::makeTempDir("cli-summary");
  const std::string shipped = std::string(VERDIMO_PROGRAM_DIR) + "/DataBase/MainPartix.dbc";
  const json all = jsonOf(cli(user, "catalogue dump"));
  ASSERT_TRUE(all.is_object());
  int archived = 0;
  for (const json& e : all["elements"]) archived += e["archived"].get<int>();

  const CliRun r = cli(user, "catalogue summary --home " + std::string(VERDIMO_PROGRAM_DIR));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Katalog " + shipped + "\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Elementów: " + std::to_string(all["count"].get<int>()) + " (w archiwum: " +
                       std::to_string(archived) + ")"),
            std::string::npos)
      << r.out;
  // Then a line a kind: the counts add up to the elements.
  int sum = 0;
  const size_t table = r.out.find("\n\n");
  ASSERT_NE(table, std::string::npos);
  for (size_t from = table + 2, end; (end = r.out.find('\n', from)) != std::string::npos; from = end + 1) {
    int n = 0;
    EXPECT_EQ(std::sscanf(r.out.substr(from, end - from).c_str(), "%d", &n), 1) << r.out.substr(from, end - from);
    sum += n;
  }
  EXPECT_EQ(sum, all["count"].get<int>());

  // --home is the program folder the catalogue and the defaults come from;
  // --catalogue a catalogue file of its own.
  const std::string empty = testing_support::makeTempDir("cli-summary-home");
  const CliRun noCatalogue = cli(user, "catalogue summary --home " + empty);
  EXPECT_EQ(noCatalogue.status, 1);
  EXPECT_NE(noCatalogue.err.find("cannot open the catalogue file " + empty + "/DataBase/MainPartix.dbc"),
            std::string::npos)
      << noCatalogue.err;
  EXPECT_EQ(cli(user, "hydraulics " + kSample + " --home " + empty).status, 1);
  EXPECT_EQ(cli(user, "hydraulics " + kSample + " --catalogue " + empty + "/none.dbc").status, 1);
  EXPECT_EQ(cli(user, "hydraulics " + kSample + " --catalogue " + shipped).status, 0);
}

TEST(CliCommands, ReportFormatsPricesAndTheUserDataFolder) {
  const std::string user = testing_support::makeTempDir("cli-report-formats");
  // Unit prices by catalogue number from an estimate's CSV.
  auto prices = [&](const std::string& options) {
    std::map<std::string, double> out;
    const std::string file = user + "/summary.csv";
    std::remove(file.c_str());
    const CliRun r = cli(user, "report summary " + kSample + " -o " + file + " --format csv " + options);
    EXPECT_EQ(r.status, 0) << options << "\n" << r.err;
    const std::string csv = readFile(file);
    EXPECT_EQ(csv.rfind("section,catalogueNo,name,unit,quantity,unitPrice,value\r\n", 0), 0u) << options;
    size_t from = csv.find("\r\n") + 2;
    for (size_t end; (end = csv.find("\r\n", from)) != std::string::npos; from = end + 2) {
      const std::string row = csv.substr(from, end - from);
      const size_t value = row.rfind(','), price = row.rfind(',', value - 1);
      const size_t no = row.find(',') + 1;
      out[row.substr(no, row.find(',', no) - no)] = std::strtod(row.c_str() + price + 1, nullptr);
    }
    return out;
  };
  const std::map<std::string, double> plain = prices("");
  ASSERT_GE(plain.size(), 5u);
  ASSERT_TRUE(plain.count("AQ1002"));

  // --multiplier for this report only.
  const std::map<std::string, double> doubled = prices("--multiplier 2");
  ASSERT_EQ(doubled.size(), plain.size());
  for (const auto& [no, price] : plain) EXPECT_NEAR(doubled.at(no), 2 * price, 0.011) << no;
  EXPECT_EQ(prices(""), plain);

  // --user-data: the price list there holds for the elements it names.
  const std::string data = testing_support::makeTempDir("cli-report-prices");
  writeFile(data + "/prizes.db", "AQ1002\r\n99.5\r\n");
  const std::map<std::string, double> listed = prices("--user-data " + data);
  for (const auto& [no, price] : plain) EXPECT_EQ(listed.at(no), no == "AQ1002" ? 99.5 : price) << no;

  // The estimate by sections names the section of each row; any report can
  // be a PDF.
  const CliRun sections = cli(user, "report sections " + kSample + " -o " + user + "/sections.csv --format csv");
  ASSERT_EQ(sections.status, 0);
  EXPECT_NE(readFile(user + "/sections.csv").find("\r\n1,"), std::string::npos);
  ASSERT_EQ(cli(user, "report info " + kSample + " -o " + user + "/info.pdf --format pdf").status, 0);
  EXPECT_EQ(readFile(user + "/info.pdf").substr(0, 5), "%PDF-");
  EXPECT_EQ(cli(user, "report summary " + kSample + " -o " + user + "/summary.html --format html").status, 0);
  EXPECT_NE(readFile(user + "/summary.html").find("KOSZTORYS ZBIORCZY"), std::string::npos);
}

// --- print and render options ----------------------------------------------------

TEST(CliCommands, PrintTakesItsScaleAndBackgroundSwitch) {
  const std::string user = testing_support::makeTempDir("cli-print-options");
  auto print = [&](const std::string& project, const std::string& options) {
    const std::string pdf = user + "/sheet.pdf";
    std::remove(pdf.c_str());
    const CliRun r = cli(user, "print " + project + " -o " + pdf + " --dpi 100 " + options);
    EXPECT_EQ(r.status, 0) << options << "\n" << r.err;
    return readFile(pdf);
  };
  // The sample's layout prints at 1:200.
  const std::string own = pageDrawing(print(kSample, ""));
  ASSERT_FALSE(own.empty());
  EXPECT_EQ(pageDrawing(print(kSample, "--scale 200")), own);
  EXPECT_NE(pageDrawing(print(kSample, "--scale 100")), own);

  // The sample with a background picture, which its layout does not print.
  std::vector<std::string> tokens = tokensOf(readFile(kSample));
  ASSERT_GE(tokens.size(), 5u);
  ASSERT_EQ(tokens[tokens.size() - 5], "1200");  // the scale block: segment, background, scale, end
  tokens[tokens.size() - 3] = "1";
  const std::string withBackground = user + "/background.prj";
  writeFile(withBackground, textOf(tokens) + readFile(std::string(VERDIMO_PROGRAM_DIR) + "/Gui/folder.bmp"));
  const std::string off = print(withBackground, "--background off");
  const std::string on = print(withBackground, "--background on");
  EXPECT_EQ(countOf(on, "/Subtype /Image"), countOf(off, "/Subtype /Image") + 1);
  EXPECT_NE(pageDrawing(on), pageDrawing(off));
  EXPECT_EQ(pageDrawing(print(withBackground, "")), pageDrawing(off));
}

TEST(CliCommands, RenderLaysTheMapOfTheChosenSectionAndCellOverThePlan) {
  const std::string user = testing_support::makeTempDir("cli-render-coverage");
  auto render = [&](const std::string& options) {
    const std::string png = user + "/plan.png";
    std::remove(png.c_str());
    const CliRun r = cli(user, "render " + kSample + " -o " + png + " --size 700x500 " + options);
    EXPECT_EQ(r.status, 0) << options << "\n" << r.err;
    return readFile(png);
  };
  const std::vector<std::string> options = {"", "--coverage", "--coverage --section 0", "--coverage --section 1",
                                            "--coverage --cell 1"};
  std::vector<std::string> pictures;
  for (const std::string& o : options) {
    pictures.push_back(render(o));
    EXPECT_EQ(pictures.back().substr(1, 3), "PNG") << o;
  }
  for (size_t i = 0; i < pictures.size(); ++i)
    for (size_t j = i + 1; j < pictures.size(); ++j)
      EXPECT_NE(pictures[i], pictures[j]) << "'" << options[i] << "' and '" << options[j] << "'";
  // The defaults: the whole system on cells of 0.25 m.
  EXPECT_EQ(render("--coverage --cell 0.25"), pictures[1]);
  EXPECT_EQ(render("--coverage --section 1 --cell 0.25"), pictures[3]);
}

// --- the watering analysis ----------------------------------------------------------

TEST(CliCoverage, EveryOptionChangesWhatItShouldAndBadValuesAreRefused) {
  const std::string user = testing_support::makeTempDir("cli-coverage");
  auto coverage = [&](const std::string& options) {
    const CliRun r = cli(user, "coverage " + kSample + " " + options);
    EXPECT_EQ(r.status, 0) << options << "\n" << r.err;
    return jsonOf(r);
  };
  const json base = coverage("");
  ASSERT_TRUE(base.is_object());
  EXPECT_EQ(base["cellM"], 0.25);
  EXPECT_EQ(base["depthMm"], 25.0);
  EXPECT_EQ(base["runs"], 3);
  ASSERT_EQ(base["sections"].size(), 3u);
  EXPECT_GT(base["system"]["runTimeMin"].get<double>(), 1);

  // The run times of the system and of every section, scaled by `factor`;
  // what the heads put down stays.
  auto runTimesScaled = [&](const json& j, double factor, const std::string& what) {
    std::vector<std::pair<json, json>> pairs = {{base["system"], j["system"]}};
    ASSERT_EQ(j["sections"].size(), base["sections"].size()) << what;
    for (size_t i = 0; i < base["sections"].size(); ++i) pairs.push_back({base["sections"][i], j["sections"][i]});
    for (const auto& [a, b] : pairs) {
      EXPECT_NEAR(b["runTimeMin"].get<double>(), factor * a["runTimeMin"].get<double>(), 0.011) << what;
      json rest = b, baseRest = a;
      rest.erase("runTimeMin");
      baseRest.erase("runTimeMin");
      EXPECT_EQ(rest, baseRest) << what;
    }
  };
  const json runs = coverage("--runs 6");
  EXPECT_EQ(runs["runs"], 6);
  runTimesScaled(runs, 0.5, "--runs 6");
  const json depth = coverage("--depth 50");
  EXPECT_EQ(depth["depthMm"], 50.0);
  runTimesScaled(depth, 2.0, "--depth 50");

  // --cell: the grid the areas are counted on.
  auto wholeCells = [](const json& j, double cell) {
    const double n = j["system"]["targetAreaM2"].get<double>() / (cell * cell);
    return std::fabs(n - std::round(n)) < 0.02;
  };
  const json coarse = coverage("--cell 0.3");
  EXPECT_EQ(coarse["cellM"], 0.3);
  EXPECT_TRUE(wholeCells(coarse, 0.3));
  EXPECT_TRUE(wholeCells(base, 0.25));
  EXPECT_FALSE(wholeCells(base, 0.3));
  EXPECT_NE(coarse["system"]["wateredAreaM2"], base["system"]["wateredAreaM2"]);

  // --section: that section's figures only; the system's stay.
  const json one = coverage("--section 1");
  ASSERT_EQ(one["sections"].size(), 1u);
  EXPECT_EQ(one["sections"][0], base["sections"][1]);
  EXPECT_EQ(one["system"], base["system"]);

  // --pressure: the heads at the pressure the pipes give them (less than
  // the source's, so less water) or at the source's.
  const json atSource = coverage("--pressure source");
  EXPECT_EQ(coverage("--pressure network"), base);
  for (size_t i = 0; i < base["sections"].size(); ++i)
    EXPECT_LT(base["sections"][i]["flowM3H"].get<double>(), atSource["sections"][i]["flowM3H"].get<double>() + 1e-9) << i;
  EXPECT_LT(base["system"]["flowM3H"].get<double>(), atSource["system"]["flowM3H"].get<double>());

  const struct {
    const char* options;
    const char* message;
  } refused[] = {
      {"--pressure pipes", "--pressure takes network or source"},
      {"--cell 0.01", "--cell takes metres from 0.05 to 5"},
      {"--cell 5.5", "--cell takes metres from 0.05 to 5"},
      {"--cell abc", "option --cell needs a number, not \"abc\""},
      {"--section -1", "--section takes a section number from 0"},
      {"--section 1.5", "--section takes a section number from 0"},
      {"--depth 0", "--depth takes millimetres a week above 0"},
      {"--depth 1001", "--depth takes millimetres a week above 0"},
      {"--depth nan", "option --depth needs a number"},
      {"--runs 0", "--runs takes a whole number from 1 to 100"},
      {"--runs 2.5", "--runs takes a whole number from 1 to 100"},
      {"--runs 101", "--runs takes a whole number from 1 to 100"},
      {"--runs", "option --runs needs a value"},
      {"--zoom 2", "unknown option --zoom"},
  };
  for (const auto& r : refused) {
    const CliRun run = cli(user, "coverage " + kSample + " " + r.options);
    EXPECT_EQ(run.status, 2) << r.options;
    EXPECT_NE(run.err.find(r.message), std::string::npos) << r.options << "\n" << run.err;
    EXPECT_TRUE(run.out.empty()) << r.options;
  }
  EXPECT_EQ(cli(user, "coverage").status, 2);
  const CliRun missing = cli(user, "coverage " + user + "/missing.prj");
  EXPECT_EQ(missing.status, 1);
  EXPECT_FALSE(missing.err.empty());
}

// --- a reduced radius read back ----------------------------------------------------

// A rotary sprinkler reduced by 1 (to 75 % of its nozzle's throw) in the file
// but with its arc ends still at the full throw, as a nozzle chosen after the
// reduction leaves it, opens reduced: every command reads it as it reads the
// same sprinkler saved right after reducing.
TEST(CliCommands, ARotorReducedInTheFileIsReducedInEveryCommand) {
  const std::string user = testing_support::makeTempDir("cli-reduced-rotor");
  const std::string sampleText = readFile(kSample);
  const json sampleDump = jsonOf(cli(user, "project dump " + kSample));
  ASSERT_TRUE(sampleDump.is_object());
  std::vector<std::string> tokens = tokensOf(sampleText);
  const size_t at = firstRotorRecord(tokens, sampleDump);
  ASSERT_NE(at, std::string::npos);
  ASSERT_EQ(tokens[at + 12], "0");  // not reduced in the sample

  // The record: tag, posU, arcStartU, arcEndU, kind, nozzle, label dx, dy,
  // shown, reduction.
  const std::string full = user + "/full.prj", reduced = user + "/reduced.prj", saved = user + "/saved.prj";
  writeFile(full, sampleText);
  tokens[at + 12] = "1";
  writeFile(reduced, textOf(tokens));
  const double cx = std::strtod(tokens[at + 1].c_str(), nullptr), cy = std::strtod(tokens[at + 2].c_str(), nullptr);
  for (size_t end : {at + 3, at + 5}) {
    const double x = std::strtod(tokens[end].c_str(), nullptr), y = std::strtod(tokens[end + 1].c_str(), nullptr);
    tokens[end] = std::to_string(std::lround(cx + 0.75 * (x - cx)));
    tokens[end + 1] = std::to_string(std::lround(cy + 0.75 * (y - cy)));
  }
  writeFile(saved, textOf(tokens));

  // project dump: the arc ends on the reduced radius.
  const json fullDump = jsonOf(cli(user, "project dump " + full));
  const json reducedDump = jsonOf(cli(user, "project dump " + reduced));
  const json savedDump = jsonOf(cli(user, "project dump " + saved));
  const json *f = firstRotor(fullDump), *r = firstRotor(reducedDump), *s = firstRotor(savedDump);
  ASSERT_TRUE(f && r && s);
  EXPECT_EQ((*r)["reduction"], 1.0);
  const double nominal = distance((*f)["arcStartU"], (*f)["posU"]);
  ASSERT_GT(nominal, 100);
  for (const json* o : {r, s}) {
    EXPECT_NEAR(distance((*o)["arcStartU"], (*o)["posU"]), 0.75 * nominal, 1e-3 * nominal);
    EXPECT_NEAR(distance((*o)["arcEndU"], (*o)["posU"]), 0.75 * nominal, 1e-3 * nominal);
  }

  // coverage, render and print: as the sprinkler saved reduced, and not as
  // the one of the full throw.
  auto coverage = [&](const std::string& p) { return cli(user, "coverage " + p + " --cell 0.1").out; };
  auto render = [&](const std::string& p) {
    const std::string png = user + "/plan.png";
    std::remove(png.c_str());
    EXPECT_EQ(cli(user, "render " + p + " -o " + png).status, 0);
    return readFile(png);
  };
  auto print = [&](const std::string& p) {
    const std::string pdf = user + "/plan.pdf";
    std::remove(pdf.c_str());
    EXPECT_EQ(cli(user, "print " + p + " -o " + pdf + " --dpi 150 --scale 100").status, 0);
    return pageDrawing(readFile(pdf));
  };
  const struct {
    const char* command;
    std::function<std::string(const std::string&)> run;
  } paths[] = {{"coverage", coverage}, {"render", render}, {"print", print}};
  for (const auto& p : paths) {
    const std::string asSaved = p.run(saved);
    ASSERT_FALSE(asSaved.empty()) << p.command;
    EXPECT_TRUE(p.run(reduced) == asSaved) << p.command;
    EXPECT_FALSE(p.run(full) == asSaved) << p.command;
  }
}

// --- the pipe network -------------------------------------------------------------

namespace {

TEST(CliNetwork, TheSamplesSectionsAndTheirSizedPipes) {
  const std::string user = testing_support::makeTempDir("cli-network");
  const CliRun r = cli(user, "network " + kSample);
  ASSERT_EQ(r.status, 0) << r.err;
  const json all = jsonOf(r);
  ASSERT_TRUE(all.is_object());
  ASSERT_EQ(all["sections"].size(), 3u);
  EXPECT_TRUE(all["unconnected"].empty()) << all["warnings"].dump(1);
  const json dump = jsonOf(cli(user, "project dump " + kSample));
  for (const json& s : all["sections"]) {
    EXPECT_TRUE(s["solved"].get<bool>());
    // The heads get less than the source gives, and not much less.
    EXPECT_LT(s["maxHeadPressureAtm"].get<double>(), 3.5);
    EXPECT_GT(s["minHeadPressureAtm"].get<double>(), 3.0);
    EXPECT_LE(s["pressureSpreadPct"].get<double>(), 20.0);
    EXPECT_GT(s["requiredSourcePressureAtm"].get<double>(), 3.5);
    double flow = 0;
    for (const json& h : s["heads"]) {
      flow += h["flowM3H"].get<double>();
      // Numbered as project dump numbers the objects: a head there.
      EXPECT_TRUE(isConsumer(dump["objects"][h["object"].get<int>()]["type"]));
    }
    EXPECT_NEAR(flow, s["flowM3H"].get<double>(), 1e-3);
    // Every node below the source's pressure, none below the lowest head's
    // by more than the dead ends' share.
    ASSERT_FALSE(s["nodes"].empty());
    for (const json& n : s["nodes"]) {
      EXPECT_LE(n["pressureAtm"].get<double>(), 3.5 + 1e-9);
      EXPECT_GE(n["pressureAtm"].get<double>(), s["minHeadPressureAtm"].get<double>() - 0.5);
    }
    for (const json& p : s["pipes"]) {
      EXPECT_EQ(dump["objects"][p["object"].get<int>()]["type"], 1001);
      EXPECT_GT(p["innerDiameterMm"].get<double>(), 0);
    }
  }
  // One section, and the pipes taken at a default size.
  const json one = jsonOf(cli(user, "network " + kSample + " --section 1 --default-diameter 40"));
  ASSERT_EQ(one["sections"].size(), 1u);
  EXPECT_EQ(one["sections"][0]["section"], 1);
  const CliRun none = cli(user, "network " + kSample + " --section 7");
  EXPECT_EQ(none.status, 1);
  EXPECT_NE(none.err.find("no section 7"), std::string::npos) << none.err;

  // Sized: no segment faster than 1.5 m/s, the project written.
  const std::string sized = user + "/sized.prj";
  const CliRun size = cli(user, "size-pipes " + kSample + " -o " + sized);
  ASSERT_EQ(size.status, 0) << size.err;
  const json summary = jsonOf(size);
  EXPECT_TRUE(summary["unmet"].empty());
  EXPECT_GT(summary["changedPipes"].get<int>(), 0);
  EXPECT_GT(summary["costBefore"].get<double>(), 0);
  const json after = jsonOf(cli(user, "network " + sized));
  ASSERT_EQ(after["sections"].size(), 3u);
  for (const json& s : after["sections"]) {
    for (const json& p : s["pipes"]) EXPECT_LE(p["velocityMS"].get<double>(), 1.5);
    EXPECT_LE(s["pressureSpreadPct"].get<double>(), 20.0);
  }
}

}  // namespace

namespace {

TEST(CliZone, TheSamplesHeadsInSectionsOfOneFamilyWithinTheSource) {
  const std::string user = testing_support::makeTempDir("cli-zone");
  const std::string zoned = user + "/zoned.prj";
  const CliRun r = cli(user, "zone " + kSample + " --capacity-share 0.5 -o " + zoned);
  ASSERT_EQ(r.status, 0) << r.err;
  const json out = jsonOf(r);
  const double capacity = out["capacityM3H"];
  ASSERT_FALSE(out["sections"].empty());
  std::set<std::string> families;
  for (const json& s : out["sections"]) {
    EXPECT_LE(s["flowM3H"].get<double>(), capacity + 1e-4);
    families.insert(s["family"].get<std::string>());
  }
  EXPECT_EQ(families.size(), 4u);  // rotors, sprays, micro-sprinklers and drip lines apart
  // Each head of the written project in a section of its family.
  const json dump = jsonOf(cli(user, "project dump " + zoned));
  ASSERT_EQ(dump["sections"].size(), out["sections"].size());
  for (const json& o : dump["objects"]) {
    if (!isConsumer(o["type"])) continue;
    ASSERT_TRUE(o["fields"].contains("sectionNo")) << o.dump();
    const int section = o["fields"]["sectionNo"];
    ASSERT_GE(section, 0);
    ASSERT_LT(section, static_cast<int>(out["sections"].size()));
  }
}

}  // namespace

namespace {

// The garden shipped beside the sample, laid out by the tool: its lawns'
// sections water evenly, each family in a section of its own.
TEST(CliLayout, TheModelGardenWatersItsLawnsEvenly) {
  const std::string user = testing_support::makeTempDir("cli-model-garden");
  const std::string model = std::string(VERDIMO_PROGRAM_DIR) + "/Projekty/Ogrod_wzorcowy.prj";
  const CliRun r = cli(user, "coverage " + model);
  ASSERT_EQ(r.status, 0) << r.err;
  const json out = jsonOf(r);
  ASSERT_EQ(out["sections"].size(), 3u);  // rotors, rotary nozzles, drip lines
  for (int s : {0, 1}) {
    SCOPED_TRACE(s);
    EXPECT_GE(out["sections"][s]["cu"].get<double>(), 85.0);
    EXPECT_GE(out["sections"][s]["duLq"].get<double>(), 75.0);
  }
  const json dump = jsonOf(cli(user, "project dump " + model));
  EXPECT_EQ(dump["sections"][0]["description"], "Trawnik – rotory 1");
}

// The model garden has heads and sections but no pipes: routed, every head
// is joined, the sections sized, the estimate priced.
TEST(CliRoute, TheModelGardenPipedAndSized) {
  const std::string user = testing_support::makeTempDir("cli-route");
  const std::string model = std::string(VERDIMO_PROGRAM_DIR) + "/Projekty/Ogrod_wzorcowy.prj";
  const std::string piped = user + "/piped.prj";
  const CliRun r = cli(user, "route " + model + " -o " + piped);
  ASSERT_EQ(r.status, 0) << r.err;
  const json out = jsonOf(r);
  EXPECT_EQ(out["routed"].size(), 3u);
  EXPECT_EQ(out["valves"], 3);
  EXPECT_TRUE(out["unconnected"].empty());
  EXPECT_GT(out["mainM"].get<double>(), 0);
  EXPECT_FALSE(out["pipeLengthM"].empty());
  EXPECT_GT(out["netTotal"].get<double>(), 0);
  for (const json& s : out["sections"]) EXPECT_LE(s["pressureSpreadPct"].get<double>(), 20.0 + 1e-6) << s.dump();
  // The network of the written project finds every head on a pipe.
  const json net = jsonOf(cli(user, "network " + piped));
  EXPECT_TRUE(net["unconnected"].empty()) << net["unconnected"].dump();
  // Sized from the types allowed only.
  const std::string limited = user + "/limited.prj";
  const CliRun only = cli(user, "route " + model + " --pipes ZM4003,ZM4005,ZM4007 -o " + limited);
  ASSERT_EQ(only.status, 0) << only.err;
  const json onlyOut = jsonOf(only);
  for (const auto& [name, metres] : onlyOut["pipeLengthM"].items())
    EXPECT_TRUE(name.find("<25>") != std::string::npos || name.find("<32>") != std::string::npos ||
                name.find("<40>") != std::string::npos)
        << name;
  const struct {
    std::string args, says;
  } refused[] = {
      {piped, "nie czeka na rury"},
      {model + " --pipes ZM4003,AQ1001", "AQ1001 is not a pipe"},
      {model + " --valve AQ1001", "is not a valve"},
      {model + " --section 9", "no section 9"},
  };
  for (const auto& c : refused) {
    const CliRun no = cli(user, "route " + c.args + " -o " + user + "/no.prj");
    EXPECT_EQ(no.status, 1) << c.args;
    EXPECT_NE(no.err.find(c.says), std::string::npos) << c.args << ": " << no.err;
  }
}

// FAO-56's Example 18 (Brussels, 6 July) on the command line, and inputs it
// cannot take.
TEST(CliEto, TheDailyExampleAndImpossibleInputs) {
  const std::string user = testing_support::makeTempDir("cli-eto");
  const CliRun r = cli(user,
                       "eto --lat 50.8 --alt 100 --tmax 21.5 --tmin 12.3 --rh-max 84 --rh-min 63 --wind 2.7778 "
                       "--wind-height 10 --sunshine 9.25 --day 187");
  ASSERT_EQ(r.status, 0) << r.err;
  const json out = jsonOf(r);
  EXPECT_NEAR(out["eto"].get<double>(), 3.9, 0.05);
  EXPECT_NEAR(out["rn"].get<double>(), 13.28, 0.015);
  EXPECT_NEAR(out["ea"].get<double>(), 1.409, 0.0005);
  for (const char* key : {"delta", "gamma", "es", "ra", "rso", "rns", "rnl", "g"}) EXPECT_TRUE(out.contains(key)) << key;
  const struct {
    std::string args, says;
  } refused[] = {
      {"--lat 95 --alt 0 --tmax 20 --tmin 10 --ea 1 --wind 2 --sunshine 5 --day 180", "latitude"},
      {"--lat 50 --alt 0 --tmax 10 --tmin 20 --ea 1 --wind 2 --sunshine 5 --day 180", "temperatures"},
      {"--lat 50 --alt 0 --tmax 20 --tmin 10 --wind 2 --sunshine 5 --day 180", "--rh-max"},
      {"--lat 50 --alt 0 --tmax 20 --tmin 10 --ea 1 --wind 2 --sunshine 20 --day 180", "sunshine"},
  };
  for (const auto& c : refused) {
    const CliRun no = cli(user, "eto " + c.args);
    EXPECT_EQ(no.status, 2) << c.args;
    EXPECT_NE(no.err.find(c.says), std::string::npos) << c.args << ": " << no.err;
  }
}

TEST(CliLayout, RotorsLaidOutOnTheSamplesLawn) {
  const std::string user = testing_support::makeTempDir("cli-layout");
  const std::string laid = user + "/laid.prj";
  const CliRun r = cli(user, "layout " + kSample + " --area 0 --body AQ1002 -o " + laid);
  ASSERT_EQ(r.status, 0) << r.err;
  const json out = jsonOf(r);
  const int heads = out["heads"];
  EXPECT_GT(heads, 5);
  EXPECT_GT(out["cu"].get<double>(), 50);
  EXPECT_GT(out["flowM3H"].get<double>(), 0);
  EXPECT_TRUE(out.contains("duLq") && out.contains("thrownOutsidePct"));
  // Pipes run in the lawn: the heads work at what the network gives there.
  const double source = jsonOf(cli(user, "project dump " + kSample))["sourcePressure"];
  EXPECT_GT(out["pressureAtm"].get<double>(), 0.5 * source);
  EXPECT_LT(out["pressureAtm"].get<double>(), source);
  // The written project holds the sample's rotors and the new ones.
  auto rotors = [&](const std::string& project) {
    int n = 0;
    const json dump = jsonOf(cli(user, "project dump " + project));
    for (const json& o : dump["objects"]) n += o["type"] == 1000;
    return n;
  };
  EXPECT_EQ(rotors(laid), rotors(kSample) + heads);
  // Sprays of a static body with adjustable nozzles, and with one nozzle's series.
  auto statics = [&](const std::string& project) {
    int n = 0;
    const json dump = jsonOf(cli(user, "project dump " + project));
    for (const json& o : dump["objects"]) n += o["type"] == 1008;
    return n;
  };
  for (const std::string nozzle : {"--nozzle-kind adjustable", "--nozzle AQ8003"}) {
    SCOPED_TRACE(nozzle);
    const CliRun sprays = cli(user, "layout " + kSample + " --area 0 --body AQ7002 " + nozzle + " -o " + laid);
    ASSERT_EQ(sprays.status, 0) << sprays.err;
    const json s = jsonOf(sprays);
    EXPECT_EQ(statics(laid), statics(kSample) + s["heads"].get<int>());
    EXPECT_TRUE(s.contains("targetReached"));
  }
  // What is not a body, a static body without nozzles, a rotor with them,
  // an unknown kind, and an area the plan lacks.
  const struct {
    std::string args, says;
    int status;
  } refused[] = {
      {"--body ZM4003", "is not a sprinkler body", 1},
      {"--body AQ7002", "name a nozzle (--nozzle CATNO) or a nozzle kind", 1},
      {"--body AQ1002 --nozzle-kind fixed", "brings its own nozzle rows", 1},
      {"--body AQ7002 --nozzle AQ1002", "is not a static nozzle", 1},
      {"--body AQ7002 --nozzle-kind round", "--nozzle-kind takes fixed, adjustable, rotary or strip", 2},
  };
  for (const auto& c : refused) {
    const CliRun no = cli(user, "layout " + kSample + " --area 0 " + c.args + " -o " + laid);
    EXPECT_EQ(no.status, c.status) << c.args;
    EXPECT_NE(no.err.find(c.says), std::string::npos) << c.args << ": " << no.err;
  }
  const CliRun none = cli(user, "layout " + kSample + " --area 999 --body AQ1002 -o " + laid);
  EXPECT_EQ(none.status, 1);
  EXPECT_NE(none.err.find("no terrain primitive 999"), std::string::npos) << none.err;
}

}  // namespace
