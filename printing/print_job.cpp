#include "printing/print_job.h"

#include <QBuffer>
#include <QImageReader>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cstring>

#include "document/graphic_plane.h"
#include "platform/canvas_qpainter.h"
#include "platform/file_sys.h"
#include "platform/folders.h"
#include "platform/message_sink.h"
#include "platform/replace_file.h"
#include "platform/textcodec.h"
#include "printing/sheet_renderer.h"
#include "startup/application.h"

void tellPrinterError() {
  const std::string text = platform::utf8ToCp1250("Błąd drukarki.");
  platform::tell(text, text, platform::MessageIcon::Error);
}

namespace {

QPageLayout::Orientation orientationOf(const PrintLayout& layout) {
  return layout.portrait ? QPageLayout::Portrait : QPageLayout::Landscape;
}

// The layout's paper as a page size: the sheet is given as oriented, a page
// size is named upright.
QPageSize pageSizeOf(const PrintLayout& layout) {
  const double w = layout.paperWidth * 10, h = layout.paperHeight * 10;  // mm
  return QPageSize(QSizeF(std::min(w, h), std::max(w, h)), QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
}


}  // namespace

bool usablePaper(const PrintLayout& layout) {
  return layout.paperWidth > 0 && layout.paperHeight > 0 && layout.paperWidth <= PrintLayout::kMaxLength &&
         layout.paperHeight <= PrintLayout::kMaxLength;
}

QPageLayout sheetPageLayout(const PrintLayout& layout) {
  return QPageLayout(pageSizeOf(layout), orientationOf(layout), QMarginsF(), QPageLayout::Millimeter);
}

void paintSheet(QPainter& painter, double dpi, CGraphicPlane& doc, const PrintLayout& layout,
                const PrintRequest& request, bool preview) {
  TitleBlockPicture loaded;
  const TitleBlockPicture* titleBlock = request.titleBlock;
  if (!titleBlock) {
    loaded = loadTitleBlockPicture();
    titleBlock = &loaded;
  }
  SheetRequest sheet;
  sheet.devicePixelsPerCm = pixelsPerCmOfDevice(dpi);
  sheet.printScale = request.printScale;
  sheet.background = request.background;
  sheet.titleBlock = titleBlock;
  sheet.preview = preview;
  platform::QPainterCanvas canvas(painter);
  renderSheet(doc, canvas, layout, sheet);
}

bool projectOpenForPrinting() {
  if (app().projectOpen && application().document) return true;
  platform::tell(platform::utf8ToCp1250("Aby właczyć opcje wydruku należy otworzyć projekt"), "Info",
                 platform::MessageIcon::Information);
  return false;
}

int runPrintJob(QPagedPaintDevice& device, CGraphicPlane& doc, const PrintLayout& layout,
                const PrintRequest& request) {
  // The sheet is measured from the paper's corner, margins and all: the
  // layout's margins are the only ones.
  QPageLayout page = device.pageLayout();
  page.setOrientation(orientationOf(layout));
  page.setMode(QPageLayout::FullPageMode);
  device.setPageLayout(page);

  QPainter painter;
  if (!painter.begin(&device)) {
    tellPrinterError();
    return -1;
  }
  paintSheet(painter, device.logicalDpiX(), doc, layout, request);
  // The document has its screen state back; the plan view shows it again.
  if (doc.requestRepaint) doc.requestRepaint();
  if (!painter.end()) {
    tellPrinterError();
    return -1;
  }
  return 0;
}

int printToPdf(CGraphicPlane& doc, const PrintLayout& layout, const std::string& path, int dpi,
               const PrintRequest& request) {
  if (dpi < kMinSheetDpi || dpi > kMaxSheetDpi || !usablePaper(layout)) return -1;
  // The document is made in memory first, so that a job that fails leaves
  // an earlier file of the same name as it was.
  QByteArray bytes;
  int status;
  {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setTitle(QString::fromLatin1(kPrintJobName));
    pdf.setCreator(QString::fromLatin1(kPrintJobName));
    pdf.setResolution(dpi);
    pdf.setPageLayout(sheetPageLayout(layout));
    status = runPrintJob(pdf, doc, layout, request);
  }
  if (status != 0) return status;
  if (!platform::replaceFile(path, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())))) {
    tellPrinterError();
    return -1;
  }
  return 0;
}

QImage renderSheetImage(CGraphicPlane& doc, const PrintLayout& layout, int dpi, const PrintRequest& request) {
  if (dpi < kMinSheetDpi || dpi > kMaxSheetDpi || !usablePaper(layout)) return {};
  const double p = pixelsPerCmOfDevice(dpi);
  QImage image(static_cast<int>(p * layout.paperWidth), static_cast<int>(p * layout.paperHeight),
               QImage::Format_RGB32);
  if (image.isNull()) return {};
  const int dotsPerMetre = static_cast<int>(std::lround(dpi / 0.0254));
  image.setDotsPerMeterX(dotsPerMetre);
  image.setDotsPerMeterY(dotsPerMetre);
  image.fill(Qt::white);
  QPainter painter(&image);
  paintSheet(painter, dpi, doc, layout, request);
  return image;
}

platform::Image readBackgroundFile(const std::string& path) {
  platform::Image out;
  QImageReader reader(QString::fromStdString(path));
  QImage image = reader.read();
  if (image.isNull()) return out;
  // Transparent pixels become opaque black: the picture as laid over black.
  if (image.hasAlphaChannel()) image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  image = image.convertToFormat(QImage::Format_RGB32);
  out.width = image.width();
  out.height = image.height();
  out.pixels.resize(static_cast<size_t>(out.width) * out.height);
  for (int y = 0; y < out.height; ++y)
    std::memcpy(&out.pixels[static_cast<size_t>(y) * out.width], image.constScanLine(y),
                static_cast<size_t>(out.width) * 4);
  return out;
}

std::string backgroundPath(const CGraphicPlane& doc) {
  // The image extracted from the project file is found by its bare name in
  // the user data folder.
  return doc.backgroundFile == doc.backgroundTempFile ? platform::joinPath(platform::userDataDir(), doc.backgroundFile)
                                                      : doc.backgroundFile;
}

platform::Image loadBackgroundImage(const CGraphicPlane& doc) {
  if (!doc.hasBackground || doc.backgroundFile.empty()) return {};
  return readBackgroundFile(backgroundPath(doc));
}

int printOpenProjectToPdf(const std::string& path, int printScale, int dpi) {
  CGraphicPlane* doc = application().document.get();
  if (!doc) return -1;
  const PrintLayout& layout = printLayout();
  PrintRequest request;
  request.printScale = printScale >= 1 ? printScale : layout.printScale;
  // The picture read when the project was opened, or the one inserted since.
  const std::shared_ptr<const platform::Image> background = application().background;
  request.background = background.get();
  return printToPdf(*doc, layout, path, dpi >= 1 ? dpi : kDefaultPdfDpi, request);
}
