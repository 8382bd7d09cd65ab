#pragma once
// The user's settings: fonts, colours, print widths, autosave, the remembered
// sprinkler range, margins, the company block and the price factors.

#include <string>

#include "platform/canvas.h"

using platform::Colour;

// A sprinkler range remembered from the last placement: two unit directions.
struct RememberedRange {
  int valid = 0;
  double startX = 0, startY = 0;
  double endX = 0, endY = 0;
  float spare = 0;
};

struct DefaultMargins {
  double left = 0, right = 0, top = 0, bottom = 0;  // cm
};

struct AppSettings {
  int labelFontHeight = 0;
  int labelFontWeight = 0;
  std::string labelFontFace;  // Windows-1250
  int labelFontSizeIndex = 0;
  int labelFontStyleIndex = 0;
  int labelFontFaceIndex = 0;

  Colour backgroundColour = 0;
  Colour gridColour = 0;
  Colour terrainLineColour = 0;
  Colour terrainPointColour = 0;
  Colour systemPointColour = 0;
  Colour spareColour = 0;
  Colour rangeColour = 0;
  Colour labelColour = 0;
  Colour driplineColour = 0;
  Colour cableColour = 0;
  Colour highlightColour = 0;
  Colour pipeColour = 0;

  int autosaveMinutes = 0;
  int printWidthRanges = 3;
  int printWidthPipes = 4;
  int printWidthCables = 5;
  int printWidthDriplines = 3;

  RememberedRange rememberedRange;
  DefaultMargins defaultMargins;

  std::string companyName, companyAddress, companyPhone, companyEmail, companyWww, companyLogoFile, authorName;

  float vatPercent = 1.0f;
  float priceMultiplier = 1.0f;
};

// The settings a fresh installation ships with (its default "wnd.ini").
AppSettings freshInstallSettings();
