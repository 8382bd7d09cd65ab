#pragma once
// The HTML text the reports share: the head, the title, the company and
// project blocks, the column header, category tables with their rows, the
// totals and the footer, and the number formats. The text is built in memory
// as Windows-1250 bytes; each block writes exactly the lines (and the line
// breaks) that the reports' readers have always been given.

#include <string>
#include <string_view>

#include "reports/report_items.h"

class CGraphicPlane;

namespace reports {

// --- texts --------------------------------------------------------------------

// A text the user typed, safe inside HTML text and attribute values: "&",
// "<", ">" and '"' become entities.
std::string htmlEscape(std::string_view text);

// Money: two decimals with a decimal comma ("1234,50"), no thousands separator.
std::string moneyText(float value);
// The VAT rate of the totals: one decimal (with a point) when it has a
// fractional part, else the whole number.
std::string vatRateText(float rate);

// A literal of the sources (UTF-8) as report text (Windows-1250).
std::string cp1250(std::string_view utf8);

// --- the document being written ----------------------------------------------

class HtmlReport {
 public:
  HtmlReport() { text_.reserve(1 << 16); }

  // Appends `s` as it stands / followed by a line break.
  void put(std::string_view s) { text_.append(s); }
  void line(std::string_view s) {
    text_.append(s);
    text_.push_back('\n');
  }

  // Lines 1-11: "<html>" up to "<body>".
  void head();
  // The estimates' title: "<b>" and the centred title on three lines, then
  // "</b><br/>" with no line break (the company block continues the line).
  void estimateTitle(std::string_view title);
  // The company block of the document (14 lines).
  void companyBlock(const CGraphicPlane& doc);
  // The project block: investor, object, project number and date; its last
  // line has no line break.
  void projectBlock(const CGraphicPlane& doc);
  // The column header of the estimates; its last line has no line break.
  void columnHeader();
  // Opens the table of a category.
  void categoryHeader(std::string_view caption);
  // Rows of a piece category (count) and of a metre category (total rounded
  // up); each adds price x quantity to the running net total.
  void pieceRow(const CEstimateLine& line);
  void metreRow(const CEstimateLine& line);
  void pieceRows(const CEstimateGroup& group);
  void metreRows(const CEstimateGroup& group);
  // The summary estimate's HADAR heading, and one component row of a base
  // table ("Podstawa"): n pieces at `price`, added to the running total.
  void hadarHeader();
  void hadarComponentRow(std::string_view catNo, std::string_view name, float price, int n);
  // The estimate by sections: the heading block of a section, and the row of
  // one report item (its quantity rounded up), added to the running total.
  void sectionHeading(std::string_view text);
  void sectionRow(const CReportItem& item);
  // "</table>" on a line of its own.
  void closeTable() { line("</table>"); }
  // The net, VAT and gross amounts of the running total at `vatPercent`.
  void totals(float vatPercent);
  // The author's and the program's lines, "</body>" and "</html>".
  void footer(const CGraphicPlane& doc, std::string_view version);

  // Adds to the running net total (32-bit float arithmetic).
  void addToTotal(float amount) { net_ += amount; }
  float netTotal() const { return net_; }

  const std::string& text() const { return text_; }
  std::string take() { return std::move(text_); }

  // Every priced row written so far, in order; the rows written from now on
  // belong to `section` (empty: none).
  const std::vector<EstimateRow>& rows() const { return rows_; }
  std::vector<EstimateRow> takeRows() { return std::move(rows_); }
  void setRowSection(std::string section) { rowSection_ = std::move(section); }

 private:
  void record(std::string_view catNo, std::string_view name, const char* unit, int64_t quantity, float price,
              float value);

  std::string text_;
  float net_ = 0;
  std::vector<EstimateRow> rows_;
  std::string rowSection_;
};

// The version texts of the footers.
inline constexpr std::string_view kVersionSummary = "VERDIMO ver. 4.2";
inline constexpr std::string_view kVersionSections = "VERDIMO  ver. 4.2";

}  // namespace reports
