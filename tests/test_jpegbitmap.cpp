// Decoding element pictures into bottom-up blue-green-red rows.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <vector>

#include <jpeglib.h>

#include "catalogue/jpegbitmap.h"
#include "tests/catalogue_file_builder.h"

namespace {

struct Rgb {
  uint8_t r, g, b;
};

// Writes a JPEG of the given size; `pixel(x, y)` gives the colour, y from the top.
void writeJpeg(const std::string& path, int w, int h, bool grey, const std::function<Rgb(int, int)>& pixel) {
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  jpeg_stdio_dest(&c, f);
  c.image_width = static_cast<JDIMENSION>(w);
  c.image_height = static_cast<JDIMENSION>(h);
  c.input_components = grey ? 1 : 3;
  c.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 100, TRUE);
  jpeg_start_compress(&c, TRUE);
  std::vector<uint8_t> row(static_cast<size_t>(w) * 3);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      Rgb p = pixel(x, y);
      if (grey)
        row[x] = p.r;
      else
        row[3 * x] = p.r, row[3 * x + 1] = p.g, row[3 * x + 2] = p.b;
    }
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&c, &r, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::fclose(f);
}

void expectNear(const uint8_t* bgr, Rgb want) {
  EXPECT_NEAR(bgr[0], want.b, 8);
  EXPECT_NEAR(bgr[1], want.g, 8);
  EXPECT_NEAR(bgr[2], want.r, 8);
}

class JpegBitmapTest : public ::testing::Test {
 protected:
  std::string dir = testing_support::makeTempDir("jpeg");
};

TEST_F(JpegBitmapTest, RowsArePaddedBottomUpAndBlueGreenRed) {
  // 101 pixels wide: 303 bytes of pixels, rows padded to 304. The top half is
  // red, the bottom half blue.
  const std::string path = dir + "/red_blue.jpg";
  writeJpeg(path, 101, 64, false, [](int, int y) { return y < 32 ? Rgb{220, 20, 20} : Rgb{20, 20, 220}; });
  partix::DibBitmap bmp;
  int w = 0, h = 0;
  ASSERT_EQ(partix::LoadJpegBitmap(path.c_str(), bmp, w, h), 1);
  EXPECT_EQ(w, 101);
  EXPECT_EQ(h, 64);
  EXPECT_EQ(bmp.rowBytes, 304);
  ASSERT_EQ(bmp.bits.size(), 304u * 64);
  // The first stored row is the bottom of the picture.
  expectNear(&bmp.bits[0], {20, 20, 220});
  expectNear(&bmp.bits[63 * 304], {220, 20, 20});
  // The last pixel of a row sits at byte 300, not skewed into the padding.
  expectNear(&bmp.bits[10 * 304 + 300], {20, 20, 220});
  expectNear(bmp.topRow(0) + 300, {220, 20, 20});
}

TEST_F(JpegBitmapTest, GreyPicturesStayGrey) {
  const std::string path = dir + "/grey.jpg";
  writeJpeg(path, 40, 40, true, [](int x, int) { return x < 20 ? Rgb{60, 0, 0} : Rgb{200, 0, 0}; });
  partix::DibBitmap bmp;
  int w = 0, h = 0;
  ASSERT_EQ(partix::LoadJpegBitmap(path.c_str(), bmp, w, h), 1);
  EXPECT_EQ(bmp.rowBytes, 120);
  expectNear(bmp.topRow(5) + 3 * 2, {60, 60, 60});
  expectNear(bmp.topRow(5) + 3 * 35, {200, 200, 200});
}

TEST_F(JpegBitmapTest, UnreadablePicturesGiveNoBitmap) {
  partix::DibBitmap bmp;
  int w = -1, h = -1;
  EXPECT_EQ(partix::LoadJpegBitmap((dir + "/missing.jpg").c_str(), bmp, w, h), 0);
  EXPECT_EQ(partix::LoadJpegBitmap("", bmp, w, h), 0);
  EXPECT_EQ(w, -1);

  const std::string text = dir + "/not_a_picture.jpg";
  std::ofstream(text) << "this is no JPEG";
  EXPECT_EQ(partix::LoadJpegBitmap(text.c_str(), bmp, w, h), 0);
  EXPECT_TRUE(bmp.empty());

  // A picture cut short decodes what is there or fails, but never crashes.
  const std::string whole = dir + "/whole.jpg";
  writeJpeg(whole, 64, 64, false, [](int x, int y) { return Rgb{uint8_t(x * 4), uint8_t(y * 4), 90}; });
  std::ifstream in(whole, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  for (size_t keep : {size_t{2}, size_t{200}, bytes.size() / 2}) {
    const std::string cut = dir + "/cut.jpg";
    std::ofstream(cut, std::ios::binary) << bytes.substr(0, keep);
    int r = partix::LoadJpegBitmap(cut.c_str(), bmp, w, h);
    EXPECT_EQ(r == 1, !bmp.empty());
  }
}

}  // namespace
