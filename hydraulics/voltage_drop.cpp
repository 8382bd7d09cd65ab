#include "hydraulics/voltage_drop.h"
#include "document/catalogue_lookup.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "document/graphic_plane.h"
#include "hydraulics/pipe_calculator.h"
#include "objects/cable_set.h"
#include "partix.h"
#include "platform/message_sink.h"
#include "platform/numtext.h"
#include "platform/textcodec.h"

namespace {

constexpr size_t kMaxCode = 49;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool listOrder(const std::string& a, const std::string& b) {
  auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; };
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [&](char x, char y) { return lower(x) < lower(y); });
}

std::string nameOf(const CElem* e) { return elementName(e); }

}  // namespace

float crossSectionFromName(const std::string& name) {
  const size_t open = name.find('<');
  if (open == std::string::npos) return 0.0f;
  const size_t close = name.find('>', open + 1);
  std::string code = name.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
  if (code.size() > kMaxCode) code.resize(kMaxCode);

  const size_t separator = code.find_first_of(".,");
  size_t start = 0;
  if (separator != std::string::npos) {
    start = separator;
    while (start > 0 && isDigit(code[start - 1])) --start;
  } else {
    // No decimal part: the last number of the code (3x2 gives 2).
    size_t end = code.size();
    while (end > 0 && !isDigit(code[end - 1])) --end;
    if (end == 0) return 0.0f;
    start = end;
    while (start > 0 && isDigit(code[start - 1])) --start;
  }
  std::string number;
  for (size_t i = start; i < code.size() && (isDigit(code[i]) || code[i] == '.' || code[i] == ','); ++i)
    number += code[i] == ',' ? '.' : code[i];
  const float s = static_cast<float>(platform::parseDecimal(number));
  return std::isfinite(s) ? s : 0.0f;
}

float ParseCrossSection(const CElem* cable) {
  const float s = crossSectionFromName(nameOf(cable));
  if (s == 0.0f) platform::tell("pprzek==0.0f", "");
  return s;
}

float CableLengthM(const CWCable& cable, float scaleDenominator, float pixelsPerCm) {
  float pixels = 0.0f;
  for (size_t i = 1; i < cable.vertices.size(); ++i) {
    const float dx = static_cast<float>(cable.vertices[i].x) - static_cast<float>(cable.vertices[i - 1].x);
    const float dy = static_cast<float>(cable.vertices[i].y) - static_cast<float>(cable.vertices[i - 1].y);
    pixels += static_cast<float>(std::sqrt(static_cast<double>(dx * dx + dy * dy)));
  }
  const float units = static_cast<float>(pixels * cable.scale);
  const float metres = units / pixelsPerCm * scaleDenominator / 100.0f;
  if (!std::isfinite(metres)) return 0.0f;
  return static_cast<float>(roundHalfDown(metres));
}

float VoltageDrop(float lengthM, float crossSection) {
  return static_cast<float>((static_cast<double>(lengthM) * 0.4) / (static_cast<double>(crossSection) * 56.0) * 2.0);
}

std::vector<CableChoice> cableChoices(CElem* head) {
  std::vector<CableChoice> out;
  for (CElem* e = head; e; e = e->next) {
    if (e->kind != kKindCable || !e->data || e->archived || e->deleted) continue;
    out.push_back({nameOf(e), e});
  }
  std::stable_sort(out.begin(), out.end(),
                   [](const CableChoice& a, const CableChoice& b) { return listOrder(a.name, b.name); });
  return out;
}

CWCable* pointCableAt(CGraphicPlane& doc, platform::Point p) {
  CWBase* hit = doc.pickObject(p, 0, {kTypeCable});
  doc.selected = nullptr;
  auto* cable = dynamic_cast<CWCable*>(hit);
  if (cable) doc.pointedCable = cable;
  if (doc.requestRepaint) doc.requestRepaint();
  return cable;
}

CWCable* pointedCableOf(const CGraphicPlane& doc) {
  auto* cable = dynamic_cast<CWCable*>(doc.pointedCable);
  return cable && !cable->deleted ? cable : nullptr;
}

// --- the dialog's model ------------------------------------------------------------

VoltageDropCalculation::VoltageDropCalculation(CElem* head) : cables_(cableChoices(head)) {
  if (!cables_.empty()) select(0);
}

void VoltageDropCalculation::select(int index) {
  if (index < 0 || index >= static_cast<int>(cables_.size())) return;
  selected_ = index;
  crossSection = ParseCrossSection(cables_[index].elem);
}

void VoltageDropCalculation::startPointingCable(CGraphicPlane& doc) { selectTool(doc, kToolPointCable); }

bool VoltageDropCalculation::compute(CGraphicPlane& doc) {
  const CWCable* cable = pointedCableOf(doc);
  if (!cable) {
    platform::tell(platform::utf8ToCp1250("Wybierz przewód elektryczny z rysunku."), "Info !!!");
    return false;
  }
  const float lengthM = CableLengthM(*cable, doc.scaleDenominator, doc.pixelsPerCm);
  lengthText = platform::formatFixed(lengthM, 2);
  crossSection = ParseCrossSection(selected_ >= 0 ? cables_[selected_].elem : nullptr);
  // A cross-section of 0 has been reported; there is no drop to show.
  dropText = crossSection > 0.0f ? platform::formatFixed(VoltageDrop(lengthM, crossSection), 2) : std::string();
  return true;
}

void VoltageDropCalculation::apply(CGraphicPlane& doc) {
  if (CWCable* cable = pointedCableOf(doc); cable && selected_ >= 0) cable->AssignCableType(cables_[selected_].elem);
  close(doc);
}

void VoltageDropCalculation::close(CGraphicPlane& doc) {
  doc.pointedCable = nullptr;
  // No tool is left active; whatever it was drawing is abandoned with it.
  selectTool(doc, 0);
  if (doc.requestRepaint) doc.requestRepaint();
}
