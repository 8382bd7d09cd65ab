#pragma once
// A small catalogue for the report tests, built in memory with prices that
// are easy to add up, and helpers that place objects on a plan.

#include <cstring>
#include <memory>
#include <string>

#include "document/graphic_plane.h"
#include "objects/cable_set.h"
#include "objects/micro_sprinklers.h"
#include "objects/polylines.h"
#include "objects/sprinkler.h"
#include "objects/static_sprinkler.h"
#include "objects/symbols.h"
#include "objects/text_dimension.h"
#include "partix.h"

namespace report_fixture {

// Positions of the elements in the catalogue list.
enum Element {
  kRotary,        // "Zraszacz <R1> B", R-1, final price 12.50 (multiplied 10.00)
  kPipe,          // "Rura PE 25", P-25, 2.00
  kElbow,         // "Kolano 25", K-25, final price 1.50
  kValve,         // "Zawor <V>", V-1, 50.00
  kBody,          // "Obudowa", S-1, 8.00
  kVanNozzle,     // kind 7 "Dysza VAN", N-7, 3.00
  kDrip,          // "Linia", D-1, 1.20 per metre
  kBase,          // HADAR base "Podstawa HADAR": "Trzpien" H-1 0.50, "Kolek <x>" H-2 final 0.25
  kInsert,        // "Wkladka <W1>", W-1, 4.00; rows "0.9 mm" and "1.2 mm"
  kNozzle09,      // "Dysza <0.9> czarna", HD-09, 0.30
  kNozzle12,      // "Dysza <1.2> niebieska", HD-12, 0.35
  kOther,         // "Tasma", T-1, 7.00
  kMicro,         // "Mikro", M-1, 2.00
  kRws,           // "RWS", RW-1, 30.00
  kController,    // "Sterownik", C-1, 300.00
  kRainSensor,    // "Czujnik deszczu", CD-1, 90.00
  kSoilSensor,    // "Czujnik gleby", CG-1, 120.00
  kBox,           // "Studzienka", B-1, 40.00
  kRegulator,     // "Regulator", RG-1, 60.00
  kFilter,        // "Filtr", F-1, 45.00
  kCable,         // "Przewod 5x1", E-5, 3.00 per metre
  kElementCount
};

inline void copyText(char* field, size_t size, const char* text) { std::strncpy(field, text, size - 1); }

inline CPartix& catalogue() {
  static CPartix* root = [] {
    auto* c = new CPartix;
    auto add = [&](PartixKind kind, const char* name, const char* number, float priceMul, float finalPrice) {
      CElem e;
      e.InitData(kind);
      copyText(e.data->name, sizeof e.data->name, name);
      copyText(e.data->catalogueNo, sizeof e.data->catalogueNo, number);
      e.data->priceMul = priceMul;
      e.data->finalPrice = finalPrice;
      if (kind == kKindHadarBase) {
        auto* base = static_cast<CMicroSprinklerHADAR*>(e.data);
        base->componentCount = 2;
        copyText(base->components[0].componentName, 30, "Trzpien");
        copyText(base->components[0].componentCatNo, 10, "H-1");
        base->components[0].componentPriceMul = 0.5f;
        copyText(base->components[1].componentName, 30, "Kolek <x>");
        copyText(base->components[1].componentCatNo, 10, "H-2");
        base->components[1].componentPriceMul = 9.0f;
        base->components[1].componentFinalPrice = 0.25f;
      }
      if (kind == kKindHadarInsert) {
        auto* insert = static_cast<CWkladka*>(e.data);
        insert->rowCount = 2;
        copyText(insert->rows[0].rowName, 25, "0.9 mm");
        copyText(insert->rows[1].rowName, 25, "1.2 mm");
      }
      c->AddElement(&e);
    };
    add(kKindSprinkler, "Zraszacz <R1> B", "R-1", 10.0f, 12.5f);
    add(kKindPipe, "Rura PE 25", "P-25", 2.0f, 0.0f);
    add(kKindFitting, "Kolano 25", "K-25", 1.0f, 1.5f);
    add(kKindValve, "Zawor <V>", "V-1", 50.0f, 0.0f);
    add(kKindStaticBody, "Obudowa", "S-1", 8.0f, 0.0f);
    add(kKindVanNozzle, "Dysza VAN", "N-7", 3.0f, 0.0f);
    add(kKindDripLine, "Linia", "D-1", 1.2f, 0.0f);
    add(kKindHadarBase, "Podstawa HADAR", "", 0.0f, 0.0f);
    add(kKindHadarInsert, "Wkladka <W1>", "W-1", 4.0f, 0.0f);
    add(kKindHadarNozzle, "Dysza <0.9> czarna", "HD-09", 0.3f, 0.0f);
    add(kKindHadarNozzle, "Dysza <1.2> niebieska", "HD-12", 0.35f, 0.0f);
    add(kKindOther, "Tasma", "T-1", 7.0f, 0.0f);
    add(kKindMicroSprinkler, "Mikro", "M-1", 2.0f, 0.0f);
    add(kKindRws, "RWS", "RW-1", 30.0f, 0.0f);
    add(kKindController, "Sterownik", "C-1", 300.0f, 0.0f);
    add(kKindRainSensor, "Czujnik deszczu", "CD-1", 90.0f, 0.0f);
    add(kKindSoilSensor, "Czujnik gleby", "CG-1", 120.0f, 0.0f);
    add(kKindValveBox, "Studzienka", "B-1", 40.0f, 0.0f);
    add(kKindRegulator, "Regulator", "RG-1", 60.0f, 0.0f);
    add(kKindFilter, "Filtr", "F-1", 45.0f, 0.0f);
    add(kKindCable, "Przewod 5x1", "E-5", 3.0f, 0.0f);
    return c;
  }();
  return *root;
}

inline CElem* elem(int index) {
  CElem* e = catalogue().head;
  while (index-- > 0 && e) e = e->next;
  return e;
}

// A plan where one metre is ten plan units (1:100 at 10 units per cm).
inline std::unique_ptr<CGraphicPlane> emptyPlan() {
  auto doc = std::make_unique<CGraphicPlane>();
  doc->pixelsPerCm = 10.0f;
  doc->scaleDenominator = 100.0f;
  return doc;
}

template <typename T>
T& place(CGraphicPlane& doc, int code, CElem* element, int section) {
  auto o = std::make_unique<T>();
  o->elem = element;
  if (section != 0xFFFFFF) {
    o->SetSectionNo(section);
    o->SetSectionColour(0xFFFFFF);
  }
  T& ref = *o;
  doc.addObject(code, std::move(o));
  return ref;
}

// A horizontal polyline of `tenthsOfMetre` / 10 metres.
template <typename T>
T& line(CGraphicPlane& doc, int code, CElem* element, int section, int tenthsOfMetre) {
  T& l = place<T>(doc, code, element, section);
  l.AddVertex({0, 0});
  l.AddVertex({tenthsOfMetre, 0});
  return l;
}

inline CWMicroSprinklerHadar& hadar(CGraphicPlane& doc, int section, int row = 0) {
  auto& u = place<CWMicroSprinklerHadar>(doc, kTypeMicroHadar, elem(kBase), section);
  u.insert = elem(kInsert);
  u.insertUsed = 1;
  u.nozzleRow = row;
  return u;
}

}  // namespace report_fixture
