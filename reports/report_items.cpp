#include "reports/report_items.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>

#include "document/graphic_plane.h"
#include "objects/cable_set.h"
#include "objects/micro_sprinklers.h"
#include "objects/polylines.h"
#include "objects/static_sprinkler.h"
#include "objects/symbols.h"
#include "partix.h"
#include "sections/connection_sets.h"
#include "sections/extra_elements.h"
#include "sections/section_list.h"
#include "startup/application.h"
#include "document/catalogue_lookup.h"
#include "platform/message_sink.h"

namespace reports {

// --- prices and names --------------------------------------------------------

float reportPrice(const CData& data) { return priceOf(data); }

float reportPrice(const HadarComponent& c) { return priceOf(c); }

std::string reportName(std::string_view name) {
  std::string out(name);
  for (char& ch : out)
    if (ch == '<' || ch == '>') ch = ' ';
  return out;
}

int64_t roundUpQuantity(float quantity) {
  const double up = std::ceil(static_cast<double>(quantity));
  if (!(up > INT_MIN)) return INT_MIN;  // NaN as well
  if (up > INT_MAX) return INT_MAX;
  return static_cast<int64_t>(up);
}

int integerPart(float value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<float>(INT_MAX)) return INT_MAX;
  if (value <= static_cast<float>(INT_MIN)) return INT_MIN;
  return static_cast<int>(value);
}

// --- report items ------------------------------------------------------------

size_t CReportItemList::KeyHash::operator()(const Key& k) const {
  const size_t h = std::hash<std::string>()(std::get<2>(k));
  return h ^ (static_cast<size_t>(std::get<0>(k)) * 0x9E3779B97F4A7C15ull) ^ (static_cast<size_t>(std::get<1>(k)) << 7);
}

void CReportItemList::add(CReportItem item) {
  item.name = reportName(item.name);
  Key key{item.section, item.kind, item.catNo};
  auto it = index_.find(key);
  if (it != index_.end()) {
    CReportItem& existing = items_[it->second];
    existing.quantity += item.quantity;
    existing.value += item.value;
    return;
  }
  index_.emplace(std::move(key), items_.size());
  items_.push_back(std::move(item));
}

void CReportItemList::clear() {
  items_.clear();
  index_.clear();
}

bool CReportItemList::hasSection(int section) const {
  return std::any_of(items_.begin(), items_.end(), [&](const CReportItem& i) { return i.section == section; });
}

std::vector<CReportItem> CReportItemList::filter(int section, int kind) const {
  std::vector<CReportItem> out;
  for (const CReportItem& i : items_)
    if (i.section == section && i.kind == kind) out.push_back(i);
  std::stable_sort(out.begin(), out.end(), [](const CReportItem& a, const CReportItem& b) { return a.name < b.name; });
  return out;
}

std::vector<CReportItem> CReportItemList::sortedBySection() const {
  std::vector<CReportItem> out = items_;
  std::stable_sort(out.begin(), out.end(),
                   [](const CReportItem& a, const CReportItem& b) { return a.section < b.section; });
  return out;
}

std::map<int, CReportItemList::KindBuckets> CReportItemList::bySectionAndKind() const {
  std::map<int, KindBuckets> out;
  for (const CReportItem& i : items_) out[i.section][i.kind].push_back(&i);
  for (auto& [section, kinds] : out)
    for (auto& [kind, bucket] : kinds)
      std::stable_sort(bucket.begin(), bucket.end(),
                       [](const CReportItem* a, const CReportItem* b) { return a->name < b->name; });
  return out;
}

// --- estimate groups ---------------------------------------------------------

void CEstimateGroup::add(std::string_view name, std::string_view catNo, float price, float q) {
  auto it = byCatNo_.find(std::string(catNo));
  if (it != byCatNo_.end()) {
    CEstimateLine& line = lines_[it->second];
    line.total += q;
    line.count = integerPart(static_cast<float>(line.count) + (q == 0.0f ? 1.0f : q));
    return;
  }
  CEstimateLine line;
  line.name = reportName(name);
  line.catNo = std::string(catNo);
  line.total = q;
  line.count = q > 1.0f ? integerPart(q) : 1;
  line.price = price;
  // After the last line of an equal or smaller name: the group stays sorted
  // and equal names keep the order in which they came.
  auto at = std::upper_bound(lines_.begin(), lines_.end(), line.name,
                             [](const std::string& n, const CEstimateLine& l) { return n < l.name; });
  const size_t pos = static_cast<size_t>(at - lines_.begin());
  lines_.insert(at, std::move(line));
  for (auto& [key, index] : byCatNo_)
    if (index >= pos) ++index;
  byCatNo_.emplace(std::string(catNo), pos);
}

void CEstimateGroup::add(const CElem& element, float q) {
  if (!element.data) return;
  add(fieldText(element.data->name), fieldText(element.data->catalogueNo), reportPrice(*element.data), q);
}

// --- gathering ----------------------------------------------------------------

ReportContext currentReportContext() {
  Application& a = application();
  ReportContext ctx;
  ctx.catalogue = &a.catalogue;
  ctx.sets = a.sets.get();
  ctx.sections = &sectionList();
  ctx.extras = &extraReportElements();
  ctx.vatPercent = app().settings.vatPercent;
  return ctx;
}

float polylineMetres(float lengthU, const CGraphicPlane& doc) {
  if (!(doc.pixelsPerCm != 0.0f)) return 0.0f;
  return lengthU / doc.pixelsPerCm * doc.scaleDenominator / 100.0f;
}

namespace {

// The three characters of a nozzle code: what follows the first "<" of a
// nozzle's name, or what starts a row name, cut at three.
std::string codeAfterBracket(const std::string& name, bool& found) {
  const size_t lt = name.find('<');
  found = lt != std::string::npos;
  return found ? name.substr(lt + 1, 3) : std::string();
}

}  // namespace

HadarNozzleIndex::HadarNozzleIndex(const CPartix* catalogue) {
  if (!catalogue) return;
  for (CElem* e = catalogue->head; e; e = e->next) {
    if (e->kind != kKindHadarNozzle || !e->data) continue;
    bool found = false;
    std::string code = codeAfterBracket(fieldText(e->data->name), found);
    if (found) byCode_[code].push_back(e);
  }
}

const std::vector<CElem*>& HadarNozzleIndex::nozzlesFor(std::string_view rowName) const {
  static const std::vector<CElem*> none;
  auto it = byCode_.find(std::string(rowName.substr(0, 3)));
  return it == byCode_.end() ? none : it->second;
}

std::vector<CElem*> setElements(const CDBSets* sets, uint32_t key) {
  if (!sets) return {};
  const int i = sets->find(static_cast<int32_t>(key));
  if (i < 0) return {};
  return sets->item(i).availableElements();
}

bool hadarRowName(const CWMicroSprinklerHadar& unit, std::string& rowName) {
  const CElem* insert = unit.insert;
  if (!insert || !insert->data || insert->kind != kKindHadarInsert) return false;
  const auto* rec = static_cast<const CWkladka*>(insert->data);
  if (unit.nozzleRow < 0 || unit.nozzleRow >= static_cast<int>(std::size(rec->rows))) return false;
  rowName = fieldText(rec->rows[unit.nozzleRow].rowName);
  return true;
}

namespace {

class Gatherer {
 public:
  Gatherer(const CGraphicPlane& doc, const ReportContext& ctx, CReportItemList& list)
      : doc_(doc), ctx_(ctx), list_(list), nozzles_(ctx.catalogue) {}

  void object(const CWBase& o) {
    section_ = o.GetSectionNo();
    switch (o.GetType()) {
      case kTypeSprinkler: element(kKindSprinkler, o.elem, 1.0f); break;
      case kTypePipe:
        if (static_cast<const CWPipe&>(o).typeAssigned) element(kKindPipe, o.elem, metres(o));
        break;
      case kTypeSet:
        for (CElem* e : setElements(ctx_.sets, o.kindWord)) {
          if (!e || !e->data) continue;
          if (e->kind == kKindFitting) element(kKindFitting, e, 1.0f);
          else if (e->kind == kKindPipe) element(kKindPipe, e, metres(o));
        }
        break;
      case kTypeValve:
        if (!static_cast<const CWValve&>(o).IsWaterSource()) element(kKindValve, o.elem, 1.0f);
        break;
      case kTypeController: element(kKindController, o.elem, 1.0f); break;
      case kTypeStaticSprinkler: {
        const CElem* nozzle = static_cast<const CWStaticSprinkler&>(o).nozzle;
        if (nozzle && isStaticNozzleKind(static_cast<int>(nozzle->kind)))
          element(static_cast<int>(nozzle->kind), nozzle, 1.0f);
        element(kKindStaticBody, o.elem, 1.0f);
        break;
      }
      case kTypeMicroHadar: hadar(static_cast<const CWMicroSprinklerHadar&>(o)); break;
      case kTypeDripline: element(kKindDripLine, o.elem, metres(o)); break;
      case kTypeCable:
        if (o.hasType) element(kKindCable, o.elem, metres(o));
        break;
      case kTypeFilter: element(kKindFilter, o.elem, 1.0f); break;
      case kTypeRegulator: element(kKindRegulator, o.elem, 1.0f); break;
      case kTypeValveBox: element(kKindValveBox, o.elem, 1.0f); break;
      case kTypeRainSensor:
        if (o.elem && (o.elem->kind == kKindRainSensor || o.elem->kind == kKindSoilSensor))
          element(static_cast<int>(o.elem->kind), o.elem, 1.0f);
        break;
      case kTypeRws: element(kKindRws, o.elem, 1.0f); break;
      case kTypeMicroSprinkler: element(kKindMicroSprinkler, o.elem, 1.0f); break;
      default: break;
    }
  }

 private:
  float metres(const CWBase& o) const { return polylineMetres(static_cast<const CWPolyline&>(o).LengthU(), doc_); }

  void item(int kind, std::string catNo, std::string name, float price, float q) {
    CReportItem i;
    i.kind = kind;
    i.section = section_;
    i.catNo = std::move(catNo);
    i.name = std::move(name);
    i.quantity = q;
    i.price = price;
    i.value = q * price;
    list_.add(std::move(i));
  }

  void element(int kind, const CElem* e, float q) {
    if (!e || !e->data) return;
    item(kind, fieldText(e->data->catalogueNo), fieldText(e->data->name), reportPrice(*e->data), q);
  }

  void hadar(const CWMicroSprinklerHadar& unit) {
    const CElem* base = unit.elem;
    if (base && base->data && base->kind == kKindHadarBase) {
      const auto* rec = static_cast<const CMicroSprinklerHADAR*>(base->data);
      const int n = std::clamp(rec->componentCount, 0, static_cast<int>(std::size(rec->components)));
      for (int c = 0; c < n; ++c) {
        const HadarComponent& comp = rec->components[c];
        item(kKindHadarBase, fieldText(comp.componentCatNo), fieldText(comp.componentName), reportPrice(comp), 1.0f);
      }
    }
    element(kKindHadarInsert, unit.insert, 1.0f);
    std::string row;
    if (hadarRowName(unit, row))
      for (const CElem* nozzle : nozzles_.nozzlesFor(row)) element(kKindHadarNozzle, nozzle, 1.0f);
  }

  const CGraphicPlane& doc_;
  const ReportContext& ctx_;
  CReportItemList& list_;
  HadarNozzleIndex nozzles_;
  int section_ = kNoSection;
};

}  // namespace

bool resolveExtraElements(const ReportContext& ctx, std::vector<ExtraReportElement>& out) {
  out.clear();
  if (!ctx.extras || ctx.extras->empty()) return true;
  CExtraReportElements copy = *ctx.extras;
  const int missing = ctx.catalogue ? copy.resolve(*ctx.catalogue) : copy.count();
  if (missing > 0) {
    platform::tell(missingElementMessage(), "Info!!", platform::MessageIcon::Warning);
    return false;
  }
  out = copy.records();
  return true;
}

void gatherReportItems(const CGraphicPlane& doc, const ReportContext& ctx, CReportItemList& list) {
  list.clear();
  Gatherer g(doc, ctx, list);
  for (const auto& o : doc.objects())
    if (o && !o->deleted) g.object(*o);
}

}  // namespace reports
