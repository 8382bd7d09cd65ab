// The token text of settings and project files.

#include <gtest/gtest.h>

#include "document/token_stream.h"

TEST(TokenText, EscapingRoundTrips) {
  EXPECT_EQ(escapeText("a_b c"), "a|b_c");
  EXPECT_EQ(unescapeText("a|b_c"), "a_b c");
  // A multi-line text stays one token: its breaks come back as spaces, and
  // the value after it is still read as such.
  TokenWriter lines;
  lines.writeText("ul. Lipowa 5\r\n00-001\tWarszawa");
  lines.writeInt(7);
  TokenReader back(lines.text());
  EXPECT_EQ(back.readText(), "ul. Lipowa 5  00-001 Warszawa");
  EXPECT_EQ(back.readInt(), 7);
  TokenWriter w;
  w.writeText("a_b c");
  w.writeText("");
  w.writeTextOrEmptyLine("");
  w.writeText(" ");
  w.writeInt(-5);
  w.writeUint(0xFFFFFFFFu);
  w.writeDouble(1234.5678);
  w.writeFloat(0.035f);
  w.writeDouble(1.5e7);
  EXPECT_EQ(w.text(), "a|b_c\r\n_\r\n\r\n_\r\n-5\r\n4294967295\r\n1234.57\r\n0.035\r\n1.5e+07\r\n");

  TokenReader r(w.text());
  EXPECT_EQ(r.readText(), "a_b c");
  EXPECT_EQ(r.readText(), "");  // "_" reads as a single blank: empty
  EXPECT_EQ(r.readText(), "");  // the empty line is skipped: the next "_"
  EXPECT_EQ(r.readInt(), -5);
  EXPECT_EQ(r.readUint(), 0xFFFFFFFFu);
  EXPECT_FLOAT_EQ(r.readFloat(), 1234.57f);
  EXPECT_FLOAT_EQ(r.readFloat(), 0.035f);
  EXPECT_EQ(r.readDoubleFull(), 1.5e7);
  EXPECT_TRUE(r.atEnd());
  EXPECT_EQ(r.readInt(), 0);
}

TEST(TokenText, DamagedTokensReadAsZero) {
  TokenReader r("abc 12x nan 1e999 99999999999 -7");
  EXPECT_EQ(r.readInt(), 0);
  EXPECT_EQ(r.readInt(), 12);
  EXPECT_EQ(r.readFloat(), 0.0f);
  EXPECT_EQ(r.readFloat(), 0.0f);  // no finite number
  EXPECT_EQ(r.readInt(), 0);
  bool over = true;
  EXPECT_EQ(r.readCount(10, &over), 0);
  EXPECT_FALSE(over);
}
