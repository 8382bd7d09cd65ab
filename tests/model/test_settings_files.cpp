// "wnd.ini", the configuration values, the autosave clock and the folders.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "document/autosave.h"
#include "document/registry_values.h"
#include "document/settings_file.h"
#include "platform/file_sys.h"
#include "platform/registry_store.h"
#include "tests/catalogue_file_builder.h"

namespace {

std::string slurp(const std::string& path) {
  std::string text;
  readWholeFile(path, text);
  return text;
}

}  // namespace

TEST(SettingsFile, RoundTripOfTheThirtyNineValues) {
  const std::string dir = testing_support::makeTempDir("wnd");
  AppSettings s = freshInstallSettings();
  s.companyName = "a_b c";
  s.companyAddress = "";
  s.rememberedRange = {0, 0.6, -0.8, 1, 0, 2.5f};
  s.defaultMargins = {1.5, 2, 0.25, 3};
  s.highlightColour = 0xFF00FF;
  ASSERT_TRUE(saveSettings(s, dir));
  const std::string text = slurp(dir + "/wnd.ini");
  size_t lines = 0;
  for (size_t i = text.find("\r\n"); i != std::string::npos; i = text.find("\r\n", i + 2)) ++lines;
  EXPECT_EQ(lines, 39u);
  EXPECT_NE(text.find("\r\na|b_c\r\n_\r\n"), std::string::npos);  // escaped, and the empty text as "_"

  AppSettings back;
  ASSERT_EQ(loadSettings(back, dir), 0);
  EXPECT_EQ(back.companyName, "a_b c");
  EXPECT_EQ(back.companyAddress, "");
  EXPECT_EQ(back.labelFontFace, "Arial");
  EXPECT_EQ(back.highlightColour, 0xFF00FFu);
  EXPECT_EQ(back.rememberedRange.valid, 1);
  EXPECT_DOUBLE_EQ(back.rememberedRange.startY, -0.8);
  EXPECT_EQ(back.rememberedRange.spare, 2.5f);
  EXPECT_DOUBLE_EQ(back.defaultMargins.top, 0.25);
  EXPECT_EQ(back.printWidthCables, s.printWidthCables);
  EXPECT_EQ(back.autosaveMinutes, s.autosaveMinutes);
}

TEST(SettingsFile, ShortAndMissingFiles) {
  const std::string dir = testing_support::makeTempDir("wnd-short");
  EXPECT_EQ(loadSettings(*std::make_unique<AppSettings>(), dir), -1);
  std::ofstream(dir + "/wnd.ini") << "14\n700\nTimes_New_Roman\n";
  AppSettings s;
  s.companyName = "kept";
  s.pipeColour = 77;
  ASSERT_EQ(loadSettings(s, dir), 0);
  EXPECT_EQ(s.labelFontHeight, 14);
  EXPECT_EQ(s.labelFontFace, "Times New Roman");
  EXPECT_EQ(s.pipeColour, 0u);         // numbers past the end are 0
  EXPECT_EQ(s.companyName, "kept");    // texts stay as they were
  EXPECT_EQ(s.rememberedRange.valid, 0);  // no directions: nothing remembered
}

TEST(RegistryValues, AbsentNumberAndSaved) {
  const std::string dir = testing_support::makeTempDir("config");
  const std::string ini = dir + "/verdimo.ini";
  setenv("VERDIMO_CONFIG", ini.c_str(), 1);
  AppSettings s;
  s.vatPercent = s.priceMultiplier = 7;
  loadRegistryValues(s);
  EXPECT_EQ(s.vatPercent, 1.0f);
  EXPECT_EQ(s.priceMultiplier, 1.0f);
  // A missing multiplier is stored at once as 1; a missing VAT rate is not.
  std::string stored;
  EXPECT_TRUE(platform::readRegistryValue("Multiplier", stored));
  EXPECT_EQ(stored, "1");
  EXPECT_FALSE(platform::readRegistryValue("Vat", stored));

  // Saving creates the entry on a fresh installation.
  EXPECT_EQ(saveVat(23.0f), 0);
  EXPECT_EQ(saveMultiplier(1.15f), 0);
  loadRegistryValues(s);
  EXPECT_EQ(s.vatPercent, 23.0f);
  EXPECT_EQ(s.priceMultiplier, 1.15f);
  std::string text;
  ASSERT_TRUE(platform::readRegistryValue("Multiplier", text));
  EXPECT_EQ(text, "1.149999976");  // the float with 10 significant digits

  ASSERT_TRUE(platform::writeRegistryValue("Vat", "abc"));
  loadRegistryValues(s);
  EXPECT_EQ(s.vatPercent, 0.0f);
  unsetenv("VERDIMO_CONFIG");
}

TEST(Autosave, DueStrictlyAfterTheInterval) {
  CAutosave a;
  a.setInterval(0);
  a.start(1000);
  EXPECT_EQ(a.enabled, 0);
  EXPECT_FALSE(a.isDue(1000 + 3600000));

  a.setInterval(2);
  a.start(0xFFFFFF00u);  // the tick count wraps during the interval
  EXPECT_FALSE(a.isDue(0xFFFFFF00u + 120000));
  EXPECT_TRUE(a.isDue(0xFFFFFF00u + 120001));
  EXPECT_EQ(a.fileName(), "autosave1.prj");
  EXPECT_FALSE(a.isDue(0xFFFFFF00u + 120002));
  EXPECT_TRUE(a.isDue(0xFFFFFF00u + 240002));
  EXPECT_EQ(a.fileName(), "autosave2.prj");
  a.stop();
  EXPECT_FALSE(a.isDue(0xFFFFFF00u + 999999));
  a.start(0);
  EXPECT_EQ(a.counter, 0);
}

TEST(DirectoryTable, FoldersAndEnterLeave) {
  const std::string home = testing_support::makeTempDir("home");
  std::filesystem::create_directories(home + "/Gui");
  setenv("VERDIMO_HOME", home.c_str(), 1);
  setenv("VERDIMO_USER_DATA", (home + "/data").c_str(), 1);
  platform::CFileSys fs;
  EXPECT_EQ(fs.dirPath(platform::GuiDir), home + "/Gui");
  EXPECT_EQ(fs.dirPath(platform::DataBaseDir), home + "/DataBase");
  EXPECT_EQ(fs.dirPath(platform::RootDir), home);
  EXPECT_EQ(fs.dirPath(platform::UserDataDir), home + "/data");
  EXPECT_EQ(fs.dirPath(99), "");
  const auto before = std::filesystem::current_path();
  EXPECT_TRUE(fs.enterDir(platform::GuiDir));
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(home + "/Gui"));
  fs.leaveDir();
  EXPECT_EQ(std::filesystem::current_path(), before);
  EXPECT_FALSE(fs.enterDir(platform::HelpDir));  // no such folder
  fs.leaveDir();
  unsetenv("VERDIMO_HOME");
  unsetenv("VERDIMO_USER_DATA");
}
