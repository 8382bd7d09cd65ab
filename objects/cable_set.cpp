#include "objects/cable_set.h"

#include "partix.h"

using platform::Pen;

// --- CWCable ---------------------------------------------------------------------

CWCable::CWCable() = default;

Pen CWCable::bodyPen() const {
  const AppSettings& s = app().settings;
  return Pen::solid(s.cableColour, bodyPenWidth(2, s.printWidthCables));
}

void CWCable::AssignCableType(CElem* cable) {
  if (!cable) return;
  elem = cable;
  kindWord = static_cast<uint32_t>(cable->spare);
  hasType = 1;
}

std::string CWCable::LabelText() const {
  if (!hasType || !elem || !elem->data) return {};
  return elementShortName();
}

void CWCable::DrawLabel() {
  if (!dc || vertices.empty()) return;
  const std::string text = LabelText();
  if (text.empty()) return;
  drawLabelText(text, labelFont(static_cast<int>(app().settings.labelFontHeight / scale)));
}

std::string CWCable::GetKindName() const { return "Kabel"; }

// --- the connection set collection ---------------------------------------------------

namespace {

const ConnectionSetLookup* gSetLookup = nullptr;

// The pipe's code: the part after the first "<" up to the next ">" (or to the
// end), the whole name when it has no "<".
std::string pipeCode(const std::string& name) {
  const auto open = name.find('<');
  if (open == std::string::npos) return name;
  const auto close = name.find('>', open + 1);
  if (close == std::string::npos) return name.substr(open + 1);
  return name.substr(open + 1, close - open - 1);
}

}  // namespace

void setConnectionSetLookup(const ConnectionSetLookup* lookup) { gSetLookup = lookup; }
const ConnectionSetLookup* connectionSetLookup() { return gSetLookup; }

// --- CWSet -----------------------------------------------------------------------

CWSet::CWSet() = default;

Pen CWSet::bodyPen() const {
  const AppSettings& s = app().settings;
  return Pen::solid(bodyColour(s.pipeColour), bodyPenWidth(2, s.printWidthPipes));
}

std::optional<ConnectionSetInfo> CWSet::FindSet() const {
  if (!gSetLookup) return std::nullopt;
  return gSetLookup->findSet(kindWord);
}

std::string CWSet::LabelText() const {
  // A key the collection does not hold gives a label with an empty name.
  const std::optional<ConnectionSetInfo> set = FindSet();
  const int32_t id = set ? set->id : static_cast<int32_t>(kindWord);
  std::string text = (id >= 0 && !printing) ? "*" : "";
  if (set && set->hasPipe) text += "\xF8" + pipeCode(set->pipeName);
  text += "(" + (set ? set->name : std::string()) + ")";
  return text;
}

void CWSet::DrawLabel() {
  if (!dc || vertices.empty()) return;
  labelText = LabelText();
  drawLabelText(labelText, labelFont(static_cast<int>(app().settings.labelFontHeight / scale + 1)));
}

std::string CWSet::GetKindName() const {
  const std::optional<ConnectionSetInfo> set = FindSet();
  return "Zestaw: " + (set ? set->name : std::string());
}
