#include "document/project_file.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <random>
#include <map>
#include <set>

#include "document/catalogue_lookup.h"
#include "document/graphic_plane.h"
#include "document/settings_file.h"
#include "document/terrain.h"
#include "objects/cable_set.h"
#include "objects/micro_sprinklers.h"
#include "objects/polylines.h"
#include "objects/sprinkler.h"
#include "objects/static_sprinkler.h"
#include "objects/symbols.h"
#include "objects/text_dimension.h"
#include "partix.h"
#include "platform/folders.h"
#include "platform/textcodec.h"

namespace {

constexpr int kTagFill = 12648447;
constexpr int kTagScale = 1200;
constexpr int kTagOldExtras = 1222;
constexpr int kTagExtras = 123324;
constexpr int kTagSets = 123325;
constexpr int kTagSettings = 123326;
constexpr int kTagGrid = 123327;
constexpr int kTagLayout = 123328;
constexpr int kTagSections = 123432;
constexpr int kTagEnd = 12312332;
constexpr uint32_t kNoElement = 99999;
constexpr int kNoElementReference = 999999;
constexpr uint32_t kProjectSetBit = 0x80000000u;
constexpr int kMaxVertices = 9990;

const std::string& pl(const char* utf8) {
  static std::map<const char*, std::string> cache;
  auto it = cache.find(utf8);
  if (it == cache.end()) it = cache.emplace(utf8, platform::utf8ToCp1250(utf8)).first;
  return it->second;
}

// A failed read: the message for the user.
struct ReadError {
  std::string message;
  std::string caption;
};

// --- writing -------------------------------------------------------------------

class RecordWriter {
 public:
  explicit RecordWriter(TokenWriter& out) : out_(out) {}

  void reference(const CElem* e) { out_.writeToken(catalogueReference(e)); }
  void labelFields(const CWBase& o) {
    out_.writeInt(o.labelDx);
    out_.writeInt(o.labelDy);
    out_.writeInt(o.labelShown);
  }
  void sectionTriple(const CWBase& o) {
    out_.writeInt(o.hasSectionColour);
    out_.writeUint(o.sectionColour);
    out_.writeUint(static_cast<uint32_t>(o.sectionNo));
  }
  void point(const PointD& p) {
    out_.writeDouble(p.x);
    out_.writeDouble(p.y);
  }
  void points(const std::vector<PointD>& pts) {
    out_.writeUint(static_cast<uint32_t>(pts.size()));
    for (const PointD& p : pts) point(p);
  }
  void objectText(const std::string& t) { out_.writeText(t); }

  TokenWriter& out() { return out_; }

 private:
  TokenWriter& out_;
};

bool isStaticNozzleKind(uint32_t kind) {
  return kind == kKindVanNozzle || kind == kKindStripNozzle || kind == kKindMpNozzle || kind == kKindVanNozzleFixed ||
         kind == kKindMpNozzleFixed || kind == kKindRectRotaryNozzle;
}

template <typename T>
void writeSizedSymbol(RecordWriter& w, T& s) {
  TokenWriter& out = w.out();
  out.writeInt(s.listCode);
  out.writeDouble(s.posUx);
  out.writeDouble(s.posUy);
  out.writeUint(s.kindWord);
  w.labelFields(s);
  w.reference(s.elem);
  out.writeDouble(s.sizeGripUx);
  out.writeDouble(s.sizeGripUy);
  out.writeFloat(s.sizeU);
}

void writeObject(RecordWriter& w, CWBase& o, const CGraphicPlane& doc) {
  TokenWriter& out = w.out();
  switch (o.listCode) {
    case kTypeSprinkler: {
      auto& s = static_cast<CWSprinkler&>(o);
      out.writeInt(kTypeSprinkler);
      w.point(s.posU);
      w.point(s.arcStartU);
      w.point(s.arcEndU);
      out.writeUint(s.kindWord);
      out.writeInt(s.nozzleNo);
      w.labelFields(s);
      out.writeFloat(s.reduction);
      w.reference(s.elem);
      w.sectionTriple(s);
      break;
    }
    case kTypePipe: {
      auto& p = static_cast<CWPipe&>(o);
      const bool hasElement = p.elem && p.elem->data;
      out.writeInt(kTypePipe);
      w.points(p.verticesU);
      out.writeUint(hasElement ? 0 : kNoElement);
      w.labelFields(p);
      if (hasElement)
        w.reference(p.elem);
      else
        out.writeInt(kNoElementReference);
      out.writeUint(static_cast<uint32_t>(p.labelAngle));
      w.sectionTriple(p);
      break;
    }
    case kTypeSet: {
      auto& s = static_cast<CWSet&>(o);
      out.writeInt(kTypeSet);
      w.points(s.verticesU);
      out.writeUint(s.kindWord);
      w.labelFields(s);
      out.writeUint(static_cast<uint32_t>(s.labelAngle));
      w.sectionTriple(s);
      break;
    }
    case kTypeValve: {
      auto& v = static_cast<CWValve&>(o);
      out.writeInt(kTypeValve);
      for (double d : {v.posUx, v.posUy, v.pointAUx, v.pointAUy, v.pointBUx, v.pointBUy}) out.writeDouble(d);
      out.writeFloat(v.angle);
      out.writeUint(v.kindWord);
      w.labelFields(v);
      const int source = v.IsWaterSource();
      out.writeInt(source);
      if (source) {
        out.writeFloat(doc.sourcePressure);
        out.writeFloat(doc.sourceCapacity);
      } else {
        w.reference(v.elem);
      }
      w.sectionTriple(v);
      break;
    }
    case kTypeController:
      writeSizedSymbol(w, static_cast<CWController&>(o));
      break;
    case kTypeStaticSprinkler: {
      auto& s = static_cast<CWStaticSprinkler&>(o);
      out.writeInt(kTypeStaticSprinkler);
      w.point(s.posU);
      w.point(s.arcStartU);
      w.point(s.arcEndU);
      out.writeUint(s.kindWord);
      out.writeInt(0);
      w.labelFields(s);
      for (float f : s.orient) out.writeFloat(f);
      for (float f : {s.arcDeg, s.radiusPx, s.lengthPx, s.widthPx, s.lengthTextM, s.widthTextM, s.flow})
        out.writeFloat(f);
      out.writeInt(s.mpPointIndex);
      out.writeFloat(s.reduction);
      w.reference(s.elem);
      // The reader always takes a nozzle reference: a body without a nozzle
      // writes the number of none rather than leaving the record short.
      if (s.nozzle && isStaticNozzleKind(s.nozzle->kind))
        w.reference(s.nozzle);
      else
        out.writeToken("000000");
      w.sectionTriple(s);
      break;
    }
    case kTypeMicroHadar: {
      auto& h = static_cast<CWMicroSprinklerHadar&>(o);
      out.writeInt(kTypeMicroHadar);
      out.writeUint(h.kindWord);
      out.writeInt(0);
      out.writeInt(0);
      out.writeInt(h.insertUsed);
      w.point(h.posU);
      w.point(h.handleU);
      out.writeInt(h.nozzleRow);
      w.labelFields(h);
      for (float f : h.orient) out.writeFloat(f);
      out.writeInt(h.halfCircle);
      out.writeFloat(h.radiusU);
      out.writeFloat(h.radiusM);
      out.writeFloat(h.flowLh);
      w.reference(h.elem);
      w.reference(h.insert);
      w.sectionTriple(h);
      break;
    }
    case kTypeDripline: {
      auto& d = static_cast<CWDripline&>(o);
      out.writeInt(kTypeDripline);
      w.points(d.verticesU);
      out.writeUint(d.kindWord);
      w.labelFields(d);
      w.reference(d.elem);
      out.writeUint(static_cast<uint32_t>(d.labelAngle));
      w.sectionTriple(d);
      break;
    }
    case kTypeCable: {
      auto& c = static_cast<CWCable&>(o);
      const bool hasElement = c.elem && c.elem->data;
      out.writeInt(kTypeCable);
      w.points(c.verticesU);
      out.writeUint(hasElement ? c.kindWord : kNoElement);
      w.labelFields(c);
      if (hasElement) w.reference(c.elem);
      out.writeUint(static_cast<uint32_t>(c.labelAngle));
      break;
    }
    case kTypeFilter:
    case kTypeRegulator: {
      auto& s = static_cast<CWSymb&>(o);
      out.writeInt(o.listCode);
      out.writeDouble(s.posUx);
      out.writeDouble(s.posUy);
      out.writeUint(s.kindWord);
      w.labelFields(s);
      w.reference(s.elem);
      break;
    }
    case kTypeValveBox: {
      auto& b = static_cast<CWValveBox&>(o);
      out.writeInt(kTypeValveBox);
      out.writeDouble(b.posUx);
      out.writeDouble(b.posUy);
      out.writeUint(b.kindWord);
      w.labelFields(b);
      for (double d : {b.widthGripUx, b.widthGripUy, b.lengthGripUx, b.lengthGripUy}) out.writeDouble(d);
      out.writeFloat(b.widthU);
      out.writeFloat(b.lengthU);
      for (float f : {b.turn11, b.turn12, b.turn21, b.turn22}) out.writeFloat(f);
      w.reference(b.elem);
      break;
    }
    case kTypeRainSensor:
      writeSizedSymbol(w, static_cast<CWRainSensor&>(o));
      break;
    case kTypeRws: {
      auto& r = static_cast<CWRwsSprinkler&>(o);
      out.writeInt(kTypeRws);
      w.reference(r.elem);
      out.writeInt(r.pos.x);
      out.writeInt(r.pos.y);
      w.point(r.posU);
      out.writeInt(r.labelDx);
      out.writeInt(r.labelDy);
      for (float f : {r.scaleDenominatorUsed, r.pixelsPerCmUsed, r.pressureUsed, r.flow, r.radiusU}) out.writeFloat(f);
      w.sectionTriple(r);
      out.writeInt(r.labelShown);
      break;
    }
    case kTypeMicroSprinkler: {
      auto& m = static_cast<CWMicroSprinkler&>(o);
      out.writeInt(kTypeMicroSprinkler);
      out.writeUint(m.kindWord);
      w.reference(m.elem);
      w.point(m.posU);
      w.point(m.handleU);
      w.labelFields(m);
      for (float f : m.orient) out.writeFloat(f);
      out.writeInt(m.fullCircle);
      out.writeFloat(m.arcDeg);
      out.writeFloat(m.radiusU);
      out.writeFloat(m.radiusM);
      out.writeFloat(m.flowLh);
      out.writeFloat(m.reduction);
      w.sectionTriple(m);
      break;
    }
    case kTypeText: {
      auto& t = static_cast<CWText&>(o);
      out.writeInt(kTypeText);
      out.writeDouble(t.posUx);
      out.writeDouble(t.posUy);
      out.writeUint(t.kindWord);
      w.labelFields(t);
      w.objectText(t.text);
      w.objectText(t.fontFace);
      for (int v : {t.fontHeight, t.fontWeight, t.textAngle, t.italic, t.underline}) out.writeInt(v);
      out.writeUint(t.textColour);
      break;
    }
    case kListCodeDimension: {
      auto& d = static_cast<CWDimension&>(o);
      out.writeInt(kListCodeDimension);
      for (double v : {d.posUx, d.posUy, d.endAUx, d.endAUy, d.endBUx, d.endBUy}) out.writeDouble(v);
      out.writeUint(static_cast<uint32_t>(d.labelAngle));
      out.writeUint(d.kindWord);
      w.labelFields(d);
      out.writeFloat(d.calibLength);
      out.writeInt(d.calibPixels);
      w.objectText(d.text);
      break;
    }
    default:
      break;  // list codes without a record form
  }
}

void writePrimitive(TokenWriter& out, const CPrimitive& p) {
  switch (p.GetType()) {
    case kTerrainCircle:
    case kTerrainEllipse: {
      auto& r = static_cast<const CRoundShape&>(p);
      out.writeInt(p.GetType());
      for (double d : {r.x1, r.y1, r.x2, r.y2, r.param}) out.writeDouble(d);
      out.writeUint(r.colour);
      break;
    }
    case kTerrainRectangle: {
      auto& r = static_cast<const CRectn&>(p);
      out.writeInt(kTerrainRectangle);
      out.writeDouble(r.startX);
      out.writeDouble(r.startY);
      for (const PointD& c : r.cornerU) {
        out.writeDouble(c.x);
        out.writeDouble(c.y);
      }
      out.writeInt(r.rectValue1);
      out.writeInt(r.rectValue2);
      out.writeUint(r.colour);
      for (float f : {r.turn11, r.turn12, r.turn21, r.turn22}) out.writeFloat(f);
      out.writeDouble(r.endX);
      out.writeDouble(r.endY);
      break;
    }
    case kTerrainArea:
    case kTerrainPolyline: {
      auto& poly = static_cast<const CPoly&>(p);
      out.writeInt(p.GetType());
      out.writeUint(static_cast<uint32_t>(poly.vertexU.size()));
      for (const PointD& v : poly.vertexU) {
        out.writeDouble(v.x);
        out.writeDouble(v.y);
      }
      out.writeUint(poly.colour);
      break;
    }
    default:
      return;
  }
  out.writeInt(kTagFill);
  out.writeUint(static_cast<uint32_t>(p.fillKind));
}

// --- reading -------------------------------------------------------------------

class RecordReader {
 public:
  RecordReader(TokenReader& in, ProjectIo& io, bool oldVersion) : in_(in), io_(io), old_(oldVersion) {}

  CElem* resolve(std::string_view number) {
    CElem* e = findElementByNumber(io_.catalogue, number);
    if (!e) throw ReadError{missingElementMessage(), "Info!!"};
    return e;
  }
  CElem* reference() { return resolve(in_.next()); }
  // A reference an object can do without: "000000" stands for none.
  CElem* optionalReference() {
    const std::string_view number = in_.next();
    if (number == "000000") return findElementByNumber(io_.catalogue, number);
    return resolve(number);
  }
  void labelFields(CWBase& o) {
    labelOffset(o);
    o.labelShown = in_.readInt();
  }
  void labelOffset(CWBase& o) {
    o.labelDxD = in_.readDoubleFull();
    o.labelDyD = in_.readDoubleFull();
    o.labelDx = truncated(o.labelDxD);
    o.labelDy = truncated(o.labelDyD);
  }
  void sectionTriple(CWBase& o) {
    o.hasSectionColour = in_.readInt();
    o.sectionColour = in_.readUint();
    o.sectionNo = in_.readInt();
  }
  PointD point() {
    PointD p;
    p.x = in_.readDouble();
    p.y = in_.readDouble();
    return p;
  }
  // A point list of at most the capacity; points past it are skipped so that
  // the record after stays in step.
  std::vector<PointD> points() {
    const uint32_t n = in_.readUint();
    std::vector<PointD> pts;
    pts.reserve(std::min<uint32_t>(n, kMaxVertices));
    for (uint32_t i = 0; i < n && !in_.atEnd(); ++i) {
      PointD p = point();
      if (pts.size() < static_cast<size_t>(kMaxVertices)) pts.push_back(p);
    }
    return pts;
  }
  static int truncated(double v) {
    if (!std::isfinite(v)) return 0;
    return static_cast<int>(std::clamp(v, -2147483647.0, 2147483647.0));
  }

  TokenReader& in() { return in_; }
  bool oldVersion() const { return old_; }
  ProjectIo& io() { return io_; }

 private:
  TokenReader& in_;
  ProjectIo& io_;
  bool old_;
};

void readOrient(TokenReader& in, std::array<float, 4>& orient) {
  for (float& f : orient) f = in.readFloat();
}

// The integer part, as the reader of controllers and sensors takes positions.
double wholePart(TokenReader& in) { return static_cast<double>(RecordReader::truncated(in.readDoubleFull())); }

// Connection set keys: keys below 4096 are raised and keys from files carry
// the top bit; an old file's index goes through the collection. Returns
// false when the set cannot be mapped.
bool mapSetKey(RecordReader& r, uint32_t& key) {
  if (r.io().blocks.setKey) {
    key = r.io().blocks.setKey(key, r.oldVersion());
    return key != 0xFFFFFFFFu;
  }
  if (r.oldVersion() && key < 4096) return false;  // no collection to look the index up in
  if (key < 4096) key += 4096;
  key |= kProjectSetBit;
  return true;
}

ReadError damagedBlock() { return {pl("Plik projektu jest uszkodzony."), "Info!!"}; }

void readBlock(const std::function<BlockRead(TokenReader&)>& hook, TokenReader& in) {
  if (!hook) return;
  switch (hook(in)) {
    case BlockRead::ok: return;
    case BlockRead::missingElement: throw ReadError{missingElementMessage(), "Info!!"};
    case BlockRead::damaged: throw damagedBlock();
  }
}

// Controllers and sensors: the position as whole plan units, a size of 20
// with its control point beside it, which files of the current version then
// give themselves.
template <typename T>
std::unique_ptr<CWBase> readSizedSymbol(RecordReader& r) {
  TokenReader& in = r.in();
  auto s = std::make_unique<T>();
  s->posUx = wholePart(in);
  s->posUy = wholePart(in);
  s->kindWord = in.readUint();
  r.labelFields(*s);
  s->elem = r.reference();
  s->size = 20;
  s->sizeU = 20.0f;
  s->sizeGripUx = static_cast<int>(s->posUx + 20);
  s->sizeGripUy = static_cast<int>(s->posUy);
  if (!r.oldVersion()) {
    s->sizeGripUx = in.readDouble();
    s->sizeGripUy = in.readDouble();
    s->sizeU = in.readFloat();
  }
  return s;
}

std::unique_ptr<CWBase> readObject(RecordReader& r, int tag) {
  TokenReader& in = r.in();
  CGraphicPlane& doc = r.io().doc;
  const bool old = r.oldVersion();
  switch (tag) {
    case kTypeSprinkler: {
      auto s = std::make_unique<CWSprinkler>();
      s->posU = r.point();
      s->arcStartU = r.point();
      s->arcEndU = r.point();
      s->kindWord = in.readUint();
      s->nozzleNo = in.readInt();
      r.labelFields(*s);
      s->reduction = in.readFloat();
      s->elem = r.reference();
      r.sectionTriple(*s);
      return s;
    }
    case kTypePipe: {
      auto p = std::make_unique<CWPipe>();
      for (const PointD& v : r.points()) p->AddVertexU(v);
      const uint32_t marker = in.readUint();
      r.labelFields(*p);
      const std::string_view number = in.next();
      if (number != std::to_string(kNoElementReference)) {
        p->elem = r.resolve(number);
        p->typeAssigned = 1;
      } else {
        p->typeAssigned = marker != kNoElement && p->elem;
      }
      p->labelAngle = in.readInt();
      r.sectionTriple(*p);
      return p;
    }
    case kTypeSet: {
      auto s = std::make_unique<CWSet>();
      for (const PointD& v : r.points()) s->AddVertexU(v);
      uint32_t key = in.readUint();
      r.labelFields(*s);
      s->labelAngle = in.readInt();
      r.sectionTriple(*s);
      if (!mapSetKey(r, key)) return nullptr;  // an old set that cannot be found is dropped
      s->kindWord = key;
      return s;
    }
    case kTypeValve: {
      auto v = std::make_unique<CWValve>();
      for (double* d : {&v->posUx, &v->posUy, &v->pointAUx, &v->pointAUy, &v->pointBUx, &v->pointBUy})
        *d = in.readDouble();
      v->angle = in.readFloat();
      v->kindWord = in.readUint();
      r.labelFields(*v);
      v->SetWaterSource(in.readInt());
      if (v->IsWaterSource()) {
        doc.sourcePressure = in.readFloat();
        doc.sourceCapacity = in.readFloat();
        doc.hasWaterSource = 1;
        app().currentSourcePressure = doc.sourcePressure;
      } else {
        v->elem = r.reference();
      }
      if (!old) r.sectionTriple(*v);
      return v;
    }
    case kTypeController: return readSizedSymbol<CWController>(r);
    case kTypeStaticSprinkler: {
      auto s = std::make_unique<CWStaticSprinkler>();
      s->posU = r.point();
      s->arcStartU = r.point();
      s->arcEndU = r.point();
      s->kindWord = in.readUint();
      in.readInt();  // reserved
      r.labelFields(*s);
      readOrient(in, s->orient);
      for (float* f : {&s->arcDeg, &s->radiusPx, &s->lengthPx, &s->widthPx, &s->lengthTextM, &s->widthTextM, &s->flow})
        *f = in.readFloat();
      s->mpPointIndex = in.readInt();
      s->reduction = in.readFloat();
      // The file keeps the sizes in pixels at zoom 1, which are plan units.
      s->radiusU = s->radiusPx;
      s->lengthU = s->lengthPx;
      s->widthU = s->widthPx;
      s->elem = r.reference();
      {
        const std::string_view number = in.next();
        s->nozzle = findElementByNumber(r.io().catalogue, number);
        // "000000" is a body without a nozzle, unless a nozzle has that number.
        if (number == "000000") {
          if (s->nozzle && !isStaticNozzleKind(s->nozzle->kind)) s->nozzle = nullptr;
        } else if (!s->nozzle) {
          s->nozzle = r.resolve(number);
        }
      }
      r.sectionTriple(*s);
      return s;
    }
    case kTypeMicroHadar: {
      auto h = std::make_unique<CWMicroSprinklerHadar>();
      h->kindWord = in.readUint();
      in.readInt();
      in.readInt();
      h->insertUsed = in.readInt();
      h->posU = r.point();
      h->handleU = r.point();
      h->nozzleRow = in.readInt();
      r.labelFields(*h);
      readOrient(in, h->orient);
      h->halfCircle = in.readInt();
      h->radiusU = in.readFloat();
      h->radiusM = in.readFloat();
      h->flowLh = in.readFloat();
      h->elem = r.reference();
      h->insert = h->insertUsed ? r.reference() : r.optionalReference();
      r.sectionTriple(*h);
      return h;
    }
    case kTypeDripline: {
      auto d = std::make_unique<CWDripline>();
      for (const PointD& v : r.points()) d->AddVertexU(v);
      d->kindWord = in.readUint();
      r.labelFields(*d);
      d->elem = r.reference();
      d->labelAngle = in.readInt();
      r.sectionTriple(*d);
      d->ParseType();
      return d;
    }
    case kTypeCable: {
      auto c = std::make_unique<CWCable>();
      for (const PointD& v : r.points()) c->AddVertexU(v);
      const uint32_t marker = in.readUint();
      r.labelFields(*c);
      if (marker != kNoElement) {
        // A cable read with its catalogue type keeps it, label and all.
        c->AssignCableType(r.reference());
        c->kindWord = marker;
      } else {
        c->kindWord = 0;
      }
      c->labelAngle = in.readInt();
      return c;
    }
    case kTypeFilter:
    case kTypeRegulator: {
      std::unique_ptr<CWCatalogueSymbol> s;
      if (tag == kTypeFilter)
        s = std::make_unique<CWFilter>();
      else
        s = std::make_unique<CWReg>();
      s->posUx = in.readDouble();
      s->posUy = in.readDouble();
      s->kindWord = in.readUint();
      r.labelFields(*s);
      s->elem = r.reference();
      s->sizeGripUx = s->posUx + s->sizeU;
      s->sizeGripUy = s->posUy;
      return s;
    }
    case kTypeValveBox: {
      auto b = std::make_unique<CWValveBox>();
      b->posUx = in.readDouble();
      b->posUy = in.readDouble();
      b->kindWord = in.readUint();
      r.labelFields(*b);
      for (double* d : {&b->widthGripUx, &b->widthGripUy, &b->lengthGripUx, &b->lengthGripUy}) *d = in.readDouble();
      b->widthU = in.readFloat();
      b->lengthU = in.readFloat();
      for (float* f : {&b->turn11, &b->turn12, &b->turn21, &b->turn22}) *f = in.readFloat();
      b->elem = r.reference();
      return b;
    }
    case kTypeRainSensor: return readSizedSymbol<CWRainSensor>(r);
    case kTypeRws: {
      auto w = std::make_unique<CWRwsSprinkler>();
      w->elem = r.reference();
      w->pos.x = in.readInt();
      w->pos.y = in.readInt();
      w->posU.x = in.readDoubleFull();
      w->posU.y = in.readDoubleFull();
      r.labelOffset(*w);
      for (float* f : {&w->scaleDenominatorUsed, &w->pixelsPerCmUsed, &w->pressureUsed, &w->flow, &w->radiusU})
        *f = in.readFloat();
      r.sectionTriple(*w);
      if (!old) w->labelShown = in.readInt();
      return w;
    }
    case kTypeMicroSprinkler: {
      auto m = std::make_unique<CWMicroSprinkler>();
      m->kindWord = in.readUint();
      m->elem = r.reference();
      m->posU = r.point();
      m->handleU = r.point();
      r.labelFields(*m);
      readOrient(in, m->orient);
      m->fullCircle = in.readInt();
      m->arcDeg = in.readFloat();
      m->radiusU = in.readFloat();
      m->radiusM = in.readFloat();
      m->flowLh = in.readFloat();
      m->reduction = in.readFloat();
      r.sectionTriple(*m);
      return m;
    }
    case kTypeText: {
      auto t = std::make_unique<CWText>();
      t->posUx = in.readDouble();
      t->posUy = in.readDouble();
      t->kindWord = in.readUint();
      r.labelFields(*t);
      t->setText(in.readText());
      t->setFontFace(in.readText());
      for (int* v : {&t->fontHeight, &t->fontWeight, &t->textAngle, &t->italic, &t->underline}) *v = in.readInt();
      t->textColour = in.readUint();
      t->noLabelGrip = 1;
      return t;
    }
    case kListCodeDimension: {
      auto d = std::make_unique<CWDimension>();
      for (double* v : {&d->posUx, &d->posUy, &d->endAUx, &d->endAUy, &d->endBUx, &d->endBUy}) *v = in.readDouble();
      d->labelAngle = in.readInt();
      d->kindWord = in.readUint();
      r.labelFields(*d);
      d->calibLength = in.readFloat();
      d->calibPixels = in.readInt();
      d->text = in.readText().substr(0, CWDimension::kMaxText);
      return d;
    }
    default:
      return nullptr;
  }
}

std::unique_ptr<CPrimitive> readPrimitive(TokenReader& in, RecordReader& r, int tag) {
  std::unique_ptr<CPrimitive> made = makePrimitive(tag);
  if (!made) return nullptr;
  switch (tag) {
    case kTerrainCircle:
    case kTerrainEllipse: {
      auto& c = static_cast<CRoundShape&>(*made);
      c.x1 = in.readDouble();
      c.y1 = in.readDouble();
      c.x2 = in.readDouble();
      c.y2 = in.readDouble();
      c.param = in.readDoubleFull();
      c.colour = in.readUint();
      break;
    }
    case kTerrainRectangle: {
      auto& rect = static_cast<CRectn&>(*made);
      rect.startX = in.readDouble();
      rect.startY = in.readDouble();
      for (PointD& c : rect.cornerU) c = r.point();
      rect.rectValue1 = in.readInt();
      rect.rectValue2 = in.readInt();
      rect.colour = in.readUint();
      for (float* f : {&rect.turn11, &rect.turn12, &rect.turn21, &rect.turn22}) *f = in.readFloat();
      rect.endX = in.readDouble();
      rect.endY = in.readDouble();
      break;
    }
    case kTerrainArea:
    case kTerrainPolyline: {
      auto& poly = static_cast<CPoly&>(*made);
      const std::vector<PointD> pts = r.points();
      poly.colour = in.readUint();
      poly.SetPlanVertices(pts);
      poly.RecomputeCentre();
      break;
    }
    default:
      return nullptr;
  }
  made->Rescale(1.0f);
  return made;
}

// Values the file does not carry, evaluated at the project's source
// pressure; stored geometry stays as saved.
void evaluateAfterLoading(CGraphicPlane& doc) {
  for (const auto& o : doc.objects()) {
    switch (o->GetType()) {
      case kTypeSprinkler: {
        // The working point and radius; the arc ends stay where they were saved.
        auto& s = static_cast<CWSprinkler&>(*o);
        s.EvaluateNozzle(s.nozzleNo, doc.sourcePressure);
        float r = metresToUnitsF(s.radiusNominalM, doc.scaleDenominator, doc.pixelsPerCm);
        s.radiusU = r - r * 0.25f * s.reduction;
        s.Rescale(static_cast<float>(doc.zoom));
        break;
      }
      case kTypeDripline:
        static_cast<CWDripline&>(*o).UpdateFlow(doc.scaleDenominator, doc.pixelsPerCm, doc.sourcePressure);
        break;
      default:
        break;
    }
  }
}

// The four header texts, and the settings block's exchange with the print
// layout, the document's company block and author.
void readSettingsBlockInto(ProjectIo& io, TokenReader& in) {
  AppSettings& s = io.settings;
  const DefaultMargins margins = s.defaultMargins;
  const AppSettings company = s;
  readSettingsBlock(in, s);
  if (io.blocks.setLayoutMargins) io.blocks.setLayoutMargins(s.defaultMargins);
  CGraphicPlane& doc = io.doc;
  doc.companyName = s.companyName;
  doc.companyAddress = s.companyAddress;
  doc.companyPhone = s.companyPhone;
  doc.companyEmail = s.companyEmail;
  doc.companyWww = s.companyWww;
  doc.companyLogo = s.companyLogoFile;
  doc.author = s.authorName;
  s.defaultMargins = margins;
  s.companyName = company.companyName;
  s.companyAddress = company.companyAddress;
  s.companyPhone = company.companyPhone;
  s.companyEmail = company.companyEmail;
  s.companyWww = company.companyWww;
  s.companyLogoFile = company.companyLogoFile;
  s.authorName = company.authorName;
}

void writeSettingsBlockFrom(ProjectIo& io, TokenWriter& out) {
  AppSettings s = io.settings;
  if (io.blocks.layoutMargins) s.defaultMargins = io.blocks.layoutMargins();
  const CGraphicPlane& doc = io.doc;
  s.companyName = doc.companyName;
  s.companyAddress = doc.companyAddress;
  s.companyPhone = doc.companyPhone;
  s.companyEmail = doc.companyEmail;
  s.companyWww = doc.companyWww;
  s.companyLogoFile = doc.companyLogo;
  s.authorName = doc.author;
  writeSettingsBlock(out, s);
}

// Where the appended image starts: after the line of the end marker that
// the reader stopped at. The marker is found as a tag, not as the first
// "12312332" of the file, which a text or a number before it may contain.
size_t imageStart(std::string_view file, size_t afterMarker) {
  if (afterMarker == std::string_view::npos || afterMarker > file.size()) return std::string_view::npos;
  size_t start = afterMarker;
  // CR LF as this program writes it; a bare line feed has one byte less.
  if (file.substr(start, 2) == "\r\n")
    start += 2;
  else if (file.substr(start, 1) == "\n")
    start += 1;
  return start;
}

std::string extractedImageName() {
  static std::mt19937_64 random(static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
  const uint64_t tick = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count() / 1000000);
  const uint64_t value = (random() & 0xFFFFFFFFull) * 4294967296ull + (random() & 0xFFFFFFFFull) + tick;
  return std::to_string(value) + ".tmp";
}

}  // namespace

void writeObjectRecord(TokenWriter& out, CWBase& object, const CGraphicPlane& doc) {
  RecordWriter w(out);
  writeObject(w, object, doc);
}

void writePrimitiveRecord(TokenWriter& out, const CPrimitive& primitive) { writePrimitive(out, primitive); }

std::string writeProjectText(ProjectIo& io) {
  CGraphicPlane& doc = io.doc;
  TokenWriter out;
  out.writeToken(kProjectVersion);
  for (const std::string* t : {&doc.projectNo, &doc.investor, &doc.objectName, &doc.projectDate}) out.writeText(*t);
  for (const auto& p : doc.terrain())
    if (!p->deleted) writePrimitive(out, *p);
  RecordWriter w(out);
  for (const auto& o : doc.objects())
    if (!o->deleted) writeObject(w, *o, doc);
  out.writeInt(kTagOldExtras);
  out.writeInt(0);
  out.writeInt(kTagExtras);
  if (io.blocks.writeExtraElements) io.blocks.writeExtraElements(out);
  out.writeInt(kTagSections);
  if (io.blocks.writeSections) io.blocks.writeSections(out);
  out.writeInt(kTagSets);
  if (io.blocks.writeSets)
    io.blocks.writeSets(out);
  else
    out.writeInt(0);
  out.writeInt(kTagSettings);
  writeSettingsBlockFrom(io, out);
  out.writeInt(kTagGrid);
  out.writeFloat(doc.gridStep);
  out.writeUint(io.settings.gridColour);
  out.writeInt(kTagLayout);
  if (io.blocks.writePrintLayout) io.blocks.writePrintLayout(out);
  out.writeInt(kTagScale);
  out.writeInt(doc.scaleFromSegment);
  out.writeInt(doc.hasBackground);
  out.writeFloat(doc.scaleDenominator);
  out.writeInt(kTagEnd);
  return std::move(out.text());
}

ProjectResult readProjectText(ProjectIo& io, std::string_view text) { return readProjectText(io, text, nullptr); }

ProjectResult readProjectText(ProjectIo& io, std::string_view text, size_t* afterEndMarker) {
  CGraphicPlane& doc = io.doc;
  if (afterEndMarker) *afterEndMarker = std::string_view::npos;
  TokenReader in(text);
  // Far beyond any garden: 10^7 plan units are hundreds of kilometres.
  in.setMagnitudeLimit(1.0e7);
  ProjectResult result;
  const std::string_view version = in.next();
  const bool old = version == kProjectVersionOld;
  if (version != kProjectVersion && !old) return {false, pl("Niewłaściwa wersja pliku."), "Info!!"};
  RecordReader r(in, io, old);
  if (!old) {
    for (std::string* t : {&doc.projectNo, &doc.investor, &doc.objectName, &doc.projectDate}) *t = in.readText();
  } else {
    for (int i = 0; i < 4; ++i) in.next();
    const AppSettings& s = io.settings;
    doc.companyName = s.companyName;
    doc.companyAddress = s.companyAddress;
    doc.companyPhone = s.companyPhone;
    doc.companyEmail = s.companyEmail;
    doc.companyWww = s.companyWww;
    doc.companyLogo = s.companyLogoFile;
    result.message = pl(
        "Otwierasz projekt z poprzedniej wersji programu. Proszę uzupełnić informacje we \"Właściwościach projektu\".");
    result.caption = pl("Informacja");
  }
  try {
    CPrimitive* lastPrimitive = nullptr;
    while (!in.atEnd()) {
      const int tag = in.readInt();
      if (tag >= kTerrainCircle && tag <= kTerrainPolyline) {
        std::unique_ptr<CPrimitive> p = readPrimitive(in, r, tag);
        lastPrimitive = p ? doc.addPrimitive(tag, std::move(p)) : nullptr;
      } else if (tag == kTagFill) {
        const int kind = in.readInt();
        if (lastPrimitive) {
          lastPrimitive->fillKind = kind;
          lastPrimitive->patternBitmap.reset();
        }
        lastPrimitive = nullptr;
      } else if (tag == kTagScale) {
        doc.scaleFromSegment = in.readInt();
        doc.hasBackground = in.readInt();
        doc.scaleDenominator = static_cast<float>(in.readDoubleFull());
        if (!(doc.scaleDenominator > 0)) doc.scaleDenominator = 100;  // a damaged scale cannot divide
      } else if (tag == kTagOldExtras) {
        if (io.blocks.readOldExtraElements) {
          readBlock(io.blocks.readOldExtraElements, in);
        } else {
          const int count = in.readCount(INT32_MAX);
          for (int i = 0; i < count && !in.atEnd(); ++i) {
            r.reference();
            in.readInt();
          }
        }
      } else if (tag == kTagExtras) {
        readBlock(io.blocks.readExtraElements, in);
      } else if (tag == kTagSections) {
        readBlock(io.blocks.readSections, in);
      } else if (tag == kTagSets) {
        readBlock(io.blocks.readSets, in);
      } else if (tag == kTagSettings) {
        readSettingsBlockInto(io, in);
      } else if (tag == kTagGrid) {
        doc.gridStep = in.readFloat();
        io.settings.gridColour = in.readUint();
      } else if (tag == kTagLayout) {
        readBlock(io.blocks.readPrintLayout, in);
      } else if (tag == kTagEnd) {
        if (afterEndMarker) *afterEndMarker = in.position();
        break;
      } else if (tag >= kTypeSprinkler) {
        lastPrimitive = nullptr;
        std::unique_ptr<CWBase> o = readObject(r, tag);
        if (!o) continue;
        o->Rescale(1.0f);
        if (tag == kListCodeDimension) {
          auto& d = static_cast<CWDimension&>(*o);
          d.restoreFromPlanUnits();
          d.complete = 1;
        }
        doc.addObject(tag, std::move(o));
      }
    }
  } catch (const ReadError& e) {
    return {false, e.message, e.caption};
  }
  doc.setZoom(1.0f);
  evaluateAfterLoading(doc);
  return result;
}

ProjectResult loadProject(ProjectIo& io, const std::string& path) {
  std::string file;
  if (!readWholeFile(path, file))
    return {false, pl("Nie można otworzyć pliku ") + platform::utf8ToCp1250(path) + ".", "Info!!"};
  size_t afterMarker = std::string::npos;
  ProjectResult result = readProjectText(io, file, &afterMarker);
  const size_t image = imageStart(file, afterMarker);
  if (!result.ok) return result;
  CGraphicPlane& doc = io.doc;
  doc.fileName = path;
  if (doc.hasBackground && image != std::string::npos && image < file.size()) {
    const std::string name = extractedImageName();
    if (writeFileReplacing(platform::joinPath(io.userDataDir, name), file.substr(image))) {
      doc.backgroundTempFile = doc.backgroundFile = name;
    }
  }
  return result;
}

ProjectResult saveProject(ProjectIo& io, const std::string& path) {
  CGraphicPlane& doc = io.doc;
  const float keptZoom = static_cast<float>(doc.zoom);
  doc.setZoom(1.0f);
  std::string file = writeProjectText(io);
  doc.setZoom(keptZoom);
  ProjectResult result;
  if (doc.hasBackground) {
    const std::string imagePath = doc.backgroundFile == doc.backgroundTempFile
                                      ? platform::joinPath(io.userDataDir, doc.backgroundFile)
                                      : doc.backgroundFile;
    std::string image;
    if (readWholeFile(imagePath, image)) {
      file += image;
    } else {
      result.message = pl("Nie znaleziono pliku obrazu tła; projekt zapisano bez niego.");
      result.caption = pl("Informacja");
    }
  }
  if (!writeFileReplacing(path, file))
    return {false, pl("Nie można zapisać pliku ") + platform::utf8ToCp1250(path) + ".", pl("Błąd")};
  doc.fileName = path;
  return result;
}
