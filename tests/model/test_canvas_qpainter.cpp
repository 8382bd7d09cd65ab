// The canvas on Qt's painter, drawing into an image.

#include <gtest/gtest.h>

#include "platform/folders.h"

#include <QGuiApplication>
#include <QImage>
#include <memory>

#include "platform/canvas_qpainter.h"
#include "tests/support/program.h"

namespace {

using namespace platform;

class QPainterCanvasTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    testing_support::ensureGuiApplication();
  }

  QImage image{200, 200, QImage::Format_RGB32};
  void SetUp() override { image.fill(Qt::white); }

  bool isWhite(int x, int y) const { return image.pixel(x, y) == qRgb(255, 255, 255); }
  int inkIn(const QRect& r) const {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x) n += !isWhite(x, y);
    return n;
  }
};

TEST_F(QPainterCanvasTest, InvertingTwiceRestores) {
  {
    QPainter p(&image);
    QPainterCanvas c(p);
    c.fillRect({20, 20, 60, 60}, rgb(10, 200, 30));
  }
  const QImage before = image.copy();
  QPainter p(&image);
  {
    QPainterCanvas c(p);
    c.setRasterOp(RasterOp::Not);
    c.setPen(Pen::solid(0, 2));
    c.line({0, 40}, {199, 40});
    c.ellipse({30, 30, 90, 90});
    c.line({0, 40}, {199, 40});
    c.ellipse({30, 30, 90, 90});
  }
  p.end();
  EXPECT_EQ(image, before);

  // Once is visible.
  QPainter q(&image);
  {
    QPainterCanvas c(q);
    c.setRasterOp(RasterOp::Not);
    c.line({0, 40}, {199, 40});
  }
  q.end();
  EXPECT_NE(image, before);
}

TEST_F(QPainterCanvasTest, FillsExcludeTheRightAndBottomEdges) {
  {
    QPainter p(&image);
    QPainterCanvas c(p);
    c.fillRect({10, 10, 14, 14}, rgb(255, 0, 0));
  }
  EXPECT_EQ(image.pixel(10, 10), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(13, 13), qRgb(255, 0, 0));
  EXPECT_TRUE(isWhite(14, 13));
  EXPECT_TRUE(isWhite(13, 14));
}

TEST_F(QPainterCanvasTest, ArcsRunCounterClockwiseOnTheScreen) {
  {
    QPainter p(&image);
    QPainterCanvas c(p);
    c.setPen(Pen::solid(0, 1));
    // From the ray to the right (3 o'clock) to the ray upward (12 o'clock):
    // the upper right quarter.
    c.arc({50, 50, 151, 151}, {200, 100}, {100, 0});
  }
  EXPECT_GT(inkIn({101, 45, 60, 50}), 20);   // upper right
  EXPECT_EQ(inkIn({40, 110, 55, 50}), 0);    // lower left
  EXPECT_EQ(inkIn({110, 110, 50, 50}), 0);   // lower right
}

TEST_F(QPainterCanvasTest, TextCellsOpaqueAndTurned) {
  {
    QPainter p(&image);
    QPainterCanvas c(p);
    Font f;
    f.height = 20;
    c.setFont(f);
    c.setTextColour(0);
    c.setBackgroundColour(rgb(255, 255, 0));
    c.setOpaqueBackground(true);
    const std::string text = "Zaw\xF3r \xB9\xEA";  // "Zawór ąę" in Windows-1250
    Size ext = c.textExtent(text);
    EXPECT_GT(ext.cx, 40);
    EXPECT_GE(ext.cy, 19);
    EXPECT_LE(ext.cy, 21);
    c.text({10, 10}, text);
    // The cell starts at the point: its top-left pixel is background.
    EXPECT_EQ(image.pixel(10, 10), qRgb(255, 255, 0));
    EXPECT_TRUE(isWhite(9, 9));

    f.escapement = 900;  // a quarter turn counter-clockwise: reads upward
    c.setFont(f);
    c.setOpaqueBackground(false);
    c.text({150, 190}, "Rurociag");
  }
  const QRect turned(130, 90, 70, 110);
  int minX = 200, maxX = 0, minY = 200, maxY = 0;
  for (int y = turned.top(); y <= turned.bottom(); ++y)
    for (int x = turned.left(); x <= turned.right(); ++x)
      if (!isWhite(x, y)) minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y), maxY = std::max(maxY, y);
  EXPECT_GT(maxY - minY, 2 * (maxX - minX));  // taller than wide
  EXPECT_LE(maxY, 190);                        // above the point it starts from
}

TEST_F(QPainterCanvasTest, PatternBrushesTileAndClipsHold) {
  auto tile = std::make_shared<Image>();
  tile->width = tile->height = 4;
  tile->pixels.assign(16, 0xFFFFFFFFu);
  tile->pixels[0] = 0xFF0000FFu;  // one blue pixel per tile
  {
    QPainter p(&image);
    QPainterCanvas c(p);
    c.setPen(Pen::none());
    c.setBrush(Brush::patterned(tile));
    c.setClipPolygon({{0, 0}, {100, 0}, {0, 100}});
    c.rectangle({0, 0, 100, 100});
    c.resetClip();
  }
  EXPECT_EQ(image.pixel(8, 8), qRgb(0, 0, 255));
  EXPECT_TRUE(isWhite(9, 8));
  EXPECT_TRUE(isWhite(88, 88));  // outside the clip triangle
}

}  // namespace
