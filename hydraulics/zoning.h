#pragma once
// Dividing a plan's heads into sections: each section's flow within a share
// of the water source's capacity, its heads neighbours, one family of heads
// a section (rotors, sprays, micro-sprinklers, drip and root watering: their
// precipitation rates differ), and as few sections as those rules allow.
//
// The method: for each family the number of sections is the least that
// holds its flow, and each takes an even share of it. A section starts from
// the head of the family farthest from the heads still free (so that the
// garden is peeled from its edges) and grows by the free head nearest to
// it while the flow allows; a head that does not fit closes the section, so
// that no section reaches across the garden.

#include <functional>
#include <string>
#include <vector>

#include "platform/canvas.h"

class CGraphicPlane;
class CSectionList;
class CWBase;

namespace zoning {

enum class Family { Rotor, Spray, Micro, Drip };

// "Rotory", "Zraszacze statyczne", "Mikrozraszacze", "Nawadnianie kroplowe"
// (Windows-1250).
std::string familyName(Family f);

struct Options {
  double capacityShare = 0.9;  // of the source's capacity, 0.05 to 1
};

struct Section {
  Family family = Family::Rotor;
  std::vector<int> objects;  // indices in the object list
  double flowM3H = 0;
  std::string description;   // Windows-1250, e.g. "Trawnik – rotory 1"
  platform::Colour colour = 0;
};

struct Result {
  bool ok = false;
  std::string error;  // Windows-1250
  double capacityM3H = 0;
  std::vector<Section> sections;
};

Result divide(const CGraphicPlane& doc, const Options& options = {});

// Puts the sections into the plan: the section table takes one entry for
// each, with its description and colour, and every head its section.
// `beforeChange` hears of each object before it changes.
void apply(CGraphicPlane& doc, CSectionList& sections, const Result& result,
           const std::function<void(CWBase&)>& beforeChange = {});

}  // namespace zoning
