#include "hydraulics/auto_design.h"

#include "document/graphic_plane.h"
#include "document/terrain.h"
#include "hydraulics/coverage.h"
#include "objects/polylines.h"
#include "platform/textcodec.h"
#include "reports/report_items.h"
#include "reports/reports.h"
#include "sections/section_list.h"

namespace design {

namespace {

std::string pl(const char* utf8) { return platform::utf8ToCp1250(utf8); }

// A copy of the plan: its drawing values, the source, every terrain
// primitive and object in order (deleted ones too, so that indices agree).
void copyPlan(const CGraphicPlane& from, CGraphicPlane& to) {
  to.scaleDenominator = from.scaleDenominator;
  to.pixelsPerCm = from.pixelsPerCm;
  to.zoom = from.zoom;
  to.sourcePressure = from.sourcePressure;
  to.sourceCapacity = from.sourceCapacity;
  to.hasWaterSource = from.hasWaterSource;
  for (const auto& p : from.terrain()) to.addPrimitive(p->GetType(), p->clone());
  for (const auto& o : from.objects()) to.addObject(o->listCode, o->clone());
}

}  // namespace

Result plan(const CGraphicPlane& doc, const CSectionList& sectionTable, const CDBSets* sets, const Options& options) {
  Result out;
  if (options.areas.empty()) {
    out.error = pl("Wybierz na planie obszary, które mają być nawadniane.");
    return out;
  }
  // The heads of every area, before anything is placed.
  for (size_t k = 0; k < options.areas.size(); ++k) {
    const CPrimitive* area = options.areas[k];
    layout::Result r = area ? layout::layOut(doc, *area, options.layout) : layout::Result{};
    if (!r.ok) {
      out.error = area ? r.error : pl("Tego obszaru nie ma na planie.");
      out.errorArea = static_cast<int>(k);
      return out;
    }
    out.heads += static_cast<int>(r.heads.size());
    out.layouts.push_back(std::move(r));
  }
  // (a document made sets the terrain tools' outline colour: kept)
  const Colour outline = app().settings.terrainLineColour;
  CGraphicPlane scratch;
  app().settings.terrainLineColour = outline;
  copyPlan(doc, scratch);
  const size_t firstNew = scratch.objects().size();
  for (const layout::Result& r : out.layouts) layout::place(scratch, r, options.layout);
  zoning::Options zoning;
  zoning.capacityShare = options.capacityShare;
  out.zones = zoning::divide(scratch, zoning);
  if (!out.zones.ok) {
    out.error = out.zones.error;
    return out;
  }
  CSectionList sections = sectionTable;
  zoning::apply(scratch, sections, out.zones);
  routing::Options routing = options.routing;
  routing.section = -1;
  routing.sectionCount = sections.count();
  const routing::Piped piped = routing::routeAndSize(scratch, sets, routing);
  if (!piped.ok) {
    out.error = piped.error;
    return out;
  }
  out.route = piped.route;
  out.sizing = piped.sizing;

  // What the design comes to, on the copy.
  CoverageOptions analysis;
  analysis.cellM = 0.25;
  const CoverageResult c = analyseCoverage(scratch, analysis);
  if (c.ok) out.sections = c.sections;
  reports::ReportContext ctx = reports::currentReportContext();
  ctx.sections = &sections;
  if (const auto estimate = reports::summaryEstimate(scratch, ctx)) out.netTotal = estimate->netTotal;
  std::vector<std::vector<PointD>> figures;
  for (const layout::Result& r : out.layouts)
    for (std::vector<PointD>& f : layout::outlines(doc, r, options.layout)) figures.push_back(std::move(f));
  const auto& objects = scratch.objects();
  for (size_t i = firstNew, k = 0; i < objects.size(); ++i) {
    const CWBase& o = *objects[i];
    if (o.deleted) continue;
    if ((o.GetType() == kTypeSprinkler || o.GetType() == kTypeStaticSprinkler) && k < figures.size()) {
      out.headOutlines.push_back(figures[k++]);
      out.headSections.push_back(o.GetSectionNo());
    } else if (o.GetType() == kTypePipe) {
      out.pipeRuns.push_back(static_cast<const CWPipe&>(o).verticesU);
      out.pipeSections.push_back(o.GetSectionNo());
    }
  }
  out.ok = true;
  return out;
}

void apply(CGraphicPlane& doc, CSectionList& sections, const Result& result, const Options& options,
           const network::SizingEdits& edits, const std::function<void()>& sectionsChanging) {
  if (!result.ok) return;
  for (const layout::Result& r : result.layouts)
    for (CWBase* o : layout::place(doc, r, options.layout))
      if (edits.added) edits.added(*o);
  if (sectionsChanging) sectionsChanging();
  zoning::apply(doc, sections, result.zones, edits.beforeChange);
  for (CWBase* o : routing::apply(doc, result.route))
    if (edits.added) edits.added(*o);
  network::applySizing(doc, result.sizing, edits);
}

}  // namespace design
