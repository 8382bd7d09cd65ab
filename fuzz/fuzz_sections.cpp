// The section colour table "seq.dat" and the section table as project files
// carry it.

#include <cstdint>
#include <vector>

#include "document/token_stream.h"
#include "fuzz/fuzz_support.h"
#include "sections/section_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte chooses the form.
  if (data[0] & 1) {
    const std::string path = fuzzing::writeScratch("seq.dat", data + 1, size - 1);
    CSectionList table;
    table.loadFile(path);
    std::vector<Colour> colours;
    if (readSeqFile(path, colours) == SeqFileStatus::Ok) writeSeqFile(path, colours);
    return 0;
  }
  CSectionList list;
  TokenReader in(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
  if (list.readBlock(in)) {
    TokenWriter out;
    list.writeBlock(out);
    TokenReader back(out.text());
    if (!list.readBlock(back)) __builtin_trap();
  }
  return 0;
}
