#pragma once
// The three HTML reports of a project: the summary cost estimate, the cost
// estimate by sections and the project information, each built as Windows-1250
// bytes or written to a file; the report files of the user projects folder;
// the VAT rate and the price multiplier the estimates use.

#include <optional>
#include <string>
#include <vector>

#include "reports/report_items.h"
#include "hydraulics/system_parameters.h"

class CGraphicPlane;

namespace reports {

// --- the reports ---------------------------------------------------------------

// A cost estimate: its HTML (Windows-1250), its priced rows in the order it
// lists them, and its net total.
struct Estimate {
  std::string html;
  std::vector<EstimateRow> rows;
  float netTotal = 0;
};

// "KOSZTORYS ZBIORCZY": every element of the plan and every extra report
// element, by category, one row per catalogue number, with the totals.
// Nothing (after the message for an extra report element the catalogue
// lacks) when the report cannot be made.
std::optional<std::string> summaryEstimateHtml(const CGraphicPlane& doc, const ReportContext& ctx);
std::optional<Estimate> summaryEstimate(const CGraphicPlane& doc, const ReportContext& ctx);

// "KOSZTORYS Z PODZIAŁEM NA SEKCJE": the same materials section by section,
// then the elements of no section, with the totals of the whole project.
std::optional<std::string> sectionEstimateHtml(const CGraphicPlane& doc, const ReportContext& ctx);
std::optional<Estimate> sectionEstimate(const CGraphicPlane& doc, const ReportContext& ctx);

// One section of the project information: a section summary of the
// hydraulics (GatherSections).
using SectionSummary = ::SectionSummary;

// "INFORMACJE O PROJEKCIE": the water source, one row per section summary
// and the connection sets used on the plan.
std::string projectInfoHtml(const CGraphicPlane& doc, const ReportContext& ctx,
                            const std::vector<SectionSummary>& sections);
std::string projectInfoHtml(const CGraphicPlane& doc, const ReportContext& ctx);

// --- files ------------------------------------------------------------------------

enum class ReportKind { Summary, Sections, Info };
enum class ReportUse { OpenInWordProcessor, Print };

// The temporary report file of the user projects folder: "temp_z.html",
// "temp.html", "temp_s.html" or "temp_i.html".
std::string temporaryReportName(ReportKind kind, ReportUse use);
std::string temporaryReportPath(ReportKind kind, ReportUse use);
// The name the save dialog offers: "Kosztorys zbiorczy", "Kosztorys sekcje",
// "Informacje".
std::string initialSaveName(ReportKind kind);
// The save dialog's filter ("Zestawienia (*.html)|*.html|Wszystkie pliki (*.*)|*.*||").
std::string saveDialogFilter();

// Writes the report of `kind` for `doc` to `path` through a temporary file
// renamed over the old one. False, after telling the user, when the report
// cannot be made or written; the old file then stays as it was.
bool writeReport(ReportKind kind, const CGraphicPlane& doc, const std::string& path, const ReportContext& ctx);
bool writeReport(ReportKind kind, const CGraphicPlane& doc, const std::string& path);

// --- exports ------------------------------------------------------------------------

enum class ExportFormat { Html, Csv, Pdf };

// The rows of an estimate as CSV for spreadsheets and scripts: UTF-8, comma
// separated, quoted where RFC 4180 asks, one header row
// "section,catalogueNo,name,unit,quantity,unitPrice,value", decimal points,
// no total row.
std::string estimateCsv(const std::vector<EstimateRow>& rows);

// Writes the report of `kind` to `path` in `format` (the estimates only for
// CSV; a PDF holds what the HTML shows, on A4 pages). False, after telling the
// user, when it cannot be made or written.
bool exportReport(ReportKind kind, ExportFormat format, const CGraphicPlane& doc, const std::string& path,
                  const ReportContext& ctx);
bool exportReport(ReportKind kind, ExportFormat format, const CGraphicPlane& doc, const std::string& path);

// The message the save commands show without an open project.
void tellNoProject();

// --- VAT and multiplier ------------------------------------------------------------

// Takes the VAT rate for the rest of the run and, with `store`, keeps it in
// the user's configuration. False, after telling the user, when it could not
// be stored (the value is taken all the same).
bool setVatPercent(float percent, bool store);
// Takes the price multiplier, recomputes the catalogue's multiplied prices
// and, with `store`, keeps it in the user's configuration.
bool setPriceMultiplier(float multiplier, bool store);

}  // namespace reports
