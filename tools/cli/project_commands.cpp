#include "tools/cli/project_commands.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <charconv>
#include <cstring>
#include <cmath>
#include <iostream>
#include <map>
#include <optional>

#include <nlohmann/json.hpp>

#include "document/plan_painter.h"
#include "hydraulics/coverage.h"
#include "hydraulics/hydraulics_report.h"
#include "hydraulics/network.h"
#include "hydraulics/pipe_sizing.h"
#include "hydraulics/zoning.h"
#include "hydraulics/head_layout.h"
#include "hydraulics/pipe_routing.h"
#include "hydraulics/auto_design.h"
#include "hydraulics/eto.h"
#include "objects/polylines.h"
#include "reports/report_items.h"
#include "objects/static_sprinkler.h"
#include "reports/reports.h"
#include "document/project_file.h"
#include "document/settings_file.h"
#include "document/terrain.h"
#include "platform/canvas_qpainter.h"
#include "platform/folders.h"
#include "platform/numtext.h"
#include "platform/textcodec.h"
#include "printing/print_job.h"
#include "printing/print_layout.h"
#include "sections/connection_sets.h"
#include "sections/extra_elements.h"
#include "sections/section_list.h"
#include "startup/application.h"
#include "tools/cli/cli_options.h"

using nlohmann::ordered_json;

namespace cli {
namespace {

const std::vector<std::string> kCommonOptions = {"--home", "--user-data", "--catalogue"};

std::string utf8(const std::string& cp1250) { return platform::cp1250ToUtf8(cp1250); }

ordered_json number(double v) {
  if (!std::isfinite(v)) return nullptr;
  return v;
}

// A float as the shortest decimal that reads back as the same float.
ordered_json number32(float f) {
  if (!std::isfinite(f)) return nullptr;
  const std::string text = platform::formatShortest(f);
  double d = 0;
  std::from_chars(text.data(), text.data() + text.size(), d);
  return d;
}

// The fields of every record as the project file writes them, by name. A
// name is "kind:name": p point (two numbers), P point list, d number,
// i integer, u unsigned, r catalogue reference, t text, S the section
// triple. A field the file holds only on a condition is handled below.
const std::map<int, std::vector<std::string>>& recordFields() {
  static const std::map<int, std::vector<std::string>> fields = {
      {kTypeSprinkler, {"p:posU", "p:arcStartU", "p:arcEndU", "u:kindWord", "i:nozzleNo", "d:labelDx", "d:labelDy",
                        "i:labelShown", "d:reduction", "r:elem", "S"}},
      {kTypePipe, {"P:vertices", "u:kindWord", "d:labelDx", "d:labelDy", "i:labelShown", "r:elem", "u:labelAngle", "S"}},
      {kTypeSet, {"P:vertices", "u:kindWord", "d:labelDx", "d:labelDy", "i:labelShown", "u:labelAngle", "S"}},
      {kTypeValve, {"d:posUx", "d:posUy", "d:pointAUx", "d:pointAUy", "d:pointBUx", "d:pointBUy", "d:angle",
                    "u:kindWord", "d:labelDx", "d:labelDy", "i:labelShown", "i:isWaterSource", "?source", "S"}},
      {kTypeController, {"d:posUx", "d:posUy", "u:kindWord", "d:labelDx", "d:labelDy", "i:labelShown", "r:elem",
                         "d:sizeGripUx", "d:sizeGripUy", "d:sizeU"}},
      {kTypeStaticSprinkler,
       {"p:posU", "p:arcStartU", "p:arcEndU", "u:kindWord", "i:reserved", "d:labelDx", "d:labelDy", "i:labelShown",
        "d:orient11", "d:orient12", "d:orient21", "d:orient22", "d:arcDeg", "d:radiusPx", "d:lengthPx", "d:widthPx",
        "d:lengthTextM", "d:widthTextM", "d:flowStored", "i:mpPointIndex", "d:reduction", "r:elem", "r:nozzle", "S"}},
      {kTypeMicroHadar, {"u:kindWord", "i:reserved1", "i:reserved2", "i:insertUsed", "p:posU", "p:handleU", "i:nozzleRow",
                         "d:labelDx", "d:labelDy", "i:labelShown", "d:orient11", "d:orient12", "d:orient21", "d:orient22",
                         "i:halfCircle", "d:radiusU", "d:radiusM", "d:flowLh", "r:elem", "r:insert", "S"}},
      {kTypeDripline, {"P:vertices", "u:kindWord", "d:labelDx", "d:labelDy", "i:labelShown", "r:elem", "u:labelAngle", "S"}},
      {kTypeCable, {"P:vertices", "u:kindWord", "d:labelDx", "d:labelDy", "i:labelShown", "?cable", "u:labelAngle"}},
      {kTypeFilter, {"d:posUx", "d:posUy", "u:kindWord", "d:labelDx", "d:labelDy", "i:labelShown", "r:elem"}},
      {kTypeRegulator, {"d:posUx", "d:posUy", "u:kindWord", "d:labelDx", "d:labelDy", "i:labelShown", "r:elem"}},
      {kTypeValveBox, {"d:posUx", "d:posUy", "u:kindWord", "d:labelDx", "d:labelDy", "i:labelShown", "d:widthGripUx",
                       "d:widthGripUy", "d:lengthGripUx", "d:lengthGripUy", "d:widthU", "d:lengthU", "d:turn11",
                       "d:turn12", "d:turn21", "d:turn22", "r:elem"}},
      {kTypeRainSensor, {"d:posUx", "d:posUy", "u:kindWord", "d:labelDx", "d:labelDy", "i:labelShown", "r:elem",
                         "d:sizeGripUx", "d:sizeGripUy", "d:sizeU"}},
      {kTypeRws, {"r:elem", "i:posX", "i:posY", "p:posU", "d:labelDx", "d:labelDy", "d:scaleDenominatorUsed",
                  "d:pixelsPerCmUsed", "d:pressureUsed", "d:flowStored", "d:radiusU", "S", "i:labelShown"}},
      {kTypeMicroSprinkler, {"u:kindWord", "r:elem", "p:posU", "p:handleU", "d:labelDx", "d:labelDy", "i:labelShown",
                             "d:orient11", "d:orient12", "d:orient21", "d:orient22", "i:fullCircle", "d:arcDeg",
                             "d:radiusU", "d:radiusM", "d:flowLh", "d:reduction", "S"}},
      {kTypeText, {"d:posUx", "d:posUy", "u:kindWord", "d:labelDx", "d:labelDy", "i:labelShown", "t:text", "t:fontFace",
                   "i:fontHeight", "i:fontWeight", "i:textAngle", "i:italic", "i:underline", "u:textColour"}},
      {kListCodeDimension, {"d:posUx", "d:posUy", "d:endAUx", "d:endAUy", "d:endBUx", "d:endBUy", "u:labelAngle",
                            "u:kindWord", "d:labelDx", "d:labelDy", "i:labelShown", "d:calibLength", "i:calibPixels",
                            "t:text"}},
      {kTerrainCircle, {"d:x1", "d:y1", "d:x2", "d:y2", "d:param", "u:colour"}},
      {kTerrainEllipse, {"d:x1", "d:y1", "d:x2", "d:y2", "d:param", "u:colour"}},
      {kTerrainRectangle, {"d:startX", "d:startY", "p:c1", "p:c2", "p:c3", "p:c4", "i:rectValue1", "i:rectValue2",
                           "u:colour", "d:turn11", "d:turn12", "d:turn21", "d:turn22", "d:endX", "d:endY"}},
      {kTerrainArea, {"P:vertices", "u:colour"}},
      {kTerrainPolyline, {"P:vertices", "u:colour"}},
  };
  return fields;
}

// The fields of one record read back from the tokens the writer produced.
ordered_json recordJson(TokenReader& in, const std::vector<std::string>& fields) {
  ordered_json j = ordered_json::object();
  auto point = [&] { return ordered_json::array({number(in.readDoubleFull()), number(in.readDoubleFull())}); };
  for (const std::string& f : fields) {
    if (f == "S") {
      j["hasSectionColour"] = in.readInt();
      j["sectionColour"] = in.readUint();
      j["sectionNo"] = in.readUint();
      continue;
    }
    if (f == "?source") {
      if (j["isWaterSource"].get<int>() != 0) {
        j["sourcePressure"] = number(in.readDoubleFull());
        j["sourceCapacity"] = number(in.readDoubleFull());
      } else {
        j["elem"] = std::string(in.next());
      }
      continue;
    }
    if (f == "?cable") {
      if (j["kindWord"].get<uint32_t>() != 99999) j["elem"] = std::string(in.next());
      continue;
    }
    const char kind = f[0];
    const std::string name = f.substr(2);
    switch (kind) {
      case 'p': j[name] = point(); break;
      case 'P': {
        const uint32_t n = in.readUint();
        ordered_json pts = ordered_json::array();
        for (uint32_t i = 0; i < n && !in.atEnd(); ++i) pts.push_back(point());
        j[name] = pts;
        break;
      }
      case 'd': j[name] = number(in.readDoubleFull()); break;
      case 'i': j[name] = in.readInt(); break;
      case 'u': j[name] = in.readUint(); break;
      case 'r': j[name] = std::string(in.next()); break;
      case 't': j[name] = utf8(in.readText()); break;
    }
  }
  return j;
}

// Writes one object's or primitive's record and names its fields.
template <typename WriteRecord>
ordered_json describe(WriteRecord write) {
  TokenWriter w;
  write(w);
  TokenReader in(w.text());
  const int tag = in.readInt();
  auto it = recordFields().find(tag);
  ordered_json j;
  j["tag"] = tag;
  if (it != recordFields().end()) j["fields"] = recordJson(in, it->second);
  return j;
}

int startOrFail(const Options& options) {
  StartupOptions start;
  if (auto c = options.value("--catalogue")) start.catalogueFile = *c;
  StartupResult r = startUp(start);
  if (!r.ok) throw CommandError(utf8(r.caption) + ": " + utf8(r.message));
  return 0;
}

void openOrFail(const std::string& path) {
  ProjectResult r = openProject(path);
  if (!r.ok) throw CommandError(utf8(r.caption) + ": " + utf8(r.message));
  if (!r.message.empty()) std::cerr << utf8(r.caption) << ": " << utf8(r.message) << "\n";
}

ordered_json documentJson(CGraphicPlane& doc) {
  ordered_json out;
  out["projectNo"] = utf8(doc.projectNo);
  out["investor"] = utf8(doc.investor);
  out["objectName"] = utf8(doc.objectName);
  out["projectDate"] = utf8(doc.projectDate);
  out["author"] = utf8(doc.author);
  out["company"] = {{"name", utf8(doc.companyName)},   {"address", utf8(doc.companyAddress)},
                    {"phone", utf8(doc.companyPhone)}, {"email", utf8(doc.companyEmail)},
                    {"www", utf8(doc.companyWww)},     {"logo", utf8(doc.companyLogo)}};
  out["hasWaterSource"] = doc.hasWaterSource;
  out["sourcePressure"] = number(doc.sourcePressure);
  out["sourceCapacity"] = number(doc.sourceCapacity);
  out["scaleDenominator"] = number(doc.scaleDenominator);
  out["pixelsPerCm"] = number(doc.pixelsPerCm);
  out["gridStep"] = number(doc.gridStep);
  out["scaleFromSegment"] = doc.scaleFromSegment;
  out["hasBackground"] = doc.hasBackground;
  out["backgroundFile"] = utf8(doc.backgroundFile);

  const PrintLayout& l = printLayout();
  out["layout"] = {{"printLawnFill", l.printLawnFill},   {"printBackground", l.printBackground},
                   {"printGrid", l.printGrid},           {"portrait", l.portrait},
                   {"lineWidthPercent", l.lineWidthPercent}, {"paperWidth", number(l.paperWidth)},
                   {"paperHeight", number(l.paperHeight)}, {"printScale", l.printScale},
                   {"planOffsetX", number(l.planOffsetX)}, {"planOffsetY", number(l.planOffsetY)},
                   {"margins", {number(l.marginLeft), number(l.marginRight), number(l.marginTop), number(l.marginBottom)}}};

  ordered_json sections = ordered_json::array();
  const CSectionList& list = sectionList();
  for (int i = 0; i < list.count(); ++i) {
    const CSectionItem& s = list.item(i);
    sections.push_back({{"nr", s.nr}, {"description", utf8(s.desc)}, {"colour", s.color}});
  }
  out["sections"] = sections;

  ordered_json sets = ordered_json::array();
  if (CDBSets* all = application().sets.get()) {
    for (int i = 0; i < all->count(); ++i) {
      const CDBSetItem& s = all->item(i);
      if (s.erased || !setUsedOnPlan(doc, static_cast<uint32_t>(s.id))) continue;
      ordered_json elems = ordered_json::array();
      for (CElem* e : s.availableElements()) elems.push_back(e && e->data ? utf8(e->data->catalogueNo) : "");
      sets.push_back({{"id", static_cast<uint32_t>(s.id)}, {"name", utf8(s.name)}, {"hasPipe", s.hasPipe}, {"elements", elems}});
    }
  }
  out["sets"] = sets;

  ordered_json extras = ordered_json::array();
  for (const ExtraReportElement& e : extraReportElements().records())
    extras.push_back({{"kind", e.kind},
                      {"section", e.section},
                      {"catalogueNo", utf8(e.catalogueNo)},
                      {"name", utf8(e.name)},
                      {"quantity", number(e.quantity)}});
  out["extraElements"] = extras;

  ordered_json terrain = ordered_json::array();
  for (const auto& p : doc.terrain()) {
    if (p->deleted) continue;
    ordered_json j = describe([&](TokenWriter& w) { writePrimitiveRecord(w, *p); });
    j["fillKind"] = p->fillKind;
    terrain.push_back(j);
  }
  out["terrain"] = terrain;

  ordered_json objects = ordered_json::array();
  for (const auto& o : doc.objects()) {
    if (o->deleted) continue;
    ordered_json j = describe([&](TokenWriter& w) { writeObjectRecord(w, *o, doc); });
    j["listCode"] = o->listCode;
    j["type"] = o->GetType();
    j["kindName"] = utf8(o->GetKindName());
    j["flow"] = number(o->GetFlow());
    objects.push_back(j);
  }
  out["objects"] = objects;
  return out;
}

int dump(const Options& options) {
  const auto& words = options.positional();
  if (words.size() != 2) throw UsageError("project dump needs PROJECT");
  startOrFail(options);
  openOrFail(words[1]);
  std::cout << documentJson(*application().document).dump(1) << '\n';
  shutDown();
  return std::cout ? 0 : 1;
}

int resave(const Options& options) {
  const auto& words = options.positional();
  if (words.size() != 3) throw UsageError("project resave needs IN and OUT");
  startOrFail(options);
  openOrFail(words[1]);
  ProjectResult r = saveOpenProject(words[2]);
  shutDown();
  if (!r.ok) throw CommandError(utf8(r.message));
  return 0;
}

}  // namespace

int runProjectCommand(int argc, char** argv) {
  Options options(argc, argv, 2, kCommonOptions);
  options.allowOnly(kCommonOptions);
  applyCommonOptions(options);
  const auto& words = options.positional();
  if (words.empty()) throw UsageError("project needs one of: dump, resave");
  if (words[0] == "dump") return dump(options);
  if (words[0] == "resave") return resave(options);
  throw UsageError("unknown project command \"" + words[0] + "\"");
}

int runHydraulicsCommand(int argc, char** argv) {
  Options options(argc, argv, 2, kCommonOptions);
  options.allowOnly(kCommonOptions);
  applyCommonOptions(options);
  if (options.positional().size() != 1) throw UsageError("hydraulics needs PROJECT");
  startOrFail(options);
  openOrFail(options.positional()[0]);
  const HydraulicsReport h = buildHydraulicsReport(*application().document);
  ordered_json out;
  out["hasWaterSource"] = h.hasWaterSource ? 1 : 0;
  out["sourcePressure"] = number32(h.sourcePressure);
  out["sourceCapacity"] = number32(h.sourceCapacity);
  ordered_json objects = ordered_json::array();
  for (const HydraulicsObject& o : h.objects) {
    ordered_json j;
    j["listCode"] = o.listCode;
    j["sectionNo"] = o.sectionNo;
    if (o.connected) j["connected"] = *o.connected;
    j["flow"] = number32(o.flow);
    objects.push_back(j);
  }
  out["objects"] = objects;
  out["connectedFlow"] = {{"flow", number32(h.connectedFlow.flow)}, {"count", h.connectedFlow.count}};
  ordered_json sections = ordered_json::array();
  for (const SectionSummary& s : h.sections)
    sections.push_back({{"sectionNo", s.sectionNo},
                        {"kinds", s.kinds},
                        {"flowSum", number32(s.flowSum)},
                        {"deviceCount", s.deviceCount},
                        {"hasDriplines", s.hasDriplines},
                        {"driplineLengthM", number32(s.driplineLengthM)}});
  out["sections"] = sections;
  shutDown();
  std::cout << out.dump(1) << '\n';
  return std::cout ? 0 : 1;
}

namespace {

// The analysis options of the command line.
CoverageOptions coverageOptions(const Options& options) {
  CoverageOptions o;
  if (auto cell = options.number("--cell")) {
    if (!(*cell >= kCoverageMinCellM && *cell <= kCoverageMaxCellM)) throw UsageError("--cell takes metres from 0.05 to 5");
    o.cellM = *cell;
  }
  if (auto section = options.number("--section")) {
    if (!(*section >= 0 && *section < 100000) || *section != std::floor(*section))
      throw UsageError("--section takes a section number from 0");
    o.mapSection = static_cast<int>(*section);
  }
  if (auto depth = options.number("--depth")) {
    if (!(*depth > 0 && *depth <= 1000)) throw UsageError("--depth takes millimetres a week above 0");
    o.depthMm = *depth;
  }
  if (auto runs = options.number("--runs")) {
    if (!(*runs >= 1 && *runs <= 100) || *runs != std::floor(*runs)) throw UsageError("--runs takes a whole number from 1 to 100");
    o.runs = static_cast<int>(*runs);
  }
  if (auto pressure = options.value("--pressure")) {
    if (*pressure != "network" && *pressure != "source") throw UsageError("--pressure takes network or source");
    o.networkPressure = *pressure == "network";
  }
  return o;
}

ordered_json rounded(double v, int decimals = 4) {
  if (!std::isfinite(v)) return nullptr;
  const double k = std::pow(10.0, decimals);
  return std::round(v * k) / k;
}

ordered_json figuresJson(const CoverageFigures& f) {
  ordered_json j;
  if (f.section >= 0) j["section"] = f.section;
  j["heads"] = f.heads;
  j["flowM3H"] = rounded(f.flowM3H);
  j["appliedM3H"] = rounded(f.appliedM3H);
  j["thrownOutsideM3H"] = rounded(f.thrownOutsideM3H);
  j["wateredAreaM2"] = rounded(f.wateredAreaM2, 3);
  j["meanMmH"] = rounded(f.meanMmH, 3);
  j["minMmH"] = rounded(f.minMmH, 3);
  j["maxMmH"] = rounded(f.maxMmH, 3);
  j["cu"] = rounded(f.cu, 2);
  j["duLq"] = rounded(f.duLq, 2);
  j["runTimeMin"] = rounded(f.runTimeMin, 2);
  return j;
}

}  // namespace

int runCoverageCommand(int argc, char** argv) {
  std::vector<std::string> valued = kCommonOptions;
  valued.insert(valued.end(), {"--cell", "--section", "--depth", "--runs", "--pressure"});
  Options options(argc, argv, 2, valued);
  options.allowOnly(valued);
  applyCommonOptions(options);
  if (options.positional().size() != 1) throw UsageError("coverage needs PROJECT");
  CoverageOptions analysis = coverageOptions(options);
  const int only = analysis.mapSection;
  analysis.mapSection = -1;
  startOrFail(options);
  openOrFail(options.positional()[0]);
  const CoverageResult r = analyseCoverage(*application().document, analysis);
  shutDown();
  if (!r.ok) throw CommandError(r.error);
  ordered_json out;
  out["cellM"] = r.cellM;
  out["depthMm"] = analysis.depthMm;
  out["runs"] = analysis.runs;
  ordered_json system = figuresJson(r.system);
  system["targetAreaM2"] = rounded(r.targetAreaM2, 3);
  system["dryAreaM2"] = rounded(r.dryAreaM2, 3);
  out["system"] = system;
  ordered_json sections = ordered_json::array();
  for (const CoverageFigures& f : r.sections)
    if (only < 0 || f.section == only) sections.push_back(figuresJson(f));
  out["sections"] = sections;
  std::cout << out.dump(1) << '\n';
  return std::cout ? 0 : 1;
}

int runReportCommand(int argc, char** argv) {
  std::vector<std::string> valued = kCommonOptions;
  valued.insert(valued.end(), {"-o", "--vat", "--multiplier", "--format"});
  Options options(argc, argv, 2, valued);
  options.allowOnly(valued);
  applyCommonOptions(options);
  const auto& words = options.positional();
  if (words.size() != 2) throw UsageError("report needs summary|sections|info and PROJECT");
  const std::string formatName = options.value("--format").value_or("html");
  reports::ExportFormat format;
  if (formatName == "html")
    format = reports::ExportFormat::Html;
  else if (formatName == "csv")
    format = reports::ExportFormat::Csv;
  else if (formatName == "pdf")
    format = reports::ExportFormat::Pdf;
  else
    throw UsageError("--format takes html, csv or pdf");
  reports::ReportKind kind;
  if (words[0] == "summary")
    kind = reports::ReportKind::Summary;
  else if (words[0] == "sections")
    kind = reports::ReportKind::Sections;
  else if (words[0] == "info")
    kind = reports::ReportKind::Info;
  else
    throw UsageError("unknown report \"" + words[0] + "\"");
  if (format == reports::ExportFormat::Csv && kind == reports::ReportKind::Info)
    throw UsageError("--format csv is for the estimates (summary, sections)");
  const auto out = options.value("-o");
  if (!out) throw UsageError("report needs -o OUT");
  const auto vat = options.number("--vat");
  const auto multiplier = options.number("--multiplier");
  // A PDF is laid out with the fonts of a (headless) GUI session.
  std::unique_ptr<QGuiApplication> gui;
  int qargc = 1;
  char name[] = "verdimo-cli";
  char* qargv[] = {name, nullptr};
  if (format == reports::ExportFormat::Pdf) {
    platform::prepareHeadlessGui();
    gui = std::make_unique<QGuiApplication>(qargc, qargv);
  }
  startOrFail(options);
  // The values given here hold for this report only; the configuration keeps its own.
  if (vat) reports::setVatPercent(static_cast<float>(*vat), false);
  if (multiplier) reports::setPriceMultiplier(static_cast<float>(*multiplier), false);
  openOrFail(words[1]);
  const bool written = reports::exportReport(kind, format, *application().document, *out);
  shutDown();
  if (!written) throw CommandError("the report was not written");
  return 0;
}

int runPrintCommand(int argc, char** argv) {
  std::vector<std::string> valued = kCommonOptions;
  valued.insert(valued.end(), {"-o", "--scale", "--dpi", "--background"});
  Options options(argc, argv, 2, valued);
  options.allowOnly(valued);
  applyCommonOptions(options);
  if (options.positional().size() != 1) throw UsageError("print needs PROJECT");
  // The project's own "Drukuj podkład" unless the command says otherwise.
  const auto background = options.value("--background");
  if (background && *background != "on" && *background != "off") throw UsageError("--background takes on or off");
  const auto out = options.value("-o");
  if (!out) throw UsageError("print needs -o OUT.pdf");
  const double scale = options.number("--scale").value_or(0);
  if (scale != 0 && !(scale >= 1 && scale <= PrintLayout::kMaxPrintScale))
    throw UsageError("--scale takes the N of 1:N, from 1 to " + std::to_string(PrintLayout::kMaxPrintScale));
  const double dpi = options.number("--dpi").value_or(600);
  if (!(dpi >= kMinSheetDpi && dpi <= kMaxSheetDpi))
    throw UsageError("--dpi takes a resolution from " + std::to_string(kMinSheetDpi) + " to " +
                     std::to_string(kMaxSheetDpi));

  platform::prepareHeadlessGui();
  int qargc = 1;
  char name[] = "verdimo-cli";
  char* qargv[] = {name, nullptr};
  QGuiApplication gui(qargc, qargv);
  startOrFail(options);
  openOrFail(options.positional()[0]);
  if (background) printLayout().printBackground = *background == "on";
  const int result = printOpenProjectToPdf(*out, static_cast<int>(scale), static_cast<int>(dpi));
  shutDown();
  if (result != 0) throw CommandError("the sheet could not be printed to " + *out);
  return 0;
}

int runRenderCommand(int argc, char** argv) {
  std::vector<std::string> valued = kCommonOptions;
  valued.insert(valued.end(), {"-o", "--zoom", "--size", "--section", "--cell", "--pressure"});
  Options options(argc, argv, 2, valued);
  std::vector<std::string> known = valued;
  known.push_back("--coverage");
  known.push_back("--network");
  options.allowOnly(known);
  applyCommonOptions(options);
  if (options.positional().size() != 1) throw UsageError("render needs PROJECT");
  const bool coverage = options.value("--coverage").has_value();
  if (!coverage && (options.value("--section") || options.value("--cell") || options.value("--pressure")))
    throw UsageError("--section, --cell and --pressure go with --coverage");
  const CoverageOptions analysis = coverageOptions(options);
  const auto out = options.value("-o");
  if (!out) throw UsageError("render needs -o OUT.png");
  const double zoom = options.number("--zoom").value_or(1.0);
  if (!(zoom >= 0.1 && zoom <= 15)) throw UsageError("--zoom takes a factor from 0.1 to 15");
  int width = 1400, height = 1000;
  if (auto size = options.value("--size")) {
    const auto x = size->find('x');
    if (x == std::string::npos) throw UsageError("--size takes WIDTHxHEIGHT");
    auto w = std::from_chars(size->data(), size->data() + x, width);
    auto h = std::from_chars(size->data() + x + 1, size->data() + size->size(), height);
    if (w.ec != std::errc() || h.ec != std::errc() || width < 16 || height < 16 || width > 20000 || height > 20000)
      throw UsageError("--size takes WIDTHxHEIGHT, each from 16 to 20000");
  }

  platform::prepareHeadlessGui();
  int qargc = 1;
  char name[] = "verdimo-cli";
  char* qargv[] = {name, nullptr};
  QGuiApplication gui(qargc, qargv);

  startOrFail(options);
  openOrFail(options.positional()[0]);
  CGraphicPlane& doc = *application().document;
  doc.setZoom(static_cast<float>(zoom));
  QImage image(width, height, QImage::Format_RGB32);
  PlanViewState view;
  view.client = {width, height};
  const std::shared_ptr<const platform::Image> background = application().background;
  view.background = background.get();
  CoverageOverlay overlay;
  if (coverage) {
    const CoverageResult r = analyseCoverage(doc, analysis);
    if (!r.ok) throw CommandError(r.error);
    overlay = makeCoverageOverlay(r, analysis.mapSection < 0 ? std::string("Opad: wszystkie sekcje")
                                                               : "Opad: sekcja " + std::to_string(analysis.mapSection + 1));
    view.coverage = &overlay;
  }
  NetworkOverlay pressures;
  if (options.value("--network").has_value()) {
    network::Options no;
    no.sectionCount = sectionList().count();
    const network::Result r = network::analyse(doc, application().sets.get(), no);
    if (!r.ok) throw CommandError(utf8(r.error));
    pressures = makeNetworkOverlay(r, doc);
    view.network = &pressures;
  }
  {
    QPainter painter(&image);
    platform::QPainterCanvas canvas(painter);
    paintPlan(doc, canvas, view);
  }
  shutDown();
  if (!image.save(QString::fromStdString(*out), "PNG")) throw CommandError("cannot write " + *out);
  return 0;
}

namespace {

// The network's options of the command line.
network::Options networkOptions(const Options& options) {
  network::Options o;
  if (auto section = options.number("--section")) {
    if (!(*section >= 0 && *section < 100000) || *section != std::floor(*section))
      throw UsageError("--section takes a section number from 0");
    o.section = static_cast<int>(*section);
  }
  if (auto d = options.number("--default-diameter")) {
    if (!(*d >= 2 && *d <= 1000)) throw UsageError("--default-diameter takes millimetres from 2 to 1000");
    o.defaultDiameterMm = *d;
  }
  return o;
}

// An object as `project dump` numbers it: among the objects not deleted.
class LiveIndex {
 public:
  explicit LiveIndex(const CGraphicPlane& doc) {
    int n = 0;
    for (const auto& o : doc.objects()) index_.push_back(o->deleted ? -1 : n++);
  }
  ordered_json operator()(int object) const {
    if (object < 0 || object >= static_cast<int>(index_.size()) || index_[object] < 0) return nullptr;
    return index_[object];
  }

 private:
  std::vector<int> index_;
};

ordered_json warningsJson(const std::vector<network::Warning>& warnings, const LiveIndex& live) {
  ordered_json out = ordered_json::array();
  for (const network::Warning& w : warnings)
    out.push_back({{"kind", w.kind}, {"object", live(w.object)}, {"text", utf8(w.text)}});
  return out;
}

ordered_json networkJson(const network::Result& r, const CGraphicPlane& doc) {
  const LiveIndex live(doc);
  ordered_json out;
  ordered_json sections = ordered_json::array();
  for (const network::SectionResult& s : r.sections) {
    ordered_json j;
    j["section"] = s.section;
    j["solved"] = s.solved;
    j["iterations"] = s.iterations;
    j["sourcePressureAtm"] = rounded(s.sourcePressureAtm);
    j["requiredSourcePressureAtm"] = s.solved ? rounded(s.requiredSourcePressureAtm) : nullptr;
    j["minHeadPressureAtm"] = s.solved && !s.heads.empty() ? rounded(s.minHeadPressureAtm) : nullptr;
    j["maxHeadPressureAtm"] = s.solved && !s.heads.empty() ? rounded(s.maxHeadPressureAtm) : nullptr;
    j["pressureSpreadPct"] = s.solved && !s.heads.empty() ? rounded(s.pressureSpreadPct, 2) : nullptr;
    j["flowM3H"] = rounded(s.flowM3H);
    ordered_json heads = ordered_json::array();
    for (const network::HeadResult& h : s.heads) {
      ordered_json hj = {{"object", live(h.object)}, {"pressureAtm", rounded(h.pressureAtm)}, {"flowM3H", rounded(h.flowM3H, 5)}};
      if (h.belowTable) hj["lowestTablePressureAtm"] = rounded(h.lowestTablePressureAtm);
      heads.push_back(hj);
    }
    j["heads"] = heads;
    ordered_json pipes = ordered_json::array();
    for (const network::PipeResult& p : s.pipes) {
      ordered_json pj = {{"object", live(p.object)},
                         {"segment", p.segment},
                         {"lengthM", rounded(p.lengthM)},
                         {"innerDiameterMm", rounded(p.innerDiameterMm, 2)},
                         {"flowM3H", rounded(p.flowM3H, 5)},
                         {"velocityMS", rounded(p.velocityMS)},
                         {"lossAtm", rounded(p.lossAtm, 5)}};
      if (p.assumedDiameter) pj["assumedDiameter"] = true;
      pipes.push_back(pj);
    }
    j["pipes"] = pipes;
    // Every junction and head point, in metres on the plan.
    const double metresPerUnit = doc.scaleDenominator / (100.0 * doc.pixelsPerCm);
    ordered_json nodes = ordered_json::array();
    for (const network::NodeResult& n : s.nodes)
      nodes.push_back({{"xM", rounded(n.at.x * metresPerUnit, 3)},
                       {"yM", rounded(n.at.y * metresPerUnit, 3)},
                       {"pressureAtm", rounded(n.pressureAtm)}});
    j["nodes"] = nodes;
    j["warnings"] = warningsJson(s.warnings, live);
    sections.push_back(j);
  }
  out["sections"] = sections;
  ordered_json unconnected = ordered_json::array();
  for (int o : r.unconnected) unconnected.push_back({{"object", live(o)}});
  out["unconnected"] = unconnected;
  out["warnings"] = warningsJson(r.warnings, live);
  return out;
}

}  // namespace

int runNetworkCommand(int argc, char** argv) {
  std::vector<std::string> valued = kCommonOptions;
  valued.insert(valued.end(), {"--section", "--default-diameter"});
  Options options(argc, argv, 2, valued);
  options.allowOnly(valued);
  applyCommonOptions(options);
  if (options.positional().size() != 1) throw UsageError("network needs PROJECT");
  network::Options analysis = networkOptions(options);
  startOrFail(options);
  openOrFail(options.positional()[0]);
  const CGraphicPlane& doc = *application().document;
  analysis.sectionCount = sectionList().count();
  if (analysis.section >= 0 && analysis.section >= analysis.sectionCount) {
    shutDown();
    throw CommandError("the project has no section " + std::to_string(analysis.section) + " (sections count from 0)");
  }
  const network::Result r = network::analyse(doc, application().sets.get(), analysis);
  if (!r.ok) {
    const std::string error = utf8(r.error);
    shutDown();
    throw CommandError(error);
  }
  const ordered_json out = networkJson(r, doc);
  shutDown();
  std::cout << out.dump(1) << '\n';
  return std::cout ? 0 : 1;
}

namespace {

// Writes the open project to `target`, ends the program's run and prints
// `out`: what the commands that change a project end with.
int saveAndPrint(const std::string& target, const ordered_json& out) {
  const ProjectResult saved = saveOpenProject(target);
  shutDown();
  if (!saved.ok) throw CommandError(utf8(saved.caption) + ": " + utf8(saved.message));
  std::cout << out.dump(1) << '\n';
  return std::cout ? 0 : 1;
}

}  // namespace

int runSizePipesCommand(int argc, char** argv) {
  std::vector<std::string> valued = kCommonOptions;
  valued.insert(valued.end(), {"-o", "--section", "--default-diameter"});
  Options options(argc, argv, 2, valued);
  options.allowOnly(valued);
  applyCommonOptions(options);
  if (options.positional().size() != 1) throw UsageError("size-pipes needs PROJECT");
  const auto target = options.value("-o");
  if (!target) throw UsageError("size-pipes needs -o OUT.prj");
  const network::Options analysis = networkOptions(options);
  startOrFail(options);
  openOrFail(options.positional()[0]);
  CGraphicPlane& doc = *application().document;
  network::SizingOptions sizing;
  sizing.section = analysis.section;
  sizing.defaultDiameterMm = analysis.defaultDiameterMm;
  sizing.sectionCount = sectionList().count();
  if (sizing.section >= sizing.sectionCount) {
    shutDown();
    throw CommandError("the project has no section " + std::to_string(sizing.section) + " (sections count from 0)");
  }
  const network::SizingResult r = network::sizePipes(doc, application().sets.get(), application().catalogue.head, sizing);
  if (!r.ok) {
    const std::string error = utf8(r.error);
    shutDown();
    throw CommandError(error);
  }
  // The choices name the objects as they stand before the plan changes.
  const LiveIndex live(doc);
  ordered_json out;
  out["costBefore"] = rounded(r.costBefore, 2);
  out["costAfter"] = rounded(r.costAfter, 2);
  out["unmet"] = warningsJson(r.unmet, live);
  out["changedPipes"] = network::applySizing(doc, r);
  return saveAndPrint(*target, out);
}

int runZoneCommand(int argc, char** argv) {
  std::vector<std::string> valued = kCommonOptions;
  valued.insert(valued.end(), {"-o", "--capacity-share"});
  Options options(argc, argv, 2, valued);
  options.allowOnly(valued);
  applyCommonOptions(options);
  if (options.positional().size() != 1) throw UsageError("zone needs PROJECT");
  const auto target = options.value("-o");
  if (!target) throw UsageError("zone needs -o OUT.prj");
  zoning::Options zone;
  if (auto share = options.number("--capacity-share")) {
    if (!(*share >= 0.05 && *share <= 1)) throw UsageError("--capacity-share takes a share of the source from 0.05 to 1");
    zone.capacityShare = *share;
  }
  startOrFail(options);
  openOrFail(options.positional()[0]);
  CGraphicPlane& doc = *application().document;
  const zoning::Result r = zoning::divide(doc, zone);
  if (!r.ok) {
    const std::string error = utf8(r.error);
    shutDown();
    throw CommandError(error);
  }
  zoning::apply(doc, sectionList(), r);
  const ProjectResult saved = saveOpenProject(*target);
  ordered_json out;
  out["capacityM3H"] = rounded(r.capacityM3H);
  ordered_json sections = ordered_json::array();
  for (size_t i = 0; i < r.sections.size(); ++i) {
    const zoning::Section& s = r.sections[i];
    sections.push_back({{"section", static_cast<int>(i)},
                        {"description", utf8(s.description)},
                        {"family", utf8(zoning::familyName(s.family))},
                        {"heads", s.objects.size()},
                        {"flowM3H", rounded(s.flowM3H)}});
  }
  out["sections"] = sections;
  shutDown();
  if (!saved.ok) throw CommandError(utf8(saved.caption) + ": " + utf8(saved.message));
  std::cout << out.dump(1) << '\n';
  return std::cout ? 0 : 1;
}

namespace {

// The catalogue element of number `no`, or null.
CElem* catalogueElement(const std::string& no) {
  for (CElem* e = application().catalogue.head; e; e = e->next)
    if (e->data && !e->deleted &&
        std::string(e->data->catalogueNo, strnlen(e->data->catalogueNo, sizeof e->data->catalogueNo)) == no)
      return e;
  return nullptr;
}

// The head family and the layout's choices, as layout and design take them:
// --body, --nozzle | --nozzle-kind, --pattern, --spacing, --pressure. What is
// wrong with the words is a UsageError; `command` names the command.
struct FamilyWords {
  std::string body;
  std::optional<std::string> nozzle, nozzleKind;
};
FamilyWords readFamilyWords(const Options& options, const std::string& command, layout::Options& lay) {
  FamilyWords w;
  const auto bodyNo = options.value("--body");
  if (!bodyNo) throw UsageError(command + " needs --body CATNO, a rotary or static sprinkler body");
  w.body = *bodyNo;
  w.nozzle = options.value("--nozzle");
  w.nozzleKind = options.value("--nozzle-kind");
  if (w.nozzle && w.nozzleKind) throw UsageError(command + " takes --nozzle CATNO or --nozzle-kind K, not both");
  if (w.nozzleKind && !layout::parseNozzleKind(*w.nozzleKind, lay.nozzleKind))
    throw UsageError("--nozzle-kind takes fixed, adjustable, rotary or strip");
  if (auto p = options.value("--pattern")) {
    if (*p == "square") lay.pattern = layout::Pattern::Square;
    else if (*p == "triangular") lay.pattern = layout::Pattern::Triangular;
    else if (*p == "best") lay.pattern = layout::Pattern::Best;
    else throw UsageError("--pattern takes square, triangular or best");
  }
  if (auto sp = options.number("--spacing")) {
    if (!(*sp >= 0.3 && *sp <= 1.2)) throw UsageError("--spacing takes a share of the throw from 0.3 to 1.2");
    lay.spacingShare = *sp;
  }
  if (auto p = options.number("--pressure")) {
    if (!(*p > 0 && *p <= 20)) throw UsageError("--pressure takes atmospheres above 0");
    lay.pressureAtm = *p;
  }
  return w;
}

// The family's elements from the open catalogue; what does not fit, said.
std::string takeFamily(const FamilyWords& w, layout::Options& lay) {
  lay.body = catalogueElement(w.body);
  lay.catalogue = application().catalogue.head;
  if (w.nozzle) lay.nozzle = catalogueElement(*w.nozzle);
  if (!lay.body) return "the catalogue has no element " + w.body;
  if (lay.body->kind != kKindSprinkler && lay.body->kind != kKindStaticBody) return w.body + " is not a sprinkler body";
  if (lay.body->kind == kKindStaticBody && !w.nozzle && !w.nozzleKind)
    return w.body + " is a static body: name a nozzle (--nozzle CATNO) or a nozzle kind (--nozzle-kind K)";
  if (lay.body->kind == kKindSprinkler && (w.nozzle || w.nozzleKind))
    return w.body + " is a rotary body: it brings its own nozzle rows";
  if (w.nozzle && !lay.nozzle) return "the catalogue has no element " + *w.nozzle;
  if (lay.nozzle && !isStaticNozzleKind(static_cast<int>(lay.nozzle->kind))) return *w.nozzle + " is not a static nozzle";
  return {};
}

}  // namespace

int runLayoutCommand(int argc, char** argv) {
  std::vector<std::string> valued = kCommonOptions;
  valued.insert(valued.end(),
                {"-o", "--area", "--body", "--nozzle", "--nozzle-kind", "--pattern", "--spacing", "--pressure"});
  Options options(argc, argv, 2, valued);
  std::vector<std::string> known = valued;
  known.push_back("--throw-over-hard");
  options.allowOnly(known);
  applyCommonOptions(options);
  if (options.positional().size() != 1) throw UsageError("layout needs PROJECT");
  const auto target = options.value("-o");
  if (!target) throw UsageError("layout needs -o OUT.prj");
  const auto areaIndex = options.number("--area");
  if (!areaIndex || *areaIndex < 0 || *areaIndex != std::floor(*areaIndex) || *areaIndex > 1e7)
    throw UsageError("layout needs --area N, a terrain primitive as project dump numbers them");
  layout::Options lay;
  const FamilyWords family = readFamilyWords(options, "layout", lay);
  lay.throwOverHardSurfaces = options.value("--throw-over-hard").has_value();
  startOrFail(options);
  openOrFail(options.positional()[0]);
  CGraphicPlane& doc = *application().document;
  // The primitive as project dump numbers them: among those not deleted.
  const CPrimitive* area = nullptr;
  int live = 0;
  for (const auto& p : doc.terrain())
    if (!p->deleted && live++ == static_cast<int>(*areaIndex)) area = p.get();
  std::string refusal = takeFamily(family, lay);
  if (!area) refusal = "the project has no terrain primitive " + std::to_string(static_cast<long long>(*areaIndex));
  if (!refusal.empty()) {
    shutDown();
    throw CommandError(refusal);
  }
  // Without a pressure named, the network's where pipes run in the area.
  if (!(lay.pressureAtm > 0)) lay.pressureAtm = layout::networkPressureIn(doc, application().sets.get(), *area);
  if (!(lay.pressureAtm > 0)) lay.pressureAtm = doc.sourcePressure;
  const layout::Result r = layout::layOut(doc, *area, lay);
  if (!r.ok) {
    const std::string error = utf8(r.error);
    shutDown();
    throw CommandError(error);
  }
  layout::place(doc, r, lay);
  const ProjectResult saved = saveOpenProject(*target);
  shutDown();
  if (!saved.ok) throw CommandError(utf8(saved.caption) + ": " + utf8(saved.message));
  ordered_json out;
  out["heads"] = r.heads.size();
  out["flowM3H"] = rounded(r.flowM3H);
  out["cu"] = rounded(r.figures.cu, 2);
  out["duLq"] = rounded(r.figures.duLq, 2);
  out["thrownOutsidePct"] = rounded(r.thrownOutsidePct, 2);
  out["dryPct"] = rounded(r.dryPct, 2);
  out["pattern"] = r.strips ? "strips" : r.pattern == layout::Pattern::Triangular ? "triangular" : "square";
  out["spacingM"] = rounded(r.spacingM, 3);
  out["pressureAtm"] = rounded(lay.pressureAtm, 3);
  out["targetReached"] = layout::reachesTarget(r);
  std::cout << out.dump(1) << '\n';
  return std::cout ? 0 : 1;
}

namespace {

// What a piped plan comes to: each section's heads, flow and pressures as
// the network gives them, the pipes' lengths by type and the estimate.
ordered_json pipedSummary(const CGraphicPlane& doc, const routing::Result& route, const network::SizingResult& sizing) {
  const network::Result r = network::analyse(doc, application().sets.get());
  const LiveIndex live(doc);
  ordered_json out;
  out["mainM"] = rounded(route.mainM, 2);
  out["valves"] = route.valves.size();
  out["boxes"] = route.boxes.size();
  out["unmet"] = ordered_json::array();
  for (const network::Warning& w : sizing.unmet) out["unmet"].push_back(utf8(w.text));
  ordered_json sections = ordered_json::array();
  for (const network::SectionResult& s : r.sections) {
    if (s.heads.empty()) continue;
    sections.push_back({{"section", s.section},
                        {"heads", s.heads.size()},
                        {"flowM3H", rounded(s.flowM3H)},
                        {"minPressureAtm", rounded(s.minHeadPressureAtm, 3)},
                        {"maxPressureAtm", rounded(s.maxHeadPressureAtm, 3)},
                        {"pressureSpreadPct", rounded(s.pressureSpreadPct, 2)},
                        {"warnings", warningsJson(s.warnings, live)}});
  }
  out["sections"] = sections;
  std::map<std::string, double> lengths;
  for (const auto& o : doc.objects()) {
    if (o->deleted || o->GetType() != kTypePipe) continue;
    const auto& p = static_cast<const CWPipe&>(*o);
    const std::string name = p.elem && p.elem->data
                                 ? utf8(std::string(p.elem->data->name, strnlen(p.elem->data->name, sizeof p.elem->data->name)))
                                 : std::string("(bez typu)");
    lengths[name] += reports::polylineMetres(p.LengthU(), doc);
  }
  ordered_json pipes = ordered_json::object();
  for (const auto& [name, metres] : lengths) pipes[name] = rounded(metres, 2);
  out["pipeLengthM"] = pipes;
  out["unconnected"] = ordered_json::array();
  for (int o : r.unconnected) out["unconnected"].push_back(live(o));
  const auto estimate = reports::summaryEstimate(doc, reports::currentReportContext());
  out["netTotal"] = estimate ? rounded(estimate->netTotal, 2) : ordered_json(nullptr);
  return out;
}

}  // namespace

// The pipe types of --pipes CATNO,CATNO,...: each a catalogue pipe; a refusal
// names what is not.
std::string pipesFrom(const std::string& list, std::vector<CElem*>& pipes) {
  for (size_t from = 0; from <= list.size();) {
    const size_t comma = std::min(list.find(',', from), list.size());
    const std::string no = list.substr(from, comma - from);
    from = comma + 1;
    CElem* found = catalogueElement(no);
    if (!found) return "the catalogue has no element " + no;
    if (found->kind != kKindPipe) return no + " is not a pipe";
    pipes.push_back(found);
  }
  return {};
}

int runRouteCommand(int argc, char** argv) {
  std::vector<std::string> valued = kCommonOptions;
  valued.insert(valued.end(), {"-o", "--section", "--valve", "--pipes"});
  Options options(argc, argv, 2, valued);
  options.allowOnly(valued);
  applyCommonOptions(options);
  if (options.positional().size() != 1) throw UsageError("route needs PROJECT");
  const auto target = options.value("-o");
  if (!target) throw UsageError("route needs -o OUT.prj");
  routing::Options route;
  if (auto n = options.number("--section")) {
    if (*n < 0 || *n != std::floor(*n) || *n > 1e6) throw UsageError("--section takes a section number from 0");
    route.section = static_cast<int>(*n);
  }
  const auto valveNo = options.value("--valve");
  startOrFail(options);
  openOrFail(options.positional()[0]);
  CGraphicPlane& doc = *application().document;
  route.catalogue = application().catalogue.head;
  route.sectionCount = sectionList().count();
  if (valveNo) {
    route.valve = catalogueElement(*valveNo);
    std::string refusal;
    if (!route.valve) refusal = "the catalogue has no element " + *valveNo;
    else if (route.valve->kind != kKindValve) refusal = *valveNo + " is not a valve";
    if (!refusal.empty()) {
      shutDown();
      throw CommandError(refusal);
    }
  }
  if (auto list = options.value("--pipes")) {
    const std::string refusal = pipesFrom(*list, route.allowedPipes);
    if (!refusal.empty()) {
      shutDown();
      throw CommandError(refusal);
    }
  }
  if (route.section >= route.sectionCount) {
    shutDown();
    throw CommandError("the project has no section " + std::to_string(route.section) + " (sections count from 0)");
  }
  const routing::Piped piped = routing::routeAndSize(doc, application().sets.get(), route);
  if (!piped.ok) {
    const std::string error = utf8(piped.error);
    shutDown();
    throw CommandError(error);
  }
  ordered_json out;
  ordered_json routed = ordered_json::array();
  for (const routing::SectionRoute& s : piped.route.sections)
    routed.push_back({{"section", s.section}, {"heads", s.heads}, {"lateralM", rounded(s.lateralM, 2)}, {"newValve", s.newValve}});
  out["routed"] = routed;
  out.update(pipedSummary(doc, piped.route, piped.sizing));
  return saveAndPrint(*target, out);
}

int runDesignCommand(int argc, char** argv) {
  std::vector<std::string> valued = kCommonOptions;
  valued.insert(valued.end(), {"-o", "--areas", "--body", "--nozzle", "--nozzle-kind", "--pattern", "--spacing", "--pressure",
                               "--capacity-share", "--valve", "--pipes"});
  Options options(argc, argv, 2, valued);
  options.allowOnly(valued);
  applyCommonOptions(options);
  if (options.positional().size() != 1) throw UsageError("design needs PROJECT");
  const auto target = options.value("-o");
  if (!target) throw UsageError("design needs -o OUT.prj");
  const auto areasText = options.value("--areas");
  if (!areasText || areasText->empty()) throw UsageError("design needs --areas N,M,..., terrain primitives as project dump numbers them");
  std::vector<int> areaIndices;
  for (size_t from = 0; from <= areasText->size();) {
    const size_t comma = std::min(areasText->find(',', from), areasText->size());
    const std::string word = areasText->substr(from, comma - from);
    int v = -1;
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), v);
    if (ec != std::errc() || end != word.data() + word.size() || v < 0 || v > 10000000)
      throw UsageError("--areas takes terrain primitive numbers separated by commas");
    areaIndices.push_back(v);
    from = comma + 1;
  }
  design::Options d;
  const FamilyWords family = readFamilyWords(options, "design", d.layout);
  if (auto f = options.number("--capacity-share")) {
    if (!(*f >= 0.05 && *f <= 1)) throw UsageError("--capacity-share takes a share from 0.05 to 1");
    d.capacityShare = *f;
  }
  const auto valveNo = options.value("--valve");
  startOrFail(options);
  openOrFail(options.positional()[0]);
  CGraphicPlane& doc = *application().document;
  std::vector<const CPrimitive*> live;
  for (const auto& p : doc.terrain())
    if (!p->deleted) live.push_back(p.get());
  std::string refusal = takeFamily(family, d.layout);
  for (int i : areaIndices) {
    if (i >= static_cast<int>(live.size())) refusal = "the project has no terrain primitive " + std::to_string(i);
    else d.areas.push_back(live[i]);
  }
  d.routing.catalogue = application().catalogue.head;
  if (valveNo) d.routing.valve = catalogueElement(*valveNo);
  if (!refusal.empty()) {
  } else if (valveNo && !d.routing.valve) {
    refusal = "the catalogue has no element " + *valveNo;
  } else if (d.routing.valve && d.routing.valve->kind != kKindValve) {
    refusal = *valveNo + " is not a valve";
  } else if (auto list = options.value("--pipes")) {
    refusal = pipesFrom(*list, d.routing.allowedPipes);
  }
  if (!refusal.empty()) {
    shutDown();
    throw CommandError(refusal);
  }
  const design::Result r = design::plan(doc, sectionList(), application().sets.get(), d);
  if (!r.ok) {
    const std::string error =
        (r.errorArea >= 0 ? "terrain primitive " + std::to_string(areaIndices[r.errorArea]) + ": " : std::string()) +
        utf8(r.error);
    shutDown();
    throw CommandError(error);
  }
  design::apply(doc, sectionList(), r, d);
  ordered_json out;
  out["heads"] = r.heads;
  // Each area's layout as the layout analysed it, and each section's water.
  ordered_json areas = ordered_json::array();
  for (size_t k = 0; k < r.layouts.size(); ++k) {
    const layout::Result& l = r.layouts[k];
    areas.push_back({{"area", areaIndices[k]},
                     {"heads", l.heads.size()},
                     {"cu", rounded(l.figures.cu, 2)},
                     {"duLq", rounded(l.figures.duLq, 2)},
                     {"thrownOutsidePct", rounded(l.thrownOutsidePct, 2)},
                     {"targetReached", layout::reachesTarget(l)}});
  }
  out["areas"] = areas;
  ordered_json coverage = ordered_json::array();
  for (const CoverageFigures& f : r.sections)
    coverage.push_back({{"section", f.section}, {"heads", f.heads}, {"cu", rounded(f.cu, 2)}, {"duLq", rounded(f.duLq, 2)}});
  out["coverage"] = coverage;
  out.update(pipedSummary(doc, r.route, r.sizing));
  return saveAndPrint(*target, out);
}

int runEtoCommand(int argc, char** argv) {
  std::vector<std::string> valued = kCommonOptions;
  valued.insert(valued.end(), {"--lat", "--lon", "--lz", "--alt", "--tmax", "--tmin", "--t", "--rh", "--rh-max", "--rh-min",
                               "--ea", "--wind", "--wind-height", "--sunshine", "--rs", "--day", "--month", "--hour",
                               "--tmean-prev", "--tmean-next"});
  Options options(argc, argv, 2, valued);
  options.allowOnly(valued);
  if (!options.positional().empty()) throw UsageError("eto takes options only");
  auto need = [&](const char* name) {
    const auto v = options.number(name);
    if (!v) throw UsageError(std::string("eto needs ") + name);
    return *v;
  };
  auto whole = [&](const char* name) {
    const double v = need(name);
    if (v != std::floor(v) || std::abs(v) > 1e6) throw UsageError(std::string(name) + " takes a whole number");
    return static_cast<int>(v);
  };
  eto::Figures f;
  if (options.value("--hour")) {
    eto::HourlyWeather w;
    w.latitudeDeg = need("--lat");
    w.longitudeWestDeg = need("--lon");
    w.zoneCentreWestDeg = need("--lz");
    w.altitudeM = need("--alt");
    w.tC = need("--t");
    w.rhPct = need("--rh");
    w.windMS = need("--wind");
    if (auto h = options.number("--wind-height")) w.windHeightM = *h;
    w.rsMJ = need("--rs");
    w.dayOfYear = whole("--day");
    w.hour = need("--hour");
    f = eto::penmanMonteithHourly(w);
  } else {
    eto::Weather w;
    w.latitudeDeg = need("--lat");
    w.altitudeM = need("--alt");
    w.tMaxC = need("--tmax");
    w.tMinC = need("--tmin");
    if (auto ea = options.number("--ea")) {
      w.eaKPa = *ea;
    } else {
      w.rhMaxPct = need("--rh-max");
      w.rhMinPct = need("--rh-min");
    }
    w.windMS = need("--wind");
    if (auto h = options.number("--wind-height")) w.windHeightM = *h;
    if (auto rs = options.number("--rs")) w.rsMJ = *rs;
    else w.sunshineH = need("--sunshine");
    if (options.value("--month")) {
      w.month = whole("--month");
      w.tMeanPrevC = options.number("--tmean-prev");
      w.tMeanNextC = options.number("--tmean-next");
    } else {
      w.dayOfYear = whole("--day");
    }
    f = eto::penmanMonteith(w);
  }
  if (!f.ok) throw UsageError(f.error);
  ordered_json out;
  out["eto"] = rounded(f.eto, 3);
  for (const auto& [name, v] : std::initializer_list<std::pair<const char*, double>>{
           {"delta", f.delta}, {"gamma", f.gamma}, {"es", f.es}, {"ea", f.ea}, {"ra", f.ra}, {"rso", f.rso},
           {"rs", f.rs}, {"rns", f.rns}, {"rnl", f.rnl}, {"rn", f.rn}, {"g", f.g}, {"u2", f.u2}, {"pressure", f.pressure}})
    out[name] = rounded(v, 4);
  std::cout << out.dump(1) << '\n';
  return std::cout ? 0 : 1;
}

}  // namespace cli
