#pragma once
// Conversion between the Windows-1250 bytes that every stored text of the
// system is made of and the UTF-8 used at the edges (widgets, JSON, sources).

#include <string>
#include <string_view>

namespace platform {

// Windows-1250 bytes to UTF-8. The five byte values the code page leaves
// undefined become U+FFFD, so the result is always valid UTF-8.
std::string cp1250ToUtf8(std::string_view cp1250);

// UTF-8 to Windows-1250 bytes. A character the code page lacks, or a malformed
// UTF-8 sequence, becomes '?'. When `lossless` is given it is set to false if
// anything had to be replaced.
std::string utf8ToCp1250(std::string_view utf8, bool* lossless = nullptr);

}  // namespace platform
