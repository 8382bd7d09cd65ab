#include "tools/cli/catalogue_commands.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>

#include <nlohmann/json.hpp>

#include "partix.h"
#include "platform/folders.h"
#include "platform/numtext.h"
#include "platform/textcodec.h"
#include "tools/cli/cli_options.h"

using nlohmann::ordered_json;

namespace cli {
namespace {

// A float as the shortest decimal that reads back as the same float.
ordered_json num(float f) {
  if (!std::isfinite(f)) return nullptr;
  std::string text = platform::formatShortest(f);
  double d = 0;
  std::from_chars(text.data(), text.data() + text.size(), d);
  return d;
}

template <size_t n>
std::string text(const char (&field)[n]) {
  return platform::cp1250ToUtf8(std::string_view(field, strnlen(field, n)));
}
std::string text(const std::string& s) { return platform::cp1250ToUtf8(s); }

ordered_json points(const WorkPoint* work, int n) {
  ordered_json a = ordered_json::array();
  for (int i = 0; i < n; ++i) a.push_back(ordered_json::array({num(work[i].P), num(work[i].Q), num(work[i].R)}));
  return a;
}

ordered_json arcRow4(const ArcRow4& row) { return {{"angle", num(row.angle)}, {"work", points(row.work, 4)}}; }

ordered_json strips(const CPrDane* s) {
  ordered_json a = ordered_json::array();
  for (int i = 0; i < 4; ++i)
    a.push_back({{"size", text(s[i].size)}, {"pressure", num(s[i].pressure)}, {"flow", num(s[i].flow)}});
  return a;
}

ordered_json namedRows(int count, const NamedRow4* rows) {
  ordered_json a = ordered_json::array();
  for (int i = 0; i < count && i < 20; ++i) a.push_back({{"rowName", text(rows[i].rowName)}, {"work", points(rows[i].work, 4)}});
  return a;
}

ordered_json kindData(uint32_t kind, const CData* data) {
  ordered_json j = ordered_json::object();
  switch (kind) {
    case kKindSprinkler: {
      auto& r = *static_cast<const CDBSprinkler*>(data);
      j["connection"] = text(r.connection);
      j["nozzleCount"] = r.nozzleCount;
      ordered_json rows = ordered_json::array();
      for (int i = 0; i < r.nozzleCount && i < 100; ++i)
        rows.push_back({{"nozzleName", text(r.nozzles[i].nozzleName)}, {"work", points(r.nozzles[i].work, 4)}});
      j["nozzles"] = rows;
      j["fullCircle"] = r.fullCircle;
      break;
    }
    case kKindController: {
      auto& r = *static_cast<const CKontr*>(data);
      j["mainValveOut"] = r.mainValveOut;
      j["byWeekDays"] = r.byWeekDays;
      j["cyclic"] = r.cyclic;
      j["sensorInput"] = r.sensorInput;
      j["remote"] = r.remote;
      j["waterproof"] = r.waterproof;
      j["power"] = text(r.power);
      j["stations"] = text(r.stations);
      j["programs"] = text(r.programs);
      j["startsPerProgram"] = text(r.startsPerProgram);
      j["valveProgramming"] = text(r.valveProgramming);
      j["cyclePause"] = text(r.cyclePause);
      j["valveRunTime"] = text(r.valveRunTime);
      break;
    }
    case kKindValve: {
      auto& r = *static_cast<const CZawor*>(data);
      j["pressureMin"] = num(r.pressureMin);
      j["pressureMax"] = num(r.pressureMax);
      j["flowMax"] = num(r.flowMax);
      j["inrushCurrent"] = num(r.inrushCurrent);
      j["holdingCurrent"] = num(r.holdingCurrent);
      j["voltage"] = text(r.voltage);
      break;
    }
    case kKindPipe: {
      auto& r = *static_cast<const CRura*>(data);
      j["pipeValue"] = r.pipeValue;
      j["innerDiameter"] = num(r.innerDiameter);
      j["pipeSpare"] = text(r.pipeSpare);
      break;
    }
    case kKindFitting:
      j["fittingSpare"] = text(static_cast<const CZlacz*>(data)->fittingSpare);
      break;
    case kKindStaticBody: {
      auto& r = *static_cast<const CZrStat*>(data);
      j["connection"] = text(r.connection);
      j["popUpHeight"] = num(r.popUpHeight);
      break;
    }
    case kKindVanNozzle: {
      auto& r = *static_cast<const CDyszaVan*>(data);
      j["rowCount"] = r.rowCount;
      ordered_json rows = ordered_json::array();
      for (int i = 0; i < r.rowCount && i < 20; ++i) rows.push_back(arcRow4(r.rows[i]));
      j["rows"] = rows;
      break;
    }
    case kKindStripNozzle: {
      auto& r = *static_cast<const CDyszaPr*>(data);
      j["prSpare"] = r.prSpare;
      j["strips"] = strips(r.strips);
      j["position"] = r.position;
      break;
    }
    case kKindDripLine: {
      auto& r = *static_cast<const CLinKrop*>(data);
      j["outerDiameter"] = num(r.outerDiameter);
      j["wallThickness"] = num(r.wallThickness);
      j["rollLength"] = num(r.rollLength);
      j["dripperFlow"] = num(r.dripperFlow);
      j["dripperSpacing"] = num(r.dripperSpacing);
      j["maxRunLength"] = num(r.maxRunLength);
      j["colour"] = text(r.colour);
      j["dripperType"] = text(r.dripperType);
      j["recommendedPressure"] = text(r.recommendedPressure);
      break;
    }
    case kKindRegulator: {
      auto& r = *static_cast<const CReg*>(data);
      j["regSpare"] = r.regSpare;
      j["connectionDiameter"] = text(r.connectionDiameter);
      j["flowRange"] = text(r.flowRange);
      j["outletPressureRange"] = text(r.outletPressureRange);
      break;
    }
    case kKindFilter: {
      auto& r = *static_cast<const CFiltr*>(data);
      j["filterSpare"] = r.filterSpare;
      j["connectionDiameter"] = text(r.connectionDiameter);
      j["flowMax"] = num(r.flowMax);
      j["mesh"] = num(r.mesh);
      break;
    }
    case kKindValveBox: {
      auto& r = *static_cast<const CStud*>(data);
      j["height"] = num(r.height);
      j["widthTop"] = num(r.widthTop);
      j["widthBottom"] = num(r.widthBottom);
      j["lengthTop"] = num(r.lengthTop);
      j["lengthBottom"] = num(r.lengthBottom);
      j["isRound"] = r.isRound;
      j["diameterTop"] = num(r.diameterTop);
      j["diameterBottom"] = num(r.diameterBottom);
      break;
    }
    case kKindHadarInsert: {
      auto& r = *static_cast<const CWkladka*>(data);
      j["rowCount"] = r.rowCount;
      j["rows"] = namedRows(r.rowCount, r.rows);
      break;
    }
    case kKindHadarNozzle: {
      auto& r = *static_cast<const CMkDysza*>(data);
      j["rowCount"] = r.rowCount;
      j["rows"] = namedRows(r.rowCount, r.rows);
      break;
    }
    case kKindRainSensor: {
      auto& r = *static_cast<const CRainSensor*>(data);
      j["smoothSetting"] = text(r.smoothSetting);
      j["stepSetting"] = text(r.stepSetting);
      j["forBattery"] = r.forBattery;
      j["forMains"] = r.forMains;
      break;
    }
    case kKindHadarBase: {
      auto& r = *static_cast<const CMicroSprinklerHADAR*>(data);
      j["connection"] = text(r.connection);
      j["componentCount"] = r.componentCount;
      ordered_json rows = ordered_json::array();
      for (int i = 0; i < r.componentCount && i < 10; ++i) {
        const HadarComponent& c = r.components[i];
        rows.push_back({{"componentName", text(c.componentName)},
                        {"componentCatNo", text(c.componentCatNo)},
                        {"componentPrice", num(c.componentPrice)},
                        {"componentPriceMul", num(c.componentPriceMul)},
                        {"componentFinalPrice", num(c.componentFinalPrice)}});
      }
      j["components"] = rows;
      break;
    }
    case kKindMpNozzle: {
      auto& r = *static_cast<const CDyszaMP*>(data);
      j["rowCount"] = r.rowCount;
      ordered_json rows = ordered_json::array();
      for (int i = 0; i < r.rowCount && i < 10; ++i)
        rows.push_back({{"angle", num(r.rows[i].angle)}, {"work", points(r.rows[i].work, 7)}});
      j["rows"] = rows;
      break;
    }
    case kKindVanNozzleFixed: {
      auto& r = *static_cast<const CNozzleVanNonReg*>(data);
      j["rowCount"] = r.rowCount;
      j["rows"] = ordered_json::array({arcRow4(r.row)});
      break;
    }
    case kKindMpNozzleFixed: {
      auto& r = *static_cast<const CNozzleMPNonReg*>(data);
      j["rowCount"] = r.rowCount;
      j["rows"] = ordered_json::array({arcRow4(r.row)});
      break;
    }
    case kKindRectRotaryNozzle: {
      auto& r = *static_cast<const CNozzleRectNonReg*>(data);
      j["position"] = r.position;
      j["strips"] = strips(r.strips);
      break;
    }
    case kKindRws: {
      auto& r = *static_cast<const CRWSSprinkler*>(data);
      j["connection"] = text(r.connection);
      j["heightCm"] = text(r.heightCm);
      j["diameterCm"] = text(r.diameterCm);
      j["work"] = points(r.work, 4);
      break;
    }
    case kKindSoilSensor: {
      auto& r = *static_cast<const CSoilSensor*>(data);
      j["forBattery"] = r.forBattery;
      j["forMains"] = r.forMains;
      break;
    }
    case kKindMicroSprinkler: {
      auto& r = *static_cast<const CMicroSprinkler*>(data);
      j["angle"] = num(r.angle);
      j["work"] = points(r.work, 5);
      break;
    }
    default:  // 5 and 18 carry nothing beyond the common record
      break;
  }
  return j;
}

ordered_json elementJson(const CElem& e) {
  ordered_json j;
  j["kind"] = e.kind;
  j["archived"] = e.archived;
  j["deleted"] = e.deleted;
  j["spare"] = e.spare;
  if (!e.data) {
    j["data"] = nullptr;
    return j;
  }
  const CData& d = *e.data;
  j["name"] = text(d.name);
  j["manufacturer"] = text(d.manufacturer);
  j["catalogueNo"] = text(d.catalogueNo);
  j["picture"] = text(d.picture);
  j["price"] = num(d.price);
  j["priceMul"] = num(d.priceMul);
  j["finalPrice"] = num(d.finalPrice);
  j["data"] = kindData(e.kind, e.data);
  return j;
}

// Owns a loaded catalogue; releases it as the program does at exit.
struct LoadedCatalogue {
  CPartix root;
  std::string folder;
  std::string fileName;
  ~LoadedCatalogue() {
    if (root.count != 0 && root.head) root.head->FreeAll();
  }
};

// Loads the catalogue as the program does at start-up: from its folder, then
// the user's price list, then the multiplier.
void loadCatalogue(const Options& options, LoadedCatalogue& cat, float multiplier) {
  namespace fs = std::filesystem;
  fs::path file = options.value("--catalogue")
                      ? fs::path(*options.value("--catalogue"))
                      : fs::path(platform::programDir()) / "DataBase" / "MainPartix.dbc";
  if (std::ifstream probe(file, std::ios::binary); !probe)
    throw CommandError("cannot open the catalogue file " + file.string());
  cat.folder = fs::absolute(file).parent_path().string();
  cat.fileName = fs::absolute(file).string();
  cat.root.fileName = cat.fileName.c_str();
  cat.root.LoadDB();
  UpdatePrizeMulFactor(multiplier);
  ImgDir = cat.folder.c_str();
}

int dump(const Options& options) {
  options.allowOnly({"--catalogue", "--user-data", "--multiplier", "--home"});
  float multiplier = static_cast<float>(options.number("--multiplier").value_or(1.0));
  LoadedCatalogue cat;
  loadCatalogue(options, cat, multiplier);
  ordered_json out;
  out["version"] = text(cat.root.version);
  out["author"] = text(cat.root.author);
  out["description"] = text(cat.root.description);
  out["count"] = cat.root.count;
  ordered_json elements = ordered_json::array();
  for (const CElem* e = cat.root.head; e; e = e->next) elements.push_back(elementJson(*e));
  out["elements"] = std::move(elements);
  std::cout << out.dump(1) << '\n';
  return std::cout ? 0 : 1;
}

int summary(const Options& options) {
  options.allowOnly({"--catalogue", "--user-data", "--home"});
  LoadedCatalogue cat;
  loadCatalogue(options, cat, 1.0f);
  std::map<uint32_t, int> perKind;
  int archived = 0;
  for (const CElem* e = cat.root.head; e; e = e->next) {
    ++perKind[e->kind];
    archived += e->archived != 0;
  }
  std::cout << "Katalog " << cat.fileName << "\n"
            << "Wersja bazy: " << text(cat.root.version) << "\n"
            << "Elementów: " << cat.root.count << " (w archiwum: " << archived << ")\n\n";
  for (const PartixKindName& k : kPartixKindTable) {
    char count[16];
    std::snprintf(count, sizeof count, "%5d", perKind[static_cast<uint32_t>(k.code)]);
    std::cout << count << "  " << k.name << "\n";
  }
  return std::cout ? 0 : 1;
}

}  // namespace

int runCatalogueCommand(int argc, char** argv) {
  Options options(argc, argv, 2, {"--catalogue", "--user-data", "--multiplier", "--home"});
  applyCommonOptions(options);
  const auto& words = options.positional();
  if (words.size() != 1) throw UsageError("catalogue needs one of: dump, summary");
  if (words[0] == "dump") return dump(options);
  if (words[0] == "summary") return summary(options);
  throw UsageError("unknown catalogue command \"" + words[0] + "\"");
}

}  // namespace cli
