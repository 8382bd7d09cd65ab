#pragma once
// The voltage drop along a valve cable: a drawn cable is measured, a
// catalogue cable chosen (its cross-section is read from the code between
// "<" and ">" in its name, such as 3x1.5), and the drop over the outgoing and
// return conductors of a copper cable carrying a valve's 0.4 A is computed.
// The dialog "Parametry kabli" shows what VoltageDropCalculation holds.

#include <string>
#include <vector>

#include "platform/canvas.h"

class CElem;
class CGraphicPlane;
class CWCable;

constexpr int kToolPointCable = 1204;

// The cross-section in mm2 written in a catalogue cable's name: the number
// around the first decimal separator ("." or ",") of the code between "<"
// and ">". A code without a separator gives its last number; a name without
// a code, or a code without digits, gives 0.
float crossSectionFromName(const std::string& name);

// The cross-section of `cable` (0 without one); 0 is reported to the user
// with "pprzek==0.0f".
float ParseCrossSection(const CElem* cable);

// The cable's length on the ground in whole metres (halves rounded down) at
// the drawing scale 1:`scaleDenominator` with `pixelsPerCm` plan units per
// centimetre.
float CableLengthM(const CWCable& cable, float scaleDenominator, float pixelsPerCm);

// Volts lost over `lengthM` metres of a cable of `crossSection` mm2.
float VoltageDrop(float lengthM, float crossSection);

struct CableChoice {
  std::string name;  // Windows-1250
  CElem* elem = nullptr;
};

// The catalogue cables of the list starting at `head` that are offered (not
// archived), by name in the order of a sorted list box.
std::vector<CableChoice> cableChoices(CElem* head);

// The click of the cable-pointing tool at `p` (pixels): the first cable with
// a control point there becomes the cable under calculation; the selection
// is cleared. Returns the cable, or null (the pointed cable then stays).
CWCable* pointCableAt(CGraphicPlane& doc, platform::Point p);

// The cable under calculation, unless there is none or it has been deleted.
CWCable* pointedCableOf(const CGraphicPlane& doc);

// "Parametry kabli".
class VoltageDropCalculation {
 public:
  // Offers the cables of the catalogue list starting at `head`; the first is
  // selected and its cross-section read.
  explicit VoltageDropCalculation(CElem* head);

  const std::vector<CableChoice>& cables() const { return cables_; }
  int selected() const { return selected_; }
  // Selects a cable and reads its cross-section.
  void select(int index);

  // "Wskaż kabel": the tool in progress is abandoned and the cable-pointing
  // tool set.
  void startPointingCable(CGraphicPlane& doc);

  // "Oblicz": the pointed cable's length and the drop along it. Without a
  // pointed cable the user is told and nothing changes (false). With a
  // cross-section of 0 the drop is left empty.
  bool compute(CGraphicPlane& doc);

  // "Zastosuj": the pointed cable takes the selected catalogue cable; then
  // the dialog closes.
  void apply(CGraphicPlane& doc);

  // Closing: the pointed cable is cleared, no tool is left active and the
  // plan is redrawn.
  void close(CGraphicPlane& doc);

  float crossSection = 0;  // mm2, of the selected cable
  std::string lengthText;  // "Długość:", m
  std::string dropText;    // "Spadek napięcia:", V

 private:
  std::vector<CableChoice> cables_;
  int selected_ = -1;
};
