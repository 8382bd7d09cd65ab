// Element pictures: JPEG files decoded for the catalogue browser and the
// palette.

#include <cstdint>

#include "catalogue/jpegbitmap.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzzing::writeScratch("picture.jpg", data, size);
  partix::DibBitmap bitmap;
  int width = 0, height = 0;
  if (partix::LoadJpegBitmap(path.c_str(), bitmap, width, height) == 1) {
    // Every row the decoder claims is there.
    unsigned sum = 0;
    for (int y = 0; y < bitmap.height; ++y) sum += bitmap.topRow(y)[bitmap.rowBytes - 1];
    if (bitmap.bits.size() != static_cast<size_t>(bitmap.rowBytes) * bitmap.height) __builtin_trap();
    return static_cast<int>(sum & 0);
  }
  return 0;
}
