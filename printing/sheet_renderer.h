#pragma once
// One printed sheet on any device: the background image, the terrain, the
// grid and the irrigation objects at the print scale, clipped to the
// margins, then the title block and the frame around the printable area.

#include "platform/canvas.h"
#include "printing/print_layout.h"
#include "printing/title_block.h"

class CGraphicPlane;

struct SheetRequest {
  // Device pixels per centimetre of paper.
  double devicePixelsPerCm = 0;
  // N of the print scale 1:N; below 1, the drawing scale.
  int printScale = 0;
  // The project's background image, printed when the layout asks for it.
  const platform::Image* background = nullptr;
  // The title block's picture; without one the block is drawn without it.
  const TitleBlockPicture* titleBlock = nullptr;
  // Drawn for the print preview: line widths follow its slider.
  bool preview = false;
};

// The print scale a sheet is printed at: `requested` when it is 1 or more,
// else the document's drawing scale (truncated, at least 1).
int sheetPrintScale(const CGraphicPlane& doc, int requested);

// Renders the sheet of `layout` on `canvas`, whose viewport origin is put at
// the sheet's top-left corner. Publishes the printer size factor and the
// lawn-fill switch that objects consult on paper; the document and its
// objects get back their screen zoom, flags, device and pixels afterwards.
// Returns the geometry the sheet was drawn with.
SheetGeometry renderSheet(CGraphicPlane& doc, platform::Canvas& canvas, const PrintLayout& layout,
                          const SheetRequest& request);
