// The pictures the build draws into the interface folder: each one where the
// program looks for it, of the size it cuts it by, with a mask that fits, and
// the empty slots of the toolbar strips masked out.

#include <gtest/gtest.h>

#include <QImage>
#include <QString>
#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace {

const std::string kGui = std::string(VERDIMO_PROGRAM_DIR) + "/Gui/";

struct Picture {
  std::string file;
  std::string mask;  // empty: the picture has none
  int width;
  int height;
  int cell = 0;             // strips: the width of one image
  int images = 0;           // strips: how many slots are cut from the left
  std::vector<int> unused;  // strips: slots that hold no image
};

// Bits per pixel from the header of a BMP file; 0 when it is not one.
int bmpBits(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  unsigned char header[30] = {};
  if (!in.read(reinterpret_cast<char*>(header), sizeof header) || header[0] != 'B' || header[1] != 'M') return 0;
  return header[28] | header[29] << 8;
}

bool fullyMasked(const QImage& mask, const QRect& area) {
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (qBlue(mask.pixel(x, y)) != 0) return false;
  return true;
}

bool showsSomething(const QImage& mask, const QRect& area) {
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (qBlue(mask.pixel(x, y)) == 255) return true;
  return false;
}

TEST(GuiPictures, EveryPictureHasItsSizeAndAFittingMask) {
  std::vector<Picture> pictures = {
      {"toolbar1a.bmp", "toolbar1amask.bmp", 425, 25, 25, 17, {5, 9}},
      {"toolbar2.bmp", "toolbar2mask.bmp", 350, 32, 32, 8, {}},
      {"splash.bmp", "", 641, 429, 0, 0, {}},
  };
  for (const char* name : {"foldernew", "folder", "foldersave", "print", "pprev", "grid", "grid2", "ortho",
                           "loopa_plus", "loopa_minus"})
    pictures.push_back({std::string(name) + ".bmp", std::string(name) + "_m.bmp", 32, 32, 0, 0, {}});

  for (const Picture& pic : pictures) {
    SCOPED_TRACE(pic.file);
    const QImage image(QString::fromStdString(kGui + pic.file));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), pic.width);
    EXPECT_EQ(image.height(), pic.height);
    EXPECT_EQ(bmpBits(kGui + pic.file), 24);
    if (pic.mask.empty()) continue;

    const QImage mask(QString::fromStdString(kGui + pic.mask));
    ASSERT_FALSE(mask.isNull()) << pic.mask;
    ASSERT_EQ(mask.width(), image.width()) << pic.mask;
    ASSERT_EQ(mask.height(), image.height()) << pic.mask;
    EXPECT_EQ(bmpBits(kGui + pic.mask), 24) << pic.mask;
    if (pic.cell == 0) {
      EXPECT_TRUE(showsSomething(mask, mask.rect())) << pic.mask;
      continue;
    }
    for (int i = 0; i < pic.images; ++i) {
      const QRect slot(i * pic.cell, 0, pic.cell, pic.height);
      const bool unused = std::find(pic.unused.begin(), pic.unused.end(), i) != pic.unused.end();
      EXPECT_EQ(fullyMasked(mask, slot), unused) << "slot " << i;
      EXPECT_EQ(showsSomething(mask, slot), !unused) << "slot " << i;
    }
    const int rest = pic.width - pic.images * pic.cell;
    if (rest > 0) {
      EXPECT_TRUE(fullyMasked(mask, QRect(pic.images * pic.cell, 0, rest, pic.height)));
    }
  }

  const QImage icon(QString::fromStdString(kGui + "verdimo.png"));
  ASSERT_FALSE(icon.isNull());
  EXPECT_EQ(icon.width(), 256);
  EXPECT_EQ(icon.height(), 256);
  EXPECT_TRUE(icon.hasAlphaChannel());
}

}  // namespace
