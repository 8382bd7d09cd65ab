#pragma once
// The project file "*.prj": a token text beginning with a version line,
// followed by terrain and object records, the project's own blocks and an end
// marker, with the background image's bytes appended after it.

#include <functional>
#include <string>
#include <vector>

#include "document/app_settings.h"
#include "document/token_stream.h"

class CGraphicPlane;
class CPartix;
class CElem;

inline constexpr const char* kProjectVersion = "1.12";
inline constexpr const char* kProjectVersionOld = "1.1";

// What lives outside the document but travels in its file: the extra report
// elements, the section table, the connection sets the project uses, the
// print layout. The program wires these to its objects; a hook left empty
// writes an empty block (and reads none).
struct ProjectBlocks {
  std::function<void(TokenWriter&)> writeExtraElements;
  std::function<void(TokenReader&)> readExtraElements;
  // The old form of extra elements (tag 1222): element and quantity.
  std::function<void(CElem*, float)> addOldExtraElement;
  std::function<void(TokenWriter&)> writeSections;
  std::function<void(TokenReader&)> readSections;
  // The definitions of the sets with these keys, in the order given.
  std::function<void(TokenWriter&, const std::vector<uint32_t>&)> writeSets;
  std::function<void(TokenReader&)> readSets;
  // The key of the set at `index` of the collection (old files), or none.
  std::function<bool(uint32_t index, uint32_t& key)> setKeyAtIndex;
  std::function<void(TokenWriter&)> writePrintLayout;
  std::function<void(TokenReader&)> readPrintLayout;
  // The print layout's margins, which the settings block carries.
  std::function<DefaultMargins()> layoutMargins;
  std::function<void(const DefaultMargins&)> setLayoutMargins;
};

struct ProjectIo {
  CGraphicPlane& doc;
  CPartix& catalogue;
  AppSettings& settings;
  ProjectBlocks blocks;
  // Where an image appended to a project is extracted.
  std::string userDataDir;
};

struct ProjectResult {
  bool ok = true;
  // What to tell the user (Windows-1250): the error, or a note on success.
  std::string message;
  std::string caption;
};

// Writes the document to `path` (a temporary file renamed over the old one).
// The document and its objects are written at zoom 1 and put back.
ProjectResult saveProject(ProjectIo& io, const std::string& path);

// Reads `path` into a freshly made document. On failure the document holds
// whatever was read and should be discarded.
ProjectResult loadProject(ProjectIo& io, const std::string& path);

// Every record of an in-memory project text, without the appended image.
ProjectResult readProjectText(ProjectIo& io, std::string_view text);
std::string writeProjectText(ProjectIo& io);
