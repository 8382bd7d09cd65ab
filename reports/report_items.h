#pragma once
// What the cost estimates count: the priced quantities of catalogue elements
// that the objects of a plan bring, merged per section, kind and catalogue
// number, and the rows of one category of an estimate.
//
// Every text here is Windows-1250.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "sections/extra_elements.h"

class CData;
class CElem;
class CPartix;
class CDBSets;
class CGraphicPlane;
class CSectionList;
struct HadarComponent;
class CWMicroSprinklerHadar;

namespace reports {

constexpr int kNoSection = 0xFFFFFF;

// --- prices and names --------------------------------------------------------

// The price every report takes: the price-list price when it is not zero
// (|finalPrice| >= 1e-6), else the multiplied list price.
float reportPrice(const CData& data);
float reportPrice(const HadarComponent& component);

// A name as a report writes it: every "<" and ">" becomes a space.
std::string reportName(std::string_view name);

// A catalogue text field up to its terminator (at most N bytes).
template <size_t N>
std::string fieldText(const char (&field)[N]) {
  size_t n = 0;
  while (n < N && field[n]) ++n;
  return std::string(field, n);
}

// Ceiling of a quantity as a whole number, held within the int range.
int64_t roundUpQuantity(float quantity);
// The integer part of a float, held within the int range (NaN gives 0).
int integerPart(float value);

// --- report items ------------------------------------------------------------

// One quantity of one catalogue element in one section.
struct CReportItem {
  int kind = 0;
  int section = kNoSection;
  std::string catNo;
  std::string name;     // "<" and ">" already replaced
  float quantity = 0;   // pieces, or metres for pipes, drip lines and cables
  float price = 0;      // unit price when the item was made
  float value = 0;      // quantity x price when made; summed when merged
};

class CReportItemList {
 public:
  // Merges `item` into the item of equal section, kind and catalogue number
  // (quantity and value added; price and name stay), or appends it. The name
  // has "<" and ">" replaced on the way in.
  void add(CReportItem item);
  void clear();
  const std::vector<CReportItem>& items() const { return items_; }
  bool empty() const { return items_.empty(); }
  // Whether any item belongs to `section`.
  bool hasSection(int section) const;
  // The items of `section` and `kind`, sorted by name in ascending byte order
  // (equal names keep their list order).
  std::vector<CReportItem> filter(int section, int kind) const;
  // The items sorted by section (ascending; list order within a section).
  std::vector<CReportItem> sortedBySection() const;

  // Every item, bucketed by section and then by kind (0..24), each bucket in
  // name order: what filter gives, for all sections at once.
  using KindBuckets = std::map<int, std::vector<const CReportItem*>>;
  std::map<int, KindBuckets> bySectionAndKind() const;

 private:
  using Key = std::tuple<int, int, std::string>;
  struct KeyHash {
    size_t operator()(const Key& k) const;
  };
  std::vector<CReportItem> items_;
  std::unordered_map<Key, size_t, KeyHash> index_;
};

// One priced row of a cost estimate as the report shows it.
struct EstimateRow {
  std::string section;      // "1", "2", ... in the estimate by sections; empty otherwise
  std::string catalogueNo;  // Windows-1250
  std::string name;         // Windows-1250, "<" and ">" replaced
  std::string unit;         // "szt." or "m"
  int64_t quantity = 0;     // as shown (whole pieces or metres rounded up)
  float price = 0;          // net unit price
  float value = 0;          // net value as shown: price x quantity
};

// --- estimate groups ---------------------------------------------------------

// One row of a category table.
struct CEstimateLine {
  std::string name;   // "<" and ">" already replaced
  std::string catNo;  // the key
  int count = 0;      // pieces shown for piece categories
  float price = 0;
  float total = 0;    // summed quantity; metre categories show it rounded up
};

// The rows of one category, kept in name order after every insertion (equal
// names in the order they came).
class CEstimateGroup {
 public:
  // Adds quantity `q` of an element: a row of the same catalogue number takes
  // total += q and count = integer part of (count + q), q counting as 1 when
  // it is 0; else a new row with total q, count 1 (or the integer part of q
  // when q > 1) and `price`.
  void add(std::string_view name, std::string_view catNo, float price, float q);
  // An element of the catalogue, priced by the report rule.
  void add(const CElem& element, float q);
  const std::vector<CEstimateLine>& lines() const { return lines_; }
  bool empty() const { return lines_.empty(); }

 private:
  std::vector<CEstimateLine> lines_;
  std::unordered_map<std::string, size_t> byCatNo_;  // catNo -> index in lines_
};

// --- gathering ----------------------------------------------------------------

// What the reports read besides the document. Any pointer may be null: the
// parts that need it are then left out.
struct ReportContext {
  CPartix* catalogue = nullptr;                 // HADAR nozzles, extra elements
  const CDBSets* sets = nullptr;                // elements of placed connection sets
  const CSectionList* sections = nullptr;       // section order, descriptions
  const CExtraReportElements* extras = nullptr;  // elements added by hand
  float vatPercent = 0;
};

// The application's catalogue, connection sets, section table, extra report
// elements and VAT rate.
ReportContext currentReportContext();

// Metres on the ground of a polyline length in plan units.
float polylineMetres(float lengthU, const CGraphicPlane& doc);

// The catalogue elements of kind 15 whose name has, right after its first
// "<", the three characters that start a nozzle row name; built once per
// report so that many units do not scan the catalogue each.
class HadarNozzleIndex {
 public:
  explicit HadarNozzleIndex(const CPartix* catalogue);
  // The nozzles for a row name (its first three characters count).
  const std::vector<CElem*>& nozzlesFor(std::string_view rowName) const;

 private:
  std::unordered_map<std::string, std::vector<CElem*>> byCode_;
};

// The elements of a placed connection set (its available slots), or none
// when the collection does not hold its set.
std::vector<CElem*> setElements(const CDBSets* sets, uint32_t key);

// The nozzle row name the HADAR unit uses: row `nozzleRow` of its insert.
// Empty (no nozzles) when the unit has no insert or the row is out of range.
bool hadarRowName(const CWMicroSprinklerHadar& unit, std::string& rowName);

// The extra report elements of `ctx`, each looked up again in the catalogue
// (name, price, element). When one of them is no longer in the catalogue the
// user is told and the result is false: the estimate is not made.
bool resolveExtraElements(const ReportContext& ctx, std::vector<ExtraReportElement>& out);

// Clears `list` and fills it from every object of the plan that is not
// deleted, each item in the object's section.
void gatherReportItems(const CGraphicPlane& doc, const ReportContext& ctx, CReportItemList& list);

}  // namespace reports
