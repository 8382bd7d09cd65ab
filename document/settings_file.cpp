#include "document/settings_file.h"

#include <algorithm>

#include "platform/replace_file.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "platform/folders.h"

namespace {

void readText(TokenReader& in, std::string& field) {
  if (!in.atEnd()) field = in.readText();
}

}  // namespace

namespace {
constexpr int kMaxLabelFontHeight = 1000;
}  // namespace

void readSettingsBlock(TokenReader& in, AppSettings& s) {
  // Label letters are drawn at this height times the zoom: a damaged value
  // is held to what a plan can show.
  s.labelFontHeight = std::clamp(in.readInt(), -kMaxLabelFontHeight, kMaxLabelFontHeight);
  s.labelFontWeight = in.readInt();
  readText(in, s.labelFontFace);
  s.labelFontSizeIndex = in.readInt();
  s.labelFontStyleIndex = in.readInt();
  s.labelFontFaceIndex = in.readInt();
  for (Colour* c : {&s.backgroundColour, &s.gridColour, &s.terrainLineColour, &s.terrainPointColour,
                    &s.systemPointColour, &s.spareColour, &s.rangeColour, &s.labelColour, &s.driplineColour,
                    &s.cableColour, &s.highlightColour, &s.pipeColour})
    *c = in.readUint();
  s.autosaveMinutes = in.readInt();
  s.printWidthRanges = in.readInt();
  s.printWidthPipes = in.readInt();
  s.printWidthCables = in.readInt();
  s.printWidthDriplines = in.readInt();
  RememberedRange& r = s.rememberedRange;
  r.startX = in.readDoubleFull();
  r.startY = in.readDoubleFull();
  r.endX = in.readDoubleFull();
  r.endY = in.readDoubleFull();
  r.spare = in.readFloat();
  // A range is remembered only when both directions are real directions: the
  // zeros a fresh settings file holds would collapse every new sprinkler's arc.
  r.valid = std::hypot(r.startX, r.startY) > 0.5 && std::hypot(r.endX, r.endY) > 0.5 ? 1 : 0;
  s.defaultMargins.left = in.readDoubleFull();
  s.defaultMargins.right = in.readDoubleFull();
  s.defaultMargins.top = in.readDoubleFull();
  s.defaultMargins.bottom = in.readDoubleFull();
  for (std::string* t : {&s.companyName, &s.companyAddress, &s.companyPhone, &s.companyEmail, &s.companyWww,
                         &s.companyLogoFile, &s.authorName})
    readText(in, *t);
}

void writeSettingsBlock(TokenWriter& out, const AppSettings& s) {
  out.writeInt(s.labelFontHeight);
  out.writeInt(s.labelFontWeight);
  out.writeText(s.labelFontFace);
  out.writeInt(s.labelFontSizeIndex);
  out.writeInt(s.labelFontStyleIndex);
  out.writeInt(s.labelFontFaceIndex);
  for (Colour c : {s.backgroundColour, s.gridColour, s.terrainLineColour, s.terrainPointColour, s.systemPointColour,
                   s.spareColour, s.rangeColour, s.labelColour, s.driplineColour, s.cableColour, s.highlightColour,
                   s.pipeColour})
    out.writeUint(c);
  out.writeInt(s.autosaveMinutes);
  out.writeInt(s.printWidthRanges);
  out.writeInt(s.printWidthPipes);
  out.writeInt(s.printWidthCables);
  out.writeInt(s.printWidthDriplines);
  const RememberedRange& r = s.rememberedRange;
  for (double d : {r.startX, r.startY, r.endX, r.endY}) out.writeDouble(d);
  out.writeFloat(r.spare);
  for (double d : {s.defaultMargins.left, s.defaultMargins.right, s.defaultMargins.top, s.defaultMargins.bottom})
    out.writeDouble(d);
  for (const std::string* t : {&s.companyName, &s.companyAddress, &s.companyPhone, &s.companyEmail, &s.companyWww,
                               &s.companyLogoFile, &s.authorName})
    out.writeText(*t);
}

bool readWholeFile(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  text = std::move(s).str();
  return true;
}

bool writeFileReplacing(const std::string& path, const std::string& text) { return platform::replaceFile(path, text); }

int loadSettings(AppSettings& s, const std::string& folder) {
  std::string text;
  if (!readWholeFile(platform::joinPath(folder, "wnd.ini"), text)) return -1;
  TokenReader in(text);
  readSettingsBlock(in, s);
  return 0;
}

bool saveSettings(const AppSettings& s, const std::string& folder) {
  TokenWriter out;
  writeSettingsBlock(out, s);
  return writeFileReplacing(platform::joinPath(folder, "wnd.ini"), out.text());
}
