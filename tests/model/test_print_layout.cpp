// The print layout: defaults, papers and orientation, the plan position as
// the user types it, the project file block and the sheet in device pixels.

#include <gtest/gtest.h>

#include "document/token_stream.h"
#include "printing/print_layout.h"

namespace {

std::string blockText(const PrintLayout& layout) {
  TokenWriter out;
  layout.writeBlock(out);
  return out.text();
}

// The custom paper size is kept for the program's run; every test starts
// with it cleared.
class PrintLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    paperTable()[kPaperCustom].longSide = 0;
    paperTable()[kPaperCustom].shortSide = 0;
  }
};

}  // namespace

TEST_F(PrintLayoutTest, ANewProjectPrintsOnA4LandscapeWithTheDefaultMargins) {
  PrintLayout layout;
  layout.printGrid = true;
  layout.printScale = 250;
  layout.paperIndex = 3;
  layout.resetForNewProject({1.5, 2.0, 1.0, 0.5});
  EXPECT_FALSE(layout.printGrid || layout.printLawnFill || layout.printBackground || layout.portrait);
  EXPECT_EQ(layout.lineWidthPercent, 100);
  EXPECT_EQ(layout.paperWidth, 29.700000762939453);
  EXPECT_EQ(layout.paperHeight, 21.0);
  EXPECT_EQ(layout.paperIndex, kPaperA4);
  EXPECT_EQ(layout.printScale, 0);
  EXPECT_EQ(layout.marginLeft, 1.5);
  EXPECT_EQ(layout.marginRight, 2.0);
  EXPECT_EQ(layout.marginTop, 1.0);
  EXPECT_EQ(layout.marginBottom, 0.5);

  layout.ensurePrintScale(100.0f);
  EXPECT_EQ(layout.printScale, 100);
  layout.ensurePrintScale(500.0f);  // chosen once only
  EXPECT_EQ(layout.printScale, 100);

  layout.reset();
  EXPECT_EQ(layout.marginLeft, 0.0);
}

TEST_F(PrintLayoutTest, PaperTableAndLookupBySize) {
  const struct {
    const char* name;
    float longSide, shortSide;
    int zoomLandscape, zoomPortrait;
  } expected[] = {
      {"A4", 29.7f, 21.0f, 100, 100}, {"A3", 42.0f, 29.7f, 100, 50}, {"A2", 59.4f, 42.0f, 50, 50},
      {"A1", 84.1f, 59.4f, 50, 25},   {"A0", 118.9f, 84.1f, 25, 25}, {"Dowolny", 0, 0, 25, 25},
  };
  for (int i = 0; i < kPaperCount; ++i) {
    const PaperSize& p = paperTable()[static_cast<size_t>(i)];
    EXPECT_EQ(p.name, expected[i].name);
    EXPECT_EQ(p.longSide, expected[i].longSide);
    EXPECT_EQ(p.shortSide, expected[i].shortSide);
    EXPECT_EQ(p.zoomLandscape, expected[i].zoomLandscape);
    EXPECT_EQ(p.zoomPortrait, expected[i].zoomPortrait);
  }
  EXPECT_EQ(findPaper(42.0, 29.7), 1);
  EXPECT_EQ(findPaper(42.009, 29.691), 1);
  EXPECT_EQ(findPaper(42.011, 29.7), -1);
  EXPECT_EQ(findPaper(29.7, 42.0), -1);  // long side first
  EXPECT_EQ(findPaper(0, 0), kPaperCustom);
  EXPECT_EQ(findPaper(50, 35), -1);
}

TEST_F(PrintLayoutTest, OrientationSwapsTheSheetAndPicksThePreviewZoom) {
  PrintLayout layout;
  ASSERT_TRUE(layout.choosePaper(1));
  EXPECT_EQ(layout.paperWidth, 42.0);
  EXPECT_EQ(layout.previewZoom(), 100);
  layout.chooseOrientation(true);
  EXPECT_EQ(layout.paperWidth, static_cast<double>(29.7f));
  EXPECT_EQ(layout.paperHeight, 42.0);
  EXPECT_EQ(layout.previewZoom(), 50);
  EXPECT_FALSE(layout.choosePaper(6));
  EXPECT_EQ(layout.paperIndex, 1);

  // A custom size is given and kept as oriented.
  ASSERT_TRUE(layout.chooseCustomPaper(35, 50));
  EXPECT_EQ(layout.paperIndex, kPaperCustom);
  EXPECT_EQ(paperTable()[kPaperCustom].longSide, 50.0f);
  EXPECT_EQ(paperTable()[kPaperCustom].shortSide, 35.0f);
  layout.chooseOrientation(false);
  EXPECT_EQ(layout.paperWidth, 50.0);
  EXPECT_EQ(layout.paperHeight, 35.0);
  EXPECT_FALSE(layout.chooseCustomPaper(-1, 20));
  EXPECT_FALSE(layout.chooseCustomPaper(20, 1000.5));
}

TEST_F(PrintLayoutTest, PlanPositionAsTheUserSeesAndTypesIt) {
  PrintLayout layout;
  EXPECT_EQ(layout.planOffsetXText(), "0.00");
  EXPECT_EQ(layout.planOffsetYText(), "0.00");  // never "-0.00"
  layout.setPlanPosition("2,5", "1");
  EXPECT_EQ(layout.planOffsetX, 2.5);   // 2.5 cm to the right
  EXPECT_EQ(layout.planOffsetY, -1.0);  // 1 cm up
  EXPECT_EQ(layout.planOffsetXText(), "2.50");
  EXPECT_EQ(layout.planOffsetYText(), "1.00");
  layout.setPlanPosition("abc", "-0.001");
  EXPECT_EQ(layout.planOffsetX, 0.0);
  EXPECT_EQ(layout.planOffsetYText(), "0.00");
}

TEST_F(PrintLayoutTest, BlockRoundTripAndThePaperFoundAgain) {
  PrintLayout layout;
  layout.printLawnFill = true;
  layout.printGrid = true;
  layout.lineWidthPercent = 40;
  layout.printScale = 200;
  layout.choosePaper(1);
  layout.chooseOrientation(true);
  layout.planOffsetX = 2.5;
  layout.planOffsetY = -1.25;
  EXPECT_EQ(blockText(layout), "1\r\n0\r\n40\r\n29.7\r\n42\r\n1\r\n200\r\n2.5\r\n-1.25\r\n1\r\n");

  const std::string file = blockText(layout) + "1200\r\n";
  TokenReader in(file);
  PrintLayout read;
  ASSERT_TRUE(read.readBlock(in));
  EXPECT_TRUE(read.printLawnFill && read.printGrid && read.portrait);
  EXPECT_FALSE(read.printBackground);
  EXPECT_EQ(read.lineWidthPercent, 40);
  EXPECT_EQ(read.paperWidth, static_cast<double>(29.7f));
  EXPECT_EQ(read.paperHeight, 42.0);
  EXPECT_EQ(read.printScale, 200);
  EXPECT_EQ(read.planOffsetX, 2.5);
  EXPECT_EQ(read.planOffsetY, -1.25);
  EXPECT_EQ(read.paperIndex, 1);
  EXPECT_EQ(in.readInt(), 1200);

  // Only 1 is true; an unknown size becomes the custom paper.
  const std::string custom = "2\r\n1\r\n100\r\n35\r\n50\r\n-1\r\n0\r\n0\r\n0\r\n1\r\n";
  TokenReader customIn(custom);
  ASSERT_TRUE(read.readBlock(customIn));
  EXPECT_FALSE(read.printLawnFill);
  EXPECT_TRUE(read.printBackground);
  EXPECT_FALSE(read.printGrid);
  EXPECT_EQ(read.paperIndex, kPaperCustom);
  EXPECT_EQ(paperTable()[kPaperCustom].longSide, 50.0f);
  EXPECT_EQ(paperTable()[kPaperCustom].shortSide, 35.0f);
}

TEST_F(PrintLayoutTest, DamagedBlocksAreRejectedAndTheLayoutKept) {
  const char* damaged[] = {
      "0\r\n0\r\n100\r\n29.7\r\n21\r\n0\r\n100\r\n0\r\n0\r\n",          // ends early
      "0\r\n0\r\n100\r\n-29.7\r\n21\r\n0\r\n100\r\n0\r\n0\r\n0\r\n",    // negative paper
      "0\r\n0\r\n100\r\n1e30\r\n21\r\n0\r\n100\r\n0\r\n0\r\n0\r\n",     // paper beyond 10 m
      "0\r\n0\r\n100\r\n29.7\r\n21\r\n0\r\n-100\r\n0\r\n0\r\n0\r\n",    // negative scale
      "0\r\n0\r\n100\r\n29.7\r\n21\r\n0\r\n100000\r\n0\r\n0\r\n0\r\n",  // scale beyond the field
  };
  for (const char* text : damaged) {
    SCOPED_TRACE(text);
    PrintLayout layout;
    layout.printScale = 75;
    layout.choosePaper(2);
    TokenReader in(text);
    EXPECT_FALSE(layout.readBlock(in));
    EXPECT_EQ(layout.printScale, 75);
    EXPECT_EQ(layout.paperIndex, 2);
    EXPECT_EQ(layout.paperWidth, static_cast<double>(59.4f));
    EXPECT_EQ(paperTable()[kPaperCustom].longSide, 0.0f);
  }
  // A line width beyond the slider is brought into its range.
  PrintLayout layout;
  TokenReader in("0\r\n0\r\n0\r\n29.7\r\n21\r\n0\r\n100\r\n0\r\n0\r\n0\r\n");
  ASSERT_TRUE(layout.readBlock(in));
  EXPECT_EQ(layout.lineWidthPercent, 1);
}

// --- the sheet in device pixels -------------------------------------------------

TEST_F(PrintLayoutTest, A4LandscapeAt600DpiWithOneCentimetreMargins) {
  PrintLayout layout;
  layout.resetForNewProject({1, 1, 1, 1});
  const double p = pixelsPerCmOfDevice(600);
  const SheetGeometry g = sheetGeometry(layout, p, 29.0f, 100.0f, 100);
  EXPECT_EQ(g.width, 7015);
  EXPECT_EQ(g.height, 4960);
  EXPECT_EQ(g.marginLeft, 236);
  EXPECT_EQ(g.marginBottom, 236);
  EXPECT_EQ(g.frameLeft, 236);
  EXPECT_EQ(g.frameTop, 236);
  EXPECT_EQ(g.frameRight, 6779);
  EXPECT_EQ(g.frameBottom, 4724);
  EXPECT_EQ(g.originX, 236);
  EXPECT_EQ(g.originY, 236);
  // 29 plan units are one centimetre at 1:100.
  EXPECT_NEAR(29 * g.planScale, p, 1e-9);
  EXPECT_DOUBLE_EQ(g.titleUnit, p / 29.0);
}

TEST_F(PrintLayoutTest, PlanScaleOriginAndTitleUnit) {
  PrintLayout layout;
  const double p = 100;  // device pixels per centimetre
  // At 1:200 a 10 m pipe (290 plan units at 1:100, 29 per cm) prints 5 cm long.
  SheetGeometry g = sheetGeometry(layout, p, 29.0f, 100.0f, 200);
  EXPECT_NEAR(290 * g.planScale / p, 5.0, 1e-9);
  // The title block does not depend on the print scale.
  EXPECT_DOUBLE_EQ(g.titleUnit, sheetGeometry(layout, p, 29.0f, 100.0f, 50).titleUnit);
  // A background of 28 plan units per centimetre drawn at 1:250, printed at 1:500.
  g = sheetGeometry(layout, p, 28.0f, 250.0f, 500);
  EXPECT_NEAR(28 * g.planScale, p / 2, 1e-9);

  layout.setMargins({2, 0, 1.5, 0});
  layout.setPlanPosition("2,5", "1");
  g = sheetGeometry(layout, p, 29.0f, 100.0f, 100);
  EXPECT_EQ(g.originX, 200 + 250);
  EXPECT_EQ(g.originY, 150 - 100);

  // No print scale yet: the drawing scale. Nonsense from a file stays in range.
  EXPECT_DOUBLE_EQ(sheetGeometry(layout, p, 29.0f, 100.0f, 0).planScale, p / 29.0);
  layout.planOffsetX = 1e300;
  layout.marginRight = -1e300;
  g = sheetGeometry(layout, p, 0.0f, 0.0f, 0);
  EXPECT_EQ(g.planScale, 0.0);
  EXPECT_EQ(g.titleUnit, 0.0);
  EXPECT_GT(g.originX, 0);
  EXPECT_GT(g.frameRight, 0);
}
