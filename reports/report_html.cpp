#include "reports/report_html.h"

#include "partix.h"

#include <climits>
#include <cmath>

#include "document/graphic_plane.h"
#include "platform/numtext.h"
#include "platform/textcodec.h"

namespace reports {

// --- texts --------------------------------------------------------------------

std::string htmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    switch (ch) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out.push_back(ch);
    }
  }
  return out;
}

std::string moneyText(float value) {
  std::string s = platform::formatFixed(static_cast<double>(value), 2);
  for (char& ch : s)
    if (ch == '.') ch = ',';
  return s;
}

std::string vatRateText(float rate) {
  if (rate - std::floor(rate) > 0.0f) return platform::formatFixed(static_cast<double>(rate), 1);
  return std::to_string(integerPart(rate));
}

std::string cp1250(std::string_view utf8) { return platform::utf8ToCp1250(utf8); }

// --- blocks -------------------------------------------------------------------

namespace {

constexpr std::string_view kTable100 =
    "<table width=\"100%\" border=\"1\" cellpaddin=\"0\" cellspacing=\"0\" align=\"center\">";
constexpr std::string_view kTable100NoBorder =
    "<table width=\"100%\" border=\"0\" cellpaddin=\"0\" cellspacing=\"0\" align=\"center\">";

std::string nbsp16() {
  std::string s;
  for (int i = 0; i < 16; ++i) s += "&nbsp";
  return s;
}

}  // namespace

void HtmlReport::head() {
  line("<html>");
  line("<meta http-equiv=Content-Type content=\"text/html; charset=Windows-1250\">");
  line("<style type=\"text/css\">");
  line("<!--");
  line("td {  font-family: Verdana, Arial, Helvetica,sans-serif; font-size: 12px; font-style: normal; "
       "line-height: normal; color: #000000}");
  line("-->");
  line("</style>");
  line("<br>");
  line("<head>");
  line("</head>");
  line("<body>");
}

void HtmlReport::estimateTitle(std::string_view title) {
  line("<b><Center style=\"font-size:20px;font-weight:bold;\">");
  line(title);
  line("</Center>");
  put("</b><br/>");
}

void HtmlReport::companyBlock(const CGraphicPlane& doc) {
  line("<table>");
  line("<tr>");
  line("<td>");
  // The logo's path stands in an attribute value: escaped so that a quote in
  // it cannot end the attribute.
  line("<img height=\"70\" src=\"file:\\\\" + htmlEscape(doc.companyLogo) + "\"/>");
  line("</td>");
  line("<td style=\"vertical-align:top\">");
  for (const std::string* t :
       {&doc.companyName, &doc.companyAddress, &doc.companyPhone, &doc.companyEmail, &doc.companyWww})
    line("&nbsp " + htmlEscape(*t) + "<br>");
  line("</td>");
  line("</tr>");
  line("</table>");
}

void HtmlReport::projectBlock(const CGraphicPlane& doc) {
  line("<table width=\"450px\" border=\"0\" cellpaddin=\"0\" cellspacing=\"0\" align=\"left\">");
  line("<tr><td width=\"80px\">Inwestor: &nbsp<br>");
  line("</td><td width=\"350px\">" + htmlEscape(doc.investor));
  line("</td></tr><tr><td width=\"80px\">Obiekt: &nbsp");
  line("</td><td width=\"350px\">" + htmlEscape(doc.objectName));
  line("</td></tr><tr><td width=\"80px\">Projekt nr: &nbsp");
  line("</td><td width=\"350px\">" + htmlEscape(doc.projectNo));
  line("</td></tr><tr><td width=\"80px\">Data: &nbsp");
  line("</td><td width=\"350px\">" + htmlEscape(doc.projectDate));
  put("</td></tr></table>");
}

void HtmlReport::columnHeader() {
  static const std::string last = cp1250(
      "</b></td><td align=\"center\" width=\"10%\" bgcolor=\"#f0f0f0\"><b>Ilość  [szt./m]<br></b></td>"
      "<td align=\"center\" width=\"13%\" bgcolor=\"#f0f0f0\"><b>Cena netto [PLN]<br></b></td>"
      "<td align=\"center\" width=\"13%\" bgcolor=\"#f0f0f0\"><b>Wartość netto [PLN]<br></b></td></tr></table>");
  line(kTable100);
  line("<tr><td align=\"center\" width=\"9%\" bgcolor=\"#f0f0f0\"><b>Nr kat.<br>"
       "<img align=\"bottom\" height=\"1\" width=\"64\" src=\"spacer.gif\">");
  line("</b></td><td align=\"center\" width=\"55%\" bgcolor=\"#f0f0f0\"><b>Nazwa elementu<br>"
       "<img align=\"bottom\" height=\"1\" width=\"45\" src=\"spacer.gif\">");
  put(last);
}

void HtmlReport::categoryHeader(std::string_view caption) {
  static const std::string spaces = nbsp16();
  line(kTable100);
  line("<tr>");
  line("<td width=\"9%\" bgcolor=\"#f0f0f0\">" + spaces + "</td>");
  put("<td width=\"55%\" bgcolor=\"#f0f0f0\">");
  put(caption);
  line("</td>");
  line("<td width=\"10%\" bgcolor=\"#f0f0f0\">&nbsp</td>");
  line("<td width=\"13%\" bgcolor=\"#f0f0f0\">&nbsp</td>");
  line("<td width=\"13%\" bgcolor=\"#f0f0f0\">&nbsp</td>");
  line("</tr>");
}

void HtmlReport::pieceRow(const CEstimateLine& l) {
  const float value = l.price * static_cast<float>(l.count);
  line("<tr>");
  line("<td  bgcolor=\"#ffffff\">" + l.catNo + "</td>");
  line("<td  bgcolor=\"#ffffff\">" + l.name);
  line("</td>");
  line("<td  align=\"center\" bgcolor=\"#ffffff\">" + std::to_string(l.count) + "</td>");
  line("<td align=\"right\" bgcolor=\"#ffffff\">" + moneyText(l.price) + "</td>");
  line("<td align=\"right\" bgcolor=\"#ffffff\">" + moneyText(value) + "</td>");
  line("</tr>");
  addToTotal(value);
  record(l.catNo, l.name, "szt.", l.count, l.price, value);
}

void HtmlReport::record(std::string_view catNo, std::string_view name, const char* unit, int64_t quantity, float price,
                        float value) {
  rows_.push_back({rowSection_, std::string(catNo), std::string(name), unit, quantity, price, value});
}

void HtmlReport::metreRow(const CEstimateLine& l) {
  const int64_t n = roundUpQuantity(l.total);
  const float value = l.price * static_cast<float>(n);
  line("<tr>");
  line("<td  bgcolor=\"#ffffff\">" + l.catNo + "</td>");
  line("<td  bgcolor=\"#ffffff\">" + l.name + "</td>");
  line("<td align=\"center\" bgcolor=\"#ffffff\">" + std::to_string(n) + "</td>");
  line("<td align=\"right\" bgcolor=\"#ffffff\">" + moneyText(l.price) + "</td>");
  line("<td align=\"right\" bgcolor=\"#ffffff\">" + moneyText(value) + "</td>");
  line("</tr>");
  addToTotal(value);
  record(l.catNo, l.name, "m", n, l.price, value);
}

void HtmlReport::pieceRows(const CEstimateGroup& group) {
  for (const CEstimateLine& l : group.lines()) pieceRow(l);
}

void HtmlReport::metreRows(const CEstimateGroup& group) {
  for (const CEstimateLine& l : group.lines()) metreRow(l);
}

void HtmlReport::hadarHeader() {
  static const std::string spaces = nbsp16();
  line(kTable100);
  line("<td width=\"9%\" bgcolor=\"#f0f0f0\">" + spaces + "</td>");
  line("<td width=\"55%\" bgcolor=\"#f0f0f0\">Mikrozraszacze HADAR</td>");
  line("<td width=\"10%\" bgcolor=\"#f0f0f0\"></td>");
  line("<td width=\"13%\" bgcolor=\"#f0f0f0\"></td>");
  line("<td width=\"13%\" bgcolor=\"#f0f0f0\"></td>");
  line("</table>");
}

void HtmlReport::hadarComponentRow(std::string_view catNo, std::string_view name, float price, int n) {
  const float value = price * static_cast<float>(n);
  line("<tr>");
  put("<td width=\"9%\" bgcolor=\"#ffffff\">");
  put(catNo);
  line("</td>");
  line("<td width=\"55%\" bgcolor=\"#ffffff\">" + reportName(name));
  line("</td>");
  line("<td align=\"center\" width=\"10%\" bgcolor=\"#ffffff\">" + std::to_string(n) + "</td>");
  line("<td align=\"right\" width=\"13%\" bgcolor=\"#ffffff\">" + moneyText(price) + "</td>");
  line("<td align=\"right\" width=\"13%\" bgcolor=\"#ffffff\">" + moneyText(value) + "</td>");
  addToTotal(value);
  record(catNo, reportName(name), "szt.", n, price, value);
}

void HtmlReport::sectionHeading(std::string_view text) {
  static const std::string spaces = nbsp16();
  line(kTable100);
  line("<tr>");
  line("<td width=\"9%\" bgcolor=\"#e0e0e0\">" + spaces + "</td>");
  put("<td width=\"90%\" bgcolor=\"#e0e0e0\">");
  put(text);
  line("</td>");
  line("</tr>");
  line("</table>");
}

void HtmlReport::sectionRow(const CReportItem& item) {
  const float q = static_cast<float>(roundUpQuantity(item.quantity));
  const float value = item.price * q;
  line("<tr>");
  line("<td  bgcolor=\"#ffffff\"  align=\"center\"  >" + item.catNo + "</td>");
  line("<td  bgcolor=\"#ffffff\">" + reportName(item.name) + "</td>");
  line("<td align=\"center\" bgcolor=\"#ffffff\">" + platform::formatFixed(q, 0) + "</td>");
  line("<td align=\"right\" bgcolor=\"#ffffff\">" + moneyText(item.price) + "</td>");
  line("<td align=\"right\" bgcolor=\"#ffffff\">" + moneyText(value) + "</td>");
  line("</tr>");
  addToTotal(value);
  const bool metres = item.kind == kKindPipe || item.kind == kKindDripLine || item.kind == kKindCable;
  record(item.catNo, reportName(item.name), metres ? "m" : "szt.", static_cast<int64_t>(q), item.price, value);
}

void HtmlReport::totals(float vatPercent) {
  static const std::string netCaption = cp1250("Całkowity koszt instalacji netto:");
  static const std::string grossCaption = cp1250("Całkowity koszt instalacji brutto:");
  const float share = vatPercent / 100.0f;
  const float vat = share * net_;
  const float gross = (share + 1.0f) * net_;
  constexpr std::string_view cell = "</b></td><td align=\"right\" bgcolor=\"#ffffff\" ><b>";
  constexpr std::string_view nextRow = " PLN &nbsp</b></td></tr><tr><td align=\"right\" bgcolor=\"#ffffff\" ><b>";
  line("<br>");
  line("<table width=\"100%\" border=\"2\" cellpaddin=\"0\" cellspacing=\"0\" align=\"center\">");
  line("<tr><td align=\"right\" width=\"80%\" bgcolor=\"#ffffff\" ><b>" + netCaption);
  put("</b></td><td align=\"right\" width=\"20%\" bgcolor=\"#ffffff\" ><b>");
  put(moneyText(net_));
  put(nextRow);
  line("VAT [" + vatRateText(vatPercent) + "%]:");
  put(cell);
  put(moneyText(vat));
  put(nextRow);
  line(grossCaption);
  put(cell);
  put(moneyText(gross));
  line(" PLN &nbsp</b></td></tr></table><br>");
}

void HtmlReport::footer(const CGraphicPlane& doc, std::string_view version) {
  line(kTable100NoBorder);
  line("<td align=\"right\">Autor projektu: " + htmlEscape(doc.author) + " &nbsp <br>");
  line("</td></table><br>");
  line(kTable100NoBorder);
  put("<td align=\"right\">");
  put(version);
  line(" &nbsp <br>");
  line("</td></table></body>");
  line("</html>");
}

}  // namespace reports
