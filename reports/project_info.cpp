// The project information report: the water source, the sections with their
// demand and devices, and the connection sets used on the plan.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <unordered_map>

#include "document/graphic_plane.h"
#include "hydraulics/coverage.h"
#include "hydraulics/network.h"
#include "objects/polylines.h"
#include "objects/static_sprinkler.h"
#include "platform/numtext.h"
#include "reports/report_html.h"
#include "reports/reports.h"
#include "sections/connection_sets.h"
#include "sections/section_list.h"

namespace reports {

namespace {

constexpr std::string_view kTable100 =
    "<table width=\"100%\" border=\"1\" cellpaddin=\"0\" cellspacing=\"0\" align=\"center\">";
constexpr std::string_view kTableBlue =
    "<table width=\"100%\" border=\"1\" cellpaddin=\"0\" cellspacing=\"0\" align=\"center\" bgcolor=\"#f0f0ff\" >";

// A colour 0x00BBGGRR as "rrggbb".
std::string colourText(Colour c) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%.2x%.2x%.2x", static_cast<unsigned>(c & 0xFF), static_cast<unsigned>((c >> 8) & 0xFF),
                static_cast<unsigned>((c >> 16) & 0xFF));
  return buf;
}

void waterSourceBlock(HtmlReport& html, const CGraphicPlane& doc) {
  static const std::string caption = cp1250("<B>Parametry źródła wody</B>");
  static const std::string pressure = cp1250("Ciśnienie [atm.]");
  static const std::string capacity = cp1250("Wydajność [m<sup>3</sup>/h]");
  html.put(kTableBlue);
  html.put("<tr><td align=\"center\">" + caption + "</td></tr></table>");
  html.put(kTable100);
  for (const auto& [label, value] : {std::pair{&pressure, doc.sourcePressure}, std::pair{&capacity, doc.sourceCapacity}})
    html.put("<tr><td width=\"20%\" >" + *label + "</td><td width=\"80%\" >" +
             platform::formatFixed(static_cast<double>(value), 2) + "</td></tr>");
  html.put("</table><br>");
}

void sectionsBlock(HtmlReport& html, const CGraphicPlane& doc, const ReportContext& ctx,
                   const std::vector<SectionSummary>& sections) {
  static const std::string devicesCaption = cp1250("Ilość urządzeń <br> [szt./m]");
  if (sections.empty()) return;

  // The colour of a section: that of its first object in plan order.
  std::unordered_map<int, Colour> colours;
  for (const auto& o : doc.objects())
    if (o && !o->deleted) colours.try_emplace(o->GetSectionNo(), o->sectionColour);

  html.put(kTableBlue);
  html.put("<tr><td align=\"center\"><B>Parametry sekcji</B></td></tr></table>");
  html.put(kTableBlue);
  html.put("<tr>");
  const std::pair<const char*, std::string> header[] = {{"20", "Nr sekcji"},
                                                        {"40", "Opis sekcji"},
                                                        {"10", "Kolor linii"},
                                                        {"15", "Wydatek <br> [m<sup>3</sup>/h]"},
                                                        {"20", devicesCaption}};
  for (const auto& [width, caption] : header)
    html.put(std::string("<td width=\"") + width + "%\" align=\"center\" >" + caption + "</td>");
  html.put("</tr></table>");
  html.put("<table width=\"100%\" border=\"1\" cellpaddin=\"0\" cellspacing=\"0\" align=\"center\"  >");

  int number = 0;
  for (const SectionSummary& s : sections) {
    std::string description;
    if (ctx.sections) {
      const CSectionItem& item = ctx.sections->find(s.sectionNo);
      if (item.nr != -1) description = item.desc;
    }
    auto colour = colours.find(s.sectionNo);
    std::string devices = std::to_string(s.deviceCount);
    if (s.hasDriplines) devices += " - " + platform::formatFixed(static_cast<double>(s.driplineLengthM), 0) + " [m]";
    const std::string flow = platform::formatFixed(static_cast<double>(s.flowSum), s.flowSum > 0.01f ? 2 : 4);

    html.put("<tr>");
    html.put("<td width=\"20%\" align=\"center\" >" + std::to_string(++number) + "</td>");
    html.put("<td width=\"40%\" >" + htmlEscape(description) + "</td>");
    html.put("<td width=\"10%\"  bgcolor=\"" + colourText(colour == colours.end() ? 0xFFFFFF : colour->second) +
             "\"   >&nbsp</td>");
    html.put("<td width=\"15%\" align=\"center\" >" + flow + "</td>");
    html.put("<td width=\"20%\" align=\"center\" >" + devices + "</td>");
    html.put("</tr>");
  }
  html.put("</table><br>");
}

void setsBlock(HtmlReport& html, const CGraphicPlane& doc, const ReportContext& ctx) {
  static const std::string caption = cp1250("<B>Zestawy połączeniowe użyte w projekcie</B>");
  static const std::string columns =
      cp1250("<tr><td width=\"20%\" bgcolor=\"#f0f0ff\" style=\"text-align:center\">Nazwa zestawu</td>"
             "<td width=\"80%\" bgcolor=\"#f0f0ff\" style=\"text-align:center\">Elementy składowe zestawu</td></tr>");
  if (!ctx.sets) return;
  const CUsedSetsReport used(doc, *ctx.sets);
  if (used.empty()) return;
  html.put(kTableBlue);
  html.put("<tr><td align=\"center\">" + caption + "</td></tr></table>");
  html.put(kTable100);
  html.put(columns);
  for (const CUsedSetsReport::Entry& set : used.entries()) {
    std::string elements;
    for (size_t i = 0; i < set.elementNames.size(); ++i) {
      if (i) elements += " - ";
      elements += set.elementNames[i];
    }
    html.put("<tr><td style=\"vertical-align:top;text-align:center;\" width=\"20%\" >" + htmlEscape(set.name) +
             "</td><td style=\"vertical-align:top;\" width=\"80%\" >" + reportName(elements) + "</td></tr>");
  }
  html.put("</table><br>");
}

// The watering analysis with its default options: per section the watered
// area, the precipitation, its uniformity, the water thrown outside and the
// run time for 25 mm a week in 3 runs.
void coverageBlock(HtmlReport& html, const CGraphicPlane& doc) {
  const CoverageOptions options;
  const CoverageResult r = analyseCoverage(doc, options);
  if (!r.ok || r.system.heads == 0) return;
  static const std::string caption = cp1250("<B>Analiza nawadniania</B>");
  html.put(kTableBlue);
  html.put("<tr><td align=\"center\">" + caption + "</td></tr></table>");
  html.put(kTableBlue);
  html.put("<tr>");
  static const std::string header[] = {cp1250("Nr sekcji"),
                                       cp1250("Powierzchnia nawadniana <br> [m<sup>2</sup>]"),
                                       cp1250("Opad średni <br> [mm/h]"),
                                       cp1250("Opad min. - maks. <br> [mm/h]"),
                                       cp1250("CU <br> [%]"),
                                       cp1250("DU<sub>lq</sub> <br> [%]"),
                                       cp1250("Poza terenem <br> [m<sup>3</sup>/h]"),
                                       cp1250("Czas nawadniania <br> [min]")};
  for (const std::string& h : header) html.put("<td width=\"12%\" align=\"center\" >" + h + "</td>");
  html.put("</tr></table>");
  html.put(kTable100);
  auto row = [&](const std::string& name, const CoverageFigures& f) {
    html.put("<tr>");
    const std::string cells[] = {name,
                                 platform::formatFixed(f.wateredAreaM2, 1),
                                 platform::formatFixed(f.meanMmH, 1),
                                 platform::formatFixed(f.minMmH, 1) + " - " + platform::formatFixed(f.maxMmH, 1),
                                 platform::formatFixed(f.cu, 0),
                                 platform::formatFixed(f.duLq, 0),
                                 platform::formatFixed(f.thrownOutsideM3H, 3),
                                 platform::formatFixed(f.runTimeMin, 0)};
    for (const std::string& c : cells) html.put("<td width=\"12%\" align=\"center\" >" + c + "</td>");
    html.put("</tr>");
  };
  for (const CoverageFigures& f : r.sections) row(std::to_string(f.section + 1), f);
  row(cp1250("Cały system"), r.system);
  html.put("</table>");
  const double dryShare = r.targetAreaM2 > 0 ? 100.0 * r.dryAreaM2 / r.targetAreaM2 : 0;
  html.put(cp1250("<p>Powierzchnia do nawadniania: ") + platform::formatFixed(r.targetAreaM2, 1) +
           cp1250(" m<sup>2</sup>, w tym bez nawadniania: ") + platform::formatFixed(r.dryAreaM2, 1) +
           cp1250(" m<sup>2</sup> (") + platform::formatFixed(dryShare, 0) +
           cp1250(" %). Czas nawadniania dla dawki 25 mm tygodniowo w 3 nawadnianiach, z poprawką na DU<sub>lq</sub>.</p><br>"));
}

// The pipe network: per section its flow, the heads' lowest and highest
// pressure and their spread, the fastest segment and the source pressure
// the lowest head needs.
void networkBlock(HtmlReport& html, const CGraphicPlane& doc, const ReportContext& ctx) {
  network::Options options;
  if (ctx.sections) options.sectionCount = ctx.sections->count();
  const network::Result r = network::analyse(doc, ctx.sets, options);
  if (!r.ok) return;
  bool any = false;
  for (const network::SectionResult& s : r.sections) any = any || (s.solved && !s.heads.empty());
  if (!any) return;
  static const std::string caption = cp1250("<B>Hydraulika sieci</B>");
  html.put(kTableBlue);
  html.put("<tr><td align=\"center\">" + caption + "</td></tr></table>");
  html.put(kTableBlue);
  html.put("<tr>");
  static const std::string header[] = {cp1250("Nr sekcji"),
                                       cp1250("Przepływ <br> [m<sup>3</sup>/h]"),
                                       cp1250("Ciśnienie głowic min. - maks. <br> [atm]"),
                                       cp1250("Różnica ciśnień <br> [%]"),
                                       cp1250("Prędkość maks. <br> [m/s]"),
                                       cp1250("Potrzebne ciśnienie źródła <br> [atm]"),
                                       cp1250("Uwagi")};
  for (const std::string& h : header) html.put("<td width=\"14%\" align=\"center\" >" + h + "</td>");
  html.put("</tr></table>");
  html.put(kTable100);
  for (const network::SectionResult& s : r.sections) {
    if (!s.solved || s.heads.empty()) continue;
    double fastest = 0;
    for (const network::PipeResult& p : s.pipes) fastest = std::max(fastest, p.velocityMS);
    const std::string cells[] = {std::to_string(s.section + 1),
                                 platform::formatFixed(s.flowM3H, 3),
                                 platform::formatFixed(s.minHeadPressureAtm, 2) + " - " +
                                     platform::formatFixed(s.maxHeadPressureAtm, 2),
                                 platform::formatFixed(s.pressureSpreadPct, 1),
                                 platform::formatFixed(fastest, 2),
                                 std::isfinite(s.requiredSourcePressureAtm)
                                     ? platform::formatFixed(s.requiredSourcePressureAtm, 2)
                                     : std::string("-"),
                                 std::to_string(s.warnings.size())};
    html.put("<tr>");
    for (const std::string& c : cells) html.put("<td width=\"14%\" align=\"center\" >" + c + "</td>");
    html.put("</tr>");
  }
  html.put("</table>");
  html.put(cp1250("<p>Ciśnienia i przepływy sekcji nawadnianych pojedynczo, straty tarcia wg Hazena–Williamsa "
                  "(C = 135); dopuszczalna różnica ciśnień głowic 20 %, prędkość wody do 1,5 m/s.</p><br>"));
}

}  // namespace

std::string projectInfoHtml(const CGraphicPlane& doc, const ReportContext& ctx,
                            const std::vector<SectionSummary>& sections) {
  HtmlReport html;
  html.head();
  html.line("<Center style=\"font-size:20px;font-weight:bold;\">");
  html.line("INFORMACJE O PROJEKCIE");
  html.line("</Center>");
  html.line("<br>");
  html.companyBlock(doc);
  html.line("<br/>");
  html.projectBlock(doc);
  html.line("<br/><br/><br/>");
  html.line("<br/><br/>");
  html.line("<br/><br/>");
  waterSourceBlock(html, doc);
  sectionsBlock(html, doc, ctx, sections);
  coverageBlock(html, doc);
  networkBlock(html, doc, ctx);
  setsBlock(html, doc, ctx);
  html.footer(doc, kVersionSections);
  return html.take();
}

std::string projectInfoHtml(const CGraphicPlane& doc, const ReportContext& ctx) {
  return projectInfoHtml(doc, ctx, GatherSections(doc));
}

}  // namespace reports
