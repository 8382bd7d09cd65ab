#pragma once
// Element pictures: JPEG files decoded into 24-bit device-independent rows.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace partix {

// A 24-bit bitmap laid out as a bottom-up device-independent bitmap: rows of
// blue-green-red triples, the bottom row first, each row padded to a multiple
// of 4 bytes.
struct DibBitmap {
  int width = 0;
  int height = 0;
  int rowBytes = 0;  // (3 * width + 3) & ~3
  std::vector<uint8_t> bits;

  bool empty() const { return bits.empty(); }
  // The row `y` counted from the top of the picture.
  const uint8_t* topRow(int y) const { return bits.data() + static_cast<size_t>(height - 1 - y) * rowBytes; }
};

// Decodes the JPEG file `fileName` (resolved against the current directory)
// into `bitmap`. `width` and `height` receive the picture's size once its
// header has been read. Returns 1 on success, 0 when the file is missing,
// unreadable, not a JPEG or too large; the bitmap is then empty.
int LoadJpegBitmap(const char* fileName, DibBitmap& bitmap, int& width, int& height);

}  // namespace partix
