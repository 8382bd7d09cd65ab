#pragma once
// What the parts of libpartix share among themselves.

#include <cstddef>
#include <cstdint>
#include <cstring>

class CPartix;

namespace partix {

// The key of the catalogue files the system is delivered with: the byte at
// file offset p is stored XORed with kScrambleKey[p % 16].
inline constexpr uint8_t kScrambleKey[16] = {0xA7, 0x1F, 0x5C, 0xE2, 0x38, 0x94, 0x0D, 0x6B,
                                             0xC1, 0x73, 0x2A, 0xF8, 0x46, 0x9E, 0xB5, 0x10};

// XORs `size` bytes that start at absolute file offset `offset`; scrambling
// and descrambling are the same operation.
inline void scramble(uint8_t* bytes, size_t size, size_t offset) {
  size_t i = 0;
  for (; i < size && ((offset + i) & 15) != 0; ++i) bytes[i] ^= kScrambleKey[(offset + i) & 15];
  // Whole key periods, eight bytes at a time.
  uint64_t k0, k1;
  std::memcpy(&k0, kScrambleKey, 8);
  std::memcpy(&k1, kScrambleKey + 8, 8);
  for (; i + 16 <= size; i += 16) {
    uint64_t a, b;
    std::memcpy(&a, bytes + i, 8);
    std::memcpy(&b, bytes + i + 8, 8);
    a ^= k0;
    b ^= k1;
    std::memcpy(bytes + i, &a, 8);
    std::memcpy(bytes + i + 8, &b, 8);
  }
  for (; i < size; ++i) bytes[i] ^= kScrambleKey[(offset + i) & 15];
}

// The catalogue loaded last; the browser and the price computation work on it.
CPartix* currentCatalogue();
void setCurrentCatalogue(CPartix* root);

}  // namespace partix
