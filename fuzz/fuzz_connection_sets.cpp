// The connection sets file "sets.zdb": read against the shipped catalogue,
// a set made and filled as the editor does, written back and read again.

#include <cstdint>
#include <sys/stat.h>

#include "fuzz/fuzz_support.h"
#include "sections/connection_sets.h"
#include "startup/application.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzing::startProgram();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string folder = fuzzing::scratchDir() + "/sets";
  static const bool made = [&] { return ::mkdir(folder.c_str(), 0700) == 0; }();
  (void)made;
  fuzzing::writeScratch("sets/sets.zdb", data, size);
  CPartix& catalogue = application().catalogue;
  CDBSets sets;
  sets.load(folder, catalogue);
  const int index = sets.newSet("Nowy");
  if (catalogue.head) sets.addElement(index, catalogue.head);
  for (int i = 0; i < sets.count(); ++i) (void)sets.findSet(sets.item(i).id);
  if (sets.save(folder)) {
    // The new set is there again (ids may be renumbered on the way: a file
    // can start with an old id below the first new one).
    CDBSets again;
    again.load(folder, catalogue);
    bool found = false;
    for (int i = 0; i < again.count(); ++i) found = found || again.item(i).name == "Nowy";
    if (!found) __builtin_trap();
  }
  return 0;
}
