#pragma once
// Connection sets: named combinations of catalogue pipes and fittings that
// the designer places on the plan as one object (CWSet). The collection holds
// the sets the user made in the program, kept in "sets.zdb" in the user data
// folder, and the sets that came in with the open project file. Sets of a
// project carry the top bit 0x80000000 in their id (negative as a signed
// number) and never reach "sets.zdb".

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "objects/cable_set.h"

class CElem;
class CPartix;
class CGraphicPlane;
class TokenReader;
class TokenWriter;

// One set.
struct CDBSetItem {
  int32_t id = 0;      // at least 4096; negative for a set from a project file
  std::string name;    // Windows-1250, at most CDBSets::kNameCapacity bytes
  int hasPipe = 0;     // 1 once a pipe was added; never cleared
  int erased = 0;      // deleted by the user: not listed, not saved
  // Element slots in the order added; `removed` runs parallel to `elems`. A
  // removed slot (taken out by the user, or not found in the catalogue) is
  // ignored everywhere; its element may be null.
  std::vector<CElem*> elems;
  std::vector<int> removed;

  int elemCount() const { return static_cast<int>(elems.size()); }
  bool fromProject() const { return id < 0; }
  // The elements of the slots that are not removed, in slot order.
  std::vector<CElem*> availableElements() const;
};

class CDBSets : public ConnectionSetLookup {
 public:
  static constexpr const char* kFileName = "sets.zdb";
  static constexpr uint32_t kMagic = 983297;  // 0x000F0101
  static constexpr int32_t kFirstId = 4096;   // ids below are renumbered
  static constexpr uint32_t kProjectBit = 0x80000000u;
  static constexpr int kNameCapacity = 251;    // bytes of a name in memory
  static constexpr int kEditorNameLimit = 98;  // names typed in the editor
  static constexpr int kFileNameBytes = 20;    // bytes of a name in "sets.zdb"
  static constexpr int kFileNumberBytes = 50;  // bytes of a catalogue number there
  static constexpr int kGrowStep = 10;

  // An empty collection; it becomes the lookup of the placed sets' labels.
  CDBSets();
  // Leaves no lookup behind when it is the registered one.
  ~CDBSets() override;
  CDBSets(const CDBSets&) = delete;
  CDBSets& operator=(const CDBSets&) = delete;

  // --- "sets.zdb" ------------------------------------------------------------

  struct LoadResult {
    bool opened = false;       // the file exists and could be read
    bool damaged = false;      // wrong magic, or cut short: only whole records were taken
    int missingElements = 0;   // slots marked removed because the catalogue lacks them
    bool renumbered = false;   // ids below 4096 were renumbered from 4096
    bool rewriteFailed = false;  // the renumbered file could not be written back
  };
  // Replaces the records by those of "sets.zdb" in `folder`, looking every
  // element up in `catalogue`. A missing file leaves the collection as it is.
  // Tells the user about elements the catalogue lacks, a damaged file and a
  // failed rewrite. A file whose first id is below 4096 is renumbered and,
  // unless damaged, written back at once.
  LoadResult load(const std::string& folder, CPartix& catalogue);
  // Writes the records made in the program (not erased, id not negative) to
  // "sets.zdb" in `folder`, through a temporary file renamed over the old
  // one. False when the file could not be written; the old file then stays.
  bool save(const std::string& folder) const;

  // --- records -----------------------------------------------------------------

  // Records in use.
  int count() const { return count_; }
  // Records in the array, spare ones included.
  int size() const { return static_cast<int>(items_.size()); }
  CDBSetItem& item(int index) { return items_.at(static_cast<size_t>(index)); }
  const CDBSetItem& item(int index) const { return items_.at(static_cast<size_t>(index)); }

  // The first record (of those in use) whose id is `id`, or -1.
  int find(int32_t id) const;
  // The next identity: the counter, pre-incremented; past the largest id an
  // id no record holds.
  int32_t newId();
  // The last identity handed out or loaded.
  int32_t lastId() const { return counter_; }

  // Appends a set made in the program: a new id, no elements; the name is cut
  // to the editor's limit. Returns its index.
  int newSet(const std::string& name);
  // Appends `element` to set `index` as a new slot; a pipe (kind 3) sets
  // `hasPipe`. False for a bad index or a null element.
  bool addElement(int index, CElem* element);
  // Marks slot `slot` of set `index` removed. False when there is no such slot.
  bool removeElement(int index, int slot);
  // Marks set `index` erased (the editor first deletes its placed objects).
  bool erase(int index);

  // --- the project file (tag 123325) ------------------------------------------

  enum class ProjectStatus { ok, missingElement, damaged };

  // The block after the tag: the number of sets that the document's
  // non-deleted placed sets use and that the collection holds, then each
  // set's definition in ascending key order. Returns the number of sets.
  int writeProjectBlock(TokenWriter& out, const CGraphicPlane& doc) const;
  // The definition of the set whose id is `id`; false (nothing written) when
  // the collection has none.
  bool writeProjectSet(int32_t id, TokenWriter& out) const;

  // Reads the block after the tag and adds its sets, each marked as a
  // project set (see projectKey). Nothing is added unless the whole block
  // reads: `missingElement` when a catalogue number is not in the catalogue,
  // `damaged` when the block is cut short or malformed. Shows no message: the
  // project reader reports and abandons the file.
  ProjectStatus readProjectBlock(TokenReader& in, CPartix& catalogue);
  // Reads one set definition and adds it (as readProjectBlock does for each).
  ProjectStatus addFromProject(TokenReader& in, CPartix& catalogue);

  // The key a "1.12" project file's set id (or placed set's kindWord) stands
  // for in memory: raised by 4096 when below 4096, then marked with the top bit.
  static uint32_t projectKey(uint32_t stored);
  // The key of a placed set in a "1.1" project file, whose kindWord was an
  // index into the collection; 0xFFFFFFFF (drop the object) when there is no
  // such record.
  uint32_t keyFromOldIndex(uint32_t index) const;

  // --- ConnectionSetLookup -----------------------------------------------------
  std::optional<ConnectionSetInfo> findSet(uint32_t key) const override;

 private:
  CDBSetItem& appendRecord();
  void addOrReplace(CDBSetItem record);

  std::vector<CDBSetItem> items_;
  int count_ = 0;
  int32_t counter_ = kFirstId;
};

// Whether the plan holds a non-deleted placed set of `key`.
bool setUsedOnPlan(const CGraphicPlane& doc, uint32_t key);

// The connection sets used on the plan, for the project information report:
// one entry per distinct set key of the non-deleted placed sets, in plan
// order, with the set's name and the names of its available elements. A key
// the collection does not hold gives no entry.
class CUsedSetsReport {
 public:
  struct Entry {
    std::string name;                       // Windows-1250
    std::vector<std::string> elementNames;  // Windows-1250, slot order
  };
  CUsedSetsReport(const CGraphicPlane& doc, const CDBSets& sets);
  const std::vector<Entry>& entries() const { return entries_; }
  bool empty() const { return entries_.empty(); }

 private:
  std::vector<Entry> entries_;
};

// --- the sets a fresh installation ships ----------------------------------------

struct DefaultSet {
  std::string name;               // Windows-1250, at most 20 bytes
  std::vector<CElem*> elements;   // in slot order
};

// A few sets made of the catalogue's pipes and fittings (sprinkler hook-up,
// branch, valve hook-up, end of line). A set whose pieces the catalogue lacks
// is left out.
std::vector<DefaultSet> defaultConnectionSets(CPartix& catalogue);

// Writes "sets.zdb" into `folder` holding `sets` with ids from 4097 on.
// False when the file could not be written.
bool writeConnectionSetsFile(const std::string& folder, const std::vector<DefaultSet>& sets);
