// The estimates for other programs: CSV rows, and every report as a PDF.

#include <QByteArray>
#include <QFileInfo>
#include <QImage>
#include <QVariant>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QBuffer>
#include <QString>
#include <QTextDocument>
#include <QUrl>

#include "platform/message_sink.h"
#include "platform/numtext.h"
#include "platform/replace_file.h"
#include "platform/textcodec.h"
#include "reports/report_html.h"
#include "reports/reports.h"

namespace reports {
namespace {

// A field of a CSV row: quoted when it holds a comma, a quote or a line break.
std::string csvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

// The reports name the company logo as "file:\\\\<path>", as the Windows
// shell reads it; here the path is read as it stands.
class ReportDocument : public QTextDocument {
 protected:
  QVariant loadResource(int type, const QUrl& name) override {
    if (type == QTextDocument::ImageResource) {
      QString path = QUrl::fromPercentEncoding(name.toEncoded());
      if (path.startsWith("file:", Qt::CaseInsensitive)) {
        path = path.mid(5);
        while (path.startsWith('\\')) path.remove(0, 1);
        // No logo named: nothing to show.
        if (path.isEmpty() || !QFileInfo::exists(path)) return QImage();
        QImage image(path);
        if (!image.isNull()) return image;
      }
    }
    return QTextDocument::loadResource(type, name);
  }
};

bool writeBytes(const std::string& path, const QByteArray& bytes) {
  return platform::replaceFile(path, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

// The report's HTML laid out on A4 pages of a PDF; relative links (the
// company logo) resolve against `folder`.
bool writePdf(const std::string& html, const std::string& path, const std::string& folder) {
  QByteArray bytes;
  {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setCreator("VERDIMO");
    // Sizes in pixels mean what they mean on a screen (1/96 inch).
    pdf.setResolution(96);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                                  QPageLayout::Millimeter));
    ReportDocument document;
    document.setBaseUrl(QUrl::fromLocalFile(QString::fromStdString(folder) + "/"));
    QString text = QString::fromStdString(platform::cp1250ToUtf8(html));
    // Browsers take a colour without its "#"; the layout engine wants it.
    static const QRegularExpression bareColour("bgcolor=\"([0-9a-fA-F]{6})\"");
    text.replace(bareColour, "bgcolor=\"#\\1\"");
    static const QRegularExpression bareSpace("&nbsp(?!;)");
    text.replace(bareSpace, "&nbsp;");
    document.setHtml(text);
    document.print(&pdf);
  }
  return writeBytes(path, bytes);
}

void tellNotWritten(const std::string& path) {
  platform::tell(cp1250("Nie udało się zapisać raportu w pliku ") + platform::utf8ToCp1250(path), "Info!!",
                 platform::MessageIcon::Error);
}

}  // namespace

std::string estimateCsv(const std::vector<EstimateRow>& rows) {
  std::string out = "section,catalogueNo,name,unit,quantity,unitPrice,value\r\n";
  for (const EstimateRow& r : rows) {
    out += csvField(r.section) + ',' + csvField(platform::cp1250ToUtf8(r.catalogueNo)) + ',' +
           csvField(platform::cp1250ToUtf8(r.name)) + ',' + r.unit + ',' + std::to_string(r.quantity) + ',' +
           platform::formatFixed(r.price, 2) + ',' + platform::formatFixed(r.value, 2) + "\r\n";
  }
  return out;
}

bool exportReport(ReportKind kind, ExportFormat format, const CGraphicPlane& doc, const std::string& path,
                  const ReportContext& ctx) {
  if (format == ExportFormat::Html) return writeReport(kind, doc, path, ctx);
  std::optional<Estimate> estimate;
  if (kind == ReportKind::Summary) estimate = summaryEstimate(doc, ctx);
  if (kind == ReportKind::Sections) estimate = sectionEstimate(doc, ctx);
  if (kind != ReportKind::Info && !estimate) return false;  // the user has been told why
  bool written = false;
  if (format == ExportFormat::Csv) {
    if (!estimate) return false;
    const std::string csv = estimateCsv(estimate->rows);
    written = writeBytes(path, QByteArray(csv.data(), static_cast<qsizetype>(csv.size())));
  } else {
    const std::string html = estimate ? estimate->html : projectInfoHtml(doc, ctx);
    // The logo the report names lies in the projects folder, as for the HTML.
    written = writePdf(html, path, QFileInfo(QString::fromStdString(temporaryReportPath(kind, ReportUse::Print)))
                                       .absolutePath()
                                       .toStdString());
  }
  if (!written) tellNotWritten(path);
  return written;
}

bool exportReport(ReportKind kind, ExportFormat format, const CGraphicPlane& doc, const std::string& path) {
  return exportReport(kind, format, doc, path, currentReportContext());
}

}  // namespace reports
