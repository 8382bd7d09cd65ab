#pragma once
// The water source's parameters and what the system asks of it: changing the
// pressure and capacity, the per-section sums of flows and devices, and the
// rows of the dialog "Parametry hydrauliczne systemu.".

#include <optional>
#include <string>
#include <vector>

class CGraphicPlane;
class CSectionList;

struct SourceParameters {
  float pressure = 0;  // atm
  float capacity = 0;  // m3/h
};

// Whether the water source dialog may accept the values: both positive.
bool sourceParametersValid(const SourceParameters& p);

// After the water source dialog ("Zmien parametry" on a water source):
// `accepted` is what it returned with OK, nothing when it was cancelled.
// When either value differs from the document's, both are stored, the user
// is asked to repeat the hydraulic calculations and every consumer is
// re-evaluated at the new pressure. Values the dialog should have refused
// (zero, negative, not a number) are reported and change nothing. Returns
// whether the document changed.
bool ChangeSourceParameters(CGraphicPlane& doc, const std::optional<SourceParameters>& accepted);

// What one section asks of the source.
struct SectionSummary {
  int sectionNo = 0;
  std::vector<int> kinds;  // type code of every counted object, in list order
  float flowSum = 0;       // m3/h
  int deviceCount = 0;
  int hasDriplines = 0;
  float driplineLengthM = 0;
};

// One summary per section that holds a counted object, by section number.
// Counted are HADAR micro-sprinklers (whatever their flow), drip lines (with
// their current flow and their length) and every other object whose flow is
// positive, except static sprinklers holding an error code.
std::vector<SectionSummary> GatherSections(const CGraphicPlane& doc);

// --- the dialog "Parametry hydrauliczne systemu." ----------------------------

struct SourceParameterRow {
  std::string label;  // Windows-1250
  std::string value;
};

struct SectionParameterRow {
  std::string section;  // "Nr sekcji (opis)"
  std::string flow;     // "Wydajność [m3/h]"
  std::string devices;  // "Ilość urządzeń [szt./m]"
};

struct SystemParametersView {
  std::vector<SourceParameterRow> source;
  std::vector<SectionParameterRow> sections;
};

// The texts of the dialog (Windows-1250).
struct SystemParametersTexts {
  static const std::string& title();           // "Parametry hydrauliczne systemu."
  static const std::string& sourceCaption();   // above the upper list
  static const std::string& sectionCaption();  // above the lower list
  static const std::string& sectionColumn();
  static const std::string& flowColumn();
  static const std::string& devicesColumn();
  static const std::string& exitButton();      // "Wyjście"
};

// The rows of both lists: the source's pressure and capacity, and one row
// per section summary with the section's description from `sections`.
SystemParametersView systemParametersView(const CGraphicPlane& doc, const CSectionList& sections);

// The device column of a summary: the count, and " - <metres> [m]" with the
// drip line length rounded up when the section holds drip lines.
std::string sectionDevicesText(const SectionSummary& s);
// The flow column: two decimals above 0.01 m3/h, four at or below.
std::string sectionFlowText(float flowSum);
