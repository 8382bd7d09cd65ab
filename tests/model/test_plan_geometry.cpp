// Measuring a background image for the drawing scale, and turning and
// scaling a shape about its centre.

#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>

#include "editing/background_scale.h"
#include "editing/shape_transform.h"
#include "printing/print_job.h"

using platform::Point;

namespace {

// A white image with a black bar of `barWidth` columns from x = 50, rows 20 to 29.
platform::Image imageWithBar(int barWidth) {
  platform::Image image;
  image.width = 300;
  image.height = 60;
  image.pixels.assign(static_cast<size_t>(image.width) * image.height, 0xFFFFFFFF);
  for (int y = 20; y < 30; ++y)
    for (int x = 50; x < 50 + barWidth; ++x) image.pixels[static_cast<size_t>(y) * image.width + x] = 0xFF000000;
  return image;
}

}  // namespace

TEST(BackgroundScale, DarkColumnsUnderTheFrame) {
  const platform::Image bar = imageWithBar(102);
  struct Case {
    platform::Rect frame;
    std::optional<int> expected;
  };
  const Case cases[] = {
      {{40, 10, 170, 40}, 100},            // the bar framed with a margin, less 2
      {{170, 40, 40, 10}, 100},            // dragged from the other corner
      {{200, 10, 280, 40}, 0},             // no dark pixel
      {{60, 10, 62, 40}, 2},               // two columns are not less 2
      {{60, 10, 60, 40}, std::nullopt},    // no width: the field keeps its value
      {{40, 25, 170, 25}, std::nullopt},   // no height
      {{-100, -50, 900, 500}, 100},        // beyond the image: light
  };
  for (const Case& c : cases) EXPECT_EQ(darkColumns(bar, c.frame), c.expected) << c.frame.left << "," << c.frame.top;
  // Only pixels darker than 0xA0A0A0 (read as blue-green-red) count.
  platform::Image grey = imageWithBar(0);
  grey.pixels[25 * 300 + 10] = 0xFFA0A0A0;
  grey.pixels[25 * 300 + 11] = 0xFFA0A09F;  // blue 0x9F: 0x9FA0A0 is below
  EXPECT_EQ(darkColumns(grey, {0, 0, 300, 60}), 1);
}

TEST(BackgroundScale, ScaleFromTheSegmentAndTheMetresTyped) {
  // 290 pixels at 28 per centimetre are 10.357 cm; 10 m on them is 1:96.55.
  const std::optional<double> n = scaleFromSegment(measuredDistance({100, 300}, {390, 300}, 1.0), 28, metresText("10"));
  ASSERT_TRUE(n);
  EXPECT_NEAR(*n, 96.55, 0.01);
  EXPECT_EQ(measuredDistance({0, 0}, {30, 40}, 0.5), 25);
  EXPECT_EQ(measuredDistance({0, 0}, {3, 3}, 1.0), 4);  // 4.24 truncated
  EXPECT_DOUBLE_EQ(metresText("2,5"), 2.5);
  EXPECT_DOUBLE_EQ(metresText(" 12.75"), 12.75);
  EXPECT_DOUBLE_EQ(metresText("abc"), 0);
  EXPECT_DOUBLE_EQ(metresText(""), 0);
  EXPECT_DOUBLE_EQ(metresText("1234567890"), 123456789);  // at most 9 characters
  // No segment or no length gives no scale rather than 1:0 or an infinite one.
  EXPECT_FALSE(scaleFromSegment(0, 28, 10));
  EXPECT_FALSE(scaleFromSegment(-5, 28, 10));
  EXPECT_FALSE(scaleFromSegment(290, 28, 0));
}

TEST(BackgroundScale, TransparentPixelsAreReadAsBlack) {
  QTemporaryDir dir;
  QImage image(4, 2, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  image.setPixelColor(1, 0, QColor(255, 255, 255, 255));
  const QString path = dir.filePath("clear.png");
  ASSERT_TRUE(image.save(path));
  const platform::Image read = readBackgroundFile(path.toStdString());
  ASSERT_EQ(read.width, 4);
  EXPECT_EQ(read.at(0, 0), 0xFF000000u);
  EXPECT_EQ(read.at(1, 0), 0xFFFFFFFFu);
  EXPECT_EQ(readBackgroundFile(dir.filePath("none.png").toStdString()).width, 0);
}

TEST(ShapeTransform, TurnsAndScalesAboutTheCentre) {
  const std::vector<Point> triangle{{100, 100}, {300, 100}, {300, 200}};
  const Point centre{200, 150};
  // No turn at either end of the slider and factor 1: every vertex stays.
  EXPECT_EQ(transformedVertices(triangle, centre, kTurnMin, 1, 1), triangle);
  EXPECT_EQ(transformedVertices(triangle, centre, kTurnMax, 1, 1), triangle);
  // A quarter turn (counter-clockwise on the screen) at factor 2.
  EXPECT_EQ(transformedVertices(triangle, centre, 180, 2, 2),
            (std::vector<Point>{{100, 350}, {100, -50}, {300, -50}}));
  // Separate factors stretch before the turn: twice as wide only.
  EXPECT_EQ(transformedVertices(triangle, centre, kTurnMin, 2, 1),
            (std::vector<Point>{{0, 100}, {400, 100}, {400, 200}}));
  // Factor 0 collapses the shape onto its centre.
  EXPECT_EQ(transformedVertices(triangle, centre, 135, 0, 0), (std::vector<Point>(3, centre)));
  // Off the quarter turns each offset is truncated toward zero.
  const std::vector<Point> turned = transformedVertices({{210, 150}}, centre, 135, 1, 1);
  EXPECT_EQ(turned.front(), (Point{207, 143}));
}
