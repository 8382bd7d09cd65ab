// The printed sheet: geometry on the device, the title block, the print
// switches, the clip to the margins, the PDF file, and the sample project's
// sheet kept in the build's artefacts folder for a person to look at.

#include <gtest/gtest.h>

#include <QDir>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QRawFont>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>

#include "document/fill_patterns.h"
#include "document/terrain.h"
#include "objects/polylines.h"
#include "platform/canvas_qpainter.h"
#include "platform/file_sys.h"
#include "platform/folders.h"
#include "platform/message_sink.h"
#include "platform/recording_canvas.h"
#include "platform/textcodec.h"
#include "printing/print_job.h"
#include "printing/sheet_renderer.h"
#include "startup/application.h"
#include "tests/catalogue_file_builder.h"
#include "tests/support/program.h"
#include "tests/support/scene_builder.h"

namespace fs = std::filesystem;
using platform::Point;
using platform::Rect;
using platform::RecordingCanvas;
using Kind = platform::RecordingCanvas::Kind;

namespace {

std::string cp(const char* utf8) { return platform::utf8ToCp1250(utf8); }

std::string readAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const std::string kShippedTable = std::string(VERDIMO_PROGRAM_DIR) + "/Gui/table.bmp";

class SheetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::ensureGuiApplication();
    app().settings = freshInstallSettings();
    app().printLawnFill = 1;
    layout.reset();
    layout.setMargins({1, 1, 1, 1});
    doc.investor = cp("Jan Kowalski");
    doc.objectName = cp("Ogród przy ul. Źródlanej 5");
    doc.companyName = cp("Zieleń Sp. z o.o.");
    doc.projectNo = "7/24";
    doc.projectDate = "01.06.2024";
    picture = loadTitleBlockPicture(kShippedTable);
  }

  // A pipe from (x, y) running `length` plan units to the right.
  CWPipe& addPipe(double x, double y, double length) {
    auto pipe = std::make_unique<CWPipe>();
    pipe->AddVertexU({x, y});
    pipe->AddVertexU({x + length, y});
    pipe->Rescale(static_cast<float>(doc.zoom));
    return static_cast<CWPipe&>(*doc.addObject(kTypePipe, std::move(pipe)));
  }

  SheetGeometry render(platform::Canvas& canvas, double dpi, int printScale,
                       const platform::Image* background = nullptr) {
    SheetRequest r;
    r.devicePixelsPerCm = pixelsPerCmOfDevice(dpi);
    r.printScale = printScale;
    r.background = background;
    r.titleBlock = &picture;
    return renderSheet(doc, canvas, layout, r);
  }

  static const RecordingCanvas::Op* textOp(const RecordingCanvas& c, const std::string& text) {
    for (const auto* op : c.of(Kind::Text))
      if (op->text == text) return op;
    return nullptr;
  }

  CGraphicPlane doc;
  PrintLayout layout;
  TitleBlockPicture picture;
};

}  // namespace

TEST_F(SheetTest, EachEdgeOfTheFrameLiesAtItsOwnMargin) {
  // A4 landscape at 600 dpi: a centimetre is 236.22 pixels, truncated.
  const struct {
    const char* what;
    double left, right, top, bottom;  // cm
    int leftPx, rightPx, topPx, bottomPx;
  } cases[] = {
      {"one centimetre all round", 1, 1, 1, 1, 236, 236, 236, 236},
      {"four margins of their own", 1.5, 0.8, 1.2, 2.0, 354, 188, 283, 472},
  };
  for (const auto& m : cases) {
    SCOPED_TRACE(m.what);
    layout.setMargins({m.left, m.right, m.top, m.bottom});
    RecordingCanvas c;
    const SheetGeometry g = render(c, 600, 100);
    ASSERT_EQ(g.width, 7015);
    ASSERT_EQ(g.height, 4960);
    // The frame is the last thing drawn: four lines 3 pixels wide.
    const auto lines = c.of(Kind::Line);
    ASSERT_GE(lines.size(), 4u);
    std::vector<std::pair<Point, Point>> frame;
    for (size_t i = lines.size() - 4; i < lines.size(); ++i) {
      EXPECT_EQ(lines[i]->pen, platform::Pen::solid(0, 3));
      EXPECT_EQ(lines[i]->origin, (Point{0, 0}));
      frame.push_back({lines[i]->points[0], lines[i]->points[1]});
    }
    const int left = m.leftPx, right = 7015 - 1 - m.rightPx, top = m.topPx, bottom = 4960 - 1 - m.bottomPx;
    const std::vector<std::pair<Point, Point>> expected = {{{left, top}, {right + 1, top}},
                                                           {{left, bottom + 1}, {right + 1, bottom + 1}},
                                                           {{left, top}, {left, bottom + 1}},
                                                           {{right + 1, top}, {right + 1, bottom + 1}}};
    EXPECT_EQ(frame, expected);
    // The title block in the frame's lower right corner, inside the margins.
    const auto images = c.of(Kind::Image);
    ASSERT_EQ(images.size(), 1u);
    const Rect block = images[0]->rect;
    EXPECT_EQ(block.right, right);
    EXPECT_EQ(block.bottom, bottom);
    EXPECT_GT(block.left, left);
    EXPECT_GT(block.top, top);
  }
}

TEST_F(SheetTest, ThePlanIsPrintedAtThePrintScale) {
  const struct {
    int printScale;            // 0: the drawing scale
    float scaleDenominator;
    double length;             // plan units
    double offsetX, offsetY;   // cm
    double expectedCm;
  } cases[] = {
      {100, 100, 29, 0, 0, 1.0},    // 29 plan units are one centimetre
      {200, 100, 290, 0, 0, 5.0},   // a 10 m pipe at 1:200
      {50, 100, 29, 0, 0, 2.0},
      {0, 250, 290, 0, 0, 10.0},    // no print scale: the drawing scale
      {100, 100, 290, 2.5, -1, 10.0},
  };
  const double dpi = 600, p = pixelsPerCmOfDevice(dpi);
  for (const auto& k : cases) {
    SCOPED_TRACE(k.printScale);
    doc.releaseAll();
    doc.scaleDenominator = k.scaleDenominator;
    layout.planOffsetX = k.offsetX;
    layout.planOffsetY = k.offsetY;
    addPipe(0, 100, k.length);
    RecordingCanvas c;
    const SheetGeometry g = render(c, dpi, k.printScale);
    EXPECT_EQ(g.originX, static_cast<int>(p + p * k.offsetX));
    EXPECT_EQ(g.originY, static_cast<int>(p + p * k.offsetY));
    const auto runs = c.of(Kind::Polyline);
    ASSERT_EQ(runs.size(), 1u);
    const auto& run = *runs[0];
    EXPECT_EQ(run.origin, (Point{g.originX, g.originY}));
    EXPECT_NEAR(run.points[1].x - run.points[0].x, k.expectedCm * p, 1.0);
    EXPECT_EQ(run.points[0].x, 0);
    // The title block states the scale printed at.
    const int n = k.printScale ? k.printScale : static_cast<int>(k.scaleDenominator);
    EXPECT_NE(textOp(c, "1:" + std::to_string(n)), nullptr);
    // Objects print with the print widths of the settings.
    EXPECT_EQ(run.pen.width, app().settings.printWidthPipes);
  }
  EXPECT_FLOAT_EQ(app().printerSizeFactor, static_cast<float>(p / 29));
}

TEST_F(SheetTest, TheTitleBlockKeepsItsSizeAndPlacesItsTexts) {
  const double dpi = 300, p = pixelsPerCmOfDevice(dpi), u = p / 29, t = u / 2;
  std::optional<Rect> first;
  for (int n : {20, 100, 500, 2000}) {
    SCOPED_TRACE(n);
    RecordingCanvas c;
    render(c, dpi, n);
    const auto images = c.of(Kind::Image);
    ASSERT_EQ(images.size(), 1u);
    const Rect block = images[0]->rect;
    if (!first) first = block;
    EXPECT_EQ(block, *first);
    EXPECT_EQ(block.width(), static_cast<int>(600 * t));
    EXPECT_EQ(block.height(), static_cast<int>(210 * t));

    const struct {
      std::string text;
      double a, b;
      int weight;
    } placed[] = {
        {"Inwestor", 18, 55, 500},
        {"Projektant", 16, 138, 500},
        {"Skala", 372, 175, 500},
        {cp("PLAN INSTALACJI NAWADNIAJĄCEJ"), 110, 15, 500},
        {cp("Jan Kowalski"), 130, 55, 200},
        {cp("Ogród przy ul. Źródlanej 5"), 130, 98, 200},
        {cp("Zieleń Sp. z o.o."), 130, 138, 200},
    };
    for (const auto& e : placed) {
      const auto* op = textOp(c, e.text);
      ASSERT_NE(op, nullptr) << platform::cp1250ToUtf8(e.text);
      EXPECT_EQ(op->points[0], (Point{static_cast<int>(block.left + e.a * t), static_cast<int>(block.top + e.b * t)}));
      EXPECT_EQ(op->font.face, "Arial");
      EXPECT_EQ(op->font.height, static_cast<int>(u * 12));
      EXPECT_EQ(op->font.weight, e.weight);
    }
    // Values of the bottom row are centred on their boxes.
    for (const auto& [text, a] : {std::pair<std::string, double>{"7/24", 148}, {"01.06.2024", 296},
                                  {"1:" + std::to_string(n), 480}}) {
      const auto* op = textOp(c, text);
      ASSERT_NE(op, nullptr) << text;
      c.setFont(op->font);
      const int half = c.textExtent(text).cx / 2;
      EXPECT_EQ(op->points[0].x, static_cast<int>(block.left + a * t - half)) << text;
    }
  }
}

TEST_F(SheetTest, PrintSwitchesDecideWhatIsPrinted) {
  testing_support::addEveryTerrain(doc, {0, 0});
  doc.hasBackground = 1;
  platform::Image background;
  background.width = 40;
  background.height = 30;
  background.pixels.assign(40 * 30, 0xFF336699);
  auto lawnBrushes = [](const RecordingCanvas& c) {
    int lawn = 0;
    for (const auto* op : c.of(Kind::Polygon)) lawn += op->brush.pattern && op->brush.pattern == fillPatternTile(kFillLawn);
    return lawn;
  };
  auto gridLines = [](const RecordingCanvas& c) {
    int n = 0;
    for (const auto* op : c.of(Kind::Line)) n += op->pen == platform::Pen::solid(app().settings.gridColour, 1);
    return n;
  };
  for (int on = 0; on < 2; ++on) {
    SCOPED_TRACE(on);
    layout.printLawnFill = layout.printBackground = layout.printGrid = on;
    RecordingCanvas c;
    const SheetGeometry g = render(c, 100, 100, &background);
    EXPECT_EQ(lawnBrushes(c) > 0, on == 1);
    EXPECT_EQ(gridLines(c) >= 1000, on == 1);
    // The background: one picture pixel per plan unit, from the plan origin.
    const auto images = c.of(Kind::Image);
    ASSERT_EQ(images.size(), on ? 2u : 1u);  // and the title block
    if (on) {
      EXPECT_EQ(images[0]->origin, (Point{g.originX, g.originY}));
      EXPECT_EQ(images[0]->rect, (Rect{0, 0, static_cast<int>(40 * g.planScale), static_cast<int>(30 * g.planScale)}));
    }
    // The screen's lawn switch is back as it was.
    EXPECT_EQ(app().printLawnFill, 1);
  }
}

TEST_F(SheetTest, TheScreenDrawingStateComesBack) {
  doc.setZoom(1.5f);
  testing_support::addEveryTerrain(doc, {0, 0});
  testing_support::addEveryObject(doc, testing_support::shippedCatalogue(), {0, 0});
  CWPipe& pipe = addPipe(10, 10, 300);
  RecordingCanvas screen;
  doc.viewOrgX = -40;
  doc.viewOrgY = 25;
  doc.paintTerrain(screen);
  doc.paintObjects(screen);
  const std::vector<Point> pixels = pipe.vertices;
  screen.setViewportOrigin({-40, 25});

  RecordingCanvas paper;
  paper.setViewportOrigin({5, 5});
  render(paper, 200, 50);
  EXPECT_EQ(paper.viewportOrigin(), (Point{5, 5}));

  EXPECT_EQ(doc.zoom, 1.5);
  EXPECT_EQ(doc.printing, 0);
  EXPECT_EQ(doc.dc, &screen);
  EXPECT_EQ(doc.viewOrgX, -40);
  EXPECT_EQ(pipe.vertices, pixels);
  for (const auto& o : doc.objects()) {
    EXPECT_EQ(o->dc, &screen);
    EXPECT_EQ(o->printing, 0);
    EXPECT_EQ(o->viewOrgY, 25);
  }
  for (const auto& p : doc.terrain()) {
    EXPECT_EQ(p->dc, &screen);
    EXPECT_EQ(p->printing, 0);
  }
}

TEST_F(SheetTest, NothingButTheTitleBlockAndTheFrameReachesTheMargins) {
  // A plan larger than the sheet, pushed over the top and left margins too,
  // with a background filling the whole frame and buildings whose hatch
  // clips itself to their outline across the frame's edge.
  testing_support::addEveryTerrain(doc, {0, 0});
  testing_support::addEveryTerrain(doc, {1200, 0});
  testing_support::addEveryTerrain(doc, {0, 900});
  testing_support::addEveryObject(doc, testing_support::shippedCatalogue(), {0, 0});
  testing_support::addEveryObject(doc, testing_support::shippedCatalogue(), {1200, 900}, 1);
  doc.hasBackground = 1;
  platform::Image background;
  background.width = background.height = 3000;
  background.pixels.assign(3000 * 3000, 0xFFD0E8D0);
  layout.printBackground = layout.printGrid = layout.printLawnFill = true;
  layout.setMargins({2, 1.5, 1, 2.5});
  layout.planOffsetX = -2.2;
  layout.planOffsetY = -1.7;
  doc.setZoom(1.0f);

  for (int scale : {50, 100}) {
    SCOPED_TRACE(scale);
    const double dpi = 72;
    QImage image(static_cast<int>(pixelsPerCmOfDevice(dpi) * layout.paperWidth),
                 static_cast<int>(pixelsPerCmOfDevice(dpi) * layout.paperHeight), QImage::Format_RGB32);
    image.fill(Qt::white);
    SheetGeometry g;
    {
      QPainter painter(&image);
      platform::QPainterCanvas canvas(painter);
      g = render(canvas, dpi, scale, &background);
    }
    const TitleBlockPlace block =
        titleBlockPlace(picture, g.width, g.height, g.titleUnit, g.marginRight, g.marginBottom);
    const QRect frame(QPoint(g.frameLeft, g.frameTop), QPoint(g.frameRight, g.frameBottom));
    const QRect titleBlock(block.left, block.top, block.width + 1, block.height + 1);
    int outside = 0, inside = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        const bool ink = image.pixel(x, y) != qRgb(255, 255, 255);
        if (frame.adjusted(2, 2, -2, -2).contains(x, y)) {
          inside += ink;
          continue;
        }
        if (frame.adjusted(-2, -2, 2, 2).contains(x, y) || titleBlock.contains(x, y)) continue;
        outside += ink;
      }
    EXPECT_EQ(outside, 0);
    EXPECT_GT(inside, frame.width() * frame.height() / 4);
  }
}

TEST_F(SheetTest, ArialPrintsWithAMetricCompatibleFaceAndPolishLetters) {
  QFont arial("Arial");
  arial.setPixelSize(40);
  const QString family = QFontInfo(arial).family();
  EXPECT_TRUE(family == "Liberation Sans" || family == "Arial") << family.toStdString();
  const QRawFont raw = QRawFont::fromFont(arial);
  for (QChar ch : QString::fromUtf8("ĄĆĘŁŃÓŚŹŻąćęłńóśźż")) EXPECT_TRUE(raw.supportsCharacter(ch)) << int(ch.unicode());

  // The title, drawn into a picture, leaves ink where its Polish letter is.
  QImage image(600, 60, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    platform::QPainterCanvas c(painter);
    platform::Font f;
    f.height = 40;
    f.weight = 500;
    c.setFont(f);
    c.setOpaqueBackground(false);
    c.text({0, 0}, cp("NAWADNIAJĄ"));
    const int before = c.textExtent(cp("NAWADNIAJ")).cx, after = c.textExtent(cp("NAWADNIAJĄ")).cx;
    int ink = 0;
    for (int y = 0; y < 60; ++y)
      for (int x = before + 2; x < after - 2; ++x) ink += image.pixel(x, y) != qRgb(255, 255, 255);
    EXPECT_GT(ink, 20);
  }
}

TEST_F(SheetTest, TitleBlockPictures) {
  // The shipped picture: its size from the bitmap's header.
  EXPECT_TRUE(picture.loaded());
  EXPECT_EQ(picture.width, 600);
  EXPECT_EQ(picture.height, 210);

  const std::string dir = testing_support::makeTempDir("sheet_pictures");
  const std::string bmp = readAll(kShippedTable);
  ASSERT_GT(bmp.size(), 100u);
  // A header announcing a picture of 100000 x 100000 pixels.
  std::string huge = bmp;
  huge.replace(18, 8, std::string("\xA0\x86\x01\x00\xA0\x86\x01\x00", 8));
  QImage png(64, 32, QImage::Format_RGB32);
  png.fill(Qt::gray);
  png.save(QString::fromStdString(dir + "/png.bmp"), "PNG");
  const struct {
    const char* name;
    std::string bytes;  // empty: no file
    bool loaded;
    int width, height;
  } cases[] = {
      {"missing.bmp", "", false, 600, 210},
      {"truncated.bmp", bmp.substr(0, 40), false, 600, 210},
      {"text.bmp", "not a picture at all", false, 600, 210},
      {"huge.bmp", huge, false, 600, 210},
      {"png.bmp", readAll(dir + "/png.bmp"), true, 64, 32},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.name);
    const std::string path = dir + "/" + k.name;
    if (!k.bytes.empty()) std::ofstream(path, std::ios::binary) << k.bytes;
    const TitleBlockPicture p = loadTitleBlockPicture(path);
    EXPECT_EQ(p.loaded(), k.loaded);
    EXPECT_EQ(p.width, k.width);
    EXPECT_EQ(p.height, k.height);
  }

  // Without its picture the block still says what it has to say.
  picture = loadTitleBlockPicture(dir + "/missing.bmp");
  RecordingCanvas c;
  render(c, 100, 100);
  EXPECT_TRUE(c.of(Kind::Image).empty());
  EXPECT_NE(textOp(c, "Inwestor"), nullptr);
  EXPECT_NE(textOp(c, "1:100"), nullptr);
}

TEST_F(SheetTest, PdfFileOfOnePageOfThePaper) {
  addPipe(0, 100, 290);
  int repaints = 0;
  doc.requestRepaint = [&] { ++repaints; };
  const std::string dir = testing_support::makeTempDir("sheet_pdf");
  PrintRequest request;
  request.printScale = 100;
  request.titleBlock = &picture;
  const struct {
    bool portrait;
    int paper;
    double width, height;  // points
  } cases[] = {
      {false, kPaperA4, 841.9, 595.3},
      {true, 1 /* A3 */, 841.9, 1190.6},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.paper);
    layout.chooseOrientation(k.portrait);
    layout.choosePaper(k.paper);
    const std::string path = dir + "/sheet.pdf";
    platform::RecordingMessageSink messages;
    repaints = 0;
    ASSERT_EQ(printToPdf(doc, layout, path, 150, request), 0);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(repaints, 1);  // the plan view shows the screen state again
    const std::string pdf = readAll(path);
    EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
    const std::regex page(R"(/Type\s*/Page[^s])");
    EXPECT_EQ(std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()), 1);
    std::smatch box;
    ASSERT_TRUE(std::regex_search(pdf, box, std::regex(R"(/MediaBox\s*\[\s*0\s+0\s+([\d.]+)\s+([\d.]+))")));
    const double w = std::stod(box[1]), h = std::stod(box[2]);
    EXPECT_NEAR(w, k.width, 1.0);
    EXPECT_NEAR(h, k.height, 1.0);
    // "Arial" is embedded as its metric-compatible face.
    EXPECT_NE(pdf.find("LiberationSans"), std::string::npos);
  }
}

TEST_F(SheetTest, AFileThatCannotBeWrittenIsAPrinterErrorAndKeepsTheOldFile) {
  const std::string dir = testing_support::makeTempDir("sheet_pdf_error");
  platform::RecordingMessageSink messages;
  PrintRequest request;
  request.titleBlock = &picture;
  EXPECT_EQ(printToPdf(doc, layout, dir + "/no/such/folder/sheet.pdf", 150, request), -1);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, cp("Błąd drukarki."));
  EXPECT_EQ(messages.shown[0].caption, cp("Błąd drukarki."));

  // A resolution out of range writes nothing over an earlier file.
  const std::string earlier = dir + "/earlier.pdf";
  std::ofstream(earlier) << "earlier";
  EXPECT_EQ(printToPdf(doc, layout, earlier, 0, request), -1);
  EXPECT_EQ(printToPdf(doc, layout, earlier, 100000, request), -1);
  EXPECT_EQ(readAll(earlier), "earlier");
}

// The sample project printed as the command line prints it, and its sheet as
// a picture next to the PDF, for a person to check.
TEST(SampleSheet, TheSampleProjectPrintsAsAPlan) {
  testing_support::ensureGuiApplication();
  {
    platform::RecordingMessageSink messages;
    EXPECT_FALSE(projectOpenForPrinting());
    EXPECT_EQ(printOpenProjectToPdf(std::string(VERDIMO_ARTEFACT_DIR) + "/none.pdf"), -1);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, cp("Aby właczyć opcje wydruku należy otworzyć projekt"));
    EXPECT_EQ(messages.shown[0].caption, "Info");
  }
  const std::string root = testing_support::makeTempDir("sheet_sample");
  setenv("VERDIMO_USER_DATA", (root + "/data").c_str(), 1);
  setenv("VERDIMO_USER_PROJECTS", (root + "/projects").c_str(), 1);
  setenv("VERDIMO_CONFIG", (root + "/verdimo.ini").c_str(), 1);
  platform::fileSys() = platform::CFileSys();
  ASSERT_TRUE(startUp().ok);
  ASSERT_TRUE(openProject(std::string(VERDIMO_PROGRAM_DIR) + "/Projekty/Ogrod_przykladowy.prj").ok);

  QDir().mkpath(VERDIMO_ARTEFACT_DIR);
  const std::string pdf = std::string(VERDIMO_ARTEFACT_DIR) + "/sheet_sample.pdf";
  platform::RecordingMessageSink messages;
  EXPECT_TRUE(projectOpenForPrinting());
  ASSERT_EQ(printOpenProjectToPdf(pdf), 0);
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_GT(fs::file_size(pdf), 5000u);

  CGraphicPlane& doc = *application().document;
  const platform::Image background = loadBackgroundImage(doc);
  PrintRequest request;
  request.printScale = printLayout().printScale;
  request.background = &background;
  const QImage sheet = renderSheetImage(doc, printLayout(), 150, request);
  ASSERT_FALSE(sheet.isNull());
  ASSERT_TRUE(sheet.save(QString::fromStdString(std::string(VERDIMO_ARTEFACT_DIR) + "/sheet_sample.png")));

  // The plan fills part of the frame with more than a few lines.
  int ink = 0;
  for (int y = 0; y < sheet.height(); y += 2)
    for (int x = 0; x < sheet.width(); x += 2) ink += sheet.pixel(x, y) != qRgb(255, 255, 255);
  EXPECT_GT(ink, sheet.width() * sheet.height() / 4 / 50);
  shutDown();
  for (const char* v : {"VERDIMO_USER_DATA", "VERDIMO_USER_PROJECTS", "VERDIMO_CONFIG"}) unsetenv(v);
}
