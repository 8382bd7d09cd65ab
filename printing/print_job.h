#pragma once
// The print job on Qt's print system: one page holding the sheet, on a
// printer or in a PDF file, and the same sheet as a picture.

#include <QImage>
#include <string>

#include "platform/canvas.h"
#include "printing/print_layout.h"
#include "printing/title_block.h"

class CGraphicPlane;
class QPagedPaintDevice;
class QPageLayout;
class QPainter;

struct PrintRequest {
  // N of the print scale 1:N; below 1, the drawing scale.
  int printScale = 0;
  // The project's background image; null prints none.
  const platform::Image* background = nullptr;
  // The title block's picture; null loads "table.bmp" of the interface folder.
  const TitleBlockPicture* titleBlock = nullptr;
};

// The print command's first step: without an open project it tells the user
// "Aby właczyć opcje wydruku należy otworzyć projekt" and gives false.
bool projectOpenForPrinting();

// The name of every print job: the application's title.
inline constexpr const char* kPrintJobName = "VERDIMO";

// Prints one page holding the sheet on `device` (a printer chosen in the
// print dialog, or a PDF writer). The page is turned as the layout says and
// laid out from the paper's corner; the paper size is left as the device
// has it. The device's resolution gives the pixels per centimetre. The plan
// view is repainted once the document has its screen state back.
// A device that cannot be painted on, or a page that cannot be finished, is
// told as "Błąd drukarki." and gives -1; 0 when the page is printed.
int runPrintJob(QPagedPaintDevice& device, CGraphicPlane& doc, const PrintLayout& layout,
                const PrintRequest& request);

// Whether the layout's paper can be printed on: both sides within 0..1000 cm.
bool usablePaper(const PrintLayout& layout);
// The layout's paper and orientation as a page, without margins of its own.
QPageLayout sheetPageLayout(const PrintLayout& layout);
// Draws the sheet on an active painter of a device with `dpi` dots per inch,
// from the device's origin. `preview`: as the print preview shows it, line
// widths by the preview's line slider and fixed sizes in screen pixels.
void paintSheet(QPainter& painter, double dpi, CGraphicPlane& doc, const PrintLayout& layout,
                const PrintRequest& request, bool preview = false);

// "Błąd drukarki." with its caption: a printer or a file that cannot be used.
void tellPrinterError();

// The resolutions a PDF or a picture of the sheet may be made at, dots per inch.
inline constexpr int kMinSheetDpi = 10;
inline constexpr int kMaxSheetDpi = 2400;
inline constexpr int kDefaultPdfDpi = 600;

// Writes the sheet as a one-page PDF of the layout's paper at `dpi`. The file
// is replaced only when the whole document has been made. -1 for a
// resolution outside kMinSheetDpi..kMaxSheetDpi (nothing is told) or a file
// that cannot be written ("Błąd drukarki.").
int printToPdf(CGraphicPlane& doc, const PrintLayout& layout, const std::string& path, int dpi,
               const PrintRequest& request);

// The sheet as a white picture of the layout's paper at `dpi`; a null image
// for a resolution outside kMinSheetDpi..kMaxSheetDpi.
QImage renderSheetImage(CGraphicPlane& doc, const PrintLayout& layout, int dpi, const PrintRequest& request);

// The document's background image as the plan view loads it (the file
// extracted into the user data folder, or the file the project names); an
// empty image when the project has none or it cannot be read.
platform::Image loadBackgroundImage(const CGraphicPlane& doc);
// Where the document's background image is read from.
std::string backgroundPath(const CGraphicPlane& doc);
// An image file in any format Qt reads (bmp, png, jpeg, tiff) as 0xFFRRGGBB
// pixels, transparent pixels black; an empty image when it cannot be read.
platform::Image readBackgroundFile(const std::string& path);

// The open project's sheet as the program's print layout describes it, in a
// one-page PDF at `path`. `printScale` below 1 takes the layout's print
// scale, or the drawing scale when the layout has none; `dpi` below 1 is
// kDefaultPdfDpi. -1 without an open project or when the file is not written.
int printOpenProjectToPdf(const std::string& path, int printScale = 0, int dpi = 0);
