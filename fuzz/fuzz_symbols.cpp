// Symbol files "*.sym" of the interface folder: parsed and drawn at the
// sizes the plan and the printed sheet use.

#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "objects/wbase.h"
#include "platform/recording_canvas.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const SymbolData symbol = parseSymbolText(std::string(reinterpret_cast<const char*>(data), size));
  platform::RecordingCanvas dc;
  for (int figureSize : {0, 7, 20, 400, 20000}) {
    drawSymbolFigure(dc, symbol, {160, 120}, figureSize);
    dc.ops.clear();
  }
  return 0;
}
