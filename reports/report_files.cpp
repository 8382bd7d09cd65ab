// Report files of the user projects folder, writing a report to a file, and
// the VAT rate and price multiplier the estimates use.

#include "document/app_state.h"
#include "document/registry_values.h"
#include "document/settings_file.h"
#include "partix.h"
#include "platform/folders.h"
#include "platform/message_sink.h"
#include "platform/textcodec.h"
#include "reports/report_html.h"
#include "reports/reports.h"

namespace reports {

std::string temporaryReportName(ReportKind kind, ReportUse use) {
  switch (kind) {
    case ReportKind::Summary: return use == ReportUse::Print ? "temp.html" : "temp_z.html";
    case ReportKind::Sections: return "temp_s.html";
    case ReportKind::Info: return "temp_i.html";
  }
  return "temp.html";
}

std::string temporaryReportPath(ReportKind kind, ReportUse use) {
  return platform::joinPath(platform::userProjectsDir(), temporaryReportName(kind, use));
}

std::string initialSaveName(ReportKind kind) {
  switch (kind) {
    case ReportKind::Summary: return "Kosztorys zbiorczy";
    case ReportKind::Sections: return "Kosztorys sekcje";
    case ReportKind::Info: return "Informacje";
  }
  return {};
}

std::string saveDialogFilter() { return "Zestawienia (*.html)|*.html|Wszystkie pliki (*.*)|*.*||"; }

bool writeReport(ReportKind kind, const CGraphicPlane& doc, const std::string& path, const ReportContext& ctx) {
  std::optional<std::string> text;
  switch (kind) {
    case ReportKind::Summary: text = summaryEstimateHtml(doc, ctx); break;
    case ReportKind::Sections: text = sectionEstimateHtml(doc, ctx); break;
    case ReportKind::Info: text = projectInfoHtml(doc, ctx); break;
  }
  if (!text) return false;  // the user has been told why
  if (!writeFileReplacing(path, *text)) {
    platform::tell(cp1250("Nie udało się zapisać raportu w pliku ") + platform::utf8ToCp1250(path), "Info!!",
                   platform::MessageIcon::Error);
    return false;
  }
  return true;
}

bool writeReport(ReportKind kind, const CGraphicPlane& doc, const std::string& path) {
  return writeReport(kind, doc, path, currentReportContext());
}

void tellNoProject() {
  platform::tell("Musisz najpierw stworzyc projekt, albo otworzyc istniejacy", "Info !!!!");
}

namespace {

bool stored(int status) {
  if (status == 0) return true;
  platform::tell(cp1250("Nie udało się zachować ustawienia w konfiguracji użytkownika."), "Info!!",
                 platform::MessageIcon::Error);
  return false;
}

}  // namespace

bool setVatPercent(float percent, bool store) {
  app().settings.vatPercent = percent;
  return !store || stored(saveVat(percent));
}

bool setPriceMultiplier(float multiplier, bool store) {
  app().settings.priceMultiplier = multiplier;
  UpdatePrizeMulFactor(multiplier);
  return !store || stored(saveMultiplier(multiplier));
}

}  // namespace reports
