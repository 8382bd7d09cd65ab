#include "catalogue/jpegbitmap.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

namespace partix {
namespace {

// Pictures larger than this are refused rather than allocated.
constexpr uint64_t kMaxPictureBytes = 256ull << 20;
constexpr unsigned kMaxSide = 16384;

struct ErrorManager {
  jpeg_error_mgr pub;
  jmp_buf jump;
};

void onError(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  std::longjmp(err->jump, 1);
}

void onMessage(j_common_ptr, int) {}  // warnings of damaged files stay silent

struct FileCloser {
  FILE* f;
  ~FileCloser() {
    if (f) std::fclose(f);
  }
};

// Decodes into `bits` (already sized); kept free of objects with destructors
// because an error unwinds it with longjmp.
bool decode(FILE* file, jpeg_decompress_struct& cinfo, ErrorManager& err, DibBitmap& bitmap,
            std::vector<uint8_t>& cmykLine, int& width, int& height, bool& headerRead) {
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_stdio_src(&cinfo, file);
  jpeg_read_header(&cinfo, TRUE);
  width = static_cast<int>(cinfo.image_width);
  height = static_cast<int>(cinfo.image_height);
  headerRead = true;
  const unsigned w = cinfo.image_width, h = cinfo.image_height;
  const uint64_t rowBytes = (3ull * w + 3) & ~3ull;
  if (w == 0 || h == 0 || w > kMaxSide || h > kMaxSide || rowBytes * h > kMaxPictureBytes) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
  jpeg_start_decompress(&cinfo);

  bitmap.width = static_cast<int>(w);
  bitmap.height = static_cast<int>(h);
  bitmap.rowBytes = static_cast<int>(rowBytes);
  bitmap.bits.assign(rowBytes * h, 0);
  // CMYK pictures (as written by print software, stored inverted) are
  // converted one scan line at a time.
  if (cmyk) cmykLine.assign(4ull * w, 0);
  while (cinfo.output_scanline < h) {
    // The top row of the picture goes to the last row of the bitmap.
    uint8_t* dst = bitmap.bits.data() + static_cast<size_t>(h - 1 - cinfo.output_scanline) * rowBytes;
    JSAMPROW row = cmyk ? cmykLine.data() : dst;
    if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) break;
    if (cmyk) {
      const uint8_t* s = cmykLine.data();
      for (unsigned x = 0; x < w; ++x, s += 4) {
        unsigned k = s[3];
        dst[3 * x + 0] = static_cast<uint8_t>(s[2] * k / 255);
        dst[3 * x + 1] = static_cast<uint8_t>(s[1] * k / 255);
        dst[3 * x + 2] = static_cast<uint8_t>(s[0] * k / 255);
      }
    }
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

}  // namespace

int LoadJpegBitmap(const char* fileName, DibBitmap& bitmap, int& width, int& height) {
  bitmap = DibBitmap{};
  if (!fileName || !*fileName) return 0;
  FileCloser file{std::fopen(fileName, "rb")};
  if (!file.f) return 0;
  jpeg_decompress_struct cinfo;
  std::memset(&cinfo, 0, sizeof cinfo);
  ErrorManager err;
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = onError;
  err.pub.emit_message = onMessage;
  bool headerRead = false;
  int w = 0, h = 0;
  std::vector<uint8_t> cmykLine;
  bool ok = decode(file.f, cinfo, err, bitmap, cmykLine, w, h, headerRead);
  if (headerRead) {
    width = w;
    height = h;
  }
  if (!ok) {
    bitmap = DibBitmap{};
    return 0;
  }
  return 1;
}

}  // namespace partix
