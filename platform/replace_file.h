#pragma once
// Replacing a file's contents so that, whatever happens during the write
// (a full disk, a crash, a killed process, a power loss), the file holds
// either its old or its new contents, and no temporary file is left behind
// for long.

#include <string>
#include <string_view>

namespace platform {

// Writes `bytes` to a hidden temporary file beside `path`, flushes it to the
// disk, renames it over `path` and flushes the folder. Temporaries of earlier
// writes of the same file whose process is gone (killed mid-write) are
// removed first; no other file is touched. False when the file could not be
// written; `path` is then as it was.
bool replaceFile(const std::string& path, std::string_view bytes);

// The temporary file name a write of `path` by process `pid` uses.
std::string replaceTemporaryName(const std::string& path, long pid);

}  // namespace platform
