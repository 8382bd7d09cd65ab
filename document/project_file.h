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
enum class BlockRead { ok, missingElement, damaged };

struct ProjectBlocks {
  std::function<void(TokenWriter&)> writeExtraElements;
  std::function<BlockRead(TokenReader&)> readExtraElements;
  // The old form of extra elements (tag 1222).
  std::function<BlockRead(TokenReader&)> readOldExtraElements;
  std::function<void(TokenWriter&)> writeSections;
  std::function<BlockRead(TokenReader&)> readSections;
  // The count and definitions of the connection sets the plan uses.
  std::function<void(TokenWriter&)> writeSets;
  std::function<BlockRead(TokenReader&)> readSets;
  // The in-memory key of a placed set's stored key; 0xFFFFFFFF drops the
  // object (an old file's index the collection does not hold).
  std::function<uint32_t(uint32_t stored, bool oldVersion)> setKey;
  std::function<void(TokenWriter&)> writePrintLayout;
  std::function<BlockRead(TokenReader&)> readPrintLayout;
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

class CWBase;
class CPrimitive;
// The record of one object or terrain primitive as the file holds it (the
// primitive's followed by its fill record).
void writeObjectRecord(TokenWriter& out, CWBase& object, const CGraphicPlane& doc);
void writePrimitiveRecord(TokenWriter& out, const CPrimitive& primitive);

// Every record of an in-memory project text. Reading stops at the end
// marker; `afterEndMarker` then receives the offset just past it (where an
// appended image's line break begins), else npos.
ProjectResult readProjectText(ProjectIo& io, std::string_view text);
ProjectResult readProjectText(ProjectIo& io, std::string_view text, size_t* afterEndMarker);
std::string writeProjectText(ProjectIo& io);
