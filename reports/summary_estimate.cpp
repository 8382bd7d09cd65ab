// The summary cost estimate: fixed categories in a fixed order, one row per
// catalogue number.

#include <algorithm>
#include <unordered_map>

#include "document/graphic_plane.h"
#include "objects/micro_sprinklers.h"
#include "objects/polylines.h"
#include "objects/static_sprinkler.h"
#include "objects/symbols.h"
#include "partix.h"
#include "reports/report_html.h"
#include "reports/reports.h"
#include "sections/section_list.h"

namespace reports {
namespace {

// The categories of the estimate, in the order they are written.
enum Category {
  kRotary,
  kStatic,
  kMicro,
  kHadar,
  kRws,
  kDrip,
  kValves,
  kControllers,
  kRainSensors,
  kSoilSensors,
  kValveBoxes,
  kRegulators,
  kFilters,
  kFittings,
  kPipes,
  kCables,
  kOther,
  kCategoryCount
};

// The category an element of catalogue kind `kind` belongs to.
int categoryOfKind(int kind) {
  switch (kind) {
    case kKindSprinkler: return kRotary;
    case kKindStaticBody:
    case kKindVanNozzle:
    case kKindStripNozzle:
    case kKindMpNozzle:
    case kKindVanNozzleFixed:
    case kKindMpNozzleFixed:
    case kKindRectRotaryNozzle: return kStatic;
    case kKindMicroSprinkler: return kMicro;
    case kKindHadarInsert:
    case kKindHadarNozzle:
    case kKindHadarBase: return kHadar;
    case kKindRws: return kRws;
    case kKindDripLine: return kDrip;
    case kKindValve: return kValves;
    case kKindController: return kControllers;
    case kKindRainSensor: return kRainSensors;
    case kKindSoilSensor: return kSoilSensors;
    case kKindValveBox: return kValveBoxes;
    case kKindRegulator: return kRegulators;
    case kKindFilter: return kFilters;
    case kKindFitting: return kFittings;
    case kKindPipe: return kPipes;
    case kKindCable: return kCables;
    case kKindOther: return kOther;
    default: return -1;
  }
}

// A HADAR base of the estimate: its element and how many units use it.
struct BaseCount {
  const CElem* element;
  int count;
};

class SummaryEstimate {
 public:
  SummaryEstimate(const CGraphicPlane& doc, const ReportContext& ctx) : doc_(doc), ctx_(ctx) {}

  std::optional<Estimate> build() {
    std::vector<ExtraReportElement> extras;
    if (!resolveExtraElements(ctx_, extras)) return std::nullopt;
    gatherReportItems(doc_, ctx_, items_);
    collectObjects();
    collectExtras(extras);
    write();
    Estimate e;
    e.netTotal = html_.netTotal();
    e.rows = html_.takeRows();
    e.html = html_.take();
    return e;
  }

 private:
  void collectObjects() {
    HadarNozzleIndex nozzleIndex(ctx_.catalogue);
    for (const auto& ptr : doc_.objects()) {
      if (!ptr || ptr->deleted) continue;
      const CWBase& o = *ptr;
      switch (o.GetType()) {
        case kTypeSprinkler: piece(kRotary, rotary_, o.elem); break;
        case kTypeStaticSprinkler: {
          on_[kStatic] = true;
          const CElem* nozzle = static_cast<const CWStaticSprinkler&>(o).nozzle;
          if (nozzle && isStaticNozzleKind(static_cast<int>(nozzle->kind))) addTo(nozzles_, nozzle, 0.0f);
          addTo(bodies_, o.elem, 0.0f);
          break;
        }
        case kTypeMicroSprinkler:
          on_[kMicro] = true;
          addTo(micro_, o.elem, 1.0f);
          break;
        case kTypeMicroHadar: {
          on_[kHadar] = true;
          const auto& unit = static_cast<const CWMicroSprinklerHadar&>(o);
          addTo(hadarInserts_, unit.insert, 0.0f);
          std::string row;
          if (hadarRowName(unit, row))
            for (const CElem* nozzle : nozzleIndex.nozzlesFor(row)) addTo(hadarNozzles_, nozzle, 0.0f);
          addBase(unit.elem, 1);
          break;
        }
        case kTypeRws:
          on_[kRws] = true;
          addTo(rws_, o.elem, 1.0f);
          break;
        case kTypeDripline: on_[kDrip] = true; break;
        case kTypeValve:
          if (!static_cast<const CWValve&>(o).IsWaterSource()) piece(kValves, valves_, o.elem);
          break;
        case kTypeController: piece(kControllers, controllers_, o.elem); break;
        case kTypeRainSensor:
          if (o.elem && o.elem->kind == kKindRainSensor) piece(kRainSensors, rain_, o.elem);
          if (o.elem && o.elem->kind == kKindSoilSensor) piece(kSoilSensors, soil_, o.elem);
          break;
        case kTypeValveBox: piece(kValveBoxes, boxes_, o.elem); break;
        case kTypeRegulator: piece(kRegulators, regulators_, o.elem); break;
        case kTypeFilter: piece(kFilters, filters_, o.elem); break;
        case kTypeSet:
          on_[kFittings] = true;
          for (const CElem* e : setElements(ctx_.sets, o.kindWord)) {
            if (!e) continue;
            if (e->kind == kKindFitting) addTo(fittings_, e, 0.0f);
            if (e->kind == kKindPipe) on_[kPipes] = true;
          }
          break;
        case kTypePipe: on_[kPipes] = true; break;
        case kTypeCable: on_[kCables] = true; break;
        default: break;
      }
    }
  }

  void collectExtras(const std::vector<ExtraReportElement>& extras) {
    for (const ExtraReportElement& x : extras) {
      const CElem* e = x.element;
      if (!e || !e->data) continue;
      const int kind = static_cast<int>(e->kind);
      const int category = categoryOfKind(kind);
      if (category < 0) continue;
      on_[category] = true;
      const float pieces = static_cast<float>(integerPart(x.quantity));
      switch (kind) {
        case kKindSprinkler: addTo(rotary_, e, pieces); break;
        case kKindStaticBody: addTo(bodies_, e, pieces); break;
        case kKindMicroSprinkler: addTo(micro_, e, pieces); break;
        case kKindHadarBase: addBase(e, integerPart(x.quantity)); break;
        case kKindHadarInsert: addTo(hadarInserts_, e, pieces); break;
        case kKindHadarNozzle: addTo(hadarNozzles_, e, pieces); break;
        case kKindRws: addTo(rws_, e, pieces); break;
        case kKindDripLine: extraDrip_.push_back({e, pieces}); break;
        case kKindValve: addTo(valves_, e, pieces); break;
        case kKindController: addTo(controllers_, e, pieces); break;
        case kKindRainSensor: addTo(rain_, e, pieces); break;
        case kKindSoilSensor: addTo(soil_, e, pieces); break;
        case kKindValveBox: addTo(boxes_, e, pieces); break;
        case kKindRegulator: addTo(regulators_, e, pieces); break;
        case kKindFilter: addTo(filters_, e, pieces); break;
        case kKindFitting: addTo(fittings_, e, pieces); break;
        case kKindPipe: extraPipes_.push_back({e, x.quantity}); break;
        case kKindCable: extraCables_.push_back({e, pieces}); break;
        case kKindOther: addTo(other_, e, pieces); break;
        default: addTo(nozzles_, e, pieces); break;  // the static nozzle kinds
      }
    }
  }

  void piece(Category c, CEstimateGroup& group, const CElem* e) {
    on_[c] = true;
    addTo(group, e, 0.0f);
  }
  static void addTo(CEstimateGroup& group, const CElem* e, float q) {
    if (e) group.add(*e, q);
  }
  void addBase(const CElem* e, int n) {
    if (!e || !e->data || e->kind != kKindHadarBase) return;
    auto [it, fresh] = baseIndex_.emplace(e, bases_.size());
    if (fresh)
      bases_.push_back({e, n});
    else
      bases_[it->second].count += n;
  }

  // The order in which the metre categories take the sections: the table's
  // sections, then the elements of no section, then any section number the
  // table does not hold (so that no length of the plan is left out).
  std::vector<int> sectionOrder(const std::map<int, CReportItemList::KindBuckets>& buckets) const {
    std::vector<int> order;
    const int count = ctx_.sections ? ctx_.sections->count() : 0;
    for (int s = 0; s < count; ++s)
      if (buckets.count(s)) order.push_back(s);
    if (buckets.count(kNoSection)) order.push_back(kNoSection);
    for (const auto& [s, kinds] : buckets)
      if (s != kNoSection && (s < 0 || s >= count)) order.push_back(s);
    return order;
  }

  struct ExtraLength {
    const CElem* element;
    float quantity;
  };

  void metreCategory(std::string_view caption, int kind, const std::vector<ExtraLength>& extras) {
    CEstimateGroup group;
    for (int s : order_) {
      const auto& kinds = buckets_.at(s);
      auto it = kinds.find(kind);
      if (it == kinds.end()) continue;
      for (const CReportItem* i : it->second)
        group.add(i->name, i->catNo, i->price, static_cast<float>(roundUpQuantity(i->quantity)));
    }
    for (const ExtraLength& x : extras) group.add(*x.element, x.quantity);
    html_.categoryHeader(caption);
    html_.metreRows(group);
    html_.closeTable();
  }

  void pieceCategory(Category c, std::string_view caption, const CEstimateGroup& group, bool onlyWhenFilled = false) {
    if (!on_[c] || (onlyWhenFilled && group.empty())) return;
    html_.categoryHeader(caption);
    html_.pieceRows(group);
    html_.closeTable();
  }

  void write() {
    static const std::string title = cp1250("KOSZTORYS ZBIORCZY");
    static const std::string dripCaption = cp1250("Linie kroplujące");
    static const std::string insertsCaption = cp1250("Wkładki zraszające");
    static const std::string soilCaption = cp1250("Czujniki wilgotności gleby");
    static const std::string regulatorsCaption = cp1250("Regulatory ciśnienia");
    static const std::string fittingsCaption = cp1250("Złączki");

    buckets_ = items_.bySectionAndKind();
    order_ = sectionOrder(buckets_);

    html_.head();
    html_.estimateTitle(title);
    html_.companyBlock(doc_);
    html_.line("<br>");
    html_.projectBlock(doc_);
    html_.line("<br/><br/><br/><br/><br/>");
    html_.line("<br/><br/>");
    html_.columnHeader();

    pieceCategory(kRotary, "Zraszacze obrotowe", rotary_);
    if (on_[kStatic]) {
      if (!bodies_.empty()) pieceCategory(kStatic, "Zraszacze statyczne", bodies_);
      pieceCategory(kStatic, "Dysze do zraszaczy statycznych", nozzles_);
    }
    pieceCategory(kMicro, "Mikrozraszacze", micro_, true);
    if (on_[kHadar]) {
      if (!bases_.empty()) {
        html_.hadarHeader();
        for (const BaseCount& b : bases_) {
          html_.categoryHeader("Podstawa");
          const auto* rec = static_cast<const CMicroSprinklerHADAR*>(b.element->data);
          const int n = std::clamp(rec->componentCount, 0, static_cast<int>(std::size(rec->components)));
          for (int c = 0; c < n; ++c) {
            const HadarComponent& comp = rec->components[c];
            html_.hadarComponentRow(fieldText(comp.componentCatNo), fieldText(comp.componentName), reportPrice(comp),
                                    b.count);
          }
          html_.closeTable();
        }
      }
      // Inserts and nozzles added by hand are listed even without a base.
      pieceCategory(kHadar, insertsCaption, hadarInserts_, true);
      pieceCategory(kHadar, "Dysze", hadarNozzles_, true);
    }
    pieceCategory(kRws, "Seria RWS", rws_, true);
    if (on_[kDrip]) metreCategory(dripCaption, kKindDripLine, extraDrip_);
    pieceCategory(kValves, "Zawory elektromagnetyczne", valves_);
    pieceCategory(kControllers, "Sterowniki", controllers_);
    pieceCategory(kRainSensors, "Czujniki opadu deszczu", rain_);
    pieceCategory(kSoilSensors, soilCaption, soil_);
    pieceCategory(kValveBoxes, "Studzienki", boxes_);
    pieceCategory(kRegulators, regulatorsCaption, regulators_);
    pieceCategory(kFilters, "Filtry", filters_);
    pieceCategory(kFittings, fittingsCaption, fittings_);
    if (on_[kPipes]) metreCategory("Rury", kKindPipe, extraPipes_);
    if (on_[kCables]) metreCategory("Przewody elektryczne", kKindCable, extraCables_);
    pieceCategory(kOther, "Inne", other_);

    html_.totals(ctx_.vatPercent);
    html_.footer(doc_, kVersionSummary);
  }

  const CGraphicPlane& doc_;
  const ReportContext& ctx_;
  HtmlReport html_;
  CReportItemList items_;
  std::map<int, CReportItemList::KindBuckets> buckets_;
  std::vector<int> order_;

  bool on_[kCategoryCount] = {};
  CEstimateGroup rotary_, bodies_, nozzles_, micro_, hadarInserts_, hadarNozzles_, rws_, valves_, controllers_, rain_,
      soil_, boxes_, regulators_, filters_, fittings_, other_;
  std::vector<BaseCount> bases_;
  std::unordered_map<const CElem*, size_t> baseIndex_;
  std::vector<ExtraLength> extraDrip_, extraPipes_, extraCables_;
};

}  // namespace

std::optional<Estimate> summaryEstimate(const CGraphicPlane& doc, const ReportContext& ctx) {
  return SummaryEstimate(doc, ctx).build();
}

std::optional<std::string> summaryEstimateHtml(const CGraphicPlane& doc, const ReportContext& ctx) {
  std::optional<Estimate> e = summaryEstimate(doc, ctx);
  if (!e) return std::nullopt;
  return std::move(e->html);
}

}  // namespace reports
