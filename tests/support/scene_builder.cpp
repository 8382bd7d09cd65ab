#include "tests/support/scene_builder.h"

#include <cmath>
#include <cstring>
#include <stdexcept>

#include "document/terrain.h"
#include "objects/cable_set.h"
#include "objects/micro_sprinklers.h"
#include "objects/polylines.h"
#include "objects/sprinkler.h"
#include "objects/static_sprinkler.h"
#include "objects/symbols.h"
#include "objects/text_dimension.h"
#include "platform/recording_canvas.h"
#include "platform/textcodec.h"

namespace testing_support {
namespace {

Point at(Point origin, int x, int y) { return {origin.x + x, origin.y + y}; }

// Creation draws feedback; in a built scene it goes nowhere.
platform::RecordingCanvas& scratch() {
  static platform::RecordingCanvas canvas;
  canvas.clear();
  return canvas;
}

template <typename T>
T* add(CGraphicPlane& doc, int code, std::unique_ptr<T> object) {
  T* raw = object.get();
  doc.addObject(code, std::move(object));
  return raw;
}

CElem* need(CPartix& cat, uint32_t kind, int round = -1) {
  CElem* e = firstOfKind(cat, kind, round);
  if (!e) throw std::runtime_error("the shipped catalogue lacks kind " + std::to_string(kind));
  return e;
}

// The n-th non-archived element of `kind`.
CElem* nthOfKind(CPartix& cat, uint32_t kind, int n) {
  CElem* found = nullptr;
  for (CElem* e = cat.head; e; e = e->next)
    if (e->kind == kind && !e->archived && e->data) {
      found = e;
      if (n-- <= 0) break;
    }
  return found;
}

}  // namespace

CPartix& shippedCatalogue() {
  static CPartix* root = [] {
    static std::string path = std::string(VERDIMO_PROGRAM_DIR) + "/DataBase/MainPartix.dbc";
    auto* r = new CPartix;
    r->fileName = path.c_str();
    r->LoadDB();
    if (r->count == 0) throw std::runtime_error("no shipped catalogue at " + path);
    return r;
  }();
  return *root;
}

CElem* elementByNumber(const std::string& number, CElem* catalogue) {
  for (CElem* e = catalogue ? catalogue : shippedCatalogue().head; e; e = e->next)
    if (e->data && std::string(e->data->catalogueNo, strnlen(e->data->catalogueNo, sizeof e->data->catalogueNo)) == number)
      return e;
  return nullptr;
}

CPrimitive* addRectangle(CGraphicPlane& doc, int fill, double x0, double y0, double x1, double y1) {
  static platform::RecordingCanvas scratch;
  const double u = 100.0 / doc.scaleDenominator * doc.pixelsPerCm;
  auto at = [u](double x, double y) { return Point{static_cast<int>(std::lround(x * u)), static_cast<int>(std::lround(y * u))}; };
  auto r = std::make_unique<CRectn>();
  r->dc = &scratch;
  r->SetFillKind(fill);
  r->BeginCreate(at(x0, y0));
  r->EndCreate(at(x1, y1));
  return doc.addPrimitive(kTerrainRectangle, std::move(r));
}

CElem* firstOfKind(CPartix& catalogue, uint32_t kind, int round) {
  for (CElem* e = catalogue.head; e; e = e->next) {
    if (e->kind != kind || e->archived || !e->data) continue;
    if (kind == kKindValveBox && round >= 0 && (static_cast<CStud*>(e->data)->isRound != 0) != (round != 0)) continue;
    return e;
  }
  return nullptr;
}

void addEveryTerrain(CGraphicPlane& doc, Point o) {
  platform::RecordingCanvas& c = scratch();
  auto rect = [&](int kind, Point a, Point b) {
    auto r = std::make_unique<CRectn>();
    r->dc = &c;
    r->SetFillKind(kind);
    r->BeginCreate(a);
    r->EndCreate(b);
    { const int type = r->GetType(); doc.addPrimitive(type, std::move(r)); }
  };
  auto round = [&](bool circle, int kind, Point centre, Point rim) {
    std::unique_ptr<CPrimitive> p;
    if (circle)
      p = std::make_unique<CCircle>();
    else
      p = std::make_unique<CEllipse>();
    p->dc = &c;
    p->SetFillKind(kind);
    p->BeginCreate(centre);
    p->EndCreate(rim);
    { const int type = p->GetType(); doc.addPrimitive(type, std::move(p)); }
  };
  // The lawn under everything, drawn first.
  {
    auto lawn = std::make_unique<CPoly>();
    lawn->dc = &c;
    lawn->SetFillKind(2000);
    lawn->BeginCreate(at(o, 20, 20));
    for (Point p : {at(o, 1180, 20), at(o, 1180, 880), at(o, 600, 860), at(o, 20, 880), at(o, 20, 21)})
      lawn->ClickVertex(p);
    { const int type = lawn->GetType(); doc.addPrimitive(type, std::move(lawn)); }
  }
  rect(4000, at(o, 60, 60), at(o, 330, 250));    // house
  rect(5000, at(o, 330, 200), at(o, 560, 300));  // terrace
  rect(3000, at(o, 1120, 40), at(o, 1160, 860));  // hedge along the fence
  round(false, 6000, at(o, 820, 150), at(o, 900, 210));  // pond
  round(true, 7000, at(o, 1000, 720), at(o, 1050, 720));  // tree
  round(true, 7100, at(o, 420, 790), at(o, 460, 790));    // flower bed
  rect(100, at(o, 60, 780), at(o, 160, 860));             // shed ("Inne")
  rect(1000, at(o, 180, 800), at(o, 220, 840));
  auto path = std::make_unique<CLine>();  // a garden path's edge
  path->dc = &c;
  path->BeginCreate(at(o, 560, 300));
  for (Point p : {at(o, 650, 420), at(o, 700, 600), at(o, 760, 880)}) path->ClickVertex(p);
  path->FinishCreate();
  { const int type = path->GetType(); doc.addPrimitive(type, std::move(path)); }
}

void addEveryObject(CGraphicPlane& doc, CPartix& cat, Point o, int variant) {
  const float sd = doc.scaleDenominator, ppc = doc.pixelsPerCm, p = doc.sourcePressure;
  const float zoom = static_cast<float>(doc.zoom);
  const double scale = 1.0 / doc.zoom;
  auto zoomed = [&](int x, int y) { return Point{static_cast<int>((o.x + x) * doc.zoom), static_cast<int>((o.y + y) * doc.zoom)}; };

  // Water source and the valves of two sections.
  auto source = std::make_unique<CWValve>();
  source->scale = scale;
  source->PlaceAt(zoomed(600, 40), zoom);
  source->SetWaterSource(1);
  add(doc, kTypeValve, std::move(source));
  doc.hasWaterSource = 1;
  for (int i = 0; i < 2; ++i) {
    auto v = std::make_unique<CWValve>();
    v->elem = need(cat, kKindValve);
    v->scale = scale;
    v->PlaceAt(zoomed(640 + 40 * i, 110), zoom);
    add(doc, kTypeValve, std::move(v));
  }
  for (int round = 0; round < 2; ++round) {
    auto box = std::make_unique<CWValveBox>();
    box->elem = need(cat, kKindValveBox, round);
    box->scale = scale;
    box->PlaceAt(zoomed(630 + 80 * round, 95), zoom);
    add(doc, kTypeValveBox, std::move(box));
  }
  auto controller = std::make_unique<CWController>();
  controller->elem = need(cat, kKindController);
  controller->scale = scale;
  controller->PlaceAt(zoomed(90, 290), zoom);
  add(doc, kTypeController, std::move(controller));

  auto filter = std::make_unique<CWFilter>();
  filter->elem = need(cat, kKindFilter);
  filter->scale = scale;
  filter->PlaceAt(zoomed(600, 75), zoom);
  add(doc, kTypeFilter, std::move(filter));
  auto reg = std::make_unique<CWReg>();
  reg->elem = need(cat, kKindRegulator);
  reg->scale = scale;
  reg->PlaceAt(zoomed(560, 75), zoom);
  add(doc, kTypeRegulator, std::move(reg));
  for (uint32_t kind : {uint32_t(kKindRainSensor), uint32_t(kKindSoilSensor)}) {
    auto sensor = std::make_unique<CWRainSensor>();
    sensor->elem = need(cat, kind);
    sensor->scale = scale;
    sensor->PlaceAt(zoomed(kind == kKindRainSensor ? 40 : 160, kind == kKindRainSensor ? 340 : 330), zoom);
    add(doc, kTypeRainSensor, std::move(sensor));
  }

  // Main pipe from the source, laterals, a drip line in the flower bed.
  auto main = std::make_unique<CWPipe>();
  main->scale = scale;
  for (Point q : {zoomed(600, 40), zoomed(600, 460), zoomed(1080, 460)}) main->AddVertex(q);
  main->AssignType(nthOfKind(cat, kKindPipe, 3 + variant % 2));
  add(doc, kTypePipe, std::move(main));
  auto lateral = std::make_unique<CWPipe>();
  lateral->scale = scale;
  for (Point q : {zoomed(600, 460), zoomed(600, 760), zoomed(250, 760)}) lateral->AddVertex(q);
  lateral->AssignType(nthOfKind(cat, kKindPipe, 2));
  add(doc, kTypePipe, std::move(lateral));
  auto drip = std::make_unique<CWDripline>();
  drip->elem = need(cat, kKindDripLine);
  drip->scale = scale;
  for (Point q : {zoomed(380, 770), zoomed(470, 770), zoomed(470, 810), zoomed(380, 810)}) drip->AddVertex(q);
  drip->ParseType();
  drip->UpdateFlow(sd, ppc, p);
  add(doc, kTypeDripline, std::move(drip));
  auto cable = std::make_unique<CWCable>();
  cable->scale = scale;
  for (Point q : {zoomed(100, 300), zoomed(100, 360), zoomed(640, 360), zoomed(640, 120)}) cable->AddVertex(q);
  cable->AssignCableType(need(cat, kKindCable));
  add(doc, kTypeCable, std::move(cable));
  auto set = std::make_unique<CWSet>();
  set->scale = scale;
  for (Point q : {zoomed(1080, 460), zoomed(1080, 560)}) set->AddVertex(q);
  add(doc, kTypeSet, std::move(set));

  // Rotary sprinklers: a part circle in a corner, a full circle in the middle.
  CElem* body = need(cat, kKindSprinkler);
  for (int i = 0; i < 2; ++i) {
    auto s = std::make_unique<CWSprinkler>();
    s->elem = i == 0 ? body : nthOfKind(cat, kKindSprinkler, 3);
    s->nozzleNo = 2 + variant % 3;
    s->PlaceAt(i == 0 ? zoomed(1080, 860) : zoomed(900, 560), zoom, sd, ppc, p);
    s->SetSectionNo(0);
    s->SetSectionColour(0x0000C0);
    add(doc, kTypeSprinkler, std::move(s));
  }

  // Static sprinklers with each kind of nozzle along the terrace and the lawn.
  CElem* staticBody = need(cat, kKindStaticBody);
  const uint32_t nozzleKinds[] = {kKindVanNozzle, kKindVanNozzleFixed, kKindMpNozzle, kKindMpNozzleFixed,
                                  kKindStripNozzle, kKindRectRotaryNozzle};
  int i = 0;
  for (uint32_t kind : nozzleKinds) {
    auto s = std::make_unique<CWStaticSprinkler>();
    s->elem = staticBody;
    s->nozzle = need(cat, kind);
    s->scale = scale;
    s->PlaceAt(zoomed(120 + 160 * i, kind == kKindStripNozzle || kind == kKindRectRotaryNozzle ? 420 : 520), sd, ppc, p);
    s->SetSectionNo(1);
    s->SetSectionColour(0x008000);
    add(doc, kTypeStaticSprinkler, std::move(s));
    ++i;
  }

  // Micro equipment in the flower bed and by the tree.
  auto micro = std::make_unique<CWMicroSprinkler>();
  micro->elem = need(cat, kKindMicroSprinkler);
  micro->scale = scale;
  micro->PlaceAt(zoomed(330, 640), sd, ppc, p);
  add(doc, kTypeMicroSprinkler, std::move(micro));
  auto hadar = std::make_unique<CWMicroSprinklerHadar>();
  hadar->elem = need(cat, kKindHadarBase);
  hadar->insert = nthOfKind(cat, kKindHadarInsert, 3);  // a half-circle insert
  hadar->insertUsed = 1;
  hadar->nozzleRow = 1;
  hadar->scale = scale;
  hadar->PlaceAt(zoomed(250, 640), sd, ppc, p);
  add(doc, kTypeMicroHadar, std::move(hadar));
  auto rws = std::make_unique<CWRwsSprinkler>();
  rws->scale = scale;
  rws->PlaceAt(zoomed(960, 700), need(cat, kKindRws), zoom, sd, ppc, p);
  add(doc, kTypeRws, std::move(rws));

  // A note and a dimension across the house.
  auto text = std::make_unique<CWText>();
  text->scale = scale;
  text->PlaceAt(zoomed(80, 20), zoom);
  text->setText(platform::utf8ToCp1250("Ogród państwa Kowalskich – plan nawadniania"));
  text->fontHeight = 16;
  text->fontWeight = 700;
  add(doc, kTypeText, std::move(text));
  auto dim = std::make_unique<CWDimension>();
  dim->scale = scale;
  dim->Start(zoomed(60, 270), doc.zoom, 29, 1.0f * zoom);
  dim->SetEnd(zoomed(330, 270));
  dim->Complete(zoomed(330, 265));
  add(doc, kListCodeDimension, std::move(dim));
}

}  // namespace testing_support
