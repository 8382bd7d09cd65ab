#include "document/app_settings.h"

AppSettings freshInstallSettings() {
  using platform::rgb;
  AppSettings s;
  s.labelFontHeight = 12;
  s.labelFontWeight = 400;
  s.labelFontFace = "Arial";
  s.labelFontSizeIndex = 4;
  s.labelFontStyleIndex = 0;
  s.labelFontFaceIndex = 0;
  s.backgroundColour = rgb(255, 255, 255);
  s.gridColour = rgb(210, 210, 210);
  s.terrainLineColour = rgb(0, 0, 0);
  s.terrainPointColour = rgb(255, 0, 0);
  s.systemPointColour = rgb(255, 0, 0);
  s.spareColour = rgb(0, 0, 0);
  s.rangeColour = rgb(0, 110, 230);
  s.labelColour = rgb(0, 0, 0);
  s.driplineColour = rgb(130, 70, 20);
  s.cableColour = rgb(230, 120, 0);
  s.highlightColour = rgb(255, 0, 255);
  s.pipeColour = rgb(0, 0, 160);
  s.autosaveMinutes = 10;
  s.printWidthRanges = 3;
  s.printWidthPipes = 4;
  s.printWidthCables = 5;
  s.printWidthDriplines = 3;
  s.defaultMargins = {1.0, 1.0, 1.0, 1.0};
  return s;
}
