// Text code page, number text and folders.

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>

#include "platform/folders.h"
#include "platform/numtext.h"
#include "platform/textcodec.h"

TEST(TextCodec, PolishTextRoundTrips) {
  const std::string utf8 = "Zawór elektromagnetyczny „okrąg” ŻÓŁĆ źdźbło";
  const std::string cp = platform::utf8ToCp1250(utf8);
  EXPECT_EQ(cp.size(), 44u);  // one byte per character
  EXPECT_EQ(static_cast<unsigned char>(cp[3]), 0xF3);  // ó
  EXPECT_EQ(static_cast<unsigned char>(cp[25]), 0x84);  // „
  EXPECT_EQ(platform::cp1250ToUtf8(cp), utf8);
  EXPECT_EQ(platform::cp1250ToUtf8("plain"), "plain");
}

TEST(TextCodec, BytesAndCharactersOutsideTheCodePage) {
  // 0x98 is undefined in Windows-1250.
  EXPECT_EQ(platform::cp1250ToUtf8("a\x98z"), "a\xEF\xBF\xBDz");
  bool lossless = true;
  EXPECT_EQ(platform::utf8ToCp1250("ø 5€", &lossless), "? 5\x80");
  EXPECT_FALSE(lossless);
  EXPECT_EQ(platform::utf8ToCp1250("a\xC3", &lossless), "a?");  // cut sequence
  EXPECT_EQ(platform::utf8ToCp1250("ąę", &lossless), "\xB9\xEA");
  EXPECT_TRUE(lossless);
}

TEST(NumberText, ReadsLikeTheCRuntimeWhateverTheLocale) {
  std::setlocale(LC_ALL, "pl_PL.UTF-8");  // may be missing; the results must not depend on it
  const struct {
    const char* text;
    double value;
  } cases[] = {{"12.5", 12.5}, {"  7", 7}, {"-3.25x", -3.25}, {"+4", 4}, {"1e2", 100}, {"abc", 0},
               {"", 0},        {"12,5", 12}, {".5", 0.5},    {"nan", 0}, {"1e999", HUGE_VAL}};
  for (const auto& c : cases) EXPECT_EQ(platform::parseDecimal(c.text), c.value) << c.text;
  EXPECT_EQ(platform::parseUserDecimal("12,5"), 12.5);
  EXPECT_EQ(platform::formatG6(1234.567f), "1234.57");
  EXPECT_EQ(platform::formatG6(12.5), "12.5");
  EXPECT_EQ(platform::formatG6(0.0001), "0.0001");
  EXPECT_EQ(platform::formatFixed(0.575, 2), "0.57");  // 0.575 is stored below .575
  EXPECT_EQ(platform::formatFixed(115, 2), "115.00");
  EXPECT_EQ(platform::formatShortest(0.1f), "0.1");
  std::setlocale(LC_ALL, "C");
}

TEST(Folders, EnvironmentOverridesAndDefaults) {
  setenv("VERDIMO_USER_DATA", "/tmp/vd-data/", 1);
  EXPECT_EQ(platform::userDataDir(), "/tmp/vd-data");
  unsetenv("VERDIMO_USER_DATA");
  setenv("XDG_DATA_HOME", "/tmp/xdg", 1);
  EXPECT_EQ(platform::userDataDir(), "/tmp/xdg/Verdimo");
  unsetenv("XDG_DATA_HOME");
  const char* home = std::getenv("HOME");
  std::string savedHome = home ? home : "";
  setenv("HOME", "/home/projektant", 1);
  EXPECT_EQ(platform::userDataDir(), "/home/projektant/.local/share/Verdimo");
  if (home)
    setenv("HOME", savedHome.c_str(), 1);
  else
    unsetenv("HOME");

  setenv("VERDIMO_HOME", "/opt/verdimo", 1);
  EXPECT_EQ(platform::programDir(), "/opt/verdimo");
  unsetenv("VERDIMO_HOME");
  EXPECT_EQ(platform::joinPath("/a/", "b"), "/a/b");
}
