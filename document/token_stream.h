#pragma once
// The token text of "wnd.ini" and of project files: one value per line, lines
// ended by CR LF, read back as whitespace-separated tokens. Texts are
// escaped so that they hold no blank: '_' becomes '|', then ' ' becomes '_'.

#include <cstdint>
#include <string>
#include <string_view>

// '_' -> '|' and ' ' -> '_', each character mapped once. Tabs and line
// breaks become '_' as well, so that a text is always one token.
std::string escapeText(std::string_view text);
// '_' -> ' ' and '|' -> '_'.
std::string unescapeText(std::string_view text);

class TokenWriter {
 public:
  void writeInt(int64_t v);
  void writeUint(uint32_t v) { writeInt(v); }
  // At most 6 significant digits, the default stream form.
  void writeDouble(double v);
  void writeFloat(float v) { writeDouble(v); }
  // Escaped; an empty text is written as "_".
  void writeText(std::string_view text);
  // Escaped; an empty text is written as an empty line (texts of objects).
  void writeTextOrEmptyLine(std::string_view text);
  // A token as it is (catalogue numbers, the version line).
  void writeToken(std::string_view token);

  const std::string& text() const { return out_; }
  std::string& text() { return out_; }

 private:
  void line(std::string_view s);
  std::string out_;
};

class TokenReader {
 public:
  explicit TokenReader(std::string_view text) : text_(text) {}

  // No token is left.
  bool atEnd();
  // The next token; empty at the end.
  std::string_view next();
  // The next token as a decimal integer (0 when it is none); a uint written
  // by the writer reads back with its bit pattern.
  int32_t readInt();
  uint32_t readUint() { return static_cast<uint32_t>(readInt()); }
  // The next token as a number through single precision, or in full.
  float readFloat();
  double readDoubleFull();
  // Through single precision, widened: the most numeric fields of a file.
  double readDouble() { return readFloat(); }
  // The next token unescaped; a text that reads as a single blank is empty.
  std::string readText();
  // A count that a table receiving it can hold: negative counts are 0 and
  // counts above `capacity` are reported through `overflow`.
  int readCount(int capacity, bool* overflow = nullptr);
  // The offset of the next unread character.
  size_t position() const { return pos_; }
  // Numbers read from here on are held within +-limit, so that no damaged
  // value can overflow the pixel arithmetic of what receives it.
  void setMagnitudeLimit(double limit) { limit_ = limit; }

 private:
  double bounded(double v) const;
  std::string_view text_;
  size_t pos_ = 0;
  double limit_ = 3.0e38;
};
