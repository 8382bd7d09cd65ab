// The settings file "wnd.ini", as the program reads it at start-up, and its
// block inside project files; what is read is written and read again.

#include <cstdint>
#include <string_view>

#include "document/settings_file.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzing::writeScratch("wnd.ini", data, size);
  AppSettings settings;
  if (loadSettings(settings, fuzzing::scratchDir()) != 0) return 0;
  TokenWriter out;
  writeSettingsBlock(out, settings);
  AppSettings again;
  TokenReader in(out.text());
  readSettingsBlock(in, again);
  TokenWriter twice;
  writeSettingsBlock(twice, again);
  // Whatever was read writes back the same way.
  if (twice.text() != out.text()) __builtin_trap();
  return 0;
}
