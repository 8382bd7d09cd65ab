#pragma once
// Extra report elements: catalogue elements the designer adds to the cost
// estimates by hand, each with a quantity and optionally a section. The list
// is program-wide and belongs to the open project: a new or opened project
// starts with an empty list, the project file carries it.

#include <cstdint>
#include <string>
#include <vector>

class CElem;
class CPartix;
class TokenReader;
class TokenWriter;

struct ExtraReportElement {
  static constexpr int kNoSection = 0xFFFFFF;

  int kind = 0;                  // catalogue kind code, 0..24
  int section = kNoSection;      // 0-based section number
  std::string catalogueNo;       // Windows-1250; "MKZR" for a HADAR base read from a project
  std::string name;              // Windows-1250, from the catalogue
  float quantity = 0;            // pieces or metres
  float price = 0;               // by the report price rule; 0 for a HADAR base
  CElem* element = nullptr;      // null while the catalogue lacks the number
};

class CExtraReportElements {
 public:
  // The number a project file writes for a HADAR base.
  static constexpr const char* kHadarBaseNumber = "MKZR";

  const std::vector<ExtraReportElement>& records() const { return records_; }
  int count() const { return static_cast<int>(records_.size()); }
  bool empty() const { return records_.empty(); }

  // Appends a record of `element` (kind, number, name and price from the
  // catalogue). Returns its index, or -1 for an element without a record.
  int add(CElem* element, int section, float quantity);
  // Removes record `index`; false when there is none.
  bool remove(int index);
  void clear() { records_.clear(); }

  // Looks every record up again: a HADAR base takes the first catalogue
  // element of kind 16 with price 0, any other record the first element of
  // its catalogue number (its name and price). A record whose element is not
  // found keeps its name and price and has no element. Returns the number of
  // such records; the cost estimates refuse to run while there are any.
  int resolve(CPartix& catalogue);

  // Section `removed` was deleted: its records go, records of higher
  // sections move down by one, records without a section stay.
  void onSectionRemoved(int removed);

  enum class ProjectStatus { ok, missingElement, damaged };

  // The block after tag 123324: the number of records, then per record kind,
  // section, catalogue number ("MKZR" for a HADAR base) and quantity.
  void writeProjectBlock(TokenWriter& out) const;
  // Reads the block after tag 123324 and appends its records, resolved
  // against `catalogue`; a number the catalogue lacks is kept (the estimates
  // report it). Nothing is appended from a damaged block. Shows no message.
  ProjectStatus readProjectBlock(TokenReader& in, CPartix& catalogue);
  // Reads the old form after tag 1222: a count, then per record a catalogue
  // reference and an int quantity, appended without a section. A number the
  // catalogue lacks gives `missingElement` (as every reference of a project
  // does) and nothing is appended.
  ProjectStatus readOldProjectBlock(TokenReader& in, CPartix& catalogue);

 private:
  std::vector<ExtraReportElement> records_;
};

// The program-wide list.
CExtraReportElements& extraReportElements();
