// Values of the title block stay inside their boxes, however long they are.

#include <gtest/gtest.h>

#include "platform/recording_canvas.h"
#include "platform/textcodec.h"
#include "printing/title_block.h"

namespace {

using platform::Point;
using platform::Rect;
using Kind = platform::RecordingCanvas::Kind;

// The recording canvas measures a letter as half the font's height wide.
int widthOf(const std::string& s, int h) { return static_cast<int>(s.size()) * h / 2; }

TEST(TitleBlockFit, AValueShrinksThenBreaksThenIsCutShort) {
  const Rect cell{10, 20, 110, 60};  // 100 x 40
  struct Case {
    std::string text;
    std::vector<std::string> lines;
    int height;
    int firstTop;
  };
  const std::string longWord(40, 'w');
  const std::vector<Case> cases = {
      {"abc", {"abc"}, 12, 20},                                                 // fits as it is
      {std::string(20, 'x'), {std::string(20, 'x')}, 10, 20 + (40 - 10) / 2},  // smaller, centred
      {"aaaa bbbb cccc dddd eeee ffff", {"aaaa bbbb cccc dddd eeee", "ffff"}, 8, 20 + (40 - 16) / 2},
      {"aaaa " + longWord, {"aaaa", std::string(24, 'w') + "\x85"}, 8, 20 + (40 - 16) / 2},
      {longWord, {std::string(24, 'w') + "\x85"}, 8, 20 + (40 - 8) / 2},  // no space to break at
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    platform::RecordingCanvas canvas;
    const auto lines = fitTitleBlockText(canvas, platform::Font{}, c.text, cell, 12, 8);
    ASSERT_EQ(lines.size(), c.lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
      EXPECT_EQ(lines[i].text, c.lines[i]);
      EXPECT_EQ(lines[i].height, c.height);
      EXPECT_EQ(lines[i].at.x, cell.left);
      EXPECT_EQ(lines[i].at.y, c.firstTop + static_cast<int>(i) * c.height);
      EXPECT_LE(widthOf(lines[i].text, lines[i].height), cell.width());
      EXPECT_LE(lines[i].at.y + lines[i].height, cell.bottom);
    }
  }
}

TEST(TitleBlockFit, TheSamplesLongObjectNameStaysInsideTheBlock) {
  const double unit = 4.0;
  const int sheetW = 4000, sheetH = 2800, margin = 60;
  const TitleBlockPicture picture;  // the picture's size without its pixels
  const TitleBlockPlace place = titleBlockPlace(picture, sheetW, sheetH, unit, margin, margin);
  const double t = place.pixel;
  TitleBlockTexts texts;
  texts.investor = platform::utf8ToCp1250("Jan Kowalski");
  texts.objectName = platform::utf8ToCp1250("Ogród przydomowy, ul. Słoneczna 12, Konstancin");
  texts.designer = platform::utf8ToCp1250("Pracownia Zieleni Nawadniającej Zielony Ogród i Wspólnicy Sp. z o.o.");
  texts.projectNo = "2026/117/NAW";
  texts.projectDate = "11.12.2026";
  platform::RecordingCanvas canvas;
  drawTitleBlock(canvas, picture, texts, sheetW, sheetH, unit, margin, margin, 100);
  // The values' boxes (picture pixels) they must keep to.
  const Rect valueColumn{static_cast<int>(place.left + 130 * t), place.top,
                         static_cast<int>(place.left + 592 * t), place.top + place.height};
  std::string objectShown;
  for (const auto* op : canvas.of(Kind::Text)) {
    const Point at = op->points.front();
    const int w = widthOf(op->text, op->font.height);
    EXPECT_GE(at.x, place.left) << op->text;
    EXPECT_LE(at.x + w, place.left + place.width) << op->text;
    EXPECT_GE(at.y, place.top) << op->text;
    EXPECT_LE(at.y + op->font.height, place.top + place.height) << op->text;
    EXPECT_GE(op->font.height, static_cast<int>(unit * kTitleBlockMinTextUnits)) << op->text;
    if (op->font.weight != 200 || at.x < valueColumn.left) continue;
    EXPECT_LE(at.x + w, valueColumn.right) << op->text;
    // The object's box spans picture rows 91 to 129.
    if (at.y >= place.top + 91 * t && at.y < place.top + 129 * t) objectShown += op->text + "|";
  }
  // Nothing of the name is lost but what the ellipsis stands for.
  EXPECT_EQ(objectShown.rfind(platform::utf8ToCp1250("Ogród przydomowy,"), 0), 0u) << objectShown;
}

}  // namespace
