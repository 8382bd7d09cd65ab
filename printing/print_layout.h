#pragma once
// The print layout: everything that decides the printed sheet (paper and
// orientation, margins, the print scale 1:N, where the plan lies on the
// sheet, what is printed besides the plan), the table of papers, and the
// arithmetic that turns the layout into device pixels.
//
// Lengths are centimetres of paper.

#include <array>
#include <string>
#include <string_view>

#include "document/app_settings.h"

class TokenReader;
class TokenWriter;

struct PaperSize {
  std::string name;
  float longSide = 0;   // cm
  float shortSide = 0;  // cm
  int zoomLandscape = 100;  // preview zoom chosen with the paper, percent
  int zoomPortrait = 100;
};

constexpr int kPaperA4 = 0;
constexpr int kPaperCustom = 5;  // "Dowolny": keeps the last custom size for the run
constexpr int kPaperCount = 6;

// The program's paper table: "A4", "A3", "A2", "A1", "A0", "Dowolny".
std::array<PaperSize, kPaperCount>& paperTable();
// The first paper whose long and short sides each lie within 0.01 cm of the
// given ones; -1 when none does.
int findPaper(double longSide, double shortSide);

struct PrintLayout {
  // The largest paper side or margin the dialogs accept, cm.
  static constexpr double kMaxLength = 1000;
  static constexpr int kMaxPrintScale = 99999;

  bool printLawnFill = false;    // "Drukuj wypełnienie trawnika"
  bool printBackground = false;  // "Drukuj podkład"
  bool printGrid = false;        // "Drukuj siatkę"
  bool portrait = false;         // 0 "Poziomo", 1 "Pionowo"
  int lineWidthPercent = 100;    // preview line width, 1..100
  double paperWidth = 29.7f;     // as oriented
  double paperHeight = 21;
  int printScale = 0;  // N of 1:N; 0 = not chosen yet
  double planOffsetX = 0;  // to the right
  double planOffsetY = 0;  // downwards (shown to the user with the opposite sign)
  double marginLeft = 0, marginRight = 0, marginTop = 0, marginBottom = 0;
  // The paper entry the sheet was taken from (not stored: the file block
  // finds it again by size).
  int paperIndex = kPaperA4;

  // Defaults of the program's start and of closing a project.
  void reset();
  // A new project: defaults, then the default margins of the settings.
  void resetForNewProject(const DefaultMargins& defaults);

  // Takes the sheet from paper `index` as oriented; false for an unknown index.
  bool choosePaper(int index);
  // Stores a custom size given as oriented (width, height) in the custom
  // entry and chooses it; false when a side lies outside 0..kMaxLength.
  bool chooseCustomPaper(double width, double height);
  // Sets the orientation and takes the sheet again from the chosen paper.
  void chooseOrientation(bool portraitSheet);
  // The preview zoom in percent that goes with the chosen paper as oriented.
  int previewZoom() const;

  void setMargins(const DefaultMargins& m);
  DefaultMargins margins() const { return {marginLeft, marginRight, marginTop, marginBottom}; }

  // The plan position as the user sees and types it: "%.2f" of the OX offset
  // and of minus the OY offset (never "-0.00"); a positive OY moves the plan up.
  std::string planOffsetXText() const;
  std::string planOffsetYText() const;
  void setPlanPosition(std::string_view oxText, std::string_view oyText);

  // The first time the preview opens, an unset print scale becomes the
  // drawing scale (truncated).
  void ensurePrintScale(float scaleDenominator);

  // The project file block.
  void writeBlock(TokenWriter& out) const;
  // False when the block is damaged (the file ends early, or a paper side or
  // the print scale is out of range); the layout then stays as it was.
  bool readBlock(TokenReader& in);
};

// The program's print layout.
PrintLayout& printLayout();

// --- the sheet in device pixels ----------------------------------------------

struct SheetGeometry {
  int width = 0, height = 0;  // the sheet
  int marginLeft = 0, marginRight = 0, marginTop = 0, marginBottom = 0;
  // The printable frame, which clips the plan.
  int frameLeft = 0, frameTop = 0, frameRight = 0, frameBottom = 0;
  double planScale = 0;  // k: device pixels per plan unit
  int originX = 0, originY = 0;  // where the plan's point (0, 0) lies
  double titleUnit = 0;  // u: the title block's unit, whatever the print scale
};

// Device pixels per centimetre of a device with `dotsPerInch`.
inline double pixelsPerCmOfDevice(double dotsPerInch) { return dotsPerInch / 2.54; }

// The sheet of `layout` on a device of `devicePixelsPerCm`, printing the plan
// drawn at 1:`scaleDenominator` with `planPixelsPerCm` plan units per
// centimetre at print scale 1:`printScale`. A print scale below 1 prints at
// the drawing scale.
SheetGeometry sheetGeometry(const PrintLayout& layout, double devicePixelsPerCm, float planPixelsPerCm,
                            float scaleDenominator, int printScale);
