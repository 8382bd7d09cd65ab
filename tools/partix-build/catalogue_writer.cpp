#include "tools/partix-build/catalogue_writer.h"

#include <cstring>

#include "catalogue/partix_internal.h"
#include "partix.h"
#include "platform/textcodec.h"

using nlohmann::json;

namespace partix_build {
namespace {

// Collects the plain bytes of the file, checking every value against the
// width the format gives it.
class Writer {
 public:
  std::vector<uint8_t> bytes;
  std::string where;  // the element being written, for messages

  void text(const json& parent, const char* key, size_t width) {
    std::string utf8 = parent.contains(key) ? parent.at(key).get<std::string>() : std::string();
    bool lossless = true;
    std::string cp = platform::utf8ToCp1250(utf8, &lossless);
    if (!lossless) fail(std::string(key) + " \"" + utf8 + "\" has characters outside Windows-1250");
    if (cp.size() > width - 1)
      fail(std::string(key) + " \"" + utf8 + "\" is longer than " + std::to_string(width - 1) + " characters");
    size_t at = bytes.size();
    bytes.resize(at + width, 0);
    std::memcpy(bytes.data() + at, cp.data(), cp.size());
  }
  void f32(float v) { raw(&v, 4); }
  void f32(const json& parent, const char* key) { f32(parent.contains(key) ? parent.at(key).get<float>() : 0.0f); }
  void i32(int32_t v) { raw(&v, 4); }
  void i32(const json& parent, const char* key) { i32(parent.contains(key) ? parent.at(key).get<int32_t>() : 0); }
  void u8(uint8_t v) { raw(&v, 1); }

  // `n` working points [P, Q, R]; missing points are zero.
  void points(const json& work, size_t n) {
    if (!work.is_array() || work.size() > n) fail("work needs at most " + std::to_string(n) + " points");
    for (size_t i = 0; i < n; ++i) {
      if (i < work.size()) {
        const json& p = work[i];
        if (!p.is_array() || p.size() != 3) fail("a working point is [P, Q, R]");
        for (int k = 0; k < 3; ++k) f32(p[k].get<float>());
      } else {
        for (int k = 0; k < 3; ++k) f32(0.0f);
      }
    }
  }

  const json& table(const json& data, const char* key, size_t capacity) {
    static const json empty = json::array();
    if (!data.contains(key)) return empty;
    const json& t = data.at(key);
    if (!t.is_array()) fail(std::string(key) + " must be an array");
    if (t.size() > capacity) fail(std::string(key) + " holds at most " + std::to_string(capacity) + " rows");
    return t;
  }

  [[noreturn]] void fail(const std::string& what) const { throw SourceError(where + ": " + what); }

 private:
  void raw(const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    bytes.insert(bytes.end(), b, b + n);
  }
};

void strips(Writer& w, const json& data) {
  const json& s = w.table(data, "strips", 4);
  if (s.size() != 4) w.fail("strips needs 4 rows");
  for (const json& row : s) {
    w.text(row, "size", 15);
    w.f32(row, "pressure");
    w.f32(row, "flow");
  }
}

void oneArcRow(Writer& w, const json& data) {
  const json& rows = w.table(data, "rows", 1);
  if (rows.size() != 1) w.fail("rows needs exactly one row");
  w.u8(1);
  w.f32(rows[0], "angle");
  w.points(rows[0].at("work"), 4);
}

void kindPart(Writer& w, uint32_t kind, const json& d) {
  switch (kind) {
    case kKindSprinkler: {
      w.text(d, "connection", 15);
      const json& rows = w.table(d, "nozzles", 100);
      w.u8(static_cast<uint8_t>(rows.size()));
      for (const json& r : rows) {
        w.text(r, "nozzleName", 8);
        w.points(r.at("work"), 4);
      }
      w.u8(d.value("fullCircle", 0));
      break;
    }
    case kKindController:
      w.text(d, "power", 20);
      w.text(d, "stations", 15);
      w.i32(d, "mainValveOut");
      w.text(d, "programs", 15);
      w.text(d, "startsPerProgram", 15);
      w.text(d, "valveProgramming", 15);
      w.i32(d, "byWeekDays");
      w.i32(d, "cyclic");
      w.text(d, "cyclePause", 15);
      w.text(d, "valveRunTime", 15);
      w.i32(d, "sensorInput");
      w.i32(d, "remote");
      w.i32(d, "waterproof");
      break;
    case kKindValve:
      w.f32(d, "pressureMin");
      w.f32(d, "pressureMax");
      w.f32(d, "flowMax");
      w.text(d, "voltage", 10);
      w.f32(d, "inrushCurrent");
      w.f32(d, "holdingCurrent");
      break;
    case kKindPipe:
      w.i32(d, "pipeValue");
      w.f32(d, "innerDiameter");
      break;
    case kKindFitting:
    case kKindOther:
    case kKindCable:
      break;
    case kKindStaticBody:
      w.text(d, "connection", 15);
      w.f32(d, "popUpHeight");
      break;
    case kKindVanNozzle: {
      const json& rows = w.table(d, "rows", 20);
      w.u8(static_cast<uint8_t>(rows.size()));
      for (const json& r : rows) {
        w.f32(r, "angle");
        w.points(r.at("work"), 4);
      }
      break;
    }
    case kKindStripNozzle:
    case kKindRectRotaryNozzle:
      w.i32(d, "position");
      strips(w, d);
      break;
    case kKindDripLine:
      w.f32(d, "maxRunLength");
      w.f32(d, "rollLength");
      w.f32(d, "wallThickness");
      w.f32(d, "dripperSpacing");
      w.f32(d, "outerDiameter");
      w.f32(d, "dripperFlow");
      w.text(d, "recommendedPressure", 20);
      w.text(d, "dripperType", 50);
      w.text(d, "colour", 20);
      break;
    case kKindRegulator:
      w.text(d, "connectionDiameter", 20);
      w.text(d, "flowRange", 20);
      w.text(d, "outletPressureRange", 20);
      break;
    case kKindFilter:
      w.text(d, "connectionDiameter", 20);
      w.f32(d, "flowMax");
      w.f32(d, "mesh");
      break;
    case kKindValveBox:
      for (const char* k : {"height", "widthTop", "widthBottom", "lengthTop", "lengthBottom"}) w.f32(d, k);
      w.i32(d, "isRound");
      w.f32(d, "diameterTop");
      w.f32(d, "diameterBottom");
      break;
    case kKindHadarInsert:
    case kKindHadarNozzle: {
      const json& rows = w.table(d, "rows", 20);
      w.u8(static_cast<uint8_t>(rows.size()));
      for (const json& r : rows) {
        w.text(r, "rowName", 25);
        w.points(r.at("work"), 4);
      }
      break;
    }
    case kKindRainSensor:
      w.text(d, "smoothSetting", 15);
      w.text(d, "stepSetting", 15);
      w.i32(d, "forBattery");
      w.i32(d, "forMains");
      break;
    case kKindHadarBase: {
      w.text(d, "connection", 40);
      const json& rows = w.table(d, "components", 10);
      w.i32(static_cast<int32_t>(rows.size()));
      for (const json& c : rows) {
        w.text(c, "componentName", 30);
        w.text(c, "componentCatNo", 10);
        w.f32(c, "componentPrice");
      }
      break;
    }
    case kKindMpNozzle: {
      const json& rows = w.table(d, "rows", 10);
      w.i32(static_cast<int32_t>(rows.size()));
      for (const json& r : rows) {
        w.f32(r, "angle");
        w.points(r.at("work"), 7);
      }
      break;
    }
    case kKindVanNozzleFixed:
    case kKindMpNozzleFixed:
      oneArcRow(w, d);
      break;
    case kKindRws:
      w.text(d, "connection", 50);
      w.text(d, "heightCm", 50);
      w.text(d, "diameterCm", 50);
      w.points(d.at("work"), 4);
      break;
    case kKindSoilSensor:
      w.i32(d, "forBattery");
      w.i32(d, "forMains");
      break;
    case kKindMicroSprinkler:
      w.f32(d, "angle");
      w.points(d.at("work"), 5);
      break;
    default:
      w.fail("unknown kind " + std::to_string(kind));
  }
}

}  // namespace

std::vector<uint8_t> buildCatalogue(const json& source) {
  Writer w;
  w.where = "catalogue header";
  try {
    w.text(source, "version", 20);
    w.text(source, "author", 50);
    w.text(source, "description", 70);
    const json& elements = source.at("elements");
    w.i32(static_cast<int32_t>(elements.size()));
    size_t index = 0;
    for (const json& e : elements) {
      w.where = "element " + std::to_string(index++) + " (" + e.value("name", std::string("?")) + ")";
      uint32_t kind = e.at("kind").get<uint32_t>();
      if (kind >= kKindCount) w.fail("unknown kind " + std::to_string(kind));
      w.i32(static_cast<int32_t>(kind));
      w.u8(e.value("archived", 0));
      w.i32(0);
      w.i32(0);
      w.i32(0);
      w.text(e, "name", 50);
      w.text(e, "manufacturer", 20);
      w.text(e, "catalogueNo", 9);
      w.f32(e, "price");
      w.text(e, "picture", 20);
      kindPart(w, kind, e.contains("data") ? e.at("data") : json::object());
    }
  } catch (const json::exception& ex) {
    throw SourceError(w.where + ": " + ex.what());
  }
  partix::scramble(w.bytes.data(), w.bytes.size(), 0);
  return std::move(w.bytes);
}

}  // namespace partix_build
