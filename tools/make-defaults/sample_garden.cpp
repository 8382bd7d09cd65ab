#include "tools/make-defaults/sample_garden.h"

#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string>

#include "document/terrain.h"
#include "hydraulics/head_layout.h"
#include "hydraulics/zoning.h"
#include "objects/cable_set.h"
#include "objects/micro_sprinklers.h"
#include "objects/polylines.h"
#include "objects/sprinkler.h"
#include "objects/static_sprinkler.h"
#include "objects/symbols.h"
#include "objects/text_dimension.h"
#include "platform/recording_canvas.h"
#include "platform/textcodec.h"
#include "sections/connection_sets.h"
#include "printing/print_layout.h"
#include "sections/section_list.h"
#include "startup/application.h"

namespace {

std::string pl(const char* utf8) { return platform::utf8ToCp1250(utf8); }

// The element with catalogue number `number`.
CElem* element(CPartix& cat, const char* number) {
  for (CElem* e = cat.head; e; e = e->next)
    if (e->data && std::strcmp(e->data->catalogueNo, number) == 0) return e;
  throw std::runtime_error(std::string("the shipped catalogue lacks ") + number);
}

// The first element of `kind` that is not archived.
CElem* firstOfKind(CPartix& cat, uint32_t kind, int skip = 0) {
  for (CElem* e = cat.head; e; e = e->next)
    if (e->kind == kind && !e->archived && e->data && skip-- <= 0) return e;
  throw std::runtime_error("the shipped catalogue lacks kind " + std::to_string(kind));
}

class Garden {
 public:
  Garden(CGraphicPlane& doc, CPartix& cat) : doc_(doc), cat_(cat) {}

  // --- terrain ---------------------------------------------------------------
  void rect(int kind, Point a, Point b) {
    auto r = std::make_unique<CRectn>();
    r->dc = &scratch_;
    r->SetFillKind(kind);
    r->BeginCreate(a);
    r->EndCreate(b);
    doc_.addPrimitive(kTerrainRectangle, std::move(r));
  }
  void round(bool circle, int kind, Point centre, Point rim) {
    std::unique_ptr<CPrimitive> p;
    if (circle)
      p = std::make_unique<CCircle>();
    else
      p = std::make_unique<CEllipse>();
    p->dc = &scratch_;
    p->SetFillKind(kind);
    p->BeginCreate(centre);
    p->EndCreate(rim);
    const int type = p->GetType();
    doc_.addPrimitive(type, std::move(p));
  }
  void area(int kind, std::initializer_list<Point> pts) {
    auto a = std::make_unique<CPoly>();
    a->dc = &scratch_;
    a->SetFillKind(kind);
    auto it = pts.begin();
    a->BeginCreate(*it++);
    for (; it != pts.end(); ++it) a->ClickVertex(*it);
    a->ClickVertex(*pts.begin());
    doc_.addPrimitive(kTerrainArea, std::move(a));
  }
  void line(std::initializer_list<Point> pts) {
    auto l = std::make_unique<CLine>();
    l->dc = &scratch_;
    auto it = pts.begin();
    l->BeginCreate(*it++);
    for (; it != pts.end(); ++it) l->ClickVertex(*it);
    l->FinishCreate();
    doc_.addPrimitive(kTerrainPolyline, std::move(l));
  }

  // --- objects -------------------------------------------------------------------
  template <typename T>
  T* add(int code, std::unique_ptr<T> o, int section = -1) {
    T* raw = o.get();
    doc_.addObject(code, std::move(o));
    if (section >= 0) {
      sectionList().select(section);
      sectionList().assignToCurrent(doc_, *raw);
    }
    return raw;
  }
  template <typename T>
  T* polyline(int code, std::unique_ptr<T> o, std::initializer_list<Point> pts, int section = -1) {
    for (Point p : pts) o->AddVertex(p);
    return add(code, std::move(o), section);
  }
  CWPipe* pipe(const char* number, std::initializer_list<Point> pts, int section = -1) {
    auto p = std::make_unique<CWPipe>();
    p->AssignType(element(cat_, number));
    return polyline(kTypePipe, std::move(p), pts, section);
  }
  // A rotary sprinkler watering from direction `from` counter-clockwise to `to`.
  void rotary(const char* body, int nozzle, Point at, PointD from, PointD to, int section) {
    RememberedRange& range = app().settings.rememberedRange;
    const RememberedRange kept = range;
    range = {1, from.x, from.y, to.x, to.y, 0};
    auto s = std::make_unique<CWSprinkler>();
    s->elem = element(cat_, body);
    s->nozzleNo = nozzle;
    s->PlaceAt(at, 1.0f, doc_.scaleDenominator, doc_.pixelsPerCm, doc_.sourcePressure);
    range = kept;
    add(kTypeSprinkler, std::move(s), section);
  }
  void spray(uint32_t nozzleKind, int skip, Point at, int section) {
    auto s = std::make_unique<CWStaticSprinkler>();
    s->elem = firstOfKind(cat_, kKindStaticBody, 1);
    s->nozzle = firstOfKind(cat_, nozzleKind, skip);
    s->PlaceAt(at, doc_.scaleDenominator, doc_.pixelsPerCm, doc_.sourcePressure);
    add(kTypeStaticSprinkler, std::move(s), section);
  }

  CGraphicPlane& doc() { return doc_; }
  CPartix& cat() { return cat_; }

 private:
  CGraphicPlane& doc_;
  CPartix& cat_;
  platform::RecordingCanvas scratch_;
};

// Who drew both gardens.
void designedBy(CGraphicPlane& doc) {
  doc.author = pl("inż. Marta Kwiatkowska");
  doc.companyName = pl("Zielony Zakątek – projektowanie ogrodów");
  doc.companyAddress = pl("ul. Ogrodowa 5, 05-520 Konstancin");
  doc.companyPhone = "+48 22 123 45 67";
  doc.companyEmail = "biuro@zielonyzakatek.pl";
  doc.companyWww = "www.zielonyzakatek.pl";
}

// The sheet of both: the whole garden on A4 at 1:200, lawn and all.
void printWhole() {
  PrintLayout& layout = printLayout();
  layout.printScale = 200;
  layout.printLawnFill = true;
  layout.planOffsetX = 0.5;
  layout.planOffsetY = 0.5;
}

}  // namespace

void buildSampleGarden(CGraphicPlane& doc, CPartix& cat) {
  Garden g(doc, cat);
  doc.projectNo = "14/26";
  doc.investor = pl("Anna i Piotr Zielińscy");
  doc.objectName = pl("Ogród przydomowy, ul. Słoneczna 12, Konstancin");
  designedBy(doc);
  doc.sourcePressure = 3.5f;
  doc.sourceCapacity = 3.2f;
  doc.hasWaterSource = 1;

  // --- the site: 36 x 26 m at 1:100 -------------------------------------------
  g.area(2000, {{40, 40}, {1080, 40}, {1080, 800}, {40, 800}});  // lawn
  g.rect(4000, {80, 80}, {380, 320});                            // house
  g.rect(5000, {380, 170}, {580, 320});                          // terrace
  g.rect(3000, {1030, 60}, {1070, 780});                         // hedge along the east fence
  g.rect(3000, {420, 50}, {1020, 80});                           // hedge along the north fence
  g.round(false, 6000, {850, 240}, {930, 295});                  // pond
  g.round(true, 7000, {200, 660}, {245, 660});                   // walnut
  g.round(true, 7000, {960, 690}, {995, 690});                   // apple tree
  g.rect(7100, {80, 330}, {380, 385});                           // flower bed by the house
  g.rect(100, {60, 700}, {150, 785});                            // shed
  g.line({{470, 320}, {520, 450}, {600, 600}, {690, 800}});      // garden path

  // --- the three sections ------------------------------------------------------
  CSectionList& sections = sectionList();
  sections.reset();
  sections.addSection();
  sections.addSection();

  // Water source at the outside tap, filter and regulator behind it.
  auto source = std::make_unique<CWValve>();
  source->PlaceAt({120, 440}, 1.0);
  source->SetWaterSource(1);
  g.add(kTypeValve, std::move(source));
  auto filter = std::make_unique<CWFilter>();
  filter->elem = element(cat, "RW3001");
  filter->PlaceAt({170, 440}, 1.0);
  g.add(kTypeFilter, std::move(filter));
  auto reg = std::make_unique<CWReg>();
  reg->elem = firstOfKind(cat, kKindRegulator);
  reg->PlaceAt({220, 440}, 1.0);
  g.add(kTypeRegulator, std::move(reg));

  // Valve box with three valves, one per section.
  auto box = std::make_unique<CWValveBox>();
  box->elem = element(cat, "ZM3002");
  box->PlaceAt({395, 545}, 1.0);
  g.add(kTypeValveBox, std::move(box));
  for (int i = 0; i < 3; ++i) {
    auto v = std::make_unique<CWValve>();
    v->elem = element(cat, i == 0 ? "HV3002" : "HV3001");
    v->PlaceAt({410 + 30 * i, 565}, 1.0);
    g.add(kTypeValve, std::move(v), i);
  }
  // The main from the source to the manifold in the valve box; each
  // section's pipe leaves the manifold from its valve.
  g.pipe("ZM4006", {{120, 440}, {400, 440}, {400, 565}, {470, 565}});

  // Controller in the garage, a rain sensor on the roof, cables to the valves.
  auto controller = std::make_unique<CWController>();
  controller->elem = firstOfKind(cat, kKindController, 1);
  controller->PlaceAt({350, 290}, 1.0);
  g.add(kTypeController, std::move(controller));
  auto rain = std::make_unique<CWRainSensor>();
  rain->elem = firstOfKind(cat, kKindRainSensor);
  rain->PlaceAt({360, 100}, 1.0);
  g.add(kTypeRainSensor, std::move(rain));
  auto cable = std::make_unique<CWCable>();
  cable->AssignCableType(element(cat, "EW1005"));
  g.polyline(kTypeCable, std::move(cable), {{350, 300}, {350, 425}, {460, 425}, {460, 550}});
  auto sensorCable = std::make_unique<CWCable>();
  sensorCable->AssignCableType(element(cat, "EW1001"));
  g.polyline(kTypeCable, std::move(sensorCable), {{360, 110}, {360, 290}});

  // Section 1: the lawn, rotary sprinklers at its corners and one in the middle.
  g.pipe("ZM4005", {{410, 565}, {410, 590}, {610, 590}, {610, 405}, {1000, 405}}, 0);
  g.pipe("ZM4003", {{610, 590}, {610, 755}, {1000, 755}}, 0);
  g.pipe("ZM4003", {{610, 580}, {810, 580}}, 0);
  g.rotary("AQ1002", 3, {615, 410}, {0, 1}, {1, 0}, 0);
  g.rotary("AQ1002", 3, {1000, 410}, {-1, 0}, {0, 1}, 0);
  g.rotary("AQ1002", 3, {1000, 755}, {0, -1}, {-1, 0}, 0);
  g.rotary("AQ1002", 3, {615, 755}, {1, 0}, {0, -1}, 0);
  g.rotary("AQ1003", 2, {810, 580}, {1, 0}, {1, 0}, 0);

  // Section 2: spray sprinklers around the terrace and the front lawn.
  g.pipe("ZM4003", {{440, 565}, {440, 470}, {100, 470}, {100, 620}, {330, 620}}, 1);
  g.spray(kKindVanNozzle, 1, {590, 330}, 1);
  g.spray(kKindVanNozzleFixed, 1, {240, 470}, 1);
  g.spray(kKindMpNozzle, 0, {100, 620}, 1);
  g.spray(kKindMpNozzleFixed, 0, {330, 620}, 1);
  // The strip nozzle waters the flower bed from its own branch.
  g.pipe("ZM4003", {{230, 470}, {230, 400}}, 1);
  // A branch to the heads by the terrace.
  g.pipe("ZM4003", {{470, 470}, {440, 470}, {440, 330}, {590, 330}}, 1);
  g.spray(kKindStripNozzle, 0, {230, 400}, 1);
  g.spray(kKindRectRotaryNozzle, 0, {470, 470}, 1);

  // Section 3: drip lines in the hedge and the flower bed, micro-sprinklers
  // by the pond, root watering for the trees.
  g.pipe("ZM4002", {{470, 565}, {470, 520}, {1010, 520}, {1010, 95}, {1050, 95}}, 2);
  // Branches to the micro-sprinklers by the pond, to the apple tree, and
  // round the lawn's west side to the walnut and the flower bed.
  g.pipe("ZM4002", {{1010, 150}, {760, 150}, {760, 210}, {720, 210}, {720, 320}}, 2);
  g.pipe("ZM4002", {{1010, 520}, {1010, 655}, {960, 655}}, 2);
  g.pipe("ZM4002", {{470, 565}, {470, 645}, {60, 645}, {60, 345}, {90, 345}}, 2);
  auto hedge = std::make_unique<CWDripline>();
  hedge->elem = element(cat, "KP1001");
  g.polyline(kTypeDripline, std::move(hedge), {{1050, 95}, {1050, 770}}, 2);
  auto northHedge = std::make_unique<CWDripline>();
  northHedge->elem = element(cat, "KP1001");
  // Its label along the north hedge, away from the east hedge's.
  g.polyline(kTypeDripline, std::move(northHedge), {{1010, 95}, {440, 95}}, 2)->MoveLabelTo({720, 100});
  auto bed = std::make_unique<CWDripline>();
  bed->elem = element(cat, "KP1004");
  g.polyline(kTypeDripline, std::move(bed), {{90, 345}, {370, 345}, {370, 370}, {90, 370}}, 2);
  for (const auto& o : doc.objects()) {
    if (o->GetType() != kTypeDripline) continue;
    auto& d = static_cast<CWDripline&>(*o);
    d.ParseType();
    d.UpdateFlow(doc.scaleDenominator, doc.pixelsPerCm, doc.sourcePressure);
  }
  auto micro = std::make_unique<CWMicroSprinkler>();
  micro->elem = firstOfKind(cat, kKindMicroSprinkler);
  micro->PlaceAt({760, 210}, doc.scaleDenominator, doc.pixelsPerCm, doc.sourcePressure);
  g.add(kTypeMicroSprinkler, std::move(micro), 2);
  auto hadar = std::make_unique<CWMicroSprinklerHadar>();
  hadar->elem = firstOfKind(cat, kKindHadarBase);
  hadar->insert = element(cat, "KP3004");
  hadar->insertUsed = 1;
  hadar->nozzleRow = 1;
  hadar->PlaceAt({720, 320}, doc.scaleDenominator, doc.pixelsPerCm, doc.sourcePressure);
  g.add(kTypeMicroHadar, std::move(hadar), 2);
  for (Point tree : {Point{200, 645}, Point{960, 655}}) {
    auto rws = std::make_unique<CWRwsSprinkler>();
    rws->PlaceAt(tree, firstOfKind(cat, kKindRws), 1.0f, doc.scaleDenominator, doc.pixelsPerCm, doc.sourcePressure);
    g.add(kTypeRws, std::move(rws), 2);
  }

  // Connection sets where the laterals feed the corner sprinklers.
  if (CDBSets* sets = application().sets.get(); sets && sets->count() > 0) {
    for (Point at : {Point{1000, 405}, Point{1000, 755}}) {
      auto set = std::make_unique<CWSet>();
      set->kindWord = static_cast<uint32_t>(sets->item(0).id);
      g.polyline(kTypeSet, std::move(set), {at, {at.x, at.y + (at.y < 600 ? 5 : -5)}}, 0);
    }
  }

  // A title and the width of the house.
  auto title = std::make_unique<CWText>();
  title->PlaceAt({430, 110}, 1.0);
  title->setText(pl("Ogród państwa Zielińskich – nawadnianie"));
  title->fontHeight = 14;
  title->fontWeight = 700;
  g.add(kTypeText, std::move(title));
  auto dimension = std::make_unique<CWDimension>();
  dimension->Start({80, 70}, 1.0, 29, 1.0f);
  dimension->SetEnd({380, 70});
  dimension->Complete({380, 75});
  g.add(kListCodeDimension, std::move(dimension));

  // The whole garden fits an A4 sheet at 1:200, lawn and all.
  printWhole();

  const std::vector<Colour> colours = {0x00B000, 0xC06000, 0x0060C0};
  const char* descriptions[] = {"Trawnik – zraszacze rotacyjne", "Taras i przedogródek – zraszacze statyczne",
                                "Żywopłot, rabata i drzewa – nawadnianie kroplowe"};
  for (int i = 0; i < 3; ++i) sections.describeSection(doc, i, pl(descriptions[i]), colours[i]);
}

bool buildModelGarden(CGraphicPlane& doc, CPartix& cat, std::string& error) {
  Garden g(doc, cat);
  doc.projectNo = "15/26";
  doc.investor = pl("Ewa i Tomasz Nowakowie");
  doc.objectName = pl("Ogród wzorcowy, ul. Lipowa 3, Piaseczno");
  designedBy(doc);
  doc.sourcePressure = 3.5f;
  doc.sourceCapacity = 5.0f;
  doc.hasWaterSource = 1;
  const double u = 100.0 / doc.scaleDenominator * doc.pixelsPerCm;  // plan units a metre
  auto m = [u](double x, double y) { return Point{static_cast<int>(std::lround(x * u)), static_cast<int>(std::lround(y * u))}; };

  // --- the site: 40 x 26 m -----------------------------------------------------
  g.rect(kFillBuilding, m(1, 1), m(11, 9));      // house
  g.rect(kFillPaving, m(11, 3), m(15, 9));       // terrace
  g.rect(kFillLawn, m(15, 1), m(39, 17));        // the lawn behind the house
  g.rect(kFillFlowers, m(1, 9), m(11, 10.2));    // the flower bed along the house
  g.rect(kFillLawn, m(1, 11), m(13, 17));        // the lawn beside the terrace
  g.rect(kFillPaving, m(1, 17), m(39, 20));      // the path along the front
  g.rect(kFillLawn, m(1, 20), m(24, 25));        // front lawn
  g.rect(kFillPaving, m(24, 20), m(39, 25));     // drive
  g.line({m(0, 0), m(40, 0), m(40, 26), m(0, 26), m(0, 0)});  // the fence

  auto source = std::make_unique<CWValve>();
  source->PlaceAt(m(11.5, 9.5), 1.0);
  source->SetWaterSource(1);
  g.add(kTypeValve, std::move(source));

  // Laid out by the tool: rotors on the lawn behind the house, rotary
  // nozzles on the two smaller lawns (their low, even rate suits lawns a
  // rotor is too big for).
  struct Step {
    int area;
    const char* body;
    layout::NozzleKind kind;
  };
  const Step steps[] = {
      {2, "AQ1001", layout::NozzleKind::Any},
      {4, "AQ7002", layout::NozzleKind::Rotary},
      {6, "AQ7002", layout::NozzleKind::Rotary},
  };
  for (const Step& step : steps) {
    layout::Options o;
    o.body = element(cat, step.body);
    o.catalogue = cat.head;
    o.nozzleKind = step.kind;
    o.pressureAtm = doc.sourcePressure;
    const layout::Result r = layout::layOut(doc, *doc.terrain()[step.area], o);
    if (!r.ok) {
      error = platform::cp1250ToUtf8(r.error);
      return false;
    }
    layout::place(doc, r, o);
  }
  // Tidied by hand: the heads' labels off, so that the plan reads by the
  // figures and the section colours, and the flower bed on four drip lines
  // rather than strips, whose edges water less than their middle.
  for (const auto& o : doc.objects())
    if (o->GetType() == kTypeSprinkler || o->GetType() == kTypeStaticSprinkler) o->ShowLabel(0);
  for (int k = 0; k < 4; ++k) {
    auto drip = std::make_unique<CWDripline>();
    drip->elem = element(cat, "KP1004");
    // One label names the four lines, 30 cm apart across the bed.
    CWDripline* line = g.polyline(kTypeDripline, std::move(drip), {m(1.2, 9.15 + 0.3 * k), m(10.8, 9.15 + 0.3 * k)});
    if (k > 0) line->ShowLabel(0);
  }
  for (const auto& o : doc.objects()) {
    if (o->GetType() != kTypeDripline) continue;
    auto& d = static_cast<CWDripline&>(*o);
    d.ParseType();
    d.UpdateFlow(doc.scaleDenominator, doc.pixelsPerCm, doc.sourcePressure);
  }

  sectionList().reset();
  const zoning::Result zones = zoning::divide(doc);
  if (!zones.ok) {
    error = platform::cp1250ToUtf8(zones.error);
    return false;
  }
  zoning::apply(doc, sectionList(), zones, [](CWBase&) {});

  auto title = std::make_unique<CWText>();
  title->PlaceAt(m(16, 19.5), 1.0);
  title->setText(pl("Ogród wzorcowy – równomierne nawadnianie"));
  title->fontHeight = 14;
  title->fontWeight = 700;
  g.add(kTypeText, std::move(title));

  printWhole();
  return true;
}
