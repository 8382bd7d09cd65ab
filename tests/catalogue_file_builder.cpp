#include "tests/catalogue_file_builder.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace testing_support {

namespace {
const uint8_t kKey[16] = {0xA7, 0x1F, 0x5C, 0xE2, 0x38, 0x94, 0x0D, 0x6B,
                          0xC1, 0x73, 0x2A, 0xF8, 0x46, 0x9E, 0xB5, 0x10};
}

CatalogueFileBuilder& CatalogueFileBuilder::header(const std::string& version, const std::string& author,
                                                   const std::string& description, uint32_t count) {
  return text(version, 20).text(author, 50).text(description, 70).u32(count);
}

CatalogueFileBuilder& CatalogueFileBuilder::head(uint32_t kind, uint8_t archived) {
  return u32(kind).u8(archived).u32(0x11111111).u32(0x22222222).u32(0x33333333);
}

CatalogueFileBuilder& CatalogueFileBuilder::common(const std::string& name, const std::string& manufacturer,
                                                   const std::string& catNo, float price, const std::string& picture) {
  return text(name, 50).text(manufacturer, 20).text(catNo, 9).f32(price).text(picture, 20);
}

CatalogueFileBuilder& CatalogueFileBuilder::text(const std::string& s, size_t width) {
  size_t at = plain_.size();
  plain_.resize(at + width, 0);
  std::memcpy(plain_.data() + at, s.data(), std::min(s.size(), width));
  return *this;
}

CatalogueFileBuilder& CatalogueFileBuilder::f32(float v) {
  uint8_t b[4];
  std::memcpy(b, &v, 4);
  plain_.insert(plain_.end(), b, b + 4);
  return *this;
}

CatalogueFileBuilder& CatalogueFileBuilder::i32(int32_t v) { return u32(static_cast<uint32_t>(v)); }

CatalogueFileBuilder& CatalogueFileBuilder::u32(uint32_t v) {
  for (int i = 0; i < 4; ++i) plain_.push_back(static_cast<uint8_t>(v >> (8 * i)));
  return *this;
}

CatalogueFileBuilder& CatalogueFileBuilder::u8(uint8_t v) {
  plain_.push_back(v);
  return *this;
}

CatalogueFileBuilder& CatalogueFileBuilder::floats(int n, float first, float step) {
  for (int i = 0; i < n; ++i) f32(first + step * static_cast<float>(i));
  return *this;
}

std::vector<uint8_t> CatalogueFileBuilder::scrambled() const {
  std::vector<uint8_t> out = plain_;
  for (size_t p = 0; p < out.size(); ++p) out[p] ^= kKey[p % 16];
  return out;
}

void CatalogueFileBuilder::write(const std::string& path, size_t keep) const {
  std::vector<uint8_t> bytes = scrambled();
  if (keep < bytes.size()) bytes.resize(keep);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string makeTempDir(const std::string& name) {
  namespace fs = std::filesystem;
  const char* base = std::getenv("TEST_TMPDIR");
  fs::path dir = fs::path(base ? base : fs::temp_directory_path().string()) /
                 ("verdimo-test-" + std::to_string(::getpid()) + "-" + name);
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir.string();
}

}  // namespace testing_support
