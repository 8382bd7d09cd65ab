#pragma once
// The table of sections: the groups of irrigation objects that are switched
// on together (one valve zone each). One table serves the whole program; it
// holds the number of sections in use, their descriptions and colours, and
// the section that the marking tool currently puts objects into. The objects
// themselves record their own section number and colour.
//
// Section numbers are 0-based in the data; the user sees number + 1.

#include <string>
#include <string_view>
#include <vector>

#include "platform/canvas.h"

class CGraphicPlane;
class CWBase;
class TokenReader;
class TokenWriter;

using platform::Colour;

struct CSectionItem {
  int nr = -1;  // equals the entry's index; -1 in an entry not yet initialised
  std::string desc;  // Windows-1250; empty: no description
  Colour color = 0xFFFFFF;
};

// What reading the colour table "seq.dat" came to.
enum class SeqFileStatus { Ok, Missing, Damaged };

class CSectionList {
 public:
  // Upper bound of the sections a table or a file may hold.
  static constexpr int kMaxSections = 10000;
  // A description read from a project file keeps at most this many bytes.
  static constexpr size_t kMaxStoredDescription = 254;
  // A description given in the name dialog keeps at most this many bytes.
  static constexpr size_t kMaxDescription = 98;

  CSectionList();

  // --- the colour table ------------------------------------------------------
  // Reads "seq.dat" from the user data folder: 0, or -1 when the file is
  // missing or damaged (`lastLoadStatus()` tells which). A damaged file leaves
  // the table as reset.
  int loadFile();
  int loadFile(const std::string& path);
  SeqFileStatus lastLoadStatus() const { return loadStatus_; }

  // --- the table -------------------------------------------------------------
  // One section, white, no descriptions; spare entries are kept (reset as
  // well). Returns the number of entries. Also makes section 0 current.
  int reset();
  // Sets the number of sections in use (1..kMaxSections; other values are
  // ignored). A shorter table is cut; a longer one grows with spare entries.
  void setCount(int n);
  int count() const { return count_; }
  const std::vector<CSectionItem>& items() const { return items_; }
  // The entry at `index`; an empty entry (nr -1) when there is none.
  const CSectionItem& item(int index) const;
  // The first entry whose nr is `nr`; an empty entry (nr -1) when none is.
  const CSectionItem& find(int nr) const;
  // Builds the table again without entry `index`; later numbers move down.
  void remove(int index);

  // --- the current section (where the marking tool puts objects) -------------
  int currentSection() const { return current_; }
  Colour currentColour() const { return currentColour_; }
  // Makes section `index` current with its colour; false when there is none.
  bool select(int index);

  // --- operations on the table and the objects of a project -------------------
  // Takes the colours of the table from the objects that are in a section: the
  // last object of a section in list order decides.
  void refreshFromObjects(const CGraphicPlane& doc);
  // Appends a section (white, no description) and makes it current. Returns
  // its number, or -1 when the table is full.
  int addSection();
  // Deletes section `index` after asking the user: objects of the section
  // leave all sections, objects of later sections move down by one, the table
  // is renumbered and section 0 becomes current. Nothing happens for the only
  // section, an unknown index, or when the user cancels. Returns whether the
  // section was deleted; the caller then renumbers the extra report elements.
  bool deleteSection(CGraphicPlane& doc, int index, bool ask = true);
  // Gives section `index` a description and a colour, and every object of the
  // section that colour. False when there is no such section.
  bool describeSection(CGraphicPlane& doc, int index, std::string_view desc, Colour colour);
  // Puts `object` into the current section. When the object consumes water
  // and the section then asks more than the source gives, the user is told
  // (the assignment stays).
  void assignToCurrent(CGraphicPlane& doc, CWBase& object);

  // --- the project file block ------------------------------------------------
  void writeBlock(TokenWriter& out) const;
  // Reads the block; false when it is damaged (a count out of range or the
  // file ending early), in which case the table stays as it was.
  bool readBlock(TokenReader& in);

 private:
  int count_ = 1;
  std::vector<CSectionItem> items_;
  int current_ = 0;
  Colour currentColour_ = 0xFFFFFF;
  SeqFileStatus loadStatus_ = SeqFileStatus::Missing;
};

// The program's table of sections.
CSectionList& sectionList();

// --- "seq.dat" ------------------------------------------------------------------
// Reads the colour table: a little-endian 32-bit count N followed by N
// colours. A file shorter than its count says, or with a count below 0 or
// above CSectionList::kMaxSections, is damaged.
SeqFileStatus readSeqFile(const std::string& path, std::vector<Colour>& colours);
// Writes the colour table through a temporary file renamed over `path`; false
// when it cannot be written (the old file is then left as it was).
bool writeSeqFile(const std::string& path, const std::vector<Colour>& colours);
// The colours a fresh installation ships in "seq.dat": clearly distinct ones.
std::vector<Colour> defaultSectionColours();
