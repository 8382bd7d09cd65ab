#pragma once
// Writes catalogue files byte by byte for the tests, independently of the
// library: plain little-endian fields, then the position-keyed scrambling.

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

class CatalogueFileBuilder {
 public:
  // The 144-byte header.
  CatalogueFileBuilder& header(const std::string& version, const std::string& author, const std::string& description,
                               uint32_t count);
  // The 17-byte head of an element record.
  CatalogueFileBuilder& head(uint32_t kind, uint8_t archived = 0);
  // The 103-byte common part.
  CatalogueFileBuilder& common(const std::string& name, const std::string& manufacturer, const std::string& catNo,
                               float price, const std::string& picture);

  CatalogueFileBuilder& text(const std::string& s, size_t width);
  CatalogueFileBuilder& f32(float v);
  CatalogueFileBuilder& i32(int32_t v);
  CatalogueFileBuilder& u32(uint32_t v);
  CatalogueFileBuilder& u8(uint8_t v);
  // n floats counting up from `first` by `step` (tables of working points).
  CatalogueFileBuilder& floats(int n, float first, float step = 1.0f);

  size_t size() const { return plain_.size(); }
  const std::vector<uint8_t>& plain() const { return plain_; }
  // The bytes as stored: scrambled.
  std::vector<uint8_t> scrambled() const;
  // Writes the scrambled bytes, cut to `keep` bytes when given.
  void write(const std::string& path, size_t keep = SIZE_MAX) const;

 private:
  std::vector<uint8_t> plain_;
};

// A fresh empty folder under the test temporary folder.
std::string makeTempDir(const std::string& name);

}  // namespace testing_support
