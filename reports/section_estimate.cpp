// The cost estimate by sections: for every section the elements that belong
// to it by category, then the elements of no section, then the totals.

#include <algorithm>

#include "document/graphic_plane.h"
#include "partix.h"
#include "reports/report_html.h"
#include "reports/reports.h"
#include "sections/section_list.h"

namespace reports {
namespace {

struct CategoryCaption {
  int kind;
  const char* caption;  // UTF-8; trailing spaces belong to the caption
};

constexpr CategoryCaption kCategories[] = {
    {6, "Zraszacze statyczne - obudowy "},
    {19, "Zraszacze statyczne - Dysze statyczne „okrąg” nieregulowane "},
    {7, "Zraszacze statyczne - Dysze statyczne „okrąg” regulowane "},
    {8, "Zraszacze statyczne - Dysze statyczne „prostokąt” nieregulowane "},
    {20, "Zraszacze statyczne - Dysze rotacyjne „okrąg” nieregulowane "},
    {17, "Zraszacze statyczne - Dysze rotacyjne „okrąg” regulowane "},
    {21, "Zraszacze statyczne - Dysze rotacyjne „prostokąt” nieregulowane "},
    {0, "Zraszacze obrotowe"},
    {24, "Mikrozraszacze "},
    {16, "Mikrozraszacze HADAR - podstawy "},
    {13, "Mikrozraszacze HADAR - wkładki zraszające "},
    {15, "Mikrozraszacze HADAR - dysze "},
    {22, "Seria RWS"},
    {9, "Linie kroplujące "},
    {1, "Sterowniki"},
    {2, "Zawory elektromagnetyczne "},
    {14, "Czujniki opadu deszczu "},
    {23, "Czujniki wilgotności gleby "},
    {11, "Filtry "},
    {10, "Regulatory ciśnienia "},
    {12, "Studzienki "},
    {4, "Złączki"},
    {3, "Rury"},
    {18, "Przewody elektryczne "},
    {5, "Inne "},
};

// The captions as report text, converted once.
const std::vector<std::string>& captions() {
  static const std::vector<std::string> list = [] {
    std::vector<std::string> out;
    for (const CategoryCaption& c : kCategories) out.push_back(cp1250(c.caption));
    return out;
  }();
  return list;
}

// The first catalogue element of kind 16: the base every HADAR extra element
// stands for.
const CElem* firstHadarBase(const CPartix* catalogue) {
  if (!catalogue) return nullptr;
  for (const CElem* e = catalogue->head; e; e = e->next)
    if (e->kind == kKindHadarBase && e->data) return e;
  return nullptr;
}

void addExtras(const std::vector<ExtraReportElement>& extras, const ReportContext& ctx, CReportItemList& list) {
  for (const ExtraReportElement& x : extras) {
    if (x.kind != kKindHadarBase) {
      CReportItem i;
      i.kind = x.kind;
      i.section = x.section;
      i.catNo = x.catalogueNo;
      i.name = x.name;
      i.quantity = x.quantity;
      i.price = x.price;
      i.value = x.quantity * x.price;
      list.add(std::move(i));
      continue;
    }
    const CElem* base = firstHadarBase(ctx.catalogue);
    if (!base) continue;
    const auto* rec = static_cast<const CMicroSprinklerHADAR*>(base->data);
    const int n = std::clamp(rec->componentCount, 0, static_cast<int>(std::size(rec->components)));
    for (int c = 0; c < n; ++c) {
      const HadarComponent& comp = rec->components[c];
      CReportItem i;
      i.kind = kKindHadarBase;
      i.section = x.section;
      i.catNo = fieldText(comp.componentCatNo);
      i.name = fieldText(comp.componentName);
      i.quantity = x.quantity;
      i.price = reportPrice(comp);
      i.value = i.quantity * i.price;
      list.add(std::move(i));
    }
  }
}

void writeCategories(HtmlReport& html, const CReportItemList::KindBuckets& kinds) {
  const std::vector<std::string>& caption = captions();
  for (size_t c = 0; c < std::size(kCategories); ++c) {
    auto it = kinds.find(kCategories[c].kind);
    if (it == kinds.end() || it->second.empty()) continue;
    html.categoryHeader(caption[c]);
    for (const CReportItem* i : it->second) html.sectionRow(*i);
    html.closeTable();
  }
}

std::string sectionHeadingText(int position, const std::string& description) {
  std::string text = "<B> Sekcja " + std::to_string(position);
  if (description.empty()) return text + " </B>";
  return text + "  - " + htmlEscape(description) + " </B>";
}

}  // namespace

std::optional<Estimate> sectionEstimate(const CGraphicPlane& doc, const ReportContext& ctx) {
  static const std::string title = cp1250("KOSZTORYS Z PODZIAŁEM NA SEKCJE");

  std::vector<ExtraReportElement> extras;
  if (!resolveExtraElements(ctx, extras)) return std::nullopt;
  CReportItemList items;
  gatherReportItems(doc, ctx, items);
  addExtras(extras, ctx, items);
  const std::map<int, CReportItemList::KindBuckets> buckets = items.bySectionAndKind();

  HtmlReport html;
  html.head();
  html.estimateTitle(title);
  html.line("");
  html.companyBlock(doc);
  html.line("<br/>");
  html.projectBlock(doc);
  html.line("<br/><br/><br/><br/><br/><br/><br/>");
  html.columnHeader();

  const int count = ctx.sections ? ctx.sections->count() : 0;
  std::vector<int> listed;
  for (int i = 0; i < count; ++i) {
    const CSectionItem& section = ctx.sections->item(i);
    auto it = buckets.find(section.nr);
    listed.push_back(section.nr);
    if (it == buckets.end()) continue;
    html.sectionHeading(sectionHeadingText(i + 1, section.desc));
    html.setRowSection(std::to_string(i + 1));
    writeCategories(html, it->second);
  }
  // Items in a section the table does not hold (a damaged or inconsistent
  // project) are listed under their own number rather than left out.
  for (const auto& [number, kinds] : buckets) {
    if (number == kNoSection || std::find(listed.begin(), listed.end(), number) != listed.end()) continue;
    html.sectionHeading(sectionHeadingText(number + 1, std::string()));
    html.setRowSection(std::to_string(number + 1));
    writeCategories(html, kinds);
  }
  if (auto it = buckets.find(kNoSection); it != buckets.end()) {
    html.sectionHeading(cp1250("<B>Pozostałe elementy</B>"));
    html.setRowSection({});
    writeCategories(html, it->second);
  }

  html.totals(ctx.vatPercent);
  html.footer(doc, kVersionSections);
  Estimate e;
  e.netTotal = html.netTotal();
  e.rows = html.takeRows();
  e.html = html.take();
  return e;
}

std::optional<std::string> sectionEstimateHtml(const CGraphicPlane& doc, const ReportContext& ctx) {
  std::optional<Estimate> e = sectionEstimate(doc, ctx);
  if (!e) return std::nullopt;
  return std::move(e->html);
}

}  // namespace reports
