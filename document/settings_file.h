#pragma once
// The settings file "wnd.ini": 39 values, one per line, in a fixed order.
// Project files carry the same block.

#include <string>

#include "document/app_settings.h"
#include "document/token_stream.h"

// Reads the 39 values into `s`. Values past the end of a short block leave
// numbers 0 and texts as they were. The remembered range becomes valid.
void readSettingsBlock(TokenReader& in, AppSettings& s);
void writeSettingsBlock(TokenWriter& out, const AppSettings& s);

// Reads "wnd.ini" from `folder`: 0, or -1 when the file cannot be opened.
int loadSettings(AppSettings& s, const std::string& folder);
// Writes "wnd.ini" into `folder` (a temporary file renamed over the old one).
// Returns false when it could not be written.
bool saveSettings(const AppSettings& s, const std::string& folder);

// Writes `text` to `path` through a temporary file in the same folder that
// is renamed over the old file, so that a failed write never destroys it.
bool writeFileReplacing(const std::string& path, const std::string& text);
// Reads a whole file; false when it cannot be opened.
bool readWholeFile(const std::string& path, std::string& text);
