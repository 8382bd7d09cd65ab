// The catalogue file "MainPartix.dbc". The input is the file's plain bytes;
// they are scrambled as the file stores them before the library reads them,
// so that mutations reach the records instead of the scrambling.

#include <cstdint>
#include <vector>

#include "catalogue/partix_internal.h"
#include "catalogue/prices.h"
#include "fuzz/fuzz_support.h"
#include "partix.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  partix::priceList().pricePath = fuzzing::scratchDir() + "/prizes.db";
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> stored(data, data + size);
  partix::scramble(stored.data(), stored.size(), 0);
  const std::string path = fuzzing::writeScratch("MainPartix.dbc", stored.data(), stored.size());
  CPartix catalogue;
  catalogue.fileName = path.c_str();
  catalogue.LoadDB();
  // What the program does with every element: prices and its texts.
  partix::updatePrices();
  size_t seen = 0;
  for (CElem* e = catalogue.head; e; e = e->next) {
    if (!e->data) continue;
    seen += partix::priceButtonText(*e->data).size();
    seen += static_cast<size_t>(partix::effectivePrice(*e->data) > 0.0f);
  }
  catalogue.ReleaseDB();
  partix::setCurrentCatalogue(nullptr);
  return seen == static_cast<size_t>(-1);
}
