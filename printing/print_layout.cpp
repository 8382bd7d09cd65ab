#include "printing/print_layout.h"

#include <cmath>

#include "document/token_stream.h"
#include "platform/numtext.h"

namespace {

// Truncation toward zero that stays within an int whatever a file or a user
// put into the layout.
int truncToInt(double v) {
  if (!std::isfinite(v)) return 0;
  constexpr double kLimit = 1.0e9;
  if (v > kLimit) v = kLimit;
  if (v < -kLimit) v = -kLimit;
  return static_cast<int>(v);
}

bool isLength(double v) { return v >= 0 && v <= PrintLayout::kMaxLength; }

std::string offsetText(double v) {
  std::string t = platform::formatFixed(v, 2);
  // An offset that rounds to zero is shown without a sign.
  if (t == "-0.00") t = "0.00";
  return t;
}

}  // namespace

std::array<PaperSize, kPaperCount>& paperTable() {
  static std::array<PaperSize, kPaperCount> table{{
      {"A4", 29.7f, 21.0f, 100, 100},
      {"A3", 42.0f, 29.7f, 100, 50},
      {"A2", 59.4f, 42.0f, 50, 50},
      {"A1", 84.1f, 59.4f, 50, 25},
      {"A0", 118.9f, 84.1f, 25, 25},
      {"Dowolny", 0.0f, 0.0f, 25, 25},
  }};
  return table;
}

int findPaper(double longSide, double shortSide) {
  const auto& table = paperTable();
  for (int i = 0; i < kPaperCount; ++i) {
    const PaperSize& p = table[static_cast<size_t>(i)];
    if (std::fabs(p.longSide - longSide) < 0.01 && std::fabs(p.shortSide - shortSide) < 0.01) return i;
  }
  return -1;
}

// --- the layout ---------------------------------------------------------------

void PrintLayout::reset() { *this = PrintLayout{}; }

void PrintLayout::resetForNewProject(const DefaultMargins& defaults) {
  reset();
  setMargins(defaults);
}

bool PrintLayout::choosePaper(int index) {
  if (index < 0 || index >= kPaperCount) return false;
  paperIndex = index;
  const PaperSize& p = paperTable()[static_cast<size_t>(index)];
  paperWidth = portrait ? p.shortSide : p.longSide;
  paperHeight = portrait ? p.longSide : p.shortSide;
  return true;
}

bool PrintLayout::chooseCustomPaper(double width, double height) {
  if (!isLength(width) || !isLength(height)) return false;
  PaperSize& custom = paperTable()[kPaperCustom];
  custom.longSide = static_cast<float>(portrait ? height : width);
  custom.shortSide = static_cast<float>(portrait ? width : height);
  return choosePaper(kPaperCustom);
}

void PrintLayout::chooseOrientation(bool portraitSheet) {
  portrait = portraitSheet;
  choosePaper(paperIndex);
}

int PrintLayout::previewZoom() const {
  if (paperIndex < 0 || paperIndex >= kPaperCount) return 100;
  const PaperSize& p = paperTable()[static_cast<size_t>(paperIndex)];
  return portrait ? p.zoomPortrait : p.zoomLandscape;
}

void PrintLayout::setMargins(const DefaultMargins& m) {
  marginLeft = m.left;
  marginRight = m.right;
  marginTop = m.top;
  marginBottom = m.bottom;
}

std::string PrintLayout::planOffsetXText() const { return offsetText(planOffsetX); }
std::string PrintLayout::planOffsetYText() const { return offsetText(-planOffsetY); }

void PrintLayout::setPlanPosition(std::string_view oxText, std::string_view oyText) {
  const double ox = platform::parseUserDecimal(oxText);
  const double oy = platform::parseUserDecimal(oyText);
  planOffsetX = std::isfinite(ox) ? ox : 0.0;
  planOffsetY = std::isfinite(oy) ? -oy : 0.0;
}

void PrintLayout::ensurePrintScale(float scaleDenominator) {
  if (printScale != 0) return;
  const int n = truncToInt(scaleDenominator);
  printScale = n < 0 ? 0 : (n > kMaxPrintScale ? kMaxPrintScale : n);
}

void PrintLayout::writeBlock(TokenWriter& out) const {
  out.writeInt(printLawnFill ? 1 : 0);
  out.writeInt(printBackground ? 1 : 0);
  out.writeInt(lineWidthPercent);
  out.writeDouble(paperWidth);
  out.writeDouble(paperHeight);
  out.writeInt(printGrid ? 1 : 0);
  out.writeInt(printScale);
  out.writeDouble(planOffsetX);
  out.writeDouble(planOffsetY);
  out.writeInt(portrait ? 1 : 0);
}

bool PrintLayout::readBlock(TokenReader& in) {
  bool complete = true;
  auto readInt = [&] {
    if (in.atEnd()) complete = false;
    return in.readInt();
  };
  auto readReal = [&] {
    if (in.atEnd()) complete = false;
    return in.readDouble();
  };

  PrintLayout read = *this;
  read.printLawnFill = readInt() == 1;
  read.printBackground = readInt() == 1;
  read.lineWidthPercent = readInt();
  read.paperWidth = readReal();
  read.paperHeight = readReal();
  read.printGrid = readInt() == 1;
  read.printScale = readInt();
  read.planOffsetX = readReal();
  read.planOffsetY = readReal();
  read.portrait = readInt() == 1;

  if (!complete || !isLength(read.paperWidth) || !isLength(read.paperHeight) || read.printScale < 0 ||
      read.printScale > kMaxPrintScale)
    return false;
  // The preview's slider knows 1..100 only.
  if (read.lineWidthPercent < 1) read.lineWidthPercent = 1;
  if (read.lineWidthPercent > 100) read.lineWidthPercent = 100;

  const double longSide = read.portrait ? read.paperHeight : read.paperWidth;
  const double shortSide = read.portrait ? read.paperWidth : read.paperHeight;
  read.paperIndex = findPaper(longSide, shortSide);
  if (read.paperIndex < 0) {
    PaperSize& custom = paperTable()[kPaperCustom];
    custom.longSide = static_cast<float>(longSide);
    custom.shortSide = static_cast<float>(shortSide);
    read.paperIndex = kPaperCustom;
  }
  *this = read;
  return true;
}

PrintLayout& printLayout() {
  static PrintLayout layout;
  return layout;
}

// --- the sheet in device pixels -------------------------------------------------

SheetGeometry sheetGeometry(const PrintLayout& layout, double p, float planPixelsPerCm, float scaleDenominator,
                            int printScale) {
  SheetGeometry g;
  g.width = truncToInt(p * layout.paperWidth);
  g.height = truncToInt(p * layout.paperHeight);
  g.marginLeft = truncToInt(layout.marginLeft * p);
  g.marginRight = truncToInt(layout.marginRight * p);
  g.marginTop = truncToInt(layout.marginTop * p);
  g.marginBottom = truncToInt(layout.marginBottom * p);
  g.frameLeft = g.marginLeft;
  g.frameTop = g.marginTop;
  g.frameRight = g.width - g.marginRight;
  g.frameBottom = g.height - g.marginBottom;

  // planPixelsPerCm plan units make one centimetre of the drawing at
  // 1:scaleDenominator; at 1:N that centimetre shrinks by scaleDenominator / N.
  const double n = printScale >= 1 ? printScale : scaleDenominator;
  if (planPixelsPerCm > 0) {
    g.titleUnit = p / planPixelsPerCm;
    if (n > 0 && scaleDenominator > 0) g.planScale = g.titleUnit * scaleDenominator / n;
  }
  g.originX = truncToInt(g.marginLeft + p * layout.planOffsetX);
  g.originY = truncToInt(g.marginTop + p * layout.planOffsetY);
  return g;
}
