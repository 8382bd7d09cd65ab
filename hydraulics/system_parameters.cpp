#include "hydraulics/system_parameters.h"

#include <algorithm>
#include <cmath>

#include "document/app_state.h"
#include "document/graphic_plane.h"
#include "objects/polylines.h"
#include "objects/static_sprinkler.h"
#include "platform/message_sink.h"
#include "platform/numtext.h"
#include "platform/textcodec.h"
#include "sections/section_list.h"

namespace {

#define CP1250_TEXT(name, utf8)                                    \
  const std::string& SystemParametersTexts::name() {               \
    static const std::string text = platform::utf8ToCp1250(utf8); \
    return text;                                                   \
  }

// The units appended to the device column: a type code, its unit, and
// whether its amount is a length (rounded up to whole metres).
struct DeviceUnit {
  int type;
  const char* unit;
  bool perMetre;
};
constexpr DeviceUnit kDeviceUnits[] = {{kTypeDripline, "[m]", true}, {-1, nullptr, false}};

}  // namespace

CP1250_TEXT(title, "Parametry hydrauliczne systemu.")
CP1250_TEXT(sourceCaption, "Parametry żródła wody")
CP1250_TEXT(sectionCaption, "Parametry sekcji")
CP1250_TEXT(sectionColumn, "Nr sekcji (opis)")
CP1250_TEXT(flowColumn, "Wydajność [m3/h]")
CP1250_TEXT(devicesColumn, "Ilość urządzeń [szt./m]")
CP1250_TEXT(exitButton, "Wyjście")

bool sourceParametersValid(const SourceParameters& p) {
  return std::isfinite(p.pressure) && std::isfinite(p.capacity) && p.pressure > 0.0f && p.capacity > 0.0f;
}

bool ChangeSourceParameters(CGraphicPlane& doc, const std::optional<SourceParameters>& accepted) {
  if (!accepted) return false;
  if (!sourceParametersValid(*accepted)) {
    platform::tell(platform::utf8ToCp1250("Nieprawidłowe parametry źródła wody."), "Info",
                   platform::MessageIcon::Error);
    return false;
  }
  if (accepted->pressure == doc.sourcePressure && accepted->capacity == doc.sourceCapacity) return false;
  doc.sourcePressure = accepted->pressure;
  doc.sourceCapacity = accepted->capacity;
  app().currentSourcePressure = accepted->pressure;
  platform::tell(platform::utf8ToCp1250(
                     "Zmieniono parametry źródła wody - proszę ponownie przeprowadzić obliczenia hydrauliczne."),
                 "Informacja", platform::MessageIcon::Information);
  doc.applySourcePressure();
  return true;
}

std::vector<SectionSummary> GatherSections(const CGraphicPlane& doc) {
  std::vector<SectionSummary> out;
  for (const auto& o : doc.objects()) {
    if (o->deleted) continue;
    const int section = o->GetSectionNo();
    if (section == kNoSection) continue;
    const int type = o->GetType();
    const float flow = o->GetFlow();
    float lengthM = 0;
    if (type == kTypeDripline) {
      lengthM = static_cast<const CWDripline&>(*o).LengthU() / doc.pixelsPerCm * doc.scaleDenominator / 100.0f;
    } else if (type != kTypeMicroHadar) {
      if (!(flow > 0.0f)) continue;
      if (type == kTypeStaticSprinkler && isStaticFlowError(flow)) continue;
    }
    auto at = std::lower_bound(out.begin(), out.end(), section,
                               [](const SectionSummary& s, int n) { return s.sectionNo < n; });
    if (at == out.end() || at->sectionNo != section) {
      at = out.insert(at, SectionSummary{});
      at->sectionNo = section;
    }
    at->kinds.push_back(type);
    at->flowSum += flow;
    at->deviceCount += 1;
    if (type == kTypeDripline) {
      at->hasDriplines = 1;
      at->driplineLengthM += lengthM;
    }
  }
  return out;
}

std::string sectionFlowText(float flowSum) {
  return platform::formatFixed(flowSum, flowSum > 0.01f ? 2 : 4);
}

std::string sectionDevicesText(const SectionSummary& s) {
  std::string text = std::to_string(s.deviceCount);
  for (const DeviceUnit* u = kDeviceUnits; u->type != -1; ++u) {
    if (std::find(s.kinds.begin(), s.kinds.end(), u->type) == s.kinds.end()) continue;
    const double amount = u->perMetre ? std::ceil(s.driplineLengthM) : 0.0;
    text += " - " + platform::formatFixed(amount, 0) + " " + u->unit;
  }
  return text;
}

SystemParametersView systemParametersView(const CGraphicPlane& doc, const CSectionList& sections) {
  SystemParametersView view;
  view.source.push_back({platform::utf8ToCp1250("Ciśnienie [atm.]"), platform::formatFixed(doc.sourcePressure, 2) + " "});
  view.source.push_back({SystemParametersTexts::flowColumn(), platform::formatFixed(doc.sourceCapacity, 2) + " "});
  for (const SectionSummary& s : GatherSections(doc)) {
    SectionParameterRow row;
    // Rows are named by the section's own number as the user knows it, so
    // that a section without consumers does not shift the names of the next.
    row.section = std::to_string(s.sectionNo + 1);
    const std::string& desc = sections.find(s.sectionNo).desc;
    if (!desc.empty()) row.section += " (" + desc + ")";
    row.flow = sectionFlowText(s.flowSum);
    row.devices = sectionDevicesText(s);
    view.sections.push_back(std::move(row));
  }
  return view;
}
