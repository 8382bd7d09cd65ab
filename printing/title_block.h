#pragma once
// The title block of the printed sheet: the picture "table.bmp" stretched
// into the lower right corner of the sheet, inside the margins, with the
// labels and the project's data written into it. The printer and the print
// preview draw it with the same routine; only their unit differs.

#include <string>
#include <vector>

#include "platform/canvas.h"

class CGraphicPlane;

// The size the block keeps when its picture cannot be read, so that the
// texts still land where the picture's boxes would be.
constexpr int kTitleBlockWidth = 600;
constexpr int kTitleBlockHeight = 210;
// Pictures larger than this are not the title block; they are refused.
constexpr int kTitleBlockMaxSide = 8192;

// The picture with its size in picture pixels.
struct TitleBlockPicture {
  platform::Image image;  // empty when the file could not be read
  int width = kTitleBlockWidth, height = kTitleBlockHeight;
  bool loaded() const { return image.width > 0 && image.height > 0; }
};

// Reads a title-block picture. The size is taken from the bitmap's
// information header when it agrees with the picture read; a file that
// cannot be read gives an empty picture of the fallback size.
TitleBlockPicture loadTitleBlockPicture(const std::string& path);
// "table.bmp" of the interface folder.
TitleBlockPicture loadTitleBlockPicture();

// What the block says about the project (Windows-1250 texts).
struct TitleBlockTexts {
  std::string investor, objectName, designer, projectNo, projectDate;
};
TitleBlockTexts titleBlockTexts(const CGraphicPlane& doc);

// Where the block lies on the sheet and how large a picture pixel is.
struct TitleBlockPlace {
  int left = 0, top = 0, width = 0, height = 0;
  double pixel = 0;  // device pixels per picture pixel
};
// The block on a sheet of `sheetWidth` x `sheetHeight` device pixels with
// the unit `unit` and the right and bottom margins in device pixels.
TitleBlockPlace titleBlockPlace(const TitleBlockPicture& picture, int sheetWidth, int sheetHeight, double unit,
                                int marginRight, int marginBottom);

// Values are written 12 units high; a value too long for its box is written
// smaller, down to this height, before it takes a second line.
constexpr double kTitleBlockMinTextUnits = 8;

// A line of a value as it is written into its box.
struct TitleBlockLine {
  std::string text;   // Windows-1250; ends in "…" when cut short
  platform::Point at;  // its top left corner
  int height = 0;     // the font's height
};
// Lays `text` out in `cell` (device pixels): one line of `fullHeight` at the
// cell's top left when it fits; else one line of the largest height down to
// `smallestHeight` that fits, centred on the cell's height; else two lines
// of `smallestHeight` broken at a space, the second cut short with an
// ellipsis when it is still too long; a text that cannot be broken is cut
// short on one line. No line is wider than the cell.
std::vector<TitleBlockLine> fitTitleBlockText(platform::Canvas& canvas, platform::Font font, const std::string& text,
                                              platform::Rect cell, int fullHeight, int smallestHeight);

// Draws the block: the picture, the labels and the values, the scale as
// "1:N". The canvas's viewport origin is expected at the sheet's corner.
void drawTitleBlock(platform::Canvas& canvas, const TitleBlockPicture& picture, const TitleBlockTexts& texts,
                    int sheetWidth, int sheetHeight, double unit, int marginRight, int marginBottom, int printScale);
