// The project information report: the water source, the sections with their
// demand and devices, and the connection sets used on the plan.

#include <cstdio>
#include <map>
#include <unordered_map>

#include "document/graphic_plane.h"
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
  setsBlock(html, doc, ctx);
  html.footer(doc, kVersionSections);
  return html.take();
}

std::string projectInfoHtml(const CGraphicPlane& doc, const ReportContext& ctx) {
  return projectInfoHtml(doc, ctx, GatherSections(doc));
}

}  // namespace reports
