// Damaged files found by fuzzing the readers: each is read and drawn as the
// program would, and gives the reader's usual handling, never undefined
// behaviour (the sanitizer build runs these too). And saves that a killed
// process interrupted leave nothing behind.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include "document/graphic_plane.h"
#include "document/project_file.h"
#include "document/settings_file.h"
#include "objects/symbols.h"
#include "platform/bounds_canvas.h"
#include "platform/message_sink.h"
#include "platform/recording_canvas.h"
#include "platform/replace_file.h"
#include "sections/connection_sets.h"
#include "tests/catalogue_file_builder.h"
#include "tests/support/scene_builder.h"

namespace {

using namespace testing_support;

// A finding as its harness keeps it.
std::string damaged(const char* harness, const char* name) {
  return std::string(VERDIMO_SOURCE_DIR) + "/fuzz/regressions/" + harness + "/" + name;
}

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

TEST(DamagedInputs, ARectangleWithHugeTurnFactorsIsDrawnWithinTheDevice) {
  CGraphicPlane doc;
  AppSettings settings = freshInstallSettings();
  ProjectIo io{doc, shippedCatalogue(), settings, {}, makeTempDir("damaged-project")};
  platform::RecordingMessageSink messages;
  const ProjectResult r = loadProject(io, damaged("project", "project-rect-turn-overflow.prj"));
  // The file reads: its rectangle is what is drawn.
  ASSERT_TRUE(r.ok) << r.message;
  ASSERT_FALSE(doc.terrain().empty());
  platform::RecordingCanvas dc;
  for (double zoom : {1.0, 15.0}) {
    doc.setZoom(static_cast<float>(zoom));
    doc.paintTerrain(dc);
  }
  for (const auto& p : doc.terrain())
    for (const platform::Point& g : p->GripPoints()) {
      EXPECT_LE(std::abs(static_cast<double>(g.x)), 2.0e9);
      EXPECT_LE(std::abs(static_cast<double>(g.y)), 2.0e9);
    }
}

TEST(DamagedInputs, LabelsOfAnyLetterHeightAreMeasuredWithinTheDevice) {
  // A project whose settings ask for letters millions of pixels high, drawn
  // as the plan view draws (what lies outside the view measured and left out).
  CGraphicPlane doc;
  AppSettings settings = freshInstallSettings();
  ProjectIo io{doc, shippedCatalogue(), settings, {}, makeTempDir("damaged-labels")};
  platform::RecordingMessageSink messages;
  ASSERT_TRUE(loadProject(io, damaged("project", "project-label-font-huge.prj")).ok);
  EXPECT_LE(std::abs(settings.labelFontHeight), 1000);
  const AppSettings kept = app().settings;
  app().settings = settings;
  platform::RecordingCanvas dc;
  doc.cullRect = {0, 0, 320, 240};
  for (float zoom : {1.0f, 15.0f}) {
    doc.setZoom(zoom);
    doc.paintObjects(dc);
  }
  doc.cullRect = {};
  app().settings = kept;
  // The measuring canvas itself holds any height.
  platform::BoundsCanvas bounds;
  platform::Font huge;
  huge.height = 2'000'000'000;
  bounds.setFont(huge);
  const platform::Size s = bounds.textExtent(std::string(40, 'x'));
  EXPECT_GT(s.cx, 0);
  EXPECT_LE(s.cx, 1'000'000'000);
  EXPECT_LE(s.cy, 1'000'000'000);
  bounds.text({2'000'000'000, 2'000'000'000}, "x");
}

TEST(DamagedInputs, SymbolCoordinatesAtTheEndsOfTheIntRangeAreDrawnWithinTheDevice) {
  for (const char* name : {"symbol-coord-int-min.sym", "symbol-coord-huge.sym"}) {
    SCOPED_TRACE(name);
    const SymbolData data = parseSymbolText(readText(damaged("symbols", name)));
    platform::RecordingCanvas dc;
    for (int size : {20, 20000}) drawSymbolFigure(dc, data, {100, 100}, size);
    for (const auto& op : dc.ops)
      for (const platform::Point& p : op.points) {
        EXPECT_LE(std::abs(static_cast<double>(p.x)), 2.0e9);
        EXPECT_LE(std::abs(static_cast<double>(p.y)), 2.0e9);
      }
  }
}

TEST(DamagedInputs, ASetsFileHoldingTheLargestIdStillGivesNewSetsAFreeId) {
  const std::string dir = makeTempDir("damaged-sets");
  std::filesystem::copy_file(damaged("connection_sets", "sets-max-id-overflow.zdb"), dir + "/sets.zdb");
  platform::RecordingMessageSink messages;
  CDBSets sets;
  sets.load(dir, shippedCatalogue());
  ASSERT_GE(sets.count(), 1);
  const int first = sets.newSet("Nowy");
  const int second = sets.newSet("Drugi");
  const int32_t a = sets.item(first).id, b = sets.item(second).id;
  EXPECT_GE(a, CDBSets::kFirstId);
  EXPECT_GE(b, CDBSets::kFirstId);
  EXPECT_NE(a, b);
  for (int i = 0; i < sets.count(); ++i) {
    if (i != first) {
      EXPECT_NE(sets.item(i).id, a);
    }
  }
}

TEST(DamagedInputs, AWriteKilledEarlierLeavesNoTemporaryBehind) {
  namespace fs = std::filesystem;
  const std::string dir = makeTempDir("replace-file");
  const std::string path = dir + "/plan.prj";
  ASSERT_TRUE(platform::replaceFile(path, "old"));
  // A write killed mid-way left its temporary; the process that made it is gone.
  pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ::waitpid(gone, nullptr, 0);
  const std::string stale = platform::replaceTemporaryName(path, gone);
  { std::ofstream(stale) << "half"; }
  // A file of the user's that merely looks alike is never touched.
  const std::string users = dir + "/plan.prj.tmp";
  { std::ofstream(users) << "mine"; }
  ASSERT_TRUE(platform::replaceFile(path, "new"));
  EXPECT_EQ(readText(path), "new");
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_EQ(readText(users), "mine");
  int temporaries = 0;
  for (const auto& e : fs::directory_iterator(dir)) temporaries += e.path().filename().string().find(".verdimo-tmp-") != std::string::npos;
  EXPECT_EQ(temporaries, 0);
  // A folder that is not there: refused, nothing made.
  EXPECT_FALSE(platform::replaceFile(dir + "/no/such/plan.prj", "x"));
}

TEST(DamagedInputs, ASaveKilledAtRandomMomentsLeavesTheOldOrTheNewFile) {
  namespace fs = std::filesystem;
  const std::string dir = makeTempDir("killed-saves");
  const std::string path = dir + "/plan.prj";
  const std::string oldText(1 << 20, 'a'), newText(1 << 20, 'b');
  ASSERT_TRUE(platform::replaceFile(path, oldText));
  unsigned seed = 12345;
  for (int i = 0; i < 50; ++i) {
    const pid_t writer = ::fork();
    if (writer == 0) {
      for (;;) platform::replaceFile(path, (i % 2) ? oldText : newText);
    }
    seed = seed * 1103515245u + 12345u;
    ::usleep(500 + (seed >> 16) % 20000);
    ::kill(writer, SIGKILL);
    ::waitpid(writer, nullptr, 0);
    const std::string now = readText(path);
    ASSERT_TRUE(now == oldText || now == newText) << "kill " << i << ": " << now.size() << " bytes";
  }
  // The next save leaves no temporary of the killed writers behind.
  ASSERT_TRUE(platform::replaceFile(path, newText));
  int temporaries = 0;
  for (const auto& e : fs::directory_iterator(dir)) temporaries += e.path().filename().string() != "plan.prj";
  EXPECT_EQ(temporaries, 0);
}
