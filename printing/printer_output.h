#pragma once
// Printing the sheet on a printer of the system (CUPS) through QPrinter.
// Header only: the model itself needs no print support; the program, which
// links Qt's print support for its print dialog, includes this file.

#include <QPrinter>
#include <string>

#include "printing/print_job.h"

// Prints the sheet on `printer`, as the print dialog left it (printer,
// paper, copies); the page is turned as the layout says. A printer that
// cannot be used is told as "Błąd drukarki." and gives -1.
inline int printOnPrinter(QPrinter& printer, CGraphicPlane& doc, const PrintLayout& layout,
                          const PrintRequest& request) {
  if (!printer.isValid()) {
    tellPrinterError();
    return -1;
  }
  printer.setDocName(QString::fromLatin1(kPrintJobName));
  printer.setCreator(QString::fromLatin1(kPrintJobName));
  printer.setFullPage(true);
  return runPrintJob(printer, doc, layout, request);
}

// Prints on the printer called `printerName` (the system's default when
// empty) at the printer's own resolution, on the layout's paper.
inline int printOnNamedPrinter(const std::string& printerName, CGraphicPlane& doc, const PrintLayout& layout,
                               const PrintRequest& request) {
  QPrinter printer(QPrinter::HighResolution);
  if (!printerName.empty()) printer.setPrinterName(QString::fromStdString(printerName));
  const double w = layout.paperWidth * 10, h = layout.paperHeight * 10;
  printer.setPageSize(QPageSize(QSizeF(std::min(w, h), std::max(w, h)), QPageSize::Millimeter, QString(),
                                QPageSize::FuzzyMatch));
  return printOnPrinter(printer, doc, layout, request);
}
