// The catalogue file reader.
//
// The file is a scrambled image of the records: a 144-byte header, then one
// element record after another with no padding, each sized by its kind code
// and its counts. Every field is read only when it lies wholly inside the
// file; a field that does not keeps the record's initial value.

#include <algorithm>
#include <bit>
#include <cstring>
#include <fstream>
#include <vector>

#include "catalogue/partix_internal.h"
#include "catalogue/prices.h"
#include "partix.h"

static_assert(std::endian::native == std::endian::little, "the catalogue file is little-endian");

namespace partix {
namespace {

CPartix* gCurrent = nullptr;

class FieldReader {
 public:
  explicit FieldReader(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {
    scramble(bytes_.data(), bytes_.size(), 0);
  }

  // Copies `width` bytes into `dst` when they lie inside the file.
  bool read(void* dst, size_t width) {
    if (!fits(width)) return false;
    std::memcpy(dst, bytes_.data() + pos_, width);
    pos_ += width;
    return true;
  }
  bool skip(size_t width) {
    if (!fits(width)) return false;
    pos_ += width;
    return true;
  }
  template <typename T>
  bool read(T& value) {
    return read(&value, sizeof(T));
  }

  // A text of `width` bytes in the file into a record field of `capacity`
  // bytes (capacity >= width). The record field always stays NUL-terminated.
  template <size_t capacity>
  void text(char (&field)[capacity], size_t width) {
    static_assert(capacity > 0);
    if (read(field, std::min(width, capacity))) field[capacity - 1] = '\0';
  }

  // A text into a string object: up to the first NUL.
  void text(std::string& out, size_t width) {
    if (!fits(width)) return;
    const char* p = reinterpret_cast<const char*>(bytes_.data() + pos_);
    out.assign(p, strnlen(p, width));
    pos_ += width;
  }

  void points(WorkPoint* work, int n) {
    for (int i = 0; i < n; ++i) {
      read(work[i].P);
      read(work[i].Q);
      read(work[i].R);
    }
  }

  size_t position() const { return pos_; }

 private:
  bool fits(size_t width) const { return width <= bytes_.size() && pos_ <= bytes_.size() - width; }

  std::vector<uint8_t> bytes_;
  size_t pos_ = 0;
};

// Reads `count` rows of a table with `capacity` rows. Rows past the capacity
// are read into a scratch row and dropped, so that everything after the table
// stays in step with the file. Returns the number of rows kept.
template <typename Row, typename ReadRow>
int readRows(FieldReader& in, int64_t count, Row* table, int capacity, ReadRow readRow) {
  if (count <= 0) return 0;
  int kept = static_cast<int>(std::min<int64_t>(count, capacity));
  for (int i = 0; i < kept; ++i) readRow(table[i]);
  for (int64_t i = kept; i < count; ++i) {
    Row scratch{};
    size_t before = in.position();
    readRow(scratch);
    if (in.position() == before) break;  // nothing more of the file fits in a row
  }
  return kept;
}

void readSprinkler(FieldReader& in, CDBSprinkler& r) {
  in.text(r.connection, 15);
  in.read(r.nozzleCount);
  r.nozzleCount = static_cast<uint8_t>(readRows(in, r.nozzleCount, r.nozzles, 100, [&](SprinklerNozzle& row) {
    in.text(row.nozzleName, 8);
    in.points(row.work, 4);
  }));
  in.read(r.fullCircle);
}

void readController(FieldReader& in, CKontr& r) {
  in.text(r.power, 20);
  in.text(r.stations, 15);
  in.read(r.mainValveOut);
  in.text(r.programs, 15);
  in.text(r.startsPerProgram, 15);
  in.text(r.valveProgramming, 15);
  in.read(r.byWeekDays);
  in.read(r.cyclic);
  in.text(r.cyclePause, 15);
  in.text(r.valveRunTime, 15);
  in.read(r.sensorInput);
  in.read(r.remote);
  in.read(r.waterproof);
}

void readValve(FieldReader& in, CZawor& r) {
  in.read(r.pressureMin);
  in.read(r.pressureMax);
  in.read(r.flowMax);
  in.text(r.voltage, 10);
  in.read(r.inrushCurrent);
  in.read(r.holdingCurrent);
}

void readArcRow4(FieldReader& in, ArcRow4& row) {
  in.read(row.angle);
  in.points(row.work, 4);
}

void readNamedRows(FieldReader& in, uint8_t& rowCount, NamedRow4 (&rows)[20]) {
  in.read(rowCount);
  rowCount = static_cast<uint8_t>(readRows(in, rowCount, rows, 20, [&](NamedRow4& row) {
    in.text(row.rowName, 25);
    in.points(row.work, 4);
  }));
}

void readStrips(FieldReader& in, CPrDane* strips) {
  for (int i = 0; i < 4; ++i) {
    in.text(strips[i].size, 15);
    in.read(strips[i].pressure);
    in.read(strips[i].flow);
  }
}

void readKindPart(FieldReader& in, uint32_t kind, CData* data) {
  switch (kind) {
    case kKindSprinkler: readSprinkler(in, *static_cast<CDBSprinkler*>(data)); break;
    case kKindController: readController(in, *static_cast<CKontr*>(data)); break;
    case kKindValve: readValve(in, *static_cast<CZawor*>(data)); break;
    case kKindPipe: {
      auto& r = *static_cast<CRura*>(data);
      in.read(r.pipeValue);
      in.read(r.innerDiameter);
      break;
    }
    case kKindFitting:
    case kKindOther:
    case kKindCable:
      break;
    case kKindStaticBody: {
      auto& r = *static_cast<CZrStat*>(data);
      in.text(r.connection, 15);
      in.read(r.popUpHeight);
      break;
    }
    case kKindVanNozzle: {
      auto& r = *static_cast<CDyszaVan*>(data);
      in.read(r.rowCount);
      r.rowCount = static_cast<uint8_t>(readRows(in, r.rowCount, r.rows, 20, [&](ArcRow4& row) { readArcRow4(in, row); }));
      break;
    }
    case kKindStripNozzle: {
      auto& r = *static_cast<CDyszaPr*>(data);
      in.read(r.position);
      readStrips(in, r.strips);
      break;
    }
    case kKindDripLine: {
      auto& r = *static_cast<CLinKrop*>(data);
      in.read(r.maxRunLength);
      in.read(r.rollLength);
      in.read(r.wallThickness);
      in.read(r.dripperSpacing);
      in.read(r.outerDiameter);
      in.read(r.dripperFlow);
      in.text(r.recommendedPressure, 20);
      in.text(r.dripperType, 50);
      in.text(r.colour, 20);
      break;
    }
    case kKindRegulator: {
      auto& r = *static_cast<CReg*>(data);
      in.text(r.connectionDiameter, 20);
      in.text(r.flowRange, 20);
      in.text(r.outletPressureRange, 20);
      break;
    }
    case kKindFilter: {
      auto& r = *static_cast<CFiltr*>(data);
      in.text(r.connectionDiameter, 20);
      in.read(r.flowMax);
      in.read(r.mesh);
      break;
    }
    case kKindValveBox: {
      auto& r = *static_cast<CStud*>(data);
      in.read(r.height);
      in.read(r.widthTop);
      in.read(r.widthBottom);
      in.read(r.lengthTop);
      in.read(r.lengthBottom);
      in.read(r.isRound);
      in.read(r.diameterTop);
      in.read(r.diameterBottom);
      break;
    }
    case kKindHadarInsert: {
      auto& r = *static_cast<CWkladka*>(data);
      readNamedRows(in, r.rowCount, r.rows);
      break;
    }
    case kKindHadarNozzle: {
      auto& r = *static_cast<CMkDysza*>(data);
      readNamedRows(in, r.rowCount, r.rows);
      break;
    }
    case kKindRainSensor: {
      auto& r = *static_cast<CRainSensor*>(data);
      in.text(r.smoothSetting, 15);
      in.text(r.stepSetting, 15);
      in.read(r.forBattery);
      in.read(r.forMains);
      break;
    }
    case kKindHadarBase: {
      auto& r = *static_cast<CMicroSprinklerHADAR*>(data);
      in.text(r.connection, 40);
      in.read(r.componentCount);
      r.componentCount = readRows(in, r.componentCount, r.components, 10, [&](HadarComponent& c) {
        in.text(c.componentName, 30);
        in.text(c.componentCatNo, 10);
        in.read(c.componentPrice);
      });
      break;
    }
    case kKindMpNozzle: {
      auto& r = *static_cast<CDyszaMP*>(data);
      in.read(r.rowCount);
      r.rowCount = readRows(in, r.rowCount, r.rows, 10, [&](ArcRow7& row) {
        in.read(row.angle);
        in.points(row.work, 7);
      });
      break;
    }
    case kKindVanNozzleFixed: {
      auto& r = *static_cast<CNozzleVanNonReg*>(data);
      in.read(r.rowCount);
      readArcRow4(in, r.row);
      break;
    }
    case kKindMpNozzleFixed: {
      auto& r = *static_cast<CNozzleMPNonReg*>(data);
      uint8_t stored = 0;
      if (in.read(stored)) r.rowCount = stored;
      readArcRow4(in, r.row);
      break;
    }
    case kKindRectRotaryNozzle: {
      auto& r = *static_cast<CNozzleRectNonReg*>(data);
      in.read(r.position);
      readStrips(in, r.strips);
      break;
    }
    case kKindRws: {
      auto& r = *static_cast<CRWSSprinkler*>(data);
      in.text(r.connection, 50);
      in.text(r.heightCm, 50);
      in.text(r.diameterCm, 50);
      in.points(r.work, 4);
      break;
    }
    case kKindSoilSensor: {
      auto& r = *static_cast<CSoilSensor*>(data);
      in.read(r.forBattery);
      in.read(r.forMains);
      break;
    }
    case kKindMicroSprinkler: {
      auto& r = *static_cast<CMicroSprinkler*>(data);
      in.read(r.angle);
      in.points(r.work, 5);
      break;
    }
    default:
      break;
  }
}

void readCommonPart(FieldReader& in, CData& d) {
  in.text(d.name, 50);
  in.text(d.manufacturer, 20);
  in.text(d.catalogueNo, 9);
  in.read(d.price);
  in.text(d.picture, 20);
}

}  // namespace

CPartix* currentCatalogue() { return gCurrent; }
void setCurrentCatalogue(CPartix* root) { gCurrent = root; }

}  // namespace partix

void CPartix::LoadDB() {
  using partix::FieldReader;
  std::vector<uint8_t> bytes;
  bool opened = false;
  if (fileName) {
    std::ifstream file(fileName, std::ios::binary | std::ios::ate);
    if (file) {
      opened = true;
      const std::streamoff size = file.tellg();
      if (size > 0) {
        bytes.resize(static_cast<size_t>(size));
        file.seekg(0);
        file.read(reinterpret_cast<char*>(bytes.data()), size);
        bytes.resize(static_cast<size_t>(file.gcount()));
      }
    }
  }
  if (opened) {
    FieldReader in(std::move(bytes));
    in.read(version, 20);
    in.read(author, 50);
    in.read(description, 70);
    version[sizeof version - 1] = author[sizeof author - 1] = description[sizeof description - 1] = '\0';
    uint32_t elementCount = 0;
    in.read(elementCount);

    // Every pass consumes at least the four bytes of a kind code, so the loop
    // is bounded by the file whatever the header claims.
    for (uint32_t i = 0; i < elementCount; ++i) {
      uint32_t code = 0;
      if (!in.read(code)) break;
      CElem element;
      in.read(element.archived);
      in.skip(4);
      in.skip(4);
      in.skip(4);
      if (code >= kKindCount) continue;  // unknown kind: the element is dropped
      element.InitData(code);
      if (!element.data) continue;
      partix::readCommonPart(in, *element.data);
      partix::readKindPart(in, code, element.data);
      AddElement(&element);
    }
  }
  partix::setCurrentCatalogue(this);
  partix::priceList().load();
}
