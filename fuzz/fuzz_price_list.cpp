// The user's price list "prizes.db": read, applied to a catalogue, written
// back and read again.

#include <cstdint>
#include <string>

#include "catalogue/partix_internal.h"
#include "catalogue/prices.h"
#include "fuzz/fuzz_support.h"
#include "partix.h"

namespace {
CPartix gCatalogue;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  partix::priceList().pricePath = fuzzing::scratchDir() + "/prizes.db";
  static const std::string shipped = fuzzing::programDir() + "/DataBase/MainPartix.dbc";
  gCatalogue.fileName = shipped.c_str();
  gCatalogue.LoadDB();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  partix::CPriceList& list = partix::priceList();
  list.finalPrices.clear();
  list.transient.clear();
  fuzzing::writeScratch("prizes.db", data, size);
  list.load();
  partix::setCurrentCatalogue(&gCatalogue);
  partix::updatePrices();
  for (CElem* e = gCatalogue.head; e; e = e->next)
    if (e->data) (void)partix::priceButtonText(*e->data);
  if (!list.save()) return 0;
  const auto first = list.finalPrices.size();
  list.finalPrices.clear();
  list.transient.clear();
  list.load();
  // What was written reads back with no more entries than were written.
  if (list.finalPrices.size() > first) __builtin_trap();
  return 0;
}
