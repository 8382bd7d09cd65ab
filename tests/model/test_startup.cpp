// Start-up on a fresh machine and its fatal ends; opening and saving
// through the application.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "document/settings_file.h"
#include "platform/file_sys.h"
#include "platform/message_sink.h"
#include "platform/textcodec.h"
#include "printing/print_layout.h"
#include "sections/section_list.h"
#include "startup/application.h"
#include "tests/catalogue_file_builder.h"

namespace fs = std::filesystem;

namespace {

// A program folder and a user of their own for every test.
class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = testing_support::makeTempDir(::testing::UnitTest::GetInstance()->current_test_info()->name());
    home = root + "/program";
    fs::create_directories(home);
    fs::copy(std::string(VERDIMO_PROGRAM_DIR) + "/DataBase", home + "/DataBase", fs::copy_options::recursive);
    fs::copy(std::string(VERDIMO_PROGRAM_DIR) + "/Defaults", home + "/Defaults", fs::copy_options::recursive);
    setenv("VERDIMO_HOME", home.c_str(), 1);
    setenv("VERDIMO_USER_DATA", (root + "/data").c_str(), 1);
    setenv("VERDIMO_USER_PROJECTS", (root + "/projects").c_str(), 1);
    setenv("VERDIMO_CONFIG", (root + "/verdimo.ini").c_str(), 1);
    platform::fileSys() = platform::CFileSys();
  }
  void TearDown() override {
    shutDown();
    for (const char* v : {"VERDIMO_HOME", "VERDIMO_USER_DATA", "VERDIMO_USER_PROJECTS", "VERDIMO_CONFIG"}) unsetenv(v);
    platform::fileSys() = platform::CFileSys();
  }
  std::string utf8(const std::string& s) { return platform::cp1250ToUtf8(s); }

  std::string root, home;
  platform::RecordingMessageSink messages;
};

}  // namespace

TEST_F(StartupTest, AFreshUserFolderIsProvisioned) {
  StartupResult r = startUp();
  ASSERT_TRUE(r.ok) << utf8(r.message);
  for (const char* f : {"wnd.ini", "seq.dat", "sets.zdb"}) EXPECT_TRUE(fs::exists(root + "/data/" + f)) << f;
  EXPECT_TRUE(fs::is_directory(root + "/projects"));
  Application& a = application();
  EXPECT_GE(a.catalogue.count, 150);
  ASSERT_TRUE(a.sets);
  EXPECT_GE(a.sets->count(), 3);
  EXPECT_STREQ(ImgDir, (home + "/DataBase").c_str());
  EXPECT_EQ(app().settings.labelFontFace, "Arial");
  EXPECT_GE(sectionList().count(), 1);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(StartupTest, FatalEnds) {
  const struct {
    const char* remove;
    const char* message;
    const char* caption;
  } cases[] = {
      {"seq.dat", "Nie załadowano pliku z sekcjami.", "Błąd krytyczny."},
      {"wnd.ini", "Nie załadowano pliku z ustawieniami.", "Błąd krytyczny."},
      {"DataBase/MainPartix.dbc", "Brak Bazy danych !!!", "Info!!"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.remove);
    fs::remove_all(root + "/data");
    const std::string name = c.remove;
    if (name.find('/') == std::string::npos) {
      fs::remove(home + "/Defaults/" + name);
    } else {
      fs::remove(home + "/" + name);
    }
    StartupResult r = startUp();
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(utf8(r.message), c.message);
    EXPECT_EQ(utf8(r.caption), c.caption);
    shutDown();
    // Put the file back for the next case.
    if (name.find('/') == std::string::npos)
      fs::copy(std::string(VERDIMO_PROGRAM_DIR) + "/Defaults/" + name, home + "/Defaults/" + name);
    else
      fs::copy(std::string(VERDIMO_PROGRAM_DIR) + "/" + name, home + "/" + name);
  }
}

TEST_F(StartupTest, TheSampleProjectOpensAndSavesSteadily) {
  ASSERT_TRUE(startUp().ok);
  ProjectResult r = openProject(std::string(VERDIMO_PROGRAM_DIR) + "/Projekty/Ogrod_przykladowy.prj");
  ASSERT_TRUE(r.ok) << utf8(r.message);
  CGraphicPlane& doc = *application().document;
  EXPECT_EQ(doc.hasWaterSource, 1);
  EXPECT_EQ(doc.sourcePressure, 3.5f);
  EXPECT_EQ(sectionList().count(), 3);
  EXPECT_EQ(utf8(sectionList().item(0).desc), "Trawnik – zraszacze rotacyjne");
  EXPECT_GT(doc.objects().size(), 30u);
  EXPECT_EQ(app().projectOpen, 1);

  // The first save marks the sets as the project's own; from then on a save
  // gives the same file.
  const std::string once = root + "/once.prj", twice = root + "/twice.prj";
  ASSERT_TRUE(saveOpenProject(once).ok);
  ASSERT_TRUE(openProject(once).ok);
  ASSERT_TRUE(saveOpenProject(twice).ok);
  std::string a, b;
  readWholeFile(once, a);
  readWholeFile(twice, b);
  EXPECT_EQ(a, b);

  // A file that does not read is abandoned: the open project stays open as it
  // was, with its sections, sets, layout and the settings. This one fails
  // late, after its sections and settings blocks have been read.
  CGraphicPlane* const open = application().document.get();
  const size_t objects = open->objects().size();
  const CDBSets* const sets = application().sets.get();
  const int setCount = sets->count();
  const double paperWidth = printLayout().paperWidth;
  const std::string fontFace = app().settings.labelFontFace;
  AppSettings other = app().settings;
  other.labelFontFace = "Courier";
  TokenWriter settingsBlock;
  writeSettingsBlock(settingsBlock, other);
  std::ofstream(root + "/late.prj", std::ios::binary)
      << "1.12\n_\n_\n_\n_\n123432\n5\nA\nB\nC\nD\nE\n123325\n1\n12\nX\n0\n0\n"
      << "123328\n0\n0\n100\n42\n29.7\n0\n0\n0\n0\n0\n123326\n" << settingsBlock.text()
      << "1012\n10\n10\n0\n-10\n10\n1\nNOSUCH\n12312332\n";
  std::ofstream(root + "/bad.prj") << "2.0\n";
  for (const char* file : {"/late.prj", "/bad.prj", "/nonexistent.prj"}) {
    SCOPED_TRACE(file);
    ProjectResult bad = openProject(root + file);
    EXPECT_FALSE(bad.ok);
    EXPECT_EQ(application().document.get(), open);
    EXPECT_EQ(app().document, open);
    EXPECT_EQ(open->objects().size(), objects);
    EXPECT_EQ(app().projectOpen, 1);
    EXPECT_EQ(sectionList().count(), 3);
    EXPECT_EQ(utf8(sectionList().item(0).desc), "Trawnik – zraszacze rotacyjne");
    EXPECT_EQ(application().sets.get(), sets);
    EXPECT_EQ(application().sets->count(), setCount);
    EXPECT_EQ(printLayout().paperWidth, paperWidth);
    EXPECT_EQ(app().settings.labelFontFace, fontFace);
  }
  // The placed sets still find their collection.
  for (const auto& o : open->objects()) {
    if (o->GetType() != kTypeSet) continue;
    EXPECT_TRUE(connectionSetLookup()->findSet(o->kindWord)) << o->kindWord;
  }
}

TEST_F(StartupTest, AnOldFilesPlacedSetsIndexTheCollection) {
  ASSERT_TRUE(startUp().ok);
  const int count = application().sets->count();
  ASSERT_GE(count, 2);
  const std::string path = root + "/old.prj";
  std::ofstream out(path, std::ios::binary);
  out << "1.1\n_\n_\n_\n_\n";
  const uint32_t stored[] = {0, static_cast<uint32_t>(count - 1), static_cast<uint32_t>(count), 5000};
  for (uint32_t key : stored) out << "1002\n2\n10\n10\n50\n10\n" << key << "\n-10\n10\n1\n0\n0\n0\n16777215\n";
  out << "12312332\n";
  out.close();
  ProjectResult r = openProject(path);
  ASSERT_TRUE(r.ok) << utf8(r.message);
  const CGraphicPlane& doc = *application().document;
  const CDBSets& sets = *application().sets;  // opening made it afresh from "sets.zdb"
  ASSERT_EQ(sets.count(), count);
  // An index the collection does not hold drops its object.
  ASSERT_EQ(doc.objects().size(), 3u);
  EXPECT_EQ(doc.objects()[0]->kindWord, static_cast<uint32_t>(sets.item(0).id));
  EXPECT_EQ(doc.objects()[1]->kindWord, static_cast<uint32_t>(sets.item(sets.count() - 1).id));
  EXPECT_EQ(doc.objects()[2]->kindWord, 0x80000000u | 5000);
}

TEST_F(StartupTest, ANewProjectStartsFromTheSettingsFile) {
  ASSERT_TRUE(startUp().ok);
  AppSettings& s = app().settings;
  s.companyName = "Zielone Ogrody";
  s.authorName = "A. Nowak";
  s.defaultMargins = {1, 2, 3, 4};
  ASSERT_TRUE(saveSettings(s, root + "/data"));
  // What an opened project brought for the run is taken back.
  s.labelFontFace = "Courier";
  s.defaultMargins = {9, 9, 9, 9};
  newProject();
  const CGraphicPlane& doc = *application().document;
  EXPECT_EQ(s.labelFontFace, "Arial");
  EXPECT_EQ(doc.companyName, "Zielone Ogrody");
  EXPECT_EQ(doc.author, "A. Nowak");
  EXPECT_EQ(printLayout().marginLeft, 1);
  EXPECT_EQ(printLayout().marginBottom, 4);
  EXPECT_EQ(app().projectUntitled, 1);
}

TEST_F(StartupTest, ProjectSetsWithSmallIdsAreRaisedAndMarked) {
  ASSERT_TRUE(startUp().ok);
  const std::string path = root + "/sets.prj";
  std::ofstream(path, std::ios::binary) << "1.12\n_\n_\n_\n_\n"
                                           "1002\n2\n10\n10\n50\n10\n12\n-10\n10\n1\n0\n0\n0\n16777215\n"
                                           "123325\n1\n12\nZestaw_testowy\n2\n1\nZM4003\nZM5020\n"
                                           "12312332\n";
  ProjectResult r = openProject(path);
  ASSERT_TRUE(r.ok) << utf8(r.message);
  CGraphicPlane& doc = *application().document;
  ASSERT_EQ(doc.objects().size(), 1u);
  const uint32_t key = doc.objects()[0]->kindWord;
  EXPECT_EQ(key, 0x80000000u | (4096 + 12));
  const int index = application().sets->find(static_cast<int32_t>(key));
  ASSERT_GE(index, 0);
  EXPECT_EQ(application().sets->item(index).name, "Zestaw testowy");
  EXPECT_EQ(application().sets->item(index).availableElements().size(), 2u);

  // Written back, the definition carries the key without its mark.
  const std::string again = root + "/sets-again.prj";
  ASSERT_TRUE(saveOpenProject(again).ok);
  std::string text;
  readWholeFile(again, text);
  EXPECT_NE(text.find("123325\r\n1\r\n4108\r\nZestaw_testowy\r\n"), std::string::npos);
}
